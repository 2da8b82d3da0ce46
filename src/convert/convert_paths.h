#pragma once

// The implementations behind the converters: one path per instruction set, all
// bit-identical. The public converters run the best path this processor has;
// tests, fuzzing and benchmarks reach every path through this header.

#include <bit>
#include <cstdint>
#include <cstring>
#include <span>

#include "convert/convert.h"
#include "convert/pixel_formats.h"

// A path's routine for every format of the table, by the format's name, given
// with designated initialisers: a routine has no default, so a path that
// leaves a format out fails to compile.
struct ConvertRoutine {
    constexpr ConvertRoutine(RowConverter r) : row(r) {}
    RowConverter row;
};
struct ConvertRows {
#define CONVERT_ROW_FIELD(id, name, ...) ConvertRoutine name;
    PIXEL_FORMATS(CONVERT_ROW_FIELD)
#undef CONVERT_ROW_FIELD
};

struct ConvertPath {
    const char* name;
    RowConverter rows[PIXEL_FORMAT_COUNT];  // by PixelFormatId
};

constexpr ConvertPath convert_path(const char* name, const ConvertRows& r)
{
    return {name,
            {
#define CONVERT_ROW_ENTRY(id, name, ...) r.name.row,
                PIXEL_FORMATS(CONVERT_ROW_ENTRY)
#undef CONVERT_ROW_ENTRY
            }};
}

// Every path this processor can run, the portable one first, the best one last.
std::span<const ConvertPath> convert_paths();
const ConvertPath& convert_best_path();

extern const ConvertPath CONVERT_PATH_PORTABLE;
#if defined(__x86_64__) || defined(__i386__)
extern const ConvertPath CONVERT_PATH_SSE2;
extern const ConvertPath CONVERT_PATH_SSSE3;
extern const ConvertPath CONVERT_PATH_AVX2;
// Not in Windows builds: MinGW can't align the stack for 512-bit spills.
#if !defined(_WIN32)
#define CONVERT_HAS_AVX512 1
extern const ConvertPath CONVERT_PATH_AVX512;
#endif
#endif
#if defined(__x86_64__) || defined(__i386__)
// What a processor offers of the instruction sets the x86 paths use.
struct ConvertCpu {
    bool sse2, ssse3, avx2, avx512f, avx512bw, avx512vl;
};
// How many of the x86 paths, in convert_paths()'s order, a processor offering `cpu` runs.
int convert_usable_paths(const ConvertCpu& cpu);
#endif
#if defined(__wasm_simd128__)
extern const ConvertPath CONVERT_PATH_WASM_SIMD128;
#endif

// One pixel of each format; the paths use these for what their blocks leave over.
// Internal linkage: each path's file is compiled for its own instruction set, and
// its copies must never stand in for another file's.
static inline std::uint32_t convert_pixel_xbgr8888(Pixel p)
{
    return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
}
static inline std::uint16_t convert_pixel_rgb565(Pixel p)
{
    return static_cast<std::uint16_t>(((p >> 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 3) & 0x001F));
}
static inline std::uint16_t convert_pixel_bgr565(Pixel p)
{
    return static_cast<std::uint16_t>(((p << 8) & 0xF800) | ((p >> 5) & 0x07E0) | ((p >> 19) & 0x001F));
}
static inline std::uint16_t convert_pixel_xrgb1555(Pixel p)
{
    return static_cast<std::uint16_t>(((p >> 9) & 0x7C00) | ((p >> 6) & 0x03E0) | ((p >> 3) & 0x001F));
}
static inline std::uint16_t convert_pixel_xbgr1555(Pixel p)
{
    return static_cast<std::uint16_t>(((p << 7) & 0x7C00) | ((p >> 6) & 0x03E0) | ((p >> 19) & 0x001F));
}

// Little-endian stores at any alignment.
static inline void convert_store16(std::uint8_t* d, std::uint16_t v)
{
    if constexpr (std::endian::native != std::endian::little) v = static_cast<std::uint16_t>(v << 8 | v >> 8);
    std::memcpy(d, &v, 2);
}
static inline void convert_store32(std::uint8_t* d, std::uint32_t v)
{
    if constexpr (std::endian::native != std::endian::little)
        v = (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
    std::memcpy(d, &v, 4);
}
// One pixel as three bytes: B, G, R (red high), or R, G, B when `swap` (blue high).
static inline void convert_store24(std::uint8_t* d, Pixel p, bool swap)
{
    d[0] = static_cast<std::uint8_t>(swap ? p >> 16 : p);
    d[1] = static_cast<std::uint8_t>(p >> 8);
    d[2] = static_cast<std::uint8_t>(swap ? p : p >> 16);
}
