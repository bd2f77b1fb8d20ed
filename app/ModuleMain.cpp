#include "app/ModuleMain.h"

#include <QFile>
#include <string_view>

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

QString AbsolutePath(const char* argument) {
    return QFile::decodeName(QByteArray::fromStdString(KeyForPath(argument)));
}

}  // namespace

std::optional<int> AnswerHelpOrVersion(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") {
            break;
        }
        if (argument == "-h" || argument == "--help") {
            out << kHelp;
            return 0;
        }
        if (argument == "--version") {
            out << VersionText("ZEPConverter");
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
            files.append(AbsolutePath(argv[i]));
        }
    }
    return files;
}

std::unique_ptr<Program> StartUp(const std::string& iniName, UserDialogs& dialogs,
                                 const QStringList& files) {
    auto program = std::make_unique<Program>();
    program->SettingsStore.IniName = iniName;
    program->workspace.options = ReadOptions(program->SettingsStore);
    program->workspace.store.ResetFileData();
    program->MainForm =
        std::make_unique<frmMain>(program->workspace, program->SettingsStore, dialogs);
    program->relay.Attach(*program->MainForm);
    program->MainForm->show();
    program->MainForm->AddFilesByPath(files);
    return program;
}

}  // namespace zep
