#pragma once

#include <QImage>

namespace zorvik::test {

// A picture whose neighbouring pixels all differ, so that a stray, shifted, blended or missing
// inversion shows.
inline QImage mapPicture()
{
    QImage picture(400, 300, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 13) % 256));
    }
    return picture;
}

} // namespace zorvik::test
