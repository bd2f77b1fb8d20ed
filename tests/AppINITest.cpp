#include "support/AppINI.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "FileSizeLimit.h"
#include "TestWorkspace.h"
#include "support/SafeFile.h"

namespace zep {
namespace {

using test::Contents;
using test::EntriesIn;
using test::Put;
using test::TempDir;

AppINI StoreAt(const std::string& file, const char* section) {
    AppINI store;
    store.IniName = file;
    store.SectionName = section;
    return store;
}

// ReadKey's answer as one text: the value, or "<none>" when not found.
std::string ReadKeyText(AppINI& store, const std::string& key) {
    std::string value = "stale";
    bool found = store.ReadKey(key, value);
    if (!found) {
        EXPECT_EQ(value, "");
        return "<none>";
    }
    return value;
}

TEST(AppINIReadKeyEx, LongValuesReadWhole) {
    TempDir dir;
    AppINI store = StoreAt(dir / "s.ini", "Setup");
    for (std::size_t length : {1u, 1022u, 1023u, 1024u, 2047u, 2048u, 5000u, 1u << 20}) {
        std::string value(length, 'v');
        value.front() = 'a';
        value.back() = 'z';
        std::string key = "K" + std::to_string(length);
        ASSERT_TRUE(store.WriteKey(key, value));
        EXPECT_EQ(store.ReadKeyEx(key, "def"), value) << length;
        std::string read;
        EXPECT_TRUE(store.ReadKey(key, read));
        EXPECT_EQ(read, value) << length;
    }
}

TEST(AppINIReadKeyEx, ExactlyTheFirstBufferLessOneIsNotCut) {
    TempDir dir;
    std::string value = std::string(1022, 'x') + "!";
    Put(dir / "s.ini", "[Setup]\r\nTolerance=" + value + "\r\n");
    AppINI store = StoreAt(dir / "s.ini", "Setup");
    EXPECT_EQ(store.ReadKeyEx("Tolerance", ""), value);
}

TEST(AppINIReadKeyEx, MissingOrEmptyGivesTheDefault) {
    TempDir dir;
    Put(dir / "s.ini", "[Setup]\r\nMainWidth=\r\nA=1\r\n");
    AppINI store = StoreAt(dir / "s.ini", "Setup");
    EXPECT_EQ(store.ReadKeyEx("MainWidth", "6500"), "6500");
    EXPECT_EQ(store.ReadKeyEx("Absent", "d"), "d");
    EXPECT_EQ(ReadKeyText(store, "MainWidth"), "<none>");
    store.SectionName = "Other";
    EXPECT_EQ(store.ReadKeyEx("A", "d"), "d");
    AppINI nowhere = StoreAt(dir / "absent.ini", "Setup");
    EXPECT_EQ(nowhere.ReadKeyEx("A", "d"), "d");
    EXPECT_EQ(ReadKeyText(nowhere, "A"), "<none>");
    AppINI unset;
    EXPECT_EQ(unset.ReadKeyEx("A", "d"), "d");
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.ini"));
}

TEST(AppINIReadKeyEx, KeyLineWithBlanksDropsTheBlanksAroundTheValue) {
    TempDir dir;
    Put(dir / "s.ini", "[Setup]\r\n Tolerance = 5\r\n");
    AppINI store = StoreAt(dir / "s.ini", "Setup");
    EXPECT_EQ(store.ReadKeyEx("Tolerance", "d"), "5");
}

TEST(AppINIWriteKey, NeedsAFileAndASection) {
    TempDir dir;
    AppINI noSection = StoreAt(dir / "s.ini", "");
    EXPECT_FALSE(noSection.WriteKey("A", "1"));
    AppINI noFile = StoreAt("", "Setup");
    EXPECT_FALSE(noFile.WriteKey("A", "1"));
    EXPECT_EQ(EntriesIn(dir.path()), 0u);
}

TEST(AppINIWriteKey, AFailedRewriteLeavesTheOldFile) {
    TempDir dir;
    std::string old = "[Setup]\r\nA=1\r\nB=" + std::string(64, 'b') + "\r\n";
    Put(dir / "s.ini", old);
    AppINI store = StoreAt(dir / "s.ini", "Setup");
    bool written = true;
    {
        test::FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        written = store.WriteKey("A", "2");
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(Contents(dir / "s.ini"), old);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

// The keys above the first section header, by the file's lines.
constexpr std::string_view kTopKeys =
    "first=1\r\n"
    "A=2\r\n"
    "\r\n"
    "=x\r\n"
    " =y\r\n"
    "  B = 3\r\n"
    "a=lower\r\n"
    "[Setup]\r\n"
    "C=4\r\n";

TEST(AppINIReadKey, NotUseReadsTheLinesAboveTheFirstSection) {
    TempDir dir;
    Put(dir / "s.ini", kTopKeys);
    AppINI store = StoreAt(dir / "s.ini", "[%NOTUSE%]");
    EXPECT_EQ(ReadKeyText(store, "first"), "<none>");  // the first line is the header
    EXPECT_EQ(ReadKeyText(store, "A"), "2");
    EXPECT_EQ(ReadKeyText(store, "a"), "lower");
    EXPECT_EQ(ReadKeyText(store, "B"), " 3");
    EXPECT_EQ(ReadKeyText(store, ""), "y");  // "=x" is no key line, " =y" is
    EXPECT_EQ(ReadKeyText(store, "C"), "<none>");
}

TEST(AppINIReadKey, NotUseOfAFileStartingWithAHeaderIsThatSection) {
    TempDir dir;
    Put(dir / "s.ini", "[Setup]\r\nK=v\r\n[Other]\r\nL=w");
    AppINI store = StoreAt(dir / "s.ini", "[%NOTUSE%]");
    EXPECT_EQ(ReadKeyText(store, "K"), "v");
    EXPECT_EQ(ReadKeyText(store, "L"), "<none>");
    AppINI missing = StoreAt(dir / "absent.ini", "[%NOTUSE%]");
    EXPECT_EQ(ReadKeyText(missing, "K"), "<none>");
}

TEST(AppINIReadKey, NotUseIsAnOrdinaryNameForReadKeyExAndWriteKey) {
    TempDir dir;
    Put(dir / "s.ini", "top\r\nA=1\r\n");
    AppINI store = StoreAt(dir / "s.ini", "[%NOTUSE%]");
    EXPECT_EQ(store.ReadKeyEx("A", "d"), "d");
    ASSERT_TRUE(store.WriteKey("A", "2"));
    EXPECT_EQ(Contents(dir / "s.ini"), "top\r\nA=1\r\n[[%NOTUSE%]]\r\nA=2\r\n");
    EXPECT_EQ(store.ReadKeyEx("A", "d"), "2");
    EXPECT_EQ(ReadKeyText(store, "A"), "1");
}

struct RewriteCase {
    const char* name;
    std::string before;
    const char* section;
    const char* key;  // DelKey: the key; DelSection: unused
    bool result;
    std::string after;

    friend void PrintTo(const RewriteCase& c, std::ostream* os) { *os << c.name; }
};

std::string CaseName(const testing::TestParamInfo<RewriteCase>& p) {
    return p.param.name;
}

class AppINIDelKey : public testing::TestWithParam<RewriteCase> {};

TEST_P(AppINIDelKey, RewritesTheFileWithoutItsLines) {
    const RewriteCase& c = GetParam();
    TempDir dir;
    Put(dir / "s.ini", c.before);
    AppINI store = StoreAt(dir / "s.ini", c.section);
    EXPECT_EQ(store.DelKey(c.key), c.result);
    EXPECT_EQ(Contents(dir / "s.ini"), c.after);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AppINIDelKey,
    testing::Values(
        RewriteCase{"RemovesTheKeyAndTheFinalBreak", "[Setup]\r\nA=1\r\nB=2\r\n[Other]\r\nA=3\r\n",
                    "Setup", "A", true, "[Setup]\r\nB=2\r\n[Other]\r\nA=3"},
        RewriteCase{"AbsentKeyStillDropsTheFinalBreak", "[Setup]\r\nB=2\r\n\r\n", "Setup", "A",
                    true, "[Setup]\r\nB=2\r\n"},
        RewriteCase{"AbsentSectionReportsFalse", "[Other]\r\nA=1\r\n", "Setup", "A", false,
                    "[Other]\r\nA=1"},
        RewriteCase{"EveryLineOfTheKeyWithBlanks", "[S]\r\nA=1\r\n  A =2\r\nB=3\r\nA\r\n", "S", "A",
                    true, "[S]\r\nB=3\r\nA"},
        RewriteCase{"KeysAndSectionsAreCaseSensitive", "[S]\r\na=1\r\n[s]\r\nA=2\r\n", "S", "A",
                    true, "[S]\r\na=1\r\n[s]\r\nA=2"},
        RewriteCase{"HeaderMustStandAlone", " [S]\r\nA=1\r\n", "S", "A", false, " [S]\r\nA=1"},
        RewriteCase{"FirstSectionOnly", "[S]\r\nA=1\r\n[T]\r\n[S]\r\nA=2\r\n", "S", "A", true,
                    "[S]\r\n[T]\r\n[S]\r\nA=2"},
        RewriteCase{"EqualsFirstIsNoKeyLine", "[S]\r\n=A\r\nA=1\r\n", "S", "", true,
                    "[S]\r\n=A\r\nA=1"},
        RewriteCase{"NotUseAboveTheFirstSection", "top\r\nA=1\r\n[S]\r\nA=2\r\n", "[%NOTUSE%]", "A",
                    true, "top\r\n[S]\r\nA=2"},
        RewriteCase{"NotUseKeepsTheFirstLine", "A=1\r\nA=2", "[%NOTUSE%]", "A", true, "A=1"},
        RewriteCase{"NotUseOfAFileStartingWithAHeader", "[S]\r\nA=1\r\nB=2", "[%NOTUSE%]", "A",
                    true, "[S]\r\nB=2"},
        RewriteCase{"LineFeedOnlyLinesComeBackWithCrLf", "[S]\nA=1\nB=2\n", "S", "A", true,
                    "[S]\r\nB=2"},
        RewriteCase{"EmptyFile", "", "S", "A", false, ""}),
    CaseName);

TEST(AppINIDelKey, AnUnreadableOrUnreplaceableFileStaysAsItWas) {
    TempDir dir;
    AppINI missing = StoreAt(dir / "absent.ini", "S");
    EXPECT_FALSE(missing.DelKey("A"));
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.ini"));

    std::string old = "[S]\r\nA=1\r\nB=" + std::string(64, 'b') + "\r\n";
    Put(dir / "s.ini", old);
    AppINI store = StoreAt(dir / "s.ini", "S");
    bool removed = true;
    {
        test::FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        removed = store.DelKey("A");
    }
    EXPECT_FALSE(removed);
    EXPECT_EQ(Contents(dir / "s.ini"), old);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

class AppINIDelSection : public testing::TestWithParam<RewriteCase> {};

TEST_P(AppINIDelSection, RewritesTheFileEndingEveryLine) {
    const RewriteCase& c = GetParam();
    TempDir dir;
    Put(dir / "s.ini", c.before);
    AppINI store = StoreAt(dir / "s.ini", "Unrelated");
    EXPECT_EQ(store.DelSection(c.section), c.result);
    EXPECT_EQ(Contents(dir / "s.ini"), c.after);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AppINIDelSection,
    testing::Values(
        RewriteCase{"FirstSection", "[A]\r\nx=1\r\n[B]\r\ny=2", "A", "", true, "[B]\r\ny=2\r\n"},
        RewriteCase{"LastSectionLeavesEverythingBefore", "top\r\n[A]\r\nx=1\r\n[B]\r\ny=2\r\n", "B",
                    "", true, "top\r\n[A]\r\nx=1\r\n"},
        RewriteCase{"FirstOfTwoOnly", "[A]\r\nx\r\n[A]\r\ny\r\n", "A", "", true, "[A]\r\ny\r\n"},
        RewriteCase{"AbsentStillEndsEveryLine", "a\nb", "A", "", false, "a\r\nb\r\n"},
        RewriteCase{"CaseSensitive", "[a]\r\nx=1\r\n", "A", "", false, "[a]\r\nx=1\r\n"},
        RewriteCase{"HeaderWithBlanksIsNoMatch", "[A] \r\nx=1\r\n", "A", "", false,
                    "[A] \r\nx=1\r\n"},
        RewriteCase{"NotUseIsAnOrdinaryName", "top\r\n[[%NOTUSE%]]\r\nx=1\r\n[B]\r\n", "[%NOTUSE%]",
                    "", true, "top\r\n[B]\r\n"},
        RewriteCase{"EmptyFile", "", "A", "", false, ""}),
    CaseName);

TEST(AppINIDelSection, AnUnreadableOrUnreplaceableFileStaysAsItWas) {
    TempDir dir;
    AppINI missing = StoreAt(dir / "absent.ini", "S");
    EXPECT_FALSE(missing.DelSection("S"));
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.ini"));
    AppINI unnamed;
    EXPECT_FALSE(unnamed.DelSection("S"));

    std::filesystem::create_directory(dir / "folder.ini");
    AppINI folder = StoreAt(dir / "folder.ini", "S");
    EXPECT_FALSE(folder.DelSection("S"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));

    std::string old = "[S]\r\nA=1\r\n[T]\r\nB=" + std::string(64, 'b') + "\r\n";
    Put(dir / "s.ini", old);
    AppINI store = StoreAt(dir / "s.ini", "S");
    bool removed = true;
    {
        test::FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        removed = store.DelSection("S");
    }
    EXPECT_FALSE(removed);
    EXPECT_EQ(Contents(dir / "s.ini"), old);
    EXPECT_EQ(EntriesIn(dir.path()), 2u);
}

TEST(AppINIDelSection, ARemovedSectionReadsAsDefaults) {
    TempDir dir;
    AppINI store = StoreAt(dir / "s.ini", "POSTION");
    ASSERT_TRUE(store.WriteKey("MainLeft", "-60"));
    store.SectionName = "Setup";
    ASSERT_TRUE(store.WriteKey("BLN_OPT_SORTASCII", "False"));
    ASSERT_TRUE(store.DelSection("POSTION"));
    EXPECT_EQ(Contents(dir / "s.ini"), "[Setup]\r\nBLN_OPT_SORTASCII=False\r\n");
    store.SectionName = "POSTION";
    EXPECT_EQ(store.ReadKeyEx("MainLeft", "1000"), "1000");
}

TEST(AppINIRenSection, ReplacesTheSectionsContent) {
    TempDir dir;
    Put(dir / "s.ini", "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    AppINI store = StoreAt(dir / "s.ini", "A");
    ASSERT_TRUE(store.RenSection("A", "z=3"));
    EXPECT_EQ(Contents(dir / "s.ini"), "[A]\r\nz=3\r\n[B]\r\ny=2\r\n");
    EXPECT_EQ(store.ReadKeyEx("x", "gone"), "gone");
    EXPECT_EQ(store.ReadKeyEx("z", "d"), "3");
    AppINI unnamed;
    EXPECT_FALSE(unnamed.RenSection("A", "z=3"));
}

}  // namespace
}  // namespace zep
