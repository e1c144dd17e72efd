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

    // As many glyphs on a line as fit whole (at least one), each line starting
    // at the left edge: every glyph stands one pitch from its neighbours.
    const std::int64_t perLine = w >= side ? (w - side) / pitch + 1 : 1;
    const std::int64_t line = g / perLine;
    const std::int64_t x = g % perLine * pitch;
    const std::int64_t linesPerPage = h >= side ? (h - side) / pitch + 1 : 1;
    return {int(line / linesPerPage), int(x), int(line % linesPerPage * pitch)};
}

} // namespace dotforge
