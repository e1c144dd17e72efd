#include "formats/zmb.h"

#include "core/io_error.h"

#include <algorithm>

namespace dotforge {

std::string writeZmb(const std::vector<Sequence> &glyphs, const std::vector<std::string> &codes)
{
    std::string out;
    for (const Sequence &glyph : glyphs)
        out.append(glyph.begin(), glyph.end());
    for (std::size_t i = 0; i < glyphs.size(); ++i)
        appendZmbCode(out, i < codes.size() ? codes[i] : std::string());
    return out;
}

void appendZmbCode(std::string &out, std::string_view code)
{
    out += code.size() > 0 ? code[0] : '\0';
    out += code.size() > 1 ? code[1] : '\0';
}

ZmbLayout zmbLayout(std::int64_t fileSize, int n, int limit)
{
    ZmbLayout layout;
    if (!isDotSize(n) || fileSize <= 0)
        return layout;
    const std::int64_t glyphSize = glyphBytes(n);
    layout.fileGlyphs = fileSize / (glyphSize + 2);
    layout.taken = int(std::clamp<std::int64_t>(layout.fileGlyphs, 0, std::max(limit, 0)));
    layout.codeOffset = layout.fileGlyphs * glyphSize;
    return layout;
}

LibraryContent readZmb(std::int64_t fileSize, const ReadAt &readAt, int n, int limit)
{
    LibraryContent content;
    const ZmbLayout layout = zmbLayout(fileSize, n, limit);
    if (layout.taken == 0) {
        content.cutShort = layout.fileGlyphs > 0;
        return content;
    }
    const std::size_t glyphSize = std::size_t(glyphBytes(n));
    const std::string glyphs = readAt(0, glyphSize * std::size_t(layout.taken));
    const std::string codes = readAt(layout.codeOffset, 2 * std::size_t(layout.taken));
    if (glyphs.size() != glyphSize * std::size_t(layout.taken) || codes.size() != 2 * std::size_t(layout.taken))
        throw IoError(ioerr::ReadBeyondEnd);
    for (int g = 0; g < layout.taken; ++g) {
        const auto *first = reinterpret_cast<const std::uint8_t *>(glyphs.data()) + glyphSize * std::size_t(g);
        content.glyphs.emplace_back(first, first + glyphSize);
        content.codes.push_back(codes.substr(2 * std::size_t(g), 2));
    }
    content.cutShort = layout.fileGlyphs > layout.taken;
    return content;
}

LibraryContent readZmb(std::string_view bytes, int n, int limit)
{
    return readZmb(
        std::int64_t(bytes.size()),
        [bytes](
            std::int64_t offset, std::size_t length) { return std::string(bytes.substr(std::size_t(offset), length)); },
        n, limit);
}

} // namespace dotforge
