#pragma once

#include <QImage>
#include <QString>

namespace zorvik::platform {

struct LoadedPicture {
    QImage image;  // RGB32, transparency shown as white; null on failure
    QString error; // a Finnish description of the failure, empty on success
};

// Loads a picture file for the canvas. Refuses pictures too large to keep rather than trying.
LoadedPicture loadPicture(const QString &path);

} // namespace zorvik::platform
