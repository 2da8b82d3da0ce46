// The screen's X11 side: the connection our paths draw through (our own
// window's, or SDL's), whether a window manager runs, covering the screen
// without one, and our own path for frames put converted to the visual (ten
// bits a channel, 16-bit screens, whole-factor scaling). Xlib is loaded at run time.
#include "platform/screen/sdl/sdl_api.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/screen/sdl/x11_state.h"

namespace {

// A channel's 8-bit values widened to the mask's bits, top bits repeated
// below (8 to 10 bits: 255 becomes 1023), or cut to its top bits.
void widen(std::uint32_t* table, unsigned long mask)
{
    const int shift = __builtin_ctzl(mask), bits = __builtin_popcountl(mask);
    for (std::uint32_t c = 0; c < 256; ++c) {
        const std::uint32_t v = bits >= 8 ? (c << (bits - 8)) | (bits > 8 ? c >> (16 - bits) : 0) : c >> (8 - bits);
        table[c] = static_cast<std::uint32_t>((static_cast<unsigned long>(v) << shift) & mask);
    }
}

// Xlib's own handler ends the program on any error. A window that another
// program destroyed meanwhile (a window manager's frame, gone as ours is
// hidden, which SDL then asks about) is no reason to: that error is ignored.
XErrorHandler xlib_handler = nullptr;
int on_error(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow) return 0;
    return xlib_handler ? xlib_handler(display, error) : 0;
}

}  // namespace

X11& x11()
{
    static X11 x;
    return x;
}

void* x11_symbol(void* library, const char* name)
{
    void* found = dlsym(RTLD_DEFAULT, name);
    return found || !library ? found : dlsym(library, name);
}

namespace {

// Lets go of our own image of the window.
void destroy_own_image(X11& x)
{
    if (!x.image) return;
    if (x.image_shared) {
        x.sync(x.display, False);  // the server is done with it
        x11_unshare_image(&x.image_segment);
        x.image->data = nullptr;
        x.image->obdata = nullptr;
    }
    XDestroyImage(x.image);  // plain memory is ours, freed with it
    x.image = nullptr;
    x.image_shared = false;
}

// Our own image of a window of w x h, all black; false when none can be made.
bool make_own_image(X11& x, int w, int h)
{
    destroy_own_image(x);
    widen(x.red, x.visual->red_mask), widen(x.green, x.visual->green_mask), widen(x.blue, x.visual->blue_mask);
    if (x.shm_images) {
        x.image = x.create_shm_image(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, nullptr,
                                     &x.image_segment, static_cast<unsigned>(w), static_cast<unsigned>(h));
        if (x.image && (x.image->bits_per_pixel == 32 || x.image->bits_per_pixel == 16) &&
            x11_share_image(x.image, &x.image_segment)) {
            x.image_shared = true;
            return true;
        }
        if (x.image) {
            x.image->data = nullptr;
            XDestroyImage(x.image);
            x.image = nullptr;
        }
    }
    auto* data = static_cast<char*>(std::calloc(static_cast<std::size_t>(w) * h, 4));
    if (!data) return false;
    x.image = x.create_image(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, 0, data,
                             static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
    if (!x.image || (x.image->bits_per_pixel != 32 && x.image->bits_per_pixel != 16)) {
        if (x.image)
            XDestroyImage(x.image);
        else
            std::free(data);
        x.image = nullptr;
        return false;
    }
    return true;
}

// Rows of any of the table's formats into our image at (left, top), each
// pixel made a `scale` x `scale` square in the visual's format of Out.
template <class Out>
void convert_into(X11& x, const BYTE* pixels, int pitch, const EmuPixelFormat& f, int columns, int rows, int left,
                  int top, int scale)
{
    const bool xrgb = f.bits == 32 && f.red == 0xFF0000 && f.green == 0xFF00 && f.blue == 0xFF;
    const int bpp = static_cast<int>(f.bits / 8);
    for (int r = 0; r < rows; ++r) {
        const BYTE* source = pixels + static_cast<std::ptrdiff_t>(r) * pitch;
        auto* line = reinterpret_cast<Out*>(x.image->data +
                                            static_cast<std::ptrdiff_t>(top + r * scale) * x.image->bytes_per_line) +
                     left;
        for (int c = 0; c < columns; ++c) {
            std::uint32_t p;
            if (xrgb)
                std::memcpy(&p, source + 4 * c, 4);
            else
                p = emu_decode_pixel(f, source + bpp * c);
            const auto v = static_cast<Out>(x.red[p >> 16 & 0xFF] | x.green[p >> 8 & 0xFF] | x.blue[p & 0xFF]);
            for (int k = 0; k < scale; ++k) line[c * scale + k] = v;
        }
        for (int k = 1; k < scale; ++k)
            std::memcpy(reinterpret_cast<char*>(line) + static_cast<std::ptrdiff_t>(k) * x.image->bytes_per_line, line,
                        static_cast<std::size_t>(columns) * scale * sizeof(Out));
    }
}

}  // namespace

void* x11_library()
{
    static void* const xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    return xlib;
}

bool x11_attach(Display* display, Window window)
{
    X11& x = x11();
    void* xlib = x11_library();
    XWindowAttributes attributes;
    if (!xlib || !x11_find(xlib, "XSync", &x.sync) || !x11_find(xlib, "XCreateGC", &x.create_gc) ||
        !x11_find(xlib, "XGetWindowAttributes", &x.window_attributes) ||
        !x11_find(xlib, "XSetErrorHandler", &x.set_error_handler) || !x11_find(xlib, "XCreateImage", &x.create_image) ||
        !x11_find(xlib, "XPutImage", &x.put_image) || !x11_find(xlib, "XInternAtom", &x.intern_atom) ||
        !x11_find(xlib, "XGetWindowProperty", &x.get_property) || !x11_find(xlib, "XFree", &x.free) ||
        !x11_find(xlib, "XMoveResizeWindow", &x.move_resize) || !x11_find(xlib, "XRaiseWindow", &x.raise) ||
        !x11_find(xlib, "XFillRectangle", &x.fill_rectangle) || !x.window_attributes(display, window, &attributes))
        return false;
    x.display = display;
    x.window = window;
    x.root = attributes.root;
    x.visual = attributes.visual;
    x.depth = attributes.depth;
    x.gc = x.create_gc(x.display, x.window, 0, nullptr);
    xlib_handler = x.set_error_handler(on_error);
    x.shm_images = x11_find_shm(&x.shm);
    return true;
}

bool sdl_x11_connect()
{
    X11& x = x11();
    if (x.display) return true;
    if (x.tried || !sdl_screen().window) return false;
    x.tried = true;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdl_screen().window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    return x11_attach(info.info.x11.display, info.info.x11.window);
}

void sdl_x11_disconnect()
{
    X11& x = x11();
    if (x.display) {
        destroy_own_image(x);
        if (x.direct) {
            x.direct->data = nullptr;  // the surface's, not the image's
            XDestroyImage(x.direct);
        }
        x.set_error_handler(xlib_handler);
    }
    x = X11{};
    x.tried = true;
}

bool sdl_x11_window_manager()
{
    X11& x = x11();
    if (!sdl_x11_connect()) return true;  // elsewhere the display server places windows itself
    // A window manager names its check window on the root (EWMH).
    const Atom check = x.intern_atom(x.display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = x.get_property(x.display, x.root, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                                      &data) == Success &&
                       count == 1;
    if (data) x.free(data);
    return found;
}

void sdl_x11_cover_screen(int width, int height)
{
    X11& x = x11();
    if (!sdl_x11_connect()) return;
    x.move_resize(x.display, x.window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    x.raise(x.display, x.window);
    x.sync(x.display, False);
}

bool sdl_x11_fill_black(int width, int height)
{
    X11& x = x11();
    if (!x.display) return false;
    // The GC's foreground is pixel 0, black on every true-colour visual.
    x.fill_rectangle(x.display, x.window, x.gc, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    return true;
}

bool sdl_x11_can_put()
{
    if (!sdl_x11_connect()) return false;
    const Visual* v = x11().visual;
    // A visual of colour channels of 5 to 16 bits each, the fewest the 15-bit
    // formats hold: true colour, or direct colour through the ramps SDL
    // gives its window (SDL takes such a visual on 8- and 30-bit X servers).
    // A pseudo-colour screen, or 3-3-2 bits, can't show the frame.
    const auto usable = [](unsigned long mask) {
        return __builtin_popcountl(mask) >= 5 && __builtin_popcountl(mask) <= 16;
    };
    return (v->c_class == TrueColor || v->c_class == DirectColor) && usable(v->red_mask) && usable(v->green_mask) &&
           usable(v->blue_mask);
}

bool sdl_x11_put(const BYTE* pixels, int pitch, const EmuPixelFormat& format, int width, int height, int left, int top,
                 int scale)
{
    X11& x = x11();
    if (!sdl_x11_can_put()) return false;
    int w = 0, h = 0;
    sdl_window_size(&w, &h);
    if (w <= 0 || h <= 0) return false;
    if (!x.image || x.image->width != w || x.image->height != h) {
        if (!make_own_image(x, w, h)) return false;
        x.image_shown = false;  // a new window size: all of it goes
    }
    // Only what lies in the window; the rest of the image is black.
    // The whole image goes to the server when the frame's place changes (or
    // nothing of ours is shown); else only the frame's rectangle.
    const int place[5] = {left, top, width, height, scale};
    const bool whole = !x.image_shown || !std::equal(place, place + 5, x.placed);
    if (!std::equal(place, place + 5, x.placed)) {
        std::memset(x.image->data, 0, static_cast<std::size_t>(x.image->bytes_per_line) * h);
        std::copy(place, place + 5, x.placed);
    }
    const int columns = std::max(0, std::min(width, (w - left) / scale));
    const int rows = std::max(0, std::min(height, (h - top) / scale));
    // 32-bit frames onto the usual visuals by the scaling's own conversions; the rest a pixel at a time.
    const bool xrgb = format.bits == 32 && format.red == 0xFF0000 && format.green == 0xFF00 && format.blue == 0xFF;
    const int bits = x.image->bits_per_pixel;
    const auto red = static_cast<std::uint32_t>(x.visual->red_mask);
    BYTE* at = reinterpret_cast<BYTE*>(x.image->data) + static_cast<std::ptrdiff_t>(top) * x.image->bytes_per_line +
               left * (bits / 8);
    const bool usual =
        bits == 32 ? x.visual->green_mask == 0xFF00 && x.visual->blue_mask == 0xFF : x.visual->blue_mask == 0x1F;
    const bool scaled =
        xrgb && usual && sdl_scale_rows(at, x.image->bytes_per_line, bits, red, pixels, pitch, columns, rows, scale);
    if (!scaled && bits == 32)
        convert_into<std::uint32_t>(x, pixels, pitch, format, columns, rows, left, top, scale);
    else if (!scaled)
        convert_into<std::uint16_t>(x, pixels, pitch, format, columns, rows, left, top, scale);
    const int from_x = whole ? 0 : left, from_y = whole ? 0 : top;
    const unsigned put_w = static_cast<unsigned>(whole ? w : columns * scale);
    const unsigned put_h = static_cast<unsigned>(whole ? h : rows * scale);
    if (put_w > 0 && put_h > 0) {
        if (x.image_shared)
            x.put_shm_image(x.display, x.window, x.gc, x.image, from_x, from_y, from_x, from_y, put_w, put_h, False);
        else
            x.put_image(x.display, x.window, x.gc, x.image, from_x, from_y, from_x, from_y, put_w, put_h);
    }
    x.sync(x.display, False);  // shown before our image is written again
    x.last = nullptr;
    x.last_pixels = nullptr;
    x.image_shown = true;
    return true;
}

void sdl_x11_forget()
{
    x11().last = nullptr;
    x11().last_pixels = nullptr;
    x11().image_shown = false;
}

bool sdl_x11_read_back(std::vector<std::uint32_t>* pixels, int* width, int* height)
{
    const X11& x = x11();
    if (x11_read_back_shared(pixels, width, height)) return true;
    if (!x.image || !x.image_shown) return false;
    // Our own image, each channel's top 8 bits.
    const auto top8 = [](unsigned long p, unsigned long mask) {
        const int bits = __builtin_popcountl(mask);
        const unsigned long v = (p & mask) >> __builtin_ctzl(mask);
        return static_cast<std::uint32_t>(bits >= 8 ? v >> (bits - 8) : v << (8 - bits));
    };
    *width = x.image->width, *height = x.image->height;
    pixels->resize(static_cast<std::size_t>(*width) * *height);
    for (int y = 0; y < *height; ++y)
        for (int c = 0; c < *width; ++c) {
            const char* at = x.image->data + static_cast<std::ptrdiff_t>(y) * x.image->bytes_per_line;
            std::uint32_t p;
            if (x.image->bits_per_pixel == 16) {
                std::uint16_t v;
                std::memcpy(&v, at + c * 2, 2);
                p = v;
            } else {
                std::memcpy(&p, at + c * 4, 4);
            }
            (*pixels)[static_cast<std::size_t>(y) * *width + c] =
                top8(p, x.visual->red_mask) << 16 | top8(p, x.visual->green_mask) << 8 | top8(p, x.visual->blue_mask);
        }
    return true;
}

#else  // no X11 in this SDL: the display server places windows itself

bool sdl_x11_connect() { return false; }
void sdl_x11_disconnect() {}
bool sdl_x11_window_manager() { return true; }
void sdl_x11_cover_screen(int, int) {}
bool sdl_x11_fill_black(int, int) { return false; }
bool sdl_x11_can_put() { return false; }
bool sdl_x11_put(const BYTE*, int, const EmuPixelFormat&, int, int, int, int, int) { return false; }
void sdl_x11_forget() {}
bool sdl_x11_read_back(std::vector<std::uint32_t>*, int*, int*) { return false; }

#endif
