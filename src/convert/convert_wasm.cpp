// The WebAssembly SIMD path: 128-bit loads and stores for the plain copy,
// shuffles for the channel swap and the 24-bit packing, masks and a multiply-add
// for the 16-bit formats.
#include <wasm_simd128.h>

#include "convert/convert_paths.h"

namespace {

using u8 = std::uint8_t;

using Bytes = signed char __attribute__((vector_size(16)));

inline v128_t load4(const Pixel* s) { return wasm_v128_load(s); }
// i8x16.shuffle of two registers' bytes (the first's numbered 0-15, the second's 16-31).
#define SHUFFLE(a, b, ...) ((v128_t)__builtin_shufflevector((Bytes)(a), (Bytes)(b), __VA_ARGS__))
inline void store16(u8* d, v128_t v) { wasm_v128_store(d, v); }

// Runs `block(i)` for each whole block of B pixels, then `one(i)` for the rest.
template <int B, class Block, class One>
inline __attribute__((always_inline)) void run(std::int32_t n, Block block, One one)
{
    std::int32_t i = 0;
    for (; i + B <= n; i += B) block(i);
    for (; i < n; ++i) one(i);
}

// Sixteen pixels a block: memory.copy costs a call into the engine per row.
void xrgb8888(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    run<16>(
        n,
        [&](std::int32_t i) {
            const v128_t a = load4(s + i), b = load4(s + i + 4), c = load4(s + i + 8), e = load4(s + i + 12);
            store16(d + 4 * i, a);
            store16(d + 4 * i + 16, b);
            store16(d + 4 * i + 32, c);
            store16(d + 4 * i + 48, e);
        },
        [&](std::int32_t i) { convert_store32(d + 4 * i, s[i]); });
}

// A byte gather within one register, by a constant table (i8x16.swizzle): a
// table entry of 0x80 gives 0. Opaque to the compiler, so that it stays one
// byte shuffle of one register, which engines run as one instruction.
#define SWIZZLE(v, ...) wasm_i8x16_swizzle((v), wasm_i8x16_const(__VA_ARGS__))

void xbgr8888(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    auto four = [&](std::int32_t i) {
        store16(d + 4 * i, SWIZZLE(load4(s + i), 2, 1, 0, -128, 6, 5, 4, -128, 10, 9, 8, -128, 14, 13, 12, -128));
    };
    run<16>(
        n,
        [&](std::int32_t i) {
            four(i);
            four(i + 4);
            four(i + 8);
            four(i + 12);
        },
        [&](std::int32_t i) { convert_store32(d + 4 * i, convert_pixel_xbgr8888(s[i])); });
}

// Sixteen pixels (four registers) into 48 bytes (three). Each register's twelve
// bytes are gathered within it so that each output is a blend of two of them:
// the first's at 0-11; the second's first four at 12-15 and the rest at 0-7;
// the third's first eight at 8-15 and the rest at 0-3; the last's at 4-15.
// Within a pixel the bytes are blue, green, red, or the reverse for SWAP.
#define PIXEL3(p) ((SWAP) ? (p) + 2 : (p)), (p) + 1, ((SWAP) ? (p) : (p) + 2)
template <bool SWAP>
void to24(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    constexpr int Z = -128;
    run<16>(
        n,
        [&](std::int32_t i) {
            const v128_t a = SWIZZLE(load4(s + i), PIXEL3(0), PIXEL3(4), PIXEL3(8), PIXEL3(12), Z, Z, Z, Z);
            const v128_t b =
                SWIZZLE(load4(s + i + 4), 5, SWAP ? 4 : 6, PIXEL3(8), PIXEL3(12), Z, Z, Z, Z, PIXEL3(0), SWAP ? 6 : 4);
            const v128_t c = SWIZZLE(load4(s + i + 8), SWAP ? 8 : 10, PIXEL3(12), Z, Z, Z, Z, PIXEL3(0), PIXEL3(4),
                                     SWAP ? 10 : 8, 9);
            const v128_t e = SWIZZLE(load4(s + i + 12), Z, Z, Z, Z, PIXEL3(0), PIXEL3(4), PIXEL3(8), PIXEL3(12));
            store16(d + 3 * i, SHUFFLE(a, b, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 28, 29, 30, 31));
            store16(d + 3 * i + 16, SHUFFLE(b, c, 0, 1, 2, 3, 4, 5, 6, 7, 24, 25, 26, 27, 28, 29, 30, 31));
            store16(d + 3 * i + 32, SHUFFLE(c, e, 0, 1, 2, 3, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31));
        },
        [&](std::int32_t i) { convert_store24(d + 3 * i, s[i], SWAP); });
}
#undef PIXEL3

// Four pixels into four 16-bit values, each in the low half of its 32-bit lane:
// red and blue masked to their top five bits, green to its top five or six,
// then one multiply-add (red * red_mul + blue * blue_mul) and the green placed
// beside them, shifted down into place.
struct Place16 {
    std::uint32_t green_mask;
    std::int16_t blue_mul, red_mul;
    int shift;
};
constexpr Place16 RGB565 = {0xFC00, 4, 0x2000, 11}, BGR565 = {0xFC00, 0x2000, 4, 11};
constexpr Place16 XRGB1555 = {0xF800, 8, 0x2000, 10}, XBGR1555 = {0xF800, 0x2000, 8, 10};

// A constant in every 32-bit lane, made where it is called and kept in a
// register: as a literal inside a loop, engines build it again at every turn.
// Read back from memory, it stays a value the optimisers can't fold in.
inline v128_t kept(std::uint32_t x)
{
    volatile std::uint32_t box = x;
    return wasm_i32x4_splat(static_cast<int>(box));
}

template <const Place16& F>
struct To16Lanes {
    const v128_t red_blue = kept(0x00F800F8), green = kept(F.green_mask);
    const v128_t mul = kept(std::uint32_t(std::uint16_t(F.red_mul)) << 16 | std::uint16_t(F.blue_mul));
    v128_t operator()(v128_t p) const
    {
        const v128_t placed = wasm_i32x4_dot_i16x8(wasm_v128_and(p, red_blue), mul);
        return wasm_u32x4_shr(wasm_v128_or(placed, wasm_v128_and(p, green)), 16 - F.shift);
    }
};

template <const Place16& F, std::uint16_t (*PIXEL)(Pixel)>
void to16(const Pixel* s, void* dst, std::int32_t n)
{
    u8* d = static_cast<u8*>(dst);
    const To16Lanes<F> lanes;
    run<8>(
        n,
        [&](std::int32_t i) {
            // The lanes hold values below 0x10000: narrowing keeps them exactly.
            store16(d + 2 * i, wasm_u16x8_narrow_i32x4(lanes(load4(s + i)), lanes(load4(s + i + 4))));
        },
        [&](std::int32_t i) { convert_store16(d + 2 * i, PIXEL(s[i])); });
}

#undef SHUFFLE
#undef SWIZZLE

}  // namespace

const ConvertPath CONVERT_PATH_WASM_SIMD128 =
    convert_path("wasm_simd128", {.xrgb8888 = xrgb8888,
                                  .xbgr8888 = xbgr8888,
                                  .rgb888 = to24<false>,
                                  .bgr888 = to24<true>,
                                  .rgb565 = to16<RGB565, convert_pixel_rgb565>,
                                  .bgr565 = to16<BGR565, convert_pixel_bgr565>,
                                  .xrgb1555 = to16<XRGB1555, convert_pixel_xrgb1555>,
                                  .xbgr1555 = to16<XBGR1555, convert_pixel_xbgr1555>});
