// The editor grid SG2: showing a glyph, the mouse and keyboard model, the view
// switch, commit, undo and clear.

#include "core/io_error.h"
#include "workspace/workspace.h"

#include <algorithm>

namespace dotforge {

void Workspace::DispDot()
{
    editor.SelCol = editor.SelRow = 0;
    editor.SelWidth = editor.SelHeight = 1;
    m_snapshotStale = true;
    showPlane(editPlane, dotSize(), editor.SG2);
    EditModified = false;
    notifyEditor();
}

bool Workspace::inSelection(int col, int row) const
{
    return col >= editor.SelCol && col < editor.SelCol + editor.SelWidth && row >= editor.SelRow && row < editor.SelRow + editor.SelHeight;
}

void Workspace::SG2MouseDown(int col, int row, MouseButton button)
{
    if (!onSquare(col, row))
        return;
    editor.blockMenuRequested = false;
    if (button == MouseButton::Right) {
        editor.blockMenuRequested = prepareBlockMenu();
        notifyControls();
        return;
    }
    editor.SelCol = col;
    editor.SelRow = row;
    editor.SelWidth = editor.SelHeight = 1;
    m_snapshotStale = true;
    editor.Dragging = true;
    notifyEditor();
}

// The rectangle only grows or shrinks to the right of and below the anchor; the
// grid is repainted at once, also during a drag started with the Shift key.
void Workspace::SG2MouseMove(int col, int row)
{
    if (!editor.Dragging || !onSquare(col, row) || col < editor.SelCol || row < editor.SelRow)
        return;
    // An anchor that block moves pushed past the left or top edge could stretch
    // the rectangle beyond the 32 x 32 snapshot and clipboard; it stops there.
    const int width = std::min(col - editor.SelCol + 1, kMaxDots);
    const int height = std::min(row - editor.SelRow + 1, kMaxDots);
    if (width == editor.SelWidth && height == editor.SelHeight)
        return;
    editor.SelWidth = width;
    editor.SelHeight = height;
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
    if (!onSquare(col, row) && !editor.Dragging)
        return;
    takeSnapshot();
    editor.Dragging = false;
}

void Workspace::takeSnapshot()
{
    for (int i = 0; i < editor.SelWidth && i < kMaxDots; ++i)
        for (int j = 0; j < editor.SelHeight && j < kMaxDots; ++j)
            editor.BlockSnapshot.at(i, j) = cell(editor.SelCol + i, editor.SelRow + j);
    m_snapshotStale = false;
}

// The first press of the double-click has made the clicked cell the anchor.
void Workspace::SG2DblClick()
{
    if (controls.RG1Index != 1)
        return;
    setCell(editor.SelCol, editor.SelRow, cell(editor.SelCol, editor.SelRow) == kBlank ? kInk : kBlank);
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
        editor.Dragging = !editor.Dragging;
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
    // The keys the block menu shows beside its moves and its delete: they act
    // while a block is selected, in both views, and do nothing otherwise.
    case Key::A:
        if (ctrlAlone && hasBlock())
            pmuLeftClick();
        break;
    case Key::S:
        if (ctrlAlone && hasBlock())
            pmuRightClick();
        break;
    case Key::W:
        if (ctrlAlone && hasBlock())
            pmuUpClick();
        break;
    case Key::Z:
        if (ctrlAlone && hasBlock())
            pmuDownClick();
        break;
    case Key::Delete:
        if (!mods.ctrl && !mods.shift && !mods.alt && hasBlock())
            mnuDelClick();
        break;
    default:
        break;
    }
}

void Workspace::selectRG1(int item)
{
    if (item == controls.RG1Index)
        return;
    controls.RG1Index = item;
    notifyControls();
    RG1Click();
}

void Workspace::RG1Click()
{
    const int v = controls.RG1Index;
    if (v == ViewMode)
        return;
    if (v == 0 && EditModified
        && m_prompts.ask(BoxKind::Confirmation, "当前的点阵已被修改，要保存吗？", Buttons::YesNo) == Answer::Yes) {
        try {
            commitGrid();
        } catch (const IoError &) {
            // The edits were not stored: stay in the library view with them, so
            // that nothing is lost and RG1 shows the view the grid holds.
            controls.RG1Index = ViewMode;
            notifyControls();
            throw;
        }
    }
    ViewMode = v;
    editPlane = v == 0 ? sourcePlane : libPlane;
    DispDot();
    controls.ClearBtn.enabled = v == 1;
    controls.ChgBtn.enabled = v == 1;
    // Add stores the grid under CurCode: only the glyph rendered for it may be
    // added, never a library glyph. Back in the system view the button stays off
    // until a character is rendered again (the source plane shown there lacks
    // the default effects a render applies).
    if (v == 1)
        controls.AddBtn.enabled = false;
    notifyControls();
    if (v == 1)
        notifyFocusEditor();
}

void Workspace::ChgBtnClick()
{
    if (controls.RG1Index == 0) {
        m_prompts.beep();
        return;
    }
    commitGrid();
}

// Commit without the view test: the grid over library glyph LibIndex. A
// negative index fails on the seek, after the plane and list cell took the glyph.
void Workspace::commitGrid()
{
    packCells(editor.SG2, dotSize(), editPlane);
    libPlane = editPlane;
    XDotEffect();
    m_library.replaceSelected(libPlane);
    EditModified = false;
}

void Workspace::undoBtnClick()
{
    if (!EditModified)
        return;
    editPlane = controls.RG1Index == 0 ? sourcePlane : libPlane;
    DispDot();
}

void Workspace::ClearBtnClick()
{
    if (controls.RG1Index == 0) {
        m_prompts.beep();
        return;
    }
    for (int r = 0; r < dotSize(); ++r)
        for (int c = 0; c < dotSize(); ++c)
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
