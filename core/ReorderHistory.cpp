#include "core/ReorderHistory.h"

#include <unordered_set>

#include "core/RowMarker.h"
#include "core/Workspace.h"

namespace zep {

void ReorderHistory::Remember(const Workspace& ws, const std::vector<std::int32_t>& indices) {
    const std::unordered_set<std::int32_t> reordered(indices.begin(), indices.end());
    std::vector<FileOrder> step;
    for (std::int32_t row = 1; row <= ws.view.RowCount(); ++row) {
        const FileData* record = ws.store.Record(ws.view.RowTag(row));
        if (record != nullptr && reordered.contains(ws.view.RowTag(row))) {
            step.push_back(FileOrder{row, record->SaveOrder(), IsMarked(ws.view.RowText(row))});
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
        FileData* record = ws.store.Record(ws.view.RowTag(file.row));
        if (record != nullptr && record->RestoreOrder(file.order)) {
            file.marked ? MarkRow(ws.view, file.row) : UnmarkRow(ws.view, file.row);
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
