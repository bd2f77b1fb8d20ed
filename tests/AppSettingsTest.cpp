#include "support/AppSettings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "TestWorkspace.h"
#include "support/SafeFile.h"

namespace zep {
namespace {

using test::Contents;
using test::TempDir;

std::string Sample(const char* name) {
    return std::string(ZEP_TEST_DATA_DIR) + "/settings/" + name;
}

AppINI StoreAt(const std::string& file) {
    AppINI store;
    store.IniName = file;
    return store;
}

struct OptionsCase {
    const char* file;
    const char* tolerance;
    std::int32_t perLine;
    bool sortAscii;
    bool adjust;
    bool spaceLast;

    friend void PrintTo(const OptionsCase& c, std::ostream* os) { *os << c.file; }
};

class StartUpOptions : public testing::TestWithParam<OptionsCase> {};

TEST_P(StartUpOptions, AreConvertedFromTheStoredText) {
    const OptionsCase& c = GetParam();
    std::string file = Sample(c.file);
    std::string before;
    bool existed = ReadWholeFile(file, before);
    AppINI store = StoreAt(file);
    Options options = ReadOptions(store);
    EXPECT_EQ(options.STR_OPT_TOLERANCE, c.tolerance);
    EXPECT_EQ(options.LNG_OPT_COUNT_PER_TOLERANCELINE, c.perLine);
    EXPECT_EQ(options.BLN_OPT_SORTASCII, c.sortAscii);
    EXPECT_EQ(options.BLN_OPT_ADJTOMAXCOUNT, c.adjust);
    EXPECT_EQ(options.BLN_OPT_SORT_SPACE_TO_LAST, c.spaceLast);
    // Start-up reads only: a default that was used is not written back.
    if (existed) {
        EXPECT_EQ(Contents(file), before);
    } else {
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Samples, StartUpOptions,
    testing::Values(OptionsCase{"absent.ini", "000.005", 11, true, true, true},
                    // false, FALSE and 0 are off; 0.01 stays as typed.
                    OptionsCase{"switches_off.ini", "0.01", 4, false, false, false},
                    // True, true and -1 are on; 000.005 keeps its leading zeros.
                    OptionsCase{"switches_on.ini", "000.005", 1, true, true, true},
                    OptionsCase{"names_any_case.ini", ".5", 7, false, true, true},
                    OptionsCase{"unconvertible.ini", "000.005", 11, true, true, true},
                    OptionsCase{"count_zero.ini", "000.005", 11, false, true, true},
                    OptionsCase{"count_negative.ini", "0.01", 11, true, false, true},
                    OptionsCase{"later_section.ini", "000.005", 11, true, true, true},
                    OptionsCase{"other_sections.ini", "000.005", 11, true, true, true}),
    [](const testing::TestParamInfo<OptionsCase>& p) {
        std::string name = p.param.file;
        return name.substr(0, name.find('.'));
    });

TEST(StoredSwitch, WordsInAnyCaseOrNumbers) {
    for (const char* on : {"True", "true", "TRUE", "-1", "1", "2", " 0.5 ", "1e3"}) {
        EXPECT_EQ(SwitchFromText(on), std::optional<bool>(true)) << on;
    }
    for (const char* off : {"False", "false", "FALSE", "fAlSe", "0", "-0", "0.0", " 0 "}) {
        EXPECT_EQ(SwitchFromText(off), std::optional<bool>(false)) << off;
    }
    for (const char* bad : {"", " ", "yes", "no", "on", "0x", "1 0", "nan", "Truee", "+1"}) {
        EXPECT_EQ(SwitchFromText(bad), std::nullopt) << bad;
    }
}

TEST(StoredWholeNumber, TakesTheWholeToken) {
    EXPECT_EQ(WholeFromText("11"), 11);
    EXPECT_EQ(WholeFromText(" -60 "), -60);
    EXPECT_EQ(WholeFromText("2147483647"), 2147483647);
    for (const char* bad : {"", "4.5", "1e3", "12a", "+3", "2147483648", "eleven", "1 2"}) {
        EXPECT_EQ(WholeFromText(bad), std::nullopt) << bad;
    }
}

TEST(StartUpOptions, WrittenOptionsReadBackAndLookAsTheDialogStoresThem) {
    TempDir dir;
    AppINI store = StoreAt(dir / "ZEPConverter.ini");
    Options options;
    options.STR_OPT_TOLERANCE = "0.010";
    options.LNG_OPT_COUNT_PER_TOLERANCELINE = 4;
    options.BLN_OPT_SORTASCII = false;
    options.BLN_OPT_SORT_SPACE_TO_LAST = false;
    ASSERT_TRUE(WriteOptions(store, options));
    EXPECT_EQ(Contents(dir / "ZEPConverter.ini"),
              "[Setup]\r\n"
              "STR_OPT_TOLERANCE=0.010\r\n"
              "LNG_OPT_COUNT_PER_TOLERANCELINE=4\r\n"
              "BLN_OPT_SORTASCII=False\r\n"
              "BLN_OPT_ADJTOMAXCOUNT=True\r\n"
              "BLN_OPT_SORT_SPACE_TO_LAST=False\r\n");
    AppINI again = StoreAt(dir / "ZEPConverter.ini");
    Options read = ReadOptions(again);
    EXPECT_EQ(read.STR_OPT_TOLERANCE, "0.010");
    EXPECT_EQ(read.LNG_OPT_COUNT_PER_TOLERANCELINE, 4);
    EXPECT_FALSE(read.BLN_OPT_SORTASCII);
    EXPECT_TRUE(read.BLN_OPT_ADJTOMAXCOUNT);
    EXPECT_FALSE(read.BLN_OPT_SORT_SPACE_TO_LAST);
    EXPECT_EQ(again.SectionName, "Setup");
}

struct PositionCase {
    const char* file;
    WindowPosition expected;

    friend void PrintTo(const PositionCase& c, std::ostream* os) { *os << c.file; }
};

class StartUpPosition : public testing::TestWithParam<PositionCase> {};

TEST_P(StartUpPosition, IsReadFromSectionPostion) {
    const PositionCase& c = GetParam();
    AppINI store = StoreAt(Sample(c.file));
    WindowPosition position = ReadWindowPosition(store);
    EXPECT_EQ(position.MainLeft, c.expected.MainLeft);
    EXPECT_EQ(position.MainTop, c.expected.MainTop);
    EXPECT_EQ(position.MainWidth, c.expected.MainWidth);
    EXPECT_EQ(position.MainHeight, c.expected.MainHeight);
    EXPECT_EQ(store.SectionName, "POSTION");
}

INSTANTIATE_TEST_SUITE_P(
    Samples, StartUpPosition,
    testing::Values(PositionCase{"absent.ini", {1000, 1000, 6500, 6500}},
                    // An empty MainWidth= gives 6500; letters give the default too.
                    PositionCase{"position_mixed.ini", {-60, 0, 6500, 6500}},
                    PositionCase{"position_set.ini", {15, 30, 9000, 6500}},
                    PositionCase{"switches_off.ini", {1000, 1000, 6500, 6500}}),
    [](const testing::TestParamInfo<PositionCase>& p) {
        std::string name = p.param.file;
        return name.substr(0, name.find('.'));
    });

TEST(WindowPositionStore, WritesShortestDecimalTextAndKeepsOtherSections) {
    TempDir dir;
    ASSERT_TRUE(WriteFileSafely(dir / "z.ini", "[Setup]\r\nBLN_OPT_SORTASCII=False\r\n"));
    AppINI store = StoreAt(dir / "z.ini");
    ASSERT_TRUE(WriteWindowPosition(store, WindowPosition{-60, 0, 6500, 12000}));
    EXPECT_EQ(Contents(dir / "z.ini"),
              "[Setup]\r\nBLN_OPT_SORTASCII=False\r\n"
              "[POSTION]\r\nMainLeft=-60\r\nMainTop=0\r\nMainWidth=6500\r\nMainHeight=12000\r\n");
    ASSERT_TRUE(WriteWindowPosition(store, WindowPosition{1000, 1000, 6500, 6500}));
    EXPECT_EQ(
        Contents(dir / "z.ini"),
        "[Setup]\r\nBLN_OPT_SORTASCII=False\r\n"
        "[POSTION]\r\nMainLeft=1000\r\nMainTop=1000\r\nMainWidth=6500\r\nMainHeight=6500\r\n");
    WindowPosition read = ReadWindowPosition(store);
    EXPECT_EQ(read.MainLeft, 1000);
    EXPECT_FALSE(ReadOptions(store).BLN_OPT_SORTASCII);
}

// Sets an environment variable for the test's duration.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        if (old != nullptr) {
            old_ = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SettingsFile, LivesBesideTheExecutableNamedAfterIt) {
    TempDir dir;
    EXPECT_EQ(SettingsFileFor(dir / "ZEPConverter"), dir / "ZEPConverter.ini");
    EXPECT_EQ(SettingsFileFor(dir / "ZEPConverter.exe"), dir / "ZEPConverter.ini");
    EXPECT_EQ(SettingsFileFor(dir / "zep.conv.bin"), dir / "zep.conv.ini");
}

TEST(SettingsFile, MovesToTheUserConfigFolderWhenTheExecutablesFolderIsNotWritable) {
    TempDir dir;
    std::string missingFolder = dir.path() + "/absent/bin/ZEPConverter";
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg/home");
        EXPECT_EQ(SettingsFileFor(missingFolder), "/cfg/home/ZEPConverter/ZEPConverter.ini");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        ScopedEnv home("HOME", "/home/user");
        EXPECT_EQ(SettingsFileFor(missingFolder),
                  "/home/user/.config/ZEPConverter/ZEPConverter.ini");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "relative/cfg");
        ScopedEnv home("HOME", "/home/user");
        EXPECT_EQ(SettingsFileFor(missingFolder),
                  "/home/user/.config/ZEPConverter/ZEPConverter.ini");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg/home");
        EXPECT_EQ(SettingsFileFor(""), "/cfg/home/ZEPConverter/ZEPConverter.ini");
    }
    if (::geteuid() != 0) {
        std::filesystem::create_directory(dir / "ro");
        ::chmod((dir / "ro").c_str(), 0555);
        ScopedEnv xdg("XDG_CONFIG_HOME", "/cfg/home");
        EXPECT_EQ(SettingsFileFor(dir / "ro/ZEPConverter"),
                  "/cfg/home/ZEPConverter/ZEPConverter.ini");
    }
}

TEST(SettingsFile, TheFallbackFolderIsMadeByTheFirstWrite) {
    TempDir dir;
    ScopedEnv xdg("XDG_CONFIG_HOME", dir.path().c_str());
    AppINI store = StoreAt(SettingsFileFor(dir.path() + "/absent/ZEPConverter"));
    EXPECT_EQ(store.IniName, dir / "ZEPConverter/ZEPConverter.ini");
    ReadOptions(store);
    ReadWindowPosition(store);
    EXPECT_FALSE(std::filesystem::exists(dir / "ZEPConverter"));
    ASSERT_TRUE(WriteWindowPosition(store, WindowPosition{}));
    EXPECT_EQ(ReadWindowPosition(store).MainWidth, 6500);
    EXPECT_TRUE(std::filesystem::is_regular_file(store.IniName));
}

TEST(SettingsFile, TheRunningExecutableIsThisTest) {
    std::string exe = RunningExecutablePath();
    EXPECT_EQ(std::filesystem::path(exe).filename(), "AppSettingsTest");
    EXPECT_TRUE(std::filesystem::path(exe).is_absolute());
    EXPECT_TRUE(std::filesystem::is_regular_file(exe));
}

}  // namespace
}  // namespace zep
