#pragma once
// Byte layouts of the library files and the default effects a save applies.
//
// A raw plane holds a glyph row by row, bit 7 of each byte the leftmost of its
// eight dots. A converted sequence is the n * n / 8 bytes of one glyph as a
// .ZMB or .ASM file stores them: modes A and B run by 8-dot bands (all n bytes
// of band 0 from top to bottom, then band 1 ...), C and D by rows; B and D put
// the leftmost dot of each byte in bit 0. Mode C without effects is the raw
// order itself.

#include "core/glyph.h"
#include "core/glyph_geometry.h"
#include "core/layout_modes.h"

#include <cstdint>
#include <vector>

namespace dotforge {

using Sequence = std::vector<std::uint8_t>;

// The inverse of applyEffects: the swap, the flip and the rotation undone in
// reverse order, so that undoEffects(applyEffects(g)) is g.
GlyphPlane undoEffects(const GlyphPlane &glyph, int n, Effects effects);

// Raw glyph -> converted sequence (effects first, then bit order and byte order).
// Empty for an n that is not a dot size.
Sequence toFileOrder(const GlyphPlane &raw, int n, Mode mode, Effects effects = {});

// Converted sequence -> raw glyph square; the plane's other bytes are zero. A
// sequence shorter than n * n / 8 counts as padded with zero bytes.
GlyphPlane fromFileOrder(const Sequence &sequence, int n, Mode mode);

// The glyph a device shows from a sequence written under the mode and effects:
// the sequence read back and the effects undone.
GlyphPlane decodeGlyph(const Sequence &sequence, int n, Mode mode, Effects effects);

// The glyph square read row by row, n / 8 bytes per row: how the store holds a
// converted sequence while a file is written, and how a plane is written out.
Sequence squareBytes(const GlyphPlane &plane, int n);
// The inverse; bytes outside the square are kept, missing bytes count as zero.
void putSquareBytes(GlyphPlane &plane, int n, const Sequence &bytes);

} // namespace dotforge
