#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zep {

// A small private-profile (INI file) layer with the contract the settings store relies on.
//
// As this layer reads a file: a UTF-8 byte-order mark at its start is passed over (and kept on
// a rewrite); lines end in CR LF or LF; a line whose first non-blank character is '[' starts a
// section, named by the text between that '[' and the line's last ']' with blanks around it
// removed; any other line holding '=' is a key line, its key being the text before the first
// '=' without surrounding blanks. Its value, as the platform's INI functions give it, is what
// follows that '=' without the blanks around it and without one pair of matching quotes
// (double or single) around the rest. A value that would lose something that way is written in
// double quotes, so that every value written reads back exactly. Section and key names match
// ignoring ASCII letter case; the first section and the first key of a name count. Every
// rewrite keeps all other lines byte for byte and replaces the file through a temporary file in
// the same folder, so a failed write leaves the old file as it was. A path that reaches no
// regular file (a folder, a FIFO, a device) counts as a file that cannot be read, and is refused
// before it is opened, so that it cannot block.

// How reading a settings file went: Missing when nothing is at the path.
enum class ProfileFile { Read, Missing, Failed };
ProfileFile ReadProfileFile(const std::string& file, std::string& bytes);

// One line of a settings file: its text runs from begin to end, its line break (CR LF or LF),
// if any, up to next.
struct ProfileLine {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

// The lines of bytes from pos on; a break at the very end does not start another line.
std::vector<ProfileLine> SplitProfileLines(std::string_view bytes, std::size_t pos);

// 3 when bytes begin with a UTF-8 byte-order mark, else 0.
std::size_t ByteOrderMarkLength(std::string_view bytes);

// Copies the value of key in section into buffer and ends it with a zero. Returns the number
// of characters copied without the zero; buffer.size() - 1 when the value had to be cut; 0 when
// the file, section or key is missing, the value is empty, or the buffer is empty.
std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::span<char> buffer, const std::string& file);

// Sets key to value in section, creating the file (and its folder), the section and the key as
// needed. False, with the file unchanged, when the file cannot be read or replaced, or when a
// name or the value cannot stand in an INI line (a line break in any of them, an empty key, a
// key with '=' or one beginning with '[').
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file);

// Replaces the body of section by content: one line per entry, entries separated by zero
// characters or line breaks, empty entries dropped. The section is appended when missing.
bool WritePrivateProfileSection(std::string_view section, std::string_view content,
                                const std::string& file);

}  // namespace zep
