#pragma once

#include <QImage>

#include <cstddef>

namespace zorvik::platform {

// The memory a large picture lives in. A 100-megapixel photo takes hundreds of megabytes, and
// the kernel hands fresh memory over a page at a time, zeroing each page on first touch: that
// can cost as long as decoding the photo. So the canvas's pictures are placed in memory of their
// own, which on Linux a helper thread makes ready ahead of the decoder that fills it.

// The largest picture the canvas keeps: a side of at most 32767 pixels, at most 1 GiB decoded.
inline constexpr int largestPictureSide = 32767;
inline constexpr qint64 largestPictureBytes = qint64(1) << 30;

// The bytes a picture of |size| takes in |format|, its rows beginning on 32-bit boundaries as in
// the toolkit's own images; -1 for a side beyond the largest, which no amount of memory keeps.
qint64 pictureBytes(QSize size, QImage::Format format);

// A picture of |size| in |format| whose pixels lie in that memory and are not set yet; a null
// image when the memory cannot be had or the picture is larger than the canvas keeps. The memory
// goes back when the last copy of the image is gone.
QImage allocatePicture(QSize size, QImage::Format format);

// The bytes the pictures made by allocatePicture() hold together now.
qint64 pictureMemoryInUse();

// Stops and joins every helper still making picture memory ready, so that nothing but the
// calling thread works on the pictures any longer. Called before a picture is handed on; a
// picture's memory is never given back while its helper runs.
void settlePictureMemory();

// The helper threads alive now; 0 once every load has settled its memory.
int pictureMemoryHelpers();

// Each system's own part: |bytes| of memory aligned for any pixel, or null, and its return.
void *reservePixels(std::size_t bytes);
void releasePixels(void *pixels, std::size_t bytes);

} // namespace zorvik::platform
