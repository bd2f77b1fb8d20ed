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

// Unset values keep the options' defaults, or the settings file's values when one is given.
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

// Loaded in order as Add File would add them; each message names its file.
class BatchList {
public:
    BatchList(const BatchSettings& settings, std::ostream& err);
    BatchList(const BatchList&) = delete;
    BatchList& operator=(const BatchList&) = delete;

    Workspace& ws() { return ws_; }

    // Adds every file; false when any was refused (the others stay loaded).
    bool AddAll(const std::vector<std::string>& files);

    const std::vector<std::string>& Given() const { return given_; }

    // One batch in list order, progress to out; false if any write failed (the rest still are).
    bool SaveAll(const std::vector<std::string>& targets, std::ostream& out);

private:
    ConsoleListView view_;
    ConsoleMessages messages_;
    Workspace ws_;
    std::vector<std::string> given_;
};

}  // namespace zep::cli
