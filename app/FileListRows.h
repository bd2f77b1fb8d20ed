#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/FileListView.h"

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace zep {

// The rows of the main window's file list, and the status bar's first panel, as the file
// operations see them. A row keeps the exact bytes of its key and text beside what it shows, so
// that names the locale cannot show still come back unchanged.
class FileListRows final : public FileListView {
public:
    // Both outlive this object.
    FileListRows(QTreeWidget& lvFile, QLabel& statusText)
        : lvFile_(lvFile), statusText_(statusText) {}

    std::int32_t AppendRow(std::string_view key, std::string_view text) override;
    std::int32_t RowCount() const override;
    std::string RowKey(std::int32_t position) const override;
    std::string RowText(std::int32_t position) const override;
    void SetRowText(std::int32_t position, std::string_view text) override;
    std::int32_t RowTag(std::int32_t position) const override;
    void SetRowTag(std::int32_t position, std::int32_t tag) override;
    void SetRowFullPath(std::int32_t position, std::string_view path) override;
    void SelectRow(std::int32_t position) override;
    void RemoveRow(std::int32_t position) override;
    void SetStatusText(std::string_view text) override;

    QTreeWidgetItem* RowAt(std::int32_t position) const;
    // nullptr when no row has the key.
    QTreeWidgetItem* RowWithKey(std::string_view key) const;
    std::int32_t PositionOf(const QTreeWidgetItem* row) const;
    static std::string TextOf(const QTreeWidgetItem* row);
    static std::string KeyOf(const QTreeWidgetItem* row);
    static std::int32_t TagOf(const QTreeWidgetItem* row);

private:
    QTreeWidget& lvFile_;
    QLabel& statusText_;
};

}  // namespace zep
