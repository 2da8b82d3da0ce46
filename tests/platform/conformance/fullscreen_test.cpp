// DirectDraw at the exclusive full-screen level: display modes, flipping
// chains, lost surfaces. These change the display's mode.
#include "platform/conformance/conformance.h"

namespace {

struct FullScreen : Conformance {
    DirectDrawLibrary dd;
    IDirectDraw* ddraw = nullptr;
    HWND window = nullptr;

    void SetUp() override
    {
        Conformance::SetUp();
        window = create(WS_POPUP, 0, 0, 0, 0);
        ASSERT_NE(window, nullptr);
        ddraw = dd.make();
        ASSERT_NE(ddraw, nullptr);
        ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    }

    void TearDown() override
    {
        if (ddraw) {
            ddraw->RestoreDisplayMode();
            ddraw->SetCooperativeLevel(window, DDSCL_NORMAL);
            EXPECT_EQ(ddraw->Release(), 0u);
        }
        Conformance::TearDown();
    }

    IDirectDrawSurface* chain(DWORD backs)
    {
        DDSURFACEDESC desc = surface_desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP |
                                                                                DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY);
        desc.dwBackBufferCount = backs;
        IDirectDrawSurface* primary = nullptr;
        EXPECT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
        return primary;
    }
};

}  // namespace

// A mode the display offers becomes the screen's size, and the exclusive
// window covers it; RestoreDisplayMode gives the previous mode back.
TEST_F(FullScreen, DisplayModeSetsTheScreenSize)
{
    const int before_w = GetSystemMetrics(SM_CXSCREEN), before_h = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_LT(ddraw->SetDisplayMode(641, 479, 32), 0) << "not a mode of the display";
    ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 32), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
    pump();
    RECT client;
    ASSERT_TRUE(GetClientRect(window, &client));
    EXPECT_EQ(client.right, 640) << "the exclusive window covers the screen";
    EXPECT_EQ(client.bottom, 480);
    ASSERT_EQ(ddraw->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), before_w);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), before_h);
}

// A flipping chain of one or two back buffers: the attached back buffer is
// always the same object; each flip shows what was drawn into it, and the
// back buffer then stands for the hidden buffer. A back buffer was created
// implicitly with its chain, so it can't be restored on its own.
TEST_F(FullScreen, FlippingChainsShowTheBackBuffer)
{
    ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 32), DD_OK);
    for (DWORD backs : {1u, 2u}) {
        IDirectDrawSurface* primary = chain(backs);
        ASSERT_NE(primary, nullptr);
        DDSCAPS caps{DDSCAPS_BACKBUFFER};
        IDirectDrawSurface* back = nullptr;
        ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
        const ULONG refs = back->AddRef();
        back->Release();
        IDirectDrawSurface* again = nullptr;
        ASSERT_EQ(primary->GetAttachedSurface(&caps, &again), DD_OK);
        EXPECT_EQ(again, back);
        EXPECT_EQ(again->AddRef(), refs + 1) << "each GetAttachedSurface gives the asker a reference of its own";
        again->Release();
        EXPECT_EQ(again->Release(), refs - 1);
        DDSURFACEDESC desc = surface_desc(0, 0);
        ASSERT_EQ(primary->GetSurfaceDesc(&desc), DD_OK);
        EXPECT_EQ(desc.dwBackBufferCount, backs);
        EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_FRONTBUFFER);
        ASSERT_EQ(back->GetSurfaceDesc(&desc), DD_OK);
        EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);
        EXPECT_EQ(desc.dwWidth, 640u);
        EXPECT_EQ(desc.dwHeight, 480u);

        for (DWORD frame = 1; frame <= 4; ++frame) {
            set_first_pixel(back, frame * 0x010101);
            ASSERT_EQ(primary->Flip(nullptr, frame % 2 ? DDFLIP_WAIT : DDFLIP_NOVSYNC), DD_OK) << "frame " << frame;
            EXPECT_EQ(first_pixel(primary) & 0xFFFFFF, frame * 0x010101) << backs << " back buffers, frame " << frame;
        }
        // The hidden buffer holds what was shown `backs` flips ago.
        EXPECT_EQ(first_pixel(back) & 0xFFFFFF, (4 - backs) * 0x010101) << backs << " back buffers";

        expect_documented(back->Restore() == DDERR_IMPLICITLYCREATED, wine_departs::RESTORE_OF_A_BACK_BUFFER);
        EXPECT_EQ(primary->Restore(), DD_OK);
        back->Release();
        EXPECT_EQ(primary->Release(), 0u) << "the chain goes with its front";
    }
}

// A flipping chain needs the complex and flip caps, a back-buffer count, and
// the exclusive level.
TEST_F(FullScreen, FlippingChainsNeedTheirCapsAndTheExclusiveLevel)
{
    ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 32), DD_OK);
    DDSURFACEDESC desc = surface_desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP);
    desc.dwBackBufferCount = 1;
    IDirectDrawSurface* primary = nullptr;
    EXPECT_LT(ddraw->CreateSurface(&desc, &primary, nullptr), 0) << "without DDSCAPS_COMPLEX";
    desc = surface_desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
    EXPECT_LT(ddraw->CreateSurface(&desc, &primary, nullptr), 0) << "without a count";
    EXPECT_EQ(primary, nullptr);
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    desc = surface_desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT, DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX);
    desc.dwBackBufferCount = 1;
    EXPECT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DDERR_NOEXCLUSIVEMODE);
}

// Changing the mode loses the surfaces made in the old one: they can't be
// locked or asked for their back buffer, and come back with Restore only in a
// mode like the one they were made in.
TEST_F(FullScreen, AModeChangeLosesSurfacesUntilTheirModeIsBack)
{
    ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 32), DD_OK);
    IDirectDrawSurface* primary = chain(1);
    ASSERT_NE(primary, nullptr);
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    IDirectDrawSurface* back = nullptr;
    ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
    EXPECT_EQ(primary->IsLost(), DD_OK);
    ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 16), DD_OK);
    EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
    IDirectDrawSurface* lost_back = nullptr;
    EXPECT_EQ(primary->GetAttachedSurface(&caps, &lost_back), DDERR_SURFACELOST);
    DDSURFACEDESC desc = surface_desc(0, 0);
    EXPECT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
    EXPECT_EQ(primary->Restore(), DDERR_WRONGMODE);
    ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 32), DD_OK);
    EXPECT_EQ(primary->Restore(), DD_OK);
    EXPECT_EQ(back->IsLost(), DD_OK) << "the chain comes back with its front";
    back->Release();
    EXPECT_EQ(primary->Release(), 0u);
}
