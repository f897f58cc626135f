// Preloaded into a program (LD_PRELOAD) to mark its first frame: the first image it puts on the
// X server, which for a Qt Widgets program is the backing store going out to the window.
//   Under callgrind: dumps the counts at that moment and ends the process, so each thread's dump
//   holds exactly the instructions from exec to the first frame.
//   Otherwise, with ZL_FIRST_FRAME_FD set: writes the CLOCK_MONOTONIC time in nanoseconds there.
// Every put-image call of the process passes through here, so the wrappers stay tiny.
#include <valgrind/callgrind.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_seen{false};

void firstFrame()
{
    if (g_seen.exchange(true))
        return;
    if (RUNNING_ON_VALGRIND) {
        CALLGRIND_DUMP_STATS_AT("first frame");
        _exit(0);
    }
    if (const char *fd = getenv("ZL_FIRST_FRAME_FD")) {
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        char line[32];
        const int n = snprintf(line, sizeof line, "%lld\n",
                               static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec);
        if (n > 0 && write(atoi(fd), line, static_cast<size_t>(n)) < 0) {
            // Nobody is listening: the frame is still marked as seen.
        }
    }
}

// The real function: next in line after this library, or, where its library was loaded by a
// plugin (not into the global scope), from that library itself.
template <typename F> F next(const char *name, const char *library)
{
    void *f = dlsym(RTLD_NEXT, name);
    if (!f) {
        if (void *handle = dlopen(library, RTLD_LAZY | RTLD_NOLOAD))
            f = dlsym(handle, name);
    }
    if (!f) {
        fprintf(stderr, "firstframe: %s not found\n", name);
        abort();
    }
    return reinterpret_cast<F>(f);
}

} // namespace

// The MIT-SHM request is declared by hand: libxcb-shm's header is not otherwise needed.
using PutImage = xcb_void_cookie_t (*)(xcb_connection_t *, uint8_t, xcb_drawable_t, xcb_gcontext_t, uint16_t,
                                       uint16_t, int16_t, int16_t, uint8_t, uint8_t, uint32_t,
                                       const uint8_t *);
using ShmPutImage = xcb_void_cookie_t (*)(xcb_connection_t *, xcb_drawable_t, xcb_gcontext_t, uint16_t,
                                          uint16_t, uint16_t, uint16_t, uint16_t, uint16_t, int16_t, int16_t,
                                          uint8_t, uint8_t, uint8_t, uint32_t, uint32_t);

#define ZL_PUT_IMAGE(NAME)                                                                                   \
    extern "C" xcb_void_cookie_t NAME(xcb_connection_t *c, uint8_t format, xcb_drawable_t drawable,          \
                                      xcb_gcontext_t gc, uint16_t width, uint16_t height, int16_t x,         \
                                      int16_t y, uint8_t pad, uint8_t depth, uint32_t length,                \
                                      const uint8_t *data)                                                   \
    {                                                                                                        \
        static const PutImage real = next<PutImage>(#NAME, "libxcb.so.1");                                   \
        const xcb_void_cookie_t cookie =                                                                     \
            real(c, format, drawable, gc, width, height, x, y, pad, depth, length, data);                    \
        firstFrame();                                                                                        \
        return cookie;                                                                                       \
    }

#define ZL_SHM_PUT_IMAGE(NAME)                                                                               \
    extern "C" xcb_void_cookie_t NAME(xcb_connection_t *c, xcb_drawable_t drawable, xcb_gcontext_t gc,       \
                                      uint16_t totalWidth, uint16_t totalHeight, uint16_t srcX,              \
                                      uint16_t srcY, uint16_t srcWidth, uint16_t srcHeight, int16_t dstX,    \
                                      int16_t dstY, uint8_t depth, uint8_t format, uint8_t sendEvent,        \
                                      uint32_t shmseg, uint32_t offset)                                      \
    {                                                                                                        \
        static const ShmPutImage real = next<ShmPutImage>(#NAME, "libxcb-shm.so.0");                         \
        const xcb_void_cookie_t cookie =                                                                     \
            real(c, drawable, gc, totalWidth, totalHeight, srcX, srcY, srcWidth, srcHeight, dstX, dstY,      \
                 depth, format, sendEvent, shmseg, offset);                                                  \
        firstFrame();                                                                                        \
        return cookie;                                                                                       \
    }

ZL_PUT_IMAGE(xcb_put_image)
ZL_PUT_IMAGE(xcb_put_image_checked)
ZL_SHM_PUT_IMAGE(xcb_shm_put_image)
ZL_SHM_PUT_IMAGE(xcb_shm_put_image_checked)
