// LVGL fonts: how the code points are split into character maps, the ink box
// a glyph is cropped to, the C text written in pieces, and the fonts the
// writers refuse. LVGL itself draws the fonts in tests/lvgl.

#include "formats/lvgl.h"

#include <gtest/gtest.h>

using namespace dotforge;
using Type = LvglCmap::Type;

namespace {

std::vector<char32_t> run(char32_t first, char32_t last)
{
    std::vector<char32_t> out;
    for (char32_t c = first; c <= last; ++c)
        out.push_back(c);
    return out;
}

std::vector<char32_t> operator+(std::vector<char32_t> a, const std::vector<char32_t> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// 600 runs of 30 code points, 10 apart: as dense maps they would be more than
// LVGL holds.
std::vector<char32_t> manyRuns()
{
    std::vector<char32_t> out;
    for (char32_t k = 0; k < 600; ++k)
        out = out + run(0x4E00 + 40 * k, 0x4E00 + 40 * k + 29);
    return out;
}

} // namespace

TEST(LvglTest, CodePointsSplitIntoTheCheapestMaps)
{
    // Counting 24 bytes a map and 2 a sparse code point.
    const struct {
        const char *what;
        std::vector<char32_t> codePoints;
        std::vector<LvglCmap> maps;
    } rows[] = {
        {"no glyph", {}, {}},
        {"printable ASCII", run(0x20, 0x7E), {{0x20, 95, 0, 95, Type::Dense}}},
        {"scattered", {0x4E2D, 0x4F53, 0x6587}, {{0x4E2D, 5979, 0, 3, Type::Sparse}}},
        {"a run of 32 among scattered ones (96 bytes in one sparse map)",
            std::vector<char32_t>{0x4E00, 0x4E05} + run(0x4E10, 0x4E2F) + std::vector<char32_t>{0x5000, 0x5005},
            {{0x4E00, 6, 0, 2, Type::Sparse}, {0x4E10, 32, 2, 32, Type::Dense}, {0x5000, 6, 34, 2, Type::Sparse}}},
        {"a run of 11 stays sparse",
            std::vector<char32_t>{0x4E00} + run(0x4E05, 0x4E0F) + std::vector<char32_t>{0x5000},
            {{0x4E00, 0x201, 0, 13, Type::Sparse}}},
        {"a range of 65535", {0x10000, 0x1FFFE}, {{0x10000, 65535, 0, 2, Type::Sparse}}},
        {"a range of 65536 is split", {0x10000, 0x1FFFF},
            {{0x10000, 1, 0, 1, Type::Dense}, {0x1FFFF, 1, 1, 1, Type::Dense}}},
        {"more dense runs than LVGL holds maps", manyRuns(), {{0x4E00, 23990, 0, 18000, Type::Sparse}}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(lvglCmaps(row.codePoints), row.maps) << row.what;
}

TEST(LvglTest, GlyphsAreCroppedToTheirInk)
{
    const struct {
        std::vector<std::pair<int, int>> dots;
        int width;
        int n;
        LvglBox box;
    } rows[] = {
        {{}, 16, 16, {0, 0, 0, 0}},
        {{{7, 15}}, 8, 16, {7, 15, 1, 1}},
        {{{3, 2}, {10, 12}}, 16, 16, {3, 2, 8, 11}},
        {{{8, 0}, {2, 5}, {4, 20}}, 8, 16, {2, 5, 1, 1}}, // dots past the width and the height are no ink
        {{{0, 0}, {31, 31}}, 32, 32, {0, 0, 32, 32}},
        {{{11, 0}, {0, 23}}, 12, 24, {0, 0, 12, 24}},
    };
    for (const auto &row : rows) {
        GlyphPlane plane;
        for (const auto &[x, y] : row.dots)
            plane.setDot(x, y, true);
        EXPECT_EQ(lvglInkBox(plane, row.width, row.n), row.box) << row.box.x << "," << row.box.y;
        EXPECT_EQ(lvglBitmapBytes(row.box), std::size_t(row.box.width * row.box.height + 7) / 8);
    }
}

// Also for a font whose descriptors and sparse maps run past the parts the
// closing is handed out in.
TEST(LvglTest, SourceWrittenInPiecesIsTheWholeFile)
{
    for (const auto &[count, step] : {std::pair{0x40u, 1u}, std::pair{3000u, 3u}}) {
        LvglFont font{24, "pieces", {}};
        for (char32_t c = 0x4E00; c < 0x4E00 + count * step; c += step) {
            GlyphPlane plane;
            plane.setDot(int(c % 24), int(c % 23), true);
            plane.setDot(int(c % 7), int(c % 5), true);
            font.glyphs.push_back({c, plane, c % 2 ? 24 : 12});
        }
        const std::vector<LvglBitmapText> pieces{lvglBitmapText(font.glyphs, 0, 5, 24),
            lvglBitmapText(font.glyphs, 5, 6, 24), lvglBitmapText(font.glyphs, 6, font.glyphs.size(), 24)};
        const LvglSourceText text = lvglSourceText(font, {"note"}, pieces);
        EXPECT_EQ(text.joined(), lvglSource(font, {"note"})) << count;
        EXPECT_EQ(text.closing.size() > 64 * 1024, count > 1000) << count;
    }
}

TEST(LvglTest, FontsLvglCannotHoldAreRefused)
{
    const auto glyph = [](char32_t c, int width = 16) { return LvglGlyph{c, GlyphPlane{}, width}; };
    const LvglFont rows[] = {
        {16, "descending", {glyph(0x4E01), glyph(0x4E00)}},
        {16, "twice", {glyph(0x4E00), glyph(0x4E00)}},
        {16, "zero", {glyph(0)}},
        {16, "beyond", {glyph(0x110000)}},
        {16, "wide", {glyph(0x41, 17)}},
        {16, "no width", {glyph(0x41, 0)}},
        {20, "size", {}},
        {16, "no-identifier", {}},
    };
    for (const LvglFont &font : rows) {
        EXPECT_THROW(lvglSource(font), std::invalid_argument) << font.name;
        EXPECT_THROW(lvglBinary(font), std::invalid_argument) << font.name;
    }
}

TEST(LvglTest, BitmapsPastOneMegabyteAskForTheLargeFormat)
{
    // Fully inked glyphs of 32 dots take 128 bytes: glyph 8192 starts at 2^20.
    GlyphPlane ink;
    ink.bytes.fill(0xFF);
    for (const std::size_t count : {8192, 8193}) {
        LvglFont font{32, "large", {}};
        for (std::size_t g = 0; g < count; ++g)
            font.glyphs.push_back({char32_t(0x10000 + g), ink, 32});
        const bool large = count == 8193;
        EXPECT_EQ(lvglNeedsLargeFormat(font), large) << count;
        EXPECT_EQ(lvglSource(font).find("#if !LV_FONT_FMT_TXT_LARGE\n#error") != std::string::npos, large) << count;
    }
}
