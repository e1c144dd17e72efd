#include "core/glyph.h"

namespace dotforge {

void packCells(const CellTexts &cells, int n, GlyphPlane &plane)
{
    for (int r = 0; r < n; ++r) {
        for (int k = 0; k < rowBytes(n); ++k)
            plane.at(r, k) = 0;
        for (int c = 0; c < n; ++c) {
            std::uint8_t &b = plane.at(r, c / 8);
            b = std::uint8_t(b << 1);
            if (cells.inked(c, r))
                b |= 1;
        }
    }
}

void showPlane(const GlyphPlane &plane, int n, CellTexts &cells)
{
    for (int r = 0; r < n; ++r)
        for (int k = 0; k < rowBytes(n); ++k)
            for (int b = 0; b < 8; ++b)
                cells.at(8 * k + b, r) = (plane.at(r, k) & (1 << (7 - b))) ? kInk : kBlank;
}

std::uint8_t reverseBits(std::uint8_t b)
{
    std::uint8_t r = 0;
    for (int i = 0; i < 8; ++i)
        if (b & (1 << i))
            r |= std::uint8_t(0x80 >> i);
    return r;
}

} // namespace dotforge
