// The headless screen: a display in memory that tests script and inspect.
#include <deque>

#include "platform/emu/emu_state.h"

namespace {

struct Headless {
    bool available = true;
    EmuMode desktop{1024, 768, emu_format_xrgb8888()};
    std::vector<EmuMode> modes = emu_test_default_modes();
    int answer = IDYES;
    std::deque<ScreenEvent> events;
    int frames = 0;
    bool window_shown = false;
    RECT client{};
    bool fullscreen = false;
    ScreenImage last{};
    RECT last_visible{};
    void (*on_show)() = nullptr;
    // A clock of its own, which sleeping moves on at once.
    std::int64_t clock_us = 0;
    int refresh_rate = 60;
    bool show_waits = false;
};

Headless& headless()
{
    static Headless h;
    return h;
}

}  // namespace

bool screen_open() { return headless().available; }
EmuMode screen_desktop() { return headless().desktop; }
const std::vector<EmuMode>& screen_modes() { return headless().modes; }

void screen_window(const char*, const RECT* client)
{
    headless().window_shown = client != nullptr;
    if (client) headless().client = *client;
}

void screen_fullscreen(const EmuMode* mode, const char*) { headless().fullscreen = mode != nullptr; }
// Keeps only where the image is (the surface's memory, alive while it is shown):
// copying it would cost every frame what only tests read.
void screen_show(const ScreenImage& image, const RECT& visible)
{
    if (!image.pixels) {
        headless().last = {};
        return;
    }
    ++headless().frames;
    headless().last = image;
    headless().last_visible = visible;
    if (headless().on_show) headless().on_show();
}

bool screen_read_back(std::vector<std::uint32_t>* pixels, int* width, int* height)
{
    const Headless& h = headless();
    if (!h.last.pixels || !emu().visible) return false;
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
    if (headless().events.empty()) return false;
    *event = headless().events.front();
    headless().events.pop_front();
    return true;
}

int screen_question(const char*, const char*) { return headless().answer; }
int screen_refresh_rate() { return headless().refresh_rate; }
bool screen_show_waits_for_refresh() { return headless().show_waits; }
std::int64_t screen_clock_us() { return headless().clock_us; }
void screen_sleep_until_us(std::int64_t when)
{
    if (when > headless().clock_us) headless().clock_us = when;
}
void screen_screensaver(bool) {}
void screen_cursor(bool) {}

// --- test control of the screen ---

std::vector<EmuMode> emu_test_default_modes()
{
    return {{640, 480, emu_format_xrgb8888()}, {640, 480, emu_format_rgb888()}, {640, 480, emu_format_rgb565()},
            {800, 600, emu_format_xrgb8888()}, {800, 600, emu_format_rgb565()}, {1024, 768, emu_format_xrgb8888()},
            {1024, 768, emu_format_rgb565()}};
}

void emu_test_reset()
{
    emu() = EmuState{};
    emu().logging = true;
    headless() = Headless{};
}

void emu_test_set_modes(const std::vector<EmuMode>& modes) { headless().modes = modes; }
void emu_test_set_desktop(const EmuMode& desktop) { headless().desktop = desktop; }
void emu_test_set_display_available(bool available) { headless().available = available; }
void emu_test_answer_question(int answer) { headless().answer = answer; }
void emu_test_screen_event(const ScreenEvent& event) { headless().events.push_back(event); }
void emu_test_on_show(void (*observe)()) { headless().on_show = observe; }
int emu_test_frames_shown() { return headless().frames; }
void emu_test_set_refresh(int rate, bool show_waits)
{
    headless().refresh_rate = rate;
    headless().show_waits = show_waits;
}
std::int64_t emu_test_clock_us() { return headless().clock_us; }
void emu_test_advance_clock_us(std::int64_t us) { headless().clock_us += us; }
bool emu_test_screen_fullscreen() { return headless().fullscreen; }

bool emu_test_screen_window(RECT* client)
{
    if (client) *client = headless().client;
    return headless().window_shown;
}
