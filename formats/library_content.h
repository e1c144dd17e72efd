#pragma once
// What a library file holds once read: converted sequences and their codes, in
// library order, as the .ZMB and .ASM readers deliver them.

#include "formats/layout.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace dotforge {

// Half-width glyphs beside a library's square ones, in C and BDF output: the
// printable ASCII characters (U+0020 to U+007E) in ascending order, each a
// half glyph (core/glyph.h) converted as the square ones are.
struct HalfGlyphs {
    std::string characters;
    std::vector<Sequence> glyphs; // halfGlyphBytes(n) bytes each
    GlyphBox box{8, 16}; // the box the sequences hold: the half box, turned by a quarter rotation
    bool empty() const { return characters.empty(); }
};

struct LibraryContent {
    std::vector<Sequence> glyphs; // each n * n / 8 bytes, in the file's byte layout
    std::vector<std::string> codes; // one per glyph; GBK bytes, at most two
    bool cutShort = false; // the file holds more glyphs than the reader took
    HalfGlyphs half; // none in a .ZMB or .ASM file
};

// A file that cannot be of the format it is read as (the wrong file type was
// chosen, or the wrong dot size): nothing of it is taken. what() says why in
// the batch tool's words; the window words it from the fields.
class FormatError : public std::runtime_error {
public:
    enum class Fault {
        Text, // .ZMB: the file is printable text with line ends (an .ASM file, say)
        Size, // .ZMB: `number` bytes are no whole number of glyphs with their codes
        Code, // .ZMB: the code of glyph `number` (from 0) is `code`, which no entry makes
        NotText, // .ASM: line `number` (from 1) holds `byte`, which no text holds
    };
    FormatError(Fault fault, std::int64_t number, int n, std::string code = {});

    Fault fault() const { return m_fault; }
    std::int64_t number() const { return m_number; }
    int dotSize() const { return m_n; }
    const std::string &code() const { return m_code; } // the two code bytes, or the byte of NotText
    std::string codeHex() const; // code() as "0A 41"

private:
    Fault m_fault;
    std::int64_t m_number;
    int m_n;
    std::string m_code;
};

} // namespace dotforge
