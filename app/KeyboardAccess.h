#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <functional>
#include <vector>

class QKeyEvent;
class QTreeWidget;
class QTreeWidgetItem;

namespace zep {

// What the file list does for the keyboard beyond moving between rows: Enter opens the row's
// label view, and the Menu key or Shift+F10 opens the row's pop-up menu at the row.
// Shortcuts of menu entries whose enabling is worked out as their menu opens get it worked out
// before the key acts, so the key does what the entry would do just then.
class KeyboardAccess : public QObject {
    Q_OBJECT

public:
    struct Actions {
        std::function<void(QTreeWidgetItem*)> openRow;
        std::function<void(const QPoint&)> popUpAt;  // the point on the screen
    };
    KeyboardAccess(QTreeWidget& list, Actions actions, QObject* parent);

    // Before one of keys acts, update runs.
    void UpdateBefore(const QList<QKeySequence>& keys, std::function<void()> update);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool KeyPressed(const QKeyEvent& key);
    void PopUpAtCurrentRow();

    QTreeWidget& list_;
    Actions actions_;
    struct Update {
        QList<QKeySequence> keys;
        std::function<void()> update;
    };
    std::vector<Update> updates_;
};

}  // namespace zep
