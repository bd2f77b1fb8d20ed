#pragma once

#include <cstddef>

namespace zep {

// Readies a buffer that is about to be filled, so that filling it does not stop at a page fault
// for every 4 KB page. Whole 2 MB pages inside [start, start + size) are asked for as huge pages,
// before they are first touched: a buffer of tens of megabytes then takes a few dozen page faults
// instead of thousands. A buffer too small for that has all its pages backed at once, in one
// call. Only a hint; nothing changes where the kernel declines.
void PrepareToFill(void* start, std::size_t size);

}  // namespace zep
