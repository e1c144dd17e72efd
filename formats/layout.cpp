#include "formats/layout.h"

#include <algorithm>

namespace dotforge {

namespace {

// Builds the square of a new plane dot by dot: new dot (x, y) = old dot source(x, y).
template <typename Source> GlyphPlane remap(const GlyphPlane &old, int n, Source source)
{
    GlyphPlane out = old;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const auto [sx, sy] = source(x, y);
            out.setDot(x, y, old.dot(sx, sy));
        }
    return out;
}

struct Point {
    int x;
    int y;
};

GlyphPlane rotateLeft(const GlyphPlane &p, int n)
{
    return remap(p, n, [n](int x, int y) { return Point{n - 1 - y, x}; });
}

GlyphPlane rotateRight(const GlyphPlane &p, int n)
{
    return remap(p, n, [n](int x, int y) { return Point{y, n - 1 - x}; });
}

GlyphPlane mirrorLeftRight(const GlyphPlane &p, int n)
{
    return remap(p, n, [n](int x, int y) { return Point{n - 1 - x, y}; });
}

GlyphPlane mirrorTopBottom(const GlyphPlane &p, int n)
{
    return remap(p, n, [n](int x, int y) { return Point{x, n - 1 - y}; });
}

// The 8-dot bands of every row in reverse order, each band's dots kept in order.
GlyphPlane swapLeftRight(const GlyphPlane &p, int n)
{
    const int bands = rowBytes(n);
    return remap(p, n, [bands](int x, int y) { return Point{8 * (bands - 1 - x / 8) + x % 8, y}; });
}

// The 8-row bands in reverse order; at 24 dots rows 8 to 15 stay.
GlyphPlane swapUpDown(const GlyphPlane &p, int n)
{
    const int bands = rowBytes(n);
    return remap(p, n, [bands](int x, int y) { return Point{x, 8 * (bands - 1 - y / 8) + y % 8}; });
}

bool bitReversed(Mode mode)
{
    return mode == Mode::B || mode == Mode::D;
}
bool byBands(Mode mode)
{
    return mode == Mode::A || mode == Mode::B;
}

// Position of sequence byte t in the glyph: row and byte of the row.
Point glyphByteOf(int t, int n, Mode mode)
{
    const int bytesPerRow = rowBytes(n);
    if (byBands(mode))
        return Point{t / n, t % n};
    return Point{t % bytesPerRow, t / bytesPerRow};
}

} // namespace

GlyphPlane applyEffects(const GlyphPlane &raw, int n, Effects effects)
{
    if (!isDotSize(n))
        return raw;
    GlyphPlane p = raw;
    switch (effects.rotation) {
    case Rotation::R0:
        break;
    case Rotation::R90:
        p = rotateLeft(p, n);
        break;
    case Rotation::R180:
        p = rotateLeft(rotateLeft(p, n), n);
        break;
    case Rotation::R270:
        p = rotateRight(p, n);
        break;
    }
    switch (effects.flip) {
    case Flip::None:
        break;
    case Flip::Horizontal:
        p = mirrorLeftRight(p, n);
        break;
    case Flip::Vertical:
        p = mirrorTopBottom(p, n);
        break;
    }
    switch (effects.swap) {
    case Swap::None:
        break;
    case Swap::LeftRight:
        p = swapLeftRight(p, n);
        break;
    case Swap::UpDown:
        p = swapUpDown(p, n);
        break;
    }
    return p;
}

GlyphPlane undoEffects(const GlyphPlane &glyph, int n, Effects effects)
{
    // Each swap and flip is its own inverse; a left turn is undone by a right one.
    const Rotation back = effects.rotation == Rotation::R90 ? Rotation::R270
        : effects.rotation == Rotation::R270                ? Rotation::R90
                                                            : effects.rotation;
    GlyphPlane p = applyEffects(glyph, n, Effects{Rotation::R0, Flip::None, effects.swap});
    p = applyEffects(p, n, Effects{Rotation::R0, effects.flip, Swap::None});
    return applyEffects(p, n, Effects{back, Flip::None, Swap::None});
}

Sequence toFileOrder(const GlyphPlane &raw, int n, Mode mode, Effects effects)
{
    if (!isDotSize(n))
        return {};
    const GlyphPlane glyph = applyEffects(raw, n, effects);
    Sequence out(std::size_t(glyphBytes(n)));
    for (int t = 0; t < glyphBytes(n); ++t) {
        const Point at = glyphByteOf(t, n, mode); // x = byte of the row, y = row
        const std::uint8_t b = glyph.at(at.y, at.x);
        out[std::size_t(t)] = bitReversed(mode) ? reverseBits(b) : b;
    }
    return out;
}

GlyphPlane fromFileOrder(const Sequence &sequence, int n, Mode mode)
{
    GlyphPlane glyph;
    if (!isDotSize(n))
        return glyph;
    const int count = std::min(glyphBytes(n), int(sequence.size()));
    for (int t = 0; t < count; ++t) {
        const Point at = glyphByteOf(t, n, mode);
        const std::uint8_t b = sequence[std::size_t(t)];
        glyph.at(at.y, at.x) = bitReversed(mode) ? reverseBits(b) : b;
    }
    return glyph;
}

GlyphPlane decodeGlyph(const Sequence &sequence, int n, Mode mode, Effects effects)
{
    return undoEffects(fromFileOrder(sequence, n, mode), n, effects);
}

Sequence squareBytes(const GlyphPlane &plane, int n)
{
    Sequence out;
    if (!isDotSize(n))
        return out;
    out.reserve(std::size_t(glyphBytes(n)));
    for (int r = 0; r < n; ++r)
        for (int k = 0; k < rowBytes(n); ++k)
            out.push_back(plane.at(r, k));
    return out;
}

void putSquareBytes(GlyphPlane &plane, int n, const Sequence &bytes)
{
    if (!isDotSize(n))
        return;
    for (int t = 0; t < glyphBytes(n); ++t)
        plane.at(t / rowBytes(n), t % rowBytes(n)) = std::size_t(t) < bytes.size() ? bytes[std::size_t(t)] : 0;
}

} // namespace dotforge
