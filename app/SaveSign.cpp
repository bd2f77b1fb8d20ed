#include "app/SaveSign.h"

#include <QFile>
#include <QStatusBar>
#include <QTimer>

namespace zep {
namespace {

constexpr int kShownMilliseconds = 5000;

}  // namespace

SaveSign::SaveSign(QStatusBar& bar) : QLabel(&bar), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("sbStatusBarSaved"));
    timer_->setSingleShot(true);
    timer_->setInterval(kShownMilliseconds);
    connect(timer_, &QTimer::timeout, this, &QLabel::clear);
    bar.addWidget(this);
}

void SaveSign::ShowSavedFile(std::string_view path) {
    const std::string_view name = path.substr(path.find_last_of('/') + 1);
    Show(QStringLiteral("Saved ") +
         QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size()))));
}

void SaveSign::ShowSavedCount(std::size_t count) {
    if (count == 0) {
        return;
    }
    Show(count == 1 ? QStringLiteral("Saved 1 file")
                    : QStringLiteral("Saved %1 files").arg(static_cast<qulonglong>(count)));
}

void SaveSign::Show(const QString& text) {
    setText(text);
    timer_->start();
}

}  // namespace zep
