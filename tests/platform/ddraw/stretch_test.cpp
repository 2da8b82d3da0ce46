// The blit's stretch, byte for byte against nearest neighbour worked out pixel
// by pixel: one map kept through blits of other sizes, places and clips, in
// every pixel size, with nothing written outside the clip.
#include <gtest/gtest.h>

#include <vector>

#include "platform/emu/ddraw/stretch.h"

TEST(DdrawStretch, EveryPixelIsItsNearestSourcePixelAndNothingElseIsWritten)
{
    constexpr int W = 50, H = 40, SOURCE_W = 20, SOURCE_H = 16;
    struct Case {
        RECT d, r, clip;
    };
    const Case cases[] = {
        {{1, 2, 43, 34}, {0, 0, 20, 16}, {0, 0, W, H}},      // a little larger: runs
        {{0, 0, 40, 32}, {0, 0, 20, 16}, {0, 0, W, H}},      // twice as large: gathered, rows repeated
        {{5, 5, 15, 12}, {2, 1, 19, 15}, {0, 0, W, H}},      // smaller
        {{3, 4, 23, 20}, {0, 0, 20, 16}, {0, 0, W, H}},      // one for one: one run a row
        {{-9, -7, 41, 33}, {0, 0, 20, 16}, {2, 3, 30, 25}},  // beyond a clip on every side
        {{1, 2, 43, 34}, {0, 0, 20, 16}, {0, 0, W, H}},      // the first again, after the others
    };
    for (const int bpp : {2, 3, 4}) {
        std::vector<BYTE> source(static_cast<std::size_t>(SOURCE_W) * SOURCE_H * bpp);
        for (std::size_t i = 0; i < source.size(); ++i) source[i] = static_cast<BYTE>(i * 7 + i / 251);
        StretchMap map;
        for (const Case& c : cases) {
            std::vector<BYTE> to(static_cast<std::size_t>(W) * H * bpp, 0xEE);
            ddraw_stretch(map, to.data(), W * bpp, source.data(), SOURCE_W * bpp, bpp, c.d, c.r, c.clip);
            int wrong = 0;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    const bool inside = x >= c.d.left && x < c.d.right && y >= c.d.top && y < c.d.bottom &&
                                        x >= c.clip.left && x < c.clip.right && y >= c.clip.top && y < c.clip.bottom;
                    const long long sx = c.r.left + (x - c.d.left) * (c.r.right - c.r.left) / (c.d.right - c.d.left);
                    const long long sy = c.r.top + (y - c.d.top) * (c.r.bottom - c.r.top) / (c.d.bottom - c.d.top);
                    for (int b = 0; b < bpp; ++b) {
                        const BYTE want = inside ? source[(sy * SOURCE_W + sx) * bpp + b] : BYTE{0xEE};
                        if (to[(static_cast<std::size_t>(y) * W + x) * bpp + b] != want && ++wrong <= 3)
                            ADD_FAILURE() << bpp << "-byte pixels, destination " << c.d.left << " " << c.d.top << " "
                                          << c.d.right << " " << c.d.bottom << ": (" << x << ", " << y << ") wrong";
                    }
                }
        }
    }
}
