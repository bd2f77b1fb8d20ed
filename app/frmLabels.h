#pragma once

#include <QDialog>
#include <QPointer>
#include <string>
#include <vector>

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

// The open label views of the main window's files, owned by it and closed with it. Each follows
// its file: shown again after every change of the list, closed once the file has left it.
class LabelViews {
public:
    LabelViews(Workspace& ws, QWidget& owner) : ws_(ws), owner_(owner) {}

    // Opens the view of the listed file under key, or brings its open view to the front.
    void ShowLabelsOf(const std::string& key);
    void FollowLabelViews();
    void CloseAll();

private:
    // False, and the view closed, once its file is no longer listed.
    bool ShowFileIn(frmLabels& view);

    Workspace& ws_;
    QWidget& owner_;
    std::vector<QPointer<frmLabels>> views_;
};

}  // namespace zep
