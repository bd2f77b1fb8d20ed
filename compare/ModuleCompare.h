#pragma once

#include <cstdint>

#include "core/Workspace.h"

namespace zep {

// Checks every file before changing any: if one cannot be reordered, a message names it and
// nothing changes (false).
bool CompareFiles(Workspace& ws);

void ResetMatchCounts(FileDataStore& store);

// Labels count as equal byte for byte; blank labels gain nothing.
void CountLabelMatches(FileDataStore& store);

// Stable; false, changing nothing, when the file is missing or its rows cannot move whole.
bool SortByMatchCount(FileDataStore& store, std::int32_t index);

}  // namespace zep
