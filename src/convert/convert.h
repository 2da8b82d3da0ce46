#pragma once

/* The row converters: C99 and C++ alike, with C linkage. */
#include <stdint.h>

#include "convert/pixel.h"

#ifdef __cplusplus
extern "C" {
#endif

// Converts `count` pixels from `source` into `destination` in one screen pixel
// format, packed with no gaps, little-endian. Reads exactly `count` source pixels
// and writes exactly `count` destination pixels (4, 3 or 2 bytes each), whatever
// the alignment of either; a count of 0 or less writes nothing. Source and
// destination must not overlap. Reductions to fewer bits truncate.
typedef void (*RowConverter)(const Pixel* source, void* destination, int32_t count);

// 32 bits, red high: the pixel unchanged, all 32 bits.
void convert_row_xrgb8888(const Pixel* source, void* destination, int32_t count);
// 32 bits, blue high: (B << 16) | (G << 8) | R, top byte 0.
void convert_row_xbgr8888(const Pixel* source, void* destination, int32_t count);
// Packed 24 bits, red high: bytes B, G, R.
void convert_row_rgb888(const Pixel* source, void* destination, int32_t count);
// Packed 24 bits, blue high: bytes R, G, B.
void convert_row_bgr888(const Pixel* source, void* destination, int32_t count);
// 16 bits 5-6-5: red high, or blue high.
void convert_row_rgb565(const Pixel* source, void* destination, int32_t count);
void convert_row_bgr565(const Pixel* source, void* destination, int32_t count);
// 16 bits 5-5-5 with bit 15 zero: red high, or blue high.
void convert_row_xrgb1555(const Pixel* source, void* destination, int32_t count);
void convert_row_xbgr1555(const Pixel* source, void* destination, int32_t count);

// The converter for a screen format given as DDPIXELFORMAT reports it (bit count
// and the red, green and blue masks), or NULL when it is none of the eight.
RowConverter select_row_converter(uint32_t bits, uint32_t red_mask, uint32_t green_mask, uint32_t blue_mask);

#ifdef __cplusplus
}
#endif
