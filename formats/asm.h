#pragma once
// The .ASM file: assembler source of DB lines, n / 4 lines per glyph, each line
// the 4 * n / 8 bytes of four glyph rows as "0XXH" values; the glyph's first line
// ends with ";" and its two code bytes, raw, and a space when the last code byte
// is a backslash (which would join the next line to it). Lines end with CR LF.

#include "formats/library_content.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace dotforge {

// The value of the hexadecimal digits (either case) at the start of `text`; the
// first other character ends the scan. Empty text, or a first character that is
// no digit, gives 0.
int HextoInt(std::string_view text);

std::string writeAsm(const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes, int n);

// Lines of a text as the reader takes them: a line ends at LF, and a CR right
// before it (or at the very end) belongs to the line end. A line that starts with
// Ctrl-Z (0x1A) marks the end of the text. A line keeps at most kMaxLine bytes
// (a glyph line has fewer than 100) and the rest of it is skipped, so that a
// file without line ends is never held whole.
class LineReader {
public:
    static constexpr std::size_t kMaxLine = 64 * 1024;

    // Fills the buffer with up to `max` bytes; 0 at the end. May throw.
    using Fill = std::function<std::size_t(char *buffer, std::size_t max)>;
    explicit LineReader(Fill fill);

    bool atEnd();
    // The next line without its end; empty at the end of the text.
    std::string readLine();

private:
    bool fillMore();
    Fill m_fill;
    std::string m_buffer; // text not yet taken starts at m_pos
    std::vector<char> m_chunk; // what one fill delivers
    std::size_t m_pos = 0;
    bool m_exhausted = false;
};

// The next glyph of the text and its code, as readAsm takes them; false when
// reading ends before it: the text ends, or an empty line or the end comes
// before the glyph's third line. `lineNumber` counts the lines read; a line
// that is no text raises FormatError as readAsm does.
bool readAsmGlyph(LineReader &lines, int n, Sequence &glyph, std::string &code, std::int64_t &lineNumber);

// Reads glyphs until the text ends, an empty line or the end comes before a
// glyph's third line (that glyph is dropped), or `limit` glyphs were taken. A
// glyph whose lines stop after the third keeps its unread rows clear. A line
// whose values hold a byte no text holds (a control byte other than tab, form
// feed, carriage return and Ctrl-Z, before the line's first ";") raises
// FormatError: the file is no .ASM file (a .ZMB file, say).
LibraryContent readAsm(LineReader &lines, int n, int limit = kLibraryCapacity);
LibraryContent readAsm(std::string_view text, int n, int limit = kLibraryCapacity);

} // namespace dotforge
