#include "print/print_layout.h"

#include <algorithm>
#include <cstdint>

namespace dotforge {

PrintSpot printSpot(int g, int n, int pageWidth, int pageHeight)
{
    const std::int64_t pitch = 20 * n;
    const std::int64_t side = 10 * n;
    const std::int64_t w = std::max(pageWidth, 1);
    const std::int64_t h = std::max(pageHeight, 1);

    const std::int64_t position = pitch * g;
    std::int64_t line = position / w;
    std::int64_t x = position % w;
    // Only where the glyph fits the width at all; moved glyphs stay more than
    // 10n from the next one, so no two glyphs of a line overlap.
    if (x > 0 && x + side > w && side <= w) {
        ++line;
        x = 0;
    }
    const std::int64_t linesPerPage = h >= side ? (h - side) / pitch + 1 : 1;
    return {int(line / linesPerPage), int(x), int(line % linesPerPage * pitch)};
}

} // namespace dotforge
