#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zep {

// Two ways of reading the same INI text. Profile rules, those of the private-profile functions
// below: a line whose first non-blank character is '[' heads the section named by the text up to
// its last ']'; any other line with '=' is a key line, keyed by the text before its first '=';
// names match without blanks around them and ignoring ASCII letter case. Exact rules, those of
// AppINI's own line operations: a header is exactly "[name]", a body ends at the next line that
// begins with '[', a key line holds '=' at its second character or later, a key loses only the
// spaces around it, and names match exactly. Lines end in CR LF or LF; a UTF-8 byte-order mark at
// the start is passed over and kept on a rewrite.
enum class IniRules { Profile, Exact };

// How loading went: Missing when nothing is at the path. A path that reaches no regular file
// fails before it is opened, so that a FIFO or a device cannot block.
enum class ProfileFile { Read, Missing, Failed };

struct IniFile {
    struct Line {
        std::size_t begin = 0;  // the text runs to end, its line break (if any) up to next
        std::size_t end = 0;
        std::size_t next = 0;
    };
    std::string bytes;
    std::size_t start = 0;  // past the byte-order mark
    std::vector<Line> lines;

    ProfileFile Load(const std::string& path);
    std::string_view Text(const Line& line) const;
    // Line indexes: the header of the first section so named, the end of the body of the section
    // headed at header, and the first key line so named in that body; lines.size() for none.
    std::size_t FindSection(std::string_view section, IniRules rules) const;
    std::size_t BodyEnd(std::size_t header, IniRules rules) const;
    std::size_t FindKey(std::size_t header, std::string_view key, IniRules rules) const;
};

// Where the '=' after the key of a key line stands; npos when the line is no key line.
std::size_t KeyEnd(std::string_view line, IniRules rules);
bool IsKeyLine(std::string_view line, std::string_view key, IniRules rules);

// Copies the value of key in section into buffer and ends it with a zero. Returns the number
// of characters copied without the zero; buffer.size() - 1 when the value had to be cut; 0 when
// the file, section or key is missing, the value is empty, or the buffer is empty. The value
// loses the blanks and one pair of matching quotes around it.
std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::span<char> buffer, const std::string& file);

// Sets key to value in section, creating the file (and its folder), the section and the key as
// needed, and keeping every other byte. False, with the file unchanged, when the file cannot be
// read or replaced, or when a name or the value cannot stand in an INI line (a line break in any
// of them, an empty key, a key with '=' or one beginning with '[').
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file);

// Replaces the body of section by content: one line per entry, entries separated by zero
// characters or line breaks, empty entries dropped. The section is appended when missing.
bool WritePrivateProfileSection(std::string_view section, std::string_view content,
                                const std::string& file);

}  // namespace zep
