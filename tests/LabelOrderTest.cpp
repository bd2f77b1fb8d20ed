// Compare, and the Sort By ASCII it starts with, against the long way the user documentation
// describes: neighbour exchanges pass after pass, and every label pair of every two files.

#include <map>
#include <random>

#include "TestWorkspace.h"
#include "compare/Coverage.h"
#include "compare/LabelSort.h"
#include "compare/ModuleCompare.h"

namespace zep {
namespace {

bool IsBlank(std::string_view label) {
    return label.find_first_not_of(' ') == std::string_view::npos;
}

// Character by character by code; when one is the leading part of the other, the shorter first.
bool ComesAfter(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(),
                                        [](unsigned char x, unsigned char y) { return x < y; });
}

template <typename LaterFirst>
void ExchangeNeighbours(FileData& record, LaterFirst laterFirst) {
    for (std::int32_t pass = 1; pass <= record.LabelCount(); ++pass) {
        for (std::int32_t j = 1; j + pass <= record.LabelCount(); ++j) {
            if (laterFirst(j, j + 1)) {
                record.SwapLabelRows(j, j + 1);
            }
        }
    }
}

void SortTheLongWay(FileData& record, bool spaceToLast) {
    ExchangeNeighbours(record, [&](std::int32_t here, std::int32_t next) {
        const bool blankHere = IsBlank(record.Labels(here));
        const bool blankNext = IsBlank(record.Labels(next));
        if (spaceToLast && (blankHere || blankNext)) {
            return blankHere && !blankNext;
        }
        return ComesAfter(record.Labels(here), record.Labels(next));
    });
}

void CompareTheLongWay(FileDataStore& store, bool sortAscii, bool spaceToLast) {
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        for (std::int32_t j = 1; j <= store[f].LabelCount(); ++j) {
            store[f].SetMatchCount(j, 1);
        }
    }
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        for (std::int32_t k = f + 1; k <= store.FileCount(); ++k) {
            for (std::int32_t i = 1; i <= store[f].LabelCount(); ++i) {
                for (std::int32_t j = 1; j <= store[k].LabelCount(); ++j) {
                    if (!IsBlank(store[f].Labels(i)) && store[f].Labels(i) == store[k].Labels(j)) {
                        store[f].SetMatchCount(i, store[f].MatchCounts(i) + 1);
                        store[k].SetMatchCount(j, store[k].MatchCounts(j) + 1);
                    }
                }
            }
        }
    }
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        FileData& record = store[f];
        if (sortAscii) {
            SortTheLongWay(record, spaceToLast);
        }
        ExchangeNeighbours(record, [&](std::int32_t here, std::int32_t next) {
            return record.MatchCounts(here) < record.MatchCounts(next);
        });
    }
}

// Blanks of several widths, case and trailing-space twins, leading parts, tabs, bytes above 127.
std::string RandomLabel(std::mt19937& rng) {
    static const std::vector<std::string> tricky = {
        "",    " ", "  ", "    ", "A", "a",        "A ",   "a ",   " A",   "AB",    "B",    "\t",
        " \t", "0", "9",  "Z",    "z", "\xC3\xA9", "\xE9", "\xFF", "\x80", "A\xE9", "\x7F", "Ab"};
    static const std::string alphabet = " AaBb\t0\xE9\x80";
    if (rng() % 10 < 4) {
        return tricky[rng() % tricky.size()];
    }
    std::string label(rng() % 4, ' ');
    for (char& ch : label) {
        ch = alphabet[rng() % alphabet.size()];
    }
    return label;
}

// A record whose cells tell where they came from, with match counts at random; rows and
// deviations may outnumber the labels, or fall short of them.
void AddRecord(FileDataStore& store, const std::vector<std::string>& labels, int moreRows,
               int moreDeviations, std::mt19937& rng) {
    FileData& record = store[store.AddFileData()];
    const auto n = static_cast<std::int32_t>(labels.size());
    record.SizeCoordinates(n + moreRows);
    record.SizeLabels(n);
    record.SizeDeviations(n + moreDeviations);
    for (std::int32_t r = 1; r <= record.VarCount(); ++r) {
        for (std::int32_t c = 1; c <= record.VarCount(); ++c) {
            record.SetCoordinate(r, c, "r" + std::to_string(r) + "c" + std::to_string(c));
        }
    }
    for (std::int32_t i = 1; i <= n; ++i) {
        record.SetLabel(i, labels[static_cast<std::size_t>(i - 1)]);
        record.SetMatchCount(i, static_cast<std::int32_t>(rng() % 5));
    }
    for (std::int32_t i = 1; i <= record.DeviationCount(); ++i) {
        record.SetDeviation(i, "d" + std::to_string(i));
    }
}

// What each position of a record holds: label, match count, deviation, coordinate row.
std::vector<std::string> Positions(const FileData& record) {
    std::vector<std::string> positions;
    const std::int32_t n =
        std::max({record.VarCount(), record.LabelCount(), record.DeviationCount()});
    for (std::int32_t p = 1; p <= n; ++p) {
        std::string text = "-";
        if (p <= record.LabelCount()) {
            text = std::string(record.Labels(p)) + "|" + std::to_string(record.MatchCounts(p));
        }
        text += "|" + std::string(p <= record.DeviationCount() ? record.Deviations(p) : "-");
        for (std::int32_t c = 1; p <= record.VarCount() && c <= record.VarCount(); ++c) {
            text += "|" + std::string(record.Coordinates(p, c));
        }
        positions.push_back(text);
    }
    return positions;
}

TEST(LabelOrder, CompareArrangesFilesAsTheLongWayDoes) {
    std::mt19937 rng(20261206);
    for (int run = 0; run < 2000 && !testing::Test::HasFailure(); ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        test::TestWorkspace t;
        t.ws.options.BLN_OPT_SORTASCII = run % 2 == 0;
        t.ws.options.BLN_OPT_SORT_SPACE_TO_LAST = run % 4 < 2;
        std::vector<std::string> vocabulary(1 + rng() % 12);
        for (std::string& label : vocabulary) {
            label = RandomLabel(rng);
        }
        bool allMovable = true;
        for (std::size_t f = 1 + rng() % 6; f > 0; --f) {
            std::vector<std::string> labels(1 + rng() % 25);
            for (std::string& label : labels) {
                label = rng() % 10 == 0 ? RandomLabel(rng) : vocabulary[rng() % vocabulary.size()];
            }
            // Mostly square; now and then wider, or with too few rows or deviations.
            const int shape = static_cast<int>(rng() % 40);
            const int moreRows = shape < 4 ? shape : (shape == 39 ? -1 : 0);
            const int moreDeviations = shape < 4 ? 3 - shape : (shape == 38 ? -1 : 0);
            AddRecord(t.ws.store, labels, moreRows, moreDeviations, rng);
            allMovable = allMovable && shape < 38;
        }
        FileDataStore longWay = t.ws.store;
        if (allMovable) {
            CompareTheLongWay(longWay, t.ws.options.BLN_OPT_SORTASCII,
                              t.ws.options.BLN_OPT_SORT_SPACE_TO_LAST);
        }
        ASSERT_EQ(CompareFiles(t.ws), allMovable);
        for (std::int32_t f = 1; f <= longWay.FileCount(); ++f) {
            ASSERT_EQ(Positions(t.ws.store[f]), Positions(longWay[f])) << "file " << f;
        }
        const std::string message = t.messages.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), allMovable ? 0 : 1);
        EXPECT_EQ(message.find("Wrong file format! -- file "), allMovable ? std::string::npos : 0);
    }
}

// The table the window shows is the report's table with the blank labels after it: every
// distinct blank label one row, holding each of its positions in each file.
TEST(Coverage, BlankLabelsFollowTheReportsRows) {
    std::mt19937 rng(7);
    for (int run = 0; run < 300 && !testing::Test::HasFailure(); ++run) {
        test::TestWorkspace t;
        for (std::size_t f = 1 + rng() % 5; f > 0; --f) {
            std::vector<std::string> labels(1 + rng() % 12);
            std::generate(labels.begin(), labels.end(), [&rng] { return RandomLabel(rng); });
            AddRecord(t.ws.store, labels, 0, 0, rng);
        }
        const Coverage report = CoverageOf(t.ws);
        const Coverage shown = CoverageOf(t.ws, true);
        ASSERT_GE(shown.rows.size(), report.rows.size());
        std::map<std::string, std::vector<std::string>> blanks;
        for (std::size_t r = 0; r < shown.rows.size(); ++r) {
            const CoverageRow& row = shown.rows[r];
            ASSERT_EQ(row.blank, r >= report.rows.size());
            if (!row.blank) {
                EXPECT_EQ(row.label, report.rows[r].label);
                EXPECT_EQ(row.positions, report.rows[r].positions);
                continue;
            }
            EXPECT_TRUE(IsBlank(row.label));
            EXPECT_EQ(row.files,
                      std::count_if(row.positions.begin(), row.positions.end(),
                                    [](const std::string& cell) { return !cell.empty(); }));
            EXPECT_TRUE(blanks.emplace(row.label, row.positions).second) << "two rows of one label";
        }
        for (std::int32_t f = 1; f <= t.ws.store.FileCount(); ++f) {
            std::map<std::string, std::string> expected;
            for (std::int32_t j = 1; j <= t.ws.store[f].LabelCount(); ++j) {
                const std::string label(t.ws.store[f].Labels(j));
                if (IsBlank(label)) {
                    std::string& cell = expected[label];
                    cell += (cell.empty() ? "" : " ") + std::to_string(j);
                }
            }
            for (const auto& [label, positions] : blanks) {
                const std::string cell = expected.count(label) != 0 ? expected[label] : "";
                EXPECT_EQ(positions[static_cast<std::size_t>(f - 1)], cell) << "file " << f;
                expected.erase(label);
            }
            EXPECT_TRUE(expected.empty()) << "a blank label of file " << f << " has no row";
        }
        EXPECT_EQ(CoverageCsv(shown), CoverageCsv(report));
    }
}

TEST(SwapLabelRows, ExchangesTwoWholeRowsOfAFileThatAllowsIt) {
    std::mt19937 rng(1);
    FileDataStore store;
    AddRecord(store, {"a", "b", "c"}, 1, 1, rng);
    AddRecord(store, {"a", "b", "c"}, -1, 0, rng);
    std::vector<std::string> expected = Positions(store[1]);
    std::swap(expected[0], expected[2]);
    ASSERT_TRUE(SwapLabelRows(store, 3, 1, 1));
    const std::int32_t refused[][3] = {{0, 1, 1}, {1, 4, 1}, {1, 2, 3}, {1, 2, 2}};
    for (const auto& [a, b, index] : refused) {
        EXPECT_FALSE(SwapLabelRows(store, a, b, index));
    }
    EXPECT_EQ(Positions(store[1]), expected);
}

}  // namespace
}  // namespace zep
