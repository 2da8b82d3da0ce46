// The AVX-512 path (AVX-512F, BW and VBMI): 512-bit registers, byte permutes
// across the whole register for the 24-bit packing, and the C library's own
// copy (which uses these registers or `rep movsb` where they pay) for the plain
// copy. Rows end with masked loads and stores instead of a scalar tail.
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

void xrgb8888(const Pixel* s, void* d, std::int32_t n)
{
    if (n > 0) std::memcpy(d, s, static_cast<std::size_t>(n) * 4);
}

void xbgr8888(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    // Bytes 2, 1, 0 of each pixel, then a zero (an index with its top bit set).
    const __m512i swap = _mm512_set4_epi32(static_cast<int>(0xFF0C0D0E), static_cast<int>(0xFF08090A),
                                           static_cast<int>(0xFF040506), static_cast<int>(0xFF000102));
    std::int32_t i = 0;
    for (; i + 16 <= n; i += 16) store64(d + 4 * i, _mm512_shuffle_epi8(load16(s + i), swap));
    if (i < n) {
        const std::int32_t rest = n - i;
        _mm512_mask_storeu_epi32(d + 4 * i, static_cast<__mmask16>((1u << rest) - 1),
                                 _mm512_shuffle_epi8(load_some(s + i, rest), swap));
    }
}

// Sixty-four pixels (four registers) into 192 bytes (three): each output
// register takes its 64 bytes from two neighbouring inputs with one two-register
// byte permute; the tables count the first input's bytes from 0, the second's from 64.
template <bool SWAP>
struct Pack24 {
    __m512i index[3];
    Pack24()
    {
        alignas(64) u8 table[3][64];
        for (int out = 0; out < 192; ++out) {
            const int pixel = out / 3, within = out % 3;
            const int byte = 4 * pixel + (SWAP ? 2 - within : within);  // in the 256 input bytes
            const int reg = out / 64;                                   // the output register
            table[reg][out % 64] = static_cast<u8>(byte - 64 * reg);    // from inputs reg and reg + 1
        }
        for (int r = 0; r < 3; ++r) index[r] = _mm512_load_si512(table[r]);
    }
};

template <bool SWAP>
void to24(const Pixel* s, void* dst, std::int32_t n)
{
    static const Pack24<SWAP> pack;
    u8* d = static_cast<u8*>(dst);
    std::int32_t i = 0;
    for (; i + 64 <= n; i += 64) {
        const __m512i a = load16(s + i), b = load16(s + i + 16), c = load16(s + i + 32), e = load16(s + i + 48);
        store64(d + 3 * i, _mm512_permutex2var_epi8(a, pack.index[0], b));
        store64(d + 3 * i + 64, _mm512_permutex2var_epi8(b, pack.index[1], c));
        store64(d + 3 * i + 128, _mm512_permutex2var_epi8(c, pack.index[2], e));
    }
    // Sixteen pixels (48 bytes) at a time with the first table, then the rest masked.
    for (; i < n; i += 16) {
        const std::int32_t count = n - i < 16 ? n - i : 16;
        const __m512i v = count == 16 ? load16(s + i) : load_some(s + i, count);
        const __m512i packed = _mm512_permutexvar_epi8(pack.index[0], v);
        _mm512_mask_storeu_epi8(d + 3 * i, (1ull << (3 * count)) - 1, packed);
    }
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

const ConvertPath CONVERT_PATH_AVX512 = {"avx512",
                                         {xrgb8888, xbgr8888, to24<false>, to24<true>, to16<CONVERT16_RGB565>,
                                          to16<CONVERT16_BGR565>, to16<CONVERT16_XRGB1555>, to16<CONVERT16_XBGR1555>}};
