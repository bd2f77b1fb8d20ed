// Read, write, read again: same model and bytes; Compare, its undo and the SSE2 scan match the
// long way.

#include <random>
#include <tuple>

#include "TestWorkspace.h"
#include "checks/IniRoundTrip.h"
#include "checks/ReorderCheck.h"
#include "checks/ZepRoundTrip.h"
#include "compare/LabelSort.h"
#include "core/ZepReader.h"
#include "core/ZepScan.h"

namespace zep {
namespace {

// Random files: odd spacing, wrapped rows, labels of any bytes but CR LF, often shared labels.
class FileGenerator {
public:
    std::pair<std::string, std::string> Next(const std::vector<std::string>& shared = {}) {
        const std::string formats = Token("ZEPMORVEL_.0123");
        const int v = Between(1, 14);
        const bool movable = !shared.empty() && !Chance(30);
        const int s = movable ? Between(1, v) : Chance(4) ? Between(1, 14) : v;
        const int m = movable ? Between(s, 14) : Chance(4) ? Between(1, 14) : v;
        const std::string counts =
            std::to_string(v) + " " + std::to_string(s) + " " + std::to_string(m) + " ";
        std::string bytes = formats + " " + (Chance(2) ? "" : Token("xyz")) + " " + counts;
        bytes += Chance(2) ? "" : Token("extra");
        std::string held = checks::Piece(formats) + counts;
        for (int r = 0; r < v; ++r) {
            std::vector<std::string> row(static_cast<std::size_t>(v));
            for (std::string& value : row) {
                value = Value();
                held += checks::Piece(value);
            }
            PutOnLines(bytes, row);
        }
        for (int i = 0; i < s; ++i) {
            const std::string label = !shared.empty() && !Chance(10)
                                          ? shared[std::size_t(Between(0, int(shared.size()) - 1))]
                                      : Chance(5) ? Spaces(4)
                                                  : Spaces(2) + Token(kLabelBytes);
            bytes += "\r\n" + label;
            held += checks::Piece(label);
        }
        const int shape = Between(1, 5);
        std::vector<std::string> deviations(static_cast<std::size_t>(m), "000.005");
        for (std::string& deviation : deviations) {
            deviation = shape <= 2 ? Value() : deviation;
            held += checks::Piece(deviation);
        }
        if (shape <= 2) {
            deviations.push_back(Token("9"));  // past the last value needed: not read
            PutOnLines(bytes, deviations);
        }
        // Then a line break, an empty line, a blank line where the block would be, or the end.
        bytes += shape == 2 || shape == 3 ? "\r\n" : shape == 4 ? "\r\n   \r\n  0.5  0.6" : "";
        return {bytes, held};
    }

private:
    static constexpr std::string_view kLabelBytes = "ab \t\xc4\xe9\xff\r\n=[.-";

    int Between(int low, int high) { return std::uniform_int_distribution(low, high)(random_); }
    bool Chance(int oneIn) { return Between(1, oneIn) == 1; }
    std::string Spaces(int most) { return std::string(std::size_t(Between(0, most)), ' '); }

    std::string Token(std::string_view alphabet) {
        std::string token;
        for (int i = Between(1, 20); i > 0; --i) {
            token += alphabet[std::size_t(Between(0, int(alphabet.size()) - 1))];
            if (token.ends_with("\r\n")) {
                token.back() = '9';
            }
        }
        return token;
    }

    std::string Value() { return Chance(5) ? Token("0.12-\r\n") : Token("0123456789.-+E"); }

    void PutOnLines(std::string& out, const std::vector<std::string>& values) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            out += i == 0 ? "\r\n" : (Chance(6) ? Spaces(2) + "\r\n" : " ");
            out += Spaces(3) + values[i];
        }
    }

    std::mt19937 random_{20260506};
};

// Shared labels of every tricky kind: blanks, case and trailing-space twins, prefixes, tabs, >127.
std::vector<std::string> SharedLabels(std::mt19937& rng) {
    static const std::vector<std::string> tricky = {
        "",    " ", "  ", "    ", "A", "a",        "A ",   "a ",   " A",   "AB",    "B",    "\t",
        " \t", "0", "9",  "Z",    "z", "\xC3\xA9", "\xE9", "\xFF", "\x80", "A\xE9", "\x7F", "Ab"};
    std::vector<std::string> shared(1 + rng() % 12);
    for (std::string& label : shared) {
        label = tricky[rng() % tricky.size()];
    }
    return shared;
}

// Generated files read as written and round-trip; lists of them, often sharing labels, are
// arranged by Compare as the long way does.
TEST(ZepRoundTrip, GeneratedFilesRoundTripAndCompareArrangesThemAsTheLongWayDoes) {
    // A label longer than the writer's chunk of a megabyte, with a lone CR inside.
    const std::string label = std::string(3 << 19, 'x') + "\r" + std::string(9, 'y');
    EXPECT_EQ(checks::CheckZepRoundTrip("F  1 2 1 \r\n1\r\n" + label + "\r\nz\r\n0.1"), "");
    std::mt19937 rng(20261206);
    FileGenerator generator;
    for (int round = 0; round < 1500; ++round) {
        const std::vector<std::string> shared =
            round % 3 == 0 ? std::vector<std::string>() : SharedLabels(rng);
        std::string list;
        for (std::size_t f = 1 + rng() % 6; f > 0; --f) {
            const auto [bytes, held] = generator.Next(shared);
            SCOPED_TRACE("round " + std::to_string(round) + ":\n" + bytes);
            const ReadResult read = ParseZepFile(bytes, "000.005");
            ASSERT_TRUE(read.ok()) << DescribeReadError(read.error);
            ASSERT_EQ(checks::Describe(*read.file), held);
            ASSERT_EQ(checks::CheckZepRoundTrip(bytes), "");
            list += (list.empty() ? "" : "\f") + bytes;
        }
        ASSERT_EQ(checks::CheckReorder(list), "") << "round " << round << ":\n" << list;
    }
}

// Inputs a fuzzer failed on, and the seeds: coordinate and settings files round-trip.
TEST(FuzzReplayTest, InputsOfTheFuzzersRoundTrip) {
    const std::pair<const char*, bool> folders[] = {{ZEP_EXAMPLES_DIR, true},
                                                    {ZEP_TEST_DATA_DIR "/bad", true},
                                                    {ZEP_TEST_DATA_DIR "/fuzz/zep", true},
                                                    {ZEP_TEST_DATA_DIR "/settings", false},
                                                    {ZEP_TEST_DATA_DIR "/fuzz/ini", false}};
    test::TempDir dir;
    for (const auto& [folder, coordinates] : folders) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
            const std::string bytes = test::Contents(entry.path().string());
            EXPECT_EQ(coordinates ? checks::CheckZepRoundTrip(bytes)
                                  : checks::CheckIniRoundTrip(bytes, dir.path()),
                      "")
                << entry.path();
        }
    }
}

TEST(SwapLabelRows, ExchangesTwoWholeRowsOfAFileThatAllowsIt) {
    const auto read = [](const char* text) { return *ParseZepFile(text, "0").file; };
    FileDataStore store;
    ZepFileContents file =
        read("F  3 3 4 \r\n 1 2 3\r\n 4 5 6\r\n 7 8 9\r\na\r\nb\r\nc\r\n 1 2 3 4");
    store[store.AddFileData()] = file.data;
    store[store.AddFileData()] = read("F  2 3 2 \r\n 1 2\r\n 3 4\r\na\r\nb\r\nc\r\n 1 2").data;
    store[1].SetMatchCount(3, 5);
    ASSERT_TRUE(SwapLabelRows(store, 3, 1, 1));
    const std::int32_t refused[][3] = {{0, 1, 1}, {1, 4, 1}, {1, 2, 3}, {1, 2, 2}};
    for (const auto& [a, b, index] : refused) {
        EXPECT_FALSE(SwapLabelRows(store, a, b, index));
    }
    EXPECT_EQ(store[1].MatchCounts(1), 5);
    file.data = store[1];
    EXPECT_EQ(checks::Describe(file),
              checks::Describe(
                  read("F  3 3 4 \r\n 7 8 9\r\n 4 5 6\r\n 1 2 3\r\nc\r\nb\r\na\r\n 3 2 1 4")));
}

// Written: the line is its fields, behind three spaces when led by their only minus, else four.
ScannedLine ByHand(std::string_view text, std::size_t begin) {
    const std::size_t end = std::min(text.find("\r\n", begin), text.size());
    ScannedLine line{begin, end, std::min(end + 2, text.size()), 0, false, end == text.size()};
    std::string laid;
    for (std::size_t start = begin; start <= end;) {
        const std::size_t stop = std::min(text.find(' ', start), end);
        const std::string_view field = text.substr(start, stop - start);
        if (!field.empty()) {
            ++line.values;
            laid += field.find('-') == field.npos ? "    " : field.rfind('-') == 0 ? "   " : "?";
            laid += field;
        }
        start = stop + 1;
    }
    line.written = laid == text.substr(begin, end - begin);
    return line;
}

TEST(ZepScanPaths, BothFindWhatCuttingByHandFinds) {
    std::mt19937 rng(20240601);
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % 300, ' ');
        for (char& ch : text) {
            ch = "   \r\n-1a"[rng() % 8];
        }
        for (const ScanPath path : {ScanPath::Portable, FastestScanPath()}) {
            LineScanner scanner(text, 0, path);
            ScannedLine got;
            for (std::size_t begin = 0; !got.last; begin = got.next) {
                const ScannedLine want = ByHand(text, begin);
                ASSERT_TRUE(scanner.Next(got));
                EXPECT_EQ(std::tie(got.end, got.next, got.values, got.written, got.last),
                          std::tie(want.end, want.next, want.values, want.written, want.last))
                    << testing::PrintToString(text.substr(begin));
            }
            EXPECT_FALSE(scanner.Next(got));
        }
    }
}

}  // namespace
}  // namespace zep
