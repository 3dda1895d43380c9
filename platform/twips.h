#pragma once

#include <QRect>

namespace zorvik::platform {

// The window layout is written in twips (1/1440 inch); the screen's logical dpi turns them into
// pixels, 15 twips a pixel at 96 dpi.
double twipsPerPixel();
int pixels(double twips);
double twips(int pixels);
QRect twipsRect(double left, double top, double width, double height);

} // namespace zorvik::platform
