#pragma once
// Named controller layouts: for each display memory or printer bit-image
// format, the byte layout mode and default effects that write a glyph in
// exactly that order. And the search for every mode and effects combination
// that reproduces the bytes a device or an existing font holds for a glyph.

#include "formats/layout.h"

#include <string>
#include <vector>

namespace dotforge {

// One of the 4 x 4 x 3 x 3 combinations of mode, rotation, flip and swap.
struct Layout {
    Mode mode = Mode::A;
    Effects effects;
    bool operator==(const Layout &) const = default;
};

struct LayoutProfile {
    const char *name; // "pages-lsb"
    Layout layout;
    const char *order; // the memory order in words
    const char *controllers; // the devices that read it
    const char *caption; // the window's menu item
};

// rows-msb, rows-lsb, pages-lsb, pages-msb, columns-msb, columns-lsb, bands-msb,
// bands-lsb, in that order.
const std::vector<LayoutProfile> &layoutProfiles();
// nullptr for an unknown name.
const LayoutProfile *findProfile(const std::string &name);
// The profile that names exactly this combination; nullptr for none.
const LayoutProfile *profileOf(const Layout &layout);

// Every combination, mode first, then rotation, flip and swap in menu order.
std::vector<Layout> allLayouts();

// Combinations that lay out EVERY glyph alike at dot size n (rotation 180 with
// a vertical flip is a horizontal flip, for one) give one layout; a glyph that
// looks the same under two different layouts (a symmetric one) cannot tell
// them apart.
struct LayoutSearch {
    // The matching combinations, grouped by layout, in the order of allLayouts().
    std::vector<std::vector<Layout>> matches;
    // With no match: the combination with the fewest differing bytes (the fewest
    // differing bits among equals), its bytes and the numbers of the bytes that
    // differ from the ones searched for.
    Layout closest;
    Sequence closestBytes;
    std::vector<int> differing;
};

// `bytes` must be the n * n / 8 bytes of one glyph; `glyph` the raw upright glyph.
LayoutSearch findLayouts(const GlyphPlane &glyph, int n, const Sequence &bytes);

// Every combination that lays out every glyph as `layout` does, itself included.
std::vector<Layout> equivalentLayouts(const Layout &layout, int n);

} // namespace dotforge
