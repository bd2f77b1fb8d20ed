#pragma once

#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/FileListRows.h"
#include "app/SaveSign.h"
#include "app/UserDialogs.h"
#include "core/Workspace.h"
#include "support/AppINI.h"

class QAction;
class QLabel;
class QMenu;
class QTimer;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

namespace zep {

class frmLabels;

// The main window: the list of loaded files, the commands in menus, toolbar and pop-up menu, and
// the status bar. Its rows are what the core operations add rows to and remove them from.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    // Toolbar positions; 5 is the separator.
    enum Button : int {
        kNewList = 1,
        kAddFile = 2,
        kSaveFile = 3,
        kDeleteFile = 4,
        kSortASC = 6,
        kCompare = 7,
    };

    // ws and settingsStore outlive the window. Loading puts the interface texts on the window
    // and moves it to the position kept in the settings store.
    frmMain(Workspace& ws, AppINI& settingsStore, UserDialogs& dialogs, QWidget* parent = nullptr);
    ~frmMain() override;

    MessageSink& Messages() { return messages_; }

    // Adds the files in order, each as Add File adds it (the program's command line).
    void AddFilesByPath(const QStringList& paths) { AddFiles(paths); }

    // The rows of lvFile and the status bar's first panel.
    FileListRows& Rows() { return *rows_; }

    // The toolbar button at a position 1..7 (the separator at 5 included).
    QAction* ToolbarButton(int position) const;

    // Twips of one pixel on the window's screen, across and down.
    double TwipsPerPixelX() const;
    double TwipsPerPixelY() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Commands.
    void AddFile();
    void AddFiles(const QStringList& paths);
    void RemoveSelectedFile();
    void SaveSelectedFile();
    void SaveSelectedFileAs();
    void SaveAllFiles();
    void ClearAllFiles();
    void SortSelectedFile();
    void CompareAllFiles();
    void UndoReordering();
    void ShowOptions();
    void ShowAbout();
    void ShowLabelsOf(QTreeWidgetItem* row);
    // A click on a row, and every other change of the selected row, which counts as one.
    void RowClicked();
    void ToolbarButtonClicked(QAction* button);

    // Enabling rules, brought up to date as each menu opens.
    void UpdateFileMenu();
    void UpdateToolsMenu();
    void UpdateFileItemMenu();
    void SetButtons(std::initializer_list<int> positions, bool enabled);

    // The label views follow their files: shown again after a change, closed once the file has
    // left the list.
    void FollowLabelViews();
    frmLabels* LabelViewOf(const std::string& key) const;
    void ShowFileIn(frmLabels& view, const QTreeWidgetItem& row);

    // The folder the file dialogs open in: the one used last, in this run or an earlier one.
    QString DialogFolder() const;
    void RememberFolderOf(const QString& path);

    // Building the window.
    void BuildMenus();
    void BuildToolbar();
    void BuildFileList();
    void BuildStatusBar();
    void LoadIcons();
    void SetReadableMinimumSize();
    QAction* AddMenuEntry(QMenu* menu, const char* name, int textNumber);

    // The selected row, or nullptr.
    QTreeWidgetItem* SelectedRow() const;
    QTreeWidgetItem* RowAt(std::int32_t position) const { return rows_->RowAt(position); }
    QTreeWidgetItem* RowWithKey(std::string_view key) const { return rows_->RowWithKey(key); }
    std::int32_t PositionOf(const QTreeWidgetItem* row) const { return rows_->PositionOf(row); }
    static std::string TextOf(const QTreeWidgetItem* row) { return FileListRows::TextOf(row); }
    static std::string KeyOf(const QTreeWidgetItem* row) { return FileListRows::KeyOf(row); }
    static std::int32_t TagOf(const QTreeWidgetItem* row) { return FileListRows::TagOf(row); }
    void MarkRow(QTreeWidgetItem* row);
    void UnmarkRow(QTreeWidgetItem* row);
    bool WriteRowTo(const std::string& target, const QTreeWidgetItem* row);
    // After the files were added: the buttons that need one or two files follow the count.
    void FollowFileCount(std::int32_t countBefore);

    void ReadWindowPosition();
    void SaveWindowPosition();
    void ApplyOuterBounds();
    static void BringOnScreen(QRect& bounds);
    void ResizeFileList();
    void ShowClock();
    bool AcceptsDroppedFiles(const QEvent* event) const;
    void DropFiles(QEvent* event);

    Workspace& ws_;
    AppINI& settingsStore_;
    UserDialogs& dialogs_;
    DialogMessageSink messages_;

    QTreeWidget* lvFile = nullptr;
    QToolBar* tbToolBar = nullptr;
    std::array<QAction*, 8> buttons_{};  // by position, [0] unused
    std::vector<QIcon> imlToolbarIcons;
    QLabel* statusText_ = nullptr;
    std::unique_ptr<FileListRows> rows_;
    SaveSign* saveSign_ = nullptr;
    QLabel* statusDate_ = nullptr;
    QLabel* statusTime_ = nullptr;
    QTimer* clock_ = nullptr;

    QMenu* mnuFile = nullptr;
    QMenu* mnuTools = nullptr;
    QMenu* mnuFileItem = nullptr;
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileRemove = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileSaveAll = nullptr;
    QAction* mnuFileClear = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuToolsSort = nullptr;
    QAction* mnuToolsCompare = nullptr;
    QAction* mnuToolsUndo = nullptr;
    QAction* mnuToolsOptions = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QAction* mnuFileItemSort = nullptr;
    QAction* mnuFileItemSave = nullptr;
    QAction* mnuFileItemSaveAs = nullptr;
    QAction* mnuFileItemRemove = nullptr;

    // The outer bounds read from the settings, in pixels, applied again once the window frame
    // is known.
    QRect loadedBounds_;
    bool boundsApplied_ = false;
    // Windows opened from this one, closed with it, the most recent first.
    std::vector<QPointer<QWidget>> ownedWindows_;
    // The folder of the last file chosen in a file dialog, as bytes of the file system; stored
    // when the window closes, if it changed.
    std::string lastFolder_;
    bool folderChanged_ = false;
};

}  // namespace zep
