#include "platform/picture_loader.h"

#include <QImageReader>

namespace zorvik::platform {

LoadedPicture loadPicture(const QString &path)
{
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return {QImage(), QStringLiteral("Kuvaa ei voitu avata: %1").arg(path)};
    return {image.convertToFormat(QImage::Format_RGB32), QString()};
}

} // namespace zorvik::platform
