#include "support/AppSettings.h"

#include <pwd.h>
#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string_view>

namespace zep {
namespace {

constexpr const char* kSetupSection = "Setup";
constexpr const char* kPositionSection = "POSTION";
constexpr const char* kFoldersSection = "Folders";
constexpr const char* kLastFolderKey = "LastFolder";
constexpr const char* kConfigFolder = "ZEPConverter";

std::string_view TrimBlanks(std::string_view text) {
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool EqualsIgnoringCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != lowerWord[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<std::int32_t> WholeFromText(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> SwitchFromText(std::string_view text) {
    text = TrimBlanks(text);
    if (EqualsIgnoringCase(text, "true")) {
        return true;
    }
    if (EqualsIgnoringCase(text, "false")) {
        return false;
    }
    if (text.empty()) {
        return std::nullopt;
    }
    double number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || std::isnan(number)) {
        return std::nullopt;
    }
    return number != 0;
}

bool IsUsableTolerance(std::string_view text) {
    return !text.empty() && text.find_first_of(kToleranceBlanks) == std::string_view::npos;
}

namespace {

std::int32_t ReadWhole(AppINI& store, const char* key, std::int32_t fallback) {
    return WholeFromText(store.ReadKeyEx(key, std::to_string(fallback))).value_or(fallback);
}

bool ReadSwitch(AppINI& store, const char* key, bool fallback) {
    return SwitchFromText(store.ReadKeyEx(key, fallback ? "True" : "False")).value_or(fallback);
}

std::string WholeText(std::int32_t value) {
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

bool IsWritableFolder(const std::filesystem::path& folder) {
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
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

}  // namespace

std::string SettingsFileFor(const std::string& exePath) {
    std::filesystem::path exe(exePath);
    std::filesystem::path name = exe.filename();
    // Without a known executable (no /proc), the program's own name stands in for it, and the
    // working folder is no place for it.
    bool known = !name.empty();
    if (!known) {
        name = kConfigFolder;
    }
    name.replace_extension(".ini");
    std::filesystem::path folder = exe.parent_path();
    if (known && IsWritableFolder(folder)) {
        return (folder / name).string();
    }
    std::filesystem::path config = UserConfigHome();
    if (config.empty()) {
        return (folder / name).string();
    }
    return (config / kConfigFolder / name).string();
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
    options.BLN_OPT_SORTASCII = ReadSwitch(store, "BLN_OPT_SORTASCII", defaults.BLN_OPT_SORTASCII);
    options.BLN_OPT_ADJTOMAXCOUNT =
        ReadSwitch(store, "BLN_OPT_ADJTOMAXCOUNT", defaults.BLN_OPT_ADJTOMAXCOUNT);
    options.BLN_OPT_SORT_SPACE_TO_LAST =
        ReadSwitch(store, "BLN_OPT_SORT_SPACE_TO_LAST", defaults.BLN_OPT_SORT_SPACE_TO_LAST);
    return options;
}

bool WriteOptions(AppINI& store, const Options& options) {
    auto word = [](bool on) { return on ? "True" : "False"; };
    store.SectionName = kSetupSection;
    bool ok = store.WriteKey("STR_OPT_TOLERANCE", options.STR_OPT_TOLERANCE);
    ok = store.WriteKey("LNG_OPT_COUNT_PER_TOLERANCELINE",
                        WholeText(options.LNG_OPT_COUNT_PER_TOLERANCELINE)) &&
         ok;
    ok = store.WriteKey("BLN_OPT_SORTASCII", word(options.BLN_OPT_SORTASCII)) && ok;
    ok = store.WriteKey("BLN_OPT_ADJTOMAXCOUNT", word(options.BLN_OPT_ADJTOMAXCOUNT)) && ok;
    return store.WriteKey("BLN_OPT_SORT_SPACE_TO_LAST", word(options.BLN_OPT_SORT_SPACE_TO_LAST)) &&
           ok;
}

WindowPosition ReadWindowPosition(AppINI& store) {
    const WindowPosition defaults;
    WindowPosition position;
    store.SectionName = kPositionSection;
    position.MainLeft = ReadWhole(store, "MainLeft", defaults.MainLeft);
    position.MainTop = ReadWhole(store, "MainTop", defaults.MainTop);
    position.MainWidth = ReadWhole(store, "MainWidth", defaults.MainWidth);
    position.MainHeight = ReadWhole(store, "MainHeight", defaults.MainHeight);
    return position;
}

bool WriteWindowPosition(AppINI& store, const WindowPosition& position) {
    store.SectionName = kPositionSection;
    bool ok = store.WriteKey("MainLeft", WholeText(position.MainLeft));
    ok = store.WriteKey("MainTop", WholeText(position.MainTop)) && ok;
    ok = store.WriteKey("MainWidth", WholeText(position.MainWidth)) && ok;
    return store.WriteKey("MainHeight", WholeText(position.MainHeight)) && ok;
}

std::string ReadLastFolder(AppINI& store) {
    store.SectionName = kFoldersSection;
    return store.ReadKeyEx(kLastFolderKey, "");
}

bool WriteLastFolder(AppINI& store, const std::string& folder) {
    store.SectionName = kFoldersSection;
    return store.WriteKey(kLastFolderKey, folder);
}

}  // namespace zep
