#pragma once
// Glyphs and codes as text, for the dump, C comments and messages.

#include "formats/library_content.h"

#include <string>
#include <string_view>
#include <vector>

namespace dotforge::cli {

// "A" to "D".
char modeLetter(Mode mode);
// A code as hexadecimal digits, two per byte ("B0A1").
std::string codeHex(const std::string &code);
// The character of a code as UTF-8 when the code is exactly one GBK character
// (or two plain letters or digits); empty for anything that is no such text.
std::string shownCharacter(const std::string &code);
// The code and its character when there is one: "B0A1 啊", "2A2F".
std::string codeLabel(const std::string &code);
// Bytes as UTF-8 text that can be shown: valid UTF-8 as it is, every other
// byte as \xNN (a file name of another encoding, "caf\xE9.zmb").
std::string readableText(std::string_view bytes);
// The dots of a converted sequence decoded under a mode, with the default
// effects it was written with undone: n rows of '#' (ink) and '.'.
std::vector<std::string> glyphRows(const Sequence &sequence, int n, Mode mode, Effects effects = {});

// What `dump` prints: each glyph under a line with its code and character, the
// glyphs separated by an empty line.
std::string dumpText(const LibraryContent &content, int n, Mode mode, Effects effects = {});

} // namespace dotforge::cli
