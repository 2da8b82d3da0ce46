// The call log's failure injection: the nth call fails, and leaves the
// platform as Windows could leave it.

#include "platform/platform_support.h"

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
