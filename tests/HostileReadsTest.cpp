// Hostile files are refused with their reason, inert, without blocking or outsized allocations.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "TestWorkspace.h"
#include "core/ModuleFileProc.h"
#include "core/ZepReader.h"
#include "support/AppINI.h"

namespace zep {
namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// The peak resident size so far; each test runs in a process of its own.
std::size_t PeakBytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

// The cases of 50 MB and more take seconds: they run when asked for (CI asks, once).
bool HeavyCasesWanted() {
    const char* wanted = std::getenv("ZEP_LARGE_TESTS");
    return wanted != nullptr && std::string_view(wanted) == "1";
}

void ExpectRefused(const std::string& path, const char* reason, std::size_t memory) {
    test::TestWorkspace t;
    const std::size_t peak = PeakBytes();
    EXPECT_FALSE(InitFileAdd(t.ws, path));
    EXPECT_LT(PeakBytes() - peak, memory);
    EXPECT_EQ(t.messages.str().find("Wrong file format! -- " + path + ": " + reason), 0u)
        << t.messages.str();
    EXPECT_EQ(t.ws.store.FileCount(), 0);
}

// A header claiming 67 MB of cells is refused within 8.4 MB; a sparse 5 GB file unread.
TEST(HostileHeader, IsRefusedBeforeMemoryIsSpentOnIt) {
    test::TempDir dir;
    test::Put(dir / "junk.Zep", "F  2900 1 1 \r\n" + std::string(2900 * 2900, 'x'));
    ExpectRefused(dir / "junk.Zep", "the file ends in row 1", 16 * kMiB);
    test::Put(dir / "huge.Zep", "ZEP  1 1 1 \r\n");
    std::filesystem::resize_file(dir / "huge.Zep", std::uintmax_t{5} << 30);
    ExpectRefused(dir / "huge.Zep", "the file is larger than 4 GB", 64 * kMiB);
}

TEST(EnormousLine, FiftyMegabytesWithoutALineEndAreRefused) {
    if (!HeavyCasesWanted()) {
        GTEST_SKIP() << "a case of 50 MB; set ZEP_LARGE_TESTS=1 to run it";
    }
    test::TempDir dir;
    const std::size_t size = 50 * kMiB;
    std::string spaced = "F  1 1 1 ";
    spaced.resize(size, ' ');
    for (std::size_t i = 10; i < size; i += 2) {
        spaced[i] = '7';
    }
    test::Put(dir / "x.Zep", std::string(size, 'x'));
    ExpectRefused(dir / "x.Zep", "the header has 1 field", 3 * size);
    test::Put(dir / "spaced.Zep", spaced);
    ExpectRefused(dir / "spaced.Zep", "the file ends in row 1", 3 * size);
}

TEST(JunkSettings, HundredMegabytesReadInBoundedMemory) {
    if (!HeavyCasesWanted()) {
        GTEST_SKIP() << "a case of 100 MB; set ZEP_LARGE_TESTS=1 to run it";
    }
    test::TempDir dir;
    const std::size_t size = 100 * kMiB;
    std::string junk(size, '\0');
    std::mt19937_64 random(11);
    for (std::size_t i = 0; i + 8 <= size; i += 8) {
        const std::uint64_t word = random();
        std::memcpy(junk.data() + i, &word, 8);
    }
    AppINI store{dir / "junk.ini", "Setup"};
    test::Put(store.IniName, junk);
    const std::size_t peak = PeakBytes();
    EXPECT_EQ(store.ReadKeyEx("STR_OPT_TOLERANCE", "000.005"), "000.005");
    EXPECT_LT(PeakBytes() - peak, 3 * size);
}

TEST(HostileReads, WhatIsNotARegularFileIsRefusedWithoutBlocking) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo.Zep").c_str(), 0600), 0);
    sockaddr_un address{AF_UNIX, {}};
    (dir / "sock.Zep").copy(address.sun_path, sizeof address.sun_path - 1);
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::alarm(30);  // a read that blocks ends the test here
    for (const auto& [path, kind] : {std::pair{dir / "fifo.Zep", "FIFO"},
                                     {dir / "sock.Zep", "socket"},
                                     {"/dev/zero", "device"}}) {
        EXPECT_NE(LoadZEPFile(path, "0").error.reason.find(kind), std::string::npos) << path;
        std::string bytes, why;
        EXPECT_FALSE(ReadWholeFile(path, bytes, 0, &why));
        EXPECT_NE(why.find(kind), std::string::npos) << path;
    }
    ::alarm(0);
    ::close(listener);
}

TEST(HostileReads, FileThatChangedSinceItWasOpenedIsRefused) {
    test::TempDir dir;
    const std::string path = dir / "a.Zep";
    const std::function<void()> changes[] = {
        [&] { std::ofstream(path, std::ios::app) << "g"; },  // grows
        [&] { std::filesystem::resize_file(path, 4); },      // shrinks
        [&] { test::Put(path, "abcdef"); },                  // replaced by another file
    };
    for (const auto& change : changes) {
        test::Put(path, "abcdef");
        SafeFileReader reader;
        ASSERT_TRUE(reader.Open(path));
        change();
        std::string bytes;
        EXPECT_FALSE(reader.Read(bytes));
        EXPECT_EQ(reader.Error(), "the file changed while it was read");
    }
}

// A valid file of 8 MB is read within twice its size (a refused one: HostileHeader).
TEST(HeaderMemory, StaysWithinTwiceTheFile) {
    std::string text = "F  2000 1 1 \r\n";
    text.reserve(8100000);
    for (int i = 0; i < 2000 * 2000; ++i) {
        text += i % 2000 == 1999 ? "1\r\n" : "1 ";
    }
    text += "L\r\n 1";
    const std::size_t peak = PeakBytes();
    EXPECT_TRUE(ParseZepFile(text, "0").ok());
    EXPECT_LE(PeakBytes() - peak, 2 * text.size());
}

}  // namespace
}  // namespace zep
