#pragma once

// The nearest-neighbour stretch of a blit: which source column each
// destination column shows, found once per size and place and kept, and the
// runs of columns that follow each other in the source, copied whole.

#include <cstdint>
#include <vector>

#include "platform/emu/common/windows_types.h"

struct StretchMap {
    // What the map was made for: both rectangles' columns, the clipped columns, the pixel size.
    long long made_for[7] = {};
    std::vector<std::int32_t> columns;  // a source byte offset for each destination column shown
    struct Run {
        std::int32_t to, from, bytes;
    };
    std::vector<Run> runs;  // the same, as runs of neighbours in both
};

// Stretches `from` (r, in a surface of pitch `from_pitch`) onto `to` (d, its pitch
// `to_pitch`), writing only the rows and columns inside `clip`. `from` must not be
// `to`. May throw std::bad_alloc while the map is made, having written nothing.
void ddraw_stretch(StretchMap& map, BYTE* to, LONG to_pitch, const BYTE* from, LONG from_pitch, int bytes_per_pixel,
                   const RECT& d, const RECT& r, const RECT& clip);
