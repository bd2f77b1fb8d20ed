// Undo of Sort By ASCII and Compare restores the files exactly as a save would write them.

#include <random>

#include "TestWorkspace.h"
#include "checks/ZepRoundTrip.h"
#include "compare/LabelSort.h"
#include "compare/ModuleCompare.h"
#include "core/ModuleFileProc.h"
#include "core/RowMarker.h"
#include "core/ZepWriter.h"

namespace zep {
namespace {

std::string RandomZep(std::int32_t n, std::mt19937& rng) {
    static const char* words[] = {"Sta1", "sta1", "BM", "  ", "A", "a", "Z9", "pt 2"};
    const std::string count = std::to_string(n);
    std::string text = "RANDOM  " + count + " " + count + " " + count + " \r\n";
    for (std::int32_t r = 1; r <= n; ++r) {
        for (std::int32_t c = 1; c <= n; ++c) {
            text += "  " + std::to_string(r) + "." + std::to_string(c);
        }
        text += "\r\n";
    }
    for (std::int32_t i = 1; i <= n; ++i) {
        text += std::string(words[rng() % std::size(words)]) + "\r\n";
    }
    for (std::int32_t i = 1; i <= n; ++i) {
        text += "  0.0" + std::to_string(i);
    }
    return text;
}

std::vector<std::string> Saved(test::TestWorkspace& t) {
    std::vector<std::string> files;
    for (std::int32_t row = 1; row <= t.view.RowCount(); ++row) {
        checks::StringSink sink;
        const FileData& record = t.ws.store[t.view.RowTag(row)];
        EXPECT_TRUE(WriteZep(sink, *t.ws.ZEPFiles.Item().Find(t.view.RowKey(row)), record,
                             t.ws.options, t.ws.store.MaxNumber()));
        std::string counts;
        for (std::int32_t i = 1; i <= record.LabelCount(); ++i) {
            counts += std::to_string(record.MatchCounts(i)) + ",";
        }
        files.push_back(t.view.RowText(row) + "\n" + counts + "\n" + sink.text);
    }
    return files;
}

// Sort By ASCII or Compare as the window runs them: remembered first, then the rows marked.
void Reorder(test::TestWorkspace& t, std::mt19937& rng) {
    if (rng() % 3 == 0) {
        std::vector<std::int32_t> all;
        for (std::int32_t f = 1; f <= t.ws.store.FileCount(); ++f) {
            all.push_back(f);
        }
        t.ws.history.Remember(t.ws, all);
        ASSERT_TRUE(CompareFiles(t.ws));
        for (std::int32_t row = 1; row <= t.view.RowCount(); ++row) {
            MarkRow(t.view, row);
        }
        return;
    }
    const auto row =
        static_cast<std::int32_t>(1 + rng() % static_cast<unsigned>(t.view.RowCount()));
    t.ws.history.Remember(t.ws, {t.view.RowTag(row)});
    ASSERT_TRUE(SortByAscii(t.ws, t.view.RowTag(row)));
    MarkRow(t.view, row);
}

TEST(ReorderHistory, UndoGivesBackWhatEachReorderingFoundAndASaveForgetsIt) {
    std::mt19937 rng(18);
    for (int run = 0; run < 8 && !testing::Test::HasFailure(); ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        test::TempDir dir;
        test::TestWorkspace t;
        t.ws.options.BLN_OPT_SORTASCII = run % 2 == 0;
        t.ws.options.BLN_OPT_SORT_SPACE_TO_LAST = run % 4 < 2;
        for (std::size_t f = 2 + rng() % 4; f > 0; --f) {
            const std::string path = dir / ("F" + std::to_string(f) + ".Zep");
            test::Put(path, RandomZep(static_cast<std::int32_t>(1 + rng() % 12), rng));
            ASSERT_TRUE(InitFileAdd(t.ws, path));
            if (rng() % 2 == 0) {
                UnmarkRow(t.view, t.view.RowCount());
            }
        }
        std::vector<std::vector<std::string>> before;
        for (std::size_t step = 0; step < ReorderHistory::kDepth + 2; ++step) {
            before.push_back(Saved(t));
            Reorder(t, rng);
        }
        for (std::size_t step = 0; step < ReorderHistory::kDepth; ++step) {
            ASSERT_TRUE(t.ws.history.Undo(t.ws));
            EXPECT_EQ(Saved(t), before[before.size() - 1 - step]) << "undo " << step;
        }
        EXPECT_FALSE(t.ws.history.Undo(t.ws));  // the oldest reorderings are beyond reach
        Reorder(t, rng);
        ASSERT_TRUE(WriteZEPFile(t.ws, dir / "out.Zep", t.view.RowKey(1), t.view.RowTag(1)));
        EXPECT_FALSE(t.ws.history.CanUndo());
    }
}

}  // namespace
}  // namespace zep
