// The desktop screen's window: connecting to the display (our own window on
// X11, else SDL's, SDL loaded only then), the one window and the way it
// draws, windowed and full screen, and what else the display offers (the
// question box, the screen saver, the cursor, the refresh, the clock).
// A full-screen mode fills the desktop scaled with its aspect kept (nearest
// neighbour, whole factors where they fit) without changing the monitor's
// own resolution; windowed, the window shows the part of the screen under its
// client area.
#if defined(__linux__)
#include <dirent.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "platform/screen/sdl/sdl_screen.h"

namespace {

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

// The window (hidden until a program shows something) and its way of drawing:
// SDL's renderer, else our own X11 path; false when the display can show a
// frame neither way (a pseudo-colour screen, say).
bool make_window(bool on_x11)
{
    SdlScreen& s = sdl_screen();
    // On X11 as small as can be: the software renderer's copy of the window (in
    // the X server's memory) is made at this size, and made again at the
    // window's own only where the renderer draws. A Wayland compositor places
    // a window by the size it first has.
    s.window = SDL_CreateWindow(s.title.c_str(), 0, 0, on_x11 ? 1 : 640, on_x11 ? 1 : 480, SDL_WINDOW_HIDDEN);
    if (!s.window) return false;
    sdl_x11_connect();  // on X11, from the start: its errors are handled from then on
    if (may_have_a_graphics_device())
        s.renderer = SDL_CreateRenderer(s.window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (s.renderer && renders_on_the_processor(s.renderer)) {
        SDL_DestroyRenderer(s.renderer);
        s.renderer = nullptr;
    }
    if (!s.renderer) s.renderer = SDL_CreateRenderer(s.window, -1, SDL_RENDERER_SOFTWARE);
    if (!s.renderer && !sdl_x11_can_put()) {
        sdl_x11_disconnect();
        SDL_DestroyWindow(s.window);
        s.window = nullptr;
        return false;
    }
    // The software renderer reports vsync when asked but never waits for it.
    SDL_RendererInfo info;
    s.software = s.renderer && SDL_GetRendererInfo(s.renderer, &info) == 0 && std::strcmp(info.name, "software") == 0;
    s.vsync = s.renderer && !s.software && (info.flags & SDL_RENDERER_PRESENTVSYNC);
    return true;
}

}  // namespace

SdlScreen& sdl_screen()
{
    static SdlScreen s;
    return s;
}

void sdl_fit(int mode_w, int mode_h, int window_w, int window_h, int* scale, int* x, int* y)
{
    *scale = std::max(1, std::min(window_w / std::max(mode_w, 1), window_h / std::max(mode_h, 1)));
    *x = std::max(0, (window_w - mode_w * *scale) / 2);
    *y = std::max(0, (window_h - mode_h * *scale) / 2);
}

bool screen_open()
{
    SdlScreen& native = sdl_screen();
    if (native.native || native.window) return true;  // open already
    // Our own window where nothing would draw faster than the processor does
    // (no graphics device); elsewhere SDL's accelerated renderer.
    if (!may_have_a_graphics_device() && native_open()) {
        // Our own path puts 32-bit frames only.
        for (const EmuMode& m : screen_usual_modes(native.desktop.width, native.desktop.height))
            if (m.format.bits == 32) native.modes.push_back(m);
        return true;
    }
    if (!sdl_api_load()) return false;
    // Ctrl+C and SIGTERM keep their default action: they end the program, as a
    // console program's on Windows. SDL would turn them into a quit request.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
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
    // On X11 the software renderer draws into the server's own shared memory,
    // not into an OpenGL texture. Elsewhere (Wayland) a texture is SDL's only
    // way to give a window a surface, and the hint would leave it none.
    if (std::strcmp(driver, "x11") == 0) SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SdlScreen& s = sdl_screen();
    if (!make_window(std::strcmp(driver, "x11") == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    s.desktop = {desktop.w, desktop.h, emu_format(PIXEL_FORMAT_XRGB8888)};
    s.refresh_rate = desktop.refresh_rate;
    s.modes = screen_usual_modes(desktop.w, desktop.h);
    // Our own path puts 32-bit frames only.
    if (!s.renderer)
        s.modes.erase(
            std::remove_if(s.modes.begin(), s.modes.end(), [](const EmuMode& m) { return m.format.bits != 32; }),
            s.modes.end());
    return true;
}

EmuMode screen_desktop() { return sdl_screen().desktop; }
const std::vector<EmuMode>& screen_modes() { return sdl_screen().modes; }

void screen_window(const char* title, const RECT* client)
{
    SdlScreen& s = sdl_screen();
    if (title) s.title = title;
    if (s.native) {
        native_title();
        if (!s.fullscreen) native_window(client);
        return;
    }
    if (s.window) SDL_SetWindowTitle(s.window, s.title.c_str());
    if (s.fullscreen || !s.window) return;
    if (!client) {
        SDL_HideWindow(s.window);
        return;
    }
    const int w = client->right - client->left, h = client->bottom - client->top;
    if (w <= 0 || h <= 0) return;
    SDL_SetWindowPosition(s.window, client->left, client->top);
    SDL_SetWindowSize(s.window, w, h);
    if (s.renderer) SDL_RenderSetLogicalSize(s.renderer, 0, 0);
    SDL_ShowWindow(s.window);
}

bool screen_fullscreen(const EmuMode* mode, const char* title)
{
    SdlScreen& s = sdl_screen();
    if (s.native) {
        if (mode && title) s.title = title;
        if (mode) native_title();
        return native_fullscreen(mode);
    }
    if (!s.window) return false;
    if (!mode) {
        if (s.fullscreen) {
            SDL_SetWindowFullscreen(s.window, 0);
            SDL_HideWindow(s.window);
        }
        s.fullscreen = false;
        return true;
    }
    if (title) s.title = title;
    SDL_SetWindowTitle(s.window, s.title.c_str());
    SDL_ShowWindow(s.window);
    if (SDL_SetWindowFullscreen(s.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
        SDL_HideWindow(s.window);
        s.fullscreen = false;
        return false;
    }
    s.fullscreen = true;
    s.mode = *mode;
    // A window manager makes the window the screen's size; without one (a
    // kiosk, a bare X server) it keeps its own, so it is moved over the screen.
    if (!sdl_x11_window_manager()) sdl_x11_cover_screen(s.desktop.width, s.desktop.height);
    sdl_fit(mode->width, mode->height, s.desktop.width, s.desktop.height, &s.scale, &s.offset_x, &s.offset_y);
    if (s.renderer) {
        // The mode's pixels fill the screen with their aspect kept; mouse
        // positions come back in the mode's pixels.
        SDL_RenderSetLogicalSize(s.renderer, mode->width, mode->height);
        SDL_RenderSetIntegerScale(
            s.renderer, s.desktop.width >= mode->width && s.desktop.height >= mode->height ? SDL_TRUE : SDL_FALSE);
    }
    return true;
}

// A Yes/No box has no Cancel: Return answers Yes, Escape does nothing, and a box
// closed without an answer asks again.
int screen_question(const char* text, const char* caption)
{
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
        {0, IDNO, "No"},
    };
    // SDL's box, loaded for it where our own window serves.
    if (!sdl_api_load()) return 0;
    SDL_Window* window = sdl_screen().window;
    // Over the program's window where one is shown; else the screen's middle.
    if (window && !(SDL_GetWindowFlags(window) & SDL_WINDOW_SHOWN)) window = nullptr;
    const SDL_MessageBoxData box{.flags = SDL_MESSAGEBOX_INFORMATION,
                                 .window = window,
                                 .title = caption,
                                 .message = text,
                                 .numbuttons = 2,
                                 .buttons = buttons,
                                 .colorScheme = nullptr};
    int answer = 0;
    for (;;) {
        int button = -1;
        if (SDL_ShowMessageBox(&box, &button) != 0) break;
        if (button == IDYES || button == IDNO) {
            answer = button;
            break;
        }
    }
    // Beside our own window SDL served the box alone: its libraries go again.
    if (sdl_screen().native) sdl_api_unload();
    return answer;
}

void screen_screensaver(bool enabled)
{
    if (sdl_screen().native)
        native_screensaver(enabled);
    else if (sdl_screen().window && enabled)
        SDL_EnableScreenSaver();
    else if (sdl_screen().window)
        SDL_DisableScreenSaver();
}

void screen_cursor(bool visible)
{
    if (sdl_screen().native)
        native_cursor(visible);
    else if (sdl_screen().window)
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

int screen_refresh_rate() { return sdl_screen().refresh_rate; }
bool screen_show_waits_for_refresh() { return sdl_screen().vsync; }

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
