// The DirectDraw object: modes the screen offers, objects freed with what owns
// them, bad input refused, no display.

#include "platform/platform_support.h"

TEST_F(Platform, ModesTheScreenDoesNotOfferAreRefused)
{
    emu_test_set_modes({{640, 480, emu_format(PIXEL_FORMAT_RGB565)}});
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

// A display that can show nothing says so: a mode it can't take is refused and
// left unset, and a flip or a blit onto what it shows fails.
TEST_F(Platform, AScreenThatCanShowNothingFailsWhatReachesIt)
{
    IDirectDraw* ddraw = create_ddraw();
    IDirectDrawSurface* primary = fullscreen(ddraw, popup(), 32, 1);
    emu_test_set_screen_refuses(true);
    EXPECT_EQ(primary->Flip(nullptr, 0), DDERR_GENERIC);
    EXPECT_EQ(primary->Blt(nullptr, primary, nullptr, 0, nullptr), DDERR_GENERIC);
    EXPECT_EQ(ddraw->SetDisplayMode(800, 600, 32), DDERR_UNSUPPORTEDMODE);
    EXPECT_EQ(emu_test_display_mode().width, 640) << "the mode it had";
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
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    EXPECT_EQ(clipper->SetHWnd(0, reinterpret_cast<HWND>(static_cast<UINT_PTR>(0x4242))), DDERR_INVALIDPARAMS)
        << "not a window";
    clipper->Release();
    EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_YESNO), IDYES);
    surface->Release();
    ddraw->Release();
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_FALSE(FreeLibrary(module));
    EXPECT_EQ(emu_test_loaded_libraries(), 0);
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
