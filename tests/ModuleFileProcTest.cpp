#include "core/ModuleFileProc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "LabelFiles.h"
#include "TestWorkspace.h"
#include "ZepModel.h"
#include "core/ZepReader.h"
#include "core/ZepWriter.h"
#include "support/ModuleErrProc.h"
#include "support/SafeFile.h"

namespace zep {
namespace {

using test::Contents;
using test::CrLf;
using test::TempDir;
using test::TestWorkspace;
using test::ZepModel;

// A file whose every token names the file, so a record can be traced to where it came from.
ZepModel NamedModel(const std::string& name, std::int32_t v, std::int32_t s, std::int32_t m) {
    ZepModel model{"ZEP", {}, {}, {}};
    for (std::int32_t r = 1; r <= v; ++r) {
        auto& row = model.rows.emplace_back();
        for (std::int32_t c = 1; c <= v; ++c) {
            row.push_back(name + "-" + std::to_string(r) + "." + std::to_string(c));
        }
    }
    for (std::int32_t i = 1; i <= s; ++i) {
        model.labels.push_back(name + " label " + std::to_string(i));
    }
    for (std::int32_t i = 1; i <= m; ++i) {
        model.deviations.push_back("0.0" + std::to_string(i));
    }
    return model;
}

std::string BytesOf(const ZepModel& model) {
    FileDataStore store;
    StringSink sink;
    WriteZep(sink, test::MakeItem(store, model), test::MakeRecord(model), Options{}, 0);
    return sink.text;
}

std::string Put(const TempDir& dir, const std::string& name, const ZepModel& model) {
    const std::string path = dir / name;
    EXPECT_TRUE(WriteFileSafely(path, BytesOf(model)));
    return path;
}

std::string Put(const TempDir& dir, const std::string& name, std::int32_t v, std::int32_t s = 0,
                std::int32_t m = 0) {
    return Put(dir, name, NamedModel(name, v, s > 0 ? s : v, m > 0 ? m : v));
}

// Everything an add or a remove may change.
struct State {
    std::vector<std::tuple<std::string, std::string, std::string, std::int32_t>> rows;
    std::int32_t selected = 0;
    std::string statusText;
    int statusWrites = 0;
    std::vector<std::tuple<std::string, std::string, std::string, std::string, std::int32_t,
                           std::int32_t, std::int32_t, std::int32_t>>
        items;
    std::vector<test::RecordSnapshot> records;
    std::int32_t maxNumber = 0;
    bool operator==(const State&) const = default;
};

State StateOf(TestWorkspace& t) {
    State state;
    for (const test::Row& row : t.view.rows) {
        state.rows.emplace_back(row.key, row.text, row.fullPath, row.tag);
    }
    state.selected = t.view.selected;
    state.statusText = t.view.statusText;
    state.statusWrites = t.view.statusWrites;
    for (const auto& item : t.ws.ZEPFiles.Item()) {
        state.items.emplace_back(item->Key(), item->Title(), item->Path(), item->Formats(),
                                 item->VarCount(), item->StrCount(), item->MidCount(),
                                 item->FileDataIndex());
    }
    state.records = test::SnapshotAll(t.ws.store);
    state.maxNumber = t.ws.store.MaxNumber();
    return state;
}

// The three places of every loaded file agree: row tags and descriptor indices are exactly
// 1..FileCount, a row and its descriptor share key and index, and the record at that index is
// the file's own (its first label names the file).
void ExpectConsistent(TestWorkspace& t) {
    const std::int32_t n = t.ws.store.FileCount();
    ASSERT_EQ(t.view.RowCount(), n);
    ASSERT_EQ(t.ws.ZEPFiles.Item().Count(), n);
    std::vector<std::int32_t> tags;
    for (std::int32_t p = 1; p <= n; ++p) {
        const clsZEPFileItem* item = t.ws.ZEPFiles.Item().Find(t.view.RowKey(p));
        ASSERT_NE(item, nullptr);
        ASSERT_EQ(item->FileDataIndex(), t.view.RowTag(p));
        const FileData& record = t.ws.store[item->FileDataIndex()];
        EXPECT_EQ(record.VarCount(), item->VarCount());
        EXPECT_EQ(record.LabelCount(), item->StrCount());
        EXPECT_EQ(record.Labels(1), item->Title() + " label 1");
        tags.push_back(t.view.RowTag(p));
    }
    std::sort(tags.begin(), tags.end());
    for (std::int32_t i = 1; i <= n; ++i) {
        ASSERT_EQ(tags[std::size_t(i - 1)], i);
    }
}

std::string MaxText(std::int32_t n) {
    return "Max Number : " + std::to_string(n);
}

TEST(InitFileAdd, AddsAMarkedSelectedRowWithDescriptorAndRecord) {
    TempDir dir;
    TestWorkspace t;
    const ZepModel model = NamedModel("first.Zep", 3, 3, 3);
    const std::string path = Put(dir, "first.Zep", model);
    ASSERT_TRUE(InitFileAdd(t.ws, path));
    const std::string second = Put(dir, "second.Zep", 2);
    ASSERT_TRUE(InitFileAdd(t.ws, second));

    EXPECT_TRUE(t.messages.shown.empty());
    ASSERT_EQ(t.view.rows.size(), 2u);
    EXPECT_EQ(t.view.rows[0].key, path);
    EXPECT_EQ(t.view.rows[0].text, "* first.Zep");
    EXPECT_EQ(t.view.rows[0].fullPath, path);
    EXPECT_EQ(t.view.rows[0].tag, 1);
    EXPECT_EQ(t.view.rows[1].tag, 2);
    EXPECT_EQ(t.view.selected, 2);

    const clsZEPFileItem* item = t.ws.ZEPFiles.Item().Find(path);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Key(), path);
    EXPECT_EQ(item->Path(), path);
    EXPECT_EQ(item->Title(), "first.Zep");
    EXPECT_EQ(item->Formats(), "ZEP");
    EXPECT_EQ(item->FileDataIndex(), 1);
    EXPECT_EQ(item->VarCount(), 3);
    test::ExpectRecordHolds(t.ws.store[1], model);
    EXPECT_EQ(t.ws.store.FileCount(), 2);
    EXPECT_EQ(t.ws.store.MaxNumber(), 3);
    EXPECT_EQ(t.view.statusText, MaxText(3));
}

TEST(InitFileAdd, MaxNumberRisesWithLabelCountsAndNeverFallsOnLoading) {
    TempDir dir;
    TestWorkspace t;
    ASSERT_TRUE(InitFileAdd(t.ws, Put(dir, "twenty.Zep", 20)));
    EXPECT_EQ(t.view.statusText, MaxText(20));
    ASSERT_TRUE(InitFileAdd(t.ws, Put(dir, "twentyfive.Zep", 25)));
    EXPECT_EQ(t.view.statusText, MaxText(25));
    const int writes = t.view.statusWrites;
    ASSERT_TRUE(InitFileAdd(t.ws, Put(dir, "ten.Zep", 10)));
    EXPECT_EQ(t.ws.store.MaxNumber(), 25);
    EXPECT_EQ(t.view.statusWrites, writes);
    // The label count, not the row count, raises it.
    ASSERT_TRUE(InitFileAdd(t.ws, Put(dir, "wide.Zep", 4, 30, 4)));
    EXPECT_EQ(t.view.statusText, MaxText(30));
}

TEST(InitFileAdd, SamePathTwiceIsRefusedAndChangesNothing) {
    TempDir dir;
    TestWorkspace t;
    const std::string path = Put(dir, "one.Zep", 2);
    ASSERT_TRUE(InitFileAdd(t.ws, path));
    const State before = StateOf(t);
    EXPECT_FALSE(InitFileAdd(t.ws, path));
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, "This file already in list!");
    EXPECT_EQ(t.messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(StateOf(t), before);
}

TEST(InitFileAdd, OtherListFailureGoesToTheErrorReportAndChangesNothing) {
    TempDir dir;
    TestWorkspace t;
    ASSERT_TRUE(InitFileAdd(t.ws, Put(dir, "one.Zep", 2)));
    const State before = StateOf(t);
    t.view.failAppendWith = 5;
    EXPECT_FALSE(InitFileAdd(t.ws, Put(dir, "two.Zep", 3)));
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, ErrProcText("InitFileAdd", 5));
    EXPECT_EQ(t.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(StateOf(t), before);
}

// Every sample of a bad file, and a path that names nothing or a folder.
std::vector<std::string> BadPaths() {
    const std::string folder = std::string(ZEP_TEST_DATA_DIR) + "/bad";
    std::vector<std::string> paths{folder + "/missing.Zep", folder};
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        paths.push_back(entry.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

class InitFileAddRefuses : public ::testing::TestWithParam<std::string> {};

TEST_P(InitFileAddRefuses, WithTheReasonAndLeavesEverythingAsItWas) {
    TempDir dir;
    TestWorkspace t;
    ASSERT_TRUE(InitFileAdd(t.ws, Put(dir, "good.Zep", 3)));
    const State before = StateOf(t);

    EXPECT_FALSE(InitFileAdd(t.ws, GetParam()));
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, "Wrong file format!");
    EXPECT_EQ(t.messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(t.messages.shown[0].detail,
              GetParam() + ": " +
                  DescribeReadError(LoadZEPFile(GetParam(), t.ws.options.STR_OPT_TOLERANCE).error));
    EXPECT_EQ(StateOf(t), before);
    // The list goes on working as before.
    EXPECT_TRUE(InitFileAdd(t.ws, Put(dir, "after.Zep", 2)));
    ExpectConsistent(t);
}

// Test names after the sample files.
std::string SampleName(const ::testing::TestParamInfo<std::string>& param) {
    std::string name = std::filesystem::path(param.param).filename().string();
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(BadFiles, InitFileAddRefuses, ::testing::ValuesIn(BadPaths()), SampleName);

TEST(WriteZEPFile, WritesPlainOrPaddedAndTheSameAgain) {
    TempDir dir;
    TestWorkspace t;
    const std::string small = Put(dir, "small.Zep", 3);
    const std::string large = Put(dir, "large.Zep", 5);
    ASSERT_TRUE(InitFileAdd(t.ws, small));
    ASSERT_TRUE(InitFileAdd(t.ws, large));
    const State before = StateOf(t);

    const std::string target = dir / "out.Zep";
    ASSERT_TRUE(WriteZEPFile(t.ws, target, small, 1));
    const std::string padded = Contents(target);
    EXPECT_EQ(padded.substr(0, 14), "ZEP  5 5 5 \r\n ");
    ASSERT_TRUE(WriteZEPFile(t.ws, target, small, 1));
    EXPECT_EQ(Contents(target), padded);

    t.ws.options.BLN_OPT_ADJTOMAXCOUNT = false;
    ASSERT_TRUE(WriteZEPFile(t.ws, small, small, 1));
    EXPECT_EQ(Contents(small), BytesOf(NamedModel("small.Zep", 3, 3, 3)));
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(StateOf(t), before);
}

TEST(WriteZEPFile, FailureKeepsTheOldFileAndTellsTheUser) {
    TempDir dir;
    TestWorkspace t;
    const std::string path = Put(dir, "one.Zep", 2);
    ASSERT_TRUE(InitFileAdd(t.ws, path));

    // A folder in the way stays a folder, with what it holds.
    const std::string folder = dir / "folder.Zep";
    std::filesystem::create_directory(folder);
    ASSERT_TRUE(WriteFileSafely(folder + "/inside", "kept"));
    const std::string missing = dir / "no/such/folder.Zep";
    for (const std::string& target : {folder, missing}) {
        t.messages.shown.clear();
        EXPECT_FALSE(WriteZEPFile(t.ws, target, path, 1));
        ASSERT_EQ(t.messages.shown.size(), 1u);
        EXPECT_EQ(t.messages.shown[0].text, "File unwriteble!!!\r\nFile Name : " + target);
        EXPECT_EQ(t.messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_FALSE(t.messages.shown[0].detail.empty());
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(Contents(folder + "/inside"), "kept");
    EXPECT_FALSE(std::filesystem::exists(dir / "no"));
    // Nothing is left behind beside the targets.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"folder.Zep", "one.Zep"}));

    // A file that is not loaded cannot be written either.
    t.messages.shown.clear();
    EXPECT_FALSE(WriteZEPFile(t.ws, dir / "x.Zep", dir / "unknown.Zep", 1));
    EXPECT_EQ(t.messages.shown.size(), 1u);
}

class RemoveFileTest : public ::testing::Test {
protected:
    void Add(const std::string& name, std::int32_t v, std::int32_t s = 0) {
        paths.push_back(Put(dir, name, v, s));
        ASSERT_TRUE(InitFileAdd(t.ws, paths.back()));
    }
    void Remove(std::int32_t position) {
        RemoveFile(t.ws, t.view.RowKey(position), position, t.view.RowTag(position));
    }

    TempDir dir;
    TestWorkspace t;
    std::vector<std::string> paths;
};

TEST_F(RemoveFileTest, OnlyFileEmptiesTheStoreAndShowsZero) {
    Add("one.Zep", 4);
    Remove(1);
    EXPECT_EQ(t.ws.store.FileCount(), 0);
    EXPECT_EQ(t.ws.ZEPFiles.Item().Count(), 0);
    EXPECT_TRUE(t.view.rows.empty());
    EXPECT_EQ(t.ws.store.MaxNumber(), 0);
    EXPECT_EQ(t.view.statusText, MaxText(0));
}

TEST_F(RemoveFileTest, FirstOfThreeMovesTheOthersDownIntact) {
    Add("a.Zep", 3);
    Add("b.Zep", 4);
    Add("c.Zep", 2);
    const auto later = std::vector<test::RecordSnapshot>{test::Snapshot(t.ws.store[2]),
                                                         test::Snapshot(t.ws.store[3])};
    Remove(1);
    EXPECT_EQ(test::SnapshotAll(t.ws.store), later);
    EXPECT_EQ(t.view.rows[0].key, paths[1]);
    EXPECT_EQ(t.view.rows[0].tag, 1);
    EXPECT_EQ(t.ws.ZEPFiles.Item().Find(paths[2])->FileDataIndex(), 2);
    ExpectConsistent(t);
}

TEST_F(RemoveFileTest, LastOfThreeMovesNothing) {
    Add("a.Zep", 3);
    Add("b.Zep", 4);
    Add("c.Zep", 2);
    const auto earlier = std::vector<test::RecordSnapshot>{test::Snapshot(t.ws.store[1]),
                                                           test::Snapshot(t.ws.store[2])};
    Remove(3);
    EXPECT_EQ(test::SnapshotAll(t.ws.store), earlier);
    ExpectConsistent(t);
}

TEST_F(RemoveFileTest, MaxNumberIsRecomputedOnlyWhenTheRemovedRowCountHeldIt) {
    Add("twenty.Zep", 20);
    Add("twentyfive.Zep", 25);
    Add("ten.Zep", 10);
    int writes = t.view.statusWrites;
    Remove(3);
    EXPECT_EQ(t.ws.store.MaxNumber(), 25);
    EXPECT_EQ(t.view.statusWrites, writes);
    Remove(2);
    EXPECT_EQ(t.ws.store.MaxNumber(), 20);
    EXPECT_EQ(t.view.statusText, MaxText(20));

    // A file whose label count set the maximum but whose row count is below it leaves it.
    Add("wide.Zep", 5, 30);
    EXPECT_EQ(t.view.statusText, MaxText(30));
    writes = t.view.statusWrites;
    Remove(2);
    EXPECT_EQ(t.ws.store.MaxNumber(), 30);
    EXPECT_EQ(t.view.statusWrites, writes);
}

TEST_F(RemoveFileTest, ValuesOfDifferentFilesChangeNothing) {
    Add("a.Zep", 3);
    Add("b.Zep", 4);
    const State before = StateOf(t);
    RemoveFile(t.ws, paths[0], 2, 2);
    RemoveFile(t.ws, paths[0], 1, 2);
    RemoveFile(t.ws, paths[0], 3, 1);
    RemoveFile(t.ws, "/not/loaded.Zep", 1, 1);
    EXPECT_EQ(StateOf(t), before);
}

TEST_F(RemoveFileTest, RemovedPathCanBeAddedAgainAtTheEnd) {
    Add("a.Zep", 3);
    Add("b.Zep", 4);
    Remove(1);
    ASSERT_TRUE(InitFileAdd(t.ws, paths[0]));
    EXPECT_EQ(t.view.rows.back().key, paths[0]);
    EXPECT_EQ(t.view.rows.back().tag, 2);
    ExpectConsistent(t);
}

TEST_F(RemoveFileTest, ClearListEmptiesEverythingAndTheNextFileIsFirst) {
    Add("a.Zep", 3);
    Add("b.Zep", 7);
    Add("c.Zep", 2);
    ClearList(t.ws);
    EXPECT_TRUE(t.view.rows.empty());
    EXPECT_EQ(t.ws.ZEPFiles.Item().Count(), 0);
    EXPECT_EQ(t.ws.store.FileCount(), 0);
    EXPECT_EQ(t.ws.store.MaxNumber(), 0);
    EXPECT_EQ(t.view.statusText, MaxText(0));
    ASSERT_TRUE(InitFileAdd(t.ws, paths[1]));
    EXPECT_EQ(t.view.rows[0].tag, 1);
    EXPECT_EQ(t.view.statusText, MaxText(7));
}

// Adds, removes and clears at random; after every step the three places agree and MaxNumber
// follows its three rules, worked out here on the side.
TEST_F(RemoveFileTest, RandomAddRemoveClearKeepsEverythingConsistent) {
    struct Shape {
        std::int32_t v, s;
    };
    const std::vector<Shape> shapes{{3, 3}, {5, 5}, {2, 6}, {6, 2}, {4, 4},
                                    {7, 7}, {1, 1}, {5, 8}, {8, 5}, {2, 2}};
    std::vector<std::string> pool;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        pool.push_back(Put(dir, "f" + std::to_string(i) + ".Zep", shapes[i].v, shapes[i].s));
    }
    std::mt19937 random(7);
    std::int32_t expectedMax = 0;
    std::string expectedStatus = t.view.statusText;
    std::vector<std::size_t> loaded;  // pool indices in list order
    for (int step = 0; step < 600; ++step) {
        const int action = std::uniform_int_distribution<int>(0, 19)(random);
        if (action < 11) {
            const std::size_t f = std::uniform_int_distribution<std::size_t>(0, 9)(random);
            const bool fresh = std::find(loaded.begin(), loaded.end(), f) == loaded.end();
            ASSERT_EQ(InitFileAdd(t.ws, pool[f]), fresh);
            if (fresh) {
                loaded.push_back(f);
                if (shapes[f].s > expectedMax) {
                    expectedMax = shapes[f].s;
                    expectedStatus = MaxText(expectedMax);
                }
            }
        } else if (action < 19 && !loaded.empty()) {
            const auto position =
                std::uniform_int_distribution<std::int32_t>(1, std::int32_t(loaded.size()))(random);
            const std::size_t f = loaded[std::size_t(position - 1)];
            Remove(position);
            loaded.erase(loaded.begin() + (position - 1));
            if (shapes[f].v == expectedMax) {
                expectedMax = 0;
                for (std::size_t g : loaded) {
                    expectedMax = std::max(expectedMax, shapes[g].v);
                }
                expectedStatus = MaxText(expectedMax);
            }
        } else if (!loaded.empty()) {
            ClearList(t.ws);
            loaded.clear();
            expectedMax = 0;
            expectedStatus = MaxText(0);
        }
        SCOPED_TRACE("step " + std::to_string(step));
        ExpectConsistent(t);
        ASSERT_EQ(t.ws.store.MaxNumber(), expectedMax);
        ASSERT_EQ(t.view.statusText, expectedStatus);
        for (std::size_t p = 0; p < loaded.size(); ++p) {
            ASSERT_EQ(t.view.rows[p].key, pool[loaded[p]]);
        }
    }
}

}  // namespace
}  // namespace zep
