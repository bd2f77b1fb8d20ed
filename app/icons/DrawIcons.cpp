// Draws the toolbar icons and the program icon into PNG files. The PNGs are kept in the
// repository; run this after changing a drawing:  DrawIcons <output folder> [preview.png]
// The preview shows every icon eight times enlarged, pixel for pixel, on white.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace {

const QColor kInk(0x37, 0x47, 0x4f);
const QColor kPaper(0xfa, 0xfa, 0xfa);
const QColor kBlue(0x1e, 0x88, 0xe5);
const QColor kGreen(0x2e, 0x9d, 0x4a);
const QColor kRed(0xd9, 0x3a, 0x36);
const QColor kAmber(0xf5, 0xa6, 0x23);

using Drawing = std::function<void(QPainter&)>;

QPen Ink(qreal width = 1.0) {
    return QPen(kInk, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

// A sheet with a folded corner, in the 16-unit grid.
void Sheet(QPainter& p, qreal left, qreal top, qreal width, qreal height) {
    QPainterPath sheet;
    const qreal fold = 3;
    sheet.moveTo(left, top);
    sheet.lineTo(left + width - fold, top);
    sheet.lineTo(left + width, top + fold);
    sheet.lineTo(left + width, top + height);
    sheet.lineTo(left, top + height);
    sheet.closeSubpath();
    p.setPen(Ink());
    p.setBrush(kPaper);
    p.drawPath(sheet);
    p.drawLine(QPointF(left + width - fold, top), QPointF(left + width - fold, top + fold));
    p.drawLine(QPointF(left + width - fold, top + fold), QPointF(left + width, top + fold));
}

void TextLines(QPainter& p, qreal left, qreal top, int count, qreal length) {
    p.setPen(QPen(QColor(0x90, 0xa4, 0xae), 1.0));
    for (int i = 0; i < count; ++i) {
        p.drawLine(QPointF(left, top + 2 * i), QPointF(left + length, top + 2 * i));
    }
}

// A round badge with a plus, minus or cross, at the lower right.
void Badge(QPainter& p, const QColor& color, char mark) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(11.5, 11.5), 4.2, 4.2);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::FlatCap));
    if (mark == '+' || mark == '-') {
        p.drawLine(QPointF(9.2, 11.5), QPointF(13.8, 11.5));
    }
    if (mark == '+') {
        p.drawLine(QPointF(11.5, 9.2), QPointF(11.5, 13.8));
    }
    if (mark == 'x') {
        p.drawLine(QPointF(9.9, 9.9), QPointF(13.1, 13.1));
        p.drawLine(QPointF(13.1, 9.9), QPointF(9.9, 13.1));
    }
}

void DrawNewList(QPainter& p) {
    Sheet(p, 1.5, 0.5, 10, 13);
    TextLines(p, 3.5, 4.5, 4, 6);
    Badge(p, kRed, 'x');
}

void DrawAddFile(QPainter& p) {
    Sheet(p, 1.5, 0.5, 10, 13);
    TextLines(p, 3.5, 4.5, 4, 6);
    Badge(p, kGreen, '+');
}

void DrawSaveFile(QPainter& p) {
    QPainterPath disk;
    disk.moveTo(1.5, 1.5);
    disk.lineTo(12.5, 1.5);
    disk.lineTo(14.5, 3.5);
    disk.lineTo(14.5, 14.5);
    disk.lineTo(1.5, 14.5);
    disk.closeSubpath();
    p.setPen(Ink());
    p.setBrush(kBlue);
    p.drawPath(disk);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4.5, 1.5, 7, 4));
    p.fillRect(QRectF(9, 2, 2, 3), kInk);
    p.drawRect(QRectF(3.5, 8.5, 9, 6));
    TextLines(p, 5, 10.5, 2, 6);
}

void DrawDeleteFile(QPainter& p) {
    Sheet(p, 1.5, 0.5, 10, 13);
    TextLines(p, 3.5, 4.5, 4, 6);
    Badge(p, kRed, '-');
}

void DrawArrowDown(QPainter& p, qreal x, qreal top, qreal bottom, const QColor& color) {
    p.setPen(QPen(color, 2.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(x, top), QPointF(x, bottom - 2));
    QPainterPath head;
    head.moveTo(x - 3, bottom - 3.5);
    head.lineTo(x + 3, bottom - 3.5);
    head.lineTo(x, bottom);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head);
}

void DrawSortASC(QPainter& p) {
    // Bars growing in length stand for labels put in order.
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(7, 2, 3, 2));
    p.drawRect(QRectF(7, 6, 5, 2));
    p.drawRect(QRectF(7, 10, 7, 2));
    p.setBrush(QColor(0x90, 0xa4, 0xae));
    p.drawRect(QRectF(7, 13.5, 8, 1.5));
    DrawArrowDown(p, 4, 1, 15, kBlue);
}

void DrawCompare(QPainter& p) {
    Sheet(p, 0.5, 0.5, 7, 11);
    Sheet(p, 8.5, 4.5, 7, 11);
    // Lines the two files share, at the same height.
    p.setPen(QPen(kAmber, 1.0));
    p.drawLine(QPointF(2, 6.5), QPointF(6, 6.5));
    p.drawLine(QPointF(10, 6.5), QPointF(14, 6.5));
    p.drawLine(QPointF(2, 8.5), QPointF(6, 8.5));
    p.drawLine(QPointF(10, 8.5), QPointF(14, 8.5));
    p.setPen(QPen(QColor(0x90, 0xa4, 0xae), 1.0));
    p.drawLine(QPointF(2, 3.5), QPointF(5, 3.5));
    p.drawLine(QPointF(10, 12.5), QPointF(13, 12.5));
}

// The program: a coordinate grid with the points of two files brought into line.
void DrawProgram(QPainter& p) {
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    p.drawPath(tile);
    p.setPen(QPen(QColor(255, 255, 255, 90), 0.4));
    for (qreal v = 4; v <= 12; v += 4) {
        p.drawLine(QPointF(v, 2.5), QPointF(v, 13.5));
        p.drawLine(QPointF(2.5, v), QPointF(13.5, v));
    }
    p.setPen(QPen(Qt::white, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath z;
    z.moveTo(4, 4);
    z.lineTo(12, 4);
    z.lineTo(4, 12);
    z.lineTo(12, 12);
    p.setBrush(Qt::NoBrush);
    p.drawPath(z);
    p.setPen(Qt::NoPen);
    p.setBrush(kAmber);
    for (const QPointF& point : {QPointF(4, 4), QPointF(12, 4), QPointF(4, 12), QPointF(12, 12)}) {
        p.drawEllipse(point, 1.3, 1.3);
    }
}

bool Save(const Drawing& draw, int size, const QString& path) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    painter.end();
    return image.save(path);
}

template <typename Buttons>
bool SavePreview(const Buttons& buttons, const QString& path) {
    constexpr int kZoom = 8;
    QImage sheet(16 * kZoom * 8, 16 * kZoom * 2 + 8, QImage::Format_RGB32);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int x = 0;
    for (const auto& [name, draw] : buttons) {
        for (int size : {16, 32}) {
            QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
            icon.fill(Qt::transparent);
            QPainter p(&icon);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(size / 16.0, size / 16.0);
            draw(p);
            p.end();
            const int y = size == 16 ? 0 : 16 * kZoom + 8;
            painter.drawImage(QRect(x, y, 16 * kZoom, 16 * kZoom), icon);
        }
        x += 16 * kZoom + 4;
    }
    QImage program(128, 128, QImage::Format_ARGB32_Premultiplied);
    program.fill(Qt::transparent);
    QPainter p(&program);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(8, 8);
    DrawProgram(p);
    p.end();
    painter.drawImage(QPoint(x, 0), program);
    painter.end();
    return sheet.save(path);
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    const std::pair<const char*, Drawing> buttons[] = {
        {"NewList", DrawNewList},       {"AddFile", DrawAddFile}, {"SaveFile", DrawSaveFile},
        {"DeleteFile", DrawDeleteFile}, {"SortASC", DrawSortASC}, {"Compare", DrawCompare}};
    bool ok = true;
    for (const auto& [name, draw] : buttons) {
        ok = Save(draw, 16, out.filePath(QStringLiteral("%1.png").arg(QLatin1String(name)))) && ok;
        ok = Save(draw, 32, out.filePath(QStringLiteral("%1@2x.png").arg(QLatin1String(name)))) &&
             ok;
    }
    ok = Save(DrawProgram, 256, out.filePath(QStringLiteral("ZEPConverter.png"))) && ok;
    if (argc > 2) {
        ok = SavePreview(buttons, QString::fromLocal8Bit(argv[2])) && ok;
    }
    return ok ? 0 : 1;
}
