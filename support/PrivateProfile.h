#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace zep {

// Names match ignoring outer blanks and ASCII case; a rewrite keeps other bytes, via a temp file.

// Copies the value, without outer blanks and one pair of quotes, zero-terminated. Returns the
// length copied; buffer.size() - 1 if cut; 0 if anything is missing or empty, buffer included.
std::size_t GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::span<char> buffer, const std::string& file);

// Creates file, folder, section and key as needed. False, file unchanged, if it cannot be read
// or replaced or a name or value cannot be an INI line (line break; empty key, '=', '[' first).
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::string_view value, const std::string& file);

// Entries split by zero characters or line breaks, empty ones dropped; appended when missing.
bool WritePrivateProfileSection(std::string_view section, std::string_view content,
                                const std::string& file);

}  // namespace zep
