// Every platform call that display_open makes, failing on each path: the open
// stops at that step with 0, and display_close gives everything back.
#include "display_support.h"

namespace {

struct Failure {
    const char* call;
    int nth;
    int times;
    const char* stops_at;  // the last platform call of the failed open
};

enum Path { FULLSCREEN, FRAMED, BORDERLESS };

void configure(Path path)
{
    if (path == FULLSCREEN)
        display_configure(0, "", 0, 0);
    else
        display_configure(0, "", 1, path == BORDERLESS);
}

void expect_everything_given_back(const std::string& what)
{
    EXPECT_EQ(emu_test_live_ddraw_objects(), 0) << what;
    EXPECT_EQ(emu_test_loaded_libraries(), 0) << what;
    EXPECT_EQ(emu_test_live_windows(), 0) << what;
    EXPECT_FALSE(emu_test_display_mode_set()) << what << ": display mode restored";
    EXPECT_TRUE(emu_test_screensaver_active()) << what;
    EXPECT_TRUE(emu_test_cursor_visible()) << what;
}

void check(Path path, const Failure& f)
{
    emu_test_reset();
    display_state = DisplayState{};
    configure(path);
    emu_test_fail(f.call, f.nth, DDERR_GENERIC, f.times);
    const std::string what = std::string(f.call) + " #" + std::to_string(f.nth) + " on path " + std::to_string(path);
    EXPECT_EQ(display_open("T", 640, 480), 0) << what;
    const auto calls = platform_calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back().rfind(f.stops_at, 0), 0u) << what << ": stopped at " << calls.back();
    EXPECT_EQ(count_calls("SystemParametersInfoA"), 0u) << what;
    display_close();
    expect_everything_given_back(what);
    display_close();  // twice in a row is safe
    expect_everything_given_back(what + ", closed twice");
}

}  // namespace

TEST(DisplayFailure, EveryFullScreenStep)
{
    const Failure failures[] = {
        {"LoadLibraryA", 1, 1, "LoadLibraryA"},
        {"GetProcAddress", 1, 1, "GetProcAddress"},
        {"DirectDrawCreate", 1, 1, "DirectDrawCreate"},
        // Results not examined: the failure shows at the next examined step.
        {"RegisterClassA", 1, 1, "IDirectDraw::SetCooperativeLevel"},
        {"CreateWindowExA", 1, 1, "IDirectDraw::SetCooperativeLevel"},
        {"IDirectDraw::SetCooperativeLevel", 1, 1, "IDirectDraw::SetCooperativeLevel"},
        {"IDirectDraw::SetDisplayMode", 1, 3, "IDirectDraw::SetDisplayMode(640, 480, 16)"},
        {"IDirectDraw::CreateSurface", 1, 3, "IDirectDraw::CreateSurface"},
        {"IDirectDrawSurface::GetAttachedSurface", 1, 1, "IDirectDrawSurface::GetAttachedSurface"},
        {"IDirectDrawSurface::GetPixelFormat", 1, 1, "IDirectDrawSurface::GetPixelFormat"},
    };
    for (const Failure& f : failures) check(FULLSCREEN, f);
}

TEST(DisplayFailure, EveryWindowedStep)
{
    const Failure failures[] = {
        {"LoadLibraryA", 1, 1, "LoadLibraryA"},
        {"GetProcAddress", 1, 1, "GetProcAddress"},
        {"DirectDrawCreate", 1, 1, "DirectDrawCreate"},
        {"IDirectDraw::SetCooperativeLevel", 1, 1, "IDirectDraw::SetCooperativeLevel"},
        {"IDirectDraw::CreateSurface", 1, 1, "IDirectDraw::CreateSurface"},
        {"IDirectDraw::CreateSurface", 2, 1, "IDirectDraw::CreateSurface"},
        {"IDirectDraw::CreateClipper", 1, 1, "IDirectDraw::CreateClipper"},
        {"IDirectDrawClipper::SetHWnd", 1, 1, "IDirectDrawClipper::SetHWnd"},
        {"IDirectDrawSurface::SetClipper", 1, 1, "IDirectDrawSurface::SetClipper"},
        {"IDirectDrawSurface::GetPixelFormat", 1, 1, "IDirectDrawSurface::GetPixelFormat"},
    };
    for (Path path : {FRAMED, BORDERLESS})
        for (const Failure& f : failures) check(path, f);
}

TEST(DisplayFailure, CloseAfterAFailedLoadCallsNoDirectDrawMethod)
{
    emu_test_reset();
    display_state = DisplayState{};
    emu_test_fail("LoadLibraryA");
    EXPECT_EQ(display_open("T", 640, 480), 0);
    emu_test_clear_log();
    display_close();
    for (const std::string& call : platform_calls()) EXPECT_EQ(call.find("IDirectDraw"), std::string::npos) << call;
    EXPECT_TRUE(emu_test_screensaver_active());
}

TEST(DisplayFailure, NoDisplayAtAll)
{
    emu_test_reset();
    display_state = DisplayState{};
    emu_test_set_display_available(false);
    display_configure(0, "", 0, 0);
    EXPECT_EQ(display_open("T", 640, 480), 0);
    display_close();
    expect_everything_given_back("no display");
}

TEST(DisplayFailure, CloseWithoutOpenIsSafe)
{
    emu_test_reset();
    display_state = DisplayState{};
    display_close();
    display_close();
    expect_everything_given_back("never opened");
    // Opened (and so activated) and closed again: nothing to present on.
    configure(FRAMED);
    ASSERT_EQ(display_open("closed", 640, 480), 1);
    display_close();
    const std::vector<Pixel> frame(640 * 480);
    EXPECT_EQ(display_present(frame.data()), 0) << "nothing to present on";
}
