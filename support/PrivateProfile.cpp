#include "support/PrivateProfile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include "support/AsciiText.h"
#include "support/SafeFileReader.h"
#include "support/SafeFileWriter.h"

namespace zep {
namespace {

constexpr std::string_view kLineBreak = "\r\n";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

struct Profile {
    std::string bytes;
    std::size_t start = 0;  // past a byte-order mark, which stays where it is
    std::vector<ProfileLine> lines;

    std::string_view Text(std::size_t index) const {
        const ProfileLine& line = lines[index];
        return std::string_view(bytes).substr(line.begin, line.end - line.begin);
    }
};

bool IsHeader(std::string_view line) {
    std::string_view text = Trim(line);
    return !text.empty() && text.front() == '[';
}

std::string_view HeaderName(std::string_view line) {
    std::string_view text = Trim(line).substr(1);
    std::size_t close = text.rfind(']');
    return Trim(close == std::string_view::npos ? text : text.substr(0, close));
}

// The key of a key line, or nothing when the line is no key line.
bool KeyOf(std::string_view line, std::string_view& key) {
    std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || IsHeader(line)) {
        return false;
    }
    key = Trim(line.substr(0, equals));
    return true;
}

ProfileFile Load(const std::string& file, Profile& profile) {
    const ProfileFile result = ReadProfileFile(file, profile.bytes);
    profile.start = ByteOrderMarkLength(profile.bytes);
    profile.lines = SplitProfileLines(profile.bytes, profile.start);
    return result;
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

std::size_t FindSection(const Profile& profile, std::string_view section) {
    for (std::size_t i = 0; i < profile.lines.size(); ++i) {
        std::string_view text = profile.Text(i);
        if (IsHeader(text) && SameIgnoringCase(HeaderName(text), Trim(section))) {
            return i;
        }
    }
    return kNone;
}

// One past the last line of the body of the section whose header is at index header.
std::size_t BodyEnd(const Profile& profile, std::size_t header) {
    std::size_t i = header + 1;
    while (i < profile.lines.size() && !IsHeader(profile.Text(i))) {
        ++i;
    }
    return i;
}

std::size_t FindKey(const Profile& profile, std::size_t header, std::string_view key) {
    std::string_view name;
    std::size_t end = BodyEnd(profile, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (KeyOf(profile.Text(i), name) && SameIgnoringCase(name, key)) {
            return i;
        }
    }
    return kNone;
}

// The last line of the section, header included, that is not blank: new lines go after it,
// so blank lines that set the next section apart stay where they are.
std::size_t LastFilledLine(const Profile& profile, std::size_t header) {
    std::size_t last = header;
    std::size_t end = BodyEnd(profile, header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (!Trim(profile.Text(i)).empty()) {
            last = i;
        }
    }
    return last;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

bool CanStandAsKeyLine(std::string_view key, std::string_view value) {
    return !key.empty() && key.find('=') == std::string_view::npos && key.front() != '[' &&
           !HasLineBreak(key) && !HasLineBreak(value);
}

std::string HeaderLine(std::string_view section) {
    return "[" + std::string(section) + "]" + std::string(kLineBreak);
}

// The bytes with text put in place of [from, to); a line break goes first when from would
// otherwise continue a last line that has none.
std::string Splice(const Profile& profile, std::size_t from, std::size_t to,
                   std::string_view text) {
    std::string out = profile.bytes.substr(0, from);
    if (from > profile.start && out.back() != '\n') {
        out += kLineBreak;
    }
    out += text;
    out += std::string_view(profile.bytes).substr(to);
    return out;
}

bool Store(const std::string& file, std::string_view bytes) {
    std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::error_code ignored;
    if (!folder.empty() && !std::filesystem::exists(folder, ignored)) {
        std::filesystem::create_directories(folder, ignored);
    }
    return WriteFileSafely(file, bytes);
}

std::vector<std::string_view> SectionEntries(std::string_view content) {
    std::vector<std::string_view> entries;
    std::size_t pos = 0;
    while (pos <= content.size()) {
        std::size_t stop = content.find_first_of(std::string_view("\0\r\n", 3), pos);
        if (stop == std::string_view::npos) {
            stop = content.size();
        }
        if (stop > pos) {
            entries.push_back(content.substr(pos, stop - pos));
        }
        pos = stop + 1;
    }
    return entries;
}

}  // namespace

std::vector<ProfileLine> SplitProfileLines(std::string_view bytes, std::size_t pos) {
    std::vector<ProfileLine> lines;
    while (pos < bytes.size()) {
        std::size_t lf = bytes.find('\n', pos);
        if (lf == std::string_view::npos) {
            lines.push_back(ProfileLine{pos, bytes.size(), bytes.size()});
            break;
        }
        std::size_t end = lf > pos && bytes[lf - 1] == '\r' ? lf - 1 : lf;
        lines.push_back(ProfileLine{pos, end, lf + 1});
        pos = lf + 1;
    }
    return lines;
}

std::size_t ByteOrderMarkLength(std::string_view bytes) {
    return bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

ProfileFile ReadProfileFile(const std::string& file, std::string& bytes) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        return errno == ENOENT ? ProfileFile::Missing : ProfileFile::Failed;
    }
    // Reading a FIFO or a device could block for ever or never end.
    if (!S_ISREG(info.st_mode) || !ReadWholeFile(file, bytes)) {
        return ProfileFile::Failed;
    }
    return ProfileFile::Read;
}

std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::span<char> buffer, const std::string& file) {
    if (buffer.empty()) {
        return 0;
    }
    buffer[0] = '\0';
    Profile profile;
    if (Load(file, profile) != ProfileFile::Read) {
        return 0;
    }
    std::size_t header = FindSection(profile, section);
    std::size_t line = header == kNone ? kNone : FindKey(profile, header, Trim(key));
    if (line == kNone) {
        return 0;
    }
    std::string_view text = profile.Text(line);
    std::string_view value = StoredValue(text.substr(text.find('=') + 1));
    std::size_t n = std::min(value.size(), buffer.size() - 1);
    if (n > 0) {  // an all-blank value leaves no text to copy from
        std::memcpy(buffer.data(), value.data(), n);
    }
    buffer[n] = '\0';
    return n;
}

bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file) {
    key = Trim(key);
    Profile profile;
    if (HasLineBreak(section) || !CanStandAsKeyLine(key, value) ||
        Load(file, profile) == ProfileFile::Failed) {
        return false;
    }
    std::string keyLine = std::string(key) + "=" + WrittenValue(value);
    std::size_t header = FindSection(profile, section);
    if (header == kNone) {
        std::size_t end = profile.bytes.size();
        return Store(file, Splice(profile, end, end, HeaderLine(section) + keyLine + "\r\n"));
    }
    std::size_t line = FindKey(profile, header, key);
    if (line != kNone) {
        const ProfileLine& old = profile.lines[line];
        return Store(file, Splice(profile, old.begin, old.end, keyLine));
    }
    std::size_t after = profile.lines[LastFilledLine(profile, header)].next;
    return Store(file, Splice(profile, after, after, keyLine + "\r\n"));
}

bool WritePrivateProfileSection(std::string_view section, std::string_view content,
                                const std::string& file) {
    std::string body;
    for (std::string_view entry : SectionEntries(content)) {
        if (IsHeader(entry)) {
            return false;
        }
        body += std::string(entry) + std::string(kLineBreak);
    }
    Profile profile;
    if (HasLineBreak(section) || Load(file, profile) == ProfileFile::Failed) {
        return false;
    }
    std::size_t header = FindSection(profile, section);
    if (header == kNone) {
        std::size_t end = profile.bytes.size();
        return Store(file, Splice(profile, end, end, HeaderLine(section) + body));
    }
    std::size_t from = profile.lines[header].next;
    std::size_t to = profile.lines[LastFilledLine(profile, header)].next;
    return Store(file, Splice(profile, from, to, body));
}

}  // namespace zep
