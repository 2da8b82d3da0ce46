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

// The public converters, one a format of the table, each running the best path's routine.
#define CONVERT_ROW_PUBLIC(id, name, ...)                            \
    void convert_row_##name(const Pixel* s, void* d, std::int32_t n) \
    {                                                                \
        convert_best_path().rows[PIXEL_FORMAT_##id](s, d, n);        \
    }
PIXEL_FORMATS(CONVERT_ROW_PUBLIC)
#undef CONVERT_ROW_PUBLIC

RowConverter select_row_converter(std::uint32_t bits, std::uint32_t red_mask, std::uint32_t green_mask,
                                  std::uint32_t blue_mask)
{
    static constexpr RowConverter PUBLIC[] = {
#define CONVERT_ROW_POINTER(id, name, ...) convert_row_##name,
        PIXEL_FORMATS(CONVERT_ROW_POINTER)
#undef CONVERT_ROW_POINTER
    };
    const PixelFormatId id = pixel_format_find(bits, red_mask, green_mask, blue_mask, 0);
    return id == PIXEL_FORMAT_COUNT ? nullptr : PUBLIC[id];
}
