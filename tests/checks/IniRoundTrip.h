#pragma once

#include <string>
#include <string_view>

namespace zep::checks {

// Puts content in dir as the settings file and works on it through AppINI: a few keys are
// read; a key written reads back exactly as written, and every line of the old file is still
// there, in order, except the one line that held the key before; then a key and a section are
// removed and the file is read again. Returns what went wrong, or the empty text.
std::string CheckIniRoundTrip(std::string_view content, const std::string& dir);

}  // namespace zep::checks
