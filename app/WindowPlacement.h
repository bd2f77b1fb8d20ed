#pragma once

#include <QPointF>
#include <QRect>

#include "support/AppINI.h"

class QMainWindow;
class QTreeView;
class QWidget;

namespace zep {

QPointF TwipsPerPixel(const QWidget& widget);
int ToPixels(double twips, double twipsPerPixel);

// The client area, never the frame, which would drift; a minimized window stores nothing.
void RestorePlacement(QWidget& window, AppINI& store);
void SavePlacement(const QWidget& window, AppINI& store);
// Once the frame is known: shrinks and moves the window until it fits on its screen.
void FitFrameOnScreen(QWidget& window);

QSize ReadableMinimumSize(QMainWindow& window, const QTreeView& list, const QWidget& toolbar);
// 200 twips narrower and 1500 lower than the window; a window too small leaves the list alone.
void FollowOuterSize(QWidget& list, const QWidget& window);

}  // namespace zep
