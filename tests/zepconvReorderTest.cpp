// The batch tool's sort and compare verbs, end to end through RunZepconv.

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "TestWorkspace.h"
#include "ZepconvRun.h"
#include "support/SafeFile.h"

namespace zep {
namespace {

namespace fs = std::filesystem;
using test::Contents;
using test::Outcome;
using test::TempDir;
using test::Zepconv;

const std::string kExamples = ZEP_EXAMPLES_DIR;
const std::string kUneven = std::string(ZEP_TEST_DATA_DIR) + "/uneven";

// Two small files whose rows and deviations tell where each label came from.
const std::string kOne =
    "Z  3 3 3 \r\n    1    1    1\r\n    2    2    2\r\n    3    3    3\r\n"
    "Y\r\nX\r\nZ\r\n  0.1  0.2  0.3";
const std::string kTwo =
    "Z  3 3 3 \r\n   -4   -4   -4\r\n    5    5    5\r\n    6    6    6\r\n"
    "W\r\nY\r\nX\r\n  0.4  0.5  0.6";
const std::string kBlank =
    "Z  3 3 3 \r\n    1    1    1\r\n    2    2    2\r\n   -3   -3   -3\r\n"
    "c\r\n    \r\nb\r\n  0.1  0.2  0.3";

class ZepconvReorderTest : public ::testing::Test {
protected:
    std::string Put(const std::string& name, const std::string& bytes) {
        const std::string path = dir / name;
        EXPECT_TRUE(WriteFileSafely(path, bytes));
        return path;
    }
    std::vector<std::string> Examples() {
        std::vector<std::string> files;
        for (const char* name : {"pacific-rim.Zep", "atlantic.Zep", "indian-ocean.Zep"}) {
            fs::copy_file(kExamples + "/" + name, dir / name);
            files.push_back(dir / name);
        }
        return files;
    }
    static std::vector<std::string> With(std::initializer_list<std::string> head,
                                         const std::vector<std::string>& tail) {
        std::vector<std::string> args(head);
        args.insert(args.end(), tail.begin(), tail.end());
        return args;
    }

    TempDir dir;
};

TEST_F(ZepconvReorderTest, SortWritesEveryFileWithItsRowsAlong) {
    const std::string one = Put("one.Zep", kOne);
    const std::string blank = Put("blank.Zep", kBlank);
    const Outcome run = Zepconv({"sort", "--no-pad", one, blank});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "wrote " + one + "\nwrote " + blank + "\n");
    EXPECT_EQ(Contents(one),
              "Z  3 3 3 \r\n    2    2    2\r\n    1    1    1\r\n    3    3    3\r\n"
              "X\r\nY\r\nZ\r\n  0.2  0.1  0.3");
    EXPECT_EQ(Contents(blank),
              "Z  3 3 3 \r\n   -3   -3   -3\r\n    1    1    1\r\n    2    2    2\r\n"
              "b\r\nc\r\n    \r\n  0.3  0.1  0.2");
}

TEST_F(ZepconvReorderTest, SortWithoutSpaceLastPutsBlankLabelsFirst) {
    const std::string blank = Put("blank.Zep", kBlank);
    const Outcome run = Zepconv({"sort", "--no-space-last", blank});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Contents(blank),
              "Z  3 3 3 \r\n    2    2    2\r\n   -3   -3   -3\r\n    1    1    1\r\n"
              "    \r\nb\r\nc\r\n  0.2  0.3  0.1");
}

TEST_F(ZepconvReorderTest, CompareAlignsTheFilesAndReportsWhatTheyShare) {
    const std::string one = Put("one.Zep", kOne);
    const std::string two = Put("two.Zep", kTwo);
    const std::string report = dir / "reports/shared.csv";  // its folder is created
    const Outcome run = Zepconv({"compare", "--report", report, one, two});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "wrote report " + report + "\nwrote " + one + "\nwrote " + two + "\n");
    EXPECT_EQ(Contents(one),
              "Z  3 3 3 \r\n    2    2    2\r\n    1    1    1\r\n    3    3    3\r\n"
              "X\r\nY\r\nZ\r\n  0.2  0.1  0.3");
    EXPECT_EQ(Contents(two),
              "Z  3 3 3 \r\n    6    6    6\r\n    5    5    5\r\n   -4   -4   -4\r\n"
              "X\r\nY\r\nW\r\n  0.6  0.5  0.4");
    EXPECT_EQ(Contents(report),
              "label,files,one.Zep,two.Zep\r\n"
              "X,2,1,1\r\n"
              "Y,2,2,2\r\n"
              "W,1,,3\r\n"
              "Z,1,3,\r\n");
}

TEST_F(ZepconvReorderTest, CompareWithoutAsciiSortKeepsEachFilesOwnOrder) {
    const std::string one = Put("one.Zep", kOne);
    const std::string two = Put("two.Zep", kTwo);
    const Outcome run = Zepconv({"compare", "--no-sort-ascii", one, two});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Contents(one), kOne);
    EXPECT_EQ(Contents(two),
              "Z  3 3 3 \r\n    5    5    5\r\n    6    6    6\r\n   -4   -4   -4\r\n"
              "Y\r\nX\r\nW\r\n  0.5  0.6  0.4");
}

TEST_F(ZepconvReorderTest, CompareOnTheExamplesPutsSharedLabelsFirstEverywhere) {
    const std::vector<std::string> files = Examples();
    const std::string out = dir / "out";
    const std::string report = dir / "shared.csv";
    Outcome run = Zepconv(With({"compare", "-o", out, "--report", report}, files));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Contents(report),
              "label,files,pacific-rim.Zep,atlantic.Zep,indian-ocean.Zep\r\n"
              "Antarctic,3,1,1,1\r\n"
              "North America,2,2,2,\r\n"
              "Australia,1,,,2\r\n"
              "Caribbean,1,,3,\r\n"
              "Cocos,1,3,,\r\n"
              "Eurasia,1,,4,\r\n"
              "India,1,,,3\r\n"
              "Juan de Fuca,1,4,,\r\n"
              "Nazca,1,5,,\r\n"
              "Nubia,1,,5,\r\n"
              "Pacific,1,6,,\r\n"
              "Philippine Sea,1,7,,\r\n"
              "Rivera,1,8,,\r\n"
              "Scotia,1,,6,\r\n"
              "Somalia,1,,,4\r\n"
              "South America,1,,7,\r\n");

    // What was written reads back in that order, blank labels closing the padded files.
    run = Zepconv({"info", out + "/indian-ocean.Zep"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("     1  \"Antarctic\"\n     2  \"Australia\"\n     3  \"India\"\n"
                           "     4  \"Somalia\"\n     5  \"    \"\n"),
              std::string::npos)
        << run.out;
    run = Zepconv({"info", out + "/atlantic.Zep"});
    EXPECT_NE(run.out.find("     1  \"Antarctic\"\n     2  \"North America\"\n"), std::string::npos)
        << run.out;

    // Compared again, the aligned files stay exactly as they are.
    const std::string again = dir / "again";
    run = Zepconv({"compare", "-o", again, out + "/pacific-rim.Zep", out + "/atlantic.Zep",
                   out + "/indian-ocean.Zep"});
    ASSERT_EQ(run.code, 0) << run.err;
    for (const char* name : {"pacific-rim.Zep", "atlantic.Zep", "indian-ocean.Zep"}) {
        EXPECT_EQ(Contents(again + "/" + name), Contents(out + "/" + name)) << name;
    }
}

struct Refusal {
    const char* file;
    const char* reason;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.file;
}

class ZepconvRefusesUneven : public ZepconvReorderTest,
                             public ::testing::WithParamInterface<Refusal> {};

TEST_P(ZepconvRefusesUneven, CompareOfAFileWhoseRowsCannotMoveWritesNothing) {
    const Refusal& refusal = GetParam();
    const std::string one = Put("one.Zep", kOne);
    const std::string uneven = dir / refusal.file;
    fs::copy_file(kUneven + "/" + refusal.file, uneven);
    const std::string unevenBefore = Contents(uneven);
    const std::string report = dir / "shared.csv";

    const Outcome run = Zepconv({"compare", "--report", report, one, uneven});

    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Wrong file format! -- " + uneven + ": " + refusal.reason +
                           "\nzepconv: nothing was written\n");
    EXPECT_EQ(Contents(one), kOne);
    EXPECT_EQ(Contents(uneven), unevenBefore);
    EXPECT_FALSE(fs::exists(report));
}

INSTANTIATE_TEST_SUITE_P(
    Files, ZepconvRefusesUneven,
    ::testing::Values(Refusal{"fewer-rows.Zep", "3 labels but only 2 coordinate rows"},
                      Refusal{"fewer-deviations.Zep", "3 labels but only 2 deviation values"}));

TEST_F(ZepconvReorderTest, SortNamesEveryFileItCannotSortAndWritesNothing) {
    const std::string one = Put("one.Zep", kOne);
    std::vector<std::string> uneven;
    for (const char* name : {"fewer-rows.Zep", "fewer-deviations.Zep"}) {
        fs::copy_file(kUneven + "/" + name, dir / name);
        uneven.push_back(dir / name);
    }
    const Outcome run = Zepconv({"sort", uneven[0], one, uneven[1]});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "Wrong file format! -- " + uneven[0] +
                           ": 3 labels but only 2 coordinate rows\n"
                           "Wrong file format! -- " +
                           uneven[1] +
                           ": 3 labels but only 2 deviation values\n"
                           "zepconv: nothing was written\n");
    EXPECT_EQ(Contents(one), kOne);
}

TEST_F(ZepconvReorderTest, ReportThatWouldReplaceACoordinateFileIsAUsageError) {
    const std::string one = Put("one.Zep", kOne);
    const std::string two = Put("two.Zep", kTwo);
    Outcome run = Zepconv({"compare", "--report", two, one, two});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("would replace"), std::string::npos) << run.err;

    const std::string out = dir / "out";
    run = Zepconv({"compare", "-o", out, "--report", out + "/one.Zep", one, two});
    EXPECT_EQ(run.code, 2);
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(Contents(one), kOne);
    EXPECT_EQ(Contents(two), kTwo);
}

TEST_F(ZepconvReorderTest, UnwritableReportMeansNothingIsWritten) {
    const std::string one = Put("one.Zep", kOne);
    const std::string two = Put("two.Zep", kTwo);
    const std::string report = dir / "shared.csv";
    fs::create_directory(report);  // a folder where the report should go
    const Outcome run = Zepconv({"compare", "--report", report, one, two});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err.rfind("zepconv: cannot write the report " + report, 0), 0u) << run.err;
    EXPECT_EQ(Contents(one), kOne);
    EXPECT_EQ(Contents(two), kTwo);
}

TEST(ZepconvReorder, OptionsOfOtherVerbsAreUsageErrors) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"sort"},
             {"compare"},
             {"sort", "--no-sort-ascii", "a.Zep"},
             {"sort", "--report", "r.csv", "a.Zep"},
             {"save", "--no-space-last", "a.Zep"},
             {"compare", "a.Zep", "--report"},
         }) {
        const Outcome run = Zepconv(args);
        EXPECT_EQ(run.code, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("Usage: zepconv check|info|save|sort|compare [OPTIONS] FILE..."),
                  std::string::npos)
            << run.err;
    }
}

}  // namespace
}  // namespace zep
