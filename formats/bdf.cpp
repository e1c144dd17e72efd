#include "formats/bdf.h"
#include "formats/code_text.h"

#include "core/gbk.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace dotforge {

namespace {

// The code point of UTF-8 text that is exactly one valid character; 0 otherwise.
std::string hex(unsigned value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
    return buffer;
}

// A code in a COMMENT: its bytes in hexadecimal, "(empty)" for none.
std::string commentedCode(const std::string &code)
{
    std::string out;
    for (const char c : code)
        out += hex(static_cast<unsigned char>(c), 2);
    return out.empty() ? "(empty)" : out;
}

std::string glyphName(char32_t cp)
{
    return cp <= 0xFFFF ? "uni" + hex(unsigned(cp), 4) : "u" + hex(unsigned(cp), 5);
}

// Every glyph's box: the n x n square, its bottom n / 8 rows below the baseline.
std::string boundingBox(int n)
{
    return std::to_string(n) + " " + std::to_string(n) + " 0 " + std::to_string(-(n / 8));
}

} // namespace

std::vector<BdfEncoding> bdfEncodings(const std::vector<std::string> &codes, const CodeNaming &naming)
{
    return bdfEncodings(
        codes.size(), [&codes](std::size_t g) { return codes[g]; }, naming);
}

std::vector<BdfEncoding> bdfEncodings(
    std::size_t count, const std::function<std::string(std::size_t)> &codeAt, const CodeNaming &naming)
{
    std::vector<BdfEncoding> out(count);
    // The code points given out so far, one bit each: a library of millions of
    // glyphs takes as many private-use stand-ins.
    std::vector<bool> taken;
    const auto take = [&taken](char32_t cp) {
        if (cp >= taken.size())
            taken.resize(std::max<std::size_t>(std::size_t(cp) + 1, 2 * taken.size()));
        const bool before = taken[cp];
        taken[cp] = true;
        return !before;
    };
    const auto isTaken = [&taken](char32_t cp) { return cp < taken.size() && taken[cp]; };
    for (std::size_t g = 0; g < count; ++g) {
        const std::string code = codeAt(g);
        if (code.empty())
            continue;
        const std::optional<char32_t> cp = codeCharacter(code, naming);
        if (!cp || *cp == 0)
            continue;
        out[g].codePoint = *cp;
        out[g].character = true;
        out[g].duplicate = !take(*cp);
    }
    for (std::size_t g = 0; g < count; ++g) {
        if (out[g].character)
            continue;
        char32_t cp = kBdfPrivateBase + char32_t(g);
        while (isTaken(cp))
            ++cp;
        take(cp);
        out[g].codePoint = cp;
    }
    return out;
}

std::string bdfFamilyName(const std::string &stem)
{
    std::string out;
    for (const char c : stem) {
        const bool keep = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' '
            || c == '_' || c == '.' || c == '+';
        out += keep ? c : '_';
    }
    return out.find_first_not_of("_ ") == std::string::npos ? "Dotforge" : out;
}

std::string writeBdf(const std::vector<GlyphPlane> &planes, const std::vector<std::string> &codes, int n,
    const std::string &family, const CodeNaming &naming)
{
    std::vector<std::string> glyphCodes(
        codes.begin(), codes.begin() + std::ptrdiff_t(std::min(codes.size(), planes.size())));
    glyphCodes.resize(planes.size());
    const std::vector<BdfEncoding> encodings = bdfEncodings(glyphCodes, naming);
    return bdfHead(encodings, n, family) + bdfGlyphs(planes, glyphCodes, 0, encodings, n) + bdfEnd();
}

std::string bdfHead(const std::vector<BdfEncoding> &encodings, int n, const std::string &family, std::size_t halfCount)
{
    const std::size_t glyphs = encodings.size() + halfCount;
    const int descent = n / 8;
    const int ascent = n - descent;
    const int points = n * 72 / 96;
    const std::string size = std::to_string(n);
    std::string out = "STARTFONT 2.1\n";
    out += "COMMENT Dotforge font library, " + size + " x " + size + " dots, " + std::to_string(encodings.size())
        + " glyphs" + (halfCount > 0 ? " and " + std::to_string(halfCount) + " half-width ones" : std::string()) + "\n";
    // Half-width glyphs make the font proportional; the average width is in
    // tenths of a pixel.
    const std::string spacing = halfCount > 0 ? "P" : "C";
    const std::size_t averageWidth = glyphs == 0
        ? std::size_t(n) * 10
        : (encodings.size() * std::size_t(n) + halfCount * std::size_t(halfWidth(n))) * 10 / glyphs;
    out += "FONT -Dotforge-" + family + "-Medium-R-Normal--" + size + "-" + std::to_string(points * 10) + "-96-96-"
        + spacing + "-" + std::to_string(averageWidth) + "-ISO10646-1\n";
    out += "SIZE " + std::to_string(points) + " 96 96\n";
    out += "FONTBOUNDINGBOX " + boundingBox(n) + "\n";
    const std::vector<std::string> properties{
        "FOUNDRY \"Dotforge\"",
        "FAMILY_NAME \"" + family + "\"",
        "WEIGHT_NAME \"Medium\"",
        "SLANT \"R\"",
        "SETWIDTH_NAME \"Normal\"",
        "ADD_STYLE_NAME \"\"",
        "PIXEL_SIZE " + size,
        "POINT_SIZE " + std::to_string(points * 10),
        "RESOLUTION_X 96",
        "RESOLUTION_Y 96",
        "SPACING \"" + spacing + "\"",
        "AVERAGE_WIDTH " + std::to_string(averageWidth),
        "CHARSET_REGISTRY \"ISO10646\"",
        "CHARSET_ENCODING \"1\"",
        "FONT_ASCENT " + std::to_string(ascent),
        "FONT_DESCENT " + std::to_string(descent),
    };
    // DEFAULT_CHAR names the first glyph.
    const bool hasDefault = !encodings.empty(); // a square glyph
    out += "STARTPROPERTIES " + std::to_string(properties.size() + (hasDefault ? 1 : 0)) + "\n";
    for (const std::string &property : properties)
        out += property + "\n";
    if (hasDefault)
        out += "DEFAULT_CHAR " + std::to_string(encodings.front().codePoint) + "\n";
    out += "ENDPROPERTIES\n";
    out += "CHARS " + std::to_string(glyphs) + "\n";
    return out;
}

std::string bdfGlyphs(const std::vector<GlyphPlane> &planes, const std::vector<std::string> &codes, std::size_t from,
    const std::vector<BdfEncoding> &encodings, int n)
{
    const std::string size = std::to_string(n);
    const std::string bbx = boundingBox(n);
    std::string out;
    for (std::size_t i = 0; i < planes.size(); ++i) {
        const std::size_t g = from + i;
        const std::string code = commentedCode(i < codes.size() ? codes[i] : std::string());
        const BdfEncoding &e = encodings[g];
        if (e.duplicate)
            out += "COMMENT code " + code + ": its code point is taken by an earlier glyph; written unencoded\n";
        else if (!e.character)
            out += "COMMENT code " + code + ": no Unicode character; written at private-use U+"
                + hex(unsigned(e.codePoint), 4) + "\n";
        out += "STARTCHAR " + (e.duplicate ? "dup" + std::to_string(g) + "_" : std::string()) + glyphName(e.codePoint)
            + "\n";
        out += e.duplicate ? std::string("ENCODING -1\n") : "ENCODING " + std::to_string(e.codePoint) + "\n";
        out += "SWIDTH 1000 0\n";
        out += "DWIDTH " + size + " 0\n";
        out += "BBX " + bbx + "\n";
        out += "BITMAP\n";
        for (int r = 0; r < n; ++r) {
            for (int k = 0; k < rowBytes(n); ++k)
                out += hex(planes[i].at(r, k), 2);
            out += "\n";
        }
        out += "ENDCHAR\n";
    }
    return out;
}

std::string bdfHalfGlyphs(const HalfGlyphs &half, int n, Mode mode)
{
    const int descent = n / 8;
    const std::string width = std::to_string(halfWidth(n));
    std::string out;
    for (std::size_t i = 0; i < half.characters.size(); ++i) {
        const auto c = char32_t(static_cast<unsigned char>(half.characters[i]));
        out += "STARTCHAR " + glyphName(c) + "\n";
        out += "ENCODING " + std::to_string(c) + "\n";
        out += "SWIDTH 500 0\n";
        out += "DWIDTH " + width + " 0\n";
        out += "BBX " + width + " " + std::to_string(n) + " 0 -" + std::to_string(descent) + "\n";
        out += "BITMAP\n";
        const GlyphPlane plane = fromFileOrder(half.glyphs[i], half.box, mode);
        for (int r = 0; r < n; ++r) {
            for (int k = 0; k < (halfWidth(n) + 7) / 8; ++k)
                out += hex(plane.at(r, k), 2);
            out += "\n";
        }
        out += "ENDCHAR\n";
    }
    return out;
}

std::string bdfEnd()
{
    return "ENDFONT\n";
}

} // namespace dotforge
