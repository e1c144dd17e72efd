#include "cli/glyph_text.h"

#include "core/gbk.h"

#include <cctype>

namespace dotforge::cli {

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

std::string dumpText(const LibraryContent &content, int n, Mode mode, Effects effects, const CodeNaming &naming)
{
    std::string out;
    for (std::size_t g = 0; g < content.glyphs.size(); ++g) {
        if (g > 0)
            out += '\n';
        const std::string code = g < content.codes.size() ? content.codes[g] : std::string();
        out += codeLabel(code, naming) + '\n';
        for (const std::string &row : glyphRows(content.glyphs[g], n, mode, effects))
            out += row + '\n';
    }
    return out;
}

} // namespace dotforge::cli
