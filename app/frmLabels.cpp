#include "app/frmLabels.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/QtText.h"
#include "core/RowMarker.h"

namespace zep {
namespace {

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment) {
    auto* cell = new QTableWidgetItem(text);
    cell->setTextAlignment(alignment | Qt::AlignVCenter);
    return cell;
}

QList<frmLabels*> OpenViews(QWidget& owner) {
    QList<frmLabels*> views = owner.findChildren<frmLabels*>(Qt::FindDirectChildrenOnly);
    views.removeIf([](const frmLabels* view) { return !view->isVisible(); });
    return views;
}

bool ShowFileIn(Workspace& ws, frmLabels& view) {
    for (std::int32_t position = 1; position <= ws.view.RowCount(); ++position) {
        if (ws.view.RowKey(position) == view.Key()) {
            const FileData* record = ws.store.Record(ws.view.RowTag(position));
            const clsZEPFileItem* item = ws.ZEPFiles.Item().Find(view.Key());
            if (record != nullptr && item != nullptr) {
                view.ShowFile(*record, FromBytes(item->Title()),
                              IsMarked(ws.view.RowText(position)));
                return true;
            }
            break;
        }
    }
    view.close();
    return false;
}

}  // namespace

frmLabels::frmLabels(std::string key, QWidget* owner)
    : QDialog(owner), key_(std::move(key)), table_(new QTableWidget(this)) {
    setObjectName(QStringLiteral("frmLabels"));
    setAttribute(Qt::WA_DeleteOnClose);
    table_->setObjectName(QStringLiteral("tblLabels"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setVisible(false);
    table_->setColumnCount(4);
    table_->setHorizontalHeaderLabels({Res(1200), Res(1201), Res(1202), Res(1203)});
    table_->horizontalHeader()->setStretchLastSection(true);
    (new QVBoxLayout(this))->addWidget(table_);
    resize(420, 480);
}

void frmLabels::ShowFile(const FileData& record, QString fileName, bool unsaved) {
    // "[*]" is where Qt puts the modified mark; one in a file name has to be doubled to show.
    setWindowTitle(
        QStringLiteral("%1[*] - %2")
            .arg(fileName.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")), Res(100)));
    setWindowModified(unsaved);
    // Columns are fitted once; later showings keep the widths the user may have set.
    const bool first = table_->rowCount() == 0;
    const std::int32_t rows = record.LabelCount();
    table_->clearContents();
    table_->setRowCount(rows);
    for (std::int32_t i = 1; i <= rows; ++i) {
        const int r = i - 1;
        table_->setItem(r, 0, Cell(QString::number(i), Qt::AlignRight));
        table_->setItem(r, 1, Cell(FromBytes(record.Labels(i)), Qt::AlignLeft));
        table_->setItem(r, 2, Cell(QString::number(record.MatchCounts(i)), Qt::AlignRight));
        const QString deviation =
            i <= record.DeviationCount() ? FromBytes(record.Deviations(i)) : QString();
        table_->setItem(r, 3, Cell(deviation, Qt::AlignRight));
    }
    if (first) {
        table_->resizeColumnsToContents();
    }
}

void ShowLabelsOf(Workspace& ws, QWidget& owner, const std::string& key) {
    const QList<frmLabels*> views = OpenViews(owner);
    const auto open = std::find_if(views.begin(), views.end(),
                                   [&](const frmLabels* view) { return view->Key() == key; });
    frmLabels* view = open != views.end() ? *open : new frmLabels(key, &owner);
    if (ShowFileIn(ws, *view)) {
        view->show();
        view->raise();
        view->activateWindow();
    }
}

void FollowLabelViews(Workspace& ws, QWidget& owner) {
    for (frmLabels* view : OpenViews(owner)) {
        ShowFileIn(ws, *view);
    }
}

// Raising a window moves it to the end of its owner's children.
void CloseLabelViews(QWidget& owner) {
    QList<frmLabels*> views = OpenViews(owner);
    std::for_each(views.rbegin(), views.rend(), [](frmLabels* view) { view->close(); });
}

}  // namespace zep
