#include "compare/ModuleCompare.h"

#include <gtest/gtest.h>

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
using test::MatchCountsOf;
using test::TestWorkspace;
using Labels = std::vector<std::string>;
using Counts = std::vector<std::int32_t>;

TEST(CompareFiles, WorkedExampleAlignsTheSharedLabels) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/one.Zep", {"Y", "X", "Z"});
    AddLabelFile(t.ws, "/data/two.Zep", {"W", "Y", "X"});
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(LabelsOf(t.ws.store[1]), (Labels{"X", "Y", "Z"}));
    EXPECT_EQ(LabelsOf(t.ws.store[2]), (Labels{"X", "Y", "W"}));
    EXPECT_EQ(MatchCountsOf(t.ws.store[1]), (Counts{2, 2, 1}));
    EXPECT_EQ(MatchCountsOf(t.ws.store[2]), (Counts{2, 2, 1}));
    EXPECT_TRUE(t.messages.shown.empty());
}

TEST(CompareFiles, LabelsSharedByMoreFilesComeFirst) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/1.Zep", {"Q", "Y", "X"});
    AddLabelFile(t.ws, "/data/2.Zep", {"Y", "P", "X"});
    AddLabelFile(t.ws, "/data/3.Zep", {"R", "X"});
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(LabelsOf(t.ws.store[1]), (Labels{"X", "Y", "Q"}));
    EXPECT_EQ(LabelsOf(t.ws.store[2]), (Labels{"X", "Y", "P"}));
    EXPECT_EQ(LabelsOf(t.ws.store[3]), (Labels{"X", "R"}));
    EXPECT_EQ(MatchCountsOf(t.ws.store[1]), (Counts{3, 2, 1}));
}

TEST(CompareFiles, RepeatedLabelsCountEveryEqualLabelOfTheOtherFiles) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/1.Zep", {"X", "X"});
    AddLabelFile(t.ws, "/data/2.Zep", {"X"});
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(MatchCountsOf(t.ws.store[1]), (Counts{2, 2}));
    EXPECT_EQ(MatchCountsOf(t.ws.store[2]), (Counts{3}));
}

TEST(CompareFiles, EqualMeansSameBytes) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/1.Zep", {"x", "X", "A"});
    AddLabelFile(t.ws, "/data/2.Zep", {"X ", "x", "B"});
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(LabelsOf(t.ws.store[1]), (Labels{"x", "A", "X"}));
    EXPECT_EQ(MatchCountsOf(t.ws.store[1]), (Counts{2, 1, 1}));
    EXPECT_EQ(LabelsOf(t.ws.store[2]), (Labels{"x", "B", "X "}));
}

TEST(CompareFiles, BlankLabelsNeverMatchAndCloseThePaddedFile) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/padded.Zep", {"    ", "B", "    ", "A", ""});
    AddLabelFile(t.ws, "/data/2.Zep", {"A", "    ", ""});
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(LabelsOf(t.ws.store[1]), (Labels{"A", "B", "    ", "    ", ""}));
    EXPECT_EQ(MatchCountsOf(t.ws.store[1]), (Counts{2, 1, 1, 1, 1}));
    EXPECT_EQ(MatchCountsOf(t.ws.store[2]), (Counts{2, 1, 1}));
}

TEST(CompareFiles, WithoutAsciiSortSharedLabelsKeepEachFilesOwnOrder) {
    TestWorkspace t;
    t.ws.options.BLN_OPT_SORTASCII = false;
    AddLabelFile(t.ws, "/data/1.Zep", {"P", "Y", "X"});
    AddLabelFile(t.ws, "/data/2.Zep", {"X", "Q", "Y"});
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(LabelsOf(t.ws.store[1]), (Labels{"Y", "X", "P"}));
    EXPECT_EQ(LabelsOf(t.ws.store[2]), (Labels{"X", "Y", "Q"}));
}

TEST(CompareFiles, BlankLabelsStayInPlaceWhenSpaceToLastIsOff) {
    TestWorkspace t;
    t.ws.options.BLN_OPT_SORT_SPACE_TO_LAST = false;
    AddLabelFile(t.ws, "/data/1.Zep", {"B", " ", "A"});
    AddLabelFile(t.ws, "/data/2.Zep", {"A"});
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(LabelsOf(t.ws.store[1]), (Labels{"A", " ", "B"}));
}

TEST(CompareFiles, RunningTwiceGivesTheOrderOfOneRun) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/1.Zep", {"K", "a", " ", "B", "a", "C"});
    AddLabelFile(t.ws, "/data/2.Zep", {"C", "B", "x", ""});
    AddLabelFile(t.ws, "/data/3.Zep", {"a", "C", "K"});
    ASSERT_TRUE(CompareFiles(t.ws));
    const auto once = test::SnapshotAll(t.ws.store);
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(test::SnapshotAll(t.ws.store), once);
}

TEST(CompareFiles, NoFileIsNothingToDo) {
    TestWorkspace t;
    EXPECT_TRUE(CompareFiles(t.ws));
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(t.ws.store.FileCount(), 0);
}

TEST(CompareFiles, OneFileIsOnlySortedByCharacterCode) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/1.Zep", {"b", "a", "b"});
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(LabelsOf(t.ws.store[1]), (Labels{"a", "b", "b"}));
    EXPECT_EQ(MatchCountsOf(t.ws.store[1]), (Counts{1, 1, 1}));

    t.ws.options.BLN_OPT_SORTASCII = false;
    AddLabelFile(t.ws, "/data/2.Zep", {"b", "a"});  // no longer alone, but shares nothing new
    t.ws.store.RemoveFileData(1);
    ASSERT_TRUE(CompareFiles(t.ws));
    EXPECT_EQ(LabelsOf(t.ws.store[1]), (Labels{"b", "a"}));
}

TEST(CompareFiles, RefusesTheWholeRunWhenOneFileCannotBeReordered) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/1.Zep", {"Y", "X"});
    AddLabelFile(t.ws, "/data/2.Zep", {"X", "Z", "Y"}, 3, 2);
    AddLabelFile(t.ws, "/data/3.Zep", {"Z", "X"}, 1, 2);
    const auto before = test::SnapshotAll(t.ws.store);

    EXPECT_FALSE(CompareFiles(t.ws));

    EXPECT_EQ(test::SnapshotAll(t.ws.store), before);  // match counts included
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, "Wrong file format!");
    EXPECT_EQ(t.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_NE(t.messages.shown[0].detail.find("/data/2.Zep"), std::string::npos);
}

TEST(SortByMatchCount, DescendingAndStableWithRowsAlong) {
    TestWorkspace t;
    const std::int32_t index = AddLabelFile(t.ws, "/data/1.Zep", {"a", "b", "c", "d"}, 0, 0, "f");
    for (std::int32_t i = 1; i <= 4; ++i) {
        t.ws.store[index].SetMatchCount(i, i == 3 ? 5 : 2);
    }
    ASSERT_TRUE(SortByMatchCount(t.ws.store, index));
    const FileData& record = t.ws.store[index];
    EXPECT_EQ(LabelsOf(record), (Labels{"c", "a", "b", "d"}));
    EXPECT_EQ(record.Deviations(1), "f:d3");
    EXPECT_EQ(record.Coordinates(1, 4), "f:r3c4");
    EXPECT_EQ(record.Coordinates(2, 1), "f:r1c1");
    EXPECT_FALSE(SortByMatchCount(t.ws.store, 2));
}

// Builds a random list of files that draw their labels from one small vocabulary.
std::vector<Labels> RandomFiles(std::mt19937& rng) {
    Labels vocabulary(std::uniform_int_distribution<std::size_t>(1, 12)(rng));
    for (std::string& label : vocabulary) {
        label = test::reference::RandomLabel(rng);
    }
    std::vector<Labels> files(std::uniform_int_distribution<std::size_t>(1, 6)(rng));
    std::uniform_int_distribution<std::size_t> pick(0, vocabulary.size() - 1);
    for (Labels& file : files) {
        file.resize(std::uniform_int_distribution<std::size_t>(1, 25)(rng));
        for (std::string& label : file) {
            label = std::uniform_int_distribution<int>(0, 9)(rng) == 0
                        ? test::reference::RandomLabel(rng)
                        : vocabulary[pick(rng)];
        }
    }
    return files;
}

void AddFiles(Workspace& ws, const std::vector<Labels>& files, std::mt19937& rng) {
    for (std::size_t f = 0; f < files.size(); ++f) {
        const auto size = static_cast<std::int32_t>(files[f].size());
        const bool wide = std::uniform_int_distribution<int>(0, 4)(rng) == 0;
        AddLabelFile(ws, "/data/" + std::to_string(f) + ".Zep", files[f], wide ? size + 1 : 0,
                     wide ? size + 2 : 0);
    }
}

std::vector<test::reference::File> ReferenceFiles(const std::vector<test::RecordSnapshot>& all) {
    std::vector<test::reference::File> files;
    for (const test::RecordSnapshot& snapshot : all) {
        files.push_back(test::reference::FromSnapshot(snapshot));
    }
    return files;
}

// The fast compare against pairwise counting and neighbour exchanges, on many random lists.
TEST(CompareFiles, SameResultAsPairwiseCountingAndNeighbourExchanges) {
    std::mt19937 rng(6122026);
    for (int run = 0; run < 3000; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        TestWorkspace t;
        t.ws.options.BLN_OPT_SORTASCII = (run & 1) == 0;
        t.ws.options.BLN_OPT_SORT_SPACE_TO_LAST = (run & 2) == 0;
        AddFiles(t.ws, RandomFiles(rng), rng);
        const auto before = test::SnapshotAll(t.ws.store);

        auto reference = ReferenceFiles(before);
        test::reference::CompareFiles(reference, t.ws.options.BLN_OPT_SORTASCII,
                                      t.ws.options.BLN_OPT_SORT_SPACE_TO_LAST);
        ASSERT_TRUE(CompareFiles(t.ws));

        for (std::size_t f = 0; f < before.size(); ++f) {
            SCOPED_TRACE("file " + std::to_string(f + 1));
            ASSERT_EQ(test::Snapshot(t.ws.store[static_cast<std::int32_t>(f + 1)]),
                      test::reference::Expected(before[f], reference[f]));
        }
    }
}

// Counting adds to whatever counts the labels hold, as the pairwise loops do.
TEST(CountLabelMatches, SameCountsAsPairwiseLoopsFromAnyStart) {
    std::mt19937 rng(1206);
    for (int run = 0; run < 2000; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        TestWorkspace t;
        AddFiles(t.ws, RandomFiles(rng), rng);
        const auto before = test::SnapshotAll(t.ws.store);

        auto reference = ReferenceFiles(before);
        test::reference::CountLabelMatches(reference);
        CountLabelMatches(t.ws.store);

        for (std::size_t f = 0; f < before.size(); ++f) {
            ASSERT_EQ(test::Snapshot(t.ws.store[static_cast<std::int32_t>(f + 1)]),
                      test::reference::Expected(before[f], reference[f]));
        }
    }
}

TEST(ResetMatchCounts, EveryLabelOfEveryFileStartsAtOne) {
    TestWorkspace t;
    AddLabelFile(t.ws, "/data/1.Zep", {"a", "b"});
    AddLabelFile(t.ws, "/data/2.Zep", {"  "});
    ResetMatchCounts(t.ws.store);
    EXPECT_EQ(MatchCountsOf(t.ws.store[1]), (Counts{1, 1}));
    EXPECT_EQ(MatchCountsOf(t.ws.store[2]), (Counts{1}));
}

}  // namespace
}  // namespace zep
