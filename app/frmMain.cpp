#include "app/frmMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTime>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "app/ApplyResStrings.h"
#include "app/FullTextTips.h"
#include "app/ProgramLauncher.h"
#include "app/Registry.h"
#include "app/frmAbout.h"
#include "app/frmLabels.h"
#include "app/frmOptions.h"
#include "compare/LabelSort.h"
#include "compare/ModuleCompare.h"
#include "core/FileListCommands.h"
#include "core/ModuleFileProc.h"
#include "core/RowMarker.h"
#include "support/AppSettings.h"
#include "support/StringTable.h"

// The icons live in this static library; its resources have to be registered by hand.
static void InitIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace zep {
namespace {

constexpr char kMarker[] = "* ";

// Layout of the window, in twips.
constexpr double kListLeft = 20;
constexpr double kListWidthLess = 200;
constexpr double kListHeightLess = 1500;

// The window never gets smaller than this, in pixels, whatever its contents need.
constexpr int kMinWidth = 300;
constexpr int kMinHeight = 200;
// Rows of the list that stay in view at the smallest size.
constexpr int kMinListRows = 2;
// The largest label count the status bar keeps room for at the smallest size.
constexpr char kWidestMaxNumber[] = "999999";

QString Res(std::int32_t id) {
    const std::string_view text = ResString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FileFilter() {
    return Res(1100) + QStringLiteral(" (*.Zep)");
}

QString FromBytes(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QByteArray Bytes(std::string_view text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

int ToPixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

std::int32_t ToTwips(int pixels, double twipsPerPixel) {
    return static_cast<std::int32_t>(std::lround(pixels * twipsPerPixel));
}

bool IsCoordinateFile(const QUrl& url) {
    return url.isLocalFile() &&
           url.toLocalFile().endsWith(QStringLiteral(".Zep"), Qt::CaseInsensitive);
}

}  // namespace

frmMain::frmMain(Workspace& ws, AppINI& settingsStore, UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      settingsStore_(settingsStore),
      dialogs_(dialogs),
      messages_(dialogs, this) {
    setObjectName(QStringLiteral("frmMain"));
    setProperty(kTagProperty, QStringLiteral("100"));
    setWindowTitle(QStringLiteral("frmMain"));
    InitIconResources();
    setWindowIcon(QIcon(QStringLiteral(":/icons/ZEPConverter.png")));

    LoadIcons();
    BuildMenus();
    BuildToolbar();
    BuildFileList();
    BuildStatusBar();
    rows_ = std::make_unique<FileListRows>(*lvFile, *statusText_);

    ApplyResStrings(this);
    // Icon-only buttons still name themselves to screen readers and in the overflow menu.
    for (QAction* button : tbToolBar->actions()) {
        button->setIconText(button->toolTip());
    }
    SetReadableMinimumSize();
    lastFolder_ = ReadLastFolder(settingsStore_);
    ReadWindowPosition();
}

frmMain::~frmMain() = default;

void frmMain::LoadIcons() {
    for (const char* name :
         {"NewList", "AddFile", "SaveFile", "DeleteFile", "SortASC", "Compare"}) {
        imlToolbarIcons.emplace_back(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)));
    }
}

QAction* frmMain::AddMenuEntry(QMenu* menu, const char* name, int textNumber) {
    QAction* entry = menu->addAction(QString::number(textNumber));
    entry->setObjectName(QLatin1String(name));
    return entry;
}

void frmMain::BuildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("1000"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    AddMenuEntry(mnuFile, "mnuFileNew", 1001)->setVisible(false);
    mnuFileOpen = AddMenuEntry(mnuFile, "mnuFileOpen", 1002);
    mnuFileRemove = AddMenuEntry(mnuFile, "mnuFileRemove", 1003);
    mnuFile->addSeparator();
    mnuFileSave = AddMenuEntry(mnuFile, "mnuFileSave", 1004);
    mnuFileSaveAs = AddMenuEntry(mnuFile, "mnuFileSaveAs", 1005);
    mnuFile->addSeparator();
    mnuFileSaveAll = AddMenuEntry(mnuFile, "mnuFileSaveAll", 311);
    mnuFile->addSeparator();
    mnuFileClear = AddMenuEntry(mnuFile, "mnuFileClear", 310);
    mnuFile->addSeparator();
    mnuFileExit = AddMenuEntry(mnuFile, "mnuFileExit", 1006);

    QMenu* mnuEdit = menuBar()->addMenu(QStringLiteral("1007"));
    mnuEdit->setObjectName(QStringLiteral("mnuEdit"));
    mnuEdit->addSeparator();
    mnuEdit->menuAction()->setVisible(false);
    QMenu* mnuView = menuBar()->addMenu(QStringLiteral("1008"));
    mnuView->setObjectName(QStringLiteral("mnuView"));
    AddMenuEntry(mnuView, "mnuViewWebBrowser", 1010);
    mnuView->menuAction()->setVisible(false);

    mnuTools = menuBar()->addMenu(QStringLiteral("1011"));
    mnuTools->setObjectName(QStringLiteral("mnuTools"));
    mnuToolsSort = AddMenuEntry(mnuTools, "mnuToolsSort", 303);
    mnuToolsCompare = AddMenuEntry(mnuTools, "mnuToolsCompare", 1009);
    mnuToolsUndo = mnuTools->addAction(QStringLiteral("&Undo"));
    mnuToolsUndo->setObjectName(QStringLiteral("mnuToolsUndo"));
    mnuToolsUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    mnuToolsUndo->setEnabled(ws_.history.CanUndo());
    // The entry, and with it its shortcut, follows every command that adds to the history or
    // forgets it. The workspace outlives the window.
    ws_.history.OnChange([entry = QPointer<QAction>(mnuToolsUndo), &history = ws_.history] {
        if (entry != nullptr) {
            entry->setEnabled(history.CanUndo());
        }
    });
    mnuTools->addSeparator();
    mnuToolsOptions = AddMenuEntry(mnuTools, "mnuToolsOptions", 1012);

    QMenu* mnuHelp = menuBar()->addMenu(QStringLiteral("1013"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpAbout = AddMenuEntry(mnuHelp, "mnuHelpAbout", 1014);

    mnuFileItem = new QMenu(QStringLiteral("300"), this);
    mnuFileItem->setObjectName(QStringLiteral("mnuFileItem"));
    mnuFileItemSort = AddMenuEntry(mnuFileItem, "mnuFileItemSort", 303);
    mnuFileItem->addSeparator();
    mnuFileItemSave = AddMenuEntry(mnuFileItem, "mnuFileItemSave", 301);
    mnuFileItemSaveAs = AddMenuEntry(mnuFileItem, "mnuFileItemSaveAs", 302);
    mnuFileItem->addSeparator();
    mnuFileItemRemove = AddMenuEntry(mnuFileItem, "mnuFileItemRemove", 304);

    mnuFileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    mnuFileRemove->setShortcut(QKeySequence(Qt::Key_Delete));
    mnuFileClear->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    mnuFileExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));

    // As designed: until the menus first open, only Add File, Clear List and Exit of the File
    // menu, and Options of the Tools menu, can act.
    for (QAction* entry : {mnuFileRemove, mnuFileSave, mnuFileSaveAs, mnuFileSaveAll, mnuToolsSort,
                           mnuToolsCompare}) {
        entry->setEnabled(false);
    }

    connect(mnuFile, &QMenu::aboutToShow, this, &frmMain::UpdateFileMenu);
    connect(mnuTools, &QMenu::aboutToShow, this, &frmMain::UpdateToolsMenu);
    connect(mnuFileItem, &QMenu::aboutToShow, this, &frmMain::UpdateFileItemMenu);

    connect(mnuFileOpen, &QAction::triggered, this, &frmMain::AddFile);
    connect(mnuFileRemove, &QAction::triggered, this, &frmMain::RemoveSelectedFile);
    connect(mnuFileSave, &QAction::triggered, this, &frmMain::SaveSelectedFile);
    connect(mnuFileSaveAs, &QAction::triggered, this, &frmMain::SaveSelectedFileAs);
    connect(mnuFileSaveAll, &QAction::triggered, this, &frmMain::SaveAllFiles);
    connect(mnuFileClear, &QAction::triggered, this, &frmMain::ClearAllFiles);
    connect(mnuFileExit, &QAction::triggered, this, &QWidget::close);
    connect(mnuToolsSort, &QAction::triggered, this, &frmMain::SortSelectedFile);
    connect(mnuToolsCompare, &QAction::triggered, this, &frmMain::CompareAllFiles);
    connect(mnuToolsUndo, &QAction::triggered, this, &frmMain::UndoReordering);
    connect(mnuToolsOptions, &QAction::triggered, this, &frmMain::ShowOptions);
    connect(mnuHelpAbout, &QAction::triggered, this, &frmMain::ShowAbout);
    connect(mnuFileItemSort, &QAction::triggered, this, &frmMain::SortSelectedFile);
    connect(mnuFileItemSave, &QAction::triggered, this, &frmMain::SaveSelectedFile);
    connect(mnuFileItemSaveAs, &QAction::triggered, this, &frmMain::SaveSelectedFileAs);
    connect(mnuFileItemRemove, &QAction::triggered, this, &frmMain::RemoveSelectedFile);
}

void frmMain::BuildToolbar() {
    tbToolBar = addToolBar(QStringLiteral("tbToolBar"));
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setMovable(false);
    tbToolBar->setFloatable(false);
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::PreventContextMenu);

    struct Design {
        const char* key;
        int icon;  // 1-based into imlToolbarIcons
        int tip;
    };
    constexpr std::array<Design, 6> kButtons{{{"NewList", 1, 1015},
                                              {"AddFile", 2, 1016},
                                              {"SaveFile", 3, 1017},
                                              {"DeleteFile", 4, 1018},
                                              {"SortASC", 5, 1019},
                                              {"Compare", 6, 1020}}};
    int position = 1;
    for (const Design& design : kButtons) {
        if (position == 5) {
            buttons_[5] = tbToolBar->addSeparator();
            ++position;
        }
        QAction* button = tbToolBar->addAction(
            imlToolbarIcons[static_cast<std::size_t>(design.icon - 1)], QString());
        button->setObjectName(QLatin1String(design.key));
        button->setData(QLatin1String(design.key));
        button->setToolTip(QString::number(design.tip));
        buttons_[static_cast<std::size_t>(position)] = button;
        ++position;
    }
    SetButtons({kNewList, kSaveFile, kDeleteFile, kSortASC, kCompare}, false);
    connect(tbToolBar, &QToolBar::actionTriggered, this, &frmMain::ToolbarButtonClicked);
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
    lvFile->setColumnCount(2);
    QTreeWidgetItem* header = lvFile->headerItem();
    header->setText(0, QStringLiteral("ColumnHeader1"));
    header->setText(1, QStringLiteral("ColumnHeader2"));
    header->setData(0, kColumnTagRole, QStringLiteral("200"));
    header->setData(1, kColumnTagRole, QStringLiteral("201"));
    lvFile->setColumnWidth(0, 160);
    lvFile->move(ToPixels(kListLeft, TwipsPerPixelX()), 0);
    lvFile->viewport()->setAcceptDrops(true);
    lvFile->viewport()->installEventFilter(this);
    lvFile->setItemDelegate(new FullTextTips(lvFile));

    connect(lvFile, &QTreeWidget::itemClicked, this, &frmMain::RowClicked);
    connect(lvFile, &QTreeWidget::itemSelectionChanged, this, &frmMain::RowClicked);
    connect(lvFile, &QTreeWidget::itemDoubleClicked, this, &frmMain::ShowLabelsOf);
}

void frmMain::BuildStatusBar() {
    QStatusBar* sbStatusBar = statusBar();
    sbStatusBar->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBar->setSizeGripEnabled(true);
    statusText_ = new QLabel(QStringLiteral("Ready"), sbStatusBar);
    statusText_->setObjectName(QStringLiteral("sbStatusBarText"));
    statusDate_ = new QLabel(sbStatusBar);
    statusDate_->setObjectName(QStringLiteral("sbStatusBarDate"));
    statusTime_ = new QLabel(sbStatusBar);
    statusTime_->setObjectName(QStringLiteral("sbStatusBarTime"));
    statusText_->setMinimumWidth(
        statusText_->fontMetrics().horizontalAdvance(Res(2004) + QLatin1String(kWidestMaxNumber)));
    sbStatusBar->addWidget(statusText_, 1);
    saveSign_ = new SaveSign(*sbStatusBar);
    sbStatusBar->addPermanentWidget(statusDate_);
    sbStatusBar->addPermanentWidget(statusTime_);
    ShowClock();
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &frmMain::ShowClock);
    clock_->start();
}

void frmMain::ShowClock() {
    const QLocale locale;
    statusDate_->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    statusTime_->setText(locale.toString(QTime::currentTime(), QLocale::ShortFormat));
}

QAction* frmMain::ToolbarButton(int position) const {
    if (position < 1 || position > 7) {
        return nullptr;
    }
    return buttons_[static_cast<std::size_t>(position)];
}

void frmMain::SetButtons(std::initializer_list<int> positions, bool enabled) {
    for (int position : positions) {
        ToolbarButton(position)->setEnabled(enabled);
    }
}

// ---------------------------------------------------------------------------------------------
// Rows

QTreeWidgetItem* frmMain::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = lvFile->selectedItems();
    return selected.isEmpty() ? nullptr : selected.constFirst();
}

void frmMain::MarkRow(QTreeWidgetItem* row) {
    zep::MarkRow(*rows_, PositionOf(row));
}

void frmMain::UnmarkRow(QTreeWidgetItem* row) {
    zep::UnmarkRow(*rows_, PositionOf(row));
}

// ---------------------------------------------------------------------------------------------
// Commands

void frmMain::ToolbarButtonClicked(QAction* button) {
    const QString key = button->data().toString();
    if (key == QLatin1String("NewList")) {
        ClearAllFiles();
    } else if (key == QLatin1String("AddFile")) {
        AddFile();
    } else if (key == QLatin1String("SaveFile")) {
        SaveSelectedFile();
    } else if (key == QLatin1String("DeleteFile")) {
        RemoveSelectedFile();
    } else if (key == QLatin1String("SortASC")) {
        SortSelectedFile();
    } else if (key == QLatin1String("Compare")) {
        CompareAllFiles();
    }
}

void frmMain::AddFile() {
    const QStringList paths =
        dialogs_.GetOpenFileNames(this, Res(1101), FileFilter(), DialogFolder());
    if (!paths.isEmpty()) {
        RememberFolderOf(paths.constFirst());
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
    zep::AddFiles(ws_, keys);
    FollowFileCount(before);
}

void frmMain::FollowFileCount(std::int32_t countBefore) {
    const std::int32_t count = ws_.store.FileCount();
    if (countBefore < 1 && count >= 1) {
        SetButtons({kNewList, kSaveFile, kSortASC, kDeleteFile}, true);
    }
    if (countBefore < 2 && count >= 2) {
        mnuToolsCompare->setEnabled(true);
        SetButtons({kCompare}, true);
    }
}

void frmMain::RemoveSelectedFile() {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr) {
        return;
    }
    RemoveFile(ws_, KeyOf(row), PositionOf(row), TagOf(row));
    const std::int32_t count = ws_.store.FileCount();
    if (count < 2) {
        SetButtons({kCompare}, false);
    }
    if (count == 0) {
        SetButtons({kNewList, kSaveFile, kSortASC, kDeleteFile}, false);
    }
    FollowLabelViews();
}

bool frmMain::WriteRowTo(const std::string& target, const QTreeWidgetItem* row) {
    return WriteZEPFile(ws_, target, KeyOf(row), TagOf(row));
}

// A row whose file could not be written keeps its marker: the writer has told the user, and
// the changes are still only in memory.
void frmMain::SaveSelectedFile() {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr || !WriteRowTo(KeyOf(row), row)) {
        return;
    }
    UnmarkRow(row);
    SetButtons({kSaveFile}, false);
    FollowLabelViews();
    saveSign_->ShowSavedFile(KeyOf(row));
}

void frmMain::SaveSelectedFileAs() {
    const QString target = dialogs_.GetSaveFileName(this, Res(1102), FileFilter(), DialogFolder());
    if (!target.isEmpty()) {
        RememberFolderOf(target);
    }
    QTreeWidgetItem* row = SelectedRow();
    if (target.isEmpty() || row == nullptr) {
        return;
    }
    const std::string path = PathBytes(target);
    if (WriteRowTo(path, row)) {
        saveSign_->ShowSavedFile(path);
    }
}

void frmMain::SaveAllFiles() {
    const std::vector<bool> saved = zep::SaveAllFiles(ws_);
    const QTreeWidgetItem* selected = SelectedRow();
    if (selected == nullptr || saved[static_cast<std::size_t>(PositionOf(selected) - 1)]) {
        SetButtons({kSaveFile}, false);
    }
    FollowLabelViews();
    saveSign_->ShowSavedCount(
        static_cast<std::size_t>(std::count(saved.begin(), saved.end(), true)));
}

void frmMain::ClearAllFiles() {
    if (ws_.store.FileCount() > 0) {
        ClearList(ws_);
    }
    SetButtons({kNewList, kSaveFile, kSortASC, kDeleteFile, kCompare}, false);
    FollowLabelViews();
}

// A reordering is remembered before it starts, so that Undo can take it back; one that failed
// changed nothing and is forgotten again.
void frmMain::SortSelectedFile() {
    QTreeWidgetItem* row = SelectedRow();
    if (row == nullptr) {
        return;
    }
    ws_.history.Remember(ws_, {TagOf(row)});
    if (!SortByAscii(ws_, TagOf(row))) {
        ws_.history.DropLast();
        return;
    }
    MarkRow(row);
    FollowLabelViews();
    messages_.ShowMessage(ResString(2006), MessageIcon::Information, {});
}

void frmMain::CompareAllFiles() {
    std::vector<std::int32_t> indices;
    for (std::int32_t index = 1; index <= ws_.store.FileCount(); ++index) {
        indices.push_back(index);
    }
    ws_.history.Remember(ws_, indices);
    if (!CompareFiles(ws_)) {
        ws_.history.DropLast();
        return;
    }
    for (int i = 0; i < lvFile->topLevelItemCount(); ++i) {
        MarkRow(lvFile->topLevelItem(i));
    }
    FollowLabelViews();
    messages_.ShowMessage(ResString(2005), MessageIcon::Information, {});
}

// The rows' markers are back as they were; the Save button follows the selected one's.
void frmMain::UndoReordering() {
    if (!ws_.history.Undo(ws_)) {
        return;
    }
    RowClicked();
    FollowLabelViews();
}

void frmMain::ShowOptions() {
    frmOptions options(ws_.options, settingsStore_, messages_, this);
    options.exec();
}

void frmMain::ShowAbout() {
    const std::unique_ptr<Registry> registry = PlatformRegistry();
    DetachedProcessLauncher launcher;
    frmAbout about(*registry, launcher, messages_, this);
    about.exec();
}

// A second double-click on a file brings its view to the front instead of opening another.
void frmMain::ShowLabelsOf(QTreeWidgetItem* row) {
    if (ws_.store.Record(TagOf(row)) == nullptr) {
        return;
    }
    frmLabels* view = LabelViewOf(KeyOf(row));
    if (view == nullptr) {
        std::erase_if(ownedWindows_,
                      [](const QPointer<QWidget>& window) { return window.isNull(); });
        view = new frmLabels(KeyOf(row), this);
        ownedWindows_.emplace_back(view);
    }
    ShowFileIn(*view, *row);
    view->show();
    view->raise();
    view->activateWindow();
}

frmLabels* frmMain::LabelViewOf(const std::string& key) const {
    for (const QPointer<QWidget>& window : ownedWindows_) {
        auto* view = qobject_cast<frmLabels*>(window.data());
        if (view != nullptr && view->isVisible() && view->Key() == key) {
            return view;
        }
    }
    return nullptr;
}

void frmMain::ShowFileIn(frmLabels& view, const QTreeWidgetItem& row) {
    const FileData* record = ws_.store.Record(TagOf(&row));
    const clsZEPFileItem* item = ws_.ZEPFiles.Item().Find(KeyOf(&row));
    if (record == nullptr || item == nullptr) {
        view.close();
        return;
    }
    view.ShowFile(*record, FromBytes(item->Title()),
                  TextOf(&row).find(kMarker) != std::string::npos);
}

// Views closed by the user are on their way out and left alone.
void frmMain::FollowLabelViews() {
    for (const QPointer<QWidget>& window : ownedWindows_) {
        auto* view = qobject_cast<frmLabels*>(window.data());
        if (view == nullptr || !view->isVisible()) {
            continue;
        }
        if (const QTreeWidgetItem* row = RowWithKey(view->Key())) {
            ShowFileIn(*view, *row);
        } else {
            view->close();
        }
    }
}

QString frmMain::DialogFolder() const {
    const QString folder = QFile::decodeName(Bytes(lastFolder_));
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void frmMain::RememberFolderOf(const QString& path) {
    const std::string folder = PathBytes(QFileInfo(path).absolutePath());
    folderChanged_ = folderChanged_ || folder != lastFolder_;
    lastFolder_ = folder;
}

void frmMain::RowClicked() {
    const QTreeWidgetItem* row = SelectedRow();
    SetButtons({kSaveFile}, row != nullptr && IsMarked(TextOf(row)));
}

// ---------------------------------------------------------------------------------------------
// Enabling rules of the menus

void frmMain::UpdateFileMenu() {
    const bool any = ws_.store.FileCount() > 0;
    for (QAction* entry : {mnuFileSaveAll, mnuFileRemove, mnuFileClear, mnuFileSaveAs}) {
        entry->setEnabled(any);
    }
    const QTreeWidgetItem* row = SelectedRow();
    mnuFileSave->setEnabled(any && row != nullptr && IsMarked(TextOf(row)));
}

void frmMain::UpdateToolsMenu() {
    const std::int32_t count = ws_.store.FileCount();
    mnuToolsSort->setEnabled(count >= 1);
    mnuToolsCompare->setEnabled(count >= 2);
    mnuToolsUndo->setEnabled(ws_.history.CanUndo());
}

void frmMain::UpdateFileItemMenu() {
    const QTreeWidgetItem* row = SelectedRow();
    mnuFileItemSave->setEnabled(row != nullptr && IsMarked(TextOf(row)));
    for (QAction* entry : {mnuFileItemSort, mnuFileItemSaveAs, mnuFileItemRemove}) {
        entry->setEnabled(true);
    }
}

// ---------------------------------------------------------------------------------------------
// Events of the list: the pop-up menu and dropped files

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched != lvFile->viewport()) {
        return QMainWindow::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::RightButton && ws_.store.FileCount() >= 1) {
                mnuFileItem->popup(mouse->globalPosition().toPoint());
                return true;
            }
            break;
        }
        case QEvent::DragEnter:
        case QEvent::DragMove:
            if (AcceptsDroppedFiles(event)) {
                static_cast<QDropEvent*>(event)->acceptProposedAction();
                return true;
            }
            break;
        case QEvent::Drop:
            if (AcceptsDroppedFiles(event)) {
                DropFiles(event);
                return true;
            }
            break;
        default:
            break;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool frmMain::AcceptsDroppedFiles(const QEvent* event) const {
    const QMimeData* mime = static_cast<const QDropEvent*>(event)->mimeData();
    if (mime == nullptr || !mime->hasUrls()) {
        return false;
    }
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), IsCoordinateFile);
}

void frmMain::DropFiles(QEvent* event) {
    auto* drop = static_cast<QDropEvent*>(event);
    QStringList paths;
    for (const QUrl& url : drop->mimeData()->urls()) {
        if (IsCoordinateFile(url)) {
            paths.append(url.toLocalFile());
        }
    }
    drop->acceptProposedAction();
    AddFiles(paths);
}

// ---------------------------------------------------------------------------------------------
// Size and position

double frmMain::TwipsPerPixelX() const {
    const QScreen* where = screen();
    return 1440.0 / (where != nullptr ? where->logicalDotsPerInchX() : 96.0);
}

double frmMain::TwipsPerPixelY() const {
    const QScreen* where = screen();
    return 1440.0 / (where != nullptr ? where->logicalDotsPerInchY() : 96.0);
}

// The smallest window that still shows the menus, every toolbar button, the list's headings
// with two rows and the whole status bar.
void frmMain::SetReadableMinimumSize() {
    QStyleOptionViewItem row;
    row.initFrom(lvFile);
    row.features = QStyleOptionViewItem::HasDisplay;
    row.text = QStringLiteral("Ag");
    const int rowHeight =
        lvFile->style()->sizeFromContents(QStyle::CT_ItemViewItem, &row, QSize(), lvFile).height();
    const int listHeight = 2 * lvFile->frameWidth() + lvFile->header()->sizeHint().height() +
                           kMinListRows * rowHeight +
                           lvFile->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int around = menuBar()->sizeHint().height() + tbToolBar->sizeHint().height() +
                       statusBar()->sizeHint().height();
    const int height = std::max({kMinHeight, around + listHeight,
                                 listHeight + ToPixels(kListHeightLess, TwipsPerPixelY())});
    const int width =
        std::max({kMinWidth, menuBar()->sizeHint().width(), tbToolBar->sizeHint().width(),
                  statusBar()->minimumSizeHint().width()});
    setMinimumSize(width, height);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ResizeFileList();
}

// The list follows the window's outer size; a window too small for it leaves the list as it is.
void frmMain::ResizeFileList() {
    const QSize outer = frameGeometry().size();
    const double tppX = TwipsPerPixelX();
    const double tppY = TwipsPerPixelY();
    const double height = outer.height() * tppY - kListHeightLess;
    const double width = outer.width() * tppX - kListWidthLess;
    QSize size = lvFile->size();
    if (height >= 0) {
        size.setHeight(ToPixels(height, tppY));
    }
    if (width >= 0) {
        size.setWidth(ToPixels(width, tppX));
    }
    lvFile->resize(size);
}

void frmMain::ReadWindowPosition() {
    const WindowPosition twips = zep::ReadWindowPosition(settingsStore_);
    const double tppX = TwipsPerPixelX();
    const double tppY = TwipsPerPixelY();
    loadedBounds_ = QRect(ToPixels(twips.MainLeft, tppX), ToPixels(twips.MainTop, tppY),
                          ToPixels(twips.MainWidth, tppX), ToPixels(twips.MainHeight, tppY));
    BringOnScreen(loadedBounds_);
    ApplyOuterBounds();
}

// A position saved with a screen that is gone (or edited by hand) could put the window where
// nobody can reach it; such a window opens at the top left of the main screen instead.
void frmMain::BringOnScreen(QRect& bounds) {
    constexpr int kReachable = 48;  // pixels of the window that must show, across and down
    for (const QScreen* where : QGuiApplication::screens()) {
        const QRect shown = where->availableGeometry().intersected(bounds);
        if (shown.width() >= kReachable && shown.height() >= kReachable) {
            return;
        }
    }
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        bounds.moveTopLeft(primary->availableGeometry().topLeft());
    }
}

// The stored bounds are the outer ones; the frame is known only once the window is shown.
void frmMain::ApplyOuterBounds() {
    const QSize frame = frameGeometry().size() - geometry().size();
    move(loadedBounds_.topLeft());
    resize(loadedBounds_.size() - frame);
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!boundsApplied_) {
        boundsApplied_ = true;
        if (frameGeometry().size() != geometry().size()) {
            ApplyOuterBounds();
        }
    }
}

void frmMain::SaveWindowPosition() {
    if (isMinimized()) {
        return;
    }
    const QRect outer = frameGeometry();
    const double tppX = TwipsPerPixelX();
    const double tppY = TwipsPerPixelY();
    WriteWindowPosition(
        settingsStore_,
        WindowPosition{ToTwips(outer.left(), tppX), ToTwips(outer.top(), tppY),
                       ToTwips(outer.width(), tppX), ToTwips(outer.height(), tppY)});
}

void frmMain::closeEvent(QCloseEvent* event) {
    for (auto it = ownedWindows_.rbegin(); it != ownedWindows_.rend(); ++it) {
        if (!it->isNull()) {
            (*it)->close();
        }
    }
    ownedWindows_.clear();
    if (folderChanged_) {
        WriteLastFolder(settingsStore_, lastFolder_);
        folderChanged_ = false;
    }
    SaveWindowPosition();
    event->accept();
}

}  // namespace zep
