#pragma once
// TXPrint's print of a range of the library's glyphs: the range its edits
// propose, the checks of the range typed, and the glyphs drawn dot by dot at
// their spots (print_layout.h) on the device's pages.

#include "core/glyph.h"

#include <functional>
#include <string>
#include <utility>

namespace dotforge {

class PrintDevice;

// The range proposed for a library of `count` glyphs: all of them, numbered from 1.
std::pair<std::string, std::string> printRangeProposal(int count);

// Prints the glyphs numbered by the two edit texts (from 1) of a library of
// `count` glyphs at dot size n; glyphOf(number) gives each glyph in turn, in
// increasing order. A text that is no decimal integer (spaces around it
// allowed) raises IoError "'text' is not a valid integer value". A range
// outside the library, or a printer busy with another document, prints nothing
// and returns the text of the error box to show; "" once the document is handed
// to the printer. A failure once the document is begun aborts it and goes on to
// the caller.
std::string printGlyphs(const std::string &firstText, const std::string &lastText, int count, int n,
    PrintDevice &device, const std::function<const GlyphPlane &(int number)> &glyphOf);

} // namespace dotforge
