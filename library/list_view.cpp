// The library list DG1: cell i shows library glyph i at one pixel per dot,
// row-major with the grid's column count; cells from LibCount on are empty. The
// window paints cells from the store on request; the commands here say which
// cell changed.

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
    if (col < 0 || row < 0 || col >= DG1ColCount) {
        col = -1;
        row = -1;
    }
    selectRG1(1);
    LibIndex = row * DG1ColCount + col;
    if (LibIndex < 0 || LibIndex >= LibCount) {
        // LibIndex keeps pointing at the empty cell: a delete or commit uses it.
        m_prompts.beep();
        notifyControls();
        return;
    }
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

void Workspace::updateXNLabel()
{
    XNLabel = "共 " + std::to_string(LibCount) + "字 第 " + std::to_string(LibIndex + 1) + "字";
    notifyControls();
}

} // namespace dotforge
