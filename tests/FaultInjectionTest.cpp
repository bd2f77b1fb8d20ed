// Saving when the disk or the folder fails: writes that stop part-way, read-only and full file
// systems, a folder or nothing where the file was. In every case the old file stays exactly as
// it was, nothing is left beside it, the user is told, and the list goes on working.

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "FileSizeLimit.h"
#include "TestWorkspace.h"
#include "core/ModuleFileProc.h"
#include "core/ZepReader.h"
#include "core/ZepWriter.h"
#include "support/AppINI.h"
#include "support/SafeFile.h"

namespace zep {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::TestWorkspace;

// Takes bytes until limit of them have been taken, then fails for good.
class FailAfter final : public ByteSink {
public:
    FailAfter(ByteSink& next, std::size_t limit) : next_(next), left_(limit) {}
    bool Write(std::string_view bytes) override {
        if (failed_ || bytes.size() > left_) {
            if (!failed_) {
                next_.Write(bytes.substr(0, left_));
            }
            failed_ = true;
            return false;
        }
        left_ -= bytes.size();
        return next_.Write(bytes);
    }

private:
    ByteSink& next_;
    std::size_t left_;
    bool failed_ = false;
};

// A coordinate file of n labels whose tokens name their place, laid out as the writer lays it
// out with the default options.
std::string SampleFile(int n) {
    std::string text =
        "FAULT  " + std::to_string(n) + " " + std::to_string(n) + " " + std::to_string(n) + " \r\n";
    for (int r = 1; r <= n; ++r) {
        for (int c = 1; c <= n; ++c) {
            text += "    " + std::to_string(r) + "." + std::to_string(c);
            if (c % 6 == 0 || c == n) {
                text += "\r\n";
            }
        }
    }
    for (int i = 1; i <= n; ++i) {
        text += "label " + std::to_string(i) + "\r\n";
    }
    for (int i = 1; i <= n; ++i) {
        text += "  0.0" + std::to_string(i);
        if (i % 11 == 0) {
            text += "\r\n";
        }
    }
    return text;
}

std::string Contents(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void Put(const std::string& path, const std::string& bytes) {
    ASSERT_TRUE(WriteFileSafely(path, bytes)) << path;
}

// A tmpfs of the given size mounted over folder for the life of the object, when the test
// runs as root and the system lets it mount; otherwise Why() says what stood in the way.
class ScratchMount {
public:
    ScratchMount(const std::string& folder, const char* size) : folder_(folder) {
        fs::create_directories(folder);
        if (::geteuid() != 0) {
            why_ = "mounting a small file system needs root";
            return;
        }
        std::string options = std::string("size=") + size + ",mode=0755";
        if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            why_ = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~ScratchMount() {
        if (mounted_) {
            ::umount2(folder_.c_str(), MNT_DETACH);
        }
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool mounted() const { return mounted_; }
    const std::string& Why() const { return why_; }
    bool ReadOnly(bool on) {
        const unsigned long flags = on ? MS_REMOUNT | MS_RDONLY : MS_REMOUNT;
        return ::mount("tmpfs", folder_.c_str(), "tmpfs", flags, nullptr) == 0;
    }
    // Fills the file system up with a file named filler.
    void Fill() {
        const std::string chunk(4096, 'x');
        std::FILE* file = std::fopen((folder_ + "/filler").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        while (std::fwrite(chunk.data(), 1, chunk.size(), file) == chunk.size() &&
               std::fflush(file) == 0) {
        }
        std::fclose(file);
    }

private:
    std::string folder_;
    std::string why_;
    bool mounted_ = false;
};

// A list with one loaded file (from a folder of its own that never fails) and a target folder.
class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir / "src");
        source = dir / "src/loaded.Zep";
        Put(source, SampleFile(8));
        ASSERT_TRUE(InitFileAdd(t.ws, source));
        t.messages.shown.clear();
    }

    // The save failed the way the user must see it, and the list is as it was.
    void ExpectRefused(const std::string& target) {
        ASSERT_EQ(t.messages.shown.size(), 1u);
        EXPECT_EQ(t.messages.shown[0].text, "File unwriteble!!!\r\nFile Name : " + target);
        EXPECT_EQ(t.messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_EQ(t.view.RowCount(), 1);
        t.messages.shown.clear();
    }

    // A later save elsewhere works and writes the file in full.
    void ExpectStillWorking() {
        const std::string elsewhere = dir / "src/later.Zep";
        EXPECT_TRUE(WriteZEPFile(t.ws, elsewhere, source, 1));
        EXPECT_EQ(Contents(elsewhere), Contents(source));
        EXPECT_TRUE(t.messages.shown.empty());
        fs::remove(elsewhere);
    }

    TempDir dir;
    TestWorkspace t;
    std::string source;
};

TEST_F(FaultInjection, WriterStoppedAfterAnyNumberOfBytesReportsFailure) {
    StringSink whole;
    const clsZEPFileItem& item = *t.ws.ZEPFiles.Item().Find(source);
    ASSERT_TRUE(WriteZep(whole, item, t.ws.store[1], t.ws.options, t.ws.store.MaxNumber()));
    ASSERT_EQ(whole.text, Contents(source));
    for (std::size_t n = 0; n <= whole.text.size(); ++n) {
        StringSink part;
        FailAfter sink(part, n);
        const bool ok = WriteZep(sink, item, t.ws.store[1], t.ws.options, t.ws.store.MaxNumber());
        EXPECT_EQ(ok, n == whole.text.size()) << n;
        EXPECT_EQ(part.text, whole.text.substr(0, n));
    }
}

TEST_F(FaultInjection, SafeWriterStoppedAfterAnyNumberOfBytesLeavesTheOldFile) {
    const std::string target = dir / "target.Zep";
    const std::string old = SampleFile(3);
    Put(target, old);
    const clsZEPFileItem& item = *t.ws.ZEPFiles.Item().Find(source);
    const std::size_t size = Contents(source).size();
    for (std::size_t n = 0; n < size; ++n) {
        SafeFileWriter writer(target);
        ASSERT_TRUE(writer.Open());
        FailAfter sink(writer, n);
        EXPECT_FALSE(WriteZep(sink, item, t.ws.store[1], t.ws.options, t.ws.store.MaxNumber()));
        // The writer is dropped without a commit, as WriteZEPFile does on failure.
    }
    EXPECT_EQ(Contents(target), old);
    EXPECT_EQ(NamesIn(dir.path()), (std::vector<std::string>{"src", "target.Zep"}));
}

// The file system refuses the file beyond n bytes, for every n short of the whole file.
TEST_F(FaultInjection, SaveCutShortByTheFileSystemAtAnyByteKeepsTheOldFile) {
    const std::string target = dir / "target.Zep";
    const std::string old = SampleFile(3);
    Put(target, old);
    const std::size_t size = Contents(source).size();
    for (std::size_t n = 0; n < size; ++n) {
        bool saved = true;
        {
            test::FileSizeLimit limit(n);
            ASSERT_TRUE(limit.active());
            saved = WriteZEPFile(t.ws, target, source, 1);
        }
        EXPECT_FALSE(saved) << n;
        ExpectRefused(target);
        ASSERT_EQ(Contents(target), old) << n;
        ASSERT_EQ(NamesIn(dir.path()), (std::vector<std::string>{"src", "target.Zep"})) << n;
    }
    EXPECT_TRUE(WriteZEPFile(t.ws, target, source, 1));
    EXPECT_EQ(Contents(target), Contents(source));
}

TEST_F(FaultInjection, TargetThatIsAFolderStaysAFolder) {
    const std::string target = dir / "folder.Zep";
    fs::create_directory(target);
    Put(target + "/inside", "kept");
    EXPECT_FALSE(WriteZEPFile(t.ws, target, source, 1));
    ExpectRefused(target);
    EXPECT_EQ(Contents(target + "/inside"), "kept");
    EXPECT_EQ(NamesIn(dir.path()), (std::vector<std::string>{"folder.Zep", "src"}));
    ExpectStillWorking();
}

// The data is in memory: a file deleted since it was loaded is written anew.
TEST_F(FaultInjection, FileDeletedSinceLoadingIsWrittenAnew) {
    const std::string expected = Contents(source);
    fs::remove(source);
    EXPECT_TRUE(WriteZEPFile(t.ws, source, source, 1));
    EXPECT_TRUE(t.messages.shown.empty());
    EXPECT_EQ(Contents(source), expected);
}

TEST_F(FaultInjection, FolderDeletedSinceLoadingIsReportedAndNotCreated) {
    const std::string folder = dir / "gone";
    fs::create_directory(folder);
    const std::string target = folder + "/loaded.Zep";
    Put(target, Contents(source));
    fs::remove_all(folder);
    EXPECT_FALSE(WriteZEPFile(t.ws, target, source, 1));
    ExpectRefused(target);
    EXPECT_FALSE(fs::exists(folder));
    ExpectStillWorking();
}

// Unreadable since loading: the save replaces it with the loaded data; the mode it was given
// is kept, since the user chose it.
TEST_F(FaultInjection, FileMadeUnreadableSinceLoadingIsReplacedKeepingItsMode) {
    const std::string expected = Contents(source);
    Put(source, "something else");
    ASSERT_EQ(::chmod(source.c_str(), 0200), 0);
    EXPECT_TRUE(WriteZEPFile(t.ws, source, source, 1));
    EXPECT_TRUE(t.messages.shown.empty());
    struct stat info {};
    ASSERT_EQ(::stat(source.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0200u);
    ASSERT_EQ(::chmod(source.c_str(), 0600), 0);
    EXPECT_EQ(Contents(source), expected);
    EXPECT_EQ(NamesIn(dir / "src"), (std::vector<std::string>{"loaded.Zep"}));
}

TEST_F(FaultInjection, ReadOnlyFolderKeepsTheOldFile) {
    const std::string folder = dir / "ro";
    ScratchMount mount(folder, "1m");
    const std::string target = folder + "/target.Zep";
    const std::string old = SampleFile(2);
    if (mount.mounted()) {
        Put(target, old);
        ASSERT_TRUE(mount.ReadOnly(true));
    } else if (::geteuid() != 0) {
        Put(target, old);
        ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    } else {
        GTEST_SKIP() << "as root a folder is read-only only on a read-only mount: " << mount.Why();
    }
    EXPECT_FALSE(WriteZEPFile(t.ws, target, source, 1));
    ExpectRefused(target);
    EXPECT_EQ(Contents(target), old);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"target.Zep"}));
    ExpectStillWorking();
    if (mount.mounted()) {
        ASSERT_TRUE(mount.ReadOnly(false));
    } else {
        ::chmod(folder.c_str(), 0755);
    }
    EXPECT_TRUE(WriteZEPFile(t.ws, target, source, 1));
    EXPECT_EQ(Contents(target), Contents(source));
}

TEST_F(FaultInjection, FullDiskKeepsTheOldFile) {
    const std::string folder = dir / "full";
    ScratchMount mount(folder, "64k");
    if (!mount.mounted()) {
        GTEST_SKIP() << "no small file system to fill: " << mount.Why();
    }
    // A larger file to save over a small one on a disk with no room left.
    Put(source, SampleFile(40));
    TestWorkspace big;
    ASSERT_TRUE(InitFileAdd(big.ws, source));
    const std::string target = folder + "/target.Zep";
    const std::string old = SampleFile(2);
    Put(target, old);
    mount.Fill();

    EXPECT_FALSE(WriteZEPFile(big.ws, target, source, 1));
    ASSERT_EQ(big.messages.shown.size(), 1u);
    EXPECT_EQ(big.messages.shown[0].text, "File unwriteble!!!\r\nFile Name : " + target);
    EXPECT_EQ(Contents(target), old);
    EXPECT_EQ(NamesIn(folder), (std::vector<std::string>{"filler", "target.Zep"}));

    // Elsewhere the same list saves, and once there is room again, here too.
    const std::string elsewhere = dir / "src/copy.Zep";
    EXPECT_TRUE(WriteZEPFile(big.ws, elsewhere, source, 1));
    EXPECT_EQ(Contents(elsewhere), Contents(source));
    fs::remove(folder + "/filler");
    EXPECT_TRUE(WriteZEPFile(big.ws, target, source, 1));
    EXPECT_EQ(Contents(target), Contents(source));
}

// The settings file under the same faults: every change is refused and the old file stays.
class SettingsFault : public ::testing::Test {
protected:
    static constexpr const char* kOld =
        "; kept\r\n[Setup]\r\nSTR_OPT_TOLERANCE=000.010\r\nBLN_OPT_SORTASCII=False\r\n"
        "[POSTION]\r\nMainLeft=1200\r\n";

    AppINI StoreIn(const std::string& folder) {
        AppINI store;
        store.IniName = folder + "/ZEPConverter.ini";
        store.SectionName = "Setup";
        return store;
    }

    // Every change fails, the file and the folder are as they were, and reading still works.
    void ExpectEveryChangeRefused(AppINI& store, const std::string& folder,
                                  const std::vector<std::string>& names) {
        EXPECT_FALSE(store.WriteKey("STR_OPT_TOLERANCE", std::string(200000, '9')));
        EXPECT_FALSE(store.WriteKey("NEW_KEY", std::string(200000, '7')));
        EXPECT_FALSE(store.DelKey("BLN_OPT_SORTASCII"));
        EXPECT_FALSE(store.DelSection("POSTION"));
        EXPECT_EQ(Contents(store.IniName), kOld);
        EXPECT_EQ(NamesIn(folder), names);
        EXPECT_EQ(store.ReadKeyEx("STR_OPT_TOLERANCE", "default"), "000.010");
    }

    TempDir dir;
};

TEST_F(SettingsFault, FullDiskLeavesTheOldFile) {
    const std::string folder = dir / "full";
    ScratchMount mount(folder, "64k");
    if (!mount.mounted()) {
        GTEST_SKIP() << "no small file system to fill: " << mount.Why();
    }
    AppINI store = StoreIn(folder);
    Put(store.IniName, kOld);
    mount.Fill();
    ExpectEveryChangeRefused(store, folder, {"ZEPConverter.ini", "filler"});
}

TEST_F(SettingsFault, ReadOnlyFolderLeavesTheOldFile) {
    const std::string folder = dir / "ro";
    ScratchMount mount(folder, "1m");
    AppINI store = StoreIn(folder);
    if (mount.mounted()) {
        Put(store.IniName, kOld);
        ASSERT_TRUE(mount.ReadOnly(true));
    } else if (::geteuid() != 0) {
        Put(store.IniName, kOld);
        ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    } else {
        GTEST_SKIP() << "as root a folder is read-only only on a read-only mount: " << mount.Why();
    }
    ExpectEveryChangeRefused(store, folder, {"ZEPConverter.ini"});
    if (!mount.mounted()) {
        ::chmod(folder.c_str(), 0755);
    }
}

// Each change, cut short by the file system at every byte before it completes, leaves the old
// file; once the limit admits the whole new file, the change is made.
TEST_F(SettingsFault, RewriteCutShortAtAnyByteLeavesTheOldFile) {
    const std::vector<std::pair<const char*, std::function<bool(AppINI&)>>> changes = {
        {"WriteKey", [](AppINI& s) { return s.WriteKey("STR_OPT_TOLERANCE", "000.020"); }},
        {"DelKey", [](AppINI& s) { return s.DelKey("BLN_OPT_SORTASCII"); }},
        {"DelSection", [](AppINI& s) { return s.DelSection("POSTION"); }},
    };
    AppINI store = StoreIn(dir.path());
    const std::size_t size = std::string_view(kOld).size();
    for (const auto& [name, change] : changes) {
        Put(store.IniName, kOld);
        std::size_t n = 0;
        for (;; ++n) {
            bool changed = false;
            {
                test::FileSizeLimit limit(n);
                ASSERT_TRUE(limit.active());
                changed = change(store);
            }
            if (changed) {
                break;
            }
            ASSERT_EQ(Contents(store.IniName), kOld) << name << " " << n;
            ASSERT_EQ(NamesIn(dir.path()), (std::vector<std::string>{"ZEPConverter.ini"}))
                << name << " " << n;
            ASSERT_LT(n, 2 * size) << name << " never succeeds";
        }
        EXPECT_EQ(Contents(store.IniName).size(), n) << name;
        EXPECT_NE(Contents(store.IniName), kOld) << name;
    }
}

}  // namespace
}  // namespace zep
