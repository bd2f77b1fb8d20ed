#include "support/PrivateProfile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

#include "support/AsciiText.h"
#include "support/SafeFileReader.h"
#include "support/SafeFileWriter.h"

namespace zep {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool BeginsSection(std::string_view line, IniRules rules) {
    return (rules == IniRules::Exact ? line : Trim(line)).starts_with('[');
}

bool IsHeaderOf(std::string_view line, std::string_view section, IniRules rules) {
    if (rules == IniRules::Exact) {
        return line == "[" + std::string(section) + "]";
    }
    if (!BeginsSection(line, rules)) {
        return false;
    }
    std::string_view name = Trim(line).substr(1);
    return SameIgnoringCase(Trim(name.substr(0, name.rfind(']'))), Trim(section));
}

// The value as the platform's INI functions hand it out: without the blanks around it, and
// without one pair of quotes (double or single) around what is left.
std::string_view StoredValue(std::string_view raw) {
    std::string_view value = Trim(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// A value that reading would change (blanks or quotes around it) is written in double quotes,
// which reading takes off again, so every value reads back exactly as written.
std::string WrittenValue(std::string_view value) {
    if (StoredValue(value).size() == value.size()) {
        return std::string(value);
    }
    return "\"" + std::string(value) + "\"";
}

// The last line of the section, header included, that is not blank: new lines go after it,
// so blank lines that set the next section apart stay where they are.
std::size_t LastFilledLine(const IniFile& ini, std::size_t header) {
    std::size_t last = header;
    const std::size_t end = ini.BodyEnd(header, IniRules::Profile);
    for (std::size_t i = header + 1; i < end; ++i) {
        last = Trim(ini.Text(ini.lines[i])).empty() ? last : i;
    }
    return last;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Replaces the file by its bytes with text put in place of [from, to); a line break goes first
// when from would otherwise continue a last line that has none.
bool Replace(const std::string& file, const IniFile& ini, std::size_t from, std::size_t to,
             std::string_view text) {
    std::string out = ini.bytes.substr(0, from);
    if (from > ini.start && out.back() != '\n') {
        out += kLineBreak;
    }
    out += text;
    out += std::string_view(ini.bytes).substr(to);
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(file).parent_path(), ignored);
    return WriteFileSafely(file, out);
}

bool AppendSection(const std::string& file, const IniFile& ini, std::string_view section,
                   std::string_view body) {
    const std::size_t end = ini.bytes.size();
    return Replace(file, ini, end, end, "[" + std::string(section) + "]\r\n" + std::string(body));
}

}  // namespace

ProfileFile IniFile::Load(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) {
        return ProfileFile::Missing;
    }
    if (!ReadWholeFile(path, bytes)) {
        return ProfileFile::Failed;
    }
    start = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    for (std::size_t pos = start; pos < bytes.size();) {
        const std::size_t lf = std::min(bytes.find('\n', pos), bytes.size());
        const bool cr = lf < bytes.size() && lf > pos && bytes[lf - 1] == '\r';
        lines.push_back(Line{pos, cr ? lf - 1 : lf, std::min(lf + 1, bytes.size())});
        pos = lf + 1;
    }
    return ProfileFile::Read;
}

std::string_view IniFile::Text(const Line& line) const {
    return std::string_view(bytes).substr(line.begin, line.end - line.begin);
}

std::size_t IniFile::FindSection(std::string_view section, IniRules rules) const {
    auto header = std::find_if(lines.begin(), lines.end(), [&](const Line& line) {
        return IsHeaderOf(Text(line), section, rules);
    });
    return static_cast<std::size_t>(header - lines.begin());
}

std::size_t IniFile::BodyEnd(std::size_t header, IniRules rules) const {
    std::size_t i = header + 1;
    while (i < lines.size() && !BeginsSection(Text(lines[i]), rules)) {
        ++i;
    }
    return i;
}

std::size_t IniFile::FindKey(std::size_t header, std::string_view key, IniRules rules) const {
    const std::size_t end = BodyEnd(header, rules);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (IsKeyLine(Text(lines[i]), key, rules)) {
            return i;
        }
    }
    return lines.size();
}

std::size_t KeyEnd(std::string_view line, IniRules rules) {
    return line.find('=', rules == IniRules::Exact ? 1 : 0);
}

bool IsKeyLine(std::string_view line, std::string_view key, IniRules rules) {
    const std::size_t equals = KeyEnd(line, rules);
    if (equals == std::string_view::npos) {
        return false;
    }
    if (rules == IniRules::Exact) {
        return Trim(line.substr(0, equals), " ") == key;
    }
    return SameIgnoringCase(Trim(line.substr(0, equals)), key);
}

std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::span<char> buffer, const std::string& file) {
    if (buffer.empty()) {
        return 0;
    }
    buffer[0] = '\0';
    IniFile ini;
    if (ini.Load(file) != ProfileFile::Read) {
        return 0;
    }
    const std::size_t header = ini.FindSection(section, IniRules::Profile);
    const std::size_t line = ini.FindKey(header, Trim(key), IniRules::Profile);
    if (line == ini.lines.size()) {
        return 0;
    }
    const std::string_view text = ini.Text(ini.lines[line]);
    const std::string_view value = StoredValue(text.substr(KeyEnd(text, IniRules::Profile) + 1));
    const std::size_t n = std::min(value.size(), buffer.size() - 1);
    std::copy_n(value.begin(), n, buffer.begin());
    buffer[n] = '\0';
    return n;
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file) {
    key = Trim(key);
    IniFile ini;
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || key.empty() ||
        key.find('=') != std::string_view::npos || key.front() == '[' ||
        ini.Load(file) == ProfileFile::Failed) {
        return false;
    }
    const std::string keyLine = std::string(key) + "=" + WrittenValue(value);
    const std::size_t header = ini.FindSection(section, IniRules::Profile);
    if (header == ini.lines.size()) {
        return AppendSection(file, ini, section, keyLine + "\r\n");
    }
    const std::size_t line = ini.FindKey(header, key, IniRules::Profile);
    if (line < ini.lines.size()) {
        return Replace(file, ini, ini.lines[line].begin, ini.lines[line].end, keyLine);
    }
    const std::size_t after = ini.lines[LastFilledLine(ini, header)].next;
    return Replace(file, ini, after, after, keyLine + "\r\n");
}

bool WritePrivateProfileSection(std::string_view section, std::string_view content,
                                const std::string& file) {
    std::string body;
    for (std::size_t pos = 0; pos <= content.size();) {
        const std::size_t stop =
            std::min(content.find_first_of(std::string_view("\0\r\n", 3), pos), content.size());
        const std::string_view entry = content.substr(pos, stop - pos);
        if (BeginsSection(entry, IniRules::Profile)) {
            return false;
        }
        body += entry.empty() ? "" : std::string(entry) + std::string(kLineBreak);
        pos = stop + 1;
    }
    IniFile ini;
    if (HasLineBreak(section) || ini.Load(file) == ProfileFile::Failed) {
        return false;
    }
    const std::size_t header = ini.FindSection(section, IniRules::Profile);
    if (header == ini.lines.size()) {
        return AppendSection(file, ini, section, body);
    }
    const std::size_t to = ini.lines[LastFilledLine(ini, header)].next;
    return Replace(file, ini, ini.lines[header].next, to, body);
}

}  // namespace zep
