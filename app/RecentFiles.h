#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "support/AppINI.h"
#include "support/MessageSink.h"

class QMenu;

namespace zep {

// "Recent Files" (newest first, each once) and the file dialogs' folder; stored if changed.
class RecentFiles {
public:
    // add adds a file as Add File does; messages names a file that has gone.
    RecentFiles(AppINI& store, QMenu& menu, MessageSink& messages,
                std::function<void(const QString&)> add);

    void Added(const std::string& path);
    void Store();
    QString DialogFolder() const;
    void RememberFolderOf(const QString& path);

private:
    void Choose(const std::string& path);
    void Changed();

    AppINI& store_;
    QMenu& menu_;
    MessageSink& messages_;
    std::function<void(const QString&)> add_;
    std::vector<std::string> paths_;
    bool changed_ = false;
    std::string lastFolder_;
    bool folderChanged_ = false;
};

}  // namespace zep
