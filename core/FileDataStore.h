#pragma once

#include <cstdint>
#include <vector>

#include "core/FileData.h"

namespace zep {

// One FileData record per loaded file, in the order the files were added, and the largest
// label count in the list. Indices are 1-based; FileCount is the number of records.
class FileDataStore {
public:
    std::int32_t FileCount() const { return static_cast<std::int32_t>(records_.size()); }
    std::int32_t MaxNumber() const { return maxNumber_; }
    void SetMaxNumber(std::int32_t value) { maxNumber_ = value; }

    // nullptr when index is outside 1..FileCount.
    FileData* Record(std::int32_t index);
    const FileData* Record(std::int32_t index) const;
    // For callers that hold a valid index.
    FileData& operator[](std::int32_t index) { return *Record(index); }
    const FileData& operator[](std::int32_t index) const { return *Record(index); }

    // Empties the store: FileCount and MaxNumber become 0.
    void ResetFileData();
    // Appends an empty record and returns its index (the new FileCount).
    std::int32_t AddFileData();
    // Deletes the record at index; later records move down by one.
    void RemoveFileData(std::int32_t index);
    // MaxNumber becomes the largest VarCount of the records, 0 with none.
    void RecalcMaxNumber();

private:
    std::vector<FileData> records_;
    std::int32_t maxNumber_ = 0;
};

}  // namespace zep
