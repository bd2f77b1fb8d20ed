#pragma once

// The main window on Qt's offscreen platform with stand-in dialogs, driven by the sessions of
// tests/data/tables/window-steps.tsv in a scratch folder that is the working folder.

#include <sys/stat.h>

#include <QTest>
#include <QtWidgets>
#include <iomanip>
#include <map>

#include "TestWorkspace.h"
#include "app/ModuleMain.h"
#include "app/frmCoverage.h"
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

// P.Zep has 8 labels, A.Zep 7, I.Zep 5: copies of the samples in the scratch folder.
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
        fs::current_path(dir.path());
        Seen();
    }
    void TearDown() override { fs::current_path(cwd_); }

    frmMain& form() { return *program->MainForm; }
    QTreeWidget* list() { return form().findChild<QTreeWidget*>("lvFile"); }
    QMenu* menu(const char* name) { return form().findChild<QMenu*>(name); }
    QAction* entry(const char* name) { return form().findChild<QAction*>(name); }

    // A step as the user does it: "AddFile P.Zep A.Zep" clicks a toolbar button, the dialog giving
    // those files; "Ctrl+O I.Zep" keys the list; "2" clicks row 2, "2 twice" twice, "2
    // mnuFileItemSave" its pop-up ("2 -" only opens it); "mnuFile mnuFileSaveAll" a menu ("mnuFile
    // -" only opens it, updating its entries; "mnuFileRecent 2" its second entry); cmdExportCsv a
    // button of a window the main window owns; "lvFile.clearSelection" a slot. Else: "start" with
    // a command line, "stop", "$" a shell command that must succeed, "geometry x y w h", "column
    // 0 120" (its width), "onscreen" (waits for the window to be moved there), and "=..." a look at
    // something (see Look). A modal window the step opens is named and closed.
    void Do(const std::string& step) {
        std::istringstream in(step);
        std::vector<std::string> words;
        for (std::string word; in >> std::quoted(word);) {
            words.push_back(word);
        }
        const std::string verb = words.at(0);
        const auto number = [&](std::size_t i) { return std::stoi(words.at(i)); };
        if (verb == "$") {
            EXPECT_EQ(std::system(("DATA='" ZEP_TEST_DATA_DIR "'; " + step.substr(2)).c_str()), 0)
                << step;
        } else if (verb == "start") {
            std::vector<const char*> argv{"ZEPConverter"};
            for (std::size_t i = 1; i < words.size(); ++i) {
                argv.push_back(words[i].c_str());
            }
            program = StartUp(iniName, dialogs,
                              *FilesToOpen(static_cast<int>(argv.size()), argv.data(), std::cerr));
            form().activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&form()));
        } else if (verb == "stop") {
            form().close();
            program.reset();
        } else if (verb == "onscreen") {  // the window is moved back a moment after it shows
            const QRect room = form().screen()->availableGeometry();
            EXPECT_TRUE(QTest::qWaitFor([&] { return room.contains(form().frameGeometry()); }));
        } else if (verb == "geometry") {
            form().setGeometry(number(1), number(2), number(3), number(4));
            QApplication::processEvents();
        } else if (verb == "column") {
            list()->setColumnWidth(number(1), number(2));
            QApplication::processEvents();
        } else if (verb[0] == '=') {
            dialogs.messages << Look(words);
        } else {
            QTimer::singleShot(0, &form(), [this] {
                if (QWidget* modal = QApplication::activeModalWidget()) {
                    dialogs.messages << "window " + modal->objectName();
                    modal->close();
                }
            });
            Act(words);
            if (form().isVisible() && !form().isActiveWindow()) {  // as after a modal window
                form().activateWindow();
                EXPECT_TRUE(QTest::qWaitForWindowActive(&form()));
            }
        }
    }
    void Act(const std::vector<std::string>& words) {
        const std::string& verb = words[0];
        const int row = std::atoi(verb.c_str());
        const bool chooses = row > 0 || verb.starts_with("mnu");
        const std::string chosen = chooses && words.size() > 1 ? words[1] : "";
        dialogs.replies = {QStringList()};  // what the step's file dialog gives
        for (std::size_t i = chooses ? 2 : 1; i < words.size(); ++i) {
            dialogs.replies[0] << QString::fromStdString(dir / words[i]);
        }
        QMenu* opened = verb.starts_with("mnu") ? menu(verb.c_str()) : nullptr;
        const QPoint at = list()->visualItemRect(list()->topLevelItem(row - 1)).center();
        const auto slot = QString::fromStdString(verb).split('.');
        if (row > 0 && chosen.empty()) {
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at);
        } else if (chosen == "twice") {
            QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at);
        } else if (row > 0) {
            QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, at);
            opened = chosen == "-" ? nullptr : menu("mnuFileItem");
        } else if (QAction* button = entry(verb.c_str()); !opened && button) {
            QTest::mouseClick(form().findChild<QToolBar*>()->widgetForAction(button),
                              Qt::LeftButton);
        } else if (auto* other = form().findChild<QAbstractButton*>(verb.c_str())) {
            QTest::mouseClick(other, Qt::LeftButton);
        } else if (slot.size() == 2) {
            QObject* target = slot[0] == "frmMain" ? &form() : form().findChild<QObject*>(slot[0]);
            EXPECT_TRUE(QMetaObject::invokeMethod(target, slot[1].toLatin1().data())) << verb;
            QApplication::processEvents();
        } else if (!opened) {
            const QKeyCombination key = QKeySequence(QString::fromStdString(verb))[0];
            QTest::keyClick(list(), key.key(), key.keyboardModifiers());
        }
        if (opened != nullptr) {
            if (!opened->isVisible()) {
                opened->popup(QPoint(40, 40));
            }
            if (chosen != "-") {
                QAction* action = std::isdigit(chosen[0]) != 0
                                      ? opened->actions().value(std::stoi(chosen) - 1)
                                      : entry(chosen.c_str());
                QTest::mouseClick(opened, Qt::LeftButton, {},
                                  opened->actionGeometry(action).center());
            }
            opened->hide();
        }
        dialogs.replies.clear();
    }
    void Run(const std::string& session) {
        bool found = false;
        for (const auto& row : Table("window-steps.tsv")) {
            if (row[0] == session) {
                found = true;
                Do(row[1]);
                EXPECT_EQ(Seen(), row[2]) << session << ": " << row[1];
            }
        }
        EXPECT_TRUE(found) << session;
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

    // "=ini" the settings file; "=options" the options in memory; "=file name" a file; "=files" the
    // scratch folder's names; "=at" the window's bounds, frame and list; "=row 2" a row's columns;
    // "=tip 2 1" the tool tip of a cell; "=recent" the recent files; "=labels" every file's labels
    // in memory; "=coverage" the Coverage window: title, headings (tool tips), then rows (_italic_,
    // . empty, ! a cell colored though empty or left white though filled).
    QString Look(const std::vector<std::string>& words) {
        const std::string& what = words[0];
        const auto text = [](const std::string& bytes) { return QString::fromStdString(bytes); };
        const auto box = [](const QRect& r) {
            return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
        };
        QStringList seen;
        if (what == "=ini") {
            return "ini: " + (fs::exists(iniName) ? text(Contents(iniName)) : "none");
        } else if (what == "=options") {
            return text("options: " + OptionsText(program->workspace.options));
        } else if (what == "=file") {
            return text(words.at(1) + ": " + Contents(dir / words.at(1)));
        } else if (what == "=files") {
            for (const std::string& name : NamesIn(dir.path())) {
                seen << text(name);
            }
        } else if (what == "=at") {
            return "at " + box(form().geometry()) + " frame " + box(form().frameGeometry()) +
                   " list " + box(list()->geometry());
        } else if (what == "=row") {
            for (int c = 0; c < list()->columnCount(); ++c) {
                seen << list()->topLevelItem(std::stoi(words.at(1)) - 1)->text(c);
            }
        } else if (what == "=tip") {
            const QModelIndex cell =
                list()->model()->index(std::stoi(words.at(1)) - 1, std::stoi(words.at(2)));
            const QPoint at = list()->visualRect(cell).center();
            QHelpEvent event(QEvent::ToolTip, at, list()->viewport()->mapToGlobal(at));
            QApplication::sendEvent(list()->viewport(), &event);
            return "tip " + QToolTip::text();
        } else if (what == "=recent") {
            QMenu* files = menu("mnuFileRecent");
            files->popup(QPoint(40, 40));
            files->hide();
            for (const QAction* file : files->actions()) {
                seen << file->text().remove('&');
            }
            return "recent: " + (files->menuAction()->isEnabled() ? seen.join('|') : "off");
        } else if (what == "=labels") {
            for (std::int32_t f = 1; f <= program->workspace.store.FileCount(); ++f) {
                const FileData& record = program->workspace.store[f];
                QStringList labels;
                for (std::int32_t i = 1; i <= record.LabelCount(); ++i) {
                    labels << text(std::string(record.Labels(i)));
                }
                seen << labels.join(',');
            }
        } else if (what == "=coverage") {
            const auto* window = form().findChild<frmCoverage*>();
            if (window == nullptr || !window->isVisible()) {
                return "no coverage";
            }
            const QAbstractItemModel& shown = *window->findChild<QTableView*>()->model();
            seen << window->windowTitle();
            for (int c = 0; c < shown.columnCount(); ++c) {
                const QVariant tip = shown.headerData(c, Qt::Horizontal, Qt::ToolTipRole);
                seen << shown.headerData(c, Qt::Horizontal).toString() +
                            (tip.isValid() ? " (" + tip.toString() + ")" : "");
            }
            for (int r = 0; r < shown.rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < shown.columnCount(); ++c) {
                    const QModelIndex at = shown.index(r, c);
                    const QString cell = shown.data(at).toString();
                    const bool italic = shown.data(at, Qt::FontRole).value<QFont>().italic();
                    cells << (italic           ? "_" + cell + "_"
                              : cell.isEmpty() ? "."
                                               : cell) +
                                 (c > 1 && shown.data(at, Qt::BackgroundRole).isValid() ==
                                               cell.isEmpty()
                                      ? "!"
                                      : "");
                }
                seen << cells.join(',');
            }
        } else {
            ADD_FAILURE() << "no look " << what;
        }
        return text(what.substr(1)) + ": " + seen.join('|');
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
    // State() and Rows() ("closed" without a window), then what came up since last seen: messages,
    // file dialogs, looks, files written, the pop-up menu (closed then) and label views (title, *
    // when modified, the first two rows). The scratch folder shows as ~/.
    std::string Seen() {
        std::string seen = program ? State() + " / " + Rows() : "closed";
        const auto add = [&](const QString& event) {
            seen += " | " +
                    QString(event).replace(QString::fromStdString(dir.path()), "~").toStdString();
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
        if (!program) {
            return seen;
        }
        if (QMenu* popUp = menu("mnuFileItem"); popUp->isVisible()) {
            const QPoint at = list()->viewport()->mapFromGlobal(popUp->pos());
            add("pop-up at row " + QString::number(list()->indexAt(at).row() + 1));
            popUp->hide();
        }
        for (frmLabels* view : form().findChildren<frmLabels*>()) {
            if (view->isVisible()) {
                const auto cells = [&](int r) {
                    const QTableWidgetItem* label = view->Table()->item(r, 1);
                    return label ? label->text() + " " + view->Table()->item(r, 2)->text() : "";
                };
                add("view " + view->windowTitle() + (view->isWindowModified() ? " *" : "") + ": " +
                    cells(0) + ", " + cells(1));
            }
        }
        return seen;
    }

    TempDir dir;
    const std::string iniName = dir / "ZEPConverter.ini";
    FakeDialogs dialogs;
    std::unique_ptr<Program> program;

private:
    const fs::path cwd_ = fs::current_path();
    qsizetype messages_ = 0;
    std::map<std::string, std::string> files_;
};

}  // namespace zep::test
