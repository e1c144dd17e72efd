#include "cli/c_source.h"

#include "cli/glyph_text.h"

#include <algorithm>
#include <cctype>

namespace dotforge::cli {

namespace {

bool identifierChar(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 0x80 && (std::isalnum(b) || c == '_');
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

std::string hexByte(std::uint8_t b)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    return std::string("0x") + kHex[b >> 4] + kHex[b & 0x0F];
}

// C has no empty arrays: an empty library keeps one zero byte in each.
std::size_t arrayLength(std::size_t bytes)
{
    return std::max<std::size_t>(bytes, 1);
}

std::string preamble(std::size_t count, int n, Mode mode)
{
    return "/* Dot-matrix font library written by dotforge-cli (Dotforge) 3.0.\n * " + std::to_string(count)
        + " glyph(s) of " + std::to_string(n) + " x " + std::to_string(n) + " dots, " + std::to_string(glyphBytes(n))
        + " bytes each, byte layout mode " + modeLetter(mode) + ";\n * the codes are GBK, two bytes per glyph. */\n";
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

bool isCIdentifier(const std::string &name)
{
    return !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0]))
        && std::all_of(name.begin(), name.end(), identifierChar);
}

std::string cSource(const LibraryContent &content, int n, Mode mode, const std::string &name)
{
    const std::size_t count = content.glyphs.size();
    const std::size_t glyphSize = std::size_t(glyphBytes(n));
    std::string out = preamble(count, n, mode) + "\n";

    out += "const unsigned char " + name + "_glyphs[" + std::to_string(arrayLength(count * glyphSize)) + "] = {\n";
    for (std::size_t g = 0; g < count; ++g) {
        const std::string code = g < content.codes.size() ? content.codes[g] : std::string();
        out += "    /* " + std::to_string(g) + ": " + codeLabel(code) + '\n';
        for (const std::string &row : glyphRows(content.glyphs[g], n, mode))
            out += "     * " + row + '\n';
        out += "     */\n";
        const Sequence &glyph = content.glyphs[g];
        for (std::size_t i = 0; i < glyph.size(); i += 16) {
            out += "   ";
            for (std::size_t j = i; j < std::min(i + 16, glyph.size()); ++j)
                out += " " + hexByte(glyph[j]) + ",";
            out += '\n';
        }
    }
    if (count == 0)
        out += "    0x00, /* no glyph */\n";
    out += "};\n\n";

    out += "const unsigned char " + name + "_codes[" + std::to_string(arrayLength(2 * count)) + "] = {\n";
    for (std::size_t g = 0; g < count; ++g) {
        // As in the .ZMB file: a short code is padded with zero bytes.
        const std::string code = g < content.codes.size() ? content.codes[g] : std::string();
        const auto byte = [&code](std::size_t i) { return std::uint8_t(i < code.size() ? code[i] : 0); };
        const std::string shown = shownCharacter(code);
        out += "    " + hexByte(byte(0)) + ", " + hexByte(byte(1)) + ", /* " + std::to_string(g)
            + (shown.empty() ? "" : ": " + shown) + " */\n";
    }
    if (count == 0)
        out += "    0x00, /* no glyph */\n";
    out += "};\n\n";

    out += "const unsigned int " + name + "_count = " + std::to_string(count) + ";\n";
    return out;
}

std::string cHeader(std::size_t count, int n, Mode mode, const std::string &name)
{
    const std::string prefix = upper(name);
    const std::string guard = prefix + "_H";
    const std::size_t glyphSize = std::size_t(glyphBytes(n));
    std::string out = preamble(count, n, mode) + "\n";
    out += "#ifndef " + guard + "\n#define " + guard + "\n\n";
    out += "#define " + prefix + "_DOTS " + std::to_string(n) + " /* glyph width and height */\n";
    out += "#define " + prefix + "_GLYPH_BYTES " + std::to_string(glyphSize) + " /* bytes per glyph */\n";
    out += "#define " + prefix + "_COUNT " + std::to_string(count) + "\n\n";
    out += "#ifdef __cplusplus\nextern \"C\" {\n#endif\n\n";
    out += "extern const unsigned char " + name + "_glyphs[" + std::to_string(arrayLength(count * glyphSize)) + "];\n";
    out += "extern const unsigned char " + name + "_codes[" + std::to_string(arrayLength(2 * count)) + "];\n";
    out += "extern const unsigned int " + name + "_count;\n\n";
    out += "#ifdef __cplusplus\n}\n#endif\n\n#endif /* " + guard + " */\n";
    return out;
}

} // namespace dotforge::cli
