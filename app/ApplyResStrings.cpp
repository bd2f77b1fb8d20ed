#include "app/QtText.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QToolBar>
#include <QTreeWidget>
#include <charconv>
#include <optional>

namespace zep {
namespace {

// With leading, only as far as the text begins with a number, after an optional '+'.
std::optional<std::int32_t> TextNumber(const QString& carried, bool leading = false) {
    std::string token = carried.trimmed().toStdString();
    if (leading && !token.empty() && token.front() == '+') {
        token.erase(0, 1);
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (!leading && (token.empty() || ec != std::errc{} || end != token.data() + token.size())) {
        return std::nullopt;
    }
    return value;
}

std::optional<QString> TextOf(std::optional<std::int32_t> id) {
    return id && FindResString(*id) ? std::optional(Res(*id)) : std::nullopt;
}

std::optional<QString> TextFor(const QString& carried) {
    return TextOf(TextNumber(carried));
}

QString TagOf(const QObject* object) {
    return object->property(kTagProperty).toString();
}

// Qt hands a window's font down to its controls, so each first pins its own values.
void ApplyWindowFont(QWidget* window) {
    const std::optional<QString> face = TextOf(101);
    if (!face) {
        return;
    }
    QFont font(*face);
    if (const auto points = TextNumber(TextOf(102).value_or(QString())); points && *points > 0) {
        font.setPointSize(*points);
    }
    for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!control->isWindow()) {
            QFont own = control->font();
            own.setResolveMask(control->font().resolveMask() | font.resolveMask());
            control->setFont(own);
        }
    }
    window->setFont(font);
}

void ApplyToControl(QObject* control) {
    // Toolbar buttons carry no text: their tips come from their toolbar.
    if (auto* entry = qobject_cast<QAction*>(control)) {
        if (const std::optional<QString> text = TextFor(entry->text())) {
            entry->setText(*text);
        }
    } else if (auto* toolbar = qobject_cast<QToolBar*>(control)) {
        for (QAction* button : toolbar->actions()) {
            if (const std::optional<QString> tip = TextFor(button->toolTip())) {
                button->setToolTip(*tip);
            }
        }
    } else if (auto* tabs = qobject_cast<QTabBar*>(control)) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (const std::optional<QString> text = TextFor(tabs->tabData(i).toString())) {
                tabs->setTabText(i, *text);
            }
            if (const std::optional<QString> tip = TextFor(tabs->tabToolTip(i))) {
                tabs->setTabToolTip(i, *tip);
            }
        }
    } else if (auto* list = qobject_cast<QTreeWidget*>(control)) {
        QTreeWidgetItem* header = list->headerItem();
        for (int column = 0; column < list->columnCount(); ++column) {
            if (const auto text = TextFor(header->data(column, kColumnTagRole).toString())) {
                header->setText(column, *text);
            }
        }
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        if (const std::optional<QString> text = TextFor(TagOf(label))) {
            label->setText(*text);
        }
    } else if (const std::int32_t id = *TextNumber(TagOf(control), true); id > 0) {
        if (const std::optional<QString> text = TextOf(id)) {
            if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                button->setText(*text);
            } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
                frame->setTitle(*text);
            }
        }
    }
}

}  // namespace

void ApplyResStrings(QWidget* window) {
    if (const std::optional<QString> title = TextFor(TagOf(window))) {
        window->setWindowTitle(*title);
    }
    ApplyWindowFont(window);
    for (QObject* control : window->findChildren<QObject*>()) {
        ApplyToControl(control);
    }
}

}  // namespace zep
