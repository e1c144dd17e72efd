// Block operations on the selection rectangle of the editor grid: the block
// menu, cut, copy, paste, delete and the one-cell moves.
//
// Cells outside the N x N square read as blank and are never written (cell()
// and setCell()); after moves the rectangle may reach past an edge.

#include "workspace/workspace.h"

namespace dotforge {

namespace {

void copyBlock(Workspace &ws, bool blank)
{
    for (int i = 0; i < ws.editor.SelWidth; ++i)
        for (int j = 0; j < ws.editor.SelHeight; ++j) {
            ws.editor.BlockClip.at(i, j) = ws.cell(ws.editor.SelCol + i, ws.editor.SelRow + j);
            if (blank)
                ws.setCell(ws.editor.SelCol + i, ws.editor.SelRow + j, kBlank);
        }
    ws.editor.ClipWidth = ws.editor.SelWidth;
    ws.editor.ClipHeight = ws.editor.SelHeight;
    ws.editor.ClipFull = true;
}

} // namespace

bool Workspace::hasBlock() const
{
    return editor.SelWidth > 1 || editor.SelHeight > 1;
}

bool Workspace::prepareBlockMenu()
{
    const bool block = hasBlock();
    if (controls.RG1Index == 0) {
        // Only copying is offered here; the moves keep the state the last
        // opening in the library view gave them.
        if (!block)
            return false;
        controls.pmuCopy.enabled = true;
        controls.pmuCut.enabled = controls.pmuPaste.enabled = controls.pmuDel.enabled = false;
        return true;
    }
    for (Toggle *item : {&controls.pmuCut, &controls.pmuCopy, &controls.pmuDel, &controls.pmuLeft, &controls.pmuRight, &controls.pmuUp, &controls.pmuDown})
        item->enabled = block;
    controls.pmuPaste.enabled = editor.ClipFull;
    return block || editor.ClipFull;
}

void Workspace::mnuCutClick()
{
    copyBlock(*this, true);
    editor.SelWidth = editor.SelHeight = 1;
    m_snapshotStale = true;
    ChgDone();
    notifyEditor();
}

void Workspace::mnuCopyClick()
{
    copyBlock(*this, false);
}

// The block is written opaque with its top-left cell at the anchor; what falls
// past the square is dropped. The pasted block is not selected.
void Workspace::mnuPasteClick()
{
    for (int i = 0; i < editor.ClipWidth; ++i)
        for (int j = 0; j < editor.ClipHeight; ++j)
            setCell(editor.SelCol + i, editor.SelRow + j, editor.BlockClip.at(i, j));
    m_snapshotStale = true;
    ChgDone();
    notifyEditor();
}

void Workspace::mnuDelClick()
{
    for (int i = 0; i < editor.SelWidth; ++i)
        for (int j = 0; j < editor.SelHeight; ++j)
            setCell(editor.SelCol + i, editor.SelRow + j, kBlank);
    editor.SelWidth = editor.SelHeight = 1;
    m_snapshotStale = true;
    ChgDone();
    notifyEditor();
}

// Moves draw the block from BlockSnapshot, never from the grid: cells passed
// over are overwritten and then left blank, and parts pushed past an edge come
// back from the snapshot when the block returns. At least one column or row of
// the block stays on the grid. A selection the mouse changed since the last
// snapshot (a Shift drag not yet ended) is snapshotted first, so a move never
// draws the content of an older selection; nor one whose cells a paste, a clear
// or a whole-glyph transform changed, so a move never undoes that edit.

void Workspace::moveBlock(int dx, int dy)
{
    const int n = dotSize(), c0 = editor.SelCol, r0 = editor.SelRow;
    const int lastCol = c0 + editor.SelWidth - 1, lastRow = r0 + editor.SelHeight - 1;
    if ((dx > 0 && c0 >= n - 1) || (dx < 0 && lastCol <= 0) || (dy > 0 && r0 >= n - 1) || (dy < 0 && lastRow <= 0))
        return;
    if (m_snapshotStale)
        takeSnapshot();
    for (int i = 0; i < editor.SelWidth; ++i)
        for (int j = 0; j < editor.SelHeight; ++j)
            setCell(c0 + i + dx, r0 + j + dy, editor.BlockSnapshot.at(i, j));
    // The line the block leaves behind.
    const int leftCol = dx > 0 ? c0 : lastCol, leftRow = dy > 0 ? r0 : lastRow;
    for (int i = 0; i < editor.SelWidth; ++i)
        for (int j = 0; j < editor.SelHeight; ++j)
            if ((dx != 0 && c0 + i == leftCol) || (dy != 0 && r0 + j == leftRow))
                setCell(c0 + i, r0 + j, kBlank);
    editor.SelCol = c0 + dx;
    editor.SelRow = r0 + dy;
    ChgDone();
    notifyEditor();
}

void Workspace::pmuLeftClick() { moveBlock(-1, 0); }
void Workspace::pmuRightClick() { moveBlock(1, 0); }
void Workspace::pmuUpClick() { moveBlock(0, -1); }
void Workspace::pmuDownClick() { moveBlock(0, 1); }

} // namespace dotforge
