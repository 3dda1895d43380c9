#include "platform/picture/on_white.h"

#include "platform/picture/picture_memory.h"

#include <QList>

#include <algorithm>
#include <cstring>

namespace zorvik::platform {

namespace {

// How the pixels of a row, in the 32-bit format named, are put on white.
enum class Blend { None, Straight, Premultiplied };

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

// |from| and |to| may be the same row.
void flattenRow(const QRgb *from, QRgb *to, int width, Blend blend)
{
    switch (blend) {
    case Blend::None:
        if (from != to)
            std::copy(from, from + width, to);
        break;
    case Blend::Straight:
        std::transform(from, from + width, to, onWhite);
        break;
    case Blend::Premultiplied:
        std::transform(from, from + width, to, premultipliedOnWhite);
        break;
    }
}

Blend blendFor(QImage::Format format)
{
    switch (format) {
    case QImage::Format_ARGB32:
        return Blend::Straight;
    case QImage::Format_ARGB32_Premultiplied:
        return Blend::Premultiplied;
    default:
        return Blend::None;
    }
}

// The 32-bit format the rows of |picture| are turned into before they are put on white. A
// colour table has been blended entry by entry already, which leaves the picture opaque.
QImage::Format wayThrough(const QImage &picture)
{
    if (picture.colorCount() > 0 || !picture.hasAlphaChannel())
        return QImage::Format_RGB32;
    if (picture.format() == QImage::Format_ARGB32_Premultiplied)
        return picture.format();
    return QImage::Format_ARGB32;
}

// Rows converted a band at a time keep the extra memory of a conversion small.
constexpr int bandRows = 64;

QImage flattenedCopy(const QImage &picture)
{
    QImage flat = allocatePicture(picture.size(), QImage::Format_RGB32);
    if (flat.isNull())
        return flat;
    QList<QRgb> colours = picture.colorTable();
    for (QRgb &colour : colours)
        colour = onWhite(colour);
    const QImage::Format through = wayThrough(picture);
    const Blend blend = blendFor(through);
    uchar *const target = flat.bits();
    for (int top = 0; top < picture.height(); top += bandRows) {
        const int rows = std::min(bandRows, picture.height() - top);
        // The band's rows are read where they lie.
        QImage band(picture.constScanLine(top), picture.width(), rows, picture.bytesPerLine(),
                    picture.format());
        if (!colours.isEmpty())
            band.setColorTable(colours);
        if (band.format() != through)
            band = band.convertToFormat(through);
        for (int y = 0; y < rows; ++y) {
            flattenRow(reinterpret_cast<const QRgb *>(band.constScanLine(y)),
                       reinterpret_cast<QRgb *>(target + (top + y) * flat.bytesPerLine()),
                       picture.width(), blend);
        }
    }
    settlePictureMemory();
    return flat;
}

// 64 bits a pixel, as a 16-bit PNG decodes.
bool isWide(QImage::Format format)
{
    return format == QImage::Format_RGBX64 || format == QImage::Format_RGBA64 ||
           format == QImage::Format_RGBA64_Premultiplied;
}

void releaseWide(void *wide)
{
    delete static_cast<QImage *>(wide);
}

// The rows of a 64-bit picture narrowed to 32 bits and put on white where they lie, packed
// towards the start of its memory: each pixel is read whole before its narrower self is written
// over it or over pixels read before. The picture keeps its memory until the result is gone.
QImage narrowedOnWhite(QImage &&wide)
{
    const int width = wide.width();
    const int height = wide.height();
    const bool premultiplied = wide.format() == QImage::Format_RGBA64_Premultiplied;
    uchar *const pixels = wide.bits();
    uchar *to = pixels;
    for (int y = 0; y < height; ++y) {
        const uchar *from = pixels + y * wide.bytesPerLine();
        for (int x = 0; x < width; ++x, from += sizeof(QRgba64), to += sizeof(QRgb)) {
            QRgba64 pixel;
            std::memcpy(&pixel, from, sizeof pixel);
            if (premultiplied)
                pixel = pixel.unpremultiplied();
            const QRgb narrow = onWhite(pixel.toArgb32());
            std::memcpy(to, &narrow, sizeof narrow);
        }
    }
    auto *holder = new QImage(std::move(wide));
    QImage narrowed(pixels, width, height, qsizetype(width) * qsizetype(sizeof(QRgb)),
                    QImage::Format_RGB32, releaseWide, holder);
    // A refused image never calls its clean-up.
    if (narrowed.isNull())
        releaseWide(holder);
    return narrowed;
}

} // namespace

bool flattensInPlace(QImage::Format format)
{
    return isWide(format) || blendFor(format) != Blend::None || format == QImage::Format_RGB32;
}

void flattenOnWhite(QImage &picture)
{
    if (picture.isNull())
        return;
    if (isWide(picture.format()) && picture.isDetached()) {
        picture = narrowedOnWhite(std::move(picture));
        return;
    }
    const Blend blend = blendFor(picture.format());
    const bool inPlace =
        picture.isDetached() && (blend != Blend::None || picture.format() == QImage::Format_RGB32);
    if (inPlace) {
        if (blend != Blend::None) {
            for (int y = 0; y < picture.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
                flattenRow(line, line, picture.width(), blend);
            }
            picture.reinterpretAsFormat(QImage::Format_RGB32);
        }
        return;
    }
    QImage flat = flattenedCopy(picture);
    picture = std::move(flat);
}

} // namespace zorvik::platform
