#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/AppINI.h"
#include "support/Options.h"

namespace zep {

// The main window's outer bounds in twips, as kept in section "POSTION".
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
// The running executable, from /proc/self/exe.
std::string RunningExecutablePath();

// A stored whole number: decimal digits with an optional minus sign, blanks around allowed.
std::optional<std::int32_t> WholeFromText(std::string_view text);
// A stored switch: True or False in any letter case, or a number, 0 being off and any other
// number on.
std::optional<bool> SwitchFromText(std::string_view text);

// The tolerance is written as one deviation token per padded label, where a blank would split it
// into two values and an empty one would leave a value missing; neither file would read back.
inline constexpr std::string_view kToleranceBlanks = " \t\r\n";
bool IsUsableTolerance(std::string_view text);

// The five options of section "Setup", each converted from its stored text; a missing, empty or
// unconvertible value gives the default.
Options ReadOptions(AppINI& store);
// Stores all five options in section "Setup", in their written forms ("True"/"False"); false
// when any of them could not be stored.
bool WriteOptions(AppINI& store, const Options& options);

// The four keys of section "POSTION"; a missing, empty or unconvertible value gives its default.
WindowPosition ReadWindowPosition(AppINI& store);
// Writes the four keys as shortest decimal text; false when any could not be stored.
bool WriteWindowPosition(AppINI& store, const WindowPosition& position);

// The folder the file dialogs were last used in, kept in a section of its own ("Folders") so
// that the sections above stay as they are; empty when none is stored.
std::string ReadLastFolder(AppINI& store);
// false when it could not be stored.
bool WriteLastFolder(AppINI& store, const std::string& folder);

}  // namespace zep
