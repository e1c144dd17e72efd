#pragma once
// Glyphs as text, for the dump; their codes as text come from
// formats/code_text.h.

#include "formats/code_text.h"
#include "formats/library_content.h"

#include <string>
#include <string_view>
#include <vector>

namespace dotforge::cli {

// The dots of a converted sequence decoded under a mode, with the default
// effects it was written with undone: n rows of '#' (ink) and '.'.
std::vector<std::string> glyphRows(const Sequence &sequence, int n, Mode mode, Effects effects = {});

// What `dump` prints: each glyph under a line with its code and character, the
// glyphs separated by an empty line.
std::string dumpText(
    const LibraryContent &content, int n, Mode mode, Effects effects = {}, const CodeNaming &naming = {});

} // namespace dotforge::cli
