#pragma once
// The TrueType rasteriser on FreeType and fontconfig: 1-bit glyphs (monochrome
// render, full hinting, embedded bitmaps where the face has them) at 96 pixels
// per inch, written straight into the 40 x 40 surface. A character the face
// lacks comes from the first face of fontconfig's sorted fallback list that has
// it. Faces and sizes are opened on first use and kept for the whole run.

#include "core/rasterizer.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dotforge {

// Points to pixels at 96 pixels per inch, rounded: 12 -> 16, 18 -> 24, 22 -> 29.
int pixelHeight(int pointSize);

// Faces the program names that are not installed here, with the installed face
// drawn for each: "宋体" and "SimSun" are the Chinese Ming face of
// fonts-arphic-uming.
const std::vector<std::pair<std::string, std::string>> &faceSubstitutions();

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

    // The ascent in pixels of the face at a point size: the baseline lies this
    // far below the top of the text cell.
    int ascent(const std::string &face, int pointSize);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace dotforge
