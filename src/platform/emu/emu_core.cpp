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
