// Opening and closing the display. Every step that fails returns 0 at once and
// leaves what was made in the state, for display_close to give back.
#include <cstdint>
#include <cstring>

#include "display/display.h"
#include "display/display_state.h"

// The records' published sizes, which DirectDraw checks, on 32-bit Windows.
static_assert(sizeof(void*) != 4 || sizeof(DDSURFACEDESC) == 108);
static_assert(sizeof(DDPIXELFORMAT) == 32);

namespace {

DDSURFACEDESC surface_desc(DWORD flags, DWORD caps)
{
    DDSURFACEDESC desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

void register_class(DisplayState& s, const char* title, UINT style, HCURSOR cursor)
{
    std::memset(&s.window_class, 0, sizeof s.window_class);
    s.window_class.style = style;
    s.window_class.lpfnWndProc = display_window_proc;
    s.window_class.hCursor = cursor;
    s.window_class.lpszClassName = title;
    s.window_class_atom = RegisterClassA(&s.window_class);
}

std::int32_t open_fullscreen(DisplayState& s, const char* title)
{
    register_class(s, title, 0, nullptr);
    SetCursor(nullptr);
    s.window = CreateWindowExA(0, title, title, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    if (s.ddraw->SetCooperativeLevel(s.window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN) < 0) return 0;
    if (s.ddraw->SetDisplayMode(s.width, s.height, 32) < 0 && s.ddraw->SetDisplayMode(s.width, s.height, 24) < 0 &&
        s.ddraw->SetDisplayMode(s.width, s.height, 16) < 0)
        return 0;
    // Two back buffers, else one, else a primary alone (which then has no back buffer to find).
    DDSURFACEDESC desc = surface_desc(DDSD_CAPS | DDSD_BACKBUFFERCOUNT,
                                      DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_VIDEOMEMORY);
    desc.dwBackBufferCount = 2;
    if (s.ddraw->CreateSurface(&desc, &s.primary, nullptr) < 0) {
        desc.dwBackBufferCount = 1;
        if (s.ddraw->CreateSurface(&desc, &s.primary, nullptr) < 0) {
            desc.dwFlags = DDSD_CAPS;
            desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY;
            if (s.ddraw->CreateSurface(&desc, &s.primary, nullptr) < 0) return 0;
        }
    }
    DDSCAPS caps{DDSCAPS_BACKBUFFER};
    if (s.primary->GetAttachedSurface(&caps, &s.lock_target) < 0) return 0;
    // DirectDraw has made the window cover the screen; a DirectDraw that shows the
    // frames through the window (as Wine's does) needs it shown too.
    ShowWindow(s.window, SW_SHOWNORMAL);
    return 1;
}

std::int32_t open_windowed(DisplayState& s, const char* title)
{
    register_class(s, title, CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW));
    // Measured as an overlapped window, centred on the screen (a negative
    // difference stays negative), created with a fixed frame.
    RECT rect{0, 0, s.width, s.height};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    // A window whose outer size does not fit an int can't be made.
    const long long outer_w = static_cast<long long>(rect.right) - rect.left;
    const long long outer_h = static_cast<long long>(rect.bottom) - rect.top;
    if (outer_w <= 0 || outer_h <= 0 || outer_w > INT32_MAX || outer_h > INT32_MAX) return 0;
    int w = static_cast<int>(outer_w);
    int h = static_cast<int>(outer_h);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - w) >> 1;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - h) >> 1;
    if (!s.opened.borderless) {
        s.window = CreateWindowExA(0, title, title, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, x, y, w, h, nullptr,
                                   nullptr, nullptr, nullptr);
    } else {
        w -= 2 * GetSystemMetrics(SM_CXDLGFRAME);
        h -= 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
        s.window =
            CreateWindowExA(0, title, title, WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
    }
    ShowWindow(s.window, SW_SHOWNORMAL);
    if (s.ddraw->SetCooperativeLevel(s.window, DDSCL_NORMAL) < 0) return 0;
    DDSURFACEDESC desc = surface_desc(DDSD_CAPS, DDSCAPS_PRIMARYSURFACE | DDSCAPS_VIDEOMEMORY);
    if (s.ddraw->CreateSurface(&desc, &s.primary, nullptr) < 0) return 0;
    // No pixel format is given, so the offscreen surface takes the display's.
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwHeight = static_cast<DWORD>(s.height);
    desc.dwWidth = static_cast<DWORD>(s.width);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    if (s.ddraw->CreateSurface(&desc, &s.offscreen, nullptr) < 0) return 0;
    if (s.ddraw->CreateClipper(0, &s.clipper, nullptr) < 0) return 0;
    if (s.clipper->SetHWnd(0, s.window) < 0) return 0;
    if (s.primary->SetClipper(s.clipper) < 0) return 0;
    s.lock_target = s.offscreen;
    return 1;
}

}  // namespace

std::int32_t display_open(const char* title, std::int32_t width, std::int32_t height)
{
    DisplayState& s = display_state;
    // One display at a time: a second open leaves the first as it is. And no
    // surface has a side of no pixels.
    if (s.ddraw_module || s.ddraw || s.window || width <= 0 || height <= 0) return 0;
    s.width = width;
    s.height = height;
    s.opened = s.configured;
    s.ddraw_module = LoadLibraryA("ddraw.dll");
    if (!s.ddraw_module) return 0;
    const auto create = reinterpret_cast<DirectDrawCreateProc>(
        reinterpret_cast<void*>(GetProcAddress(s.ddraw_module, "DirectDrawCreate")));
    if (!create) return 0;
    if (create(nullptr, &s.ddraw, nullptr) < 0) return 0;
    if (s.opened.ask_question == 1) {
        // Yes means full screen.
        const int answer = MessageBoxA(nullptr, s.opened.question_text, title, MB_ICONQUESTION | MB_YESNO);
        s.opened.windowed = answer == IDNO ? 1 : 0;
    }
    if (!(s.opened.windowed == 0 ? open_fullscreen(s, title) : open_windowed(s, title))) return 0;

    DDPIXELFORMAT format;
    std::memset(&format, 0, sizeof format);
    format.dwSize = sizeof format;
    if (s.primary->GetPixelFormat(&format) < 0 || !(format.dwFlags & DDPF_RGB)) return 0;
    s.converter = select_row_converter(format.dwRGBBitCount, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask);
    if (!s.converter) return 0;
    s.converted_bytes = static_cast<std::int32_t>(format.dwRGBBitCount / 8);
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
    return 1;
}

void display_close()
{
    DisplayState& s = display_state;
    // The back buffer was looked up with a reference of its own; the offscreen
    // surface is the lock target in windowed mode and is released once.
    if (s.lock_target && s.lock_target != s.offscreen) s.lock_target->Release();
    s.lock_target = nullptr;
    if (s.offscreen) {
        s.offscreen->Release();
        s.offscreen = nullptr;
    }
    if (s.primary) {
        s.primary->Release();  // a flipping chain's back buffers go with it
        s.primary = nullptr;
    }
    if (s.clipper) {
        s.clipper->Release();
        s.clipper = nullptr;
    }
    if (s.ddraw) {
        s.ddraw->RestoreDisplayMode();
        s.ddraw->SetCooperativeLevel(s.window, DDSCL_NORMAL);
        s.ddraw->Release();
        s.ddraw = nullptr;
    }
    if (s.window) {
        DestroyWindow(s.window);
        s.window = nullptr;
    }
    if (s.window_class_atom) {
        UnregisterClassA(MAKEINTATOM(s.window_class_atom), nullptr);
        s.window_class_atom = 0;
    }
    if (s.ddraw_module) {
        FreeLibrary(s.ddraw_module);
        s.ddraw_module = nullptr;
    }
    s.converter = nullptr;
    display_release_input();                     // the next display starts with every key and button up
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));  // shown again if full screen hid it
    SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
}
