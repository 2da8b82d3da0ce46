// The DirectDraw object: cooperative levels, display modes, creation of
// surfaces and clippers, and what the screen is shown.
#include <new>

#include "platform/emu/common/call_log.h"
#include "platform/emu/common/hooks.h"
#include "platform/emu/ddraw/ddraw_objects.h"
#include "platform/emu/ddraw/ddraw_screen.h"
#include "platform/emu/ddraw/ddraw_state.h"
#include "platform/emu/kernel32/kernel32_modules.h"
#include "platform/emu/user32/user32_internal.h"

namespace {

bool usable_format(const EmuPixelFormat& f)
{
    return (f.flags & DDPF_RGB) && (f.bits == 16 || f.bits == 24 || f.bits == 32);
}

constexpr int MAX_SURFACE_SIDE = 16384;
constexpr DWORD MAX_BACK_BUFFERS = 3;

// "ddraw.dll" is there from the program's start, as the file is on Windows; its
// handle is where the library would be loaded.
const Kernel32Export EXPORTS[] = {
    {"DirectDrawCreate", reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&DirectDrawCreate))}, {nullptr, nullptr}};
[[maybe_unused]] const bool REGISTERED =
    (kernel32_register_module("ddraw.dll", reinterpret_cast<HMODULE>(static_cast<UINT_PTR>(0x6D640000)), EXPORTS),
     true);

}  // namespace

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* ddraw, IUnknown* outer)
{
    const auto call = emu_call(EmuCallId::DirectDrawCreate, "%s, %s, %s", driver ? "guid" : "NULL",
                               ddraw ? "out" : "NULL", outer ? "outer" : "NULL");
    if (ddraw) *ddraw = nullptr;
    if (call.fail) return call.done(call.result);
    if (!ddraw) return call.done(DDERR_INVALIDPARAMS);
    // No driver GUID is known; the emulation-only driver is the one there is.
    if (driver && driver != reinterpret_cast<GUID*>(DDCREATE_EMULATIONONLY))
        return call.done(DDERR_INVALIDDIRECTDRAWGUID);
    if (outer) return call.done(CLASS_E_NOAGGREGATION);
    if (!user32_connect_display()) return call.done(DDERR_NODIRECTDRAWHW);
    ddraw_listen_to_screen();
    *ddraw = new (std::nothrow) EmuDirectDraw();
    return call.done(*ddraw ? DD_OK : DDERR_OUTOFMEMORY);
}

// --- EmuDirectDraw ---

ULONG EmuDirectDraw::AddRef() { return add_reference(EmuCallId::DirectDraw_AddRef, ""); }
ULONG EmuDirectDraw::Release() { return release_reference(EmuCallId::DirectDraw_Release, ""); }

// The program's last reference gives the display back and frees the clippers
// made with it; the object's memory lives on while surfaces use it.
void EmuDirectDraw::last_reference_gone()
{
    give_up_display();
    while (!clippers.empty()) delete clippers.back();
    if (holds == 0) delete this;
}

void EmuDirectDraw::give_up_display()
{
    if (mode_set_here && user32_display_mode_set()) {
        user32_set_display_mode(nullptr);
        mode_set_here = false;
        ddraw_lose_all_surfaces();
        ddraw_take_screen(nullptr, nullptr);
    }
    if (ddraw_state().exclusive_owner == this) ddraw_state().exclusive_owner = nullptr;
}

HRESULT EmuDirectDraw::SetCooperativeLevel(HWND w, DWORD flags)
{
    const auto call = emu_call(EmuCallId::SetCooperativeLevel, "%s, 0x%x", emu_window_name(w).c_str(), flags);
    if (call.fail) return call.done(call.result);
    DdrawState& s = ddraw_state();
    // Exclusive goes with full screen and not with normal; full screen without
    // exclusive is the normal level.
    const bool exclusive = flags & DDSCL_EXCLUSIVE;
    const bool fullscreen = flags & DDSCL_FULLSCREEN;
    const bool normal = flags & DDSCL_NORMAL;
    if (exclusive ? (!fullscreen || normal) : !normal) return call.done(DDERR_INVALIDPARAMS);
    if (exclusive) {
        if (!user32_window_exists(w)) return call.done(DDERR_INVALIDPARAMS);
        if (s.exclusive_owner && s.exclusive_owner != this) return call.done(DDERR_EXCLUSIVEMODEALREADYSET);
        s.exclusive_owner = this;
        level = flags;
        window = w;
        // The window takes the whole screen and becomes the active one.
        const EmuMode mode = user32_display_mode();
        user32_set_window_rect(w, {0, 0, mode.width, mode.height});
        user32_activate(w);
        return call.done(DD_OK);
    }
    if (w && !user32_window_exists(w)) return call.done(DDERR_INVALIDPARAMS);
    if (s.exclusive_owner == this) {
        s.exclusive_owner = nullptr;
        ddraw_take_screen(nullptr, nullptr);
        user32_update_screen_window();
    }
    level = flags;
    window = w;
    return call.done(DD_OK);
}

HRESULT EmuDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bits)
{
    const auto call = emu_call(EmuCallId::SetDisplayMode, "%u, %u, %u", width, height, bits);
    if (call.fail) return call.done(call.result);
    if (!level) return call.done(DDERR_NOCOOPERATIVELEVELSET);
    if (ddraw_state().exclusive_owner != this) return call.done(DDERR_NOEXCLUSIVEMODE);
    const EmuMode* m = ddraw_find_mode(width, height, bits);
    if (!m) return call.done(DDERR_UNSUPPORTEDMODE);
    // A mode the screen can't show is one it does not offer.
    if (!ddraw_take_screen(m, user32_window_title(window))) return call.done(DDERR_UNSUPPORTEDMODE);
    ddraw_lose_all_surfaces();
    user32_set_display_mode(m);
    mode_set_here = true;
    if (user32_window_exists(window)) user32_set_window_rect(window, {0, 0, m->width, m->height});
    return call.done(DD_OK);
}

HRESULT EmuDirectDraw::RestoreDisplayMode()
{
    const auto call = emu_call(EmuCallId::RestoreDisplayMode, "%s", "");
    if (call.fail) return call.done(call.result);
    if (mode_set_here && user32_display_mode_set()) {
        user32_set_display_mode(nullptr);
        ddraw_lose_all_surfaces();
        ddraw_take_screen(nullptr, nullptr);
        user32_update_screen_window();
    }
    mode_set_here = false;
    return call.done(DD_OK);
}

HRESULT EmuDirectDraw::CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer)
{
    const auto call = emu_call(EmuCallId::CreateClipper, "0x%x", flags);
    if (clipper) *clipper = nullptr;
    if (call.fail) return call.done(call.result);
    if (!clipper || flags) return call.done(DDERR_INVALIDPARAMS);
    if (outer) return call.done(CLASS_E_NOAGGREGATION);
    *clipper = new (std::nothrow) EmuClipper(this);
    return call.done(*clipper ? DD_OK : DDERR_OUTOFMEMORY);
}

HRESULT EmuDirectDraw::CreateSurface(LPDDSURFACEDESC desc, IDirectDrawSurface** surface, IUnknown* outer)
{
    const auto call = emu_call(EmuCallId::CreateSurface, "size %u, flags 0x%x, backbuffers %u, %ux%u, caps 0x%x",
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
    if (caps & DDSCAPS_PRIMARYSURFACE) return call.done(create_primary(*desc, surface));
    if (caps & DDSCAPS_OFFSCREENPLAIN) return call.done(create_offscreen(*desc, surface));
    return call.done(DDERR_INVALIDCAPS);
}

// The primary surface: the screen's memory, in the display's mode; with back
// buffers, a flipping chain that only full screen may have.
HRESULT EmuDirectDraw::create_primary(const DDSURFACEDESC& desc, IDirectDrawSurface** surface)
{
    const DWORD caps = desc.ddsCaps.dwCaps;
    const EmuMode mode = user32_display_mode();
    if (primary) return DDERR_PRIMARYSURFACEALREADYEXISTS;
    if (desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT)) return DDERR_INVALIDPARAMS;
    if (caps & DDSCAPS_OFFSCREENPLAIN) return DDERR_INVALIDCAPS;
    DWORD count = 0;
    if (caps & DDSCAPS_FLIP) {
        if (!(caps & DDSCAPS_COMPLEX) || !(desc.dwFlags & DDSD_BACKBUFFERCOUNT) || desc.dwBackBufferCount == 0)
            return DDERR_INVALIDCAPS;
        if (ddraw_state().exclusive_owner != this) return DDERR_NOEXCLUSIVEMODE;
        if (desc.dwBackBufferCount > MAX_BACK_BUFFERS) return DDERR_OUTOFVIDEOMEMORY;
        count = desc.dwBackBufferCount;
    } else if (desc.dwFlags & DDSD_BACKBUFFERCOUNT) {
        return DDERR_INVALIDPARAMS;
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
        return DDERR_OUTOFMEMORY;
    }
    primary = p;
    ddraw_state().visible = p;
    ddraw_show_visible();
    *surface = p;
    return DD_OK;
}

// An offscreen surface of the size asked, in the display's format or the one given.
HRESULT EmuDirectDraw::create_offscreen(const DDSURFACEDESC& desc, IDirectDrawSurface** surface)
{
    const DWORD caps = desc.ddsCaps.dwCaps;
    const EmuMode mode = user32_display_mode();
    if ((desc.dwFlags & (DDSD_WIDTH | DDSD_HEIGHT)) != (DDSD_WIDTH | DDSD_HEIGHT) || desc.dwWidth == 0 ||
        desc.dwHeight == 0 || desc.dwWidth > MAX_SURFACE_SIDE || desc.dwHeight > MAX_SURFACE_SIDE ||
        (caps & (DDSCAPS_FLIP | DDSCAPS_BACKBUFFER)) || (desc.dwFlags & DDSD_BACKBUFFERCOUNT))
        return DDERR_INVALIDPARAMS;
    EmuPixelFormat format = mode.format;
    if (desc.dwFlags & DDSD_PIXELFORMAT) {
        const DDPIXELFORMAT& f = desc.ddpfPixelFormat;
        if (f.dwSize != sizeof(DDPIXELFORMAT)) return DDERR_INVALIDPARAMS;
        format = {f.dwFlags, f.dwRGBBitCount, f.dwRBitMask, f.dwGBitMask, f.dwBBitMask, f.dwRGBAlphaBitMask};
    }
    if (!usable_format(format)) return DDERR_INVALIDPIXELFORMAT;
    try {
        *surface = new EmuSurface(this, EmuSurface::OFFSCREEN, static_cast<int>(desc.dwWidth),
                                  static_cast<int>(desc.dwHeight), format, caps);
    } catch (const std::bad_alloc&) {
        return DDERR_OUTOFMEMORY;
    }
    return DD_OK;
}
