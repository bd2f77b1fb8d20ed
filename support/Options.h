#pragma once

#include <cstdint>
#include <string>

namespace zep {

// The five options, named after their settings keys.
struct Options {
    std::string STR_OPT_TOLERANCE = "000.005";
    std::int32_t LNG_OPT_COUNT_PER_TOLERANCELINE = 11;
    bool BLN_OPT_SORTASCII = true;
    bool BLN_OPT_ADJTOMAXCOUNT = true;
    bool BLN_OPT_SORT_SPACE_TO_LAST = true;

    friend bool operator==(const Options&, const Options&) = default;

    // The per-line amount the writer may divide by: a hand-edited value below 1 falls back to
    // the default instead of dividing by zero.
    std::int32_t deviationsPerLine() const {
        return LNG_OPT_COUNT_PER_TOLERANCELINE >= 1 ? LNG_OPT_COUNT_PER_TOLERANCELINE : 11;
    }
};

}  // namespace zep
