// The portable path: plain loops over pixels, which compilers vectorise for the
// processor at hand. Every other path must produce exactly these bytes.
#include "convert/convert_paths.h"

namespace {

void xrgb8888(const Pixel* s, void* dst, std::int32_t n)
{
    auto* d = static_cast<std::uint8_t*>(dst);
    if constexpr (std::endian::native == std::endian::little) {
        if (n > 0) std::memcpy(d, s, static_cast<std::size_t>(n) * 4);
    } else {
        for (std::int32_t i = 0; i < n; ++i) convert_store32(d + 4 * i, s[i]);
    }
}

void xbgr8888(const Pixel* s, void* dst, std::int32_t n)
{
    auto* d = static_cast<std::uint8_t*>(dst);
    for (std::int32_t i = 0; i < n; ++i) convert_store32(d + 4 * i, convert_pixel_xbgr8888(s[i]));
}

template <bool SWAP>
void to24(const Pixel* s, void* dst, std::int32_t n)
{
    auto* d = static_cast<std::uint8_t*>(dst);
    for (std::int32_t i = 0; i < n; ++i) convert_store24(d + 3 * i, s[i], SWAP);
}

template <std::uint16_t (*PIXEL)(Pixel)>
void to16(const Pixel* s, void* dst, std::int32_t n)
{
    auto* d = static_cast<std::uint8_t*>(dst);
    for (std::int32_t i = 0; i < n; ++i) convert_store16(d + 2 * i, PIXEL(s[i]));
}

}  // namespace

const ConvertPath CONVERT_PATH_PORTABLE = convert_path("portable", {.xrgb8888 = xrgb8888,
                                                                    .xbgr8888 = xbgr8888,
                                                                    .rgb888 = to24<false>,
                                                                    .bgr888 = to24<true>,
                                                                    .rgb565 = to16<convert_pixel_rgb565>,
                                                                    .bgr565 = to16<convert_pixel_bgr565>,
                                                                    .xrgb1555 = to16<convert_pixel_xrgb1555>,
                                                                    .xbgr1555 = to16<convert_pixel_xbgr1555>});
