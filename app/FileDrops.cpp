#include "app/FileDrops.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <algorithm>

namespace zep {
namespace {

bool IsCoordinateFile(const QUrl& url) {
    return url.isLocalFile() &&
           url.toLocalFile().endsWith(QStringLiteral(".Zep"), Qt::CaseInsensitive);
}

bool HoldsCoordinateFiles(const QDropEvent& drop) {
    const QMimeData* mime = drop.mimeData();
    if (mime == nullptr || !mime->hasUrls()) {
        return false;
    }
    const QList<QUrl> urls = mime->urls();
    return std::any_of(urls.begin(), urls.end(), IsCoordinateFile);
}

}  // namespace

FileDrops::FileDrops(QWidget& target, std::function<void(const QStringList&)> add, QObject* parent)
    : QObject(parent), add_(std::move(add)) {
    target.setAcceptDrops(true);
    target.installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QObject::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    if (!HoldsCoordinateFiles(*drop)) {
        return QObject::eventFilter(watched, event);
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        QStringList paths;
        for (const QUrl& url : drop->mimeData()->urls()) {
            if (IsCoordinateFile(url)) {
                paths.append(url.toLocalFile());
            }
        }
        add_(paths);
    }
    return true;
}

}  // namespace zep
