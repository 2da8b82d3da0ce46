#pragma once

// The screen pixel formats the converters write, in one table that the
// converters' selection, the emulation, the screens and the tests all read.
// Plain data, no code: any layer may include it.
//
// A row: the id, the name (the converter is convert_row_<name>, each path's
// routine is named by it too), bits a pixel, then the red, green, blue and
// alpha masks as DDPIXELFORMAT gives them. Adding a format: docs/architecture.md.

#include <cstdint>

#define PIXEL_FORMATS(X)                                 \
    X(XRGB8888, xrgb8888, 32, 0xFF0000, 0xFF00, 0xFF, 0) \
    X(XBGR8888, xbgr8888, 32, 0xFF, 0xFF00, 0xFF0000, 0) \
    X(RGB888, rgb888, 24, 0xFF0000, 0xFF00, 0xFF, 0)     \
    X(BGR888, bgr888, 24, 0xFF, 0xFF00, 0xFF0000, 0)     \
    X(RGB565, rgb565, 16, 0xF800, 0x7E0, 0x1F, 0)        \
    X(BGR565, bgr565, 16, 0x1F, 0x7E0, 0xF800, 0)        \
    X(XRGB1555, xrgb1555, 16, 0x7C00, 0x3E0, 0x1F, 0)    \
    X(XBGR1555, xbgr1555, 16, 0x1F, 0x3E0, 0x7C00, 0)

enum PixelFormatId {
#define PIXEL_FORMAT_ID(id, ...) PIXEL_FORMAT_##id,
    PIXEL_FORMATS(PIXEL_FORMAT_ID)
#undef PIXEL_FORMAT_ID
        PIXEL_FORMAT_COUNT
};

struct PixelFormatInfo {
    const char* name;
    std::uint32_t bits, red, green, blue, alpha;
};

inline constexpr PixelFormatInfo PIXEL_FORMAT_TABLE[PIXEL_FORMAT_COUNT] = {
#define PIXEL_FORMAT_INFO(id, name, bits, red, green, blue, alpha) {#name, bits, red, green, blue, alpha},
    PIXEL_FORMATS(PIXEL_FORMAT_INFO)
#undef PIXEL_FORMAT_INFO
};

// The format with these bits and masks, or PIXEL_FORMAT_COUNT when none is.
constexpr PixelFormatId pixel_format_find(std::uint32_t bits, std::uint32_t red, std::uint32_t green,
                                          std::uint32_t blue, std::uint32_t alpha)
{
    for (int i = 0; i < PIXEL_FORMAT_COUNT; ++i) {
        const PixelFormatInfo& f = PIXEL_FORMAT_TABLE[i];
        if (f.bits == bits && f.red == red && f.green == green && f.blue == blue && f.alpha == alpha)
            return static_cast<PixelFormatId>(i);
    }
    return PIXEL_FORMAT_COUNT;
}
