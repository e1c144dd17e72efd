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

namespace {

// Bytes of text: printable ASCII, GBK or UTF-8 bytes, and the white space and
// end-of-file mark of text files (tab, line feed, form feed, carriage return,
// Ctrl-Z). 0xFF is in no GBK or UTF-8 text.
bool isTextByte(std::uint8_t b)
{
    return (b >= 0x20 && b != 0x7F && b != 0xFF) || b == '\t' || b == '\n' || b == '\f' || b == '\r' || b == 0x1A;
}

constexpr std::size_t kCheckChunk = 64 * 1024;

} // namespace

bool isStorableCode(std::uint8_t first, std::uint8_t second)
{
    // Control bytes come from no entry but a tab in an imported line; a zero
    // byte only pads a code that is shorter than two bytes.
    auto isControl = [](std::uint8_t b) { return (b >= 0x01 && b < 0x20 && b != '\t') || b == 0x7F; };
    return !isControl(first) && !isControl(second) && !(first == 0 && second != 0);
}

void checkZmb(std::int64_t fileSize, const ReadAt &readAt, int n)
{
    if (!isDotSize(n) || fileSize <= 0)
        return;
    // Text: every byte a text byte and at least one line end. Glyph bytes stop
    // the scan at once: a blank 8-dot part of a row is a zero byte.
    bool text = true;
    bool lineEnd = false;
    for (std::int64_t offset = 0; text && offset < fileSize; offset += std::int64_t(kCheckChunk)) {
        const std::string chunk = readAt(offset, std::size_t(std::min<std::int64_t>(fileSize - offset, kCheckChunk)));
        for (const char c : chunk) {
            text = text && isTextByte(std::uint8_t(c));
            lineEnd = lineEnd || c == '\n';
        }
    }
    if (text && lineEnd)
        throw FormatError(FormatError::Fault::Text, fileSize, n);

    const ZmbLayout layout = zmbLayout(fileSize, n, 0);
    if (layout.fileGlyphs == 0)
        return;
    if (fileSize % (glyphBytes(n) + 2) != 0)
        throw FormatError(FormatError::Fault::Size, fileSize, n);
    const std::int64_t codeBytes = 2 * layout.fileGlyphs;
    for (std::int64_t done = 0; done < codeBytes; done += std::int64_t(kCheckChunk)) {
        const std::string codes
            = readAt(layout.codeOffset + done, std::size_t(std::min<std::int64_t>(codeBytes - done, kCheckChunk)));
        for (std::size_t i = 0; i + 1 < codes.size(); i += 2)
            if (!isStorableCode(std::uint8_t(codes[i]), std::uint8_t(codes[i + 1])))
                throw FormatError(FormatError::Fault::Code, (done + std::int64_t(i)) / 2, n, codes.substr(i, 2));
    }
}

void checkZmb(std::string_view bytes, int n)
{
    checkZmb(
        std::int64_t(bytes.size()),
        [bytes](
            std::int64_t offset, std::size_t length) { return std::string(bytes.substr(std::size_t(offset), length)); },
        n);
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
