#include "core/FileListCommands.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "core/RowMarker.h"

namespace zep {

std::string KeyForPath(const std::string& path) {
    std::string key;
    if (!path.starts_with('/')) {
        std::error_code error;
        key = std::filesystem::current_path(error).string();
        if (path.empty() || error) {
            return path;
        }
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = std::string_view(path).substr(start, end - start);
        if (!part.empty() && part != ".") {
            key.append(key.ends_with('/') ? "" : "/").append(part);
        }
        start = end + 1;
    }
    // A trailing slash asks for a folder; keeping it keeps the answer the path gets.
    const bool folder = path.ends_with('/') || path.ends_with("/.") || path == ".";
    if (key.empty() || (folder && !key.ends_with('/'))) {
        key += '/';
    }
    return key;
}

std::vector<bool> SaveAllFiles(Workspace& ws, const std::vector<std::string>& targets) {
    std::vector<SaveRequest> requests;
    for (std::int32_t row = 1; row <= ws.view.RowCount(); ++row) {
        const std::string key = ws.view.RowKey(row);
        requests.push_back(
            SaveRequest{targets.empty() ? key : targets[static_cast<std::size_t>(row - 1)], key,
                        ws.view.RowTag(row)});
    }
    const std::vector<bool> saved = WriteZEPFiles(ws, requests);
    // A file written elsewhere leaves its own file behind its memory, so its row stays marked.
    for (std::size_t i = 0; i < requests.size(); ++i) {
        if (saved[i] && requests[i].target == requests[i].key) {
            UnmarkRow(ws.view, static_cast<std::int32_t>(i + 1));
        }
    }
    return saved;
}

}  // namespace zep
