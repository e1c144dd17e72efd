#pragma once
// Where a printed glyph stands on the page, in device pixels.
//
// A glyph of n dots is 10n pixels square (dot pitch 10) and glyphs follow one
// another at a pitch of 20n from the left edge of the page: glyph g of the
// range stands at 20 n g while it fits the width W whole. A line holds as many
// glyphs as fit whole, and the next line starts again at the left edge, so no
// glyph is ever nearer its neighbour than the pitch. Lines are 20n apart, the
// same gap as along a line, and a page holds every line whose glyphs fit its
// height whole.

namespace dotforge {

struct PrintSpot {
    int page = 0; // counted from 0
    int x = 0; // top-left corner of the glyph square on its page
    int y = 0;
};

PrintSpot printSpot(int g, int n, int pageWidth, int pageHeight);

} // namespace dotforge
