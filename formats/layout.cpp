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

// Position of sequence byte t in the W x H glyph box: row and byte of the row.
Point glyphByteOf(int t, GlyphBox box, Mode mode)
{
    const int bytesPerRow = box.width / 8;
    if (byBands(mode))
        return Point{t / box.height, t % box.height};
    return Point{t % bytesPerRow, t / bytesPerRow};
}

} // namespace

GlyphPlane undoEffects(const GlyphPlane &glyph, GlyphBox rawBox, Effects effects)
{
    if (!isGlyphBox(rawBox))
        return glyph;
    // The steps backwards; turns are undone by the opposite turn, every mirror
    // and swap by itself.
    const std::vector<Transform> steps = effectTransforms(effects);
    std::vector<Transform> back;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step)
        back.push_back(*step == Transform::TurnLeft ? Transform::TurnRight
                : *step == Transform::TurnRight     ? Transform::TurnLeft
                                                    : *step);
    GlyphPlane p = glyph;
    transformBox(p, transformedBox(steps, rawBox), back);
    return p;
}

GlyphPlane undoEffects(const GlyphPlane &glyph, int n, Effects effects)
{
    if (!isDotSize(n))
        return glyph;
    return undoEffects(glyph, squareBox(n), effects);
}

Sequence toFileOrder(const GlyphPlane &raw, GlyphBox rawBox, Mode mode, Effects effects)
{
    if (!isGlyphBox(rawBox))
        return {};
    GlyphBox box = rawBox;
    const GlyphPlane glyph = applyEffects(raw, rawBox, effects, &box);
    Sequence out(std::size_t(boxBytes(box)));
    for (int t = 0; t < boxBytes(box); ++t) {
        const Point at = glyphByteOf(t, box, mode); // x = byte of the row, y = row
        const std::uint8_t b = glyph.at(at.y, at.x);
        out[std::size_t(t)] = bitReversed(mode) ? reverseBits(b) : b;
    }
    return out;
}

Sequence toFileOrder(const GlyphPlane &raw, int n, Mode mode, Effects effects)
{
    if (!isDotSize(n))
        return {};
    return toFileOrder(raw, squareBox(n), mode, effects);
}

GlyphPlane fromFileOrder(const Sequence &sequence, GlyphBox box, Mode mode)
{
    GlyphPlane glyph;
    if (!isGlyphBox(box))
        return glyph;
    const int count = std::min(boxBytes(box), int(sequence.size()));
    for (int t = 0; t < count; ++t) {
        const Point at = glyphByteOf(t, box, mode);
        const std::uint8_t b = sequence[std::size_t(t)];
        glyph.at(at.y, at.x) = bitReversed(mode) ? reverseBits(b) : b;
    }
    return glyph;
}

GlyphPlane fromFileOrder(const Sequence &sequence, int n, Mode mode)
{
    if (!isDotSize(n))
        return {};
    return fromFileOrder(sequence, squareBox(n), mode);
}

GlyphPlane decodeGlyph(const Sequence &sequence, GlyphBox rawBox, Mode mode, Effects effects)
{
    if (!isGlyphBox(rawBox))
        return {};
    return undoEffects(fromFileOrder(sequence, transformedBox(effects, rawBox), mode), rawBox, effects);
}

GlyphPlane decodeGlyph(const Sequence &sequence, int n, Mode mode, Effects effects)
{
    if (!isDotSize(n))
        return {};
    return decodeGlyph(sequence, squareBox(n), mode, effects);
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
