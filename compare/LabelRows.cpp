#include "compare/LabelRows.h"

#include <numeric>
#include <string>

#include "support/StringTable.h"

namespace zep {

bool IsBlankLabel(std::string_view label) {
    return label.find_first_not_of(' ') == std::string_view::npos;
}

bool LabelBefore(std::string_view a, std::string_view b) {
    // char_traits<char> compares as unsigned char, so bytes above 127 sort after ASCII.
    return a.compare(b) < 0;
}

bool LabelRowsMovable(const FileData& record) {
    return record.VarCount() >= record.LabelCount() &&
           record.DeviationCount() >= record.LabelCount();
}

namespace {

const clsZEPFileItem* FindDescriptor(Workspace& ws, std::int32_t index) {
    for (const auto& item : ws.ZEPFiles.Item()) {
        if (item->FileDataIndex() == index) {
            return item.get();
        }
    }
    return nullptr;
}

std::string DescribeUnmovable(const FileData& record) {
    std::string why = std::to_string(record.LabelCount()) + " labels but ";
    if (record.VarCount() < record.LabelCount()) {
        return why + "only " + std::to_string(record.VarCount()) + " coordinate rows";
    }
    return why + "only " + std::to_string(record.DeviationCount()) + " deviation values";
}

}  // namespace

void ReportUnmovableFile(Workspace& ws, std::int32_t index) {
    const clsZEPFileItem* item = FindDescriptor(ws, index);
    std::string detail = item != nullptr ? item->Key() : "file " + std::to_string(index);
    if (const FileData* record = ws.store.Record(index)) {
        detail += ": " + DescribeUnmovable(*record);
    }
    ws.messages.ShowMessage(ResString(2000), MessageIcon::Critical, detail);
}

std::vector<std::int32_t> LabelPositions(const FileData& record) {
    std::vector<std::int32_t> positions(static_cast<std::size_t>(record.LabelCount()));
    std::iota(positions.begin(), positions.end(), 1);
    return positions;
}

}  // namespace zep
