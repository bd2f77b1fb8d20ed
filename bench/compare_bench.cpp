// Times the label sort and the compare in memory, next to the same work done the long way
// (neighbour exchanges pass after pass, every label pair of every file pair compared).
//
//   compare_bench [repetitions]

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "compare/LabelSort.h"
#include "compare/ModuleCompare.h"
#include "core/Workspace.h"

namespace {

using zep::FileData;
using zep::FileDataStore;

class NoList : public zep::FileListView {
public:
    std::int32_t AppendRow(std::string_view, std::string_view) override { return 0; }
    std::int32_t RowCount() const override { return 0; }
    std::string RowKey(std::int32_t) const override { return {}; }
    std::string RowText(std::int32_t) const override { return {}; }
    void SetRowText(std::int32_t, std::string_view) override {}
    std::int32_t RowTag(std::int32_t) const override { return 0; }
    void SetRowTag(std::int32_t, std::int32_t) override {}
    void SetRowFullPath(std::int32_t, std::string_view) override {}
    void SelectRow(std::int32_t) override {}
    void RemoveRow(std::int32_t) override {}
    void SetStatusText(std::string_view) override {}
};

class CountedMessages : public zep::MessageSink {
public:
    int shown = 0;
    void ShowMessage(std::string_view, zep::MessageIcon, std::string_view) override { ++shown; }
    bool AskYesNo(std::string_view, std::string_view) override {
        ++shown;
        return false;
    }
};

// Station-like names: a letter prefix and a number, as survey files name their points.
std::vector<std::string> Vocabulary(std::size_t size, std::mt19937& rng) {
    static const char* prefixes[] = {"STA", "PT", "BM", "CP", "TRIG", "Sta", "pt"};
    std::uniform_int_distribution<std::size_t> prefix(0, std::size(prefixes) - 1);
    std::vector<std::string> words;
    while (words.size() < size) {
        std::string word = prefixes[prefix(rng)] + std::to_string(rng() % 100000);
        if (std::find(words.begin(), words.end(), word) == words.end()) {
            words.push_back(std::move(word));
        }
    }
    return words;
}

// A square file with the given labels; the coordinates stay empty, which keeps a 3000 by 3000
// block cheap to build without changing what a row exchange costs.
void AddFile(zep::Workspace& ws, const std::vector<std::string>& labels) {
    const auto n = static_cast<std::int32_t>(labels.size());
    FileData& record = ws.store[ws.store.AddFileData()];
    record.SizeCoordinates(n);
    record.SizeLabels(n);
    record.SizeDeviations(n);
    for (std::int32_t r = 1; r <= n; ++r) {
        record.SetLabel(r, labels[static_cast<std::size_t>(r - 1)]);
        record.SetDeviation(r, "000.005");
    }
}

// Puts the labels of every file into a fresh random order, so each timed run starts unsorted.
void Shuffle(FileDataStore& store, std::mt19937& rng) {
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        for (std::int32_t i = store[f].LabelCount(); i > 1; --i) {
            zep::SwapLabelRows(store, i, std::uniform_int_distribution<std::int32_t>(1, i)(rng), f);
        }
    }
}

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    return took.count();
}

struct Figures {
    double best = 0;
    double median = 0;
};

Figures Repeat(int repetitions, const std::function<void()>& prepare,
               const std::function<void()>& work) {
    std::vector<double> times;
    for (int i = 0; i < repetitions; ++i) {
        prepare();
        times.push_back(Milliseconds(work));
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

// The long way, as the window's original loops do it.
bool Blank(std::string_view label) {
    return label.find_first_not_of(' ') == std::string_view::npos;
}

void BubbleByAscii(FileDataStore& store, std::int32_t f, bool spaceToLast) {
    const std::int32_t n = store[f].LabelCount();
    for (std::int32_t p = 1; p <= n; ++p) {
        for (std::int32_t j = 1; j <= n - p; ++j) {
            const std::string_view here = store[f].Labels(j);
            const std::string_view next = store[f].Labels(j + 1);
            const bool later = spaceToLast ? (Blank(here) && !Blank(next)) ||
                                                 (!Blank(here) && !Blank(next) && here > next)
                                           : here > next;
            if (later) {
                zep::SwapLabelRows(store, j, j + 1, f);
            }
        }
    }
}

void BubbleByCount(FileDataStore& store, std::int32_t f) {
    const std::int32_t n = store[f].LabelCount();
    for (std::int32_t p = 1; p <= n; ++p) {
        for (std::int32_t j = 1; j <= n - p; ++j) {
            if (store[f].MatchCounts(j) < store[f].MatchCounts(j + 1)) {
                zep::SwapLabelRows(store, j, j + 1, f);
            }
        }
    }
}

void PairwiseCount(FileDataStore& store) {
    for (std::int32_t i = 1; i <= store.FileCount(); ++i) {
        for (std::int32_t k = i + 1; k <= store.FileCount(); ++k) {
            FileData& a = store[i];
            FileData& b = store[k];
            for (std::int32_t j = 1; j <= a.LabelCount(); ++j) {
                if (Blank(a.Labels(j))) {
                    continue;
                }
                for (std::int32_t m = 1; m <= b.LabelCount(); ++m) {
                    if (a.Labels(j) == b.Labels(m)) {
                        a.SetMatchCount(j, a.MatchCounts(j) + 1);
                        b.SetMatchCount(m, b.MatchCounts(m) + 1);
                    }
                }
            }
        }
    }
}

void LongCompare(FileDataStore& store) {
    zep::ResetMatchCounts(store);
    PairwiseCount(store);
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        BubbleByAscii(store, f, true);
        BubbleByCount(store, f);
    }
}

bool SameLabels(const FileDataStore& a, const FileDataStore& b) {
    for (std::int32_t f = 1; f <= a.FileCount(); ++f) {
        for (std::int32_t j = 1; j <= a[f].LabelCount(); ++j) {
            if (a[f].Labels(j) != b[f].Labels(j) || a[f].MatchCounts(j) != b[f].MatchCounts(j)) {
                return false;
            }
        }
    }
    return true;
}

void Print(const char* what, const Figures& fast, double longWay, double target) {
    std::printf("%-44s best %8.3f ms  median %8.3f ms  (target < %.0f ms: %s)\n", what, fast.best,
                fast.median, target, fast.median < target ? "met" : "MISSED");
    std::printf("%-44s      %8.1f ms  (%.0fx the time)\n", "  same work the long way", longWay,
                longWay / fast.median);
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    std::mt19937 rng(42);
    NoList list;
    CountedMessages messages;

    zep::Workspace one(list, messages);
    AddFile(one, Vocabulary(3000, rng));
    zep::Workspace oneLong(list, messages);
    AddFile(oneLong, Vocabulary(3000, rng));
    const Figures sort = Repeat(
        repetitions, [&] { Shuffle(one.store, rng); }, [&] { zep::SortByAscii(one, 1); });
    Shuffle(oneLong.store, rng);
    const double sortLong = Milliseconds([&] { BubbleByAscii(oneLong.store, 1, true); });

    // 50 files, each 1000 distinct labels out of 1500 shared ones, padded with a few blanks.
    const std::vector<std::string> vocabulary = Vocabulary(1500, rng);
    zep::Workspace many(list, messages);
    zep::Workspace manyLong(list, messages);
    for (int f = 0; f < 50; ++f) {
        std::vector<std::string> labels = vocabulary;
        std::shuffle(labels.begin(), labels.end(), rng);
        labels.resize(980);
        labels.resize(1000, "    ");
        AddFile(many, labels);
        AddFile(manyLong, labels);
    }
    const Figures compare = Repeat(
        repetitions, [&] { Shuffle(many.store, rng); }, [&] { zep::CompareFiles(many); });
    const Figures counting = Repeat(
        repetitions, [] {},
        [&] {
            zep::ResetMatchCounts(many.store);
            zep::CountLabelMatches(many.store);
        });
    Shuffle(manyLong.store, rng);
    const double compareLong = Milliseconds([&] { LongCompare(manyLong.store); });

    std::printf("compare_bench: %d repetitions, labels moved by row exchange in memory\n",
                repetitions);
    Print("sort 1 file of 3000 labels", sort, sortLong, 5);
    Print("compare 50 files of 1000 labels", compare, compareLong, 50);
    std::printf("%-44s best %8.3f ms  median %8.3f ms\n", "  of which counting the matches",
                counting.best, counting.median);
    const bool agree = SameLabels(many.store, manyLong.store) && messages.shown == 0;
    std::printf("fast and long compare give the same files: %s\n", agree ? "yes" : "NO");
    return agree ? 0 : 1;
}
