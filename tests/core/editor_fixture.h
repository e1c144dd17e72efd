#pragma once
// Helpers of the editor tests: ASCII-art grids, the library view with one
// stored glyph, mouse gestures on the grid.

#include "tests/support/test_workspace.h"
#include "workspace/workspace.h"

#include <string>
#include <vector>

namespace dotforge::test {

using Art = std::vector<std::string>;

// Art rows padded with blank dots to n x n (missing rows and columns are blank).
inline Art padded(int n, Art rows)
{
    rows.resize(std::size_t(n));
    for (auto &row : rows)
        row.resize(std::size_t(n), '.');
    return rows;
}

// Art whose first rows are blank: `rows` start at row `first`.
inline Art fromRow(int first, const Art &rows)
{
    Art all(static_cast<std::size_t>(first));
    all.insert(all.end(), rows.begin(), rows.end());
    return all;
}

// A snapshot or clipboard area (w x h entries) as art.
inline Art artOf(const CellTexts &cells, int w, int h)
{
    Art rows;
    for (int j = 0; j < h; ++j) {
        std::string row;
        for (int i = 0; i < w; ++i)
            row += cells.inked(i, j) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// The record i of the store file "JQT.TMP", as raw bytes.
inline std::string storedRecord(TestWorkspace &tw, int i)
{
    return readFile(tw.dir().file("JQT.TMP")).substr(std::size_t(i) * kPlaneBytes, kPlaneBytes);
}

inline std::string bytesOf(const GlyphPlane &p)
{
    return std::string(p.bytes.begin(), p.bytes.end());
}

// A library of one glyph (record 0), shown in the library view.
inline void enterLibraryView(TestWorkspace &tw, const GlyphPlane &glyph)
{
    showLibraryGlyph(tw.ws(), glyph);
}

// A left-button drag from one cell to another, released there.
inline void dragSelect(Workspace &ws, int c0, int r0, int c1, int r1)
{
    ws.SG2MouseDown(c0, r0, MouseButton::Left);
    ws.SG2MouseMove(c1, r1);
    ws.SG2MouseUp(c1, r1, MouseButton::Left);
}

inline void click(Workspace &ws, int col, int row)
{
    ws.SG2MouseDown(col, row, MouseButton::Left);
    ws.SG2MouseUp(col, row, MouseButton::Left);
}

constexpr KeyMods kCtrl{true, false, false};

} // namespace dotforge::test
