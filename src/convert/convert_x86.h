#pragma once

// Shared by the x86 paths: the loop that runs a block routine over a row and
// finishes what the blocks leave over.

#include "convert/convert_paths.h"

// Runs `block(i)` for i = 0, B, 2B, ... while a whole block fits, then covers the
// remainder: with one more block ending exactly at the row's end when the row is
// at least one block long (it rewrites some pixels with the same values), else
// with `one(i)` pixel by pixel. Nothing is read or written beyond `n` pixels.
template <int B, class Block, class One>
static inline __attribute__((always_inline)) void convert_run(std::int32_t n, Block block, One one)
{
    std::int32_t i = 0;
    for (; i + B <= n; i += B) block(i);
    if (i == n || n <= 0) return;
    if (n >= B) {
        block(n - B);
    } else {
        for (; i < n; ++i) one(i);
    }
}

// The masks and multipliers that turn a pixel into one 16-bit format with a
// multiply-add: red and blue masked to their top five bits (0x00F800F8), green
// masked separately, then red * r_mul + blue * b_mul + green places all three so
// that a left shift by `shift` leaves the 16-bit value in the upper half.
struct Convert16 {
    std::uint32_t green_mask;
    std::int16_t blue_mul, red_mul;
    int shift;
};
inline constexpr Convert16 CONVERT16_RGB565 = {0xFC00, 4, 0x2000, 11};
inline constexpr Convert16 CONVERT16_BGR565 = {0xFC00, 0x2000, 4, 11};
inline constexpr Convert16 CONVERT16_XRGB1555 = {0xF800, 8, 0x2000, 10};
inline constexpr Convert16 CONVERT16_XBGR1555 = {0xF800, 0x2000, 8, 10};

// The SSE2 routines that the faster paths share.
void convert_sse2_xrgb8888(const Pixel* source, void* destination, std::int32_t count);
void convert_sse2_rgb565(const Pixel* source, void* destination, std::int32_t count);
void convert_sse2_bgr565(const Pixel* source, void* destination, std::int32_t count);
void convert_sse2_xrgb1555(const Pixel* source, void* destination, std::int32_t count);
void convert_sse2_xbgr1555(const Pixel* source, void* destination, std::int32_t count);
