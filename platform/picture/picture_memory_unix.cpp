// Picture memory on Unix-like systems: large pictures get a mapping of their own in 4 KiB
// pages, and a helper thread faults those pages in (MADV_POPULATE_WRITE, Linux 5.14 and later)
// a few megabytes at a time from the first row on, ahead of the decoder that writes them. The
// kernel zeroes each fresh page on its first touch, and for a 100-megapixel photo that costs
// nearly as long as the decode; the helper moves it off the decoder's path onto the other core.
//
// What decides the road is its worst case, because what a page costs is the host's doing. On
// the virtual machine this was measured on, a 10000 x 10000 photo decoded by libjpeg-turbo
// straight into the memory, each road in a fresh process, ran for (in ms; the decoder alone,
// into one reused row, took 380-520 after a pause of 3 s and 390-540 back to back):
//
//     road                                        after a 3 s pause   freed a moment before
//     4 KiB pages, the decoder faults them             610-870              660-700
//     4 KiB pages, one populate, then the decode       500-610                 -
//     4 KiB pages, helper ahead of the decoder         400-630              410-560
//     2 MiB pages (MADV_HUGEPAGE)                   1,160-1,420             440-510
//     2 MiB pages, helper ahead of the decoder        760-1,310             390-440
//
// Such a host takes memory the system has left free back and hands it over again slowly, huge
// pages slowest of all: they win only when memory was freed a moment before, which is not what
// a user opening a map meets, and cost up to three times the decode when it was not. On bare
// metal the costs can go the other way (4 KiB faulting twice as slow as huge pages); the helper
// then falls behind, and the decoder faults the pages it has not reached, yet every page the
// helper did fault is one the decoder does not pay for. So 4 KiB pages with the helper are the
// safer worst case on both kinds of machine, and the mapping refuses huge pages even where the
// system hands them out unasked. The helper needs a second core to gain anything; on one it costs a
// thread.
#include "platform/picture/picture_memory.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

// Older C libraries lack the name; the kernel's value is fixed.
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace zorvik::platform {

namespace {

// Starting a helper costs tens of microseconds, more than faulting a small picture in; below
// 2 MiB the ordinary heap serves better.
constexpr std::size_t smallestMapped = std::size_t(2) << 20;

// Small enough that a stopped helper stops at once, large enough that the steps cost nothing.
constexpr std::size_t populateStep = std::size_t(8) << 20;

bool large(std::size_t bytes)
{
    return bytes >= smallestMapped;
}

// Set once the kernel has refused to populate: the decoder then faults its pages itself.
std::atomic<bool> populateRefused{false};

// Faults the pages of one picture in, from its first row on, until they are all in or it is
// told to stop. It touches nothing but those pages, and is joined before they are unmapped.
class Populator {
public:
    Populator(char *pixels, std::size_t bytes)
    {
        m_thread = std::thread([this, pixels, bytes] {
            for (std::size_t done = 0; done < bytes && !m_stop; done += populateStep) {
                const std::size_t length = std::min(populateStep, bytes - done);
                if (madvise(pixels + done, length, MADV_POPULATE_WRITE) != 0) {
                    if (errno == EINVAL)
                        populateRefused = true;
                    return;
                }
            }
        });
    }
    ~Populator()
    {
        m_stop = true;
        m_thread.join();
    }
    Populator(const Populator &) = delete;
    Populator &operator=(const Populator &) = delete;

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The helpers by the memory they populate. Pictures are made and released on the UI thread,
// yet a picture could be let go elsewhere.
std::mutex helpersLock;
std::map<void *, std::unique_ptr<Populator>> helpers;

void startHelper(void *pixels, std::size_t bytes)
{
    if (populateRefused)
        return;
    try {
        auto helper = std::make_unique<Populator>(static_cast<char *>(pixels), bytes);
        const std::lock_guard lock(helpersLock);
        helpers.emplace(pixels, std::move(helper));
    } catch (const std::system_error &) {
        // Without a thread to spare, the decoder faults the pages itself.
    }
}

// The helper is joined once the lock is let go, so that a settling elsewhere never waits on it.
void stopHelper(void *pixels)
{
    std::unique_ptr<Populator> helper;
    {
        const std::lock_guard lock(helpersLock);
        if (const auto found = helpers.find(pixels); found != helpers.end()) {
            helper = std::move(found->second);
            helpers.erase(found);
        }
    }
}

} // namespace

void *reservePixels(std::size_t bytes)
{
    if (!large(bytes))
        return std::malloc(bytes);
    void *pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pixels == MAP_FAILED)
        return nullptr;
#ifdef MADV_NOHUGEPAGE
    madvise(pixels, bytes, MADV_NOHUGEPAGE);
#endif
    startHelper(pixels, bytes);
    return pixels;
}

void releasePixels(void *pixels, std::size_t bytes)
{
    if (!large(bytes)) {
        std::free(pixels);
        return;
    }
    stopHelper(pixels);
    munmap(pixels, bytes);
}

void settlePictureMemory()
{
    std::map<void *, std::unique_ptr<Populator>> stopping;
    {
        const std::lock_guard lock(helpersLock);
        stopping.swap(helpers);
    }
}

int pictureMemoryHelpers()
{
    const std::lock_guard lock(helpersLock);
    return int(helpers.size());
}

} // namespace zorvik::platform
