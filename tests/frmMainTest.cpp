// The windows after start-up, driven as the user drives them.

#include "app/frmMain.h"

#include <sys/stat.h>

#include <QTest>
#include <QtWidgets>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "WindowTest.h"
#include "support/AppSettings.h"

namespace zep {
namespace {

namespace fs = std::filesystem;

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

int Pixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

class frmMainTest : public test::WindowTest {};

// Enabling, row markers and messages after each command; menu entries update as the menu opens.
TEST_F(frmMainTest, ButtonsEntriesMarkersAndMessagesFollowEveryCommand) {
    fs::copy_file(ZEP_TEST_DATA_DIR "/bad/row-too-long.Zep", dir / "Broken.Zep");
    ASSERT_EQ(::mkfifo((dir / "Pipe.Zep").c_str(), 0600), 0);  // would block a plain read
    fs::copy_file(dir / "I.Zep", dir / "D.Zep");
    fs::copy_file(ZEP_TEST_DATA_DIR "/uneven/fewer-rows.Zep", dir / "Wide.Zep");
    Start();
    Run("commands 1");
    // The saved I.Zep is a new file: a second name for it is still the same file.
    fs::create_hard_link(dir / "I.Zep", dir / "I2.Zep");
    Seen();
    Run("commands 2");
    fs::remove(dir / "I2.Zep");
    Run("commands 3");
    fs::remove(dir / "A.Zep");  // a folder where A.Zep was: it cannot be saved
    fs::create_directory(dir / "A.Zep");
    Seen();
    Run("commands 4");
    // The copy saved from the pop-up menu holds P as compared: the shared labels first.
    EXPECT_NE(test::Contents(dir / "Copy.Zep").find("\r\nAntarctic\r\nNorth America\r\nCocos"),
              std::string::npos);
    QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_FALSE(menu("mnuFileItem")->isVisible()) << "no pop-up menu without files";
    // Exit closes without asking or saving; the saves that failed left nothing beside the files.
    Run("commands 5");
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(test::NamesIn(dir.path()),
              std::vector<std::string>({"A.Zep", "Broken.Zep", "Copy.Zep", "D.Zep", "I.Zep",
                                        "P.Zep", "Pipe.Zep", "Wide.Zep", "ZEPConverter.ini"}));
}

// The texts, and the fonts: the main window's own, every other control the platform's. The
// dialogs open modal over the main window; the options dialog's buttons stand apart.
TEST_F(frmMainTest, WindowsShowTheTextsOfTheStringTableAndOpenModalOverTheMainWindow) {
    Start();
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
    // Cancel changes nothing.
    Modal("mnuTools mnuToolsOptions", [&](QWidget& options) {
        EXPECT_EQ(options.parentWidget(), &form());
        ExpectTextsOf(options);
        EXPECT_EQ(options.findChild<QTabBar*>()->tabText(0), "Custom");
        for (const QWidget* control : form().findChildren<QWidget*>()) {
            const QFont own = control == &options ? form().font() : QApplication::font(control);
            EXPECT_EQ(control->font(), own) << control->objectName().data();
        }
        const auto* ok = options.findChild<QPushButton*>("cmdOK");
        auto* cancel = options.findChild<QPushButton*>("cmdCancel");
        EXPECT_TRUE(qobject_cast<QDialogButtonBox*>(ok->parentWidget()));
        EXPECT_FALSE(ok->geometry().adjusted(-1, -1, 1, 1).intersects(cancel->geometry()));
        EXPECT_EQ(ok->property("tag").toString() + cancel->property("tag").toString(), "10351034");
        options.findChild<QLineEdit*>("txtTolPerLin")->setText("7");
        QTest::mouseClick(cancel, Qt::LeftButton);
    });
    EXPECT_EQ(test::OptionsText(program->workspace.options), "000.005 11 111");
    EXPECT_FALSE(fs::exists(iniName));
}

// OK checks both boxes: a refusal shows its message and changes nothing, else options are stored.
TEST_F(frmMainTest, OptionsDialogTakesAWholeAmountOfOneOrMoreAndAOneWordTolerance) {
    Start();
    AppINI stored;
    stored.IniName = iniName;
    for (const auto& row : test::Table("options-dialog.tsv")) {
        SCOPED_TRACE(row[0] + "|" + row[1]);
        program->workspace.options = Options{};
        fs::remove(iniName);
        dialogs.messages.clear();
        Modal("mnuTools mnuToolsOptions", [&](QWidget& dialog) {
            auto* amount = dialog.findChild<QLineEdit*>("txtTolPerLin");
            amount->setText(QString::fromStdString(row[0]));
            dialog.findChild<QLineEdit*>("txtDefTolerance")
                ->setText(QString::fromStdString(row[1]));
            QTest::mouseClick(dialog.findChild<QAbstractButton*>("cmdOK"), Qt::LeftButton);
            EXPECT_EQ(dialog.isVisible(), !row[2].empty());
            EXPECT_EQ(amount->text().toStdString(), row[3]);
        });
        EXPECT_EQ(dialogs.messages.join('|').toStdString(),
                  row[2].empty() ? "" : "Critical: " + row[2]);
        EXPECT_EQ(test::OptionsText(program->workspace.options), row[4]);
        EXPECT_EQ(fs::exists(iniName), row[2].empty());
        EXPECT_EQ(test::OptionsText(ReadOptions(stored)), row[4]);
    }
}

// The dialog shows the options in memory; OK keeps an untouched tolerance's bytes, grayed = off.
TEST_F(frmMainTest, OptionsDialogShowsTheOptionsInMemory) {
    Start();
    Options& options = program->workspace.options;
    options = {"0.01\xB5", -3, false, true, false};
    Modal("mnuTools mnuToolsOptions", [&](QWidget& dialog) {
        auto* amount = dialog.findChild<QLineEdit*>("txtTolPerLin");
        EXPECT_EQ(amount->text(), "-3");
        std::string checks;
        for (const char* box : {"chkSortAscii", "chkAdjToMax", "chkSortSpaceToLast"}) {
            checks += dialog.findChild<QCheckBox*>(box)->isChecked() ? '1' : '0';
        }
        EXPECT_EQ(checks, "010");
        amount->setText("9");
        dialog.findChild<QCheckBox*>("chkSortAscii")->setChecked(true);
        dialog.findChild<QCheckBox*>("chkAdjToMax")->setTristate(true);
        dialog.findChild<QCheckBox*>("chkAdjToMax")->setCheckState(Qt::PartiallyChecked);
        QTest::mouseClick(dialog.findChild<QAbstractButton*>("cmdOK"), Qt::LeftButton);
    });
    EXPECT_EQ(test::OptionsText(options), "0.01\xB5 9 100");
    AppINI stored;
    stored.IniName = iniName;
    EXPECT_EQ(test::OptionsText(ReadOptions(stored)), "0.01\xB5 9 100");
}

// Start-up takes the options and the window's client area (in twips) from the settings file and
// writes nothing; closing stores the same bounds, unless the window is minimized.
TEST_F(frmMainTest, StartUpReadsTheSettingsAndClosingStoresThePosition) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double tppX = 1440.0 / screen->logicalDotsPerInchX();
    const double tppY = 1440.0 / screen->logicalDotsPerInchY();
    auto twips = [](double pixels, double tpp) {
        return std::to_string(std::lround(pixels * tpp));
    };
    Start();
    EXPECT_EQ(form().geometry(), QRect(Pixels(1000, tppX), Pixels(1000, tppY), Pixels(6500, tppX),
                                       Pixels(6500, tppY)));
    EXPECT_FALSE(fs::exists(iniName));
    Stop();
    EXPECT_NE(test::Contents(iniName).find("MainLeft=" + twips(Pixels(1000, tppX), tppX)),
              std::string::npos);

    const std::string settings =
        "[Setup]\r\nLNG_OPT_COUNT_PER_TOLERANCELINE=4\r\n[POSTION]\r\n"
        "MainLeft=" +
        twips(100, tppX) + "\r\nMainTop=" + twips(50, tppY) + "\r\nMainWidth=" + twips(520, tppX) +
        "\r\nMainHeight=\r\n";
    test::Put(iniName, settings);
    Start();
    EXPECT_EQ(program->workspace.options.LNG_OPT_COUNT_PER_TOLERANCELINE, 4);
    EXPECT_EQ(form().geometry(), QRect(100, 50, 520, Pixels(6500, tppY)));
    EXPECT_EQ(test::Contents(iniName), settings);
    form().setGeometry(130, 70, 610, 430);
    QApplication::processEvents();
    const QRect moved = form().geometry();
    // The list follows the window: 200 twips narrower and 1500 twips lower than its outer size.
    const QSize outer = form().frameGeometry().size();
    EXPECT_EQ(list()->size(), QSize(Pixels(outer.width() * tppX - 200, tppX),
                                    Pixels(outer.height() * tppY - 1500, tppY)));
    Stop();
    for (int session = 1; session <= 4; ++session) {
        const std::string stored = test::Contents(iniName);
        Start();
        EXPECT_EQ(form().geometry(), moved);
        Stop();
        EXPECT_EQ(test::Contents(iniName), stored) << "session " << session;
    }
    Start();
    form().showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(form().isMinimized());
    const std::string before = test::Contents(iniName);
    form().close();
    EXPECT_EQ(test::Contents(iniName), before);
    program.reset();

    // Saved off every screen, and larger than it: the window is shrunk and moved onto it.
    const QRect room = screen->availableGeometry();
    test::Put(iniName, "[POSTION]\r\nMainLeft=-90000\r\nMainTop=200000\r\nMainWidth=" +
                           twips(room.width() + 300, tppX) + "\r\n");
    Start();
    for (int waited = 0; waited < 2000 && !room.contains(form().frameGeometry()); waited += 20) {
        QTest::qWait(20);
    }
    EXPECT_TRUE(room.contains(form().frameGeometry())) << form().frameGeometry().x();
    EXPECT_EQ(form().frameGeometry().width(), room.width());
    EXPECT_EQ(form().frameGeometry().bottom(), room.bottom());
    EXPECT_EQ(form().geometry().height(), Pixels(6500, tppY));
    form().showMaximized();
    QApplication::processEvents();
    const QRect maximized = form().geometry();
    form().close();
    EXPECT_NE(test::Contents(iniName).find("MainWidth=" + twips(maximized.width(), tppX)),
              std::string::npos);
}

}  // namespace
}  // namespace zep
