#include "compare/CompareReport.h"

#include <algorithm>
#include <iterator>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compare/LabelRows.h"

namespace zep {

namespace {

struct SharedLabel {
    std::string_view label;
    std::int32_t files = 0;
    std::vector<std::string> positions;  // per file, in list order
};

// A spreadsheet takes a cell that begins with one of these as a formula (or, for tab and CR,
// trims them off and looks again), so a label such as =HYPERLINK(...) would be evaluated when
// the report is opened.
bool StartsLikeAFormula(std::string_view text) {
    return !text.empty() &&
           std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

// Quotes a field when it holds a separator, a quote or a line break, and also when it begins or
// ends with a space, which spreadsheet programs would otherwise trim. A field that would start
// a formula gets a leading apostrophe first, so that it is shown as text.
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

std::string FileName(Workspace& ws, std::int32_t index) {
    for (const auto& item : ws.ZEPFiles.Item()) {
        if (item->FileDataIndex() == index) {
            return item->Title();
        }
    }
    return "file " + std::to_string(index);
}

std::vector<SharedLabel> CollectLabels(const FileDataStore& store) {
    const auto fileCount = static_cast<std::size_t>(store.FileCount());
    std::vector<SharedLabel> labels;
    std::unordered_map<std::string_view, std::size_t> rowOf;
    for (std::int32_t f = 1; f <= store.FileCount(); ++f) {
        const auto column = static_cast<std::size_t>(f - 1);
        for (std::int32_t j = 1; j <= store[f].LabelCount(); ++j) {
            const std::string_view label = store[f].Labels(j);
            if (IsBlankLabel(label)) {
                continue;
            }
            const auto [it, added] = rowOf.try_emplace(label, labels.size());
            if (added) {
                labels.push_back({label, 0, std::vector<std::string>(fileCount)});
            }
            std::string& cell = labels[it->second].positions[column];
            labels[it->second].files += cell.empty() ? 1 : 0;
            cell += (cell.empty() ? "" : " ") + std::to_string(j);
        }
    }
    return labels;
}

void AppendRow(std::string& csv, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        csv += (i == 0 ? "" : ",") + CsvField(fields[i]);
    }
    csv += "\r\n";
}

}  // namespace

std::string CompareReportCsv(Workspace& ws) {
    std::vector<std::string> heading = {"label", "files"};
    for (std::int32_t f = 1; f <= ws.store.FileCount(); ++f) {
        heading.push_back(FileName(ws, f));
    }
    std::string csv;
    AppendRow(csv, heading);

    std::vector<SharedLabel> labels = CollectLabels(ws.store);
    std::sort(labels.begin(), labels.end(), [](const SharedLabel& a, const SharedLabel& b) {
        return a.files != b.files ? a.files > b.files : LabelBefore(a.label, b.label);
    });
    for (SharedLabel& shared : labels) {
        std::vector<std::string> fields = {std::string(shared.label), std::to_string(shared.files)};
        std::move(shared.positions.begin(), shared.positions.end(), std::back_inserter(fields));
        AppendRow(csv, fields);
    }
    return csv;
}

}  // namespace zep
