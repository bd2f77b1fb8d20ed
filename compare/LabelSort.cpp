#include "compare/LabelSort.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "compare/LabelRows.h"

namespace zep {

namespace {

struct SortKey {
    std::string_view label;
    bool blank = false;
};

std::vector<SortKey> SortKeys(const FileData& record) {
    std::vector<SortKey> keys;
    keys.reserve(static_cast<std::size_t>(record.LabelCount()) + 1);
    keys.push_back({});  // keeps the keys 1-based like the positions
    for (std::int32_t i = 1; i <= record.LabelCount(); ++i) {
        keys.push_back({record.Labels(i), IsBlankLabel(record.Labels(i))});
    }
    return keys;
}

// A stable sort by this strict weak order settles where the neighbour exchanges would.
std::vector<std::int32_t> AsciiOrder(const FileData& record, bool spaceToLast) {
    const std::vector<SortKey> keys = SortKeys(record);
    std::vector<std::int32_t> order = LabelPositions(record);
    auto before = [&keys, spaceToLast](std::int32_t a, std::int32_t b) {
        const SortKey& x = keys[static_cast<std::size_t>(a)];
        const SortKey& y = keys[static_cast<std::size_t>(b)];
        if (spaceToLast && (x.blank || y.blank)) {
            return !x.blank;
        }
        return LabelBefore(x.label, y.label);
    };
    std::stable_sort(order.begin(), order.end(), before);
    return order;
}

bool PositionExists(const FileData& record, std::int32_t position) {
    return position >= 1 && position <= record.LabelCount();
}

}  // namespace

bool SwapLabelRows(FileDataStore& store, std::int32_t a, std::int32_t b, std::int32_t index) {
    FileData* record = store.Record(index);
    if (record == nullptr || !LabelRowsMovable(*record) || !PositionExists(*record, a) ||
        !PositionExists(*record, b)) {
        return false;
    }
    record->SwapLabelRows(a, b);
    return true;
}

bool SortByAscii(Workspace& ws, std::int32_t index) {
    FileData* record = ws.store.Record(index);
    if (record == nullptr) {
        return false;
    }
    if (!LabelRowsMovable(*record)) {
        ReportUnmovableFile(ws, index);
        return false;
    }
    record->ReorderLabelRows(AsciiOrder(*record, ws.options.BLN_OPT_SORT_SPACE_TO_LAST));
    return true;
}

}  // namespace zep
