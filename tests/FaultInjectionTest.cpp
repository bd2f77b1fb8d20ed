// A failed save keeps the old file exactly, leaves nothing beside it, is reported; the next works.

#include <sys/mount.h>
#include <sys/stat.h>

#include "TestWorkspace.h"
#include "core/ModuleFileProc.h"
#include "support/AppINI.h"
#include "support/AppSettings.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kOldSettings =
    "; kept\r\n[Setup]\r\nSTR_OPT_TOLERANCE=000.010\r\nBLN_OPT_SORTASCII=False\r\n"
    "[POSTION]\r\nMainLeft=1\r\nMainTop=2\r\nMainWidth=6500000\r\nMainHeight=6500000\r\n";

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "src");
        fs::copy_file(ZEP_EXAMPLES_DIR "/pacific-rim.Zep", source);
        fs::copy_file(ZEP_EXAMPLES_DIR "/indian-ocean.Zep", old_);
        ASSERT_TRUE(InitFileAdd(t.ws, source));
    }

    test::TempDir dir;
    test::TestWorkspace t;
    const std::string source = dir / "src/loaded.Zep";
    const std::string old_ = dir / "src/old.Zep";
};

// A change cut short at any byte reports success only when whole, and keeps the old file.
TEST_F(FaultInjection, ChangeCutShortAtAnyByteIsReportedAndKeepsTheOldFile) {
    const std::string target = dir / "target.Zep";
    AppINI store{dir / "ZEPConverter.ini", "Setup"};
    test::Put(store.IniName, kOldSettings);
    const std::function<bool()> changes[] = {
        [&] { return WriteZEPFile(t.ws, target, source, 1); },
        [&] { return store.WriteKey("STR_OPT_TOLERANCE", "000.020"); },
        [&] { return store.DelKey("BLN_OPT_SORTASCII"); },
        [&] { return store.DelSection("POSTION"); },
        // MainLeft grows, MainWidth and MainHeight shrink: later keys may fit where it did not.
        [&] {
            return WriteWindowPosition(store, {-2147483647, 1, 2, 3});
        },
    };
    for (const auto& make : changes) {
        const bool save = &make == &changes[0];
        const std::string file = save ? target : store.IniName;
        const std::string old = save ? test::Contents(old_) : std::string(kOldSettings);
        test::Put(file, old);
        store.SectionName = "Setup";
        ASSERT_TRUE(make());
        const std::string after = test::Contents(file);
        bool changed = false;
        for (std::size_t n = 0; !changed; ++n) {
            test::Put(file, old);
            store.SectionName = "Setup";
            changed = test::WithFileSizeLimit(n, make);
            const std::string now = test::Contents(file);
            ASSERT_EQ(changed, now == after) << after << " at " << n;
            // Only the window position takes several rewrites, one per key.
            ASSERT_TRUE(changed || &make == &changes[4] || now == old) << after;
            ASSERT_EQ(test::NamesIn(dir.path()),
                      (std::vector<std::string>{"ZEPConverter.ini", "src", "target.Zep"}));
            EXPECT_EQ(t.messages.str(), changed || !save
                                            ? ""
                                            : "File unwriteble!!! File Name : " + target +
                                                  " -- cannot write the file: File too large\n");
            t.messages.str("");
        }
    }
    // A folder that is gone is not made again.
    EXPECT_FALSE(WriteZEPFile(t.ws, dir / "gone/target.Zep", source, 1));
    EXPECT_EQ(t.messages.str(), "File unwriteble!!! File Name : " + dir / "gone/target.Zep" +
                                    " -- cannot create a file in the folder: No such file or "
                                    "directory\n");
    EXPECT_FALSE(fs::exists(dir / "gone"));
}

// A small full or read-only file system, mounted by root; else a read-only folder stands in.
class FaultInjectionDisk : public FaultInjection, public ::testing::WithParamInterface<bool> {};

TEST_P(FaultInjectionDisk, SavesAreRefusedAndTheOldFilesStay) {
    const bool full = GetParam();
    const std::string folder = dir / "disk";
    fs::create_directory(folder);
    const bool mounted = ::geteuid() == 0 && ::mount("tmpfs", folder.c_str(), "tmpfs", 0,
                                                     full ? "size=64k" : "size=1m") == 0;
    if (!mounted && (full || ::geteuid() == 0)) {
        GTEST_SKIP() << "a small file system can only be mounted by root";
    }
    const std::string target = folder + "/target.Zep";
    fs::copy_file(old_, target);
    if (full) {
        std::ofstream filler(folder + "/filler", std::ios::binary);
        for (const std::string chunk(4096, 'x'); filler.write(chunk.data(), 4096).flush();) {
        }
    } else if (mounted) {
        EXPECT_EQ(::mount("tmpfs", folder.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr), 0);
    } else {
        ::chmod(folder.c_str(), 0555);
    }
    const std::vector<std::string> names = test::NamesIn(folder);
    EXPECT_FALSE(WriteZEPFile(t.ws, target, source, 1));
    EXPECT_NE(t.messages.str().find("File unwriteble!!! File Name : " + target), std::string::npos);
    EXPECT_EQ(test::Contents(target), test::Contents(old_));
    EXPECT_EQ(test::NamesIn(folder), names);
    EXPECT_TRUE(WriteZEPFile(t.ws, dir / "src/later.Zep", source, 1));
    if (mounted) {
        ::umount2(folder.c_str(), MNT_DETACH);
    }
}

INSTANTIATE_TEST_SUITE_P(Disks, FaultInjectionDisk, ::testing::Bool(),
                         [](const auto& param) { return param.param ? "Full" : "ReadOnly"; });

}  // namespace
}  // namespace zep
