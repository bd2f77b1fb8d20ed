#include "core/Item.h"

#include <algorithm>

namespace zep {

clsZEPFileItem* Item::Add(std::unique_ptr<clsZEPFileItem> item) {
    if (item == nullptr || Find(item->Key()) != nullptr) {
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
    auto it = std::find_if(items_.begin(), items_.end(),
                           [key](const auto& item) { return item->Key() == key; });
    return it == items_.end() ? nullptr : it->get();
}

bool Item::Remove(std::string_view key) {
    auto it = std::find_if(items_.begin(), items_.end(),
                           [key](const auto& item) { return item->Key() == key; });
    if (it == items_.end()) {
        return false;
    }
    items_.erase(it);
    return true;
}

}  // namespace zep
