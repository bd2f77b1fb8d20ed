#pragma once

#include <memory>

#include "core/Item.h"

namespace zep {

// Holds the one collection of loaded files; asking for it creates an empty one on first use.
class clsZEPFiles {
public:
    zep::Item& Item();
    void SetItem(std::unique_ptr<zep::Item> item) { item_ = std::move(item); }

private:
    std::unique_ptr<zep::Item> item_;
};

}  // namespace zep
