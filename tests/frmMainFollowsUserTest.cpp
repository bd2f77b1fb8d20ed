// The main window keeps up with its user: label views follow their files, the Save button follows
// the selected row, the window stays readable at its smallest, cut texts show in full, the file
// dialogs remember their folder, and the controls keep their own fonts.

#include <sys/stat.h>

#include <QTest>
#include <QtWidgets>
#include <tuple>

#include "WindowTest.h"
#include "app/frmCoverage.h"
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

// The identity of the file under a name: a save puts a new file in place of the old one.
ino_t FileNumber(const std::string& path) {
    struct stat found {};
    return ::stat(path.c_str(), &found) == 0 ? found.st_ino : 0;
}

// Each key acts as its entry would just then, and only when the entry would be enabled.
TEST_F(frmMainFollowsUserTest, KeyboardReachesRowsPopUpMenuAndCommands) {
    Start();
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    QMenu* popUp = menu("mnuFileItem");
    const std::string p = dir / "P.Zep";
    const std::vector<std::pair<QKeyCombination, const char*>> steps = {
        {Qt::Key_Menu, "nothing"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_S, "nothing"},
        {Qt::Key_Return, "view of P.Zep"},
        {Qt::Key_Menu, "pop-up at row 1"},
        {Qt::SHIFT | Qt::Key_F10, "pop-up at row 1"},
        {Qt::CTRL | Qt::Key_S, "P.Zep saved"},
        {Qt::CTRL | Qt::Key_S, "nothing"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_S, "Copy.Zep written"},
    };
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (i == 2) {
            Click(frmMain::kAddFile, {"P.Zep", "A.Zep"});
            ClickRow(1);
        }
        const ino_t before = FileNumber(p);
        const qsizetype requests = dialogs.requests.size();
        Key(steps[i].first, {"Copy.Zep"});
        std::string seen = "nothing";
        const QList<frmLabels*> views = form().findChildren<frmLabels*>();
        if (popUp->isVisible()) {
            const QPoint row = list()->viewport()->mapToGlobal(RowPoint(1));
            seen =
                std::abs(popUp->pos().y() - row.y()) < 20 ? "pop-up at row 1" : "pop-up elsewhere";
            popUp->hide();
        } else if (!views.isEmpty() && views.back()->isVisible()) {
            seen = "view of " + fs::path(views.back()->Key()).filename().string();
            views.back()->close();
        } else if (dialogs.requests.size() > requests) {
            seen = fs::exists(dir / "Copy.Zep") ? "Copy.Zep written" : "dialog only";
        } else if (FileNumber(p) != before) {
            seen = "P.Zep saved";
        }
        dialogs.replies.clear();
        EXPECT_EQ(seen, steps[i].second) << "step " << i;
    }
    EXPECT_EQ(list()->topLevelItem(0)->text(0), "P.Zep");

    bool about = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            about = modal->objectName() == "frmAbout";
            modal->close();
        }
    });
    Key(Qt::Key_F1);
    EXPECT_TRUE(about);
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    Key(Qt::CTRL | Qt::Key_Q);
    EXPECT_FALSE(form().isVisible());
}

TEST_F(frmMainFollowsUserTest, RecentFilesAreKeptNewestFirstAndAGoneOneIsDropped) {
    const auto recent = [this] {
        QMenu* files = menu("mnuFileRecent");
        files->popup(QPoint(40, 40));
        files->hide();
        QStringList texts;
        for (const QAction* entry : files->actions()) {
            texts << entry->text().remove(QString::fromStdString(dir / "")).remove('&');
        }
        return texts.join('|').toStdString();
    };
    Start();
    EXPECT_FALSE(menu("mnuFileRecent")->menuAction()->isEnabled());
    std::vector<std::string> copies;
    for (int i = 1; i <= 9; ++i) {
        copies.push_back(Copy("F" + std::to_string(i) + ".Zep"));
    }
    Click(frmMain::kAddFile, copies);
    Click(frmMain::kNewList);
    Click(frmMain::kAddFile, {"P.Zep", "F5.Zep", "Missing.Zep", "I.Zep"});
    const std::string kept =
        "1 I.Zep|2 F5.Zep|3 P.Zep|4 F9.Zep|5 F8.Zep|6 F7.Zep|7 F6.Zep|8 F4.Zep";
    EXPECT_EQ(recent(), kept);
    form().close();
    program.reset();

    Start();
    EXPECT_EQ(recent(), kept);
    fs::remove(dir / "F5.Zep");
    dialogs.messages.clear();
    menu("mnuFileRecent")->actions().at(1)->trigger();
    EXPECT_EQ(dialogs.messages.join('|').toStdString(),
              "Information: This file is no longer there and has left the recent files: " +
                  dir / "F5.Zep");
    menu("mnuFileRecent")->actions().at(3)->trigger();
    EXPECT_EQ(Rows(), "* F9.Zep / Max Number : 7");
    EXPECT_EQ(recent(), "1 F9.Zep|2 I.Zep|3 P.Zep|4 F8.Zep|5 F7.Zep|6 F6.Zep|7 F4.Zep");
    form().close();
    EXPECT_NE(test::Contents(iniName).find("[RecentFiles]\r\nFile1=" + dir / "F9.Zep"),
              std::string::npos);
    EXPECT_EQ(test::Contents(iniName).find("File8="), std::string::npos);
}

// What the Coverage window shows against the table it was made from: "" when they agree.
std::string Mismatch(const QAbstractItemModel& shown, const Coverage& table) {
    if (shown.rowCount() != static_cast<int>(table.rows.size()) ||
        shown.columnCount() != 2 + static_cast<int>(table.columns.size())) {
        return "size";
    }
    for (int r = 0; r < shown.rowCount(); ++r) {
        const CoverageRow& row = table.rows[static_cast<std::size_t>(r)];
        const auto at = [&](int c, int role = Qt::DisplayRole) {
            return shown.data(shown.index(r, c), role);
        };
        const QString label =
            row.blank ? VisibleBlankLabel(row.label) : QString::fromStdString(row.label);
        if (at(0).toString() != label || at(0, Qt::FontRole).value<QFont>().italic() != row.blank ||
            at(1).toInt() != row.files) {
            return "row " + std::to_string(r);
        }
        for (std::size_t f = 0; f < row.positions.size(); ++f) {
            const int c = 2 + static_cast<int>(f);
            if (at(c).toString().toStdString() != row.positions[f] ||
                at(c, Qt::BackgroundRole).isValid() == row.positions[f].empty()) {
                return "row " + std::to_string(r) + " file " + std::to_string(f);
            }
        }
    }
    return "";
}

TEST_F(frmMainFollowsUserTest, CoverageWindowShowsWhatTheFilesShareAndFollowsTheList) {
    Start();
    fs::copy_file(ZEP_TEST_DATA_DIR "/zepconv/sort/in/blank.Zep", dir / "blank.Zep");
    Click(frmMain::kAddFile, {"P.Zep", "blank.Zep"});
    Choose(menu("mnuTools"), "mnuToolsCoverage");
    auto* window = form().findChild<frmCoverage*>();
    ASSERT_TRUE(window != nullptr && window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Coverage");
    const QAbstractItemModel& shown = *window->findChild<QTableView*>()->model();
    Workspace& ws = program->workspace;
    const auto heading = [&] {
        QStringList names;
        for (int c = 0; c < shown.columnCount(); ++c) {
            names << shown.headerData(c, Qt::Horizontal).toString();
        }
        return names.join('|').toStdString();
    };
    EXPECT_EQ(heading(), "label|files|P.Zep|blank.Zep");
    EXPECT_EQ(shown.headerData(3, Qt::Horizontal, Qt::ToolTipRole).toString().toStdString(),
              dir / "blank.Zep");
    EXPECT_EQ(Mismatch(shown, CoverageOf(ws, true)), "");
    EXPECT_EQ(shown.data(shown.index(shown.rowCount() - 1, 0)).toString(), "(4 spaces)");

    const std::string before = CoverageCsv(CoverageOf(ws));
    Click(frmMain::kAddFile, {"A.Zep"});
    Click(frmMain::kCompare);
    EXPECT_NE(CoverageCsv(CoverageOf(ws)), before);
    EXPECT_EQ(Mismatch(shown, CoverageOf(ws, true)), "") << "Compare";
    ClickRow(1);
    Click(frmMain::kDeleteFile);
    EXPECT_EQ(heading(), "label|files|blank.Zep|A.Zep");
    EXPECT_EQ(Mismatch(shown, CoverageOf(ws, true)), "") << "Remove";

    auto* exportCsv = window->findChild<QPushButton*>("cmdExportCsv");
    Reply({"table.csv"});
    QTest::mouseClick(exportCsv, Qt::LeftButton);
    EXPECT_EQ(test::Contents(dir / "table.csv"), CoverageCsv(CoverageOf(ws)));
    Reply({"gone/table.csv"});
    QTest::mouseClick(exportCsv, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.back().startsWith(
        QString::fromStdString("Critical: File unwriteble!!! -- " + dir / "gone/table.csv")))
        << dialogs.messages.back().toStdString();
    Click(frmMain::kNewList);
    EXPECT_EQ(shown.rowCount() * 10 + shown.columnCount(), 2);
    form().close();
    EXPECT_FALSE(window->isVisible());
}

// 20 files of 3,000 labels, half of them shared by all: the table is made without a pause.
TEST_F(frmMainFollowsUserTest, CoverageOfALargeListIsQuick) {
    Start();
    Workspace& ws = program->workspace;
    for (int f = 0; f < 20; ++f) {
        FileData& record = ws.store[ws.store.AddFileData()];
        record.SizeLabels(3000);
        for (int j = 1; j <= 3000; ++j) {
            record.SetLabel(j, j % 2 == 0 ? "shared " + std::to_string(j)
                                          : "own " + std::to_string(j) + "-" + std::to_string(f));
        }
    }
    frmCoverage window(ws, dialogs, &form());
    QElapsedTimer timer;
    timer.start();
    window.ShowCoverage();
    window.show();
    QApplication::processEvents();
    const qint64 took = timer.elapsed();
    EXPECT_EQ(window.Model().rowCount(), 1500 + 20 * 1500);
    // A view with a widget per cell takes seconds here; the table is shown in 35-80 ms on a busy
    // two-core machine, most of it spent counting the labels.
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(took, 3000);
#else
    EXPECT_LT(took, 500);
#endif
}

}  // namespace
}  // namespace zep
