// The headless screen: what it shows, read back decoded.
#include "platform/platform_support.h"
#include "platform/screen/screen.h"
#include "support/formats.h"

// A known frame in each of the eight formats, read back decoded.
TEST_F(Platform, HeadlessScreenShowsEveryFormat)
{
    for (const EmuPixelFormat& f : ALL_FORMATS) {
        reset();
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

// The screen lets go of a primary that is gone: shown in a window, released,
// then another with no window to show it.
TEST_F(Platform, TheScreenLetsGoOfAPrimaryThatIsGone)
{
    HWND w = popup();
    IDirectDraw* ddraw = create_ddraw();
    ASSERT_EQ(ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
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
