// One whole frame of the program's loop (draw, present on the headless screen,
// clear) at 32 bits and at 16-bit 5-6-5, against the floor of the same work done
// with plain memory operations: memset of the frame, memcpy of the picture's
// rows, and the converter alone on the frame.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "convert/convert.h"
#include "display/display.h"
#include "display/display_state.h"
#include "picture/picture.h"
#include "platform/emu/test_control/emu_test_control.h"

namespace {

std::vector<Pixel> picture()
{
    std::vector<Pixel> pixels(400 * 300);
    picture_pixels = pixels.data();
    decode_picture();
    return pixels;
}

void BM_program_frame(benchmark::State& state, EmuPixelFormat format)
{
    emu_test_reset();
    emu_test_set_logging(false);
    emu_test_set_modes({{640, 480, format}});
    display_state = DisplayState{};
    display_configure(0, "", 0, 0);
    if (!display_open("bench", 640, 480)) {
        state.SkipWithError("display_open failed");
        return;
    }
    auto pixels = picture();
    for (auto _ : state) {
        draw_picture(100, 80);
        display_present(frame_buffer);
        clear_frame();
    }
    display_close();
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

void BM_floor(benchmark::State& state, RowConverter convert, int bytes)
{
    auto pixels = picture();
    const int pitch = 640 * bytes;
    std::vector<std::uint8_t> surface(static_cast<std::size_t>(pitch) * 480);
    for (auto _ : state) {
        for (int r = 0; r < 300; ++r)
            std::memcpy(&frame_buffer[(80 + r) * FRAME_WIDTH + 101], &pixels[r * 400], 400 * 4);
        for (int y = 0; y < 480; ++y)
            convert(&frame_buffer[y * 640], &surface[static_cast<std::size_t>(y) * pitch], 640);
        std::memset(frame_buffer, 0, sizeof frame_buffer);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

}  // namespace

BENCHMARK_CAPTURE(BM_program_frame, xrgb8888, emu_format(PIXEL_FORMAT_XRGB8888));
BENCHMARK_CAPTURE(BM_floor, xrgb8888, convert_row_xrgb8888, 4);
BENCHMARK_CAPTURE(BM_program_frame, rgb565, emu_format(PIXEL_FORMAT_RGB565));
BENCHMARK_CAPTURE(BM_floor, rgb565, convert_row_rgb565, 2);
