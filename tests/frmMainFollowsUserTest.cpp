// The main window keeps up with its user: views, Save, size, tips, dialogs, keys, Undo, Coverage.

#include <tuple>

#include "WindowTest.h"
#include "app/frmCoverage.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

class frmMainFollowsUserTest : public test::WindowTest {
protected:
    frmLabels* OpenLabels(int row) {
        ClickRow(row);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, RowPoint(row));
        const QList<frmLabels*> views = form().findChildren<frmLabels*>();
        return views.value(views.size() - 1);
    }
};

TEST_F(frmMainFollowsUserTest, LabelViewsFollowTheirFilesUntilTheyLeaveTheList) {
    Start();
    auto Shown = [](const QPointer<frmLabels>& view) { return view && view->isVisible(); };
    Do("AddFile P.Zep A.Zep I.Zep");
    QPointer<frmLabels> other = OpenLabels(2);
    QPointer<frmLabels> view = OpenLabels(1);
    ASSERT_TRUE(Shown(view) && view != other);
    const QString title = view->windowTitle();
    EXPECT_TRUE(title.contains("P.Zep") && title.contains("ZEP Converter"));
    EXPECT_TRUE(view->isWindowModified());
    const QTableWidget* table = view->Table();
    EXPECT_EQ(table->item(0, 1)->text() + table->item(0, 2)->text(), "Pacific0");

    Do("Compare");
    EXPECT_EQ(table->item(0, 1)->text() + table->item(0, 2)->text(), "Antarctic3");
    Do("SaveFile");
    EXPECT_FALSE(view->isWindowModified());
    Do("SortASC");
    EXPECT_EQ(table->item(1, 1)->text(), "Cocos");
    EXPECT_TRUE(view->isWindowModified());

    Do("DeleteFile");
    EXPECT_FALSE(Shown(view)) << "Remove";
    EXPECT_TRUE(Shown(other));
    Do("NewList");
    EXPECT_FALSE(Shown(other)) << "Clear List";
}

// An asterisk inside a file name is no marker; the save message stays beside "Max Number : ".
TEST_F(frmMainFollowsUserTest, SaveButtonFollowsEveryChangeOfTheSelectedRow) {
    Copy("a*b.Zep");
    Copy("x* y.Zep");
    Start();
    Run("save button 1");
    dialogs.replies << QStringList{At("x* y.Zep")};
    Run("save button 2");
    list()->clearSelection();
    EXPECT_EQ(Seen(), "110111 10111 001 1 / a*b.Zep|x* y.Zep / Max Number : 7 / Saved c.Zep");
}

TEST_F(frmMainFollowsUserTest, SmallestWindowKeepsEverythingReadable) {
    Start();
    Do("AddFile P.Zep A.Zep");
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
    Do("AddFile A.Zep " + longName);
    form().resize(1, 1);
    list()->setColumnWidth(0, 120);
    QApplication::processEvents();
    // The cell without a cut first: a tip once shown lingers a while.
    const std::tuple<int, int, QString> cells[] = {
        {1, 0, ""}, {2, 0, QString::fromStdString("* " + longName)}, {2, 1, At(longName)}};
    for (const auto& [row, column, tip] : cells) {
        const QPoint at = list()->visualRect(list()->model()->index(row - 1, column)).center();
        QHelpEvent event(QEvent::ToolTip, at, list()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list()->viewport(), &event);
        EXPECT_EQ(QToolTip::text(), tip) << row << ',' << column;
    }
}

TEST_F(frmMainFollowsUserTest, FileDialogsOpenInTheFolderUsedLastAlsoInTheNextRun) {
    Copy("in/atlantic.Zep");
    Copy("out/copy.Zep");
    Start();
    Run("folders 1");
    EXPECT_FALSE(fs::exists(iniName)) << "written before the window closed";
    Stop();
    Start();
    Run("folders 2");
}

// Save asks before replacing a file changed on disk; Save As onto a listed file marks its row.
TEST_F(frmMainFollowsUserTest, SavesGuardFilesChangedOnDiskAndMarkFilesTheyReplace) {
    Start();
    Run("save guard 1");
    test::Put(dir / "P.Zep", "another program's work");
    Seen();
    dialogs.answers = {false, true};
    Run("save guard 2");
    EXPECT_NE(test::Contents(dir / "P.Zep").find("Pacific"), std::string::npos);
    EXPECT_EQ(test::Contents(dir / "A.Zep"), test::Contents(dir / "P.Zep"));
}

TEST_F(frmMainFollowsUserTest, UndoTakesBackReorderingsOneAfterAnother) {
    Start();
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
    Run("undo 1");
    const std::string read = labels();
    Run("undo 2");
    const std::string sorted = labels();
    Run("undo 3");
    ASSERT_NE(labels(), sorted);
    Run("undo 4");
    EXPECT_EQ(labels(), sorted);
    Run("undo 5");
    EXPECT_EQ(labels(), read);
    Run("undo 6");
}

// Each key acts as its entry would just then, and only when the entry would be enabled.
TEST_F(frmMainFollowsUserTest, KeyboardReachesRowsPopUpMenuAndCommands) {
    Start();
    Run("keys 1");
    Modal("F1", [](QWidget& about) { EXPECT_EQ(about.objectName(), "frmAbout"); });
    form().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
    Do("Ctrl+Q");
    EXPECT_FALSE(form().isVisible());
}

TEST_F(frmMainFollowsUserTest, RecentFilesAreKeptNewestFirstAndAGoneOneIsDropped) {
    const auto recent = [this] {
        QMenu* files = menu("mnuFileRecent");
        files->popup(QPoint(40, 40));
        files->hide();
        QStringList texts;
        for (const QAction* entry : files->actions()) {
            texts << entry->text().remove(At("")).remove('&');
        }
        return texts.join('|').toStdString();
    };
    Start();
    EXPECT_FALSE(menu("mnuFileRecent")->menuAction()->isEnabled());
    for (int i = 1; i <= 9; ++i) {
        Copy("F" + std::to_string(i) + ".Zep");
    }
    Do("AddFile F1.Zep F2.Zep F3.Zep F4.Zep F5.Zep F6.Zep F7.Zep F8.Zep F9.Zep");
    Do("NewList");
    Do("AddFile P.Zep F5.Zep Missing.Zep I.Zep");
    const std::string kept =
        "1 I.Zep|2 F5.Zep|3 P.Zep|4 F9.Zep|5 F8.Zep|6 F7.Zep|7 F6.Zep|8 F4.Zep";
    EXPECT_EQ(recent(), kept);
    Stop();

    Start();
    EXPECT_EQ(recent(), kept);
    fs::remove(dir / "F5.Zep");
    menu("mnuFileRecent")->actions().at(1)->trigger();
    menu("mnuFileRecent")->actions().at(3)->trigger();
    EXPECT_EQ(Seen(),
              "111110 00001 000 1 / * F9.Zep / Max Number : 7 | Information: This file is no "
              "longer there and has left the recent files: ~/F5.Zep");
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
    Do("AddFile P.Zep blank.Zep");
    Do("mnuTools mnuToolsCoverage");
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
    Do("AddFile A.Zep");
    Do("Compare");
    EXPECT_NE(CoverageCsv(CoverageOf(ws)), before);
    EXPECT_EQ(Mismatch(shown, CoverageOf(ws, true)), "") << "Compare";
    ClickRow(1);
    Do("DeleteFile");
    EXPECT_EQ(heading(), "label|files|blank.Zep|A.Zep");
    EXPECT_EQ(Mismatch(shown, CoverageOf(ws, true)), "") << "Remove";

    auto* exportCsv = window->findChild<QPushButton*>("cmdExportCsv");
    dialogs.replies << QStringList{At("table.csv")};
    QTest::mouseClick(exportCsv, Qt::LeftButton);
    EXPECT_EQ(test::Contents(dir / "table.csv"), CoverageCsv(CoverageOf(ws)));
    dialogs.replies << QStringList{At("gone/table.csv")};
    QTest::mouseClick(exportCsv, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.back().startsWith(
        QString::fromStdString("Critical: File unwriteble!!! -- " + dir / "gone/table.csv")))
        << dialogs.messages.back().toStdString();
    Do("NewList");
    EXPECT_EQ(shown.rowCount() * 10 + shown.columnCount(), 2);
    form().close();
    EXPECT_FALSE(window->isVisible());
}

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
    // A view with a widget per cell takes seconds; this one takes 35-80 ms on a busy two-core box.
#if defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(took, 3000);
#else
    EXPECT_LT(took, 500);
#endif
}

}  // namespace
}  // namespace zep
