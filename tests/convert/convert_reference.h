#pragma once

// A plain scalar reference for the row converters, written from the table of
// target values and independent of the code under test.

#include <cstdint>
#include <vector>

#include "convert/convert_paths.h"

inline int reference_bytes_per_pixel(int format) { return static_cast<int>(PIXEL_FORMAT_TABLE[format].bits / 8); }

// The target value of one pixel (as an integer; 24-bit values as B | G << 8 | R << 16
// for rgb888 and R | G << 8 | B << 16 for bgr888, i.e. the bytes in memory order).
inline std::uint32_t reference_value(int format, std::uint32_t p)
{
    const std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    switch (format) {
        case PIXEL_FORMAT_XRGB8888:
            return p;
        case PIXEL_FORMAT_XBGR8888:
            return (b << 16) | (g << 8) | r;
        case PIXEL_FORMAT_RGB888:
            return b | (g << 8) | (r << 16);
        case PIXEL_FORMAT_BGR888:
            return r | (g << 8) | (b << 16);
        case PIXEL_FORMAT_RGB565:
            return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
        case PIXEL_FORMAT_BGR565:
            return ((b >> 3) << 11) | ((g >> 2) << 5) | (r >> 3);
        case PIXEL_FORMAT_XRGB1555:
            return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        case PIXEL_FORMAT_XBGR1555:
            return ((b >> 3) << 10) | ((g >> 3) << 5) | (r >> 3);
    }
    return 0;
}

// The bytes a converter must write for `count` pixels: each value little-endian.
inline std::vector<std::uint8_t> reference_row(int format, const std::uint32_t* src, int count)
{
    const int size = reference_bytes_per_pixel(format);
    std::vector<std::uint8_t> out;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t v = reference_value(format, src[i]);
        for (int k = 0; k < size; ++k) out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    }
    return out;
}
