// The default effects give the same file whether they are applied to the grid
// when a glyph is rendered or to the stored glyph when the file is written; the
// transforms of glyph boxes that are not square.

#include "core/glyph_geometry.h"
#include "tests/support/test_workspace.h"

#include <gtest/gtest.h>

#include <ostream>

namespace dotforge {
std::ostream &operator<<(std::ostream &os, const GlyphBox &box)
{
    return os << box.width << " x " << box.height;
}
} // namespace dotforge

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

// Where one dot of a box goes under one transform, and the box it gives.
struct BoxMove {
    Transform t;
    GlyphBox box;
    Point from;
    Point to;
    GlyphBox after;
};

std::ostream &operator<<(std::ostream &os, const BoxMove &m)
{
    return os << "transform " << int(m.t) << " of " << m.box << ", dot (" << m.from.x << "," << m.from.y << ")";
}

class BoxMoveTest : public ::testing::TestWithParam<BoxMove> { };

TEST_P(BoxMoveTest, dotMovesInBothGrids)
{
    const BoxMove m = GetParam();
    GlyphPlane plane;
    plane.setDot(m.from.x, m.from.y, true);
    GlyphPlane wantPlane;
    wantPlane.setDot(m.to.x, m.to.y, true);
    EXPECT_EQ(transformBox(plane, m.box, m.t), m.after);
    EXPECT_EQ(artFromPlane(plane, 32), artFromPlane(wantPlane, 32));

    CellTexts cells;
    cells.at(m.from.x, m.from.y) = kInk;
    CellTexts wantCells;
    wantCells.at(m.to.x, m.to.y) = kInk;
    EXPECT_EQ(transformBox(cells, m.box, m.t), m.after);
    EXPECT_EQ(cells.cells, wantCells.cells);
}

constexpr GlyphBox k8x16{8, 16};
constexpr GlyphBox k16x8{16, 8};
constexpr GlyphBox k16x24{16, 24};
constexpr GlyphBox k24x16{24, 16};

INSTANTIATE_TEST_SUITE_P(Boxes, BoxMoveTest,
    ::testing::Values(
        // A left turn of W x H: (x, y) to (y, W - 1 - x) in H x W.
        BoxMove{Transform::TurnLeft, k8x16, {7, 0}, {0, 0}, k16x8},
        BoxMove{Transform::TurnLeft, k8x16, {0, 0}, {0, 7}, k16x8},
        BoxMove{Transform::TurnLeft, k8x16, {0, 15}, {15, 7}, k16x8},
        BoxMove{Transform::TurnLeft, k8x16, {3, 10}, {10, 4}, k16x8},
        BoxMove{Transform::TurnLeft, k16x8, {15, 0}, {0, 0}, k8x16},
        BoxMove{Transform::TurnLeft, k16x24, {15, 0}, {0, 0}, k24x16},
        BoxMove{Transform::TurnLeft, k16x24, {0, 23}, {23, 15}, k24x16},
        // A right turn: (x, y) to (H - 1 - y, x).
        BoxMove{Transform::TurnRight, k8x16, {0, 0}, {15, 0}, k16x8},
        BoxMove{Transform::TurnRight, k8x16, {7, 15}, {0, 7}, k16x8},
        BoxMove{Transform::TurnRight, k8x16, {3, 10}, {5, 3}, k16x8},
        BoxMove{Transform::TurnRight, k16x24, {0, 0}, {23, 0}, k24x16},
        BoxMove{Transform::TurnRight, k24x16, {23, 15}, {0, 23}, k16x24},
        // Mirrors over the box's own width and height.
        BoxMove{Transform::MirrorAcross, k8x16, {1, 2}, {6, 2}, k8x16},
        BoxMove{Transform::MirrorAcross, k16x24, {0, 23}, {15, 23}, k16x24},
        BoxMove{Transform::MirrorDown, k8x16, {1, 2}, {1, 13}, k8x16},
        BoxMove{Transform::MirrorDown, k16x24, {5, 0}, {5, 23}, k16x24},
        // Band swaps: a box one band wide stays as it is; 16 x 24 has two
        // column bands and three row bands, the middle one staying.
        BoxMove{Transform::SwapBandsAcross, k8x16, {3, 4}, {3, 4}, k8x16},
        BoxMove{Transform::SwapBandsAcross, k16x24, {3, 4}, {11, 4}, k16x24},
        BoxMove{Transform::SwapBandsDown, k8x16, {3, 4}, {3, 12}, k8x16},
        BoxMove{Transform::SwapBandsDown, k16x24, {3, 4}, {3, 20}, k16x24},
        BoxMove{Transform::SwapBandsDown, k16x24, {3, 10}, {3, 10}, k16x24},
        BoxMove{Transform::SwapBandsDown, k24x16, {20, 9}, {20, 1}, k24x16},
        // The square is the case W = H.
        BoxMove{Transform::TurnLeft, {16, 16}, {15, 0}, {0, 0}, {16, 16}},
        BoxMove{Transform::TurnRight, {32, 32}, {0, 0}, {31, 0}, {32, 32}}));

GlyphPlane filled(std::uint8_t fill)
{
    GlyphPlane p;
    p.bytes.fill(fill);
    return p;
}

// A quarter turn of an 8 x 16 box blanks the part of it the 16 x 8 result
// leaves and keeps every dot outside both boxes.
TEST(GlyphBoxTransform, TurnBlanksWhatTheNewBoxLeavesAndKeepsTheRest)
{
    GlyphPlane p = filled(0xFF);
    EXPECT_EQ(transformBox(p, k8x16, Transform::TurnLeft), k16x8);
    for (int r = 0; r < 32; ++r)
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(p.at(r, k), r >= 8 && r < 16 && k == 0 ? 0x00 : 0xFF) << "row " << r << " byte " << k;
}

// Two turns and the effects that include them end in the box they started
// from; the box in between, turned, must not show outside it.
TEST(GlyphBoxTransform, HalfTurnKeepsEverythingOutsideTheBox)
{
    for (const GlyphBox box : {k8x16, k16x24}) {
        GlyphPlane raw = filled(0xA5);
        for (int y = 0; y < box.height; ++y)
            for (int x = 0; x < box.width; ++x)
                raw.setDot(x, y, x == 1 && y == 0);
        GlyphPlane want = raw;
        want.setDot(1, 0, false);
        want.setDot(box.width - 2, box.height - 1, true);

        GlyphBox after{};
        EXPECT_EQ(applyEffects(raw, box, {Rotation::R180, Flip::None, Swap::None}, &after), want) << box;
        EXPECT_EQ(after, box);
        const Transform twoTurns[] = {Transform::TurnRight, Transform::TurnRight};
        GlyphPlane turned = raw;
        EXPECT_EQ(transformBox(turned, box, twoTurns), box);
        EXPECT_EQ(turned, want) << box;
    }
}

} // namespace
} // namespace dotforge::test
