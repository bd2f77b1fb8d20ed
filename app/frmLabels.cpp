#include "app/frmLabels.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "support/StringTable.h"

namespace zep {
namespace {

constexpr std::int32_t kProgramTitle = 100;

QString Res(std::int32_t id) {
    const std::string_view text = ResString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FromBytes(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment) {
    auto* cell = new QTableWidgetItem(text);
    cell->setTextAlignment(alignment | Qt::AlignVCenter);
    return cell;
}

// "[*]" is where Qt puts the modified mark; one in a file name has to be doubled to show.
QString TitleFor(QString fileName) {
    fileName.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    return QStringLiteral("%1[*] - %2").arg(fileName, Res(kProgramTitle));
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

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    resize(420, 480);
}

void frmLabels::ShowFile(const FileData& record, const QString& fileName, bool unsaved) {
    setWindowTitle(TitleFor(fileName));
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

}  // namespace zep
