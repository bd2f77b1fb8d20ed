#pragma once

#include <QStringList>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/FileList.h"
#include "app/UserDialogs.h"
#include "app/frmMain.h"
#include "core/Workspace.h"
#include "support/AppINI.h"

namespace zep {

// The application-wide objects, in creation order: the workspace exists before the window.
struct Program {
    explicit Program(UserDialogs& userDialogs) : dialogs(userDialogs), messages(userDialogs) {}

    UserDialogs& dialogs;
    FileListRows rows;
    DialogMessageSink messages;
    Workspace workspace{rows, messages};
    AppINI SettingsStore;
    std::unique_ptr<frmMain> MainForm;
};

// Answered before Qt needs a display, as help2man runs during the build; nullopt when not asked.
std::optional<int> AnswerHelpOrVersion(int argc, const char* const* argv, std::ostream& out);

// Call after Qt has taken its own options out of argv. Paths come back absolute, in order; after
// "--" every argument is a file; an unknown option before it is named on err and gives nullopt.
std::optional<QStringList> FilesToOpen(int argc, const char* const* argv, std::ostream& err);

// Shows the main window with files added in order as Add File adds them.
std::unique_ptr<Program> StartUp(const std::string& iniName, UserDialogs& dialogs,
                                 const QStringList& files = {});

}  // namespace zep
