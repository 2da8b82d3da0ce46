#pragma once

// A whole frame through a row converter, for callers inside this library.

#include <cstdint>

#include "convert/convert.h"

// Converts `rows` rows of `width` pixels, `source_stride` pixels apart, into
// rows `pitch` bytes apart of `bytes`-byte pixels, with `convert`. When the rows
// follow each other with nothing between them on both sides, the frame goes to
// the converter as one long row: one unbroken stream of memory, a little faster
// than row by row once the frame outgrows the cache. Nothing between rows is
// touched either way.
inline void convert_frame(RowConverter convert, const Pixel* source, std::int32_t source_stride, void* destination,
                          std::int32_t pitch, std::int32_t width, std::int32_t rows, std::int32_t bytes)
{
    if (width <= 0 || rows <= 0) return;
    const std::int64_t all = std::int64_t(width) * rows;
    if (source_stride == width && std::int64_t(pitch) == std::int64_t(width) * bytes && all <= INT32_MAX) {
        convert(source, destination, static_cast<std::int32_t>(all));
        return;
    }
    auto* d = static_cast<std::uint8_t*>(destination);
    for (std::int32_t row = 0; row < rows; ++row, source += source_stride, d += pitch) convert(source, d, width);
}
