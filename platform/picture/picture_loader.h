#pragma once

#include "platform/picture/picture_memory.h"

#include <QIODevice>
#include <QImage>
#include <QString>

namespace zorvik::platform {

struct LoadedPicture {
    QImage image;  // RGB32, transparency shown as white; null on failure
    QString error; // a Finnish description of the failure, empty on success
};

// Loads a picture file for the canvas, whatever its name says: JPEG and GIF, and any other
// format the toolkit reads. Refuses pictures too large to keep rather than trying, and shows
// the wait cursor while it works.
LoadedPicture loadPicture(const QString &path);

// Loads the picture held by |device| in the same way; |name| stands for it in the error text.
// The device is opened for reading if it is not open yet.
LoadedPicture loadPicture(QIODevice &device, const QString &name);

} // namespace zorvik::platform
