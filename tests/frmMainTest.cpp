// The windows, started from a command line and driven as the user drives them, and how the about
// box finds files and its system information tool.

#include "app/frmMain.h"

#include <cstdlib>

#include "WindowTest.h"
#include "app/Registry.h"
#include "support/AppSettings.h"
#include "support/FSUPLIBmain.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

class frmMainTest : public test::WindowTest {};

// Enabling, row markers and messages after each command; menu entries update as the menu opens.
TEST_F(frmMainTest, ButtonsEntriesMarkersAndMessagesFollowEveryCommand) {
    Run("commands");
}
// Relative paths, a refused file, a repeated one and "--": all as Add File takes them, in order.
TEST_F(frmMainTest, StartsWithTheFilesOfItsCommandLineInOrder) {
    Run("command line");
}
// Start-up takes the options and the window's client area (in twips) from the settings file and
// writes nothing; closing stores the same bounds, unless the window is minimized.
TEST_F(frmMainTest, StartUpReadsTheSettingsAndClosingStoresThePosition) {
    Run("placement");
}
TEST_F(frmMainTest, LabelViewsFollowTheirFilesUntilTheyLeaveTheList) {
    Run("views");
}
// An asterisk inside a file name is no marker; the save message stays beside "Max Number : ".
TEST_F(frmMainTest, SaveButtonFollowsEveryChangeOfTheSelectedRow) {
    Run("save button");
}
TEST_F(frmMainTest, CutNamesAndPathsShowInFullAsToolTips) {
    Run("tips");
}
TEST_F(frmMainTest, FileDialogsOpenInTheFolderUsedLastAlsoInTheNextRun) {
    Run("folders");
}
TEST_F(frmMainTest, UndoTakesBackReorderingsOneAfterAnother) {
    Run("undo");
}
// Each key acts as its entry would just then, and only when the entry would be enabled.
TEST_F(frmMainTest, KeyboardReachesRowsPopUpMenuAndCommands) {
    Run("keys");
}
TEST_F(frmMainTest, RecentFilesAreKeptNewestFirstAndAGoneOneIsDropped) {
    Run("recent");
}
TEST_F(frmMainTest, CoverageWindowShowsWhatTheFilesShareAndFollowsTheList) {
    Run("coverage");
}

// Save asks before replacing a file changed on disk; Save As onto a listed file marks its row.
TEST_F(frmMainTest, SavesGuardFilesChangedOnDiskAndMarkFilesTheyReplace) {
    dialogs.answers = {false, true};
    Run("save guard");
}

// Every text tests/data/tables/window-texts.tsv gives for the window, where the window shows it.
void ExpectTextsOf(const QWidget& window) {
    for (const auto& row : test::Table("window-texts.tsv")) {
        const QString child = QString::fromStdString(row[0]).section('/', 1);
        if (QString::fromStdString(row[0]).section('/', 0, 0) == window.objectName()) {
            const QObject* control = child.isEmpty() ? &window : window.findChild<QObject*>(child);
            ASSERT_NE(control, nullptr) << row[0];
            EXPECT_EQ(control->property(row[1].c_str()).toString().toStdString(), row[2]);
        }
    }
}

// The texts, and the fonts: the main window's own, every other control the platform's. The
// dialogs open modal over the main window; the options dialog's buttons stand apart.
TEST_F(frmMainTest, WindowsShowTheTextsOfTheStringTableAndOpenModalOverTheMainWindow) {
    Do("start");
    ExpectTextsOf(form());
    EXPECT_EQ(list()->headerItem()->text(0) + " | " + list()->headerItem()->text(1),
              "File Name | Full Path");
    EXPECT_EQ(form().font(), QFont("MS Sans Serif", 9));
    // Without a system information tool on $PATH, System Info says so; the licence is LICENSE's.
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    ::setenv("PATH", dir.path().c_str(), 1);
    Modal("mnuHelp mnuHelpAbout", [&](QWidget& box) {
        EXPECT_EQ(box.parentWidget(), &form());
        ExpectTextsOf(box);
        QTest::mouseClick(box.findChild<QAbstractButton*>("cmdSysInfo"), Qt::LeftButton);
        EXPECT_TRUE(box.isVisible());
        QTest::mouseClick(box.findChild<QAbstractButton*>("cmdLicence"), Qt::LeftButton);
    });
    ::setenv("PATH", path.c_str(), 1);
    const QString licence = QString::fromStdString(test::Contents(ZEP_EXAMPLES_DIR "/../LICENSE"));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[0], "此時的系統資訊無法取得");
    EXPECT_EQ(dialogs.messages[1].simplified(), "Information: " + licence.simplified());
    Modal("mnuTools mnuToolsOptions", [&](QWidget& options) {
        EXPECT_EQ(options.parentWidget(), &form());
        ExpectTextsOf(options);
        EXPECT_EQ(options.findChild<QTabBar*>()->tabText(0), "Custom");
        for (const QWidget* control : form().findChildren<QWidget*>()) {
            const QFont own = control == &options ? form().font() : QApplication::font(control);
            EXPECT_EQ(control->font(), own) << control->objectName().data();
        }
        const auto* ok = options.findChild<QPushButton*>("cmdOK");
        const auto* cancel = options.findChild<QPushButton*>("cmdCancel");
        EXPECT_TRUE(qobject_cast<QDialogButtonBox*>(ok->parentWidget()));
        EXPECT_FALSE(ok->geometry().adjusted(-1, -1, 1, 1).intersects(cancel->geometry()));
        EXPECT_EQ(ok->property("tag").toString() + cancel->property("tag").toString(), "10351034");
    });
}

// The dialog shows the options in memory. OK checks both boxes: a refusal shows its message and
// changes nothing, else the options are stored, an untouched tolerance's bytes kept, grayed = off.
TEST_F(frmMainTest, OptionsDialogTakesAWholeAmountOfOneOrMoreAndAOneWordTolerance) {
    Do("start");
    AppINI stored;
    stored.IniName = iniName;
    const char* boxes[] = {"chkSortAscii", "chkAdjToMax", "chkSortSpaceToLast"};
    for (const auto& row : test::Table("options-dialog.tsv")) {
        SCOPED_TRACE(row[2] + "|" + row[3]);
        Options& options = program->workspace.options = Options{};
        std::string on = "111";
        std::istringstream(row[0]) >> options.STR_OPT_TOLERANCE >>
            options.LNG_OPT_COUNT_PER_TOLERANCELINE >> on;
        options.BLN_OPT_SORTASCII = on[0] == '1';
        options.BLN_OPT_ADJTOMAXCOUNT = on[1] == '1';
        options.BLN_OPT_SORT_SPACE_TO_LAST = on[2] == '1';
        fs::remove(iniName);
        dialogs.messages.clear();
        Modal("mnuTools mnuToolsOptions", [&](QWidget& dialog) {
            auto* amount = dialog.findChild<QLineEdit*>("txtTolPerLin");
            auto* tolerance = dialog.findChild<QLineEdit*>("txtDefTolerance");
            std::string shown =
                tolerance->text().toStdString() + " " + amount->text().toStdString();
            for (std::size_t i = 0; i < 3; ++i) {
                auto* box = dialog.findChild<QCheckBox*>(boxes[i]);
                shown += (i == 0 ? " " : "") + std::string(box->isChecked() ? "1" : "0");
                box->setTristate(row[4][i] == '-');
                box->setCheckState(row[4][i] == '1'   ? Qt::Checked
                                   : row[4][i] == '0' ? Qt::Unchecked
                                                      : Qt::PartiallyChecked);
            }
            EXPECT_EQ(shown, row[1]);
            for (auto [box, typed] : {std::pair{amount, row[2]}, {tolerance, row[3]}}) {
                if (typed != "=") {
                    box->setText(QString::fromStdString(typed));
                }
            }
            QTest::mouseClick(dialog.findChild<QAbstractButton*>(row[5].c_str()), Qt::LeftButton);
            EXPECT_EQ(dialog.isVisible(), !row[6].empty());
            EXPECT_EQ(amount->text().toStdString(), row[7]);
        });
        EXPECT_EQ(dialogs.messages.join('|').toStdString(),
                  row[6].empty() ? "" : "Critical: " + row[6]);
        EXPECT_EQ(test::OptionsText(program->workspace.options), row[8]);
        const bool stores = row[5] == "cmdOK" && row[6].empty();
        EXPECT_EQ(fs::exists(iniName), stores);
        EXPECT_EQ(test::OptionsText(ReadOptions(stored)), stores ? row[8] : "000.005 11 111");
    }
}

TEST_F(frmMainTest, SmallestWindowKeepsEverythingReadable) {
    Do("start");
    Do("AddFile P.Zep A.Zep");
    form().Rows().SetStatusText("Max Number : 999999");
    Do("geometry 100 100 1 1");
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

// An unknown option is echoed, but a terminal's control bytes in it are shown escaped.
TEST(ModuleMainOptions, UnknownOptionIsNamedWithoutItsControlBytes) {
    const char* argv[] = {"ZEPConverter", "-\x1b]0;x\x07\xc3\xa9"};
    std::ostringstream err;
    EXPECT_FALSE(FilesToOpen(2, argv, err));
    EXPECT_EQ(err.str(),
              "ZEPConverter: unknown option '-\\x1b]0;x\\x07\xc3\xa9'\n"
              "Run 'ZEPConverter --help' for more information.\n");
}

// Hidden files count only with the hidden bit; folders never; the last part may be a glob.
TEST(FileExist, FindsFilesByNameOrPattern) {
    test::TempDir dir;
    test::Put(dir / "plain.Zep", "x");
    test::Put(dir / ".hidden.Zep", "x");
    fs::create_directory(dir / "folder");
    for (const auto& row : test::Table("file-exist.tsv")) {
        const std::string path = row[0].empty() ? "" : dir / row[0];
        EXPECT_EQ(FileExist(path, kAttrNormal), row[1] == "1") << path;
        EXPECT_EQ(FileExist(path, kAttrHidden | kAttrSystem), row[2] == "1") << path;
    }
}

// The first key's path as it stands; else the second key's folder when the tool is there.
TEST(FindSysInfoTool, TakesTheFirstKeyOrAToolInTheSecondKeysFolder) {
    test::TempDir dir;
    test::Put(dir / "MSINFO32.EXE", "x");
    MemoryRegistry registry;
    registry.AddKey(kHKeyLocalMachine, kMsInfoKey);  // without its value
    EXPECT_EQ(FindSysInfoTool(registry), std::nullopt);
    const auto expand = [&](const std::string& text) {
        return text.starts_with("p*")  ? std::string(std::stoul(text.substr(2)), 'p')
               : text.starts_with("~") ? dir.path() + text.substr(1)
                                       : text;
    };
    for (const auto& row : test::Table("sys-info-tool.tsv")) {
        registry.SetValue(kHKeyLocalMachine, row[0], row[1], RegString(expand(row[2])));
        EXPECT_EQ(FindSysInfoTool(registry).value_or("-"), expand(row[3])) << row[2];
    }
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

// The first listed program executable on $PATH; never one in the working folder (empty entry).
TEST(PlatformRegistry, AnswersTheFirstKeyWithTheFirstToolOnPath) {
    test::TempDir first;
    test::TempDir second;
    test::TempDir working;
    for (const std::string& tool :
         {first / "hardinfo2", second / "hardinfo", first / "kinfocenter", working / "hardinfo2"}) {
        test::Put(tool, "#!/bin/sh\n");
        ::chmod(tool.c_str(), tool == first / "hardinfo2" ? 0644 : 0755);
    }
    fs::create_directory(first / "hardinfo");
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    const fs::path folder = fs::current_path();
    fs::current_path(working.path());
    ::setenv("PATH", (":" + first.path() + "::" + second.path() + ":").c_str(), 1);
    const auto registry = PlatformRegistry();
    ::setenv("PATH", path.c_str(), 1);
    fs::current_path(folder);
    EXPECT_EQ(FindSysInfoTool(*registry), second / "hardinfo");
}

}  // namespace
}  // namespace zep
