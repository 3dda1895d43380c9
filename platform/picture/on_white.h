#pragma once

#include <QImage>

namespace zorvik::platform {

// Paints |picture| over white and leaves it RGB32, as the canvas shows pictures on its white
// background: transparent parts become white and translucent ones are blended with it. An
// opaque picture only changes its format; an RGB32 one keeps its pixels as they are. A 32-bit
// or 64-bit picture held nowhere else is blended in its own memory, so that a large picture is
// never held twice (a 64-bit one then keeps all of its memory); any other is drawn into picture
// memory (picture_memory.h) a few rows at a time. Without memory for that, the picture becomes
// null.
void flattenOnWhite(QImage &picture);

// Whether a picture in |format| held nowhere else is put on white in its own memory.
bool flattensInPlace(QImage::Format format);

} // namespace zorvik::platform
