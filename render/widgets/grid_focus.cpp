#include "render/widgets/grid_focus.h"

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QRect>

namespace dotforge {

void drawFocusCell(QPainter &painter, const QRect &cell, const QColor &background)
{
    painter.save();
    painter.setClipRect(cell);
    painter.setBrush(Qt::NoBrush);
    const QColor ink = background.lightness() < 128 ? Qt::white : Qt::black;
    painter.setPen(QPen(ink, 1, Qt::DotLine));
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawRect(cell.adjusted(0, 0, -1, -1));
    painter.restore();
}

} // namespace dotforge
