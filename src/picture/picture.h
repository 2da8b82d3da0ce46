#pragma once

#include <cstddef>
#include <cstdint>

#include "convert/pixel.h"

// The frame that the program composes and presents: 640 x 480 pixels, row-major,
// top row first, row stride 640 pixels.
constexpr int FRAME_WIDTH = 640;
constexpr int FRAME_HEIGHT = 480;
extern Pixel frame_buffer[FRAME_WIDTH * FRAME_HEIGHT];

// The stored picture: a complete 24-bit BMP file image built into the program,
// its pixel data at byte 54, bottom row first, no row padding.
constexpr std::size_t PICTURE_FILE_SIZE = 360054;
constexpr std::size_t PICTURE_PIXEL_OFFSET = 54;
extern const std::uint8_t picture_file[PICTURE_FILE_SIZE];
extern const std::int32_t picture_width;
extern const std::int32_t picture_height;

// The decoded picture, picture_width x picture_height pixels. Its owner (the
// driver) allocates it zero-filled; while it is null nothing is decoded or drawn.
extern Pixel* picture_pixels;

// Decodes picture_file into picture_pixels: top row first, each row from its
// rightmost pixel to its leftmost (draw_picture undoes the mirroring).
void decode_picture();

// Copies picture_pixels into frame_buffer so that picture pixel (c, r) lands at
// frame column x + 1 + c, row y + r. The caller keeps it inside the frame.
void draw_picture(std::int32_t x, std::int32_t y);

// Sets every pixel of frame_buffer to 0.
void clear_frame();

// The same operations on any picture of the stored layout (pixel data at byte 54,
// w x h pixels of 24 bits, bottom row first, no padding) and any 640-wide frame.
void decode_picture_from(const std::uint8_t* file, std::int32_t w, std::int32_t h, Pixel* out);
void draw_picture_into(Pixel* frame, const Pixel* pixels, std::int32_t w, std::int32_t h, std::int32_t x,
                       std::int32_t y);
