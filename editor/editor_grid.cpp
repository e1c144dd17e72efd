#include "editor/editor_grid.h"

#include <algorithm>

namespace dotforge {

void EditorGrid::layOut()
{
    SG2CellSize = kSG2Pixels / m_dotSize - 1;
    SG2.fill(kBlank);
}

void EditorGrid::resetSelectionAndClipboard()
{
    SelCol = SelRow = 0;
    SelWidth = SelHeight = 1;
    ClipWidth = ClipHeight = 0;
    ClipFull = false;
    Dragging = false;
}

const std::string &EditorGrid::cell(int col, int row) const
{
    return onSquare(col, row) ? SG2.at(col, row) : kBlank;
}

void EditorGrid::setCell(int col, int row, const std::string &text)
{
    if (onSquare(col, row))
        SG2.at(col, row) = text;
}

bool EditorGrid::inSelection(int col, int row) const
{
    return col >= SelCol && col < SelCol + SelWidth && row >= SelRow && row < SelRow + SelHeight;
}

void EditorGrid::show(const GlyphPlane &plane)
{
    SelCol = SelRow = 0;
    SelWidth = SelHeight = 1;
    m_snapshotStale = true;
    showPlane(plane, m_dotSize, SG2);
}

void EditorGrid::pack(GlyphPlane &plane) const
{
    packCells(SG2, m_dotSize, plane);
}

void EditorGrid::press(int col, int row)
{
    SelCol = col;
    SelRow = row;
    SelWidth = SelHeight = 1;
    m_snapshotStale = true;
    Dragging = true;
}

bool EditorGrid::stretchTo(int col, int row)
{
    if (!Dragging || !onSquare(col, row) || col < SelCol || row < SelRow)
        return false;
    // An anchor that block moves pushed past the left or top edge could stretch
    // the rectangle beyond the 32 x 32 snapshot and clipboard; it stops there.
    const int width = std::min(col - SelCol + 1, kMaxDots);
    const int height = std::min(row - SelRow + 1, kMaxDots);
    if (width == SelWidth && height == SelHeight)
        return false;
    SelWidth = width;
    SelHeight = height;
    m_snapshotStale = true;
    return true;
}

// A release off the grid (the pointer left it while dragging) ends the drag
// too: left running, the drag would keep resizing the rectangle without a
// button held, and a block move would draw a snapshot of an older selection.
void EditorGrid::release(int col, int row)
{
    if (!onSquare(col, row) && !Dragging)
        return;
    takeSnapshot();
    Dragging = false;
}

void EditorGrid::takeSnapshot()
{
    for (int i = 0; i < SelWidth && i < kMaxDots; ++i)
        for (int j = 0; j < SelHeight && j < kMaxDots; ++j)
            BlockSnapshot.at(i, j) = cell(SelCol + i, SelRow + j);
    m_snapshotStale = false;
}

// The first press of the double-click has made the clicked cell the anchor.
void EditorGrid::toggleAnchorDot()
{
    setCell(SelCol, SelRow, cell(SelCol, SelRow) == kBlank ? kInk : kBlank);
}

void EditorGrid::clear()
{
    for (int r = 0; r < m_dotSize; ++r)
        for (int c = 0; c < m_dotSize; ++c)
            setCell(c, r, kBlank);
    m_snapshotStale = true;
}

// The selection rectangle stays where it was, but the cells under it changed:
// a block move after a transform or a shift takes the block from the grid as
// it now stands, never from the snapshot of the glyph before.
void EditorGrid::transform(Transform t)
{
    transformSquare(SG2, m_dotSize, t);
    m_snapshotStale = true;
}

void EditorGrid::shift(int dx, int dy)
{
    shiftSquare(SG2, m_dotSize, dx, dy);
    m_snapshotStale = true;
}

void EditorGrid::copyToClip(bool blank)
{
    for (int i = 0; i < SelWidth; ++i)
        for (int j = 0; j < SelHeight; ++j) {
            BlockClip.at(i, j) = cell(SelCol + i, SelRow + j);
            if (blank)
                setCell(SelCol + i, SelRow + j, kBlank);
        }
    ClipWidth = SelWidth;
    ClipHeight = SelHeight;
    ClipFull = true;
}

void EditorGrid::copyBlock()
{
    copyToClip(false);
}

void EditorGrid::cutBlock()
{
    copyToClip(true);
    SelWidth = SelHeight = 1;
    m_snapshotStale = true;
}

void EditorGrid::deleteBlock()
{
    for (int i = 0; i < SelWidth; ++i)
        for (int j = 0; j < SelHeight; ++j)
            setCell(SelCol + i, SelRow + j, kBlank);
    SelWidth = SelHeight = 1;
    m_snapshotStale = true;
}

void EditorGrid::paste()
{
    for (int i = 0; i < ClipWidth; ++i)
        for (int j = 0; j < ClipHeight; ++j)
            setCell(SelCol + i, SelRow + j, BlockClip.at(i, j));
    m_snapshotStale = true;
}

// Moves draw the block from BlockSnapshot, never from the grid: cells passed
// over are overwritten and then left blank, and parts pushed past an edge come
// back from the snapshot when the block returns. A selection the mouse changed
// since the last snapshot (a Shift drag not yet ended) is snapshotted first, so
// a move never draws the content of an older selection; nor one whose cells a
// paste, a clear or a whole-glyph transform changed, so a move never undoes
// that edit.
bool EditorGrid::moveBlock(int dx, int dy)
{
    const int n = m_dotSize, c0 = SelCol, r0 = SelRow;
    const int lastCol = c0 + SelWidth - 1, lastRow = r0 + SelHeight - 1;
    if ((dx > 0 && c0 >= n - 1) || (dx < 0 && lastCol <= 0) || (dy > 0 && r0 >= n - 1) || (dy < 0 && lastRow <= 0))
        return false;
    if (m_snapshotStale)
        takeSnapshot();
    for (int i = 0; i < SelWidth; ++i)
        for (int j = 0; j < SelHeight; ++j)
            setCell(c0 + i + dx, r0 + j + dy, BlockSnapshot.at(i, j));
    // The line the block leaves behind.
    const int leftCol = dx > 0 ? c0 : lastCol, leftRow = dy > 0 ? r0 : lastRow;
    for (int i = 0; i < SelWidth; ++i)
        for (int j = 0; j < SelHeight; ++j)
            if ((dx != 0 && c0 + i == leftCol) || (dy != 0 && r0 + j == leftRow))
                setCell(c0 + i, r0 + j, kBlank);
    SelCol = c0 + dx;
    SelRow = r0 + dy;
    return true;
}

} // namespace dotforge
