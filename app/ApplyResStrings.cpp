#include "app/ApplyResStrings.h"

#include <QAbstractButton>
#include <QAction>
#include <QFont>
#include <QGroupBox>
#include <QLabel>
#include <QTabBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QWidget>
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>

#include "support/StringTable.h"

namespace zep {
namespace {

// A text number as a control carries it: a whole number, blanks around it allowed.
std::optional<std::int32_t> TextNumber(const QString& carried) {
    const std::string token = carried.trimmed().toStdString();
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (token.empty() || ec != std::errc{} || end != token.data() + token.size()) {
        return std::nullopt;
    }
    return value;
}

// The numeric value of a tag as far as it begins with a number; 0 when it does not.
std::int32_t LeadingNumber(const QString& tag) {
    std::string token = tag.trimmed().toStdString();
    if (!token.empty() && token.front() == '+') {
        token.erase(0, 1);
    }
    std::int32_t value = 0;
    std::from_chars(token.data(), token.data() + token.size(), value);
    return value;
}

std::optional<QString> TextFor(const QString& carried) {
    const std::optional<std::int32_t> id = TextNumber(carried);
    if (!id) {
        return std::nullopt;
    }
    const std::optional<std::string_view> text = FindResString(*id);
    if (!text) {
        return std::nullopt;
    }
    return QString::fromUtf8(text->data(), static_cast<qsizetype>(text->size()));
}

QString TagOf(const QObject* object) {
    return object->property(kTagProperty).toString();
}

// Qt hands a window's font down to every control in it; the controls keep their own fonts, so
// each holds on to its own value of whatever the window's font sets.
void KeepControlFonts(QWidget* window, const QFont& windowFont) {
    for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control->isWindow()) {
            continue;
        }
        QFont own = control->font();
        own.setResolveMask(control->font().resolveMask() | windowFont.resolveMask());
        control->setFont(own);
    }
}

void ApplyWindowFont(QWidget* window) {
    const std::optional<std::string_view> face = FindResString(101);
    if (!face) {
        return;
    }
    // QFont matches the nearest installed face when the named one is missing.
    QFont font(QString::fromUtf8(face->data(), static_cast<qsizetype>(face->size())));
    if (const std::optional<std::string_view> size = FindResString(102)) {
        if (const std::optional<std::int32_t> points =
                TextNumber(QString::fromUtf8(size->data(), static_cast<qsizetype>(size->size())));
            points && *points > 0) {
            font.setPointSize(*points);
        }
    }
    KeepControlFonts(window, font);
    window->setFont(font);
}

bool IsToolbarButton(const QAction* action) {
    for (const QObject* owner : action->associatedObjects()) {
        if (qobject_cast<const QToolBar*>(owner) != nullptr) {
            return true;
        }
    }
    return false;
}

void ApplyToMenuEntry(QAction* entry) {
    if (IsToolbarButton(entry)) {
        return;
    }
    if (const std::optional<QString> text = TextFor(entry->text())) {
        entry->setText(*text);
    }
}

void ApplyToToolbar(QToolBar* toolbar) {
    for (QAction* button : toolbar->actions()) {
        const QString tip = button->toolTip();
        if (tip.isEmpty()) {
            continue;
        }
        if (const std::optional<QString> text = TextFor(tip)) {
            button->setToolTip(*text);
        }
    }
}

void ApplyToTabs(QTabBar* tabs) {
    for (int i = 0; i < tabs->count(); ++i) {
        if (const std::optional<QString> text = TextFor(tabs->tabData(i).toString())) {
            tabs->setTabText(i, *text);
        }
        if (const std::optional<QString> tip = TextFor(tabs->tabToolTip(i))) {
            tabs->setTabToolTip(i, *tip);
        }
    }
}

void ApplyToColumns(QTreeWidget* list) {
    QTreeWidgetItem* header = list->headerItem();
    for (int column = 0; column < list->columnCount(); ++column) {
        const QString tag = header->data(column, kColumnTagRole).toString();
        if (tag.isEmpty()) {
            continue;
        }
        if (const std::optional<QString> text = TextFor(tag)) {
            header->setText(column, *text);
        }
    }
}

void ApplyToLabel(QLabel* label) {
    if (const std::optional<QString> text = TextFor(TagOf(label))) {
        label->setText(*text);
    }
}

// Buttons, check boxes and frames: their caption, when the tag begins with a number above 0.
void ApplyToCaptioned(QObject* control) {
    const std::int32_t id = LeadingNumber(TagOf(control));
    if (id <= 0) {
        return;
    }
    const std::optional<std::string_view> found = FindResString(id);
    if (!found) {
        return;
    }
    const QString text = QString::fromUtf8(found->data(), static_cast<qsizetype>(found->size()));
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
        frame->setTitle(text);
    }
}

void ApplyToControl(QObject* control) {
    if (auto* entry = qobject_cast<QAction*>(control)) {
        ApplyToMenuEntry(entry);
    } else if (auto* toolbar = qobject_cast<QToolBar*>(control)) {
        ApplyToToolbar(toolbar);
    } else if (auto* tabs = qobject_cast<QTabBar*>(control)) {
        ApplyToTabs(tabs);
    } else if (auto* list = qobject_cast<QTreeWidget*>(control)) {
        ApplyToColumns(list);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        ApplyToLabel(label);
    } else {
        ApplyToCaptioned(control);
    }
}

}  // namespace

void ApplyResStrings(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    if (const std::optional<QString> title = TextFor(TagOf(window))) {
        window->setWindowTitle(*title);
    }
    ApplyWindowFont(window);
    for (QObject* control : window->findChildren<QObject*>()) {
        ApplyToControl(control);
    }
}

}  // namespace zep
