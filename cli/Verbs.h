#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "cli/BatchList.h"

namespace zep::cli {

// One function per verb: each takes the parsed command line and returns the exit code.
int RunCheck(const Request& request, std::ostream& out, std::ostream& err);
int RunInfo(const Request& request, std::ostream& out, std::ostream& err);
int RunSave(const Request& request, std::ostream& out, std::ostream& err);
int RunSort(const Request& request, std::ostream& out, std::ostream& err);
int RunCompare(const Request& request, std::ostream& out, std::ostream& err);
int RunReport(const Request& request, std::ostream& out, std::ostream& err);

// Changes the loaded list before it is written; false (having said why) stops the run.
using Transform = std::function<bool(BatchList&)>;

// The coverage table of the loaded files as CSV, the columns named as the files were given.
std::string CoverageCsvOf(BatchList& list);

// Writes the coverage CSV to path, creating its folder; false (having said why) when it fails.
bool WriteCoverageFile(BatchList& list, const std::string& path, std::ostream& err);

// The road of every writing verb: plan the targets, load every file, change them, write them
// all. Nothing is written when a target or the report would land on another file of the run
// (kExitUsage), when any file is refused or the change fails (kExitFailed).
int LoadChangeAndSave(const Request& request, const Transform& change, std::ostream& out,
                      std::ostream& err);

}  // namespace zep::cli
