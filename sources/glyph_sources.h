#pragma once
// Pure pieces of the glyph sources: where a character lives in "Font16s" and how
// the drawing surface becomes dots.

#include "core/glyph.h"
#include "core/rasterizer.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace dotforge {

// Records of one 16 x 16 glyph in "Font16s": 16 rows of 2 bytes, top row first.
using FontRecord = std::array<std::uint8_t, 32>;

// Record index, within a variant, of a two-byte code: (b0 - 0xA1) x 94 +
// (b1 - 0xA1), the bytes unsigned. Missing bytes count as 0. Not range checked:
// codes of typed or imported text may land before or past the variant.
std::int64_t codeRecordIndex(std::string_view code);

// Record index of cell n (0 to 93) of a file area (1 based).
constexpr std::int64_t cellRecordIndex(int fileArea, int cell)
{
    return std::int64_t(fileArea - 1) * 94 + cell;
}

// Copies a record into bytes 0 and 1 of rows 0 to 15 of a plane; the rest of
// the plane keeps its contents.
void copyRecord(const FontRecord &record, GlyphPlane &plane);

// Samples the n x n square whose top-left pixel is (5, 5) into the glyph square
// of a plane: every pixel that is not exactly white is a dot. Bytes outside the
// square keep their contents.
void sampleSurface(const Surface40 &surface, int n, GlyphPlane &plane);

} // namespace dotforge
