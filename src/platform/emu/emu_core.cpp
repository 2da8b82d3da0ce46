// The emulation's state, its call log and scripted failures, and pixel formats.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/emu/emu_state.h"

EmuState& emu()
{
    static EmuState state;
    return state;
}

bool emu_display_available()
{
    EmuState& s = emu();
    if (s.screen_state == 0) s.screen_state = screen_open() ? 1 : -1;
    return s.screen_state > 0;
}

EmuMode emu_current_mode() { return emu().mode_set ? emu().mode : screen_desktop(); }

EmuCallEntry emu_call(const char* name, const char* format, ...)
{
    EmuState& s = emu();
    if (!s.logging) return {EmuCallEntry::NOT_LOGGED, false, S_OK};
    char args[512];
    va_list list;
    va_start(list, format);
    std::vsnprintf(args, sizeof args, format, list);
    va_end(list);
    s.log.push_back({std::string(name) + "(" + args + ")", 0});
    EmuCallEntry entry{s.log.size() - 1, false, S_OK};
    for (EmuFailure& f : s.failures) {
        if (f.name != name) continue;
        ++f.seen;
        if (f.seen >= f.nth && f.seen < f.nth + f.times) {
            entry.fail = true;
            entry.result = f.result;
        }
    }
    return entry;
}

std::string emu_window_name(HWND window)
{
    if (!window) return "NULL";
    return "hwnd" + std::to_string(reinterpret_cast<UINT_PTR>(window));
}

std::string emu_pointer(const void* pointer)
{
    if (!pointer) return "NULL";
    char text[32];
    std::snprintf(text, sizeof text, "%p", pointer);
    return text;
}

std::string emu_text(LPCSTR text)
{
    if (!text) return "NULL";
    if (reinterpret_cast<UINT_PTR>(text) < 0x10000) return std::to_string(reinterpret_cast<UINT_PTR>(text));
    std::string quoted = "\"";
    quoted += text;
    quoted += '"';
    return quoted;
}

// --- pixel formats ---

EmuPixelFormat emu_format_xrgb8888() { return {DDPF_RGB, 32, 0xFF0000, 0xFF00, 0xFF, 0}; }
EmuPixelFormat emu_format_xbgr8888() { return {DDPF_RGB, 32, 0xFF, 0xFF00, 0xFF0000, 0}; }
EmuPixelFormat emu_format_rgb888() { return {DDPF_RGB, 24, 0xFF0000, 0xFF00, 0xFF, 0}; }
EmuPixelFormat emu_format_bgr888() { return {DDPF_RGB, 24, 0xFF, 0xFF00, 0xFF0000, 0}; }
EmuPixelFormat emu_format_rgb565() { return {DDPF_RGB, 16, 0xF800, 0x7E0, 0x1F, 0}; }
EmuPixelFormat emu_format_bgr565() { return {DDPF_RGB, 16, 0x1F, 0x7E0, 0xF800, 0}; }
EmuPixelFormat emu_format_xrgb1555() { return {DDPF_RGB, 16, 0x7C00, 0x3E0, 0x1F, 0}; }
EmuPixelFormat emu_format_xbgr1555() { return {DDPF_RGB, 16, 0x1F, 0x3E0, 0x7C00, 0}; }
EmuPixelFormat emu_format_palette8() { return {DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0}; }
EmuPixelFormat emu_format_argb2101010()
{
    return {DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000};
}

namespace {

// A channel's value scaled to 8 bits by keeping its top bits, as a screen shows it.
std::uint32_t channel8(std::uint32_t value, DWORD mask)
{
    if (!mask) return 0;
    const int shift = __builtin_ctz(mask);
    const int width = __builtin_popcount(mask);
    const std::uint32_t v = (value & mask) >> shift;
    return width >= 8 ? v >> (width - 8) : v << (8 - width);
}

}  // namespace

std::uint32_t emu_decode_pixel(const EmuPixelFormat& format, const BYTE* p)
{
    std::uint32_t value = 0;
    const int bytes = static_cast<int>(format.bits / 8);
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return channel8(value, format.red) << 16 | channel8(value, format.green) << 8 | channel8(value, format.blue);
}

// --- test control of the core ---

void emu_test_fail(const char* name, int nth, HRESULT result, int times)
{
    emu().failures.push_back({name, nth < 1 ? 1 : nth, times < 1 ? 1 : times, result, 0});
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
