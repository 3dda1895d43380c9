#include "platform/on_white.h"

#include <QList>

namespace zorvik::platform {

namespace {

QRgb onWhite(QRgb pixel)
{
    const int alpha = qAlpha(pixel);
    if (alpha == 255)
        return pixel;
    const auto blend = [alpha](int c) { return (c * alpha + 255 * (255 - alpha) + 127) / 255; };
    return qRgb(blend(qRed(pixel)), blend(qGreen(pixel)), blend(qBlue(pixel)));
}

QRgb premultipliedOnWhite(QRgb pixel)
{
    const int white = 255 - qAlpha(pixel);
    return qRgb(qRed(pixel) + white, qGreen(pixel) + white, qBlue(pixel) + white);
}

} // namespace

void flattenOnWhite(QImage &picture)
{
    if (picture.isNull() || picture.format() == QImage::Format_RGB32)
        return;
    // A colour table is blended entry by entry, which leaves an indexed picture opaque.
    if (picture.colorCount() > 0) {
        QList<QRgb> colours = picture.colorTable();
        for (QRgb &colour : colours)
            colour = onWhite(colour);
        picture.setColorTable(colours);
    }
    if (!picture.hasAlphaChannel()) {
        picture.convertTo(QImage::Format_RGB32);
        return;
    }
    // Both ARGB32 layouts are blended where they lie; other formats with alpha become ARGB32
    // first.
    const bool premultiplied = picture.format() == QImage::Format_ARGB32_Premultiplied;
    if (!premultiplied)
        picture.convertTo(QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            line[x] = premultiplied ? premultipliedOnWhite(line[x]) : onWhite(line[x]);
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
}

} // namespace zorvik::platform
