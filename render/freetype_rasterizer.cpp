#include "render/freetype_rasterizer.h"
#include "core/gbk.h"
#include "render/font_catalog.h"
#include "render/font_faces.h"
#include "render/strike_sizes.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace dotforge {

int pixelHeight(int pointSize)
{
    return int(std::lround(pointSize * 96.0 / 72.0));
}

int pointSizeOfPixels(int px)
{
    for (int pt = std::max(1, px * 3 / 4 - 1); pt <= px * 3 / 4 + 1; ++pt)
        if (pixelHeight(pt) == px)
            return pt;
    return 0;
}

bool isFontFilePath(const std::string &face)
{
    return face.starts_with('/');
}

namespace {

// The character drawn for the bytes at text[i] and the bytes it takes: a byte
// that starts no valid UTF-8 character draws U+FFFD on its own.
Utf8Character drawnCharacterAt(std::string_view text, std::size_t i)
{
    return utf8CharacterAt(text, i).value_or(Utf8Character{U'\uFFFD', 1});
}

} // namespace

struct FreeTypeRasterizer::Impl {
    FontCatalog catalog;
    FontFaces faces{[this](const std::string &family) { return catalog.forcesAutohint(family); }};

    // The face last drawn with, so that a run of glyphs looks nothing up.
    std::string lastName;
    int lastPx = 0;
    std::string lastFamily;
    SizedFace *lastSized = nullptr;

    // The font a face name draws with at a pixel size: a font file's first
    // face, else the catalog's font of the family the name stands for.
    SizedFace *primary(const std::string &name, int px)
    {
        if (isFontFilePath(name))
            return faces.open(faces.fileFont(name), px);
        if (lastSized && px == lastPx && name == lastName)
            return lastSized;
        lastName = name;
        lastPx = px;
        lastFamily = catalog.family(name);
        lastSized = faces.open(catalog.font(lastFamily, px), px);
        return lastSized;
    }

    // The first fallback font at the size that has the character: among the
    // families whose best match lists it, the first whose font at the size has
    // a glyph for it.
    SizedFace *fallbackFor(const std::string &family, int px, char32_t cp, FT_UInt &glyph)
    {
        for (const std::string &other : catalog.fallbackFamilies(family, cp)) {
            if (!catalog.listsCharacter(other, cp))
                continue;
            SizedFace *s = faces.open(catalog.font(other, px), px);
            if (s && (glyph = s->glyphIndex(cp)) != 0)
                return s;
        }
        return nullptr;
    }
};

FreeTypeRasterizer::FreeTypeRasterizer()
    : d(std::make_unique<Impl>())
{
}

FreeTypeRasterizer::~FreeTypeRasterizer() = default;

void FreeTypeRasterizer::drawText(
    Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x, int y)
{
    const int px = pixelHeight(pointSize);
    // A font file draws its own characters only: no fallback face fills in.
    const bool fromFile = isFontFilePath(face);
    SizedFace *primary = d->primary(face, px);
    if (!primary)
        return;
    const std::int64_t baseline = std::int64_t(y) + primary->ascent;
    std::int64_t pen = x;
    for (std::size_t i = 0; i < text.size();) {
        const Utf8Character character = drawnCharacterAt(text, i);
        i += std::size_t(character.length);
        const char32_t cp = character.code;
        const SizedFace *s = primary;
        FT_UInt glyph = primary->glyphIndex(cp);
        if (glyph == 0 && fromFile)
            continue; // not in the font file: nothing is drawn
        if (glyph == 0) {
            if (SizedFace *fallback = d->fallbackFor(d->lastFamily, px, cp, glyph))
                s = fallback;
        }
        if (const std::optional<std::int64_t> advance = s->drawGlyph(surface, glyph, pen, baseline))
            pen += *advance;
    }
}

int FreeTypeRasterizer::ascent(const std::string &face, int pointSize)
{
    const SizedFace *s = d->primary(face, pixelHeight(pointSize));
    return s ? s->ascent : 0;
}

std::string FreeTypeRasterizer::fontFile(const std::string &face)
{
    if (isFontFilePath(face))
        return d->faces.fileFont(face) ? face : std::string();
    const std::string &family = d->catalog.family(face);
    const CatalogFont *font = family.empty() ? nullptr : d->catalog.font(family, pixelHeight(12));
    return font ? font->file : std::string();
}

bool FreeTypeRasterizer::hasFace(const std::string &face)
{
    if (isFontFilePath(face))
        return d->faces.fileFont(face) != nullptr;
    const std::string family = d->catalog.installedOrSubstituted(face);
    if (family.empty())
        return false;
    const std::vector<const CatalogFont *> fonts = d->catalog.familyFonts(family);
    return std::any_of(fonts.begin(), fonts.end(), [](const CatalogFont *font) { return font->scalable; });
}

FaceStrikes FreeTypeRasterizer::strikes(const std::string &face)
{
    FaceStrikes found;
    if (isFontFilePath(face)) {
        const CatalogFont *font = d->faces.fileFont(face);
        if (!font)
            return found;
        found.found = true;
        found.family = font->family;
        found.scalable = font->scalable;
        if (!found.scalable)
            found.pixelSizes = d->faces.strikePixelSizes(*font);
    } else {
        found.family = d->catalog.installedOrSubstituted(face);
        found.found = !found.family.empty();
        for (const CatalogFont *font : d->catalog.familyFonts(found.family)) {
            if (font->scalable)
                found.scalable = true;
            else
                found.pixelSizes.push_back(int(std::lround(font->pixelSize)));
        }
    }
    std::sort(found.pixelSizes.begin(), found.pixelSizes.end());
    found.pixelSizes.erase(std::unique(found.pixelSizes.begin(), found.pixelSizes.end()), found.pixelSizes.end());
    return found;
}

std::optional<int> FreeTypeRasterizer::pointSizeForDots(const std::string &face, int pointSize, int dots)
{
    FaceStrikes found = strikes(face);
    if (!found.found || found.scalable || found.pixelSizes.empty())
        return pointSize;
    std::erase_if(found.pixelSizes, [dots](int px) { return px > dots; });
    return strikePointSize(found.pixelSizes, std::nullopt, pointSize);
}

std::vector<FaceStrikes> FreeTypeRasterizer::bitmapFaces()
{
    std::vector<std::string> families;
    for (const CatalogFont &font : d->catalog.fonts())
        if (!font.scalable && std::find(families.begin(), families.end(), font.family) == families.end())
            families.push_back(font.family);
    std::vector<FaceStrikes> out;
    for (const std::string &family : families) {
        FaceStrikes face = strikes(family);
        if (!face.scalable && !face.pixelSizes.empty())
            out.push_back(std::move(face));
    }
    std::sort(out.begin(), out.end(), [](const FaceStrikes &a, const FaceStrikes &b) { return a.family < b.family; });
    return out;
}

} // namespace dotforge
