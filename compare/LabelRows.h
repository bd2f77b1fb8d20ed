#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/Workspace.h"

namespace zep {

// A label that is empty or holds only spaces (character 32; tabs count as text).
bool IsBlankLabel(std::string_view label);

// Byte-wise order by unsigned character code; a leading part comes before the longer label.
bool LabelBefore(std::string_view a, std::string_view b);

// A label row moves as a whole only when every label has its own deviation and coordinate row.
bool LabelRowsMovable(const FileData& record);

void ReportUnmovableFile(Workspace& ws, std::int32_t index);

std::vector<std::int32_t> LabelPositions(const FileData& record);

}  // namespace zep
