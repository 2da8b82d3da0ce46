// The AVX-512 path (AVX-512F, BW and VL): 512-bit registers for the 16-bit
// formats, where they pay, with masked loads and stores for the row's end
// instead of a scalar tail; the AVX2 routines for the rest, where they do not
// (copies, swaps and the 24-bit packing measured no faster in 512 bits, and the
// C library's copy slower than the AVX2 loop, on an AMD EPYC with AVX-512).
#include <immintrin.h>

// GCC 12 takes the intrinsics' own undefined registers (_mm512_undefined_*),
// once inlined, for uninitialised values.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "convert/convert_x86.h"

namespace {

using u8 = std::uint8_t;

inline __m512i load16(const Pixel* s) { return _mm512_loadu_si512(s); }
inline void store64(u8* d, __m512i v) { _mm512_storeu_si512(d, v); }
// The first `count` (below 16) pixels, the rest zero.
inline __m512i load_some(const Pixel* s, std::int32_t count)
{
    return _mm512_maskz_loadu_epi32(static_cast<__mmask16>((1u << count) - 1), s);
}

// Sixteen pixels into sixteen 16-bit values: red and blue masked to their top
// five bits, a multiply-add places them, green is or-ed in, and the shift and
// the narrowing leave each value in its 16 bits.
template <const Convert16& F>
inline __m256i to16_values(__m512i v)
{
    const __m512i red_blue = _mm512_and_si512(v, _mm512_set1_epi32(0x00F800F8));
    const __m512i green = _mm512_and_si512(v, _mm512_set1_epi32(static_cast<int>(F.green_mask)));
    const __m512i mul = _mm512_set1_epi32(
        static_cast<int>((std::uint32_t(std::uint16_t(F.red_mul)) << 16) | std::uint16_t(F.blue_mul)));
    const __m512i placed = _mm512_or_si512(_mm512_madd_epi16(red_blue, mul), green);
    return _mm512_cvtepi32_epi16(_mm512_srli_epi32(placed, 16 - F.shift));
}

template <const Convert16& F>
void to16(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    std::int32_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i lo = to16_values<F>(load16(s + i)), hi = to16_values<F>(load16(s + i + 16));
        store64(d + 2 * i, _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1));
    }
    for (; i < n; i += 16) {
        const std::int32_t count = n - i < 16 ? n - i : 16;
        const __m256i v = to16_values<F>(count == 16 ? load16(s + i) : load_some(s + i, count));
        _mm256_mask_storeu_epi16(d + 2 * i, static_cast<__mmask16>((1u << count) - 1), v);
    }
}

}  // namespace

const ConvertPath CONVERT_PATH_AVX512 = convert_path("avx512", {.xrgb8888 = convert_avx2_xrgb8888,
                                                                .xbgr8888 = convert_avx2_xbgr8888,
                                                                .rgb888 = convert_avx2_rgb888,
                                                                .bgr888 = convert_avx2_bgr888,
                                                                .rgb565 = to16<CONVERT16_RGB565>,
                                                                .bgr565 = to16<CONVERT16_BGR565>,
                                                                .xrgb1555 = to16<CONVERT16_XRGB1555>,
                                                                .xbgr1555 = to16<CONVERT16_XBGR1555>});
