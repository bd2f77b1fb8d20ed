#include "core/RowMarker.h"

#include <string>

namespace zep {

bool IsMarked(std::string_view rowText) {
    return rowText.starts_with(kChangedMarker);
}

void MarkRow(FileListView& view, std::int32_t position) {
    const std::string text = view.RowText(position);
    if (!IsMarked(text)) {
        view.SetRowText(position, std::string(kChangedMarker) + text);
    }
}

void UnmarkRow(FileListView& view, std::int32_t position) {
    const std::string text = view.RowText(position);
    if (IsMarked(text)) {
        view.SetRowText(position, std::string_view(text).substr(kChangedMarker.size()));
    }
}

}  // namespace zep
