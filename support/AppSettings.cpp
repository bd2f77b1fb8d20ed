#include "support/AppSettings.h"

#include <pwd.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

#include "support/AsciiText.h"

namespace zep {
namespace {

constexpr const char* kSetupSection = "Setup";
constexpr const char* kPositionSection = "POSTION";
constexpr const char* kConfigFolder = "ZEPConverter";
constexpr std::pair<const char*, bool Options::*> kSwitches[] = {
    {"BLN_OPT_SORTASCII", &Options::BLN_OPT_SORTASCII},
    {"BLN_OPT_ADJTOMAXCOUNT", &Options::BLN_OPT_ADJTOMAXCOUNT},
    {"BLN_OPT_SORT_SPACE_TO_LAST", &Options::BLN_OPT_SORT_SPACE_TO_LAST}};
constexpr std::pair<const char*, std::int32_t WindowPosition::*> kPositionKeys[] = {
    {"MainLeft", &WindowPosition::MainLeft},
    {"MainTop", &WindowPosition::MainTop},
    {"MainWidth", &WindowPosition::MainWidth},
    {"MainHeight", &WindowPosition::MainHeight}};
constexpr const char* kRecentFilesSection = "RecentFiles";

std::int32_t ReadWhole(AppINI& store, const char* key, std::int32_t fallback) {
    return WholeFromText(store.ReadKeyEx(key, std::to_string(fallback))).value_or(fallback);
}

bool ReadSwitch(AppINI& store, const char* key, bool fallback) {
    return SwitchFromText(store.ReadKeyEx(key, fallback ? "True" : "False")).value_or(fallback);
}

template <typename T>
std::optional<T> Number(std::string_view text) {
    T value{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::filesystem::path UserConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Relative values are to be ignored, as the base directory convention says.
    if (xdg != nullptr && xdg[0] == '/') {
        return xdg;
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* entry = ::getpwuid(::getuid());
        home = entry != nullptr ? entry->pw_dir : nullptr;
    }
    return home != nullptr ? std::filesystem::path(home) / ".config" : std::filesystem::path();
}

std::string RecentKey(std::size_t number) {
    return "File" + std::to_string(number);
}

bool KeepsAsItIs(const std::string& path) {
    return !path.empty() && Trim(path).size() == path.size() &&
           path.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

std::optional<std::int32_t> WholeFromText(std::string_view text) {
    return Number<std::int32_t>(Trim(text));
}

std::optional<bool> SwitchFromText(std::string_view text) {
    text = Trim(text);
    if (SameIgnoringCase(text, "true") || SameIgnoringCase(text, "false")) {
        return SameIgnoringCase(text, "true");
    }
    const std::optional<double> number = Number<double>(text);
    if (!number || std::isnan(*number)) {
        return std::nullopt;
    }
    return *number != 0;
}

bool IsUsableTolerance(std::string_view text) {
    return !text.empty() && text.find_first_of(kToleranceBlanks) == std::string_view::npos;
}

std::string SettingsFileFor(const std::string& exePath) {
    const std::filesystem::path exe(exePath);
    // Without /proc the program's own name stands in; the working folder is no place for it.
    std::filesystem::path name = exe.has_filename() ? exe.filename() : kConfigFolder;
    name.replace_extension(".ini");
    const std::filesystem::path folder = exe.parent_path();
    if (exe.has_filename() && ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0) {
        return (folder / name).string();
    }
    const std::filesystem::path config = UserConfigHome();
    return (config.empty() ? folder / name : config / kConfigFolder / name).string();
}

std::string RunningExecutablePath() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : exe.string();
}

Options ReadOptions(AppINI& store) {
    const Options defaults;
    Options options;
    store.SectionName = kSetupSection;
    options.STR_OPT_TOLERANCE = store.ReadKeyEx("STR_OPT_TOLERANCE", defaults.STR_OPT_TOLERANCE);
    if (!IsUsableTolerance(options.STR_OPT_TOLERANCE)) {
        options.STR_OPT_TOLERANCE = defaults.STR_OPT_TOLERANCE;
    }
    options.LNG_OPT_COUNT_PER_TOLERANCELINE = ReadWhole(store, "LNG_OPT_COUNT_PER_TOLERANCELINE",
                                                        defaults.LNG_OPT_COUNT_PER_TOLERANCELINE);
    if (options.LNG_OPT_COUNT_PER_TOLERANCELINE < 1) {
        options.LNG_OPT_COUNT_PER_TOLERANCELINE = defaults.LNG_OPT_COUNT_PER_TOLERANCELINE;
    }
    for (const auto& [key, field] : kSwitches) {
        options.*field = ReadSwitch(store, key, defaults.*field);
    }
    return options;
}

bool WriteOptions(AppINI& store, const Options& options) {
    store.SectionName = kSetupSection;
    bool ok = store.WriteKey("STR_OPT_TOLERANCE", options.STR_OPT_TOLERANCE);
    ok = store.WriteKey("LNG_OPT_COUNT_PER_TOLERANCELINE",
                        std::to_string(options.LNG_OPT_COUNT_PER_TOLERANCELINE)) &&
         ok;
    for (const auto& [key, field] : kSwitches) {
        ok = store.WriteKey(key, options.*field ? "True" : "False") && ok;
    }
    return ok;
}

WindowPosition ReadWindowPosition(AppINI& store) {
    const WindowPosition defaults;
    WindowPosition position;
    store.SectionName = kPositionSection;
    for (const auto& [key, field] : kPositionKeys) {
        position.*field = ReadWhole(store, key, defaults.*field);
    }
    return position;
}

bool WriteWindowPosition(AppINI& store, const WindowPosition& position) {
    store.SectionName = kPositionSection;
    bool ok = true;
    for (const auto& [key, field] : kPositionKeys) {
        ok = store.WriteKey(key, std::to_string(position.*field)) && ok;
    }
    return ok;
}

std::string ReadLastFolder(AppINI& store) {
    store.SectionName = "Folders";
    return store.ReadKeyEx("LastFolder", "");
}

bool WriteLastFolder(AppINI& store, const std::string& folder) {
    store.SectionName = "Folders";
    return store.WriteKey("LastFolder", folder);
}

std::vector<std::string> ReadRecentFiles(AppINI& store) {
    store.SectionName = kRecentFilesSection;
    std::vector<std::string> paths;
    for (std::size_t number = 1; number <= kRecentFilesKept; ++number) {
        std::string path = store.ReadKeyEx(RecentKey(number), "");
        if (!path.empty()) {
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

bool WriteRecentFiles(AppINI& store, const std::vector<std::string>& paths) {
    store.SectionName = kRecentFilesSection;
    bool ok = true;
    std::size_t number = 0;
    for (const std::string& path : paths) {
        if (number < kRecentFilesKept && KeepsAsItIs(path)) {
            ok = store.WriteKey(RecentKey(++number), path) && ok;
        }
    }
    while (number < kRecentFilesKept) {
        const std::string key = RecentKey(++number);
        if (!store.ReadKeyEx(key, "").empty()) {
            ok = store.DelKey(key) && ok;
        }
    }
    return ok;
}

}  // namespace zep
