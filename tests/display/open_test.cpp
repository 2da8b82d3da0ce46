// Opening and closing the display: the platform calls in order with their
// arguments, on every path, and the records they are given.
#include "display_support.h"

namespace {

const std::vector<std::string> FULLSCREEN_OPEN = {
    "LoadLibraryA(\"ddraw.dll\")",
    "GetProcAddress(0x6d640000, \"DirectDrawCreate\")",
    "DirectDrawCreate(NULL, out, NULL)",
    "RegisterClassA(\"24 BIT BITMAP\", style 0x0)",
    "SetCursor(NULL)",
    "CreateWindowExA(0x0, \"24 BIT BITMAP\", \"24 BIT BITMAP\", 0x80000000, 0, 0, 0, 0, NULL, NULL, NULL, NULL)",
    "IDirectDraw::SetCooperativeLevel(hwnd256, 0x11)",
    "IDirectDraw::SetDisplayMode(640, 480, 32)",
    "IDirectDraw::CreateSurface(size " + std::to_string(sizeof(DDSURFACEDESC)) +
        ", flags 0x21, backbuffers 2, 0x0, caps 0x4218)",
    "IDirectDrawSurface::GetAttachedSurface(primary, caps 0x4)",
    "ShowWindow(hwnd256, 1)",
    "IDirectDrawSurface::GetPixelFormat(primary, size 32)",
    "SystemParametersInfoA(17, 0, NULL, 0)",
};

std::vector<std::string> windowed_open(const std::string& create_window)
{
    const std::string size = std::to_string(sizeof(DDSURFACEDESC));
    return {
        "LoadLibraryA(\"ddraw.dll\")",
        "GetProcAddress(0x6d640000, \"DirectDrawCreate\")",
        "DirectDrawCreate(NULL, out, NULL)",
        "LoadCursorA(NULL, 32512)",
        "RegisterClassA(\"W\", style 0x3)",
        "AdjustWindowRect(0, 0, 640, 480, 0xcf0000, 0)",
        "GetSystemMetrics(0)",
        "GetSystemMetrics(1)",
        create_window,
        "ShowWindow(hwnd256, 1)",
        "IDirectDraw::SetCooperativeLevel(hwnd256, 0x8)",
        "IDirectDraw::CreateSurface(size " + size + ", flags 0x1, backbuffers 0, 0x0, caps 0x4200)",
        "IDirectDraw::CreateSurface(size " + size + ", flags 0x7, backbuffers 0, 640x480, caps 0x40)",
        "IDirectDraw::CreateClipper(0x0)",
        "IDirectDrawClipper::SetHWnd(0, hwnd256)",
        "IDirectDrawSurface::SetClipper(primary, clipper)",
        "IDirectDrawSurface::GetPixelFormat(primary, size 32)",
        "SystemParametersInfoA(17, 0, NULL, 0)",
    };
}

}  // namespace

TEST_F(DisplayTest, SettingsHoldTheirDefaults)
{
    EXPECT_EQ(display_state.opened.ask_question, 0);
    EXPECT_EQ(display_state.opened.windowed, 1);
    EXPECT_EQ(display_state.opened.borderless, 0);
    EXPECT_EQ(display_state.close_allowed, 1);
    EXPECT_EQ(display_state.flip_wait, 1);
    EXPECT_EQ(display_mouse_x(), 0);
    EXPECT_EQ(display_left_button(), 0);
    // Without display_configure: no question, and a window.
    ASSERT_EQ(display_open("W", 640, 480), 1);
    EXPECT_EQ(count_calls("MessageBoxA"), 0u);
    EXPECT_NE(display_state.offscreen, nullptr);
    display_close();
}

TEST_F(DisplayTest, ConfigureStoresItsChoices)
{
    display_configure(0, "", 0, 0);
    EXPECT_STREQ(display_state.configured.question_text, "Fullscreen Mode ?");
    EXPECT_EQ(display_state.configured.windowed, 0);
    const char* text = "Go full screen?";
    display_configure(1, text, 7, 0x1FF);
    EXPECT_EQ(display_state.configured.question_text, text) << "the pointer itself is kept";
    EXPECT_EQ(display_state.configured.ask_question, 1);
    EXPECT_EQ(display_state.configured.windowed, 0) << "left for the answer to decide";
    EXPECT_EQ(display_state.configured.borderless, 0xFF) << "the low 8 bits";
    display_configure(0x102, "", 1, 0);
    EXPECT_EQ(display_state.configured.ask_question, 2) << "low 8 bits of ask";
    EXPECT_EQ(display_state.configured.windowed, 0) << "a nonzero ask leaves windowed as it was";
    display_configure(0x100, "", 1, 0);
    EXPECT_EQ(display_state.configured.ask_question, 0) << "nothing will be asked";
    EXPECT_EQ(display_state.configured.windowed, 0) << "but the whole ask is not 0: windowed stays";
    display_allow_close(0x100);
    EXPECT_EQ(display_state.close_allowed, 0);
    display_set_flip_wait(0x100);
    EXPECT_EQ(display_state.flip_wait, 0x100);
}

TEST_F(DisplayTest, FullScreenOpenAndCloseCallTheirStepsInOrder)
{
    display_configure(0, "", 0, 0);
    ASSERT_EQ(display_open("24 BIT BITMAP", 640, 480), 1);
    EXPECT_EQ(platform_calls(), FULLSCREEN_OPEN);
    const WNDCLASSA& wc = display_state.window_class;
    EXPECT_EQ(wc.style, 0u);
    EXPECT_EQ(wc.lpfnWndProc, display_window_proc);
    EXPECT_EQ(wc.hCursor, nullptr);
    EXPECT_EQ(wc.hInstance, nullptr);
    EXPECT_EQ(wc.hbrBackground, nullptr);
    EXPECT_EQ(display_state.converter, convert_row_xrgb8888);
    EXPECT_EQ(display_state.active, TRUE) << "activated while opening";
    EXPECT_EQ(display_state.width, 640);
    EXPECT_FALSE(emu_test_cursor_visible());
    EXPECT_FALSE(emu_test_screensaver_active());

    emu_test_clear_log();
    display_close();
    EXPECT_EQ(platform_calls(), (std::vector<std::string>{
                                    "IDirectDrawSurface::Release(backbuffer)",
                                    "IDirectDrawSurface::Release(primary)",
                                    "IDirectDraw::RestoreDisplayMode()",
                                    "IDirectDraw::SetCooperativeLevel(hwnd256, 0x8)",
                                    "IDirectDraw::Release()",
                                    "DestroyWindow(hwnd256)",
                                    "UnregisterClassA(49152, NULL)",
                                    "FreeLibrary(0x6d640000)",
                                    "LoadCursorA(NULL, 32512)",
                                    "SetCursor(arrow)",
                                    "SystemParametersInfoA(17, 1, NULL, 0)",
                                }));
    EXPECT_EQ(emu_test_live_ddraw_objects(), 0);
    EXPECT_EQ(emu_test_live_windows(), 0);
    EXPECT_EQ(emu_test_loaded_libraries(), 0);
    EXPECT_FALSE(emu_test_display_mode_set());
    EXPECT_TRUE(emu_test_cursor_visible());
    EXPECT_TRUE(emu_test_screensaver_active());
    EXPECT_EQ(display_state.window, nullptr);
    EXPECT_EQ(display_state.lock_target, nullptr);
    EXPECT_EQ(display_state.active, 0) << "the window's going deactivated it";
}

TEST_F(DisplayTest, WindowedOpenIsCentredAroundAnOverlappedFrame)
{
    display_configure(0, "", 1, 0);
    ASSERT_EQ(display_open("W", 640, 480), 1);
    // 1024 x 768 screen, outer 648 x 507: (188, 130).
    EXPECT_EQ(platform_calls(), windowed_open("CreateWindowExA(0x0, \"W\", \"W\", 0xca0000, 188, 130, 648, 507, NULL, "
                                              "NULL, NULL, NULL)"));
    EXPECT_EQ(display_state.window_class.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_NE(display_state.window_class.hCursor, nullptr);
    EXPECT_EQ(display_state.lock_target, display_state.offscreen);
    RECT client;
    ASSERT_TRUE(emu_test_screen_window(&client));
    EXPECT_EQ(client.right - client.left, 642) << "a fixed frame around the larger client";
    EXPECT_EQ(client.bottom - client.top, 482);

    emu_test_clear_log();
    display_close();
    EXPECT_EQ(platform_calls().front(), "IDirectDrawSurface::Release(offscreen)");
    EXPECT_EQ(count_calls("IDirectDrawClipper::Release"), 1u);
    EXPECT_EQ(emu_test_live_ddraw_objects(), 0) << "the clipper is released too";
}

TEST_F(DisplayTest, BorderlessWindowKeepsTheFramedPositionWithoutFrameOrCaption)
{
    display_configure(0, "", 1, 1);
    ASSERT_EQ(display_open("W", 640, 480), 1);
    auto want =
        windowed_open("CreateWindowExA(0x0, \"W\", \"W\", 0x90000000, 188, 130, 642, 482, NULL, NULL, NULL, NULL)");
    want.insert(want.begin() + 8, {"GetSystemMetrics(7)", "GetSystemMetrics(8)", "GetSystemMetrics(4)"});
    EXPECT_EQ(platform_calls(), want);
    display_close();
}

TEST_F(DisplayTest, CentringKeepsNegativeDifferencesNegative)
{
    emu_test_set_desktop({600, 400, emu_format(PIXEL_FORMAT_XRGB8888)});
    display_configure(0, "", 1, 0);
    ASSERT_EQ(display_open("W", 640, 480), 1);
    // (600 - 648) >> 1 = -24 and (400 - 507) >> 1 = -54.
    EXPECT_EQ(count_calls("CreateWindowExA(0x0, \"W\", \"W\", 0xca0000, -24, -54, 648, 507"), 1u);
    display_close();
}

TEST_F(DisplayTest, ModeFallsBackFrom32To24To16)
{
    struct Case {
        std::vector<EmuMode> modes;
        std::vector<std::string> tried;
        RowConverter converter;
    } const cases[] = {
        {{{640, 480, emu_format(PIXEL_FORMAT_RGB888)}, {640, 480, emu_format(PIXEL_FORMAT_RGB565)}},
         {"IDirectDraw::SetDisplayMode(640, 480, 32)", "IDirectDraw::SetDisplayMode(640, 480, 24)"},
         convert_row_rgb888},
        {{{640, 480, emu_format(PIXEL_FORMAT_XBGR1555)}, {800, 600, emu_format(PIXEL_FORMAT_XRGB8888)}},
         {"IDirectDraw::SetDisplayMode(640, 480, 32)", "IDirectDraw::SetDisplayMode(640, 480, 24)",
          "IDirectDraw::SetDisplayMode(640, 480, 16)"},
         convert_row_xbgr1555},
    };
    for (const Case& c : cases) {
        SetUp();
        emu_test_set_modes(c.modes);
        display_configure(0, "", 0, 0);
        ASSERT_EQ(display_open("T", 640, 480), 1);
        EXPECT_EQ(emu_test_calls({"IDirectDraw::SetDisplayMode"}), c.tried);
        EXPECT_EQ(display_state.converter, c.converter) << "the converter follows the primary's format";
        display_close();
    }
    SetUp();
    emu_test_set_modes({{800, 600, emu_format(PIXEL_FORMAT_XRGB8888)}});
    display_configure(0, "", 0, 0);
    EXPECT_EQ(display_open("T", 640, 480), 0);
    EXPECT_EQ(platform_calls().back(), "IDirectDraw::SetDisplayMode(640, 480, 16)");
    display_close();
}

TEST_F(DisplayTest, BackBuffersFallBackFromTwoToOneToNone)
{
    const std::string size = std::to_string(sizeof(DDSURFACEDESC));
    const std::string two =
        "IDirectDraw::CreateSurface(size " + size + ", flags 0x21, backbuffers 2, 0x0, caps 0x4218)";
    const std::string one =
        "IDirectDraw::CreateSurface(size " + size + ", flags 0x21, backbuffers 1, 0x0, caps 0x4218)";
    const std::string none =
        "IDirectDraw::CreateSurface(size " + size + ", flags 0x1, backbuffers 0, 0x0, caps 0x4200)";

    emu_test_fail("IDirectDraw::CreateSurface", 1, DDERR_OUTOFVIDEOMEMORY);
    display_configure(0, "", 0, 0);
    ASSERT_EQ(display_open("T", 640, 480), 1);
    EXPECT_EQ(emu_test_calls({"IDirectDraw::CreateSurface"}), (std::vector<std::string>{two, one}));
    display_close();

    SetUp();
    emu_test_fail("IDirectDraw::CreateSurface", 1, DDERR_OUTOFVIDEOMEMORY, 2);
    display_configure(0, "", 0, 0);
    EXPECT_EQ(display_open("T", 640, 480), 0) << "a primary without back buffers has none to lock";
    EXPECT_EQ(emu_test_calls({"IDirectDraw::CreateSurface"}), (std::vector<std::string>{two, one, none}));
    EXPECT_EQ(platform_calls().back(), "IDirectDrawSurface::GetAttachedSurface(primary, caps 0x4)");
    EXPECT_NE(display_state.primary, nullptr);
    display_close();
    EXPECT_EQ(emu_test_live_ddraw_objects(), 0);
}

TEST_F(DisplayTest, TheQuestionDecidesTheMode)
{
    emu_test_answer_question(IDYES);
    display_configure(1, "", 1, 0);
    ASSERT_EQ(display_open("Q", 640, 480), 1);
    EXPECT_EQ(emu_test_calls({"MessageBoxA"}),
              std::vector<std::string>{"MessageBoxA(NULL, \"Fullscreen Mode ?\", \"Q\", 0x24)"});
    EXPECT_EQ(display_state.opened.windowed, 0) << "Yes: full screen";
    display_close();

    SetUp();
    emu_test_answer_question(IDNO);
    display_configure(1, "Window?", 0, 0);
    ASSERT_EQ(display_open("Q", 640, 480), 1);
    EXPECT_EQ(emu_test_calls({"MessageBoxA"}), std::vector<std::string>{"MessageBoxA(NULL, \"Window?\", \"Q\", 0x24)"});
    EXPECT_EQ(display_state.opened.windowed, 1) << "No: a window";
    EXPECT_NE(display_state.offscreen, nullptr);
    display_close();

    SetUp();
    display_configure(0, "", 0, 0);
    display_configure(2, "", 1, 0);
    ASSERT_EQ(display_open("Q", 640, 480), 1);
    EXPECT_EQ(count_calls("MessageBoxA"), 0u) << "only 1 asks";
    EXPECT_EQ(display_state.opened.windowed, 0);
    display_close();
}

// Any answer but No means full screen: Cancel, OK, and a box that could not be shown too.
TEST_F(DisplayTest, EveryAnswerButNoGivesFullScreen)
{
    for (int answer : {IDYES, IDCANCEL, IDOK, 0}) {
        SetUp();
        emu_test_answer_question(answer);
        display_configure(1, "", 1, 0);
        ASSERT_EQ(display_open("Q", 640, 480), 1) << "answer " << answer;
        EXPECT_EQ(display_state.opened.windowed, 0) << "answer " << answer;
        EXPECT_TRUE(emu_test_screen_fullscreen()) << "answer " << answer;
        display_close();
    }
}

// A question given no text at all asks the default question.
TEST_F(DisplayTest, ANullQuestionTextAsksTheDefaultQuestion)
{
    emu_test_answer_question(IDNO);
    display_configure(1, nullptr, 0, 0);
    ASSERT_EQ(display_open("Q", 640, 480), 1);
    EXPECT_EQ(emu_test_calls({"MessageBoxA"}),
              std::vector<std::string>{"MessageBoxA(NULL, \"Fullscreen Mode ?\", \"Q\", 0x24)"});
    display_close();
}

// A format that differs from one of the eight in a single mask is none of them:
// the open fails, whichever mask it is.
TEST_F(DisplayTest, AFormatOneMaskAwayFromTheEightFailsTheOpen)
{
    for (const EmuPixelFormat& f : ALL_FORMATS) {
        for (int mask = 0; mask < 3; ++mask) {
            EmuPixelFormat near = f;
            DWORD& changed = mask == 0 ? near.red : mask == 1 ? near.green : near.blue;
            changed ^= changed & (0u - changed);  // drops the mask's lowest bit
            SetUp();
            emu_test_set_modes({{640, 480, near}});
            display_configure(0, "", 0, 0);
            EXPECT_EQ(display_open("T", 640, 480), 0)
                << f.bits << " bits, red 0x" << std::hex << f.red << ", mask " << mask;
            EXPECT_EQ(display_state.converter, nullptr);
            display_close();
        }
    }
}

TEST_F(DisplayTest, FormatsOutsideTheEightFailTheOpen)
{
    for (const EmuPixelFormat& f : {emu_format_argb2101010(), EmuPixelFormat{DDPF_RGB, 16, 0xF00, 0xF0, 0xF, 0}}) {
        SetUp();
        emu_test_set_modes({{640, 480, f}});
        display_configure(0, "", 0, 0);
        EXPECT_EQ(display_open("T", 640, 480), 0);
        EXPECT_EQ(platform_calls().back(), "IDirectDrawSurface::GetPixelFormat(primary, size 32)");
        EXPECT_EQ(display_state.converter, nullptr);
        display_close();
    }
    // The masks of the first row, but not flagged as RGB.
    SetUp();
    emu_test_set_modes({{640, 480, EmuPixelFormat{DDPF_FOURCC, 32, 0xFF0000, 0xFF00, 0xFF, 0}}});
    display_configure(0, "", 0, 0);
    EXPECT_EQ(display_open("T", 640, 480), 0) << "not RGB";
    EXPECT_EQ(display_state.converter, nullptr);
    display_close();
    SetUp();
    emu_test_set_desktop({1024, 768, emu_format_palette8()});
    display_configure(0, "", 1, 0);
    EXPECT_EQ(display_open("T", 640, 480), 0) << "not RGB";
    display_close();
}

TEST_F(DisplayTest, OpenAfterCloseWorksAgain)
{
    display_configure(0, "", 0, 0);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(display_open("T", 640, 480), 1) << "cycle " << i;
        display_close();
        EXPECT_EQ(emu_test_live_ddraw_objects(), 0);
        EXPECT_EQ(emu_test_live_windows(), 0);
    }
}
