#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace zep {

// Private-profile functions: names match ignoring blanks around them and ASCII letter case; a
// rewrite keeps every other byte and goes through a temporary file, so a failure leaves the old.

// Copies the value of key in section into buffer and ends it with a zero. Returns the number
// of characters copied without the zero; buffer.size() - 1 when the value had to be cut; 0 when
// the file, section or key is missing, the value is empty, or the buffer is empty. The value
// loses the blanks and one pair of matching quotes around it.
std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::span<char> buffer, const std::string& file);

// Sets key to value in section, creating the file (and its folder), the section and the key as
// needed. False, with the file unchanged, when the file cannot be read or replaced, or when a
// name or the value cannot stand in an INI line (a line break, an empty key, a key with '=' or
// beginning with '[').
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file);

// Replaces the body of section by content: one line per entry, entries separated by zero
// characters or line breaks, empty entries dropped. The section is appended when missing.
bool WritePrivateProfileSection(std::string_view section, std::string_view content,
                                const std::string& file);

}  // namespace zep
