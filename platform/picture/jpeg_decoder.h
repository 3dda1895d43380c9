#pragma once

#include <QImage>

class QIODevice;

namespace zorvik::platform {

// Qt's JPEG reader asks the decoder for rows of three bytes a pixel and turns each row into the
// toolkit's 32-bit pixels in a pass of its own, which on a 100-megapixel photo costs a fifth
// of the decode. Where the system's libjpeg-turbo is at hand, it writes the canvas's own pixels
// straight into picture memory instead.

enum class JpegOutcome {
    Decoded,
    // This kind of JPEG (CMYK, say), or this system, is left to Qt's reader; nothing was read
    // that the reader still needs, apart from the device's position.
    LeftToQt,
    // The file breaks off, or is corrupt, before its picture could be shown.
    Broken,
    // The header tells a picture larger than the canvas keeps; nothing was allocated for it.
    TooLarge,
};

// Decodes the JPEG |device| holds, from its present position, into |picture|: opaque RGB32 in
// picture memory, the same pixels Qt's reader gives before any turn its EXIF data asks for.
// A file cut short inside its pixel data decodes, the rows never reached grey, as in Qt. Sets
// |size| to the size the header tells, once read: the size checked, whatever the file told before.
JpegOutcome decodeJpeg(QIODevice &device, QImage &picture, QSize &size);

} // namespace zorvik::platform
