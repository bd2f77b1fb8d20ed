#include "checks/IniRoundTrip.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/AppINI.h"
#include "support/SafeFileReader.h"

namespace zep::checks {
namespace {

constexpr const char* kSections[] = {"Setup", "POSTION", "setup", "[%NOTUSE%]"};
constexpr const char* kReadKeys[] = {"STR_OPT_TOLERANCE", "MainLeft", "BLN_OPT_SORTASCII"};
constexpr std::string_view kWrittenKey = "LNG_OPT_COUNT_PER_TOLERANCELINE";
// Blanks, quotes, '=' and brackets around and inside a value must all come back unchanged.
constexpr std::string_view kWrittenValues[] = {" 7 = [x]; y ", "\"q\"", "'s' ", "\t", "7"};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Lines cut at LF, a CR before it dropped, no line after a final LF, a leading UTF-8 BOM skipped.
std::vector<std::string_view> Lines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t pos = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
    while (pos < bytes.size()) {
        std::size_t lf = bytes.find('\n', pos);
        std::size_t stop = lf == std::string_view::npos ? bytes.size() : lf;
        std::size_t end =
            lf != std::string_view::npos && stop > pos && bytes[stop - 1] == '\r' ? stop - 1 : stop;
        lines.push_back(bytes.substr(pos, end - pos));
        pos = stop + 1;
    }
    return lines;
}

// A line that may carry the written key: text before its first '=' is the key, blanks aside.
bool MayHoldWrittenKey(std::string_view line) {
    const std::size_t equals = line.find('=');
    std::string_view key = equals == std::string_view::npos ? "" : line.substr(0, equals);
    const std::size_t first = key.find_first_not_of(" \t");
    key = first == std::string_view::npos
              ? ""
              : key.substr(first, key.find_last_not_of(" \t") - first + 1);
    return std::equal(key.begin(), key.end(), kWrittenKey.begin(), kWrittenKey.end(),
                      [](unsigned char a, char b) { return std::toupper(a) == b; });
}

bool OldLinesKept(const std::vector<std::string_view>& before,
                  const std::vector<std::string_view>& after) {
    // Greedy matching is exact for subsequences; track the match without and with one drop.
    const std::size_t none = after.size() + 1;
    std::size_t whole = 0;
    std::size_t dropped = none;
    auto advance = [&](std::size_t from, std::string_view line) {
        while (from < after.size() && after[from] != line) {
            ++from;
        }
        return from < after.size() ? from + 1 : none;
    };
    for (std::string_view line : before) {
        std::size_t nextDropped = dropped == none ? none : advance(dropped, line);
        if (MayHoldWrittenKey(line) && whole != none) {
            nextDropped = std::min(nextDropped, whole);
        }
        whole = whole == none ? none : advance(whole, line);
        dropped = nextDropped;
    }
    return whole != none || dropped != none;
}

std::string CheckWrite(AppINI& ini, std::string_view content) {
    const std::string other = ini.ReadKeyEx(kReadKeys[0], "<none>");
    const std::string_view value = kWrittenValues[content.size() % std::size(kWrittenValues)];
    if (!ini.WriteKey(std::string(kWrittenKey), std::string(value))) {
        return "WriteKey failed on a writable file";
    }
    if (ini.ReadKeyEx(std::string(kWrittenKey), "<none>") != value) {
        return "the key written does not read back";
    }
    if (ini.ReadKeyEx(kReadKeys[0], "<none>") != other) {
        return "another key changed its value";
    }
    std::string after;
    if (!ReadWholeFile(ini.IniName, after)) {
        return "the file cannot be read after WriteKey";
    }
    if (content.starts_with(kByteOrderMark) != after.starts_with(kByteOrderMark)) {
        return "WriteKey dropped or added a byte-order mark";
    }
    if (!OldLinesKept(Lines(content), Lines(after))) {
        return "WriteKey lost or changed a line it should keep";
    }
    return {};
}

}  // namespace

std::string CheckIniRoundTrip(std::string_view content, const std::string& dir) {
    AppINI ini{dir + "/fuzz.ini", ""};
    const auto size = static_cast<std::streamsize>(content.size());
    if (!std::ofstream(ini.IniName, std::ios::binary).write(content.data(), size).flush()) {
        return "cannot set up the settings file";
    }
    ini.SectionName = kSections[content.size() % 4];
    for (const char* key : kReadKeys) {
        std::string value;
        ini.ReadKeyEx(key, "default");
        ini.ReadKey(key, value);
    }
    if (ini.SectionName == "[%NOTUSE%]") {
        ini.SectionName = "Setup";
    }
    std::string fault = CheckWrite(ini, content);
    ini.DelKey(kReadKeys[1]);
    ini.DelSection(ini.SectionName);
    ini.ReadKeyEx(std::string(kWrittenKey), "default");
    std::remove(ini.IniName.c_str());
    return fault;
}

}  // namespace zep::checks
