// Test control: looking inside the platform: the call log, the display, the
// visible screen and the live objects.

#include "platform/emu/common/call_log_state.h"
#include "platform/emu/ddraw/ddraw_objects.h"
#include "platform/emu/ddraw/ddraw_state.h"
#include "platform/emu/kernel32/kernel32_state.h"
#include "platform/emu/test_control/emu_test_control.h"
#include "platform/emu/user32/user32_state.h"
#include "platform/screen/headless/screen_headless.h"

const std::vector<EmuCall>& emu_test_log() { return emu_call_log().log; }

std::vector<std::string> emu_test_calls(const std::vector<std::string>& prefixes)
{
    std::vector<std::string> out;
    for (const EmuCall& call : emu_call_log().log) {
        bool take = prefixes.empty();
        for (const std::string& p : prefixes) take = take || call.text.compare(0, p.size(), p) == 0;
        if (take) out.push_back(call.text);
    }
    return out;
}

void emu_test_clear_log()
{
    emu_call_log().log.clear();
    kernel32_state().sleeps.clear();
}

const std::vector<DWORD>& emu_test_sleeps() { return kernel32_state().sleeps; }

EmuMode emu_test_display_mode() { return user32_display_mode(); }
bool emu_test_display_mode_set() { return user32_display_mode_set(); }
bool emu_test_screensaver_active() { return user32_state().screensaver; }
bool emu_test_cursor_visible() { return user32_state().cursor_visible; }
int emu_test_live_ddraw_objects() { return ddraw_state().live_objects; }
int emu_test_live_windows() { return static_cast<int>(user32_state().windows.size()); }
int emu_test_loaded_libraries() { return kernel32_state().libraries; }
bool emu_test_app_active() { return user32_app_active(); }

std::vector<BYTE> emu_test_screen_bytes(int* pitch)
{
    const EmuSurface* v = ddraw_state().visible;
    if (pitch) *pitch = v ? v->image().pitch : 0;
    if (!v) return {};
    const EmuSurfaceImage image = v->image();
    return {image.pixels, image.pixels + static_cast<std::size_t>(image.pitch) * image.height};
}

EmuScreenshot emu_test_screen()
{
    EmuScreenshot shot;
    const EmuSurface* v = ddraw_state().visible;
    if (!v) return shot;
    const EmuSurfaceImage image = v->image();
    shot.width = image.width;
    shot.height = image.height;
    shot.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    const int bpp = static_cast<int>(image.format.bits / 8);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            shot.pixels[static_cast<std::size_t>(y) * image.width + x] =
                emu_decode_pixel(image.format, image.pixels + static_cast<std::ptrdiff_t>(y) * image.pitch + x * bpp);
    return shot;
}

// --- the headless screen ---

int emu_test_frames_shown() { return screen_headless().frames; }
std::int64_t emu_test_clock_us() { return screen_headless().clock_us; }
bool emu_test_screen_fullscreen() { return screen_headless().fullscreen; }
bool emu_test_screen_window(RECT* client)
{
    if (client) *client = screen_headless().client;
    return screen_headless().window_shown;
}
