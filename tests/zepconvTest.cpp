#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
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
const std::string kBad = std::string(ZEP_TEST_DATA_DIR) + "/bad";

// The sample files, copied where they may be overwritten.
class ZepconvTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"pacific-rim.Zep", "atlantic.Zep", "indian-ocean.Zep"}) {
            fs::copy_file(kExamples + "/" + name, dir / name);
            files.push_back(dir / name);
        }
    }
    std::vector<std::string> With(std::initializer_list<std::string> head,
                                  const std::vector<std::string>& tail) {
        std::vector<std::string> args(head);
        args.insert(args.end(), tail.begin(), tail.end());
        return args;
    }

    TempDir dir;
    std::vector<std::string> files;
};

TEST_F(ZepconvTest, CheckNamesEveryRefusedFileWithItsReason) {
    Outcome run = Zepconv(With({"check"}, files));
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err, "");

    const std::string tooLong = kBad + "/row-too-long.Zep";
    const std::string empty = kBad + "/empty.Zep";
    run = Zepconv({"check", files[0], tooLong, files[1], empty});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, tooLong +
                           ": Wrong file format! -- row 3 has 7 values, expected 6 (line 9)\n" +
                           empty + ": Wrong file format! -- the file is empty\n");
}

TEST_F(ZepconvTest, PathNamedTwiceIsAlreadyInTheList) {
    const std::string again = dir / "./atlantic.Zep";
    Outcome run = Zepconv({"check", files[1], again});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, again + ": This file already in list!\n");

    const std::string before = Contents(files[1]);
    run = Zepconv({"save", files[1], files[2], files[1]});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Contents(files[1]), before);
}

TEST_F(ZepconvTest, InfoShowsFormatCountsAndLabels) {
    const Outcome run = Zepconv({"info", files[2]});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, files[2] +
                           "\n"
                           "  Formats   MORVEL\n"
                           "  VarCount  5   StrCount  5   MidCount  5\n"
                           "  Labels\n"
                           "     1  \"Somalia\"\n"
                           "     2  \"India\"\n"
                           "     3  \"    \"\n"
                           "     4  \"Australia\"\n"
                           "     5  \"Antarctic\"\n"
                           "Max Number : 5\n");
}

TEST_F(ZepconvTest, SavePadsSmallerFilesToTheListsMaximum) {
    std::vector<std::string> before;
    for (const std::string& file : files) {
        before.push_back(Contents(file));
    }
    // The samples are in the exact written form: without padding they come back unchanged.
    Outcome run = Zepconv(With({"save", "--no-pad"}, files));
    ASSERT_EQ(run.code, 0) << run.err;
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(Contents(files[i]), before[i]);
    }

    run = Zepconv(With({"save"}, files));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "wrote " + files[0] + "\nwrote " + files[1] +
                           " (padded to 8 labels)\nwrote " + files[2] + " (padded to 8 labels)\n");
    const std::string padded = Contents(files[2]);
    EXPECT_EQ(padded.substr(0, 16), "MORVEL  8 8 8 \r\n");
    const std::string deviations =
        "  0.014  0.013  000.005  0.010  0.011  000.005  000.005  000.005";
    EXPECT_EQ(padded.substr(padded.size() - deviations.size()), deviations);
    EXPECT_EQ(Contents(files[0]), before[0]);
}

TEST_F(ZepconvTest, OptionsReachTheWriter) {
    const std::string bare = dir / "bare.Zep";
    ASSERT_TRUE(WriteFileSafely(bare, "Z  3 3 3 \r\n1 2 3\r\n4 5 6\r\n7 8 9\r\na\r\nb\r\nc\r\n"));
    const Outcome run = Zepconv({"save", "--tolerance", "0.25", "--per-line", "2", bare});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Contents(bare),
              "Z  3 3 3 \r\n    1    2    3\r\n    4    5    6\r\n    7    8    9\r\n"
              "a\r\nb\r\nc\r\n  0.25  0.25\r\n  0.25");
}

TEST_F(ZepconvTest, OutDirIsCreatedAndInputsStayAsTheyWere) {
    const std::string out = dir / "out/deeper";
    const std::string before = Contents(files[2]);
    const Outcome run = Zepconv(With({"save", "-o", out}, files));
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Contents(files[2]), before);
    EXPECT_EQ(Contents(out + "/indian-ocean.Zep").substr(0, 16), "MORVEL  8 8 8 \r\n");
    EXPECT_EQ(Contents(out + "/pacific-rim.Zep"), Contents(files[0]));
}

TEST_F(ZepconvTest, RefusedFileMeansNothingIsWritten) {
    const std::string out = dir / "out";
    const std::string before = Contents(files[2]);
    Outcome run = Zepconv({"save", files[0], kBad + "/labels-cut-short.Zep", files[2]});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(Contents(files[2]), before);  // it would have been padded
    run = Zepconv({"save", "--out-dir", out, files[0], kBad + "/count-zero.Zep"});
    EXPECT_EQ(run.code, 1);
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ZepconvTest, SameFileNameFromTwoFoldersIsAUsageError) {
    fs::create_directory(dir / "other");
    fs::copy_file(files[0], dir / "other/pacific-rim.Zep");
    const std::string out = dir / "out";
    const Outcome run =
        Zepconv({"save", "-o", out, files[0], files[1], dir / "other/pacific-rim.Zep"});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("would both be written to " + out + "/pacific-rim.Zep"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ZepconvTest, FailedWriteIsReportedAndTheOthersAreWritten) {
    const std::string out = dir / "out";
    fs::create_directories(out + "/atlantic.Zep");  // a folder where the file should go
    const Outcome run = Zepconv(With({"save", "-o", out}, files));
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err.rfind("File unwriteble!!! File Name : " + out + "/atlantic.Zep -- ", 0), 0u)
        << run.err;
    EXPECT_TRUE(fs::is_directory(out + "/atlantic.Zep"));
    EXPECT_TRUE(fs::is_regular_file(out + "/pacific-rim.Zep"));
    EXPECT_TRUE(fs::is_regular_file(out + "/indian-ocean.Zep"));
}

TEST(Zepconv, UsageErrorsPrintAUsageLineAndExitTwo) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"convert", "a.Zep"},
             {"check"},
             {"save", "--per-line", "0", "a.Zep"},
             {"save", "--per-line", "many", "a.Zep"},
             {"save", "--per-line", "99999999999", "a.Zep"},
             {"save", "--tolerance", "0 5", "a.Zep"},
             {"save", "--tolerance", "", "a.Zep"},
             {"save", "--colour", "a.Zep"},
         }) {
        const Outcome run = Zepconv(args);
        EXPECT_EQ(run.code, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("Usage: zepconv check|info|save|sort|compare [OPTIONS] FILE..."),
                  std::string::npos)
            << run.err;
    }
    const Outcome help = Zepconv({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("save"), std::string::npos);
}

// The program itself, as a shell runs it.
int ExitCodeOf(const std::string& command) {
    const int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Zepconv, ProgramExitCodes) {
    const std::string program = ZEPCONV_PATH;
    EXPECT_EQ(ExitCodeOf(program + " check " + kExamples + "/atlantic.Zep"), 0);
    EXPECT_EQ(ExitCodeOf(program + " check " + kBad + "/empty.Zep"), 1);
    EXPECT_EQ(ExitCodeOf(program + " save --per-line 0 " + kExamples + "/atlantic.Zep"), 2);
}

}  // namespace
}  // namespace zep
