#pragma once
// The keyboard's cell in the window's grids (the code table, the editor grid
// and the library list): a dotted frame just inside the cell, drawn while the
// grid has the focus, dark on a light cell and light on a dark one.

class QColor;
class QPainter;
class QRect;

namespace dotforge {

void drawFocusCell(QPainter &painter, const QRect &cell, const QColor &background);

} // namespace dotforge
