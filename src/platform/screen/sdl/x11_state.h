#pragma once

// The screen's X11 connection, shared by its X11 files (x11.cpp, x11_shm.cpp,
// native.cpp and the X11 events in events.cpp): our own window's, or SDL's.

#include "platform/screen/sdl/sdl_screen.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <list>

// What our own window calls of Xlib, found by these names.
// clang-format off
#define X11_WINDOW_CALLS(X) \
    X(XOpenDisplay) X(XCloseDisplay) X(XCreateWindow) X(XDestroyWindow) X(XMapRaised) X(XWithdrawWindow) X(XStoreName) \
    X(XChangeProperty) X(XDeleteProperty) X(XSetWMProtocols) X(XSetWMNormalHints) X(XAllocSizeHints) \
    X(XPending) X(XNextEvent) X(XLookupKeysym) X(XkbSetDetectableAutoRepeat) X(XSendEvent) \
    X(XCreateBitmapFromData) X(XCreatePixmapCursor) X(XFreePixmap) X(XDefineCursor) X(XUndefineCursor) \
    X(XResetScreenSaver) X(XFlush) X(XSetClassHint)
// clang-format on

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
    bool own_window = false;    // ours (native.cpp), not SDL's
    int width = 0, height = 0;  // our window's size, as the server last told
    bool mapped = false;
    Atom wm_delete = 0;
    Cursor blank = 0;  // shown where the cursor is hidden
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    bool shm = false;                // surfaces in shared memory, for a 24-bit visual on this machine
    bool shm_images = false;         // our own images in shared memory (any visual, a server on this machine)
    std::list<SharedPixels> shared;  // in place: each image points at its segment's record
    // The last frame put from where it lies (shared memory, or a surface's own
    // memory through `direct`), which no image of ours holds.
    const SharedPixels* last = nullptr;
    const BYTE* last_pixels = nullptr;
    XImage* direct = nullptr;  // over a surface's plain memory, kept while it stays
    int last_left = 0, last_top = 0, last_width = 0, last_height = 0, last_pitch = 0;
    int last_x = 0, last_y = 0;  // where in the window
    // Our own path's image of the whole window, in the visual's format (in
    // shared memory where it can be), and each channel's 8-bit values widened to it.
    XImage* image = nullptr;
    XShmSegmentInfo image_segment{};
    bool image_shared = false;
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
#define X11_CALL_MEMBER(name) decltype(&::name) name = nullptr;
    X11_WINDOW_CALLS(X11_CALL_MEMBER)
#undef X11_CALL_MEMBER
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
// Xlib, loaded once.
void* x11_library();
// Takes a window on the display for our paths to draw on: its visual, a GC,
// the error handler, shared memory; false when Xlib's calls can't be found.
bool x11_attach(Display* display, Window window);
// Whether the shared-memory calls are found and the server offers them (for
// our own images), and whether surfaces' pixels may lie there too.
bool x11_find_shm(bool* for_surfaces);
// Shared memory for an image of ours; false when the server can't share it.
bool x11_share_image(XImage* image, XShmSegmentInfo* segment);
void x11_unshare_image(XShmSegmentInfo* segment);
// Reads back the last frame put from shared memory; false when there is none.
bool x11_read_back_shared(std::vector<std::uint32_t>* pixels, int* width, int* height);

#endif
