#pragma once

// Shared by the presenter's tests: a fresh emulated platform and presenter per
// test, the platform calls as logged, and frames with their expected look.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "convert/convert_reference.h"
#include "display/display.h"
#include "display/display_state.h"
#include "platform/emu/test_control/emu_test_control.h"
#include "support/formats.h"

struct DisplayTest : ::testing::Test {
    void SetUp() override
    {
        emu_test_reset();
        display_state = DisplayState{};
    }
};

// The logged platform calls, without those of the default window procedure.
inline std::vector<std::string> platform_calls()
{
    std::vector<std::string> out;
    for (const EmuCall& c : emu_test_log())
        if (c.text.rfind("DefWindowProcA", 0) != 0) out.push_back(c.text);
    return out;
}

inline std::size_t count_calls(const std::string& prefix) { return emu_test_calls({prefix}).size(); }

// A frame whose pixels differ in every channel (top byte zero, as the program's are).
inline std::vector<Pixel> test_frame(int width, int height, unsigned seed = 5)
{
    std::mt19937 rng(seed);
    std::vector<Pixel> frame(static_cast<std::size_t>(width) * height);
    for (Pixel& p : frame) p = rng() & 0x00FFFFFF;
    return frame;
}

// The format index of the reference for a screen format.
inline int reference_format(const EmuPixelFormat& f)
{
    for (int i = 0; i < PIXEL_FORMAT_COUNT; ++i)
        if (emu_same_format(ALL_FORMATS[i], f)) return i;
    return -1;
}

// How a frame pixel looks on a screen of format `f`: converted by the reference
// formula, then decoded as the screen decodes it.
inline std::uint32_t on_screen(const EmuPixelFormat& f, Pixel p)
{
    const auto bytes = reference_row(reference_format(f), &p, 1);
    return emu_decode_pixel(f, bytes.data());
}
