#include "render/widgets/ui_fonts.h"

#include "render/font_catalog.h"
#include "render/freetype_rasterizer.h"

#include <QFont>

namespace dotforge {

void installFontSubstitutions()
{
    for (const auto &[from, to] : faceSubstitutions())
        QFont::insertSubstitution(QString::fromStdString(from), QString::fromStdString(to));
}

QFont glyphFont(const std::string &face, int pointSize)
{
    QFont font(QString::fromStdString(face));
    font.setPixelSize(pixelHeight(pointSize));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace dotforge
