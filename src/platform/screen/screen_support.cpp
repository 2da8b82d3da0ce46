// What the screens share: the full-screen modes of a real display, zeroed
// memory for surfaces, and the part of an image a screen can show.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/screen/screen.h"

// 640 x 480, 800 x 600, 1024 x 768 and the desktop's own size, each in 32, 24 and 16 bits.
std::vector<EmuMode> screen_usual_modes(int desktop_width, int desktop_height)
{
    std::vector<EmuMode> modes;
    const EmuPixelFormat formats[] = {emu_format(PIXEL_FORMAT_XRGB8888), emu_format(PIXEL_FORMAT_RGB888),
                                      emu_format(PIXEL_FORMAT_RGB565)};
    const int sizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {desktop_width, desktop_height}};
    for (const auto& size : sizes)
        for (const EmuPixelFormat& f : formats) modes.push_back({size[0], size[1], f});
    return modes;
}

BYTE* screen_zeroed_pixels(std::size_t bytes)
{
    auto* pixels = static_cast<BYTE*>(::operator new(bytes ? bytes : 1, std::nothrow));
    if (pixels) std::memset(pixels, 0, bytes);
    return pixels;
}

ScreenPart screen_visible_part(const ScreenImage& image, const RECT& visible)
{
    const int left = std::max<int>(0, visible.left), top = std::max<int>(0, visible.top);
    const int width = std::min<int>(image.width, visible.right) - left;
    const int height = std::min<int>(image.height, visible.bottom) - top;
    if (width <= 0 || height <= 0) return {};
    return {
        .left = left, .top = top, .width = width, .height = height, .x = left - visible.left, .y = top - visible.top};
}
