#pragma once
// Byte layouts of the library files and the default effects a save applies.
//
// A raw plane holds a glyph row by row, bit 7 of each byte the leftmost of its
// eight dots. A converted sequence is the W * H / 8 bytes of one W x H glyph
// box (after the effects) as a .ZMB or .ASM file stores them: modes A and B
// run by 8-dot column bands (all H bytes of band 0 from top to bottom, then
// band 1 ...), C and D by rows of W / 8 bytes; B and D put the leftmost dot of
// each byte in bit 0. Mode C without effects is the raw order itself. The
// square glyph of dot size n is the box n x n; the functions taking n are that
// case and give nothing (or leave the plane) for an n that is no dot size.
//
// The functions taking a box name the raw glyph's box, before the effects,
// except fromFileOrder, which has no effects and takes the box the sequence
// holds. A quarter turn makes an H x W box of a W x H one (transformedBox).

#include "core/glyph.h"
#include "core/glyph_geometry.h"
#include "core/layout_modes.h"

#include <cstdint>
#include <vector>

namespace dotforge {

using Sequence = std::vector<std::uint8_t>;

// The inverse of applyEffects: the swap, the flip and the rotation undone in
// reverse order, so that undoEffects(applyEffects(g, rawBox, e), rawBox, e) is
// g. `glyph` holds the box transformedBox(effects, rawBox); the result fills
// rawBox, the dots of the glyph's box outside rawBox are cleared and every
// other dot is kept (for a square, everything outside it).
GlyphPlane undoEffects(const GlyphPlane &glyph, GlyphBox rawBox, Effects effects);
GlyphPlane undoEffects(const GlyphPlane &glyph, int n, Effects effects);

// Raw glyph -> converted sequence (effects first, then bit order and byte
// order): boxBytes(rawBox) bytes. Empty for a box that is no glyph box.
Sequence toFileOrder(const GlyphPlane &raw, GlyphBox rawBox, Mode mode, Effects effects = {});
Sequence toFileOrder(const GlyphPlane &raw, int n, Mode mode, Effects effects = {});

// Converted sequence -> the glyph box it holds, `box` (the box after any
// effects); the plane's other bytes are zero. A sequence shorter than
// boxBytes(box) counts as padded with zero bytes. A blank plane for a box that
// is no glyph box.
GlyphPlane fromFileOrder(const Sequence &sequence, GlyphBox box, Mode mode);
GlyphPlane fromFileOrder(const Sequence &sequence, int n, Mode mode);

// The glyph a device shows from a sequence written under the mode and effects:
// the sequence read back as the box the effects made of rawBox, and the
// effects undone, so that decodeGlyph(toFileOrder(g, rawBox, m, e), rawBox, m,
// e) is g for a g blank outside rawBox.
GlyphPlane decodeGlyph(const Sequence &sequence, GlyphBox rawBox, Mode mode, Effects effects);
GlyphPlane decodeGlyph(const Sequence &sequence, int n, Mode mode, Effects effects);

// The glyph square read row by row, n / 8 bytes per row: how the store holds a
// converted sequence while a file is written, and how a plane is written out.
Sequence squareBytes(const GlyphPlane &plane, int n);
// The inverse; bytes outside the square are kept, missing bytes count as zero.
void putSquareBytes(GlyphPlane &plane, int n, const Sequence &bytes);

} // namespace dotforge
