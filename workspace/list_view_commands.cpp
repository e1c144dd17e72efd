// The library list DG1: cell i shows library glyph i at one pixel per dot,
// row-major with the grid's column count; cells from LibCount on are empty. The
// cell of the selected glyph (DG1Marked) is framed. The window paints cells from
// the store on request; the commands here say which cell changed.

#include "workspace/workspace.h"

namespace dotforge {

void Workspace::XDotEffect()
{
    notifyLibraryCell(m_library.LibIndex());
}

// Painting reads the record alone: the selection and the library plane stay as
// they were, also when the read fails.
bool Workspace::DG1DrawCell(int index, GlyphPlane &glyph)
{
    if (index < 0 || index >= m_library.LibCount())
        return false;
    glyph = m_library.readGlyph(index);
    return true;
}

void Workspace::DG1MouseDown(int col, int row)
{
    const int index = m_library.glyphAt(col, row);
    if (index < 0) {
        // No glyph there: the selection, the view and the editor stay as they
        // were, so a delete or commit still acts on the glyph selected before.
        m_prompts.beep();
        return;
    }
    selectRG1(1);
    m_library.select(index);
    ReadXDot();
    m_editPlane = m_libPlane;
    DispDot();
    updateXNLabel();
}

void Workspace::ReadXDot()
{
    if (m_library.LibCount() > 0 && m_library.LibIndex() < m_library.LibCount()) {
        m_libPlane = m_library.readGlyph(m_library.LibIndex());
        m_controls.Panel1.enabled = true;
        selectRG1(1);
        m_ViewMode = 1;
    } else {
        m_prompts.message("小字库已空!");
        m_controls.Panel1.enabled = false;
        selectRG1(0);
        m_ViewMode = 0;
    }
    notifyControls();
}

// The label and the list's frame report the selection. The cell of the selected
// glyph is repainted (with its frame), and so is the cell that had the frame.
void Workspace::updateXNLabel()
{
    m_controls.XNLabel = m_library.labelText();
    const Library::Marking marking = m_library.markSelected();
    if (marking.previous >= 0)
        notifyLibraryCell(marking.previous);
    if (marking.current >= 0)
        notifyLibraryCell(marking.current);
    notifyControls();
}

} // namespace dotforge
