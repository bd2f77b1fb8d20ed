#include "compare/Coverage.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "compare/LabelRows.h"

namespace zep {

namespace {

std::vector<CoverageColumn> ListColumns(Workspace& ws) {
    std::vector<const clsZEPFileItem*> itemOf(static_cast<std::size_t>(ws.store.FileCount()) + 1);
    for (const auto& item : ws.ZEPFiles.Item()) {
        if (item->FileDataIndex() >= 1 && item->FileDataIndex() <= ws.store.FileCount()) {
            itemOf[static_cast<std::size_t>(item->FileDataIndex())] = item.get();
        }
    }
    std::vector<CoverageColumn> columns;
    for (std::int32_t index = 1; index <= ws.store.FileCount(); ++index) {
        const clsZEPFileItem* item = itemOf[static_cast<std::size_t>(index)];
        columns.push_back(item != nullptr ? CoverageColumn{item->Title(), item->Key()}
                                          : CoverageColumn{"file " + std::to_string(index), {}});
    }
    return columns;
}

std::vector<CoverageRow> GatherLabels(const FileDataStore& store, bool withBlank) {
    const auto fileCount = static_cast<std::size_t>(store.FileCount());
    std::vector<CoverageRow> gathered;
    std::unordered_map<std::string_view, std::size_t> rowOf;
    for (std::size_t column = 0; column < fileCount; ++column) {
        const FileData& record = store[static_cast<std::int32_t>(column + 1)];
        for (std::int32_t j = 1; j <= record.LabelCount(); ++j) {
            const std::string_view label = record.Labels(j);
            const bool blank = IsBlankLabel(label);
            if (blank && !withBlank) {
                continue;
            }
            const auto [it, added] = rowOf.try_emplace(label, gathered.size());
            if (added) {
                gathered.push_back(
                    {std::string(label), 0, std::vector<std::string>(fileCount), blank});
            }
            CoverageRow& row = gathered[it->second];
            std::string& cell = row.positions[column];
            row.files += cell.empty() ? 1 : 0;
            cell += (cell.empty() ? "" : " ") + std::to_string(j);
        }
    }
    return gathered;
}

bool RowBefore(const CoverageRow& a, const CoverageRow& b) {
    if (a.blank != b.blank) {
        return b.blank;
    }
    return a.files != b.files ? a.files > b.files : LabelBefore(a.label, b.label);
}

// A spreadsheet would evaluate a cell starting with these, e.g. =HYPERLINK(...).
bool StartsLikeAFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// Edge spaces are quoted since spreadsheets trim them; a would-be formula is kept as text.
std::string CsvField(std::string_view text) {
    const std::string shown =
        StartsLikeAFormula(text) ? "'" + std::string(text) : std::string(text);
    const bool quote = shown.find_first_of(",\"\r\n") != std::string::npos ||
                       (!shown.empty() && (shown.front() == ' ' || shown.back() == ' '));
    if (!quote) {
        return shown;
    }
    std::string field = "\"";
    for (char ch : shown) {
        field += ch;
        if (ch == '"') {
            field += '"';
        }
    }
    return field + '"';
}

void AppendField(std::string& csv, bool first, std::string_view text) {
    csv += first ? "" : ",";
    csv += CsvField(text);
}

std::string Heading(const std::vector<CoverageColumn>& columns, const CoverageColumn& column) {
    const auto sameName =
        std::count_if(columns.begin(), columns.end(),
                      [&](const CoverageColumn& c) { return c.name == column.name; });
    return sameName > 1 ? column.path : column.name;
}

}  // namespace

Coverage CoverageOf(Workspace& ws, bool withBlankLabels) {
    Coverage coverage;
    coverage.columns = ListColumns(ws);
    coverage.rows = GatherLabels(ws.store, withBlankLabels);
    std::sort(coverage.rows.begin(), coverage.rows.end(), RowBefore);
    return coverage;
}

std::string CoverageCsv(const Coverage& coverage) {
    std::string csv = "label,files";
    for (const CoverageColumn& column : coverage.columns) {
        AppendField(csv, false, Heading(coverage.columns, column));
    }
    csv += "\r\n";
    for (const CoverageRow& row : coverage.rows) {
        if (row.blank) {
            continue;
        }
        AppendField(csv, true, row.label);
        AppendField(csv, false, std::to_string(row.files));
        for (const std::string& cell : row.positions) {
            AppendField(csv, false, cell);
        }
        csv += "\r\n";
    }
    return csv;
}

}  // namespace zep
