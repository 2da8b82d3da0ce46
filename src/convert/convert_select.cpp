// Chooses the best path for this processor once, and the converter for a screen format.
#include "convert/convert_paths.h"

namespace {

#if defined(__x86_64__) || defined(__i386__)
const ConvertPath* const ALL_PATHS[] = {&CONVERT_PATH_PORTABLE, &CONVERT_PATH_SSE2, &CONVERT_PATH_SSSE3,
                                        &CONVERT_PATH_AVX2,
#if defined(CONVERT_HAS_AVX512)
                                        &CONVERT_PATH_AVX512
#endif
};

int available_count()
{
    __builtin_cpu_init();
    return convert_usable_paths({__builtin_cpu_supports("sse2") != 0, __builtin_cpu_supports("ssse3") != 0,
                                 __builtin_cpu_supports("avx2") != 0, __builtin_cpu_supports("avx512f") != 0,
                                 __builtin_cpu_supports("avx512bw") != 0, __builtin_cpu_supports("avx512vl") != 0});
}
#elif defined(__wasm_simd128__)
// WebAssembly's SIMD is there wherever the module loads at all.
const ConvertPath* const ALL_PATHS[] = {&CONVERT_PATH_PORTABLE, &CONVERT_PATH_WASM_SIMD128};
int available_count() { return 2; }
#else
const ConvertPath* const ALL_PATHS[] = {&CONVERT_PATH_PORTABLE};
int available_count() { return 1; }
#endif

struct Available {
    ConvertPath paths[std::size(ALL_PATHS)];
    int count;
};

const Available& available()
{
    static const Available found = [] {
        Available a{};
        a.count = available_count();
        for (int i = 0; i < a.count; ++i) a.paths[i] = *ALL_PATHS[i];
        return a;
    }();
    return found;
}

}  // namespace

#if defined(__x86_64__) || defined(__i386__)
int convert_usable_paths(const ConvertCpu& cpu)
{
    if (!cpu.sse2) return 1;
    if (!cpu.ssse3) return 2;
    if (!cpu.avx2) return 3;
#if defined(CONVERT_HAS_AVX512)
    if (cpu.avx512f && cpu.avx512bw && cpu.avx512vl) return 5;
#endif
    return 4;
}
#endif

std::span<const ConvertPath> convert_paths() { return {available().paths, std::size_t(available().count)}; }

const ConvertPath& convert_best_path() { return available().paths[available().count - 1]; }

void convert_row_xrgb8888(const Pixel* s, void* d, std::int32_t n)
{
    convert_best_path().rows[CONVERT_XRGB8888](s, d, n);
}
void convert_row_xbgr8888(const Pixel* s, void* d, std::int32_t n)
{
    convert_best_path().rows[CONVERT_XBGR8888](s, d, n);
}
void convert_row_rgb888(const Pixel* s, void* d, std::int32_t n) { convert_best_path().rows[CONVERT_RGB888](s, d, n); }
void convert_row_bgr888(const Pixel* s, void* d, std::int32_t n) { convert_best_path().rows[CONVERT_BGR888](s, d, n); }
void convert_row_rgb565(const Pixel* s, void* d, std::int32_t n) { convert_best_path().rows[CONVERT_RGB565](s, d, n); }
void convert_row_bgr565(const Pixel* s, void* d, std::int32_t n) { convert_best_path().rows[CONVERT_BGR565](s, d, n); }
void convert_row_xrgb1555(const Pixel* s, void* d, std::int32_t n)
{
    convert_best_path().rows[CONVERT_XRGB1555](s, d, n);
}
void convert_row_xbgr1555(const Pixel* s, void* d, std::int32_t n)
{
    convert_best_path().rows[CONVERT_XBGR1555](s, d, n);
}

RowConverter select_row_converter(std::uint32_t bits, std::uint32_t red_mask, std::uint32_t green_mask,
                                  std::uint32_t blue_mask)
{
    struct Entry {
        std::uint32_t bits, red, green, blue;
        RowConverter converter;
    };
    // Compared in this order; the first whose four values all match wins.
    static constexpr Entry TABLE[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, convert_row_xrgb8888}, {32, 0xFF, 0xFF00, 0xFF0000, convert_row_xbgr8888},
        {24, 0xFF0000, 0xFF00, 0xFF, convert_row_rgb888},   {24, 0xFF, 0xFF00, 0xFF0000, convert_row_bgr888},
        {16, 0xF800, 0x7E0, 0x1F, convert_row_rgb565},      {16, 0x1F, 0x7E0, 0xF800, convert_row_bgr565},
        {16, 0x7C00, 0x3E0, 0x1F, convert_row_xrgb1555},    {16, 0x1F, 0x3E0, 0x7C00, convert_row_xbgr1555},
    };
    for (const Entry& e : TABLE)
        if (e.bits == bits && e.red == red_mask && e.green == green_mask && e.blue == blue_mask) return e.converter;
    return nullptr;
}
