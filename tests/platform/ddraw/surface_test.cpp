// DirectDraw's surfaces: flips paced to the refresh, locks, lost surfaces,
// blits. (Flipping chains' contents and a mode change's lost surfaces are the
// conformance suite's.)

#include <climits>

#include "platform/platform_support.h"

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
    // A rectangle's lock points at its top-left pixel, with the surface's pitch.
    RECT part{2, 3, 5, 4};
    DDSURFACEDESC in_part{};
    in_part.dwSize = sizeof in_part;
    ASSERT_EQ(surface->Lock(&part, &in_part, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(static_cast<BYTE*>(in_part.lpSurface), static_cast<BYTE*>(desc.lpSurface) + 3 * desc.lPitch + 2 * 4);
    EXPECT_EQ(surface->Unlock(in_part.lpSurface), DD_OK);
    surface->Release();
    ddraw->Release();
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
    back->Release();
    primary->Release();
    ddraw->Release();
}

// A blit's rectangle across the whole 32-bit range is clipped to the window,
// and refused without a clipper.
TEST_F(Platform, BltRectanglesAcrossTheWholeRangeAreClippedOrRefused)
{
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
    EXPECT_EQ(shot.at(99, 100) & 0xFFFFFF, 0u) << "outside the window";
    clipper->Release();
    source->Release();
    primary->Release();
    ddraw->Release();
    EXPECT_EQ(emu_test_live_ddraw_objects(), 0) << "the primary released its clipper";
}

// A blit within one surface reads it as it was before the blit.
TEST_F(Platform, ABltWithinOneSurfaceReadsItAsItWas)
{
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
    ddraw->Release();
}
