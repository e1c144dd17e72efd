// The half glyphs of the dot-matrix source, from the table make_font16s writes
// into the generated folder at build time.

#include "sources/latin_glyphs.h"

#include <array>
#include <cstdint>

namespace dotforge {

namespace {

// One glyph per character from kFirstLatin to kLastLatin: 16 rows, one byte a
// row, bit 7 the leftmost dot.
constexpr std::array<std::uint8_t, 16> kLatinGlyphs[] = {
#include "latin_table.inc"
};
static_assert(std::size(kLatinGlyphs) == kLastLatin - kFirstLatin + 1, "one glyph per printable ASCII character");

} // namespace

GlyphPlane font16sLatinGlyph(char c)
{
    GlyphPlane plane;
    if (c < kFirstLatin || c > kLastLatin)
        return plane;
    const auto &rows = kLatinGlyphs[c - kFirstLatin];
    for (int r = 0; r < 16; ++r)
        plane.at(r, 0) = rows[std::size_t(r)];
    return plane;
}

} // namespace dotforge
