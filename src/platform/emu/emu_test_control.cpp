// Test control of the emulation's core: scripting it and looking inside.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/emu/emu_objects.h"

namespace {

// The calls that can be made to fail: each answers the failure and leaves the
// platform as the call's failure on Windows would.
const char* const INJECTABLE[] = {
    "RegisterClassA",
    "UnregisterClassA",
    "CreateWindowExA",
    "DestroyWindow",
    "IsWindow",
    "ShowWindow",
    "DefWindowProcA",
    "AdjustWindowRect",
    "GetSystemMetrics",
    "ClientToScreen",
    "GetClientRect",
    "LoadCursorA",
    "SetCursor",
    "PeekMessageA",
    "TranslateMessage",
    "DispatchMessageA",
    "PostMessageA",
    "SendMessageA",
    "MessageBoxA",
    "SystemParametersInfoA",
    "GetAsyncKeyState",
    "LoadLibraryA",
    "GetProcAddress",
    "FreeLibrary",
    "DirectDrawCreate",
    "IDirectDraw::CreateClipper",
    "IDirectDraw::CreateSurface",
    "IDirectDraw::RestoreDisplayMode",
    "IDirectDraw::SetCooperativeLevel",
    "IDirectDraw::SetDisplayMode",
    "IDirectDrawClipper::SetHWnd",
    "IDirectDrawSurface::Blt",
    "IDirectDrawSurface::Flip",
    "IDirectDrawSurface::GetAttachedSurface",
    "IDirectDrawSurface::GetPixelFormat",
    "IDirectDrawSurface::GetSurfaceDesc",
    "IDirectDrawSurface::IsLost",
    "IDirectDrawSurface::Lock",
    "IDirectDrawSurface::Restore",
    "IDirectDrawSurface::SetClipper",
    "IDirectDrawSurface::Unlock",
};

}  // namespace

bool emu_test_fail(const char* name, int nth, HRESULT result, int times)
{
    if (!name || std::find_if(std::begin(INJECTABLE), std::end(INJECTABLE),
                              [name](const char* n) { return std::strcmp(n, name) == 0; }) == std::end(INJECTABLE))
        return false;
    emu().failures.push_back({name, nth < 1 ? 1 : nth, times < 1 ? 1 : times, result, 0});
    return true;
}

void emu_test_set_logging(bool on) { emu().logging = on; }

void emu_test_set_pitch_padding(int bytes) { emu().pitch_padding = bytes < 0 ? 0 : bytes; }

void emu_test_script_key_states(int key, const std::vector<SHORT>& values)
{
    auto& queue = emu().scripted_keys[key & 0xFF];
    queue.insert(queue.end(), values.begin(), values.end());
}

void emu_test_post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int at_peek)
{
    if (at_peek <= 0)
        emu_post(window, message, wParam, lParam);
    else
        emu().scripted_messages.push_back({window, message, wParam, lParam, emu().peeks + at_peek});
}

void emu_test_on_exit(void (*report)()) { emu().on_exit = report; }

void emu_test_lose_surfaces() { emu_lose_all_surfaces(); }

const std::vector<EmuCall>& emu_test_log() { return emu().log; }

std::vector<std::string> emu_test_calls(const std::vector<std::string>& prefixes)
{
    std::vector<std::string> out;
    for (const EmuCall& call : emu().log) {
        bool take = prefixes.empty();
        for (const std::string& p : prefixes) take = take || call.text.compare(0, p.size(), p) == 0;
        if (take) out.push_back(call.text);
    }
    return out;
}

void emu_test_clear_log() { emu().log.clear(); }

EmuMode emu_test_display_mode() { return emu_current_mode(); }
bool emu_test_display_mode_set() { return emu().mode_set; }
bool emu_test_screensaver_active() { return emu().screensaver; }
bool emu_test_cursor_visible() { return emu().cursor_visible; }
const std::vector<DWORD>& emu_test_sleeps() { return emu().sleeps; }
int emu_test_live_ddraw_objects() { return emu().live_objects; }
int emu_test_live_windows() { return static_cast<int>(emu().windows.size()); }
int emu_test_loaded_libraries() { return emu().libraries; }
bool emu_test_app_active() { return emu().app_active; }

// --- test control: the visible screen ---

std::vector<BYTE> emu_test_screen_bytes(int* pitch)
{
    const EmuSurface* v = emu().visible;
    if (pitch) *pitch = v ? v->pitch : 0;
    return v ? v->memory : std::vector<BYTE>{};
}

EmuScreenshot emu_test_screen()
{
    EmuScreenshot shot;
    const EmuSurface* v = emu().visible;
    if (!v) return shot;
    shot.width = v->width;
    shot.height = v->height;
    shot.pixels.resize(static_cast<std::size_t>(v->width) * v->height);
    const int bpp = v->bytes_per_pixel();
    for (int y = 0; y < v->height; ++y)
        for (int x = 0; x < v->width; ++x)
            shot.pixels[static_cast<std::size_t>(y) * v->width + x] =
                emu_decode_pixel(v->format, v->memory.data() + static_cast<std::ptrdiff_t>(y) * v->pitch + x * bpp);
    return shot;
}
