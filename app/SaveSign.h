#pragma once

#include <QLabel>
#include <cstddef>
#include <string_view>

class QStatusBar;
class QTimer;

namespace zep {

// A status bar panel of its own that tells for a few seconds what the last save wrote. Being
// beside the other panels, it never covers "Max Number : ", and it asks nothing of the user.
class SaveSign : public QLabel {
public:
    // Takes its place in bar, after the panels already there.
    explicit SaveSign(QStatusBar& bar);

    // "Saved NAME", NAME being the last part of path.
    void ShowSavedFile(std::string_view path);
    // "Saved N files"; nothing at all when none was saved, as each failure has been told.
    void ShowSavedCount(std::size_t count);

private:
    void Show(const QString& text);

    QTimer* timer_;
};

}  // namespace zep
