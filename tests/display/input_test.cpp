// The input the window procedure records: the mouse, its buttons and the keys.
#include "display_support.h"

namespace {

constexpr int W = 640, H = 480;

void open_windowed()
{
    emu_test_set_desktop({1024, 768, emu_format_xrgb8888()});
    display_configure(0, "", 1, 0);
    ASSERT_EQ(display_open("T", W, H), 1);
}

// Delivers the screen's events queued so far, as a frame does.
void deliver()
{
    static const auto frame = test_frame(W, H);
    display_present(frame.data());
}

}  // namespace

TEST_F(DisplayTest, WindowProcedureRecordsMouseAndButtons)
{
    open_windowed();
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
    emu_test_screen_event({ScreenEventKind::MOUSE_MOVE, 0, 33, 44, 0});
    emu_test_screen_event({ScreenEventKind::BUTTON_DOWN, 0, 33, 44, 0});
    deliver();
    EXPECT_EQ(display_mouse_x(), 33);
    EXPECT_EQ(display_left_button(), 1);
    display_close();
}

// Keys are down from their key-down to their key-up, plain or as system keys
// (with Alt, and F10), taken from wParam's low 8 bits; codes outside 0 to 255
// are never down; deactivation and closing let every key go. Only WM_KEYDOWN
// stays away from DefWindowProcA.
TEST_F(DisplayTest, WindowProcedureRecordsKeysUntilDeactivation)
{
    open_windowed();
    const auto key = [](ScreenEventKind kind, int vk) { emu_test_screen_event({kind, vk, 0, 0, 0}); };
    key(ScreenEventKind::KEY_DOWN, 'A');
    key(ScreenEventKind::KEY_DOWN, VK_LEFT);
    deliver();
    EXPECT_EQ(display_key_down('A'), 1);
    EXPECT_EQ(display_key_down(VK_LEFT), 1);
    EXPECT_EQ(display_key_down('B'), 0);
    for (int outside : {-1, 0x100 | 'A', 0x7FFFFFFF}) EXPECT_EQ(display_key_down(outside), 0) << outside;
    key(ScreenEventKind::KEY_UP, 'A');
    key(ScreenEventKind::KEY_DOWN, VK_MENU);
    key(ScreenEventKind::KEY_DOWN, 'X');
    deliver();
    EXPECT_EQ(display_key_down('A'), 0);
    EXPECT_EQ(display_key_down('X'), 1) << "with Alt";
    EXPECT_EQ(display_key_down(VK_MENU), 1);
    key(ScreenEventKind::KEY_UP, 'X');
    key(ScreenEventKind::KEY_DOWN, VK_F10);
    deliver();
    EXPECT_EQ(display_key_down('X'), 0);
    EXPECT_EQ(display_key_down(VK_F10), 1);
    display_window_proc(display_state.window, WM_KEYDOWN, 0x100 | 'Q', 0);
    EXPECT_EQ(display_key_down('Q'), 1) << "the low 8 bits";
    EXPECT_EQ(count_calls("DefWindowProcA(hwnd256, 0x100,"), 0u) << "a key-down stays away";
    for (const char* message : {"0x101", "0x104", "0x105"})
        EXPECT_GE(count_calls(std::string("DefWindowProcA(hwnd256, ") + message + ","), 1u) << message;

    emu_test_screen_event({ScreenEventKind::FOCUS_LOST, 0, 0, 0, 0});
    deliver();
    for (int vk : {VK_LEFT, VK_MENU, VK_F10, int{'Q'}}) EXPECT_EQ(display_key_down(vk), 0) << "stuck: " << vk;

    display_window_proc(display_state.window, WM_KEYDOWN, 'Z', 0);
    display_close();
    EXPECT_EQ(display_key_down('Z'), 0) << "let go on closing";
}
