#include "support/SafeFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "TestWorkspace.h"

namespace zep {
namespace {

using test::Contents;
using test::EntriesIn;
using test::TempDir;

TEST(SafeFileWriter, ReplacesTheTargetOnlyOnCommit) {
    TempDir dir;
    ASSERT_TRUE(WriteFileSafely(dir / "f", "old"));
    {
        SafeFileWriter writer(dir / "f");
        ASSERT_TRUE(writer.Open());
        ASSERT_TRUE(writer.Write("new content"));
        EXPECT_EQ(Contents(dir / "f"), "old");
    }  // dropped without Commit
    EXPECT_EQ(Contents(dir / "f"), "old");
    EXPECT_EQ(EntriesIn(dir.path()), 1u);

    SafeFileWriter writer(dir / "f");
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write(std::string(3u << 20, 'x')));  // larger than the buffer
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(Contents(dir / "f").size(), 3u << 20);
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(SafeFileWriter, SmallAndLargePiecesLandInOrder) {
    TempDir dir;
    std::string expected;
    SafeFileWriter writer(dir / "f");
    ASSERT_TRUE(writer.Open());
    // Pieces below, at and above the size that bypasses the buffer, each a different byte.
    const std::size_t sizes[] = {3, 700u << 10, 1, 512u << 10, (512u << 10) - 1, 2u << 20, 5};
    char fill = 'a';
    for (std::size_t size : sizes) {
        std::string piece(size, fill++);
        ASSERT_TRUE(writer.Write(piece));
        expected += piece;
    }
    ASSERT_TRUE(writer.Commit());
    EXPECT_TRUE(Contents(dir / "f") == expected);
}

TEST(SafeFileWriter, KeepsTheOldFilesPermissionsAndWritesThroughLinks) {
    TempDir dir;
    ASSERT_TRUE(WriteFileSafely(dir / "f", "old"));
    ::chmod((dir / "f").c_str(), 0640);
    std::filesystem::create_symlink(dir / "f", dir / "link");
    ASSERT_TRUE(WriteFileSafely(dir / "link", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(Contents(dir / "f"), "new");
    struct stat info {};
    ASSERT_EQ(::stat((dir / "f").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(SafeFileWriter, FailuresLeaveTheTargetAndNoTemporaryFile) {
    TempDir dir;
    std::filesystem::create_directory(dir / "folder");
    std::string error;
    EXPECT_FALSE(WriteFileSafely(dir / "folder", "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
    EXPECT_FALSE(WriteFileSafely(dir.path() + "/missing/f", "x"));
    EXPECT_EQ(EntriesIn(dir.path()), 1u);
}

TEST(SafeFileWriter, ReadOnlyFolderIsRefused) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only folders";
    }
    TempDir dir;
    ASSERT_TRUE(WriteFileSafely(dir / "f", "old"));
    ::chmod(dir.path().c_str(), 0555);
    EXPECT_FALSE(WriteFileSafely(dir / "f", "new"));
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(Contents(dir / "f"), "old");
}

TEST(ReadWholeFile, ReadsBytesExactlyAndRefusesFolders) {
    TempDir dir;
    std::string bytes("a\r\nb\0c\xff", 7);
    ASSERT_TRUE(WriteFileSafely(dir / "f", bytes));
    EXPECT_EQ(Contents(dir / "f"), bytes);
    std::string out = "unchanged";
    EXPECT_FALSE(ReadWholeFile(dir.path(), out));
    EXPECT_FALSE(ReadWholeFile(dir / "missing", out));
    EXPECT_EQ(out, "unchanged");
}

}  // namespace
}  // namespace zep
