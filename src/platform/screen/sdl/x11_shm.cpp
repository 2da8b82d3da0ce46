// The screen's X11 shared memory (MIT-SHM): surfaces' pixels that the X
// server shares, put on the window from where they are, never copied (a
// segment the server refuses leaves the surface in plain memory, put from
// there); and our own images' segments.
#include "platform/screen/sdl/sdl_api.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <dlfcn.h>
#include <sys/shm.h>

#include <cstdlib>
#include <cstring>

#include "platform/screen/sdl/x11_state.h"

namespace {

// Set while a segment is being attached: the server may refuse it.
bool attach_refused = false;
int note_refusal(Display*, XErrorEvent*)
{
    attach_refused = true;
    return 0;
}

SharedPixels* shared_pixels(const BYTE* pixels)
{
    for (SharedPixels& p : x11().shared)
        if (p.pixels == pixels) return &p;
    return nullptr;
}

// Lets go of an image made on memory not its own.
void destroy_image(XImage** image)
{
    if (!*image) return;
    (*image)->data = nullptr;
    (*image)->obdata = nullptr;
    XDestroyImage(*image);
    *image = nullptr;
}

// A new segment of `bytes` that the server has attached, at `segment` (which
// stays where it is while attached); null where it can't be had.
char* attach_segment(std::size_t bytes, XShmSegmentInfo* segment)
{
    X11& x = x11();
    segment->shmid = shmget(IPC_PRIVATE, bytes ? bytes : 1, IPC_CREAT | 0600);
    if (segment->shmid < 0) return nullptr;
    void* at = shmat(segment->shmid, nullptr, 0);
    if (at == reinterpret_cast<void*>(-1)) {
        shmctl(segment->shmid, IPC_RMID, nullptr);
        return nullptr;
    }
    segment->shmaddr = static_cast<char*>(at);
    segment->readOnly = True;
    attach_refused = false;
    const auto previous = x.set_error_handler(note_refusal);
    const bool attached = x.attach(x.display, segment) && (x.sync(x.display, False), true);
    x.set_error_handler(previous);
    shmctl(segment->shmid, IPC_RMID, nullptr);  // freed once both sides let go
    if (attached && !attach_refused) return segment->shmaddr;
    shmdt(at);
    return nullptr;
}

}  // namespace

bool x11_find_shm(bool* for_surfaces)
{
    X11& x = x11();
    *for_surfaces = false;
    void* xext = dlopen("libXext.so.6", RTLD_NOW | RTLD_LOCAL);
    const auto find = [&](const char* name, auto* function) { return x11_find(xext, name, function); };
    // Shared memory is for a server on this machine; surfaces' pixels go there
    // on a 24-bit visual that shows their 32-bit pixels as they are.
    const char* name = std::getenv("DISPLAY");
    if (!name || name[0] != ':' || !find("XShmQueryExtension", &x.query) || !find("XShmAttach", &x.attach) ||
        !find("XShmDetach", &x.detach) || !find("XShmCreateImage", &x.create_shm_image) ||
        !find("XShmPutImage", &x.put_shm_image) || !x.query(x.display))
        return false;
    const Visual* v = x.visual;
    *for_surfaces = x.depth == 24 && v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 && v->blue_mask == 0xFF;
    return true;
}

bool x11_share_image(XImage* image, XShmSegmentInfo* segment)
{
    image->data = attach_segment(static_cast<std::size_t>(image->bytes_per_line) * image->height, segment);
    return image->data != nullptr;
}

void x11_unshare_image(XShmSegmentInfo* segment)
{
    X11& x = x11();
    x.detach(x.display, segment);
    shmdt(segment->shmaddr);
    *segment = {};
}

bool x11_read_back_shared(std::vector<std::uint32_t>* pixels, int* width, int* height)
{
    X11& x = x11();
    if (!x.last_pixels) return false;
    // What was put from shared memory where it was put, black around it.
    XWindowAttributes a;
    if (!x.window_attributes(x.display, x.window, &a)) return false;
    *width = a.width, *height = a.height;
    pixels->assign(static_cast<std::size_t>(*width) * *height, 0);
    for (int y = 0; y < x.last_height && x.last_y + y < *height; ++y)
        for (int c = 0; c < x.last_width && x.last_x + c < *width; ++c) {
            std::uint32_t v;
            std::memcpy(
                &v, x.last_pixels + static_cast<std::ptrdiff_t>(x.last_top + y) * x.last_pitch + (x.last_left + c) * 4,
                4);
            (*pixels)[static_cast<std::size_t>(x.last_y + y) * *width + x.last_x + c] = v & 0x00FFFFFF;
        }
    return true;
}

BYTE* sdl_x11_alloc_shared(std::size_t bytes)
{
    X11& x = x11();
    if (!sdl_x11_connect() || !x.shm) return nullptr;
    x.shared.push_back({nullptr, bytes, {}, nullptr});
    SharedPixels& kept = x.shared.back();
    BYTE* pixels = reinterpret_cast<BYTE*>(attach_segment(bytes, &kept.segment));  // zeroed, as new shared memory is
    if (!pixels) {
        x.shared.pop_back();
        return nullptr;
    }
    kept.pixels = pixels;
    return pixels;
}

bool sdl_x11_free_shared(BYTE* pixels)
{
    SharedPixels* p = pixels ? shared_pixels(pixels) : nullptr;
    if (!p) return false;
    X11& x = x11();
    if (x.last == p) x.last = nullptr, x.last_pixels = nullptr;
    x.sync(x.display, False);  // the server is done with it
    x.detach(x.display, &p->segment);
    destroy_image(&p->image);
    shmdt(p->segment.shmaddr);
    x.shared.remove_if([&](const SharedPixels& q) { return &q == p; });
    return true;
}

bool sdl_x11_put_shared(const ScreenImage& image, int left, int top, int width, int height, int to_x, int to_y)
{
    X11& x = x11();
    SharedPixels* p = shared_pixels(image.pixels);
    const EmuPixelFormat& f = image.format;
    if (!p || f.bits != 32 || f.red != 0xFF0000 || f.green != 0xFF00 || f.blue != 0xFF || image.pitch % 4 != 0)
        return false;
    // An image as wide as the pitch, so that its rows lie where the surface's do.
    const int columns = image.pitch / 4, rows = static_cast<int>(p->bytes / static_cast<std::size_t>(image.pitch));
    if (!p->image || p->image->width != columns || p->image->height != rows) {
        destroy_image(&p->image);
        p->image = x.create_shm_image(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, p->segment.shmaddr,
                                      &p->segment, static_cast<unsigned>(columns), static_cast<unsigned>(rows));
        if (!p->image || p->image->bits_per_pixel != 32 || p->image->bytes_per_line != image.pitch) return false;
    }
    x.put_shm_image(x.display, x.window, x.gc, p->image, left, top, to_x, to_y, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), False);
    x.last = p;
    x.last_pixels = p->pixels;
    x.last_left = left, x.last_top = top, x.last_width = width, x.last_height = height, x.last_pitch = image.pitch;
    x.last_x = to_x, x.last_y = to_y;
    x.image_shown = false;
    x.sync(x.display, False);  // shown before the program may write there again
    return true;
}

bool sdl_x11_put_direct(const ScreenImage& image, int left, int top, int width, int height, int to_x, int to_y)
{
    X11& x = x11();
    const EmuPixelFormat& f = image.format;
    const Visual* v = x.visual;
    if (!x.display || f.bits != 32 || f.red != 0xFF0000 || f.green != 0xFF00 || f.blue != 0xFF ||
        image.pitch % 4 != 0 || x.depth != 24 || v->red_mask != 0xFF0000 || v->green_mask != 0xFF00 ||
        v->blue_mask != 0xFF)
        return false;
    // An image over the surface's own memory, made once for its pitch and
    // height: the memory of a flipping chain's surfaces, which takes turns
    // being shown, only moves its data.
    XImage*& d = x.direct;
    if (!d || d->bytes_per_line != image.pitch || d->height != image.height) {
        destroy_image(&d);
        d = x.create_image(x.display, x.visual, 24, ZPixmap, 0, nullptr, static_cast<unsigned>(image.pitch / 4),
                           static_cast<unsigned>(image.height), 32, image.pitch);
        if (!d) return false;
        if (d->bits_per_pixel != 32) {
            destroy_image(&d);
            return false;
        }
    }
    d->data = const_cast<char*>(reinterpret_cast<const char*>(image.pixels));
    x.put_image(x.display, x.window, x.gc, d, left, top, to_x, to_y, static_cast<unsigned>(width),
                static_cast<unsigned>(height));
    x.last = nullptr;
    x.last_pixels = image.pixels;
    x.last_left = left, x.last_top = top, x.last_width = width, x.last_height = height, x.last_pitch = image.pitch;
    x.last_x = to_x, x.last_y = to_y;
    x.image_shown = false;
    x.sync(x.display, False);
    return true;
}

void sdl_x11_forget_pixels(const BYTE* pixels)
{
    X11& x = x11();
    if (x.last_pixels == pixels) x.last_pixels = nullptr;
    if (x.direct && x.direct->data == reinterpret_cast<const char*>(pixels)) x.direct->data = nullptr;
}

#else

bool sdl_x11_put_direct(const ScreenImage&, int, int, int, int, int, int) { return false; }
void sdl_x11_forget_pixels(const BYTE*) {}
BYTE* sdl_x11_alloc_shared(std::size_t) { return nullptr; }
bool sdl_x11_free_shared(BYTE*) { return false; }
bool sdl_x11_put_shared(const ScreenImage&, int, int, int, int, int, int) { return false; }

#endif
