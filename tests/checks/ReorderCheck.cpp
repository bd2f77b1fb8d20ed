#include "checks/ReorderCheck.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <numeric>
#include <sstream>
#include <vector>

#include "cli/ConsoleView.h"
#include "compare/Coverage.h"
#include "compare/LabelRows.h"
#include "compare/ModuleCompare.h"
#include "core/RowMarker.h"
#include "core/Workspace.h"
#include "core/ZepReader.h"
#include "core/clsZEPFileItem.h"

namespace zep::checks {
namespace {

constexpr char kFileSeparator = '\f';
constexpr std::size_t kMostFiles = 6;

// Only spaces (tabs are text).
bool IsBlank(std::string_view label) {
    return label.find_first_not_of(' ') == std::string_view::npos;
}

struct LabelRow {
    std::string label;
    std::string deviation;
    std::string coordinates;
    std::int32_t count = 0;
    friend bool operator==(const LabelRow&, const LabelRow&) = default;
};

// A file's label rows, and what lies past them (rows and deviations beyond the labels).
struct Snapshot {
    std::vector<LabelRow> rows;
    std::string rest;
    bool movable = true;  // every label has its own deviation and coordinate row
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

std::string CoordinateRow(const FileData& data, std::int32_t r) {
    std::string row;
    for (std::int32_t c = 1; c <= data.VarCount(); ++c) {
        row.append(data.Coordinates(r, c)).push_back(' ');
    }
    return row;
}

Snapshot Snap(const FileData& data) {
    Snapshot snap;
    snap.movable =
        data.VarCount() >= data.LabelCount() && data.DeviationCount() >= data.LabelCount();
    for (std::int32_t i = 1; i <= data.LabelCount(); ++i) {
        snap.rows.push_back({std::string(data.Labels(i)),
                             i <= data.DeviationCount() ? std::string(data.Deviations(i)) : "",
                             i <= data.VarCount() ? CoordinateRow(data, i) : "",
                             data.MatchCounts(i)});
    }
    for (std::int32_t r = data.LabelCount() + 1; r <= data.VarCount(); ++r) {
        snap.rest += CoordinateRow(data, r) + '\n';
    }
    for (std::int32_t i = data.LabelCount() + 1; i <= data.DeviationCount(); ++i) {
        snap.rest.append(data.Deviations(i)).push_back(' ');
    }
    return snap;
}

// One, plus each time a non-blank label stands in another file.
std::int32_t MatchCount(const std::vector<Snapshot>& files, const std::string& label,
                        std::size_t file) {
    std::int32_t count = 1;
    for (std::size_t g = 0; g < files.size() && !IsBlank(label); ++g) {
        for (const LabelRow& row : files[g].rows) {
            count += g != file && row.label == label ? 1 : 0;
        }
    }
    return count;
}

// Compare's order: by unsigned character code, as strings compare (blanks last when asked), then
// by descending count; stable.
std::vector<LabelRow> ExpectedOrder(std::vector<LabelRow> rows, const std::vector<Snapshot>& files,
                                    std::size_t file, const Options& options) {
    for (LabelRow& row : rows) {
        row.count = MatchCount(files, row.label, file);
    }
    if (options.BLN_OPT_SORTASCII) {
        const bool spaceLast = options.BLN_OPT_SORT_SPACE_TO_LAST;
        std::stable_sort(rows.begin(), rows.end(), [spaceLast](const auto& a, const auto& b) {
            const bool blankA = IsBlank(a.label);
            const bool blankB = IsBlank(b.label);
            return spaceLast && (blankA || blankB) ? !blankA : a.label < b.label;
        });
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.count > b.count; });
    return rows;
}

std::string Title(std::size_t file) {
    return (file % 2 == 0 ? "=f" : "f") + std::to_string(file + 1) + ".Zep";
}

// Some rows start marked as changed: Undo must give the marks back too.
std::string RowText(std::size_t file) {
    return (file % 3 == 0 ? std::string(kChangedMarker) : "") + Title(file);
}

// Each label with the files holding it and its positions: most shared first, then by code;
// blank labels last, here by code (their own order is the window's business).
std::vector<CoverageRow> ExpectedRows(const std::vector<Snapshot>& files) {
    std::map<std::string, CoverageRow> byLabel;
    for (std::size_t f = 0; f < files.size(); ++f) {
        for (std::size_t i = 0; i < files[f].rows.size(); ++i) {
            const std::string& label = files[f].rows[i].label;
            CoverageRow& row = byLabel[label];
            if (row.positions.empty()) {
                row = {label, 0, std::vector<std::string>(files.size()), IsBlank(label)};
            }
            std::string& cell = row.positions[f];
            row.files += cell.empty() ? 1 : 0;
            cell += (cell.empty() ? "" : " ") + std::to_string(i + 1);
        }
    }
    std::vector<CoverageRow> rows;
    for (auto& entry : byLabel) {
        rows.push_back(std::move(entry.second));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return a.blank != b.blank ? b.blank : !a.blank && a.files > b.files;
    });
    return rows;
}

bool SameRow(const CoverageRow& a, const CoverageRow& b) {
    return a.label == b.label && a.files == b.files && a.positions == b.positions &&
           a.blank == b.blank;
}

// The first file (from 1) that does not hold what want says or whose row is not so marked, or 0.
std::size_t FirstChanged(Workspace& ws, const std::vector<Snapshot>& want, bool marked) {
    for (std::size_t f = 0; f < want.size(); ++f) {
        const auto row = static_cast<std::int32_t>(f + 1);
        const std::string text = marked ? std::string(kChangedMarker) + Title(f) : RowText(f);
        if (!(Snap(ws.store[row]) == want[f]) || ws.view.RowText(row) != text) {
            return f + 1;
        }
    }
    return 0;
}

// A refused Compare names the first file it cannot reorder, once.
bool NamedOnce(const std::vector<Snapshot>& before, const std::string& told) {
    const auto first = std::find_if(before.begin(), before.end(),
                                    [](const Snapshot& file) { return !file.movable; });
    const std::string name = Title(static_cast<std::size_t>(first - before.begin()));
    return told.starts_with("Wrong file format! -- " + name + ": ") &&
           told.find('\n') + 1 == told.size();
}

// The report is the window's list without the blank labels; how its cells are quoted and its
// heading named are zepconv's cases (compare-report-*, report-same-name).
std::string CheckReport(Workspace& ws) {
    std::vector<Snapshot> files;
    for (std::int32_t f = 1; f <= ws.store.FileCount(); ++f) {
        files.push_back(Snap(ws.store[f]));
    }
    const std::vector<CoverageRow> expected = ExpectedRows(files);
    Coverage shown = CoverageOf(ws, true);
    const auto blanks = std::find_if(shown.rows.begin(), shown.rows.end(),
                                     [](const CoverageRow& row) { return row.blank; });
    std::sort(blanks, shown.rows.end(),
              [](const auto& a, const auto& b) { return a.label < b.label; });
    if (!std::equal(shown.rows.begin(), shown.rows.end(), expected.begin(), expected.end(),
                    SameRow)) {
        return "the label list does not give each label's files and positions";
    }
    const Coverage report = CoverageOf(ws);
    if (!std::equal(report.rows.begin(), report.rows.end(), expected.begin(),
                    expected.begin() + (blanks - shown.rows.begin()), SameRow) ||
        CoverageCsv(report) != CoverageCsv(shown)) {
        return "the report is not the label list without its blank labels";
    }
    return {};
}

void Load(Workspace& ws, ZepFileContents& file, std::size_t position) {
    const std::int32_t index = ws.store.AddFileData();
    ws.store[index] = std::move(file.data);
    auto item = std::make_unique<clsZEPFileItem>(ws.store);
    item->SetKey(Title(position));
    item->SetTitle(Title(position));
    item->SetFileDataIndex(index);
    item->AdoptCounts(file.VarCount, file.StrCount, file.MidCount);
    ws.ZEPFiles.Item().Add(std::move(item));
    ws.view.AppendRow(Title(position), RowText(position));
    ws.view.SetRowTag(ws.view.RowCount(), index);
}

}  // namespace

std::string CheckReorder(std::string_view bytes) {
    cli::ConsoleListView view;
    std::ostringstream told;
    cli::ConsoleMessages messages(told);
    Workspace ws(view, messages);
    ws.options.BLN_OPT_SORTASCII = bytes.size() % 2 == 0;
    ws.options.BLN_OPT_SORT_SPACE_TO_LAST = bytes.size() % 3 != 0;
    std::vector<Snapshot> before;
    for (std::size_t start = 0; start <= bytes.size() && before.size() < kMostFiles;) {
        const std::size_t stop = std::min(bytes.find(kFileSeparator, start), bytes.size());
        ReadResult part = ParseZepFile(std::string(bytes.substr(start, stop - start)), "0");
        if (part.ok()) {
            before.push_back(Snap(part.file->data));
            Load(ws, *part.file, before.size() - 1);
        }
        start = stop + 1;
    }
    if (before.empty()) {
        return {};
    }
    const bool movable =
        std::all_of(before.begin(), before.end(), [](const Snapshot& f) { return f.movable; });
    // Remembered as the window does: the oldest reorderings beyond its depth are forgotten.
    std::vector<std::int32_t> all(before.size());
    std::iota(all.begin(), all.end(), 1);
    for (std::size_t step = 0; step < ReorderHistory::kDepth; ++step) {
        ws.history.Remember(ws, all);
    }
    std::vector<Snapshot> ordered = before;
    for (std::size_t f = 0; f < before.size(); ++f) {
        ordered[f].rows = ExpectedOrder(before[f].rows, before, f, ws.options);
    }
    // A second Compare of the same list must give the same order and counts; a refused one
    // changes nothing, and the window drops its step.
    for (int round = 0; round < 2; ++round) {
        ws.history.Remember(ws, all);
        if (CompareFiles(ws) != movable) {
            return movable ? "Compare refused files it can reorder"
                           : "Compare took an unmovable file";
        }
        if (!movable && !NamedOnce(before, told.str())) {
            return "a refused Compare did not name the file once";
        }
        for (std::int32_t row = 1; movable && row <= view.RowCount(); ++row) {
            MarkRow(view, row);
        }
        if (!movable) {
            ws.history.DropLast();
        }
        if (const std::size_t file = FirstChanged(ws, movable ? ordered : before, movable)) {
            return "file " + std::to_string(file) +
                   (movable ? " is not ordered and counted as Compare promises"
                            : " was changed by a refused Compare");
        }
        told.str("");
    }
    if (std::string fault = CheckReport(ws); !fault.empty()) {
        return fault;
    }
    std::size_t undone = 0;
    while (ws.history.Undo(ws)) {
        ++undone;
    }
    const std::size_t changed = FirstChanged(ws, before, false);
    // A refused Compare drops its step, after the oldest made room for it.
    if (undone + (movable ? 0 : 1) != ReorderHistory::kDepth || changed != 0) {
        return "Undo took back " + std::to_string(undone) + " steps, file " +
               std::to_string(changed) + " not as read";
    }
    return {};
}

}  // namespace zep::checks
