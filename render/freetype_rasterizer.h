#pragma once
// The TrueType rasteriser on FreeType and fontconfig: 1-bit glyphs (monochrome
// render, full hinting, embedded bitmaps where the face has them) at 96 pixels
// per inch, written straight into the 40 x 40 surface. It stands on the font
// catalog (font_catalog.h: which installed font a face name means, and the
// fallbacks) and the faces (font_faces.h: FreeType's fonts, sizes and glyphs).
// A character the face lacks comes from the first face of fontconfig's sorted
// fallback list that has it. Faces and sizes are opened on first use and kept
// for the whole run.

#include "core/rasterizer.h"

#include <memory>
#include <string>
#include <vector>

namespace dotforge {

// Points to pixels at 96 pixels per inch, rounded: 12 -> 16, 18 -> 24, 22 -> 29.
int pixelHeight(int pointSize);

// A face name that is an absolute path names a font file instead of an
// installed face: FreeType opens its first face directly, and it draws its own
// characters only.
bool isFontFilePath(const std::string &face);

// The whole point size that rasterises at `px` pixels; 0 when there is none
// (14 px lies between 10 and 11 points).
int pointSizeOfPixels(int px);

// The sizes a face can be drawn at: any size when it is scalable, else only the
// pixel sizes of its bitmap strikes, ascending.
struct FaceStrikes {
    bool found = false; // installed, or the file opens
    std::string family;
    bool scalable = false;
    std::vector<int> pixelSizes;
};

class FreeTypeRasterizer : public Rasterizer {
public:
    FreeTypeRasterizer();
    ~FreeTypeRasterizer() override;
    FreeTypeRasterizer(const FreeTypeRasterizer &) = delete;
    FreeTypeRasterizer &operator=(const FreeTypeRasterizer &) = delete;

    void drawText(
        Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x, int y) override;
    std::string fontFile(const std::string &face) override;
    bool hasFace(const std::string &face) override;
    std::optional<int> pointSizeForDots(const std::string &face, int pointSize, int dots) override;

    // The ascent in pixels of the face at a point size: the baseline lies this
    // far below the top of the text cell.
    int ascent(const std::string &face, int pointSize);

    // The strikes of an installed face or of a font file.
    FaceStrikes strikes(const std::string &face);
    // The installed bitmap-only faces with their strikes, by family name.
    std::vector<FaceStrikes> bitmapFaces();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace dotforge
