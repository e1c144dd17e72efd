// The editor grid SG2: showing a glyph, the mouse and keyboard model, the view
// switch, commit, undo and clear.

#include "core/io_error.h"
#include "core/workspace.h"

#include <algorithm>

namespace dotforge {

void Workspace::DispDot()
{
    SelCol = SelRow = 0;
    SelWidth = SelHeight = 1;
    m_snapshotStale = true;
    showPlane(editPlane, dotSize, SG2);
    EditModified = false;
    notifyEditor();
}

bool Workspace::inSelection(int col, int row) const
{
    return col >= SelCol && col < SelCol + SelWidth && row >= SelRow && row < SelRow + SelHeight;
}

void Workspace::SG2MouseDown(int col, int row, MouseButton button)
{
    if (!onSquare(col, row))
        return;
    blockMenuRequested = false;
    if (button == MouseButton::Right) {
        blockMenuRequested = prepareBlockMenu();
        notifyControls();
        return;
    }
    SelCol = col;
    SelRow = row;
    SelWidth = SelHeight = 1;
    m_snapshotStale = true;
    Dragging = true;
    notifyEditor();
}

// The rectangle only grows or shrinks to the right of and below the anchor; the
// grid is repainted at once, also during a drag started with the Shift key.
void Workspace::SG2MouseMove(int col, int row)
{
    if (!Dragging || !onSquare(col, row) || col < SelCol || row < SelRow)
        return;
    // An anchor that block moves pushed past the left or top edge could stretch
    // the rectangle beyond the 32 x 32 snapshot and clipboard; it stops there.
    const int width = std::min(col - SelCol + 1, kMaxDots);
    const int height = std::min(row - SelRow + 1, kMaxDots);
    if (width == SelWidth && height == SelHeight)
        return;
    SelWidth = width;
    SelHeight = height;
    m_snapshotStale = true;
    notifyEditor();
}

// A left release ends the drag and takes the snapshot of the rectangle. A
// release off the grid (the pointer left it while dragging) ends the drag too:
// left running, the drag would keep resizing the rectangle without a button
// held, and a block move would draw a snapshot of an older selection.
void Workspace::SG2MouseUp(int col, int row, MouseButton button)
{
    if (button != MouseButton::Left)
        return;
    if (!onSquare(col, row) && !Dragging)
        return;
    takeSnapshot();
    Dragging = false;
}

void Workspace::takeSnapshot()
{
    for (int i = 0; i < SelWidth && i < kMaxDots; ++i)
        for (int j = 0; j < SelHeight && j < kMaxDots; ++j)
            BlockSnapshot.at(i, j) = cell(SelCol + i, SelRow + j);
    m_snapshotStale = false;
}

// The first press of the double-click has made the clicked cell the anchor.
void Workspace::SG2DblClick()
{
    if (RG1Index != 1)
        return;
    setCell(SelCol, SelRow, cell(SelCol, SelRow) == kBlank ? kInk : kBlank);
    ChgDone();
    notifyEditor();
}

void Workspace::SG2KeyDown(Key key, KeyMods mods)
{
    const bool ctrlAlone = mods.ctrl && !mods.shift && !mods.alt;
    switch (key) {
    case Key::Enter:
        ChgBtnClick();
        break;
    case Key::Home:
        undoBtnClick();
        break;
    case Key::Shift:
        // Every key-down report of Shift, auto-repeats included, flips it once.
        Dragging = !Dragging;
        break;
    case Key::C:
        if (ctrlAlone)
            mnuCopyClick();
        break;
    case Key::V:
        if (ctrlAlone)
            mnuPasteClick();
        break;
    case Key::X:
        if (ctrlAlone)
            mnuCutClick();
        break;
    default:
        break;
    }
}

void Workspace::selectRG1(int item)
{
    if (item == RG1Index)
        return;
    RG1Index = item;
    notifyControls();
    RG1Click();
}

void Workspace::RG1Click()
{
    const int v = RG1Index;
    if (v == ViewMode)
        return;
    if (v == 0 && EditModified
        && m_prompts.ask(BoxKind::Confirmation, "当前的点阵已被修改，要保存吗？", Buttons::YesNo) == Answer::Yes) {
        try {
            commitGrid();
        } catch (const IoError &) {
            // The edits were not stored: stay in the library view with them, so
            // that nothing is lost and RG1 shows the view the grid holds.
            RG1Index = ViewMode;
            notifyControls();
            throw;
        }
    }
    ViewMode = v;
    editPlane = v == 0 ? sourcePlane : libPlane;
    DispDot();
    ClearBtn.enabled = v == 1;
    ChgBtn.enabled = v == 1;
    // Add stores the grid under CurCode: only the glyph rendered for it may be
    // added, never a library glyph. Back in the system view the button stays off
    // until a character is rendered again (the source plane shown there lacks
    // the default effects a render applies).
    if (v == 1)
        AddBtn.enabled = false;
    notifyControls();
    if (v == 1)
        notifyFocusEditor();
}

void Workspace::ChgBtnClick()
{
    if (RG1Index == 0) {
        m_prompts.beep();
        return;
    }
    commitGrid();
}

// Commit without the view test: the grid over library glyph LibIndex. A
// negative index fails on the seek, after the plane and list cell took the glyph.
void Workspace::commitGrid()
{
    packCells(SG2, dotSize, editPlane);
    libPlane = editPlane;
    XDotEffect();
    storeFile.seek(LibIndex);
    storeFile.write(libPlane.bytes.data());
    EditModified = false;
}

void Workspace::undoBtnClick()
{
    if (!EditModified)
        return;
    editPlane = RG1Index == 0 ? sourcePlane : libPlane;
    DispDot();
}

void Workspace::ClearBtnClick()
{
    if (RG1Index == 0) {
        m_prompts.beep();
        return;
    }
    for (int r = 0; r < dotSize; ++r)
        for (int c = 0; c < dotSize; ++c)
            setCell(c, r, kBlank);
    m_snapshotStale = true;
    ChgDone();
    notifyEditor();
}

void Workspace::notifyFocusEditor()
{
    if (m_listener)
        m_listener->focusEditor();
}

} // namespace dotforge
