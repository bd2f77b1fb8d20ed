#include "core/FileDataStore.h"

#include <gtest/gtest.h>

#include "core/Item.h"
#include "core/clsZEPFileItem.h"
#include "core/clsZEPFiles.h"

namespace zep {
namespace {

TEST(FileDataStore, EmptyStoreRecalculatesToZero) {
    FileDataStore store;
    store.SetMaxNumber(7);
    store.RecalcMaxNumber();
    EXPECT_EQ(store.MaxNumber(), 0);
    EXPECT_EQ(store.FileCount(), 0);
    EXPECT_EQ(store.Record(1), nullptr);
}

TEST(FileDataStore, AddKeepsEarlierRecordsAndRemoveMovesLaterOnesDown) {
    FileDataStore store;
    for (std::int32_t n : {2, 5, 3}) {
        std::int32_t index = store.AddFileData();
        store[index].SizeCoordinates(n);
        store[index].SizeLabels(n);
        store[index].SetLabel(1, "first of " + std::to_string(n));
    }
    ASSERT_EQ(store.FileCount(), 3);
    EXPECT_EQ(store[1].Labels(1), "first of 2");
    store.RecalcMaxNumber();
    EXPECT_EQ(store.MaxNumber(), 5);

    store.RemoveFileData(1);
    ASSERT_EQ(store.FileCount(), 2);
    EXPECT_EQ(store[1].Labels(1), "first of 5");
    EXPECT_EQ(store[2].VarCount(), 3);
    store.RemoveFileData(9);  // outside the store: nothing happens
    EXPECT_EQ(store.FileCount(), 2);
}

TEST(clsZEPFileItem, CountSettersSizeTheRecordAtTheirIndex) {
    FileDataStore store;
    clsZEPFileItem item(store);
    EXPECT_FALSE(item.SetVarCount(3));  // no record yet
    item.SetFileDataIndex(store.AddFileData());
    EXPECT_TRUE(item.SetVarCount(3));
    EXPECT_TRUE(item.SetStrCount(4));
    EXPECT_TRUE(item.SetMidCount(2));
    EXPECT_FALSE(item.SetMidCount(0));
    EXPECT_EQ(item.MidCount(), 2);
    EXPECT_EQ(store[1].VarCount(), 3);
    EXPECT_EQ(store[1].LabelCount(), 4);
    EXPECT_EQ(store[1].DeviationCount(), 2);
}

TEST(Item, KeysAreExactAndUniqueInInsertionOrder) {
    FileDataStore store;
    Item items;
    for (const char* key : {"/a/One.Zep", "/a/one.Zep"}) {
        auto item = std::make_unique<clsZEPFileItem>(store);
        item->SetKey(key);
        EXPECT_NE(items.Add(std::move(item)), nullptr);
    }
    auto duplicate = std::make_unique<clsZEPFileItem>(store);
    duplicate->SetKey("/a/One.Zep");
    EXPECT_EQ(items.Add(std::move(duplicate)), nullptr);
    EXPECT_EQ(items.Count(), 2);
    EXPECT_EQ(items.At(2)->Key(), "/a/one.Zep");
    EXPECT_EQ(items.At(3), nullptr);
    EXPECT_TRUE(items.Remove("/a/One.Zep"));
    EXPECT_FALSE(items.Remove("/a/One.Zep"));
    EXPECT_EQ(items.At(1)->Key(), "/a/one.Zep");
}

TEST(clsZEPFiles, CreatesItsCollectionOnFirstUse) {
    clsZEPFiles files;
    EXPECT_EQ(files.Item().Count(), 0);
    files.SetItem(std::make_unique<Item>());
    EXPECT_EQ(files.Item().Count(), 0);
}

}  // namespace
}  // namespace zep
