#pragma once
// SG2, the editor grid: a fixed 289 x 289 pixel area of N x N dot cells of
// the workspace's cell size with 1-pixel lines. It paints the workspace's cell
// texts and selection and reports mouse and key events by cell.
//
// The keyboard has a cell of its own, framed while the grid has the focus: the
// arrow keys move it as the pointer moves (a Shift-toggled selection follows
// it), Space presses and releases it as a left click does, a second Space on
// the cell that is the whole selection as the double-click does, and the menu
// key presses it as the right button does. Every other key goes to the
// workspace's key handler.

#include "workspace/workspace.h"

#include <QFrame>

namespace dotforge {

class SG2Grid : public QFrame {
    Q_OBJECT
public:
    explicit SG2Grid(Workspace &ws, QWidget *parent = nullptr);

    // The dot cell under a point of the widget; (-1, -1) over no dot cell.
    QPoint cellAt(const QPoint &pos) const;
    // The rectangle of dot cell (col, row) in widget coordinates.
    QRect cellRect(int col, int row) const;
    // The keyboard's cell, within the square of the current dot size.
    QPoint currentCell() const;

signals:
    // `pointer` is the press position in the grid's cell area.
    void pressed(int col, int row, dotforge::MouseButton button, const QPoint &pointer);
    void moved(int col, int row);
    void released(int col, int row, dotforge::MouseButton button);
    // The second press of a double-click.
    void doubleClicked(int col, int row, dotforge::MouseButton button, const QPoint &pointer);
    void keyPressed(dotforge::Key key, dotforge::KeyMods mods);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void moveCurrent(int dx, int dy);

    Workspace &m_ws;
    QPoint m_current{0, 0};
};

} // namespace dotforge
