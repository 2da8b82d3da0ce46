// Loaded into the native program with LD_PRELOAD, counts what its screen
// presents (through SDL2, where the program loaded it, or our own X11 path,
// whose puts are counted too): every second and at exit it prints the frames presented so far,
// the seconds between the first and the last, the frame rate, and the way the
// first was presented (a program may end without running its destructors).
#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>

#include <cstdio>
#include <ctime>

namespace {

long presents = 0;
double first = 0, last = 0;
char renderer_name[64] = "unknown";
// How deep in the counted calls we are: a present's own window update and put are the same frame.
int presenting = 0;

double now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double reported = 0;

void print_report()
{
    const double seconds = last - first;
    std::fprintf(stderr, "presents=%ld seconds=%.3f rate=%.2f renderer=%s\n", presents, seconds,
                 seconds > 0 ? static_cast<double>(presents - 1) / seconds : 0.0, renderer_name);
    reported = last;
}

struct Report {
    ~Report() { print_report(); }
} report;

// A function of SDL2's, which the program loads at run time where it uses it.
void* real_sdl(const char* name)
{
    static void* const sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    return sdl ? dlsym(sdl, name) : nullptr;
}

}  // namespace

// One frame presented, by the way named.
static void counted(const char* name)
{
    if (presents == 0) {
        std::snprintf(renderer_name, sizeof renderer_name, "%s", name);
        first = now();
    }
    ++presents;
    last = now();
    if (last - reported >= 1) print_report();
}

extern "C" void SDL_RenderPresent(SDL_Renderer* renderer)
{
    using Present = void (*)(SDL_Renderer*);
    static const auto real = reinterpret_cast<Present>(real_sdl("SDL_RenderPresent"));
    using Info = int (*)(SDL_Renderer*, SDL_RendererInfo*);
    static const auto renderer_info = reinterpret_cast<Info>(real_sdl("SDL_GetRendererInfo"));
    SDL_RendererInfo info;
    ++presenting;
    real(renderer);
    --presenting;
    if (!presenting) counted(renderer_info(renderer, &info) == 0 ? info.name : "unknown");
}

// The software renderer's frames that the screen puts straight into the window's surface.
extern "C" int SDL_UpdateWindowSurface(SDL_Window* window)
{
    using Update = int (*)(SDL_Window*);
    static const auto real = reinterpret_cast<Update>(real_sdl("SDL_UpdateWindowSurface"));
    ++presenting;
    const int status = real(window);
    --presenting;
    if (!presenting) counted("software, the window's surface");
    return status;
}

// The same, for a part of the window.
extern "C" int SDL_UpdateWindowSurfaceRects(SDL_Window* window, const SDL_Rect* rects, int count)
{
    using Update = int (*)(SDL_Window*, const SDL_Rect*, int);
    static const auto real = reinterpret_cast<Update>(real_sdl("SDL_UpdateWindowSurfaceRects"));
    ++presenting;
    const int status = real(window, rects, count);
    --presenting;
    if (!presenting) counted("software, part of the window's surface");
    return status;
}

// The frames the screen puts from the X server's shared memory.
extern "C" Bool XShmPutImage(Display* display, Drawable d, GC gc, XImage* image, int src_x, int src_y, int dst_x,
                             int dst_y, unsigned width, unsigned height, Bool send_event)
{
    using Put = decltype(&XShmPutImage);
    static const auto real =
        reinterpret_cast<Put>(dlsym(dlopen("libXext.so.6", RTLD_NOW | RTLD_LOCAL), "XShmPutImage"));
    const Bool status = real(display, d, gc, image, src_x, src_y, dst_x, dst_y, width, height, send_event);
    if (!presenting) counted("software, from the server's shared memory");
    return status;
}

// The frames our own path puts from plain memory.
extern "C" int XPutImage(Display* display, Drawable d, GC gc, XImage* image, int src_x, int src_y, int dst_x, int dst_y,
                         unsigned width, unsigned height)
{
    using Put = decltype(&XPutImage);
    static const auto real = reinterpret_cast<Put>(dlsym(dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL), "XPutImage"));
    const int status = real(display, d, gc, image, src_x, src_y, dst_x, dst_y, width, height);
    if (!presenting) counted("our own, from plain memory");
    return status;
}
