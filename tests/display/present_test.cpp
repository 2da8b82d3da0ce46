// Presenting frames: every screen format, the surface's pitch, activation, lost
// surfaces, flip flags and the sleeps; the input the window procedure records.
#include <cstring>

#include "display_support.h"

namespace {

constexpr int W = 640, H = 480;

void open_fullscreen(const EmuPixelFormat& f)
{
    emu_test_set_modes({{W, H, f}});
    display_configure(0, "", 0, 0);
    ASSERT_EQ(display_open("T", W, H), 1);
}

void open_windowed(const EmuPixelFormat& f)
{
    emu_test_set_desktop({1024, 768, f});
    display_configure(0, "", 1, 0);
    ASSERT_EQ(display_open("T", W, H), 1);
}

// Delivers the screen's events queued so far, as a frame does.
void deliver()
{
    static const auto frame = test_frame(W, H);
    display_present(frame.data());
}

// Removes the messages that opening left (the first paint, for one), showing a black frame.
void settle()
{
    static const std::vector<Pixel> black(static_cast<std::size_t>(W) * H);
    display_present(black.data());
    emu_test_clear_log();
}

// Locks the offscreen surface (the caller unlocks it).
DDSURFACEDESC lock_offscreen()
{
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(display_state.offscreen->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    return desc;
}

// Marks every byte of the offscreen surface, row padding included, with 0xA5; gives its pitch.
LONG mark_offscreen()
{
    const DDSURFACEDESC desc = lock_offscreen();
    std::memset(desc.lpSurface, 0xA5, static_cast<std::size_t>(desc.lPitch) * desc.dwHeight);
    display_state.offscreen->Unlock(desc.lpSurface);
    return desc.lPitch;
}

}  // namespace

TEST_F(DisplayTest, FullScreenShowsTheFrameInEveryFormat)
{
    const auto frame = test_frame(W, H);
    for (const EmuPixelFormat& f : ALL_FORMATS) {
        SetUp();
        emu_test_set_pitch_padding(20);
        open_fullscreen(f);
        ASSERT_EQ(display_present(frame.data()), 1);
        const EmuScreenshot shot = emu_test_screen();
        ASSERT_EQ(shot.width, W);
        int wrong = 0;
        for (int i = 0; i < W * H && wrong < 3; ++i)
            if (shot.pixels[i] != on_screen(f, frame[i])) {
                ADD_FAILURE() << f.bits << "-bit format red 0x" << std::hex << f.red << ": pixel (" << std::dec << i % W
                              << ", " << i / W << ")";
                ++wrong;
            }
        display_close();
    }
}

TEST_F(DisplayTest, WindowedStretchesTheFrameIntoTheClientArea)
{
    const auto frame = test_frame(W, H);
    for (const EmuPixelFormat& f : ALL_FORMATS) {
        SetUp();
        open_windowed(f);
        ASSERT_EQ(display_present(frame.data()), 1);
        RECT client;
        ASSERT_TRUE(emu_test_screen_window(&client));
        const int cw = client.right - client.left, ch = client.bottom - client.top;  // 642 x 482
        const EmuScreenshot shot = emu_test_screen();
        int wrong = 0;
        for (int y = client.top - 1; y <= client.bottom && wrong < 3; ++y)
            for (int x = client.left - 1; x <= client.right && wrong < 3; ++x) {
                const bool inside = x >= client.left && x < client.right && y >= client.top && y < client.bottom;
                const std::uint32_t want =
                    inside ? on_screen(f, frame[(y - client.top) * H / ch * W + (x - client.left) * W / cw]) : 0;
                if (shot.at(x, y) != want) {
                    ADD_FAILURE() << f.bits << "-bit format red 0x" << std::hex << f.red << ": screen (" << std::dec
                                  << x << ", " << y << ")";
                    ++wrong;
                }
            }
        display_close();
    }
}

TEST_F(DisplayTest, PaddedPitchLeavesThePaddingUntouched)
{
    const int padding = 28;
    emu_test_set_pitch_padding(padding);
    open_windowed(emu_format(PIXEL_FORMAT_RGB888));
    ASSERT_EQ(mark_offscreen(), W * 3 + padding);

    const auto frame = test_frame(W, H);
    ASSERT_EQ(display_present(frame.data()), 1);
    const DDSURFACEDESC desc = lock_offscreen();
    const auto* bytes = static_cast<const BYTE*>(desc.lpSurface);
    for (int y = 0; y < H; ++y) {
        const auto want = reference_row(PIXEL_FORMAT_RGB888, &frame[y * W], W);
        ASSERT_EQ(std::memcmp(bytes + y * desc.lPitch, want.data(), want.size()), 0) << "row " << y;
        for (int i = W * 3; i < desc.lPitch; ++i) ASSERT_EQ(bytes[y * desc.lPitch + i], 0xA5) << "row " << y;
    }
    display_state.offscreen->Unlock(desc.lpSurface);
    display_close();
}

// A frame larger than the surface it is converted into is cut to the surface:
// no row or pixel lands beyond it.
TEST_F(DisplayTest, ConversionStopsAtTheLockedSurfacesEdges)
{
    const int padding = 16;
    emu_test_set_pitch_padding(padding);
    open_windowed(emu_format(PIXEL_FORMAT_XRGB8888));
    ASSERT_EQ(mark_offscreen(), W * 4 + padding);

    // As if the display were opened larger than the surface it got.
    display_state.width = W + 1;
    display_state.height = H + 1;
    const auto frame = test_frame(W + 1, H + 1);
    ASSERT_EQ(display_present(frame.data()), 1);
    const DDSURFACEDESC desc = lock_offscreen();
    const auto* bytes = static_cast<const BYTE*>(desc.lpSurface);
    for (int y = 0; y < H; ++y) {
        ASSERT_EQ(std::memcmp(bytes + y * desc.lPitch, &frame[y * (W + 1)], W * 4), 0) << "row " << y;
        for (int i = W * 4; i < desc.lPitch; ++i) ASSERT_EQ(bytes[y * desc.lPitch + i], 0xA5) << "row " << y;
    }
    display_state.offscreen->Unlock(desc.lpSurface);
    display_state.width = W;
    display_state.height = H;
    display_close();
}

// Without the window's client area there is nothing to copy into: no blit.
TEST_F(DisplayTest, RepaintWithoutAClientAreaCopiesNothing)
{
    open_windowed(emu_format(PIXEL_FORMAT_XRGB8888));
    settle();
    ASSERT_TRUE(emu_test_fail("GetClientRect"));
    display_repaint();
    EXPECT_EQ(count_calls("IDirectDrawSurface::Blt"), 0u);
    ASSERT_TRUE(emu_test_fail("ClientToScreen"));
    display_repaint();
    EXPECT_EQ(count_calls("IDirectDrawSurface::Blt"), 0u);
    display_repaint();
    EXPECT_EQ(count_calls("IDirectDrawSurface::Blt"), 1u) << "and with one, the copy";
    display_close();
}

TEST_F(DisplayTest, NothingIsDrawnWhileInactive)
{
    open_fullscreen(emu_format(PIXEL_FORMAT_XRGB8888));
    settle();
    const auto frame = test_frame(W, H);
    // Deactivation arrives through the message pump; nothing is drawn, restored or slept on.
    emu_test_post(display_state.window, WM_ACTIVATEAPP, FALSE, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(display_present(frame.data()), 1);
    EXPECT_EQ(display_state.active, 0);
    EXPECT_EQ(count_calls("IDirectDrawSurface::Restore"), 0u);
    EXPECT_EQ(count_calls("IDirectDrawSurface::Lock"), 0u);
    EXPECT_EQ(count_calls("IDirectDrawSurface::Flip"), 0u);
    EXPECT_EQ(emu_test_screen().at(5, 5), 0u);
    EXPECT_TRUE(emu_test_sleeps().empty()) << "an inactive full-screen call returns at once";

    emu_test_post(display_state.window, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_EQ(display_present(frame.data()), 1);
    EXPECT_EQ(count_calls("IDirectDrawSurface::Flip"), 1u);
    EXPECT_EQ(emu_test_screen().at(5, 5), frame[5 * W + 5]);
    display_close();
}

TEST_F(DisplayTest, FullScreenFrameCallsInOrderAndFlipFlags)
{
    open_fullscreen(emu_format(PIXEL_FORMAT_XRGB8888));
    settle();
    const auto frame = test_frame(W, H);
    ASSERT_EQ(display_present(frame.data()), 1);
    EXPECT_EQ(platform_calls(), (std::vector<std::string>{
                                    "PeekMessageA(hwnd256, 0x0, 0x0, 0x1)",
                                    "IDirectDrawSurface::Restore(primary)",
                                    "IDirectDrawSurface::Lock(backbuffer, NULL, size " +
                                        std::to_string(sizeof(DDSURFACEDESC)) + ", 0x1, NULL)",
                                    "IDirectDrawSurface::Unlock(backbuffer, pointer)",
                                    "IDirectDrawSurface::Flip(primary, NULL, 0x1)",
                                    "Sleep(0)",
                                }));
    display_set_flip_wait(0);
    ASSERT_EQ(display_present(frame.data()), 1);
    EXPECT_EQ(emu_test_calls({"IDirectDrawSurface::Flip"}).back(), "IDirectDrawSurface::Flip(primary, NULL, 0x8)");
    EXPECT_EQ(emu_test_sleeps(), (std::vector<DWORD>{0, 0}));
    display_close();
}

TEST_F(DisplayTest, WindowedFrameRestoresBothRepaintsAndSleepsTwice)
{
    open_windowed(emu_format(PIXEL_FORMAT_XRGB8888));
    settle();
    const auto frame = test_frame(W, H);
    ASSERT_EQ(display_present(frame.data()), 1);
    EXPECT_EQ(
        emu_test_calls({"IDirectDrawSurface::Restore", "IDirectDrawSurface::Blt", "Sleep", "IDirectDrawSurface::Flip"}),
        (std::vector<std::string>{
            "IDirectDrawSurface::Restore(primary)",
            "IDirectDrawSurface::Restore(offscreen)",
            "IDirectDrawSurface::Blt(primary, 191 152 833 634, offscreen, 0 0 640 480, 0x1000000, NULL)",
            "Sleep(0)",
            "Sleep(1)",
        }));
    emu_test_clear_log();
    emu_test_post(display_state.window, WM_ACTIVATEAPP, FALSE, 0);
    ASSERT_EQ(display_present(frame.data()), 1);
    EXPECT_EQ(emu_test_calls({"Sleep"}), std::vector<std::string>{"Sleep(1)"}) << "inactive windowed: 1 ms only";
    display_close();
}

// A window uncovered while the application is inactive shows its last frame
// again through WM_PAINT alone: no new frame is drawn.
TEST_F(DisplayTest, AnUncoveredWindowIsRepaintedThroughWmPaint)
{
    open_windowed(emu_format(PIXEL_FORMAT_XRGB8888));
    const auto frame = test_frame(W, H);
    ASSERT_EQ(display_present(frame.data()), 1);
    emu_test_post(display_state.window, WM_ACTIVATEAPP, FALSE, 0);
    ASSERT_EQ(display_present(frame.data()), 1);
    ASSERT_EQ(display_state.active, 0);
    emu_test_clear_log();
    const int shown = emu_test_frames_shown();
    emu_test_screen_event({.kind = ScreenEventKind::EXPOSE});
    const auto other = test_frame(W, H, 9);
    ASSERT_EQ(display_present(other.data()), 1);
    EXPECT_EQ(count_calls("IDirectDrawSurface::Lock"), 0u) << "inactive: nothing new drawn";
    EXPECT_EQ(emu_test_calls({"IDirectDrawSurface::Blt"}).size(), 1u) << "the repaint";
    EXPECT_EQ(emu_test_frames_shown(), shown + 1);
    RECT client;
    ASSERT_TRUE(emu_test_screen_window(&client));
    // Client pixel (10, 10) shows frame pixel (9, 9): 640 x 480 stretched to 642 x 482.
    EXPECT_EQ(emu_test_screen().at(client.left + 10, client.top + 10), frame[9 * W + 9]) << "the last frame";
    display_close();
}

TEST_F(DisplayTest, LostSurfaceFailsOnceThenRecovers)
{
    open_fullscreen(emu_format(PIXEL_FORMAT_RGB565));
    const auto frame = test_frame(W, H);
    emu_test_lose_surfaces();
    emu_test_fail("IDirectDrawSurface::Restore", 1, DDERR_WRONGMODE);
    EXPECT_EQ(display_present(frame.data()), 0) << "the lock fails while the surface is lost";
    EXPECT_EQ(count_calls("IDirectDrawSurface::Flip"), 0u);
    EXPECT_EQ(display_present(frame.data()), 1) << "restored on the next call";
    EXPECT_EQ(emu_test_screen().at(7, 3), on_screen(emu_format(PIXEL_FORMAT_RGB565), frame[3 * W + 7]));
    display_close();
}

TEST_F(DisplayTest, WindowProcedureRecordsMouseAndButtons)
{
    open_windowed(emu_format(PIXEL_FORMAT_XRGB8888));
    const HWND w = display_state.window;
    display_window_proc(w, WM_MOUSEMOVE, 0, MAKELPARAM(10, 20));
    EXPECT_EQ(display_mouse_x(), 10);
    EXPECT_EQ(display_mouse_y(), 20);
    display_window_proc(w, WM_MOUSEMOVE, 0, MAKELPARAM(0xFFFF, 0xFFFE));
    EXPECT_EQ(display_mouse_x(), 65535) << "taken unsigned";
    EXPECT_EQ(display_mouse_y(), 65534);
    display_window_proc(w, WM_LBUTTONDOWN, 0, 0);
    display_window_proc(w, WM_RBUTTONDOWN, 0, 0);
    display_window_proc(w, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(display_left_button(), 0);
    EXPECT_EQ(display_right_button(), 1);
    display_window_proc(w, WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(display_right_button(), 0);
    EXPECT_EQ(display_window_proc(w, WM_ACTIVATEAPP, 0, 0), 0);
    EXPECT_EQ(display_state.active, 0);
    // Through the queue, as the screen delivers them.
    emu_test_screen_event({.kind = ScreenEventKind::MOUSE_MOVE, .x = 33, .y = 44});
    emu_test_screen_event({.kind = ScreenEventKind::BUTTON_DOWN, .x = 33, .y = 44});
    Pixel none[1] = {};
    display_present(none);
    EXPECT_EQ(display_mouse_x(), 33);
    EXPECT_EQ(display_left_button(), 1);
    display_close();
}

// Keys are down from key-down to key-up, plain or as system keys (with Alt, and
// F10), by wParam's low 8 bits; codes outside 0 to 255 never; deactivation and
// closing let every key and button go. Only WM_KEYDOWN stays away from DefWindowProcA.
TEST_F(DisplayTest, WindowProcedureRecordsKeysUntilDeactivation)
{
    open_windowed(emu_format(PIXEL_FORMAT_XRGB8888));
    const auto down = [](int vk) { emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = vk}); };
    const auto up = [](int vk) { emu_test_screen_event({.kind = ScreenEventKind::KEY_UP, .key = vk}); };
    down('A'), down(VK_LEFT), deliver();
    EXPECT_EQ(display_key_down('A') + display_key_down(VK_LEFT), 2);
    for (int other : {int{'B'}, -1, 0x100 | 'A', 0x7FFFFFFF}) EXPECT_EQ(display_key_down(other), 0) << other;
    up('A'), down(VK_MENU), down('X'), deliver();  // Alt+X: system keys
    EXPECT_EQ(display_key_down('A'), 0);
    EXPECT_EQ(display_key_down('X') + display_key_down(VK_MENU), 2);
    up('X'), down(VK_F10), deliver();
    EXPECT_EQ(display_key_down('X'), 0);
    EXPECT_EQ(display_key_down(VK_F10), 1);
    display_window_proc(display_state.window, WM_KEYDOWN, 0x100 | 'Q', 0);
    EXPECT_EQ(display_key_down('Q'), 1) << "the low 8 bits";
    EXPECT_EQ(count_calls("DefWindowProcA(hwnd256, 0x100,"), 0u) << "a key-down stays away";
    for (const char* message : {"0x101", "0x104", "0x105"})
        EXPECT_GE(count_calls(std::string("DefWindowProcA(hwnd256, ") + message + ","), 1u) << message;
    display_window_proc(display_state.window, WM_LBUTTONDOWN, 0, 0);
    display_window_proc(display_state.window, WM_RBUTTONDOWN, 0, 0);
    emu_test_screen_event({.kind = ScreenEventKind::FOCUS_LOST});
    deliver();
    for (int vk : {VK_LEFT, VK_MENU, VK_F10, int{'Q'}}) EXPECT_EQ(display_key_down(vk), 0) << "stuck: " << vk;
    EXPECT_EQ(display_left_button() + display_right_button(), 0) << "buttons let go on deactivation";
    display_window_proc(display_state.window, WM_KEYDOWN, 'Z', 0);
    display_window_proc(display_state.window, WM_LBUTTONDOWN, 0, 0);
    display_window_proc(display_state.window, WM_RBUTTONDOWN, 0, 0);
    display_close();
    EXPECT_EQ(display_key_down('Z') + display_left_button() + display_right_button(), 0) << "let go on closing";
}

TEST_F(DisplayTest, EscapeAndCloseAreSwallowedWhenClosingIsNotAllowed)
{
    display_allow_close(0);
    open_windowed(emu_format(PIXEL_FORMAT_XRGB8888));
    emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = VK_ESCAPE});
    emu_test_screen_event({.kind = ScreenEventKind::CLOSE});
    emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = VK_MENU});  // Alt+F4
    emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = VK_F4});
    const auto frame = test_frame(W, H);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(display_present(frame.data()), 1);
    EXPECT_EQ(emu_test_live_windows(), 1);
    EXPECT_NE(display_state.ddraw, nullptr);
    EXPECT_EQ(count_calls("DefWindowProcA(hwnd256, 0x112,"), 1u) << "Alt+F4's close command came";
    EXPECT_EQ(count_calls("DefWindowProcA(hwnd256, 0x10,"), 0u) << "a close request never reaches DefWindowProcA";
    EXPECT_EQ(count_calls("DefWindowProcA(hwnd256, 0x100,"), 0u) << "nor does a key";
    display_close();
}

static void report_at_exit()
{
    std::fprintf(stderr, "live=%d windows=%d screensaver=%d mode_set=%d\n", emu_test_live_ddraw_objects(),
                 emu_test_live_windows(), emu_test_screensaver_active(), emu_test_display_mode_set());
}

TEST_F(DisplayTest, EscapeEndsTheProcessWhenClosingIsAllowed)
{
    open_fullscreen(emu_format(PIXEL_FORMAT_XRGB8888));
    emu_test_on_exit(report_at_exit);
    emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = VK_ESCAPE});
    const auto frame = test_frame(W, H);
    EXPECT_EXIT(display_present(frame.data()), ::testing::ExitedWithCode(0),
                "live=0 windows=0 screensaver=1 mode_set=0");
}

TEST_F(DisplayTest, CloseRequestEndsTheProcessWhenClosingIsAllowed)
{
    open_windowed(emu_format(PIXEL_FORMAT_XRGB8888));
    emu_test_on_exit(report_at_exit);
    emu_test_screen_event({.kind = ScreenEventKind::CLOSE});
    const auto frame = test_frame(W, H);
    EXPECT_EXIT(display_present(frame.data()), ::testing::ExitedWithCode(0), "live=0 windows=0 screensaver=1");
}

// Escape is a key-down whose wParam's low 8 bits are VK_ESCAPE.
TEST_F(DisplayTest, AKeyWhoseLowByteIsEscapeEndsTheProcess)
{
    open_windowed(emu_format(PIXEL_FORMAT_XRGB8888));
    emu_test_on_exit(report_at_exit);
    EXPECT_EXIT(display_window_proc(display_state.window, WM_KEYDOWN, 0x100 | VK_ESCAPE, 0),
                ::testing::ExitedWithCode(0), "live=0 windows=0 screensaver=1");
}
