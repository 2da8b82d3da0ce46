// The SDL2 screen: a real window on X11 or Wayland. A full-screen mode fills the
// desktop scaled with its aspect kept (nearest neighbour, integer factors where
// they fit) without changing the monitor's own resolution; windowed, the window
// shows the part of the screen under its client area.
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>
#include <sys/shm.h>
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__linux__)
#include <dirent.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <list>
#include <string>

#include "platform/screen/screen.h"

namespace {

struct Sdl {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    Uint32 texture_format = 0;
    int texture_width = 0, texture_height = 0;
    EmuMode desktop{};
    std::vector<EmuMode> modes;
    std::string title;
    bool fullscreen = false;
    EmuMode mode{};
    bool focused = false;
    int refresh_rate = 0;
    bool vsync = false;     // presenting waits for the display's refresh
    bool software = false;  // SDL's software renderer, drawing into the window's own surface
};

Sdl& sdl()
{
    static Sdl s;
    return s;
}

#if defined(SDL_VIDEO_DRIVER_X11)
// Surfaces' pixels in the X server's shared memory (MIT-SHM), which it puts
// on the window straight from there: the frame is never copied on its way.
// SDL loads Xlib at run time, so the few calls needed are found the same way.
struct SharedPixels {
    BYTE* pixels;
    std::size_t bytes;
    XShmSegmentInfo segment;
    XImage* image;  // made at the first show, for the surface's pitch
};

struct X11 {
    bool tried = false;
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    std::list<SharedPixels> shared;  // in place: each image points at its segment's record
    // The last frame put from shared memory, which the window's surface does not hold.
    const SharedPixels* last = nullptr;
    int last_left = 0, last_top = 0, last_pitch = 0;
    decltype(&XShmQueryExtension) query;
    decltype(&XShmAttach) attach;
    decltype(&XShmDetach) detach;
    decltype(&XShmCreateImage) create_image;
    decltype(&XShmPutImage) put_image;
    decltype(&XSync) sync;
    decltype(&XCreateGC) create_gc;
    decltype(&XGetWindowAttributes) window_attributes;
    decltype(&XSetErrorHandler) set_error_handler;
};

// Set while a segment is being attached: the server may refuse it.
bool attach_refused = false;
int note_refusal(Display*, XErrorEvent*)
{
    attach_refused = true;
    return 0;
}

X11& x11()
{
    static X11 x;
    return x;
}

// The display connection and window, once SDL's window exists and runs on X11
// with a 24-bit true-colour visual and the shared-memory extension; else null.
X11* x11_ready()
{
    X11& x = x11();
    if (x.display) return &x;
    if (x.tried || !sdl().window) return nullptr;
    x.tried = true;
    // Shared memory is for a server on this machine.
    const char* name = std::getenv("DISPLAY");
    if (!name || name[0] != ':') return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(sdl().window, &info) || info.subsystem != SDL_SYSWM_X11) return nullptr;
    void* xlib = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    void* xext = dlopen("libXext.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!xlib || !xext) return nullptr;
    // The program's own definition first (one it links, or preloads), else the library's.
    const auto find = [](void* library, const char* name, auto* function) {
        void* found = dlsym(RTLD_DEFAULT, name);
        *function = reinterpret_cast<std::remove_pointer_t<decltype(function)>>(found ? found : dlsym(library, name));
        return *function != nullptr;
    };
    XWindowAttributes attributes;
    if (!find(xext, "XShmQueryExtension", &x.query) || !find(xext, "XShmAttach", &x.attach) ||
        !find(xext, "XShmDetach", &x.detach) || !find(xext, "XShmCreateImage", &x.create_image) ||
        !find(xext, "XShmPutImage", &x.put_image) || !find(xlib, "XSync", &x.sync) ||
        !find(xlib, "XCreateGC", &x.create_gc) || !find(xlib, "XGetWindowAttributes", &x.window_attributes) ||
        !find(xlib, "XSetErrorHandler", &x.set_error_handler) || !x.query(info.info.x11.display) ||
        !x.window_attributes(info.info.x11.display, info.info.x11.window, &attributes))
        return nullptr;
    const Visual* v = attributes.visual;
    if (attributes.depth != 24 || v->red_mask != 0xFF0000 || v->green_mask != 0xFF00 || v->blue_mask != 0xFF)
        return nullptr;
    x.window = info.info.x11.window;
    x.visual = attributes.visual;
    x.depth = attributes.depth;
    x.gc = x.create_gc(info.info.x11.display, x.window, 0, nullptr);
    x.display = info.info.x11.display;
    return &x;
}

SharedPixels* shared_pixels(const BYTE* pixels)
{
    for (SharedPixels& p : x11().shared)
        if (p.pixels == pixels) return &p;
    return nullptr;
}

// Lets go of an image made on a segment: the memory is the segment's.
void destroy_image(SharedPixels* p)
{
    if (!p->image) return;
    p->image->data = nullptr;
    p->image->obdata = nullptr;
    XDestroyImage(p->image);
    p->image = nullptr;
}
#endif

Uint32 sdl_format(const EmuPixelFormat& f)
{
    struct Entry {
        DWORD bits, red, green, blue;
        Uint32 format;
    };
    static const Entry TABLE[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, SDL_PIXELFORMAT_XRGB8888}, {32, 0xFF, 0xFF00, 0xFF0000, SDL_PIXELFORMAT_XBGR8888},
        {24, 0xFF0000, 0xFF00, 0xFF, SDL_PIXELFORMAT_BGR24},    {24, 0xFF, 0xFF00, 0xFF0000, SDL_PIXELFORMAT_RGB24},
        {16, 0xF800, 0x7E0, 0x1F, SDL_PIXELFORMAT_RGB565},      {16, 0x1F, 0x7E0, 0xF800, SDL_PIXELFORMAT_BGR565},
        {16, 0x7C00, 0x3E0, 0x1F, SDL_PIXELFORMAT_XRGB1555},    {16, 0x1F, 0x3E0, 0x7C00, SDL_PIXELFORMAT_XBGR1555},
    };
    for (const Entry& e : TABLE)
        if (e.bits == f.bits && e.red == f.red && e.green == f.green && e.blue == f.blue) return e.format;
    return SDL_PIXELFORMAT_UNKNOWN;
}

// Whether an OpenGL renderer draws on the processor (Mesa's llvmpipe and the
// like, as on a display server without a graphics card): SDL's own software
// renderer then does the same work for a fraction of the processor time.
bool renders_on_the_processor(SDL_Renderer* renderer)
{
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) return false;
    using GetString = const unsigned char* (*)(unsigned);
    const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const char* name = get_string ? reinterpret_cast<const char*>(get_string(0x1F01 /* GL_RENDERER */)) : nullptr;
    if (!name) return false;
    for (const char* soft : {"llvmpipe", "softpipe", "Software Rasterizer", "swrast"})
        if (std::strstr(name, soft)) return true;
    return false;
}

// Whether the kernel drives a graphics device (a DRM node in /dev/dri). Without
// one every OpenGL renderer draws on the processor, and trying one would leave
// its rasterizer (tens of megabytes) mapped for nothing. Elsewhere than Linux,
// the renderer itself is asked.
bool may_have_a_graphics_device()
{
#if defined(__linux__)
    DIR* dri = opendir("/dev/dri");
    if (!dri) return false;
    bool found = false;
    while (const dirent* e = readdir(dri))
        if (std::strncmp(e->d_name, "card", 4) == 0 || std::strncmp(e->d_name, "renderD", 7) == 0) found = true;
    closedir(dri);
    return found;
#else
    return true;
#endif
}

bool ensure_window(int x, int y, int w, int h)
{
    Sdl& s = sdl();
    if (s.window) return true;
    s.window = SDL_CreateWindow(s.title.c_str(), x, y, w, h, SDL_WINDOW_HIDDEN);
    if (!s.window) return false;
    if (may_have_a_graphics_device())
        s.renderer = SDL_CreateRenderer(s.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (s.renderer && renders_on_the_processor(s.renderer)) {
        SDL_DestroyRenderer(s.renderer);
        s.renderer = nullptr;
    }
    if (!s.renderer) s.renderer = SDL_CreateRenderer(s.window, -1, SDL_RENDERER_SOFTWARE);
    if (!s.renderer) return false;
    // The software renderer reports vsync when asked but never waits for it.
    SDL_RendererInfo info;
    s.software = SDL_GetRendererInfo(s.renderer, &info) == 0 && std::strcmp(info.name, "software") == 0;
    s.vsync = !s.software && (info.flags & SDL_RENDERER_PRESENTVSYNC);
    return true;
}

int virtual_key(SDL_Keycode key)
{
    if (key >= 'a' && key <= 'z') return key - 'a' + 'A';
    if ((key >= '0' && key <= '9') || key == ' ') return key;
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    switch (key) {
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_RETURN:
            return VK_RETURN;
        case SDLK_TAB:
            return VK_TAB;
        case SDLK_BACKSPACE:
            return VK_BACK;
        case SDLK_INSERT:
            return VK_INSERT;
        case SDLK_DELETE:
            return VK_DELETE;
        case SDLK_HOME:
            return VK_HOME;
        case SDLK_END:
            return VK_END;
        case SDLK_PAGEUP:
            return VK_PRIOR;
        case SDLK_PAGEDOWN:
            return VK_NEXT;
        case SDLK_LEFT:
            return VK_LEFT;
        case SDLK_RIGHT:
            return VK_RIGHT;
        case SDLK_UP:
            return VK_UP;
        case SDLK_DOWN:
            return VK_DOWN;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT:
            return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL:
            return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT:
            return VK_MENU;
        default:
            return 0;
    }
}

// With the software renderer, pixels in the server's shared memory that fill
// the window one for one in its own format are put from where they are.
bool show_shared(const ScreenImage& image, int left, int top, const SDL_Rect& place)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    Sdl& s = sdl();
    SharedPixels* p = s.software ? shared_pixels(image.pixels) : nullptr;
    int w = 0, h = 0;
    if (p) SDL_GetWindowSize(s.window, &w, &h);
    const EmuPixelFormat& f = image.format;
    if (!p || f.bits != 32 || f.red != 0xFF0000 || f.green != 0xFF00 || f.blue != 0xFF || image.pitch % 4 != 0 ||
        place.x != 0 || place.y != 0 || place.w != w || place.h != h)
        return false;
    X11& x = x11();
    // An image as wide as the pitch, so that its rows lie where the surface's do.
    const int columns = image.pitch / 4, rows = static_cast<int>(p->bytes / static_cast<std::size_t>(image.pitch));
    if (!p->image || p->image->width != columns || p->image->height != rows) {
        destroy_image(p);
        p->image = x.create_image(x.display, x.visual, static_cast<unsigned>(x.depth), ZPixmap, p->segment.shmaddr,
                                  &p->segment, static_cast<unsigned>(columns), static_cast<unsigned>(rows));
        if (!p->image || p->image->bits_per_pixel != 32 || p->image->bytes_per_line != image.pitch) return false;
    }
    x.put_image(x.display, x.window, x.gc, p->image, left, top, 0, 0, static_cast<unsigned>(place.w),
                static_cast<unsigned>(place.h), False);
    x.last = p;
    x.last_left = left, x.last_top = top, x.last_pitch = image.pitch;
    x.sync(x.display, False);  // shown before the program may write there again
    return true;
#else
    (void)image, (void)left, (void)top, (void)place;
    return false;
#endif
}

// A row into memory the display server reads next: stores that bypass our
// caches, as the server's reading took those lines from them anyway.
void copy_to_server(BYTE* d, const BYTE* s, std::size_t n)
{
#if defined(__SSE2__)
    std::size_t i = 0;
    const std::size_t head = (16 - (reinterpret_cast<std::uintptr_t>(d) & 15)) & 15;
    if (n >= head + 64) {
        std::memcpy(d, s, head);
        for (i = head; i + 64 <= n; i += 64)
            for (int k = 0; k < 64; k += 16)
                _mm_stream_si128(reinterpret_cast<__m128i*>(d + i + k),
                                 _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + k)));
    }
    std::memcpy(d + i, s + i, n - i);
#else
    std::memcpy(d, s, n);
#endif
}

// With the software renderer, pixels that fill the window one for one in its
// surface's own format are copied straight into that surface (the display
// server's shared memory) and put on the screen: one copy, where the renderer
// would copy them into a texture, clear the surface and copy them again.
bool show_directly(const BYTE* pixels, int pitch, Uint32 format, const SDL_Rect& place)
{
    Sdl& s = sdl();
    if (!s.software) return false;
    SDL_Surface* surface = SDL_GetWindowSurface(s.window);
    if (!surface || surface->format->format != format || place.x != 0 || place.y != 0 || place.w != surface->w ||
        place.h != surface->h || SDL_LockSurface(surface) != 0)
        return false;
    const std::size_t row = static_cast<std::size_t>(place.w) * surface->format->BytesPerPixel;
    for (int y = 0; y < place.h; ++y)
        copy_to_server(static_cast<BYTE*>(surface->pixels) + static_cast<std::ptrdiff_t>(y) * surface->pitch,
                       pixels + static_cast<std::ptrdiff_t>(y) * pitch, row);
#if defined(__SSE2__)
    _mm_sfence();  // the streamed stores are done before the server reads
#endif
    SDL_UnlockSurface(surface);
    SDL_UpdateWindowSurface(s.window);
    return true;
}

}  // namespace

BYTE* screen_alloc_pixels(std::size_t bytes)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    if (X11* x = x11_ready()) {
        SharedPixels p{nullptr, bytes, {}, nullptr};
        p.segment.shmid = shmget(IPC_PRIVATE, bytes ? bytes : 1, IPC_CREAT | 0600);
        if (p.segment.shmid >= 0) {
            void* at = shmat(p.segment.shmid, nullptr, 0);
            if (at == reinterpret_cast<void*>(-1)) shmctl(p.segment.shmid, IPC_RMID, nullptr);
            if (at != reinterpret_cast<void*>(-1)) {
                p.segment.shmaddr = static_cast<char*>(at);
                p.segment.readOnly = True;
                x->shared.push_back(p);
                SharedPixels& kept = x->shared.back();
                attach_refused = false;
                const auto previous = x->set_error_handler(note_refusal);
                const bool attached = x->attach(x->display, &kept.segment) && (x->sync(x->display, False), true);
                x->set_error_handler(previous);
                shmctl(p.segment.shmid, IPC_RMID, nullptr);  // freed once both sides let go
                if (attached && !attach_refused) {
                    kept.pixels = static_cast<BYTE*>(at);  // zeroed, as new shared memory is
                    return kept.pixels;
                }
                x->shared.pop_back();
                shmdt(at);
            }
        }
    }
#endif
    auto* pixels = static_cast<BYTE*>(::operator new(bytes ? bytes : 1, std::nothrow));
    if (pixels) std::memset(pixels, 0, bytes);
    return pixels;
}

void screen_free_pixels(BYTE* pixels, std::size_t bytes)
{
#if defined(SDL_VIDEO_DRIVER_X11)
    if (SharedPixels* p = shared_pixels(pixels)) {
        X11& x = x11();
        if (x.last == p) x.last = nullptr;
        x.sync(x.display, False);  // the server is done with it
        x.detach(x.display, &p->segment);
        destroy_image(p);
        shmdt(p->segment.shmaddr);
        x.shared.remove_if([&](const SharedPixels& q) { return &q == p; });
        return;
    }
#endif
    (void)bytes;
    ::operator delete(pixels);
}

bool screen_open()
{
    // Ctrl+C and SIGTERM keep their default action: they end the program, as a
    // console program's on Windows. SDL would turn them into a quit request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // The software renderer draws into the display server's own shared memory,
    // not into an OpenGL texture.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // Without a reachable display server SDL falls back to drivers that show nothing.
    const char* driver = SDL_GetCurrentVideoDriver();
    SDL_DisplayMode desktop;
    if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
        SDL_GetNumVideoDisplays() < 1 || SDL_GetDesktopDisplayMode(0, &desktop) != 0) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    Sdl& s = sdl();
    s.desktop = {desktop.w, desktop.h, emu_format_xrgb8888()};
    s.refresh_rate = desktop.refresh_rate;
    s.modes = screen_usual_modes(desktop.w, desktop.h);
    return true;
}

EmuMode screen_desktop() { return sdl().desktop; }
const std::vector<EmuMode>& screen_modes() { return sdl().modes; }

void screen_window(const char* title, const RECT* client)
{
    Sdl& s = sdl();
    if (title) s.title = title;
    if (s.window) SDL_SetWindowTitle(s.window, s.title.c_str());
    if (s.fullscreen) return;
    if (!client) {
        if (s.window) SDL_HideWindow(s.window);
        return;
    }
    const int w = client->right - client->left, h = client->bottom - client->top;
    if (w <= 0 || h <= 0 || !ensure_window(client->left, client->top, w, h)) return;
    SDL_SetWindowPosition(s.window, client->left, client->top);
    SDL_SetWindowSize(s.window, w, h);
    SDL_RenderSetLogicalSize(s.renderer, 0, 0);
    SDL_ShowWindow(s.window);
}

void screen_fullscreen(const EmuMode* mode, const char* title)
{
    Sdl& s = sdl();
    if (!mode) {
        if (s.fullscreen && s.window) {
            SDL_SetWindowFullscreen(s.window, 0);
            SDL_HideWindow(s.window);
        }
        s.fullscreen = false;
        return;
    }
    if (title) s.title = title;
    if (!ensure_window(0, 0, mode->width, mode->height)) return;
    s.fullscreen = true;
    s.mode = *mode;
    SDL_SetWindowTitle(s.window, s.title.c_str());
    SDL_ShowWindow(s.window);
    SDL_SetWindowFullscreen(s.window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    // The mode's pixels fill the screen with their aspect kept; mouse positions
    // come back in the mode's pixels.
    SDL_RenderSetLogicalSize(s.renderer, mode->width, mode->height);
    SDL_RenderSetIntegerScale(
        s.renderer, s.desktop.width >= mode->width && s.desktop.height >= mode->height ? SDL_TRUE : SDL_FALSE);
}

void screen_show(const ScreenImage& image, const RECT& visible)
{
    Sdl& s = sdl();
    const Uint32 format = sdl_format(image.format);
    if (!s.renderer || format == SDL_PIXELFORMAT_UNKNOWN) return;
    // Only the part of `visible` on the screen has pixels; it keeps its place in
    // the window, and the part off the screen stays black.
    const int left = std::max<int>(0, visible.left), top = std::max<int>(0, visible.top);
    const int w = std::min<int>(image.width, visible.right) - left,
              h = std::min<int>(image.height, visible.bottom) - top;
    if (w <= 0 || h <= 0) return;
    const SDL_Rect place{left - visible.left, top - visible.top, w, h};
    const int bpp = static_cast<int>(image.format.bits / 8);
    const BYTE* first = image.pixels + static_cast<std::ptrdiff_t>(top) * image.pitch + left * bpp;
#if defined(SDL_VIDEO_DRIVER_X11)
    x11().last = nullptr;
#endif
    if (show_shared(image, left, top, place) || show_directly(first, image.pitch, format, place)) return;
    if (!s.texture || s.texture_format != format || s.texture_width != w || s.texture_height != h) {
        if (s.texture) SDL_DestroyTexture(s.texture);
        s.texture = SDL_CreateTexture(s.renderer, format, SDL_TEXTUREACCESS_STREAMING, w, h);
        s.texture_format = format;
        s.texture_width = w;
        s.texture_height = h;
        if (!s.texture) return;
    }
    SDL_UpdateTexture(s.texture, nullptr, first, image.pitch);
    SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
    SDL_RenderClear(s.renderer);
    SDL_RenderCopy(s.renderer, s.texture, nullptr, &place);
    SDL_RenderPresent(s.renderer);
}

bool screen_poll(ScreenEvent* event)
{
    Sdl& s = sdl();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const int vk = virtual_key(e.key.keysym.sym);
                if (!vk) continue;
                *event = {e.type == SDL_KEYDOWN ? ScreenEventKind::KEY_DOWN : ScreenEventKind::KEY_UP, vk, 0, 0, 0};
                return true;
            }
            case SDL_MOUSEMOTION:
                *event = {ScreenEventKind::MOUSE_MOVE, 0, e.motion.x, e.motion.y, 0};
                return true;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT) continue;
                *event = {e.type == SDL_MOUSEBUTTONDOWN ? ScreenEventKind::BUTTON_DOWN : ScreenEventKind::BUTTON_UP, 0,
                          e.button.x, e.button.y, e.button.button == SDL_BUTTON_LEFT ? 0 : 1};
                return true;
            case SDL_WINDOWEVENT:
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_CLOSE:
                        *event = {ScreenEventKind::CLOSE, 0, 0, 0, 0};
                        return true;
                    case SDL_WINDOWEVENT_EXPOSED:
                        *event = {ScreenEventKind::EXPOSE, 0, 0, 0, 0};
                        return true;
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        s.focused = true;
                        *event = {ScreenEventKind::FOCUS_GAINED, 0, 0, 0, 0};
                        return true;
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        // Only a focus that was had can be lost (a bare X server may never give it).
                        if (!s.focused) continue;
                        s.focused = false;
                        *event = {ScreenEventKind::FOCUS_LOST, 0, 0, 0, 0};
                        return true;
                    default:
                        continue;
                }
            default:
                continue;
        }
    }
    return false;
}

// A Yes/No box has no Cancel: Return answers Yes, Escape does nothing, and a box
// closed without an answer asks again.
int screen_question(const char* text, const char* caption)
{
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {0, IDNO, "No"},
    };
    const SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, sdl().window, caption, text, 2, buttons, nullptr};
    for (;;) {
        int answer = -1;
        if (SDL_ShowMessageBox(&box, &answer) != 0) return 0;
        if (answer == IDYES || answer == IDNO) return answer;
    }
}

void screen_screensaver(bool enabled)
{
    if (enabled)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
}

void screen_cursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

int screen_refresh_rate() { return sdl().refresh_rate; }
bool screen_show_waits_for_refresh() { return sdl().vsync; }

std::int64_t screen_clock_us()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

void screen_sleep_until_us(std::int64_t when)
{
    const timespec until{static_cast<time_t>(when / 1000000), static_cast<long>(when % 1000000) * 1000};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

bool screen_read_back(std::vector<std::uint32_t>* pixels, int* width, int* height)
{
    Sdl& s = sdl();
    if (!s.renderer || !s.window) return false;
#if defined(SDL_VIDEO_DRIVER_X11)
    if (const X11& x = x11(); x.last) {  // what was put from shared memory, as put
        SDL_GetWindowSize(s.window, width, height);
        pixels->resize(static_cast<std::size_t>(*width) * *height);
        for (int y = 0; y < *height; ++y)
            for (int c = 0; c < *width; ++c) {
                std::uint32_t v;
                std::memcpy(
                    &v,
                    x.last->pixels + static_cast<std::ptrdiff_t>(x.last_top + y) * x.last_pitch + (x.last_left + c) * 4,
                    4);
                (*pixels)[static_cast<std::size_t>(y) * *width + c] = v & 0x00FFFFFF;
            }
        return true;
    }
#endif
    if (SDL_GetRendererOutputSize(s.renderer, width, height) != 0) return false;
    pixels->assign(static_cast<std::size_t>(*width) * *height, 0);
    // Read in the renderer's own coordinates, not the logical ones.
    const SDL_Rect all{0, 0, *width, *height};
    int lw = 0, lh = 0;
    SDL_RenderGetLogicalSize(s.renderer, &lw, &lh);
    SDL_RenderSetLogicalSize(s.renderer, 0, 0);
    const int status = SDL_RenderReadPixels(s.renderer, &all, SDL_PIXELFORMAT_XRGB8888, pixels->data(), *width * 4);
    SDL_RenderSetLogicalSize(s.renderer, lw, lh);
    for (auto& p : *pixels) p &= 0x00FFFFFF;
    return status == 0;
}
