#include "platform/picture/picture_memory.h"

#include <QPixelFormat>

#include <atomic>

namespace zorvik::platform {

namespace {

struct Block {
    void *pixels;
    std::size_t bytes;
};

std::atomic<qint64> bytesInUse{0};

void release(void *info)
{
    const auto *block = static_cast<const Block *>(info);
    bytesInUse -= qint64(block->bytes);
    releasePixels(block->pixels, block->bytes);
    delete block;
}

} // namespace

QImage allocatePicture(QSize size, QImage::Format format)
{
    if (size.isEmpty() || format == QImage::Format_Invalid)
        return {};
    // Rows begin on 32-bit boundaries, as in the toolkit's own images.
    const qint64 depth = QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = (size.width() * depth + 31) / 32 * 4;
    const qint64 bytes = bytesPerLine * size.height();
    void *pixels = reservePixels(std::size_t(bytes));
    if (!pixels)
        return {};
    auto *block = new Block{pixels, std::size_t(bytes)};
    bytesInUse += bytes;
    QImage image(static_cast<uchar *>(pixels), size.width(), size.height(), bytesPerLine, format,
                 release, block);
    // A refused image never calls its clean-up.
    if (image.isNull())
        release(block);
    return image;
}

qint64 pictureMemoryInUse()
{
    return bytesInUse;
}

} // namespace zorvik::platform
