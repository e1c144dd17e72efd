#pragma once
// `dotforge-cli find-layout`: which modes and default effects turn a glyph into
// the bytes a controller or an existing font holds for it.

#include "cli/arguments.h"
#include "formats/layout.h"

#include <functional>
#include <string>
#include <vector>

namespace dotforge::cli {

extern const std::vector<OptionSpec> kFindLayoutOptions;
extern const char *const kFindLayoutHelp;

// Bytes written in hexadecimal: pairs of digits, "0x" before a byte and spaces,
// commas, semicolons and line ends between bytes allowed ("80 00", "0x80,0x0",
// "8000"). UsageError naming `what` for anything else.
Sequence parseHexBytes(const std::string &text, const std::string &what);

// A glyph drawn as rows of '#' (ink) and '.': exactly n rows of n, empty lines
// and trailing blanks ignored. InputError for anything else.
GlyphPlane parseGlyphArt(const std::string &text, int n, const std::string &what);

// Renders one character as `build` would: called with build arguments (the glyph
// options of find-layout, mode C, -o into a temporary folder); returns its exit
// status.
using BuildRunner = std::function<int(const std::vector<std::string> &buildWords)>;

// Returns the exit status: 0 when some combination gives the bytes, 1 when none
// does (the closest is shown), 2 when a file cannot be read.
int runFindLayout(const Arguments &arguments, const BuildRunner &build);

} // namespace dotforge::cli
