#pragma once

#include <QDialog>
#include <string>

#include "core/Workspace.h"

class QTableWidget;

namespace zep {

// A read-only view of one loaded file's label rows as they stand in memory: position, label,
// match count and deviation. It shows what Sort By ASCII and Compare did before anything is
// saved.
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

// The label views of the owner's files, its children: opened, or brought to the front when
// open; shown again after every change of the list and closed once their file has left it; all
// closed with the owner, the front one first.
void ShowLabelsOf(Workspace& ws, QWidget& owner, const std::string& key);
void FollowLabelViews(Workspace& ws, QWidget& owner);
void CloseLabelViews(QWidget& owner);

}  // namespace zep
