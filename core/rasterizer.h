#pragma once
// The TrueType rasteriser as the core sees it: draw a string on the hidden
// 40 x 40 surface and read the pixels back exactly. The FreeType version lives
// in render/; tests may use a fake.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace dotforge {

// The drawing surface `Image1`: 40 x 40 pixels, 0xRRGGBB, row-major.
struct Surface40 {
    static constexpr int kSize = 40;
    static constexpr std::uint32_t kWhite = 0xFFFFFF;
    std::array<std::uint32_t, kSize * kSize> pixels{};

    Surface40() { fillWhite(); }
    void fillWhite() { pixels.fill(kWhite); }
    std::uint32_t pixel(int x, int y) const { return pixels[std::size_t(y * kSize + x)]; }
    void setPixel(int x, int y, std::uint32_t rgb) { pixels[std::size_t(y * kSize + x)] = rgb; }
};

class Rasterizer {
public:
    virtual ~Rasterizer() = default;
    // Draws `text` (UTF-8) in black in `face` at `pointSize` points (96 pixels
    // per inch), regular style, with the top-left corner of its text cell at
    // (x, y): the pen starts at x and the baseline lies at y + the ascent.
    virtual void drawText(
        Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x, int y)
        = 0;
    // The font file the face resolves to ("" when unknown): build reports name it.
    virtual std::string fontFile(const std::string &face)
    {
        (void)face;
        return {};
    }
    // Whether the face is installed (directly, by a localized name or by substitution).
    virtual bool hasFace(const std::string &face)
    {
        (void)face;
        return true;
    }
    // The point size `face` is drawn at in an n-dot square whose default size
    // is `pointSize`: that size for a scalable face; for a bitmap face, by the
    // font dialog's rule, a size of one of its strikes no taller than n
    // pixels; empty when it has none (a taller strike would be cut).
    virtual std::optional<int> pointSizeForDots(const std::string &face, int pointSize, int dots)
    {
        (void)face;
        (void)dots;
        return pointSize;
    }
};

} // namespace dotforge
