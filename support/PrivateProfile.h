#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace zep {

// The private-profile functions on an INI text file. Lines end in CR LF or LF; a line whose first
// non-blank character is '[' heads a section; other lines with '=' are key lines. Section and key
// names match ignoring blanks around them and ASCII letter case. A rewrite keeps every other byte
// and replaces the file through a temporary file, so a failure leaves the old one.

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
