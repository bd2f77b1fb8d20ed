// Read, write, read again: the same model and the same bytes, for files as people and programs
// write them, the fuzzers' seeds and every input a fuzzer once failed on (tests/data/fuzz).

#include <random>

#include "TestWorkspace.h"
#include "checks/IniRoundTrip.h"
#include "checks/ZepRoundTrip.h"
#include "core/ZepReader.h"

namespace zep {
namespace {

// One text per value, its length first, so that any bytes compare exactly.
std::string Piece(std::string_view text) {
    return std::to_string(text.size()) + ":" + std::string(text) + " ";
}

std::string Describe(const ZepFileContents& file) {
    std::string held = Piece(file.Formats) + std::to_string(file.VarCount) + " " +
                       std::to_string(file.StrCount) + " " + std::to_string(file.MidCount) + " ";
    for (std::int32_t r = 1; r <= file.data.VarCount(); ++r) {
        for (std::int32_t c = 1; c <= file.data.VarCount(); ++c) {
            held += Piece(file.data.Coordinates(r, c));
        }
    }
    for (std::int32_t i = 1; i <= file.data.LabelCount(); ++i) {
        held += Piece(file.data.Labels(i));
    }
    for (std::int32_t i = 1; i <= file.data.DeviationCount(); ++i) {
        held += Piece(file.data.Deviations(i));
    }
    return held;
}

// Files with irregular spacing, rows wrapped over several lines, labels of any bytes but a CR LF
// pair, with or without a deviation block; each with what it holds, as Describe gives it.
class FileGenerator {
public:
    std::pair<std::string, std::string> Next() {
        const std::string formats = Token("ZEPMORVEL_.0123");
        const int v = Between(1, 14);
        const int s = Chance(4) ? Between(1, 14) : v;
        const int m = Chance(4) ? Between(1, 14) : v;
        const std::string counts =
            std::to_string(v) + " " + std::to_string(s) + " " + std::to_string(m) + " ";
        std::string bytes = formats + " " + (Chance(2) ? "" : Token("xyz")) + " " + counts;
        bytes += Chance(2) ? "" : Token("extra");
        std::string held = Piece(formats) + counts;
        for (int r = 0; r < v; ++r) {
            std::vector<std::string> row(static_cast<std::size_t>(v));
            for (std::string& value : row) {
                value = Value();
                held += Piece(value);
            }
            PutOnLines(bytes, row);
        }
        for (int i = 0; i < s; ++i) {
            const std::string label = Chance(5) ? Spaces(4) : Spaces(2) + Token(kLabelBytes);
            bytes += "\r\n" + label;
            held += Piece(label);
        }
        const int shape = Between(1, 5);
        std::vector<std::string> deviations(static_cast<std::size_t>(m), "000.005");
        for (std::string& deviation : deviations) {
            deviation = shape <= 2 ? Value() : deviation;
            held += Piece(deviation);
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

    // Up to 20 bytes of the alphabet, never a CR LF pair.
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

    // Mostly number-like, now and then with a lone CR or LF.
    std::string Value() { return Chance(5) ? Token("0.12-\r\n") : Token("0123456789.-+E"); }

    // The first value on a new line, each other one on the same line or the next, spaced at random.
    void PutOnLines(std::string& out, const std::vector<std::string>& values) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            out += i == 0 ? "\r\n" : (Chance(6) ? Spaces(2) + "\r\n" : " ");
            out += Spaces(3) + values[i];
        }
    }

    std::mt19937 random_{20260506};
};

TEST(ZepRoundTrip, GeneratedFilesReadAsWrittenAndRoundTrip) {
    // A label longer than the writer's chunk of a megabyte, with a lone CR inside.
    const std::string label = std::string(3 << 19, 'x') + "\r" + std::string(9, 'y');
    EXPECT_EQ(checks::CheckZepRoundTrip("F  1 2 1 \r\n1\r\n" + label + "\r\nz\r\n0.1"), "");
    FileGenerator generator;
    for (int round = 0; round < 400; ++round) {
        const auto [bytes, held] = generator.Next();
        SCOPED_TRACE("round " + std::to_string(round) + ":\n" + bytes);
        const ReadResult read = ParseZepFile(bytes, "000.005");
        ASSERT_TRUE(read.ok()) << DescribeReadError(read.error);
        ASSERT_EQ(Describe(*read.file), held);
        ASSERT_EQ(checks::CheckZepRoundTrip(bytes), "");
    }
}

// Every input a fuzzer once failed on, and the seeds: coordinate files are read, written and read
// again unchanged; a settings file keeps its lines when a key is written.
TEST(FuzzReplayTest, InputsOfTheFuzzersRoundTrip) {
    const std::pair<const char*, bool> folders[] = {{ZEP_EXAMPLES_DIR, true},
                                                    {ZEP_TEST_DATA_DIR "/bad", true},
                                                    {ZEP_TEST_DATA_DIR "/fuzz/zep", true},
                                                    {ZEP_TEST_DATA_DIR "/settings", false},
                                                    {ZEP_TEST_DATA_DIR "/fuzz/ini", false}};
    test::TempDir dir;
    for (const auto& [folder, coordinates] : folders) {
        std::error_code missing;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, missing)) {
            const std::string bytes = test::Contents(entry.path().string());
            EXPECT_EQ(coordinates ? checks::CheckZepRoundTrip(bytes)
                                  : checks::CheckIniRoundTrip(bytes, dir.path()),
                      "")
                << entry.path();
        }
    }
}

}  // namespace
}  // namespace zep
