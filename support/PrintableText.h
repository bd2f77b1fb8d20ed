#pragma once

#include <string>
#include <string_view>

namespace zep {

// Control bytes (C0 with tab/CR/LF, DEL, C1 raw or UTF-8) become \xHH and '\' becomes \\, so
// escapes are unambiguous and a label cannot steer the terminal or break a line; others pass.
std::string PrintableText(std::string_view text);

}  // namespace zep
