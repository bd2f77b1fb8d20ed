#pragma once

#include <QPointer>
#include <cstdint>
#include <string>
#include <vector>

#include "core/Workspace.h"

class QWidget;

namespace zep {

class frmLabels;

// The open label views of the main window's files. Each view follows its file: shown again
// after every change of the list, closed once the file has left it. They are separate windows
// owned by the main window, and closed with it.
class LabelViews {
public:
    LabelViews(Workspace& ws, QWidget& owner) : ws_(ws), owner_(owner) {}

    // Opens the view of the listed file under key, or brings its open view to the front.
    void ShowLabelsOf(const std::string& key);
    // Shows every open view's file again, closing those whose file is no longer listed.
    void FollowLabelViews();
    void CloseAll();

private:
    frmLabels* LabelViewOf(const std::string& key) const;
    // The list position of the file under key; 0 when it is not listed.
    std::int32_t PositionOf(const std::string& key) const;
    void ShowFileIn(frmLabels& view, std::int32_t position);

    Workspace& ws_;
    QWidget& owner_;
    std::vector<QPointer<frmLabels>> views_;
};

}  // namespace zep
