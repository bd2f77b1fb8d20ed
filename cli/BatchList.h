#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/ConsoleView.h"
#include "core/Workspace.h"

namespace zep::cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// What the options of one command line ask for; unset values keep the options' defaults, or
// the values of the settings file when one is given.
struct BatchSettings {
    std::string outDir;
    std::string settingsFile;
    std::optional<std::string> tolerance;
    std::optional<std::int32_t> perLine;
    bool noPad = false;
    bool noSortAscii = false;
    bool noSpaceLast = false;

    void ApplyTo(Options& options) const;
};

struct Request {
    std::vector<std::string> files;
    BatchSettings settings;
    std::string reportPath;  // compare and report: where the CSV of shared labels goes
};

// The files of one command line, loaded into one list in order, as the Add File command would
// add them one by one. Messages go to err, each naming the file it is about.
class BatchList {
public:
    BatchList(const BatchSettings& settings, std::ostream& err);
    BatchList(const BatchList&) = delete;
    BatchList& operator=(const BatchList&) = delete;

    Workspace& ws() { return ws_; }

    // Adds every file; false when any was refused (the others stay loaded).
    bool AddAll(const std::vector<std::string>& files);

    // The files that were loaded, as given on the command line, in list order.
    const std::vector<std::string>& Given() const { return given_; }

    // Writes every loaded file to its target (same order as the list) as one batch, each line
    // of progress to out; false when any write failed. The others are still written.
    bool SaveAll(const std::vector<std::string>& targets, std::ostream& out);

private:
    ConsoleListView view_;
    ConsoleMessages messages_;
    Workspace ws_;
    std::vector<std::string> given_;
};

}  // namespace zep::cli
