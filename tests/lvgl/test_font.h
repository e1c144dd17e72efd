#pragma once
// The fonts the LVGL tests draw, made from patterns rather than a library: at
// dot size n, half-width glyphs for printable ASCII and square ones for a few
// CJK characters, in character maps of every kind (a dense run of ASCII, a
// dense run of CJK between sparse characters, a far plane); and a large font.

#include "formats/lvgl.h"

#include <algorithm>
#include <string>
#include <vector>

namespace dotforge::test {

// The square glyphs' code points: an empty ideographic space, a square on
// the cell's edges, 一 to 丟 in a row, four apart, two of plane 2.
inline std::vector<char32_t> lvglTestSquares()
{
    std::vector<char32_t> out{0x3000, 0x25A1, 0x4E2D, 0x4F53, 0x5B57, 0x6587, 0x20000, 0x20001};
    for (char32_t c = 0x4E00; c <= 0x4E1F; ++c)
        out.push_back(c);
    std::sort(out.begin(), out.end());
    return out;
}

// A glyph's dots, different for every code point: a box whose margins follow
// from the code point, its border inked and a scatter inside. Some are made
// for the edges: the spaces are empty, "|" and U+25A1 fill the whole cell's
// border, "#" inks only the cell's four corners, "." the bottom-right dot and
// "_" the bottom row.
inline GlyphPlane lvglTestPlane(char32_t cp, int width, int n)
{
    GlyphPlane plane;
    if (cp == 0x20 || cp == 0x3000)
        return plane;
    if (cp == '#' || cp == '.') {
        plane.setDot(width - 1, n - 1, true);
        if (cp == '#') {
            plane.setDot(0, 0, true);
            plane.setDot(width - 1, 0, true);
            plane.setDot(0, n - 1, true);
        }
        return plane;
    }
    if (cp == '_') {
        for (int x = 0; x < width; ++x)
            plane.setDot(x, n - 1, true);
        return plane;
    }
    const bool edges = cp == '|' || cp == 0x25A1;
    const int left = edges ? 0 : int(cp % 3);
    const int right = width - 1 - (edges ? 0 : int(cp / 3 % 3));
    const int top = edges ? 0 : int(cp / 9 % 4);
    const int bottom = n - 1 - (edges ? 0 : int(cp / 36 % 4));
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            unsigned h = unsigned(cp) * 0x9E3779B1u ^ unsigned(x) * 0x85EBCA77u ^ unsigned(y) * 0xC2B2AE3Du;
            h ^= h >> 15;
            h *= 0x2C1B3C6Du;
            h ^= h >> 12;
            plane.setDot(x, y, x == left || x == right || y == top || y == bottom || (h & 1) != 0);
        }
    return plane;
}

inline LvglFont lvglTestFont(int n, const std::string &name)
{
    LvglFont font{n, name, {}};
    for (char32_t c = 0x20; c <= 0x7E; ++c)
        font.glyphs.push_back({c, lvglTestPlane(c, halfWidth(n), n), halfWidth(n)});
    for (const char32_t c : lvglTestSquares())
        font.glyphs.push_back({c, lvglTestPlane(c, n, n), n});
    return font;
}

// A font of 32 dots large enough for 32-bit glyph offsets and glyph ids past
// 255 in the binary font: 3,000 characters from U+4E00 on, every seventh of the
// first 1,500 left out.
inline LvglFont lvglLargeTestFont()
{
    LvglFont font{32, "dotforge_test32", {}};
    for (char32_t k = 0; k < 3000; ++k)
        if (k >= 1500 || k % 7 != 3)
            font.glyphs.push_back({0x4E00 + k, lvglTestPlane(0x4E00 + k, 32, 32), 32});
    return font;
}

} // namespace dotforge::test
