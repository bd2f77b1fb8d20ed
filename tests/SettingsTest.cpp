// The settings file: reads, byte-exact changes, start-up, its place, and zepconv's refusal.

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <map>
#include <optional>

#include "TestWorkspace.h"
#include "ZepconvRun.h"
#include "support/AppINI.h"
#include "support/AppSettings.h"
#include "support/PrivateProfile.h"

namespace zep {
namespace {

namespace fs = std::filesystem;
using Row = std::vector<std::string>;

// ReadKey finds what the table says; values of any length read back whole; eight recent files.
TEST(SettingsStore, ReadsFindTheKeyOfTheFirstSectionSoNamedAndWhatWasWritten) {
    test::TempDir dir;
    AppINI store{dir / "s.ini", ""};
    for (const Row& row : test::Table("settings-ReadKey.tsv")) {
        test::Put(store.IniName, row[0]);
        store.SectionName = row[1];
        std::string value = "stale";
        const bool found = store.ReadKey(row[2], value);
        EXPECT_EQ(found ? value : "<absent>", row[3]) << row[1] << " " << row[2];
        EXPECT_TRUE(found || value.empty());
    }
    store.SectionName = "S";
    for (std::size_t length : {1u, 1022u, 1023u, 1024u, 2048u, 1u << 20}) {
        const std::string value = "a" + std::string(length - 1, 'v') + "\xB5 =[x];";
        ASSERT_TRUE(store.WriteKey("K" + std::to_string(length), value));
        EXPECT_TRUE(store.ReadKeyEx("K" + std::to_string(length), "") == value) << length;
    }
    std::vector<char> none;
    EXPECT_EQ(GetPrivateProfileString("S", "K1", none, store.IniName), 0u);
    // At most eight recent files are kept, whatever the caller hands over.
    std::vector<std::string> nine;
    for (int i = 1; i <= 9; ++i) {
        nine.push_back("/f" + std::to_string(i) + ".Zep");
    }
    ASSERT_TRUE(WriteRecentFiles(store, nine));
    nine.pop_back();
    EXPECT_EQ(ReadRecentFiles(store), nine);
    EXPECT_EQ(test::Contents(store.IniName).find("File9"), std::string::npos);
}

// Table rows: file before (<absent>: none), section, arguments, result, file after; no leftovers.
TEST(SettingsStore, ChangesRewriteOnlyWhatTheyMust) {
    const std::map<std::string, std::function<bool(AppINI&, const Row&)>> changes = {
        {"WriteKey", [](AppINI& s, const Row& row) { return s.WriteKey(row[2], row[3]); }},
        {"DelKey", [](AppINI& s, const Row& row) { return s.DelKey(row[2]); }},
        {"DelSection", [](AppINI& s, const Row& row) { return s.DelSection(row[1]); }},
        {"RenSection", [](AppINI& s, const Row& row) { return s.RenSection(row[1], row[2]); }},
    };
    test::TempDir dir;
    const std::string folder = dir / "sub";
    for (const auto& [name, change] : changes) {
        for (const Row& row : test::Table("settings-" + name + ".tsv")) {
            fs::remove_all(folder);
            if (row[0] != "<absent>") {
                fs::create_directory(folder);
                test::Put(folder + "/s.ini", row[0]);
            }
            AppINI store{folder + "/s.ini", row[1]};
            EXPECT_EQ(change(store, row), row[row.size() - 2] == "1") << name << " " << row[0];
            const bool exists = fs::exists(store.IniName);
            EXPECT_EQ(exists ? test::Contents(store.IniName) : "<absent>", row.back()) << name;
            EXPECT_EQ(fs::exists(folder) ? test::NamesIn(folder).size() : 0u, exists ? 1u : 0u);
        }
    }
}

TEST(StoredValue, IsConvertedOrGivesNothing) {
    for (const Row& row : test::Table("settings-switches.tsv")) {
        const std::optional<bool> on = SwitchFromText(row[0]);
        EXPECT_EQ(on ? std::to_string(*on) : "", row[1]) << row[0];
    }
    for (const Row& row : test::Table("settings-whole-numbers.tsv")) {
        const std::optional<std::int32_t> number = WholeFromText(row[0]);
        EXPECT_EQ(number ? std::to_string(*number) : "", row[1]) << row[0];
    }
}

// Start-up reads the samples with the table's results, and writes nothing.
TEST(StartUpSettings, AreConvertedFromTheStoredTextOrGiveTheDefaults) {
    for (const Row& row : test::Table("settings-samples.tsv")) {
        AppINI store{ZEP_TEST_DATA_DIR "/settings/" + row[0], ""};
        std::string before;
        const bool existed = ReadWholeFile(store.IniName, before);
        EXPECT_EQ(test::OptionsText(ReadOptions(store)), row[1]) << row[0];
        const WindowPosition at = ReadWindowPosition(store);
        EXPECT_EQ(std::to_string(at.MainLeft) + " " + std::to_string(at.MainTop) + " " +
                      std::to_string(at.MainWidth) + " " + std::to_string(at.MainHeight),
                  row[2])
            << row[0];
        EXPECT_EQ(existed ? test::Contents(store.IniName) : "", before) << row[0];
        EXPECT_EQ(fs::exists(store.IniName), existed) << row[0];
    }
}

// Beside the program, named after it; else in the user's configuration folder.
TEST(SettingsFile, LivesBesideTheProgramOrElseInTheUsersConfigFolder) {
    test::TempDir dir;
    EXPECT_EQ(SettingsFileFor(dir / "zep.conv.bin"), dir / "zep.conv.ini");
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const std::string nowhere = dir / "absent/bin/ZEPConverter";
    ::setenv("HOME", "/home/user", 1);
    ::setenv("XDG_CONFIG_HOME", "/cfg/home", 1);
    EXPECT_EQ(SettingsFileFor(nowhere), "/cfg/home/ZEPConverter/ZEPConverter.ini");
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);  // to be ignored
    EXPECT_EQ(SettingsFileFor(nowhere), "/home/user/.config/ZEPConverter/ZEPConverter.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFileFor(nowhere), "/home/user/.config/ZEPConverter/ZEPConverter.ini");
    ::setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(fs::path(RunningExecutablePath()).filename(), "SettingsTest");
}

// Root may read any file, so the unreadable one is tried as nobody, in a child process.
int RunAsNobody(const std::vector<std::string>& args) {
    const pid_t child = ::geteuid() == 0 ? ::fork() : -1;
    if (child == 0) {
        ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 ? test::Zepconv(args).code : 99);
    }
    int status = 0;
    return child < 0 ? test::Zepconv(args).code
                     : (::waitpid(child, &status, 0) == child ? WEXITSTATUS(status) : -1);
}

TEST(SettingsFileUse, AFifoAFolderOrAnUnreadableFileIsAUsageError) {
    test::TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0666), 0);
    std::filesystem::create_directory(dir / "folder.ini");
    test::Put(dir / "unreadable.ini", "[Setup]\r\n");
    std::filesystem::permissions(dir / "unreadable.ini", std::filesystem::perms::none);
    for (const char* name : {"fifo.ini", "folder.ini", "unreadable.ini"}) {
        const std::vector<std::string> args = {
            "save", "--settings", dir / name, "-o", dir / "out", ZEP_EXAMPLES_DIR "/atlantic.Zep"};
        EXPECT_EQ(RunAsNobody(args), 2) << name;
        EXPECT_FALSE(std::filesystem::exists(dir / "out")) << name;
    }
}

}  // namespace
}  // namespace zep
