#pragma once
// The editor grid SG2: the N x N cell texts of the glyph being edited, the
// selection rectangle, the snapshot the block moves draw from and the block
// clipboard.
//
// The grid knows nothing of the views, the library or the window: each edit
// says whether it changed anything, and the caller decides what follows (the
// library becoming savable, a repaint). Cells outside the N x N square read as
// blank and are never written; after block moves the rectangle may reach past
// an edge.

#include "core/glyph.h"
#include "core/glyph_geometry.h"

#include <string>

namespace dotforge {

class EditorGrid {
public:
    static constexpr int kSG2Pixels = 289; // width and height of the cell area

    // The square the grid works on. New lays the grid out for it (layOut).
    void setDotSize(int n) { m_dotSize = n; }
    int dotSize() const { return m_dotSize; }
    // The cell size for the dot size, every cell blank.
    void layOut();
    // Start-up: the top-left cell selected, no drag, an empty clipboard.
    void resetSelectionAndClipboard();

    // ---- reading --------------------------------------------------------------
    int cellSize() const { return SG2CellSize; } // pixels, without the line
    const CellTexts &cells() const { return SG2; }
    bool inked(int col, int row) const { return SG2.inked(col, row); }
    // Blank off the square.
    const std::string &cell(int col, int row) const;
    bool onSquare(int col, int row) const { return col >= 0 && row >= 0 && col < m_dotSize && row < m_dotSize; }
    bool inSelection(int col, int row) const;
    int selCol() const { return SelCol; }
    int selRow() const { return SelRow; }
    int selWidth() const { return SelWidth; }
    int selHeight() const { return SelHeight; }
    bool dragging() const { return Dragging; }
    bool hasBlock() const { return SelWidth > 1 || SelHeight > 1; } // more than one cell selected
    const CellTexts &blockSnapshot() const { return BlockSnapshot; }
    const CellTexts &blockClip() const { return BlockClip; }
    int clipWidth() const { return ClipWidth; }
    int clipHeight() const { return ClipHeight; }
    bool clipFull() const { return ClipFull; }

    // ---- the glyph ------------------------------------------------------------
    // Shows the square of a plane; the top-left cell alone is selected.
    void show(const GlyphPlane &plane);
    // Packs the cells into the square of a plane; bytes past it stay.
    void pack(GlyphPlane &plane) const;

    // ---- mouse and keyboard -----------------------------------------------------
    // A press on cell (col, row) of the square makes it the anchor of a new
    // one-cell selection and starts a drag.
    void press(int col, int row);
    // The drag stretches the rectangle right of and below the anchor; true when
    // it changed.
    bool stretchTo(int col, int row);
    // The end of a drag, on the square or off it: the snapshot is taken.
    void release(int col, int row);
    // Shift: a rubber band without a button held, or its end.
    void toggleDragging() { Dragging = !Dragging; }
    // The double-click: the anchor's dot flips.
    void toggleAnchorDot();

    // ---- whole-glyph edits ------------------------------------------------------
    void clear();
    void transform(Transform t);
    // One-dot shift: the line pushed past the edge is dropped, a blank one comes in.
    void shift(int dx, int dy);

    // ---- blocks -------------------------------------------------------------------
    void copyBlock();
    void cutBlock(); // copy, blank, and select the anchor alone
    void deleteBlock(); // blank, and select the anchor alone
    // The clipboard written opaque with its top-left cell at the anchor; what
    // falls past the square is dropped. The pasted block is not selected.
    void paste();
    // One cell by (dx, dy); false when refused (at least one column or row of
    // the block stays on the grid).
    bool moveBlock(int dx, int dy);

private:
    void setCell(int col, int row, const std::string &text);
    void copyToClip(bool blank);
    void takeSnapshot();

    int m_dotSize = 16;
    CellTexts SG2;
    int SG2CellSize = 17;
    int SelCol = 0;
    int SelRow = 0;
    int SelWidth = 1;
    int SelHeight = 1;
    bool Dragging = false;
    CellTexts BlockSnapshot;
    // The selection or the cells under it changed (press, drag, glyph shown,
    // cut, delete, paste, clear, a whole-glyph transform) since BlockSnapshot
    // was last taken; a block move takes it first.
    bool m_snapshotStale = true;
    CellTexts BlockClip;
    int ClipWidth = 0;
    int ClipHeight = 0;
    bool ClipFull = false;
};

} // namespace dotforge
