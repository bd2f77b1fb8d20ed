#include "support/PrivateProfile.h"

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

// The value as the read returns it with a buffer of the given size, or "<none>".
std::string Get(std::string_view section, std::string_view key, const std::string& file,
                std::size_t size = 4096) {
    std::vector<char> buffer(size, 'X');
    std::size_t n = GetPrivateProfileString(section, key, buffer, file);
    if (size > 0) {
        EXPECT_EQ(buffer[n], '\0');
    }
    return n == 0 ? "<none>" : std::string(buffer.data(), n);
}

constexpr std::string_view kSample =
    "; settings\r\n"
    "top=above\r\n"
    "  [ Setup ]  \r\n"
    "  Tolerance = 5 \r\n"
    "Count=11\r\n"
    "Empty=\r\n"
    "Count=12\r\n"
    "Quoted=\"a b\"\r\n"
    "[Other]\n"
    "Count=99\n"
    "[setup]\r\n"
    "Late=1";

TEST(PrivateProfileRead, FindsKeysOfTheFirstSectionIgnoringLetterCase) {
    TempDir dir;
    Put(dir / "s.ini", kSample);
    EXPECT_EQ(Get("Setup", "Count", dir / "s.ini"), "11");
    EXPECT_EQ(Get("SETUP", "count", dir / "s.ini"), "11");
    EXPECT_EQ(Get("setup", "tolerance", dir / "s.ini"), "5");
    EXPECT_EQ(Get("Setup", "Quoted", dir / "s.ini"), "a b");
    EXPECT_EQ(Get("other", "COUNT", dir / "s.ini"), "99");
    // A second section of the same name is not searched; keys above every section belong to
    // none.
    EXPECT_EQ(Get("Setup", "Late", dir / "s.ini"), "<none>");
    EXPECT_EQ(Get("Setup", "top", dir / "s.ini"), "<none>");
}

TEST(PrivateProfileRead, MissingOrEmptyGivesNothing) {
    TempDir dir;
    Put(dir / "s.ini", kSample);
    EXPECT_EQ(Get("Setup", "Empty", dir / "s.ini"), "<none>");
    EXPECT_EQ(Get("Setup", "Absent", dir / "s.ini"), "<none>");
    EXPECT_EQ(Get("Absent", "Count", dir / "s.ini"), "<none>");
    EXPECT_EQ(Get("Setup", "Count", dir / "absent.ini"), "<none>");
    EXPECT_EQ(Get("Setup", "Count", dir.path()), "<none>");  // a folder, not a file
    std::vector<char> none;
    EXPECT_EQ(GetPrivateProfileString("Setup", "Count", none, dir / "s.ini"), 0u);
}

TEST(PrivateProfileRead, ACutValueReturnsBufferSizeLessOne) {
    TempDir dir;
    std::string value(1023, 'v');
    value.back() = 'w';
    Put(dir / "s.ini", "[S]\r\nShort=abcde\r\nLong=" + value + "\r\n");
    EXPECT_EQ(Get("S", "Short", dir / "s.ini", 6), "abcde");
    EXPECT_EQ(Get("S", "Short", dir / "s.ini", 5), "abcd");
    EXPECT_EQ(Get("S", "Short", dir / "s.ini", 1), "<none>");
    // Exactly 1023 characters fill a 1024 buffer just as a longer value would.
    EXPECT_EQ(Get("S", "Long", dir / "s.ini", 1024), value);
    EXPECT_EQ(Get("S", "Long", dir / "s.ini", 2048), value);
    EXPECT_EQ(Get("S", "Long", dir / "s.ini", 1023), value.substr(0, 1022));
}

struct WriteCase {
    const char* name;
    std::string before;  // "<absent>": no file
    const char* section;
    const char* key;
    const char* value;
    std::string after;

    friend void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }
};

class PrivateProfileWrite : public testing::TestWithParam<WriteCase> {};

TEST_P(PrivateProfileWrite, ChangesOnlyTheKeysLine) {
    const WriteCase& c = GetParam();
    TempDir dir;
    if (c.before != "<absent>") {
        Put(dir / "s.ini", c.before);
    }
    ASSERT_TRUE(WritePrivateProfileString(c.section, c.key, c.value, dir / "s.ini"));
    EXPECT_EQ(Contents(dir / "s.ini"), c.after);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PrivateProfileWrite,
    testing::Values(
        WriteCase{"CreatesTheFile", "<absent>", "Setup", "A", "1", "[Setup]\r\nA=1\r\n"},
        WriteCase{"ReplacesTheFirstMatchKeepingEverythingElse",
                  "; c\r\n[Setup]\r\n  a = old\r\nB=2\r\na=dup\r\n\r\n[Other]\r\nA=x", "setup", "A",
                  "new", "; c\r\n[Setup]\r\nA=new\r\nB=2\r\na=dup\r\n\r\n[Other]\r\nA=x"},
        WriteCase{"AddsAfterTheLastFilledLineOfTheSection",
                  "[Setup]\r\nB=2\r\n\r\n[Other]\r\nC=3\r\n", "Setup", "A", "1",
                  "[Setup]\r\nB=2\r\nA=1\r\n\r\n[Other]\r\nC=3\r\n"},
        WriteCase{"AddsToAHeaderWithoutLineBreak", "[Setup]", "Setup", "A", "1",
                  "[Setup]\r\nA=1\r\n"},
        WriteCase{"AppendsAMissingSection", "[Other]\r\nX=1", "Setup", "A", "1",
                  "[Other]\r\nX=1\r\n[Setup]\r\nA=1\r\n"},
        WriteCase{"KeepsLineFeedOnlyLines", "[Setup]\nB=2\n[Other]\n", "Setup", "A", "1",
                  "[Setup]\nB=2\nA=1\r\n[Other]\n"},
        WriteCase{"LeavesASecondSectionOfTheSameName", "[S]\r\nA=1\r\n[T]\r\n[S]\r\nA=2\r\n", "S",
                  "A", "3", "[S]\r\nA=3\r\n[T]\r\n[S]\r\nA=2\r\n"},
        WriteCase{"WritesTheValueAsGiven", "[S]\r\nA=1\r\n", "S", " A ", "  x = y ;z ",
                  "[S]\r\nA=\"  x = y ;z \"\r\n"},
        WriteCase{"TakesASectionNameWithBrackets", "top=1\r\n", "[%NOTUSE%]", "A", "1",
                  "top=1\r\n[[%NOTUSE%]]\r\nA=1\r\n"}),
    [](const testing::TestParamInfo<WriteCase>& p) { return std::string(p.param.name); });

TEST(PrivateProfileWrite, ValuesOfAnyLengthReadBackUnchanged) {
    TempDir dir;
    std::string eightBit = "\xB5\xE9\x01 \"q\" ;c [x] a=b\t";
    std::vector<std::string> values = {"x",
                                       std::string(1022, 'a'),
                                       std::string(1023, 'b'),
                                       std::string(1024, 'c'),
                                       std::string(300000, 'd'),
                                       eightBit,
                                       " leading and trailing ",
                                       "範例二"};
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::string key = "K" + std::to_string(i);
        ASSERT_TRUE(WritePrivateProfileString("S", key, values[i], dir / "s.ini"));
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(Get("S", "K" + std::to_string(i), dir / "s.ini", 400000), values[i]) << i;
    }
}

TEST(PrivateProfileWrite, CreatesAMissingFolder) {
    TempDir dir;
    std::string file = dir.path() + "/one/two/s.ini";
    ASSERT_TRUE(WritePrivateProfileString("S", "A", "1", file));
    EXPECT_EQ(Contents(file), "[S]\r\nA=1\r\n");
}

struct Refusal {
    const char* name;
    const char* section;
    std::string key;
    std::string value;

    friend void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }
};

class PrivateProfileRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(PrivateProfileRefusal, LeavesTheFileUnchanged) {
    const Refusal& c = GetParam();
    TempDir dir;
    Put(dir / "s.ini", "[S]\r\nA=1");
    EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, dir / "s.ini"));
    EXPECT_EQ(Contents(dir / "s.ini"), "[S]\r\nA=1");
    EXPECT_FALSE(WritePrivateProfileString(c.section, c.key, c.value, dir / "new.ini"));
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

INSTANTIATE_TEST_SUITE_P(Names, PrivateProfileRefusal,
                         testing::Values(Refusal{"EmptyKey", "S", "", "1"},
                                         Refusal{"BlankKey", "S", "   ", "1"},
                                         Refusal{"KeyWithEquals", "S", "A=B", "1"},
                                         Refusal{"KeyLikeAHeader", "S", "[A", "1"},
                                         Refusal{"LineBreakInKey", "S", "A\nB", "1"},
                                         Refusal{"LineBreakInValue", "S", "A", "1\r\n[T]"},
                                         Refusal{"LineFeedInValue", "S", "A", "1\nB=2"},
                                         Refusal{"LineBreakInSection", "S]\r\n[T", "A", "1"}),
                         [](const testing::TestParamInfo<Refusal>& p) {
                             return std::string(p.param.name);
                         });

TEST(PrivateProfileWrite, AFileThatCannotBeReadIsNotReplaced) {
    TempDir dir;
    std::filesystem::create_directory(dir / "s.ini");
    EXPECT_FALSE(WritePrivateProfileString("S", "A", "1", dir / "s.ini"));
    EXPECT_FALSE(WritePrivateProfileSection("S", "A=1", dir / "s.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "s.ini"));
}

TEST(PrivateProfileWrite, AWriteThatFailsPartWayLeavesTheOldFile) {
    TempDir dir;
    std::string old = "[S]\r\nA=1\r\nB=" + std::string(100, 'b') + "\r\n";
    Put(dir / "s.ini", old);
    bool written = true;
    bool sectionWritten = true;
    {
        test::FileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        written = WritePrivateProfileString("S", "A", "2", dir / "s.ini");
        sectionWritten = WritePrivateProfileSection("S", "A=3", dir / "s.ini");
    }
    EXPECT_FALSE(written);
    EXPECT_FALSE(sectionWritten);
    EXPECT_EQ(Contents(dir / "s.ini"), old);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

struct SectionCase {
    const char* name;
    std::string before;
    const char* section;
    std::string content;
    std::string after;

    friend void PrintTo(const SectionCase& c, std::ostream* os) { *os << c.name; }
};

class PrivateProfileSection : public testing::TestWithParam<SectionCase> {};

TEST_P(PrivateProfileSection, ReplacesTheBody) {
    const SectionCase& c = GetParam();
    TempDir dir;
    Put(dir / "s.ini", c.before);
    ASSERT_TRUE(WritePrivateProfileSection(c.section, c.content, dir / "s.ini"));
    EXPECT_EQ(Contents(dir / "s.ini"), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PrivateProfileSection,
    testing::Values(SectionCase{"ZeroSeparatedEntries", "[A]\r\nx=1\r\ny=2\r\n\r\n[B]\r\nz=3\r\n",
                                "a", std::string("p=1\0q=2\0\0", 9),
                                "[A]\r\np=1\r\nq=2\r\n\r\n[B]\r\nz=3\r\n"},
                    SectionCase{"PlainText", "[A]\r\nx=1", "A", "NewName", "[A]\r\nNewName\r\n"},
                    SectionCase{"EmptyContent", "[A]\r\nx=1\r\n[B]\r\n", "A", "", "[A]\r\n[B]\r\n"},
                    SectionCase{"MissingSection", "[B]\r\nz=3", "A", "p=1\r\nq=2",
                                "[B]\r\nz=3\r\n[A]\r\np=1\r\nq=2\r\n"}),
    [](const testing::TestParamInfo<SectionCase>& p) { return std::string(p.param.name); });

TEST(PrivateProfileSection, AnEntryThatWouldStartASectionIsRefused) {
    TempDir dir;
    Put(dir / "s.ini", "[A]\r\nx=1\r\n");
    EXPECT_FALSE(WritePrivateProfileSection("A", "p=1\n[B]\nq=2", dir / "s.ini"));
    EXPECT_EQ(Contents(dir / "s.ini"), "[A]\r\nx=1\r\n");
}

}  // namespace
}  // namespace zep
