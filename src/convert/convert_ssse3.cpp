// The SSSE3 path: byte shuffles for the 32-bit and 24-bit formats; the 16-bit
// formats gain nothing over SSE2 and share its routines.
#include <tmmintrin.h>

#include "convert/convert_x86.h"

namespace {

using u8 = std::uint8_t;

void xbgr8888(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    const __m128i order = _mm_setr_epi8(2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1);
    auto four = [&](std::int32_t i) { store16(d + 4 * i, _mm_shuffle_epi8(load4(s + i), order)); };
    convert_run<16, 4>(
        n,
        [&](std::int32_t i) {
            four(i);
            four(i + 4);
            four(i + 8);
            four(i + 12);
        },
        four, [&](std::int32_t i) { convert_store32(d + 4 * i, convert_pixel_xbgr8888(s[i])); });
}

// Sixteen pixels into 48 bytes: each register of four shuffled into 12 bytes,
// the four joined with byte shifts into three stores.
template <bool SWAP>
void to24(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    const __m128i order = SWAP ? _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1)
                               : _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    convert_run<16>(
        n,
        [&](std::int32_t i) {
            const __m128i p0 = _mm_shuffle_epi8(load4(s + i), order);
            const __m128i p1 = _mm_shuffle_epi8(load4(s + i + 4), order);
            const __m128i p2 = _mm_shuffle_epi8(load4(s + i + 8), order);
            const __m128i p3 = _mm_shuffle_epi8(load4(s + i + 12), order);
            store16(d + 3 * i, _mm_or_si128(p0, _mm_slli_si128(p1, 12)));
            store16(d + 3 * i + 16, _mm_or_si128(_mm_srli_si128(p1, 4), _mm_slli_si128(p2, 8)));
            store16(d + 3 * i + 32, _mm_or_si128(_mm_srli_si128(p2, 8), _mm_slli_si128(p3, 4)));
        },
        [&](std::int32_t i) { convert_store24(d + 3 * i, s[i], SWAP); });
}

}  // namespace

const ConvertPath CONVERT_PATH_SSSE3 = convert_path("ssse3", {.xrgb8888 = convert_sse2_xrgb8888,
                                                              .xbgr8888 = xbgr8888,
                                                              .rgb888 = to24<false>,
                                                              .bgr888 = to24<true>,
                                                              .rgb565 = convert_sse2_rgb565,
                                                              .bgr565 = convert_sse2_bgr565,
                                                              .xrgb1555 = convert_sse2_xrgb1555,
                                                              .xbgr1555 = convert_sse2_xbgr1555});
