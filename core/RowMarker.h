#pragma once

#include <cstdint>
#include <string_view>

#include "core/FileListView.h"

namespace zep {

// A row whose file has changes that are only in memory starts with this marker.
inline constexpr std::string_view kChangedMarker = "* ";

// Whether a row's text carries the marker. Only its front counts, so that a file name holding an
// asterisk, or "* " itself, is never taken for one.
bool IsMarked(std::string_view rowText);

// Puts the marker in front of the row at position unless it carries it already.
void MarkRow(FileListView& view, std::int32_t position);

// Takes the marker off the row at position; the file name behind it stays whole.
void UnmarkRow(FileListView& view, std::int32_t position);

}  // namespace zep
