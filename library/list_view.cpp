// The library list DG1: cell i shows library glyph i at one pixel per dot,
// row-major with the grid's column count; cells from LibCount on are empty. The
// cell of the selected glyph (DG1Marked) is framed. The window paints cells from
// the store on request; the commands here say which cell changed.

#include "core/workspace.h"
#include "library/store_records.h"

namespace dotforge {

void Workspace::XDotEffect()
{
    notifyLibraryCell(LibIndex);
}

bool Workspace::DG1DrawCell(int index, GlyphPlane &glyph)
{
    if (index < 0 || index >= LibCount)
        return false;
    // Painting reads the record through the library plane but must leave the
    // selection and the library plane as they were, also when the read fails.
    struct Restore {
        Workspace &ws;
        int libIndex;
        ~Restore()
        {
            ws.LibIndex = libIndex;
            ws.libPlane = ws.scratchPlane;
        }
    } restore{*this, LibIndex};
    scratchPlane = libPlane;
    LibIndex = index;
    libPlane = readPlane(storeFile, LibIndex);
    glyph = libPlane;
    return true;
}

void Workspace::DG1MouseDown(int col, int row)
{
    // A press beside the cells is (-1, -1) whatever part of it the grid mapped.
    const bool onCell = col >= 0 && row >= 0 && col < DG1ColCount;
    const int index = onCell ? row * DG1ColCount + col : -1;
    if (index < 0 || index >= LibCount) {
        // No glyph there: the selection, the view and the editor stay as they
        // were, so a delete or commit still acts on the glyph selected before.
        m_prompts.beep();
        return;
    }
    selectRG1(1);
    LibIndex = index;
    ReadXDot();
    editPlane = libPlane;
    DispDot();
    updateXNLabel();
}

void Workspace::ReadXDot()
{
    if (LibCount > 0 && LibIndex < LibCount) {
        libPlane = readPlane(storeFile, LibIndex);
        Panel1.enabled = true;
        selectRG1(1);
        ViewMode = 1;
    } else {
        m_prompts.message("小字库已空!");
        Panel1.enabled = false;
        selectRG1(0);
        ViewMode = 0;
    }
    notifyControls();
}

// The label and the list's frame report the selection. The cell of the selected
// glyph is repainted (with its frame), and so is the cell that had the frame.
void Workspace::updateXNLabel()
{
    XNLabel = "共 " + std::to_string(LibCount) + "字 第 " + std::to_string(LibIndex + 1) + "字";
    const int previous = DG1Marked;
    DG1Marked = LibIndex >= 0 && LibIndex < LibCount ? LibIndex : -1;
    if (previous >= 0 && previous != DG1Marked)
        notifyLibraryCell(previous);
    if (DG1Marked >= 0)
        notifyLibraryCell(DG1Marked);
    notifyControls();
}

} // namespace dotforge
