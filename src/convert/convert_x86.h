#pragma once

// Shared by the x86 paths: the loop that runs a block routine over a row and
// finishes what the blocks leave over.

#include <emmintrin.h>

#include "convert/convert_paths.h"

// Four pixels in and sixteen bytes out, at any alignment.
static inline __m128i load4(const Pixel* s) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)); }
static inline void store16(std::uint8_t* d, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(d), v); }

// Runs `big(i)` for i = 0, B, 2B, ... while a big block fits, then `small(i)`
// while a small block of b pixels fits, then covers the remainder: with one more
// small block ending exactly at the row's end when the row is at least b pixels
// long (it rewrites some pixels with the same values), else with `one(i)` pixel
// by pixel. Nothing is read or written beyond `n` pixels.
template <int B, int b, class Big, class Small, class One>
static inline __attribute__((always_inline)) void convert_run(std::int32_t n, Big big, Small small, One one)
{
    std::int32_t i = 0;
    for (; i + B <= n; i += B) big(i);
    for (; i + b <= n; i += b) small(i);
    if (i >= n) return;
    if (n >= b) {
        small(n - b);
    } else {
        for (; i < n; ++i) one(i);
    }
}

// The same, but when the destination can reach a 32-byte boundary in whole
// pixels, the first small block is stored unaligned and the big blocks start at
// the boundary, so that no store of theirs straddles two cache lines.
// Needs small blocks of at least 32 destination bytes.
template <int BYTES, int B, int b, class Big, class Small, class One>
static inline __attribute__((always_inline)) void convert_run_aligned(std::int32_t n, const void* dst, Big big,
                                                                      Small small, One one)
{
    static_assert(b * BYTES >= 32);
    const unsigned misalign = static_cast<unsigned>(-reinterpret_cast<std::uintptr_t>(dst)) & 31u;
    const std::int32_t head = static_cast<std::int32_t>(misalign / BYTES);
    if (n < B + b || misalign % BYTES != 0 || head == 0) {
        convert_run<B, b>(n, big, small, one);
        return;
    }
    small(0);
    convert_run<B, b>(
        n - head, [&](std::int32_t i) { big(i + head); }, [&](std::int32_t i) { small(i + head); },
        [&](std::int32_t i) { one(i + head); });
}

// The same with blocks of one size.
template <int B, class Block, class One>
static inline __attribute__((always_inline)) void convert_run(std::int32_t n, Block block, One one)
{
    convert_run<B, B>(n, block, block, one);
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
// The AVX2 routines that the AVX-512 path keeps: on the processors measured,
// 512-bit registers gain nothing for copies, swaps and the 24-bit packing.
void convert_avx2_xrgb8888(const Pixel* source, void* destination, std::int32_t count);
void convert_avx2_xbgr8888(const Pixel* source, void* destination, std::int32_t count);
void convert_avx2_rgb888(const Pixel* source, void* destination, std::int32_t count);
void convert_avx2_bgr888(const Pixel* source, void* destination, std::int32_t count);
