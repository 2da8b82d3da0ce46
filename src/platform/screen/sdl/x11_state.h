#pragma once

// The SDL2 screen's X11 connection, shared by its X11 files (x11.cpp, x11_shm.cpp).

#include "platform/screen/sdl/sdl_screen.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <list>

struct SharedPixels {
    BYTE* pixels;
    std::size_t bytes;
    XShmSegmentInfo segment;
    XImage* image;  // made at the first put, for the surface's pitch
};

struct X11 {
    bool tried = false;
    Display* display = nullptr;
    Window window = 0, root = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    bool shm = false;                // shared memory, for a 24-bit visual on this machine
    std::list<SharedPixels> shared;  // in place: each image points at its segment's record
    // The last frame put from shared memory, which the window's surface does not hold.
    const SharedPixels* last = nullptr;
    int last_left = 0, last_top = 0, last_width = 0, last_height = 0, last_pitch = 0;
    int last_x = 0, last_y = 0;  // where in the window
    // Our own path's image of the whole window, in the visual's format, and
    // each channel's 8-bit values widened to it.
    XImage* image = nullptr;
    bool image_shown = false;
    int placed[5] = {};  // where the last frame went in it: left, top, width, height, scale
    std::uint32_t red[256], green[256], blue[256];
    decltype(&XShmQueryExtension) query;
    decltype(&XShmAttach) attach;
    decltype(&XShmDetach) detach;
    decltype(&XShmCreateImage) create_shm_image;
    decltype(&XShmPutImage) put_shm_image;
    decltype(&XCreateImage) create_image;
    decltype(&XPutImage) put_image;
    decltype(&XSync) sync;
    decltype(&XCreateGC) create_gc;
    decltype(&XGetWindowAttributes) window_attributes;
    decltype(&XSetErrorHandler) set_error_handler;
    decltype(&XInternAtom) intern_atom;
    decltype(&XGetWindowProperty) get_property;
    decltype(&XFree) free;
    decltype(&XMoveResizeWindow) move_resize;
    decltype(&XRaiseWindow) raise;
    decltype(&XFillRectangle) fill_rectangle;
};

X11& x11();
// A function of Xlib's by name: the program's own definition first (one it
// links, or preloads), else the library's.
void* x11_symbol(void* library, const char* name);
template <class F>
bool x11_find(void* library, const char* name, F* function)
{
    *function = reinterpret_cast<F>(x11_symbol(library, name));
    return *function != nullptr;
}
// Whether the shared-memory calls are found and the server offers them.
bool x11_find_shm();
// Reads back the last frame put from shared memory; false when there is none.
bool x11_read_back_shared(std::vector<std::uint32_t>* pixels, int* width, int* height);

#endif
