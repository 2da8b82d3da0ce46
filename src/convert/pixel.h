#pragma once

/* C99 and C++ alike. */
#include <stdint.h>

/* One frame pixel: 0x00RRGGBB (red in bits 16-23, green 8-15, blue 0-7, the
   top byte zero). In memory, little-endian: blue, green, red, 0. */
typedef uint32_t Pixel;
