#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zep {

// Rows: 1-based positions, unique keys (full paths), tag = the file's FileDataIndex.
class FileListView {
public:
    static constexpr std::int32_t kErrKeyNotUnique = 35602;

    virtual ~FileListView() = default;

    // Appends a row; returns 0, or the error number when the list refuses it.
    virtual std::int32_t AppendRow(std::string_view key, std::string_view text) = 0;
    virtual std::int32_t RowCount() const = 0;
    virtual std::string RowKey(std::int32_t position) const = 0;
    virtual std::string RowText(std::int32_t position) const = 0;
    virtual void SetRowText(std::int32_t position, std::string_view text) = 0;
    virtual std::int32_t RowTag(std::int32_t position) const = 0;
    virtual void SetRowTag(std::int32_t position, std::int32_t tag) = 0;
    virtual void SetRowFullPath(std::int32_t position, std::string_view path) = 0;
    virtual void SelectRow(std::int32_t position) = 0;
    virtual void RemoveRow(std::int32_t position) = 0;

    virtual void SetStatusText(std::string_view text) = 0;
};

}  // namespace zep
