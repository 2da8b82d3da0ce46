// The web screen in a page (tests/web/browser_test.mjs opens it in Chromium): a
// full-screen display shows a known frame in each of the eight formats, read
// back from the canvas.
#include <gtest/gtest.h>

#include "platform/screen/screen_formats.h"

TEST(WebScreen, ShowsA640x480FrameInEveryFormat)
{
    ASSERT_TRUE(screen_open()) << "a page always has a screen";
    expect_a_frame_in_every_format();
}
