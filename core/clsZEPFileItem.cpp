#include "core/clsZEPFileItem.h"

#include "core/FileDataStore.h"

namespace zep {

bool clsZEPFileItem::SetVarCount(std::int32_t n) {
    FileData* record = store_->Record(fileDataIndex_);
    if (record == nullptr || n < 1) {
        return false;
    }
    record->SizeCoordinates(n);
    varCount_ = n;
    return true;
}

bool clsZEPFileItem::SetStrCount(std::int32_t n) {
    FileData* record = store_->Record(fileDataIndex_);
    if (record == nullptr || n < 1) {
        return false;
    }
    record->SizeLabels(n);
    strCount_ = n;
    return true;
}

bool clsZEPFileItem::SetMidCount(std::int32_t n) {
    FileData* record = store_->Record(fileDataIndex_);
    if (record == nullptr || n < 1) {
        return false;
    }
    record->SizeDeviations(n);
    midCount_ = n;
    return true;
}

void clsZEPFileItem::AdoptCounts(std::int32_t var, std::int32_t str, std::int32_t mid) {
    varCount_ = var;
    strCount_ = str;
    midCount_ = mid;
}

}  // namespace zep
