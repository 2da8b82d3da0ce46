#pragma once

// Pixel formats as DDPIXELFORMAT reports them, the ones the emulation and its
// screens know by name, and display modes. Plain records and constants: no state.

#include <cstdint>

#include "platform/emu/common/ddraw_types.h"

struct EmuPixelFormat {
    DWORD flags;
    DWORD bits;
    DWORD red;
    DWORD green;
    DWORD blue;
    DWORD alpha;
};

struct EmuMode {
    int width;
    int height;
    EmuPixelFormat format;
};

// The eight RGB formats the presenter converts to, and two it can't use.
constexpr EmuPixelFormat emu_format_xrgb8888() { return {DDPF_RGB, 32, 0xFF0000, 0xFF00, 0xFF, 0}; }
constexpr EmuPixelFormat emu_format_xbgr8888() { return {DDPF_RGB, 32, 0xFF, 0xFF00, 0xFF0000, 0}; }
constexpr EmuPixelFormat emu_format_rgb888() { return {DDPF_RGB, 24, 0xFF0000, 0xFF00, 0xFF, 0}; }
constexpr EmuPixelFormat emu_format_bgr888() { return {DDPF_RGB, 24, 0xFF, 0xFF00, 0xFF0000, 0}; }
constexpr EmuPixelFormat emu_format_rgb565() { return {DDPF_RGB, 16, 0xF800, 0x7E0, 0x1F, 0}; }
constexpr EmuPixelFormat emu_format_bgr565() { return {DDPF_RGB, 16, 0x1F, 0x7E0, 0xF800, 0}; }
constexpr EmuPixelFormat emu_format_xrgb1555() { return {DDPF_RGB, 16, 0x7C00, 0x3E0, 0x1F, 0}; }
constexpr EmuPixelFormat emu_format_xbgr1555() { return {DDPF_RGB, 16, 0x1F, 0x3E0, 0x7C00, 0}; }
constexpr EmuPixelFormat emu_format_palette8() { return {DDPF_PALETTEINDEXED8, 8, 0, 0, 0, 0}; }
constexpr EmuPixelFormat emu_format_argb2101010()
{
    return {DDPF_RGB | DDPF_ALPHAPIXELS, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000};
}

// Whether two formats lay out the same colour channels (alpha aside).
constexpr bool emu_same_format(const EmuPixelFormat& a, const EmuPixelFormat& b)
{
    return a.flags == b.flags && a.bits == b.bits && a.red == b.red && a.green == b.green && a.blue == b.blue;
}

// Decodes one pixel of `format` at `p` to 0x00RRGGBB, each channel scaled to 8
// bits by keeping its top bits, as a screen shows it.
inline std::uint32_t emu_decode_pixel(const EmuPixelFormat& format, const BYTE* p)
{
    auto channel8 = [](std::uint32_t value, DWORD mask) -> std::uint32_t {
        if (!mask) return 0;
        const int shift = __builtin_ctz(mask);
        const int width = __builtin_popcount(mask);
        const std::uint32_t v = (value & mask) >> shift;
        return width >= 8 ? v >> (width - 8) : v << (8 - width);
    };
    std::uint32_t value = 0;
    for (int i = static_cast<int>(format.bits / 8) - 1; i >= 0; --i) value = value << 8 | p[i];
    return channel8(value, format.red) << 16 | channel8(value, format.green) << 8 | channel8(value, format.blue);
}
