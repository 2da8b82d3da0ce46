// The presenter at its edges: calls it does not support, turned away cleanly (a
// second open, a configure while open, sizes no surface can have), and a
// window hanging over the desktop's edges.
#include <climits>

#include "display_support.h"

namespace {

// The screen shows `frame` one pixel for one (a full-screen 32-bit display).
bool shows(const std::vector<Pixel>& frame)
{
    const EmuScreenshot shot = emu_test_screen();
    return shot.width == 640 && shot.height == 480 &&
           shot.pixels == std::vector<std::uint32_t>(frame.begin(), frame.end());
}

}  // namespace

TEST_F(DisplayTest, ASecondOpenIsRefusedAndTheFirstDisplayGoesOn)
{
    display_configure(0, "", 0, 0);
    ASSERT_EQ(display_open("first", 640, 480), 1);
    const int live = emu_test_live_ddraw_objects();
    EXPECT_EQ(display_open("second", 640, 480), 0);
    EXPECT_EQ(emu_test_live_ddraw_objects(), live) << "nothing more was made";
    EXPECT_EQ(emu_test_live_windows(), 1);
    const std::vector<Pixel> frame = test_frame(640, 480);
    ASSERT_EQ(display_present(frame.data()), 1);
    EXPECT_TRUE(shows(frame));
    display_close();
    EXPECT_EQ(emu_test_live_ddraw_objects(), 0);
    EXPECT_EQ(emu_test_live_windows(), 0);
    // The screen is no longer held: full screen opens again.
    ASSERT_EQ(display_open("again", 640, 480), 1);
    display_close();
}

TEST_F(DisplayTest, ConfiguringWhileOpenChangesNothingUntilTheNextOpen)
{
    display_configure(0, "", 0, 0);
    ASSERT_EQ(display_open("full", 640, 480), 1);
    display_configure(0, "", 1, 1);
    const std::vector<Pixel> frame = test_frame(640, 480);
    ASSERT_EQ(display_present(frame.data()), 1);
    EXPECT_TRUE(shows(frame)) << "still full screen";
    display_close();
    ASSERT_EQ(display_open("window", 640, 480), 1);
    EXPECT_NE(display_state.offscreen, nullptr) << "the next open is windowed";
    display_close();
}

// No frame to show, or no display to show it on (before any open, after a
// close): refused on either path, and without a display nothing is called at all.
TEST_F(DisplayTest, PresentingNoFrameOrWithoutADisplayIsRefused)
{
    const std::vector<Pixel> frame = test_frame(640, 480);
    for (int windowed = 0; windowed < 2; ++windowed) {
        display_configure(0, "", windowed, 0);
        for (const Pixel* any : {frame.data(), static_cast<const Pixel*>(nullptr)})
            EXPECT_EQ(display_present(any), 0) << "before any open";
        EXPECT_TRUE(platform_calls().empty()) << platform_calls().front();
        ASSERT_EQ(display_open("none", 640, 480), 1);
        EXPECT_EQ(display_present(nullptr), 0);
        display_close();
        emu_test_clear_log();
        EXPECT_EQ(display_present(frame.data()), 0) << "after a close";
        EXPECT_TRUE(platform_calls().empty()) << platform_calls().front();
    }
}

// On every path: each size no surface can have ends the open in a clean 0.
TEST_F(DisplayTest, SizesNoSurfaceCanHaveAreRefused)
{
    const int sizes[][2] = {{INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, {0, 480}, {640, -1}, {INT_MAX - 2, 480}};
    for (int path = 0; path < 3; ++path)
        for (const auto& size : sizes) {
            display_configure(0, "", path > 0, path == 2);
            EXPECT_EQ(display_open("huge", size[0], size[1]), 0) << path << ": " << size[0] << " x " << size[1];
            display_close();
            EXPECT_EQ(emu_test_live_ddraw_objects(), 0);
            EXPECT_EQ(emu_test_live_windows(), 0);
        }
}

// A window larger than the desktop hangs over its edges: each frame is copied
// into the part on the screen, and no further.
TEST_F(DisplayTest, AWindowLargerThanTheDesktopShowsThePartOnTheScreen)
{
    emu_test_set_desktop({320, 240, emu_format(PIXEL_FORMAT_XRGB8888)});
    display_configure(0, "", 1, 0);
    ASSERT_EQ(display_open("big", 640, 480), 1);
    const std::vector<Pixel> frame = test_frame(640, 480);
    ASSERT_EQ(display_present(frame.data()), 1);
    // The client area starts at (-161, -112): the screen's corner shows client
    // pixel (161, 112), which the stretch takes from frame pixel (160, 111).
    const EmuScreenshot shot = emu_test_screen();
    ASSERT_EQ(shot.width, 320);
    EXPECT_EQ(shot.at(0, 0), frame[111 * 640 + 160]);
    display_close();
}
