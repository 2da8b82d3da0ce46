// System metrics, the cursor, the screen-saver switch, libraries, key states,
// sleeping and ending the process.
#include "platform/conformance/conformance.h"

// The screen and frame sizes are positive; an unknown index gives 0.
TEST_F(Conformance, SystemMetricsGiveTheScreenAndFrameSizes)
{
    for (int index : {SM_CXSCREEN, SM_CYSCREEN, SM_CXDLGFRAME, SM_CYDLGFRAME, SM_CYCAPTION})
        EXPECT_GT(GetSystemMetrics(index), 0) << "index " << index;
    EXPECT_EQ(GetSystemMetrics(-1), 0);
}

// The system's arrow cursor loads without an instance; SetCursor returns the
// cursor it replaces, and NULL hides the cursor.
TEST_F(Conformance, CursorLoadsAndSetCursorReturnsThePreviousOne)
{
    const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow) << "a shared system cursor";
    SetCursor(arrow);
    EXPECT_EQ(SetCursor(nullptr), arrow);
    EXPECT_EQ(SetCursor(arrow), nullptr);
}

// SPI_SETSCREENSAVEACTIVE switches the screen saver for the session (no
// profile update), and SPI_GETSCREENSAVEACTIVE reads the switch back.
TEST_F(Conformance, ScreenSaverSwitchReadsBack)
{
    BOOL before = FALSE;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &before, 0));
    for (BOOL on : {FALSE, TRUE}) {
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, on, nullptr, 0));
        BOOL now = !on;
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &now, 0));
        EXPECT_EQ(now != FALSE, on != FALSE);
    }
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, before, nullptr, 0);
}

// A message box needs a user to answer it; one owned by a window that does not
// exist is not shown, and the call fails with 0.
TEST_F(Conformance, MessageBoxWithAMissingOwnerFails)
{
    HWND gone = create(WS_POPUP, 0, 0, 10, 10);
    ASSERT_TRUE(DestroyWindow(gone));
    const int answer = MessageBoxA(gone, "Fullscreen Mode ?", "conformance", MB_ICONQUESTION | MB_YESNO);
    EXPECT_NE(answer, IDYES);
    EXPECT_NE(answer, IDNO);
    expect_documented(answer == 0, wine_departs::MESSAGE_BOX_FAILURE);
}

// ddraw.dll loads by name (".dll" is appended to a name without an extension)
// and exports DirectDrawCreate; unknown names give NULL.
TEST_F(Conformance, DirectDrawLoadsAndExportsItsEntry)
{
    EXPECT_EQ(LoadLibraryA("no-such-library.dll"), nullptr);
    HMODULE bare = LoadLibraryA("ddraw");
    ASSERT_NE(bare, nullptr);
    EXPECT_TRUE(FreeLibrary(bare));
    HMODULE module = LoadLibraryA("ddraw.dll");
    ASSERT_NE(module, nullptr);
    EXPECT_NE(GetProcAddress(module, "DirectDrawCreate"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "NoSuchEntry"), nullptr);
    EXPECT_TRUE(FreeLibrary(module));
}

// GetAsyncKeyState reads the keyboard and delivers no message; a key that is
// not down has bit 15 clear, and a value outside the virtual keys gives 0.
TEST_F(Conformance, GetAsyncKeyStateReadsWithoutDeliveringMessages)
{
    HWND w = create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    ASSERT_NE(w, nullptr);
    pump();
    PostMessageA(w, WM_USER, 0, 0);
    received.clear();
    EXPECT_EQ(GetAsyncKeyState(VK_F1) & 0x8000, 0);
    EXPECT_EQ(GetAsyncKeyState(0x1000), 0);
    Sleep(0);
    Sleep(1);
    EXPECT_TRUE(received.empty()) << "no window procedure ran";
    MSG m;
    EXPECT_TRUE(PeekMessageA(&m, w, WM_USER, WM_USER, PM_REMOVE)) << "still queued";
}

// ExitProcess ends the process with its code at once: it does not return.
// (Where a test can't start a process of its own, as in WebAssembly, the
// program exit_process checks it from outside.)
#if GTEST_HAS_DEATH_TEST
TEST(ConformanceProcess, ExitProcessEndsTheProcessWithItsCode)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ExitProcess(7), ::testing::ExitedWithCode(7), "");
}
#endif
