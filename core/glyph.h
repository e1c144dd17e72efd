#pragma once
// Glyph planes, the editor's dot cells and the small value types every folder
// shares.

#include <array>
#include <cstdint>
#include <string>

namespace dotforge {

// Dot sizes the library can have; one for the whole library.
constexpr int kMaxDots = 32;
constexpr int kLibraryCapacity = 200;
constexpr int kPlaneBytes = 128;

constexpr bool isDotSize(int n)
{
    return n == 16 || n == 24 || n == 32;
}

// The point size a dot size draws TrueType glyphs at until the font dialog
// chooses another: 12, 18 or 22 for 16, 24 or 32 dots.
constexpr int defaultPointSize(int n)
{
    return n == 16 ? 12 : n == 24 ? 18 : 22;
}

// A glyph box: the dots a glyph occupies at the top-left of a plane, width
// columns by height rows. Both sides are whole bands of 8 dots, 8 to 32, so a
// box always fits the 32 x 32 plane and its rows are whole bytes.
struct GlyphBox {
    int width;
    int height;
    bool operator==(const GlyphBox &) const = default;
};

constexpr bool isGlyphBox(GlyphBox box)
{
    const auto side = [](int dots) { return dots >= 8 && dots <= kMaxDots && dots % 8 == 0; };
    return side(box.width) && side(box.height);
}

// Bytes of a glyph in a box, 8 dots a byte.
constexpr int boxBytes(GlyphBox box)
{
    return box.width * box.height / 8;
}

// The square glyph of dot size n.
constexpr GlyphBox squareBox(int n)
{
    return {n, n};
}

// Bytes per glyph row and per converted glyph for dot size n.
constexpr int rowBytes(int n)
{
    return n / 8;
}
constexpr int glyphBytes(int n)
{
    return boxBytes(squareBox(n));
}

// A half glyph (printable ASCII beside the square glyphs) is n / 2 dots wide
// and n high. It is stored in whole bytes, n / 2 rounded up to 8 dots: a
// 24-dot half glyph is 12 dots drawn in a 16-dot box whose right 4 columns
// stay blank.
constexpr int halfWidth(int n)
{
    return n / 2;
}
constexpr int halfBoxWidth(int n)
{
    return (halfWidth(n) + 7) / 8 * 8;
}
constexpr GlyphBox halfBox(int n)
{
    return {halfBoxWidth(n), n};
}
constexpr int halfGlyphBytes(int n)
{
    return boxBytes(halfBox(n));
}

// A glyph plane: 32 rows of 4 bytes, row r at bytes 4r..4r+3. Bit 7 of byte k
// is column 8k, the leftmost dot of the byte. Only the glyph's box at the top
// left (the N x N square, or a half glyph's box) carries the glyph; the other
// bits are kept as they are and never read.
struct GlyphPlane {
    std::array<std::uint8_t, kPlaneBytes> bytes{};

    std::uint8_t &at(int row, int byte) { return bytes[std::size_t(row * 4 + byte)]; }
    std::uint8_t at(int row, int byte) const { return bytes[std::size_t(row * 4 + byte)]; }
    bool dot(int x, int y) const { return at(y, x / 8) & (0x80 >> (x % 8)); }
    void setDot(int x, int y, bool on)
    {
        std::uint8_t &b = at(y, x / 8);
        const std::uint8_t mask = std::uint8_t(0x80 >> (x % 8));
        b = on ? std::uint8_t(b | mask) : std::uint8_t(b & ~mask);
    }
    bool operator==(const GlyphPlane &) const = default;
};

// Texts of the editor's dot cells. Packing counts every text other than the
// blank one as ink.
inline const std::string kInk = "\u25CF"; // "●"
inline const std::string kBlank = "  "; // two spaces

// The editor grid's cell texts, addressed (column, row) like the grid.
struct CellTexts {
    std::array<std::array<std::string, kMaxDots>, kMaxDots> cells; // [row][column]

    CellTexts() { fill(kBlank); }
    void fill(const std::string &t)
    {
        for (auto &row : cells)
            row.fill(t);
    }
    std::string &at(int col, int row) { return cells[std::size_t(row)][std::size_t(col)]; }
    const std::string &at(int col, int row) const { return cells[std::size_t(row)][std::size_t(col)]; }
    bool inked(int col, int row) const { return at(col, row) != kBlank; }
};

// Packs the N x N cells into the glyph square of a plane: for each row the
// bytes are cleared, then each column in increasing order shifts its byte left
// and sets bit 0 for ink. Bytes outside the square keep their contents.
void packCells(const CellTexts &cells, int n, GlyphPlane &plane);

// The inverse: cell (8k + b, r) gets ink when bit 7 - b of byte k of row r is set.
void showPlane(const GlyphPlane &plane, int n, CellTexts &cells);

// 8 x 8 bit reversal: bit i goes to bit 7 - i.
std::uint8_t reverseBits(std::uint8_t b);

} // namespace dotforge
