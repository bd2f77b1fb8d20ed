#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace zep {

std::optional<std::string_view> FindResString(std::int32_t id);

// For numbers the program itself uses, all of which exist; an unknown number gives "".
inline std::string_view ResString(std::int32_t id) {
    return FindResString(id).value_or(std::string_view{});
}

}  // namespace zep
