#pragma once

#include <QStyledItemDelegate>

namespace zep {

// Draws a list's cells as usual; a cell whose text is too long for it, and so is cut short with
// "…", shows its whole text as a tool tip. Cells that show their whole text get no tip.
class FullTextTips : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    bool IsCut(const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

}  // namespace zep
