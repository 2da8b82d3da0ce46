// Draws the stored picture and writes it as an uncompressed 24-bit BMP.
// Deterministic: the same output on every run and machine.
//
// The picture is a dusk landscape above a strip of test patterns, chosen so
// that mistakes show at a glance: each corner carries its own colour marker
// (a mirror or a flip is obvious), pure red, green and blue swatches sit beside
// mixed colours (a swapped channel is obvious), smooth ramps show 5-5-5 and
// 5-6-5 banding, and a white outer ring around a black one-pixel ring shows an
// off-by-one at any edge.
//
// Usage: make_picture OUTPUT.bmp

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int WIDTH = 400;
constexpr int HEIGHT = 300;
constexpr int HORIZON = 190;

struct Rgb {
    int r, g, b;
};

Rgb mix(Rgb a, Rgb b, double t)
{
    auto lerp = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return {lerp(a.r, b.r), lerp(a.g, b.g), lerp(a.b, b.b)};
}

double clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Height of the mountain ridge (in rows from the top) at column x.
double ridge(int x)
{
    const double t = x / static_cast<double>(WIDTH);
    return 150 - 38 * std::sin(t * 5.1 + 0.4) * std::sin(t * 2.3 + 1.1) - 12 * std::sin(t * 17.0);
}

Rgb landscape(int x, int y)
{
    if (y < HORIZON) {
        // Sky from deep night blue to a warm glow, with the sun in the upper left.
        Rgb sky = mix({16, 32, 96}, {250, 168, 92}, std::pow(y / double(HORIZON), 1.6));
        const double d = std::hypot(x - 110.0, y - 95.0);
        if (d < 34) return mix({255, 236, 120}, {255, 200, 60}, d / 34);
        if (d < 60) sky = mix({255, 200, 90}, sky, clamp01((d - 34) / 26));
        if (y >= ridge(x)) {
            const double depth = clamp01((y - ridge(x)) / 60.0);
            return mix({92, 72, 130}, {46, 40, 84}, depth);
        }
        return sky;
    }
    // Meadow, darker towards the viewer, with a winding river.
    const double river = 200 + 60 * std::sin((y - HORIZON) / 14.0) + (y - HORIZON) * 1.2;
    if (std::fabs(x - river) < 4 + (y - HORIZON) / 6.0)
        return mix({120, 170, 230}, {60, 110, 200}, (y - HORIZON) / 60.0);
    return mix({70, 160, 70}, {20, 96, 40}, (y - HORIZON) / 60.0);
}

Rgb test_strip(int x, int y)
{
    if (y < 262) {  // grey ramp: every 5-5-5 and 5-6-5 step shows as a band
        const int v = x * 255 / (WIDTH - 1);
        return {v, v, v};
    }
    if (y < 274) {  // red, green and blue ramps side by side, each from black
        const int third = WIDTH / 3 + 1;
        const int v = (x % third) * 255 / (third - 1);
        if (x < third) return {v, 0, 0};
        if (x < 2 * third) return {0, v, 0};
        return {0, 0, v};
    }
    // Swatches: pure primaries, their mixtures, white and mid grey.
    static const Rgb SWATCHES[8] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},     {0, 255, 255},
                                    {255, 0, 255}, {255, 255, 0}, {255, 255, 255}, {128, 128, 128}};
    return SWATCHES[x / 50];
}

Rgb pixel(int x, int y)
{
    // Outer ring white, the ring inside it black: an edge lost or doubled shows.
    if (x == 0 || y == 0 || x == WIDTH - 1 || y == HEIGHT - 1) return {255, 255, 255};
    if (x == 1 || y == 1 || x == WIDTH - 2 || y == HEIGHT - 2) return {0, 0, 0};
    // Corner markers, each its own colour.
    const bool left = x < 14, right = x >= WIDTH - 14, top = y < 14, bottom = y >= HEIGHT - 14;
    if (x >= 2 && y >= 2 && x < WIDTH - 2 && y < HEIGHT - 2) {
        if (top && left) return {255, 0, 0};
        if (top && right) return {0, 255, 0};
        if (bottom && left) return {0, 0, 255};
        if (bottom && right) return {255, 255, 0};
    }
    return y < 250 ? landscape(x, y) : test_strip(x, y);
}

void put16(std::vector<uint8_t>& out, unsigned v)
{
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}

void put32(std::vector<uint8_t>& out, unsigned v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    const unsigned image_size = WIDTH * HEIGHT * 3;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + image_size);  // bfSize
    put16(out, 0);                // bfReserved1
    put16(out, 0);                // bfReserved2
    put32(out, 54);               // bfOffBits
    put32(out, 40);               // biSize
    put32(out, WIDTH);
    put32(out, HEIGHT);  // positive: bottom row first
    put16(out, 1);       // biPlanes
    put16(out, 24);      // biBitCount
    put32(out, 0);       // BI_RGB
    put32(out, image_size);
    put32(out, 3937);  // 100 dots per inch
    put32(out, 3937);
    put32(out, 0);
    put32(out, 0);
    for (int y = HEIGHT - 1; y >= 0; --y) {
        for (int x = 0; x < WIDTH; ++x) {
            const Rgb c = pixel(x, y);
            out.push_back(static_cast<uint8_t>(c.b));
            out.push_back(static_cast<uint8_t>(c.g));
            out.push_back(static_cast<uint8_t>(c.r));
        }
    }
    FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
