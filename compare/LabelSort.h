#pragma once

#include <cstdint>

#include "core/Workspace.h"

namespace zep {

// Exchanges the label rows at positions a and b of the file at index.
void SwapLabelRows(FileDataStore& store, std::int32_t a, std::int32_t b, std::int32_t index);

// Sorts the labels of the file at index by character code, each taking its row along; blank
// labels go last when BLN_OPT_SORT_SPACE_TO_LAST is on. A file whose label rows cannot be moved
// whole is refused with a message and left as it was (false).
bool SortByAscii(Workspace& ws, std::int32_t index);

}  // namespace zep
