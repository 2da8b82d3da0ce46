// Drawing and clearing the frame, each against the memory floor of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "picture/picture.h"

namespace {

std::vector<Pixel> decoded_picture()
{
    std::vector<Pixel> pixels(400 * 300);
    picture_pixels = pixels.data();
    decode_picture();
    return pixels;
}

void BM_draw_picture(benchmark::State& state)
{
    auto pixels = decoded_picture();
    picture_pixels = pixels.data();
    for (auto _ : state) {
        draw_picture(100, 80);
        benchmark::DoNotOptimize(frame_buffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 400 * 300 * 4);
}

// Floor for drawing: the picture's rows copied into the frame with memcpy.
void BM_draw_floor_memcpy(benchmark::State& state)
{
    auto pixels = decoded_picture();
    for (auto _ : state) {
        for (int r = 0; r < 300; ++r)
            std::memcpy(&frame_buffer[(80 + r) * FRAME_WIDTH + 101], &pixels[r * 400], 400 * 4);
        benchmark::DoNotOptimize(frame_buffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * 400 * 300 * 4);
}

void BM_clear_frame(benchmark::State& state)
{
    for (auto _ : state) {
        clear_frame();
        benchmark::DoNotOptimize(frame_buffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * sizeof frame_buffer);
}

void BM_clear_floor_memset(benchmark::State& state)
{
    for (auto _ : state) {
        std::memset(frame_buffer, 0, sizeof frame_buffer);
        benchmark::DoNotOptimize(frame_buffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * sizeof frame_buffer);
}

}  // namespace

BENCHMARK(BM_draw_picture);
BENCHMARK(BM_draw_floor_memcpy);
BENCHMARK(BM_clear_frame);
BENCHMARK(BM_clear_floor_memset);
