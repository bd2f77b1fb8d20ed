#pragma once

#include <cstddef>

namespace zep {

// Asks for the whole 2 MB pages inside [start, start + size) to be huge pages, before they are
// first touched: filling a buffer of tens of megabytes then takes a few dozen page faults instead
// of thousands. Only a hint; nothing changes where the kernel declines.
void PrepareToFill(void* start, std::size_t size);

}  // namespace zep
