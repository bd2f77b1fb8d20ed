#include "support/FSUPLIBmain.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "TestWorkspace.h"

namespace zep {
namespace {

using test::TempDir;

void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}

TEST(GetFileNameInPathName, TakesWhatFollowsTheLastSlashBeforeTheFinalCharacter) {
    const std::pair<const char*, const char*> cases[] = {
        {"/data/one.Zep", "one.Zep"},
        {"/one.Zep", "one.Zep"},
        {"one.Zep", ""},
        {"a/", ""},
        {"/data/", "data/"},
        {"", ""},
        {"/", ""},
        {"x", ""},
        {"/a/b/c", "c"},
    };
    for (const auto& [path, name] : cases) {
        EXPECT_EQ(GetFileNameInPathName(path), name) << path;
    }
}

TEST(FileExist, HiddenFilesNeedTheHiddenBitAndFoldersNeverMatch) {
    TempDir dir;
    Touch(dir / "plain.Zep");
    Touch(dir / ".hidden.Zep");
    std::filesystem::create_directory(dir / "folder");

    EXPECT_FALSE(FileExist("", kAttrNormal));
    EXPECT_TRUE(FileExist(dir / "plain.Zep", kAttrNormal));
    EXPECT_TRUE(FileExist(dir / "plain.Zep", kAttrHidden | kAttrSystem));
    EXPECT_FALSE(FileExist(dir / ".hidden.Zep", kAttrNormal));
    EXPECT_TRUE(FileExist(dir / ".hidden.Zep", kAttrHidden | kAttrSystem));
    EXPECT_FALSE(FileExist(dir / "folder", kAttrHidden | kAttrSystem));
    EXPECT_FALSE(FileExist(dir / "missing.Zep", kAttrNormal));
}

TEST(FileExist, WildCardsMatchLikeAShellGlobInTheLastComponent) {
    TempDir dir;
    Touch(dir / "one.Zep");
    Touch(dir / ".two.Zep");
    EXPECT_TRUE(FileExist(dir / "*.Zep", kAttrNormal));
    EXPECT_TRUE(FileExist(dir / "o?e.Zep", kAttrNormal));
    EXPECT_FALSE(FileExist(dir / "*.txt", kAttrNormal));
    EXPECT_FALSE(FileExist(dir / ".t*", kAttrNormal));
    EXPECT_TRUE(FileExist(dir / ".t*", kAttrHidden));
    EXPECT_FALSE(FileExist(dir.path() + "/nowhere/*.Zep", kAttrNormal));
}

TEST(DelFile, RemovesReadOnlyAndHiddenFilesAndLeavesFolders) {
    TempDir dir;
    Touch(dir / "ro.Zep");
    ::chmod((dir / "ro.Zep").c_str(), 0444);
    Touch(dir / ".hidden");
    std::filesystem::create_directory(dir / "folder");

    EXPECT_TRUE(DelFile(dir / "ro.Zep"));
    EXPECT_FALSE(std::filesystem::exists(dir / "ro.Zep"));
    EXPECT_TRUE(DelFile(dir / ".hidden"));
    EXPECT_FALSE(std::filesystem::exists(dir / ".hidden"));
    EXPECT_TRUE(DelFile(dir / "missing"));
    EXPECT_TRUE(DelFile(dir / "folder"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
}

TEST(DelFile, FailsWhenTheFolderForbidsRemoval) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may remove files from any folder";
    }
    TempDir dir;
    Touch(dir / "kept.Zep");
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(DelFile(dir / "kept.Zep"));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_TRUE(std::filesystem::exists(dir / "kept.Zep"));
}

}  // namespace
}  // namespace zep
