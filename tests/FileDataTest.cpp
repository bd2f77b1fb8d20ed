#include "core/FileData.h"

#include <gtest/gtest.h>

namespace zep {
namespace {

FileData MakeSquare(std::int32_t n) {
    FileData data;
    data.SizeCoordinates(n);
    data.SizeLabels(n);
    data.SizeDeviations(n);
    for (std::int32_t r = 1; r <= n; ++r) {
        data.SetLabel(r, "L" + std::to_string(r));
        data.SetDeviation(r, "d" + std::to_string(r));
        data.SetMatchCount(r, r * 10);
        for (std::int32_t c = 1; c <= n; ++c) {
            data.SetCoordinate(r, c, std::to_string(r) + "." + std::to_string(c));
        }
    }
    return data;
}

TEST(FileData, SizingDiscardsEarlierContents) {
    FileData data = MakeSquare(3);
    data.SizeCoordinates(3);
    data.SizeLabels(3);
    for (std::int32_t r = 1; r <= 3; ++r) {
        EXPECT_EQ(data.Labels(r), "");
        EXPECT_EQ(data.MatchCounts(r), 0);
        for (std::int32_t c = 1; c <= 3; ++c) {
            EXPECT_EQ(data.Coordinates(r, c), "");
        }
    }
    EXPECT_EQ(data.Deviations(2), "d2");  // not resized, so kept
}

TEST(FileData, SwapMovesWholeLabelRowsAndKeepsColumns) {
    FileData data = MakeSquare(3);
    data.SwapLabelRows(1, 3);
    EXPECT_EQ(data.Labels(1), "L3");
    EXPECT_EQ(data.Deviations(1), "d3");
    EXPECT_EQ(data.MatchCounts(1), 30);
    EXPECT_EQ(data.Coordinates(1, 1), "3.1");
    EXPECT_EQ(data.Coordinates(1, 3), "3.3");
    EXPECT_EQ(data.Coordinates(3, 2), "1.2");
    EXPECT_EQ(data.Labels(2), "L2");
    EXPECT_EQ(data.Coordinates(2, 2), "2.2");
}

TEST(FileData, SetterWritesThroughTheRowIndexAfterASwap) {
    FileData data = MakeSquare(2);
    data.SwapLabelRows(1, 2);
    data.SetCoordinate(1, 2, "x");
    EXPECT_EQ(data.Coordinates(1, 2), "x");
    EXPECT_EQ(data.Coordinates(2, 2), "1.2");
}

TEST(FileData, TextsSurviveGrowthOfTheBuffer) {
    FileData data;
    data.AdoptBytes("alpha beta");
    data.SizeLabels(2);
    data.SetLabelRef(1, TextRef{0, 5});
    data.SetLabel(2, std::string(10000, 'z'));
    EXPECT_EQ(data.Labels(1), "alpha");
    EXPECT_EQ(data.Labels(2).size(), 10000u);
}

}  // namespace
}  // namespace zep
