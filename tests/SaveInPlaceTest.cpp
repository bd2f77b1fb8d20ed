// Saving over a file keeps owner, group and mode; hard links and outside changes are guarded.

#include <sys/stat.h>

#include "TestWorkspace.h"
#include "core/ModuleFileProc.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

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

// Answers every question alike; questions and messages end up as lines in shown.
struct Answering : MessageSink {
    explicit Answering(bool answer) : yes(answer) {}
    void ShowMessage(std::string_view text, MessageIcon icon, std::string_view detail) override {
        lines.ShowMessage(text, icon, detail);
    }
    bool AskYesNo(std::string_view text, std::string_view detail) override {
        ++asked;
        lines.ShowMessage(text, MessageIcon::None, detail);
        return yes;
    }
    bool yes;
    int asked = 0;
    std::ostringstream shown;
    cli::ConsoleMessages lines{shown};
};

const std::string kSample = test::Contents(ZEP_EXAMPLES_DIR "/atlantic.Zep");

const std::pair<const char*, std::function<void(const std::string&)>> kOutsideChanges[] = {
    {"nothing", [](const std::string&) {}},
    {"size", [](const std::string& path) { test::Put(path, test::Contents(path) + "x"); }},
    {"time",
     [](const std::string& path) {
         fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(1));
     }},
    {"replaced",
     [](const std::string& path) {
         fs::copy_file(path, path + ".new");
         fs::rename(path + ".new", path);
     }},
    {"gone", [](const std::string& path) { fs::remove(path); }},
};

TEST(SaveInPlace, FileChangedOnDiskIsReplacedOnlyOnYes) {
    for (const auto& [change, make] : kOutsideChanges) {
        for (const bool yes : {true, false}) {
            SCOPED_TRACE(std::string(change) + (yes ? " yes" : " no"));
            test::TempDir dir;
            cli::ConsoleListView view;
            Answering answers(yes);
            Workspace ws(view, answers);
            const std::string path = dir / "A.Zep";
            test::Put(path, kSample);
            ASSERT_TRUE(InitFileAdd(ws, path));
            ASSERT_TRUE(WriteZEPFile(ws, dir / "mine.Zep", path, 1));  // what a save writes
            make(path);
            const bool changed = std::string(change) != "nothing" && std::string(change) != "gone";
            const std::string before = changed ? test::Contents(path) : "";

            EXPECT_EQ(WriteZEPFile(ws, path, path, 1), !changed || yes);
            EXPECT_EQ(answers.asked, changed ? 1 : 0);
            EXPECT_EQ(test::Contents(path),
                      changed && !yes ? before : test::Contents(dir / "mine.Zep"));
            if (changed) {
                EXPECT_NE(answers.shown.str().find("changed by another program"),
                          std::string::npos);
                EXPECT_NE(answers.shown.str().find("File Name : " + path), std::string::npos);
            }
            // Only a refused file asks again: it remembers what it saved, or still what it read.
            WriteZEPFile(ws, path, path, 1);
            EXPECT_EQ(answers.asked, changed ? (yes ? 1 : 2) : 0);
        }
    }
}

TEST(SaveInPlace, SaveOntoAnotherListedFileMarksItsRowAndAllAsksOncePerChangedFile) {
    test::TempDir dir;
    cli::ConsoleListView view;
    Answering answers(false);
    Workspace ws(view, answers);
    for (const char* name : {"A.Zep", "B.Zep", "C.Zep"}) {
        test::Put(dir / name, kSample);
        ASSERT_TRUE(InitFileAdd(ws, dir / name));
        view.SetRowText(view.RowCount(), name);  // as saved
    }
    // Another spelling of B: saved over; a second hard link of C: C keeps its old file.
    ASSERT_EQ(::link((dir / "C.Zep").c_str(), (dir / "link.Zep").c_str()), 0);
    EXPECT_TRUE(WriteZEPFile(ws, dir / "./B.Zep", dir / "A.Zep", 1));
    EXPECT_TRUE(WriteZEPFile(ws, dir / "link.Zep", dir / "A.Zep", 1));
    EXPECT_EQ(view.RowText(1) + view.RowText(2) + view.RowText(3), "A.Zep* B.ZepC.Zep");
    EXPECT_TRUE(WriteZEPFile(ws, dir / "B.Zep", dir / "B.Zep", 2));  // no question
    EXPECT_EQ(answers.asked, 0);

    test::Put(dir / "A.Zep", "changed");
    test::Put(dir / "C.Zep", "changed");
    std::vector<SaveRequest> all;
    for (std::int32_t i = 1; i <= 3; ++i) {
        all.push_back(SaveRequest{view.RowKey(i), view.RowKey(i), i});
    }
    EXPECT_EQ(WriteZEPFiles(ws, all), std::vector<bool>({false, true, false}));
    EXPECT_EQ(answers.asked, 2);
}

}  // namespace
}  // namespace zep
