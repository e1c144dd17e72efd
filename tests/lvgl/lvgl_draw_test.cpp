// LVGL 9.5 draws the LVGL fonts Dotforge writes, as firmware would: the C
// source compiled in, the binary font loaded from memory. A label shows every
// glyph of a test font; each pixel of the screen must be the glyph's dot, in
// lines n pixels apart, each glyph right after the one before it.

#include "tests/lvgl/test_font.h"

#include "lvgl/lvgl.h"

#include <gtest/gtest.h>

#include "core/gbk.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" {
extern const lv_font_t dotforge_test16;
extern const lv_font_t dotforge_test24;
extern const lv_font_t dotforge_cli16;
}

namespace dotforge::test {
namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 240;
constexpr int kLeft = 5; // where the label's top-left corner lies
constexpr int kTop = 7;
constexpr std::uint32_t kInk = 0x000000;
constexpr std::uint32_t kPaper = 0xFFFFFF;

// One display for the whole run; its single full-screen buffer is the frame.
struct Screen {
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(std::size_t(kWidth * kHeight));
    lv_display_t *display = nullptr;

    static Screen &get()
    {
        static Screen screen;
        return screen;
    }

private:
    Screen()
    {
        lv_init();
        display = lv_display_create(kWidth, kHeight);
        lv_display_set_color_format(display, LV_COLOR_FORMAT_XRGB8888);
        lv_display_set_buffers(display, pixels.data(), nullptr, std::uint32_t(pixels.size() * sizeof(std::uint32_t)),
            LV_DISPLAY_RENDER_MODE_FULL);
        lv_display_set_flush_cb(
            display, [](lv_display_t *d, const lv_area_t *, std::uint8_t *) { lv_display_flush_ready(d); });
        lv_obj_t *screen = lv_display_get_screen_active(display);
        lv_obj_set_style_bg_color(screen, lv_color_white(), 0);
        lv_obj_set_style_bg_opa(screen, LV_OPA_COVER, 0);
    }
};

// The font's glyphs in an order that mixes half-width and square ones, as
// many as fit a line to a line and as many lines as fit the screen: all of a
// small font.
std::vector<std::vector<char32_t>> testLines(const LvglFont &font)
{
    const std::size_t count = font.glyphs.size();
    const auto perLine = std::size_t(std::min(16, (kWidth - kLeft) / font.n));
    const auto lines = std::size_t((kHeight - kTop) / font.n);
    std::vector<std::vector<char32_t>> out;
    for (std::size_t k = 0; k < count && k < lines * perLine; ++k) {
        if (k % perLine == 0)
            out.emplace_back();
        out.back().push_back(font.glyphs[k * 37 % count].codePoint);
    }
    return out;
}

std::string utf8(const std::vector<std::vector<char32_t>> &lines)
{
    std::string out;
    for (const auto &line : lines) {
        out += out.empty() ? "" : "\n";
        for (const char32_t c : line)
            out += c < 0x80   ? std::string(1, char(c))
                : c < 0x10000 ? std::string{char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))}
                              : std::string{char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F)),
                                  char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
    }
    return out;
}

// The screen the font's glyphs make, placed by their widths and the line height.
std::vector<std::uint32_t> expectedScreen(const LvglFont &font, const std::vector<std::vector<char32_t>> &lines)
{
    std::vector<std::uint32_t> out(std::size_t(kWidth * kHeight), kPaper);
    for (std::size_t l = 0; l < lines.size(); ++l) {
        int pen = kLeft;
        for (const char32_t c : lines[l]) {
            const auto glyph = std::find_if(
                font.glyphs.begin(), font.glyphs.end(), [c](const LvglGlyph &g) { return g.codePoint == c; });
            for (int y = 0; y < font.n; ++y)
                for (int x = 0; x < glyph->width; ++x)
                    if (glyph->plane.dot(x, y))
                        out[std::size_t((kTop + int(l) * font.n + y) * kWidth + pen + x)] = kInk;
            pen += glyph->width;
        }
    }
    return out;
}

// Draws the text with the font and returns the screen, each pixel's colour
// without its unused byte.
std::vector<std::uint32_t> drawn(const lv_font_t *font, const std::string &text)
{
    Screen &screen = Screen::get();
    lv_obj_t *label = lv_label_create(lv_display_get_screen_active(screen.display));
    lv_obj_set_style_text_font(label, font, 0);
    lv_obj_set_style_text_color(label, lv_color_black(), 0);
    lv_obj_set_pos(label, kLeft, kTop);
    lv_label_set_text(label, text.c_str());
    lv_refr_now(screen.display);
    std::vector<std::uint32_t> out = screen.pixels;
    for (std::uint32_t &p : out)
        p &= 0xFFFFFF;
    lv_obj_delete(label);
    return out;
}

// The differing pixels, the first few of them named.
std::string differences(const std::vector<std::uint32_t> &got, const std::vector<std::uint32_t> &expected)
{
    std::size_t count = 0;
    std::string named;
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i] == expected[i])
            continue;
        if (++count <= 8) {
            char text[80];
            std::snprintf(text, sizeof text, " (%zu,%zu) %06X for %06X;", i % kWidth, i / kWidth, unsigned(got[i]),
                unsigned(expected[i]));
            named += text;
        }
    }
    return count == 0 ? std::string() : std::to_string(count) + " pixels differ:" + named;
}

enum class Source { CFont, BinaryBuffer, BinaryMemfsPath };

struct DrawCase {
    int n; // 16 and 24: the small fonts, also as C source; 32: the large font
    Source source;
};

class LvglDraw : public testing::TestWithParam<DrawCase> { };

TEST_P(LvglDraw, ShowsEveryGlyphOnItsPlace)
{
    const auto [n, source] = GetParam();
    Screen::get(); // LVGL set up, its file systems among it
    const LvglFont font = n == 32 ? lvglLargeTestFont() : lvglTestFont(n, "dotforge_test" + std::to_string(n));
    std::string binary = lvglBinary(font);
    const lv_font_t *lvFont = n == 16 ? &dotforge_test16 : &dotforge_test24;
    std::unique_ptr<lv_font_t, void (*)(lv_font_t *)> loaded(nullptr, lv_binfont_destroy);
    if (source == Source::BinaryBuffer) {
        loaded.reset(lv_binfont_create_from_buffer(binary.data(), std::uint32_t(binary.size())));
    } else if (source == Source::BinaryMemfsPath) {
        lv_fs_path_ex_t path;
        lv_fs_make_path_from_buffer(&path, LV_FS_MEMFS_LETTER, binary.data(), std::uint32_t(binary.size()), "bin");
        loaded.reset(lv_binfont_create(reinterpret_cast<const char *>(&path)));
    }
    if (source != Source::CFont) {
        ASSERT_NE(loaded, nullptr) << "LVGL does not load the binary font";
        lvFont = loaded.get();
    }
    EXPECT_EQ(lv_font_get_line_height(lvFont), n);
    EXPECT_EQ(lvFont->base_line, n / 8);

    // It finds each of its code points and none else.
    for (const LvglGlyph &g : font.glyphs) {
        lv_font_glyph_dsc_t dsc;
        EXPECT_TRUE(lv_font_get_glyph_dsc(lvFont, &dsc, g.codePoint, 0)) << std::hex << unsigned(g.codePoint);
        EXPECT_EQ(dsc.adv_w, g.width) << std::hex << unsigned(g.codePoint);
    }
    for (const char32_t near :
        {0x1Fu, 0x7Fu, 0x25A0u, 0x2FFFu, 0x4E03u, 0x4E20u, 0x4E2Cu, 0x55B8u, 0x1FFFFu, 0x20002u, 0x10FFFFu}) {
        const bool absent = std::none_of(
            font.glyphs.begin(), font.glyphs.end(), [near](const LvglGlyph &g) { return g.codePoint == near; });
        lv_font_glyph_dsc_t dsc;
        if (absent) {
            EXPECT_FALSE(lv_font_get_glyph_dsc(lvFont, &dsc, near, 0)) << std::hex << unsigned(near);
        }
    }

    const std::vector<std::vector<char32_t>> lines = testLines(font);
    EXPECT_EQ(differences(drawn(lvFont, utf8(lines)), expectedScreen(font, lines)), "");
}

std::string caseName(const testing::TestParamInfo<DrawCase> &info)
{
    static const char *const sources[] = {"CSource", "BinaryFromBuffer", "BinaryFromMemfsPath"};
    return std::to_string(info.param.n) + "Dots" + sources[int(info.param.source)];
}

INSTANTIATE_TEST_SUITE_P(Fonts, LvglDraw,
    testing::Values(DrawCase{16, Source::CFont}, DrawCase{16, Source::BinaryBuffer}, DrawCase{24, Source::CFont},
        DrawCase{24, Source::BinaryBuffer}, DrawCase{24, Source::BinaryMemfsPath}, DrawCase{32, Source::BinaryBuffer}),
    caseName);

// The glyphs of a BDF font by code point: its bitmaps and advances.
LvglFont bdfGlyphs(const std::string &path, int n)
{
    std::ifstream in(path);
    LvglFont font;
    font.n = n;
    LvglGlyph glyph;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("ENCODING "))
            glyph = {char32_t(std::stoul(line.substr(9))), GlyphPlane{}, n};
        else if (line.starts_with("DWIDTH "))
            glyph.width = std::stoi(line.substr(7));
        else if (line == "BITMAP") {
            for (int y = 0; std::getline(in, line) && line != "ENDCHAR"; ++y)
                for (std::size_t k = 0; k < line.size() / 2; ++k)
                    glyph.plane.at(y, int(k)) = std::uint8_t(std::stoul(line.substr(2 * k, 2), nullptr, 16));
            font.glyphs.push_back(glyph);
        }
    }
    return font;
}

// A font the batch tool built from an installed face (Chinese and half-width
// Latin, see CMakeLists.txt), drawn by LVGL from its C source and from its
// binary font: the same pixels as the library's glyphs, which its BDF holds.
TEST(LvglDraw, FontsOfTheBatchToolShowTheLibrarysGlyphs)
{
    Screen::get();
    const LvglFont library = bdfGlyphs(LVGL_CLI_FILES ".bdf", 16);
    const std::u32string text = *utf8ToUtf32(LVGL_CLI_TEXT);
    const std::vector<char32_t> line(text.begin(), text.end());
    ASSERT_EQ(library.glyphs.size(), 18u); // 6 square glyphs, 12 half-width ones
    const std::vector<std::uint32_t> expected = expectedScreen(library, {line});

    std::ifstream file(LVGL_CLI_FILES ".bin", std::ios::binary);
    std::string binary((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::unique_ptr<lv_font_t, void (*)(lv_font_t *)> loaded(
        lv_binfont_create_from_buffer(binary.data(), std::uint32_t(binary.size())), lv_binfont_destroy);
    ASSERT_NE(loaded, nullptr);
    for (const lv_font_t *font : {&dotforge_cli16, static_cast<const lv_font_t *>(loaded.get())})
        EXPECT_EQ(differences(drawn(font, LVGL_CLI_TEXT), expected), "");
}

} // namespace
} // namespace dotforge::test
