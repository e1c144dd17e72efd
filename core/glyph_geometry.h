#pragma once
// The one geometry of a glyph box: quarter turns, mirrors, band swaps and
// one-dot shifts, written once as point maps and applied to either grid, the
// editor's cell texts or a glyph plane. The editor's buttons and the effects a
// save applies both come through here, so the two can never disagree. A
// square glyph is the box N x N; a half glyph's box is narrower than it is
// high, and a quarter turn makes it wider than high.
//
// Coordinates are (x, y) = (column, row) of the W x H box, (0, 0) the
// top-left dot. A band is 8 adjacent columns (one byte of a plane row) or 8
// adjacent rows.

#include "core/glyph.h"
#include "core/layout_modes.h"

#include <span>
#include <vector>

namespace dotforge {

// The default rotation, flip and swap, applied in that order.
struct Effects {
    Rotation rotation = Rotation::R0;
    Flip flip = Flip::None;
    Swap swap = Swap::None;
    bool operator==(const Effects &) const = default;
};

// What each transform does to the dot (x, y) of a W x H box. The turns make
// an H x W box of it; the others keep the box.
enum class Transform {
    TurnLeft, // the dot at (x, y) moves to (y, W - 1 - x)
    TurnRight, // the dot at (x, y) moves to (H - 1 - y, x)
    MirrorAcross, // left to right: (x, y) moves to (W - 1 - x, y)
    MirrorDown, // top to bottom: (x, y) moves to (x, H - 1 - y)
    SwapBandsAcross, // the 8-dot bands of every row in reverse order
    SwapBandsDown, // the 8-row bands in reverse order
};

struct Point {
    int x;
    int y;
};

// The box a transform, or transforms in order, make of `box`: a quarter turn
// swaps width and height.
GlyphBox transformedBox(Transform t, GlyphBox box);
GlyphBox transformedBox(std::span<const Transform> steps, GlyphBox box);

// Where dot p of the transformed box comes from, as a dot of the `source` box.
Point sourceOf(Transform t, GlyphBox source, Point p);
// The same through several transforms applied in order: the dot of `source`
// that ends up at p.
Point sourceOf(std::span<const Transform> steps, GlyphBox source, Point p);
// The square: sourceOf(t, {n, n}, p).
Point sourceOf(Transform t, int n, Point p);

// The transforms the default effects stand for, in the order they apply:
// rotation (180 degrees is two left turns, 270 one right turn), flip, swap.
std::vector<Transform> effectTransforms(Effects effects);

// The box the default effects make of `box`: turned by a rotation of 90 or 270
// degrees, the same otherwise.
GlyphBox transformedBox(Effects effects, GlyphBox box);

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

// Applies transforms, in order, to the box at the top-left of a grid and
// returns the box of the result, which starts at the top-left too. The dots of
// the old box that the new one does not cover (a quarter turn of a box that is
// not square) are blanked; every dot outside both boxes stays as it is, so a
// square keeps all that lies outside it. Whatever boxes the steps pass
// through in between, only the first and the last count.
template <typename Grid> GlyphBox transformBox(Grid &grid, GlyphBox box, std::span<const Transform> steps)
{
    if (steps.empty())
        return box;
    const Grid old = grid;
    const GlyphBox out = transformedBox(steps, box);
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x)
            if (x >= out.width || y >= out.height)
                blankDot(grid, {x, y});
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            copyDot(old, sourceOf(steps, box, {x, y}), grid, {x, y});
    return out;
}
template <typename Grid> GlyphBox transformBox(Grid &grid, GlyphBox box, Transform t)
{
    return transformBox(grid, box, std::span<const Transform>(&t, 1));
}

// Applies a transform to the N x N square of a grid; the rest stays as it is.
template <typename Grid> void transformSquare(Grid &grid, int n, Transform t)
{
    transformBox(grid, squareBox(n), t);
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

// The default effects on the glyph box of a plane, by transformBox: the result
// fills the box transformedBox(effects, box) at the top-left, the dots of the
// raw box outside it are cleared, every other dot is kept. `result`, when
// given, receives the result's box. A box that is no glyph box (isGlyphBox)
// leaves the plane and the box as they are.
GlyphPlane applyEffects(const GlyphPlane &raw, GlyphBox box, Effects effects, GlyphBox *result = nullptr);
// The square: the bytes outside it are kept. Any n that is no dot size leaves
// the plane as it is.
GlyphPlane applyEffects(const GlyphPlane &raw, int n, Effects effects);

} // namespace dotforge
