#pragma once

// The main window after its own start-up, on Qt's offscreen platform, with stand-in dialogs.

#include <sys/stat.h>

#include <QTest>
#include <QtWidgets>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "TestWorkspace.h"
#include "app/ModuleMain.h"
#include "app/frmLabels.h"

namespace zep::test {

namespace fs = std::filesystem;

class FakeDialogs : public UserDialogs {
public:
    QList<QStringList> replies;
    QStringList messages;  // every message box, question and file dialog, as the user saw it
    QList<bool> answers;   // to the next questions; No once they run out

    QStringList GetOpenFileNames(QWidget*, const QString& title, const QString& filter,
                                 const QString& folder) override {
        messages << title + " [" + filter + "] in " + folder + "/";
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

    void Start(const QStringList& files = {}) {
        program = StartUp(iniName, dialogs, files);
        form().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form()));
        Seen();
    }
    void Stop() {
        form().close();
        program.reset();
    }
    frmMain& form() { return *program->MainForm; }
    QTreeWidget* list() { return form().findChild<QTreeWidget*>("lvFile"); }
    QMenu* menu(const char* name) { return form().findChild<QMenu*>(name); }
    QAction* entry(const char* name) { return form().findChild<QAction*>(name); }
    std::string Copy(const std::string& name) {
        fs::create_directories(fs::path(dir / name).parent_path());
        fs::copy_file(dir / "A.Zep", dir / name);
        return name;
    }

    // A step as the user does it: "AddFile P.Zep A.Zep" clicks a toolbar button, the dialog giving
    // those files; "Ctrl+O I.Zep" keys the list; "2" clicks row 2; "2 mnuFileItemSave" its pop-up;
    // "mnuFile mnuFileSaveAll" a menu ("mnuFile -" only opens it, updating its entries).
    void Do(const std::string& step) {
        std::istringstream words(step);
        std::string verb;
        std::string chosen;
        words >> verb;
        const int row = std::atoi(verb.c_str());
        if (row > 0 || verb.starts_with("mnu")) {
            words >> chosen;
        }
        QStringList reply;
        for (std::string name; words >> name;) {
            reply << At(name);
        }
        if (!reply.isEmpty()) {
            dialogs.replies << reply;
        }
        QMenu* opened = verb.starts_with("mnu") ? menu(verb.c_str()) : nullptr;
        if (row > 0 && chosen.empty()) {
            ClickRow(row);
        } else if (row > 0) {
            QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, RowPoint(row));
            opened = menu("mnuFileItem");
            EXPECT_TRUE(opened->isVisible());
        } else if (QAction* button = entry(verb.c_str()); !opened && button) {
            QTest::mouseClick(form().findChild<QToolBar*>()->widgetForAction(button),
                              Qt::LeftButton);
        } else if (!opened) {
            const QKeyCombination key = QKeySequence(QString::fromStdString(verb))[0];
            QTest::keyClick(list(), key.key(), key.keyboardModifiers());
        }
        if (opened != nullptr) {
            opened->popup(QPoint(40, 40));
            if (chosen != "-") {
                QTest::mouseClick(opened, Qt::LeftButton, {},
                                  opened->actionGeometry(entry(chosen.c_str())).center());
            }
            opened->hide();
        }
        dialogs.replies.clear();
    }
    void Run(const std::string& session) {
        for (const auto& row : Table("window-steps.tsv")) {
            if (row[0] == session) {
                Do(row[1]);
                EXPECT_EQ(Seen(), row[2]) << session << ": " << row[1];
            }
        }
    }
    void Modal(const std::string& step, const std::function<void(QWidget&)>& look) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                seen = true;
                look(*modal);
                modal->close();
            }
        });
        Do(step);
        QApplication::processEvents();
        EXPECT_TRUE(seen) << "no modal window";
    }
    QString At(const std::string& name) { return QString::fromStdString(dir / name); }
    QPoint RowPoint(int row) {
        return list()->visualItemRect(list()->topLevelItem(row - 1)).center();
    }
    void ClickRow(int row) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, RowPoint(row));
    }
    // Toolbar buttons 1-4, 6 and 7; File menu Remove, Save, Save As, Save All and Clear List;
    // Tools menu Undo, Sort and Compare; Save of the pop-up menu: 1 for enabled.
    std::string State() {
        std::string state;
        for (int button : {1, 2, 3, 4, 6, 7}) {
            state += form().ToolbarButton(button)->isEnabled() ? '1' : '0';
        }
        for (const char* name : {" ", "mnuFileRemove", "mnuFileSave", "mnuFileSaveAs",
                                 "mnuFileSaveAll", "mnuFileClear", " ", "mnuToolsUndo",
                                 "mnuToolsSort", "mnuToolsCompare", " ", "mnuFileItemSave"}) {
            state += name[0] == ' ' ? ' ' : (entry(name)->isEnabled() ? '1' : '0');
        }
        return state;
    }
    std::string Rows() {
        QStringList rows;
        for (int i = 0; i < list()->topLevelItemCount(); ++i) {
            rows << list()->topLevelItem(i)->text(0);
        }
        const auto* status = form().findChild<QLabel*>("sbStatusBarText");
        const auto* sign = form().findChild<QLabel*>("sbStatusBarSaved");
        return (rows.join('|') + " / " + (status->isVisible() ? status->text() : "hidden") +
                (sign->isVisible() && !sign->text().isEmpty() ? " / " + sign->text() : ""))
            .toStdString();
    }
    // State() and Rows(), then what came up since last seen: messages and file dialogs, files
    // written, the pop-up menu and label views, which are closed. The scratch folder shows as ~/.
    std::string Seen() {
        std::string seen = State() + " / " + Rows();
        const auto add = [&](const QString& event) {
            seen += " | " +
                    QString(event).replace(QString::fromStdString(dir / ""), "~/").toStdString();
        };
        for (const QString& message : dialogs.messages.mid(messages_)) {
            add(message);
        }
        messages_ = dialogs.messages.size();
        std::map<std::string, std::string> files;  // a file's identity and when it was written
        for (const auto& file : fs::directory_iterator(dir.path())) {
            struct stat found {};
            ::lstat(file.path().c_str(), &found);
            files[file.path().filename()] = std::to_string(found.st_ino) + " " +
                                            std::to_string(found.st_mtim.tv_sec) + "." +
                                            std::to_string(found.st_mtim.tv_nsec);
        }
        for (const auto& [name, number] : files) {
            if (files_[name] != number) {
                add(QString::fromStdString("wrote " + name));
            }
        }
        files_ = files;
        QMenu* popUp = menu("mnuFileItem");
        if (popUp->isVisible()) {
            const QPoint at = list()->viewport()->mapFromGlobal(popUp->pos());
            add("pop-up at row " + QString::number(list()->indexAt(at).row() + 1));
            popUp->hide();
        }
        for (frmLabels* view : form().findChildren<frmLabels*>()) {
            if (view->isVisible()) {
                add(QString::fromStdString("view of " + fs::path(view->Key()).filename().string()));
                view->close();
            }
        }
        return seen;
    }

    TempDir dir;
    const std::string iniName = dir / "ZEPConverter.ini";
    FakeDialogs dialogs;
    std::unique_ptr<Program> program;

private:
    qsizetype messages_ = 0;
    std::map<std::string, std::string> files_;
};

}  // namespace zep::test
