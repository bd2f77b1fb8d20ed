#pragma once

#include <QDialog>
#include <string>

#include "core/FileData.h"

class QTableWidget;

namespace zep {

// A read-only view of one loaded file's label rows as they stand in memory: position, label,
// match count and deviation. It shows what Sort By ASCII and Compare did before anything is
// saved. The view follows the file under key: its owner shows the file again after every
// change and closes the view when the file leaves the list.
class frmLabels : public QDialog {
    Q_OBJECT

public:
    frmLabels(std::string key, QWidget* owner);

    const std::string& Key() const { return key_; }
    // Shows the record's rows under the file's name; unsaved marks the title as modified.
    void ShowFile(const FileData& record, const QString& fileName, bool unsaved);

    QTableWidget* Table() const { return table_; }

private:
    std::string key_;
    QTableWidget* table_;
};

}  // namespace zep
