#pragma once

#include <string>
#include <string_view>

namespace zep::checks {

// Reads bytes as coordinate files split at form feeds. Compare must move only whole label rows,
// count each label's files and order by that, and change nothing in a file it cannot reorder;
// the window's label list gives each label's files and positions, the report the same without
// the blank ones; Undo takes back all it keeps, marks too. Returns what went wrong.
std::string CheckReorder(std::string_view bytes);

}  // namespace zep::checks
