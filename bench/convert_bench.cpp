// Every row converter against the best published implementations of the same
// conversion, measured in one run: pixman (SRC composite from x8r8g8b8), libyuv,
// SDL2's SDL_ConvertPixels, and memcpy of the destination's bytes as the floor.
// Workloads: "row" converts one 640-pixel row (hot in cache); "frame" converts a
// 640 x 480 frame row by row into a destination whose pitch is padded, and
// "frame-packed" the same frame into rows that follow each other unpadded.
// Each peer's output is compared with ours first; its label says whether it is
// bit-identical (a peer that is not does different work and is no fair match).
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <libyuv/convert_from_argb.h>
#include <libyuv/planar_functions.h>
#include <pixman.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "convert/convert_frame.h"
#include "convert/convert_paths.h"

namespace {

constexpr int WIDTH = 640;
constexpr int PITCH_PADDING = 64;

// Each format of the table as the peers name it: pixman by channel widths and
// order, SDL by masks.
struct Format {
    const char* name;
    int bytes;
    pixman_format_code_t pixman;
    Uint32 sdl;
};
Format peer_format(const PixelFormatInfo& f)
{
    const int type = f.red > f.blue ? PIXMAN_TYPE_ARGB : PIXMAN_TYPE_ABGR;
    const auto pixman = static_cast<pixman_format_code_t>(
        PIXMAN_FORMAT(f.bits, type, __builtin_popcount(f.alpha), __builtin_popcount(f.red), __builtin_popcount(f.green),
                      __builtin_popcount(f.blue)));
    return {f.name, static_cast<int>(f.bits / 8), pixman,
            SDL_MasksToPixelFormatEnum(static_cast<int>(f.bits), f.red, f.green, f.blue, f.alpha)};
}
const std::array<Format, PIXEL_FORMAT_COUNT> FORMATS = [] {
    std::array<Format, PIXEL_FORMAT_COUNT> all{};
    for (int i = 0; i < PIXEL_FORMAT_COUNT; ++i) all[i] = peer_format(PIXEL_FORMAT_TABLE[i]);
    return all;
}();

// A buffer aligned to a cache line, as the program's frame and surfaces are.
template <class T>
struct Aligned {
    T* ptr;
    std::size_t count;
    explicit Aligned(std::size_t n)
        : ptr(static_cast<T*>(std::aligned_alloc(64, (n * sizeof(T) + 63) / 64 * 64))), count(n)
    {
    }
    ~Aligned() { std::free(ptr); }
    Aligned(const Aligned&) = delete;
    T* data() { return ptr; }
    T& operator[](std::size_t i) { return ptr[i]; }
    T* begin() { return ptr; }
    T* end() { return ptr + count; }
};

// A workload: the source frame (top byte 0, as the program's frames are) and a destination.
struct Work {
    int height;
    int pitch;
    Aligned<Pixel> src;
    Aligned<std::uint8_t> dst;
    Work(int format, int rows, bool padded)
        : height(rows),
          pitch(WIDTH * FORMATS[format].bytes + (padded ? PITCH_PADDING : 0)),
          src(WIDTH * rows),
          dst(static_cast<std::size_t>(pitch) * rows)
    {
        std::mt19937 rng(7);
        for (auto& p : src) p = rng() & 0x00FFFFFF;
        std::fill(dst.begin(), dst.end(), 0);
    }
};

// One conversion of the whole workload; the peers differ only in this.
using Convert = std::function<void(Work&)>;

// Ours as the presenter runs it.
Convert ours(RowConverter row, int format)
{
    return [row, format](Work& w) {
        convert_frame(row, w.src.data(), WIDTH, w.dst.data(), w.pitch, WIDTH, w.height, FORMATS[format].bytes);
    };
}

Convert memcpy_floor(int format)
{
    return [format](Work& w) {
        const auto* src = reinterpret_cast<const std::uint8_t*>(w.src.data());
        for (int y = 0; y < w.height; ++y)
            std::memcpy(&w.dst[std::size_t(y) * w.pitch], src + y * WIDTH * 4, WIDTH * FORMATS[format].bytes);
    };
}

Convert pix(int format)
{
    return [format](Work& w) {
        // Image creation is cheap next to the conversion and keeps the buffers current.
        pixman_image_t* s = pixman_image_create_bits(PIXMAN_x8r8g8b8, WIDTH, w.height,
                                                     reinterpret_cast<uint32_t*>(w.src.data()), WIDTH * 4);
        pixman_image_t* d = pixman_image_create_bits(FORMATS[format].pixman, WIDTH, w.height,
                                                     reinterpret_cast<uint32_t*>(w.dst.data()), w.pitch);
        pixman_image_composite32(PIXMAN_OP_SRC, s, nullptr, d, 0, 0, 0, 0, 0, 0, WIDTH, w.height);
        pixman_image_unref(s);
        pixman_image_unref(d);
    };
}

Convert sdl(int format)
{
    return [format](Work& w) {
        SDL_ConvertPixels(WIDTH, w.height, SDL_PIXELFORMAT_XRGB8888, w.src.data(), WIDTH * 4, FORMATS[format].sdl,
                          w.dst.data(), w.pitch);
    };
}

// libyuv: one call where it has the conversion; blue-high 16-bit goes through
// ABGR first, one row at a time through a row that stays in cache.
Convert yuv(int format)
{
    using Fn = int (*)(const uint8_t*, int, uint8_t*, int, int, int);
    Fn direct = nullptr;
    switch (format) {
        case PIXEL_FORMAT_XRGB8888:
            direct = libyuv::ARGBCopy;
            break;
        case PIXEL_FORMAT_XBGR8888:
            direct = libyuv::ARGBToABGR;
            break;
        case PIXEL_FORMAT_RGB888:
            direct = libyuv::ARGBToRGB24;
            break;
        case PIXEL_FORMAT_BGR888:
            direct = libyuv::ARGBToRAW;
            break;
        case PIXEL_FORMAT_RGB565:
            direct = libyuv::ARGBToRGB565;
            break;
        case PIXEL_FORMAT_XRGB1555:
            direct = libyuv::ARGBToARGB1555;
            break;
    }
    if (direct)
        return [direct](Work& w) {
            direct(reinterpret_cast<const uint8_t*>(w.src.data()), WIDTH * 4, w.dst.data(), w.pitch, WIDTH, w.height);
        };
    const Fn second = format == PIXEL_FORMAT_BGR565 ? libyuv::ARGBToRGB565 : libyuv::ARGBToARGB1555;
    return [second](Work& w) {
        alignas(64) static uint8_t row[WIDTH * 4];
        for (int y = 0; y < w.height; ++y) {
            libyuv::ARGBToABGR(reinterpret_cast<const uint8_t*>(&w.src[y * WIDTH]), WIDTH * 4, row, WIDTH * 4, WIDTH,
                               1);
            second(row, WIDTH * 4, &w.dst[std::size_t(y) * w.pitch], w.pitch, WIDTH, 1);
        }
    };
}

// Whether `convert` writes exactly what our converter writes (padding excluded).
bool bit_exact(int format, const Convert& convert, int rows, bool padded)
{
    Work mine(format, rows, padded), theirs(format, rows, padded);
    std::fill(theirs.dst.begin(), theirs.dst.end(), 0xFF);
    ours(convert_best_path().rows[format], format)(mine);
    convert(theirs);
    for (int y = 0; y < rows; ++y)
        if (std::memcmp(&mine.dst[std::size_t(y) * mine.pitch], &theirs.dst[std::size_t(y) * theirs.pitch],
                        WIDTH * FORMATS[format].bytes) != 0)
            return false;
    return true;
}

void add(const std::string& workload, int format, const std::string& who, Convert convert, bool check)
{
    const int rows = workload == "row" ? 1 : 480;
    const bool padded = workload == "frame";
    std::string label;
    if (check) label = bit_exact(format, convert, rows, padded) ? "bit-exact" : "NOT bit-exact";
    benchmark::RegisterBenchmark((workload + "/" + FORMATS[format].name + "/" + who).c_str(),
                                 [=](benchmark::State& state) {
                                     Work work(format, rows, padded);
                                     for (auto _ : state) {
                                         convert(work);
                                         benchmark::DoNotOptimize(work.dst.data());
                                         benchmark::ClobberMemory();
                                     }
                                     state.SetItemsProcessed(state.iterations() * WIDTH * rows);
                                     state.SetLabel(label);
                                 });
}

}  // namespace

int main(int argc, char** argv)
{
    for (const char* workload : {"row", "frame", "frame-packed"}) {
        for (int f = 0; f < PIXEL_FORMAT_COUNT; ++f) {
            add(workload, f, "ours", ours(convert_best_path().rows[f], f), false);
            for (const ConvertPath& path : convert_paths())
                if (&path != &convert_best_path())
                    add(workload, f, std::string("ours-") + path.name, ours(path.rows[f], f), true);
            add(workload, f, "pixman", pix(f), true);
            add(workload, f, "libyuv", yuv(f), true);
            add(workload, f, "sdl2", sdl(f), true);
            add(workload, f, "memcpy", memcpy_floor(f), false);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
