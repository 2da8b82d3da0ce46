// USER32's message queue: painting, scripted messages, never waiting.

#include "platform/platform_support.h"

TEST_F(Platform, MessagesQueuePaintAndNeverWait)
{
    HWND window =
        CreateWindowExA(0, "test", "t", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    // A shown window is painted until DefWindowProcA validates it.
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    DispatchMessageA(&msg);
    EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));

    emu_test_post(window, WM_KEYDOWN, VK_ESCAPE, 0);
    emu_test_post(window, WM_MOUSEMOVE, 0, MAKELPARAM(0xFFFF, 7), 3);
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_FALSE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) << "the scripted one is not due yet";
    ASSERT_TRUE(PeekMessageA(&msg, window, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(LOWORD(msg.lParam), 0xFFFF);
}

// A queue holds at most 10,000 posted messages, Windows' default limit.
TEST_F(Platform, AQueueHoldsTenThousandPostedMessages)
{
    HWND w = popup();
    int posted = 0;
    while (posted < 10001 && PostMessageA(w, WM_USER, 0, 0)) ++posted;
    EXPECT_EQ(posted, 10000);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, w, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PostMessageA(w, WM_USER, 0, 0)) << "room again";
}

// The question box: answered as the screen answers a Yes/No box; a box of one
// OK button is answered OK.
TEST_F(Platform, AnOkBoxAnswersOk)
{
    emu_test_answer_question(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "done", "box", MB_OK), IDOK);
    EXPECT_EQ(MessageBoxA(nullptr, "done?", "box", MB_YESNO), IDNO);
}
