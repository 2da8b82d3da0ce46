#pragma once

// The platform conformance suite: tests of the platform layer's public
// operations only, built unchanged against our emulation and against the real
// USER32, KERNEL32 and DirectDraw (run under Wine). Each test states documented
// Windows behaviour. Full-screen tests are in suites named FullScreen*, which
// need a display whose mode may change (a virtual desktop under Wine).

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "platform/platform.h"

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The messages the test windows' procedure received, in order, and what it
// should do with one (return true with *result set to handle it, false to pass
// it to DefWindowProcA).
inline std::vector<Received> received;
inline std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)> react;

inline LRESULT CALLBACK conformance_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    received.push_back({window, message, wParam, lParam});
    LRESULT result = 0;
    if (react && react(window, message, wParam, lParam, &result)) return result;
    return DefWindowProcA(window, message, wParam, lParam);
}

// Where Wine departs from the documented behaviour. Each departure is named
// here with its reason, and only the check that names it is relaxed: under Wine
// it expects Wine's behaviour (and says so when Wine has come to follow the
// documentation), everywhere else the documented one.
struct WineDeparture {
    const char* what;
    const char* why;
};
namespace wine_departs {
inline constexpr WineDeparture RESTORE_OF_A_BACK_BUFFER = {
    "Restore on a flipping chain's back buffer",
    "Wine restores it and answers DD_OK; the documentation answers DDERR_IMPLICITLYCREATED for a surface "
    "created implicitly as part of a chain"};
inline constexpr WineDeparture MESSAGE_BOX_FAILURE = {
    "MessageBoxA's result when the box can't be shown",
    "Wine answers -1, its dialog box's failure; the documentation answers 0"};
inline constexpr WineDeparture CLIPPED_BLT_OFF_THE_SCREEN = {
    "A clipped Blt into a window partly off the screen",
    "Wine refuses the destination with DDERR_INVALIDRECT; the documentation has the clipper's window "
    "clip it to what is on the screen"};
}  // namespace wine_departs

bool running_under_wine();

// Checks a documented behaviour that Wine is known not to follow.
inline void expect_documented(bool documented, const WineDeparture& departure)
{
    if (running_under_wine())
        EXPECT_FALSE(documented) << departure.what << ": Wine now does as documented; remove its mark";
    else
        EXPECT_TRUE(documented) << departure.what << ": not as documented";
}

struct Conformance : ::testing::Test {
    static constexpr const char* CLASS = "conformance";
    ATOM atom = 0;
    std::vector<HWND> windows;

    void SetUp() override
    {
        received.clear();
        react = nullptr;
        WNDCLASSA wc;
        std::memset(&wc, 0, sizeof wc);
        wc.lpfnWndProc = conformance_proc;
        wc.lpszClassName = CLASS;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        atom = RegisterClassA(&wc);
        ASSERT_NE(atom, 0);
    }

    void TearDown() override
    {
        react = nullptr;
        for (HWND w : windows)
            if (IsWindow(w)) DestroyWindow(w);
        pump();
        UnregisterClassA(CLASS, nullptr);
    }

    HWND create(DWORD style, int x, int y, int width, int height, LPVOID param = nullptr)
    {
        HWND w = CreateWindowExA(0, CLASS, "conformance", style, x, y, width, height, nullptr, nullptr, nullptr, param);
        if (w) windows.push_back(w);
        return w;
    }

    // Dispatches every queued message, as a program's message loop does.
    static void pump()
    {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }

    // The received messages of one kind, for one window (any window when null).
    static std::vector<Received> seen(UINT message, HWND window = nullptr)
    {
        std::vector<Received> out;
        for (const Received& r : received)
            if (r.message == message && (!window || r.window == window)) out.push_back(r);
        return out;
    }

    // The position of the first `message` for `window` in what was received, or -1.
    static int first(UINT message, HWND window)
    {
        for (std::size_t i = 0; i < received.size(); ++i)
            if (received[i].message == message && received[i].window == window) return static_cast<int>(i);
        return -1;
    }
};

// DirectDraw, loaded as the presenter loads it.
struct DirectDrawLibrary {
    HMODULE module = LoadLibraryA("ddraw.dll");
    DirectDrawCreateProc create = module ? reinterpret_cast<DirectDrawCreateProc>(
                                               reinterpret_cast<void*>(GetProcAddress(module, "DirectDrawCreate")))
                                         : nullptr;
    ~DirectDrawLibrary()
    {
        if (module) FreeLibrary(module);
    }
    IDirectDraw* make()
    {
        IDirectDraw* ddraw = nullptr;
        if (!create || create(nullptr, &ddraw, nullptr) < 0) return nullptr;
        return ddraw;
    }
};

inline DDSURFACEDESC surface_desc(DWORD flags, DWORD caps)
{
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

// A DirectDraw object at the normal level for `window`, and its primary surface.
inline void open_primary(DirectDrawLibrary& dd, HWND window, IDirectDraw*& ddraw, IDirectDrawSurface*& primary)
{
    ASSERT_NE(ddraw = dd.make(), nullptr);
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC desc = surface_desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE);
    ASSERT_EQ(ddraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
}

inline DDPIXELFORMAT pixel_format_of(IDirectDrawSurface* surface)
{
    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    EXPECT_EQ(surface->GetPixelFormat(&format), DD_OK);
    return format;
}

// The first pixel of a surface, as stored (up to 4 bytes).
inline DWORD first_pixel(IDirectDrawSurface* surface)
{
    DDSURFACEDESC desc = surface_desc(0, 0);
    DWORD value = 0;
    if (surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) != DD_OK) return 0xDEADDEAD;
    std::memcpy(&value, desc.lpSurface, desc.ddpfPixelFormat.dwRGBBitCount / 8);
    surface->Unlock(desc.lpSurface);
    return value;
}

inline void set_first_pixel(IDirectDrawSurface* surface, DWORD value)
{
    DDSURFACEDESC desc = surface_desc(0, 0);
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    std::memcpy(desc.lpSurface, &value, desc.ddpfPixelFormat.dwRGBBitCount / 8);
    surface->Unlock(desc.lpSurface);
}
