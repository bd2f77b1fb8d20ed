#include "app/KeyboardAccess.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QTreeWidget>
#include <algorithm>

namespace zep {

KeyboardAccess::KeyboardAccess(QTreeWidget& list, Actions actions, QObject* parent)
    : QObject(parent), list_(list), actions_(std::move(actions)) {
    list_.installEventFilter(this);
}

void KeyboardAccess::UpdateBefore(const QList<QKeySequence>& keys, std::function<void()> update) {
    if (updates_.empty()) {
        qApp->installEventFilter(this);
    }
    updates_.push_back(Update{keys, std::move(update)});
}

bool KeyboardAccess::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const Update& entry : updates_) {
            if (entry.keys.contains(pressed)) {
                entry.update();
            }
        }
        return false;
    }
    if (watched != &list_) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        return KeyPressed(*static_cast<QKeyEvent*>(event));
    }
    // The platform's own keyboard request (the Menu key under X11) arrives as well as the key.
    if (event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        PopUpAtCurrentRow();
        return true;
    }
    return false;
}

bool KeyboardAccess::KeyPressed(const QKeyEvent& key) {
    const int code = key.key();
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if ((code == Qt::Key_Return || code == Qt::Key_Enter) && modifiers == Qt::NoModifier) {
        if (QTreeWidgetItem* row = list_.currentItem()) {
            actions_.openRow(row);
        }
        return true;
    }
    if ((code == Qt::Key_Menu && modifiers == Qt::NoModifier) ||
        (code == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        PopUpAtCurrentRow();
        return true;
    }
    return false;
}

// Below the current row's text, as the mouse would open it on the row; at the list's top left
// when no row is current. A menu already open for this key press is not opened twice.
void KeyboardAccess::PopUpAtCurrentRow() {
    if (QApplication::activePopupWidget() != nullptr) {
        return;
    }
    QPoint where = list_.viewport()->rect().topLeft();
    if (QTreeWidgetItem* row = list_.currentItem()) {
        const QRect rect = list_.visualItemRect(row);
        where = QPoint(rect.left() + rect.height() / 2, rect.bottom());
    }
    actions_.popUpAt(list_.viewport()->mapToGlobal(where));
}

}  // namespace zep
