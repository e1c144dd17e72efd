// The .ZMB format: glyph sequences, then two-byte codes, no header.

#include "formats/zmb.h"
#include "tests/core/formats_support.h"

#include <gtest/gtest.h>

#include <optional>

namespace dotforge::test {
namespace {

std::vector<Sequence> sequencesOf(const std::vector<GlyphPlane> &planes, int n)
{
    std::vector<Sequence> out;
    for (const GlyphPlane &p : planes)
        out.push_back(squareBytes(p, n));
    return out;
}

TEST(Zmb, threeGlyphLibraryIsGlyphsThenCodes)
{
    const std::string file = writeZmb(sequencesOf(threeGlyphs(), 16), kThreeCodes);
    EXPECT_EQ(file.size(), 102u);
    EXPECT_EQ(file.substr(96), "\xB0\xA1\xB0\xA2\xB0\xA3");
    EXPECT_EQ(file, golden("three16c.zmb"));
}

TEST(Zmb, readsTheGoldenLibraryBack)
{
    const LibraryContent content = readZmb(golden("three16c.zmb"), 16);
    EXPECT_EQ(content.codes, kThreeCodes);
    EXPECT_EQ(content.glyphs, sequencesOf(threeGlyphs(), 16));
    EXPECT_FALSE(content.cutShort);
}

TEST(Zmb, shortAndOddCodes)
{
    const Sequence blank(32, 0);
    const std::string file = writeZmb({blank, blank, blank}, {"\xB0\xA1", "A", ""});
    EXPECT_EQ(file.substr(96), bytes({0xB0, 0xA1, 'A', 0, 0, 0}));
    EXPECT_EQ(writeZmb({}, {}), "");
}

TEST(Zmb, countIsSizeDivGlyphPlusCode)
{
    // 24 dots: 5 glyphs of 74 bytes and 10 bytes more, which are ignored.
    const LibraryContent five = readZmb(golden("five24_extra.zmb"), 24);
    ASSERT_EQ(five.glyphs.size(), 5u);
    EXPECT_EQ(five.glyphs[0], Sequence(72, 0x01));
    EXPECT_EQ(five.glyphs[4], Sequence(72, 0x05));
    EXPECT_EQ(five.codes, (std::vector<std::string>{"\xB0\xA1", "\xB0\xA2", "\xB0\xA3", "\xB0\xA4", "\xB0\xA5"}));

    EXPECT_TRUE(readZmb(std::string(33, '\x7f'), 16).glyphs.empty());
    EXPECT_FALSE(readZmb(std::string(33, '\x7f'), 16).cutShort);
    EXPECT_TRUE(readZmb(std::string(), 32).glyphs.empty());
}

TEST(Zmb, sixteenDotFileReadAtThirtyTwoDots)
{
    // Ten 16-dot glyphs, glyph g all bytes g, then ten codes: 340 bytes. At 32
    // dots that is 2 glyphs of 128 bytes, their codes at 256 inside glyph 8.
    std::string file;
    for (int g = 0; g < 10; ++g)
        file += std::string(32, char(g));
    for (int g = 0; g < 10; ++g)
        file += bytes({0xB0, 0xA1 + g});
    const LibraryContent content = readZmb(file, 32);
    ASSERT_EQ(content.glyphs.size(), 2u);
    EXPECT_EQ(Sequence(content.glyphs[0].begin() + 96, content.glyphs[0].end()), Sequence(32, 3));
    EXPECT_EQ(content.codes, (std::vector<std::string>{bytes({8, 8}), bytes({8, 8})}));
}

// 201 glyphs: the first 200 are taken, and their codes still come from behind
// all 201 glyphs.
TEST(Zmb, moreThanTwoHundredGlyphs)
{
    std::string file;
    for (int g = 0; g < 201; ++g)
        file += std::string(32, char(g));
    for (int g = 0; g < 201; ++g)
        file += bytes({0xA0 + g / 94 + 1, 0xA0 + g % 94 + 1});
    const LibraryContent content = readZmb(file, 16);
    ASSERT_EQ(content.glyphs.size(), 200u);
    EXPECT_TRUE(content.cutShort);
    EXPECT_EQ(content.glyphs[199], Sequence(32, 199));
    EXPECT_EQ(content.codes[0], "\xA1\xA1");
    EXPECT_EQ(content.codes[199], "\xA3\xAC"); // glyph 199: area 3, position 12

    EXPECT_EQ(readZmb(file.substr(0, 200 * 32) + file.substr(201 * 32, 400), 16).cutShort, false);
}

TEST(Zmb, readsOnlyWhatItTakesOfAHugeFile)
{
    // A file of 10^12 bytes at 16 dots: N = 10^12 div 34.
    const std::int64_t size = 1000000000000;
    std::vector<std::pair<std::int64_t, std::size_t>> reads;
    const LibraryContent content = readZmb(
        size,
        [&reads, size](std::int64_t offset, std::size_t length) {
            EXPECT_LE(offset + std::int64_t(length), size);
            reads.emplace_back(offset, length);
            return std::string(length, '\x11');
        },
        16);
    EXPECT_EQ(content.glyphs.size(), 200u);
    const std::int64_t fileGlyphs = 29411764705; // 10^12 div 34
    EXPECT_EQ(reads, (std::vector<std::pair<std::int64_t, std::size_t>>{{0, 6400}, {fileGlyphs * 32, 400}}));
}

// What the open command (and the batch tool) refuses to take as a .ZMB file:
// nothing this program writes, everything that can only be another file or
// another dot size.
TEST(Zmb, checkRefusesOnlyWhatNoSaveWrites)
{
    using Fault = FormatError::Fault;
    const Sequence blank(32, 0);
    std::string unixAsm = golden("three16c.asm");
    for (auto at = unixAsm.find('\r'); at != std::string::npos; at = unixAsm.find('\r', at))
        unixAsm.erase(at, 1);
    struct Case {
        const char *what;
        std::string file;
        int n;
        std::optional<Fault> fault; // nothing: the file passes
        std::int64_t number = 0;
        std::string code = {};
    };
    const Case cases[] = {
        {"golden", golden("three16c.zmb"), 16, {}},
        {"empty", "", 16, {}},
        {"shorter than one glyph", std::string(33, 'U'), 16, {}},
        // Typed and imported text gives pairs of any printable bytes (a tab
        // from a text file's line too); a code read short from an .ASM file is
        // padded with zero bytes; the batch tool takes any code but control bytes.
        {"codes of typed text and .ASM files",
            writeZmb({blank, blank, blank, blank, blank, blank}, {"ab", "A", "", "\t\xB0", "a\xB0", "\xFF\xFF"}), 16,
            {}},
        // Bytes that all happen to be text, but no line end: a test pattern.
        {"checkerboard", std::string(16, '\x55') + std::string(16, '\xAA') + "\xB0\xA1", 16, {}},
        {"an .ASM file", golden("three16c.asm"), 16, Fault::Text, 549},
        {"an .ASM file with LF line ends", unixAsm, 24, Fault::Text, std::int64_t(unixAsm.size())},
        {"a GBK text", "\xB0\xA1\xB0\xA2\r\n" + std::string(40, 'x'), 16, Fault::Text, 46},
        {"16 dots read at 24", golden("three16c.zmb"), 24, Fault::Size, 102},
        {"ten 16-dot glyphs read at 32",
            writeZmb(std::vector<Sequence>(10, blank), std::vector<std::string>(10, "\xB0\xA1")), 32, Fault::Size, 340},
        {"bytes beyond the last glyph", golden("five24_extra.zmb"), 24, Fault::Size, 380},
        {"a line feed in a code", writeZmb({blank, blank}, {"\xB0\xA1", "\x0A\x41"}), 16, Fault::Code, 1, "\x0A\x41"},
        {"an escape in a code", writeZmb({blank}, {"\x1B["}), 16, Fault::Code, 0, "\x1B["},
        {"a zero byte before a code byte", writeZmb({blank, blank}, {"\xB0\xA1", std::string("\0A", 2)}), 16,
            Fault::Code, 1, std::string("\0A", 2)},
        {"DEL in a code", writeZmb({blank}, {"\x7F\xA1"}), 16, Fault::Code, 0, "\x7F\xA1"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        try {
            checkZmb(c.file, c.n);
            EXPECT_FALSE(c.fault) << "passed";
        } catch (const FormatError &e) {
            ASSERT_TRUE(c.fault) << e.what();
            EXPECT_EQ(e.fault(), *c.fault);
            EXPECT_EQ(e.number(), c.number);
            EXPECT_EQ(e.code(), c.code);
            EXPECT_EQ(e.dotSize(), c.n);
        }
    }
}

} // namespace
} // namespace dotforge::test
