#pragma once

#include <QStringList>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/UserDialogs.h"
#include "app/frmMain.h"
#include "core/Workspace.h"
#include "support/AppINI.h"

namespace zep {

// The file list and message boxes the loaded-files workspace talks to. The workspace exists
// before the main window does, so it is handed this relay, which the window joins as soon as it
// is built; nothing reaches the rows before then.
class MainFormRelay : public FileListView, public MessageSink {
public:
    void Attach(frmMain& form) {
        form_ = &form;
        rows_ = &form.Rows();
    }

    std::int32_t AppendRow(std::string_view key, std::string_view text) override {
        return rows_->AppendRow(key, text);
    }
    std::int32_t RowCount() const override { return rows_->RowCount(); }
    std::string RowKey(std::int32_t position) const override { return rows_->RowKey(position); }
    std::string RowText(std::int32_t position) const override { return rows_->RowText(position); }
    void SetRowText(std::int32_t position, std::string_view text) override {
        rows_->SetRowText(position, text);
    }
    std::int32_t RowTag(std::int32_t position) const override { return rows_->RowTag(position); }
    void SetRowTag(std::int32_t position, std::int32_t tag) override {
        rows_->SetRowTag(position, tag);
    }
    void SetRowFullPath(std::int32_t position, std::string_view path) override {
        rows_->SetRowFullPath(position, path);
    }
    void SelectRow(std::int32_t position) override { rows_->SelectRow(position); }
    void RemoveRow(std::int32_t position) override { rows_->RemoveRow(position); }
    void SetStatusText(std::string_view text) override { rows_->SetStatusText(text); }
    void ShowMessage(std::string_view text, MessageIcon icon, std::string_view detail) override {
        form_->Messages().ShowMessage(text, icon, detail);
    }
    bool AskYesNo(std::string_view text, std::string_view detail) override {
        return form_->Messages().AskYesNo(text, detail);
    }

private:
    frmMain* form_ = nullptr;
    FileListView* rows_ = nullptr;
};

// The application-wide objects, in the order start-up creates them.
struct Program {
    MainFormRelay relay;
    Workspace workspace{relay, relay};  // holds ZEPFiles and the loaded files
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
