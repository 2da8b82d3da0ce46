// The full-screen modes the SDL2 and web screens offer: 640 x 480, 800 x 600,
// 1024 x 768 and the desktop's own size, each in 32, 24 and 16 bits.
#include "platform/screen/screen.h"

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
