// DirectDraw at the normal cooperative level: creation, levels, the primary and
// offscreen surfaces, locking, stretched and clipped blits.
#include <algorithm>

#include "platform/conformance/conformance.h"

namespace {

// Colours as a screen of `format` stores them, from 8-bit channels.
DWORD encode(const DDPIXELFORMAT& f, DWORD r, DWORD g, DWORD b)
{
    auto place = [](DWORD v, DWORD mask) { return mask ? ((v * 0x01010101u) & mask) : 0u; };
    return place(r, f.dwRBitMask) | place(g, f.dwGBitMask) | place(b, f.dwBBitMask);
}

}  // namespace

// DirectDrawCreate takes the default display or the emulation-only driver, and
// refuses aggregation.
TEST_F(Conformance, DirectDrawCreateTakesTheDefaultOrEmulationOnly)
{
    DirectDrawLibrary dd;
    ASSERT_NE(dd.create, nullptr);
    IDirectDraw* ddraw = nullptr;
    ASSERT_EQ(dd.create(nullptr, &ddraw, nullptr), DD_OK);
    ASSERT_NE(ddraw, nullptr);
    EXPECT_EQ(ddraw->Release(), 0u);
    ddraw = nullptr;
    EXPECT_EQ(dd.create(reinterpret_cast<GUID*>(DDCREATE_EMULATIONONLY), &ddraw, nullptr), DD_OK);
    ASSERT_NE(ddraw, nullptr);
    EXPECT_EQ(ddraw->Release(), 0u);
    ddraw = nullptr;
    EXPECT_LT(dd.create(nullptr, &ddraw, reinterpret_cast<IUnknown*>(&dd)), 0) << "no aggregation";
    EXPECT_EQ(ddraw, nullptr);
}

// The normal level needs no window; exclusive needs full screen and a window.
TEST_F(Conformance, CooperativeLevelsTakeTheirDocumentedFlags)
{
    DirectDrawLibrary dd;
    IDirectDraw* ddraw = dd.make();
    ASSERT_NE(ddraw, nullptr);
    HWND w = create(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(ddraw->SetCooperativeLevel(w, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(ddraw->SetCooperativeLevel(w, DDSCL_NORMAL | DDSCL_FULLSCREEN), DD_OK) << "full screen without exclusive";
    EXPECT_EQ(ddraw->SetCooperativeLevel(w, DDSCL_EXCLUSIVE), DDERR_INVALIDPARAMS) << "exclusive needs full screen";
    EXPECT_LT(ddraw->SetCooperativeLevel(nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), 0) << "and a window";
    EXPECT_LT(ddraw->SetCooperativeLevel(w, 0), 0) << "no level";
    EXPECT_EQ(ddraw->Release(), 0u);
}

// At the normal level: a primary surface, and an offscreen surface given no
// pixel format takes the display's; a lock gives the top row and a pitch that
// holds a row; a surface locked once is busy until unlocked.
TEST_F(Conformance, PrimaryAndOffscreenShareTheDisplayFormat)
{
    DirectDrawLibrary dd;
    IDirectDraw* ddraw = dd.make();
    ASSERT_NE(ddraw, nullptr);
    ASSERT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    IDirectDrawSurface* primary = nullptr;
    DDSURFACEDESC desc = surface_desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY);
    ASSERT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DD_OK);

    desc = surface_desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN);
    desc.dwWidth = 64;
    desc.dwHeight = 32;
    IDirectDrawSurface* offscreen = nullptr;
    ASSERT_EQ(ddraw->CreateSurface(&desc, &offscreen, nullptr), DD_OK);
    const DDPIXELFORMAT screen = pixel_format_of(primary), own = pixel_format_of(offscreen);
    EXPECT_TRUE(screen.dwFlags & DDPF_RGB);
    EXPECT_EQ(own.dwRGBBitCount, screen.dwRGBBitCount);
    EXPECT_EQ(own.dwRBitMask, screen.dwRBitMask);
    EXPECT_EQ(own.dwGBitMask, screen.dwGBitMask);
    EXPECT_EQ(own.dwBBitMask, screen.dwBBitMask);

    DDSURFACEDESC locked = surface_desc(0, 0);
    ASSERT_EQ(offscreen->Lock(nullptr, &locked, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_NE(locked.lpSurface, nullptr);
    EXPECT_EQ(locked.dwWidth, 64u);
    EXPECT_EQ(locked.dwHeight, 32u);
    EXPECT_GE(locked.lPitch, static_cast<LONG>(64 * screen.dwRGBBitCount / 8));
    DDSURFACEDESC again = surface_desc(0, 0);
    EXPECT_EQ(offscreen->Lock(nullptr, &again, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
    EXPECT_EQ(offscreen->Unlock(locked.lpSurface), DD_OK);
    EXPECT_EQ(offscreen->Unlock(nullptr), DDERR_NOTLOCKED);
    EXPECT_EQ(offscreen->IsLost(), DD_OK);
    EXPECT_EQ(offscreen->Restore(), DD_OK) << "nothing to restore";

    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    EXPECT_EQ(primary->GetAttachedSurface(&caps, &back), DDERR_NOTFOUND) << "a primary without a chain";
    EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_NOTFLIPPABLE);

    IDirectDrawSurface* second = nullptr;
    desc.dwSize = sizeof desc - 4;
    EXPECT_EQ(ddraw->CreateSurface(&desc, &second, nullptr), DDERR_INVALIDPARAMS) << "a wrong record size";
    EXPECT_EQ(offscreen->Release(), 0u);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(ddraw->Release(), 0u);
}

// A blit into the primary stretches the source rectangle onto the destination
// (screen coordinates); a clipper set to a window keeps it inside the window's
// client area, and without a clipper a rectangle off the screen is refused.
TEST_F(Conformance, BltStretchesAndTheClipperKeepsItInTheWindow)
{
    const int left = 100, top = 120, width = 64, height = 32, margin = 8;
    HWND w = create(WS_POPUP | WS_VISIBLE, left, top, width, height);
    ASSERT_NE(w, nullptr);
    pump();
    DirectDrawLibrary dd;
    IDirectDraw* ddraw = nullptr;
    IDirectDrawSurface* primary = nullptr;
    ASSERT_NO_FATAL_FAILURE(open_primary(dd, w, ddraw, primary));
    const DDPIXELFORMAT f = pixel_format_of(primary);
    const int bpp = static_cast<int>(f.dwRGBBitCount / 8);

    DDSURFACEDESC desc = surface_desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN);
    desc.dwWidth = 2;
    desc.dwHeight = 1;
    IDirectDrawSurface* source = nullptr;
    ASSERT_EQ(ddraw->CreateSurface(&desc, &source, nullptr), DD_OK);
    const DWORD red = encode(f, 0xFF, 0, 0), blue = encode(f, 0, 0, 0xFF);
    DDSURFACEDESC s = surface_desc(0, 0);
    ASSERT_EQ(source->Lock(nullptr, &s, DDLOCK_WAIT, nullptr), DD_OK);
    std::memcpy(s.lpSurface, &red, bpp);
    std::memcpy(static_cast<BYTE*>(s.lpSurface) + bpp, &blue, bpp);
    source->Unlock(s.lpSurface);

    RECT screen_wide{-10, 0, 10, 1};
    EXPECT_EQ(primary->Blt(&screen_wide, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT)
        << "off the screen without a clipper";

    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
    ASSERT_EQ(clipper->SetHWnd(0, w), DD_OK);
    ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
    // The destination reaches `margin` pixels beyond the window on every side.
    RECT dest{left - margin, top - margin, left + width + margin, top + height + margin};
    RECT src{0, 0, 2, 1};
    ASSERT_EQ(primary->Blt(&dest, source, &src, DDBLT_WAIT, nullptr), DD_OK);

    DDSURFACEDESC shown = surface_desc(0, 0);
    ASSERT_EQ(primary->Lock(nullptr, &shown, DDLOCK_WAIT, nullptr), DD_OK);
    // Only the colour bits count: what a 32-bit screen keeps in its top byte is its own.
    auto at = [&](int x, int y) {
        DWORD v = 0;
        std::memcpy(&v, static_cast<BYTE*>(shown.lpSurface) + y * shown.lPitch + x * bpp, bpp);
        return v & (f.dwRBitMask | f.dwGBitMask | f.dwBBitMask);
    };
    // The left source pixel fills the destination's left half and the right one
    // its right half; only their outer quarters are checked, as a stretch may
    // blend between the two.
    const int dest_width = width + 2 * margin;
    int wrong = 0;
    for (int y = top - margin; y < top + height + margin && wrong < 4; ++y)
        for (int x = left - margin; x < left + width + margin && wrong < 4; ++x) {
            const bool inside = x >= left && x < left + width && y >= top && y < top + height;
            const int along = x - (left - margin);
            if (inside && (along < dest_width / 4 || along >= dest_width * 3 / 4)) {
                const DWORD want = along < dest_width / 4 ? red : blue;
                if (at(x, y) != want) {
                    ADD_FAILURE() << "(" << x << ", " << y << ") shows 0x" << std::hex << at(x, y) << ", want 0x"
                                  << want;
                    ++wrong;
                }
            } else if (!inside && (at(x, y) == red || at(x, y) == blue)) {
                ADD_FAILURE() << "(" << x << ", " << y << ") outside the window was drawn";
                ++wrong;
            }
        }
    primary->Unlock(shown.lpSurface);
    EXPECT_EQ(clipper->Release(), 1u) << "the primary holds it";
    EXPECT_EQ(source->Release(), 0u);
    EXPECT_EQ(primary->Release(), 0u);
    EXPECT_EQ(ddraw->Release(), 0u);
}

// A clipped blit into a window hanging over the screen's edges draws the part
// on the screen and nothing beyond it: at the top-left and bottom-right corners.
TEST_F(Conformance, AClippedBltIntoAWindowOverTheScreensEdgeDrawsOnlyTheScreensPart)
{
    const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
    const int width = 64, height = 32;
    const POINT corners[] = {{-20, -10}, {screen_w - 30, screen_h - 12}};
    for (const POINT& at : corners) {
        HWND w = create(WS_POPUP | WS_VISIBLE, at.x, at.y, width, height);
        ASSERT_NE(w, nullptr);
        pump();
        DirectDrawLibrary dd;
        IDirectDraw* ddraw = nullptr;
        IDirectDrawSurface* primary = nullptr;
        ASSERT_NO_FATAL_FAILURE(open_primary(dd, w, ddraw, primary));
        const DDPIXELFORMAT f = pixel_format_of(primary);
        const int bpp = static_cast<int>(f.dwRGBBitCount / 8);
        DDSURFACEDESC desc = surface_desc(DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT, DDSCAPS_OFFSCREENPLAIN);
        desc.dwWidth = desc.dwHeight = 1;
        IDirectDrawSurface* source = nullptr;
        ASSERT_EQ(ddraw->CreateSurface(&desc, &source, nullptr), DD_OK);
        const DWORD red = encode(f, 0xFF, 0, 0);
        DDSURFACEDESC s = surface_desc(0, 0);
        ASSERT_EQ(source->Lock(nullptr, &s, DDLOCK_WAIT, nullptr), DD_OK);
        std::memcpy(s.lpSurface, &red, bpp);
        source->Unlock(s.lpSurface);
        IDirectDrawClipper* clipper = nullptr;
        ASSERT_EQ(ddraw->CreateClipper(0, &clipper, nullptr), DD_OK);
        ASSERT_EQ(clipper->SetHWnd(0, w), DD_OK);
        ASSERT_EQ(primary->SetClipper(clipper), DD_OK);
        RECT dest{at.x, at.y, at.x + width, at.y + height};
        const HRESULT blt = primary->Blt(&dest, source, nullptr, DDBLT_WAIT, nullptr);
        expect_documented(blt == DD_OK, wine_departs::CLIPPED_BLT_OFF_THE_SCREEN);

        DDSURFACEDESC shown = surface_desc(0, 0);
        ASSERT_EQ(primary->Lock(nullptr, &shown, DDLOCK_WAIT, nullptr), DD_OK);
        int wrong = 0;
        for (int y = std::max(0, static_cast<int>(at.y) - 2);
             y < std::min(screen_h, static_cast<int>(at.y) + height + 2) && wrong < 4; ++y)
            for (int x = std::max(0, static_cast<int>(at.x) - 2);
                 x < std::min(screen_w, static_cast<int>(at.x) + width + 2) && wrong < 4; ++x) {
                DWORD v = 0;
                std::memcpy(&v, static_cast<BYTE*>(shown.lpSurface) + y * shown.lPitch + x * bpp, bpp);
                v &= f.dwRBitMask | f.dwGBitMask | f.dwBBitMask;
                const bool inside = x >= at.x && x < at.x + width && y >= at.y && y < at.y + height;
                if ((v == red) != (inside && blt == DD_OK)) {
                    ADD_FAILURE() << "(" << x << ", " << y << ") shows 0x" << std::hex << v;
                    ++wrong;
                }
            }
        primary->Unlock(shown.lpSurface);
        clipper->Release();
        source->Release();
        primary->Release();
        EXPECT_EQ(ddraw->Release(), 0u);
        DestroyWindow(w);
    }
}
