#include "app/RecentFiles.h"

#include <sys/stat.h>

#include <QFileInfo>
#include <QMenu>

#include "app/QtText.h"
#include "support/AppSettings.h"

namespace zep {

RecentFiles::RecentFiles(AppINI& store, QMenu& menu, MessageSink& messages,
                         std::function<void(const QString&)> add)
    : store_(store),
      menu_(menu),
      messages_(messages),
      add_(std::move(add)),
      paths_(ReadRecentFiles(store)),
      lastFolder_(ReadLastFolder(store)) {
    // Made as the menu opens, never while one of its entries is acting.
    QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, [this] {
        menu_.clear();
        int number = 0;
        for (const std::string& path : paths_) {
            const QString text = FromPath(path).replace(QLatin1Char('&'), QStringLiteral("&&"));
            QAction* entry = menu_.addAction(QStringLiteral("&%1 %2").arg(++number).arg(text));
            QObject::connect(entry, &QAction::triggered, &menu_, [this, path] { Choose(path); });
        }
    });
    menu_.menuAction()->setEnabled(!paths_.empty());
}

void RecentFiles::Added(const std::string& path) {
    if (paths_.empty() || paths_.front() != path) {
        std::erase(paths_, path);
        paths_.insert(paths_.begin(), path);
        paths_.resize(std::min(paths_.size(), kRecentFilesKept));
        Changed();
    }
}

void RecentFiles::Store() {
    if (changed_) {
        WriteRecentFiles(store_, paths_);
        changed_ = false;
    }
    if (folderChanged_) {
        WriteLastFolder(store_, lastFolder_);
        folderChanged_ = false;
    }
}

QString RecentFiles::DialogFolder() const {
    const QString folder = FromPath(lastFolder_);
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void RecentFiles::RememberFolderOf(const QString& path) {
    const std::string folder = PathBytes(QFileInfo(path).absolutePath());
    folderChanged_ = folderChanged_ || folder != lastFolder_;
    lastFolder_ = folder;
}

void RecentFiles::Changed() {
    changed_ = true;
    menu_.menuAction()->setEnabled(!paths_.empty());
}

// Only a name with nothing under it is gone; anything else is for adding to judge.
void RecentFiles::Choose(const std::string& path) {
    struct stat found {};
    if (::lstat(path.c_str(), &found) == 0) {
        add_(FromPath(path));
        return;
    }
    std::erase(paths_, path);
    Changed();
    messages_.ShowMessage(std::string(ResString(2013)) + path, MessageIcon::Information, {});
}

}  // namespace zep
