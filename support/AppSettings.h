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

// The settings file for the executable at exePath: beside it, named after it with ".ini"; when
// that folder cannot be written, the same name under $XDG_CONFIG_HOME/ZEPConverter/ (or
// ~/.config/ZEPConverter/). An empty exePath gives ZEPConverter.ini in that folder.
std::string SettingsFileFor(const std::string& exePath);
std::string RunningExecutablePath();

// A stored whole number: decimal digits with an optional minus sign, blanks around allowed.
std::optional<std::int32_t> WholeFromText(std::string_view text);
// A stored switch: True or False in any letter case, or a number, 0 being off.
std::optional<bool> SwitchFromText(std::string_view text);

// The tolerance is written as one deviation token per padded label, where a blank would split it
// into two values and an empty one would leave a value missing; neither file would read back.
inline constexpr std::string_view kToleranceBlanks = " \t\r\n";
bool IsUsableTolerance(std::string_view text);

// Sections "Setup" and "POSTION": a missing, empty or unconvertible value reads as its default;
// writes return false when any key could not be stored.
Options ReadOptions(AppINI& store);
bool WriteOptions(AppINI& store, const Options& options);
WindowPosition ReadWindowPosition(AppINI& store);
bool WriteWindowPosition(AppINI& store, const WindowPosition& position);

// The folder the file dialogs were last used in, kept in section "Folders" so that the sections
// above stay as they are; empty when none is stored.
std::string ReadLastFolder(AppINI& store);
bool WriteLastFolder(AppINI& store, const std::string& folder);

// The files added last, the newest first, kept in a section of their own ("RecentFiles", keys
// File1 to File8). Reading skips empty keys; writing leaves out paths the file could not give
// back as they are (line breaks, blanks at either end) and deletes the keys left over.
inline constexpr std::size_t kRecentFilesKept = 8;
std::vector<std::string> ReadRecentFiles(AppINI& store);
bool WriteRecentFiles(AppINI& store, const std::vector<std::string>& paths);

}  // namespace zep
