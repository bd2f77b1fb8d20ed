// Large and hostile inputs: headers announcing more than the file holds, one enormous line,
// labels of a megabyte, and a settings file of 100 MB of junk. Each is refused with its reason
// or read whole, in bounded time and without memory growing past a small multiple of the
// file's size.

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "TestWorkspace.h"
#include "core/ModuleFileProc.h"
#include "core/ZepReader.h"
#include "support/AppINI.h"
#include "support/SafeFile.h"

namespace zep {
namespace {

using test::TestWorkspace;

constexpr std::size_t kMiB = std::size_t{1} << 20;

// The peak resident size of this process so far. Each test runs in a process of its own, so
// the growth of the peak across an operation bounds what that operation took.
std::size_t PeakBytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

// A scratch folder in memory when the system has one: hundreds of megabytes written to a slow
// disk would measure the disk, not the program.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            ::access("/dev/shm", W_OK) == 0
                ? "/dev/shm/zeplarge.XXXXXX"
                : (std::filesystem::temp_directory_path() / "zeplarge.XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

class Budget {
public:
    Budget() : peak_(PeakBytes()), start_(std::chrono::steady_clock::now()) {}
    std::size_t grownBy() const { return PeakBytes() - peak_; }
    double seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::size_t peak_;
    std::chrono::steady_clock::time_point start_;
};

// A plain write: syncing hundreds of megabytes to disk would only slow the test down.
void Put(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ASSERT_TRUE(std::fclose(file) == 0 && written) << path;
}

std::string Contents(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

// The cases of 50 and 100 MB take seconds, more under the sanitizers: they run when asked for
// (CI asks, once, in the optimised build).
bool HeavyCasesWanted() {
    const char* wanted = std::getenv("ZEP_LARGE_TESTS");
    return wanted != nullptr && std::string(wanted) == "1";
}

#define SKIP_UNLESS_HEAVY_CASES_WANTED()                                            \
    if (!HeavyCasesWanted()) {                                                      \
        GTEST_SKIP() << "a case of 50 MB or more; set ZEP_LARGE_TESTS=1 to run it"; \
    }

struct HostileHeader {
    const char* name;
    std::string bytes;
    const char* reason;  // a part of the reason the reader must give
};

void PrintTo(const HostileHeader& header, std::ostream* out) {
    *out << header.name;
}

std::string Repeated(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

std::vector<HostileHeader> HostileHeaders() {
    const std::string body = "    1\r\nlabel\r\n  0.1";
    return {
        {"AllCountsAtTheLimit", "F  2147483647 2147483647 2147483647 \r\n" + body,
         "header announces 2147483647 rows"},
        {"RowsWhoseSquareOverflows", "F  65536 1 1 \r\n" + body, "header announces 65536 rows"},
        {"LabelsBeyondTheFile", "F  1 2147483647 1 \r\n" + body,
         "header announces 2147483647 labels"},
        {"DeviationsBeyondTheFile", "F  1 1 2147483647 \r\n" + body,
         "header announces 2147483647 deviation"},
        {"CountBeyondInt32", "F  2147483648 1 1 \r\n" + body, "not a whole number"},
        {"CountOfTwentyDigits", "F  99999999999999999999 1 1 \r\n" + body, "not a whole number"},
        // 2900 rows of as many values in 8.4 MB of junk: refused at the first row, having
        // allocated nothing per value.
        {"RowsOfJunkWithoutSpaces", "F  2900 1 1 \r\n" + std::string(2900 * 2900, 'x'),
         "the file ends in row 1"},
        {"RowsThatPassTheHeaderChecksButNotTheLines", "F  40 1 1 \r\n" + Repeated("1 ", 1600),
         "row 1 has"},
    };
}

class HostileHeaderTest : public ::testing::TestWithParam<HostileHeader> {};

TEST_P(HostileHeaderTest, IsRefusedWithItsReasonBeforeAllocating) {
    const HostileHeader& header = GetParam();
    TempDir dir;
    const std::string path = dir / "hostile.Zep";
    Put(path, header.bytes);
    TestWorkspace t;
    Budget budget;
    EXPECT_FALSE(InitFileAdd(t.ws, path));
    EXPECT_LT(budget.grownBy(), 16 * kMiB);
    ASSERT_EQ(t.messages.shown.size(), 1u);
    EXPECT_EQ(t.messages.shown[0].text, "Wrong file format!");
    EXPECT_NE(t.messages.shown[0].detail.find(header.reason), std::string::npos)
        << t.messages.shown[0].detail;
    EXPECT_EQ(t.view.RowCount(), 0);
    EXPECT_EQ(t.ws.store.FileCount(), 0);
    EXPECT_EQ(t.ws.store.MaxNumber(), 0);
}

INSTANTIATE_TEST_SUITE_P(Headers, HostileHeaderTest, ::testing::ValuesIn(HostileHeaders()),
                         [](const auto& test) { return std::string(test.param.name); });

// 50 MB with no line end at all: the whole file is the header.
TEST(EnormousLine, FiftyMegabytesWithoutALineEndAreRefused) {
    SKIP_UNLESS_HEAVY_CASES_WANTED();
    TempDir dir;
    const std::size_t size = 50 * kMiB;
    struct Case {
        std::string bytes;
        const char* reason;
    };
    std::string spaced = "F  1 1 1 ";
    spaced.resize(size, ' ');
    for (std::size_t i = 10; i < size; i += 2) {
        spaced[i] = '7';
    }
    const Case cases[] = {{std::string(size, 'x'), "the header has 1 field"},
                          {std::move(spaced), "the file ends in row 1"}};
    for (const Case& c : cases) {
        const std::string path = dir / "line.Zep";
        Put(path, c.bytes);
        TestWorkspace t;
        Budget budget;
        EXPECT_FALSE(InitFileAdd(t.ws, path));
        EXPECT_LT(budget.seconds(), 10.0);
        EXPECT_LT(budget.grownBy(), 3 * size);
        ASSERT_EQ(t.messages.shown.size(), 1u);
        EXPECT_NE(t.messages.shown[0].detail.find(c.reason), std::string::npos)
            << t.messages.shown[0].detail;
        EXPECT_EQ(t.ws.store.FileCount(), 0);
    }
}

// Labels are whole lines of any length; a megabyte each comes back byte for byte.
TEST(HugeLabels, OneMegabyteLabelsReadAndWriteBackUnchanged) {
    TempDir dir;
    std::mt19937 random(7);
    std::vector<std::string> labels;
    for (int i = 0; i < 3; ++i) {
        std::string label(kMiB, ' ');
        for (char& ch : label) {
            // Any byte but LF, so no CR LF can form inside; a lone CR stays part of the label.
            ch = static_cast<char>(random() % 256);
            if (ch == '\n') {
                ch = '\r';
            }
        }
        labels.push_back(std::move(label));
    }
    std::string file = "BIG  3 3 3 \r\n    1    2    3\r\n    4    5    6\r\n    7    8    9\r\n";
    for (const std::string& label : labels) {
        file += label + "\r\n";
    }
    file += "  0.1  0.2  0.3";
    const std::string path = dir / "labels.Zep";
    Put(path, file);

    TestWorkspace t;
    ASSERT_TRUE(InitFileAdd(t.ws, path));
    for (std::int32_t i = 1; i <= 3; ++i) {
        ASSERT_TRUE(t.ws.store[1].Labels(i) == labels[std::size_t(i - 1)]) << i;
    }
    const std::string copy = dir / "copy.Zep";
    ASSERT_TRUE(WriteZEPFile(t.ws, copy, path, 1));
    EXPECT_TRUE(Contents(copy) == file);
}

// 100 MB of random bytes, then the same with a real key whose value is the junk itself.
TEST(JunkSettings, HundredMegabytesReadInBoundedTimeAndMemory) {
    SKIP_UNLESS_HEAVY_CASES_WANTED();
    TempDir dir;
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
    Put(store.IniName, junk);
    {
        Budget budget;
        EXPECT_EQ(store.ReadKeyEx("STR_OPT_TOLERANCE", "000.005"), "000.005");
        EXPECT_LT(budget.seconds(), 20.0);
        EXPECT_LT(budget.grownBy(), 3 * size);
    }
    // The same junk as one value: it is read whole, however long.
    for (char& ch : junk) {
        if (ch == '\r' || ch == '\n') {
            ch = ' ';
        }
    }
    Put(store.IniName, "[Setup]\r\nSTR_OPT_TOLERANCE=" + junk + "\r\n");
    Budget budget;
    EXPECT_TRUE(store.ReadKeyEx("STR_OPT_TOLERANCE", "000.005") == junk);
    EXPECT_LT(budget.seconds(), 20.0);
    EXPECT_LT(budget.grownBy(), 5 * size);
}

}  // namespace
}  // namespace zep
