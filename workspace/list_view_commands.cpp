// The library list DG1: cell i shows library glyph i at one pixel per dot,
// row-major with the grid's column count; cells from LibCount on are empty. The
// cell of the selected glyph (DG1Marked) is framed. The window paints cells from
// the store on request; the commands here say which cell changed.

#include "workspace/workspace.h"
#include "core/store_records.h"

namespace dotforge {

void Workspace::XDotEffect()
{
    notifyLibraryCell(library.LibIndex);
}

bool Workspace::DG1DrawCell(int index, GlyphPlane &glyph)
{
    if (index < 0 || index >= library.LibCount)
        return false;
    // Painting reads the record through the library plane but must leave the
    // selection and the library plane as they were, also when the read fails.
    struct Restore {
        Workspace &ws;
        int libIndex;
        ~Restore()
        {
            ws.library.LibIndex = libIndex;
            ws.libPlane = ws.scratchPlane;
        }
    } restore{*this, library.LibIndex};
    scratchPlane = libPlane;
    library.LibIndex = index;
    libPlane = readPlane(storeFile, library.LibIndex);
    glyph = libPlane;
    return true;
}

void Workspace::DG1MouseDown(int col, int row)
{
    // A press beside the cells is (-1, -1) whatever part of it the grid mapped.
    const bool onCell = col >= 0 && row >= 0 && col < library.DG1ColCount;
    const int index = onCell ? row * library.DG1ColCount + col : -1;
    if (index < 0 || index >= library.LibCount) {
        // No glyph there: the selection, the view and the editor stay as they
        // were, so a delete or commit still acts on the glyph selected before.
        m_prompts.beep();
        return;
    }
    selectRG1(1);
    library.LibIndex = index;
    ReadXDot();
    editPlane = libPlane;
    DispDot();
    updateXNLabel();
}

void Workspace::ReadXDot()
{
    if (library.LibCount > 0 && library.LibIndex < library.LibCount) {
        libPlane = readPlane(storeFile, library.LibIndex);
        controls.Panel1.enabled = true;
        selectRG1(1);
        ViewMode = 1;
    } else {
        m_prompts.message("小字库已空!");
        controls.Panel1.enabled = false;
        selectRG1(0);
        ViewMode = 0;
    }
    notifyControls();
}

// The label and the list's frame report the selection. The cell of the selected
// glyph is repainted (with its frame), and so is the cell that had the frame.
void Workspace::updateXNLabel()
{
    controls.XNLabel = "共 " + std::to_string(library.LibCount) + "字 第 " + std::to_string(library.LibIndex + 1) + "字";
    const int previous = library.DG1Marked;
    library.DG1Marked = library.LibIndex >= 0 && library.LibIndex < library.LibCount ? library.LibIndex : -1;
    if (previous >= 0 && previous != library.DG1Marked)
        notifyLibraryCell(previous);
    if (library.DG1Marked >= 0)
        notifyLibraryCell(library.DG1Marked);
    notifyControls();
}

} // namespace dotforge
