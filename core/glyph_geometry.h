#pragma once
// The one geometry of a glyph square: quarter turns, mirrors, band swaps and
// one-dot shifts, written once as point maps and applied to either grid, the
// editor's cell texts or a glyph plane. The editor's buttons and the effects a
// save applies both come through here, so the two can never disagree.
//
// Coordinates are (x, y) = (column, row) of the N x N square, (0, 0) the
// top-left dot. A band is 8 adjacent columns (one byte of a plane row) or 8
// adjacent rows.

#include "core/glyph.h"
#include "core/layout_modes.h"

#include <vector>

namespace dotforge {

// The default rotation, flip and swap, applied in that order.
struct Effects {
    Rotation rotation = Rotation::R0;
    Flip flip = Flip::None;
    Swap swap = Swap::None;
    bool operator==(const Effects &) const = default;
};

enum class Transform {
    TurnLeft, // the dot at (x, y) moves to (y, N - 1 - x)
    TurnRight, // the dot at (x, y) moves to (N - 1 - y, x)
    MirrorAcross, // left to right: (x, y) moves to (N - 1 - x, y)
    MirrorDown, // top to bottom: (x, y) moves to (x, N - 1 - y)
    SwapBandsAcross, // the 8-dot bands of every row in reverse order
    SwapBandsDown, // the 8-row bands in reverse order
};

struct Point {
    int x;
    int y;
};

// Where dot p of the transformed square comes from.
Point sourceOf(Transform t, int n, Point p);

// The transforms the default effects stand for, in the order they apply:
// rotation (180 degrees is two left turns, 270 one right turn), flip, swap.
std::vector<Transform> effectTransforms(Effects effects);

// Copying one dot between grids of the same kind.
inline void copyDot(const CellTexts &from, Point f, CellTexts &to, Point t)
{
    to.at(t.x, t.y) = from.at(f.x, f.y);
}
inline void copyDot(const GlyphPlane &from, Point f, GlyphPlane &to, Point t)
{
    to.setDot(t.x, t.y, from.dot(f.x, f.y));
}
inline void blankDot(CellTexts &grid, Point p)
{
    grid.at(p.x, p.y) = kBlank;
}
inline void blankDot(GlyphPlane &grid, Point p)
{
    grid.setDot(p.x, p.y, false);
}

// Applies a transform to the N x N square of a grid; the rest stays as it is.
template <typename Grid> void transformSquare(Grid &grid, int n, Transform t)
{
    const Grid old = grid;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            copyDot(old, sourceOf(t, n, {x, y}), grid, {x, y});
}

// Moves the square's content by (dx, dy) dots: what is pushed past an edge is
// lost, the lines brought in are blank.
template <typename Grid> void shiftSquare(Grid &grid, int n, int dx, int dy)
{
    const Grid old = grid;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const Point from{x - dx, y - dy};
            if (from.x >= 0 && from.y >= 0 && from.x < n && from.y < n)
                copyDot(old, from, grid, {x, y});
            else
                blankDot(grid, {x, y});
        }
}

// The default effects on the glyph square of a plane; the bytes outside the
// square are kept.
GlyphPlane applyEffects(const GlyphPlane &raw, int n, Effects effects);

} // namespace dotforge
