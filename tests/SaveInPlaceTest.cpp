// Saving over a file: the new file takes the old one's owner, group and mode, and a file with
// other names (hard links) is replaced under the saved name only, with a warning.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestWorkspace.h"
#include "core/ModuleFileProc.h"

namespace zep {
namespace {

TEST(SaveInPlace, KeepsOwnerGroupAndModeAndWarnsOfOtherNames) {
    test::TempDir dir;
    test::TestWorkspace t;
    const std::string source = std::string(ZEP_EXAMPLES_DIR) + "/atlantic.Zep";
    const std::string saved = dir / "saved.Zep";
    ASSERT_TRUE(InitFileAdd(t.ws, source));
    test::Put(saved, "old");
    ASSERT_EQ(::link(saved.c_str(), (dir / "other.Zep").c_str()), 0);
    // Only root may give a file away; the setgid bit shows that the mode is set after the owner.
    const std::vector<unsigned> old = {::geteuid() == 0 ? 4321 : ::geteuid(),
                                       ::geteuid() == 0 ? 4322 : ::getegid(), 02640};
    ASSERT_EQ(::chown(saved.c_str(), old[0], old[1]), 0);
    ASSERT_EQ(::chmod(saved.c_str(), old[2]), 0);

    EXPECT_TRUE(WriteZEPFile(t.ws, saved, source, 1));
    struct stat info {};
    ASSERT_EQ(::stat(saved.c_str(), &info), 0);
    EXPECT_EQ(std::vector<unsigned>({info.st_uid, info.st_gid, info.st_mode & 07777u}), old);
    EXPECT_EQ(test::Contents(saved), test::Contents(source));
    EXPECT_EQ(test::Contents(dir / "other.Zep"), "old");
    EXPECT_EQ(t.messages.str(),
              "Saved as a new file: the file's other names keep the old content. File Name : " +
                  saved + " -- 1 other hard link(s) to the old file\n");
}

}  // namespace
}  // namespace zep
