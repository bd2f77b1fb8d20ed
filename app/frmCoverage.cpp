#include "app/frmCoverage.h"

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "app/QtText.h"
#include "app/UserDialogs.h"
#include "support/SafeFileWriter.h"

namespace zep {
namespace {

constexpr int kLabelColumn = 0;
constexpr int kFirstFileColumn = 2;
// Out of 255: a tint that reads in light and dark colour schemes alike.
constexpr int kPresenceAlpha = 90;

}  // namespace

QString VisibleBlankLabel(std::string_view label) {
    if (label.empty()) {
        return QStringLiteral("(empty)");
    }
    const bool spaces = std::all_of(label.begin(), label.end(), [](char c) { return c == ' '; });
    const QString what = spaces ? QStringLiteral("space") : QStringLiteral("blank");
    return QStringLiteral("(%1 %2%3)")
        .arg(label.size())
        .arg(what, label.size() == 1 ? QString() : QStringLiteral("s"));
}

void CoverageModel::SetCoverage(Coverage coverage) {
    beginResetModel();
    coverage_ = std::move(coverage);
    endResetModel();
}

int CoverageModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(coverage_.rows.size());
}

int CoverageModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFirstFileColumn + static_cast<int>(coverage_.columns.size());
}

QVariant CoverageModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    const CoverageRow& row = coverage_.rows[static_cast<std::size_t>(index.row())];
    const int column = index.column();
    const std::string* positions = column >= kFirstFileColumn
                                       ? &row.positions[std::size_t(column - kFirstFileColumn)]
                                       : nullptr;
    if (role == Qt::DisplayRole) {
        if (column == kLabelColumn) {
            return row.blank ? VisibleBlankLabel(row.label) : FromBytes(row.label);
        }
        return positions != nullptr ? QVariant(FromBytes(*positions)) : QVariant(row.files);
    }
    if (role == Qt::FontRole && column == kLabelColumn && row.blank) {
        QFont italic = QApplication::font();
        italic.setItalic(true);
        return italic;
    }
    if (role == Qt::BackgroundRole && positions != nullptr && !positions->empty()) {
        QColor tint = QApplication::palette().color(QPalette::Highlight);
        tint.setAlpha(kPresenceAlpha);
        return tint;
    }
    if (role == Qt::TextAlignmentRole && column != kLabelColumn) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant CoverageModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section < kFirstFileColumn) {
        return role == Qt::DisplayRole ? QVariant(section == kLabelColumn ? QStringLiteral("label")
                                                                          : QStringLiteral("files"))
                                       : QVariant();
    }
    const CoverageColumn& file = coverage_.columns[static_cast<std::size_t>(section - 2)];
    if (role == Qt::DisplayRole) {
        return FromBytes(file.name);
    }
    return role == Qt::ToolTipRole ? QVariant(FromPath(file.path)) : QVariant();
}

frmCoverage::frmCoverage(Workspace& ws, UserDialogs& dialogs, QWidget* owner)
    : QDialog(owner), ws_(ws), dialogs_(dialogs), model_(this), table_(new QTableView(this)) {
    setObjectName(QStringLiteral("frmCoverage"));
    setWindowTitle(QStringLiteral("Coverage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setSizeGripEnabled(true);
    table_->setObjectName(QStringLiteral("tblCoverage"));
    table_->setModel(&model_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->hide();
    // Measuring every row of a long list would cost more than making the table.
    table_->horizontalHeader()->setResizeContentsPrecision(200);

    auto* exportCsv = new QPushButton(QStringLiteral("Export CSV..."), this);
    exportCsv->setObjectName(QStringLiteral("cmdExportCsv"));
    exportCsv->setAutoDefault(false);
    connect(exportCsv, &QPushButton::clicked, this, &frmCoverage::ExportCsv);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(exportCsv, 0, Qt::AlignRight);
    resize(640, 420);
}

void frmCoverage::ShowCoverage() {
    model_.SetCoverage(CoverageOf(ws_, true));
    table_->resizeColumnsToContents();
}

void frmCoverage::ExportCsv() {
    const QString target = dialogs_.GetSaveFileName(this, QStringLiteral("Export Coverage"),
                                                    QStringLiteral("CSV files (*.csv)"), {});
    if (target.isEmpty()) {
        return;
    }
    std::string error;
    if (!WriteFileSafely(PathBytes(target), CoverageCsv(model_.Table()), &error)) {
        dialogs_.ShowMessage(this, QString::fromLatin1(kMessageTitle), Res(2002),
                             MessageIcon::Critical,
                             target + QStringLiteral(": ") + FromBytes(error));
    }
}

}  // namespace zep
