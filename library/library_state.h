#pragma once
// The library besides its store file: the code list, the count, the selected
// glyph and the layout of the list view DG1.

#include "core/glyph.h"

#include <array>
#include <string>

namespace dotforge {

struct LibraryState {
    std::array<std::string, kLibraryCapacity> codeList; // entry i: the two GBK bytes of glyph i
    int LibCount = 0;
    int LibIndex = 0;
    int DG1ClientWidth = 200; // pixels available for cells (no scroll bar)
    int DG1ColCount = 10;
    int DG1RowCount = 20;
    int DG1CellSize = 20;
    // The cell the list frames as the selected glyph (LibIndex as the label last
    // reported it); -1 for none.
    int DG1Marked = -1;
};

} // namespace dotforge
