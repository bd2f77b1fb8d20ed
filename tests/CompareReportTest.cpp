#include "compare/CompareReport.h"

#include <gtest/gtest.h>

#include "LabelFiles.h"
#include "TestWorkspace.h"
#include "compare/ModuleCompare.h"

namespace zep {
namespace {

using test::AddLabelFile;
using test::TestWorkspace;

TEST(CompareReportCsv, OneRowPerSharedLabelWithItsPositionInEveryFile) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/one.Zep", {"Y", "X", "Z"});
    AddLabelFile(t.ws, "/data/two.Zep", {"W", "Y", "X", "    "});
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(CompareReportCsv(t.ws),
              "label,files,one.Zep,two.Zep\r\n"
              "X,2,1,1\r\n"
              "Y,2,2,2\r\n"
              "W,1,,3\r\n"
              "Z,1,3,\r\n");
}

TEST(CompareReportCsv, QuotesFieldsAsRfc4180AndKeepsBytes) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/a,b.Zep",
                 {"say \"hi\"", "x,y", " lead", "trail ", "\xE9t\xE9", "", "   ", "r\rcr"});
    EXPECT_EQ(CompareReportCsv(t.ws),
              "label,files,\"a,b.Zep\"\r\n"
              "\" lead\",1,3\r\n"
              "\"r\rcr\",1,8\r\n"
              "\"say \"\"hi\"\"\",1,1\r\n"
              "\"trail \",1,4\r\n"
              "\"x,y\",1,2\r\n"
              "\xE9t\xE9,1,5\r\n");
}

TEST(CompareReportCsv, RepeatedLabelListsEveryPositionAndCountsTheFileOnce) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/1.Zep", {"X", "A", "X"});
    AddLabelFile(t.ws, "/data/2.Zep", {"B", "X"});
    EXPECT_EQ(CompareReportCsv(t.ws),
              "label,files,1.Zep,2.Zep\r\n"
              "X,2,1 3,2\r\n"
              "A,1,2,\r\n"
              "B,1,,1\r\n");
}

TEST(CompareReportCsv, NoFileGivesTheHeadingOnly) {
    TestWorkspace t;
    EXPECT_EQ(CompareReportCsv(t.ws), "label,files\r\n");
}

}  // namespace
}  // namespace zep
