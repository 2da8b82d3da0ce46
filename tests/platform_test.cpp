// The emulated platform, where a fault would mislead the presenter's tests:
// frames and metrics, synchronous activation, key states, display modes,
// flipping, locking, blits, lost surfaces, reference counts and bad input.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "platform/emu/test_control/emu_test_control.h"
#include "platform/platform.h"
#include "platform/screen/screen.h"

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
};
std::vector<Seen> seen;

LRESULT CALLBACK record_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    seen.push_back({message, wParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<WPARAM> activations()
{
    std::vector<WPARAM> out;
    for (const Seen& s : seen)
        if (s.message == WM_ACTIVATEAPP) out.push_back(s.wParam);
    return out;
}

struct Platform : ::testing::Test {
    void SetUp() override
    {
        emu_test_reset();
        seen.clear();
        WNDCLASSA wc{};
        wc.lpfnWndProc = record_proc;
        wc.lpszClassName = "test";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }

    HWND popup()
    {
        return CreateWindowExA(0, "test", "test", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    }

    IDirectDraw* create_ddraw()
    {
        HMODULE module = LoadLibraryA("ddraw.dll");
        auto create =
            reinterpret_cast<DirectDrawCreateProc>(reinterpret_cast<void*>(GetProcAddress(module, "DirectDrawCreate")));
        IDirectDraw* ddraw = nullptr;
        EXPECT_NE(create, nullptr);
        if (create) {
            EXPECT_EQ(create(nullptr, &ddraw, nullptr), DD_OK);
        }
        return ddraw;
    }

    // A full-screen display with a flipping chain of `backs` back buffers.
    IDirectDrawSurface* fullscreen(IDirectDraw* ddraw, HWND window, DWORD bits, DWORD backs)
    {
        EXPECT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
        EXPECT_EQ(ddraw->SetDisplayMode(640, 480, bits), DD_OK);
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.dwBackBufferCount = backs;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY;
        IDirectDrawSurface* primary = nullptr;
        EXPECT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
        return primary;
    }

    // A plain primary surface, as at the normal level.
    IDirectDrawSurface* plain_primary(IDirectDraw* ddraw)
    {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface* primary = nullptr;
        EXPECT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
        return primary;
    }
    IDirectDrawSurface* offscreen(IDirectDraw* ddraw, DWORD w, DWORD h)
    {
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = w;
        desc.dwHeight = h;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        IDirectDrawSurface* surface = nullptr;
        EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
        return surface;
    }
};

DDSURFACEDESC lock(IDirectDrawSurface* surface, HRESULT want = DD_OK)
{
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), want);
    return desc;
}

// Fills every pixel of a 32-bit surface with `value`.
void fill32(IDirectDrawSurface* surface, std::uint32_t value)
{
    DDSURFACEDESC desc = lock(surface);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * 4, &value, 4);
    surface->Unlock(desc.lpSurface);
}

}  // namespace

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
    emu_test_screen_event({ScreenEventKind::FOCUS_LOST, 0, 0, 0, 0});
    MSG msg;
    while (PeekMessageA(&msg, full, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(activations(), (std::vector<WPARAM>{TRUE, FALSE}));
    ddraw->Release();
}

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

TEST_F(Platform, KeyStateBits)
{
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    emu_test_screen_event({ScreenEventKind::KEY_DOWN, VK_ESCAPE, 0, 0, 0});
    EXPECT_EQ(static_cast<WORD>(GetAsyncKeyState(VK_ESCAPE)), 0x8001) << "down, and pressed since the last query";
    EXPECT_EQ(static_cast<WORD>(GetAsyncKeyState(VK_ESCAPE)), 0x8000) << "the query cleared bit 0";
    emu_test_screen_event({ScreenEventKind::KEY_UP, VK_ESCAPE, 0, 0, 0});
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0);
    emu_test_screen_event({ScreenEventKind::KEY_DOWN, VK_ESCAPE, 0, 0, 0});
    emu_test_screen_event({ScreenEventKind::KEY_UP, VK_ESCAPE, 0, 0, 0});
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
    emu_test_screen_event({ScreenEventKind::FOCUS_LOST, 0, 0, 0, 0});
    emu_test_screen_event({ScreenEventKind::KEY_DOWN, VK_ESCAPE, 0, 0, 0});
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

// Every call that can be made to fail answers the failure and leaves the
// platform as Windows could leave it; calls that can't fail are refused.
TEST_F(Platform, InjectedFailuresLeaveAStateWindowsCouldBeIn)
{
    EXPECT_FALSE(emu_test_fail("IDirectDrawSurface::Release"));
    EXPECT_FALSE(emu_test_fail("Sleep"));
    EXPECT_FALSE(emu_test_fail("IDirectDrawSurface::lock")) << "names are exact";

    // DefWindowProcA failing is its result without the default handling: here a refused creation.
    ASSERT_TRUE(emu_test_fail("DefWindowProcA", 1, FALSE));
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(emu_test_live_windows(), 0);

    ASSERT_TRUE(emu_test_fail("DirectDrawCreate"));
    HMODULE module = LoadLibraryA("ddraw.dll");
    auto create =
        reinterpret_cast<DirectDrawCreateProc>(reinterpret_cast<void*>(GetProcAddress(module, "DirectDrawCreate")));
    auto* stale = reinterpret_cast<IDirectDraw*>(static_cast<UINT_PTR>(0x1234));
    IDirectDraw* ddraw = stale;
    EXPECT_EQ(create(nullptr, &ddraw, nullptr), DDERR_GENERIC);
    EXPECT_EQ(ddraw, nullptr) << "a failed creation leaves no object";
    ddraw = create_ddraw();
    ASSERT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    ASSERT_TRUE(emu_test_fail("IDirectDraw::CreateClipper"));
    auto* stale_clipper = reinterpret_cast<IDirectDrawClipper*>(static_cast<UINT_PTR>(0x1234));
    IDirectDrawClipper* clipper = stale_clipper;
    EXPECT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DDERR_GENERIC);
    EXPECT_EQ(clipper, nullptr);

    // A failing Unlock still ends the lock, so the next Lock succeeds.
    IDirectDrawSurface* surface = offscreen(ddraw, 4, 4);
    DDSURFACEDESC desc = lock(surface);
    ASSERT_TRUE(emu_test_fail("IDirectDrawSurface::Unlock"));
    EXPECT_EQ(surface->Unlock(desc.lpSurface), DDERR_GENERIC);
    desc = lock(surface);
    EXPECT_EQ(surface->Unlock(desc.lpSurface), DD_OK);
    ASSERT_TRUE(emu_test_fail("IDirectDrawSurface::IsLost", 1, DDERR_SURFACELOST));
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    surface->Release();
    ddraw->Release();
    EXPECT_EQ(emu_test_live_ddraw_objects(), 0);
}

// A waiting full-screen flip returns at the display's next refresh (on the
// headless screen's own clock, which the wait moves on without sleeping); a
// flip without vertical sync returns at once, as does any flip when showing an
// image waits for the refresh by itself.
TEST_F(Platform, WaitingFlipsReturnOncePerRefresh)
{
    emu_test_set_refresh(50, false);  // a refresh every 20 ms
    IDirectDraw* ddraw = create_ddraw();
    IDirectDrawSurface* primary = fullscreen(ddraw, popup(), 32, 1);
    const std::int64_t start = emu_test_clock_us();
    const std::int64_t first = (start / 20000 + 1) * 20000;
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(emu_test_clock_us(), first);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(emu_test_clock_us(), first + 20000) << "one refresh later";
    emu_test_advance_clock_us(25000);  // a slow frame
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(emu_test_clock_us(), first + 60000) << "the next refresh, not a whole period on";
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_NOVSYNC), DD_OK);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT | DDFLIP_NOVSYNC), DD_OK);
    EXPECT_EQ(emu_test_clock_us(), first + 60000) << "no vertical sync, no wait";
    emu_test_set_refresh(0, false);  // unknown: 60 Hz
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(emu_test_clock_us(), ((first + 60000) / 16666 + 1) * 16666);
    const std::int64_t now = emu_test_clock_us();
    emu_test_set_refresh(60, true);
    ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_EQ(emu_test_clock_us(), now) << "the screen's own wait paces it";
    primary->Release();
    ddraw->Release();
}

TEST_F(Platform, ModesTheScreenDoesNotOfferAreRefused)
{
    emu_test_set_modes({{640, 480, emu_format_rgb565()}});
    HWND window = popup();
    IDirectDraw* ddraw = create_ddraw();
    EXPECT_EQ(ddraw->SetDisplayMode(640, 480, 16), DDERR_NOCOOPERATIVELEVELSET);
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    EXPECT_LT(ddraw->SetDisplayMode(640, 480, 32), 0);
    EXPECT_LT(ddraw->SetDisplayMode(640, 480, 24), 0);
    EXPECT_LT(ddraw->SetDisplayMode(800, 600, 16), 0);
    EXPECT_FALSE(emu_test_display_mode_set());
    EXPECT_EQ(ddraw->SetDisplayMode(640, 480, 16), DD_OK);
    EXPECT_EQ(emu_test_display_mode().format.bits, 16u);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(ddraw->RestoreDisplayMode(), DD_OK);
    EXPECT_FALSE(emu_test_display_mode_set());
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ddraw->Release();
}

TEST_F(Platform, FlipExchangesContentsAndKeepsTheBackBufferObject)
{
    for (DWORD backs : {1u, 2u}) {
        IDirectDraw* ddraw = create_ddraw();
        IDirectDrawSurface* primary = fullscreen(ddraw, popup(), 32, backs);
        DDSCAPS caps{DDSCAPS_BACKBUFFER};
        IDirectDrawSurface* back = nullptr;
        ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
        std::vector<IDirectDrawSurface*> locked_as;
        for (std::uint32_t frame = 1; frame <= 4; ++frame) {
            fill32(back, frame * 0x010101);
            ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
            EXPECT_EQ(emu_test_screen().at(17, 9), frame * 0x010101) << backs << " back buffers, frame " << frame;
        }
        IDirectDrawSurface* again = nullptr;
        ASSERT_EQ(primary->GetAttachedSurface(&caps, &again), DD_OK);
        EXPECT_EQ(again, back) << "the same object stands for the hidden buffer";
        // With two back buffers the hidden one holds what was shown two frames ago.
        EXPECT_EQ(*static_cast<std::uint32_t*>(lock(back).lpSurface), backs == 1 ? 3u * 0x010101 : 2u * 0x010101);
        back->Unlock(nullptr);
        again->Release();
        back->Release();
        primary->Release();
        ddraw->Release();
        EXPECT_EQ(emu_test_live_ddraw_objects(), 0);
    }
}

TEST_F(Platform, LockGivesTheTopRowAndThePitch)
{
    emu_test_set_pitch_padding(24);
    IDirectDraw* ddraw = create_ddraw();
    ASSERT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface* surface = offscreen(ddraw, 30, 5);
    DDSURFACEDESC desc = lock(surface);
    EXPECT_EQ(desc.dwWidth, 30u);
    EXPECT_EQ(desc.dwHeight, 5u);
    EXPECT_EQ(desc.lPitch, 30 * 4 + 24);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 32u);
    lock(surface, DDERR_SURFACEBUSY);
    EXPECT_EQ(surface->Unlock(desc.lpSurface), DD_OK);
    EXPECT_EQ(surface->Unlock(nullptr), DDERR_NOTLOCKED);
    surface->Release();
    ddraw->Release();
}

TEST_F(Platform, BltStretchesAndClipsToTheClippersWindow)
{
    IDirectDraw* ddraw = create_ddraw();
    // The window's client area: 4 x 2 at screen (100, 50).
    HWND window =
        CreateWindowExA(0, "test", "t", WS_POPUP | WS_VISIBLE, 100, 50, 4, 2, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface* primary = plain_primary(ddraw);
    ASSERT_NE(primary, nullptr);
    IDirectDrawSurface* source = offscreen(ddraw, 2, 1);
    DDSURFACEDESC s = lock(source);
    const std::uint32_t two[2] = {0x00AA0000, 0x000000BB};
    std::memcpy(s.lpSurface, two, 8);
    source->Unlock(s.lpSurface);

    // 2 x 1 stretched onto 8 x 2 at (98, 50): each source pixel covers four columns.
    RECT beyond{1020, 0, 1028, 2};
    ASSERT_EQ(primary->Blt(&beyond, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT)
        << "off the screen, no clipper";
    RECT dest{98, 50, 106, 52};
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, window), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    ASSERT_EQ(primary->Blt(&dest, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    const EmuScreenshot shot = emu_test_screen();
    for (int y = 49; y <= 52; ++y)
        for (int x = 96; x <= 107; ++x) {
            const bool inside = x >= 100 && x < 104 && y >= 50 && y < 52;
            const std::uint32_t want = !inside ? 0 : (x < 102 ? 0x00AA0000 : 0x000000BB);
            EXPECT_EQ(shot.at(x, y), want) << "(" << x << ", " << y << ")";
        }
    clipper->Release();
    source->Release();
    primary->Release();
    ddraw->Release();
    EXPECT_EQ(emu_test_live_ddraw_objects(), 0) << "the primary released its clipper";
}

TEST_F(Platform, LostSurfacesFailUntilRestored)
{
    IDirectDraw* ddraw = create_ddraw();
    IDirectDrawSurface* primary = fullscreen(ddraw, popup(), 32, 1);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    emu_test_lose_surfaces();
    lock(back, DDERR_SURFACELOST);
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Restore(), DD_OK);
    back->Unlock(lock(back).lpSurface);
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);

    // A mode change loses them too, and they can't come back in another mode.
    ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 16), DD_OK);
    EXPECT_EQ(back->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Restore(), DDERR_WRONGMODE);
    back->Release();
    primary->Release();
    ddraw->Release();
}

// A chain goes with its front, whatever back-buffer references are held; the
// clippers made with a DirectDraw object go with it.
TEST_F(Platform, ReleasingTheFrontFreesTheChainAndDirectDrawItsClippers)
{
    IDirectDraw* ddraw = create_ddraw();
    IDirectDrawSurface* primary = fullscreen(ddraw, popup(), 32, 2);
    EXPECT_EQ(emu_test_live_ddraw_objects(), 4) << "DirectDraw, primary and two back buffers";
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(emu_test_live_ddraw_objects(), 1) << "the held back buffer went with its chain";

    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    IDirectDrawSurface* surface = offscreen(ddraw, 8, 8);
    ASSERT_EQ(surface->SetClipper(clipper), DD_OK);
    EXPECT_EQ(emu_test_live_ddraw_objects(), 3);
    EXPECT_EQ(ddraw->Release(), 0u);
    EXPECT_EQ(emu_test_live_ddraw_objects(), 2)
        << "the clipper went with DirectDraw; the surface stays, with its owner";
    EXPECT_FALSE(emu_test_display_mode_set()) << "releasing DirectDraw gives the display back";
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(emu_test_live_ddraw_objects(), 0);
}

TEST_F(Platform, BadInputIsRefusedNotFollowed)
{
    HMODULE module = LoadLibraryA("ddraw.dll");
    EXPECT_EQ(LoadLibraryA("user32.dll"), nullptr);
    EXPECT_EQ(GetProcAddress(module, "DirectDrawCreateEx"), nullptr);
    auto create =
        reinterpret_cast<DirectDrawCreateProc>(reinterpret_cast<void*>(GetProcAddress(module, "DirectDrawCreate")));
    EXPECT_EQ(create(nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
    IDirectDraw* ddraw = nullptr;
    ASSERT_EQ(create(nullptr, &ddraw, nullptr), DD_OK);
    EXPECT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DDERR_INVALIDPARAMS);
    EXPECT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS);
    ASSERT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);

    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc - 4;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DDERR_INVALIDPARAMS) << "wrong dwSize";
    desc.dwSize = sizeof desc;
    EXPECT_EQ(ddraw->CreateSurface(&desc, nullptr, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(ddraw->CreateSurface(nullptr, &surface, nullptr), DDERR_INVALIDPARAMS);
    desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
    desc.dwBackBufferCount = 1;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
    EXPECT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DDERR_NOEXCLUSIVEMODE) << "flipping needs full screen";
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    ASSERT_EQ(ddraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    EXPECT_EQ(surface->GetAttachedSurface(&caps, &back), DDERR_NOTFOUND);
    EXPECT_EQ(surface->GetAttachedSurface(nullptr, &back), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);
    DDPIXELFORMAT pf{};
    pf.dwSize = 31;
    EXPECT_EQ(surface->GetPixelFormat(&pf), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->GetPixelFormat(nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(surface->Lock(nullptr, nullptr, DDLOCK_WAIT, nullptr), DDERR_INVALIDPARAMS);
    RECT outside{0, 0, 2000, 10};
    DDSURFACEDESC l{};
    l.dwSize = sizeof l;
    EXPECT_EQ(surface->Lock(&outside, &l, DDLOCK_WAIT, nullptr), DDERR_INVALIDRECT);
    EXPECT_EQ(surface->Blt(nullptr, nullptr, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_YESNO), IDYES);
    surface->Release();
    ddraw->Release();
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(emu_test_loaded_libraries(), 0);
}

TEST_F(Platform, ScriptedFailuresHitTheNthCall)
{
    emu_test_fail("IDirectDraw::SetDisplayMode", 2, DDERR_UNSUPPORTEDMODE);
    emu_test_fail("CreateWindowExA");
    EXPECT_EQ(popup(), nullptr);
    HWND window = popup();
    ASSERT_NE(window, nullptr);
    IDirectDraw* ddraw = create_ddraw();
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    EXPECT_EQ(ddraw->SetDisplayMode(640, 480, 32), DD_OK);
    EXPECT_EQ(ddraw->SetDisplayMode(640, 480, 32), DDERR_UNSUPPORTEDMODE);
    EXPECT_EQ(ddraw->SetDisplayMode(640, 480, 32), DD_OK);
    const auto calls = emu_test_calls({"IDirectDraw::SetDisplayMode"});
    EXPECT_EQ(calls, std::vector<std::string>(3, "IDirectDraw::SetDisplayMode(640, 480, 32)"));
    ddraw->Release();
}

TEST_F(Platform, NoDisplayMeansNoWindowAndNoDirectDraw)
{
    emu_test_set_display_available(false);
    EXPECT_EQ(popup(), nullptr);
    HMODULE module = LoadLibraryA("ddraw.dll");
    auto create =
        reinterpret_cast<DirectDrawCreateProc>(reinterpret_cast<void*>(GetProcAddress(module, "DirectDrawCreate")));
    IDirectDraw* ddraw = nullptr;
    EXPECT_LT(create(nullptr, &ddraw, nullptr), 0);
    EXPECT_EQ(ddraw, nullptr);
}

// The headless screen shows a known frame in each of the eight formats, read back decoded.
TEST_F(Platform, HeadlessScreenShowsEveryFormat)
{
    const EmuPixelFormat formats[] = {emu_format_xrgb8888(), emu_format_xbgr8888(), emu_format_rgb888(),
                                      emu_format_bgr888(),   emu_format_rgb565(),   emu_format_bgr565(),
                                      emu_format_xrgb1555(), emu_format_xbgr1555()};
    for (const EmuPixelFormat& f : formats) {
        emu_test_reset();
        WNDCLASSA wc{};
        wc.lpfnWndProc = record_proc;
        wc.lpszClassName = "test";
        RegisterClassA(&wc);
        emu_test_set_modes({{640, 480, f}});
        IDirectDraw* ddraw = create_ddraw();
        IDirectDrawSurface* primary = fullscreen(ddraw, popup(), f.bits, 1);
        DDSCAPS caps{DDSCAPS_BACKBUFFER};
        IDirectDrawSurface* back = nullptr;
        ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
        DDSURFACEDESC desc = lock(back);
        const int bpp = static_cast<int>(f.bits / 8);
        // Pure red at the top-left pixel, pure blue at the bottom-right, white between.
        auto put = [&](int x, int y, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
            const std::uint32_t v =
                (f.red & (r * 0x01010101u)) | (f.green & (g * 0x01010101u)) | (f.blue & (b * 0x01010101u));
            std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * bpp, &v, bpp);
        };
        put(0, 0, 255, 0, 0);
        put(639, 479, 0, 0, 255);
        put(320, 240, 255, 255, 255);
        back->Unlock(desc.lpSurface);
        primary->Flip(nullptr, DDFLIP_WAIT);
        std::vector<std::uint32_t> pixels;
        int w = 0, h = 0;
        ASSERT_TRUE(screen_read_back(&pixels, &w, &h));
        ASSERT_EQ(w, 640);
        ASSERT_EQ(h, 480);
        const std::uint32_t white = emu_decode_pixel(f, reinterpret_cast<const BYTE*>("\xff\xff\xff\xff"));
        EXPECT_EQ(pixels[0] & 0xF80000, 0xF80000u) << f.bits << " bits: red";
        EXPECT_EQ(pixels[0] & 0x00FFFF, 0u);
        EXPECT_EQ(pixels[479 * 640 + 639], white & 0xFF) << f.bits << " bits: blue";
        EXPECT_EQ(pixels[240 * 640 + 320], white);
        EXPECT_EQ(pixels[1], 0u);
        back->Release();
        primary->Release();
        ddraw->Release();
    }
}

// Coordinates near the ends of the 32-bit range are computed as Windows does,
// in 32 bits that wrap, never overflowing; a blit's rectangle across the whole
// range is clipped to the window, and refused without a clipper.
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

    HWND w =
        CreateWindowExA(0, "test", "w", WS_POPUP | WS_VISIBLE, 100, 100, 64, 32, nullptr, nullptr, nullptr, nullptr);
    IDirectDraw* ddraw = create_ddraw();
    ASSERT_EQ(ddraw->SetCooperativeLevel(w, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface* primary = plain_primary(ddraw);
    ASSERT_NE(primary, nullptr);
    IDirectDrawSurface* source = offscreen(ddraw, 1, 1);
    fill32(source, 0x123456);
    RECT wide{-1100000000, 0, 1100000000, 10};
    EXPECT_EQ(primary->Blt(&wide, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT) << "without a clipper";
    RECT from{INT_MIN, 0, 1, 1};
    EXPECT_EQ(primary->Blt(nullptr, source, &from, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, w), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    RECT all{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    ASSERT_EQ(primary->Blt(&all, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
    const EmuScreenshot shot = emu_test_screen();
    EXPECT_EQ(shot.at(100, 100) & 0xFFFFFF, 0x123456u);
    EXPECT_EQ(shot.at(163, 131) & 0xFFFFFF, 0x123456u);
    EXPECT_EQ(shot.at(164, 131) & 0xFFFFFF, 0u) << "outside the window";
    clipper->Release();
    source->Release();
    primary->Release();
    ddraw->Release();
}

namespace {
UINT destroy_on = 0;
LRESULT CALLBACK self_destroying_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == destroy_on) DestroyWindow(window);
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

// Limits and results as documented: a queue holds 10,000 posted messages; an OK
// box answers IDOK; a window its procedure destroys while it is being created
// is not returned; a blit within one surface reads it as it was before; the
// screen lets go of a primary that is gone.
TEST_F(Platform, DocumentedLimitsAndResultsHold)
{
    HWND w = popup();
    int posted = 0;
    while (posted < 10001 && PostMessageA(w, WM_USER, 0, 0)) ++posted;
    EXPECT_EQ(posted, 10000);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, w, 0, 0, PM_REMOVE));
    EXPECT_TRUE(PostMessageA(w, WM_USER, 0, 0)) << "room again";
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }

    emu_test_answer_question(IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "done", "box", MB_OK), IDOK);

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
    EXPECT_EQ(emu_test_live_windows(), 1);

    IDirectDraw* ddraw = create_ddraw();
    ASSERT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface* row = offscreen(ddraw, 4, 1);
    DDSURFACEDESC desc = lock(row);
    const std::uint32_t start[4] = {1, 2, 3, 4};
    std::memcpy(desc.lpSurface, start, sizeof start);
    row->Unlock(desc.lpSurface);
    RECT to{1, 0, 4, 1}, from{0, 0, 3, 1};
    ASSERT_EQ(row->Blt(&to, row, &from, DDBLT_WAIT, nullptr), DD_OK);
    desc = lock(row);
    std::uint32_t after[4];
    std::memcpy(after, desc.lpSurface, sizeof after);
    row->Unlock(desc.lpSurface);
    EXPECT_EQ(std::vector<std::uint32_t>(after, after + 4), (std::vector<std::uint32_t>{1, 1, 2, 3}));
    row->Release();

    // A primary shown in a window, then gone, then another with no window to show it.
    ShowWindow(w, SW_SHOWNORMAL);
    IDirectDrawSurface* primary = plain_primary(ddraw);
    ASSERT_NE(primary, nullptr);
    primary->Release();
    ShowWindow(w, SW_HIDE);
    primary = plain_primary(ddraw);
    ASSERT_NE(primary, nullptr);
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    EXPECT_FALSE(screen_read_back(&pixels, &width, &height)) << "nothing is shown";
    primary->Release();
    ddraw->Release();
}
