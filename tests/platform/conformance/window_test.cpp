// Window classes, creation and destruction, frames, showing and activation.
#include <algorithm>
#include <string>

#include "platform/conformance/conformance.h"

namespace {

constexpr DWORD FIXED_FRAME = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

// A class name is registered once, and can't be unregistered while a window of it exists.
TEST_F(Conformance, ClassNamesAreUniqueAndUnregisterWaitsForTheirWindows)
{
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = conformance_proc;
    wc.lpszClassName = CLASS;
    EXPECT_EQ(RegisterClassA(&wc), 0) << "a second class of the same name";
    HWND w = create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(UnregisterClassA(CLASS, nullptr)) << "a window of the class exists";
    ASSERT_TRUE(DestroyWindow(w));
    EXPECT_TRUE(UnregisterClassA(MAKEINTATOM(atom), nullptr)) << "by its atom";
    EXPECT_FALSE(UnregisterClassA(CLASS, nullptr)) << "no longer registered";
    EXPECT_EQ(CreateWindowExA(0, CLASS, "x", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    atom = RegisterClassA(&wc);
    EXPECT_NE(atom, 0) << "the name is free again";
}

// WM_NCCREATE, then WM_CREATE, each with a CREATESTRUCT of CreateWindowExA's
// arguments; FALSE from WM_NCCREATE or -1 from WM_CREATE make the creation fail.
TEST_F(Conformance, CreationSendsNcCreateThenCreateWithTheCreateStruct)
{
    struct Seen {
        UINT message;
        CREATESTRUCTA cs;
        std::string name, class_name;
    };
    std::vector<Seen> creates;
    LRESULT nccreate_result = TRUE, create_result = 0;
    react = [&](HWND, UINT m, WPARAM, LPARAM l, LRESULT* result) {
        if (m != WM_NCCREATE && m != WM_CREATE) return false;
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(l);
        creates.push_back({m, *cs, cs->lpszName, cs->lpszClass});
        if (m == WM_NCCREATE && nccreate_result == TRUE) return false;  // DefWindowProcA allows it
        *result = m == WM_NCCREATE ? nccreate_result : create_result;
        return true;
    };
    int marker = 0;
    HWND w = create(WS_POPUP, 11, 22, 33, 44, &marker);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_EQ(creates[0].message, static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(creates[1].message, static_cast<UINT>(WM_CREATE));
    for (const Seen& s : creates) {
        EXPECT_EQ(s.cs.lpCreateParams, &marker) << "CreateWindowExA's last argument";
        EXPECT_EQ(s.cs.x, 11);
        EXPECT_EQ(s.cs.y, 22);
        EXPECT_EQ(s.cs.cx, 33);
        EXPECT_EQ(s.cs.cy, 44);
        EXPECT_EQ(static_cast<DWORD>(s.cs.style) & WS_POPUP, static_cast<DWORD>(WS_POPUP));
        EXPECT_EQ(s.name, "conformance");
        EXPECT_EQ(s.class_name, CLASS);
        EXPECT_EQ(s.cs.hwndParent, nullptr);
    }

    nccreate_result = FALSE;
    EXPECT_EQ(create(WS_POPUP, 0, 0, 10, 10), nullptr) << "WM_NCCREATE refused";
    nccreate_result = TRUE;
    create_result = -1;
    received.clear();
    EXPECT_EQ(create(WS_POPUP, 0, 0, 10, 10), nullptr) << "WM_CREATE refused";
    EXPECT_FALSE(seen(WM_NCDESTROY).empty()) << "the half-made window is destroyed";
}

// AdjustWindowRect gives the outer size of a window whose client area has the
// given size; a fixed frame is the dialog frame on each side, below a caption.
TEST_F(Conformance, FramesFollowAdjustWindowRectAndTheFrameMetrics)
{
    RECT outer{0, 0, 640, 480};
    ASSERT_TRUE(AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE));
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    EXPECT_GT(w, 640);
    EXPECT_GT(h, 480);
    RECT client;

    HWND sizable = create(WS_OVERLAPPEDWINDOW, 50, 60, w, h);
    ASSERT_NE(sizable, nullptr);
    ASSERT_TRUE(GetClientRect(sizable, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 640);
    EXPECT_EQ(client.bottom, 480);

    const int dlg_x = GetSystemMetrics(SM_CXDLGFRAME), dlg_y = GetSystemMetrics(SM_CYDLGFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    HWND fixed = create(FIXED_FRAME, 50, 60, w, h);
    ASSERT_NE(fixed, nullptr);
    ASSERT_TRUE(GetClientRect(fixed, &client));
    EXPECT_EQ(client.right, w - 2 * dlg_x);
    EXPECT_EQ(client.bottom, h - 2 * dlg_y - caption);
    POINT origin{0, 0};
    ASSERT_TRUE(ClientToScreen(fixed, &origin));
    EXPECT_EQ(origin.x, 50 + dlg_x);
    EXPECT_EQ(origin.y, 60 + dlg_y + caption);

    HWND popup = create(WS_POPUP, 70, 80, 90, 100);
    ASSERT_TRUE(GetClientRect(popup, &client));
    EXPECT_EQ(client.right, 90);
    EXPECT_EQ(client.bottom, 100);
    origin = {5, 6};
    ASSERT_TRUE(ClientToScreen(popup, &origin));
    EXPECT_EQ(origin.x, 75);
    EXPECT_EQ(origin.y, 86);

    RECT same{0, 0, 640, 480};
    ASSERT_TRUE(AdjustWindowRect(&same, WS_POPUP, FALSE));
    EXPECT_EQ(same.right - same.left, 640) << "a popup has no frame";
    EXPECT_EQ(same.bottom - same.top, 480);
}

// SW_SHOWNORMAL activates and shows the window, sending WM_SHOWWINDOW and, as
// the application becomes active, WM_ACTIVATEAPP from inside the call; the
// result tells whether the window was visible before.
TEST_F(Conformance, ShowWindowShowsActivatesAndTellsWhetherItWasVisible)
{
    HWND w = create(FIXED_FRAME, 100, 100, 200, 150);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(seen(WM_SHOWWINDOW).empty()) << "created hidden";
    EXPECT_FALSE(ShowWindow(w, SW_SHOWNORMAL)) << "was hidden";
    const auto shows = seen(WM_SHOWWINDOW, w);
    ASSERT_EQ(shows.size(), 1u);
    EXPECT_EQ(shows[0].wParam, static_cast<WPARAM>(TRUE));
    const auto activations = seen(WM_ACTIVATEAPP, w);
    ASSERT_FALSE(activations.empty()) << "sent during ShowWindow";
    EXPECT_NE(activations.back().wParam, 0u);
    EXPECT_TRUE(ShowWindow(w, SW_SHOWNORMAL)) << "was visible";
    EXPECT_TRUE(ShowWindow(w, SW_HIDE)) << "was visible";
    EXPECT_EQ(seen(WM_SHOWWINDOW, w).back().wParam, static_cast<WPARAM>(FALSE));
}

// WM_ACTIVATEAPP goes to every top-level window of the application, even when
// one of them destroys itself on receiving it.
TEST_F(Conformance, ActivationReachesEveryWindowEvenWhenOneDestroysItself)
{
    HWND first = create(WS_POPUP, 0, 0, 10, 10);
    HWND doomed = create(WS_POPUP, 20, 0, 10, 10);
    HWND shown = create(WS_POPUP, 40, 0, 10, 10);
    ASSERT_TRUE(first && doomed && shown);
    react = [&](HWND w, UINT m, WPARAM wp, LPARAM, LRESULT*) {
        if (m == WM_ACTIVATEAPP && wp && w == doomed) DestroyWindow(doomed);
        return false;
    };
    ShowWindow(shown, SW_SHOWNORMAL);
    EXPECT_FALSE(IsWindow(doomed));
    for (HWND w : {first, shown}) {
        const auto activations = seen(WM_ACTIVATEAPP, w);
        EXPECT_EQ(std::count_if(activations.begin(), activations.end(), [](const Received& r) { return r.wParam; }), 1)
            << "once to each window";
    }
    EXPECT_TRUE(IsWindow(first));
}

// DestroyWindow sends WM_DESTROY, then WM_NCDESTROY; the handle is no longer a
// window, and the messages posted to it are gone from the queue.
TEST_F(Conformance, DestroyWindowSendsDestroyThenNcDestroyAndTheHandleDies)
{
    HWND w = create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_TRUE(IsWindow(w));
    pump();
    ASSERT_TRUE(PostMessageA(w, WM_USER, 0, 0));
    received.clear();
    ASSERT_TRUE(DestroyWindow(w));
    const int destroy = first(WM_DESTROY, w), ncdestroy = first(WM_NCDESTROY, w);
    ASSERT_GE(destroy, 0);
    EXPECT_GT(ncdestroy, destroy);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(DestroyWindow(w));
    RECT r;
    EXPECT_FALSE(GetClientRect(w, &r));
    POINT p{0, 0};
    EXPECT_FALSE(ClientToScreen(w, &p));
    EXPECT_FALSE(ShowWindow(w, SW_SHOWNORMAL));
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_USER, WM_USER, PM_REMOVE));
}
