// Byte layout modes and the default effects applied when a file is written.

#include "formats/layout.h"
#include "tests/core/formats_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

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

// ---- glyph boxes that are not square --------------------------------------

TEST(Layout, halfGlyphSizes)
{
    struct Row {
        int n, width, boxWidth, bytes;
    };
    for (const Row r : {Row{16, 8, 8, 16}, Row{24, 12, 16, 48}, Row{32, 16, 16, 64}}) {
        EXPECT_EQ(halfWidth(r.n), r.width) << r.n;
        EXPECT_EQ(halfBoxWidth(r.n), r.boxWidth) << r.n;
        EXPECT_EQ(halfGlyphBytes(r.n), r.bytes) << r.n;
        EXPECT_TRUE(isGlyphBox(halfBox(r.n))) << r.n;
    }
}

// Bytes written as hex digits: "80*15 F0" is 0x80 fifteen times, then 0xF0;
// "8000*3" is 0x80 0x00 three times.
Sequence hexRuns(const std::string &text)
{
    Sequence out;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        const std::size_t star = token.find('*');
        const std::string digits = token.substr(0, star);
        const int times = star == std::string::npos ? 1 : std::stoi(token.substr(star + 1));
        for (int i = 0; i < times; ++i)
            for (std::size_t d = 0; d < digits.size(); d += 2)
                out.push_back(std::uint8_t(std::stoi(digits.substr(d, 2), nullptr, 16)));
    }
    return out;
}

// An L of a W x H box: column 0 inked from top to bottom, the bottom row inked
// from column 0 to `foot` - 1.
GlyphPlane boxL(GlyphBox box, int foot)
{
    GlyphPlane p;
    for (int y = 0; y < box.height; ++y)
        p.setDot(0, y, true);
    for (int x = 0; x < foot; ++x)
        p.setDot(x, box.height - 1, true);
    return p;
}

// One L of a box written in one mode under one set of effects.
struct BoxBytes {
    GlyphBox box;
    int foot;
    Mode mode;
    Effects effects;
    const char *bytes;
};

std::ostream &operator<<(std::ostream &os, const BoxBytes &b)
{
    return os << b.box.width << " x " << b.box.height << ", mode "
              << "ABCD"[int(b.mode)] << ", rotation " << int(b.effects.rotation) << ", flip " << int(b.effects.flip)
              << ", swap " << int(b.effects.swap);
}

class BoxBytesTest : public ::testing::TestWithParam<BoxBytes> { };

TEST_P(BoxBytesTest, writesAndReadsBack)
{
    const BoxBytes b = GetParam();
    const GlyphPlane raw = boxL(b.box, b.foot);
    const Sequence want = hexRuns(b.bytes);
    ASSERT_EQ(want.size(), std::size_t(boxBytes(b.box)));
    EXPECT_EQ(toFileOrder(raw, b.box, b.mode, b.effects), want);
    EXPECT_EQ(artFromPlane(decodeGlyph(want, b.box, b.mode, b.effects), 32), artFromPlane(raw, 32));
}

constexpr GlyphBox k8x16{8, 16};
constexpr GlyphBox k16x24{16, 24};

INSTANTIATE_TEST_SUITE_P(Boxes, BoxBytesTest,
    ::testing::Values(
        // 8 x 16, foot of 4: rows 0 to 14 0x80, row 15 0xF0. One band, so A is
        // C and B is D.
        BoxBytes{k8x16, 4, Mode::A, {}, "80*15 F0"}, BoxBytes{k8x16, 4, Mode::B, {}, "01*15 0F"},
        BoxBytes{k8x16, 4, Mode::C, {}, "80*15 F0"}, BoxBytes{k8x16, 4, Mode::D, {}, "01*15 0F"},
        // A left turn makes it 16 x 8: the column becomes row 7, the foot
        // column 15 of rows 4 to 7.
        BoxBytes{k8x16, 4, Mode::A, rot(Rotation::R90), "00*7 FF 00*4 01*3 FF"},
        BoxBytes{k8x16, 4, Mode::B, rot(Rotation::R90), "00*7 FF 00*4 80*3 FF"},
        BoxBytes{k8x16, 4, Mode::C, rot(Rotation::R90), "0000*4 0001*3 FFFF"},
        BoxBytes{k8x16, 4, Mode::D, rot(Rotation::R90), "0000*4 0080*3 FFFF"},
        // Half turn: column 7, the foot in row 0, columns 4 to 7.
        BoxBytes{k8x16, 4, Mode::A, rot(Rotation::R180), "0F 01*15"},
        BoxBytes{k8x16, 4, Mode::D, rot(Rotation::R180), "F0 80*15"},
        // A right turn: the column becomes row 0, the foot column 0 of rows 0
        // to 3.
        BoxBytes{k8x16, 4, Mode::A, rot(Rotation::R270), "FF 80*3 00*4 FF 00*7"},
        BoxBytes{k8x16, 4, Mode::C, rot(Rotation::R270), "FFFF 8000*3 0000*4"},
        BoxBytes{k8x16, 4, Mode::D, rot(Rotation::R270), "FFFF 0100*3 0000*4"},
        BoxBytes{k8x16, 4, Mode::C, flp(Flip::Horizontal), "01*15 0F"},
        BoxBytes{k8x16, 4, Mode::C, flp(Flip::Vertical), "F0 80*15"},
        BoxBytes{k8x16, 4, Mode::B, flp(Flip::Vertical), "0F 01*15"},
        // One column band: nothing to swap. Two row bands: row 15 to row 7.
        BoxBytes{k8x16, 4, Mode::C, swp(Swap::LeftRight), "80*15 F0"},
        BoxBytes{k8x16, 4, Mode::C, swp(Swap::UpDown), "80*7 F0 80*8"},
        // After the turn the box is 16 wide: the column bands swap, the single
        // row band stays.
        BoxBytes{k8x16, 4, Mode::C, {Rotation::R90, Flip::None, Swap::LeftRight}, "0000*4 0100*3 FFFF"},
        BoxBytes{k8x16, 4, Mode::C, {Rotation::R90, Flip::None, Swap::UpDown}, "0000*4 0001*3 FFFF"},
        // Turn, then flip: row 7 becomes row 0.
        BoxBytes{k8x16, 4, Mode::A, {Rotation::R90, Flip::Vertical, Swap::None}, "FF 00*7 FF 01*3 00*4"},
        // 16 x 24, foot of 12: rows 0 to 22 0x80 0x00, row 23 0xFF 0xF0.
        BoxBytes{k16x24, 12, Mode::A, {}, "80*23 FF 00*23 F0"}, BoxBytes{k16x24, 12, Mode::B, {}, "01*23 FF 00*23 0F"},
        BoxBytes{k16x24, 12, Mode::C, {}, "8000*23 FFF0"}, BoxBytes{k16x24, 12, Mode::D, {}, "0100*23 FF0F"},
        // Left turn to 24 x 16: the column is row 15, the foot column 23 of
        // rows 4 to 15; three bands of 16 bytes, rows of 3 bytes.
        BoxBytes{k16x24, 12, Mode::A, rot(Rotation::R90), "00*15 FF 00*15 FF 00*4 01*11 FF"},
        BoxBytes{k16x24, 12, Mode::C, rot(Rotation::R90), "000000*4 000001*11 FFFFFF"},
        BoxBytes{k16x24, 12, Mode::D, rot(Rotation::R90), "000000*4 000080*11 FFFFFF"},
        // Right turn: the column is row 0, the foot column 0 of rows 0 to 11.
        BoxBytes{k16x24, 12, Mode::A, rot(Rotation::R270), "FF 80*11 00*4 FF 00*15 FF 00*15"},
        BoxBytes{k16x24, 12, Mode::B, rot(Rotation::R270), "FF 01*11 00*4 FF 00*15 FF 00*15"},
        BoxBytes{k16x24, 12, Mode::C, rot(Rotation::R180), "0FFF 0001*23"},
        BoxBytes{k16x24, 12, Mode::D, flp(Flip::Vertical), "FF0F 0100*23"},
        BoxBytes{k16x24, 12, Mode::C, swp(Swap::LeftRight), "0080*23 F0FF"},
        BoxBytes{k16x24, 12, Mode::A, swp(Swap::LeftRight), "00*23 F0 80*23 FF"},
        BoxBytes{k16x24, 12, Mode::C, swp(Swap::UpDown), "8000*7 FFF0 8000*16"}));

// Every box, mode and set of effects reads back what it wrote, and never
// reads the plane outside the raw box.
TEST(Layout, everyBoxModeAndEffectsRoundTrips)
{
    const GlyphBox boxes[] = {{8, 16}, {16, 24}, {16, 32}, {24, 16}, {16, 16}, {24, 24}, {32, 32}};
    for (const GlyphBox box : boxes) {
        GlyphPlane glyph;
        GlyphPlane junk;
        junk.bytes.fill(0xFF);
        for (int y = 0; y < box.height; ++y)
            for (int x = 0; x < box.width; ++x) {
                const bool ink = (x * 7 + y * 13 + x * y) % 5 < 2;
                glyph.setDot(x, y, ink);
                junk.setDot(x, y, ink);
            }
        for (const Mode mode : {Mode::A, Mode::B, Mode::C, Mode::D})
            for (int r = 0; r < 4; ++r)
                for (int f = 0; f < 3; ++f)
                    for (int s = 0; s < 3; ++s) {
                        const Effects e{Rotation(r), Flip(f), Swap(s)};
                        const Sequence seq = toFileOrder(glyph, box, mode, e);
                        const std::string where = std::to_string(box.width) + " x " + std::to_string(box.height)
                            + ", mode " + "ABCD"[int(mode)] + ", rotation " + std::to_string(r) + ", flip "
                            + std::to_string(f) + ", swap " + std::to_string(s);
                        ASSERT_EQ(seq.size(), std::size_t(boxBytes(box))) << where;
                        EXPECT_EQ(decodeGlyph(seq, box, mode, e), glyph) << where;
                        EXPECT_EQ(toFileOrder(junk, box, mode, e), seq) << where;
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
