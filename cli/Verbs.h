#pragma once

#include <ostream>

#include "cli/BatchList.h"

namespace zep::cli {

// One function per verb: each takes the parsed command line and returns the exit code.
int RunCheck(const Request& request, std::ostream& out, std::ostream& err);
int RunInfo(const Request& request, std::ostream& out, std::ostream& err);
int RunSave(const Request& request, std::ostream& out, std::ostream& err);
int RunSort(const Request& request, std::ostream& out, std::ostream& err);
int RunCompare(const Request& request, std::ostream& out, std::ostream& err);
int RunReport(const Request& request, std::ostream& out, std::ostream& err);

}  // namespace zep::cli
