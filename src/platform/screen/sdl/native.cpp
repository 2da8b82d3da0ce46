// Our own window on an X server, where SDL is not needed: connecting to the
// server DISPLAY names, the one window (hidden until a program shows
// something), windowed and full screen, its title, the cursor, the screen
// saver and the refresh rate. Xlib and its extensions are loaded at run time.
#include "platform/screen/sdl/x11_state.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>
#include <dlfcn.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

Atom atom(const char* name) { return x11().intern_atom(x11().display, name, False); }

// Where the window manager is to put the window: its client area at the place
// asked (static gravity), and, windowed, at that size alone.
void size_hints(int width, int height, bool fixed)
{
    X11& x = x11();
    XSizeHints* hints = x.XAllocSizeHints();
    if (!hints) return;
    hints->flags = PPosition | USPosition | PWinGravity;
    hints->win_gravity = StaticGravity;
    if (fixed) {
        hints->flags |= PSize | PMinSize | PMaxSize;
        hints->width = hints->min_width = hints->max_width = width;
        hints->height = hints->min_height = hints->max_height = height;
    }
    x.XSetWMNormalHints(x.display, x.window, hints);
    x.free(hints);
}

void show_window()
{
    X11& x = x11();
    if (!x.mapped) x.XMapRaised(x.display, x.window);
    x.mapped = true;
}

void hide_window()
{
    X11& x = x11();
    if (x.mapped) x.XWithdrawWindow(x.display, x.window, DefaultScreen(x.display));
    x.mapped = false;
}

// Asks a window manager to add or remove the full-screen state of a shown
// window (EWMH); a hidden one takes it from its property when shown.
void full_screen_state(bool on)
{
    X11& x = x11();
    const Atom state = atom("_NET_WM_STATE"), full = atom("_NET_WM_STATE_FULLSCREEN");
    if (!x.mapped) {
        if (on)
            x.XChangeProperty(x.display, x.window, state, XA_ATOM, 32, PropModeReplace,
                              reinterpret_cast<const unsigned char*>(&full), 1);
        else
            x.XDeleteProperty(x.display, x.window, state);
        return;
    }
    XEvent e;
    std::memset(&e, 0, sizeof e);
    e.xclient.type = ClientMessage;
    e.xclient.window = x.window;
    e.xclient.message_type = state;
    e.xclient.format = 32;
    e.xclient.data.l[0] = on ? 1 : 0;  // _NET_WM_STATE_ADD or _REMOVE
    e.xclient.data.l[1] = static_cast<long>(full);
    e.xclient.data.l[3] = 1;  // asked by a normal program
    x.XSendEvent(x.display, x.root, False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
}

// While the screen saver is kept off: when the server was last told so.
bool screensaver_off = false;
std::int64_t last_reset_s = 0;

}  // namespace

bool native_open()
{
    // A program asking SDL for another display server (Wayland) gets it.
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    const char* name = std::getenv("DISPLAY");
    if ((driver && *driver && strcasecmp(driver, "x11") != 0) || !name || !*name) return false;
    X11& x = x11();
    void* xlib = x11_library();
    bool found = xlib != nullptr;
#define X11_FIND(call) found = found && x11_find(xlib, #call, &x.call);
    X11_WINDOW_CALLS(X11_FIND)
#undef X11_FIND
    if (!found) return false;
    Display* display = x.XOpenDisplay(nullptr);
    if (!display) return false;
    const int screen = DefaultScreen(display);
    XSetWindowAttributes a;
    std::memset(&a, 0, sizeof a);
    a.background_pixel = BlackPixel(display, screen);  // the server itself shows black where we put nothing
    a.border_pixel = 0;
    a.colormap = DefaultColormap(display, screen);
    a.event_mask = KeyPressMask | KeyReleaseMask | PointerMotionMask | EnterWindowMask | ButtonPressMask |
                   ButtonReleaseMask | FocusChangeMask | ExposureMask | StructureNotifyMask;
    // As small as can be until shown.
    const Window window =
        x.XCreateWindow(display, RootWindow(display, screen), 0, 0, 1, 1, 0, DefaultDepth(display, screen), InputOutput,
                        DefaultVisual(display, screen), CWBackPixel | CWBorderPixel | CWColormap | CWEventMask, &a);
    if (!window || !x11_attach(display, window) || !sdl_x11_can_put()) {
        if (window) x.XDestroyWindow(display, window);
        x.XCloseDisplay(display);
        sdl_x11_disconnect();
        x.tried = false;  // SDL's window is tried from the start
        return false;
    }
    x.tried = true;
    x.own_window = true;
    x.width = x.height = 1;
    x.wm_delete = atom("WM_DELETE_WINDOW");
    x.XSetWMProtocols(display, window, &x.wm_delete, 1);
    // A key held sends presses alone, not a release before each.
    x.XkbSetDetectableAutoRepeat(display, True, nullptr);
    char program[] = "picture", kind[] = "Picture";
    XClassHint hint{program, kind};
    x.XSetClassHint(display, window, &hint);
    native_title();
    SdlScreen& s = sdl_screen();
    s.native = true;
    s.desktop = {DisplayWidth(display, screen), DisplayHeight(display, screen), emu_format(PIXEL_FORMAT_XRGB8888)};
    s.refresh_rate = native_refresh_rate();
    return true;
}

void native_title()
{
    X11& x = x11();
    const std::string& title = sdl_screen().title;
    x.XStoreName(x.display, x.window, title.c_str());
    x.XChangeProperty(x.display, x.window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    x.XFlush(x.display);
}

void native_window(const RECT* client)
{
    X11& x = x11();
    if (!client) {
        hide_window();
        x.XFlush(x.display);
        return;
    }
    const int w = client->right - client->left, h = client->bottom - client->top;
    if (w <= 0 || h <= 0) return;
    size_hints(w, h, true);
    x.move_resize(x.display, x.window, client->left, client->top, static_cast<unsigned>(w), static_cast<unsigned>(h));
    x.width = w, x.height = h;
    show_window();
    x.XFlush(x.display);
}

bool native_fullscreen(const EmuMode* mode)
{
    X11& x = x11();
    SdlScreen& s = sdl_screen();
    if (!mode) {
        if (s.fullscreen) {
            hide_window();
            full_screen_state(false);
        }
        s.fullscreen = false;
        x.XFlush(x.display);
        return true;
    }
    // A window manager makes the window the screen's size; without one (a
    // kiosk, a bare X server) it is moved over the screen itself.
    size_hints(0, 0, false);
    if (sdl_x11_window_manager()) full_screen_state(true);
    x.move_resize(x.display, x.window, 0, 0, static_cast<unsigned>(s.desktop.width),
                  static_cast<unsigned>(s.desktop.height));
    x.width = s.desktop.width, x.height = s.desktop.height;
    show_window();
    x.raise(x.display, x.window);
    x.sync(x.display, False);
    s.fullscreen = true;
    s.mode = *mode;
    sdl_fit(mode->width, mode->height, s.desktop.width, s.desktop.height, &s.scale, &s.offset_x, &s.offset_y);
    return true;
}

void native_cursor(bool visible)
{
    X11& x = x11();
    if (visible) {
        x.XUndefineCursor(x.display, x.window);
    } else {
        if (!x.blank) {
            static const char none[1] = {0};
            const Pixmap empty = x.XCreateBitmapFromData(x.display, x.window, none, 1, 1);
            XColor black;
            std::memset(&black, 0, sizeof black);
            x.blank = x.XCreatePixmapCursor(x.display, empty, empty, &black, &black, 0, 0);
            x.XFreePixmap(x.display, empty);
        }
        x.XDefineCursor(x.display, x.window, x.blank);
    }
    x.XFlush(x.display);
}

// The screen saver is kept off by the extension that suspends it, where the
// server has it, and by telling the server of activity every half minute.
void native_screensaver(bool enabled)
{
    X11& x = x11();
    using Suspend = void (*)(Display*, Bool);
    static void* const xss = dlopen("libXss.so.1", RTLD_NOW | RTLD_LOCAL);
    if (const auto suspend = reinterpret_cast<Suspend>(xss ? x11_symbol(xss, "XScreenSaverSuspend") : nullptr))
        suspend(x.display, enabled ? False : True);
    screensaver_off = !enabled;
    last_reset_s = 0;
    x.XFlush(x.display);
}

void native_keep_screen_awake()
{
    if (!screensaver_off) return;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec - last_reset_s < 30) return;
    last_reset_s = now.tv_sec;
    x11().XResetScreenSaver(x11().display);
}

int native_refresh_rate()
{
    X11& x = x11();
    static void* const xrandr = dlopen("libXrandr.so.2", RTLD_NOW | RTLD_LOCAL);
    decltype(&XRRGetScreenInfo) info = nullptr;
    decltype(&XRRConfigCurrentRate) rate = nullptr;
    decltype(&XRRFreeScreenConfigInfo) done = nullptr;
    if (!xrandr || !x11_find(xrandr, "XRRGetScreenInfo", &info) || !x11_find(xrandr, "XRRConfigCurrentRate", &rate) ||
        !x11_find(xrandr, "XRRFreeScreenConfigInfo", &done))
        return 0;
    int event = 0, error = 0;
    using Query = Bool (*)(Display*, int*, int*);
    const auto query = reinterpret_cast<Query>(x11_symbol(xrandr, "XRRQueryExtension"));
    if (!query || !query(x.display, &event, &error)) return 0;
    XRRScreenConfiguration* config = info(x.display, x.root);
    if (!config) return 0;
    const int hz = rate(config);
    done(config);
    return hz > 0 ? hz : 0;
}

void sdl_window_size(int* width, int* height)
{
    const SdlScreen& s = sdl_screen();
    if (s.native) {
        *width = x11().width, *height = x11().height;
        return;
    }
    SDL_GetWindowSize(s.window, width, height);
}

#else  // no X11 in this SDL: SDL's window alone

void sdl_window_size(int* width, int* height) { SDL_GetWindowSize(sdl_screen().window, width, height); }

bool native_open() { return false; }
void native_window(const RECT*) {}
bool native_fullscreen(const EmuMode*) { return false; }
void native_title() {}
void native_cursor(bool) {}
void native_screensaver(bool) {}
void native_keep_screen_awake() {}
int native_refresh_rate() { return 0; }

#endif
