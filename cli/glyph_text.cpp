#include "cli/glyph_text.h"

#include "core/gbk.h"

#include <cctype>

namespace dotforge::cli {

char modeLetter(Mode mode)
{
    return char('A' + int(mode));
}

std::string codeHex(const std::string &code)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : code) {
        const auto b = static_cast<unsigned char>(c);
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
    return out;
}

std::string shownCharacter(const std::string &code)
{
    const std::string text = gbkToUtf8(code);
    // Only text that encodes back to the whole code is the code's character; ASCII
    // other than letters and digits is left out so that a pair like "*/" cannot
    // end a C comment or move a terminal's cursor.
    if (text.empty() || utf8ToGbk(text) != code)
        return {};
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80 && !std::isalnum(b))
            return {};
    }
    return text;
}

std::string codeLabel(const std::string &code)
{
    const std::string shown = shownCharacter(code);
    return codeHex(code) + (shown.empty() ? "" : " " + shown);
}

std::string readableText(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size();) {
        // The length of the UTF-8 character at i, of one to four bytes; 0 for none.
        std::size_t length = 0;
        for (std::size_t k = 1; k <= 4 && i + k <= bytes.size() && length == 0; ++k)
            if (longestUtf8Sequence(bytes.substr(i, k)) == int(k))
                length = k;
        if (length > 0) {
            out.append(bytes.substr(i, length));
            i += length;
            continue;
        }
        const auto b = static_cast<unsigned char>(bytes[i++]);
        out += "\\x";
        out += kHex[b >> 4];
        out += kHex[b & 0x0F];
    }
    return out;
}

std::vector<std::string> glyphRows(const Sequence &sequence, int n, Mode mode, Effects effects)
{
    const GlyphPlane plane = decodeGlyph(sequence, n, mode, effects);
    std::vector<std::string> rows;
    for (int y = 0; y < n; ++y) {
        std::string row;
        for (int x = 0; x < n; ++x)
            row += plane.dot(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

std::string dumpText(const LibraryContent &content, int n, Mode mode, Effects effects)
{
    std::string out;
    for (std::size_t g = 0; g < content.glyphs.size(); ++g) {
        if (g > 0)
            out += '\n';
        const std::string code = g < content.codes.size() ? content.codes[g] : std::string();
        out += codeLabel(code) + '\n';
        for (const std::string &row : glyphRows(content.glyphs[g], n, mode, effects))
            out += row + '\n';
    }
    return out;
}

} // namespace dotforge::cli
