#include "core/clsZEPFiles.h"

namespace zep {

zep::Item& clsZEPFiles::Item() {
    if (item_ == nullptr) {
        item_ = std::make_unique<zep::Item>();
    }
    return *item_;
}

}  // namespace zep
