#pragma once
// A library as C99 source for firmware projects: NAME_glyphs (the converted
// sequences in order, byte for byte as in the .ZMB file), NAME_codes (two
// bytes per glyph, or code points), NAME_count and NAME_find (the glyph of a code by binary
// search), and the header that declares them. The code is plain C99 for any
// int of 16 bits or more: counts and indexes stay below 65,536, and no
// offset into NAME_glyphs is computed in an int.

#include "core/charsets.h"
#include "formats/library_content.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

// A C identifier made from a file's stem: every run of other characters becomes
// one "_", leading and trailing ones are dropped, a leading digit gets "font_"
// before it; "font" when nothing is left.
std::string cIdentifier(const std::string &stem);
bool isCIdentifier(const std::string &name);
// The prefix of the macros of C output named `name`: NAME in upper case.
std::string cMacroPrefix(const std::string &name);

// `writer`: the program and version the opening comment names as the writer
// ("... written by WRITER."). `buildNote`: lines that the opening comment adds to its description (how
// the library was made), without comment markers; what cannot stand in a
// comment as it is ("/*", "*/", control bytes, bidirectional controls, bytes
// of no UTF-8, a backslash) is written as an escape (\\, \xNN, \uXXXX).
// *glyphStarts, when given, gets the offset in the text at which each glyph's
// part of NAME_glyphs begins, then that of each code's line of NAME_codes, then
// the end of NAME_codes (2 x count + 1 offsets), so that a difference can be
// traced to its glyph.
std::string cSource(const LibraryContent &content, int n, Mode mode, const std::string &name, const std::string &writer,
    const std::vector<std::string> &buildNote = {}, std::vector<std::size_t> *glyphStarts = nullptr);
// The text of glyphs [from, to) in a library's C source: their part of
// NAME_glyphs and their lines of NAME_codes, with the offset in each at which
// every glyph's text begins. Apart from the rest, so that threads can write the
// glyphs side by side.
struct CGlyphText {
    std::string glyphs;
    std::string codes;
    std::vector<std::size_t> glyphStarts;
    std::vector<std::size_t> codeStarts;
};
// `indexBase`: the index in the library of the content's first glyph, when
// the content holds a run of the library's glyphs (the text numbers them).
CGlyphText cGlyphText(const LibraryContent &content, int n, Mode mode, std::size_t from, std::size_t to,
    std::size_t indexBase = 0, const CodeNaming &naming = {});
// The same of glyphs and codes held apart (codes other than the ones they were
// drawn by).
CGlyphText cGlyphText(const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes, int n, Mode mode,
    std::size_t from, std::size_t to, std::size_t indexBase, const CodeNaming &naming);
// The lines of NAME_codes of a run of codes, the first of glyph `indexBase`:
// the `codes` part of cGlyphText without the glyphs.
std::string cCodeLines(const std::vector<std::string> &codes, std::size_t indexBase, const CodeNaming &naming = {});
// A code as NAME_codes and NAME_find take it: first byte x 256 + second byte,
// missing bytes zero; a Unicode code (four bytes) its code point.
std::uint32_t cCodeNumber(const std::string &code);
// cCodeNumber of each code.
std::vector<std::uint32_t> cCodeNumbers(const std::vector<std::string> &codes);

// The C source around the glyphs' text of consecutive ranges that cover the
// library, which stays in the pieces: the file is written part by part, never
// copied whole. `pieces` must outlive it; glyphStarts as for cSource.
struct CSourceText {
    std::string opening; // the comment and the start of NAME_glyphs
    std::string between; // the end of NAME_glyphs and the start of NAME_codes
    std::string closing; // the end of NAME_codes, NAME_count and NAME_find
    std::size_t codesEnd = 0; // where NAME_codes ends in `closing`
    const std::vector<CGlyphText> *pieces = nullptr;
    std::vector<std::string_view> parts() const;
    std::string joined() const;
};
CSourceText cSourceText(const LibraryContent &content, int n, Mode mode, const std::string &name,
    const std::string &writer, const std::vector<std::string> &buildNote, const std::vector<CGlyphText> &pieces,
    std::vector<std::size_t> *glyphStarts = nullptr, const CodeNaming &naming = {});

// The same without pieces, for a library written a run of glyphs at a time:
// the text around the glyphs' text of a library whose codes, as cCodeNumber
// gives them, are `codeNumbers` (one per glyph).
// The opening comment says what the codes are, as `naming` reads them. A
// library of Unicode codes (naming Unicode) has its glyphs in ascending code
// point order: NAME_codes holds the code points (uint16_t while all are below
// U+10000, else uint32_t), NAME_find(uint32_t) searches them and
// NAME_find_utf8 reads the character at a UTF-8 string's pointer.
// Half-width glyphs, when there are any, follow NAME_count as NAME_half,
// NAME_half_chars and NAME_half_count; NAME_find hands an ASCII code to them
// (glyph NAME_count + i), and NAME_bitmap(g) and NAME_width(g) give any
// glyph's dots and width.
CSourceText cSourceFrame(const std::vector<std::uint32_t> &codeNumbers, int n, Mode mode, const std::string &name,
    const std::string &writer, const std::vector<std::string> &buildNote, const CodeNaming &naming = {},
    const HalfGlyphs &half = {});

// `largestCode`: the largest code point of a library of Unicode codes, which
// decides the type of NAME_codes.
std::string cHeader(std::size_t count, int n, Mode mode, const std::string &name, const std::string &writer,
    const std::vector<std::string> &buildNote = {}, const CodeNaming &naming = {}, std::uint32_t largestCode = 0,
    const HalfGlyphs &half = {});

// The data bytes of the C source, for --report.
struct CDataSizes {
    std::size_t glyphs = 0; // NAME_glyphs
    std::size_t codes = 0; // NAME_codes
    std::size_t index = 0; // the sorted order NAME_find searches when the codes do not ascend
    std::size_t half = 0; // NAME_half and NAME_half_chars
    std::size_t total() const { return glyphs + codes + index + half; }
};
CDataSizes cDataSizes(const LibraryContent &content, int n, const CodeNaming &naming = {});

} // namespace dotforge
