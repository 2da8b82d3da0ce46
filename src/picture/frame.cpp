#include <cstring>

#include "picture/picture.h"

Pixel frame_buffer[FRAME_WIDTH * FRAME_HEIGHT];

void draw_picture_into(Pixel* frame, const Pixel* pixels, std::int32_t w, std::int32_t h, std::int32_t x,
                       std::int32_t y)
{
    if (!frame || !pixels) return;
    // Each decoded row runs right to left, so it is written from column x + w down
    // to column x + 1, which puts the picture upright and unmirrored.
    for (std::int32_t r = 0; r < h; ++r) {
        Pixel* right = frame + static_cast<std::ptrdiff_t>(y + r) * FRAME_WIDTH + x + w;
        const Pixel* src = pixels + static_cast<std::ptrdiff_t>(r) * w;
        for (std::int32_t i = 0; i < w; ++i) right[-i] = src[i];
    }
}

void draw_picture(std::int32_t x, std::int32_t y)
{
    draw_picture_into(frame_buffer, picture_pixels, picture_width, picture_height, x, y);
}

void clear_frame() { std::memset(frame_buffer, 0, sizeof frame_buffer); }
