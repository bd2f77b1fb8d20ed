#pragma once

// The main window after the program's own start-up, driven as the user drives it on Qt's
// offscreen platform, with the file dialogs and message boxes answered by a stand-in.

#include <QTest>
#include <QtWidgets>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestWorkspace.h"
#include "app/ModuleMain.h"

namespace zep::test {

namespace fs = std::filesystem;

// Answers the file dialogs with preset replies and records every request and message box.
class FakeDialogs : public UserDialogs {
public:
    QList<QStringList> replies;
    QStringList requests;  // title and filter of every file dialog
    QStringList folders;   // the folder every file dialog opened in
    QStringList messages;  // icon, text and detail of every message box, and every question
    QList<bool> answers;   // to the next questions; No once they run out

    QStringList GetOpenFileNames(QWidget*, const QString& title, const QString& filter,
                                 const QString& folder) override {
        requests << title + " " + filter;
        folders << folder;
        return replies.isEmpty() ? QStringList() : replies.takeFirst();
    }
    QString GetSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                            const QString& folder) override {
        return GetOpenFileNames(parent, title, filter, folder).value(0);
    }
    void ShowMessage(QWidget*, const QString& title, const QString& text, MessageIcon icon,
                     const QString& detail) override {
        EXPECT_EQ(title, "ZEP converter");
        const char* icons[] = {"", "Information: ", "Critical: "};
        messages << icons[static_cast<int>(icon)] + text +
                        (detail.isEmpty() ? "" : " -- " + detail);
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text,
                  const QString& detail) override {
        EXPECT_EQ(title, "ZEP converter");
        messages << "Question: " + text + (detail.isEmpty() ? "" : " -- " + detail);
        return !answers.isEmpty() && answers.takeFirst();
    }
};

// The main window, and copies of the samples beside it: P.Zep has 8 labels, A.Zep 7, I.Zep 5.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "zeptest";
        static char* argv[] = {name, nullptr};
        // Never destroyed: among the static objects at exit it would outlive parts of Qt.
        static QApplication* application = new QApplication(argc, argv);
        ASSERT_NE(application, nullptr);
        const std::pair<const char*, const char*> copies[] = {
            {"pacific-rim", "P"}, {"atlantic", "A"}, {"indian-ocean", "I"}};
        for (const auto& [example, copy] : copies) {
            fs::copy_file(ZEP_EXAMPLES_DIR "/" + std::string(example) + ".Zep",
                          dir / copy + ".Zep");
        }
    }
    void TearDown() override { program.reset(); }

    void Start(const QStringList& files = {}) {
        program = StartUp(iniName, dialogs, files);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form()));
    }
    frmMain& form() { return *program->MainForm; }
    QTreeWidget* list() { return form().findChild<QTreeWidget*>("lvFile"); }
    QMenu* menu(const char* name) { return form().findChild<QMenu*>(name); }
    QAction* entry(const char* name) { return form().findChild<QAction*>(name); }

    // The files the next file dialog answers with.
    void Reply(const std::vector<std::string>& names) {
        QStringList paths;
        for (const std::string& name : names) {
            paths << QString::fromStdString(dir / name);
        }
        if (!paths.isEmpty()) {
            dialogs.replies.push_back(paths);
        }
    }
    // Opens a menu as the user does, which brings its entries up to date, and clicks an entry.
    void Choose(QMenu* opened, const char* entryName, const std::vector<std::string>& reply = {}) {
        Reply(reply);
        opened->popup(QPoint(40, 40));
        if (entryName != nullptr) {
            QTest::mouseClick(opened, Qt::LeftButton, {},
                              opened->actionGeometry(entry(entryName)).center());
        }
        opened->hide();
    }
    // Chooses an entry that opens a modal window, and hands that window to look at before it
    // closes.
    void Modal(const char* menuName, const char* entryName,
               const std::function<void(QWidget&)>& look) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen = true;
                look(*modal);
                modal->close();
            }
        });
        Choose(menu(menuName), entryName);
        QApplication::processEvents();
        EXPECT_TRUE(seen) << "no modal window";
    }
    void Click(int button, const std::vector<std::string>& reply = {}) {
        Reply(reply);
        QToolBar* toolbar = form().findChild<QToolBar*>();
        QTest::mouseClick(toolbar->widgetForAction(form().ToolbarButton(button)), Qt::LeftButton);
    }
    void Key(QKeyCombination key, const std::vector<std::string>& reply = {}) {
        Reply(reply);
        QTest::keyClick(list(), key.key(), key.keyboardModifiers());
    }
    QPoint RowPoint(int row) {
        return list()->visualItemRect(list()->topLevelItem(row - 1)).center();
    }
    void ClickRow(int row) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, RowPoint(row));
    }
    // The pop-up menu of a row, and one of its entries chosen.
    void PopUp(int row, const char* entryName, const std::vector<std::string>& reply = {}) {
        QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, RowPoint(row));
        ASSERT_TRUE(menu("mnuFileItem")->isVisible());
        Choose(menu("mnuFileItem"), entryName, reply);
    }
    // Toolbar buttons 1-4, 6 and 7; File menu Remove, Save, Save As, Save All and Clear List;
    // Tools menu Sort and Compare; Save of the pop-up menu: 1 for enabled.
    std::string State() {
        std::string state;
        for (int button : {1, 2, 3, 4, 6, 7}) {
            state += form().ToolbarButton(button)->isEnabled() ? '1' : '0';
        }
        for (const char* name :
             {" ", "mnuFileRemove", "mnuFileSave", "mnuFileSaveAs", "mnuFileSaveAll",
              "mnuFileClear", " ", "mnuToolsSort", "mnuToolsCompare", " ", "mnuFileItemSave"}) {
            state += name[0] == ' ' ? ' ' : (entry(name)->isEnabled() ? '1' : '0');
        }
        return state;
    }
    // The rows' texts, then the status bar's.
    std::string Rows() {
        QStringList rows;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            rows << list()->topLevelItem(i)->text(0);
        }
        const QString status = form().findChild<QLabel*>("sbStatusBarText")->text();
        return (rows.join('|') + " / " + status).toStdString();
    }

    TempDir dir;
    const std::string iniName = dir / "ZEPConverter.ini";
    FakeDialogs dialogs;
    std::unique_ptr<Program> program;
};

}  // namespace zep::test
