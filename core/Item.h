#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/clsZEPFileItem.h"

namespace zep {

// Keys (full paths) are unique and compare exactly, letter case included.
class Item {
public:
    // nullptr, inserting nothing, when the key is already present.
    clsZEPFileItem* Add(std::unique_ptr<clsZEPFileItem> item);

    // nullptr when the position is outside 1..Count or the key is unknown.
    clsZEPFileItem* At(std::int32_t position) const;
    clsZEPFileItem* Find(std::string_view key) const;
    std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }

    bool Remove(std::string_view key);

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<clsZEPFileItem>> items_;
    // So adding or saving among thousands of files needs no linear search.
    std::unordered_map<std::string, clsZEPFileItem*> byKey_;
};

}  // namespace zep
