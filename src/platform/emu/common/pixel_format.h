#pragma once

// Pixel formats as DDPIXELFORMAT reports them, the ones the emulation and its
// screens know by name, and display modes. Plain records and constants: no state.

#include <cstdint>

#include "convert/pixel_formats.h"
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

// A format of the converters' table as DDPIXELFORMAT reports it, and two the presenter can't use.
constexpr EmuPixelFormat emu_format(PixelFormatId id)
{
    const PixelFormatInfo& f = PIXEL_FORMAT_TABLE[id];
    return {.flags = static_cast<DWORD>(f.alpha ? DDPF_RGB | DDPF_ALPHAPIXELS : DDPF_RGB),
            .bits = f.bits,
            .red = f.red,
            .green = f.green,
            .blue = f.blue,
            .alpha = f.alpha};
}
constexpr EmuPixelFormat emu_format_palette8()
{
    return {.flags = DDPF_PALETTEINDEXED8, .bits = 8, .red = 0, .green = 0, .blue = 0, .alpha = 0};
}
constexpr EmuPixelFormat emu_format_argb2101010()
{
    return {.flags = DDPF_RGB | DDPF_ALPHAPIXELS,
            .bits = 32,
            .red = 0x3FF00000,
            .green = 0xFFC00,
            .blue = 0x3FF,
            .alpha = 0xC0000000};
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
