#include "support/TemporaryName.h"

#include <sys/random.h>
#include <unistd.h>

#include <algorithm>

namespace zep {

// splitmix64.
std::uint64_t RandomBits() {
    thread_local std::uint64_t state = [] {
        std::uint64_t seed = 0;
        if (::getrandom(&seed, sizeof seed, 0) != sizeof seed) {
            seed = static_cast<std::uint64_t>(::getpid()) * 0x9E3779B97F4A7C15ULL ^
                   reinterpret_cast<std::uintptr_t>(&seed);
        }
        return seed;
    }();
    std::uint64_t z = state += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::string TemporaryName(std::string_view name, std::size_t nameMax) {
    constexpr std::string_view kDigits =
        "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::size_t keep = std::min(name.size(), nameMax - 8);
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) {
        --keep;
    }
    std::uint64_t random = RandomBits();
    std::string temporary = "." + std::string(name.substr(0, keep)) + ".";
    for (int i = 0; i < 6; ++i, random /= kDigits.size()) {
        temporary += kDigits[random % kDigits.size()];
    }
    return temporary;
}

}  // namespace zep
