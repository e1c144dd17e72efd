// Any bytes read as an .ASM file: at most the limit, well-formed glyphs and
// codes, the same result whatever pieces the file arrives in, and writing what
// was read reads back the same.

#include "formats/asm.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

using namespace dotforge;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const fuzz::Setup s = fuzz::setupFrom(data[0]);
    const std::size_t piece = std::size_t(data[1] % 16) + 1;
    const std::string_view text(reinterpret_cast<const char *>(data + 2), size - 2);

    (void)HextoInt(text);
    // A text with binary bytes is refused whole, however it arrives.
    auto refusal = [&](const std::function<LibraryContent()> &read) -> std::optional<std::string> {
        try {
            read();
        } catch (const FormatError &e) {
            return std::string(e.what());
        }
        return std::nullopt;
    };
    // The same text handed over a few bytes at a time.
    const auto readInPieces = [&] {
        std::size_t pos = 0;
        LineReader pieces([&](char *buffer, std::size_t max) {
            const std::size_t count = std::min({max, piece, text.size() - pos});
            std::memcpy(buffer, text.data() + pos, count);
            pos += count;
            return count;
        });
        return readAsm(pieces, s.n, s.limit);
    };
    const auto refused = refusal([&] { return readAsm(text, s.n, s.limit); });
    if (refused) {
        FUZZ_CHECK(refusal(readInPieces) == refused);
        return 0;
    }
    const LibraryContent content = readAsm(text, s.n, s.limit);
    FUZZ_CHECK(content.glyphs.size() <= std::size_t(s.limit));
    FUZZ_CHECK(content.codes.size() == content.glyphs.size());
    for (std::size_t g = 0; g < content.glyphs.size(); ++g) {
        FUZZ_CHECK(content.glyphs[g].size() == std::size_t(glyphBytes(s.n)));
        FUZZ_CHECK(content.codes[g].size() <= 2);
        FUZZ_CHECK(content.codes[g].find('\n') == std::string::npos);
        fuzz::checkLayouts(content.glyphs[g], s);
    }

    const LibraryContent chunked = readInPieces();
    FUZZ_CHECK(chunked.glyphs == content.glyphs);
    FUZZ_CHECK(chunked.codes == content.codes);
    FUZZ_CHECK(chunked.cutShort == content.cutShort);

    const LibraryContent again = readAsm(writeAsm(content.glyphs, content.codes, s.n), s.n, s.limit);
    FUZZ_CHECK(again.glyphs == content.glyphs);
    // A line never ends in a backslash (nasm would join the next line to it):
    // a one-byte code "\\" is written with a space, its second byte then.
    std::vector<std::string> written = content.codes;
    for (std::string &code : written)
        if (code == "\\")
            code += ' ';
    FUZZ_CHECK(again.codes == written);
    FUZZ_CHECK(!again.cutShort);
    return 0;
}
