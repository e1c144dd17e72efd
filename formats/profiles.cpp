#include "formats/profiles.h"

#include <algorithm>
#include <bit>
#include <map>

namespace dotforge {

namespace {

// A transposed glyph, dot (x, y) taken from (y, x): one left quarter turn, then
// a top-bottom mirror. Modes A to D then read columns where they read rows.
constexpr Effects kTransposed{Rotation::R90, Flip::Vertical, Swap::None};

// The fingerprint of a combination at dot size n: the sequences of the glyphs
// whose dot number y * n + x has bit b set, for every b. Together they tell for
// each bit of the sequence which dot it carries, so two combinations with the
// same fingerprint lay out every glyph alike.
Sequence fingerprint(const Layout &layout, int n)
{
    Sequence out;
    for (int b = 0; (1 << b) < n * n; ++b) {
        GlyphPlane probe;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                probe.setDot(x, y, ((y * n + x) >> b) & 1);
        const Sequence bytes = toFileOrder(probe, n, layout.mode, layout.effects);
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

// The fingerprints of allLayouts() at dot size n, made once.
const std::vector<Sequence> &fingerprints(int n)
{
    static std::map<int, std::vector<Sequence>> made;
    std::vector<Sequence> &all = made[n];
    if (all.empty())
        for (const Layout &layout : allLayouts())
            all.push_back(fingerprint(layout, n));
    return all;
}

} // namespace

const std::vector<LayoutProfile> &layoutProfiles()
{
    static const std::vector<LayoutProfile> kProfiles{
        {"rows-msb", {Mode::C, {}}, "row by row from the top, each row's bytes from the left, bit 7 the leftmost dot",
            "ST7920 graphic RAM (16-dot words, the high byte first) and LED matrix drivers fed row by row",
            "&1 rows-msb: 逐行横向, 高位在左 (ST7920, 逐行送数的LED点阵驱动)"},
        {"rows-lsb", {Mode::D, {}}, "as rows-msb, bit 0 the leftmost dot",
            "row-scanned drivers that shift the leftmost dot out of bit 0",
            "&2 rows-lsb: 逐行横向, 低位在左 (低位先出的LED驱动)"},
        {"pages-lsb", {Mode::B, kTransposed},
            "vertical bytes of 8 dots of one column, bit 0 the top one; the top 8-row page column by column from "
            "the left, then the next page",
            "SSD1306, SH1106, ST7565, UC1701, PCD8544, KS0108: one page at a time (page addressing, or "
            "horizontal addressing with a column window n dots wide)",
            "&3 pages-lsb: 按页纵向, 低位在上 (SSD1306, SH1106, ST7565, UC1701, PCD8544, KS0108)"},
        {"pages-msb", {Mode::A, kTransposed}, "as pages-lsb, bit 7 the top dot",
            "8-dot column bit images of ESC/POS and ESC/P printers (ESC * in its 8-dot modes), sent band by band",
            "&4 pages-msb: 按页纵向, 高位在上 (ESC/POS, ESC/P 8点列位图)"},
        {"columns-msb", {Mode::C, kTransposed},
            "vertical bytes, bit 7 the top dot, column by column from the left, each column from the top page down",
            "column bit images of ESC/POS and ESC/P printers: at 24 dots ESC * in its 24-dot modes",
            "&5 columns-msb: 逐列纵向, 高位在上 (ESC/POS, ESC/P 24点列位图)"},
        {"columns-lsb", {Mode::D, kTransposed}, "as columns-msb, bit 0 the top dot",
            "SSD1306 in vertical addressing mode with a page window n dots high",
            "&6 columns-lsb: 逐列纵向, 低位在上 (SSD1306 垂直寻址)"},
        {"bands-msb", {Mode::A, {}},
            "mode A: 8-dot wide bands of horizontal bytes, each band from the top, bit 7 the leftmost dot",
            "software written for mode A", "&7 bands-msb: 模式A (8点列带横向, 高位在左)"},
        {"bands-lsb", {Mode::B, {}}, "mode B: as bands-msb, bit 0 the leftmost dot", "software written for mode B",
            "&8 bands-lsb: 模式B (8点列带横向, 低位在左)"},
    };
    return kProfiles;
}

const LayoutProfile *findProfile(const std::string &name)
{
    for (const LayoutProfile &p : layoutProfiles())
        if (name == p.name)
            return &p;
    return nullptr;
}

const LayoutProfile *profileOf(const Layout &layout)
{
    for (const LayoutProfile &p : layoutProfiles())
        if (p.layout == layout)
            return &p;
    return nullptr;
}

std::vector<Layout> allLayouts()
{
    std::vector<Layout> out;
    for (int m = 0; m < 4; ++m)
        for (int r = 0; r < 4; ++r)
            for (int f = 0; f < 3; ++f)
                for (int s = 0; s < 3; ++s)
                    out.push_back(Layout{Mode(m), Effects{Rotation(r), Flip(f), Swap(s)}});
    return out;
}

LayoutSearch findLayouts(const GlyphPlane &glyph, int n, const Sequence &bytes)
{
    LayoutSearch search;
    std::map<Sequence, std::size_t> groupOf; // fingerprint -> index in matches
    int bestBytes = -1;
    int bestBits = 0;
    for (const Layout &layout : allLayouts()) {
        const Sequence produced = toFileOrder(glyph, n, layout.mode, layout.effects);
        std::vector<int> differing;
        int bits = 0;
        for (std::size_t t = 0; t < produced.size(); ++t) {
            const int b = t < bytes.size() ? bytes[t] : -1;
            if (b != produced[t]) {
                differing.push_back(int(t));
                bits += b < 0 ? 8 : std::popcount(unsigned(b ^ produced[t]));
            }
        }
        if (differing.empty() && produced.size() == bytes.size()) {
            const auto [it, added] = groupOf.try_emplace(fingerprint(layout, n), search.matches.size());
            if (added)
                search.matches.emplace_back();
            search.matches[it->second].push_back(layout);
        } else if (bestBytes < 0 || int(differing.size()) < bestBytes
            || (int(differing.size()) == bestBytes && bits < bestBits)) {
            bestBytes = int(differing.size());
            bestBits = bits;
            search.closest = layout;
            search.closestBytes = produced;
            search.differing = std::move(differing);
        }
    }
    return search;
}

std::vector<Layout> equivalentLayouts(const Layout &layout, int n)
{
    const Sequence mine = fingerprint(layout, n);
    const std::vector<Layout> all = allLayouts();
    const std::vector<Sequence> &prints = fingerprints(n);
    std::vector<Layout> out;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (prints[i] == mine)
            out.push_back(all[i]);
    return out;
}

} // namespace dotforge
