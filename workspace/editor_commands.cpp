// The editor grid SG2: showing a glyph, the mouse and keyboard model, the view
// switch, commit, undo and clear.

#include "core/io_error.h"
#include "workspace/workspace.h"

namespace dotforge {

void Workspace::DispDot()
{
    m_editor.show(m_editPlane);
    m_EditModified = false;
    notifyEditor();
}

void Workspace::SG2MouseDown(int col, int row, MouseButton button)
{
    if (!m_editor.onSquare(col, row))
        return;
    if (button == MouseButton::Right) {
        const bool opens = prepareBlockMenu();
        notifyControls();
        if (opens)
            notifyOpenBlockMenu();
        return;
    }
    m_editor.press(col, row);
    notifyEditor();
}

// The rectangle only grows or shrinks to the right of and below the anchor; the
// grid is repainted at once, also during a drag started with the Shift key.
void Workspace::SG2MouseMove(int col, int row)
{
    if (m_editor.stretchTo(col, row))
        notifyEditor();
}

// A left release ends the drag and takes the snapshot of the rectangle.
void Workspace::SG2MouseUp(int col, int row, MouseButton button)
{
    if (button == MouseButton::Left)
        m_editor.release(col, row);
}

void Workspace::SG2DblClick()
{
    if (m_controls.RG1Index != 1)
        return;
    m_editor.toggleAnchorDot();
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
        m_editor.toggleDragging();
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
        if (ctrlAlone && m_editor.hasBlock())
            pmuLeftClick();
        break;
    case Key::S:
        if (ctrlAlone && m_editor.hasBlock())
            pmuRightClick();
        break;
    case Key::W:
        if (ctrlAlone && m_editor.hasBlock())
            pmuUpClick();
        break;
    case Key::Z:
        if (ctrlAlone && m_editor.hasBlock())
            pmuDownClick();
        break;
    case Key::Delete:
        if (!mods.ctrl && !mods.shift && !mods.alt && m_editor.hasBlock())
            mnuDelClick();
        break;
    default:
        break;
    }
}

void Workspace::selectRG1(int item)
{
    if (item == m_controls.RG1Index)
        return;
    m_controls.RG1Index = item;
    notifyControls();
    RG1Click();
}

void Workspace::RG1Click()
{
    const int v = m_controls.RG1Index;
    if (v == m_ViewMode)
        return;
    if (v == 0 && m_EditModified
        && m_prompts.ask(BoxKind::Confirmation, "当前的点阵已被修改，要保存吗？", Buttons::YesNo) == Answer::Yes) {
        try {
            commitGrid();
        } catch (const IoError &) {
            // The edits were not stored: stay in the library view with them, so
            // that nothing is lost and RG1 shows the view the grid holds.
            m_controls.RG1Index = m_ViewMode;
            notifyControls();
            throw;
        }
    }
    m_ViewMode = v;
    m_editPlane = v == 0 ? m_codeTable.sourcePlane() : m_libPlane;
    DispDot();
    m_controls.ClearBtn.enabled = v == 1;
    m_controls.ChgBtn.enabled = v == 1;
    // Add stores the grid under CurCode: only the glyph rendered for it may be
    // added, never a library glyph. Back in the system view the button stays off
    // until a character is rendered again (the source plane shown there lacks
    // the default effects a render applies).
    if (v == 1)
        m_controls.AddBtn.enabled = false;
    notifyControls();
    if (v == 1)
        notifyFocusEditor();
}

void Workspace::ChgBtnClick()
{
    if (m_controls.RG1Index == 0) {
        m_prompts.beep();
        return;
    }
    commitGrid();
}

// Commit without the view test: the grid over library glyph LibIndex. A
// negative index fails on the seek, after the plane and list cell took the glyph.
void Workspace::commitGrid()
{
    m_editor.pack(m_editPlane);
    m_libPlane = m_editPlane;
    XDotEffect();
    m_library.replaceSelected(m_libPlane);
    m_EditModified = false;
}

void Workspace::undoBtnClick()
{
    if (!m_EditModified)
        return;
    m_editPlane = m_controls.RG1Index == 0 ? m_codeTable.sourcePlane() : m_libPlane;
    DispDot();
}

void Workspace::ClearBtnClick()
{
    if (m_controls.RG1Index == 0) {
        m_prompts.beep();
        return;
    }
    m_editor.clear();
    ChgDone();
    notifyEditor();
}

void Workspace::notifyFocusEditor()
{
    if (m_listener)
        m_listener->focusEditor();
}

void Workspace::notifyOpenBlockMenu()
{
    if (m_listener)
        m_listener->openBlockMenu();
}

} // namespace dotforge
