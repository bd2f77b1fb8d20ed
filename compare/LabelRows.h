#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/Workspace.h"

namespace zep {

// What the label sort and the compare share about moving label rows as a whole.

// A label that is empty or holds only spaces (character 32; tabs count as text).
bool IsBlankLabel(std::string_view label);

// Byte-wise order by unsigned character code; a leading part comes before the longer label.
bool LabelBefore(std::string_view a, std::string_view b);

// A label row moves as a whole only when every label has its own deviation and coordinate row.
bool LabelRowsMovable(const FileData& record);

// Tells the user that the file at index cannot have its label rows reordered, naming the file.
void ReportUnmovableFile(Workspace& ws, std::int32_t index);

// The positions 1..LabelCount, ready to be sorted into a new order.
std::vector<std::int32_t> LabelPositions(const FileData& record);

}  // namespace zep
