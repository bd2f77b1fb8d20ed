#include "app/frmMain.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "QtTestApp.h"
#include "TestWorkspace.h"
#include "app/ModuleMain.h"
#include "app/frmLabels.h"
#include "support/AppINI.h"

namespace zep {
namespace {

using test::TempDir;

struct ShownMessage {
    QString title;
    QString text;
    MessageIcon icon;
    QString detail;
};

struct DialogRequest {
    QString title;
    QString filter;
};

// Answers the file dialogs with preset replies and records every message box.
class FakeDialogs : public UserDialogs {
public:
    std::deque<QStringList> openReplies;
    std::deque<QString> saveReplies;
    std::vector<DialogRequest> openRequests;
    std::vector<DialogRequest> saveRequests;
    std::vector<ShownMessage> messages;

    QStringList GetOpenFileNames(QWidget*, const QString& title, const QString& filter,
                                 const QString&) override {
        openRequests.push_back({title, filter});
        if (openReplies.empty()) {
            return {};
        }
        QStringList reply = openReplies.front();
        openReplies.pop_front();
        return reply;
    }
    QString GetSaveFileName(QWidget*, const QString& title, const QString& filter,
                            const QString&) override {
        saveRequests.push_back({title, filter});
        if (saveReplies.empty()) {
            return {};
        }
        QString reply = saveReplies.front();
        saveReplies.pop_front();
        return reply;
    }
    void ShowMessage(QWidget*, const QString& title, const QString& text, MessageIcon icon,
                     const QString& detail) override {
        messages.push_back({title, text, icon, detail});
    }
};

// A consistent coordinate file with the given labels, deviations on one line ended by CR LF.
std::string ZepText(const std::vector<std::string>& labels) {
    const std::size_t n = labels.size();
    std::ostringstream out;
    out << "F  " << n << ' ' << n << ' ' << n << " \r\n";
    for (std::size_t r = 0; r < n; ++r) {
        for (std::size_t c = 0; c < n; ++c) {
            out << "    0." << r << c;
        }
        out << "\r\n";
    }
    for (const std::string& label : labels) {
        out << label << "\r\n";
    }
    for (std::size_t i = 0; i < n; ++i) {
        out << "  0.0" << i + 1;
    }
    out << "\r\n";
    return out.str();
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// The window tests drive the real main window after the program's own start-up, with a
// settings file in a scratch folder.
class frmMainTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureQtApp();
        iniName = dir / "ZEPConverter.ini";
    }
    void TearDown() override { program.reset(); }

    void Start() {
        program = StartUp(iniName, dialogs);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }

    frmMain& form() { return *program->MainForm; }
    Workspace& ws() { return program->workspace; }
    QTreeWidget* list() { return form().findChild<QTreeWidget*>("lvFile"); }
    QToolBar* toolbar() { return form().findChild<QToolBar*>("tbToolBar"); }
    QMenu* menu(const char* name) { return form().findChild<QMenu*>(name); }
    QAction* entry(const char* name) { return form().findChild<QAction*>(name); }
    QString statusText() { return form().findChild<QLabel*>("sbStatusBarText")->text(); }

    std::string Sample(const std::string& name, const std::vector<std::string>& labels) {
        const std::string path = dir / name;
        WriteBytes(path, ZepText(labels));
        return path;
    }
    // Add File from the File menu, the open dialog answering with paths.
    void AddThroughMenu(const std::vector<std::string>& paths) {
        QStringList reply;
        for (const std::string& path : paths) {
            reply.append(QString::fromStdString(path));
        }
        dialogs.openReplies.push_back(reply);
        Choose("mnuFile", "mnuFileOpen");
    }
    void Add(const std::string& path) { AddThroughMenu({path}); }

    // Opens a menu as the user does, which brings its entries up to date.
    void Open(const char* menuName) { menu(menuName)->popup(QPoint(40, 40)); }
    void Close(const char* menuName) { menu(menuName)->hide(); }
    // Opens a menu and clicks one of its entries; a disabled entry does nothing.
    void Choose(const char* menuName, const char* entryName) {
        QMenu* m = menu(menuName);
        m->popup(QPoint(40, 40));
        QTest::mouseClick(m, Qt::LeftButton, {}, m->actionGeometry(entry(entryName)).center());
        m->hide();
    }
    void ClickButton(int position) {
        QWidget* button = toolbar()->widgetForAction(form().ToolbarButton(position));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QPoint RowPoint(int position) {
        return list()->visualItemRect(list()->topLevelItem(position - 1)).center();
    }
    void ClickRow(int position) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, RowPoint(position));
    }
    void RightClickRow(int position) {
        QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, RowPoint(position));
    }
    QString RowText(int position) { return list()->topLevelItem(position - 1)->text(0); }
    std::vector<bool> Buttons() {
        std::vector<bool> states;
        for (int position : {1, 2, 3, 4, 6, 7}) {
            states.push_back(form().ToolbarButton(position)->isEnabled());
        }
        return states;
    }
    std::vector<QString> MessageTexts() {
        std::vector<QString> texts;
        for (const ShownMessage& message : dialogs.messages) {
            texts.push_back(message.text);
        }
        return texts;
    }
    void Activate() {
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    }

    TempDir dir;
    std::string iniName;
    FakeDialogs dialogs;
    std::unique_ptr<Program> program;
};

// Buttons in the order 1 Clear List, 2 Add File, 3 Save File, 4 Remove File, 6 Sort, 7 Compare.
using States = std::vector<bool>;

TEST_F(frmMainTest, StartsWithAnEmptyListAndOnlyAddFileAtHand) {
    Start();
    EXPECT_EQ(form().windowTitle(), QStringLiteral("ZEP Converter"));
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(statusText(), QStringLiteral("Ready"));
    EXPECT_FALSE(form().findChild<QLabel*>("sbStatusBarDate")->text().isEmpty());
    EXPECT_FALSE(form().findChild<QLabel*>("sbStatusBarTime")->text().isEmpty());
    EXPECT_EQ(Buttons(), (States{false, true, false, false, false, false}));
    EXPECT_EQ(ws().store.FileCount(), 0);
    EXPECT_EQ(ws().store.MaxNumber(), 0);
    EXPECT_EQ(list()->headerItem()->text(0), QStringLiteral("File Name"));
    EXPECT_EQ(list()->headerItem()->text(1), QStringLiteral("Full Path"));

    // Before any menu has opened, as designed.
    EXPECT_TRUE(entry("mnuFileClear")->isEnabled());
    for (const char* name : {"mnuFileRemove", "mnuFileSave", "mnuFileSaveAs", "mnuFileSaveAll",
                             "mnuToolsSort", "mnuToolsCompare"}) {
        EXPECT_FALSE(entry(name)->isEnabled()) << name;
    }

    Open("mnuFile");
    for (const char* name : {"mnuFileOpen", "mnuFileExit"}) {
        EXPECT_TRUE(entry(name)->isEnabled()) << name;
    }
    for (const char* name :
         {"mnuFileRemove", "mnuFileSave", "mnuFileSaveAs", "mnuFileSaveAll", "mnuFileClear"}) {
        EXPECT_FALSE(entry(name)->isEnabled()) << name;
    }
    Close("mnuFile");
    Open("mnuTools");
    EXPECT_FALSE(entry("mnuToolsSort")->isEnabled());
    EXPECT_FALSE(entry("mnuToolsCompare")->isEnabled());
    EXPECT_TRUE(entry("mnuToolsOptions")->isEnabled());
    Close("mnuTools");
}

TEST_F(frmMainTest, ToolbarCarriesItsKeysTipsAndIconsInPositionOrder) {
    Start();
    const char* keys[] = {"NewList", "AddFile", "SaveFile", "DeleteFile", "", "SortASC", "Compare"};
    const char* tips[] = {"Clear List", "Add File",      "Save File", "Remove File",
                          "",           "Sort By ASCII", "Compare"};
    ASSERT_EQ(toolbar()->actions().size(), 7);
    for (int position = 1; position <= 7; ++position) {
        QAction* button = form().ToolbarButton(position);
        EXPECT_EQ(toolbar()->actions().at(position - 1), button);
        EXPECT_EQ(button->isSeparator(), position == 5);
        EXPECT_EQ(button->data().toString(), QLatin1String(keys[position - 1]));
        EXPECT_EQ(button->toolTip(), QLatin1String(tips[position - 1]));
        if (position != 5) {
            EXPECT_FALSE(button->icon().pixmap(16, 16).isNull()) << position;
        }
    }
    EXPECT_EQ(toolbar()->iconSize(), QSize(16, 16));
}

TEST_F(frmMainTest, MenusCarryTheirCaptionsShortcutsAndHiddenEntries) {
    Start();
    const std::pair<const char*, const char*> captions[] = {
        {"mnuFileOpen", "A&dd File..."}, {"mnuFileRemove", "&Remove File"},
        {"mnuFileSave", "&Save"},        {"mnuFileSaveAs", "Save &As..."},
        {"mnuFileSaveAll", "Save A&ll"}, {"mnuFileClear", "&Clear List"},
        {"mnuFileExit", "E&xit"},        {"mnuToolsSort", "S&ort By ASCII"},
        {"mnuToolsCompare", "&Compare"}, {"mnuToolsOptions", "&Option..."},
        {"mnuHelpAbout", "&About..."},   {"mnuFileItemSort", "S&ort By ASCII"},
        {"mnuFileItemSave", "&Save"},    {"mnuFileItemSaveAs", "Save &As..."},
        {"mnuFileItemRemove", "&Remove"}};
    for (const auto& [name, caption] : captions) {
        EXPECT_EQ(entry(name)->text(), QString::fromUtf8(caption)) << name;
    }
    EXPECT_EQ(menu("mnuFile")->title(), QStringLiteral("&File"));
    EXPECT_EQ(menu("mnuTools")->title(), QStringLiteral("&Tool"));
    EXPECT_EQ(menu("mnuHelp")->title(), QStringLiteral("&Help"));
    EXPECT_EQ(menu("mnuFileItem")->title(), QStringLiteral("File Item Menu"));
    EXPECT_EQ(entry("mnuFileOpen")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(entry("mnuFileRemove")->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(entry("mnuFileClear")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    EXPECT_EQ(entry("mnuFileExit")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));

    EXPECT_FALSE(entry("mnuFileNew")->isVisible());
    EXPECT_EQ(entry("mnuFileNew")->text(), QString::fromUtf8("新增(&N)"));
    EXPECT_FALSE(menu("mnuEdit")->menuAction()->isVisible());
    EXPECT_FALSE(menu("mnuView")->menuAction()->isVisible());
    EXPECT_EQ(menu("mnuView")->title(), QString::fromUtf8("檢視(&V)"));
    // The menu bar shows File, Tool and Help only.
    QStringList shown;
    for (QAction* top : form().menuBar()->actions()) {
        if (top->isVisible()) {
            shown.append(top->text());
        }
    }
    EXPECT_EQ(shown, (QStringList{"&File", "&Tool", "&Help"}));
}

TEST_F(frmMainTest, AddFileShowsItsDialogAndAMarkedSelectedRow) {
    Start();
    const std::string path = Sample("First.Zep", {"b", "a", "c"});
    Add(path);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].title, QStringLiteral("Add Coordinate File"));
    EXPECT_EQ(dialogs.openRequests[0].filter, QStringLiteral("Coordinate Files (*.Zep)"));
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(RowText(1), QStringLiteral("* First.Zep"));
    EXPECT_EQ(list()->topLevelItem(0)->text(1), QString::fromStdString(path));
    EXPECT_EQ(form().RowKey(1), path);
    EXPECT_EQ(form().RowTag(1), 1);
    EXPECT_TRUE(list()->topLevelItem(0)->isSelected());
    EXPECT_EQ(statusText(), QStringLiteral("Max Number : 3"));
}

TEST_F(frmMainTest, CancellingTheOpenDialogChangesNothing) {
    Start();
    ClickButton(frmMain::kAddFile);
    EXPECT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(Buttons(), (States{false, true, false, false, false, false}));
}

TEST_F(frmMainTest, SeveralChosenFilesAreAddedInOrderWithTheRulesAppliedToEach) {
    Start();
    AddThroughMenu({Sample("A.Zep", {"a"}), Sample("B.Zep", {"b", "c"}), Sample("C.Zep", {"c"})});
    ASSERT_EQ(list()->topLevelItemCount(), 3);
    EXPECT_EQ(RowText(1), QStringLiteral("* A.Zep"));
    EXPECT_EQ(RowText(2), QStringLiteral("* B.Zep"));
    EXPECT_EQ(RowText(3), QStringLiteral("* C.Zep"));
    EXPECT_EQ(form().RowTag(3), 3);
    EXPECT_EQ(Buttons(), (States{true, true, true, true, true, true}));
    EXPECT_TRUE(list()->topLevelItem(2)->isSelected());
}

TEST_F(frmMainTest, AddingAPathTwiceKeepsOneRowAndSaysSo) {
    Start();
    const std::string path = Sample("Twice.Zep", {"a"});
    Add(path);
    Add(path);
    EXPECT_EQ(list()->topLevelItemCount(), 1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, QStringLiteral("ZEP converter"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("This file already in list!"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Information);
}

TEST_F(frmMainTest, RefusedFileGivesItsReasonAsTheMessageDetail) {
    Start();
    const std::string path = dir / "Broken.Zep";
    WriteBytes(path, "F  3 3 3 \r\n    1\r\n");
    Add(path);
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(Buttons(), (States{false, true, false, false, false, false}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Wrong file format!"));
    EXPECT_EQ(dialogs.messages[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(dialogs.messages[0].detail.isEmpty());
}

// The core operations see the rows' keys and texts as the bytes they gave, whatever the locale
// makes of them on screen.
TEST_F(frmMainTest, RowsKeepTheBytesTheyWereGivenAndRefuseAKeyTwice) {
    Start();
    const std::string key = "/tmp/\xe9t\xe9 \xff.Zep";
    const std::string text = "* \xe9t\xe9 \xff.Zep";
    ASSERT_EQ(form().AppendRow(key, text), 0);
    form().SetRowTag(1, 7);
    form().SetRowFullPath(1, key);
    EXPECT_EQ(form().RowKey(1), key);
    EXPECT_EQ(form().RowText(1), text);
    EXPECT_EQ(form().RowTag(1), 7);
    EXPECT_EQ(form().AppendRow(key, "again"), FileListView::kErrKeyNotUnique);
    EXPECT_EQ(form().AppendRow("/tmp/other.Zep", "other"), 0);
    EXPECT_EQ(form().RowCount(), 2);
    form().RemoveRow(1);
    EXPECT_EQ(form().RowKey(1), "/tmp/other.Zep");
}

// The toolbar table, one event after the other.
TEST_F(frmMainTest, ToolbarButtonsFollowTheirTableRowByRow) {
    Start();
    EXPECT_EQ(Buttons(), (States{false, true, false, false, false, false})) << "start-up";
    Add(Sample("A.Zep", {"a", "b"}));
    EXPECT_EQ(Buttons(), (States{true, true, true, true, true, false})) << "first file";
    Add(Sample("B.Zep", {"b", "c"}));
    EXPECT_EQ(Buttons(), (States{true, true, true, true, true, true})) << "second file";
    Add(Sample("C.Zep", {"c"}));
    EXPECT_EQ(Buttons(), (States{true, true, true, true, true, true})) << "third file";

    ClickButton(frmMain::kSaveFile);
    EXPECT_EQ(Buttons(), (States{true, true, false, true, true, true})) << "save";
    ClickRow(1);
    EXPECT_EQ(Buttons(), (States{true, true, true, true, true, true})) << "marked row clicked";
    ClickRow(3);
    EXPECT_EQ(Buttons(), (States{true, true, false, true, true, true})) << "saved row clicked";
    ClickButton(frmMain::kSortASC);
    EXPECT_EQ(RowText(3), QStringLiteral("* C.Zep"));
    EXPECT_EQ(Buttons(), (States{true, true, false, true, true, true})) << "sort";
    ClickButton(frmMain::kCompare);
    EXPECT_EQ(Buttons(), (States{true, true, false, true, true, true})) << "compare";
    ClickRow(2);
    ClickButton(frmMain::kDeleteFile);
    EXPECT_EQ(Buttons(), (States{true, true, true, true, true, true})) << "remove to 2";
    ClickRow(1);
    ClickButton(frmMain::kDeleteFile);
    EXPECT_EQ(Buttons(), (States{true, true, true, true, true, false})) << "remove to 1";
    ClickRow(1);
    ClickButton(frmMain::kDeleteFile);
    EXPECT_EQ(Buttons(), (States{false, true, false, false, false, false})) << "remove to 0";

    Add(Sample("D.Zep", {"d"}));
    Add(Sample("E.Zep", {"e"}));
    Choose("mnuFile", "mnuFileSaveAll");
    EXPECT_EQ(Buttons(), (States{true, true, false, true, true, true})) << "save all";
    ClickButton(frmMain::kNewList);
    EXPECT_EQ(Buttons(), (States{false, true, false, false, false, false})) << "clear list";
    EXPECT_EQ(list()->topLevelItemCount(), 0);
}

TEST_F(frmMainTest, ClearListOnAnEmptyListLeavesTheListAlone) {
    Start();
    Activate();
    // Clear List can act before the File menu first opens, also with nothing loaded.
    QTest::keyClick(list(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(Buttons(), (States{false, true, false, false, false, false}));
    EXPECT_EQ(statusText(), QStringLiteral("Ready"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(frmMainTest, MenusTakeTheirStatesAsTheyOpen) {
    Start();
    Add(Sample("A.Zep", {"a", "b"}));
    Open("mnuFile");
    for (const char* name : {"mnuFileOpen", "mnuFileRemove", "mnuFileSave", "mnuFileSaveAs",
                             "mnuFileSaveAll", "mnuFileClear", "mnuFileExit"}) {
        EXPECT_TRUE(entry(name)->isEnabled()) << name;
    }
    Close("mnuFile");
    Open("mnuTools");
    EXPECT_TRUE(entry("mnuToolsSort")->isEnabled());
    EXPECT_FALSE(entry("mnuToolsCompare")->isEnabled());
    Close("mnuTools");

    Choose("mnuFile", "mnuFileSave");
    EXPECT_EQ(RowText(1), QStringLiteral("A.Zep"));
    Open("mnuFile");
    EXPECT_FALSE(entry("mnuFileSave")->isEnabled());
    EXPECT_TRUE(entry("mnuFileSaveAs")->isEnabled());
    Close("mnuFile");

    Add(Sample("B.Zep", {"b", "c"}));
    // The second file enables Compare at once, before the Tools menu opens again.
    EXPECT_TRUE(entry("mnuToolsCompare")->isEnabled());
    Open("mnuTools");
    EXPECT_TRUE(entry("mnuToolsCompare")->isEnabled());
    Close("mnuTools");

    list()->clearSelection();
    Open("mnuFile");
    EXPECT_FALSE(entry("mnuFileSave")->isEnabled()) << "no row selected";
    EXPECT_TRUE(entry("mnuFileRemove")->isEnabled());
    Close("mnuFile");
}

TEST_F(frmMainTest, ShortcutsFollowTheStateTheirEntryWasLastGiven) {
    Start();
    Activate();
    Add(Sample("A.Zep", {"a"}));
    list()->setFocus();
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(list()->topLevelItemCount(), 1) << "Remove File not yet enabled by the File menu";
    Open("mnuFile");
    Close("mnuFile");
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    // Still enabled although the list is empty: the command finds no row and does nothing.
    EXPECT_TRUE(entry("mnuFileRemove")->isEnabled());
    QTest::keyClick(list(), Qt::Key_Delete);
    EXPECT_EQ(ws().store.FileCount(), 0);

    dialogs.openReplies.push_back({QString::fromStdString(Sample("B.Zep", {"b"}))});
    QTest::keyClick(list(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(list()->topLevelItemCount(), 1);
    QTest::keyClick(list(), Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(list()->topLevelItemCount(), 0);
}

TEST_F(frmMainTest, MarkersThroughSortCompareAndTheSaves) {
    Start();
    const std::string a = Sample("A.Zep", {"b", "a"});
    const std::string b = Sample("B.Zep", {"a", "c"});
    const std::string c = Sample("C.Zep", {"c", "a"});
    AddThroughMenu({a, b, c});

    ClickRow(1);
    ClickButton(frmMain::kSaveFile);
    EXPECT_EQ(RowText(1), QStringLiteral("A.Zep"));
    ClickRow(1);
    EXPECT_FALSE(form().ToolbarButton(frmMain::kSaveFile)->isEnabled());
    Choose("mnuTools", "mnuToolsSort");
    EXPECT_EQ(RowText(1), QStringLiteral("* A.Zep"));
    EXPECT_FALSE(form().ToolbarButton(frmMain::kSaveFile)->isEnabled());
    EXPECT_EQ(MessageTexts().back(),
              QStringLiteral("The sort has been done, now you may save your new files!"));
    EXPECT_EQ(dialogs.messages.back().icon, MessageIcon::Information);
    Choose("mnuTools", "mnuToolsSort");
    EXPECT_EQ(RowText(1), QStringLiteral("* A.Zep")) << "marked once";

    ClickButton(frmMain::kSaveFile);
    Choose("mnuTools", "mnuToolsCompare");
    EXPECT_EQ(RowText(1), QStringLiteral("* A.Zep"));
    EXPECT_EQ(RowText(2), QStringLiteral("* B.Zep"));
    EXPECT_EQ(RowText(3), QStringLiteral("* C.Zep"));
    EXPECT_EQ(MessageTexts().back(),
              QStringLiteral("The compare has been done, now you may save your new files!"));

    // Save As writes elsewhere and leaves the row as it was.
    const std::string copy = dir / "Copy.Zep";
    dialogs.saveReplies.push_back(QString::fromStdString(copy));
    ClickRow(2);
    Choose("mnuFile", "mnuFileSaveAs");
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].title, QStringLiteral("Save Coordinate File As"));
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("Coordinate Files (*.Zep)"));
    EXPECT_TRUE(std::filesystem::exists(copy));
    EXPECT_EQ(RowText(2), QStringLiteral("* B.Zep"));
    EXPECT_EQ(form().RowKey(2), b);

    // Save All writes every file, the unmarked one too.
    std::filesystem::remove(a);
    std::filesystem::remove(b);
    std::filesystem::remove(c);
    Choose("mnuFile", "mnuFileSaveAll");
    for (const std::string& path : {a, b, c}) {
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
    EXPECT_EQ(ReadBytes(b), ReadBytes(copy));
    for (int row = 1; row <= 3; ++row) {
        EXPECT_FALSE(RowText(row).contains('*')) << row;
    }
}

TEST_F(frmMainTest, SaveAsWithoutAnAnswerWritesNothing) {
    Start();
    Add(Sample("A.Zep", {"a"}));
    Choose("mnuFile", "mnuFileSaveAs");
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(RowText(1), QStringLiteral("* A.Zep"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

// A file that cannot be written keeps its marker, so the user still sees what is unsaved.
TEST_F(frmMainTest, FailedSaveKeepsTheMarkerAndTheSaveButton) {
    Start();
    const std::string a = Sample("A.Zep", {"a"});
    const std::string b = Sample("B.Zep", {"b"});
    AddThroughMenu({a, b});
    // A folder where the file was cannot be replaced by a file, whoever runs the test.
    std::filesystem::remove(b);
    std::filesystem::create_directory(b);
    ClickRow(2);
    ASSERT_TRUE(form().ToolbarButton(frmMain::kSaveFile)->isEnabled());
    ClickButton(frmMain::kSaveFile);
    EXPECT_EQ(RowText(2), QStringLiteral("* B.Zep"));
    EXPECT_TRUE(form().ToolbarButton(frmMain::kSaveFile)->isEnabled());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.messages.back().text.startsWith(QStringLiteral("File unwriteble!!!")));
    EXPECT_EQ(dialogs.messages.back().icon, MessageIcon::Critical);

    Choose("mnuFile", "mnuFileSaveAll");
    EXPECT_EQ(RowText(1), QStringLiteral("A.Zep"));
    EXPECT_EQ(RowText(2), QStringLiteral("* B.Zep"));
    EXPECT_TRUE(form().ToolbarButton(frmMain::kSaveFile)->isEnabled());
    ClickRow(1);
    Choose("mnuFile", "mnuFileSaveAll");
    EXPECT_FALSE(form().ToolbarButton(frmMain::kSaveFile)->isEnabled())
        << "the selected row was written";
}

TEST_F(frmMainTest, PopUpMenuOpensOnlyWithFilesAndOffersSaveForMarkedRows) {
    Start();
    QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_FALSE(menu("mnuFileItem")->isVisible());

    AddThroughMenu({Sample("A.Zep", {"a"}), Sample("B.Zep", {"b"})});
    ClickRow(1);
    ClickButton(frmMain::kSaveFile);
    RightClickRow(1);
    ASSERT_TRUE(menu("mnuFileItem")->isVisible());
    EXPECT_FALSE(entry("mnuFileItemSave")->isEnabled());
    for (const char* name : {"mnuFileItemSort", "mnuFileItemSaveAs", "mnuFileItemRemove"}) {
        EXPECT_TRUE(entry(name)->isEnabled()) << name;
    }
    menu("mnuFileItem")->hide();

    RightClickRow(2);
    ASSERT_TRUE(menu("mnuFileItem")->isVisible());
    EXPECT_TRUE(entry("mnuFileItemSave")->isEnabled());
    QMenu* popup = menu("mnuFileItem");
    QTest::mouseClick(popup, Qt::LeftButton, {},
                      popup->actionGeometry(entry("mnuFileItemRemove")).center());
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(RowText(1), QStringLiteral("A.Zep"));
}

TEST_F(frmMainTest, PopUpMenuSortsSavesAndSavesAsTheRowUnderIt) {
    Start();
    const std::string a = Sample("A.Zep", {"b", "a"});
    const std::string b = Sample("B.Zep", {"c"});
    AddThroughMenu({a, b});
    auto choose = [this](int row, const char* name) {
        RightClickRow(row);
        QMenu* popup = menu("mnuFileItem");
        ASSERT_TRUE(popup->isVisible());
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(entry(name)).center());
    };
    choose(1, "mnuFileItemSave");
    EXPECT_EQ(RowText(1), QStringLiteral("A.Zep"));
    EXPECT_EQ(RowText(2), QStringLiteral("* B.Zep"));
    choose(1, "mnuFileItemSort");
    EXPECT_EQ(RowText(1), QStringLiteral("* A.Zep"));
    EXPECT_EQ(MessageTexts().back(),
              QStringLiteral("The sort has been done, now you may save your new files!"));
    const std::string copy = dir / "Sorted.Zep";
    dialogs.saveReplies.push_back(QString::fromStdString(copy));
    choose(1, "mnuFileItemSaveAs");
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    // The sorted file puts "a" first.
    const std::string written = ReadBytes(copy);
    EXPECT_NE(written.find("\r\na\r\nb\r\n"), std::string::npos) << written;
    EXPECT_EQ(RowText(1), QStringLiteral("* A.Zep"));
}

TEST_F(frmMainTest, CtrlXExits) {
    Start();
    Activate();
    QTest::keyClick(list(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_FALSE(form().isVisible());
}

TEST_F(frmMainTest, RemoveAndClearKeepRowsTagsAndStatusInStep) {
    Start();
    AddThroughMenu({Sample("A.Zep", {"a", "b"}), Sample("B.Zep", {"a", "b", "c", "d"}),
                    Sample("C.Zep", {"c"})});
    EXPECT_EQ(statusText(), QStringLiteral("Max Number : 4"));
    ClickRow(1);
    Choose("mnuFile", "mnuFileRemove");
    ASSERT_EQ(list()->topLevelItemCount(), 2);
    EXPECT_EQ(RowText(1), QStringLiteral("* B.Zep"));
    EXPECT_EQ(form().RowTag(1), 1);
    EXPECT_EQ(form().RowTag(2), 2);
    ClickRow(1);
    Choose("mnuFile", "mnuFileRemove");
    EXPECT_EQ(statusText(), QStringLiteral("Max Number : 1"));
    Choose("mnuFile", "mnuFileClear");
    EXPECT_EQ(list()->topLevelItemCount(), 0);
    EXPECT_EQ(ws().store.FileCount(), 0);
    EXPECT_EQ(statusText(), QStringLiteral("Max Number : 0"));
    // With no row selected the per-file commands do nothing.
    Add(Sample("D.Zep", {"d"}));
    list()->clearSelection();
    ClickButton(frmMain::kDeleteFile);
    ClickButton(frmMain::kSortASC);
    EXPECT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(RowText(1), QStringLiteral("* D.Zep"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(frmMainTest, DroppedCoordinateFilesAreAddedInOrder) {
    Start();
    const std::string a = Sample("A.Zep", {"a"});
    const std::string text = dir / "notes.txt";
    WriteBytes(text, "x");
    const std::string b = Sample("B.Zep", {"b"});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)),
                  QUrl::fromLocalFile(QString::fromStdString(text)),
                  QUrl::fromLocalFile(QString::fromStdString(b))});
    const QPoint at = list()->viewport()->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list()->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list()->viewport(), &drop);
    ASSERT_EQ(list()->topLevelItemCount(), 2);
    EXPECT_EQ(RowText(1), QStringLiteral("* A.Zep"));
    EXPECT_EQ(RowText(2), QStringLiteral("* B.Zep"));
    EXPECT_EQ(Buttons(), (States{true, true, true, true, true, true}));
}

TEST_F(frmMainTest, DoubleClickShowsTheLabelsOfTheFileAsTheyStand) {
    Start();
    Add(Sample("A.Zep", {"b", "  a", "c"}));
    ClickButton(frmMain::kSortASC);
    ClickRow(1);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, RowPoint(1));
    auto* view = form().findChild<frmLabels*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    QTableWidget* table = view->Table();
    ASSERT_EQ(table->rowCount(), 3);
    ASSERT_EQ(table->columnCount(), 4);
    EXPECT_EQ(table->horizontalHeaderItem(1)->text(), QStringLiteral("Label"));
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("1"));
    EXPECT_EQ(table->item(0, 1)->text(), QStringLiteral("  a"));
    EXPECT_EQ(table->item(0, 3)->text(), QStringLiteral("0.02"));
    EXPECT_EQ(table->item(2, 1)->text(), QStringLiteral("c"));
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);
    form().close();
    EXPECT_TRUE(form().findChildren<frmLabels*>().isEmpty() || !view->isVisible());
}

// ---------------------------------------------------------------------------------------------
// Size and position

int Px(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

TEST_F(frmMainTest, ListIsAlways200TwipsNarrowerAnd1500TwipsLowerThanTheWindow) {
    Start();
    const double tppX = form().TwipsPerPixelX();
    const double tppY = form().TwipsPerPixelY();
    for (const QSize& size : {QSize(640, 480), QSize(300, 200), QSize(900, 700)}) {
        form().resize(size);
        const QSize outer = form().frameGeometry().size();
        EXPECT_EQ(list()->width(), Px(outer.width() * tppX - 200, tppX)) << size.width();
        EXPECT_EQ(list()->height(), Px(outer.height() * tppY - 1500, tppY)) << size.height();
    }
}

TEST_F(frmMainTest, FirstRunOpensAtTheDefaultPositionAndStoresItOnClose) {
    Start();
    const double tppX = form().TwipsPerPixelX();
    const double tppY = form().TwipsPerPixelY();
    EXPECT_EQ(form().frameGeometry(),
              QRect(Px(1000, tppX), Px(1000, tppY), Px(6500, tppX), Px(6500, tppY)));
    form().close();
    AppINI store;
    store.IniName = iniName;
    store.SectionName = "POSTION";
    EXPECT_EQ(store.ReadKeyEx("MainLeft", "?"), std::to_string(std::lround(Px(1000, tppX) * tppX)));
    EXPECT_EQ(store.ReadKeyEx("MainHeight", "?"),
              std::to_string(std::lround(Px(6500, tppY) * tppY)));
    EXPECT_EQ(ReadBytes(iniName).find("[Setup]"), std::string::npos);
}

TEST_F(frmMainTest, PositionRoundTripsThroughTheSettingsFile) {
    const double tpp = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    const double tppY = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    auto twips = [](int pixels, double t) { return std::to_string(std::lround(pixels * t)); };
    WriteBytes(iniName, "[POSTION]\r\nMainLeft=" + twips(100, tpp) +
                            "\r\nMainTop=" + twips(50, tppY) + "\r\nMainWidth=" + twips(520, tpp) +
                            "\r\nMainHeight=\r\n");
    Start();
    EXPECT_EQ(form().frameGeometry(), QRect(100, 50, 520, Px(6500, tppY)));
    form().move(130, 70);
    form().resize(610, 430);
    QApplication::processEvents();
    const QRect moved = form().frameGeometry();
    form().close();
    program.reset();

    Start();
    EXPECT_EQ(form().frameGeometry(), moved);
}

TEST_F(frmMainTest, WindowSavedOffEveryScreenOpensWhereItCanBeReached) {
    WriteBytes(iniName, "[POSTION]\r\nMainLeft=-90000\r\nMainTop=200000\r\n");
    Start();
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(form().frameGeometry().topLeft(), available.topLeft());
    const double tpp = form().TwipsPerPixelX();
    EXPECT_EQ(form().frameGeometry().width(), Px(6500, tpp));
}

TEST_F(frmMainTest, MinimizedWindowStoresNothingAndMaximizedStoresItsMaximizedBounds) {
    WriteBytes(iniName, "[POSTION]\r\nMainLeft=1500\r\nMainTop=1500\r\n");
    Start();
    form().showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(form().isMinimized());
    form().close();
    AppINI store;
    store.IniName = iniName;
    store.SectionName = "POSTION";
    EXPECT_EQ(store.ReadKeyEx("MainLeft", "?"), "1500");
    EXPECT_EQ(store.ReadKeyEx("MainWidth", "?"), "?");
    program.reset();

    Start();
    form().showMaximized();
    QApplication::processEvents();
    const QRect maximized = form().frameGeometry();
    const double tpp = form().TwipsPerPixelX();
    form().close();
    EXPECT_EQ(store.ReadKeyEx("MainWidth", "?"),
              std::to_string(std::lround(maximized.width() * tpp)));
    EXPECT_EQ(store.ReadKeyEx("MainLeft", "?"),
              std::to_string(std::lround(maximized.left() * tpp)));
}

// Runs the menu entry that opens a modal window and reports that window's name and owner, closing
// it again.
std::pair<QString, QWidget*> ModalOpenedBy(const std::function<void()>& choose) {
    std::pair<QString, QWidget*> seen;
    QTimer::singleShot(0, [&seen] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = {modal->objectName(), modal->parentWidget()};
            modal->close();
        }
    });
    // Should the window not be modal, nothing waits for the first timer; this one makes sure
    // the test cannot hang on it either.
    QTimer::singleShot(3000, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    choose();
    return seen;
}

TEST_F(frmMainTest, AboutOpensModalOwnedByTheWindow) {
    Start();
    const auto [name, owner] = ModalOpenedBy([this] { Choose("mnuHelp", "mnuHelpAbout"); });
    EXPECT_EQ(name, QStringLiteral("frmAbout"));
    EXPECT_EQ(owner, &form());
}

TEST_F(frmMainTest, OptionsOpenModalOwnedByTheWindow) {
    Start();
    const auto [name, owner] = ModalOpenedBy([this] { Choose("mnuTools", "mnuToolsOptions"); });
    EXPECT_EQ(name, QStringLiteral("frmOptions"));
    EXPECT_EQ(owner, &form());
}

// Confirming the options dialog changes what the next save writes.
TEST_F(frmMainTest, ConfirmedOptionsReachTheFilesSavedAfterwards) {
    Start();
    const std::string a = Sample("A.Zep", {"a"});
    const std::string b = Sample("B.Zep", {"a", "b", "c"});
    AddThroughMenu({a, b});
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->findChild<QCheckBox*>("chkAdjToMax")->setChecked(false);
            QTest::mouseClick(modal->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        }
    });
    Choose("mnuTools", "mnuToolsOptions");
    EXPECT_FALSE(ws().options.BLN_OPT_ADJTOMAXCOUNT);
    ClickRow(1);
    ClickButton(frmMain::kSaveFile);
    EXPECT_EQ(ReadBytes(a).substr(0, 9), "F  1 1 1 ") << "not padded to 3";
}

TEST_F(frmMainTest, ExitClosesWithoutAskingOrSavingFiles) {
    Start();
    const std::string a = Sample("A.Zep", {"b", "a"});
    const std::string before = ReadBytes(a);
    Add(a);
    ClickButton(frmMain::kSortASC);
    dialogs.messages.clear();
    Choose("mnuFile", "mnuFileExit");
    EXPECT_FALSE(form().isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(ReadBytes(a), before);
    EXPECT_TRUE(std::filesystem::exists(iniName));
}

}  // namespace
}  // namespace zep
