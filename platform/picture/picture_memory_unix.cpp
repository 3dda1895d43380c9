// Picture memory on Unix-like systems: large pictures are mapped on 2 MiB boundaries and, where
// the kernel knows transparent huge pages, advised for them, so that the first touch of a
// picture faults it in 2 MiB at a time rather than 4 KiB. Debian leaves huge pages to such
// advice by default.
#include "platform/picture/picture_memory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace zorvik::platform {

namespace {

constexpr std::size_t hugePage = std::size_t(2) << 20;

// A small picture would waste most of a huge page; the ordinary heap suits it better.
bool large(std::size_t bytes)
{
    return bytes >= hugePage;
}

// The mapping covers whole huge pages, so that the last part of the picture is one too.
std::size_t mappedLength(std::size_t bytes)
{
    return (bytes + hugePage - 1) & ~(hugePage - 1);
}

} // namespace

void *reservePixels(std::size_t bytes)
{
    if (!large(bytes))
        return std::malloc(bytes);
    const std::size_t length = mappedLength(bytes);
    // One huge page more than needed leaves room to begin on a boundary; the rest is unmapped.
    void *mapped = mmap(nullptr, length + hugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + hugePage - 1) & ~std::uintptr_t(hugePage - 1);
    if (aligned > start)
        munmap(mapped, aligned - start);
    if (const std::size_t tail = hugePage - (aligned - start); tail > 0)
        munmap(reinterpret_cast<void *>(aligned + length), tail);
    void *pixels = reinterpret_cast<void *>(aligned);
#ifdef MADV_HUGEPAGE
    // Without huge pages the picture is still whole, only slower to fault in.
    madvise(pixels, length, MADV_HUGEPAGE);
#endif
    return pixels;
}

void releasePixels(void *pixels, std::size_t bytes)
{
    if (!large(bytes))
        std::free(pixels);
    else
        munmap(pixels, mappedLength(bytes));
}

} // namespace zorvik::platform
