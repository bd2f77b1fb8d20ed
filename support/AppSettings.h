#pragma once

#include <cstdint>
#include <string>

#include "core/Options.h"
#include "support/AppINI.h"

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
// ~/.config/ZEPConverter/).
std::string SettingsFileFor(const std::string& exePath);
// The running executable, from /proc/self/exe.
std::string RunningExecutablePath();

// The five options of section "Setup", each converted from its stored text; a missing, empty or
// unconvertible value gives the default.
Options ReadOptions(AppINI& store);
// Stores all five options in section "Setup", in their written forms ("True"/"False").
void WriteOptions(AppINI& store, const Options& options);

WindowPosition ReadWindowPosition(AppINI& store);
void WriteWindowPosition(AppINI& store, const WindowPosition& position);

}  // namespace zep
