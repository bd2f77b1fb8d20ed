#include "app/FileList.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

namespace zep {

FileListInput::FileListInput(QTreeWidget& list, Actions actions)
    : QObject(&list), list_(list), viewport_(list.viewport()), actions_(std::move(actions)) {
    list_.installEventFilter(this);
    viewport_->installEventFilter(this);
    viewport_->setAcceptDrops(true);
    qApp->installEventFilter(this);
}

bool FileListInput::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ShortcutOverride &&
        actions_.updatedKeys.contains(
            QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination()))) {
        actions_.update();
    } else if (watched == &list_ && type == QEvent::KeyPress) {
        return KeyPressed(*static_cast<QKeyEvent*>(event));
    } else if (watched == &list_ && type == QEvent::ContextMenu &&
               static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        // The platform's own keyboard request (the Menu key under X11) arrives as well as the key.
        PopUpAtCurrentRow();
        return true;
    } else if (watched == viewport_ && type == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            actions_.popUpAt(mouse->globalPosition().toPoint());
            return true;
        }
    } else if (watched == viewport_ &&
               (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop)) {
        return Dropped(*static_cast<QDropEvent*>(event));
    }
    return false;
}

bool FileListInput::KeyPressed(const QKeyEvent& key) {
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

bool FileListInput::Dropped(QDropEvent& drop) {
    QStringList paths;
    if (drop.mimeData() != nullptr) {
        for (const QUrl& url : drop.mimeData()->urls()) {
            if (url.isLocalFile() && url.toLocalFile().endsWith(".Zep", Qt::CaseInsensitive)) {
                paths.append(url.toLocalFile());
            }
        }
    }
    if (paths.isEmpty()) {
        return false;
    }
    drop.acceptProposedAction();
    if (drop.type() == QEvent::Drop) {
        actions_.addFiles(paths);
    }
    return true;
}

// A menu already open for this key press is not opened twice.
void FileListInput::PopUpAtCurrentRow() {
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
