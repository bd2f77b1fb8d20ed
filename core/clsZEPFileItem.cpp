#include "core/clsZEPFileItem.h"

#include "core/FileDataStore.h"

namespace zep {

bool clsZEPFileItem::SetVarCount(std::int32_t n) {
    return SetCount(n, varCount_, &FileData::SizeCoordinates);
}

bool clsZEPFileItem::SetStrCount(std::int32_t n) {
    return SetCount(n, strCount_, &FileData::SizeLabels);
}

bool clsZEPFileItem::SetMidCount(std::int32_t n) {
    return SetCount(n, midCount_, &FileData::SizeDeviations);
}

bool clsZEPFileItem::SetCount(std::int32_t n, std::int32_t& count,
                              void (FileData::*size)(std::int32_t)) {
    FileData* record = store_->Record(fileDataIndex_);
    if (record == nullptr || n < 1) {
        return false;
    }
    (record->*size)(n);
    count = n;
    return true;
}

void clsZEPFileItem::AdoptCounts(std::int32_t var, std::int32_t str, std::int32_t mid) {
    varCount_ = var;
    strCount_ = str;
    midCount_ = mid;
}

}  // namespace zep
