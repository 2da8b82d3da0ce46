#include "picture/picture.h"

Pixel* picture_pixels = nullptr;

void decode_picture_from(const std::uint8_t* file, std::int32_t w, std::int32_t h, Pixel* out)
{
    if (!file || !out || w <= 0 || h <= 0) return;
    // Walk the pixel data backwards from its last pixel; `red` always points at a red byte.
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
    const std::uint8_t* red = file + PICTURE_PIXEL_OFFSET + 3 * count - 1;
    for (std::size_t k = 0; k < count; ++k, red -= 3)
        out[k] = (Pixel{red[0]} << 16) | (Pixel{red[-1]} << 8) | Pixel{red[-2]};
}

void decode_picture() { decode_picture_from(picture_file, picture_width, picture_height, picture_pixels); }
