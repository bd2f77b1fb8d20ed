#pragma once

#include <utility>

#include "core/Item.h"

namespace zep {

class clsZEPFiles {
public:
    zep::Item& Item() { return item_; }
    void SetItem(zep::Item item) { item_ = std::move(item); }

private:
    zep::Item item_;
};

}  // namespace zep
