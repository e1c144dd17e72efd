// Byte layout modes and the default effects applied when a file is written.

#include "formats/layout.h"
#include "tests/core/formats_support.h"

#include <gtest/gtest.h>

namespace dotforge::test {
namespace {

// One inked dot and where it lands in the converted sequence.
struct Probe {
    int n;
    int x, y;
    Mode mode;
    int index;
    std::uint8_t value;
};

std::ostream &operator<<(std::ostream &os, const Probe &p)
{
    return os << p.n << " dots, dot (" << p.x << "," << p.y << "), mode "
              << "ABCD"[int(p.mode)];
}

class ProbeTest : public ::testing::TestWithParam<Probe> { };

TEST_P(ProbeTest, singleDotLandsOnOneByte)
{
    const Probe p = GetParam();
    GlyphPlane raw;
    raw.setDot(p.x, p.y, true);
    const Sequence seq = toFileOrder(raw, p.n, p.mode);
    ASSERT_EQ(seq.size(), std::size_t(p.n * p.n / 8));
    for (std::size_t t = 0; t < seq.size(); ++t)
        EXPECT_EQ(seq[t], t == std::size_t(p.index) ? p.value : 0) << "byte " << t;
    EXPECT_EQ(fromFileOrder(seq, p.n, p.mode), raw);
}

INSTANTIATE_TEST_SUITE_P(Modes, ProbeTest,
    ::testing::Values(
        // 16 dots: A/B by bands of 16 bytes, C/D by rows of 2 bytes.
        Probe{16, 0, 0, Mode::A, 0, 0x80}, Probe{16, 0, 0, Mode::B, 0, 0x01}, Probe{16, 0, 0, Mode::C, 0, 0x80},
        Probe{16, 0, 0, Mode::D, 0, 0x01}, Probe{16, 7, 0, Mode::A, 0, 0x01}, Probe{16, 7, 0, Mode::B, 0, 0x80},
        Probe{16, 8, 0, Mode::A, 16, 0x80}, Probe{16, 8, 0, Mode::B, 16, 0x01}, Probe{16, 8, 0, Mode::C, 1, 0x80},
        Probe{16, 8, 0, Mode::D, 1, 0x01}, Probe{16, 0, 8, Mode::A, 8, 0x80}, Probe{16, 0, 8, Mode::C, 16, 0x80},
        Probe{16, 8, 1, Mode::A, 17, 0x80}, Probe{16, 8, 1, Mode::B, 17, 0x01}, Probe{16, 8, 1, Mode::C, 3, 0x80},
        Probe{16, 8, 1, Mode::D, 3, 0x01}, Probe{16, 15, 15, Mode::A, 31, 0x01}, Probe{16, 15, 15, Mode::B, 31, 0x80},
        Probe{16, 15, 15, Mode::C, 31, 0x01}, Probe{16, 15, 15, Mode::D, 31, 0x80},
        // 24 dots: bands of 24 bytes, rows of 3 bytes.
        Probe{24, 0, 0, Mode::A, 0, 0x80}, Probe{24, 0, 0, Mode::D, 0, 0x01}, Probe{24, 8, 0, Mode::A, 24, 0x80},
        Probe{24, 8, 0, Mode::C, 1, 0x80}, Probe{24, 16, 0, Mode::A, 48, 0x80}, Probe{24, 16, 0, Mode::C, 2, 0x80},
        Probe{24, 0, 8, Mode::A, 8, 0x80}, Probe{24, 0, 8, Mode::C, 24, 0x80}, Probe{24, 8, 1, Mode::B, 25, 0x01},
        Probe{24, 8, 1, Mode::D, 4, 0x01}, Probe{24, 23, 23, Mode::A, 71, 0x01}, Probe{24, 23, 23, Mode::D, 71, 0x80},
        // 32 dots: bands of 32 bytes, rows of 4 bytes.
        Probe{32, 0, 0, Mode::B, 0, 0x01}, Probe{32, 8, 0, Mode::A, 32, 0x80}, Probe{32, 8, 0, Mode::C, 1, 0x80},
        Probe{32, 0, 8, Mode::A, 8, 0x80}, Probe{32, 0, 8, Mode::C, 32, 0x80}, Probe{32, 8, 1, Mode::A, 33, 0x80},
        Probe{32, 8, 1, Mode::D, 5, 0x01}, Probe{32, 24, 5, Mode::A, 101, 0x80}, Probe{32, 24, 5, Mode::C, 23, 0x80},
        Probe{32, 31, 31, Mode::B, 127, 0x80}, Probe{32, 31, 31, Mode::C, 127, 0x01}));

TEST(Layout, modeCWithoutEffectsIsTheRawSquare)
{
    for (const int n : {16, 24, 32}) {
        GlyphPlane raw;
        for (std::size_t i = 0; i < raw.bytes.size(); ++i)
            raw.bytes[i] = std::uint8_t(i * 37 + 11);
        EXPECT_EQ(toFileOrder(raw, n, Mode::C), squareBytes(raw, n)) << n;
    }
}

TEST(Layout, mode24AIsLeftMiddleRightBand)
{
    GlyphPlane raw;
    for (int r = 0; r < 24; ++r) {
        raw.at(r, 0) = std::uint8_t(r);
        raw.at(r, 1) = std::uint8_t(0x40 + r);
        raw.at(r, 2) = std::uint8_t(0x80 + r);
    }
    const Sequence seq = toFileOrder(raw, 24, Mode::A);
    ASSERT_EQ(seq.size(), 72u);
    for (int r = 0; r < 24; ++r) {
        EXPECT_EQ(seq[std::size_t(r)], r);
        EXPECT_EQ(seq[std::size_t(24 + r)], 0x40 + r);
        EXPECT_EQ(seq[std::size_t(48 + r)], 0x80 + r);
    }
}

// Where one dot goes under one default effect.
struct Moved {
    int n;
    Effects effects;
    int fromX, fromY;
    int toX, toY;
};

class EffectTest : public ::testing::TestWithParam<Moved> { };

TEST_P(EffectTest, dotMoves)
{
    const Moved m = GetParam();
    GlyphPlane raw;
    raw.setDot(m.fromX, m.fromY, true);
    GlyphPlane expected;
    expected.setDot(m.toX, m.toY, true);
    EXPECT_EQ(artFromPlane(applyEffects(raw, m.n, m.effects), m.n), artFromPlane(expected, m.n));
}

constexpr Effects rot(Rotation r)
{
    return {r, Flip::None, Swap::None};
}
constexpr Effects flp(Flip f)
{
    return {Rotation::R0, f, Swap::None};
}
constexpr Effects swp(Swap s)
{
    return {Rotation::R0, Flip::None, s};
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectTest,
    ::testing::Values(
        // Quarter turn left: the top-right dot becomes the top-left one.
        Moved{16, rot(Rotation::R90), 15, 0, 0, 0}, Moved{16, rot(Rotation::R90), 0, 0, 0, 15},
        Moved{16, rot(Rotation::R90), 3, 1, 1, 12}, Moved{24, rot(Rotation::R90), 23, 0, 0, 0},
        Moved{16, rot(Rotation::R180), 3, 1, 12, 14}, Moved{32, rot(Rotation::R180), 0, 0, 31, 31},
        // Quarter turn right.
        Moved{16, rot(Rotation::R270), 0, 0, 15, 0}, Moved{16, rot(Rotation::R270), 3, 1, 14, 3},
        Moved{16, flp(Flip::Horizontal), 3, 1, 12, 1}, Moved{24, flp(Flip::Horizontal), 0, 5, 23, 5},
        // Row 0 and row n-1 change places.
        Moved{16, flp(Flip::Vertical), 4, 0, 4, 15}, Moved{24, flp(Flip::Vertical), 4, 23, 4, 0},
        Moved{32, flp(Flip::Vertical), 4, 0, 4, 31},
        // Bands change places; at 24 dots the middle one stays.
        Moved{16, swp(Swap::LeftRight), 3, 1, 11, 1}, Moved{24, swp(Swap::LeftRight), 3, 1, 19, 1},
        Moved{24, swp(Swap::LeftRight), 10, 1, 10, 1}, Moved{32, swp(Swap::LeftRight), 9, 0, 17, 0},
        Moved{16, swp(Swap::UpDown), 2, 3, 2, 11}, Moved{24, swp(Swap::UpDown), 2, 3, 2, 19},
        Moved{24, swp(Swap::UpDown), 2, 10, 2, 10}, Moved{24, swp(Swap::UpDown), 2, 20, 2, 4},
        Moved{32, swp(Swap::UpDown), 2, 9, 2, 17},
        // Mirror, then swap the bands: each band mirrored in place.
        Moved{16, {Rotation::R0, Flip::Horizontal, Swap::LeftRight}, 0, 0, 7, 0},
        Moved{16, {Rotation::R0, Flip::Horizontal, Swap::LeftRight}, 9, 0, 14, 0},
        // Rotation, then flip, then swap: (15,0) -> (0,0) -> (0,15) -> (0,7).
        Moved{16, {Rotation::R90, Flip::Vertical, Swap::UpDown}, 15, 0, 0, 7}));

// The workspace's conversions: effects from the menus at save time only when
// the view option is off; only the glyph square is touched.
TEST(TransXDot, appliesDefaultEffectsOnlyWithViewOff)
{
    TestWorkspace tw;
    tw->mnuModeClick(Mode::C);
    tw->mnuRotationClick(Rotation::R90);
    GlyphPlane topRight;
    topRight.setDot(15, 0, true);

    showLibraryGlyph(tw.ws(), topRight);
    tw->TransXDot();
    EXPECT_EQ(tw->libPlane().at(0, 0), 0x80);
    EXPECT_EQ(tw->libPlane().at(0, 1), 0x00);

    tw.prompts().answer(Answer::Yes); // the library is emptied
    tw->mnuViewClick();
    showLibraryGlyph(tw.ws(), topRight);
    tw->TransXDot();
    EXPECT_EQ(tw->libPlane(), topRight);
}

TEST(TransXDot, savedFlipAndSwapOfRows)
{
    TestWorkspace tw;
    tw->mnuModeClick(Mode::C);
    tw->mnu24Click();
    GlyphPlane rows;
    for (int r = 0; r < 24; ++r)
        rows.at(r, 0) = std::uint8_t(r + 1);

    tw->mnuFlipClick(Flip::Vertical);
    showLibraryGlyph(tw.ws(), rows);
    tw->TransXDot();
    EXPECT_EQ(tw->libPlane().at(0, 0), 24);
    EXPECT_EQ(tw->libPlane().at(23, 0), 1);

    tw->mnuFlipClick(Flip::None);
    tw->mnuSwapClick(Swap::UpDown);
    tw->ReadXDot(); // the stored glyph again
    tw->TransXDot();
    for (int r = 0; r < 24; ++r) {
        const int from = r < 8 ? r + 16 : r < 16 ? r : r - 16;
        EXPECT_EQ(tw->libPlane().at(r, 0), from + 1) << "row " << r;
    }
}

TEST(TransXDot, touchesOnlyTheGlyphSquareAndTransDotUndoesIt)
{
    for (const int n : {16, 24}) {
        for (const Mode mode : {Mode::A, Mode::B, Mode::C, Mode::D}) {
            TestWorkspace tw;
            if (n == 24)
                tw->mnu24Click();
            tw->mnuModeClick(mode);
            GlyphPlane plane;
            plane.bytes.fill(0xA5);
            plane.at(0, 0) = 0x81;
            plane.at(n - 1, n / 8 - 1) = 0x3C;
            showLibraryGlyph(tw.ws(), plane);
            tw->TransXDot();
            for (int r = 0; r < 32; ++r)
                for (int k = 0; k < 4; ++k)
                    if (r >= n || k >= n / 8) {
                        EXPECT_EQ(tw->libPlane().at(r, k), 0xA5) << n << " row " << r << " byte " << k;
                    }
            // Back to the library view: the editor takes the converted glyph.
            tw->selectRG1(0);
            tw->selectRG1(1);
            ASSERT_EQ(tw->editPlane(), tw->libPlane());
            tw->TransDot();
            EXPECT_EQ(tw->editPlane(), plane) << n << " mode " << int(mode);
        }
    }
}

TEST(Layout, modeChoiceTicksOnlyTheMode)
{
    TestWorkspace tw;
    EXPECT_EQ(tw->controls().mode, Mode::A);
    fillStore(tw.ws(), threeGlyphs(), kThreeCodes);
    tw.setGrid({"#..#", ".##."});
    const std::vector<std::string> shown = tw.grid();
    const GlyphPlane editPlane = tw->editPlane();
    tw->mnuModeClick(Mode::D);
    EXPECT_EQ(tw->controls().mode, Mode::D);
    EXPECT_EQ(storeRecords(tw.ws(), 3), threeGlyphs());
    EXPECT_EQ(tw->library().LibCount(), 3);
    EXPECT_EQ(tw.grid(), shown);
    EXPECT_EQ(tw->editPlane(), editPlane);
    EXPECT_TRUE(tw.prompts().log().empty());
}

} // namespace
} // namespace dotforge::test
