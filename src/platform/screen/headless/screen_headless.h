#pragma once

// The headless screen's state: a display in memory. Tests script it and read
// it through the emulation's test control, which is the only one to include this.

#include <deque>
#include <vector>

#include "platform/screen/screen.h"

struct HeadlessScreen {
    bool available = true;
    EmuMode desktop{1024, 768, emu_format(PIXEL_FORMAT_XRGB8888)};
    std::vector<EmuMode> modes = {
        {640, 480, emu_format(PIXEL_FORMAT_XRGB8888)}, {640, 480, emu_format(PIXEL_FORMAT_RGB888)},
        {640, 480, emu_format(PIXEL_FORMAT_RGB565)},   {800, 600, emu_format(PIXEL_FORMAT_XRGB8888)},
        {800, 600, emu_format(PIXEL_FORMAT_RGB565)},   {1024, 768, emu_format(PIXEL_FORMAT_XRGB8888)},
        {1024, 768, emu_format(PIXEL_FORMAT_RGB565)}};
    int answer = IDYES;
    std::deque<ScreenEvent> events;
    int frames = 0;  // images shown
    bool window_shown = false;
    RECT client{};
    bool fullscreen = false;
    ScreenImage last{};
    RECT last_visible{};
    void (*on_show)() = nullptr;
    // A clock of its own, which sleeping moves on at once.
    std::int64_t clock_us = 0;
    int refresh_rate = 60;
    bool show_waits = false;
    bool refuses = false;  // can show nothing: full screen and every image refused
};

HeadlessScreen& screen_headless();
