// Any bytes as a font file (seeded with small BDF and PCF fonts): the
// rasteriser opens it by path, as the window's "从文件..." and --font-file do,
// and draws its characters. A lone character of a bitmap font with one strike
// inks exactly the pixels of its glyph's bitmap whose level is not 0, as
// FreeType's own conversion to 8-bit gray gives them, placed at the pen and the
// baseline; a glyph without pixels inks nothing.

#include "render/freetype_rasterizer.h"
#include "tests/fuzz/fuzz_support.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace dotforge;

// fontconfig keeps part of its configuration until the process ends.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

constexpr int kOrigin = 5; // the text cell's top-left corner, as ChTextOut draws
constexpr int kMaxCharacters = 8;

// The file the input is written to: the rasteriser takes a font by path.
const std::string &fontPath()
{
    static const std::string path = [] {
        char name[] = "/tmp/dotforge-fuzz-font-XXXXXX";
        const int fd = mkstemp(name);
        FUZZ_CHECK(fd >= 0);
        close(fd);
        std::atexit([] { std::remove(fontPath().c_str()); });
        return std::string(name);
    }();
    return path;
}

FT_Library library()
{
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        FUZZ_CHECK(FT_Init_FreeType(&l) == 0);
        return l;
    }();
    return lib;
}

std::string utf8(char32_t cp)
{
    std::string out;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
    return out;
}

// The surface a lone character should leave, from FreeType's own reading of the
// glyph; false where the rasteriser may go another way (the autohinter, an
// outline, a pixel mode no bitmap font has) and nothing is compared.
bool expectedSurface(FT_Face face, char32_t cp, int ascent, Surface40 &expected)
{
    const FT_UInt glyph = FT_Get_Char_Index(face, cp);
    if (glyph == 0)
        return true; // not in the file: nothing is drawn
    const FT_Error error
        = FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT | FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | FT_LOAD_TARGET_MONO);
    if (error == FT_Err_Too_Few_Arguments || error == FT_Err_Execution_Too_Long)
        return false; // the rasteriser tries the autohinter then
    if (error != 0)
        return true;
    const FT_GlyphSlot slot = face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP)
        return false;
    const FT_Bitmap &bitmap = slot->bitmap;
    if (!bitmap.buffer || bitmap.rows == 0 || bitmap.width == 0)
        return true;
    const unsigned char mode = bitmap.pixel_mode;
    if (mode != FT_PIXEL_MODE_MONO && mode != FT_PIXEL_MODE_GRAY2 && mode != FT_PIXEL_MODE_GRAY4
        && mode != FT_PIXEL_MODE_GRAY)
        return false;
    FT_Bitmap gray;
    FT_Bitmap_Init(&gray);
    FUZZ_CHECK(FT_Bitmap_Convert(library(), &bitmap, &gray, 1) == 0);
    const std::int64_t left = kOrigin + std::int64_t(slot->bitmap_left);
    const std::int64_t top = kOrigin + std::int64_t(ascent) - slot->bitmap_top;
    for (unsigned r = 0; r < gray.rows; ++r)
        for (unsigned c = 0; c < gray.width; ++c) {
            const std::int64_t x = left + c;
            const std::int64_t y = top + r;
            if (gray.buffer[std::size_t(r) * unsigned(gray.pitch) + c] != 0 && x >= 0 && x < Surface40::kSize && y >= 0
                && y < Surface40::kSize)
                expected.setPixel(int(x), int(y), 0x000000);
        }
    FT_Bitmap_Done(library(), &gray);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string &path = fontPath();
    std::FILE *file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);

    FT_Face face = nullptr;
    std::vector<char32_t> characters;
    int pointSize = 12;
    bool oneStrike = false;
    bool strikeFits = true; // a strike taller than the size drawn at draws nothing
    if (FT_New_Memory_Face(library(), data, FT_Long(size), 0, &face) == 0) {
        FT_UInt index = 0;
        for (FT_ULong cp = FT_Get_First_Char(face, &index); index != 0 && characters.size() < kMaxCharacters;
             cp = FT_Get_Next_Char(face, cp, &index))
            // Text is valid UTF-8: a surrogate or a value past U+10FFFF is no
            // character the program ever asks for.
            if (cp < 0xD800 || (cp > 0xDFFF && cp <= 0x10FFFF))
                characters.push_back(char32_t(cp));
        oneStrike = !FT_IS_SCALABLE(face) && face->num_fixed_sizes == 1;
        if (oneStrike) {
            const int px = int((face->available_sizes[0].y_ppem + 32) >> 6);
            if (const int pt = pointSizeOfPixels(px))
                pointSize = pt;
            strikeFits = px <= pixelHeight(pointSize);
        }
    }
    characters.push_back(U'啊'); // often not in the file

    FreeTypeRasterizer rasterizer;
    const FaceStrikes strikes = rasterizer.strikes(path);
    const int ascent = rasterizer.ascent(path, pointSize);
    std::string text;
    for (const char32_t cp : characters) {
        text += utf8(cp);
        Surface40 drawn;
        rasterizer.drawText(drawn, utf8(cp), path, pointSize, kOrigin, kOrigin);
        for (const std::uint32_t pixel : drawn.pixels)
            FUZZ_CHECK(pixel == Surface40::kWhite || pixel == 0x000000);
        Surface40 expected;
        if (face && oneStrike && strikes.found && FT_Select_Size(face, 0) == 0
            && (!strikeFits || expectedSurface(face, cp, ascent, expected)))
            FUZZ_CHECK(drawn.pixels == expected.pixels);
    }
    Surface40 line;
    rasterizer.drawText(line, text, path, pointSize, kOrigin, kOrigin);
    if (face)
        FT_Done_Face(face);
    return 0;
}
