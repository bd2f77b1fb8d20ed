#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QStringList>
#include <functional>

class QDropEvent;
class QKeyEvent;
class QTreeWidget;
class QTreeWidgetItem;

namespace zep {

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
