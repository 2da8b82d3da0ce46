// The SSE2 path: the x86-64 baseline, 128-bit registers.
#include "convert/convert_x86.h"

namespace {

using u8 = std::uint8_t;

inline __m128i swap_red_blue(__m128i v)
{
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i green = _mm_and_si128(v, _mm_set1_epi32(0xFF00));
    const __m128i red = _mm_and_si128(_mm_srli_epi32(v, 16), byte);
    const __m128i blue = _mm_slli_epi32(_mm_and_si128(v, byte), 16);
    return _mm_or_si128(_mm_or_si128(green, red), blue);
}

void xbgr8888(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    auto four = [&](std::int32_t i) { store16(d + 4 * i, swap_red_blue(load4(s + i))); };
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

// Four pixels' low three bytes joined into bytes 0..11 (bytes 12..15 zero).
inline __m128i pack24(__m128i v)
{
    // In each 64-bit lane: pixel 0's three bytes, then pixel 1's, in six bytes.
    const __m128i lane =
        _mm_or_si128(_mm_and_si128(v, _mm_set_epi32(0, 0xFFFFFF, 0, 0xFFFFFF)),
                     _mm_and_si128(_mm_srli_epi64(v, 8), _mm_set_epi32(0xFFFF, 0xFF000000, 0xFFFF, 0xFF000000)));
    // The upper lane's six bytes move down next to the lower lane's.
    return _mm_or_si128(_mm_and_si128(lane, _mm_set_epi32(0, 0, 0xFFFF, 0xFFFFFFFF)),
                        _mm_and_si128(_mm_srli_si128(lane, 2), _mm_set_epi32(0, 0xFFFFFFFF, 0xFFFF0000, 0)));
}

// Sixteen pixels (four registers of four, 12 bytes each) stored as 48 bytes.
inline void store48(u8* d, __m128i p0, __m128i p1, __m128i p2, __m128i p3)
{
    store16(d, _mm_or_si128(p0, _mm_slli_si128(p1, 12)));
    store16(d + 16, _mm_or_si128(_mm_srli_si128(p1, 4), _mm_slli_si128(p2, 8)));
    store16(d + 32, _mm_or_si128(_mm_srli_si128(p2, 8), _mm_slli_si128(p3, 4)));
}

template <bool SWAP>
void to24(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    auto pixels = [&](std::int32_t i) { return SWAP ? swap_red_blue(load4(s + i)) : load4(s + i); };
    convert_run<16>(
        n,
        [&](std::int32_t i) {
            store48(d + 3 * i, pack24(pixels(i)), pack24(pixels(i + 4)), pack24(pixels(i + 8)), pack24(pixels(i + 12)));
        },
        [&](std::int32_t i) { convert_store24(d + 3 * i, s[i], SWAP); });
}

// Four pixels into four 16-bit values, each sign-extended in its 32-bit lane.
template <const Convert16& F>
inline __m128i to16_lanes(__m128i v)
{
    const __m128i red_blue = _mm_and_si128(v, _mm_set1_epi32(0x00F800F8));
    const __m128i green = _mm_and_si128(v, _mm_set1_epi32(static_cast<int>(F.green_mask)));
    const __m128i mul =
        _mm_set1_epi32(static_cast<int>((std::uint32_t(std::uint16_t(F.red_mul)) << 16) | std::uint16_t(F.blue_mul)));
    const __m128i placed = _mm_or_si128(_mm_madd_epi16(red_blue, mul), green);
    return _mm_srai_epi32(_mm_slli_epi32(placed, F.shift), 16);
}

template <const Convert16& F, std::uint16_t (*PIXEL)(Pixel)>
void to16(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    auto eight = [&](std::int32_t i) {
        store16(d + 2 * i, _mm_packs_epi32(to16_lanes<F>(load4(s + i)), to16_lanes<F>(load4(s + i + 4))));
    };
    convert_run<16, 8>(
        n,
        [&](std::int32_t i) {
            eight(i);
            eight(i + 8);
        },
        eight, [&](std::int32_t i) { convert_store16(d + 2 * i, PIXEL(s[i])); });
}

}  // namespace

// A plain copy in blocks of 64 bytes. The C library's memcpy is no faster for
// rows this short, and on some processors it is slower.
void convert_sse2_xrgb8888(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    auto four = [&](std::int32_t i) { store16(d + 4 * i, load4(s + i)); };
    convert_run<16, 4>(
        n,
        [&](std::int32_t i) {
            const __m128i a = load4(s + i), b = load4(s + i + 4), c = load4(s + i + 8), e = load4(s + i + 12);
            store16(d + 4 * i, a);
            store16(d + 4 * i + 16, b);
            store16(d + 4 * i + 32, c);
            store16(d + 4 * i + 48, e);
        },
        four, [&](std::int32_t i) { convert_store32(d + 4 * i, s[i]); });
}
void convert_sse2_rgb565(const Pixel* s, void* d, std::int32_t n)
{
    to16<CONVERT16_RGB565, convert_pixel_rgb565>(s, d, n);
}
void convert_sse2_bgr565(const Pixel* s, void* d, std::int32_t n)
{
    to16<CONVERT16_BGR565, convert_pixel_bgr565>(s, d, n);
}
void convert_sse2_xrgb1555(const Pixel* s, void* d, std::int32_t n)
{
    to16<CONVERT16_XRGB1555, convert_pixel_xrgb1555>(s, d, n);
}
void convert_sse2_xbgr1555(const Pixel* s, void* d, std::int32_t n)
{
    to16<CONVERT16_XBGR1555, convert_pixel_xbgr1555>(s, d, n);
}

const ConvertPath CONVERT_PATH_SSE2 = convert_path("sse2", {.xrgb8888 = convert_sse2_xrgb8888,
                                                            .xbgr8888 = xbgr8888,
                                                            .rgb888 = to24<false>,
                                                            .bgr888 = to24<true>,
                                                            .rgb565 = convert_sse2_rgb565,
                                                            .bgr565 = convert_sse2_bgr565,
                                                            .xrgb1555 = convert_sse2_xrgb1555,
                                                            .xbgr1555 = convert_sse2_xbgr1555});
