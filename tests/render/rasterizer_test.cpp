// Rendering through the FreeType rasteriser, with "宋体" substituted by AR PL
// UMing CN: what the sampled square holds for real characters.

#include "core/workspace.h"
#include "render/freetype_rasterizer.h"
#include "tests/support/test_workspace.h"

#include <gtest/gtest.h>

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
        EXPECT_EQ(tw.grid(), artFromPlane(tw->sourcePlane, tw->dotSize()));
        return artFromPlane(tw->sourcePlane, tw->dotSize());
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
    ASSERT_EQ(tw->FontSize, 22);
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
