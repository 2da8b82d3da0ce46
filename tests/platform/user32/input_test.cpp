// USER32's input: key states, and the messages the screen's events become.

#include "platform/platform_support.h"

TEST_F(Platform, KeyStateBits)
{
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = VK_ESCAPE});
    EXPECT_EQ(static_cast<WORD>(GetAsyncKeyState(VK_ESCAPE)), 0x8001) << "down, and pressed since the last query";
    EXPECT_EQ(static_cast<WORD>(GetAsyncKeyState(VK_ESCAPE)), 0x8000) << "the query cleared bit 0";
    emu_test_screen_event({.kind = ScreenEventKind::KEY_UP, .key = VK_ESCAPE});
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = VK_ESCAPE});
    emu_test_screen_event({.kind = ScreenEventKind::KEY_UP, .key = VK_ESCAPE});
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 1) << "pressed and released between two queries";
    emu_test_script_key_states(VK_ESCAPE, {0x7FFF, -32767});
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0x7FFF);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), -32767);
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
}

// Querying a key reads the keyboard at once; activation and input messages
// wait for the program's next message retrieval, where procedures run.
TEST_F(Platform, KeyQueriesRunNoWindowProcedure)
{
    HWND window =
        CreateWindowExA(0, "test", "t", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    seen.clear();
    emu_test_screen_event({.kind = ScreenEventKind::FOCUS_LOST});
    emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = VK_ESCAPE});
    EXPECT_EQ(static_cast<WORD>(GetAsyncKeyState(VK_ESCAPE)), 0x8001);
    EXPECT_TRUE(seen.empty()) << "a key query ran a window procedure";
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(activations(), std::vector<WPARAM>{FALSE});
}

// Key messages carry the repeat count, scan code, Alt context, previous state
// and transition in lParam, and are WM_SYSKEY* while Alt is held; mouse
// messages carry the buttons and modifier keys down in wParam.
TEST_F(Platform, InputMessagesCarryWhatWindowsPutsInThem)
{
    HWND window =
        CreateWindowExA(0, "test", "t", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    using K = ScreenEventKind;
    const ScreenEvent events[] = {
        {K::KEY_DOWN, VK_ESCAPE, 0, 0, 0}, {K::KEY_DOWN, VK_ESCAPE, 0, 0, 0}, {K::KEY_UP, VK_ESCAPE, 0, 0, 0},
        {K::KEY_DOWN, VK_MENU, 0, 0, 0},   {K::KEY_DOWN, VK_F4, 0, 0, 0},     {K::KEY_UP, VK_F4, 0, 0, 0},
        {K::KEY_UP, VK_MENU, 0, 0, 0},     {K::KEY_DOWN, VK_SHIFT, 0, 0, 0},  {K::BUTTON_DOWN, 0, 3, 4, 0},
        {K::MOUSE_MOVE, 0, 5, 6, 0},       {K::BUTTON_UP, 0, 5, 6, 0},        {K::KEY_DOWN, VK_LEFT, 0, 0, 0},
    };
    for (const ScreenEvent& e : events) emu_test_screen_event(e);
    struct Want {
        UINT message;
        WPARAM wParam;
        DWORD lParam;
    };
    const Want want[] = {
        {WM_KEYDOWN, VK_ESCAPE, 0x00010001},
        {WM_KEYDOWN, VK_ESCAPE, 0x40010001},
        {WM_KEYUP, VK_ESCAPE, 0xC0010001},
        {WM_SYSKEYDOWN, VK_MENU, 0x20380001},
        {WM_SYSKEYDOWN, VK_F4, 0x203E0001},
        {WM_SYSKEYUP, VK_F4, 0xE03E0001},
        {WM_SYSKEYUP, VK_MENU, 0xE0380001},
        {WM_KEYDOWN, VK_SHIFT, 0x002A0001},
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(3, 4)},
        {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, MAKELPARAM(5, 6)},
        {WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(5, 6)},
        {WM_KEYDOWN, VK_LEFT, 0x014B0001},
    };
    for (const Want& w : want) {
        ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, w.message) << std::hex << w.message;
        EXPECT_EQ(msg.wParam, w.wParam) << std::hex << w.message;
        EXPECT_EQ(static_cast<DWORD>(msg.lParam), w.lParam) << std::hex << w.message;
    }

    // Alt+F4 from the keyboard, left to the default procedure, closes the window.
    emu_test_screen_event({K::KEY_DOWN, VK_MENU, 0, 0, 0});
    emu_test_screen_event({K::KEY_DOWN, VK_F4, 0, 0, 0});
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_FALSE(IsWindow(window));
}
