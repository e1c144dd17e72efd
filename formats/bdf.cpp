#include "formats/bdf.h"

#include "core/gbk.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace dotforge {

namespace {

// The code point of UTF-8 text that is exactly one character; 0 otherwise.
char32_t singleCodePoint(const std::string &text)
{
    if (text.empty())
        return 0;
    const auto b = static_cast<unsigned char>(text[0]);
    const std::size_t length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (length == 0 || text.size() != length)
        return 0;
    char32_t cp = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t i = 1; i < length; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return cp;
}

std::string hex(unsigned value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
    return buffer;
}

std::string codeHex(const std::string &code)
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

} // namespace

std::vector<BdfEncoding> bdfEncodings(const std::vector<std::string> &codes)
{
    std::vector<BdfEncoding> out(codes.size());
    std::set<char32_t> taken;
    for (std::size_t g = 0; g < codes.size(); ++g) {
        if (codes[g].empty())
            continue;
        const std::string text = gbkToUtf8(codes[g]);
        const char32_t cp = singleCodePoint(text);
        // Only a character that encodes back to the whole code is the code's own.
        if (cp == 0 || utf8ToGbk(text) != codes[g])
            continue;
        out[g].codePoint = cp;
        out[g].character = true;
        out[g].duplicate = !taken.insert(cp).second;
    }
    for (std::size_t g = 0; g < codes.size(); ++g) {
        if (out[g].character)
            continue;
        char32_t cp = kBdfPrivateBase + char32_t(g);
        while (taken.count(cp))
            ++cp;
        taken.insert(cp);
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

std::string writeBdf(
    const std::vector<GlyphPlane> &planes, const std::vector<std::string> &codes, int n, const std::string &family)
{
    const int descent = n / 8;
    const int ascent = n - descent;
    const int points = n * 72 / 96;
    const std::string size = std::to_string(n);
    const std::string bbx = size + " " + size + " 0 " + std::to_string(-descent);

    // Encodings first: DEFAULT_CHAR names the first glyph.
    std::vector<std::string> glyphCodes(
        codes.begin(), codes.begin() + std::ptrdiff_t(std::min(codes.size(), planes.size())));
    glyphCodes.resize(planes.size());
    const std::vector<BdfEncoding> encodings = bdfEncodings(glyphCodes);

    std::string out = "STARTFONT 2.1\n";
    out += "COMMENT Dotforge font library, " + size + " x " + size + " dots, " + std::to_string(planes.size())
        + " glyphs\n";
    out += "FONT -Dotforge-" + family + "-Medium-R-Normal--" + size + "-" + std::to_string(points * 10) + "-96-96-C-"
        + std::to_string(n * 10) + "-ISO10646-1\n";
    out += "SIZE " + std::to_string(points) + " 96 96\n";
    out += "FONTBOUNDINGBOX " + bbx + "\n";
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
        "SPACING \"C\"",
        "AVERAGE_WIDTH " + std::to_string(n * 10),
        "CHARSET_REGISTRY \"ISO10646\"",
        "CHARSET_ENCODING \"1\"",
        "FONT_ASCENT " + std::to_string(ascent),
        "FONT_DESCENT " + std::to_string(descent),
    };
    const bool hasDefault = !encodings.empty();
    out += "STARTPROPERTIES " + std::to_string(properties.size() + (hasDefault ? 1 : 0)) + "\n";
    for (const std::string &property : properties)
        out += property + "\n";
    if (hasDefault)
        out += "DEFAULT_CHAR " + std::to_string(encodings.front().codePoint) + "\n";
    out += "ENDPROPERTIES\n";
    out += "CHARS " + std::to_string(planes.size()) + "\n";

    for (std::size_t g = 0; g < planes.size(); ++g) {
        const std::string code = codeHex(glyphCodes[g]);
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
                out += hex(planes[g].at(r, k), 2);
            out += "\n";
        }
        out += "ENDCHAR\n";
    }
    out += "ENDFONT\n";
    return out;
}

} // namespace dotforge
