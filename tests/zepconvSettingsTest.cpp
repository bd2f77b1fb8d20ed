// zepconv --settings: the options of a settings file's section "Setup", read with start-up's
// conversions, with the command line's own options taking precedence.

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

std::string Settings(const char* name) {
    return std::string(ZEP_TEST_DATA_DIR) + "/settings/" + name;
}

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

std::size_t TokensIn(const std::string& line) {
    std::istringstream in(line);
    std::size_t n = 0;
    for (std::string token; in >> token;) {
        ++n;
    }
    return n;
}

// The sample files, copied where they may be overwritten; the smallest comes last.
class ZepconvSettings : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"pacific-rim.Zep", "atlantic.Zep", "indian-ocean.Zep"}) {
            fs::copy_file(std::string(ZEP_EXAMPLES_DIR) + "/" + name, dir / name);
            files.push_back(dir / name);
        }
    }

    // Saves the samples into a folder of their own and gives back what was written.
    std::vector<std::string> SaveInto(const std::string& folder,
                                      std::initializer_list<std::string> options) {
        std::vector<std::string> args{"save", "-o", dir / folder};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), files.begin(), files.end());
        Outcome run = Zepconv(args);
        EXPECT_EQ(run.code, 0) << run.err;
        std::vector<std::string> written;
        for (const std::string& file : files) {
            written.push_back(Contents(dir / folder + "/" + fs::path(file).filename().string()));
        }
        return written;
    }

    TempDir dir;
    std::vector<std::string> files;
};

TEST_F(ZepconvSettings, AdjustSwitchedOffWritesTheSmallerFilesUnpadded) {
    const std::string smallest = Contents(files[2]);
    ASSERT_EQ(smallest.substr(0, 16), "MORVEL  5 5 5 \r\n");

    std::vector<std::string> plain = SaveInto("plain", {});
    EXPECT_EQ(plain[2].substr(0, 16), "MORVEL  8 8 8 \r\n");

    std::vector<std::string> unpadded =
        SaveInto("unpadded", {"--settings", Settings("zepconv_no_pad.ini")});
    EXPECT_EQ(unpadded[2], smallest);
    EXPECT_EQ(unpadded[1], Contents(files[1]));
    EXPECT_EQ(unpadded, SaveInto("no-pad", {"--no-pad"}));
}

TEST_F(ZepconvSettings, DeviationValuesPerLineComeFromTheFile) {
    const Outcome run =
        Zepconv({"save", "--settings", Settings("zepconv_per_line_4.ini"), files[1]});
    ASSERT_EQ(run.code, 0) << run.err;
    // Seven labels at four a line: the deviation block is a line of four and a line of three.
    const std::vector<std::string> lines = Lines(Contents(files[1]));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "  0.009  0.010  0.008  0.012");
    EXPECT_EQ(TokensIn(lines.back()), 3u);
    EXPECT_EQ(SaveInto("with-file", {"--settings", Settings("zepconv_per_line_4.ini")}),
              SaveInto("with-option", {"--per-line", "4"}));
}

TEST_F(ZepconvSettings, TheCommandLineOverridesTheFile) {
    // The file asks for 0.5 as the default deviation, three a line, and no padding.
    const std::vector<std::string> fromFile =
        SaveInto("file", {"--settings", Settings("zepconv_all.ini")});
    EXPECT_EQ(fromFile, SaveInto("options", {"--tolerance", "0.5", "--per-line", "3", "--no-pad"}));
    EXPECT_EQ(SaveInto("override", {"--settings", Settings("zepconv_all.ini"), "--per-line", "6",
                                    "--tolerance", "0.25"}),
              SaveInto("expected", {"--per-line", "6", "--tolerance", "0.25", "--no-pad"}));
    // Where --settings stands among the options does not matter.
    EXPECT_EQ(SaveInto("first", {"--no-pad", "--settings", Settings("zepconv_per_line_4.ini")}),
              SaveInto("second", {"--per-line", "4", "--no-pad"}));
}

// Two small files sharing X and Y in opposite orders; rows and deviations tell where each
// label came from.
const std::string kOne =
    "Z  3 3 3 \r\n    1    1    1\r\n    2    2    2\r\n    3    3    3\r\n"
    "Y\r\nX\r\nZ\r\n  0.1  0.2  0.3";
const std::string kTwo =
    "Z  3 3 3 \r\n    4    4    4\r\n    5    5    5\r\n    6    6    6\r\n"
    "X\r\nW\r\nY\r\n  0.4  0.5  0.6";

TEST_F(ZepconvSettings, SortAsciiSwitchedOffLeavesSharedLabelsInEachFilesOwnOrder) {
    const std::string one = dir / "one.Zep";
    const std::string two = dir / "two.Zep";
    auto compare = [&](std::initializer_list<std::string> options) {
        EXPECT_TRUE(WriteFileSafely(one, kOne));
        EXPECT_TRUE(WriteFileSafely(two, kTwo));
        std::vector<std::string> args{"compare"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {one, two});
        const Outcome run = Zepconv(args);
        EXPECT_EQ(run.code, 0) << run.err;
        return std::vector<std::string>{Contents(one), Contents(two)};
    };

    const std::vector<std::string> ownOrder =
        compare({"--settings", Settings("zepconv_no_sort_ascii.ini")});
    EXPECT_EQ(ownOrder[0], kOne);
    EXPECT_EQ(ownOrder[1],
              "Z  3 3 3 \r\n    4    4    4\r\n    6    6    6\r\n    5    5    5\r\n"
              "X\r\nY\r\nW\r\n  0.4  0.6  0.5");
    EXPECT_EQ(ownOrder, compare({"--no-sort-ascii"}));

    // Sorted by character code first, the shared labels stand in one order in both files.
    const std::vector<std::string> ascii = compare({});
    EXPECT_EQ(ascii[0],
              "Z  3 3 3 \r\n    2    2    2\r\n    1    1    1\r\n    3    3    3\r\n"
              "X\r\nY\r\nZ\r\n  0.2  0.1  0.3");
    EXPECT_EQ(ascii[1], ownOrder[1]);
}

TEST_F(ZepconvSettings, UnconvertibleValuesGiveTheDefaults) {
    EXPECT_EQ(SaveInto("file", {"--settings", Settings("zepconv_unconvertible.ini")}),
              SaveInto("defaults", {}));
}

TEST_F(ZepconvSettings, AMissingSettingsFileIsAUsageErrorAndNothingIsWritten) {
    const std::string before = Contents(files[2]);
    const Outcome run = Zepconv({"save", "--settings", dir / "absent.ini", files[2], files[0]});
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("absent.ini"), std::string::npos) << run.err;
    EXPECT_EQ(Contents(files[2]), before);
    EXPECT_FALSE(fs::exists(dir / "absent.ini"));
}

}  // namespace
}  // namespace zep
