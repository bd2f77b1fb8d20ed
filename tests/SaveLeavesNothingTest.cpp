// A save stopped by a signal, or near the name length limit, leaves only the old or new file.
// Each case runs in a child, with unnamed temporary files and with named ones.

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>

#include "TestWorkspace.h"
#include "support/SafeFileWriter.h"

namespace zep {
namespace {

// From here on openat refuses O_TMPFILE, as a file system without unnamed files does.
void RefuseUnnamedFiles() {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_TMPFILE & ~O_DIRECTORY, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);  // a failure shows: SIGKILL leaves nothing
    ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program);
}

template <typename Body>
int InChild(bool named, Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        for (int s : {SIGINT, SIGTERM, SIGHUP}) {
            std::signal(s, SIG_DFL);
        }
        if (named) {
            RefuseUnnamedFiles();
        }
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

// Stopped after a megabyte was written, only SIGKILL may leave a named temporary file; a new or
// replaced file appears whole, also when its name is as long as a name may be.
TEST(SaveLeavesNothing, WhenStoppedBySignalOrWhateverTheName) {
    for (const bool named : {false, true}) {
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
            SCOPED_TRACE(::testing::Message() << named << " " << signal);
            test::TempDir dir;
            test::Put(dir / "f", "old");
            const int status = InChild(named, [&] {
                SafeFileWriter writer(dir / "f");
                return writer.Open() && writer.Write(std::string(1 << 20, 'x')) &&
                       writer.Finish() && ::raise(signal) != 0;
            });
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            EXPECT_EQ(test::Contents(dir / "f"), "old");
            const bool left = named && signal == SIGKILL;
            EXPECT_EQ(test::NamesIn(dir.path()).size(), left ? 2u : 1u);
        }
        // The last name is all continuation bytes: no cut between characters is left.
        for (const std::string& name :
             {std::string("n"), std::string(247, 'n'), std::string(248, 'n'), std::string(255, 'n'),
              std::string(255, '\x80')}) {
            for (const char* before : {"", "meanwhile", "old"}) {
                SCOPED_TRACE(::testing::Message() << named << " " << name.size() << " " << before);
                test::TempDir dir;
                const std::string path = dir / name;
                if (before == std::string_view("old")) {
                    test::Put(path, "old");
                }
                const int status = InChild(named, [&] {
                    SafeFileWriter writer(path);
                    if (!writer.Open() || !writer.Write("new")) {
                        return false;
                    }
                    if (before == std::string_view("meanwhile")) {
                        test::Put(path, "other");
                    }
                    return writer.Commit();
                });
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
                EXPECT_EQ(test::Contents(path), "new");
                EXPECT_EQ(test::NamesIn(dir.path()).size(), 1u);
            }
        }
    }
    // A writer whose file could not be made takes no bytes.
    test::TempDir dir;
    SafeFileWriter writer(dir / "missing/f");
    EXPECT_FALSE(writer.Open() || writer.Write("x") || writer.Commit());
    EXPECT_TRUE(test::NamesIn(dir.path()).empty());
}

}  // namespace
}  // namespace zep
