#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>
#include <filesystem>
#include <functional>
#include <utility>

#include "QtTestApp.h"
#include "TestWorkspace.h"
#include "app/ModuleMain.h"
#include "app/frmLabels.h"
#include "app/frmOptions.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

// Answers each file dialog with the reply set for it, noting the folder it opened in.
struct FakeDialogs : UserDialogs {
    QStringList openReply, folders;
    QString saveReply;
    std::vector<std::pair<QString, QString>> messages;  // text, detail

    QStringList GetOpenFileNames(QWidget*, const QString&, const QString&,
                                 const QString& folder) override {
        folders.append(folder);
        return std::exchange(openReply, {});
    }
    QString GetSaveFileName(QWidget*, const QString&, const QString&,
                            const QString& folder) override {
        folders.append(folder);
        return std::exchange(saveReply, {});
    }
    void ShowMessage(QWidget*, const QString&, const QString& text, MessageIcon,
                     const QString& detail) override {
        messages.emplace_back(text, detail);
    }
};

class frmMainFollowsUserTest : public ::testing::Test {
protected:
    void Start() {
        test::EnsureQtApp();
        program = StartUp(ini, dialogs);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }
    frmMain& form() { return *program->MainForm; }
    QTreeWidget* list() { return form().findChild<QTreeWidget*>("lvFile"); }
    void Press(int button) { form().ToolbarButton(button)->trigger(); }
    // A copy of a sample file in the scratch folder (or one below it).
    QString Sample(const std::string& name, const std::string& as = "") {
        const fs::path target = fs::path(dir.path()) / (as.empty() ? name : as);
        fs::create_directories(target.parent_path());
        fs::copy_file(fs::path(ZEP_EXAMPLES_DIR) / name, target);
        return QString::fromStdString(target.string());
    }
    void Add(const QStringList& paths) {
        dialogs.openReply = paths;
        form().findChild<QAction*>("mnuFileOpen")->trigger();
    }
    void Click(int row, Qt::MouseButton button, bool twice = false) {
        const QPoint at = list()->visualItemRect(list()->topLevelItem(row - 1)).center();
        QTest::mouseClick(list()->viewport(), button, {}, at);
        if (twice) {
            QTest::mouseDClick(list()->viewport(), button, {}, at);
        }
    }
    // Double-clicks a row and gives the label view that opened last.
    frmLabels* OpenLabels(int row) {
        Click(row, Qt::LeftButton, true);
        const QList<frmLabels*> views = form().findChildren<frmLabels*>();
        return views.value(views.size() - 1);
    }

    test::TempDir dir;
    std::string ini = dir / "ZEPConverter.ini";
    FakeDialogs dialogs;
    std::unique_ptr<Program> program;
};

TEST_F(frmMainFollowsUserTest, LabelViewsFollowTheirFilesUntilTheyLeaveTheList) {
    Start();
    auto Shown = [](const QPointer<frmLabels>& view) { return view && view->isVisible(); };
    Add({Sample("pacific-rim.Zep"), Sample("atlantic.Zep"), Sample("indian-ocean.Zep")});
    QPointer<frmLabels> other = OpenLabels(2);
    QPointer<frmLabels> view = OpenLabels(1);
    ASSERT_TRUE(Shown(view) && view != other);
    const QString title = view->windowTitle();
    EXPECT_TRUE(title.contains("pacific-rim.Zep") && title.contains("ZEP Converter"));
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

TEST_F(frmMainFollowsUserTest, SaveButtonFollowsEveryChangeOfTheSelectedRow) {
    Start();
    const std::vector<std::tuple<const char*, std::function<void()>, bool>> steps = {
        {"added",
         [&] {
             Add({Sample("pacific-rim.Zep"), Sample("atlantic.Zep")});
         },
         true},
        {"second saved", [&] { Press(frmMain::kSaveFile); }, false},
        {"key up to the first", [&] { QTest::keyClick(list(), Qt::Key_Up); }, true},
        {"key down to the second", [&] { QTest::keyClick(list(), Qt::Key_Down); }, false},
        {"pop-up menu on the first", [&] { Click(1, Qt::RightButton); }, true},
        {"remove selects the saved second", [&] { Press(frmMain::kDeleteFile); }, false},
        {"add selects the new file", [&] { Add({Sample("indian-ocean.Zep")}); }, true},
        {"no row selected", [&] { list()->clearSelection(); }, false},
    };
    for (const auto& [name, step, enabled] : steps) {
        step();
        form().findChild<QMenu*>("mnuFileItem")->hide();
        EXPECT_EQ(form().ToolbarButton(frmMain::kSaveFile)->isEnabled(), enabled) << name;
    }
}

TEST_F(frmMainFollowsUserTest, SmallestWindowKeepsEverythingReadable) {
    Start();
    Add({Sample("pacific-rim.Zep"), Sample("atlantic.Zep")});
    form().SetStatusText("Max Number : 999999");
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
    const QString longName = Sample("atlantic.Zep", "a-file-name-too-long-for-its-column.Zep");
    Add({Sample("atlantic.Zep", "A.Zep"), longName});
    form().resize(1, 1);
    list()->setColumnWidth(0, 120);
    QApplication::processEvents();
    // The cell without a cut first: a tip once shown lingers a while.
    const std::tuple<int, int, QString> cells[] = {
        {1, 0, ""}, {2, 0, "* a-file-name-too-long-for-its-column.Zep"}, {2, 1, longName}};
    for (const auto& [row, column, tip] : cells) {
        const QPoint at = list()->visualRect(list()->model()->index(row - 1, column)).center();
        QHelpEvent event(QEvent::ToolTip, at, list()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list()->viewport(), &event);
        EXPECT_EQ(QToolTip::text(), tip) << row << ',' << column;
    }
}

TEST_F(frmMainFollowsUserTest, FileDialogsOpenInTheFolderUsedLastAlsoInTheNextRun) {
    Start();
    Add({Sample("atlantic.Zep", "in/atlantic.Zep")});
    dialogs.saveReply = Sample("atlantic.Zep", "out/copy.Zep");
    form().findChild<QAction*>("mnuFileItemSaveAs")->trigger();
    Add({});
    EXPECT_EQ(dialogs.folders, QStringList({"", QString::fromStdString(dir / "in"),
                                            QString::fromStdString(dir / "out")}));
    EXPECT_FALSE(fs::exists(ini)) << "written before the window closed";
    form().close();
    program.reset();

    Start();
    Add({});
    EXPECT_EQ(dialogs.folders.back(), QString::fromStdString(dir / "out"));
}

TEST_F(frmMainFollowsUserTest, ControlsKeepTheirFontsAndOptionsButtonsStandApart) {
    Start();
    test::RecordingMessages messages;
    frmOptions options(program->workspace.options, program->SettingsStore, messages, &form());
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
    const QString bad = ZEP_TEST_DATA_DIR "/bad/row-too-long.Zep";
    Add({bad});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].first, "Wrong file format!");
    EXPECT_TRUE(dialogs.messages[0].second.contains(bad + ": ")) << "the file, then the reason";
    EXPECT_TRUE(dialogs.messages[0].second.endsWith("(line 9)"));
}

}  // namespace
}  // namespace zep
