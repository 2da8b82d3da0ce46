// One whole 640 x 480 frame converted into each screen format (an unpadded
// surface), as the presenter converts it at every frame. Built natively and for the web
// (where Google Benchmark can't be had), so the browser and the native build
// are measured by the same code: per format, the median of 15 batches of 40
// frames (a browser's clock is coarse), in microseconds a frame, after a round
// of every format to warm up (a browser first runs WebAssembly unoptimised).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "convert/convert_frame.h"
#include "convert/pixel_formats.h"

namespace {

constexpr int WIDTH = 640, HEIGHT = 480, FRAMES = 40, BATCHES = 15;

}  // namespace

int main()
{
    std::vector<Pixel> frame(WIDTH * HEIGHT);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<Pixel>(i * 2654435761u) & 0xFFFFFF;
    std::vector<std::uint8_t> surface(WIDTH * HEIGHT * 4);
    unsigned sink = 0;
    for (int round = 0; round < 2; ++round)
        for (const PixelFormatInfo& f : PIXEL_FORMAT_TABLE) {
            const RowConverter convert = select_row_converter(f.bits, f.red, f.green, f.blue);
            const int pitch = WIDTH * static_cast<int>(f.bits / 8);
            std::vector<double> batches;
            for (int b = 0; b < BATCHES; ++b) {
                const auto start = std::chrono::steady_clock::now();
                for (int n = 0; n < FRAMES; ++n)
                    convert_frame(convert, frame.data(), WIDTH, surface.data(), pitch, WIDTH, HEIGHT,
                                  static_cast<int>(f.bits / 8));
                const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
                batches.push_back(took.count() / FRAMES);
                sink += surface[b];
            }
            std::nth_element(batches.begin(), batches.begin() + BATCHES / 2, batches.end());
            if (round == 1) std::printf("%s: %.1f us a frame\n", f.name, batches[BATCHES / 2]);
        }
    return sink == 0xFFFFFFFF;  // keeps the conversions from being left out
}
