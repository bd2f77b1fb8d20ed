#pragma once

#include <string>
#include <string_view>

namespace zep::checks {

// Works on content as the settings file via AppINI: a written key reads back as written, old
// lines stay in order but the key's; removals read back. Returns what went wrong, or "".
std::string CheckIniRoundTrip(std::string_view content, const std::string& dir);

}  // namespace zep::checks
