#include "app/ModuleMain.h"

#include <string_view>

#include "app/QtText.h"
#include "core/FileListCommands.h"
#include "support/AppSettings.h"
#include "support/PrintableText.h"
#include "support/ProgramInfo.h"

namespace zep {

namespace {

constexpr std::string_view kHelp =
    R"(Usage: ZEPConverter [OPTION]... [FILE]...
The window of ZEP Converter: prepares MORVEL coordinate files (*.Zep) for use as one
Vostrel space.

Starts with the FILEs in the list, added in order as Add File adds them; a file that cannot
be added is named in a message, and the others are still added.

Options:
  -h, --help     print this help, then exit
      --version  print the version and the licence, then exit
      --         take every later argument as a FILE, even one starting with -

Qt's own options, such as -style NAME or -platform NAME, are taken as well.
The batch tool zepconv does the same work without a window.
)";

}  // namespace

std::optional<int> AnswerHelpOrVersion(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            break;
        }
        if (argument == "-h" || argument == "--help" || argument == "--version") {
            out << (argument == "--version" ? VersionText("ZEPConverter") : std::string(kHelp));
            return 0;
        }
    }
    return std::nullopt;
}

std::optional<QStringList> FilesToOpen(int argc, const char* const* argv, std::ostream& err) {
    QStringList files;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            err << "ZEPConverter: unknown option '" << PrintableText(argument)
                << "'\nRun 'ZEPConverter --help' for more information.\n";
            return std::nullopt;
        } else {
            files.append(FromPath(KeyForPath(argv[i])));
        }
    }
    return files;
}

std::unique_ptr<Program> StartUp(const std::string& iniName, UserDialogs& dialogs,
                                 const QStringList& files) {
    auto program = std::make_unique<Program>(dialogs);
    program->SettingsStore.IniName = iniName;
    program->workspace.options = ReadOptions(program->SettingsStore);
    program->workspace.store.ResetFileData();
    program->MainForm = std::make_unique<frmMain>(*program);
    program->MainForm->show();
    program->MainForm->AddFiles(files);
    return program;
}

}  // namespace zep
