// The DirectDraw object: cooperative levels, display modes, creation of
// surfaces and clippers, and what the screen is shown.
#include <new>

#include "platform/emu/emu_objects.h"

namespace {

bool usable_format(const EmuPixelFormat& f)
{
    return (f.flags & DDPF_RGB) && (f.bits == 16 || f.bits == 24 || f.bits == 32);
}

constexpr int MAX_SURFACE_SIDE = 16384;
constexpr DWORD MAX_BACK_BUFFERS = 3;

}  // namespace

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* ddraw, IUnknown* outer)
{
    const auto call = emu_call("DirectDrawCreate", "%s, %s, %s", driver ? "guid" : "NULL", ddraw ? "out" : "NULL",
                               outer ? "outer" : "NULL");
    if (ddraw) *ddraw = nullptr;
    if (call.fail) return call.done(call.result);
    if (!ddraw) return call.done(DDERR_INVALIDPARAMS);
    // No driver GUID is known; the emulation-only driver is the one there is.
    if (driver && driver != reinterpret_cast<GUID*>(DDCREATE_EMULATIONONLY))
        return call.done(DDERR_INVALIDDIRECTDRAWGUID);
    if (outer) return call.done(CLASS_E_NOAGGREGATION);
    if (!emu_display_available()) return call.done(DDERR_NODIRECTDRAWHW);
    *ddraw = new (std::nothrow) EmuDirectDraw();
    return call.done(*ddraw ? DD_OK : DDERR_OUTOFMEMORY);
}

void emu_lose_all_surfaces()
{
    for (EmuSurface* s : emu().surfaces) s->lose();
}

void emu_show_visible()
{
    EmuState& s = emu();
    EmuSurface* v = s.visible;
    if (!v || v->lost || s.screen_state <= 0) return;
    const ScreenImage image{v->memory.data(), v->pitch, v->width, v->height, v->format};
    RECT shown{0, 0, v->width, v->height};
    if (!s.exclusive_owner) {
        // Windowed: the screen shows the part of the primary under the window's client area.
        HWND window = emu_window(s.active) ? s.active : nullptr;
        if (!window)
            for (auto& [id, w] : s.windows)
                if (w.visible) window = reinterpret_cast<HWND>(id);
        if (!window) {
            emu_show_nothing();
            return;
        }
        shown = emu_client_rect_on_screen(window);
    }
    screen_show(image, shown);
}

void emu_show_nothing()
{
    if (emu().screen_state > 0) screen_show(ScreenImage{}, RECT{0, 0, 0, 0});
}

void emu_wait_for_refresh()
{
    if (emu().screen_state <= 0 || screen_show_waits_for_refresh()) return;
    const int rate = screen_refresh_rate();
    const std::int64_t period = 1000000 / (rate > 0 ? rate : 60);
    // The refreshes fall on the screen clock's multiples of the period.
    screen_sleep_until_us((screen_clock_us() / period + 1) * period);
}

// --- EmuDirectDraw ---

EmuDirectDraw::EmuDirectDraw() { ++emu().live_objects; }

EmuDirectDraw::~EmuDirectDraw() { --emu().live_objects; }

ULONG EmuDirectDraw::AddRef()
{
    const auto call = emu_call("IDirectDraw::AddRef", "%s", "");
    return call.done(++refs);
}

ULONG EmuDirectDraw::Release()
{
    const auto call = emu_call("IDirectDraw::Release", "%s", "");
    if (refs == 0) return call.done(ULONG{0});
    const ULONG left = call.done(--refs);
    if (left == 0) {
        // The program's last reference gives the display back and frees the
        // clippers made with it; the object's memory lives on while surfaces use it.
        give_up_display();
        while (!clippers.empty()) delete clippers.back();
        if (holds == 0) delete this;
    }
    return left;
}

void EmuDirectDraw::drop()
{
    if (holds > 0 && --holds == 0 && refs == 0) delete this;
}

void EmuDirectDraw::give_up_display()
{
    EmuState& s = emu();
    if (mode_set_here && s.mode_set) {
        s.mode_set = false;
        mode_set_here = false;
        emu_lose_all_surfaces();
        if (s.screen_state > 0) screen_fullscreen(nullptr, nullptr);
    }
    if (s.exclusive_owner == this) s.exclusive_owner = nullptr;
}

HRESULT EmuDirectDraw::SetCooperativeLevel(HWND w, DWORD flags)
{
    const auto call = emu_call("IDirectDraw::SetCooperativeLevel", "%s, 0x%x", emu_window_name(w).c_str(), flags);
    if (call.fail) return call.done(call.result);
    EmuState& s = emu();
    // Exclusive goes with full screen and not with normal; full screen without
    // exclusive is the normal level.
    const bool exclusive = flags & DDSCL_EXCLUSIVE;
    const bool fullscreen = flags & DDSCL_FULLSCREEN;
    const bool normal = flags & DDSCL_NORMAL;
    if (exclusive ? (!fullscreen || normal) : !normal) return call.done(DDERR_INVALIDPARAMS);
    if (exclusive) {
        if (!emu_window(w)) return call.done(DDERR_INVALIDPARAMS);
        if (s.exclusive_owner && s.exclusive_owner != this) return call.done(DDERR_EXCLUSIVEMODEALREADYSET);
        s.exclusive_owner = this;
        level = flags;
        window = w;
        // The window takes the whole screen and becomes the active one.
        const EmuMode mode = emu_current_mode();
        emu_window(w)->rect = {0, 0, mode.width, mode.height};
        emu_activate(w);
        return call.done(DD_OK);
    }
    if (w && !emu_window(w)) return call.done(DDERR_INVALIDPARAMS);
    if (s.exclusive_owner == this) {
        s.exclusive_owner = nullptr;
        if (s.screen_state > 0) screen_fullscreen(nullptr, nullptr);
        emu_update_screen_window();
    }
    level = flags;
    window = w;
    return call.done(DD_OK);
}

HRESULT EmuDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bits)
{
    const auto call = emu_call("IDirectDraw::SetDisplayMode", "%u, %u, %u", width, height, bits);
    if (call.fail) return call.done(call.result);
    EmuState& s = emu();
    if (!level) return call.done(DDERR_NOCOOPERATIVELEVELSET);
    if (s.exclusive_owner != this) return call.done(DDERR_NOEXCLUSIVEMODE);
    for (const EmuMode& m : screen_modes()) {
        if (static_cast<DWORD>(m.width) != width || static_cast<DWORD>(m.height) != height || m.format.bits != bits)
            continue;
        emu_lose_all_surfaces();
        s.mode = m;
        s.mode_set = true;
        mode_set_here = true;
        EmuWindow* w = emu_window(window);
        if (w) w->rect = {0, 0, m.width, m.height};
        screen_fullscreen(&m, w ? w->title.c_str() : nullptr);
        return call.done(DD_OK);
    }
    return call.done(DDERR_UNSUPPORTEDMODE);
}

HRESULT EmuDirectDraw::RestoreDisplayMode()
{
    const auto call = emu_call("IDirectDraw::RestoreDisplayMode", "%s", "");
    if (call.fail) return call.done(call.result);
    EmuState& s = emu();
    if (mode_set_here && s.mode_set) {
        s.mode_set = false;
        emu_lose_all_surfaces();
        screen_fullscreen(nullptr, nullptr);
        emu_update_screen_window();
    }
    mode_set_here = false;
    return call.done(DD_OK);
}

HRESULT EmuDirectDraw::CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer)
{
    const auto call = emu_call("IDirectDraw::CreateClipper", "0x%x", flags);
    if (clipper) *clipper = nullptr;
    if (call.fail) return call.done(call.result);
    if (!clipper || flags) return call.done(DDERR_INVALIDPARAMS);
    if (outer) return call.done(CLASS_E_NOAGGREGATION);
    *clipper = new (std::nothrow) EmuClipper(this);
    return call.done(*clipper ? DD_OK : DDERR_OUTOFMEMORY);
}

HRESULT EmuDirectDraw::CreateSurface(LPDDSURFACEDESC desc, IDirectDrawSurface** surface, IUnknown* outer)
{
    const auto call = emu_call("IDirectDraw::CreateSurface", "size %u, flags 0x%x, backbuffers %u, %ux%u, caps 0x%x",
                               desc ? desc->dwSize : 0u, desc ? desc->dwFlags : 0u,
                               desc && (desc->dwFlags & DDSD_BACKBUFFERCOUNT) ? desc->dwBackBufferCount : 0u,
                               desc && (desc->dwFlags & DDSD_WIDTH) ? desc->dwWidth : 0u,
                               desc && (desc->dwFlags & DDSD_HEIGHT) ? desc->dwHeight : 0u,
                               desc && (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0u);
    if (surface) *surface = nullptr;
    if (call.fail) return call.done(call.result);
    if (!desc || !surface || desc->dwSize != sizeof(DDSURFACEDESC) || !(desc->dwFlags & DDSD_CAPS))
        return call.done(DDERR_INVALIDPARAMS);
    if (outer) return call.done(CLASS_E_NOAGGREGATION);
    if (!level) return call.done(DDERR_NOCOOPERATIVELEVELSET);
    const DWORD caps = desc->ddsCaps.dwCaps;
    const EmuMode mode = emu_current_mode();

    if (caps & DDSCAPS_PRIMARYSURFACE) {
        if (primary) return call.done(DDERR_PRIMARYSURFACEALREADYEXISTS);
        if (desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return call.done(DDERR_INVALIDPARAMS);
        if (caps & DDSCAPS_OFFSCREENPLAIN) return call.done(DDERR_INVALIDCAPS);
        DWORD count = 0;
        if (caps & DDSCAPS_FLIP) {
            if (!(caps & DDSCAPS_COMPLEX) || !(desc->dwFlags & DDSD_BACKBUFFERCOUNT) || desc->dwBackBufferCount == 0)
                return call.done(DDERR_INVALIDCAPS);
            if (emu().exclusive_owner != this) return call.done(DDERR_NOEXCLUSIVEMODE);
            if (desc->dwBackBufferCount > MAX_BACK_BUFFERS) return call.done(DDERR_OUTOFVIDEOMEMORY);
            count = desc->dwBackBufferCount;
        } else if (desc->dwFlags & DDSD_BACKBUFFERCOUNT) {
            return call.done(DDERR_INVALIDPARAMS);
        }
        EmuSurface* p = nullptr;
        try {
            p = new EmuSurface(this, EmuSurface::PRIMARY, mode.width, mode.height, mode.format,
                               caps | (count ? DDSCAPS_FRONTBUFFER : 0));
            p->backs.reserve(count);
            for (DWORD i = 0; i < count; ++i) {
                auto* b = new EmuSurface(this, EmuSurface::BACKBUFFER, mode.width, mode.height, mode.format,
                                         (caps & ~DDSCAPS_PRIMARYSURFACE) | DDSCAPS_BACKBUFFER);
                b->refs = 0;  // owned by the chain; a reference is the asker's
                b->front = p;
                p->backs.push_back(b);
            }
        } catch (const std::bad_alloc&) {
            if (p) {
                for (EmuSurface* b : p->backs) delete b;
                delete p;
            }
            return call.done(DDERR_OUTOFMEMORY);
        }
        primary = p;
        emu().visible = p;
        emu_show_visible();
        *surface = p;
        return call.done(DD_OK);
    }
    if (caps & DDSCAPS_OFFSCREENPLAIN) {
        if ((desc->dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) || desc->dwWidth == 0 ||
            desc->dwHeight == 0 || desc->dwWidth > MAX_SURFACE_SIDE || desc->dwHeight > MAX_SURFACE_SIDE ||
            (caps & (DDSCAPS_FLIP | DDSCAPS_BACKBUFFER)) || (desc->dwFlags & DDSD_BACKBUFFERCOUNT))
            return call.done(DDERR_INVALIDPARAMS);
        EmuPixelFormat format = mode.format;
        if (desc->dwFlags & DDSD_PIXELFORMAT) {
            const DDPIXELFORMAT& f = desc->ddpfPixelFormat;
            if (f.dwSize != sizeof(DDPIXELFORMAT)) return call.done(DDERR_INVALIDPARAMS);
            format = {f.dwFlags, f.dwRGBBitCount, f.dwRBitMask, f.dwGBitMask, f.dwBBitMask, f.dwRGBAlphaBitMask};
        }
        if (!usable_format(format)) return call.done(DDERR_INVALIDPIXELFORMAT);
        try {
            *surface = new EmuSurface(this, EmuSurface::OFFSCREEN, static_cast<int>(desc->dwWidth),
                                      static_cast<int>(desc->dwHeight), format, caps);
        } catch (const std::bad_alloc&) {
            return call.done(DDERR_OUTOFMEMORY);
        }
        return call.done(DD_OK);
    }
    return call.done(DDERR_INVALIDCAPS);
}

bool emu_same_format(const EmuPixelFormat& a, const EmuPixelFormat& b)
{
    return a.flags == b.flags && a.bits == b.bits && a.red == b.red && a.green == b.green && a.blue == b.blue;
}
