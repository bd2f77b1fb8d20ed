#include "core/ReorderHistory.h"

#include <unordered_map>

#include "core/RowMarker.h"
#include "core/Workspace.h"

namespace zep {
namespace {

// Every row's position by its key, looked up once for a whole step.
std::unordered_map<std::string, std::int32_t> PositionsByKey(const FileListView& view) {
    std::unordered_map<std::string, std::int32_t> positions;
    for (std::int32_t row = 1; row <= view.RowCount(); ++row) {
        positions.emplace(view.RowKey(row), row);
    }
    return positions;
}

}  // namespace

void ReorderHistory::Remember(const Workspace& ws, const std::vector<std::int32_t>& indices) {
    std::unordered_map<std::int32_t, std::int32_t> rowOf;  // by record
    for (std::int32_t row = 1; row <= ws.view.RowCount(); ++row) {
        rowOf.emplace(ws.view.RowTag(row), row);
    }
    std::vector<FileOrder> step;
    for (const std::int32_t index : indices) {
        const FileData* record = ws.store.Record(index);
        const auto row = rowOf.find(index);
        if (record == nullptr || row == rowOf.end()) {
            continue;
        }
        step.push_back(FileOrder{ws.view.RowKey(row->second), index, record->SaveOrder(),
                                 IsMarked(ws.view.RowText(row->second))});
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
    const std::unordered_map<std::string, std::int32_t> positions = PositionsByKey(ws.view);
    for (const FileOrder& file : steps_.back()) {
        FileData* record = ws.store.Record(file.index);
        const auto row = positions.find(file.key);
        if (record == nullptr || row == positions.end() || !record->RestoreOrder(file.order)) {
            continue;
        }
        file.marked ? MarkRow(ws.view, row->second) : UnmarkRow(ws.view, row->second);
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
