#pragma once

// Shared by the emulation's tests: a fresh platform per test with a window
// class whose procedure records what it receives, and DirectDraw's objects
// made as the presenter makes them.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/emu/test_control/emu_test_control.h"
#include "platform/platform.h"

struct Seen {
    UINT message;
    WPARAM wParam;
};
inline std::vector<Seen> seen;

inline LRESULT CALLBACK record_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    seen.push_back({message, wParam});
    return DefWindowProcA(window, message, wParam, lParam);
}

inline std::vector<WPARAM> activations()
{
    std::vector<WPARAM> out;
    for (const Seen& s : seen)
        if (s.message == WM_ACTIVATEAPP) out.push_back(s.wParam);
    return out;
}

struct Platform : ::testing::Test {
    void SetUp() override { reset(); }

    // A fresh platform with the recording window class.
    static void reset()
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

inline DDSURFACEDESC lock(IDirectDrawSurface* surface, HRESULT want = DD_OK)
{
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), want);
    return desc;
}

// Fills every pixel of a 32-bit surface with `value`.
inline void fill32(IDirectDrawSurface* surface, std::uint32_t value)
{
    DDSURFACEDESC desc = lock(surface);
    for (DWORD y = 0; y < desc.dwHeight; ++y)
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            std::memcpy(static_cast<BYTE*>(desc.lpSurface) + y * desc.lPitch + x * 4, &value, 4);
    surface->Unlock(desc.lpSurface);
}
