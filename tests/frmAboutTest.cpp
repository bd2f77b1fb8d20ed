#include "app/frmAbout.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <fstream>

#include "QtTestApp.h"
#include "TestWorkspace.h"
#include "support/StringTable.h"

namespace zep {
namespace {

using test::RecordingMessages;
using test::TempDir;

constexpr char kUnavailable[] = "此時的系統資訊無法取得";

QString Res(std::int32_t id) {
    const std::string_view text = ResString(id);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Records what would be started, and starts it or not as the test says.
class RecordingLauncher : public ProgramLauncher {
public:
    bool succeed = true;
    std::vector<std::string> started;
    bool StartDetached(const std::string& program) override {
        started.push_back(program);
        return succeed;
    }
};

class frmAboutTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureQtApp(); }

    QString Text(const char* name) {
        if (auto* label = about().findChild<QLabel*>(name)) {
            return label->text();
        }
        return about().findChild<QPushButton*>(name)->text();
    }
    void ClickSysInfo() {
        QTest::mouseClick(about().findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
    }
    frmAbout& about() {
        if (!about_) {
            about_ = std::make_unique<frmAbout>(registry, launcher, messages);
        }
        return *about_;
    }

    MemoryRegistry registry;
    RecordingLauncher launcher;
    RecordingMessages messages;

private:
    std::unique_ptr<frmAbout> about_;
};

TEST_F(frmAboutTest, ShowsTitleVersionDescriptionAndCredits) {
    EXPECT_EQ(about().windowTitle(), "About ZEP converter");
    EXPECT_EQ(Text("lblTitle"), "ZEP Converter");
    EXPECT_EQ(Text("lblVersion"), "Version : 1.0.10 beta");
    EXPECT_EQ(Text("lblDescription"), "Convert MORVEL ZEP files to Vostrel Space.\n\n" + Res(1041));
    EXPECT_EQ(Text("lblDisclaimer"), Res(1039) + "\n" + Res(2007));
    EXPECT_EQ(Text("cmdOK"), "&OK");
    EXPECT_EQ(Text("cmdSysInfo"), "&System Info...");
    EXPECT_FALSE(about().findChild<QLabel*>("picIcon")->pixmap().isNull());
}

TEST_F(frmAboutTest, OkClosesTheBox) {
    about().show();
    QTest::mouseClick(about().findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(about().isVisible());
    EXPECT_EQ(about().result(), QDialog::Accepted);
}

TEST_F(frmAboutTest, FirstKeyPathIsStartedAsItStandsAndTheBoxStaysOpen) {
    registry.SetValue(kHKeyLocalMachine, kMsInfoKey, kMsInfoValue,
                      RegString("/no/such/folder/msinfo"));
    about().show();
    ClickSysInfo();
    EXPECT_EQ(launcher.started, std::vector<std::string>{"/no/such/folder/msinfo"});
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(about().isVisible());
}

TEST_F(frmAboutTest, FirstKeyPathThatFailsToStartShowsTheMessageWithoutIcon) {
    registry.SetValue(kHKeyLocalMachine, kMsInfoKey, kMsInfoValue, RegString("/bin/broken"));
    launcher.succeed = false;
    ClickSysInfo();
    EXPECT_EQ(launcher.started, std::vector<std::string>{"/bin/broken"});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kUnavailable);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
}

TEST_F(frmAboutTest, SecondKeyFolderIsTakenWhenTheToolFileExistsThere) {
    TempDir dir;
    std::ofstream(dir / "MSINFO32.EXE") << "x";
    for (const std::string& folder : {dir.path(), dir.path() + "/"}) {
        MemoryRegistry only;
        only.SetValue(kHKeyLocalMachine, kSharedToolsKey, kSharedToolsValue, RegString(folder));
        RecordingLauncher started;
        frmAbout box(only, started, messages);
        QTest::mouseClick(box.findChild<QPushButton*>("cmdSysInfo"), Qt::LeftButton);
        // A folder given with its trailing separator yields a doubled one, taken as it is.
        EXPECT_EQ(started.started, std::vector<std::string>{folder + "/MSINFO32.EXE"});
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(frmAboutTest, SecondKeyFolderWithoutTheToolShowsTheMessage) {
    TempDir dir;
    registry.SetValue(kHKeyLocalMachine, kSharedToolsKey, kSharedToolsValue, RegString(dir.path()));
    ClickSysInfo();
    EXPECT_TRUE(launcher.started.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kUnavailable);
}

TEST_F(frmAboutTest, NeitherKeyShowsTheMessageAndStartsNothing) {
    registry.AddKey(kHKeyLocalMachine, kMsInfoKey);
    ClickSysInfo();
    EXPECT_TRUE(launcher.started.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kUnavailable);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(registry.OpenKeyCount(), 0u);
}

TEST_F(frmAboutTest, FirstKeyOfAnotherTypeGivesAnEmptyPathThatCannotStart) {
    TempDir dir;
    std::ofstream(dir / "MSINFO32.EXE") << "x";
    registry.SetValue(kHKeyLocalMachine, kMsInfoKey, kMsInfoValue,
                      RegValue{RegType::Binary, {'/', 'x', 0}});
    registry.SetValue(kHKeyLocalMachine, kSharedToolsKey, kSharedToolsValue, RegString(dir.path()));
    ClickSysInfo();
    EXPECT_TRUE(launcher.started.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kUnavailable);
}

}  // namespace
}  // namespace zep
