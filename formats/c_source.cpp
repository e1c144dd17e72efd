#include "formats/c_source.h"

#include "core/gbk.h"
#include "core/hex.h"
#include "formats/code_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

namespace dotforge {

namespace {

bool identifierChar(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 0x80 && (std::isalnum(b) || c == '_');
}

// Appends "0xHH" (upper-case digits).
void appendHexByte(std::string &out, std::uint8_t b)
{
    const char text[4] = {'0', 'x', hexDigit(b >> 4), hexDigit(b)};
    out.append(text, 4);
}

// The eight characters of the dot picture of each byte value, leftmost dot
// (bit 7) first.
constexpr std::array<std::array<char, 8>, 256> kDotPictures = [] {
    std::array<std::array<char, 8>, 256> pictures{};
    for (int value = 0; value < 256; ++value)
        for (int bit = 0; bit < 8; ++bit)
            pictures[std::size_t(value)][std::size_t(bit)] = (value & (0x80 >> bit)) ? '#' : '.';
    return pictures;
}();

// Appends a glyph's dot picture, `height` comment rows of `width` dots (up to
// 32), closing the comment, and then its bytes, 16 to a line. Lines are put
// together in a buffer and appended whole; a byte of the plane gives eight
// characters of the picture at once.
void appendGlyphLines(std::string &out, const GlyphPlane &plane, int width, int height, const Sequence &glyph)
{
    char line[8 + 16 * 6 + 1];
    for (int y = 0; y < height; ++y) {
        std::memcpy(line, "     * ", 7);
        for (int b = 0; b < rowBytes(width); ++b)
            std::memcpy(line + 7 + 8 * b, kDotPictures[plane.at(y, b)].data(), 8);
        line[7 + width] = '\n';
        out.append(line, std::size_t(8 + width));
    }
    out += "     */\n";
    for (std::size_t i = 0; i < glyph.size(); i += 16) {
        std::memcpy(line, "   ", 3);
        std::size_t used = 3;
        for (std::size_t j = i; j < std::min(i + 16, glyph.size()); ++j) {
            const char bytes[6] = {' ', '0', 'x', hexDigit(glyph[j] >> 4), hexDigit(glyph[j]), ','};
            std::memcpy(line + used, bytes, 6);
            used += 6;
        }
        line[used++] = '\n';
        out.append(line, used);
    }
}

// Appends a number in decimal.
void appendNumber(std::string &out, std::size_t value)
{
    char digits[24];
    char *end = digits + sizeof digits;
    char *p = end;
    do {
        *--p = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    out.append(p, std::size_t(end - p));
}

// C has no empty arrays: an empty library keeps one zero byte in each.
std::size_t arrayLength(std::size_t bytes)
{
    return std::max<std::size_t>(bytes, 1);
}

// What the codes are, as the preamble says it.
std::string codesTitle(const CodeNaming &naming)
{
    switch (naming.set) {
    case CharSet::Gbt12345:
        return "GB/T 12345 (traditional characters at GB2312's positions)";
    case CharSet::Jisx0208:
        return "JIS X 0208 (EUC-JP)";
    case CharSet::Ksx1001:
        return naming.skipsRows13To15 ? "KS X 1001 (EUC-KR) as the Korean \"Font16s\" numbers them, rows 16 on "
                                        "three areas lower"
                                      : "KS X 1001 (EUC-KR)";
    case CharSet::Gb2312:
        return "GB2312";
    default:
        return "GBK";
    }
}

bool unicodeKeys(const CodeNaming &naming)
{
    return naming.set == CharSet::Unicode;
}

// The C type of a code point in NAME_codes: 16 bits while every one fits.
std::string codePointType(const std::vector<std::uint32_t> &codes)
{
    return std::all_of(codes.begin(), codes.end(), [](std::uint32_t c) { return c <= 0xFFFF; }) ? "uint16_t"
                                                                                                : "uint32_t";
}

std::string preamble(std::size_t count, int n, Mode mode, const std::string &writer,
    const std::vector<std::string> &buildNote, const CodeNaming &naming, const std::string &pointType = {})
{
    std::string out = "/* Dot-matrix font library written by " + writer + ".\n * " + std::to_string(count)
        + " glyph(s) of " + std::to_string(n) + " x " + std::to_string(n) + " dots, " + std::to_string(glyphBytes(n))
        + " bytes each, byte layout mode " + modeLetter(mode) + ";\n * the codes are "
        + (unicodeKeys(naming) ? "Unicode code points in ascending order, one " + pointType + " per glyph."
                               : codesTitle(naming) + ", two bytes per glyph.");
    return out + commentLines(buildNote) + " */\n";
}

// The code of each glyph as NAME_codes holds it.
std::vector<std::uint32_t> codeNumbers(const LibraryContent &content)
{
    std::vector<std::uint32_t> numbers(content.glyphs.size());
    for (std::size_t g = 0; g < numbers.size(); ++g)
        numbers[g] = cCodeNumber(g < content.codes.size() ? content.codes[g] : std::string());
    return numbers;
}

// The library indexes in ascending code order; empty when the library order
// ascends already, so that NAME_find can search NAME_codes itself.
std::vector<std::size_t> searchOrder(const std::vector<std::uint32_t> &codes)
{
    const std::size_t count = codes.size();
    bool ascending = true;
    for (std::size_t g = 1; g < count && ascending; ++g)
        ascending = codes[g - 1] < codes[g];
    if (ascending)
        return {};
    std::vector<std::size_t> order(count);
    for (std::size_t g = 0; g < count; ++g)
        order[g] = g;
    std::stable_sort(
        order.begin(), order.end(), [&codes](std::size_t a, std::size_t b) { return codes[a] < codes[b]; });
    return order;
}

// The line of NAME_codes of glyph g: as in the .ZMB file, a short code is
// padded with zero bytes; a code point is one number.
void appendCodeLine(std::string &out, const std::string &code, const std::string &shown, std::size_t g)
{
    const std::uint32_t value = cCodeNumber(code);
    out += "    ";
    if (code.size() == 4) {
        out += "0x";
        for (int shift = value > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
            out += hexDigit(unsigned(value >> shift));
    } else {
        appendHexByte(out, std::uint8_t(value >> 8));
        out += ", ";
        appendHexByte(out, std::uint8_t(value));
    }
    out += ", /* ";
    appendNumber(out, g);
    if (!shown.empty()) {
        out += ": ";
        out += shown;
    }
    out += " */\n";
}

// The half-width part of a library: NAME_half, NAME_half_chars,
// NAME_half_count and the search of a character among them.
std::string halfArrays(const HalfGlyphs &half, int n, Mode mode, const std::string &name)
{
    const std::size_t count = half.characters.size();
    const std::size_t bytes = std::size_t(boxBytes(half.box));
    std::string out = "/* The half-width glyphs: the printable ASCII characters of " + name + "_half_chars,\n * "
        + std::to_string(halfWidth(n)) + " x " + std::to_string(n) + " dots each, stored as "
        + std::to_string(half.box.width) + " x " + std::to_string(half.box.height) + " dots in the same byte layout";
    out += halfWidth(n) % 8 != 0 ? " (the columns past the glyph blank)" : "";
    out += ", " + std::to_string(bytes) + " bytes each.\n * " + name + "_find gives half-width glyph i as glyph " + name
        + "_count + i. */\n";
    out += "const unsigned char " + name + "_half[" + std::to_string(count * bytes) + "] = {\n";
    for (std::size_t i = 0; i < count; ++i) {
        const char c = half.characters[i];
        out += "    /* " + std::to_string(i) + ": 0x" + hexDigit(unsigned(c) >> 4) + hexDigit(unsigned(c))
            + (std::isalnum(static_cast<unsigned char>(c)) ? std::string(" ") + c : std::string()) + "\n";
        appendGlyphLines(
            out, fromFileOrder(half.glyphs[i], half.box, mode), half.box.width, half.box.height, half.glyphs[i]);
    }
    out += "};\n\nconst unsigned char " + name + "_half_chars[" + std::to_string(count) + "] = {";
    for (std::size_t i = 0; i < count; ++i) {
        out += i % 12 == 0 ? "\n   " : "";
        out += " ";
        appendHexByte(out, std::uint8_t(half.characters[i]));
        out += ",";
    }
    out += "\n};\n\nconst unsigned int " + name + "_half_count = " + std::to_string(count) + ";\n\n";
    out += "/* The glyph number of a half-width character, or -1. */\n";
    out += "static int " + name + "_find_half(unsigned int c)\n{\n";
    out += "    unsigned int low = 0;\n";
    out += "    unsigned int high = " + name + "_half_count;\n";
    out += "    while (low < high) {\n";
    out += "        const unsigned int middle = low + (high - low) / 2u;\n";
    out += "        if (" + name + "_half_chars[middle] < c)\n            low = middle + 1u;\n";
    out += "        else if (" + name + "_half_chars[middle] > c)\n            high = middle;\n";
    out += "        else\n            return (int)(" + name + "_count + middle);\n";
    out += "    }\n    return -1;\n}\n\n";
    return out;
}

// The branch of a find function that hands ASCII to the half-width glyphs.
std::string halfBranch(const std::string &name, const std::string &variable, const HalfGlyphs &half)
{
    if (half.empty())
        return {};
    return "    if (" + variable + " < 0x80u)\n        return " + name + "_find_half(" + variable + ");\n";
}

// NAME_bitmap and NAME_width, for a library with half-width glyphs.
std::string glyphAccess(const std::string &name, const HalfGlyphs &half, int n)
{
    if (half.empty())
        return {};
    return "\n/* The dots of glyph g as " + name + "_find gives it: from " + name + "_glyphs for g below\n * " + name
        + "_count, else from " + name + "_half. */\nconst unsigned char *" + name + "_bitmap(int g)\n{\n"
        + "    if (g < (int)" + name + "_count)\n        return " + name + "_glyphs + (unsigned long)g * "
        + std::to_string(glyphBytes(n)) + "u;\n    return " + name + "_half + (unsigned long)(g - (int)" + name
        + "_count) * " + std::to_string(boxBytes(half.box))
        + "u;\n}\n\n/* The width in dots of glyph g: " + std::to_string(n) + ", or " + std::to_string(halfWidth(n))
        + " for a half-width one. */\nint " + name + "_width(int g)\n{\n    return g < (int)" + name + "_count ? "
        + std::to_string(n) + " : " + std::to_string(halfWidth(n)) + ";\n}\n";
}

// NAME_find over code points in ascending order, and NAME_find_utf8.
std::string unicodeFindFunctions(const std::string &name, const HalfGlyphs &half)
{
    return "/* The index in " + name
        + "_glyphs of the glyph of a code point, or -1 when the library\n"
          " * has none: a binary search over the code points in ascending order. */\n"
          "int "
        + name + "_find(uint32_t cp)\n{\n" + halfBranch(name, "cp", half)
        + "    unsigned int low = 0;\n    unsigned int high = " + name
        + "_count;\n    while (low < high) {\n        const unsigned int middle = low + (high - low) / 2u;\n"
          "        if ("
        + name + "_codes[middle] < cp)\n            low = middle + 1u;\n        else if (" + name
        + "_codes[middle] > cp)\n            high = middle;\n        else\n            return (int)middle;\n"
          "    }\n    return -1;\n}\n\n"
          "/* Reads one UTF-8 character at *s, moves *s past it and returns its glyph\n"
          " * as "
        + name
        + "_find does, or -1. Bytes that form no character (a stray\n"
          " * continuation byte, a sequence cut short, an overlong form, a surrogate,\n"
          " * a value past U+10FFFF) are passed over as one unit and give -1; the\n"
          " * terminating NUL is never passed, and at it *s stays and -1 is returned. */\n"
          "int "
        + name
        + "_find_utf8(const char **s)\n{\n"
          "    const unsigned char *p = (const unsigned char *)*s;\n"
          "    static const uint32_t least[5] = {0u, 0u, 0x80u, 0x800u, 0x10000u};\n"
          "    unsigned int length;\n    unsigned int i;\n    uint32_t cp;\n"
          "    if (p[0] == 0u)\n        return -1;\n"
          "    if (p[0] < 0x80u) {\n        *s += 1;\n        return "
        + name
        + "_find(p[0]);\n    }\n"
          "    if ((p[0] & 0xE0u) == 0xC0u) {\n        length = 2u;\n        cp = p[0] & 0x1Fu;\n"
          "    } else if ((p[0] & 0xF0u) == 0xE0u) {\n        length = 3u;\n        cp = p[0] & 0x0Fu;\n"
          "    } else if ((p[0] & 0xF8u) == 0xF0u) {\n        length = 4u;\n        cp = p[0] & 0x07u;\n"
          "    } else {\n        *s += 1;\n        return -1;\n    }\n"
          "    for (i = 1u; i < length; ++i) {\n"
          "        if ((p[i] & 0xC0u) != 0x80u) {\n            *s += i;\n            return -1;\n        }\n"
          "        cp = cp << 6 | (p[i] & 0x3Fu);\n    }\n"
          "    *s += length;\n"
          "    if (cp < least[length] || cp > 0x10FFFFu || (cp >= 0xD800u && cp <= 0xDFFFu))\n        return -1;\n"
          "    return "
        + name + "_find(cp);\n}\n";
}

std::string findFunction(const std::string &name, const std::vector<std::size_t> &order, const HalfGlyphs &half)
{
    std::string out;
    std::string at = "middle";
    if (!order.empty()) {
        out += "/* The glyphs in ascending code order, for " + name + "_find. */\n";
        out += "static const unsigned short " + name + "_order[" + std::to_string(order.size()) + "] = {";
        for (std::size_t i = 0; i < order.size(); ++i)
            out += std::string(i % 12 == 0 ? "\n   " : "") + " " + std::to_string(order[i]) + ",";
        out += "\n};\n\n";
        at = name + "_order[middle]";
    }
    out += "/* The index in " + name
        + "_glyphs of the glyph of a code (first byte x 256\n"
          " * + second byte), or -1 when the library has none: a binary search over the\n"
          " * codes in ascending order. Glyph i starts at byte i x "
        + cMacroPrefix(name) + "_GLYPH_BYTES of " + name
        + "_glyphs:\n * where int has 16 bits, compute that offset as an unsigned long. */\n";
    out += "int " + name + "_find(unsigned int code)\n{\n";
    out += halfBranch(name, "code", half);
    out += "    unsigned int low = 0;\n";
    out += "    unsigned int high = " + name + "_count;\n";
    out += "    while (low < high) {\n";
    out += "        const unsigned int middle = low + (high - low) / 2u;\n";
    out += "        const unsigned int at = " + at + ";\n";
    out += "        const unsigned int found = (unsigned int)" + name + "_codes[2u * at] << 8 | " + name
        + "_codes[2u * at + 1u];\n";
    out += "        if (found < code)\n            low = middle + 1u;\n";
    out += "        else if (found > code)\n            high = middle;\n";
    out += "        else\n            return (int)at;\n";
    out += "    }\n    return -1;\n}\n";
    return out;
}

} // namespace

std::string cIdentifier(const std::string &stem)
{
    std::string name;
    for (const char c : stem) {
        if (identifierChar(c) && c != '_')
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    if (name.empty())
        return "font";
    if (std::isdigit(static_cast<unsigned char>(name[0])))
        name = "font_" + name;
    return name;
}

std::string cMacroPrefix(const std::string &name)
{
    std::string prefix = name;
    std::transform(prefix.begin(), prefix.end(), prefix.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return prefix;
}

bool isCIdentifier(const std::string &name)
{
    return !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0]))
        && std::all_of(name.begin(), name.end(), identifierChar);
}

std::uint32_t cCodeNumber(const std::string &code)
{
    return codeNumberOf(code);
}

std::vector<std::uint32_t> cCodeNumbers(const std::vector<std::string> &codes)
{
    std::vector<std::uint32_t> numbers(codes.size());
    for (std::size_t g = 0; g < codes.size(); ++g)
        numbers[g] = cCodeNumber(codes[g]);
    return numbers;
}

CGlyphText cGlyphText(const LibraryContent &content, int n, Mode mode, std::size_t from, std::size_t to,
    std::size_t indexBase, const CodeNaming &naming)
{
    return cGlyphText(content.glyphs, content.codes, n, mode, from, to, indexBase, naming);
}

CGlyphText cGlyphText(const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes, int n, Mode mode,
    std::size_t from, std::size_t to, std::size_t indexBase, const CodeNaming &naming)
{
    CGlyphText text;
    const std::size_t glyphSize = std::size_t(glyphBytes(n));
    // Each glyph: its dot picture (n rows of n + 8 characters), 6 characters a
    // byte, a comment line; each code a line.
    text.glyphs.reserve((to - from) * (std::size_t(n) * std::size_t(n + 8) + glyphSize * 6 + 64));
    text.codes.reserve((to - from) * 48);
    std::string &out = text.glyphs;
    for (std::size_t g = from; g < to; ++g) {
        text.glyphStarts.push_back(out.size());
        const std::string code = g < codes.size() ? codes[g] : std::string();
        const std::string shown = shownCharacter(code, naming);
        out += "    /* ";
        appendNumber(out, indexBase + g);
        out += ": ";
        out += codeHex(code);
        if (!shown.empty()) {
            out += ' ';
            out += shown;
        }
        out += '\n';
        appendGlyphLines(out, decodeGlyph(glyphs[g], n, mode, {}), n, n, glyphs[g]);

        text.codeStarts.push_back(text.codes.size());
        appendCodeLine(text.codes, code, shown, indexBase + g);
    }
    return text;
}

std::string cCodeLines(const std::vector<std::string> &codes, std::size_t indexBase, const CodeNaming &naming)
{
    std::string out;
    out.reserve(codes.size() * 48);
    for (std::size_t i = 0; i < codes.size(); ++i)
        appendCodeLine(out, codes[i], shownCharacter(codes[i], naming), indexBase + i);
    return out;
}

std::string cSource(const LibraryContent &content, int n, Mode mode, const std::string &name, const std::string &writer,
    const std::vector<std::string> &buildNote, std::vector<std::size_t> *glyphStarts)
{
    const std::vector<CGlyphText> pieces{cGlyphText(content, n, mode, 0, content.glyphs.size())};
    return cSourceText(content, n, mode, name, writer, buildNote, pieces, glyphStarts).joined();
}

std::vector<std::string_view> CSourceText::parts() const
{
    std::vector<std::string_view> out{opening};
    for (const CGlyphText &piece : *pieces)
        out.push_back(piece.glyphs);
    out.push_back(between);
    for (const CGlyphText &piece : *pieces)
        out.push_back(piece.codes);
    out.push_back(closing);
    return out;
}

std::string CSourceText::joined() const
{
    std::string out;
    for (const std::string_view part : parts())
        out += part;
    return out;
}

CSourceText cSourceText(const LibraryContent &content, int n, Mode mode, const std::string &name,
    const std::string &writer, const std::vector<std::string> &buildNote, const std::vector<CGlyphText> &pieces,
    std::vector<std::size_t> *glyphStarts, const CodeNaming &naming)
{
    CSourceText text = cSourceFrame(codeNumbers(content), n, mode, name, writer, buildNote, naming, content.half);
    text.pieces = &pieces;
    std::size_t at = text.opening.size();
    for (const CGlyphText &piece : pieces) {
        if (glyphStarts)
            for (const std::size_t start : piece.glyphStarts)
                glyphStarts->push_back(at + start);
        at += piece.glyphs.size();
    }
    at += text.between.size();
    for (const CGlyphText &piece : pieces) {
        if (glyphStarts)
            for (const std::size_t start : piece.codeStarts)
                glyphStarts->push_back(at + start);
        at += piece.codes.size();
    }
    if (glyphStarts)
        glyphStarts->push_back(at + text.codesEnd);
    return text;
}

CSourceText cSourceFrame(const std::vector<std::uint32_t> &codeNumbers, int n, Mode mode, const std::string &name,
    const std::string &writer, const std::vector<std::string> &buildNote, const CodeNaming &naming,
    const HalfGlyphs &half)
{
    const std::size_t count = codeNumbers.size();
    const std::size_t glyphSize = std::size_t(glyphBytes(n));
    const bool unicode = unicodeKeys(naming);
    const std::string pointType = codePointType(codeNumbers);
    CSourceText text;
    text.opening = preamble(count, n, mode, writer, buildNote, naming, pointType) + "\n"
        + (unicode ? "#include <stdint.h>\n\n" : "") + "const unsigned char " + name + "_glyphs["
        + std::to_string(arrayLength(count * glyphSize)) + "] = {\n";
    if (count == 0)
        text.between = "    0x00, /* no glyph */\n";
    text.between += "};\n\nconst " + (unicode ? pointType : std::string("unsigned char")) + " " + name + "_codes["
        + std::to_string(arrayLength(unicode ? count : 2 * count)) + "] = {\n";
    if (count == 0)
        text.closing = unicode ? "    0x0000, /* no glyph */\n" : "    0x00, /* no glyph */\n";
    text.closing += "};\n\n";
    text.codesEnd = text.closing.size();
    text.closing += "const unsigned int " + name + "_count = " + std::to_string(count) + ";\n\n";
    if (!half.empty())
        text.closing += halfArrays(half, n, mode, name);
    text.closing += unicode ? unicodeFindFunctions(name, half) : findFunction(name, searchOrder(codeNumbers), half);
    text.closing += glyphAccess(name, half, n);
    return text;
}

std::string cHeader(std::size_t count, int n, Mode mode, const std::string &name, const std::string &writer,
    const std::vector<std::string> &buildNote, const CodeNaming &naming, std::uint32_t largestCode,
    const HalfGlyphs &half)
{
    const std::string prefix = cMacroPrefix(name);
    const std::string guard = prefix + "_H";
    const std::size_t glyphSize = std::size_t(glyphBytes(n));
    const bool unicode = unicodeKeys(naming);
    const std::string pointType = codePointType({largestCode});
    std::string out = preamble(count, n, mode, writer, buildNote, naming, pointType) + "\n";
    out += "#ifndef " + guard + "\n#define " + guard + "\n\n";
    if (unicode)
        out += "#include <stdint.h>\n\n";
    out += "#define " + prefix + "_DOTS " + std::to_string(n) + " /* glyph width and height */\n";
    out += "#define " + prefix + "_GLYPH_BYTES " + std::to_string(glyphSize) + " /* bytes per glyph */\n";
    out += "#define " + prefix + "_COUNT " + std::to_string(count) + "\n";
    if (!half.empty()) {
        out += "#define " + prefix + "_HALF_DOTS " + std::to_string(halfWidth(n))
            + " /* half-width glyph width; its height is " + prefix + "_DOTS */\n";
        out += "#define " + prefix + "_HALF_BYTES " + std::to_string(boxBytes(half.box))
            + " /* bytes per half-width glyph (" + std::to_string(half.box.width) + " x "
            + std::to_string(half.box.height) + " dots stored) */\n";
        out += "#define " + prefix + "_HALF_COUNT " + std::to_string(half.characters.size()) + "\n";
    }
    out += "\n";
    out += "#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n";
    out += "extern const unsigned char " + name + "_glyphs[" + std::to_string(arrayLength(count * glyphSize)) + "];\n";
    if (unicode) {
        out += "extern const " + pointType + " " + name + "_codes[" + std::to_string(arrayLength(count))
            + "]; /* code points, ascending */\n";
        out += "extern const unsigned int " + name + "_count;\n";
        out += "/* The index of the glyph of a code point, or -1. */\n";
        out += "int " + name + "_find(uint32_t cp);\n";
        out += "/* The glyph of the UTF-8 character at *s, or -1; *s moves past the character\n"
               " * (bytes that form none are passed over as one unit, a NUL never):\n"
               " *     while (*s) {\n"
               " *         int g = "
            + name + "_find_utf8(&s);\n *         ...\n *     } */\n";
        out += "int " + name + "_find_utf8(const char **s);\n\n";
    } else {
        out += "extern const unsigned char " + name + "_codes[" + std::to_string(arrayLength(2 * count)) + "];\n";
        out += "extern const unsigned int " + name + "_count;\n";
        out += "/* The index of the glyph of a code (first byte x 256 + second byte), or -1. */\n";
        out += "int " + name + "_find(unsigned int code);\n\n";
    }
    if (!half.empty()) {
        out += "/* Half-width glyphs: the printable ASCII characters of " + name + "_half_chars,\n * ascending; " + name
            + "_find gives half-width glyph i as glyph " + name + "_count + i. */\n";
        out += "extern const unsigned char " + name + "_half["
            + std::to_string(half.characters.size() * std::size_t(boxBytes(half.box))) + "];\n";
        out += "extern const unsigned char " + name + "_half_chars[" + std::to_string(half.characters.size()) + "];\n";
        out += "extern const unsigned int " + name + "_half_count;\n";
        out += "/* The dots of glyph g as " + name + "_find gives it, and its width in dots\n * (" + prefix
            + "_DOTS, or " + prefix + "_HALF_DOTS for a half-width glyph). */\n";
        out += "const unsigned char *" + name + "_bitmap(int g);\n";
        out += "int " + name + "_width(int g);\n\n";
    }
    out += "#ifdef __cplusplus\n}\n#endif\n\n#endif /* " + guard + " */\n";
    return out;
}

CDataSizes cDataSizes(const LibraryContent &content, int n, const CodeNaming &naming)
{
    const std::size_t count = content.glyphs.size();
    CDataSizes sizes;
    sizes.glyphs = arrayLength(count * std::size_t(glyphBytes(n)));
    sizes.half = content.half.characters.size() * (std::size_t(boxBytes(content.half.box)) + 1);
    const std::vector<std::uint32_t> codes = codeNumbers(content);
    if (unicodeKeys(naming)) {
        sizes.codes = arrayLength(count) * (codePointType(codes) == "uint16_t" ? 2 : 4);
        return sizes;
    }
    sizes.codes = arrayLength(2 * count);
    sizes.index = 2 * searchOrder(codes).size(); // unsigned short: two bytes on the usual targets
    return sizes;
}

} // namespace dotforge
