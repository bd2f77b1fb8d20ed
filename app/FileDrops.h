#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QWidget;

namespace zep {

// Coordinate files dragged onto a widget (the file list) are added in the order they come;
// anything else dragged there is refused.
class FileDrops : public QObject {
    Q_OBJECT

public:
    FileDrops(QWidget& target, std::function<void(const QStringList&)> add, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QStringList&)> add_;
};

}  // namespace zep
