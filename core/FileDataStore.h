#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/FileData.h"

namespace zep {

// One record per loaded file in add order; indices are 1-based.
class FileDataStore {
public:
    std::int32_t FileCount() const { return static_cast<std::int32_t>(records_.size()); }
    std::int32_t MaxNumber() const { return maxNumber_; }
    void SetMaxNumber(std::int32_t value) { maxNumber_ = value; }

    // nullptr when index is outside 1..FileCount.
    FileData* Record(std::int32_t index) {
        return index < 1 || index > FileCount() ? nullptr : &records_[Slot(index)];
    }
    const FileData* Record(std::int32_t index) const {
        return const_cast<FileDataStore*>(this)->Record(index);
    }
    // For callers that hold a valid index.
    FileData& operator[](std::int32_t index) { return records_[Slot(index)]; }
    const FileData& operator[](std::int32_t index) const { return records_[Slot(index)]; }

    void ResetFileData() {
        records_.clear();
        maxNumber_ = 0;
    }
    std::int32_t AddFileData() {
        records_.emplace_back();
        return FileCount();
    }
    // Later records move down by one.
    void RemoveFileData(std::int32_t index) {
        if (Record(index) != nullptr) {
            records_.erase(records_.begin() + (index - 1));
        }
    }
    void RecalcMaxNumber() {
        maxNumber_ = 0;
        for (const FileData& record : records_) {
            maxNumber_ = std::max(maxNumber_, record.VarCount());
        }
    }

private:
    static std::size_t Slot(std::int32_t index) { return static_cast<std::size_t>(index - 1); }

    std::vector<FileData> records_;
    std::int32_t maxNumber_ = 0;
};

}  // namespace zep
