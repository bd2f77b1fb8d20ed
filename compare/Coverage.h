#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Workspace.h"

namespace zep {

// One file of the list as a column of the coverage table.
struct CoverageColumn {
    std::string name;  // the file name
    std::string path;  // the file's key, or the path as the user gave it
};

// One label of the loaded files: how many files hold it, and where.
struct CoverageRow {
    std::string label;
    std::int32_t files = 0;
    std::vector<std::string> positions;  // per column: "", "3", or "3 7" where a file repeats it
    bool blank = false;
};

struct Coverage {
    std::vector<CoverageColumn> columns;  // in list order
    std::vector<CoverageRow> rows;
};

// What the loaded files share: one row per distinct label, the most widely shared first and by
// character code within one count. Blank labels follow, one row each, only when asked for.
Coverage CoverageOf(Workspace& ws, bool withBlankLabels = false);

// The table as CSV (RFC 4180, CR LF line ends), blank labels left out. The heading holds
// "label", "files" and each column's name, or its path where another column has the same name.
std::string CoverageCsv(const Coverage& coverage);

}  // namespace zep
