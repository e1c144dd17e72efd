#pragma once
// Fonts opened with FreeType: a face file opened once, a size or a bitmap
// strike chosen for a pixel height, glyphs drawn as 1-bit pixels (monochrome
// render, full hinting, embedded bitmaps where the face has them) into the
// 40 x 40 surface. Which font a face name means is font_catalog.h's.
// FreeType's types appear here: only the rasteriser's own files include it.

#include "core/rasterizer.h"
#include "render/font_catalog.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace dotforge {

// A font opened at one pixel size, ready to draw.
struct SizedFace {
    FT_Face face = nullptr;
    FT_Size size = nullptr;
    int ascent = 0; // pixels from the top of the text cell to the baseline
    FT_Int32 loadFlags = 0;

    // The face's glyph for a character; 0 when it has none.
    FT_UInt glyphIndex(char32_t cp) const { return FT_Get_Char_Index(face, cp); }
    // Draws the glyph black with its origin at (penX, baseline); what falls
    // outside the surface is lost. The advance in whole pixels, or nothing when
    // the glyph cannot be loaded (then nothing is drawn).
    std::optional<std::int64_t> drawGlyph(
        Surface40 &surface, FT_UInt glyph, std::int64_t penX, std::int64_t baseline) const;
};

// The FreeType faces of one rasteriser, opened on first use and kept for its
// whole life.
class FontFaces {
public:
    // `forcesAutohint` tells whether the configuration asks for the
    // autohinter for a family.
    explicit FontFaces(std::function<bool(const std::string &family)> forcesAutohint);
    ~FontFaces();
    FontFaces(const FontFaces &) = delete;
    FontFaces &operator=(const FontFaces &) = delete;

    // The first face of a font file (FreeType reads TrueType, OpenType,
    // collections, BDF, PCF and gzipped PCF) described as a catalog font,
    // opened once; nullptr when it cannot be opened.
    const CatalogFont *fileFont(const std::string &path);
    // The pixel heights of the font's bitmap strikes, in the face's order;
    // empty when it cannot be opened.
    std::vector<int> strikePixelSizes(const CatalogFont &font);
    // The font at a pixel size: a scalable font scaled to it, a bitmap font at
    // its tallest strike no taller than that. nullptr when the font cannot be
    // opened or has no such strike. Kept until the faces are destroyed.
    SizedFace *open(const CatalogFont *font, int px);

private:
    FT_Library library(); // started on first use; nullptr when FreeType cannot start
    FT_Face openFace(const CatalogFont &font);

    std::function<bool(const std::string &)> m_forcesAutohint;
    FT_Library m_library = nullptr;
    bool m_started = false;
    std::map<std::pair<std::string, int>, FT_Face> m_faces; // file and index; nullptr when it cannot be opened
    std::map<std::pair<const CatalogFont *, int>, SizedFace> m_sized; // font and pixel size
    std::map<std::string, std::unique_ptr<CatalogFont>> m_files; // font file path -> its first face; nullptr
                                                                 // when it cannot be opened
};

} // namespace dotforge
