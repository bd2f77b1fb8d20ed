#include "core/Item.h"

#include <algorithm>

namespace zep {

clsZEPFileItem* Item::Add(std::unique_ptr<clsZEPFileItem> item) {
    if (item == nullptr || !byKey_.try_emplace(item->Key(), item.get()).second) {
        return nullptr;
    }
    items_.push_back(std::move(item));
    return items_.back().get();
}

clsZEPFileItem* Item::At(std::int32_t position) const {
    if (position < 1 || position > Count()) {
        return nullptr;
    }
    return items_[static_cast<std::size_t>(position - 1)].get();
}

clsZEPFileItem* Item::Find(std::string_view key) const {
    const auto found = byKey_.find(std::string(key));
    return found == byKey_.end() ? nullptr : found->second;
}

bool Item::Remove(std::string_view key) {
    const auto found = byKey_.find(std::string(key));
    if (found == byKey_.end()) {
        return false;
    }
    const clsZEPFileItem* item = found->second;
    byKey_.erase(found);
    items_.erase(std::find_if(items_.begin(), items_.end(),
                              [item](const auto& held) { return held.get() == item; }));
    return true;
}

}  // namespace zep
