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
#include <algorithm>
#include <cmath>

#include "support/AppSettings.h"

namespace zep {
namespace {

constexpr double kListWidthLess = 200;
constexpr double kListHeightLess = 1500;
// Pixels, whatever the contents need.
constexpr int kMinWidth = 300;
constexpr int kMinHeight = 200;
constexpr int kMinListRows = 2;

std::int32_t ToTwips(int pixels, double twipsPerPixel) {
    return static_cast<std::int32_t>(std::lround(pixels * twipsPerPixel));
}

// The one holding the centre, else the one sharing most of the bounds, else the main screen.
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

QRect FitInto(QRect bounds, const QRect& available, const QMargins& frame, const QSize& minimum) {
    const QRect room = available.marginsRemoved(frame);
    bounds.setSize(bounds.size().boundedTo(room.size()).expandedTo(minimum));
    bounds.moveLeft(
        std::max(std::min(bounds.left(), room.right() + 1 - bounds.width()), room.left()));
    bounds.moveTop(
        std::max(std::min(bounds.top(), room.bottom() + 1 - bounds.height()), room.top()));
    return bounds;
}

}  // namespace

QPointF TwipsPerPixel(const QWidget& widget) {
    const QScreen* where = widget.screen();
    return {1440.0 / where->logicalDotsPerInchX(), 1440.0 / where->logicalDotsPerInchY()};
}

int ToPixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

void RestorePlacement(QWidget& window, AppINI& store) {
    const WindowPosition twips = ReadWindowPosition(store);
    const QPointF tpp = TwipsPerPixel(window);
    QRect bounds(ToPixels(twips.MainLeft, tpp.x()), ToPixels(twips.MainTop, tpp.y()),
                 ToPixels(twips.MainWidth, tpp.x()), ToPixels(twips.MainHeight, tpp.y()));
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
    const QPointF tpp = TwipsPerPixel(window);
    WriteWindowPosition(
        store, WindowPosition{ToTwips(client.left(), tpp.x()), ToTwips(client.top(), tpp.y()),
                              ToTwips(client.width(), tpp.x()), ToTwips(client.height(), tpp.y())});
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
    const int height =
        std::max({kMinHeight, around + listHeight,
                  listHeight + ToPixels(kListHeightLess, TwipsPerPixel(window).y())});
    const int width =
        std::max({kMinWidth, window.menuBar()->sizeHint().width(), toolbar.sizeHint().width(),
                  window.statusBar()->minimumSizeHint().width()});
    return {width, height};
}

void FollowOuterSize(QWidget& list, const QWidget& window) {
    const QSize outer = window.frameGeometry().size();
    const QPointF tpp = TwipsPerPixel(window);
    const double height = outer.height() * tpp.y() - kListHeightLess;
    const double width = outer.width() * tpp.x() - kListWidthLess;
    list.resize(width >= 0 ? ToPixels(width, tpp.x()) : list.width(),
                height >= 0 ? ToPixels(height, tpp.y()) : list.height());
}

}  // namespace zep
