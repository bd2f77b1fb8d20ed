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

void frmLabels::ShowFile(const FileData& record, const QString& fileName, bool unsaved) {
    // "[*]" is where Qt puts the modified mark; one in a file name has to be doubled to show.
    QString name = fileName;
    setWindowTitle(
        QStringLiteral("%1[*] - %2")
            .arg(name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")), Res(100)));
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

// A second request for a file brings its view to the front instead of opening another.
void LabelViews::ShowLabelsOf(const std::string& key) {
    std::erase_if(views_, [](const QPointer<frmLabels>& view) { return view.isNull(); });
    auto open = std::find_if(views_.begin(), views_.end(), [&](const QPointer<frmLabels>& view) {
        return view->isVisible() && view->Key() == key;
    });
    frmLabels* view = open != views_.end() ? open->data() : new frmLabels(key, &owner_);
    if (!ShowFileIn(*view)) {
        return;
    }
    if (open == views_.end()) {
        views_.emplace_back(view);
    }
    view->show();
    view->raise();
    view->activateWindow();
}

// Views closed by the user are on their way out and left alone.
void LabelViews::FollowLabelViews() {
    for (const QPointer<frmLabels>& view : views_) {
        if (!view.isNull() && view->isVisible()) {
            ShowFileIn(*view);
        }
    }
}

// The most recent first, as they would be closed one by one from the front.
void LabelViews::CloseAll() {
    for (auto it = views_.rbegin(); it != views_.rend(); ++it) {
        if (!it->isNull()) {
            (*it)->close();
        }
    }
    views_.clear();
}

bool LabelViews::ShowFileIn(frmLabels& view) {
    for (std::int32_t position = 1; position <= ws_.view.RowCount(); ++position) {
        if (ws_.view.RowKey(position) != view.Key()) {
            continue;
        }
        const FileData* record = ws_.store.Record(ws_.view.RowTag(position));
        const clsZEPFileItem* item = ws_.ZEPFiles.Item().Find(view.Key());
        if (record != nullptr && item != nullptr) {
            view.ShowFile(*record, FromBytes(item->Title()), IsMarked(ws_.view.RowText(position)));
            return true;
        }
        break;
    }
    view.close();
    return false;
}

}  // namespace zep
