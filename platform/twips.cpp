#include "platform/twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace zorvik::platform {

double twipsPerPixel()
{
    double dpi = 96.0;
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        if (screen->logicalDotsPerInchX() > 0)
            dpi = screen->logicalDotsPerInchX();
    }
    return 1440.0 / dpi;
}

int pixels(double twips)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

double twips(int pixels)
{
    return pixels * twipsPerPixel();
}

QRect twipsRect(double left, double top, double width, double height)
{
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

} // namespace zorvik::platform
