#include "core/FileDataStore.h"

#include <algorithm>

namespace zep {

FileData* FileDataStore::Record(std::int32_t index) {
    if (index < 1 || index > FileCount()) {
        return nullptr;
    }
    return &records_[static_cast<std::size_t>(index - 1)];
}

const FileData* FileDataStore::Record(std::int32_t index) const {
    return const_cast<FileDataStore*>(this)->Record(index);
}

void FileDataStore::ResetFileData() {
    records_.clear();
    maxNumber_ = 0;
}

std::int32_t FileDataStore::AddFileData() {
    records_.emplace_back();
    return FileCount();
}

void FileDataStore::RemoveFileData(std::int32_t index) {
    if (Record(index) != nullptr) {
        records_.erase(records_.begin() + (index - 1));
    }
}

void FileDataStore::RecalcMaxNumber() {
    maxNumber_ = 0;
    for (const FileData& record : records_) {
        maxNumber_ = std::max(maxNumber_, record.VarCount());
    }
}

}  // namespace zep
