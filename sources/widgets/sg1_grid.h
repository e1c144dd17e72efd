#pragma once
// SG1, the code table: 10 x 10 cells of 21 pixels with 1-pixel lines, each
// cell painted from the workspace's code table painter; characters are drawn by
// the glyph rasteriser, so the table shows the glyphs the editor gets. The
// grid's own current cell, framed while it has the focus, moves with the arrow
// keys; Enter and Space press it as a click does.

#include "core/rasterizer.h"
#include "workspace/workspace.h"

#include <QFrame>

namespace dotforge {

class SG1Grid : public QFrame {
    Q_OBJECT
public:
    static constexpr int kColumns = 10;
    static constexpr int kRows = 10;
    static constexpr int kCellSize = 21;
    static constexpr int kPitch = kCellSize + 1; // a grid line after every cell

    // Text cells are drawn by the rasteriser that renders the glyphs.
    SG1Grid(Workspace &ws, Rasterizer &rasterizer, QWidget *parent = nullptr);

    // The cell under a point of the widget; (-1, -1) over no cell.
    QPoint cellAt(const QPoint &pos) const;
    // The rectangle of cell (col, row) in widget coordinates.
    QRect cellRect(int col, int row) const;
    QPoint currentCell() const { return m_current; }
    // A cell outside the grid is ignored.
    void setCurrentCell(int col, int row);

signals:
    // Any mouse button.
    void cellPressed(int col, int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    Workspace &m_ws;
    Rasterizer &m_rasterizer;
    QPoint m_current{0, 0};
};

} // namespace dotforge
