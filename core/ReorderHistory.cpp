#include "core/ReorderHistory.h"

#include "core/RowMarker.h"
#include "core/Workspace.h"

namespace zep {
namespace {

// The list position of the row with key, or 0.
std::int32_t PositionOf(const FileListView& view, const std::string& key) {
    for (std::int32_t row = 1; row <= view.RowCount(); ++row) {
        if (view.RowKey(row) == key) {
            return row;
        }
    }
    return 0;
}

}  // namespace

void ReorderHistory::Remember(const Workspace& ws, const std::vector<std::int32_t>& indices) {
    std::vector<FileOrder> step;
    for (const std::int32_t index : indices) {
        const FileData* record = ws.store.Record(index);
        if (record == nullptr) {
            continue;
        }
        FileOrder& file = step.emplace_back();
        file.index = index;
        file.order = record->SaveOrder();
        for (std::int32_t row = 1; row <= ws.view.RowCount(); ++row) {
            if (ws.view.RowTag(row) == index) {
                file.key = ws.view.RowKey(row);
                file.marked = IsMarked(ws.view.RowText(row));
                break;
            }
        }
    }
    steps_.push_back(std::move(step));
    if (steps_.size() > kDepth) {
        steps_.pop_front();
    }
    Changed();
}

void ReorderHistory::DropLast() {
    if (!steps_.empty()) {
        steps_.pop_back();
        Changed();
    }
}

bool ReorderHistory::Undo(Workspace& ws) {
    if (steps_.empty()) {
        return false;
    }
    for (const FileOrder& file : steps_.back()) {
        FileData* record = ws.store.Record(file.index);
        if (record == nullptr || !record->RestoreOrder(file.order)) {
            continue;
        }
        if (const std::int32_t row = PositionOf(ws.view, file.key); row > 0) {
            file.marked ? MarkRow(ws.view, row) : UnmarkRow(ws.view, row);
        }
    }
    steps_.pop_back();
    Changed();
    return true;
}

void ReorderHistory::Forget() {
    if (!steps_.empty()) {
        steps_.clear();
        Changed();
    }
}

void ReorderHistory::Changed() const {
    if (changed_) {
        changed_();
    }
}

}  // namespace zep
