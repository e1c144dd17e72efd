// BDF output: the golden font of three glyphs, the code points of codes with
// and without a Unicode character, and the cell metrics of each dot size.

#include "formats/bdf.h"
#include "tests/core/formats_support.h"

#include <gtest/gtest.h>

using namespace dotforge;
using namespace dotforge::test;

namespace {

// The lines of `text` from the first that starts with `from` up to (without)
// the next that starts with `to`.
std::string linesBetween(const std::string &text, const std::string &from, const std::string &to)
{
    const auto begin = text.find("\n" + from);
    const auto end = text.find("\n" + to, begin + 1);
    return begin == std::string::npos ? std::string() : text.substr(begin + 1, end - begin);
}

} // namespace

TEST(BdfTest, ThreeGlyphsMatchTheHandWrittenFont)
{
    EXPECT_EQ(writeBdf(threeGlyphs(), kThreeCodes, 16, "three16c"), golden("three16c.bdf"));
}

TEST(BdfTest, CodesWithoutCharacterTakePrivateUseCodePoints)
{
    const std::vector<std::string> codes{
        "\xB0\xA1", // 啊
        "A", // one ASCII byte: its own character
        "AB", // two characters, no single one
        "\xA1\xA0", // no GBK character
        "", // no code
        "\xB0\xA1", // 啊 again
        "\xD7\xD6", // 字
    };
    struct Expected {
        char32_t codePoint;
        bool character;
        bool duplicate;
    };
    const std::vector<Expected> expected{
        {0x554A, true, false},
        {0x41, true, false},
        {0xE002, false, false},
        {0xE003, false, false},
        {0xE004, false, false},
        {0x554A, true, true},
        {0x5B57, true, false},
    };
    const auto encodings = bdfEncodings(codes);
    ASSERT_EQ(encodings.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(encodings[i].codePoint, expected[i].codePoint) << i;
        EXPECT_EQ(encodings[i].character, expected[i].character) << i;
        EXPECT_EQ(encodings[i].duplicate, expected[i].duplicate) << i;
    }
}

TEST(BdfTest, CommentsNameTheCodesOfStandIns)
{
    const GlyphPlane blank;
    const std::string bdf = writeBdf({blank, blank, blank}, {"\xA1\xA0", "\xB0\xA1", "\xB0\xA1"}, 16, "x");
    EXPECT_EQ(linesBetween(bdf, "COMMENT code A1A0", "SWIDTH"),
        "COMMENT code A1A0: no Unicode character; written at private-use U+E000\n"
        "STARTCHAR uniE000\n"
        "ENCODING 57344\n");
    EXPECT_EQ(linesBetween(bdf, "COMMENT code B0A1", "SWIDTH"),
        "COMMENT code B0A1: its code point is taken by an earlier glyph; written unencoded\n"
        "STARTCHAR dup2_uni554A\n"
        "ENCODING -1\n");
    EXPECT_NE(bdf.find("CHARS 3\n"), std::string::npos);
    EXPECT_NE(bdf.find("DEFAULT_CHAR 57344\n"), std::string::npos);
}

TEST(BdfTest, TheSquareFillsTheCellAtEachDotSize)
{
    struct Case {
        int n;
        const char *header; // from SIZE to FONTBOUNDINGBOX
        const char *metrics; // FONT_ASCENT and FONT_DESCENT
        const char *glyph; // from DWIDTH to the first bitmap row
    };
    const Case cases[]{
        {16, "SIZE 12 96 96\nFONTBOUNDINGBOX 16 16 0 -2\n", "FONT_ASCENT 14\nFONT_DESCENT 2\n",
            "DWIDTH 16 0\nBBX 16 16 0 -2\nBITMAP\n8001\n"},
        {24, "SIZE 18 96 96\nFONTBOUNDINGBOX 24 24 0 -3\n", "FONT_ASCENT 21\nFONT_DESCENT 3\n",
            "DWIDTH 24 0\nBBX 24 24 0 -3\nBITMAP\n800001\n"},
        {32, "SIZE 24 96 96\nFONTBOUNDINGBOX 32 32 0 -4\n", "FONT_ASCENT 28\nFONT_DESCENT 4\n",
            "DWIDTH 32 0\nBBX 32 32 0 -4\nBITMAP\n80000001\n"},
    };
    for (const Case &c : cases) {
        GlyphPlane plane;
        plane.setDot(0, 0, true);
        plane.setDot(c.n - 1, 0, true);
        plane.setDot(c.n, 0, true); // outside the square: not written
        const std::string bdf = writeBdf({plane}, {"\xB0\xA1"}, c.n, "x");
        EXPECT_EQ(linesBetween(bdf, "SIZE", "STARTPROPERTIES"), c.header) << c.n;
        EXPECT_EQ(linesBetween(bdf, "FONT_ASCENT", "DEFAULT_CHAR"), c.metrics) << c.n;
        const std::string glyph = linesBetween(bdf, "DWIDTH", "ENDCHAR");
        EXPECT_EQ(glyph.substr(0, std::string(c.glyph).size()), c.glyph) << c.n;
        EXPECT_EQ(std::count(glyph.begin(), glyph.end(), '\n'), 3 + c.n) << c.n;
    }
}

TEST(BdfTest, FamilyNamesKeepTheXlfdNameWhole)
{
    const std::pair<const char *, const char *> cases[]{
        {"lib16", "lib16"},
        {"my-font v2", "my_font v2"},
        {"字库", "Dotforge"},
        {"字库16", "______16"},
        {"", "Dotforge"},
        {"--", "Dotforge"},
    };
    for (const auto &[stem, family] : cases)
        EXPECT_EQ(bdfFamilyName(stem), family) << stem;
}
