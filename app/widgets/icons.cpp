#include "app/widgets/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

namespace dotforge {

namespace {

// The 16-colour palette the pictures keep to.
const QColor kBlack(0, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kMaroon(128, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kLime(0, 255, 0);
const QColor kSilver(192, 192, 192);
const QColor kGray(128, 128, 128);
const QColor kWhite(255, 255, 255);

constexpr int kSize = 32;

// Pictures keep 4 pixels clear at every edge: the 31-pixel buttons clip the
// outermost ones.
QPixmap blank()
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A faint dot raster behind the editing pictures: they act on a dot matrix.
void dotRaster(QPainter &p)
{
    p.setPen(kSilver);
    for (int y = 5; y < 28; y += 4)
        for (int x = 5; x < 28; x += 4)
            p.drawPoint(x, y);
}

// Draws with the picture turned by `degrees` about its centre.
void turn(QPainter &p, int degrees)
{
    p.translate(kSize / 2.0, kSize / 2.0);
    p.rotate(degrees);
    p.translate(-kSize / 2.0, -kSize / 2.0);
}

// A thick arrow pointing right, turned to its direction.
QPixmap shiftArrow(int degrees)
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    dotRaster(p);
    turn(p, degrees);
    const QPolygon arrow({{5, 12}, {16, 12}, {16, 6}, {27, 16}, {16, 26}, {16, 20}, {5, 20}});
    p.setPen(kBlack);
    p.setBrush(kNavy);
    p.drawPolygon(arrow);
    return pixmap;
}

// A left quarter turn: three quarters of a circle running anticlockwise with
// its head at the bottom, around a small right angle.
QPixmap rotateLeft()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    dotRaster(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kNavy, 3, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(7, 5, 18, 18), 0, 270 * 16);
    p.setPen(kBlack);
    p.setBrush(kNavy);
    p.drawPolygon(QPolygon({{14, 17}, {22, 23}, {14, 29}}));
    p.setPen(QPen(kRed, 2));
    p.drawLine(13, 10, 13, 16);
    p.drawLine(13, 16, 19, 16);
    return pixmap;
}

// A right-angled triangle and its mirror image across a dashed axis.
QPixmap flip(int degrees)
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    turn(p, degrees);
    p.setPen(kBlack);
    p.setBrush(kNavy);
    p.drawPolygon(QPolygon({{4, 25}, {13, 25}, {13, 7}}));
    p.setBrush(kSilver);
    p.drawPolygon(QPolygon({{27, 25}, {18, 25}, {18, 7}}));
    p.setPen(QPen(kRed, 1, Qt::DashLine));
    p.drawLine(15, 3, 15, 28);
    p.drawLine(16, 3, 16, 28);
    return pixmap;
}

// Two blocks that trade places, with a double-headed arrow under them.
QPixmap swap(int degrees)
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    turn(p, degrees);
    p.setPen(kBlack);
    p.setBrush(kBlue);
    p.drawRect(4, 5, 10, 12);
    p.setBrush(kRed);
    p.drawRect(17, 5, 10, 12);
    p.setPen(QPen(kBlack, 2));
    p.drawLine(8, 24, 23, 24);
    p.setPen(kBlack);
    p.setBrush(kBlack);
    p.drawPolygon(QPolygon({{4, 24}, {9, 20}, {9, 28}}));
    p.drawPolygon(QPolygon({{27, 24}, {22, 20}, {22, 28}}));
    return pixmap;
}

// A hooked arrow turning back to the left.
QPixmap undo()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setPen(QPen(kGreen, 4, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(8, 6, 16, 16), 0, 180 * 16);
    p.drawLine(24, 14, 24, 26);
    p.setPen(kBlack);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygon({{3, 14}, {15, 14}, {9, 22}}));
    return pixmap;
}

// A small glyph crossed out.
QPixmap clear()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    dotRaster(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kBlack);
    static const char *const rows[] = {"#####", "..#..", "#####", "..#..", "#.#.#"};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 5; ++c)
            if (rows[r][c] == '#')
                p.drawRect(6 + 4 * c, 6 + 4 * r, 3, 3);
    p.setPen(QPen(kRed, 3, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(6, 6, 25, 25);
    p.drawLine(25, 6, 6, 25);
    return pixmap;
}

QPixmap commit()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setPen(QPen(kGreen, 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawPolyline(QPolygon({{7, 16}, {13, 22}, {25, 9}}));
    return pixmap;
}

QPixmap plus()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setPen(kBlack);
    p.setBrush(kLime);
    p.drawPolygon(QPolygon({{13, 5}, {18, 5}, {18, 13}, {26, 13}, {26, 18}, {18, 18}, {18, 26}, {13, 26}, {13, 18},
        {5, 18}, {5, 13}, {13, 13}}));
    p.setPen(kGreen);
    p.drawLine(14, 25, 17, 25);
    p.drawLine(25, 14, 25, 17);
    return pixmap;
}

QPixmap minus()
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setPen(kBlack);
    p.setBrush(kRed);
    p.drawRect(5, 13, 21, 5);
    p.setPen(kMaroon);
    p.drawLine(6, 17, 25, 17);
    return pixmap;
}

} // namespace

QIcon toolIcon(ToolIcon kind)
{
    switch (kind) {
    case ToolIcon::ShiftLeft:
        return QIcon(shiftArrow(180));
    case ToolIcon::ShiftRight:
        return QIcon(shiftArrow(0));
    case ToolIcon::ShiftUp:
        return QIcon(shiftArrow(270));
    case ToolIcon::ShiftDown:
        return QIcon(shiftArrow(90));
    case ToolIcon::RotateLeft:
        return QIcon(rotateLeft());
    case ToolIcon::FlipLeftRight:
        return QIcon(flip(0));
    case ToolIcon::FlipUpDown:
        return QIcon(flip(90));
    case ToolIcon::SwapLeftRight:
        return QIcon(swap(0));
    case ToolIcon::SwapUpDown:
        return QIcon(swap(90));
    case ToolIcon::Undo:
        return QIcon(undo());
    case ToolIcon::Clear:
        return QIcon(clear());
    case ToolIcon::Commit:
        return QIcon(commit());
    case ToolIcon::Add:
        return QIcon(plus());
    case ToolIcon::Delete:
        return QIcon(minus());
    }
    return {};
}

// A "D" set in dots, as the program's glyphs are, on a faint raster of the
// dots left blank.
QIcon appIcon()
{
    static const char *const rows[] = {"#####..", "#....#.", "#.....#", "#.....#", "#.....#", "#....#.", "#####.."};
    QIcon icon;
    for (int size : {16, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing, size > 16);
        p.scale(size / 32.0, size / 32.0);
        p.setPen(kNavy);
        p.setBrush(kWhite);
        p.drawRect(0, 0, 31, 31);
        p.setPen(Qt::NoPen);
        for (int r = 0; r < 7; ++r)
            for (int c = 0; c < 7; ++c) {
                const bool ink = rows[r][c] == '#';
                p.setBrush(ink ? kBlue : kSilver);
                const QRectF dot(3 + 4 * c, 3 + 4 * r, 3.4, 3.4);
                if (ink || size > 16)
                    p.drawEllipse(dot.adjusted(ink ? -0.3 : 0.6, ink ? -0.3 : 0.6, ink ? 0.3 : -0.6, ink ? 0.3 : -0.6));
            }
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace dotforge
