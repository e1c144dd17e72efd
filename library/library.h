#pragma once
// The library: up to 200 glyphs, each a raw plane in the store file "JQT.TMP"
// (record i, 128 bytes at byte 128 x i) and a GBK code in the code list, the
// selected glyph, and the layout of the list view DG1 that shows them.
//
// The library asks nothing and shows nothing: each method says what happened
// and the caller tells the user and repaints. Record operations raise IoError
// (core/record_file.h) at the failing step.

#include "core/glyph.h"
#include "core/record_file.h"

#include <array>
#include <string>
#include <vector>

namespace dotforge {

class Library {
public:
    // ---- the store file ------------------------------------------------------
    // Creates the store empty and locked against a second program using the same
    // name, which fails with `inUseText` (RecordFile::rewriteExclusive).
    void createStore(const std::string &path, const std::string &inUseText);
    // Closes the store and removes it (RecordFile::closeAndErase).
    void closeStore();
    bool storeOpen() const { return m_store.isOpen(); }
    const std::string &storePath() const { return m_store.path(); }
    // Record `index`, whether or not it counts as a glyph. The caller's plane is
    // only replaced once the whole record has been read.
    GlyphPlane readGlyph(int index);
    // Writes record `index` (a commit, or a record converted while a file is written).
    void writeGlyph(int index, const GlyphPlane &plane);
    // Writes the selected glyph's record; a negative index fails on the seek.
    void replaceSelected(const GlyphPlane &plane);

    // ---- the glyphs ----------------------------------------------------------
    int LibCount() const { return m_count; }
    int LibIndex() const { return m_index; }
    bool full() const { return m_count >= kLibraryCapacity; }
    // Glyphs that can still be added.
    int room() const;
    bool contains(const std::string &code) const;
    // The two GBK bytes of glyph `index`, "" beyond the glyphs ever stored.
    const std::string &code(int index) const;
    // The codes of the glyphs, in order.
    std::vector<std::string> codes() const;

    // Adding: the record after the last glyph (`ahead` more records further on)
    // is written first; it becomes a glyph only when admitted, so a write that
    // fails leaves the library as it was.
    void writeNext(const GlyphPlane &plane, int ahead = 0);
    // The next written record counts as a glyph under `code`.
    void admit(const std::string &code);
    // Only the first `count` glyphs count; the records stay on disk. Opening a
    // file empties the library this way and takes the old count back when the
    // file is refused before anything was stored.
    void setCount(int count) { m_count = count; }
    void select(int index) { m_index = index; }

    // Deletes the selected glyph: the later records and codes move one place
    // down and the store loses its last record. A negative index stands for
    // the last glyph. Afterwards the glyph now at the deleted place is
    // selected, or the new last one when there is none. Does nothing on an
    // empty library. A failing read or write ends it with LibIndex at the
    // record being filled and LibCount as it was.
    struct Removal {
        int firstMoved = 0; // records firstMoved .. lastCell - 1 got the next glyph
        int lastCell = 0; // the former last glyph's cell, now empty
    };
    Removal removeSelected();

    // Empties the library for glyphs of n x n dots and lays the list out for
    // them: cells of n + 4 pixels, as many columns as the width takes.
    void clear(int n);

    // ---- the list view DG1 ---------------------------------------------------
    // Pixels available for cells (no scroll bar); the layout follows at the next clear().
    void setClientWidth(int width) { m_clientWidth = width; }
    int DG1ColCount() const { return m_colCount; }
    int DG1RowCount() const { return m_rowCount; }
    int DG1CellSize() const { return m_cellSize; }
    // The cell framed as the selected glyph (LibIndex as the label last reported
    // it); -1 for none.
    int DG1Marked() const { return m_marked; }
    // The glyph of cell (col, row), or -1 for an empty cell or a press beside the
    // cells (col or row negative, a column past the last).
    int glyphAt(int col, int row) const;
    // XNLabel for the selection: the count and the selected glyph's number.
    std::string labelText() const;
    // Frames the selected glyph's cell (none when the selection is no glyph).
    // Returns the cells to repaint: the one that had the frame and the one that
    // has it now, -1 where there is none.
    struct Marking {
        int previous = -1; // the formerly framed cell when it lost the frame
        int current = -1;
    };
    Marking markSelected();

private:
    RecordFile m_store{kPlaneBytes};
    std::array<std::string, kLibraryCapacity> m_codes; // entry i: the code of glyph i
    int m_count = 0;
    int m_index = 0;
    int m_clientWidth = 200;
    int m_colCount = 10;
    int m_rowCount = 20;
    int m_cellSize = 20;
    int m_marked = -1;
};

} // namespace dotforge
