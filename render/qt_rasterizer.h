#pragma once
// The TrueType rasteriser on Qt Gui: QFont + QPainter on a QImage, no
// antialiasing, 96 pixels per inch. Needs a QGuiApplication.

#include "core/rasterizer.h"

class QFont;

namespace dotforge {

class QtRasterizer : public Rasterizer {
public:
    void drawText(Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x,
                  int y) override;
};

// "宋体" is not installed on Linux: map it to the Chinese Ming face of
// fonts-arphic-uming wherever the program asks for it. Call once after the
// application object exists.
void installFontSubstitutions();

// The face at a point size as the program draws it: pixel height = points x
// 96 / 72 rounded, regular style, antialiasing off.
QFont glyphFont(const std::string &face, int pointSize);

} // namespace dotforge
