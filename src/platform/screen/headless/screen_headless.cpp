// The headless screen: a display in memory that tests script and inspect.
#include "platform/screen/headless/screen_headless.h"

HeadlessScreen& screen_headless()
{
    static HeadlessScreen h;
    return h;
}

bool screen_open() { return screen_headless().available; }
BYTE* screen_alloc_pixels(std::size_t bytes) { return screen_zeroed_pixels(bytes); }
void screen_free_pixels(BYTE* pixels, std::size_t) { ::operator delete(pixels); }
EmuMode screen_desktop() { return screen_headless().desktop; }
const std::vector<EmuMode>& screen_modes() { return screen_headless().modes; }

void screen_window(const char*, const RECT* client)
{
    screen_headless().window_shown = client != nullptr;
    if (client) screen_headless().client = *client;
}

bool screen_fullscreen(const EmuMode* mode, const char*)
{
    if (mode && screen_headless().refuses) return false;
    screen_headless().fullscreen = mode != nullptr;
    return true;
}
// Keeps only where the image is (the surface's memory, alive while it is shown):
// copying it would cost every frame what only tests read.
bool screen_show(const ScreenImage& image, const RECT& visible)
{
    if (!image.pixels) {
        screen_headless().last = {};
        return true;
    }
    if (screen_headless().refuses) return false;
    ++screen_headless().frames;
    screen_headless().last = image;
    screen_headless().last_visible = visible;
    if (screen_headless().on_show) screen_headless().on_show();
    return true;
}

bool screen_read_back(std::vector<std::uint32_t>* pixels, int* width, int* height)
{
    const HeadlessScreen& h = screen_headless();
    if (!h.last.pixels) return false;
    const RECT& r = h.last_visible;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    pixels->assign(static_cast<std::size_t>(*width) * *height, 0);
    const int bpp = static_cast<int>(h.last.format.bits / 8);
    for (int y = 0; y < *height; ++y)
        for (int x = 0; x < *width; ++x)
            (*pixels)[static_cast<std::size_t>(y) * *width + x] =
                emu_decode_pixel(h.last.format, h.last.pixels + static_cast<std::ptrdiff_t>(y + r.top) * h.last.pitch +
                                                    (x + r.left) * bpp);
    return true;
}

bool screen_poll(ScreenEvent* event)
{
    if (screen_headless().events.empty()) return false;
    *event = screen_headless().events.front();
    screen_headless().events.pop_front();
    return true;
}

int screen_question(const char*, const char*) { return screen_headless().answer; }
int screen_refresh_rate() { return screen_headless().refresh_rate; }
bool screen_show_waits_for_refresh() { return screen_headless().show_waits; }
std::int64_t screen_clock_us() { return screen_headless().clock_us; }
void screen_sleep_until_us(std::int64_t when)
{
    if (when > screen_headless().clock_us) screen_headless().clock_us = when;
}
void screen_screensaver(bool) {}
void screen_cursor(bool) {}
