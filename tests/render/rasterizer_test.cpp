// Rendering through the FreeType rasteriser, with "宋体" substituted by AR PL
// UMing CN: what the sampled square holds for real characters, the ascent that
// places the baseline, glyphs of BDF fonts of every bit depth, and what text
// that is no valid UTF-8 draws.

#include "render/freetype_rasterizer.h"
#include "tests/support/qt_rasterizer.h"
#include "tests/support/test_workspace.h"
#include "workspace/workspace.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace dotforge;
using namespace dotforge::test;

namespace {

class RealRender : public testing::Test {
protected:
    FreeTypeRasterizer rasterizer;
    TestWorkspace tw{WorkspaceOptions{true, true, &rasterizer}};

    std::vector<std::string> render(const std::string &code)
    {
        tw->ChTextOut(code);
        EXPECT_EQ(tw.grid(), artFromPlane(tw->codeTable().sourcePlane(), tw->dotSize()));
        return artFromPlane(tw->codeTable().sourcePlane(), tw->dotSize());
    }
};

} // namespace

TEST_F(RealRender, AhAtTwelvePoints)
{
    EXPECT_EQ(render("\xB0\xA1"),
        std::vector<std::string>({
            ".............#..",
            "#.#.####.######.",
            "#####..#.....#..",
            "#.#.#..#.....#..",
            "#.#.#.#......#..",
            "#.#.##...###.#..",
            "#.#.#.#..#.#.#..",
            "#.#.#..#.#.#.#..",
            "#.#.#..#.#.#.#..",
            "#.#.#..#.###.#..",
            "###.##.#.#.#.#..",
            "#.#.#.#......#..",
            "....#........#..",
            "....#......###..",
            "....#.......#...",
            "................",
        }));
}

// 12 points are 16 pixels: the full block U+2588 covers the square from (5, 5).
TEST_F(RealRender, FullBlockFillsTheSixteenDotSquare)
{
    EXPECT_EQ(render("\xA8\x80"), std::vector<std::string>(16, "################"));
}

// 22 points are 29 pixels: a character of full height leaves the last rows and
// columns of the 32 x 32 square empty.
TEST_F(RealRender, TwentyTwoPointsAreTwentyNinePixelsHigh)
{
    tw->mnu32Click();
    ASSERT_EQ(tw->codeTable().FontSize(), 22);
    const std::vector<std::string> art = render("\xA8\x80");
    int inkRows = 0;
    for (const std::string &row : art) {
        if (row.find('#') == std::string::npos)
            continue;
        ++inkRows;
        EXPECT_EQ(row, "#############################...");
    }
    EXPECT_EQ(inkRows, 29);
    EXPECT_EQ(art[30], std::string(32, '.'));
    EXPECT_EQ(art[31], std::string(32, '.'));
}

TEST_F(RealRender, TwoAsciiLettersSideBySide)
{
    EXPECT_EQ(render("AB"),
        std::vector<std::string>({
            "................",
            "....#....#####..",
            "....#.....#...#.",
            "...#.#....#....#",
            "...#.#....#....#",
            "...#.#....#....#",
            "..#...#...#...#.",
            "..#...#...####..",
            "..#...#...#...#.",
            "..#####...#....#",
            ".#.....#..#....#",
            ".#.....#..#....#",
            ".#.....#..#...#.",
            ".##...##.#####..",
            "................",
            "................",
        }));
}

// The ascent sets the baseline: at every point size the dialog offers.
TEST(FreeTypeRasterizer, AscentAsQFontMetrics)
{
    FreeTypeRasterizer freetype;
    for (const char *face : {"宋体", "AR PL SungtiL GB", "Unifont", "DejaVu Sans"})
        for (int points = 12; points <= 28; ++points)
            EXPECT_EQ(freetype.ascent(face, points), test::QtRasterizer::ascent(face, points)) << face << " " << points;
}

// A BDF 2.2 glyph of 1, 2, 4 or 8 bits per pixel (several pixels to a byte
// below 8): any level but 0 is ink, the same dots at every depth. A glyph with
// a BBX but no BITMAP is blank. The glyph box is 8 x 4 pixels, 2 right of the
// pen and 6 above the baseline; the ascent of 14 puts its top at row 4. Drawn
// at 12 points (16 pixels), a strike of 12 pixels fits and is drawn; one of 24
// pixels would be cut by the square and draws nothing.
TEST_F(RealRender, BdfGlyphsOfEveryBitDepth)
{
    struct {
        int bitsPerPixel;
        const char *bitmap; // the BITMAP lines, "" for none
        int strikePoints = 12;
    } const cases[] = {
        {1, "FF\n81\n55\n00\n"},
        {2, "FFFF\n4002\n1231\n0000\n"},
        {4, "FFFFFFFF\n10000008\n01040F02\n00000000\n"},
        {8, "FFFFFFFFFFFFFFFF\n0100000000000080\n0001004000FF0002\n0000000000000000\n"},
        {1, ""},
        {1, "FF\n81\n55\n00\n", 9},
        {1, "FF\n81\n55\n00\n", 18},
    };
    std::vector<std::string> drawn(16, std::string(16, '.'));
    drawn[4] = "..########......";
    drawn[5] = "..#......#......";
    drawn[6] = "...#.#.#.#......";
    int k = 0;
    for (const auto &c : cases) {
        const std::string path = tw.dir().file("levels" + std::to_string(k++) + ".bdf");
        std::ofstream(path) << "STARTFONT 2.2\nFONT -Dotforge-Levels-Medium-R-Normal--16-120-96-96-C-160-ISO10646-1\n"
                            << "SIZE " << c.strikePoints << " 96 96 " << c.bitsPerPixel
                            << "\nFONTBOUNDINGBOX 16 16 0 -2\n"
                            << "STARTPROPERTIES 2\nFONT_ASCENT 14\nFONT_DESCENT 2\nENDPROPERTIES\nCHARS 1\n"
                            << "STARTCHAR uni554A\nENCODING 21834\nSWIDTH 1000 0\nDWIDTH 16 0\nBBX 8 4 2 6\n"
                            << (*c.bitmap ? std::string("BITMAP\n") + c.bitmap : "") << "ENDCHAR\nENDFONT\n";
        // Drawn at 12 points whatever strikes the face has, which no font
        // dialog choice gives: the code table alone renders it.
        CodeTable table;
        table.reset();
        table.setFace(path);
        table.drawTrueType(rasterizer, "\xB0\xA1", 16);
        const bool inked = *c.bitmap && c.strikePoints <= 12;
        EXPECT_EQ(
            artFromPlane(table.sourcePlane(), 16), inked ? drawn : std::vector<std::string>(16, std::string(16, '.')))
            << c.bitsPerPixel << " bits per pixel" << (*c.bitmap ? "" : ", no BITMAP") << ", strike of "
            << c.strikePoints << " points";
    }
}

// Text that is no valid UTF-8 draws U+FFFD for each byte that starts no
// character, and the valid characters around it as they are. The font file has
// "A" (a bar 1 x 4, advance 2) and U+FFFD (a square 2 x 2, advance 3); the row
// above the baseline shows both.
TEST_F(RealRender, InvalidUtf8DrawsAReplacementForEachByte)
{
    struct {
        const char *text;
        const char *lastRow; // row 13 of the surface, its first 16 pixels
    } const cases[] = {
        {"AA", "#.#............."}, {"\xEF\xBF\xBD", "##.............."}, // U+FFFD itself
        {"\x80", "##.............."}, // a continuation byte alone
        {"A\xE5\x95", "#.##.##........."}, // cut short
        {"\xC1\x81", "##.##..........."}, // "A" in an overlong form
        {"\xED\xA0\x80", "##.##.##........"}, // a surrogate
        {"\xF4\x90\x80\x80"
         "A",
            "##.##.##.##.#..."}, // past U+10FFFF
        {"\xF8"
         "A",
            "##.#............"}, // no lead byte of UTF-8
    };
    const std::string path = tw.dir().file("replacement.bdf");
    std::ofstream(path) << "STARTFONT 2.1\nFONT -Dotforge-Replacement-Medium-R-Normal--16-120-96-96-C-30-ISO10646-1\n"
                        << "SIZE 12 96 96\nFONTBOUNDINGBOX 2 4 0 0\n"
                        << "STARTPROPERTIES 2\nFONT_ASCENT 14\nFONT_DESCENT 2\nENDPROPERTIES\nCHARS 2\n"
                        << "STARTCHAR A\nENCODING 65\nDWIDTH 2 0\nBBX 1 4 0 0\nBITMAP\n80\n80\n80\n80\nENDCHAR\n"
                        << "STARTCHAR uniFFFD\nENCODING 65533\nDWIDTH 3 0\nBBX 2 2 0 0\nBITMAP\nC0\nC0\nENDCHAR\n"
                        << "ENDFONT\n";
    for (const auto &c : cases) {
        Surface40 surface;
        rasterizer.drawText(surface, c.text, path, 12, 0, 0);
        std::string row;
        for (int x = 0; x < 16; ++x)
            row += surface.pixel(x, 13) == Surface40::kWhite ? '.' : '#';
        EXPECT_EQ(row, c.lastRow) << c.text;
    }
}

// Another dot size keeps a bitmap font at a strike that fits the new square,
// chosen as the font dialog chooses it, or takes the default face back with a
// message: drawn taller, the glyph would lose its lower rows.
TEST_F(RealRender, DotSizeKeepsABitmapFontOnlyWhereItFits)
{
    struct {
        int strikePoints;
        int dots;
        void (Workspace::*click)();
        int points; // 0: the default face at the default size
    } const cases[] = {
        {12, 16, &Workspace::mnu16Click, 12}, // 16 pixels
        {12, 24, &Workspace::mnu24Click, 12}, // its only strike, smaller than the square
        {24, 32, &Workspace::mnu32Click, 24}, // 32 pixels, not the 29 of 22 points
        {18, 16, &Workspace::mnu16Click, 0}, // 24 pixels into 16 dots
        {24, 24, &Workspace::mnu24Click, 0},
    };
    int k = 0;
    for (const auto &c : cases) {
        const std::string path = tw.dir().file("strike" + std::to_string(k++) + ".bdf");
        std::ofstream(path)
            << "STARTFONT 2.1\nFONT -Dotforge-Strike-Medium-R-Normal--0-0-96-96-C-0-ISO10646-1\n"
            << "SIZE " << c.strikePoints << " 96 96\nFONTBOUNDINGBOX 8 8 0 0\nCHARS 1\n"
            << "STARTCHAR uni554A\nENCODING 21834\nDWIDTH 8 0\nBBX 8 1 0 0\nBITMAP\nFF\nENDCHAR\nENDFONT\n";
        // Chosen in the font dialog at 32 dots, where every strike here fits.
        tw->mnu32Click();
        tw.prompts().fontChoice(FontChoice{path, c.strikePoints});
        tw->FontBtnClick();
        ASSERT_EQ(tw->codeTable().FontName(), path);
        tw.prompts().clear();
        (tw.ws().*c.click)();
        const std::string where = std::to_string(c.strikePoints) + " points at " + std::to_string(c.dots) + " dots";
        EXPECT_EQ(tw->codeTable().FontName(), c.points ? path : "宋体") << where;
        EXPECT_EQ(tw->codeTable().FontSize(), c.points ? c.points : defaultPointSize(c.dots)) << where;
        EXPECT_EQ(tw.prompts().texts("message").size(), c.points ? 0u : 1u) << where;
        // The font dialog cannot choose such a strike either.
        if (!c.points) {
            tw.prompts().clear();
            tw.prompts().fontChoice(FontChoice{path, c.strikePoints});
            tw->FontBtnClick();
            EXPECT_EQ(tw->codeTable().FontName(), "宋体") << where;
            EXPECT_EQ(tw.prompts().texts("message").size(), 1u) << where;
        }
    }
}
