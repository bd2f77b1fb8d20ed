#include "compare/LabelSort.h"

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "LabelFiles.h"
#include "ReferenceOrdering.h"
#include "TestWorkspace.h"

namespace zep {
namespace {

using test::AddLabelFile;
using test::LabelsOf;
using test::Snapshot;
using test::TestWorkspace;
using Labels = std::vector<std::string>;

struct SortCase {
    const char* name;
    Labels labels;
    bool spaceToLast;
    Labels expected;
};

void PrintTo(const SortCase& c, std::ostream* out) {
    *out << c.name;
}

class SortByAsciiOrder : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortByAsciiOrder, PutsLabelsInCharacterCodeOrder) {
    const SortCase& c = GetParam();
    TestWorkspace t;
    t.ws.options.BLN_OPT_SORT_SPACE_TO_LAST = c.spaceToLast;
    const std::int32_t index = AddLabelFile(t.ws, "/data/one.Zep", c.labels);
    ASSERT_TRUE(SortByAscii(t.ws, index));
    EXPECT_EQ(LabelsOf(t.ws.store[index]), c.expected);
    EXPECT_TRUE(t.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SortByAsciiOrder,
    ::testing::Values(
        SortCase{"UpperBeforeLower", {"b", "B", "a", "A"}, true, {"A", "B", "a", "b"}},
        SortCase{"UpperBeforeLowerOptionOff", {"b", "B", "a", "A"}, false, {"A", "B", "a", "b"}},
        SortCase{"LeadingPartFirst", {"AB", "A"}, true, {"A", "AB"}},
        SortCase{"TrailingSpaceAfter", {"A ", "A"}, true, {"A", "A "}},
        SortCase{"BlankFirstWhenOff", {" ", "B", "A"}, false, {" ", "A", "B"}},
        SortCase{"EmptyBeforeSpacesWhenOff", {"A", "  ", "", " "}, false, {"", " ", "  ", "A"}},
        SortCase{"BlanksLastInTheirOrder", {"B", " ", "A", ""}, true, {"A", "B", " ", ""}},
        SortCase{"BlanksKeepOrderOfAllWidths",
                 {"    ", "b", "", "a", " "},
                 true,
                 {"a", "b", "    ", "", " "}},
        SortCase{"NoBlankSameAsOff", {"c", "A", "b"}, true, {"A", "b", "c"}},
        SortCase{"SpaceInsideLabelIsNotBlank", {"B", " A", "A"}, true, {" A", "A", "B"}},
        SortCase{"TabIsNotBlank", {"A", "\t", " "}, true, {"\t", "A", " "}},
        SortCase{"BytesAbove127AfterAscii",
                 {"\xC3\xA9", "z", "\x80", "\x7F"},
                 true,
                 {"z", "\x7F", "\x80", "\xC3\xA9"}},
        SortCase{"DigitsBeforeLetters", {"a", "B", "9", "0"}, true, {"0", "9", "B", "a"}},
        SortCase{"OneLabel", {"only"}, true, {"only"}}),
    [](const ::testing::TestParamInfo<SortCase>& param) { return std::string(param.param.name); });

TEST(SortByAscii, EveryLabelTakesItsWholeRowAlong) {
    TestWorkspace t;
    const std::int32_t index = AddLabelFile(t.ws, "/data/f.Zep", {"X", "A", "X", "B"}, 0, 0, "f");
    ASSERT_TRUE(SortByAscii(t.ws, index));
    const FileData& record = t.ws.store[index];
    const std::vector<std::int32_t> origins = {2, 4, 1, 3};  // the equal "X" keep their order
    for (std::int32_t p = 1; p <= 4; ++p) {
        const std::string from = std::to_string(origins[static_cast<std::size_t>(p - 1)]);
        SCOPED_TRACE("position " + std::to_string(p));
        EXPECT_EQ(record.Deviations(p), "f:d" + from);
        EXPECT_EQ(record.MatchCounts(p), 100 + std::stoi(from));
        for (std::int32_t c = 1; c <= 4; ++c) {
            EXPECT_EQ(record.Coordinates(p, c), "f:r" + from + "c" + std::to_string(c));
        }
    }
}

TEST(SortByAscii, WiderRowsMoveWholeAndWhatLiesPastTheLabelsStays) {
    TestWorkspace t;
    const std::int32_t index = AddLabelFile(t.ws, "/data/f.Zep", {"C", "B", "A"}, 5, 4, "f");
    const test::RecordSnapshot before = Snapshot(t.ws.store[index]);
    ASSERT_TRUE(SortByAscii(t.ws, index));
    const test::RecordSnapshot after = Snapshot(t.ws.store[index]);
    EXPECT_EQ(after.labels, (Labels{"A", "B", "C"}));
    EXPECT_EQ(after.coordinates[0], before.coordinates[2]);  // all five columns
    EXPECT_EQ(after.coordinates[2], before.coordinates[0]);
    EXPECT_EQ(after.coordinates[3], before.coordinates[3]);
    EXPECT_EQ(after.coordinates[4], before.coordinates[4]);
    EXPECT_EQ(after.deviations, (Labels{"f:d3", "f:d2", "f:d1", "f:d4"}));
}

struct BadShape {
    const char* name;
    std::int32_t varCount;
    std::int32_t midCount;
    const char* reason;
};

void PrintTo(const BadShape& shape, std::ostream* out) {
    *out << shape.name;
}

class SortByAsciiRefuses : public ::testing::TestWithParam<BadShape> {};

TEST_P(SortByAsciiRefuses, FileWhoseRowsCannotMoveWhole) {
    const BadShape& shape = GetParam();
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/good.Zep", {"b", "a"});
    const std::int32_t index =
        AddLabelFile(t.ws, "/data/short.Zep", {"c", "b", "a"}, shape.varCount, shape.midCount);
    const auto before = test::SnapshotAll(t.ws.store);

    EXPECT_FALSE(SortByAscii(t.ws, index));

    EXPECT_EQ(test::SnapshotAll(t.ws.store), before);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, "Wrong file format!");
    EXPECT_EQ(t.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_NE(t.messages.shown[0].detail.find("/data/short.Zep"), std::string::npos);
    EXPECT_NE(t.messages.shown[0].detail.find(shape.reason), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Shapes, SortByAsciiRefuses,
                         ::testing::Values(BadShape{"FewerCoordinateRows", 2, 3, "coordinate"},
                                           BadShape{"FewerDeviations", 3, 2, "deviation"},
                                           BadShape{"FewerOfBoth", 1, 1, "coordinate"}),
                         [](const ::testing::TestParamInfo<BadShape>& param) {
                             return std::string(param.param.name);
                         });

TEST(SortByAscii, UnknownIndexChangesNothing) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/one.Zep", {"b", "a"});
    EXPECT_FALSE(SortByAscii(t.ws, 2));
    EXPECT_FALSE(SortByAscii(t.ws, 0));
    EXPECT_EQ(LabelsOf(t.ws.store[1]), (Labels{"b", "a"}));
}

TEST(SwapLabelRows, ExchangesExactlyTwoRows) {
    TestWorkspace t;
    const std::int32_t index = AddLabelFile(t.ws, "/data/one.Zep", {"a", "b", "c"});
    const test::RecordSnapshot before = Snapshot(t.ws.store[index]);
    ASSERT_TRUE(SwapLabelRows(t.ws.store, 1, 3, index));
    test::RecordSnapshot expected = before;
    std::swap(expected.labels[0], expected.labels[2]);
    std::swap(expected.deviations[0], expected.deviations[2]);
    std::swap(expected.matchCounts[0], expected.matchCounts[2]);
    std::swap(expected.coordinates[0], expected.coordinates[2]);
    EXPECT_EQ(Snapshot(t.ws.store[index]), expected);
}

TEST(SwapLabelRows, RefusesPositionsOrFilesThatDoNotExist) {
    TestWorkspace t;
    const std::int32_t index = AddLabelFile(t.ws, "/data/one.Zep", {"a", "b", "c"});
    const std::int32_t shortRows = AddLabelFile(t.ws, "/data/two.Zep", {"a", "b", "c"}, 2);
    const auto before = test::SnapshotAll(t.ws.store);
    EXPECT_FALSE(SwapLabelRows(t.ws.store, 0, 1, index));
    EXPECT_FALSE(SwapLabelRows(t.ws.store, 1, 4, index));
    EXPECT_FALSE(SwapLabelRows(t.ws.store, 1, 2, 3));
    EXPECT_FALSE(SwapLabelRows(t.ws.store, 1, 2, shortRows));
    EXPECT_EQ(test::SnapshotAll(t.ws.store), before);
}

// The fast sort against neighbour exchanges pass after pass, on many random files.
TEST(SortByAscii, SameResultAsNeighbourExchangesOnRandomFiles) {
    std::mt19937 rng(20261206);
    for (int run = 0; run < 4000; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        TestWorkspace t;
        const bool spaceToLast = (run % 2) == 0;
        t.ws.options.BLN_OPT_SORT_SPACE_TO_LAST = spaceToLast;
        Labels labels(std::uniform_int_distribution<std::size_t>(1, 40)(rng));
        for (std::string& label : labels) {
            label = test::reference::RandomLabel(rng);
        }
        const bool wide = run % 5 == 0;
        const std::int32_t size = static_cast<std::int32_t>(labels.size());
        const std::int32_t index =
            AddLabelFile(t.ws, "/data/r.Zep", labels, wide ? size + 2 : 0, wide ? size + 1 : 0);
        const test::RecordSnapshot before = Snapshot(t.ws.store[index]);

        test::reference::File reference = test::reference::FromSnapshot(before);
        test::reference::SortByAscii(reference, spaceToLast);
        ASSERT_TRUE(SortByAscii(t.ws, index));

        ASSERT_EQ(Snapshot(t.ws.store[index]), test::reference::Expected(before, reference));
    }
}

}  // namespace
}  // namespace zep
