#include "core/ZepWriter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ZepModel.h"
#include "core/ZepReader.h"

namespace zep {
namespace {

using test::CrLf;
using test::ExpectReadAs;
using test::ZepModel;

std::string Written(const ZepModel& model, const Options& options, std::int32_t maxNumber) {
    FileDataStore store;
    const clsZEPFileItem item = test::MakeItem(store, model);
    const FileData data = test::MakeRecord(model);
    StringSink sink;
    EXPECT_TRUE(WriteZep(sink, item, data, options, maxNumber));
    return sink.text;
}

// What the reader made of bytes, written again.
std::string Rewritten(const std::string& bytes, const Options& options) {
    ReadResult result = ParseZepFile(bytes, options.STR_OPT_TOLERANCE);
    EXPECT_TRUE(result.ok()) << DescribeReadError(result.error);
    if (!result.ok()) {
        return {};
    }
    FileDataStore store;
    clsZEPFileItem item(store);
    item.SetFormats(result.file->Formats);
    item.AdoptCounts(result.file->VarCount, result.file->StrCount, result.file->MidCount);
    StringSink sink;
    EXPECT_TRUE(WriteZep(sink, item, result.file->data, options, 0));
    return sink.text;
}

ZepModel Square(std::int32_t n, std::string value = "1") {
    ZepModel model{"ZEP", {}, {}, {}};
    model.rows.assign(std::size_t(n), std::vector<std::string>(std::size_t(n), value));
    for (std::int32_t i = 1; i <= n; ++i) {
        model.labels.push_back("L" + std::to_string(i));
        model.deviations.push_back("0.0" + std::to_string(i));
    }
    return model;
}

std::string Repeat(std::string_view piece, std::int32_t times) {
    std::string text;
    for (std::int32_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

TEST(ZepWriter, WorkedExampleIsWrittenByteForByteAndReadsBackTheSame) {
    const std::string expected =
        CrLf({"F  2 2 2 ", "    0.5   -0.25", "    1    0", "alpha", "beta", "  0.01  0.02"});
    const ZepModel model{"F", {{"0.5", "-0.25"}, {"1", "0"}}, {"alpha", "beta"}, {"0.01", "0.02"}};
    EXPECT_EQ(Written(model, Options{}, 2), expected);
    EXPECT_EQ(Rewritten(expected, Options{}), expected);
}

TEST(ZepWriter, RowsTakeSixValuesALineAndEndTheirLastLine) {
    const std::string value = "    1";
    const std::string row7 = Repeat(value, 6) + "\r\n" + value + "\r\n";
    const std::string row12 = Repeat(Repeat(value, 6) + "\r\n", 2);
    const std::string row25 = Repeat(Repeat(value, 6) + "\r\n", 4) + value + "\r\n";
    for (auto [n, row] : {std::pair{7, row7}, {12, row12}, {25, row25}}) {
        const std::string text = Written(Square(n), Options{}, n);
        const std::string header = "ZEP  " + Repeat(std::to_string(n) + " ", 3) + "\r\n";
        ASSERT_EQ(text.substr(0, header.size()), header);
        EXPECT_EQ(text.substr(header.size(), row.size() * std::size_t(n)), Repeat(row, n));
        EXPECT_EQ(text.substr(header.size() + row.size() * std::size_t(n), 4), "L1\r\n");
    }
}

TEST(ZepWriter, OnlyValuesWithoutAMinusGetTheFourthSpace) {
    for (auto [value, written] : {std::pair{"0.5", "    0.5"},
                                  {"-0.5", "   -0.5"},
                                  {"1.0E-03", "   1.0E-03"},
                                  {"abc-", "   abc-"},
                                  {"+7", "    +7"}}) {
        const std::string text = Written(Square(1, value), Options{}, 1);
        EXPECT_EQ(text, std::string("ZEP  1 1 1 \r\n") + written + "\r\nL1\r\n  0.01");
    }
}

TEST(ZepWriter, MinusSignIsFoundAtAnyPlaceInValuesOfAnyLength) {
    // Row r, value c: c + 1 digits, with a minus at place r when there is one.
    const std::int32_t n = 24;
    ZepModel model = Square(n);
    std::string rows;
    for (std::int32_t r = 1; r <= n; ++r) {
        for (std::int32_t c = 1; c <= n; ++c) {
            std::string value(std::size_t(c + 1), '7');
            if (r <= c + 1) {
                value[std::size_t(r - 1)] = '-';
            }
            model.rows[std::size_t(r - 1)][std::size_t(c - 1)] = value;
            rows += (r <= c + 1 ? "   " : "    ") + value + (c % 6 == 0 ? "\r\n" : "");
        }
    }
    const std::string header = "ZEP  24 24 24 \r\n";
    EXPECT_EQ(Written(model, Options{}, n).substr(0, header.size() + rows.size()), header + rows);
}

TEST(ZepWriter, DeviationLinesBreakAfterEveryKthValueOnly) {
    ZepModel model = Square(1);
    model.deviations.assign(25, "d");
    const std::string eleven = Repeat("  d", 11);
    const std::string head = "ZEP  1 1 25 \r\n    1\r\nL1\r\n";
    EXPECT_EQ(Written(model, Options{}, 1),
              head + eleven + "\r\n" + eleven + "\r\n" + Repeat("  d", 3));

    model.deviations.assign(22, "d");
    EXPECT_EQ(Written(model, Options{}, 1),
              "ZEP  1 1 22 \r\n    1\r\nL1\r\n" + eleven + "\r\n" + eleven + "\r\n");

    model.deviations.assign(3, "d");
    Options perLine;
    perLine.LNG_OPT_COUNT_PER_TOLERANCELINE = 1;
    EXPECT_EQ(Written(model, perLine, 1), "ZEP  1 1 3 \r\n    1\r\nL1\r\n  d\r\n  d\r\n  d\r\n");
}

TEST(ZepWriter, PerLineAmountBelowOneWritesElevenALine) {
    ZepModel model = Square(1);
    model.deviations.assign(12, "d");
    const std::string eleven = Written(model, Options{}, 1);
    for (std::int32_t bad : {0, -3}) {
        Options options;
        options.LNG_OPT_COUNT_PER_TOLERANCELINE = bad;
        EXPECT_EQ(Written(model, options, 1), eleven);
    }
}

TEST(ZepWriter, SmallerFileIsPaddedToMaxNumberWhenAsked) {
    const ZepModel model{"F",
                         {{"0.1", "-0.2", "0.3"}, {"0.4", "0.5", "0.6"}, {"-0.7", "0.8", "0.9"}},
                         {"a", " b", "c"},
                         {"0.01", "0.02", "0.03"}};
    const std::string pad = "    0.000000";
    const std::string expected = CrLf({
        "F  5 5 5 ",
        "    0.1   -0.2    0.3" + pad + pad,
        "    0.4    0.5    0.6" + pad + pad,
        "   -0.7    0.8    0.9" + pad + pad,
        Repeat(pad, 5),
        Repeat(pad, 5),
        "a",
        " b",
        "c",
        "    ",
        "    ",
        "  0.01  0.02  0.03  000.005  000.005",
    });
    EXPECT_EQ(Written(model, Options{}, 5), expected);

    Options noPad;
    noPad.BLN_OPT_ADJTOMAXCOUNT = false;
    EXPECT_EQ(Written(model, noPad, 5),
              CrLf({"F  3 3 3 ", "    0.1   -0.2    0.3", "    0.4    0.5    0.6",
                    "   -0.7    0.8    0.9", "a", " b", "c", "  0.01  0.02  0.03"}));

    // The padding reads back as ordinary values and rewrites to the same bytes.
    EXPECT_EQ(Rewritten(expected, Options{}), expected);
}

TEST(ZepWriter, FormIsChosenByVarCountAndNeverCutsLabels) {
    FileDataStore store;
    Options options;
    ZepModel model = Square(3);
    model.labels.resize(2);
    model.deviations.resize(2);
    // VarCount equal to MaxNumber: plain form, even with fewer labels.
    EXPECT_FALSE(ChooseLayout(test::MakeItem(store, model), options, 3).padded);
    EXPECT_EQ(Written(model, options, 3).substr(0, 13), "ZEP  3 2 2 \r\n");

    // More labels than MaxNumber: padding would drop labels 4 and 5, so the file keeps its
    // own counts.
    model = Square(2);
    model.labels = {"a", "b", "c", "d", "e"};
    EXPECT_FALSE(ChooseLayout(test::MakeItem(store, model), options, 4).padded);
    const std::string text = Written(model, options, 4);
    EXPECT_EQ(text.substr(0, 13), "ZEP  2 5 2 \r\n");
    EXPECT_NE(text.find("d\r\ne\r\n"), std::string::npos);
}

// A generator of coordinate files as people and other programs write them: irregular
// spacing, rows wrapped over several lines, labels of any bytes, with or without a deviation
// block. Each file comes with what it holds.
class FileGenerator {
public:
    explicit FileGenerator(std::uint32_t seed) : random_(seed) {}

    struct Sample {
        std::string bytes;
        ZepModel model;
    };

    Sample Next(std::string_view tolerance) {
        Sample sample;
        ZepModel& model = sample.model;
        model.formats = Token("ZEPMORVEL_.0123");
        const std::int32_t v = Between(1, 14);
        const std::int32_t s = Chance(4) ? Between(1, 14) : v;
        const std::int32_t m = Chance(4) ? Between(1, 14) : v;
        std::string& out = sample.bytes;
        out = model.formats + " " + (Chance(2) ? "" : Token("xyz")) + " " + std::to_string(v) +
              " " + std::to_string(s) + " " + std::to_string(m) + (Chance(2) ? " " : " extra ");
        for (std::int32_t r = 0; r < v; ++r) {
            model.rows.emplace_back();
            for (std::int32_t c = 0; c < v; ++c) {
                model.rows.back().push_back(Value());
            }
            PutValuesOnLines(out, model.rows.back(), 3);
        }
        for (std::int32_t i = 0; i < s; ++i) {
            model.labels.push_back(Label());
            out += "\r\n" + model.labels.back();
        }
        PutDeviationBlock(out, model, m, tolerance);
        return sample;
    }

private:
    std::int32_t Between(std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random_);
    }
    bool Chance(std::int32_t oneIn) { return Between(1, oneIn) == 1; }
    std::string Spaces(std::int32_t low, std::int32_t high) {
        return std::string(std::size_t(Between(low, high)), ' ');
    }

    std::string Token(std::string_view alphabet) {
        std::string token;
        for (std::int32_t i = Between(1, 9); i > 0; --i) {
            token += alphabet[std::size_t(Between(0, std::int32_t(alphabet.size()) - 1))];
        }
        return token;
    }

    // A value: mostly number-like, now and then with a lone CR or LF anywhere in it (a CR LF
    // pair would end the line) and of any length.
    std::string Value() {
        std::string value = Chance(5) ? Token("0.12-\r\n") : Token("0123456789.-+E");
        while (Chance(8)) {
            value += Token("0123456789-");
        }
        for (std::size_t at = value.find("\r\n"); at != std::string::npos;
             at = value.find("\r\n")) {
            value[at + 1] = '9';
        }
        return value;
    }

    // Blank labels of several widths, or any bytes but a CR LF pair: non-ASCII, tabs, a lone
    // LF at the start or a lone CR at the end.
    std::string Label() {
        switch (Between(1, 6)) {
            case 1:
                return Spaces(0, 4);
            case 2:
                return "\n" + Token("ab \xc4\xe9");
            case 3:
                return Token("cd\t \xff") + "\r";
            default: {
                std::string label = Spaces(0, 2);
                for (std::int32_t i = Between(1, 12); i > 0; --i) {
                    label += static_cast<char>(Between(32, 255));
                }
                return label;
            }
        }
    }

    // The values of one row (or block) over 1..maxLines lines, any spacing, every value on a
    // line of the row; blank lines may stand between when allowed.
    void PutValuesOnLines(std::string& out, const std::vector<std::string>& values,
                          std::int32_t maxLines) {
        std::size_t next = 0;
        for (std::int32_t line = Between(1, maxLines); line > 0 && next < values.size(); --line) {
            out += "\r\n" + Spaces(0, 3);
            const std::size_t take =
                line == 1 ? values.size() - next
                          : std::size_t(Between(1, std::int32_t(values.size() - next)));
            for (std::size_t i = 0; i < take; ++i, ++next) {
                out += (i == 0 ? "" : Spaces(1, 4)) + values[next];
            }
            out += Spaces(0, 2);
        }
    }

    void PutDeviationBlock(std::string& out, ZepModel& model, std::int32_t m,
                           std::string_view tolerance) {
        const std::int32_t shape = Between(1, 5);
        if (shape <= 2) {
            for (std::int32_t i = 0; i < m; ++i) {
                model.deviations.push_back(Value());
            }
            std::vector<std::string> shown = model.deviations;
            for (std::int32_t extra = Between(0, 2); extra > 0; --extra) {
                shown.push_back(Token("9"));  // past the last needed value: not read
            }
            PutValuesOnLines(out, shown, 3);
            if (shape == 2) {
                out += "\r\n";
            }
            return;
        }
        model.deviations.assign(std::size_t(m), std::string(tolerance));
        if (shape == 3) {
            out += "\r\n";  // an empty last line
        } else if (shape == 4) {
            out += "\r\n" + Spaces(0, 3) + "\r\n  0.5  0.6";  // blank line where it would be
        }  // shape 5: the file ends with the last label
    }

    std::mt19937 random_;
};

TEST(ZepWriter, GeneratedFilesRoundTripThroughWriterAndReader) {
    FileGenerator generator(20260506);
    for (int round = 0; round < 400; ++round) {
        Options options;
        options.STR_OPT_TOLERANCE = round % 2 == 0 ? "000.005" : "0.1";
        options.LNG_OPT_COUNT_PER_TOLERANCELINE = 1 + round % 13;
        const FileGenerator::Sample sample = generator.Next(options.STR_OPT_TOLERANCE);
        SCOPED_TRACE("round " + std::to_string(round) + ":\n" + sample.bytes);

        ExpectReadAs(ParseZepFile(sample.bytes, options.STR_OPT_TOLERANCE), sample.model);
        const std::string written = Written(sample.model, options, 0);
        ExpectReadAs(ParseZepFile(written, options.STR_OPT_TOLERANCE), sample.model);
        ASSERT_EQ(Rewritten(written, options), written);
        if (HasFatalFailure()) {
            return;
        }
    }
}

}  // namespace
}  // namespace zep
