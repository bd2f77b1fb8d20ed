#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/FileListView.h"

namespace zep {

// A row whose file has changes that are only in memory starts with this marker.
inline constexpr std::string_view kChangedMarker = "* ";

// Only the front counts, so a file name holding "* " is never taken for the marker.
inline bool IsMarked(std::string_view rowText) {
    return rowText.starts_with(kChangedMarker);
}

inline void MarkRow(FileListView& view, std::int32_t position) {
    const std::string text = view.RowText(position);
    if (!IsMarked(text)) {
        view.SetRowText(position, std::string(kChangedMarker) + text);
    }
}

inline void UnmarkRow(FileListView& view, std::int32_t position) {
    const std::string text = view.RowText(position);
    if (IsMarked(text)) {
        view.SetRowText(position, std::string_view(text).substr(kChangedMarker.size()));
    }
}

}  // namespace zep
