#pragma once

#include <string>
#include <string_view>

namespace zep {

// Bytes from a file or a file name, made safe to print on a terminal. Control characters (the
// C0 range with tab, CR and LF, DEL, and the C1 range both as single bytes and in their UTF-8
// form) are written as \xHH escapes, and a backslash as \\, so that a label can neither move
// the cursor, retitle or clear the terminal, nor break a line, and every escape is unambiguous.
// Every other byte passes unchanged: UTF-8 text and 8-bit text of other code pages alike.
std::string PrintableText(std::string_view text);

}  // namespace zep
