// Picture memory on Windows: the ordinary heap. Large pages there need a privilege an ordinary
// user lacks.
#include "platform/picture/picture_memory.h"

#include <cstdlib>

namespace zorvik::platform {

void *reservePixels(std::size_t bytes)
{
    return std::malloc(bytes);
}

void releasePixels(void *pixels, std::size_t)
{
    std::free(pixels);
}

// The heap's pages are made ready by the decoder's own writes.
void settlePictureMemory() {}

int pictureMemoryHelpers()
{
    return 0;
}

} // namespace zorvik::platform
