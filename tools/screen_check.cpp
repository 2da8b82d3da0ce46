// Captures an X screen and checks it against the stored picture.
//
//   screen_check capture OUT.png
//       Saves the whole screen of $DISPLAY as a PNG.
//   screen_check pixels X Y [X Y ...]
//       Prints "X Y 0xRRGGBB" for each screen pixel asked for (0x------ when
//       off the screen), from one capture.
//   screen_check find 0xRRGGBB
//       Prints "LEFT TOP WIDTH HEIGHT" of the smallest rectangle holding every
//       pixel of that colour (exit status 1 when there is none): where a window
//       shows its frame, on a display server whose windows X can't name.
//   screen_check compare PICTURE.bmp LEFT TOP [DIFF.png] [at X Y SCALE]
//       Compares the screen's top-left 640 x 480 pixels with the picture at
//       (LEFT, TOP) on black; with "at", the whole screen with that 640 x 480
//       frame scaled by the whole factor SCALE at (X, Y), black around it.
//       Compared in the screen's own format: each channel exact in the bits
//       it holds, fewer than 8 as their top bits, more (30-bit screens) as the
//       8-bit value widened, its top bits repeated below. On a difference it
//       lists the first differing pixels and saves the region that differs
//       (screen | expected | differing pixels in red) to DIFF.png.
//
// Exit status: 0 equal (or captured), 1 different, 2 could not run.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
    std::vector<unsigned long> raw;     // as the screen holds them (a capture's)
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct Masks {
    unsigned long red = 0, green = 0, blue = 0;
};

// A channel of an X pixel scaled to 8 bits, keeping its top bits.
std::uint32_t channel(unsigned long pixel, unsigned long mask)
{
    if (!mask) return 0;
    const int shift = __builtin_ctzl(mask), bits = __builtin_popcountl(mask);
    const unsigned long v = (pixel & mask) >> shift;
    return static_cast<std::uint32_t>(bits >= 8 ? v >> (bits - 8) : v << (8 - bits));
}

// An 8-bit channel value as a screen channel of `mask` holds it.
unsigned long place(std::uint32_t c, unsigned long mask)
{
    if (!mask) return 0;
    const int shift = __builtin_ctzl(mask), bits = __builtin_popcountl(mask);
    const unsigned long v = bits >= 8 ? (c << (bits - 8)) | (bits > 8 ? c >> (16 - bits) : 0) : c >> (8 - bits);
    return (v << shift) & mask;
}

unsigned long encode(std::uint32_t rgb, const Masks& m)
{
    return place(rgb >> 16 & 0xFF, m.red) | place(rgb >> 8 & 0xFF, m.green) | place(rgb & 0xFF, m.blue);
}

bool capture(Image* out, Masks* masks)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "screen_check: cannot open display %s\n",
                     std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "(unset)");
        return false;
    }
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    XImage* image = XGetImage(display, root, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) {
        XCloseDisplay(display);
        std::fprintf(stderr, "screen_check: XGetImage failed\n");
        return false;
    }
    out->width = attributes.width;
    out->height = attributes.height;
    out->pixels.resize(static_cast<std::size_t>(out->width) * out->height);
    out->raw.resize(out->pixels.size());
    for (int y = 0; y < out->height; ++y)
        for (int x = 0; x < out->width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            out->raw[static_cast<std::size_t>(y) * out->width + x] = p;
            out->at(x, y) =
                channel(p, image->red_mask) << 16 | channel(p, image->green_mask) << 8 | channel(p, image->blue_mask);
        }
    *masks = {image->red_mask, image->green_mask, image->blue_mask};
    XDestroyImage(image);
    XCloseDisplay(display);
    return true;
}

// 8-bit RGB, written by libpng.
bool write_png(const std::string& path, Image& image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb;
    rgb.reserve(image.pixels.size() * 3);
    for (const std::uint32_t p : image.pixels)
        rgb.insert(rgb.end(),
                   {static_cast<png_byte>(p >> 16), static_cast<png_byte>(p >> 8), static_cast<png_byte>(p)});
    const bool written = png_image_write_to_file(&png, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
    if (!written) std::fprintf(stderr, "screen_check: %s: %s\n", path.c_str(), png.message);
    return written;
}

bool expected_frame(const char* bmp_path, int left, int top, Image* out)
{
    std::ifstream in(bmp_path, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (file.size() != 54 + 400 * 300 * 3) {
        std::fprintf(stderr, "screen_check: %s is not the 400 x 300 24-bit picture\n", bmp_path);
        return false;
    }
    out->width = WIDTH;
    out->height = HEIGHT;
    out->pixels.assign(WIDTH * HEIGHT, 0);
    for (int r = 0; r < 300; ++r)
        for (int c = 0; c < 400; ++c) {
            const int x = left + c, y = top + r;
            if (x < 0 || y < 0 || x >= WIDTH || y >= HEIGHT) continue;
            const std::size_t at = 54 + (static_cast<std::size_t>(299 - r) * 400 + c) * 3;
            out->at(x, y) = std::uint32_t{file[at + 2]} << 16 | std::uint32_t{file[at + 1]} << 8 | file[at];
        }
    return true;
}

// The frame scaled by `scale` at (x, y) of a black screen of that size.
Image scaled(Image& frame, int width, int height, int x, int y, int scale)
{
    Image out;
    out.width = width, out.height = height;
    out.pixels.assign(static_cast<std::size_t>(width) * height, 0);
    for (int r = 0; r < height; ++r)
        for (int c = 0; c < width; ++c) {
            const int fx = (c - x) / scale, fy = (r - y) / scale;
            if (c >= x && r >= y && fx < frame.width && fy < frame.height) out.at(c, r) = frame.at(fx, fy);
        }
    return out;
}

int compare(const char* bmp_path, int left, int top, const char* diff_path, const int* at)
{
    Image frame, want, screen;
    Masks masks;
    if (!expected_frame(bmp_path, left, top, &frame) || !capture(&screen, &masks)) return 2;
    if (screen.width < WIDTH || screen.height < HEIGHT) {
        std::fprintf(stderr, "screen_check: the screen is %d x %d, smaller than %d x %d\n", screen.width, screen.height,
                     WIDTH, HEIGHT);
        return 2;
    }
    if (!masks.red || !masks.green || !masks.blue) {
        std::fprintf(stderr, "screen_check: the screen has no colour channels to compare (a pseudo-colour screen)\n");
        return 2;
    }
    const int width = at ? screen.width : WIDTH, height = at ? screen.height : HEIGHT;
    want = at ? scaled(frame, width, height, at[0], at[1], at[2]) : frame;
    int differing = 0, x0 = width, y0 = height, x1 = -1, y1 = -1;
    const unsigned long all = masks.red | masks.green | masks.blue;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long got = screen.raw[static_cast<std::size_t>(y) * screen.width + x] & all,
                                expected = encode(want.at(x, y), masks);
            if (got == expected) continue;
            if (++differing <= 10)
                std::printf("pixel (%d, %d): screen 0x%06lX, expected 0x%06lX (as the screen holds them)\n", x, y, got,
                            expected);
            x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        }
    if (differing == 0) {
        std::printf("screen matches the picture at (%d, %d) on black", left, top);
        if (at)
            std::printf(", the frame scaled by %d at (%d, %d) of the %d x %d screen", at[2], at[0], at[1], width,
                        height);
        std::printf(" (channels of %d, %d and %d bits)\n", __builtin_popcountl(masks.red),
                    __builtin_popcountl(masks.green), __builtin_popcountl(masks.blue));
        return 0;
    }
    std::printf("%d pixels differ, in the region (%d, %d) to (%d, %d)\n", differing, x0, y0, x1, y1);
    if (diff_path) {
        const int w = x1 - x0 + 1, h = y1 - y0 + 1;
        Image panel;
        panel.width = 3 * w + 4;
        panel.height = h;
        panel.pixels.assign(static_cast<std::size_t>(panel.width) * h, 0x808080);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const std::uint32_t s = screen.at(x0 + x, y0 + y), e = want.at(x0 + x, y0 + y);
                panel.at(x, y) = s;
                panel.at(w + 2 + x, y) = e;
                panel.at(2 * w + 4 + x - 0, y) =
                    (screen.raw[static_cast<std::size_t>(y0 + y) * screen.width + x0 + x] & all) == encode(e, masks)
                        ? 0
                        : 0xFF0000;
            }
        if (write_png(diff_path, panel))
            std::printf("differing region saved to %s (screen | expected | differences)\n", diff_path);
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "capture" && argc == 3) {
        Image screen;
        Masks masks;
        if (!capture(&screen, &masks)) return 2;
        return write_png(argv[2], screen) ? 0 : 2;
    }
    if (command == "pixels" && argc >= 4 && argc % 2 == 0) {
        Image screen;
        Masks masks;
        if (!capture(&screen, &masks)) return 2;
        for (int i = 2; i + 1 < argc; i += 2) {
            const int x = std::atoi(argv[i]), y = std::atoi(argv[i + 1]);
            if (x < 0 || y < 0 || x >= screen.width || y >= screen.height)
                std::printf("%d %d 0x------\n", x, y);
            else
                std::printf("%d %d 0x%06X\n", x, y, screen.at(x, y));
        }
        return 0;
    }
    if (command == "find" && argc == 3) {
        Image screen;
        Masks masks;
        if (!capture(&screen, &masks)) return 2;
        const auto colour = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 16));
        int x0 = screen.width, y0 = screen.height, x1 = -1, y1 = -1;
        for (int y = 0; y < screen.height; ++y)
            for (int x = 0; x < screen.width; ++x)
                if (screen.at(x, y) == colour)
                    x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
        if (x1 < 0) return 1;
        std::printf("%d %d %d %d\n", x0, y0, x1 - x0 + 1, y1 - y0 + 1);
        return 0;
    }
    if (command == "compare" && argc >= 5) {
        // The optional DIFF.png, then the optional "at X Y SCALE".
        int next = 5, at[3];
        const char* diff = argc > next && std::string(argv[next]) != "at" ? argv[next++] : nullptr;
        const bool placed = argc == next + 4 && std::string(argv[next]) == "at";
        if (placed)
            for (int i = 0; i < 3; ++i) at[i] = std::atoi(argv[next + 1 + i]);
        if (placed && at[2] >= 1 ? true : argc == next)
            return compare(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), diff, placed ? at : nullptr);
    }
    std::fprintf(stderr,
                 "usage: screen_check capture OUT.png\n"
                 "       screen_check find 0xRRGGBB\n"
                 "       screen_check pixels X Y [X Y ...]\n"
                 "       screen_check compare PICTURE.bmp LEFT TOP [DIFF.png] [at X Y SCALE]\n");
    return 2;
}
