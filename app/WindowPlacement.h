#pragma once

#include <QPointF>
#include <QRect>

#include "support/AppINI.h"

class QMainWindow;
class QTreeView;
class QWidget;

namespace zep {

// Twips of one pixel on the screen a widget is on, across (x) and down (y).
QPointF TwipsPerPixel(const QWidget& widget);
int ToPixels(double twips, double twipsPerPixel);

// The main window's place and size are kept as its client area, never the frame: the frame
// belongs to the window manager, which can change it (and, with it, the outer bounds) between
// storing and restoring, so a frame-based round trip drifts by the frame every session. The
// window is brought onto the screen it lands on; a minimized window stores nothing.
void RestorePlacement(QWidget& window, AppINI& store);
void SavePlacement(const QWidget& window, AppINI& store);
// Once the frame is known: shrinks and moves the window until frame and all fit on its screen.
void FitFrameOnScreen(QWidget& window);

// The smallest main window that still shows the menus, every toolbar button, the list's
// headings with two rows and the whole status bar.
QSize ReadableMinimumSize(QMainWindow& window, const QTreeView& list, const QWidget& toolbar);
// The list follows the window's outer size: 200 twips narrower and 1500 twips lower. A window
// too small for that leaves the list as it is.
void FollowOuterSize(QWidget& list, const QWidget& window);

}  // namespace zep
