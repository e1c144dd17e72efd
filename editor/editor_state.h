#pragma once
// The editor grid SG2 and its block state: the cells, the selection
// rectangle, the snapshot the block moves draw from, the block clipboard.

#include "core/glyph.h"

namespace dotforge {

struct EditorState {
    CellTexts SG2;
    int SG2CellSize = 17; // cell width and height in pixels
    static constexpr int kSG2Pixels = 289;
    int SelCol = 0;
    int SelRow = 0;
    int SelWidth = 1;
    int SelHeight = 1;
    bool Dragging = false;
    CellTexts BlockSnapshot;
    CellTexts BlockClip;
    int ClipWidth = 0;
    int ClipHeight = 0;
    bool ClipFull = false;
    // A right press on the grid asks the window to open the block menu.
    bool blockMenuRequested = false;
};

} // namespace dotforge
