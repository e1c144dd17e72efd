#include "tests/support/qt_rasterizer.h"

#include "render/widgets/ui_fonts.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace dotforge::test {

namespace {
QImage surfaceImage()
{
    QImage image(Surface40::kSize, Surface40::kSize, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780); // 96 dpi
    image.setDotsPerMeterY(3780);
    return image;
}
} // namespace

void QtRasterizer::drawText(
    Surface40 &surface, const std::string &text, const std::string &face, int pointSize, int x, int y)
{
    QImage image = surfaceImage();
    for (int py = 0; py < Surface40::kSize; ++py)
        for (int px = 0; px < Surface40::kSize; ++px)
            image.setPixel(px, py, 0xFF000000u | surface.pixel(px, py));
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

int QtRasterizer::ascent(const std::string &face, int pointSize)
{
    const QImage image = surfaceImage();
    return QFontMetrics(glyphFont(face, pointSize), &image).ascent();
}

} // namespace dotforge::test
