#include "support/TemporaryName.h"

#include <algorithm>
#include <random>

namespace zep {

std::string TemporaryName(std::string_view name, std::size_t nameMax) {
    constexpr std::string_view kDigits =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::size_t keep = std::min(name.size(), nameMax - 8);
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    // Seeded once per thread, so a thousand names do not ask the kernel a thousand times.
    thread_local std::mt19937_64 bits{std::random_device{}()};
    std::uint64_t random = bits();
    std::string temporary = "." + std::string(name.substr(0, keep)) + ".";
    for (int i = 0; i < 6; ++i, random /= kDigits.size()) {
        temporary += kDigits[random % kDigits.size()];
    }
    return temporary;
}

}  // namespace zep
