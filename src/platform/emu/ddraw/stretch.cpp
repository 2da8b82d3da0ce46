// Nearest-neighbour stretching by a column map made once per size and place:
// runs of neighbouring columns are copied whole (a blit one for one is one run
// a row), a row the stretch repeats is copied from the one above it, and only
// what is left is gathered pixel by pixel.
#include "platform/emu/ddraw/stretch.h"

#include <algorithm>
#include <cstring>

namespace {

using Wide = long long;

void make_map(StretchMap& map, const RECT& d, const RECT& r, LONG x0, LONG x1, int bpp)
{
    const Wide key[7] = {d.left, d.right, r.left, r.right, x0, x1, bpp};
    if (std::equal(key, key + 7, map.made_for) && !map.columns.empty()) return;
    const Wide dw = Wide{d.right} - d.left, rw = Wide{r.right} - r.left;
    std::vector<std::int32_t> columns(static_cast<std::size_t>(x1 - x0));
    std::vector<StretchMap::Run> runs;
    for (LONG x = x0; x < x1; ++x) {
        const auto from = static_cast<std::int32_t>((r.left + (x - Wide{d.left}) * rw / dw) * bpp);
        const auto to = static_cast<std::int32_t>((x - Wide{x0}) * bpp);
        columns[static_cast<std::size_t>(x - x0)] = from;
        if (!runs.empty() && runs.back().from + runs.back().bytes == from)
            runs.back().bytes += bpp;
        else
            runs.push_back({to, from, bpp});
    }
    map.columns = std::move(columns);
    map.runs = std::move(runs);
    std::copy(key, key + 7, map.made_for);
}

template <int BPP>
void gather(BYTE* out, const BYTE* in, const std::vector<std::int32_t>& columns)
{
    for (const std::int32_t from : columns) {
        std::memcpy(out, in + from, BPP);
        out += BPP;
    }
}

}  // namespace

void ddraw_stretch(StretchMap& map, BYTE* to, LONG to_pitch, const BYTE* from, LONG from_pitch, int bpp, const RECT& d,
                   const RECT& r, const RECT& clip)
{
    const LONG x0 = std::max(d.left, clip.left), x1 = std::min(d.right, clip.right);
    const LONG y0 = std::max(d.top, clip.top), y1 = std::min(d.bottom, clip.bottom);
    if (x0 >= x1 || y0 >= y1) return;
    make_map(map, d, r, x0, x1, bpp);
    // Runs are copied whole where they are long enough to pay; else pixels are gathered.
    const bool by_runs = map.runs.size() * 8 <= map.columns.size();
    const std::size_t span = static_cast<std::size_t>(x1 - x0) * bpp;
    const Wide dh = Wide{d.bottom} - d.top, rh = Wide{r.bottom} - r.top;
    LONG previous = -1;
    for (LONG y = y0; y < y1; ++y) {
        const auto sy = static_cast<LONG>(r.top + (y - Wide{d.top}) * rh / dh);
        BYTE* out = to + static_cast<std::ptrdiff_t>(y) * to_pitch + static_cast<std::ptrdiff_t>(x0) * bpp;
        if (sy == previous) {
            std::memcpy(out, out - to_pitch, span);
            continue;
        }
        previous = sy;
        const BYTE* in = from + static_cast<std::ptrdiff_t>(sy) * from_pitch;
        if (by_runs) {
            for (const StretchMap::Run& run : map.runs) std::memcpy(out + run.to, in + run.from, run.bytes);
        } else if (bpp == 4) {
            gather<4>(out, in, map.columns);
        } else if (bpp == 2) {
            gather<2>(out, in, map.columns);
        } else {
            gather<3>(out, in, map.columns);
        }
    }
}
