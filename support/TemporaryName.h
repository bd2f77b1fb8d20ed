#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zep {

// ".name.XXXXXX", name cut to nameMax bytes on a UTF-8 boundary, so a stray shows its owner.
std::string TemporaryName(std::string_view name, std::size_t nameMax);

// Retries make with fresh names on EEXIST; running out of tries means something else is wrong.
template <typename MakeName>
bool WithFreeName(std::string_view name, std::size_t nameMax, MakeName make) {
    constexpr int kNameTries = 64;
    for (int i = 0; i < kNameTries; ++i) {
        if (make(TemporaryName(name, nameMax))) {
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

}  // namespace zep
