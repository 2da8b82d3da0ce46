// USER32's windows: frames and metrics, activation sent from inside the
// calls that cause it, coordinates computed in 32 bits as Windows does.

#include <climits>

#include "platform/platform_support.h"

TEST_F(Platform, FrameSizesAreOneConsistentSet)
{
    RECT r{0, 0, 640, 480};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE));
    EXPECT_EQ(r.right - r.left, 648);
    EXPECT_EQ(r.bottom - r.top, 507);
    EXPECT_EQ(GetSystemMetrics(SM_CXDLGFRAME), 3);
    EXPECT_EQ(GetSystemMetrics(SM_CYDLGFRAME), 3);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);

    HWND framed = CreateWindowExA(0, "test", "t", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 188, 130, 648, 507, nullptr,
                                  nullptr, nullptr, nullptr);
    RECT client;
    ASSERT_TRUE(GetClientRect(framed, &client));
    EXPECT_EQ(client.right, 642);
    EXPECT_EQ(client.bottom, 482);
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(framed, &origin));
    EXPECT_EQ(origin.x, 188 + 3);
    EXPECT_EQ(origin.y, 130 + 3 + 19);

    HWND bare =
        CreateWindowExA(0, "test", "t", WS_POPUP | WS_VISIBLE, 10, 20, 642, 482, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(GetClientRect(bare, &client));
    EXPECT_EQ(client.right, 642);
    EXPECT_EQ(client.bottom, 482);
}

TEST_F(Platform, ActivationIsSentFromInsideTheCallsThatCauseIt)
{
    HWND window = CreateWindowExA(0, "test", "t", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(activations().empty()) << "a hidden window is not active";
    ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_EQ(activations(), std::vector<WPARAM>{TRUE}) << "sent during ShowWindow";
    ShowWindow(window, SW_SHOWNORMAL);
    EXPECT_EQ(activations().size(), 1u) << "no second activation while active";
    DestroyWindow(window);
    EXPECT_EQ(activations(), (std::vector<WPARAM>{TRUE, FALSE})) << "the last window going deactivates";

    seen.clear();
    HWND full = popup();
    IDirectDraw* ddraw = create_ddraw();
    EXPECT_TRUE(activations().empty());
    ASSERT_EQ(ddraw->SetCooperativeLevel(full, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    EXPECT_EQ(activations(), std::vector<WPARAM>{TRUE}) << "sent during SetCooperativeLevel";
    emu_test_screen_event({.kind = ScreenEventKind::FOCUS_LOST});
    MSG msg;
    while (PeekMessageA(&msg, full, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(activations(), (std::vector<WPARAM>{TRUE, FALSE}));
    ddraw->Release();
}

// Coordinates near the ends of the 32-bit range are computed as Windows does,
// in 32 bits that wrap, never overflowing.
TEST_F(Platform, ExtremeCoordinatesWrapAsWindowsComputesThem)
{
    RECT r{0, 0, INT_MAX, INT_MAX};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE));
    EXPECT_EQ(r.left, -4);
    EXPECT_EQ(r.top, -23);
    EXPECT_EQ(r.right, INT_MIN + 3);
    r = {INT_MIN, INT_MIN, 0, 0};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, TRUE));
    EXPECT_EQ(r.left, INT_MAX - 3);
    EXPECT_EQ(r.top, INT_MAX - 41);
    HWND far = CreateWindowExA(0, "test", "far", WS_OVERLAPPEDWINDOW, INT_MAX, INT_MAX, INT_MAX, INT_MAX, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(far, nullptr);
    RECT client{};
    EXPECT_TRUE(GetClientRect(far, &client));
    EXPECT_GE(client.right, 0);
    POINT p{10, 10};
    ASSERT_TRUE(ClientToScreen(far, &p));
    EXPECT_EQ(p.x, INT_MIN + 13) << "INT_MAX + 4 + 10, in 32 bits";
}

namespace {
UINT destroy_on = 0;
LRESULT CALLBACK self_destroying_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == destroy_on) DestroyWindow(window);
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

// A window its procedure destroys while it is being created is not returned.
TEST_F(Platform, AWindowDestroyedWhileBeingCreatedIsNotReturned)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = self_destroying_proc;
    wc.lpszClassName = "self-destroying";
    ASSERT_NE(RegisterClassA(&wc), 0);
    for (const UINT message : {static_cast<UINT>(WM_NCCREATE), static_cast<UINT>(WM_CREATE)}) {
        destroy_on = message;
        EXPECT_EQ(CreateWindowExA(0, "self-destroying", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
                  nullptr)
            << "destroyed in message 0x" << std::hex << message;
    }
    EXPECT_EQ(emu_test_live_windows(), 0);
}
