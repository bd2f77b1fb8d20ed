#include "support/AppINI.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <vector>

#include "support/AsciiText.h"
#include "support/FSUPLIBmain.h"
#include "support/PrivateProfile.h"
#include "support/SafeFileReader.h"
#include "support/SafeFileWriter.h"

namespace zep {
namespace {

// Exact rules (AppINI's own line operations) match "[name]" as is, end a body at any '[' line,
// find '=' from the second character on and compare names byte for byte.
enum class IniRules { Profile, Exact };

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

std::size_t KeyEnd(std::string_view line, IniRules rules) {
    return line.find('=', rules == IniRules::Exact ? 1 : 0);
}

bool IsKeyLine(std::string_view line, std::string_view key, IniRules rules) {
    const std::size_t equals = KeyEnd(line, rules);
    if (equals == std::string_view::npos) {
        return false;
    }
    const std::string_view name = line.substr(0, equals);
    return rules == IniRules::Exact ? Trim(name, " ") == key : SameIgnoringCase(Trim(name), key);
}

// A path that reaches no regular file fails before it is opened, so that it cannot block.
enum class ProfileFile { Read, Missing, Failed };

// A UTF-8 byte-order mark at the start is kept on a rewrite; a missing line is lines.size().
struct IniFile {
    std::string bytes;
    std::size_t start = 0;                // past the byte-order mark
    std::vector<std::string_view> lines;  // without their line breaks

    ProfileFile Load(const std::string& path) {
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
            lines.push_back(std::string_view(bytes).substr(pos, (cr ? lf - 1 : lf) - pos));
            pos = lf + 1;
        }
        return ProfileFile::Read;
    }

    std::size_t Begin(std::size_t line) const {
        return static_cast<std::size_t>(lines[line].data() - bytes.data());
    }

    std::size_t Next(std::size_t line) const {
        return line + 1 < lines.size() ? Begin(line + 1) : bytes.size();
    }

    std::size_t FindSection(std::string_view section, IniRules rules) const {
        auto header = std::find_if(lines.begin(), lines.end(), [&](std::string_view line) {
            return IsHeaderOf(line, section, rules);
        });
        return static_cast<std::size_t>(header - lines.begin());
    }

    std::size_t BodyEnd(std::size_t header, IniRules rules) const {
        std::size_t i = header + 1;
        while (i < lines.size() && !BeginsSection(lines[i], rules)) {
            ++i;
        }
        return i;
    }

    std::size_t FindKey(std::size_t header, std::string_view key, IniRules rules) const {
        const std::size_t end = BodyEnd(header, rules);
        for (std::size_t i = header + 1; i < end; ++i) {
            if (IsKeyLine(lines[i], key, rules)) {
                return i;
            }
        }
        return lines.size();
    }
};

// As the platform's INI functions hand values out: without blanks and one pair of quotes around.
std::string_view StoredValue(std::string_view raw) {
    std::string_view value = Trim(raw);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

// Values that reading would change are quoted, so every value reads back exactly as written.
std::string WrittenValue(std::string_view value) {
    if (StoredValue(value).size() == value.size()) {
        return std::string(value);
    }
    return "\"" + std::string(value) + "\"";
}

// New lines go after the last filled line, so blank lines before the next section stay put.
std::size_t LastFilledLine(const IniFile& ini, std::size_t header) {
    std::size_t last = header;
    const std::size_t end = ini.BodyEnd(header, IniRules::Profile);
    for (std::size_t i = header + 1; i < end; ++i) {
        last = Trim(ini.lines[i]).empty() ? last : i;
    }
    return last;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

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

// Stands for the keys above the first section header; its header is the file's first line.
constexpr std::string_view kNotUse = "[%NOTUSE%]";
constexpr std::size_t kFirstReadSize = 1024;

bool WriteLines(const std::string& file, const IniFile& ini, bool breakAfterLast) {
    std::string out = ini.bytes.substr(0, ini.start);
    for (std::string_view line : ini.lines) {
        out += std::string(line) + std::string(kLineBreak);
    }
    if (!breakAfterLast && !ini.lines.empty()) {
        out.resize(out.size() - kLineBreak.size());
    }
    return WriteFileSafely(file, out);
}

// A full buffer may hold a cut value: read again with twice the room, so few reads are needed.
bool ReadThroughProfile(const std::string& file, const std::string& section, const std::string& key,
                        std::string& value) {
    std::vector<char> buffer(kFirstReadSize, '\0');
    for (;;) {
        std::size_t n = GetPrivateProfileString(section, key, buffer, file);
        if (n == 0) {
            return false;
        }
        if (n < buffer.size() - 1) {
            value.assign(buffer.data(), n);
            return true;
        }
        buffer.assign(buffer.size() + std::max(kFirstReadSize, buffer.size()), '\0');
    }
}

bool ReadAboveFirstSection(const std::string& file, const std::string& key, std::string& value) {
    IniFile ini;
    if (!FileExist(file, kAttrNormal) || ini.Load(file) != ProfileFile::Read) {
        return false;
    }
    const std::size_t line = ini.FindKey(0, key, IniRules::Exact);
    if (line == ini.lines.size()) {
        return false;
    }
    const std::string_view text = ini.lines[line];
    value = text.substr(KeyEnd(text, IniRules::Exact) + 1);
    return true;
}

}  // namespace

std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::span<char> buffer, const std::string& file) {
    if (buffer.empty()) {
        return 0;
    }
    IniFile ini;
    ini.Load(file);  // a file that cannot be read has no lines
    const std::size_t header = ini.FindSection(section, IniRules::Profile);
    const std::size_t line = ini.FindKey(header, Trim(key), IniRules::Profile);
    std::string_view value;
    if (line < ini.lines.size()) {
        value = StoredValue(ini.lines[line].substr(KeyEnd(ini.lines[line], IniRules::Profile) + 1));
    }
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
        return Replace(file, ini, ini.Begin(line), ini.Begin(line) + ini.lines[line].size(),
                       keyLine);
    }
    const std::size_t after = ini.Next(LastFilledLine(ini, header));
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
    const std::size_t to = ini.Next(LastFilledLine(ini, header));
    return Replace(file, ini, ini.Next(header), to, body);
}

bool AppINI::DelSection(const std::string& SectionNameString) {
    IniFile ini;
    if (IniName.empty() || ini.Load(IniName) != ProfileFile::Read) {
        return false;
    }
    const std::size_t header = ini.FindSection(SectionNameString, IniRules::Exact);
    const bool found = header < ini.lines.size();
    if (found) {
        const auto at = [&](std::size_t line) {
            return ini.lines.begin() + static_cast<std::ptrdiff_t>(line);
        };
        ini.lines.erase(at(header), at(ini.BodyEnd(header, IniRules::Exact)));
    }
    return WriteLines(IniName, ini, true) && found;
}

bool AppINI::RenSection(const std::string& SectionNameString, const std::string& NewName) {
    return !IniName.empty() && WritePrivateProfileSection(SectionNameString, NewName, IniName);
}

bool AppINI::WriteKey(const std::string& KeyName, const std::string& KeyString) {
    if (IniName.empty() || SectionName.empty()) {
        return false;
    }
    return WritePrivateProfileString(SectionName, KeyName, KeyString, IniName);
}

bool AppINI::DelKey(const std::string& KeyName) {
    IniFile ini;
    if (ini.Load(IniName) != ProfileFile::Read) {
        return false;
    }
    const std::size_t header =
        SectionName == kNotUse ? 0 : ini.FindSection(SectionName, IniRules::Exact);
    const bool found = header < ini.lines.size();
    if (found) {
        const auto body = ini.lines.begin() + static_cast<std::ptrdiff_t>(header + 1);
        const auto end =
            body + static_cast<std::ptrdiff_t>(ini.BodyEnd(header, IniRules::Exact) - header - 1);
        const auto isKey = [&](std::string_view line) {
            return IsKeyLine(line, KeyName, IniRules::Exact);
        };
        ini.lines.erase(std::remove_if(body, end, isKey), end);
    }
    return WriteLines(IniName, ini, false) && found;
}

bool AppINI::ReadKey(const std::string& KeyName, std::string& KeyString) {
    bool found = SectionName == kNotUse
                     ? ReadAboveFirstSection(IniName, KeyName, KeyString)
                     : ReadThroughProfile(IniName, SectionName, KeyName, KeyString);
    if (!found) {
        KeyString.clear();
    }
    return found;
}

std::string AppINI::ReadKeyEx(const std::string& KeyName, const std::string& DefKeyString) {
    std::string value;
    return ReadThroughProfile(IniName, SectionName, KeyName, value) ? value : DefKeyString;
}

}  // namespace zep
