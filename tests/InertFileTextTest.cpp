// Text from a file is shown inert: escaped on a terminal, cut short in a message, and as text in
// a spreadsheet.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "TestWorkspace.h"
#include "ZepconvRun.h"

namespace zep {
namespace {

TEST(InertFileText, InfoShowsControlBytesOfLabelsEscaped) {
    const std::string data = ZEP_TEST_DATA_DIR "/terminal/control-labels";
    const test::Outcome run = test::Zepconv({"info", data + ".Zep"});
    EXPECT_EQ(run.out.substr(run.out.find('\n') + 1), test::Contents(data + ".info"));
}

TEST(InertFileText, ARefusalQuotesABadCountFieldShortAndEscaped) {
    test::TempDir dir;
    const std::string file = dir / "bad\x1b[2J.Zep";
    for (const std::string& field : {std::string(10 << 20, '7'), std::string("\x1b]0;owned\x07")}) {
        test::Put(file, "F  " + field + " 1 1 \r\n");
        const test::Outcome run = test::Zepconv({"check", file});
        EXPECT_EQ(run.code, 1);
        EXPECT_LT(run.err.size(), 200 + file.size());
        EXPECT_TRUE(std::none_of(run.err.begin(), run.err.end() - 1, [](unsigned char c) {
            return c < 0x20 || c == 0x7f;
        })) << run.err;
    }
}

TEST(InertFileText, ReportCellsThatWouldStartAFormulaBeginWithAnApostrophe) {
    test::TempDir dir;
    const std::string data = ZEP_TEST_DATA_DIR "/report/formula-labels";
    std::filesystem::copy_file(data + ".Zep", dir / "=1+1.Zep");
    const test::Outcome run =
        test::Zepconv({"compare", "-o", dir / "out", "--report", dir / "r.csv", dir / "=1+1.Zep"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(test::Contents(dir / "r.csv"), test::Contents(data + ".csv"));
}

}  // namespace
}  // namespace zep
