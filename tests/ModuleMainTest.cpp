#include "app/ModuleMain.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTreeWidget>
#include <filesystem>
#include <iostream>

#include "QtTestApp.h"
#include "TestWorkspace.h"

namespace zep {

class MessageTexts : public UserDialogs {
public:
    QStringList texts;
    QStringList GetOpenFileNames(QWidget*, const QString&, const QString&,
                                 const QString&) override {
        return {};
    }
    QString GetSaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    void ShowMessage(QWidget*, const QString&, const QString& text, MessageIcon,
                     const QString&) override {
        texts.append(text);
    }
};

// Relative paths, a refused file, a repeated one and "--": all as Add File takes them, in order.
TEST(ModuleMain, StartsWithTheFilesOfItsCommandLineInOrder) {
    test::EnsureQtApp();
    const test::TempDir dir;
    const std::string examples = std::filesystem::relative(ZEP_EXAMPLES_DIR);
    const std::string pacific = examples + "/pacific-rim.Zep",
                      atlantic = examples + "/atlantic.Zep";
    const char* argv[] = {
        "ZEPConverter", pacific.c_str(), ZEP_TEST_DATA_DIR "/bad/row-too-long.Zep", pacific.c_str(),
        "--",           atlantic.c_str()};
    MessageTexts dialogs;
    const auto program = StartUp(dir / "settings.ini", dialogs, *FilesToOpen(6, argv, std::cerr));
    const auto* list = program->MainForm->findChild<QTreeWidget*>("lvFile");
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "* pacific-rim.Zep");
    EXPECT_EQ(list->topLevelItem(1)->text(0), "* atlantic.Zep");
    EXPECT_EQ(list->topLevelItem(1)->text(1).toStdString(), std::filesystem::absolute(atlantic));
    EXPECT_EQ(program->MainForm->findChild<QLabel*>("sbStatusBarText")->text(), "Max Number : 8");
    EXPECT_EQ(dialogs.texts, (QStringList{"Wrong file format!", "This file already in list!"}));
}

}  // namespace zep
