#include "app/frmMain.h"

#include <QAction>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <numeric>

#include "app/ModuleMain.h"
#include "app/QtText.h"
#include "app/WindowPlacement.h"
#include "app/frmAbout.h"
#include "app/frmCoverage.h"
#include "app/frmOptions.h"
#include "compare/LabelSort.h"
#include "compare/ModuleCompare.h"
#include "core/FileListCommands.h"
#include "core/ModuleFileProc.h"
#include "core/RowMarker.h"

// Resources of a static library have to be registered by hand.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace zep {
namespace {

constexpr double kListLeftTwips = 20;
// Milliseconds a window manager is given to frame a newly shown window.
constexpr int kFrameSettles = 250;

QString FileFilter() {
    return Res(1100) + QStringLiteral(" (*.Zep)");
}

}  // namespace

frmMain::frmMain(Program& program)
    : ws_(program.workspace),
      rows_(program.rows),
      messages_(program.messages),
      settingsStore_(program.SettingsStore),
      dialogs_(program.dialogs) {
    setObjectName(QStringLiteral("frmMain"));
    setProperty(kTagProperty, QStringLiteral("100"));
    setWindowTitle(QStringLiteral("frmMain"));
    InitIconResources();
    setWindowIcon(QIcon(QStringLiteral(":/icons/ZEPConverter.png")));
    messages_.parent = this;

    BuildMenus();
    BuildToolbar();
    BuildFileList();
    statusBar()->setObjectName(QStringLiteral("sbStatusBar"));
    rows_.Attach(*lvFile, *statusBar());
    ApplyResStrings(this);
    // Icon-only buttons still name themselves to screen readers and in the overflow menu.
    for (QAction* button : tbToolBar->actions()) {
        button->setIconText(button->toolTip());
    }
    setMinimumSize(ReadableMinimumSize(*this, *lvFile, *tbToolBar));
    RestorePlacement(*this, settingsStore_);
}

QMenu* frmMain::AddMenu(const char* name, const char* text) {
    QMenu* menu = menuBar()->addMenu(QString::fromUtf8(text));
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction* frmMain::AddMenuEntry(QMenu* menu, const char* name, const char* text,
                               void (frmMain::*command)(), QKeySequence key) {
    QAction* entry = menu->addAction(QString::fromUtf8(text));
    entry->setObjectName(QLatin1String(name));
    entry->setShortcut(key);
    if (command != nullptr) {
        connect(entry, &QAction::triggered, this, command);
    }
    return entry;
}

void frmMain::BuildMenus() {
    QMenu* mnuFile = AddMenu("mnuFile", "1000");
    AddMenuEntry(mnuFile, "mnuFileNew", "1001", nullptr)->setVisible(false);
    AddMenuEntry(mnuFile, "mnuFileOpen", "1002", &frmMain::AddFile, Qt::CTRL | Qt::Key_O);
    mnuFileRemove = AddMenuEntry(mnuFile, "mnuFileRemove", "1003", &frmMain::RemoveSelectedFile,
                                 Qt::Key_Delete);
    mnuFile->addSeparator();
    mnuFileSave = AddMenuEntry(mnuFile, "mnuFileSave", "1004", &frmMain::SaveSelectedFile,
                               Qt::CTRL | Qt::Key_S);
    mnuFileSaveAs = AddMenuEntry(mnuFile, "mnuFileSaveAs", "1005", &frmMain::SaveSelectedFileAs,
                                 Qt::CTRL | Qt::SHIFT | Qt::Key_S);
    mnuFile->addSeparator();
    mnuFileSaveAll = AddMenuEntry(mnuFile, "mnuFileSaveAll", "311", &frmMain::SaveAllFiles);
    mnuFile->addSeparator();
    mnuFileClear = AddMenuEntry(mnuFile, "mnuFileClear", "310", &frmMain::ClearAllFiles,
                                Qt::SHIFT | Qt::Key_Delete);
    mnuFile->addSeparator();
    QMenu* mnuFileRecent = mnuFile->addMenu(QStringLiteral("Recen&t Files"));
    mnuFileRecent->setObjectName(QStringLiteral("mnuFileRecent"));
    recentFiles_ = std::make_unique<RecentFiles>(settingsStore_, *mnuFileRecent, messages_,
                                                 [this](const QString& path) { AddFiles({path}); });
    mnuFile->addSeparator();
    QAction* mnuFileExit = AddMenuEntry(mnuFile, "mnuFileExit", "1006", nullptr);
    mnuFileExit->setShortcuts({Qt::CTRL | Qt::Key_X, Qt::CTRL | Qt::Key_Q});
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);

    QMenu* mnuEdit = AddMenu("mnuEdit", "1007");
    mnuEdit->addSeparator();
    mnuEdit->menuAction()->setVisible(false);
    QMenu* mnuView = AddMenu("mnuView", "1008");
    AddMenuEntry(mnuView, "mnuViewWebBrowser", "1010", nullptr);
    mnuView->menuAction()->setVisible(false);

    QMenu* mnuTools = AddMenu("mnuTools", "1011");
    QAction* mnuToolsSort =
        AddMenuEntry(mnuTools, "mnuToolsSort", "303", &frmMain::SortSelectedFile);
    mnuToolsCompare = AddMenuEntry(mnuTools, "mnuToolsCompare", "1009", &frmMain::CompareAllFiles);
    QAction* mnuToolsUndo = AddMenuEntry(mnuTools, "mnuToolsUndo", "&Undo",
                                         &frmMain::UndoReordering, Qt::CTRL | Qt::Key_Z);
    mnuToolsUndo->setEnabled(ws_.history.CanUndo());
    // The workspace outlives the window, hence the guarded pointer.
    ws_.history.OnChange([entry = QPointer<QAction>(mnuToolsUndo), &history = ws_.history] {
        if (entry != nullptr) {
            entry->setEnabled(history.CanUndo());
        }
    });
    AddMenuEntry(mnuTools, "mnuToolsCoverage", "Co&verage...", &frmMain::ShowCoverage);
    mnuTools->addSeparator();
    connect(AddMenuEntry(mnuTools, "mnuToolsOptions", "1012", nullptr), &QAction::triggered, this,
            [this] { frmOptions(ws_.options, settingsStore_, messages_, this).exec(); });
    connect(AddMenuEntry(AddMenu("mnuHelp", "1013"), "mnuHelpAbout", "1014", nullptr, Qt::Key_F1),
            &QAction::triggered, this, [this] { frmAbout(messages_, this).exec(); });

    mnuFileItem = new QMenu(QStringLiteral("300"), this);
    mnuFileItem->setObjectName(QStringLiteral("mnuFileItem"));
    AddMenuEntry(mnuFileItem, "mnuFileItemSort", "303", &frmMain::SortSelectedFile);
    mnuFileItem->addSeparator();
    QAction* mnuFileItemSave =
        AddMenuEntry(mnuFileItem, "mnuFileItemSave", "301", &frmMain::SaveSelectedFile);
    AddMenuEntry(mnuFileItem, "mnuFileItemSaveAs", "302", &frmMain::SaveSelectedFileAs);
    mnuFileItem->addSeparator();
    AddMenuEntry(mnuFileItem, "mnuFileItemRemove", "304", &frmMain::RemoveSelectedFile);

    // As designed: until the menus first open, only Add File, Clear List, Exit and Options act.
    for (QAction* entry : {mnuFileRemove, mnuFileSave, mnuFileSaveAs, mnuFileSaveAll, mnuToolsSort,
                           mnuToolsCompare}) {
        entry->setEnabled(false);
    }
    connect(mnuFile, &QMenu::aboutToShow, this, &frmMain::UpdateFileMenu);
    connect(mnuTools, &QMenu::aboutToShow, this, [this, mnuToolsSort, mnuToolsUndo] {
        const std::int32_t count = ws_.store.FileCount();
        mnuToolsSort->setEnabled(count >= 1);
        mnuToolsCompare->setEnabled(count >= 2);
        mnuToolsUndo->setEnabled(ws_.history.CanUndo());
    });
    connect(mnuFileItem, &QMenu::aboutToShow, this,
            [this, mnuFileItemSave] { mnuFileItemSave->setEnabled(SelectedRowIsMarked()); });
}

void frmMain::BuildToolbar() {
    tbToolBar = addToolBar(QStringLiteral("tbToolBar"));
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->toggleViewAction()->setVisible(false);
    struct Design {
        const char* key;
        int tip;
        void (frmMain::*command)();
    };
    static constexpr Design kButtons[] = {{"NewList", 1015, &frmMain::ClearAllFiles},
                                          {"AddFile", 1016, &frmMain::AddFile},
                                          {"SaveFile", 1017, &frmMain::SaveSelectedFile},
                                          {"DeleteFile", 1018, &frmMain::RemoveSelectedFile},
                                          {"SortASC", 1019, &frmMain::SortSelectedFile},
                                          {"Compare", 1020, &frmMain::CompareAllFiles}};
    std::size_t position = 1;
    for (const Design& design : kButtons) {
        if (position == 5) {
            buttons_[position++] = tbToolBar->addSeparator();
        }
        const QIcon imlToolbarIcons(QStringLiteral(":/icons/%1.png").arg(design.key));
        QAction* button = tbToolBar->addAction(imlToolbarIcons, QString());
        button->setObjectName(QLatin1String(design.key));
        button->setToolTip(QString::number(design.tip));
        connect(button, &QAction::triggered, this, design.command);
        buttons_[position++] = button;
    }
    SetButtons({kNewList, kSaveFile, kDeleteFile, kSortASC, kCompare}, false);
}

void frmMain::BuildFileList() {
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    setCentralWidget(central);
    lvFile = new QTreeWidget(central);
    lvFile->setObjectName(QStringLiteral("lvFile"));
    lvFile->setRootIsDecorated(false);
    lvFile->setUniformRowHeights(true);
    lvFile->setAllColumnsShowFocus(true);
    lvFile->setSelectionMode(QAbstractItemView::SingleSelection);
    lvFile->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFile->setContextMenuPolicy(Qt::PreventContextMenu);
    lvFile->setHeaderLabels({QStringLiteral("ColumnHeader1"), QStringLiteral("ColumnHeader2")});
    QTreeWidgetItem* header = lvFile->headerItem();
    header->setData(0, kColumnTagRole, QStringLiteral("200"));
    header->setData(1, kColumnTagRole, QStringLiteral("201"));
    lvFile->setColumnWidth(0, 160);
    lvFile->move(ToPixels(kListLeftTwips, TwipsPerPixel(*this).x()), 0);
    connect(lvFile, &QTreeWidget::itemClicked, this, &frmMain::RowClicked);
    connect(lvFile, &QTreeWidget::itemSelectionChanged, this, &frmMain::RowClicked);
    const auto showLabels = [this](QTreeWidgetItem* row) {
        zep::ShowLabelsOf(ws_, *this, FileListRows::KeyOf(row));
    };
    connect(lvFile, &QTreeWidget::itemDoubleClicked, this, showLabels);
    new FileListInput(*lvFile, {showLabels,
                                [this](const QPoint& where) {
                                    if (ws_.store.FileCount() >= 1) {
                                        mnuFileItem->popup(where);
                                    }
                                },
                                [this](const QStringList& paths) { AddFiles(paths); },
                                mnuFileSave->shortcuts() + mnuFileSaveAs->shortcuts(),
                                [this] { UpdateFileMenu(); }});
}

void frmMain::SetButtons(std::initializer_list<int> positions, bool enabled) {
    for (int position : positions) {
        ToolbarButton(position)->setEnabled(enabled);
    }
}

QTreeWidgetItem* frmMain::SelectedRow() const {
    return lvFile->selectedItems().value(0);
}

bool frmMain::SelectedRowIsMarked() const {
    const QTreeWidgetItem* row = SelectedRow();
    return row != nullptr && IsMarked(FileListRows::TextOf(row));
}

void frmMain::AddFile() {
    const QStringList paths =
        dialogs_.GetOpenFileNames(this, Res(1101), FileFilter(), recentFiles_->DialogFolder());
    if (!paths.isEmpty()) {
        recentFiles_->RememberFolderOf(paths.constFirst());
    }
    AddFiles(paths);
}

void frmMain::AddFiles(const QStringList& paths) {
    std::vector<std::string> keys;
    for (const QString& path : paths) {
        if (!path.isEmpty()) {
            keys.push_back(KeyForPath(PathBytes(path)));
        }
    }
    const std::int32_t before = ws_.store.FileCount();
    const std::vector<bool> added = zep::AddFiles(ws_, keys);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (added[i]) {
            recentFiles_->Added(keys[i]);
        }
    }
    const std::int32_t count = ws_.store.FileCount();
    if (before < 1 && count >= 1) {
        SetButtons({kNewList, kSaveFile, kSortASC, kDeleteFile}, true);
    }
    if (before < 2 && count >= 2) {
        mnuToolsCompare->setEnabled(true);
        SetButtons({kCompare}, true);
    }
    ListChanged();
}

void frmMain::RemoveSelectedFile() {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr) {
        return;
    }
    RemoveFile(ws_, FileListRows::KeyOf(row), rows_.PositionOf(row), FileListRows::TagOf(row));
    const std::int32_t count = ws_.store.FileCount();
    SetButtons({kCompare}, count >= 2);
    if (count == 0) {
        SetButtons({kNewList, kSaveFile, kSortASC, kDeleteFile}, false);
    }
    ListChanged();
}

// A row whose file could not be written keeps its marker: the changes are only in memory.
void frmMain::SaveSelectedFile() {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr) {
        return;
    }
    const std::string key = FileListRows::KeyOf(row);
    if (WriteZEPFile(ws_, key, key, FileListRows::TagOf(row))) {
        UnmarkRow(rows_, rows_.PositionOf(row));
        SetButtons({kSaveFile}, false);
        ListChanged();
        rows_.ShowSavedFile(key);
    }
}

void frmMain::SaveSelectedFileAs() {
    const QString target =
        dialogs_.GetSaveFileName(this, Res(1102), FileFilter(), recentFiles_->DialogFolder());
    if (target.isEmpty()) {
        return;
    }
    recentFiles_->RememberFolderOf(target);
    const QTreeWidgetItem* row = SelectedRow();
    const std::string path = PathBytes(target);
    if (row != nullptr &&
        WriteZEPFile(ws_, path, FileListRows::KeyOf(row), FileListRows::TagOf(row))) {
        rows_.ShowSavedFile(path);
    }
}

void frmMain::SaveAllFiles() {
    const std::vector<bool> saved = zep::SaveAllFiles(ws_);
    const QTreeWidgetItem* selected = SelectedRow();
    if (selected == nullptr || saved[static_cast<std::size_t>(rows_.PositionOf(selected) - 1)]) {
        SetButtons({kSaveFile}, false);
    }
    ListChanged();
    rows_.ShowSavedCount(static_cast<std::size_t>(std::count(saved.begin(), saved.end(), true)));
}

void frmMain::ClearAllFiles() {
    if (ws_.store.FileCount() > 0) {
        ClearList(ws_);
    }
    SetButtons({kNewList, kSaveFile, kSortASC, kDeleteFile, kCompare}, false);
    ListChanged();
}

// Remembered before it starts, so Undo can take it back; a failed one changed nothing.
void frmMain::SortSelectedFile() {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr) {
        return;
    }
    ws_.history.Remember(ws_, {FileListRows::TagOf(row)});
    if (!SortByAscii(ws_, FileListRows::TagOf(row))) {
        ws_.history.DropLast();
        return;
    }
    MarkRow(rows_, rows_.PositionOf(row));
    ListChanged();
    messages_.ShowMessage(ResString(2006), MessageIcon::Information, {});
}

void frmMain::CompareAllFiles() {
    std::vector<std::int32_t> indices(static_cast<std::size_t>(ws_.store.FileCount()));
    std::iota(indices.begin(), indices.end(), 1);
    ws_.history.Remember(ws_, indices);
    if (!CompareFiles(ws_)) {
        ws_.history.DropLast();
        return;
    }
    for (std::int32_t position = 1; position <= rows_.RowCount(); ++position) {
        MarkRow(rows_, position);
    }
    ListChanged();
    messages_.ShowMessage(ResString(2005), MessageIcon::Information, {});
}

void frmMain::UndoReordering() {
    if (ws_.history.Undo(ws_)) {
        RowClicked();
        ListChanged();
    }
}

void frmMain::ListChanged() {
    FollowLabelViews(ws_, *this);
    if (!coverage_.isNull()) {
        coverage_->ShowCoverage();
    }
}

void frmMain::ShowCoverage() {
    if (coverage_.isNull()) {
        coverage_ = new frmCoverage(ws_, dialogs_, this);
    }
    coverage_->ShowCoverage();
    coverage_->show();
    coverage_->raise();
    coverage_->activateWindow();
}

void frmMain::RowClicked() {
    SetButtons({kSaveFile}, SelectedRowIsMarked());
}

void frmMain::UpdateFileMenu() {
    const bool any = ws_.store.FileCount() > 0;
    for (QAction* entry : {mnuFileSaveAll, mnuFileRemove, mnuFileClear, mnuFileSaveAs}) {
        entry->setEnabled(any);
    }
    mnuFileSave->setEnabled(any && SelectedRowIsMarked());
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FollowOuterSize(*lvFile, *this);
}

// The frame is known only once the window manager has framed the shown window.
void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!placementChecked_) {
        placementChecked_ = true;
        QTimer::singleShot(kFrameSettles, this, [this] { FitFrameOnScreen(*this); });
    }
}

void frmMain::closeEvent(QCloseEvent* /*event*/) {
    if (!coverage_.isNull()) {
        coverage_->close();
    }
    CloseLabelViews(*this);
    recentFiles_->Store();
    SavePlacement(*this, settingsStore_);
}

}  // namespace zep
