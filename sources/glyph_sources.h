#pragma once
// Pure pieces of the glyph sources: where a character lives in "Font16s" and how
// the drawing surface becomes dots.

#include "core/glyph.h"
#include "core/rasterizer.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dotforge {

// Records of one 16 x 16 glyph in "Font16s": 16 rows of 2 bytes, top row first.
using FontRecord = std::array<std::uint8_t, 32>;

// Record index, within a variant, of a two-byte code: (b0 - 0xA1) x 94 +
// (b1 - 0xA1), the bytes unsigned. Missing bytes count as 0. Not range checked:
// codes of typed or imported text may land before or past the variant.
std::int64_t codeRecordIndex(std::string_view code);

// First record of variant `variant` (0 to 3) in "Font16s": the records of the
// variants before it, whose counts are `sectionSizes` (kSectionSizes of the
// file). A negative value (no item chosen) reads from the start.
std::int64_t variantFirstRecord(const std::array<int, 4> &sectionSizes, int variant);

// Whether a code names a character of variant `variant`: both bytes 0xA1 to
// 0xFE (area and position 1 to 94; the Korean variant's codes carry its file
// area) and a record index below the variant's record count. No item chosen
// (a negative value) counts as the first variant, whose areas the table then
// offers. Typed or imported text gives any byte pair: one outside the variant
// would read another variant's record, or fail before the start of the file.
bool codeInVariant(std::string_view code, const std::array<int, 4> &sectionSizes, int variant);

// The last code of a variant (F9FB for 8363 records): its codes run from A1A1
// to this one.
std::string lastCodeOfVariant(const std::array<int, 4> &sectionSizes, int variant);

// Top-left pixel of the sampled square on the drawing surface, which is also the
// top-left corner of the text cell a character is drawn at.
constexpr int kSurfaceOrigin = 5;

// Record index of cell n (0 to 93) of a file area (1 based).
constexpr std::int64_t cellRecordIndex(int fileArea, int cell)
{
    return std::int64_t(fileArea - 1) * 94 + cell;
}

// Copies a record into bytes 0 and 1 of rows 0 to 15 of a plane; the rest of
// the plane keeps its contents.
void copyRecord(const FontRecord &record, GlyphPlane &plane);

// Samples the n x n square whose top-left pixel is (kSurfaceOrigin,
// kSurfaceOrigin) into the glyph square
// of a plane: every pixel that is not exactly white is a dot. Bytes outside the
// square keep their contents.
void sampleSurface(const Surface40 &surface, int n, GlyphPlane &plane);

// Samples a half glyph: the left halfWidth(n) columns of the same n x n square
// (the same origin, so a character drawn there with the same face and size
// sits on the same baseline as a square glyph), by the same rule. Every other
// dot of the plane is blank, also the right columns of a 24-dot half glyph's
// 16-dot box.
void sampleHalfSurface(const Surface40 &surface, int n, GlyphPlane &plane);

} // namespace dotforge
