// Named controller layouts against the memory orders they name, and the layout
// finder. Expected bytes follow the words of each order: where dot (x, y) of an
// n x n glyph lands, with B = n / 8 bytes per row or column.

#include "formats/profiles.h"
#include "tests/core/formats_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace dotforge::test {
namespace {

enum class ProbeGlyph { TopLeft, TopRight, BottomLeft, BottomRight, TopRow, LeftColumn };

GlyphPlane probe(ProbeGlyph which, int n)
{
    GlyphPlane g;
    switch (which) {
    case ProbeGlyph::TopLeft:
        g.setDot(0, 0, true);
        break;
    case ProbeGlyph::TopRight:
        g.setDot(n - 1, 0, true);
        break;
    case ProbeGlyph::BottomLeft:
        g.setDot(0, n - 1, true);
        break;
    case ProbeGlyph::BottomRight:
        g.setDot(n - 1, n - 1, true);
        break;
    case ProbeGlyph::TopRow:
        for (int x = 0; x < n; ++x)
            g.setDot(x, 0, true);
        break;
    case ProbeGlyph::LeftColumn:
        for (int y = 0; y < n; ++y)
            g.setDot(0, y, true);
        break;
    }
    return g;
}

using Bytes = std::map<int, int>; // byte number -> value; the other bytes are zero

// For each probe glyph, the bytes it sets at dot size n (b = n / 8).
struct Expected {
    const char *profile;
    std::function<Bytes(ProbeGlyph, int n, int b)> bytes;
};

// "Every k < count: byte first + k * step = value".
Bytes run(int first, int step, int count, int value)
{
    Bytes out;
    for (int k = 0; k < count; ++k)
        out[first + k * step] = value;
    return out;
}

const std::vector<Expected> kExpected{
    // Rows from the top, each row's b bytes from the left, bit 7 the leftmost dot.
    {"rows-msb",
        [](ProbeGlyph p, int n, int b) -> Bytes {
            switch (p) {
            case ProbeGlyph::TopLeft:
                return {{0, 0x80}};
            case ProbeGlyph::TopRight:
                return {{b - 1, 0x01}};
            case ProbeGlyph::BottomLeft:
                return {{(n - 1) * b, 0x80}};
            case ProbeGlyph::BottomRight:
                return {{n * b - 1, 0x01}};
            case ProbeGlyph::TopRow:
                return run(0, 1, b, 0xFF);
            case ProbeGlyph::LeftColumn:
                return run(0, b, n, 0x80);
            }
            return {};
        }},
    // As rows-msb, bit 0 the leftmost dot.
    {"rows-lsb",
        [](ProbeGlyph p, int n, int b) -> Bytes {
            switch (p) {
            case ProbeGlyph::TopLeft:
                return {{0, 0x01}};
            case ProbeGlyph::TopRight:
                return {{b - 1, 0x80}};
            case ProbeGlyph::BottomLeft:
                return {{(n - 1) * b, 0x01}};
            case ProbeGlyph::BottomRight:
                return {{n * b - 1, 0x80}};
            case ProbeGlyph::TopRow:
                return run(0, 1, b, 0xFF);
            case ProbeGlyph::LeftColumn:
                return run(0, b, n, 0x01);
            }
            return {};
        }},
    // Page p (rows 8p .. 8p+7), column x: byte p * n + x; bit 0 the top dot.
    {"pages-lsb",
        [](ProbeGlyph p, int n, int b) -> Bytes {
            switch (p) {
            case ProbeGlyph::TopLeft:
                return {{0, 0x01}};
            case ProbeGlyph::TopRight:
                return {{n - 1, 0x01}};
            case ProbeGlyph::BottomLeft:
                return {{(b - 1) * n, 0x80}};
            case ProbeGlyph::BottomRight:
                return {{b * n - 1, 0x80}};
            case ProbeGlyph::TopRow:
                return run(0, 1, n, 0x01);
            case ProbeGlyph::LeftColumn:
                return run(0, n, b, 0xFF);
            }
            return {};
        }},
    // As pages-lsb, bit 7 the top dot.
    {"pages-msb",
        [](ProbeGlyph p, int n, int b) -> Bytes {
            switch (p) {
            case ProbeGlyph::TopLeft:
                return {{0, 0x80}};
            case ProbeGlyph::TopRight:
                return {{n - 1, 0x80}};
            case ProbeGlyph::BottomLeft:
                return {{(b - 1) * n, 0x01}};
            case ProbeGlyph::BottomRight:
                return {{b * n - 1, 0x01}};
            case ProbeGlyph::TopRow:
                return run(0, 1, n, 0x80);
            case ProbeGlyph::LeftColumn:
                return run(0, n, b, 0xFF);
            }
            return {};
        }},
    // Column x, page p: byte x * b + p; bit 7 the top dot.
    {"columns-msb",
        [](ProbeGlyph p, int n, int b) -> Bytes {
            switch (p) {
            case ProbeGlyph::TopLeft:
                return {{0, 0x80}};
            case ProbeGlyph::TopRight:
                return {{(n - 1) * b, 0x80}};
            case ProbeGlyph::BottomLeft:
                return {{b - 1, 0x01}};
            case ProbeGlyph::BottomRight:
                return {{n * b - 1, 0x01}};
            case ProbeGlyph::TopRow:
                return run(0, b, n, 0x80);
            case ProbeGlyph::LeftColumn:
                return run(0, 1, b, 0xFF);
            }
            return {};
        }},
    // As columns-msb, bit 0 the top dot.
    {"columns-lsb",
        [](ProbeGlyph p, int n, int b) -> Bytes {
            switch (p) {
            case ProbeGlyph::TopLeft:
                return {{0, 0x01}};
            case ProbeGlyph::TopRight:
                return {{(n - 1) * b, 0x01}};
            case ProbeGlyph::BottomLeft:
                return {{b - 1, 0x80}};
            case ProbeGlyph::BottomRight:
                return {{n * b - 1, 0x80}};
            case ProbeGlyph::TopRow:
                return run(0, b, n, 0x01);
            case ProbeGlyph::LeftColumn:
                return run(0, 1, b, 0xFF);
            }
            return {};
        }},
    // Band k (columns 8k .. 8k+7), row y: byte k * n + y; bit 7 the leftmost dot.
    {"bands-msb",
        [](ProbeGlyph p, int n, int b) -> Bytes {
            switch (p) {
            case ProbeGlyph::TopLeft:
                return {{0, 0x80}};
            case ProbeGlyph::TopRight:
                return {{(b - 1) * n, 0x01}};
            case ProbeGlyph::BottomLeft:
                return {{n - 1, 0x80}};
            case ProbeGlyph::BottomRight:
                return {{b * n - 1, 0x01}};
            case ProbeGlyph::TopRow:
                return run(0, n, b, 0xFF);
            case ProbeGlyph::LeftColumn:
                return run(0, 1, n, 0x80);
            }
            return {};
        }},
    // As bands-msb, bit 0 the leftmost dot.
    {"bands-lsb",
        [](ProbeGlyph p, int n, int b) -> Bytes {
            switch (p) {
            case ProbeGlyph::TopLeft:
                return {{0, 0x01}};
            case ProbeGlyph::TopRight:
                return {{(b - 1) * n, 0x80}};
            case ProbeGlyph::BottomLeft:
                return {{n - 1, 0x01}};
            case ProbeGlyph::BottomRight:
                return {{b * n - 1, 0x80}};
            case ProbeGlyph::TopRow:
                return run(0, n, b, 0xFF);
            case ProbeGlyph::LeftColumn:
                return run(0, 1, n, 0x01);
            }
            return {};
        }},
};

TEST(Profiles, ProbeGlyphsLandWhereTheMemoryOrderSays)
{
    ASSERT_EQ(layoutProfiles().size(), kExpected.size());
    for (const Expected &e : kExpected) {
        const LayoutProfile *profile = findProfile(e.profile);
        ASSERT_NE(profile, nullptr) << e.profile;
        for (const int n : {16, 24, 32}) {
            for (const ProbeGlyph p : {ProbeGlyph::TopLeft, ProbeGlyph::TopRight, ProbeGlyph::BottomLeft,
                     ProbeGlyph::BottomRight, ProbeGlyph::TopRow, ProbeGlyph::LeftColumn}) {
                const Bytes expected = e.bytes(p, n, n / 8);
                const GlyphPlane glyph = probe(p, n);
                const Sequence seq = toFileOrder(glyph, n, profile->layout.mode, profile->layout.effects);
                ASSERT_EQ(seq.size(), std::size_t(n * n / 8));
                for (int t = 0; t < int(seq.size()); ++t) {
                    const auto it = expected.find(t);
                    EXPECT_EQ(int(seq[std::size_t(t)]), it == expected.end() ? 0 : it->second)
                        << e.profile << ", " << n << " dots, probe " << int(p) << ", byte " << t;
                }
                // What the device shows is the upright glyph again.
                EXPECT_EQ(decodeGlyph(seq, n, profile->layout.mode, profile->layout.effects), glyph)
                    << e.profile << ", " << n << " dots, probe " << int(p);
            }
        }
    }
}

TEST(Profiles, NamesAndCombinations)
{
    EXPECT_EQ(findProfile("pages"), nullptr);
    EXPECT_EQ(findProfile("PAGES-LSB"), nullptr);
    const LayoutProfile *pages = findProfile("pages-lsb");
    ASSERT_NE(pages, nullptr);
    EXPECT_EQ(profileOf(pages->layout), pages);
    EXPECT_EQ(profileOf(Layout{Mode::C, {}})->name, std::string("rows-msb"));
    EXPECT_EQ(profileOf(Layout{Mode::C, {Rotation::R180, Flip::None, Swap::None}}), nullptr);
    EXPECT_EQ(allLayouts().size(), 144u);
}

// An "F" with a foot: no rotation, mirror or band swap of it looks like another.
const std::vector<std::string> kAsymmetric16{
    "................",
    ".##########.....",
    ".##.............",
    ".##.............",
    ".##.............",
    ".########.......",
    ".##.............",
    ".##.............",
    ".##.............",
    ".##.............",
    ".##.............",
    ".##.........#...",
    ".##.............",
    ".####...........",
    "................",
    "...............#",
};

// Rotation and flip pairs that move every dot alike: a half turn and one mirror
// is the other mirror; a quarter turn and a mirror is the other quarter turn and
// the other mirror.
std::vector<std::pair<Rotation, Flip>> sameTurn(Rotation r, Flip f)
{
    const std::vector<std::pair<std::pair<Rotation, Flip>, std::pair<Rotation, Flip>>> kPairs{
        {{Rotation::R0, Flip::Horizontal}, {Rotation::R180, Flip::Vertical}},
        {{Rotation::R0, Flip::Vertical}, {Rotation::R180, Flip::Horizontal}},
        {{Rotation::R90, Flip::Horizontal}, {Rotation::R270, Flip::Vertical}},
        {{Rotation::R90, Flip::Vertical}, {Rotation::R270, Flip::Horizontal}},
    };
    std::vector<std::pair<Rotation, Flip>> out{{r, f}};
    for (const auto &[a, b] : kPairs) {
        if (a == std::pair{r, f})
            out.push_back(b);
        if (b == std::pair{r, f})
            out.push_back(a);
    }
    return out;
}

Rotation halfTurnMore(Rotation r)
{
    return Rotation((int(r) + 2) % 4);
}

// Every combination that gives the same bytes as `l` for every glyph:
// - the same mode and swap with the same turn (sameTurn);
// - the mode with the other bit order (A and B, C and D), since reversing the
//   bits of every byte mirrors each 8-dot band in place, which is a left-right
//   mirror followed by a left-right band swap. So with no swap or a left-right
//   swap, the other bit order with one more left-right mirror and the other of
//   these two swaps. A left-right mirror after (r, none) is (r, h); after (r, h)
//   it is (r, none); after (r, v) it is a half turn more.
std::vector<Layout> sameBytes(const Layout &l)
{
    std::vector<Layout> out;
    const Effects &e = l.effects;
    for (const auto &[r, f] : sameTurn(e.rotation, e.flip))
        out.push_back(Layout{l.mode, Effects{r, f, e.swap}});
    if (e.swap == Swap::UpDown)
        return out;
    const Mode other = l.mode == Mode::A ? Mode::B
        : l.mode == Mode::B              ? Mode::A
        : l.mode == Mode::C              ? Mode::D
                                         : Mode::C;
    const Swap otherSwap = e.swap == Swap::None ? Swap::LeftRight : Swap::None;
    const std::pair<Rotation, Flip> mirrored = e.flip == Flip::None ? std::pair{e.rotation, Flip::Horizontal}
        : e.flip == Flip::Horizontal                                ? std::pair{e.rotation, Flip::None}
                                                                    : std::pair{halfTurnMore(e.rotation), Flip::None};
    for (const auto &[r, f] : sameTurn(mirrored.first, mirrored.second))
        out.push_back(Layout{other, Effects{r, f, otherSwap}});
    return out;
}

TEST(LayoutFinder, RecoversEveryCombinationWithItsEquivalents)
{
    const GlyphPlane glyph = planeFromArt(kAsymmetric16);
    for (const Layout &layout : allLayouts()) {
        const Sequence bytes = toFileOrder(glyph, 16, layout.mode, layout.effects);
        const LayoutSearch search = findLayouts(glyph, 16, bytes);
        const std::string what = std::string(1, "ABCD"[int(layout.mode)]) + " r"
            + std::to_string(int(layout.effects.rotation)) + " f" + std::to_string(int(layout.effects.flip)) + " s"
            + std::to_string(int(layout.effects.swap));
        ASSERT_EQ(search.matches.size(), 1u) << what;
        const std::vector<Layout> expected = sameBytes(layout);
        const std::vector<Layout> &found = search.matches.front();
        EXPECT_EQ(found.size(), expected.size()) << what;
        for (const Layout &l : expected)
            EXPECT_NE(std::find(found.begin(), found.end(), l), found.end()) << what;
        for (const int n : {16, 24, 32}) {
            std::vector<Layout> equivalents = equivalentLayouts(layout, n);
            EXPECT_EQ(equivalents.size(), expected.size()) << what << " at " << n;
            for (const Layout &l : expected)
                EXPECT_NE(std::find(equivalents.begin(), equivalents.end(), l), equivalents.end()) << what;
        }
    }
}

TEST(LayoutFinder, SymmetricGlyphCannotTellLayoutsApart)
{
    // A dot in each corner looks the same under every rotation and mirror, but
    // not under a band swap (the corner dots would move to columns 7 and 16).
    GlyphPlane corners;
    for (const auto &[x, y] : {std::pair{0, 0}, {23, 0}, {0, 23}, {23, 23}})
        corners.setDot(x, y, true);
    const LayoutSearch search = findLayouts(corners, 24, toFileOrder(corners, 24, Mode::B));
    // Mode B without a swap under all 4 x 3 rotations and flips, which make the
    // 8 different layouts of a square, and each of them as mode A with a
    // left-right swap.
    std::size_t combinations = 0;
    for (const auto &group : search.matches) {
        combinations += group.size();
        for (const Layout &l : group)
            EXPECT_TRUE((l.mode == Mode::B && l.effects.swap == Swap::None)
                || (l.mode == Mode::A && l.effects.swap == Swap::LeftRight));
    }
    EXPECT_EQ(combinations, 24u);
    EXPECT_EQ(search.matches.size(), 8u);
}

TEST(LayoutFinder, ClosestCombinationWhenNoneMatches)
{
    const GlyphPlane glyph = planeFromArt(kAsymmetric16);
    Sequence bytes = toFileOrder(glyph, 16, Mode::B, Effects{Rotation::R90, Flip::Vertical, Swap::None});
    bytes[5] ^= 0x10;
    const LayoutSearch search = findLayouts(glyph, 16, bytes);
    EXPECT_TRUE(search.matches.empty());
    EXPECT_EQ(search.differing, std::vector<int>{5});
    const auto same = equivalentLayouts(search.closest, 16);
    EXPECT_NE(std::find(same.begin(), same.end(), Layout{Mode::B, Effects{Rotation::R90, Flip::Vertical, Swap::None}}),
        same.end());
    EXPECT_EQ(toFileOrder(glyph, 16, search.closest.mode, search.closest.effects), search.closestBytes);
    EXPECT_EQ(int(search.closestBytes[5] ^ bytes[5]), 0x10);
}

TEST(LayoutEffects, UndoEffectsRestoresEveryCombination)
{
    const GlyphPlane glyph = planeFromArt(kAsymmetric16);
    for (const Layout &l : allLayouts())
        EXPECT_EQ(undoEffects(applyEffects(glyph, 16, l.effects), 16, l.effects), glyph);
}

// The window's command ticks the mode and the effects, and the file saved then
// holds the glyph in the layout's memory order: pages-lsb puts the left column
// of a 16-dot glyph in bytes 0 (rows 0 to 7) and 16 (rows 8 to 15), all bits set.
TEST(ProfileCommand, TicksModeAndEffectsAndTheSaveFollows)
{
    TestWorkspace tw;
    std::vector<std::string> leftColumn(16, "#...............");
    fillStore(tw.ws(), {planeFromArt(leftColumn)}, {"\xB0\xA1"});
    tw->mnuProfileClick("pages-lsb");
    EXPECT_EQ(tw->controls().mode, Mode::B);
    EXPECT_EQ(tw->controls().rotation, Rotation::R90);
    EXPECT_EQ(tw->controls().flip, Flip::Vertical);
    EXPECT_EQ(tw->controls().swap, Swap::None);
    tw->mnuProfileClick("no-such-layout");
    EXPECT_EQ(tw->controls().mode, Mode::B);

    const std::string path = tw.dir().file("L.ZMB");
    tw.prompts().fileChoice(FileChoice{path, 1});
    tw->mnuSaveAsClick();
    const std::string file = readFile(path);
    ASSERT_EQ(file.size(), 34u);
    for (int t = 0; t < 32; ++t)
        EXPECT_EQ(int(static_cast<unsigned char>(file[std::size_t(t)])), t == 0 || t == 16 ? 0xFF : 0) << t;
    // The library keeps the glyph upright.
    tw->mnuProfileClick("rows-msb");
    EXPECT_EQ(tw->controls().rotation, Rotation::R0);
    EXPECT_EQ(tw->controls().flip, Flip::None);
    EXPECT_EQ(tw->controls().mode, Mode::C);
}

// With the view option on, each glyph takes the effects in force when it is
// added, so a layout with other effects would leave the glyphs added before it
// in another layout than those added after. The layout asks the view option's
// own question and empties the library first (No changes nothing): the file
// then holds every glyph as the layout lays out the upright glyph, which is
// what the batch tool's build with that profile writes.
TEST(ProfileCommand, WithEffectsShownAFileNeverMixesTwoLayouts)
{
    TestWorkspace tw;
    Workspace &ws = tw.ws();
    ws.RUClick(); // the glyphs of "Font16s", each of its own shape
    tw.prompts().answer(Answer::Yes);
    ws.mnuViewClick();
    ws.mnuProfileClick("bands-msb");
    std::vector<GlyphPlane> upright;
    auto add = [&](int position) {
        ws.SG1MouseDown(position, 0);
        upright.push_back(ws.codeTable().sourcePlane());
        ws.AddBtnClick();
    };
    add(0); // 啊
    add(1); // 阿
    ASSERT_EQ(ws.library().LibCount(), 2);
    tw.prompts().clear();

    // Another mode with the same effects: the mode applies to every glyph as
    // the file is written, nothing to ask.
    ws.mnuProfileClick("bands-lsb");
    EXPECT_TRUE(tw.prompts().log().empty());
    EXPECT_EQ(ws.controls().mode, Mode::B);

    const std::vector<std::string> question{"本选项改变后,当前小字库中已加入字模将全部清除!继续吗?"};
    const std::string store = readFile(tw.dir().file("JQT.TMP"));
    tw.prompts().answer(Answer::No);
    ws.mnuProfileClick("pages-lsb");
    EXPECT_EQ(tw.prompts().texts("warning"), question);
    EXPECT_EQ(ws.controls().rotation, Rotation::R0);
    EXPECT_EQ(ws.controls().flip, Flip::None);
    EXPECT_EQ(ws.library().LibCount(), 2);
    EXPECT_EQ(readFile(tw.dir().file("JQT.TMP")), store);

    tw.prompts().clear();
    tw.prompts().answer(Answer::Yes);
    ws.mnuProfileClick("pages-lsb");
    EXPECT_EQ(tw.prompts().texts("warning"), question);
    EXPECT_EQ(ws.library().LibCount(), 0);
    const Layout &pages = findProfile("pages-lsb")->layout;
    EXPECT_EQ(ws.controls().mode, pages.mode);
    EXPECT_EQ(ws.controls().rotation, pages.effects.rotation);
    EXPECT_EQ(ws.controls().flip, pages.effects.flip);
    EXPECT_TRUE(ws.controls().mnuView);

    upright.clear();
    add(0); // 啊
    add(2); // 埃
    const std::string path = tw.dir().file("PAGES.ZMB");
    tw.prompts().fileChoice(FileChoice{path, 1});
    ws.mnuSaveAsClick();
    std::string expected;
    for (const GlyphPlane &glyph : upright) {
        ASSERT_NE(glyph, GlyphPlane{});
        const Sequence bytes = toFileOrder(glyph, 16, pages.mode, pages.effects);
        expected.append(bytes.begin(), bytes.end());
    }
    expected += "\xB0\xA1\xB0\xA3";
    EXPECT_EQ(readFile(path), expected);
    EXPECT_TRUE(tw.prompts().allConsumed());
}

} // namespace
} // namespace dotforge::test
