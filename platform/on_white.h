#pragma once

#include <QImage>

namespace zorvik::platform {

// Paints |picture| over white and leaves it RGB32, as the canvas shows pictures on its white
// background: transparent parts become white and translucent ones are blended with it. An
// opaque picture only changes its format; an RGB32 one is left as it is. A 32-bit picture is
// blended in its own memory, so that a large picture is never held twice.
void flattenOnWhite(QImage &picture);

} // namespace zorvik::platform
