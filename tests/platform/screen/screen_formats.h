#pragma once

// Shared by the screens' tests: a full-screen 640 x 480 display shows a known
// frame in each of the eight formats, one screen pixel per pixel, as read back
// from the screen. Needs the screen open; leaves full screen at the end.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/emu/common/pixel_format.h"
#include "platform/screen/screen.h"
#include "support/formats.h"

namespace {

// A test frame: colour bars of pure and mixed channels, a gradient, a marked corner.
std::uint32_t frame_pixel(int x, int y)
{
    if (x == 0 && y == 0) return 0x00FFFFFF;
    if (y < 240) {
        static const std::uint32_t BARS[8] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00,
                                              0x00FFFF, 0xFF00FF, 0x808080, 0x000000};
        return BARS[x / 80];
    }
    const std::uint32_t v = static_cast<std::uint32_t>(x * 255 / 639);
    return (v << 16) | ((255 - v) << 8) | static_cast<std::uint32_t>(y - 240);
}

// Encodes 0x00RRGGBB in `format`, keeping each channel's top bits.
std::uint32_t encode(const EmuPixelFormat& f, std::uint32_t rgb)
{
    auto place = [](std::uint32_t value8, DWORD mask) {
        if (!mask) return 0u;
        const int shift = __builtin_ctz(mask), width = __builtin_popcount(mask);
        return ((value8 >> (8 - width)) << shift) & mask;
    };
    return place(rgb >> 16 & 0xFF, f.red) | place(rgb >> 8 & 0xFF, f.green) | place(rgb & 0xFF, f.blue);
}

void drain_screen_events()
{
    ScreenEvent e;
    while (screen_poll(&e)) {
    }
}

void expect_a_frame_in_every_format()
{
    for (const EmuPixelFormat& f : ALL_FORMATS) {
        const EmuMode mode{640, 480, f};
        screen_fullscreen(&mode, "picture test");
        const int bpp = static_cast<int>(f.bits / 8), pitch = 640 * bpp + 12;
        std::vector<BYTE> image(static_cast<std::size_t>(pitch) * 480);
        std::vector<std::uint32_t> want(640 * 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                const std::uint32_t v = encode(f, frame_pixel(x, y));
                std::memcpy(&image[static_cast<std::size_t>(y) * pitch + x * bpp], &v, bpp);
                want[y * 640 + x] = emu_decode_pixel(f, &image[static_cast<std::size_t>(y) * pitch + x * bpp]);
            }
        // Shown twice, first with a row's first pixel and the last pixel altered: a window
        // manager may still be settling then, and a screen putting only what changed must put them.
        for (int i = 0; i < 2; ++i) {
            for (std::size_t at : {std::size_t{300} * pitch, std::size_t{479} * pitch + 639 * bpp}) image[at] ^= 0x55;
            screen_show({image.data(), pitch, 640, 480, f}, RECT{0, 0, 640, 480});
            drain_screen_events();
        }
        std::vector<std::uint32_t> shown;
        int w = 0, h = 0;
        ASSERT_TRUE(screen_read_back(&shown, &w, &h));
        ASSERT_EQ(w, 640) << "one screen pixel per pixel on a 640 x 480 screen";
        ASSERT_EQ(h, 480);
        // The screen may fill a short channel's low bits (by repeating its top
        // bits); only the bits the format holds are compared.
        const std::uint32_t kept = emu_decode_pixel(f, reinterpret_cast<const BYTE*>("\xff\xff\xff\xff"));
        int wrong = 0;
        for (int i = 0; i < 640 * 480 && wrong < 5; ++i)
            if ((shown[i] & kept) != want[i]) {
                ADD_FAILURE() << f.bits << "-bit format " << std::hex << f.red << ": pixel (" << std::dec << i % 640
                              << ", " << i / 640 << ") shows " << std::hex << shown[i] << ", want " << want[i];
                ++wrong;
            }
    }
    screen_fullscreen(nullptr, nullptr);
}

}  // namespace
