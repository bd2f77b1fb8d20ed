#pragma once

#include <cstdint>

#include "core/Workspace.h"

namespace zep {

// Counts in how many files every label occurs and orders every file by that count (after a
// sort by character code when BLN_OPT_SORTASCII is on). Checks every file before changing any:
// when one cannot be reordered, a message names it and nothing changes (false).
bool CompareFiles(Workspace& ws);

void ResetMatchCounts(FileDataStore& store);
void CountLabelMatches(FileDataStore& store);
void SortByMatchCount(FileDataStore& store, std::int32_t index);

}  // namespace zep
