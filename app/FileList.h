#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/FileListView.h"

class QDropEvent;
class QKeyEvent;
class QLabel;
class QStatusBar;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace zep {

// Rows keep the exact bytes of key and text, so names the locale cannot show come back intact.
class FileListRows final : public FileListView {
public:
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

    // "Saved NAME" or "Saved N files" for a few seconds; nothing for 0, as failures were told.
    void ShowSavedFile(std::string_view path);
    void ShowSavedCount(std::size_t count);

private:
    QTreeWidget* lvFile_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* saveSign_ = nullptr;
    QTimer* saveTimer_ = nullptr;
};

// Enter opens a row's label view; Menu, Shift+F10 and a right click pop the menu up; dropped
// coordinate files are added in order, anything else dropped is refused.
class FileListInput : public QObject {
public:
    struct Actions {
        std::function<void(QTreeWidgetItem*)> openRow;
        std::function<void(const QPoint&)> popUpAt;  // the point on the screen
        std::function<void(const QStringList&)> addFiles;
        // Keys that run update first, as their menu would on opening, before they act.
        QList<QKeySequence> updatedKeys;
        std::function<void()> update;
    };
    FileListInput(QTreeWidget& list, Actions actions);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool KeyPressed(const QKeyEvent& key);
    bool Dropped(QDropEvent& drop);
    void PopUpAtCurrentRow();

    QTreeWidget& list_;
    // Kept, not asked for: the filter also sees events while the list is being destroyed.
    QWidget* const viewport_;
    Actions actions_;
};

}  // namespace zep
