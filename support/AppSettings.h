#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "support/AppINI.h"
#include "support/Options.h"

namespace zep {

// The main window's client area in twips, as kept in section "POSTION".
struct WindowPosition {
    std::int32_t MainLeft = 1000;
    std::int32_t MainTop = 1000;
    std::int32_t MainWidth = 6500;
    std::int32_t MainHeight = 6500;
};

// Beside the executable, named after it with ".ini"; if that folder is not writable, under
// $XDG_CONFIG_HOME (or ~/.config)/ZEPConverter/. An empty exePath gives ZEPConverter.ini there.
std::string SettingsFileFor(const std::string& exePath);
std::string RunningExecutablePath();

std::optional<std::int32_t> WholeFromText(std::string_view text);
// A stored switch: True or False in any letter case, or a number, 0 being off.
std::optional<bool> SwitchFromText(std::string_view text);

// One token per padded label: a blank would split it and an empty one drop it; neither reads back.
inline constexpr std::string_view kToleranceBlanks = " \t\r\n";
bool IsUsableTolerance(std::string_view text);

// A missing, empty or bad value reads as its default; writes are false if any key failed.
Options ReadOptions(AppINI& store);
bool WriteOptions(AppINI& store, const Options& options);
WindowPosition ReadWindowPosition(AppINI& store);
bool WriteWindowPosition(AppINI& store, const WindowPosition& position);

// Kept in section "Folders" so the sections above stay as they are; empty when none is stored.
std::string ReadLastFolder(AppINI& store);
bool WriteLastFolder(AppINI& store, const std::string& folder);

// Newest first in section "RecentFiles" (File1..File8). Reading skips empty keys; writing drops
// paths that would not read back (line breaks, outer blanks) and deletes keys left over.
inline constexpr std::size_t kRecentFilesKept = 8;
std::vector<std::string> ReadRecentFiles(AppINI& store);
bool WriteRecentFiles(AppINI& store, const std::vector<std::string>& paths);

}  // namespace zep
