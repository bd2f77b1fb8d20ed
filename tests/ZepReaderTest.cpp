#include "core/ZepReader.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestWorkspace.h"
#include "ZepModel.h"
#include "support/SafeFile.h"

namespace zep {
namespace {

using test::CrLf;
using test::ExpectReadAs;
using test::ZepModel;

constexpr std::string_view kTolerance = "000.005";

const std::string kWorkedExample =
    CrLf({"F  2 2 2 ", "    0.5   -0.25", "    1    0", "alpha", "beta", "  0.01  0.02"});

const ZepModel kWorkedModel{
    "F", {{"0.5", "-0.25"}, {"1", "0"}}, {"alpha", "beta"}, {"0.01", "0.02"}};

TEST(ZepReader, WorkedExampleReadsWithItsFinalDeviationLine) {
    ExpectReadAs(ParseZepFile(kWorkedExample, kTolerance), kWorkedModel);

    test::TempDir dir;
    ASSERT_TRUE(WriteFileSafely(dir / "example.Zep", kWorkedExample));
    ExpectReadAs(LoadZEPFile(dir / "example.Zep", kTolerance), kWorkedModel);
}

TEST(ZepReader, HeaderFieldsAreTakenByPosition) {
    const std::string body = CrLf({"    7", "x", "  0.3", ""});
    // Field 1 is ignored whatever it holds, and so is everything after field 4.
    ExpectReadAs(ParseZepFile("ZEP  1 1 1 \r\n" + body, kTolerance),
                 ZepModel{"ZEP", {{"7"}}, {"x"}, {"0.3"}});
    ExpectReadAs(ParseZepFile("ZEP junk 1 1 1 more fields\r\n" + body, kTolerance),
                 ZepModel{"ZEP", {{"7"}}, {"x"}, {"0.3"}});
    // Leading zeros are still plain digits; an empty format field is kept empty.
    ExpectReadAs(ParseZepFile("  001 01 1\r\n" + body, kTolerance),
                 ZepModel{"", {{"7"}}, {"x"}, {"0.3"}});
}

TEST(ZepReader, RowsRunOverLinesWithAnySpacing) {
    const std::string file = CrLf({
        "Z  3 3 3 ",
        "  1   2",     // row 1 over two lines, leading spaces ignored
        " 3",          //
        "4 5 6    ",   // row 2, trailing spaces
        "7",           // row 3 over three lines with an empty one between
        "",            //
        "8  9\r",      // a lone CR stays inside its value
        "  gamma  ",   // labels are whole lines
        "",            // an empty label
        "a\nb\tc\r",   // lone LF, tab and a final lone CR stay in the label
        "  0.1  0.2",  // deviations over two lines; the extra values are not read
        "0.3 0.4 0.5",
    });
    ExpectReadAs(ParseZepFile(file, kTolerance),
                 ZepModel{"Z",
                          {{"1", "2", "3"}, {"4", "5", "6"}, {"7", "8", "9\r"}},
                          {"  gamma  ", "", "a\nb\tc\r"},
                          {"0.1", "0.2", "0.3"}});
}

TEST(ZepReader, MissingDeviationBlockTakesTheTolerance) {
    const ZepModel expected{"Z", {{"1", "2"}, {"3", "4"}}, {"p", "q"}, {"9.5", "9.5"}};
    const std::string head = CrLf({"Z  2 2 2 ", "1 2", "3 4", "p", "q"});
    // The file ends with the last label, with a final CR LF, or with a line of spaces before
    // further lines.
    for (const std::string& file : {head, head + "\r\n", head + "\r\n   \r\n  0.1  0.2"}) {
        SCOPED_TRACE(file);
        ExpectReadAs(ParseZepFile(file, "9.5"), expected);
    }
}

TEST(ZepReader, CountsThatDifferAreEachKept) {
    const std::string file = CrLf({"Z  1 3 2 ", "   -1", "a", "b", "c", "  0.1  0.2"});
    ExpectReadAs(ParseZepFile(file, kTolerance),
                 ZepModel{"Z", {{"-1"}}, {"a", "b", "c"}, {"0.1", "0.2"}});
}

struct Refusal {
    const char* file;  // in tests/data/bad
    std::int32_t line;
    const char* described;
};

void PrintTo(const Refusal& refusal, std::ostream* os) {
    *os << refusal.file;
}

class ZepReaderRefuses : public ::testing::TestWithParam<Refusal> {};

TEST_P(ZepReaderRefuses, NamesTheLineAndTheReason) {
    const Refusal& refusal = GetParam();
    const ReadResult result =
        LoadZEPFile(std::string(ZEP_TEST_DATA_DIR) + "/bad/" + refusal.file, kTolerance);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error.line, refusal.line);
    EXPECT_EQ(DescribeReadError(result.error), refusal.described);
}

INSTANTIATE_TEST_SUITE_P(
    BadFiles, ZepReaderRefuses,
    ::testing::Values(
        Refusal{"missing.Zep", 0, "cannot open the file: No such file or directory"},
        Refusal{"", 0, "cannot open the file: it is a folder"},
        Refusal{"empty.Zep", 0, "the file is empty"},
        Refusal{"header-four-fields.Zep", 1,
                "the header has 4 fields, expected at least 5 (line 1)"},
        Refusal{"header-single-space.Zep", 1,
                "the deviation count \"\" is not a whole number from 1 to 2147483647 (line 1)"},
        Refusal{"count-zero.Zep", 1,
                "the row count \"0\" is not a whole number from 1 to 2147483647 (line 1)"},
        Refusal{"count-negative.Zep", 1,
                "the row count \"-2\" is not a whole number from 1 to 2147483647 (line 1)"},
        Refusal{"count-plus-sign.Zep", 1,
                "the label count \"+2\" is not a whole number from 1 to 2147483647 (line 1)"},
        Refusal{"count-too-large.Zep", 1,
                "the deviation count \"2147483648\" is not a whole number from 1 to 2147483647 "
                "(line 1)"},
        Refusal{"count-decimal.Zep", 1,
                "the row count \"2.0\" is not a whole number from 1 to 2147483647 (line 1)"},
        Refusal{"lf-line-ends.Zep", 1, "the file ends in row 1 after 0 of 2 values (line 1)"},
        Refusal{"rows-announced-beyond-size.Zep", 1,
                "the header announces 100000 rows of as many values, more than a file of 40 "
                "bytes can hold (line 1)"},
        Refusal{"labels-announced-beyond-size.Zep", 1,
                "the header announces 2000000000 labels after its rows, more than a file of 39 "
                "bytes can hold (line 1)"},
        Refusal{"deviations-announced-beyond-size.Zep", 1,
                "the header announces 2000000000 deviation values, more than a file of 34 bytes "
                "can hold (line 1)"},
        Refusal{"row-too-long.Zep", 9, "row 3 has 7 values, expected 6 (line 9)"},
        Refusal{"row-cut-short.Zep", 3, "the file ends in row 2 after 2 of 3 values (line 3)"},
        Refusal{"labels-cut-short.Zep", 5, "the file ends after 2 of 3 labels (line 5)"},
        Refusal{"deviations-cut-short.Zep", 7,
                "the file ends after 2 of 3 deviation values (line 7)"}));

std::int64_t PeakKilobytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(ZepReader, FileBeyondFourGigabytesIsRefusedUnread) {
    test::TempDir dir;
    const std::string path = dir / "huge.Zep";
    ASSERT_TRUE(WriteFileSafely(path, "ZEP  1 1 1 \r\n"));
    std::filesystem::resize_file(path, std::uintmax_t{5} << 30);  // sparse: takes no room
    const ReadResult result = LoadZEPFile(path, kTolerance);
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(DescribeReadError(result.error), "the file is larger than 4 GB");
    // Reading it first would have taken 5 GB.
    EXPECT_LT(PeakKilobytes(), std::int64_t{1} << 20);
}

// A file of every shape the reader meets, to be cut and spoiled.
std::string SampleFile() {
    std::vector<std::string> lines{"ZEP  7 7 7 "};
    for (int r = 1; r <= 7; ++r) {
        lines.push_back("   -0.1" + std::to_string(r) + "    0.2  3.0E-04    4    5    6");
        lines.push_back("    7");
    }
    for (const char* label : {"alpha", "  beta", "", "    ", "\xe4\xf6", "g", "h"}) {
        lines.push_back(label);
    }
    lines.push_back("  0.01  0.02  0.03  0.04");
    lines.push_back("  0.05  0.06  0.07");
    return CrLf(lines);
}

TEST(ZepReader, TruncatedOrSpoiledFilesAreReadOrRefusedNeverCrash) {
    const std::string file = SampleFile();
    ASSERT_TRUE(ParseZepFile(file, kTolerance).ok());
    // Any cut before the last label's line leaves a file that does not hold what its header
    // announces; later cuts leave a shorter last label or no deviation block.
    const std::size_t lastLabel = file.find("\r\nh\r\n") + 2;
    for (std::size_t n = 0; n < file.size(); ++n) {
        const ReadResult result = ParseZepFile(file.substr(0, n), kTolerance);
        if (n < lastLabel) {
            EXPECT_FALSE(result.ok()) << n;
        }
        EXPECT_TRUE(result.ok() || !result.error.reason.empty()) << n;
    }
    for (std::size_t at = 0; at < file.size(); ++at) {
        for (char spoiler : {'\r', '\n', ' ', '9', '-', '\0'}) {
            std::string spoiled = file;
            spoiled[at] = spoiler;
            const ReadResult result = ParseZepFile(spoiled, kTolerance);
            EXPECT_TRUE(result.ok() || !result.error.reason.empty());
        }
    }
}

}  // namespace
}  // namespace zep
