#include "library/widgets/dg1_grid.h"

#include "core/io_error.h"
#include "render/widgets/grid_focus.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

namespace dotforge {

namespace {
const QColor kLineColor(192, 192, 192);
const QColor kFrameColor(0, 0, 255); // the selected glyph's frame, blue as the editor's selection
constexpr int kMargin = 2; // white pixels around a glyph inside its cell
} // namespace

DG1Grid::DG1Grid(Workspace &ws, QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_ws(ws)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    setFixedWidth(kClientWidth + 2 * frameWidth() + verticalScrollBar()->sizeHint().width());
    verticalScrollBar()->setSingleStep(1);
}

int DG1Grid::topRow() const
{
    return verticalScrollBar()->value();
}

QPoint DG1Grid::cellAt(const QPoint &pos) const
{
    const int pitch = m_ws.library().DG1CellSize() + 1;
    if (pos.x() < 0 || pos.y() < 0 || pitch <= 1)
        return {-1, -1};
    const int col = pos.x() / pitch;
    const int row = topRow() + pos.y() / pitch;
    if (col >= m_ws.library().DG1ColCount() || row >= m_ws.library().DG1RowCount())
        return {-1, -1};
    return {col, row};
}

QRect DG1Grid::cellRect(int index) const
{
    const int columns = std::max(1, m_ws.library().DG1ColCount());
    const int pitch = m_ws.library().DG1CellSize() + 1;
    const int size = m_ws.library().DG1CellSize();
    return QRect((index % columns) * pitch, (index / columns - topRow()) * pitch, size, size);
}

void DG1Grid::relayout()
{
    const int pitch = std::max(1, m_ws.library().DG1CellSize() + 1);
    const int visibleRows = std::max(1, viewport()->height() / pitch);
    verticalScrollBar()->setPageStep(visibleRows);
    verticalScrollBar()->setRange(0, std::max(0, m_ws.library().DG1RowCount() - visibleRows));
    // A new layout comes with an empty list (New): show its first row, where
    // the next glyph goes, not the rows the old list was scrolled to.
    verticalScrollBar()->setValue(0);
    m_current = 0;
    m_errorShown = false;
    viewport()->update();
}

void DG1Grid::updateCell(int index)
{
    m_errorShown = false;
    if (index < 0)
        viewport()->update();
    else
        viewport()->update(cellRect(index));
}

void DG1Grid::setCurrentIndex(int index)
{
    const int columns = m_ws.library().DG1ColCount();
    if (columns <= 0 || index < 0 || index >= columns * m_ws.library().DG1RowCount())
        return;
    repaintCell(m_current);
    m_current = index;
    const int row = index / columns;
    QScrollBar *bar = verticalScrollBar();
    if (row < bar->value())
        bar->setValue(row);
    else if (row >= bar->value() + std::max(1, bar->pageStep()))
        bar->setValue(row - std::max(1, bar->pageStep()) + 1);
    repaintCell(m_current);
}

void DG1Grid::repaintCell(int index)
{
    viewport()->update(cellRect(index));
}

void DG1Grid::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void DG1Grid::scrollContentsBy(int, int)
{
    viewport()->update();
}

void DG1Grid::paintEvent(QPaintEvent *event)
{
    QPainter p(viewport());
    p.fillRect(event->rect(), Qt::white);
    const int columns = m_ws.library().DG1ColCount();
    const int size = m_ws.library().DG1CellSize();
    const int pitch = size + 1;
    const int n = m_ws.dotSize();
    if (columns <= 0 || size <= 0)
        return;
    const int top = topRow();
    const int rowsShown = std::min(m_ws.library().DG1RowCount() - top, viewport()->height() / pitch + 1);
    const int right = columns * pitch - 1;
    const int bottom = rowsShown * pitch - 1;
    p.setPen(kLineColor);
    for (int c = 0; c < columns; ++c)
        p.drawLine(c * pitch + size, 0, c * pitch + size, bottom);
    for (int r = 0; r < rowsShown; ++r)
        p.drawLine(0, r * pitch + size, right, r * pitch + size);

    p.setPen(Qt::black);
    for (int r = 0; r < rowsShown; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int index = (top + r) * columns + c;
            const QRect cell(c * pitch, r * pitch, size, size);
            if (!event->rect().intersects(cell))
                continue;
            GlyphPlane glyph;
            bool shown = false;
            try {
                shown = m_ws.DG1DrawCell(index, glyph);
            } catch (const IoError &e) {
                if (m_paintError.empty())
                    m_paintError = e.what();
            }
            if (index == m_current && hasFocus())
                drawFocusCell(p, cell.adjusted(1, 1, -1, -1), Qt::white);
            if (!shown)
                continue;
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x)
                    if (glyph.dot(x, y))
                        p.drawPoint(cell.left() + kMargin + x, cell.top() + kMargin + y);
            if (index == m_ws.library().DG1Marked()) {
                // The outer ring of the margin: the glyph keeps a white pixel
                // on every side between its dots and the frame.
                p.setPen(kFrameColor);
                p.drawRect(cell.adjusted(0, 0, -1, -1));
                p.setPen(Qt::black);
            }
        }
    }
    reportPaintError();
}

// A failed read is shown once, after painting and outside the paint event;
// repaints of the same cells do not show it again until the list changes.
void DG1Grid::reportPaintError()
{
    if (m_paintError.empty())
        return;
    std::string error;
    error.swap(m_paintError);
    if (m_errorShown)
        return;
    m_errorShown = true;
    QTimer::singleShot(0, this, [this, error] { m_ws.showError(std::runtime_error(error)); });
}

void DG1Grid::mousePressEvent(QMouseEvent *event)
{
    const QPoint cell = cellAt(event->position().toPoint());
    const int index = cell.y() * m_ws.library().DG1ColCount() + cell.x();
    if (cell.x() >= 0 && index < m_ws.library().LibCount())
        setCurrentIndex(index);
    emit cellPressed(cell.x(), cell.y());
}

// The keys move over the glyphs of the list only (the first cell when it is
// empty); Enter and Space press the current cell.
void DG1Grid::keyPressEvent(QKeyEvent *event)
{
    const int columns = std::max(1, m_ws.library().DG1ColCount());
    const int last = std::max(0, m_ws.library().LibCount() - 1);
    const int page = columns * std::max(1, verticalScrollBar()->pageStep());
    int index = std::min(m_current, last);
    switch (event->key()) {
    case Qt::Key_Left:
        index -= 1;
        break;
    case Qt::Key_Right:
        index += 1;
        break;
    case Qt::Key_Up:
        index -= index >= columns ? columns : 0;
        break;
    case Qt::Key_Down:
        index += index + columns <= last ? columns : 0;
        break;
    case Qt::Key_PageUp:
        index -= page;
        break;
    case Qt::Key_PageDown:
        index += page;
        break;
    case Qt::Key_Home:
        index = 0;
        break;
    case Qt::Key_End:
        index = last;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            QAbstractScrollArea::keyPressEvent(event);
            return;
        }
        setCurrentIndex(index);
        emit cellPressed(m_current % columns, m_current / columns);
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    setCurrentIndex(std::clamp(index, 0, last));
}

void DG1Grid::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    repaintCell(m_current);
}

void DG1Grid::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    repaintCell(m_current);
}

} // namespace dotforge
