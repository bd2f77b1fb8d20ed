#include "app/ModuleMain.h"

#include "support/AppSettings.h"

namespace zep {

std::unique_ptr<Program> StartUp(const std::string& iniName, UserDialogs& dialogs) {
    auto program = std::make_unique<Program>();
    program->SettingsStore.IniName = iniName;
    program->workspace.options = ReadOptions(program->SettingsStore);
    program->workspace.store.ResetFileData();
    program->MainForm =
        std::make_unique<frmMain>(program->workspace, program->SettingsStore, dialogs);
    program->relay.Attach(*program->MainForm);
    program->MainForm->show();
    return program;
}

}  // namespace zep
