#pragma once

#include <cstdint>

#include "core/Workspace.h"

namespace zep {

// False, changing nothing, when the file or position is missing or rows cannot move whole.
bool SwapLabelRows(FileDataStore& store, std::int32_t a, std::int32_t b, std::int32_t index);

// Stable; blank labels last with BLN_OPT_SORT_SPACE_TO_LAST. An unmovable file is refused
// with a message and left as it was (false).
bool SortByAscii(Workspace& ws, std::int32_t index);

}  // namespace zep
