#pragma once
// A library as a BDF 2.1 bitmap font, the text format X11, FontForge and the
// firmware font converters read: one character per library entry, encoded by
// the Unicode code point of its code, its n x n dots as the bitmap, upright as
// the store holds them (a BDF has no byte layout mode).
//
// The square sits on a cell of n x n pixels: FONT_DESCENT is n / 8, FONT_ASCENT
// the rest, every glyph has BBX n n 0 -descent and DWIDTH n 0, so a text cell
// whose top-left corner is (x, y) and whose baseline lies at y + FONT_ASCENT
// shows the glyph with its top-left dot at (x, y). The nominal size is the
// point size that gives n pixels at 96 dots per inch (12, 18, 24 points).

#include "core/charsets.h"
#include "core/glyph.h"
#include "formats/library_content.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace dotforge {

// Codes without a Unicode character (a byte pair that is no GBK character, two
// ASCII characters, an empty code) are written at a private-use code point of
// the Basic Multilingual Plane, which X11 requires: U+E000 + the glyph's index
// in the library, or the next code point above that no other glyph takes; a
// COMMENT before the character names the code.
constexpr char32_t kBdfPrivateBase = 0xE000;

// The code point each glyph is written at. `character`: the code's own
// character (false: a private-use stand-in); `duplicate`: an earlier glyph has
// the same character, so this one is written unencoded (ENCODING -1), so that
// every encoding names one glyph.
struct BdfEncoding {
    char32_t codePoint = 0;
    bool character = false;
    bool duplicate = false;
};
// A code's own character is the one `naming` reads it as (code_text.h).
std::vector<BdfEncoding> bdfEncodings(const std::vector<std::string> &codes, const CodeNaming &naming = {});
// The same for `count` glyphs whose codes `codeAt` gives.
std::vector<BdfEncoding> bdfEncodings(
    std::size_t count, const std::function<std::string(std::size_t)> &codeAt, const CodeNaming &naming = {});

// FAMILY_NAME made from a file's stem: characters other than ASCII letters,
// digits, space, '_', '.' and '+' become '_' ("-" would break the XLFD name);
// "Dotforge" when nothing is left.
std::string bdfFamilyName(const std::string &stem);

// The BDF text of `planes` (raw planes, n x n dots each) with their codes.
std::string writeBdf(const std::vector<GlyphPlane> &planes, const std::vector<std::string> &codes, int n,
    const std::string &family, const CodeNaming &naming = {});

// The same text in parts, for a font written a run of glyphs at a time: what
// comes before the first glyph of the font whose glyphs have `encodings`; the
// glyphs from index `from` on, `codes` theirs; the end.
// `halfCount`: half-width glyphs that follow the square ones (bdfHalfGlyphs);
// with them the font is proportional (SPACING "P").
std::string bdfHead(
    const std::vector<BdfEncoding> &encodings, int n, const std::string &family, std::size_t halfCount = 0);
std::string bdfGlyphs(const std::vector<GlyphPlane> &planes, const std::vector<std::string> &codes, std::size_t from,
    const std::vector<BdfEncoding> &encodings, int n);
// Half-width glyphs at their ASCII code points, halfWidth(n) x n dots with
// DWIDTH halfWidth(n), on the square glyphs' baseline; their sequences are read
// back under `mode`.
std::string bdfHalfGlyphs(const HalfGlyphs &half, int n, Mode mode);
std::string bdfEnd();

} // namespace dotforge
