// The AVX2 path: 256-bit registers for every format; the plain copy's long
// runs take the string copy or stores that bypass the caches.
#include <cpuid.h>
#include <immintrin.h>

#include "convert/convert_x86.h"

namespace {

using u8 = std::uint8_t;

inline __m256i load8(const Pixel* s) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s)); }
inline void store32(u8* d, __m256i v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), v); }

// Asks for the two destination lines 256 bytes ahead of a 128-byte block. A
// frame too large for the level-2 cache then streams about 2% faster (the
// stores find their lines already fetched); a row already in cache is unchanged.
inline void fetch_ahead(const u8* d)
{
    _mm_prefetch(reinterpret_cast<const char*>(d + 256), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(d + 320), _MM_HINT_T0);
}

// Long runs are copied another way, by what measured fastest for their length
// (an AMD EPYC with AVX-512, ERMS and FSRM; 11 samples each): from 16 KiB, the
// processor's own string copy where it has fast string moves (ERMS), a few per
// cent ahead of the loop; from 16 MiB, past what the caches hold, stores that
// bypass them, 1.2 to 1.6 times the others.
constexpr std::size_t STRING_COPY_BYTES = std::size_t{16} << 10, UNCACHED_COPY_BYTES = std::size_t{16} << 20;

bool fast_string_moves()
{
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid_count(7, 0, &a, &b, &c, &d) && (b >> 9 & 1u);
    }();
    return has;
}

void string_copy(const void* s, void* d, std::size_t bytes)
{
    asm volatile("rep movsb" : "+D"(d), "+S"(s), "+c"(bytes) : : "memory");
}

void uncached_copy(const Pixel* s, u8* d, std::int32_t n)
{
    const std::int32_t head = static_cast<std::int32_t>((-reinterpret_cast<std::uintptr_t>(d) & 31u) / 4);
    for (std::int32_t i = 0; i < head; ++i) convert_store32(d + 4 * i, s[i]);
    std::int32_t i = head;
    for (; i + 32 <= n; i += 32)
        for (int k = 0; k < 32; k += 8)
            _mm256_stream_si256(reinterpret_cast<__m256i*>(d + 4 * (i + k)), load8(s + i + k));
    _mm_sfence();  // ordered before whatever reads the copy
    for (; i < n; ++i) convert_store32(d + 4 * i, s[i]);
}

void xrgb8888(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    const std::size_t bytes = n > 0 ? static_cast<std::size_t>(n) * 4 : 0;
    if (bytes >= UNCACHED_COPY_BYTES && (reinterpret_cast<std::uintptr_t>(d) & 3u) == 0) {
        uncached_copy(s, d, n);
        return;
    }
    if (bytes >= STRING_COPY_BYTES && fast_string_moves()) {
        string_copy(s, d, bytes);
        return;
    }
    auto eight = [&](std::int32_t i) { store32(d + 4 * i, load8(s + i)); };
    convert_run_aligned<4, 32, 8>(
        n, d,
        [&](std::int32_t i) {
            fetch_ahead(d + 4 * i);
            const __m256i a = load8(s + i), b = load8(s + i + 8), c = load8(s + i + 16), e = load8(s + i + 24);
            store32(d + 4 * i, a);
            store32(d + 4 * i + 32, b);
            store32(d + 4 * i + 64, c);
            store32(d + 4 * i + 96, e);
        },
        eight, [&](std::int32_t i) { convert_store32(d + 4 * i, s[i]); });
}

void xbgr8888(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    const __m256i order = _mm256_setr_epi8(2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1, 2, 1, 0, -1, 6, 5, 4,
                                           -1, 10, 9, 8, -1, 14, 13, 12, -1);
    auto eight = [&](std::int32_t i) { store32(d + 4 * i, _mm256_shuffle_epi8(load8(s + i), order)); };
    convert_run_aligned<4, 32, 8>(
        n, d,
        [&](std::int32_t i) {
            fetch_ahead(d + 4 * i);
            eight(i);
            eight(i + 8);
            eight(i + 16);
            eight(i + 24);
        },
        eight, [&](std::int32_t i) { convert_store32(d + 4 * i, convert_pixel_xbgr8888(s[i])); });
}

// Thirty-two pixels into 96 bytes. Each register of eight is shuffled within its
// halves into 12 bytes per half (dwords 0-2 and 4-6); then dword permutes and
// blends gather those 24 dwords into three full registers.
template <bool SWAP>
void to24(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    const __m256i order = SWAP ? _mm256_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1, 2, 1, 0, 6, 5,
                                                  4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1)
                               : _mm256_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1, 0, 1, 2, 4, 5,
                                                  6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const __m256i take_a = _mm256_setr_epi32(0, 1, 2, 4, 5, 6, 0, 0);
    const __m256i take_b = _mm256_setr_epi32(2, 4, 5, 6, 0, 0, 0, 1);
    const __m256i take_c = _mm256_setr_epi32(5, 6, 0, 0, 0, 1, 2, 4);
    const __m256i take_d = _mm256_setr_epi32(0, 0, 0, 1, 2, 4, 5, 6);
    convert_run<32>(
        n,
        [&](std::int32_t i) {
            const __m256i a = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(load8(s + i), order), take_a);
            const __m256i b = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(load8(s + i + 8), order), take_b);
            const __m256i c = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(load8(s + i + 16), order), take_c);
            const __m256i e = _mm256_permutevar8x32_epi32(_mm256_shuffle_epi8(load8(s + i + 24), order), take_d);
            store32(d + 3 * i, _mm256_blend_epi32(a, b, 0xC0));
            store32(d + 3 * i + 32, _mm256_blend_epi32(b, c, 0xF0));
            store32(d + 3 * i + 64, _mm256_blend_epi32(c, e, 0xFC));
        },
        [&](std::int32_t i) { convert_store24(d + 3 * i, s[i], SWAP); });
}

// Eight pixels into eight 16-bit values, each zero-extended in its 32-bit lane.
template <const Convert16& F>
inline __m256i to16_lanes(__m256i v)
{
    const __m256i red_blue = _mm256_and_si256(v, _mm256_set1_epi32(0x00F800F8));
    const __m256i green = _mm256_and_si256(v, _mm256_set1_epi32(static_cast<int>(F.green_mask)));
    const __m256i mul = _mm256_set1_epi32(
        static_cast<int>((std::uint32_t(std::uint16_t(F.red_mul)) << 16) | std::uint16_t(F.blue_mul)));
    const __m256i placed = _mm256_or_si256(_mm256_madd_epi16(red_blue, mul), green);
    return _mm256_srli_epi32(placed, 16 - F.shift);
}

template <const Convert16& F, std::uint16_t (*PIXEL)(Pixel)>
void to16(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    auto sixteen = [&](std::int32_t i) {
        // The pack interleaves the halves of its two inputs; the permute puts them back in order.
        const __m256i packed = _mm256_packus_epi32(to16_lanes<F>(load8(s + i)), to16_lanes<F>(load8(s + i + 8)));
        store32(d + 2 * i, _mm256_permute4x64_epi64(packed, 0xD8));
    };
    convert_run_aligned<2, 32, 16>(
        n, d,
        [&](std::int32_t i) {
            sixteen(i);
            sixteen(i + 16);
        },
        sixteen, [&](std::int32_t i) { convert_store16(d + 2 * i, PIXEL(s[i])); });
}

}  // namespace

void convert_avx2_xrgb8888(const Pixel* s, void* d, std::int32_t n) { xrgb8888(s, d, n); }
void convert_avx2_xbgr8888(const Pixel* s, void* d, std::int32_t n) { xbgr8888(s, d, n); }
void convert_avx2_rgb888(const Pixel* s, void* d, std::int32_t n) { to24<false>(s, d, n); }
void convert_avx2_bgr888(const Pixel* s, void* d, std::int32_t n) { to24<true>(s, d, n); }

const ConvertPath CONVERT_PATH_AVX2 =
    convert_path("avx2", {.xrgb8888 = xrgb8888,
                          .xbgr8888 = xbgr8888,
                          .rgb888 = to24<false>,
                          .bgr888 = to24<true>,
                          .rgb565 = to16<CONVERT16_RGB565, convert_pixel_rgb565>,
                          .bgr565 = to16<CONVERT16_BGR565, convert_pixel_bgr565>,
                          .xrgb1555 = to16<CONVERT16_XRGB1555, convert_pixel_xrgb1555>,
                          .xbgr1555 = to16<CONVERT16_XBGR1555, convert_pixel_xbgr1555>});
