#pragma once

#include <cstdint>

#include "core/Workspace.h"

namespace zep {

// Counts in how many files every label occurs and orders every file by that count (after a
// sort by character code when BLN_OPT_SORTASCII is on). Checks every file before changing any:
// when one cannot be reordered, a message names it and nothing changes (false). With no file
// loaded there is nothing to do (true).
bool CompareFiles(Workspace& ws);

// Every label's match count becomes 1.
void ResetMatchCounts(FileDataStore& store);

// Adds to every non-blank label's match count the number of labels equal to it, byte for byte,
// in the other files. Blank labels gain nothing.
void CountLabelMatches(FileDataStore& store);

// Orders the labels of the file at index by descending match count, equal counts keeping their
// order. Returns false, changing nothing, when there is no such file or its label rows cannot
// be moved whole.
bool SortByMatchCount(FileDataStore& store, std::int32_t index);

}  // namespace zep
