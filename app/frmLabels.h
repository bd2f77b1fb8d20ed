#pragma once

#include <QDialog>
#include <string>

#include "core/Workspace.h"

class QTableWidget;

namespace zep {

// A read-only view of one file's label rows as they stand in memory, before anything is saved.
class frmLabels : public QDialog {
    Q_OBJECT

public:
    frmLabels(std::string key, QWidget* owner);

    const std::string& Key() const { return key_; }
    void ShowFile(const FileData& record, QString fileName, bool unsaved);

    QTableWidget* Table() const { return table_; }

private:
    std::string key_;
    QTableWidget* table_;
};

// One view per file; closed when the file leaves the list, and with the owner, front first.
void ShowLabelsOf(Workspace& ws, QWidget& owner, const std::string& key);
void FollowLabelViews(Workspace& ws, QWidget& owner);
void CloseLabelViews(QWidget& owner);

}  // namespace zep
