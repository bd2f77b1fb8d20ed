// The file list's bookkeeping (adding and removing are driven in the window).

#include "core/ModuleFileProc.h"

#include "TestWorkspace.h"
#include "core/ZepReader.h"
#include "support/FileIdentity.h"
#include "support/ModuleErrProc.h"

namespace zep {
namespace {

// The store's size, then per row: key|text|its item's title and record|the record's first label.
std::string Listing(test::TestWorkspace& t) {
    std::string listing = "max " + std::to_string(t.ws.store.MaxNumber()) + ", records " +
                          std::to_string(t.ws.store.FileCount()) + "\n";
    for (std::int32_t p = 1; p <= t.view.RowCount(); ++p) {
        const clsZEPFileItem* item = t.ws.ZEPFiles.Item().Find(t.view.RowKey(p));
        const FileData* record = t.ws.store.Record(t.view.RowTag(p));
        listing += t.view.RowKey(p) + "|" + t.view.RowText(p) + "|" +
                   (item ? item->Title() + " " + std::to_string(item->FileDataIndex()) : "-") +
                   "|" + (record ? std::string(record->Labels(1)) : "-") + "\n";
    }
    return listing;
}

// Refusals and their messages are zepconv's cases (info-after-every-refusal); here the list's
// own: a file taken off it can be added again, a key it holds is refused.
TEST(InitFileAdd, ClearedFileComesBackAndAHeldKeyIsRefused) {
    test::TestWorkspace t;
    const std::string listing = "max 7, records 1\n" ZEP_EXAMPLES_DIR
                                "/atlantic.Zep|* atlantic.Zep|atlantic.Zep 1|North America\n";
    ASSERT_TRUE(InitFileAdd(t.ws, ZEP_EXAMPLES_DIR "/atlantic.Zep"));
    EXPECT_EQ(Listing(t), listing);
    ClearList(t.ws);
    EXPECT_TRUE(InitFileAdd(t.ws, ZEP_EXAMPLES_DIR "/atlantic.Zep"));
    EXPECT_EQ(Listing(t), listing);
    const std::string indian = ZEP_EXAMPLES_DIR "/indian-ocean.Zep";
    ASSERT_EQ(t.view.AppendRow(indian, "held"), 0);
    EXPECT_FALSE(InitFileAdd(t.ws, indian));
    EXPECT_EQ(t.messages.str(), "This file already in list!\n");
    EXPECT_EQ(ErrProcText("InitFileAdd", 5), "Unknow Error :\r\nModule:InitFileAdd\r\nCode: 5");
}

TEST(clsZEPFileItem, CountsSizeTheRecordOfItsIndexAndItemsKeepTheirKeysInOrder) {
    FileDataStore store;
    clsZEPFileItem item(store);
    EXPECT_FALSE(item.SetVarCount(3));  // no record yet
    item.SetFileDataIndex(store.AddFileData());
    EXPECT_TRUE(item.SetVarCount(3));
    EXPECT_FALSE(item.SetVarCount(0));
    EXPECT_EQ(store[1].VarCount(), 3);
    Item items;
    for (const char* key : {"/a/One.Zep", "/a/one.Zep", "/a/One.Zep"}) {
        auto added = std::make_unique<clsZEPFileItem>(store);
        added->SetKey(key);
        items.Add(std::move(added));
    }
    ASSERT_EQ(items.Count(), 2);
    EXPECT_EQ(items.At(1)->Key(), "/a/One.Zep");
    EXPECT_EQ(items.At(2)->Key(), "/a/one.Zep");
    EXPECT_EQ(items.At(3), nullptr);
}

// A row whose values were set one by one no longer goes out as the bytes the file held.
TEST(FileData, RowSetByHandIsNoLongerTheWrittenRow) {
    ReadResult read = ParseZepFile(test::Contents(ZEP_EXAMPLES_DIR "/atlantic.Zep"), "000.005");
    ASSERT_TRUE(read.ok());
    FileData& data = read.file->data;
    ASSERT_FALSE(data.WrittenRow(1).empty());
    data.SetCoordinate(1, 1, "9.5");
    EXPECT_TRUE(data.WrittenRow(1).empty());
    EXPECT_EQ(data.Coordinates(1, 1), "9.5");
}

// A place under the root that does not exist yet counts by the root.
TEST(IdentityOf, PlaceUnderTheRootCountsByTheRoot) {
    const FileIdentity root = IdentityOf("/");
    const FileIdentity place = IdentityOf("/no-such-zep-folder/f.Zep");
    EXPECT_EQ(std::pair(place.device, place.inode), std::pair(root.device, root.inode));
    EXPECT_EQ(place.below, "no-such-zep-folder/f.Zep");
}

// Looking a name up inside a folder looked up once gives what the whole path gives, whether the
// folder and the name are there, missing, linked, not a folder, or the name is no plain name.
TEST(IdentityIn, AgreesWithTheWholePath) {
    test::TempDir dir;
    std::filesystem::create_directory(dir / "out");
    test::Put(dir / "out/there.Zep", "x");
    test::Put(dir / "file", "x");
    std::filesystem::create_directory_symlink("out", dir / "link");
    for (const char* folder : {"out", "link", "missing", "missing/deeper", "file", "out/../out"}) {
        for (const char* name : {"there.Zep", "new.Zep", "..", ".", ""}) {
            const std::string path = dir / folder;
            EXPECT_EQ(IdentityIn(IdentityOf(path), path, name), IdentityOf(path + "/" + name))
                << folder << " / " << name;
        }
    }
}

}  // namespace
}  // namespace zep
