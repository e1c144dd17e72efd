#pragma once
// A library as an LVGL 9 font: C source in LVGL's text font format
// (lv_font_fmt_txt_dsc_t, compiled into the firmware) and LVGL's binary font
// (lv_binfont_create, lv_binfont_create_from_buffer), 1 bit per pixel.
//
// Lines are n pixels high, the base line n / 8 pixels above the bottom of the
// line, as in the BDF output: a glyph's top-left dot lies at the top-left
// corner of its place on the line, and the pen moves on by the glyph's width
// (n, or halfWidth(n) for a half-width glyph). Each glyph's bitmap is cropped
// to its ink; an empty glyph (a space) has a box of 0 x 0 and keeps its width.
// No kerning.
//
// Characters are found through character maps, each a range of code points:
// a dense map (every code point of its range has a glyph, glyph = first glyph
// + offset in the range) costs nothing per glyph, a sparse map a 16-bit
// offset per glyph. The code points are split into the maps that cost the
// fewest bytes, counting a map's own record as kLvglCmapBytes, or more where
// that gives more maps than LVGL holds (511).

#include "core/glyph.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

// A glyph: its code point and its dots, upright, in the top-left width x n of
// the plane (what lies outside is never read).
struct LvglGlyph {
    char32_t codePoint = 0;
    GlyphPlane plane;
    int width = 0; // n, or halfWidth(n) for a half-width glyph; 1 to n
};

// A font: dot size n (16, 24 or 32), the C name of its lv_font_t, and its
// glyphs in ascending code point order, each code point once, none 0 or past
// U+10FFFF, at most kLvglMaxGlyphs of them. The writers throw
// std::invalid_argument for a font that is not so.
struct LvglFont {
    int n = 16;
    std::string name;
    std::vector<LvglGlyph> glyphs;
};

// What the ends of the C source need of a font: its glyphs' code points and
// widths, not their dots.
struct LvglCharacter {
    char32_t codePoint = 0;
    int width = 0;
};
struct LvglIndex {
    int n = 16;
    std::string name;
    std::vector<LvglCharacter> characters; // as LvglFont::glyphs
};
LvglIndex lvglIndex(const LvglFont &font);

// LVGL numbers glyphs with 16 bits and keeps number 0 for "none".
constexpr std::size_t kLvglMaxGlyphs = 65535;
// What a character map's record is counted as when the maps are chosen: its
// size in a 32-bit firmware.
constexpr std::size_t kLvglCmapBytes = 24;

// The dots a glyph inks: x, y of the top-left dot in the plane, and the size;
// 0 x 0 at (0, 0) for a glyph without ink.
struct LvglBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const LvglBox &) const = default;
};
LvglBox lvglInkBox(const GlyphPlane &plane, int width, int n);
// The bytes of a box's bitmap: its rows one after the other, width x height
// bits without padding, the first dot in bit 7, the last byte padded with 0.
std::size_t lvglBitmapBytes(const LvglBox &box);

// A character map: code points rangeStart to rangeStart + rangeLength - 1,
// glyphs firstGlyph to firstGlyph + count - 1 (indexes in LvglFont::glyphs).
struct LvglCmap {
    enum class Type { Dense, Sparse };
    char32_t rangeStart = 0;
    std::uint32_t rangeLength = 0; // 65535 at most
    std::size_t firstGlyph = 0;
    std::size_t count = 0;
    Type type = Type::Dense;
    bool operator==(const LvglCmap &) const = default;
};
// The maps of code points in ascending order, each once: the split that costs
// the fewest bytes (on a tie, the fewest maps). A dense map holds a run of
// consecutive code points; a sparse map any code points whose range is at
// most 65535 long.
std::vector<LvglCmap> lvglCmaps(const std::vector<char32_t> &codePoints);

// The text of the bitmaps of glyphs [from, to) of `glyphs` in the C source,
// and their ink boxes: a piece of the font that a thread can write while
// others write the rest. The text does not depend on where the run stands in
// the font.
struct LvglBitmapText {
    std::string text; // per glyph a comment line ("/* U+4E2D 中 */") and its bytes
    std::vector<LvglBox> boxes; // one per glyph of the run
};
LvglBitmapText lvglBitmapText(const std::vector<LvglGlyph> &glyphs, std::size_t from, std::size_t to, int n);

// The C source around the bitmaps of consecutive runs that cover the font,
// which stay in the pieces: the file is written part by part, never copied
// whole. `pieces` must outlive it.
struct LvglSourceText {
    std::string opening; // the comment, the include and the start of the bitmaps
    std::string closing; // the end of the bitmaps, the glyph descriptors, the maps and the font
    const std::vector<LvglBitmapText> *pieces = nullptr;
    std::vector<std::string_view> parts() const;
    std::string joined() const;
};
// `note`: lines the opening comment adds (what made the font), written as
// commentText does, so that nothing in them ends the comment.
LvglSourceText lvglSourceText(
    const LvglFont &font, const std::vector<std::string> &note, const std::vector<LvglBitmapText> &pieces);
// Its two ends apart, for a file written while its glyphs are drawn; the
// closing needs the pieces of every glyph, and is handed to `write` in parts
// of some 64 KiB, so that the text of a large font is never held whole.
std::string lvglOpening(const LvglIndex &index, const std::vector<std::string> &note);
void lvglClosing(const LvglIndex &index, const std::vector<LvglBitmapText> &pieces,
    const std::function<void(std::string_view)> &write);
// The whole C file, defining `const lv_font_t NAME`.
std::string lvglSource(const LvglFont &font, const std::vector<std::string> &note = {});

// The same font as LVGL's binary font file: its bitmaps are the same bytes.
std::string lvglBinary(const LvglFont &font);

// Whether some glyph's bitmap starts 1 MB (2^20 bytes) or more into the
// font's bitmaps, past what LVGL's glyph descriptors hold without
// LV_FONT_FMT_TXT_LARGE in lv_conf.h (the C source then stops the build; LVGL
// would read the binary font wrong).
bool lvglNeedsLargeFormat(const LvglFont &font);

} // namespace dotforge
