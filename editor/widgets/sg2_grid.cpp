#include "editor/widgets/sg2_grid.h"

#include "render/widgets/grid_focus.h"
#include "render/widgets/ui_fonts.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace dotforge {

namespace {
const QColor kLineColor(192, 192, 192);
const QColor kSelectionBack(0, 0, 255);

// The cell text size: the dot "●" must fit the smaller cells of the larger glyphs.
int cellPoints(int dotSize)
{
    return dotSize == 16 ? 12 : dotSize == 24 ? 7 : 5;
}

MouseButton buttonOf(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    default:
        return MouseButton::Middle;
    }
}

Key keyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::Enter;
    case Qt::Key_Home:
        return Key::Home;
    case Qt::Key_Shift:
        return Key::Shift;
    case Qt::Key_C:
        return Key::C;
    case Qt::Key_V:
        return Key::V;
    case Qt::Key_X:
        return Key::X;
    case Qt::Key_A:
        return Key::A;
    case Qt::Key_S:
        return Key::S;
    case Qt::Key_W:
        return Key::W;
    case Qt::Key_Z:
        return Key::Z;
    case Qt::Key_Delete:
        return Key::Delete;
    case Qt::Key_Up:
        return Key::Up;
    case Qt::Key_Down:
        return Key::Down;
    default:
        return Key::Other;
    }
}
} // namespace

SG2Grid::SG2Grid(Workspace &ws, QWidget *parent)
    : QFrame(parent)
    , m_ws(ws)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    // Movement without a button held extends the selection after a Shift toggle.
    setMouseTracking(true);
    setFixedSize(EditorGrid::kSG2Pixels + 2 * frameWidth(), EditorGrid::kSG2Pixels + 2 * frameWidth());
}

QPoint SG2Grid::cellAt(const QPoint &pos) const
{
    const QPoint p = pos - contentsRect().topLeft();
    const int pitch = m_ws.editorGrid().cellSize() + 1;
    if (p.x() < 0 || p.y() < 0 || pitch <= 1)
        return {-1, -1};
    const int col = p.x() / pitch;
    const int row = p.y() / pitch;
    if (col >= m_ws.dotSize() || row >= m_ws.dotSize())
        return {-1, -1};
    return {col, row};
}

QRect SG2Grid::cellRect(int col, int row) const
{
    const int pitch = m_ws.editorGrid().cellSize() + 1;
    return QRect(col * pitch, row * pitch, m_ws.editorGrid().cellSize(), m_ws.editorGrid().cellSize())
        .translated(contentsRect().topLeft());
}

QPoint SG2Grid::currentCell() const
{
    const int last = std::max(0, m_ws.dotSize() - 1);
    return {std::clamp(m_current.x(), 0, last), std::clamp(m_current.y(), 0, last)};
}

void SG2Grid::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect area = contentsRect();
    p.setClipRect(area);
    p.fillRect(area, Qt::white);
    const int n = m_ws.dotSize();
    if (n <= 0)
        return;
    const int size = m_ws.editorGrid().cellSize();
    const int pitch = size + 1;
    p.setPen(kLineColor);
    for (int i = 0; i < n; ++i) {
        p.drawLine(
            area.left() + i * pitch + size, area.top(), area.left() + i * pitch + size, area.top() + n * pitch - 1);
        p.drawLine(
            area.left(), area.top() + i * pitch + size, area.left() + n * pitch - 1, area.top() + i * pitch + size);
    }

    const QFont font = glyphFont("宋体", cellPoints(n));
    const int ascent = QFontMetrics(font, this).ascent();
    p.setFont(font);
    p.setBackgroundMode(Qt::OpaqueMode);
    for (int row = 0; row < n; ++row) {
        for (int col = 0; col < n; ++col) {
            const QRect cell = cellRect(col, row);
            if (!event->rect().intersects(cell))
                continue;
            const bool selected = m_ws.editorGrid().inSelection(col, row);
            const QColor back = selected ? kSelectionBack : QColor(Qt::white);
            p.fillRect(cell, back);
            p.save();
            p.setClipRect(cell);
            p.setPen(selected ? Qt::white : Qt::black);
            p.setBackground(back);
            p.drawText(cell.left(), cell.top() + ascent, QString::fromStdString(m_ws.editorGrid().cell(col, row)));
            p.restore();
        }
    }
    if (hasFocus()) {
        const QPoint current = currentCell();
        drawFocusCell(p, cellRect(current.x(), current.y()),
            m_ws.editorGrid().inSelection(current.x(), current.y()) ? kSelectionBack : QColor(Qt::white));
    }
}

void SG2Grid::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const QPoint cell = cellAt(pos);
    if (cell.x() >= 0 && cell != currentCell()) {
        update(cellRect(currentCell().x(), currentCell().y()));
        m_current = cell;
    }
    emit pressed(cell.x(), cell.y(), buttonOf(event->button()), pos - contentsRect().topLeft());
}

void SG2Grid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint cell = cellAt(event->position().toPoint());
    emit moved(cell.x(), cell.y());
}

void SG2Grid::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint cell = cellAt(event->position().toPoint());
    emit released(cell.x(), cell.y(), buttonOf(event->button()));
}

void SG2Grid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const QPoint cell = cellAt(pos);
    emit doubleClicked(cell.x(), cell.y(), buttonOf(event->button()), pos - contentsRect().topLeft());
}

void SG2Grid::moveCurrent(int dx, int dy)
{
    const QPoint from = currentCell();
    const int last = std::max(0, m_ws.dotSize() - 1);
    const QPoint to(std::clamp(from.x() + dx, 0, last), std::clamp(from.y() + dy, 0, last));
    m_current = to;
    update(cellRect(from.x(), from.y()));
    update(cellRect(to.x(), to.y()));
    emit moved(to.x(), to.y());
}

void SG2Grid::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers m = event->modifiers();
    const bool plain = !(m & (Qt::ControlModifier | Qt::AltModifier));
    const QPoint cell = currentCell();
    const QPoint pointer = cellRect(cell.x(), cell.y()).center() - contentsRect().topLeft();
    if (plain) {
        switch (event->key()) {
        case Qt::Key_Left:
            moveCurrent(-1, 0);
            return;
        case Qt::Key_Right:
            moveCurrent(1, 0);
            return;
        case Qt::Key_Up:
            moveCurrent(0, -1);
            return;
        case Qt::Key_Down:
            moveCurrent(0, 1);
            return;
        case Qt::Key_Space: {
            if (event->isAutoRepeat())
                return;
            const EditorGrid &e = m_ws.editorGrid();
            const bool anchorAlone
                = e.selCol() == cell.x() && e.selRow() == cell.y() && e.selWidth() == 1 && e.selHeight() == 1;
            if (anchorAlone)
                emit doubleClicked(cell.x(), cell.y(), MouseButton::Left, pointer);
            else
                emit pressed(cell.x(), cell.y(), MouseButton::Left, pointer);
            emit released(cell.x(), cell.y(), MouseButton::Left);
            return;
        }
        case Qt::Key_Menu:
            emit pressed(cell.x(), cell.y(), MouseButton::Right, pointer);
            return;
        default:
            break;
        }
    }
    KeyMods mods;
    mods.ctrl = m.testFlag(Qt::ControlModifier);
    mods.shift = m.testFlag(Qt::ShiftModifier);
    mods.alt = m.testFlag(Qt::AltModifier);
    emit keyPressed(keyOf(event->key()), mods);
}

void SG2Grid::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    update(cellRect(currentCell().x(), currentCell().y()));
}

void SG2Grid::focusOutEvent(QFocusEvent *event)
{
    QFrame::focusOutEvent(event);
    update(cellRect(currentCell().x(), currentCell().y()));
}

} // namespace dotforge
