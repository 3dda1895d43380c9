// JPEG on Windows: Qt's reader decodes every JPEG. The static Qt links a copy of libjpeg-turbo
// built for that reader alone, which it offers no target for.
#include "platform/picture/jpeg_decoder.h"

namespace zorvik::platform {

JpegOutcome decodeJpeg(QIODevice &, QImage &, QSize &)
{
    return JpegOutcome::LeftToQt;
}

} // namespace zorvik::platform
