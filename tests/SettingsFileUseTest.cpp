// Settings are read as the INI functions read them; an unusable file is a usage error.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "TestWorkspace.h"
#include "ZepconvRun.h"
#include "support/AppSettings.h"

namespace zep {
namespace {

const std::pair<const char*, Options> kValues[] = {
    {"blanks_around_values.ini", {"0.042", 4, false, false, true}},
    {"byte_order_mark.ini", {"0.5", 11, true, false, true}}};

TEST(SettingsFileUse, ValuesAreReadWithoutTheBlanksAroundThemAndPastAByteOrderMark) {
    for (const auto& [file, want] : kValues) {
        AppINI store;
        store.IniName = std::string(ZEP_TEST_DATA_DIR "/settings/") + file;
        EXPECT_TRUE(ReadOptions(store) == want) << file;
    }
}

// Root may read any file, so the unreadable one is tried as nobody, in a child process.
int RunAsNobody(const std::vector<std::string>& args) {
    const pid_t child = ::geteuid() == 0 ? ::fork() : -1;
    if (child == 0) {
        ::_exit(::setgid(65534) == 0 && ::setuid(65534) == 0 ? test::Zepconv(args).code : 99);
    }
    int status = 0;
    return child < 0 ? test::Zepconv(args).code
                     : (::waitpid(child, &status, 0) == child ? WEXITSTATUS(status) : -1);
}

TEST(SettingsFileUse, AFifoAFolderOrAnUnreadableFileIsAUsageError) {
    test::TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0666), 0);
    std::filesystem::create_directory(dir / "folder.ini");
    test::Put(dir / "unreadable.ini", "[Setup]\r\n");
    std::filesystem::permissions(dir / "unreadable.ini", std::filesystem::perms::none);
    for (const char* name : {"fifo.ini", "folder.ini", "unreadable.ini"}) {
        const std::vector<std::string> args = {
            "save", "--settings", dir / name, "-o", dir / "out", ZEP_EXAMPLES_DIR "/atlantic.Zep"};
        EXPECT_EQ(RunAsNobody(args), 2) << name;
        EXPECT_FALSE(std::filesystem::exists(dir / "out")) << name;
    }
}

}  // namespace
}  // namespace zep
