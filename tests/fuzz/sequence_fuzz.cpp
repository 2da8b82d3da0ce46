// Call sequences chosen by the bytes: the presenter's public operations, the
// platform's own (windows, messages, DirectDraw objects, surfaces, locks, blits,
// flips, clippers) and the emulation's test control (failures injected, modes
// offered, events delivered, answers given), over the headless screen. The
// references this driver holds are kept honest: it releases only what it holds,
// forgets a chain's back buffers with its front and a DirectDraw object's
// clippers with it, and gives everything back at the end. A crash, a sanitizer
// report, a leak or a call that does not return is a finding.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "display/display.h"
#include "display/display_state.h"
#include "platform/emu/test_control/emu_test_control.h"
#include "platform/platform.h"

namespace {

struct Held {
    void* object;
    int refs;      // references this driver holds
    int owner;     // the DirectDraw object's index (surfaces, clippers)
    void* front;   // a back buffer's chain front, else nullptr
    bool locked;
    DDSURFACEDESC lock;
};

struct Driver {
    FuzzedDataProvider& in;
    std::vector<HWND> windows;
    std::vector<Held> ddraws, surfaces, clippers;
    std::vector<Pixel> frame;
    std::int32_t open_width = 0, open_height = 0;

    int pick(std::size_t size) { return size ? in.ConsumeIntegralInRange<int>(0, static_cast<int>(size) - 1) : -1; }

    // A coordinate: small, near the display's size, or at the ends of the range.
    int coordinate()
    {
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0:
                return in.ConsumeIntegralInRange(-8, 8);
            case 1:
                return in.ConsumeIntegralInRange(-1200, 1200);
            case 2:
                return INT_MAX - in.ConsumeIntegralInRange(0, 4);
            case 3:
                return INT_MIN + in.ConsumeIntegralInRange(0, 4);
            case 4:
                return in.ConsumeIntegral<int>();
            default:
                return 640;
        }
    }
    RECT rect() { return {coordinate(), coordinate(), coordinate(), coordinate()}; }
    HWND window()
    {
        const int i = pick(windows.size() + 2);
        if (i < static_cast<int>(windows.size())) return windows[i];
        return i == static_cast<int>(windows.size()) ? display_state.window : nullptr;
    }
    Held* surface() { return surfaces.empty() ? nullptr : &surfaces[pick(surfaces.size())]; }
    IDirectDrawSurface* as_surface(const Held* h) { return h ? static_cast<IDirectDrawSurface*>(h->object) : nullptr; }

    void presenter_op()
    {
        switch (in.ConsumeIntegralInRange(0, 5)) {
            case 0: {
                static const char* const TEXTS[] = {nullptr, "", "Go?"};
                display_configure(in.ConsumeIntegralInRange(-1, 2), TEXTS[in.ConsumeIntegralInRange(0, 2)],
                                  in.ConsumeIntegralInRange(0, 2), in.ConsumeBool());
                break;
            }
            case 1: {
                const bool usual = in.ConsumeBool();
                const int w = usual ? 640 : (in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 1100) : coordinate());
                const int h = usual ? 480 : (in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 900) : coordinate());
                const bool was_open = open_width > 0;
                if (display_open("display", w, h) && !was_open) {
                    open_width = w;
                    open_height = h;
                    frame.assign(static_cast<std::size_t>(w) * h, 0x00123456);
                }
                break;
            }
            case 2:
                // The frame holds the open display's pixels, as the caller's must.
                display_present(in.ConsumeBool() || frame.empty() ? nullptr : frame.data());
                break;
            case 3:
                display_close();
                open_width = open_height = 0;
                break;
            case 4:
                display_set_flip_wait(in.ConsumeIntegral<std::int32_t>());
                break;
            default:
                (void)(display_mouse_x() + display_mouse_y() + display_left_button() + display_right_button());
                break;
        }
    }

    void window_op()
    {
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0: {
                static const DWORD STYLES[] = {WS_POPUP, WS_POPUP | WS_VISIBLE, WS_OVERLAPPEDWINDOW,
                                               WS_OVERLAPPEDWINDOW | WS_VISIBLE, WS_CAPTION | WS_SYSMENU};
                if (windows.size() >= 6) break;
                HWND w = CreateWindowExA(0, "fuzz windows", "w", STYLES[in.ConsumeIntegralInRange(0, 4)], coordinate(),
                                         coordinate(), coordinate(), coordinate(), nullptr, nullptr, nullptr, nullptr);
                if (w) windows.push_back(w);
                break;
            }
            case 1:
                if (!windows.empty()) {
                    const int i = pick(windows.size());
                    DestroyWindow(windows[i]);
                    windows.erase(windows.begin() + i);
                }
                break;
            case 2:
                ShowWindow(window(), in.ConsumeBool() ? SW_HIDE : SW_SHOWNORMAL);
                break;
            case 3: {
                static const UINT MESSAGES[] = {WM_USER, WM_PAINT, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONUP,
                                                WM_KEYDOWN, WM_CLOSE, WM_ACTIVATEAPP, WM_SYSKEYDOWN};
                const UINT m = MESSAGES[in.ConsumeIntegralInRange(0, 8)];
                const WPARAM wp = in.ConsumeIntegralInRange(0, 0x1FF);
                const LPARAM lp = in.ConsumeIntegral<std::uint32_t>();
                if (in.ConsumeBool())
                    PostMessageA(window(), m, wp, lp);
                else
                    SendMessageA(window(), m, wp, lp);
                break;
            }
            case 4: {
                MSG m;
                for (int i = 0; i < 64 && PeekMessageA(&m, in.ConsumeBool() ? nullptr : window(), 0, 0, PM_REMOVE);
                     ++i) {
                    TranslateMessage(&m);
                    DispatchMessageA(&m);
                }
                break;
            }
            case 5: {
                RECT r = rect();
                AdjustWindowRect(&r, in.ConsumeBool() ? WS_OVERLAPPEDWINDOW : WS_POPUP, in.ConsumeBool());
                POINT p{coordinate(), coordinate()};
                ClientToScreen(window(), &p);
                GetClientRect(window(), &r);
                break;
            }
            case 6:
                (void)(GetSystemMetrics(in.ConsumeIntegralInRange(0, 40)) + GetAsyncKeyState(in.ConsumeIntegral<int>()));
                SetCursor(in.ConsumeBool() ? nullptr : LoadCursorA(nullptr, IDC_ARROW));
                break;
            default:
                (void)MessageBoxA(window(), "?", "fuzz", in.ConsumeBool() ? MB_YESNO : MB_OK);
                break;
        }
    }

    // Forgets what a release freed: a chain's back buffers with its front, a
    // DirectDraw object's clippers with its last reference.
    void released_surface(std::size_t i)
    {
        void* gone = surfaces[i].object;
        surfaces.erase(surfaces.begin() + static_cast<std::ptrdiff_t>(i));
        std::erase_if(surfaces, [gone](const Held& h) { return h.front == gone; });
    }
    void released_ddraw(std::size_t i)
    {
        ddraws[i].object = nullptr;  // kept as a slot: indices stay the owners'
        std::erase_if(clippers, [i](const Held& h) { return h.owner == static_cast<int>(i); });
    }

    void ddraw_op()
    {
        switch (in.ConsumeIntegralInRange(0, 14)) {
            case 0: {
                if (ddraws.size() >= 3) break;
                HMODULE module = LoadLibraryA(in.ConsumeBool() ? "ddraw.dll" : "ddraw");
                auto create = reinterpret_cast<DirectDrawCreateProc>(
                    reinterpret_cast<void*>(GetProcAddress(module, "DirectDrawCreate")));
                IDirectDraw* d = nullptr;
                if (create && create(nullptr, &d, nullptr) == DD_OK && d) ddraws.push_back({d, 1, -1, nullptr, false, {}});
                if (module) FreeLibrary(module);
                break;
            }
            case 1: {
                const int i = pick(ddraws.size());
                if (i < 0 || !ddraws[i].object) break;
                auto* d = static_cast<IDirectDraw*>(ddraws[i].object);
                if (in.ConsumeBool()) {
                    d->AddRef();
                    ++ddraws[i].refs;
                } else if (d->Release(), --ddraws[i].refs == 0) {
                    released_ddraw(i);
                }
                break;
            }
            case 2: {
                static const DWORD LEVELS[] = {DDSCL_NORMAL, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, DDSCL_EXCLUSIVE, 0};
                if (IDirectDraw* d = live_ddraw()) d->SetCooperativeLevel(window(), LEVELS[in.ConsumeIntegralInRange(0, 3)]);
                break;
            }
            case 3: {
                static const DWORD BITS[] = {32, 24, 16, 15, 8};
                if (IDirectDraw* d = live_ddraw()) {
                    if (in.ConsumeBool())
                        d->SetDisplayMode(in.ConsumeBool() ? 640 : in.ConsumeIntegral<DWORD>(),
                                          in.ConsumeBool() ? 480 : in.ConsumeIntegral<DWORD>(),
                                          BITS[in.ConsumeIntegralInRange(0, 4)]);
                    else
                        d->RestoreDisplayMode();
                }
                break;
            }
            case 4:
                create_surface();
                break;
            case 5: {
                Held* h = surface();
                if (!h) break;
                const std::size_t i = static_cast<std::size_t>(h - surfaces.data());
                if (in.ConsumeBool()) {
                    as_surface(h)->AddRef();
                    ++h->refs;
                } else if (as_surface(h)->Release(), --h->refs == 0) {
                    released_surface(i);
                }
                break;
            }
            case 6: {
                Held* h = surface();
                if (!h) break;
                DDSCAPS caps{in.ConsumeBool() ? static_cast<DWORD>(DDSCAPS_BACKBUFFER) : 0u};
                IDirectDrawSurface* back = nullptr;
                if (as_surface(h)->GetAttachedSurface(&caps, &back) == DD_OK && back) {
                    auto known = std::find_if(surfaces.begin(), surfaces.end(),
                                              [back](const Held& s) { return s.object == back; });
                    if (known != surfaces.end())
                        ++known->refs;
                    else
                        surfaces.push_back({back, 1, h->owner, h->object, false, {}});
                }
                break;
            }
            case 7: {
                Held* h = surface();
                if (!h || h->locked) break;
                RECT r = rect();
                std::memset(&h->lock, 0, sizeof h->lock);
                h->lock.dwSize = sizeof h->lock;
                const bool whole = in.ConsumeBool();
                if (as_surface(h)->Lock(whole ? nullptr : &r, &h->lock, DDLOCK_WAIT, nullptr) == DD_OK) {
                    h->locked = true;
                    // The locked part's first and last rows are written, as a caller would.
                    const int bpp = static_cast<int>(h->lock.ddpfPixelFormat.dwRGBBitCount / 8);
                    const LONG w = whole ? static_cast<LONG>(h->lock.dwWidth) : r.right - r.left;
                    const LONG rows = whole ? static_cast<LONG>(h->lock.dwHeight) : r.bottom - r.top;
                    auto* top = static_cast<BYTE*>(h->lock.lpSurface);
                    std::memset(top, 0x5A, static_cast<std::size_t>(w) * bpp);
                    std::memset(top + static_cast<std::ptrdiff_t>(rows - 1) * h->lock.lPitch, 0xA5,
                                static_cast<std::size_t>(w) * bpp);
                }
                break;
            }
            case 8: {
                Held* h = surface();
                if (!h) break;
                as_surface(h)->Unlock(in.ConsumeBool() ? nullptr : h->lock.lpSurface);
                h->locked = false;
                break;
            }
            case 9: {
                Held* to = surface();
                Held* from = surface();
                if (!to || !from) break;
                RECT d = rect(), s = rect();
                as_surface(to)->Blt(in.ConsumeBool() ? &d : nullptr, as_surface(from), in.ConsumeBool() ? &s : nullptr,
                                    DDBLT_WAIT, nullptr);
                break;
            }
            case 10: {
                static const DWORD FLAGS[] = {DDFLIP_WAIT, DDFLIP_NOVSYNC, 0, DDFLIP_WAIT | DDFLIP_NOVSYNC};
                if (Held* h = surface()) as_surface(h)->Flip(nullptr, FLAGS[in.ConsumeIntegralInRange(0, 3)]);
                break;
            }
            case 11:
                if (Held* h = surface()) {
                    IDirectDrawSurface* s = as_surface(h);
                    DDPIXELFORMAT f{};
                    f.dwSize = sizeof f;
                    DDSURFACEDESC desc{};
                    desc.dwSize = sizeof desc;
                    (void)(s->Restore() + s->IsLost() + s->GetPixelFormat(&f) + s->GetSurfaceDesc(&desc));
                }
                break;
            case 12: {
                const int i = pick(ddraws.size());
                if (i < 0 || !ddraws[i].object || clippers.size() >= 4) break;
                IDirectDrawClipper* c = nullptr;
                if (static_cast<IDirectDraw*>(ddraws[i].object)->CreateClipper(0, &c, nullptr) == DD_OK && c)
                    clippers.push_back({c, 1, i, nullptr, false, {}});
                break;
            }
            case 13: {
                if (clippers.empty()) break;
                const int i = pick(clippers.size());
                auto* c = static_cast<IDirectDrawClipper*>(clippers[i].object);
                switch (in.ConsumeIntegralInRange(0, 2)) {
                    case 0:
                        c->SetHWnd(0, window());
                        break;
                    case 1:
                        if (Held* h = surface()) as_surface(h)->SetClipper(in.ConsumeBool() ? c : nullptr);
                        break;
                    default:
                        if (c->Release(), --clippers[i].refs == 0) clippers.erase(clippers.begin() + i);
                        break;
                }
                break;
            }
            default:
                if (Held* h = surface()) as_surface(h)->Restore();
                break;
        }
    }

    IDirectDraw* live_ddraw()
    {
        const int i = pick(ddraws.size());
        return i < 0 ? nullptr : static_cast<IDirectDraw*>(ddraws[i].object);
    }

    void create_surface()
    {
        const int i = pick(ddraws.size());
        if (i < 0 || !ddraws[i].object || surfaces.size() >= 8) return;
        DDSURFACEDESC desc{};
        desc.dwSize = sizeof desc;
        switch (in.ConsumeIntegralInRange(0, 2)) {
            case 0:
                desc.dwFlags = DDSD_CAPS;
                desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
                break;
            case 1:
                desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
                desc.dwBackBufferCount = in.ConsumeIntegralInRange(0, 3);
                desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
                break;
            default:
                desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
                desc.dwWidth = in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 700) : in.ConsumeIntegral<DWORD>();
                desc.dwHeight = in.ConsumeBool() ? in.ConsumeIntegralInRange(1, 500) : in.ConsumeIntegral<DWORD>();
                desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
                break;
        }
        IDirectDrawSurface* s = nullptr;
        if (static_cast<IDirectDraw*>(ddraws[i].object)->CreateSurface(&desc, &s, nullptr) == DD_OK && s)
            surfaces.push_back({s, 1, i, nullptr, false, {}});
    }

    void control_op()
    {
        static const char* const NAMES[] = {
            "CreateWindowExA", "RegisterClassA", "ShowWindow", "PeekMessageA", "DefWindowProcA", "MessageBoxA",
            "LoadLibraryA", "GetProcAddress", "DirectDrawCreate", "AdjustWindowRect", "GetClientRect",
            "ClientToScreen", "PostMessageA", "IDirectDraw::SetCooperativeLevel", "IDirectDraw::SetDisplayMode",
            "IDirectDraw::CreateSurface", "IDirectDraw::CreateClipper", "IDirectDrawSurface::Lock",
            "IDirectDrawSurface::Unlock", "IDirectDrawSurface::Flip", "IDirectDrawSurface::Blt",
            "IDirectDrawSurface::Restore", "IDirectDrawSurface::GetAttachedSurface",
            "IDirectDrawSurface::GetPixelFormat", "IDirectDrawSurface::SetClipper", "IDirectDrawSurface::IsLost",
            "IDirectDrawClipper::SetHWnd"};
        switch (in.ConsumeIntegralInRange(0, 7)) {
            case 0:
                emu_test_fail(NAMES[in.ConsumeIntegralInRange<std::size_t>(0, std::size(NAMES) - 1)],
                              in.ConsumeIntegralInRange(1, 4), in.ConsumeBool() ? DDERR_GENERIC : DDERR_SURFACELOST,
                              in.ConsumeIntegralInRange(1, 3));
                break;
            case 1: {
                std::vector<EmuMode> modes = emu_test_default_modes();
                const std::size_t keep = in.ConsumeIntegralInRange<std::size_t>(0, modes.size());
                modes.resize(keep);
                emu_test_set_modes(modes);
                break;
            }
            case 2: {
                static const ScreenEventKind KINDS[] = {
                    ScreenEventKind::KEY_DOWN,    ScreenEventKind::KEY_UP,    ScreenEventKind::MOUSE_MOVE,
                    ScreenEventKind::BUTTON_DOWN, ScreenEventKind::BUTTON_UP, ScreenEventKind::FOCUS_GAINED,
                    ScreenEventKind::FOCUS_LOST,  ScreenEventKind::CLOSE,     ScreenEventKind::EXPOSE};
                emu_test_screen_event({KINDS[in.ConsumeIntegralInRange(0, 8)], in.ConsumeIntegralInRange(0, 255),
                                       coordinate(), coordinate(), in.ConsumeIntegralInRange(0, 1)});
                break;
            }
            case 3:
                emu_test_post(window(), in.ConsumeIntegralInRange<UINT>(0, 0x400), in.ConsumeIntegralInRange(0, 0x1FF),
                              in.ConsumeIntegral<std::uint32_t>(), in.ConsumeIntegralInRange(0, 3));
                break;
            case 4:
                emu_test_lose_surfaces();
                break;
            case 5:
                emu_test_answer_question(in.ConsumeBool() ? IDYES : (in.ConsumeBool() ? IDNO : 0));
                break;
            case 6:
                emu_test_set_pitch_padding(in.ConsumeIntegralInRange(0, 64));
                break;
            default:
                emu_test_script_key_states(in.ConsumeIntegralInRange(0, 255),
                                           {static_cast<SHORT>(in.ConsumeIntegral<std::uint16_t>())});
                break;
        }
    }

    // Gives everything back: the presenter's display, then what this driver holds.
    void finish()
    {
        display_close();
        for (Held& h : surfaces)
            if (h.locked) as_surface(&h)->Unlock(nullptr);
        // Fronts last: releasing one frees its back buffers.
        std::stable_partition(surfaces.begin(), surfaces.end(), [](const Held& h) { return h.front != nullptr; });
        while (!surfaces.empty()) {
            Held& h = surfaces.front();
            while (h.refs-- > 0) as_surface(&h)->Release();
            released_surface(0);
        }
        for (Held& c : clippers)
            while (c.refs-- > 0) static_cast<IDirectDrawClipper*>(c.object)->Release();
        clippers.clear();
        for (std::size_t i = 0; i < ddraws.size(); ++i)
            if (ddraws[i].object)
                while (ddraws[i].refs-- > 0) static_cast<IDirectDraw*>(ddraws[i].object)->Release();
        for (HWND w : windows) DestroyWindow(w);
        if (emu_test_live_ddraw_objects() != 0) std::abort();  // something made was never freed
    }
};

LRESULT CALLBACK fuzz_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    emu_test_reset();
    display_state = DisplayState{};
    display_allow_close(0);  // ending the process would end the fuzzer
    WNDCLASSA wc{};
    wc.lpfnWndProc = fuzz_proc;
    wc.lpszClassName = "fuzz windows";
    RegisterClassA(&wc);
    FuzzedDataProvider in(data, size);
    Driver d{in, {}, {}, {}, {}, {}};
    for (int step = 0; step < 48 && in.remaining_bytes() > 0; ++step) {
        switch (in.ConsumeIntegralInRange(0, 9)) {
            case 0:
            case 1:
            case 2:
                d.presenter_op();
                break;
            case 3:
            case 4:
                d.window_op();
                break;
            case 5:
            case 6:
            case 7:
                d.ddraw_op();
                break;
            default:
                d.control_op();
                break;
        }
    }
    d.finish();
    return 0;
}
