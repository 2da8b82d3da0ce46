// DirectDraw's bridge to the screen, the one place it reaches it: showing the visible surface,
// full-screen modes, waiting for the refresh, and word of the screen's focus.
#include "platform/emu/ddraw/ddraw_screen.h"

#include "platform/emu/ddraw/ddraw_objects.h"
#include "platform/emu/ddraw/ddraw_state.h"
#include "platform/emu/user32/user32_internal.h"
#include "platform/screen/screen.h"

BYTE* ddraw_alloc_pixels(std::size_t bytes) { return screen_alloc_pixels(bytes); }
void ddraw_free_pixels(BYTE* pixels, std::size_t bytes) { screen_free_pixels(pixels, bytes); }

bool ddraw_show_visible()
{
    const DdrawState& s = ddraw_state();
    const EmuSurface* v = s.visible;
    if (!v || v->is_lost() || !user32_display_connected()) return true;
    const EmuSurfaceImage pixels = v->image();
    const ScreenImage image{.pixels = pixels.pixels,
                            .pitch = pixels.pitch,
                            .width = pixels.width,
                            .height = pixels.height,
                            .format = pixels.format};
    RECT shown{0, 0, pixels.width, pixels.height};
    if (!s.exclusive_owner) {
        // Windowed: the screen shows the part of the primary under the window's client area.
        HWND window = user32_active_window();
        if (!window) window = user32_newest_visible_window();
        if (!window) {
            ddraw_show_nothing();
            return true;
        }
        shown = user32_client_rect_on_screen(window);
    }
    return screen_show(image, shown);
}

void ddraw_show_nothing()
{
    if (user32_display_connected()) screen_show(ScreenImage{}, RECT{0, 0, 0, 0});
}

void ddraw_wait_for_refresh()
{
    if (!user32_display_connected() || screen_show_waits_for_refresh()) return;
    const int rate = screen_refresh_rate();
    const std::int64_t period = 1000000 / (rate > 0 ? rate : 60);
    // The refreshes fall on the screen clock's multiples of the period.
    screen_sleep_until_us((screen_clock_us() / period + 1) * period);
}

const EmuMode* ddraw_find_mode(DWORD width, DWORD height, DWORD bits)
{
    for (const EmuMode& m : screen_modes())
        if (static_cast<DWORD>(m.width) == width && static_cast<DWORD>(m.height) == height && m.format.bits == bits)
            return &m;
    return nullptr;
}

bool ddraw_take_screen(const EmuMode* mode, const char* title)
{
    return !user32_display_connected() || screen_fullscreen(mode, title);
}

namespace {

void on_focus_lost()
{
    if (ddraw_state().exclusive_owner) ddraw_lose_all_surfaces();
}

void on_exposed()
{
    if (ddraw_state().exclusive_owner) ddraw_show_visible();
}

}  // namespace

void ddraw_listen_to_screen() { user32_set_screen_listener({.focus_lost = on_focus_lost, .exposed = on_exposed}); }
