// Any bytes read as a .ZMB file: glyph and code counts as the size says, never
// more than the limit, writing what was read reads back the same, and the check
// of the open command lets through only whole entries with storable codes.

#include "formats/zmb.h"
#include "tests/fuzz/fuzz_support.h"

#include <algorithm>
#include <string_view>

using namespace dotforge;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const fuzz::Setup s = fuzz::setupFrom(data[0]);
    const std::string_view bytes(reinterpret_cast<const char *>(data + 1), size - 1);

    const LibraryContent content = readZmb(bytes, s.n, s.limit);
    const std::size_t fileGlyphs = bytes.size() / std::size_t(glyphBytes(s.n) + 2);
    FUZZ_CHECK(content.glyphs.size() == std::min(fileGlyphs, std::size_t(s.limit)));
    FUZZ_CHECK(content.codes.size() == content.glyphs.size());
    FUZZ_CHECK(content.cutShort == (fileGlyphs > std::size_t(s.limit)));
    for (std::size_t g = 0; g < content.glyphs.size(); ++g) {
        FUZZ_CHECK(content.glyphs[g].size() == std::size_t(glyphBytes(s.n)));
        FUZZ_CHECK(content.codes[g].size() == 2);
        fuzz::checkLayouts(content.glyphs[g], s);
    }

    // A file the check lets through has whole entries and codes the program makes.
    bool passes = true;
    try {
        checkZmb(bytes, s.n);
    } catch (const FormatError &) {
        passes = false;
    }
    if (passes && fileGlyphs > 0) {
        FUZZ_CHECK(bytes.size() % std::size_t(glyphBytes(s.n) + 2) == 0);
        for (const std::string &code : content.codes)
            FUZZ_CHECK(isStorableCode(std::uint8_t(code[0]), std::uint8_t(code[1])));
    }

    const LibraryContent again = readZmb(writeZmb(content.glyphs, content.codes), s.n, s.limit);
    FUZZ_CHECK(again.glyphs == content.glyphs);
    FUZZ_CHECK(again.codes == content.codes);
    FUZZ_CHECK(!again.cutShort);
    return 0;
}
