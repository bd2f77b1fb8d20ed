// The main window keeps up with its user: label views follow their files, the Save button follows
// the selected row, the window stays readable at its smallest, cut texts show in full, the file
// dialogs remember their folder, and the controls keep their own fonts.

#include <QTest>
#include <QtWidgets>
#include <tuple>

#include "WindowTest.h"
#include "app/frmLabels.h"
#include "app/frmOptions.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

class frmMainFollowsUserTest : public test::WindowTest {
protected:
    void Press(int button) { form().ToolbarButton(button)->trigger(); }
    // Double-clicks a row and gives the label view that opened last.
    frmLabels* OpenLabels(int row) {
        ClickRow(row);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, RowPoint(row));
        const QList<frmLabels*> views = form().findChildren<frmLabels*>();
        return views.value(views.size() - 1);
    }
    // A copy of A.Zep under another name, in a folder below the scratch folder if need be.
    std::string Copy(const std::string& name) {
        fs::create_directories(fs::path(dir / name).parent_path());
        fs::copy_file(dir / "A.Zep", dir / name);
        return name;
    }
};

TEST_F(frmMainFollowsUserTest, LabelViewsFollowTheirFilesUntilTheyLeaveTheList) {
    Start();
    auto Shown = [](const QPointer<frmLabels>& view) { return view && view->isVisible(); };
    Click(frmMain::kAddFile, {"P.Zep", "A.Zep", "I.Zep"});
    QPointer<frmLabels> other = OpenLabels(2);
    QPointer<frmLabels> view = OpenLabels(1);
    ASSERT_TRUE(Shown(view) && view != other);
    const QString title = view->windowTitle();
    EXPECT_TRUE(title.contains("P.Zep") && title.contains("ZEP Converter"));
    EXPECT_TRUE(view->isWindowModified());
    const QTableWidget* table = view->Table();
    EXPECT_EQ(table->item(0, 1)->text() + table->item(0, 2)->text(), "Pacific0");

    Press(frmMain::kCompare);
    EXPECT_EQ(table->item(0, 1)->text() + table->item(0, 2)->text(), "Antarctic3");
    Press(frmMain::kSaveFile);
    EXPECT_FALSE(view->isWindowModified());
    Press(frmMain::kSortASC);
    EXPECT_EQ(table->item(1, 1)->text(), "Cocos");
    EXPECT_TRUE(view->isWindowModified());

    Press(frmMain::kDeleteFile);
    EXPECT_FALSE(Shown(view)) << "Remove";
    EXPECT_TRUE(Shown(other));
    Press(frmMain::kNewList);
    EXPECT_FALSE(Shown(other)) << "Clear List";
}

// An asterisk inside a file name is no marker, and taking the marker off keeps the name whole.
// Saving says what it saved beside "Max Number : ", which stays in view.
TEST_F(frmMainFollowsUserTest, SaveButtonFollowsEveryChangeOfTheSelectedRow) {
    Start();
    const std::tuple<const char*, std::function<void()>, bool, const char*> steps[] = {
        {"added",
         [&] {
             Click(frmMain::kAddFile, {"P.Zep", Copy("a*b.Zep")});
         },
         true, ""},
        {"second saved", [&] { Press(frmMain::kSaveFile); }, false, "Saved a*b.Zep"},
        {"key up to the first", [&] { QTest::keyClick(list(), Qt::Key_Up); }, true,
         "Saved a*b.Zep"},
        {"key down to the second", [&] { QTest::keyClick(list(), Qt::Key_Down); }, false,
         "Saved a*b.Zep"},
        {"pop-up menu on the first",
         [&] { QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, RowPoint(1)); }, true,
         "Saved a*b.Zep"},
        {"remove selects the saved second", [&] { Press(frmMain::kDeleteFile); }, false,
         "Saved a*b.Zep"},
        {"add selects the new file", [&] { Click(frmMain::kAddFile, {Copy("x* y.Zep")}); }, true,
         "Saved a*b.Zep"},
        {"all saved", [&] { Choose(menu("mnuFile"), "mnuFileSaveAll"); }, false, "Saved 2 files"},
        {"saved as", [&] { Choose(menu("mnuFile"), "mnuFileSaveAs", {"c.Zep"}); }, false,
         "Saved c.Zep"},
        {"no row selected", [&] { list()->clearSelection(); }, false, "Saved c.Zep"},
    };
    const QLabel* maxNumber = form().findChild<QLabel*>("sbStatusBarText");
    const QLabel* sign = form().findChild<QLabel*>("sbStatusBarSaved");
    for (const auto& [name, step, enabled, saved] : steps) {
        step();
        menu("mnuFileItem")->hide();
        EXPECT_EQ(form().ToolbarButton(frmMain::kSaveFile)->isEnabled(), enabled) << name;
        EXPECT_EQ(sign->text().toStdString(), saved) << name;
        EXPECT_TRUE(maxNumber->isVisible() && maxNumber->text().startsWith("Max Number : "))
            << name;
    }
    EXPECT_EQ(Rows(), "a*b.Zep|x* y.Zep / Max Number : 7");
    EXPECT_TRUE(sign->isVisible());
}

TEST_F(frmMainFollowsUserTest, SmallestWindowKeepsEverythingReadable) {
    Start();
    Click(frmMain::kAddFile, {"P.Zep", "A.Zep"});
    form().Rows().SetStatusText("Max Number : 999999");
    form().resize(1, 1);
    QApplication::processEvents();
    ASSERT_EQ(form().size(), form().minimumSize().expandedTo(QSize(300, 200)));
    // Menus and toolbar buttons that do not fit go into an overflow menu.
    EXPECT_LE(form().menuBar()->sizeHint().width(), form().menuBar()->width());
    const QToolBar* toolbar = form().findChild<QToolBar*>("tbToolBar");
    EXPECT_LE(toolbar->sizeHint().width(), toolbar->width());
    const QRect second = list()->visualItemRect(list()->topLevelItem(1));
    EXPECT_TRUE(list()->viewport()->rect().contains(second));
    EXPECT_LT(list()->viewport()->mapTo(&form(), second.bottomLeft()).y(), form().statusBar()->y());
    for (const char* name : {"sbStatusBarText", "sbStatusBarDate", "sbStatusBarTime"}) {
        const QLabel* label = form().findChild<QLabel*>(name);
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << name;
        EXPECT_LE(label->geometry().right(), form().statusBar()->width()) << name;
    }
}

TEST_F(frmMainFollowsUserTest, CutNamesAndPathsShowInFullAsToolTips) {
    Start();
    const std::string longName = Copy("a-file-name-too-long-for-its-column.Zep");
    Click(frmMain::kAddFile, {"A.Zep", longName});
    form().resize(1, 1);
    list()->setColumnWidth(0, 120);
    QApplication::processEvents();
    // The cell without a cut first: a tip once shown lingers a while.
    const std::tuple<int, int, QString> cells[] = {{1, 0, ""},
                                                   {2, 0, QString::fromStdString("* " + longName)},
                                                   {2, 1, QString::fromStdString(dir / longName)}};
    for (const auto& [row, column, tip] : cells) {
        const QPoint at = list()->visualRect(list()->model()->index(row - 1, column)).center();
        QHelpEvent event(QEvent::ToolTip, at, list()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list()->viewport(), &event);
        EXPECT_EQ(QToolTip::text(), tip) << row << ',' << column;
    }
}

TEST_F(frmMainFollowsUserTest, FileDialogsOpenInTheFolderUsedLastAlsoInTheNextRun) {
    Start();
    Click(frmMain::kAddFile, {Copy("in/atlantic.Zep")});
    PopUp(1, "mnuFileItemSaveAs", {Copy("out/copy.Zep")});
    Click(frmMain::kAddFile);
    EXPECT_EQ(dialogs.folders, QStringList({"", QString::fromStdString(dir / "in"),
                                            QString::fromStdString(dir / "out")}));
    EXPECT_FALSE(fs::exists(iniName)) << "written before the window closed";
    form().close();
    program.reset();

    Start();
    Click(frmMain::kAddFile);
    EXPECT_EQ(dialogs.folders.back(), QString::fromStdString(dir / "out"));
}

TEST_F(frmMainFollowsUserTest, ControlsKeepTheirFontsAndOptionsButtonsStandApart) {
    Start();
    frmOptions options(program->workspace.options, program->SettingsStore, form().Messages(),
                       &form());
    options.show();
    EXPECT_EQ(form().font(), QFont("MS Sans Serif", 9));
    for (const QWidget* control : form().findChildren<QWidget*>()) {  // the dialog's too
        const QFont own = control == &options ? form().font() : QApplication::font(control);
        EXPECT_EQ(control->font(), own) << control->objectName().data();
    }

    const auto* ok = options.findChild<QPushButton*>("cmdOK");
    const auto* cancel = options.findChild<QPushButton*>("cmdCancel");
    EXPECT_TRUE(qobject_cast<QDialogButtonBox*>(ok->parentWidget()));
    EXPECT_FALSE(ok->geometry().adjusted(-1, -1, 1, 1).intersects(cancel->geometry()));
    EXPECT_EQ(ok->text() + ok->property("tag").toString(), "&OK1035");
    EXPECT_EQ(cancel->text() + cancel->property("tag").toString(), "&Cancel1034");
}

TEST_F(frmMainFollowsUserTest, RefusedFileIsNamedInTheDetail) {
    Start();
    fs::copy_file(ZEP_TEST_DATA_DIR "/bad/row-too-long.Zep", dir / "Broken.Zep");
    Click(frmMain::kAddFile, {"Broken.Zep"});
    EXPECT_EQ(
        dialogs.messages,
        QStringList(QString::fromStdString("Critical: Wrong file format! -- " + dir / "Broken.Zep" +
                                           ": row 3 has 7 values, expected 6 (line 9)")));
}

// Save waits for a Yes before it replaces a file another program changed; Save As onto another
// listed file marks that file's row.
TEST_F(frmMainFollowsUserTest, SavesGuardFilesChangedOnDiskAndMarkFilesTheyReplace) {
    Start();
    Click(frmMain::kAddFile, {"P.Zep", "A.Zep"});
    ClickRow(1);
    test::Put(dir / "P.Zep", "another program's work");
    dialogs.answers = {false};
    Press(frmMain::kSaveFile);
    EXPECT_EQ(test::Contents(dir / "P.Zep"), "another program's work");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(
        dialogs.messages[0].startsWith("Question: The file was changed by another program"));
    EXPECT_TRUE(
        dialogs.messages[0].endsWith("File Name : " + QString::fromStdString(dir / "P.Zep")));
    dialogs.answers = {true};
    Press(frmMain::kSaveFile);
    EXPECT_NE(test::Contents(dir / "P.Zep").find("Pacific"), std::string::npos);
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(Rows(), "P.Zep|* A.Zep / Max Number : 8");

    Choose(menu("mnuFile"), "mnuFileSaveAll");
    ClickRow(1);
    Choose(menu("mnuFile"), "mnuFileSaveAs", {"A.Zep"});
    EXPECT_EQ(Rows(), "P.Zep|* A.Zep / Max Number : 8");
    EXPECT_EQ(dialogs.messages.size(), 2);  // A.Zep was this program's own save
    EXPECT_EQ(test::Contents(dir / "A.Zep"), test::Contents(dir / "P.Zep"));
}

// Ctrl+Z takes back a Compare and then a Sort By ASCII: the orders and the rows' markers.
TEST_F(frmMainFollowsUserTest, UndoTakesBackReorderingsOneAfterAnother) {
    Start();
    Click(frmMain::kAddFile, {"P.Zep", "A.Zep", "I.Zep"});
    Choose(menu("mnuFile"), "mnuFileSaveAll");
    const auto labels = [&] {
        std::string all;
        for (std::int32_t f = 1; f <= 3; ++f) {
            const FileData& record = program->workspace.store[f];
            for (std::int32_t i = 1; i <= record.LabelCount(); ++i) {
                all += std::string(record.Labels(i)) + ",";
            }
            all += "|";
        }
        return all;
    };
    const std::string read = labels();
    ClickRow(2);
    Press(frmMain::kSortASC);
    const std::string sorted = labels();
    Press(frmMain::kCompare);
    ASSERT_NE(labels(), sorted);
    EXPECT_EQ(Rows(), "* P.Zep|* A.Zep|* I.Zep / Max Number : 8");

    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(labels(), sorted);
    EXPECT_EQ(Rows(), "P.Zep|* A.Zep|I.Zep / Max Number : 8");
    Key(Qt::CTRL | Qt::Key_Z);
    EXPECT_EQ(labels(), read);
    EXPECT_EQ(Rows(), "P.Zep|A.Zep|I.Zep / Max Number : 8");
    EXPECT_FALSE(entry("mnuToolsUndo")->isEnabled());
    EXPECT_FALSE(form().ToolbarButton(frmMain::kSaveFile)->isEnabled());

    Press(frmMain::kCompare);
    EXPECT_TRUE(entry("mnuToolsUndo")->isEnabled());
    Choose(menu("mnuFile"), "mnuFileSaveAll");
    EXPECT_FALSE(entry("mnuToolsUndo")->isEnabled()) << "a save forgets";
}

}  // namespace
}  // namespace zep
