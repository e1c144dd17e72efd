// The default effects give the same file whether they are applied to the grid
// when a glyph is rendered or to the stored glyph when the file is written.

#include "tests/support/test_workspace.h"

#include <gtest/gtest.h>

namespace dotforge::test {
namespace {

// Draws a glyph without any symmetry that fills the 32 x 32 square unevenly: an
// "F" in the top-left band, a diagonal, and single dots near three corners.
class AsymmetricRasterizer : public Rasterizer {
public:
    void drawText(Surface40 &s, const std::string &, const std::string &, int, int x, int y) override
    {
        auto ink = [&](int dx, int dy) { s.setPixel(x + dx, y + dy, 0); };
        for (int i = 0; i < 7; ++i)
            ink(1, 1 + i);
        for (int i = 1; i < 6; ++i)
            ink(i, 1);
        for (int i = 1; i < 4; ++i)
            ink(i, 4);
        for (int i = 0; i < 20; ++i)
            ink(6 + i, 9 + i / 2);
        ink(15, 0);
        ink(22, 3);
        ink(0, 23);
        ink(31, 17);
        ink(9, 30);
    }
};

// The saved .ZMB of one glyph (mode C keeps the raw order) under the effects.
std::string savedGlyph(int n, Effects effects, bool atRender)
{
    AsymmetricRasterizer rasterizer;
    TestWorkspace t({.rasterizer = &rasterizer});
    Workspace &ws = t.ws();
    if (n == 24)
        ws.mnu24Click();
    else if (n == 32)
        ws.mnu32Click();
    if (atRender) {
        t.prompts().answer(Answer::Yes);
        ws.mnuViewClick();
    }
    ws.mnuModeClick(Mode::C);
    ws.mnuRotationClick(effects.rotation);
    ws.mnuFlipClick(effects.flip);
    ws.mnuSwapClick(effects.swap);
    ws.AddBtnClick();
    const std::string file = t.dir().file("one.ZMB");
    t.prompts().fileChoice(FileChoice{file, int(FileType::ZMB)});
    ws.SaveXFile();
    return readFile(file);
}

TEST(Geometry, EffectsAtRenderTimeAndAtSaveTimeGiveTheSameBytes)
{
    for (int n : {16, 24, 32})
        for (int r = 0; r < 4; ++r)
            for (int f = 0; f < 3; ++f)
                for (int s = 0; s < 3; ++s) {
                    const Effects e{Rotation(r), Flip(f), Swap(s)};
                    const std::string atSave = savedGlyph(n, e, false);
                    ASSERT_EQ(atSave.size(), std::size_t(glyphBytes(n) + 2));
                    EXPECT_EQ(savedGlyph(n, e, true), atSave)
                        << n << " dots, rotation " << r << ", flip " << f << ", swap " << s;
                }
}

TEST(Geometry, TheSampleGlyphIsNotBlankAndEffectsChangeIt)
{
    // Guards the comparison above: it would pass trivially on blank glyphs.
    for (int n : {16, 24, 32}) {
        const std::string upright = savedGlyph(n, {}, false);
        EXPECT_NE(upright.substr(0, std::size_t(glyphBytes(n))), std::string(std::size_t(glyphBytes(n)), '\0'));
        EXPECT_NE(savedGlyph(n, {Rotation::R90, Flip::None, Swap::None}, false), upright);
    }
}

} // namespace
} // namespace dotforge::test
