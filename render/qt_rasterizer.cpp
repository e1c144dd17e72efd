#include "render/qt_rasterizer.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace dotforge {

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("宋体"), QStringLiteral("AR PL UMing CN"));
    QFont::insertSubstitution(QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"));
}

QFont glyphFont(const std::string &face, int pointSize)
{
    QFont font(QString::fromStdString(face));
    font.setPixelSize(int(std::lround(pointSize * 96.0 / 72.0)));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void QtRasterizer::drawText(Surface40 &surface, const std::string &text, const std::string &face, int pointSize,
                            int x, int y)
{
    QImage image(Surface40::kSize, Surface40::kSize, QImage::Format_RGB32);
    for (int py = 0; py < Surface40::kSize; ++py)
        for (int px = 0; px < Surface40::kSize; ++px)
            image.setPixel(px, py, 0xFF000000u | surface.pixel(px, py));
    image.setDotsPerMeterX(3780); // 96 dpi
    image.setDotsPerMeterY(3780);
    {
        QPainter painter(&image);
        const QFont font = glyphFont(face, pointSize);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QFontMetrics metrics(font, &image);
        painter.drawText(x, y + metrics.ascent(), QString::fromUtf8(text.data(), qsizetype(text.size())));
    }
    for (int py = 0; py < Surface40::kSize; ++py)
        for (int px = 0; px < Surface40::kSize; ++px)
            surface.setPixel(px, py, image.pixel(px, py) & 0xFFFFFFu);
}

} // namespace dotforge
