#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Workspace.h"

namespace zep {

struct CoverageColumn {
    std::string name;  // the file name
    std::string path;  // the file's key, or the path as the user gave it
};

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

// Most widely shared first, by character code within; blank labels only when asked for.
Coverage CoverageOf(Workspace& ws, bool withBlankLabels = false);

// RFC 4180 with CR LF, blank labels left out; a heading is the path where names clash.
std::string CoverageCsv(const Coverage& coverage);

}  // namespace zep
