#include "sources/widgets/sg1_grid.h"

#include "render/widgets/grid_focus.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <stdexcept>

namespace dotforge {

namespace {
const QColor kLineColor(192, 192, 192);
constexpr int kTablePoints = 12; // the table's text size, whatever the dot size
} // namespace

SG1Grid::SG1Grid(Workspace &ws, Rasterizer &rasterizer, QWidget *parent)
    : QFrame(parent)
    , m_ws(ws)
    , m_rasterizer(rasterizer)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(kColumns * kPitch + 2 * frameWidth(), kRows * kPitch + 2 * frameWidth());
}

QPoint SG1Grid::cellAt(const QPoint &pos) const
{
    const QPoint p = pos - contentsRect().topLeft();
    if (p.x() < 0 || p.y() < 0)
        return {-1, -1};
    const int col = p.x() / kPitch;
    const int row = p.y() / kPitch;
    if (col >= kColumns || row >= kRows)
        return {-1, -1};
    return {col, row};
}

QRect SG1Grid::cellRect(int col, int row) const
{
    return QRect(col * kPitch, row * kPitch, kCellSize, kCellSize).translated(contentsRect().topLeft());
}

void SG1Grid::setCurrentCell(int col, int row)
{
    if (col < 0 || row < 0 || col >= kColumns || row >= kRows || QPoint(col, row) == m_current)
        return;
    update(cellRect(m_current.x(), m_current.y()));
    m_current = {col, row};
    update(cellRect(col, row));
}

void SG1Grid::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter p(this);
    const QRect area = contentsRect();
    p.translate(area.topLeft());
    p.setClipRect(0, 0, area.width(), area.height());
    p.fillRect(0, 0, area.width(), area.height(), Qt::white);
    p.setPen(kLineColor);
    for (int i = 0; i < kColumns; ++i)
        p.drawLine(i * kPitch + kCellSize, 0, i * kPitch + kCellSize, kRows * kPitch - 1);
    for (int i = 0; i < kRows; ++i)
        p.drawLine(0, i * kPitch + kCellSize, kColumns * kPitch - 1, i * kPitch + kCellSize);

    Surface40 surface;
    QImage cellImage(kCellSize, kCellSize, QImage::Format_RGB32);
    for (int row = 0; row < kRows; ++row) {
        for (int col = 0; col < kColumns; ++col) {
            const QRect cell(col * kPitch, row * kPitch, kCellSize, kCellSize);
            if (!event->rect().intersects(cell.translated(area.topLeft())))
                continue;
            // Never throws: a cell that cannot be read comes back blank and the
            // failure waits in the workspace for the report below.
            const CodeTableCell content = m_ws.SG1DrawCell(col, row);
            if (content.empty)
                continue;
            p.save();
            p.setClipRect(cell);
            if (content.fromFont16s) {
                p.setPen(Qt::black);
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x)
                        if (content.record[std::size_t(2 * y + x / 8)] & (0x80 >> (x % 8)))
                            p.drawPoint(cell.left() + 2 + x, cell.top() + 2 + y);
            } else {
                // (2, 2) in the cell is the top-left corner of the text cell.
                surface.fillWhite();
                m_rasterizer.drawText(surface, content.text, content.face, kTablePoints, 2, 2);
                for (int y = 0; y < kCellSize; ++y) {
                    auto *line = reinterpret_cast<QRgb *>(cellImage.scanLine(y));
                    for (int x = 0; x < kCellSize; ++x)
                        line[x] = 0xFF000000u | surface.pixel(x, y);
                }
                p.drawImage(cell.topLeft(), cellImage);
            }
            p.restore();
        }
    }
    if (hasFocus())
        drawFocusCell(p, QRect(m_current.x() * kPitch, m_current.y() * kPitch, kCellSize, kCellSize), Qt::white);

    // A read failure is shown once, after painting and outside the paint event.
    const std::string error = m_ws.takeTableError();
    if (!error.empty())
        QTimer::singleShot(0, this, [this, error] { m_ws.showError(std::runtime_error(error)); });
}

void SG1Grid::mousePressEvent(QMouseEvent *event)
{
    const QPoint cell = cellAt(event->position().toPoint());
    setCurrentCell(cell.x(), cell.y());
    emit cellPressed(cell.x(), cell.y());
}

// The arrows move the current cell and render nothing; Enter and Space press
// it. Cells 94 to 99 can be current: pressed, they beep as clicked ones do.
void SG1Grid::keyPressEvent(QKeyEvent *event)
{
    const int col = m_current.x(), row = m_current.y();
    switch (event->key()) {
    case Qt::Key_Left:
        setCurrentCell(col - 1, row);
        break;
    case Qt::Key_Right:
        setCurrentCell(col + 1, row);
        break;
    case Qt::Key_Up:
        setCurrentCell(col, row - 1);
        break;
    case Qt::Key_Down:
        setCurrentCell(col, row + 1);
        break;
    case Qt::Key_Home:
        setCurrentCell(0, row);
        break;
    case Qt::Key_End:
        setCurrentCell(kColumns - 1, row);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
            QFrame::keyPressEvent(event);
            return;
        }
        emit cellPressed(col, row);
        break;
    default:
        QFrame::keyPressEvent(event);
        return;
    }
}

void SG1Grid::focusInEvent(QFocusEvent *event)
{
    QFrame::focusInEvent(event);
    update(cellRect(m_current.x(), m_current.y()));
}

void SG1Grid::focusOutEvent(QFocusEvent *event)
{
    QFrame::focusOutEvent(event);
    update(cellRect(m_current.x(), m_current.y()));
}

} // namespace dotforge
