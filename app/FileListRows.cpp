#include "app/FileList.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QHelpEvent>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>

#include "app/QtText.h"

namespace zep {
namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kTagRole = Qt::UserRole + 1;
constexpr int kTextRole = Qt::UserRole + 2;
// The largest label count the status bar keeps room for at the smallest size.
constexpr char kWidestMaxNumber[] = "999999";

QLabel* Panel(const char* name, QStatusBar& bar) {
    auto* panel = new QLabel(&bar);
    panel->setObjectName(QLatin1String(name));
    return panel;
}

// Only a cell whose text is cut short shows its whole text as a tool tip.
class FullTextTips : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip || !index.isValid() ||
            !index.data(Qt::ToolTipRole).isNull()) {
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        }
        if (!IsCut(option, index)) {
            QToolTip::hideText();
            event->ignore();
            return false;
        }
        QToolTip::showText(event->globalPos(), index.data(Qt::DisplayRole).toString(),
                           view->viewport(), option.rect);
        return true;
    }

private:
    // The style cuts text wider than the text area less a margin on each side.
    bool IsCut(const QStyleOptionViewItem& option, const QModelIndex& index) const {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QWidget* widget = cell.widget;
        const QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        const QRect textArea = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        return cell.fontMetrics.horizontalAdvance(cell.text) > textArea.width() - 2 * margin;
    }
};

}  // namespace

void FileListRows::Attach(QTreeWidget& lvFile, QStatusBar& bar) {
    lvFile_ = &lvFile;
    lvFile.setItemDelegate(new FullTextTips(&lvFile));
    statusText_ = Panel("sbStatusBarText", bar);
    statusText_->setText(QStringLiteral("Ready"));
    statusText_->setMinimumWidth(
        statusText_->fontMetrics().horizontalAdvance(Res(2004) + QLatin1String(kWidestMaxNumber)));
    saveSign_ = Panel("sbStatusBarSaved", bar);
    QLabel* date = Panel("sbStatusBarDate", bar);
    QLabel* time = Panel("sbStatusBarTime", bar);
    bar.addWidget(statusText_, 1);
    bar.addWidget(saveSign_);
    bar.addPermanentWidget(date);
    bar.addPermanentWidget(time);
    saveTimer_ = new QTimer(saveSign_);
    saveTimer_->setSingleShot(true);
    saveTimer_->setInterval(5000);
    QObject::connect(saveTimer_, &QTimer::timeout, saveSign_, &QLabel::clear);
    const auto showClock = [date, time] {
        const QLocale locale;
        date->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        time->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
    };
    showClock();
    auto* clock = new QTimer(time);
    QObject::connect(clock, &QTimer::timeout, time, showClock);
    clock->start(1000);
}

QTreeWidgetItem* FileListRows::RowAt(std::int32_t position) const {
    return lvFile_->topLevelItem(position - 1);
}

std::int32_t FileListRows::PositionOf(const QTreeWidgetItem* row) const {
    return lvFile_->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(row)) + 1;
}

std::string FileListRows::TextOf(const QTreeWidgetItem* row) {
    return row->data(0, kTextRole).toByteArray().toStdString();
}

std::string FileListRows::KeyOf(const QTreeWidgetItem* row) {
    return row->data(0, kKeyRole).toByteArray().toStdString();
}

std::int32_t FileListRows::TagOf(const QTreeWidgetItem* row) {
    return row->data(0, kTagRole).toInt();
}

std::int32_t FileListRows::AppendRow(std::string_view key, std::string_view text) {
    for (int i = 0; i < lvFile_->topLevelItemCount(); ++i) {
        if (KeyOf(lvFile_->topLevelItem(i)) == key) {
            return kErrKeyNotUnique;
        }
    }
    auto* row = new QTreeWidgetItem(lvFile_);
    row->setData(0, kKeyRole, Bytes(key));
    row->setData(0, kTagRole, 0);
    SetRowText(PositionOf(row), text);
    return 0;
}

std::int32_t FileListRows::RowCount() const {
    return lvFile_->topLevelItemCount();
}

void FileListRows::SetRowText(std::int32_t position, std::string_view text) {
    QTreeWidgetItem* row = RowAt(position);
    row->setData(0, kTextRole, Bytes(text));
    row->setText(0, FromBytes(text));
}

void FileListRows::SetRowTag(std::int32_t position, std::int32_t tag) {
    RowAt(position)->setData(0, kTagRole, tag);
}

void FileListRows::SetRowFullPath(std::int32_t position, std::string_view path) {
    RowAt(position)->setText(1, FromPath(path));
}

void FileListRows::SelectRow(std::int32_t position) {
    lvFile_->setCurrentItem(RowAt(position));
}

void FileListRows::RemoveRow(std::int32_t position) {
    delete RowAt(position);
}

void FileListRows::SetStatusText(std::string_view text) {
    statusText_->setText(FromBytes(text));
}

void FileListRows::ShowSavedFile(std::string_view path) {
    saveSign_->setText(QStringLiteral("Saved ") +
                       FromPath(path.substr(path.find_last_of('/') + 1)));
    saveTimer_->start();
}

void FileListRows::ShowSavedCount(std::size_t count) {
    if (count > 0) {
        saveSign_->setText(count == 1 ? QStringLiteral("Saved 1 file")
                                      : QStringLiteral("Saved %1 files").arg(qulonglong(count)));
        saveTimer_->start();
    }
}

}  // namespace zep
