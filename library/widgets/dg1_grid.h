#pragma once
// DG1, the library list: the workspace's DG1ColCount columns of DG1CellSize
// pixels with 1-pixel lines, scrolled vertically by whole rows, each glyph at
// one pixel per dot with a 2-pixel margin; the selected glyph's cell has a
// 1-pixel frame in the outer pixel of its margin. The list's own current cell,
// framed dotted in the inner pixel of the margin while the list has the focus,
// moves with the arrow and page keys over the glyphs; Enter and Space press it
// as a click does.

#include "workspace/workspace.h"

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
    int currentIndex() const { return m_current; }
    // Makes list index `index` current and scrolls it into sight.
    void setCurrentIndex(int index);

signals:
    void cellPressed(int col, int row);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void reportPaintError();
    void repaintCell(int index);

    Workspace &m_ws;
    std::string m_paintError; // a store read that failed while painting
    bool m_errorShown = false; // once until the list changes
    int m_current = 0; // the list index of the current cell
};

} // namespace dotforge
