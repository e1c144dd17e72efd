#pragma once
// DG1, the library list: the workspace's DG1ColCount columns of DG1CellSize
// pixels with 1-pixel lines, scrolled vertically by whole rows, each glyph at
// one pixel per dot with a 2-pixel margin; the selected glyph's cell has a
// 1-pixel frame in the outer pixel of its margin.

#include "core/workspace.h"

#include <QAbstractScrollArea>

namespace dotforge {

class DG1Grid : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Width of the cell area beside the scroll bar: 10 cells of 20 pixels and
    // their lines at 16 dots, 7 of 28 at 24, 5 of 36 at 32.
    static constexpr int kClientWidth = 210;

    explicit DG1Grid(Workspace &ws, QWidget *parent = nullptr);

    // The cell under a point of the viewport; (-1, -1) outside the cells.
    QPoint cellAt(const QPoint &viewportPos) const;
    // The rectangle of list index `index` in the viewport as it is scrolled.
    QRect cellRect(int index) const;
    int topRow() const;

    // The workspace changed the geometry (New): new scroll range, back at the
    // first row, all repainted.
    void relayout();
    void updateCell(int index);

signals:
    void cellPressed(int col, int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void reportPaintError();

    Workspace &m_ws;
    std::string m_paintError; // a store read that failed while painting
    bool m_errorShown = false; // once until the list changes
};

} // namespace dotforge
