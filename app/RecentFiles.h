#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "support/AppINI.h"
#include "support/MessageSink.h"

class QMenu;

namespace zep {

// The File menu's "Recent Files": the files added last, the newest first, each once; and the
// folder the file dialogs open in: the one of the file chosen last in one, in this run or an
// earlier one. Both are kept in the settings file when the main window closes, if they changed.
class RecentFiles {
public:
    // add adds a file as Add File does; messages names a file that has gone.
    RecentFiles(AppINI& store, QMenu& menu, MessageSink& messages,
                std::function<void(const QString&)> add);

    // A file has been added to the list.
    void Added(const std::string& path);
    void Store();
    QString DialogFolder() const;
    void RememberFolderOf(const QString& path);

private:
    void Choose(const std::string& path);
    void Fill();
    void Changed();

    AppINI& store_;
    QMenu& menu_;
    MessageSink& messages_;
    std::function<void(const QString&)> add_;
    std::vector<std::string> paths_;
    bool changed_ = false;
    std::string lastFolder_;  // as bytes of the file system
    bool folderChanged_ = false;
};

}  // namespace zep
