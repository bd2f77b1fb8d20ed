#pragma once

#include <QStringList>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/FileListRows.h"
#include "app/UserDialogs.h"
#include "app/frmMain.h"
#include "core/Workspace.h"
#include "support/AppINI.h"

namespace zep {

// The application-wide objects, in the order start-up creates them. The workspace exists before
// the main window does: its rows and message boxes join the window as soon as it is built, and
// nothing reaches them before then.
struct Program {
    explicit Program(UserDialogs& userDialogs) : dialogs(userDialogs), messages(userDialogs) {}

    UserDialogs& dialogs;
    FileListRows rows;
    DialogMessageSink messages;
    Workspace workspace{rows, messages};  // holds ZEPFiles and the loaded files
    AppINI SettingsStore;
    std::unique_ptr<frmMain> MainForm;
};

// --help and --version, answered on out before Qt needs a display (help2man reads them while
// the program is built): the exit code, or nullopt when neither is asked for.
std::optional<int> AnswerHelpOrVersion(int argc, const char* const* argv, std::ostream& out);

// The files named on the command line once Qt has taken its own options (-style, -platform ...)
// out of argv, in order and made absolute, as the open dialog gives them. After "--" every
// argument is a file; an unknown option before it is named on err and gives nullopt.
std::optional<QStringList> FilesToOpen(int argc, const char* const* argv, std::ostream& err);

// Start-up: the loaded-files holder, the settings store on iniName, the five options, an empty
// data store, and the main window, shown, with files added in order as Add File adds them.
std::unique_ptr<Program> StartUp(const std::string& iniName, UserDialogs& dialogs,
                                 const QStringList& files = {});

}  // namespace zep
