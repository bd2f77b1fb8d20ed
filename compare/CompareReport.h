#pragma once

#include <string>

#include "core/Workspace.h"

namespace zep {

// A table of what the loaded files share, as CSV (RFC 4180, CR LF line ends). The first row is
// the heading: "label", "files" and each file's name in list order. Then one row per distinct
// non-blank label, most widely shared first and by character code within that: the label, the
// number of files holding it, and per file the label's 1-based position there, empty where the
// file lacks it (several positions, separated by spaces, where a file repeats the label).
// A label or file name that begins with =, +, -, @, a tab or a CR is written with a leading
// apostrophe, so that a spreadsheet shows it as text instead of evaluating it.
std::string CompareReportCsv(Workspace& ws);

}  // namespace zep
