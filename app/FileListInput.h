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

// What the file list does beyond selecting rows: Enter opens the row's label view; the Menu
// key, Shift+F10 and a right click open the pop-up menu; coordinate files dropped on it are
// added in the order they come, and anything else dropped there is refused.
class FileListInput : public QObject {
public:
    struct Actions {
        std::function<void(QTreeWidgetItem*)> openRow;
        std::function<void(const QPoint&)> popUpAt;  // the point on the screen
        std::function<void(const QStringList&)> addFiles;
        // Shortcuts of menu entries whose enabling is worked out as their menu opens get it
        // worked out before the key acts, so the key does what the entry would do just then.
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
    Actions actions_;
};

}  // namespace zep
