#pragma once
// The reference the FreeType rasteriser is held to: Qt Gui's text drawing,
// QFont + QPainter on a QImage, no antialiasing, 96 pixels per inch. Needs a
// QGuiApplication with the program's face substitutions installed.

#include "core/rasterizer.h"

namespace dotforge::test {

class QtRasterizer : public Rasterizer {
public:
    void drawText(
        Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x, int y) override;
    // QFontMetrics' ascent of the face at the point size.
    static int ascent(const std::string &face, int pointSize);
};

} // namespace dotforge::test
