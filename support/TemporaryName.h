#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zep {

// A dot, as much of name as fits in nameMax bytes (never splitting a UTF-8 character), a dot and
// six random characters, so that a stray one still shows what it belonged to.
std::string TemporaryName(std::string_view name, std::size_t nameMax);

// Runs make(temporary name) again with a fresh name while the name is taken (errno EEXIST).
// Random names collide so rarely that running out of tries means something else is wrong.
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
