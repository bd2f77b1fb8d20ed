#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <memory>

#include "app/RecentFiles.h"
#include "app/frmLabels.h"

class QAction;
class QMenu;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace zep {

class DialogMessageSink;
class FileListRows;
class UserDialogs;
class frmCoverage;
struct Program;

class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // Toolbar positions; 5 is the separator.
    enum Button : int { kNewList = 1, kAddFile, kSaveFile, kDeleteFile, kSortASC = 6, kCompare };

    explicit frmMain(Program& program);

    FileListRows& Rows() { return rows_; }
    void AddFiles(const QStringList& paths);
    QAction* ToolbarButton(int position) const {
        return position >= 1 && position <= 7 ? buttons_[std::size_t(position)] : nullptr;
    }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void AddFile();
    void RemoveSelectedFile();
    void SaveSelectedFile();
    void SaveSelectedFileAs();
    void SaveAllFiles();
    void ClearAllFiles();
    void SortSelectedFile();
    void CompareAllFiles();
    void UndoReordering();
    void ShowCoverage();
    // Every command that changed the list or a file ends here, so the views follow.
    void ListChanged();
    // Also every other change of the selected row.
    void RowClicked();

    void UpdateFileMenu();
    void SetButtons(std::initializer_list<int> positions, bool enabled);

    void BuildMenus();
    void BuildToolbar();
    void BuildFileList();
    QMenu* AddMenu(const char* name, const char* text);
    QAction* AddMenuEntry(QMenu* menu, const char* name, const char* text,
                          void (frmMain::*command)(), QKeySequence key = {});

    QTreeWidgetItem* SelectedRow() const;
    bool SelectedRowIsMarked() const;

    Workspace& ws_;
    FileListRows& rows_;
    DialogMessageSink& messages_;
    AppINI& settingsStore_;
    UserDialogs& dialogs_;

    QTreeWidget* lvFile = nullptr;
    QToolBar* tbToolBar = nullptr;
    std::array<QAction*, 8> buttons_{};  // by position, [0] unused
    QMenu* mnuFileItem = nullptr;
    QAction* mnuFileRemove = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileSaveAll = nullptr;
    QAction* mnuFileClear = nullptr;
    QAction* mnuToolsCompare = nullptr;

    bool placementChecked_ = false;
    QPointer<frmCoverage> coverage_;
    std::unique_ptr<RecentFiles> recentFiles_;
};

}  // namespace zep
