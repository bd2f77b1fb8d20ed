#pragma once

#include <QAbstractTableModel>
#include <QDialog>

#include "compare/Coverage.h"
#include "core/Workspace.h"

class QTableView;

namespace zep {

class UserDialogs;

// Cells are made only as the view asks, so a large list costs no more than the rows in sight.
class CoverageModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void SetCoverage(Coverage coverage);
    const Coverage& Table() const { return coverage_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    Coverage coverage_;
};

class frmCoverage : public QDialog {
    Q_OBJECT

public:
    frmCoverage(Workspace& ws, UserDialogs& dialogs, QWidget* owner);

    void ShowCoverage();
    const CoverageModel& Model() const { return model_; }

private:
    void ExportCsv();

    Workspace& ws_;
    UserDialogs& dialogs_;
    CoverageModel model_;
    QTableView* table_;
};

// A label of only blanks would look like an empty cell.
QString VisibleBlankLabel(std::string_view label);

}  // namespace zep
