#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeView>
#include <QWidget>
#include <algorithm>
#include <cmath>

#include "support/AppSettings.h"

namespace zep {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kListWidthLess = 200;
constexpr double kListHeightLess = 1500;
// The window never gets smaller than this, in pixels, whatever its contents need.
constexpr int kMinWidth = 300;
constexpr int kMinHeight = 200;
// Rows of the list that stay in view at the smallest size.
constexpr int kMinListRows = 2;
constexpr double kUsualDpi = 96.0;

const QScreen* ScreenOf(const QWidget& widget) {
    const QScreen* where = widget.screen();
    return where != nullptr ? where : QGuiApplication::primaryScreen();
}

int ToPixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

std::int32_t ToTwips(int pixels, double twipsPerPixel) {
    return static_cast<std::int32_t>(std::lround(pixels * twipsPerPixel));
}

// The screen the bounds land on: the one holding their centre, else the one sharing most of
// them, else the main screen.
const QScreen* LandingScreen(const QRect& bounds) {
    if (const QScreen* where = QGuiApplication::screenAt(bounds.center())) {
        return where;
    }
    const QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (const QScreen* where : QGuiApplication::screens()) {
        const QRect shared = where->availableGeometry().intersected(bounds);
        const qint64 area = qint64{shared.width()} * shared.height();
        if (area > bestArea) {
            best = where;
            bestArea = area;
        }
    }
    return best;
}

}  // namespace

double TwipsPerPixelX(const QWidget& widget) {
    const QScreen* where = ScreenOf(widget);
    return kTwipsPerInch / (where != nullptr ? where->logicalDotsPerInchX() : kUsualDpi);
}

double TwipsPerPixelY(const QWidget& widget) {
    const QScreen* where = ScreenOf(widget);
    return kTwipsPerInch / (where != nullptr ? where->logicalDotsPerInchY() : kUsualDpi);
}

QRect FitInto(QRect bounds, const QRect& available, const QMargins& frame, const QSize& minimum) {
    const QRect room = available.marginsRemoved(frame);
    bounds.setWidth(std::max(std::min(bounds.width(), room.width()), minimum.width()));
    bounds.setHeight(std::max(std::min(bounds.height(), room.height()), minimum.height()));
    bounds.moveLeft(
        std::max(std::min(bounds.left(), room.right() + 1 - bounds.width()), room.left()));
    bounds.moveTop(
        std::max(std::min(bounds.top(), room.bottom() + 1 - bounds.height()), room.top()));
    return bounds;
}

void RestorePlacement(QWidget& window, AppINI& store) {
    const WindowPosition twips = ReadWindowPosition(store);
    const double tppX = TwipsPerPixelX(window);
    const double tppY = TwipsPerPixelY(window);
    QRect bounds(ToPixels(twips.MainLeft, tppX), ToPixels(twips.MainTop, tppY),
                 ToPixels(twips.MainWidth, tppX), ToPixels(twips.MainHeight, tppY));
    if (const QScreen* where = LandingScreen(bounds)) {
        bounds = FitInto(bounds, where->availableGeometry(), {}, window.minimumSize());
    }
    window.setGeometry(bounds);
}

void FitFrameOnScreen(QWidget& window) {
    const QRect client = window.geometry();
    const QRect outer = window.frameGeometry();
    const QMargins frame(client.left() - outer.left(), client.top() - outer.top(),
                         outer.right() - client.right(), outer.bottom() - client.bottom());
    const QScreen* where = LandingScreen(outer);
    if (where == nullptr || window.isMaximized() || window.isFullScreen()) {
        return;
    }
    const QRect fitted = FitInto(client, where->availableGeometry(), frame, window.minimumSize());
    if (fitted != client) {
        window.setGeometry(fitted);
    }
}

void SavePlacement(const QWidget& window, AppINI& store) {
    if (window.isMinimized()) {
        return;
    }
    const QRect client = window.geometry();
    const double tppX = TwipsPerPixelX(window);
    const double tppY = TwipsPerPixelY(window);
    WriteWindowPosition(
        store, WindowPosition{ToTwips(client.left(), tppX), ToTwips(client.top(), tppY),
                              ToTwips(client.width(), tppX), ToTwips(client.height(), tppY)});
}

QSize ReadableMinimumSize(QMainWindow& window, const QTreeView& list, const QWidget& toolbar) {
    QStyleOptionViewItem row;
    row.initFrom(&list);
    row.features = QStyleOptionViewItem::HasDisplay;
    row.text = QStringLiteral("Ag");
    const QStyle* style = list.style();
    const int rowHeight =
        style->sizeFromContents(QStyle::CT_ItemViewItem, &row, QSize(), &list).height();
    const int listHeight = 2 * list.frameWidth() + list.header()->sizeHint().height() +
                           kMinListRows * rowHeight +
                           style->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int around = window.menuBar()->sizeHint().height() + toolbar.sizeHint().height() +
                       window.statusBar()->sizeHint().height();
    const int height = std::max({kMinHeight, around + listHeight,
                                 listHeight + ToPixels(kListHeightLess, TwipsPerPixelY(window))});
    const int width =
        std::max({kMinWidth, window.menuBar()->sizeHint().width(), toolbar.sizeHint().width(),
                  window.statusBar()->minimumSizeHint().width()});
    return {width, height};
}

void FollowOuterSize(QWidget& list, const QWidget& window) {
    const QSize outer = window.frameGeometry().size();
    const double tppX = TwipsPerPixelX(window);
    const double tppY = TwipsPerPixelY(window);
    const double height = outer.height() * tppY - kListHeightLess;
    const double width = outer.width() * tppX - kListWidthLess;
    QSize size = list.size();
    if (height >= 0) {
        size.setHeight(ToPixels(height, tppY));
    }
    if (width >= 0) {
        size.setWidth(ToPixels(width, tppX));
    }
    list.resize(size);
}

}  // namespace zep
