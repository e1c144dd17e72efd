#include "formats/layout.h"

#include <algorithm>

namespace dotforge {

namespace {

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

GlyphPlane undoEffects(const GlyphPlane &glyph, int n, Effects effects)
{
    if (!isDotSize(n))
        return glyph;
    // The steps backwards; turns are undone by the opposite turn, every mirror
    // and swap by itself.
    GlyphPlane p = glyph;
    const std::vector<Transform> steps = effectTransforms(effects);
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        const Transform back = *step == Transform::TurnLeft ? Transform::TurnRight
            : *step == Transform::TurnRight                 ? Transform::TurnLeft
                                                            : *step;
        transformSquare(p, n, back);
    }
    return p;
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
