#pragma once
// The half glyphs of the dot-matrix source: printable ASCII, 8 x 16, from the
// same GNU Unifont file as "Font16s", built into the program.

#include "core/glyph.h"

namespace dotforge {

// The first and last character with a half glyph: space to tilde.
constexpr char kFirstLatin = 0x20;
constexpr char kLastLatin = 0x7E;

// The raw 8 x 16 half glyph of a printable ASCII character: byte 0 of rows 0 to
// 15 of the plane, bit 7 the leftmost dot; the rest of the plane is blank. A
// blank plane for any other character.
GlyphPlane font16sLatinGlyph(char c);

} // namespace dotforge
