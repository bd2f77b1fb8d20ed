#include "checks/ReorderCheck.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "cli/ConsoleView.h"
#include "compare/Coverage.h"
#include "compare/LabelRows.h"
#include "compare/ModuleCompare.h"
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

// By unsigned character code; a leading part comes before the longer label.
bool ComesBefore(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](unsigned char x, unsigned char y) { return x < y; });
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

using Holders = std::map<std::string, std::vector<std::int32_t>>;

Holders CountHolders(const std::vector<Snapshot>& files) {
    Holders holders;
    for (std::size_t f = 0; f < files.size(); ++f) {
        for (const LabelRow& row : files[f].rows) {
            if (!IsBlank(row.label)) {
                auto& perFile = holders.try_emplace(row.label, files.size(), 0).first->second;
                ++perFile[f];
            }
        }
    }
    return holders;
}

// One, plus each time the label stands in another file.
std::int32_t MatchCount(const Holders& holders, const std::string& label, std::size_t file) {
    const auto it = holders.find(label);
    if (it == holders.end()) {
        return 1;
    }
    std::int32_t count = 1;
    for (std::size_t g = 0; g < it->second.size(); ++g) {
        count += g == file ? 0 : it->second[g];
    }
    return count;
}

// Compare's order: by character code (blanks last when asked), then by descending count; stable.
std::vector<LabelRow> ExpectedOrder(std::vector<LabelRow> rows, const Holders& holders,
                                    std::size_t file, const Options& options) {
    for (LabelRow& row : rows) {
        row.count = MatchCount(holders, row.label, file);
    }
    if (options.BLN_OPT_SORTASCII) {
        const bool spaceLast = options.BLN_OPT_SORT_SPACE_TO_LAST;
        std::stable_sort(rows.begin(), rows.end(), [spaceLast](const auto& a, const auto& b) {
            const bool blankA = IsBlank(a.label);
            const bool blankB = IsBlank(b.label);
            return spaceLast && (blankA || blankB) ? !blankA : ComesBefore(a.label, b.label);
        });
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.count > b.count; });
    return rows;
}

// The records of an RFC 4180 text with CR LF after every record; false when it is not one.
bool ParseCsv(std::string_view csv, std::vector<std::vector<std::string>>& records) {
    std::size_t pos = 0;
    while (pos < csv.size()) {
        std::vector<std::string>& record = records.emplace_back();
        for (bool more = true; more;) {
            std::string& cell = record.emplace_back();
            if (csv[pos] == '"') {
                for (++pos;; pos += 2) {
                    const std::size_t quote = csv.find('"', pos);
                    if (quote == std::string_view::npos) {
                        return false;
                    }
                    cell.append(csv.substr(pos, quote - pos));
                    pos = quote;
                    if (csv.substr(pos, 2) != "\"\"") {
                        break;
                    }
                    cell += '"';
                }
                ++pos;
            } else {
                const std::size_t stop = std::min(csv.find_first_of(",\r\n\"", pos), csv.size());
                cell = csv.substr(pos, stop - pos);
                pos = stop;
            }
            if (pos >= csv.size() || (csv[pos] != ',' && csv.substr(pos, 2) != "\r\n")) {
                return false;
            }
            more = csv[pos] == ',';
            pos += more ? 1 : 2;
        }
    }
    return true;
}

bool StartsLikeAFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

std::string Cell(const std::string& text) {
    return StartsLikeAFormula(text) ? "'" + text : text;
}

std::string Title(std::size_t file) {
    return (file % 2 == 0 ? "=f" : "f") + std::to_string(file + 1) + ".Zep";
}

// The report as it must be: heading, then each non-blank label, most shared first, then by code.
std::vector<std::vector<std::string>> ExpectedReport(const std::vector<Snapshot>& files) {
    std::vector<std::vector<std::string>> report{{"label", "files"}};
    std::vector<std::pair<std::int32_t, std::vector<std::string>>> rows;
    for (const auto& [label, perFile] : CountHolders(files)) {
        std::vector<std::string> row{Cell(label), ""};
        std::int32_t holding = 0;
        for (std::size_t f = 0; f < files.size(); ++f) {
            std::string& cell = row.emplace_back();
            for (std::size_t i = 0; i < files[f].rows.size(); ++i) {
                if (files[f].rows[i].label == label) {
                    cell += (cell.empty() ? "" : " ") + std::to_string(i + 1);
                }
            }
            holding += perFile[f] > 0 ? 1 : 0;
        }
        row[1] = std::to_string(holding);
        rows.emplace_back(holding, std::move(row));
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t f = 0; f < files.size(); ++f) {
        report[0].push_back(Cell(Title(f)));
    }
    for (auto& row : rows) {
        report.push_back(std::move(row.second));
    }
    return report;
}

std::string CheckOrder(Workspace& ws, const std::vector<Snapshot>& before) {
    const Holders holders = CountHolders(before);
    for (std::size_t f = 0; f < before.size(); ++f) {
        const FileData& data = ws.store[static_cast<std::int32_t>(f + 1)];
        const Snapshot after = Snap(data);
        if (after.rows != ExpectedOrder(before[f].rows, holders, f, ws.options) ||
            after.rest != before[f].rest) {
            return "file " + std::to_string(f + 1) +
                   " is not ordered and counted as Compare promises";
        }
    }
    return {};
}

// A refused Compare names the first file it cannot reorder, once, and changes nothing.
std::string CheckRefusal(Workspace& ws, const std::vector<Snapshot>& before,
                         const std::string& told) {
    std::size_t first = 0;
    while (before[first].movable) {
        ++first;
    }
    if (!told.starts_with("Wrong file format! -- " + Title(first) + ": ") ||
        told.find('\n') + 1 != told.size()) {
        return "a refused Compare did not name the file once";
    }
    for (std::size_t f = 0; f < before.size(); ++f) {
        const FileData& data = ws.store[static_cast<std::int32_t>(f + 1)];
        if (!(Snap(data) == before[f])) {
            return "a refused Compare changed file " + std::to_string(f + 1);
        }
    }
    return {};
}

std::string CheckReport(Workspace& ws) {
    std::vector<Snapshot> files;
    for (std::int32_t f = 1; f <= ws.store.FileCount(); ++f) {
        files.push_back(Snap(ws.store[f]));
    }
    std::vector<std::vector<std::string>> records;
    if (!ParseCsv(CoverageCsv(CoverageOf(ws)), records)) {
        return "the report is no well-formed CSV";
    }
    if (records != ExpectedReport(files)) {
        return "the report does not list the labels, files and positions";
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
    // A second Compare of the same list must give the same order and counts.
    for (int round = 0; round < 2; ++round) {
        if (CompareFiles(ws) != movable) {
            return movable ? "Compare refused files it can reorder"
                           : "Compare took an unmovable file";
        }
        std::string fault = movable ? CheckOrder(ws, before) : CheckRefusal(ws, before, told.str());
        if (!fault.empty()) {
            return fault;
        }
        told.str("");
    }
    return movable ? CheckReport(ws) : std::string();
}

}  // namespace zep::checks
