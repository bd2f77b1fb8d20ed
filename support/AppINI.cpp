#include "support/AppINI.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "support/AsciiText.h"
#include "support/FSUPLIBmain.h"
#include "support/PrivateProfile.h"
#include "support/SafeFileWriter.h"

namespace zep {
namespace {

// The section that stands for the keys above the first section header.
constexpr std::string_view kNotUse = "[%NOTUSE%]";
constexpr std::size_t kFirstReadSize = 1024;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A key line holds '=' at its second character or later; the key is what stands before that
// '=' without surrounding spaces, the value everything after it.
bool SplitKeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
    std::size_t equals = line.size() < 2 ? std::string_view::npos : line.find('=', 1);
    if (equals == std::string_view::npos) {
        return false;
    }
    key = Trim(line.substr(0, equals), " ");
    value = line.substr(equals + 1);
    return true;
}

bool IsKeyLineOf(std::string_view line, std::string_view wanted) {
    std::string_view key;
    std::string_view value;
    return SplitKeyLine(line, key, value) && key == wanted;
}

bool BeginsSection(std::string_view line) {
    return !line.empty() && line.front() == '[';
}

// The index of the header line of the first section so named; "[%NOTUSE%]" is the file's
// first line, whatever it holds.
std::size_t FindHeader(const std::vector<std::string_view>& lines, std::string_view section) {
    if (section == kNotUse) {
        return lines.empty() ? kNone : 0;
    }
    std::string header = "[" + std::string(section) + "]";
    auto it = std::find(lines.begin(), lines.end(), header);
    return it == lines.end() ? kNone : static_cast<std::size_t>(it - lines.begin());
}

std::size_t BodyEnd(const std::vector<std::string_view>& lines, std::size_t header) {
    std::size_t i = header + 1;
    while (i < lines.size() && !BeginsSection(lines[i])) {
        ++i;
    }
    return i;
}

// The lines of the file at path, after a UTF-8 byte-order mark; bytes keeps the whole file.
bool ReadLines(const std::string& path, std::string& bytes, std::vector<std::string_view>& lines) {
    if (ReadProfileFile(path, bytes) != ProfileFile::Read) {
        return false;
    }
    const std::string_view text(bytes);
    lines.clear();
    for (const ProfileLine& line : SplitProfileLines(text, ByteOrderMarkLength(text))) {
        lines.push_back(text.substr(line.begin, line.end - line.begin));
    }
    return true;
}

// The rewritten file: the byte-order mark of the old one, if any, then the lines.
std::string JoinLines(std::string_view old, const std::vector<std::string_view>& lines,
                      bool breakAfterLast) {
    std::string out(old.substr(0, ByteOrderMarkLength(old)));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += lines[i];
        if (breakAfterLast || i + 1 < lines.size()) {
            out += "\r\n";
        }
    }
    return out;
}

// Reads a key through the profile layer. A result that fills the buffer may have been cut,
// so the read is repeated with a larger buffer until the value fits; the buffer at least
// doubles each round, which keeps very long values from costing a number of reads that
// grows with their length.
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
    std::string bytes;
    std::vector<std::string_view> lines;
    if (!FileExist(file, kAttrNormal) || !ReadLines(file, bytes, lines)) {
        return false;
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view name;
        std::string_view text;
        if (BeginsSection(lines[i])) {
            return false;
        }
        if (SplitKeyLine(lines[i], name, text) && name == key) {
            value = text;
            return true;
        }
    }
    return false;
}

}  // namespace

bool AppINI::DelSection(const std::string& SectionNameString) {
    std::string bytes;
    std::vector<std::string_view> lines;
    if (IniName.empty() || !ReadLines(IniName, bytes, lines)) {
        return false;
    }
    std::string header = "[" + SectionNameString + "]";
    auto start = std::find(lines.begin(), lines.end(), header);
    bool found = start != lines.end();
    if (found) {
        auto stop = std::find_if(start + 1, lines.end(), BeginsSection);
        lines.erase(start, stop);
    }
    return WriteFileSafely(IniName, JoinLines(bytes, lines, true)) && found;
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
    std::string bytes;
    std::vector<std::string_view> lines;
    if (!ReadLines(IniName, bytes, lines)) {
        return false;
    }
    std::size_t header = FindHeader(lines, SectionName);
    if (header != kNone) {
        auto body = lines.begin() + static_cast<std::ptrdiff_t>(header + 1);
        auto end = lines.begin() + static_cast<std::ptrdiff_t>(BodyEnd(lines, header));
        lines.erase(
            std::remove_if(body, end,
                           [&](std::string_view line) { return IsKeyLineOf(line, KeyName); }),
            end);
    }
    // The rewrite happens even when nothing was removed, and always drops the final break.
    return WriteFileSafely(IniName, JoinLines(bytes, lines, false)) && header != kNone;
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
