#pragma once

#include <QDialog>

#include "core/FileData.h"

class QTableWidget;

namespace zep {

// A read-only view of one loaded file's label rows as they stand in memory: position, label,
// match count and deviation. It shows what Sort By ASCII and Compare did before anything is
// saved.
class frmLabels : public QDialog {
    Q_OBJECT

public:
    frmLabels(const FileData& record, const QString& title, QWidget* owner);

    QTableWidget* Table() const { return table_; }

private:
    QTableWidget* table_;
};

}  // namespace zep
