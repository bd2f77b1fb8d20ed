#pragma once

#include <cstdint>

#include "core/Workspace.h"

namespace zep {

// Exchanges the label rows at positions a and b (1..StrCount) of the file at index: match
// count, label, deviation and the whole coordinate row. Returns false, changing nothing, when
// there is no such file or position, or the file's rows cannot be moved whole.
bool SwapLabelRows(FileDataStore& store, std::int32_t a, std::int32_t b, std::int32_t index);

// Sorts the labels of the file at index by character code, each taking its row along; blank
// labels go last when BLN_OPT_SORT_SPACE_TO_LAST is on. Equal labels keep their order. A file
// whose label rows cannot be moved whole is refused with a message and left as it was (false).
bool SortByAscii(Workspace& ws, std::int32_t index);

}  // namespace zep
