#include "support/StringTable.h"

#include <gtest/gtest.h>

namespace zep {
namespace {

TEST(StringTable, TextsStandExactlyAsTheProgramShowsThem) {
    EXPECT_EQ(ResString(100), "ZEP Converter");
    EXPECT_EQ(ResString(2003), "File Name : ");
    EXPECT_EQ(ResString(2004), "Max Number : ");
    EXPECT_EQ(ResString(2009), "Amount per deviation line, Value muse great then 1.");
    EXPECT_EQ(ResString(1008), "檢視(&V)");
}

TEST(StringTable, NumbersWithoutAnEntryAreFailures) {
    for (std::int32_t id : {0, 99, 1021, 1027, 1033, 3000, -1}) {
        EXPECT_FALSE(FindResString(id).has_value()) << id;
    }
    EXPECT_EQ(ResString(1033), "");
}

TEST(StringTable, OwnCreditTextsExist) {
    for (std::int32_t id : {1039, 1041, 2007}) {
        ASSERT_TRUE(FindResString(id).has_value()) << id;
        EXPECT_FALSE(FindResString(id)->empty()) << id;
    }
}

}  // namespace
}  // namespace zep
