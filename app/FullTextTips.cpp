#include "app/FullTextTips.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

namespace zep {

bool FullTextTips::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                             const QStyleOptionViewItem& option, const QModelIndex& index) {
    const bool ownTip = index.isValid() && !index.data(Qt::ToolTipRole).isNull();
    if (event->type() != QEvent::ToolTip || !index.isValid() || ownTip) {
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    }
    if (!IsCut(option, index)) {
        QToolTip::hideText();
        event->ignore();
        return false;
    }
    QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(), view->viewport(),
                       option.rect);
    return true;
}

// The style draws a cell's text inside its text area less a margin on each side, and cuts it
// when it is wider than that.
bool FullTextTips::IsCut(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget* widget = cell.widget;
    const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
    const QRect textArea = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    return cell.fontMetrics.horizontalAdvance(cell.text) > textArea.width() - 2 * margin;
}

}  // namespace zep
