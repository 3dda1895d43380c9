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

qint64 pictureBytes(QSize size, QImage::Format format)
{
    if (size.width() > largestPictureSide || size.height() > largestPictureSide)
        return -1;
    if (size.isEmpty())
        return 0;
    const qint64 depth = QImage::toPixelFormat(format).bitsPerPixel();
    return (size.width() * depth + 31) / 32 * 4 * size.height();
}

QImage allocatePicture(QSize size, QImage::Format format)
{
    // Checked here, on the size the pixels are made for: a file that changes while it is read
    // may have told the loader a smaller one.
    const qint64 bytes = pictureBytes(size, format);
    if (bytes <= 0 || bytes > largestPictureBytes)
        return {};
    const qint64 bytesPerLine = bytes / size.height();
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
