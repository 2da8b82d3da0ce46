// The message queue, painting, dispatching, and the default window procedure.
#include <algorithm>

#include "platform/conformance/conformance.h"

namespace {

constexpr UINT FIRST = WM_USER + 1, SECOND = WM_USER + 2, THIRD = WM_USER + 3;

// The next queued message between WM_USER and WM_USER + 100 (messages of our own).
bool next_own(MSG* m, HWND window, UINT remove = PM_REMOVE)
{
    return PeekMessageA(m, window, WM_USER, WM_USER + 100, remove);
}

}  // namespace

// Without a window filter, PeekMessageA returns posted messages in the order
// they were posted, whichever window they are for; a window or range filter
// takes only the messages it names; PM_NOREMOVE leaves the message queued.
TEST_F(Conformance, PostedMessagesComeInPostingOrderWhateverTheirWindow)
{
    HWND a = create(WS_POPUP, 0, 0, 10, 10);
    HWND b = create(WS_POPUP, 20, 0, 10, 10);
    ASSERT_TRUE(a && b);
    pump();
    ASSERT_TRUE(PostMessageA(a, FIRST, 1, 10));
    ASSERT_TRUE(PostMessageA(b, SECOND, 2, 20));
    ASSERT_TRUE(PostMessageA(a, THIRD, 3, 30));
    MSG m;
    const struct {
        HWND window;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    } order[] = {{a, FIRST, 1, 10}, {b, SECOND, 2, 20}, {a, THIRD, 3, 30}};
    for (const auto& want : order) {
        ASSERT_TRUE(next_own(&m, nullptr));
        EXPECT_EQ(m.hwnd, want.window);
        EXPECT_EQ(m.message, want.message);
        EXPECT_EQ(m.wParam, want.wParam);
        EXPECT_EQ(m.lParam, want.lParam);
    }
    EXPECT_FALSE(next_own(&m, nullptr)) << "empty: no waiting";

    PostMessageA(a, FIRST, 0, 0);
    PostMessageA(b, SECOND, 0, 0);
    PostMessageA(a, THIRD, 0, 0);
    ASSERT_TRUE(next_own(&m, b));
    EXPECT_EQ(m.message, SECOND) << "only b's";
    ASSERT_TRUE(PeekMessageA(&m, nullptr, THIRD, THIRD, PM_REMOVE));
    EXPECT_EQ(m.message, THIRD) << "only the range";
    ASSERT_TRUE(next_own(&m, a, PM_NOREMOVE));
    EXPECT_EQ(m.message, FIRST);
    ASSERT_TRUE(next_own(&m, a));
    EXPECT_EQ(m.message, FIRST) << "still there after PM_NOREMOVE";
    EXPECT_FALSE(next_own(&m, nullptr));
    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(static_cast<UINT_PTR>(0xDEAD0)), FIRST, 0, 0)) << "no such window";
}

// A window with an invalid area gets WM_PAINT once no posted message is left,
// and again at every retrieval until the area is validated, which
// DefWindowProcA does.
TEST_F(Conformance, PaintComesAfterPostedMessagesUntilTheWindowIsValidated)
{
    bool validate = false;
    react = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT* result) {
        if (m != WM_PAINT || validate) return false;
        *result = 0;  // handled without validating
        return true;
    };
    HWND w = create(WS_POPUP, 100, 100, 50, 40);  // hidden: nothing to paint yet
    ASSERT_NE(w, nullptr);
    pump();
    PostMessageA(w, FIRST, 0, 0);
    ShowWindow(w, SW_SHOWNORMAL);
    MSG m;
    std::vector<UINT> order;
    while (order.size() < 20 && PeekMessageA(&m, w, 0, 0, PM_REMOVE)) {
        order.push_back(m.message);
        if (m.message == WM_PAINT) break;
        DispatchMessageA(&m);
    }
    const auto at = [&](UINT message) { return std::find(order.begin(), order.end(), message) - order.begin(); };
    ASSERT_LT(at(WM_PAINT), static_cast<long>(order.size())) << "a shown window is painted";
    EXPECT_LT(at(FIRST), at(WM_PAINT)) << "the posted message first";
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(PeekMessageA(&m, w, WM_PAINT, WM_PAINT, PM_REMOVE)) << "paint " << i;
        DispatchMessageA(&m);
    }
    validate = true;
    ASSERT_TRUE(PeekMessageA(&m, w, WM_PAINT, WM_PAINT, PM_REMOVE));
    DispatchMessageA(&m);
    EXPECT_FALSE(PeekMessageA(&m, w, WM_PAINT, WM_PAINT, PM_REMOVE)) << "validated by DefWindowProcA";
}

// DispatchMessageA calls the window's procedure and returns its result;
// SendMessageA calls it at once; TranslateMessage answers nonzero for key
// messages and zero for others.
TEST_F(Conformance, DispatchAndSendCallTheProcedureAndTranslateTakesKeys)
{
    HWND w = create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_NE(w, nullptr);
    pump();
    react = [&](HWND, UINT m, WPARAM wp, LPARAM, LRESULT* result) {
        if (m != FIRST) return false;
        *result = 40 + static_cast<LRESULT>(wp);
        return true;
    };
    PostMessageA(w, FIRST, 2, 0);
    MSG m;
    ASSERT_TRUE(next_own(&m, w));
    received.clear();
    EXPECT_EQ(DispatchMessageA(&m), 42);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, FIRST);
    EXPECT_EQ(SendMessageA(w, FIRST, 3, 0), 43);
    EXPECT_EQ(received.size(), 2u) << "sent, not queued";

    MSG key{w, WM_KEYDOWN, VK_F1, 1, 0, {0, 0}};
    EXPECT_TRUE(TranslateMessage(&key));
    MSG move{w, WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
    EXPECT_FALSE(TranslateMessage(&move));
}

// DefWindowProcA destroys a window asked to close.
TEST_F(Conformance, DefaultProcedureDestroysAWindowOnClose)
{
    HWND w = create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(DefWindowProcA(w, WM_CLOSE, 0, 0), 0);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(seen(WM_DESTROY, w).empty());
}

// Alt+F4 (WM_SYSKEYDOWN for VK_F4 with the Alt context bit) becomes a close
// request through WM_SYSCOMMAND's SC_CLOSE; F4 without Alt does not.
TEST_F(Conformance, AltF4BecomesACloseRequest)
{
    react = [](HWND, UINT m, WPARAM, LPARAM, LRESULT* result) {
        if (m != WM_CLOSE) return false;
        *result = 0;  // swallowed: the window stays
        return true;
    };
    HWND w = create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    ASSERT_NE(w, nullptr);
    pump();
    const LPARAM scan_f4 = 0x3E << 16;
    DefWindowProcA(w, WM_SYSKEYDOWN, VK_F4, 1 | scan_f4);
    pump();
    EXPECT_TRUE(seen(WM_CLOSE, w).empty()) << "no Alt";
    DefWindowProcA(w, WM_SYSKEYDOWN, VK_F4, 1 | scan_f4 | (static_cast<LPARAM>(KF_ALTDOWN) << 16));
    pump();
    const auto commands = seen(WM_SYSCOMMAND, w);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
    EXPECT_EQ(seen(WM_CLOSE, w).size(), 1u);
    EXPECT_TRUE(IsWindow(w)) << "the procedure swallowed the close request";
}

// Keys reach the window with the input as messages whose wParam is the virtual
// key: a letter as WM_KEYDOWN and WM_KEYUP, F10 (the menu key) alone as
// WM_SYSKEYDOWN and WM_SYSKEYUP.
TEST_F(Conformance, KeysArriveAsKeyOrSystemKeyMessages)
{
    const auto is_key = [](UINT m) {
        return m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP;
    };
    react = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT* result) { return *result = 0, is_key(m); };  // no menus
    HWND w = create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    pump();
    for (BYTE key : {BYTE{'A'}, BYTE{VK_F10}}) keybd_event(key, 0, 0, 0), keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
    const std::vector<std::pair<UINT, WPARAM>> want = {
        {WM_KEYDOWN, 'A'}, {WM_KEYUP, 'A'}, {WM_SYSKEYDOWN, VK_F10}, {WM_SYSKEYUP, VK_F10}};
    std::vector<std::pair<UINT, WPARAM>> got;
    // Wine queues them a moment later.
    for (int tries = 0; tries < 100 && got.size() < want.size(); ++tries, Sleep(10)) {
        pump();
        got.clear();
        for (const Received& r : received)
            if (r.window == w && is_key(r.message)) got.emplace_back(r.message, r.wParam);
    }
    EXPECT_EQ(got, want);
}
