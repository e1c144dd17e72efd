#include "library/widgets/dg1_grid.h"

#include "core/io_error.h"

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
    const int pitch = m_ws.library.DG1CellSize + 1;
    if (pos.x() < 0 || pos.y() < 0 || pitch <= 1)
        return {-1, -1};
    const int col = pos.x() / pitch;
    const int row = topRow() + pos.y() / pitch;
    if (col >= m_ws.library.DG1ColCount || row >= m_ws.library.DG1RowCount)
        return {-1, -1};
    return {col, row};
}

QRect DG1Grid::cellRect(int index) const
{
    const int columns = std::max(1, m_ws.library.DG1ColCount);
    const int pitch = m_ws.library.DG1CellSize + 1;
    return QRect((index % columns) * pitch, (index / columns - topRow()) * pitch, m_ws.library.DG1CellSize, m_ws.library.DG1CellSize);
}

void DG1Grid::relayout()
{
    const int pitch = std::max(1, m_ws.library.DG1CellSize + 1);
    const int visibleRows = std::max(1, viewport()->height() / pitch);
    verticalScrollBar()->setPageStep(visibleRows);
    verticalScrollBar()->setRange(0, std::max(0, m_ws.library.DG1RowCount - visibleRows));
    // A new layout comes with an empty list (New): show its first row, where
    // the next glyph goes, not the rows the old list was scrolled to.
    verticalScrollBar()->setValue(0);
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
    const int columns = m_ws.library.DG1ColCount;
    const int size = m_ws.library.DG1CellSize;
    const int pitch = size + 1;
    const int n = m_ws.dotSize();
    if (columns <= 0 || size <= 0)
        return;
    const int top = topRow();
    const int rowsShown = std::min(m_ws.library.DG1RowCount - top, viewport()->height() / pitch + 1);
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
            if (!shown)
                continue;
            for (int y = 0; y < n; ++y)
                for (int x = 0; x < n; ++x)
                    if (glyph.dot(x, y))
                        p.drawPoint(cell.left() + kMargin + x, cell.top() + kMargin + y);
            if (index == m_ws.library.DG1Marked) {
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
    emit cellPressed(cell.x(), cell.y());
}

} // namespace dotforge
