#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/FileListView.h"

class QLabel;
class QStatusBar;
class QString;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace zep {

// The rows of the main window's file list and its status bar, as the file operations see them.
// A row keeps the exact bytes of its key and text beside what it shows, so that names the locale
// cannot show still come back unchanged. The window attaches its list once it is built.
class FileListRows final : public FileListView {
public:
    // Fills bar with its panels: the status text, the save sign, the date and the time; cut
    // texts of the list show in full as tool tips.
    void Attach(QTreeWidget& lvFile, QStatusBar& bar);

    std::int32_t AppendRow(std::string_view key, std::string_view text) override;
    std::int32_t RowCount() const override;
    std::string RowKey(std::int32_t position) const override { return KeyOf(RowAt(position)); }
    std::string RowText(std::int32_t position) const override { return TextOf(RowAt(position)); }
    void SetRowText(std::int32_t position, std::string_view text) override;
    std::int32_t RowTag(std::int32_t position) const override { return TagOf(RowAt(position)); }
    void SetRowTag(std::int32_t position, std::int32_t tag) override;
    void SetRowFullPath(std::int32_t position, std::string_view path) override;
    void SelectRow(std::int32_t position) override;
    void RemoveRow(std::int32_t position) override;
    void SetStatusText(std::string_view text) override;

    QTreeWidgetItem* RowAt(std::int32_t position) const;
    std::int32_t PositionOf(const QTreeWidgetItem* row) const;
    static std::string TextOf(const QTreeWidgetItem* row);
    static std::string KeyOf(const QTreeWidgetItem* row);
    static std::int32_t TagOf(const QTreeWidgetItem* row);

    // Tells for a few seconds, beside "Max Number : " and asking nothing of the user, what the
    // last save wrote: "Saved NAME" of path, or "Saved N files" (nothing when none was saved,
    // as each failure has been told).
    void ShowSavedFile(std::string_view path);
    void ShowSavedCount(std::size_t count);

private:
    void ShowSaved(const QString& what);

    QTreeWidget* lvFile_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* saveSign_ = nullptr;
    QTimer* saveTimer_ = nullptr;
};

}  // namespace zep
