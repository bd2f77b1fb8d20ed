#include "app/RecentFiles.h"

#include <sys/stat.h>
#include <QMenu>
#include <algorithm>

#include "app/QtText.h"
#include "support/AppSettings.h"

namespace zep {
namespace {

constexpr std::int32_t kGone = 2013;

// Gone means nothing is under the name any more; anything else there is for adding to judge.
bool IsGone(const std::string& path) {
    struct stat found {};
    return ::lstat(path.c_str(), &found) != 0;
}

}  // namespace

RecentFiles::RecentFiles(AppINI& store, QMenu& menu, MessageSink& messages,
                         std::function<void(const QString&)> add, QObject* parent)
    : QObject(parent),
      store_(store),
      menu_(menu),
      messages_(messages),
      add_(std::move(add)),
      paths_(ReadRecentFiles(store)) {
    connect(&menu_, &QMenu::aboutToShow, this, &RecentFiles::Fill);
    menu_.menuAction()->setEnabled(!paths_.empty());
}

void RecentFiles::Added(const std::string& path) {
    if (!paths_.empty() && paths_.front() == path) {
        return;
    }
    std::erase(paths_, path);
    paths_.insert(paths_.begin(), path);
    if (paths_.size() > kRecentFilesKept) {
        paths_.resize(kRecentFilesKept);
    }
    changed_ = true;
    menu_.menuAction()->setEnabled(true);
}

void RecentFiles::Store() {
    if (changed_) {
        WriteRecentFiles(store_, paths_);
        changed_ = false;
    }
}

void RecentFiles::Choose(const std::string& path) {
    if (IsGone(path)) {
        Drop(path);
        messages_.ShowMessage(std::string(ResString(kGone)) + path, MessageIcon::Information, {});
        return;
    }
    add_(FromPath(path));
}

void RecentFiles::Drop(const std::string& path) {
    std::erase(paths_, path);
    changed_ = true;
    menu_.menuAction()->setEnabled(!paths_.empty());
}

// Made as the menu opens, never while one of its entries is acting. Entries are numbered for the
// keyboard; an ampersand of a path is doubled to show as itself.
void RecentFiles::Fill() {
    menu_.clear();
    int number = 0;
    for (const std::string& path : paths_) {
        QString text = FromPath(path);
        text.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* entry = menu_.addAction(QStringLiteral("&%1 %2").arg(++number).arg(text));
        connect(entry, &QAction::triggered, this, [this, path] { Choose(path); });
    }
}

}  // namespace zep
