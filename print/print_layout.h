#pragma once
// Where a printed glyph stands on the page, in device pixels.
//
// A glyph of n dots is 10n pixels square (dot pitch 10) and glyphs follow one
// another at a pitch of 20n: glyph g of the range stands at (20 n g) mod W on
// line (20 n g) div W, W the page width. A glyph that would cross the right
// edge starts the next line instead. Lines are 20n apart, the same gap as along
// a line, and a page holds every line whose glyphs fit its height whole.

namespace dotforge {

struct PrintSpot {
    int page = 0; // counted from 0
    int x = 0; // top-left corner of the glyph square on its page
    int y = 0;
};

PrintSpot printSpot(int g, int n, int pageWidth, int pageHeight);

} // namespace dotforge
