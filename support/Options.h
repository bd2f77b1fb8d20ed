#pragma once

#include <cstdint>
#include <string>

namespace zep {

struct Options {
    std::string STR_OPT_TOLERANCE = "000.005";
    std::int32_t LNG_OPT_COUNT_PER_TOLERANCELINE = 11;
    bool BLN_OPT_SORTASCII = true;
    bool BLN_OPT_ADJTOMAXCOUNT = true;
    bool BLN_OPT_SORT_SPACE_TO_LAST = true;

    friend bool operator==(const Options&, const Options&) = default;

    // Below 1 falls back to the default, so a hand-edited value cannot cause a division by 0.
    std::int32_t deviationsPerLine() const {
        return LNG_OPT_COUNT_PER_TOLERANCELINE >= 1 ? LNG_OPT_COUNT_PER_TOLERANCELINE : 11;
    }
};

}  // namespace zep
