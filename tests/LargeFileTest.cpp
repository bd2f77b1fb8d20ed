// Large hostile inputs are refused with their reason before memory is spent on them.

#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "TestWorkspace.h"
#include "core/ModuleFileProc.h"
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
    return wanted != nullptr && std::string(wanted) == "1";
}

// Adds the file: it is refused with the reason, nothing is loaded, and the memory stays below.
void ExpectRefused(const std::string& path, const char* reason, std::size_t memory) {
    test::TestWorkspace t;
    const std::size_t peak = PeakBytes();
    EXPECT_FALSE(InitFileAdd(t.ws, path));
    EXPECT_LT(PeakBytes() - peak, memory);
    EXPECT_EQ(t.messages.str().find("Wrong file format! -- " + path + ": " + reason), 0u)
        << t.messages.str();
    EXPECT_EQ(t.ws.store.FileCount(), 0);
}

// 2900 rows of as many values would take 67 MB of cells: 8.4 MB of junk is refused before.
TEST(HostileHeader, RowsOfJunkWithoutSpacesAreRefusedBeforeAllocating) {
    test::TempDir dir;
    test::Put(dir / "junk.Zep", "F  2900 1 1 \r\n" + std::string(2900 * 2900, 'x'));
    ExpectRefused(dir / "junk.Zep", "the file ends in row 1", 16 * kMiB);
}

// A sparse file of 5 GB: reading it first would take 5 GB.
TEST(HostileHeader, FileBeyondFourGigabytesIsRefusedUnread) {
    test::TempDir dir;
    test::Put(dir / "huge.Zep", "ZEP  1 1 1 \r\n");
    std::filesystem::resize_file(dir / "huge.Zep", std::uintmax_t{5} << 30);
    ExpectRefused(dir / "huge.Zep", "the file is larger than 4 GB", 64 * kMiB);
}

// 50 MB with no line end at all: the whole file is the header.
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

// 100 MB of random bytes: the key is not found, whatever the bytes hold.
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
    AppINI store;
    store.IniName = dir / "junk.ini";
    store.SectionName = "Setup";
    test::Put(store.IniName, junk);
    const std::size_t peak = PeakBytes();
    EXPECT_EQ(store.ReadKeyEx("STR_OPT_TOLERANCE", "000.005"), "000.005");
    EXPECT_LT(PeakBytes() - peak, 3 * size);
}

}  // namespace
}  // namespace zep
