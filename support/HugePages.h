#pragma once

#include <cstddef>

namespace zep {

// Asks the kernel to back the whole 2 MB pages inside [start, start + size) with huge pages,
// before they are first touched: a buffer of tens of megabytes then takes a few dozen page faults
// instead of thousands. Only a hint; nothing changes where the kernel declines.
void AskForHugePages(void* start, std::size_t size);

}  // namespace zep
