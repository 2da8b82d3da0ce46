// Surfaces in memory: flipping chains, plain primaries and offscreen surfaces;
// lock and unlock, flip, stretched and clipped blits, lost surfaces.
#include <algorithm>
#include <cstring>

#include "platform/emu/common/call_log.h"
#include "platform/emu/common/hooks.h"
#include "platform/emu/ddraw/ddraw_display.h"
#include "platform/emu/ddraw/ddraw_objects.h"
#include "platform/emu/user32/user32_internal.h"

// Throws std::bad_alloc, having changed nothing, when the memory can't be had.
EmuSurface::EmuSurface(EmuDirectDraw* o, Kind k, int w, int h, const EmuPixelFormat& f, DWORD c)
    : owner(o), kind(k), width(w), height(h), format(f), caps(c), created_in(user32_display_mode()), refs(1)
{
    // Rows padded to four bytes, plus whatever extra the test asked for.
    pitch = static_cast<LONG>((w * bytes_per_pixel() + 3) / 4 * 4 + emu_hooks().pitch_padding);
    memory.assign(static_cast<std::size_t>(pitch) * h, 0);
    ddraw_state().surfaces.push_back(this);
    owner->hold();
    ++ddraw_state().live_objects;
}

EmuSurface::~EmuSurface()
{
    DdrawState& s = ddraw_state();
    if (clipper) clipper->drop();
    std::erase(s.surfaces, this);
    if (s.visible == this) {
        s.visible = nullptr;
        ddraw_show_nothing();
    }
    if (owner->primary == this) owner->primary = nullptr;
    --s.live_objects;
    owner->drop();
}

const char* EmuSurface::name() const
{
    switch (kind) {
        case PRIMARY:
            return "primary";
        case BACKBUFFER:
            return "backbuffer";
        default:
            return "offscreen";
    }
}

ULONG EmuSurface::AddRef()
{
    const auto call = emu_call(EmuCallId::Surface_AddRef, "%s", name());
    return call.done(++refs);
}

ULONG EmuSurface::Release()
{
    const auto call = emu_call(EmuCallId::Surface_Release, "%s", name());
    if (refs == 0) return call.done(ULONG{0});
    const ULONG left = call.done(--refs);
    // A back buffer belongs to its chain, which goes with its front, back
    // buffers and all, whatever references to them are still held.
    if (left > 0 || kind == BACKBUFFER) return left;
    for (EmuSurface* b : backs) delete b;
    delete this;
    return 0;
}

HRESULT EmuSurface::GetAttachedSurface(LPDDSCAPS c, IDirectDrawSurface** attached)
{
    const auto call = emu_call(EmuCallId::GetAttachedSurface, "%s, caps 0x%x", name(), c ? c->dwCaps : 0u);
    if (attached) *attached = nullptr;
    if (call.fail) return call.done(call.result);
    if (!c || !attached) return call.done(DDERR_INVALIDPARAMS);
    if (lost) return call.done(DDERR_SURFACELOST);
    if (!(c->dwCaps & DDSCAPS_BACKBUFFER) || backs.empty()) return call.done(DDERR_NOTFOUND);
    ++backs.front()->refs;
    *attached = backs.front();
    return call.done(DD_OK);
}

HRESULT EmuSurface::GetPixelFormat(LPDDPIXELFORMAT f)
{
    const auto call = emu_call(EmuCallId::GetPixelFormat, "%s, size %u", name(), f ? f->dwSize : 0u);
    if (call.fail) return call.done(call.result);
    if (!f || f->dwSize != sizeof(DDPIXELFORMAT)) return call.done(DDERR_INVALIDPARAMS);
    *f = {sizeof(DDPIXELFORMAT), format.flags, 0, format.bits, format.red, format.green, format.blue, format.alpha};
    return call.done(DD_OK);
}

HRESULT EmuSurface::GetSurfaceDesc(LPDDSURFACEDESC desc)
{
    const auto call = emu_call(EmuCallId::GetSurfaceDesc, "%s", name());
    if (call.fail) return call.done(call.result);
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC)) return call.done(DDERR_INVALIDPARAMS);
    describe(desc);
    return call.done(DD_OK);
}

void EmuSurface::describe(LPDDSURFACEDESC desc) const
{
    std::memset(desc, 0, sizeof *desc);
    desc->dwSize = sizeof *desc;
    desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT |
                    (backs.empty() ? 0 : DDSD_BACKBUFFERCOUNT);
    desc->dwWidth = static_cast<DWORD>(width);
    desc->dwHeight = static_cast<DWORD>(height);
    desc->lPitch = pitch;
    desc->dwBackBufferCount = static_cast<DWORD>(backs.size());
    desc->ddpfPixelFormat = {sizeof(DDPIXELFORMAT), format.flags, 0,           format.bits, format.red,
                             format.green,          format.blue,  format.alpha};
    desc->ddsCaps.dwCaps = caps;
}

HRESULT EmuSurface::IsLost()
{
    const auto call = emu_call(EmuCallId::IsLost, "%s", name());
    if (call.fail) return call.done(call.result);
    return call.done(lost ? DDERR_SURFACELOST : DD_OK);
}

HRESULT EmuSurface::Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event)
{
    const auto call = emu_call(EmuCallId::Lock, "%s, %s, size %u, 0x%x, %s", name(), rect ? "rect" : "NULL",
                               desc ? desc->dwSize : 0u, flags, event ? "event" : "NULL");
    if (call.fail) return call.done(call.result);
    if (!desc || desc->dwSize != sizeof(DDSURFACEDESC) || event) return call.done(DDERR_INVALIDPARAMS);
    if (rect && (rect->left < 0 || rect->top < 0 || rect->right > width || rect->bottom > height ||
                 rect->left >= rect->right || rect->top >= rect->bottom))
        return call.done(DDERR_INVALIDRECT);
    if (lost) return call.done(DDERR_SURFACELOST);
    if (locked) return call.done(DDERR_SURFACEBUSY);
    describe(desc);
    desc->dwFlags |= DDSD_LPSURFACE;
    BYTE* top_left = memory.data();
    if (rect) top_left += static_cast<std::ptrdiff_t>(rect->top) * pitch + rect->left * bytes_per_pixel();
    desc->lpSurface = top_left;
    locked = true;
    return call.done(DD_OK);
}

HRESULT EmuSurface::Unlock(LPVOID surface)
{
    const auto call = emu_call(EmuCallId::Unlock, "%s, %s", name(), surface ? "pointer" : "NULL");
    if (!locked) return call.done(call.fail ? call.result : DDERR_NOTLOCKED);
    const BYTE* p = static_cast<const BYTE*>(surface);
    if (p && (p < memory.data() || p >= memory.data() + memory.size())) return call.done(DDERR_INVALIDPARAMS);
    // A failing unlock still ends the lock, as a lost surface's does.
    locked = false;
    if (ddraw_state().visible == this) ddraw_show_visible();
    if (call.fail) return call.done(call.result);
    return call.done(lost ? DDERR_SURFACELOST : DD_OK);
}

HRESULT EmuSurface::Restore()
{
    const auto call = emu_call(EmuCallId::Restore, "%s", name());
    if (call.fail) return call.done(call.result);
    // A back buffer was made with its chain and comes back only with its front.
    if (kind == BACKBUFFER) return call.done(DDERR_IMPLICITLYCREATED);
    if (!lost) return call.done(DD_OK);
    // A full-screen program gets its surfaces back only while it owns the display
    // in the mode they were made for.
    if (ddraw_state().exclusive_owner && !user32_app_active()) return call.done(DDERR_WRONGMODE);
    const EmuMode now = user32_display_mode();
    if (kind != OFFSCREEN &&
        (now.width != created_in.width || now.height != created_in.height || !emu_same_format(now.format, format)))
        return call.done(DDERR_WRONGMODE);
    lost = false;
    for (EmuSurface* b : backs) b->lost = false;
    return call.done(DD_OK);
}

HRESULT EmuSurface::SetClipper(IDirectDrawClipper* c)
{
    const auto call = emu_call(EmuCallId::SetClipper, "%s, %s", name(), c ? "clipper" : "NULL");
    if (call.fail) return call.done(call.result);
    auto* next = static_cast<EmuClipper*>(c);
    if (next) next->hold();
    if (clipper) clipper->drop();
    clipper = next;
    return call.done(DD_OK);
}

HRESULT EmuSurface::Flip(IDirectDrawSurface* target, DWORD flags)
{
    const auto call = emu_call(EmuCallId::Flip, "%s, %s, 0x%x", name(), target ? "target" : "NULL", flags);
    if (call.fail) return call.done(call.result);
    if (kind != PRIMARY || backs.empty()) return call.done(DDERR_NOTFLIPPABLE);
    if (target && std::find(backs.begin(), backs.end(), target) == backs.end()) return call.done(DDERR_INVALIDPARAMS);
    if (lost) return call.done(DDERR_SURFACELOST);
    if (locked) return call.done(DDERR_SURFACEBUSY);
    for (EmuSurface* b : backs)
        if (b->locked) return call.done(DDERR_SURFACEBUSY);
    // Waiting, the flip happens at the display's next refresh.
    if ((flags & DDFLIP_WAIT) && !(flags & DDFLIP_NOVSYNC)) ddraw_wait_for_refresh();
    // The memory moves round the chain: the first back buffer's is shown, and the
    // same back-buffer object then stands for the next hidden buffer.
    auto shown = std::move(backs.front()->memory);
    for (std::size_t i = 0; i + 1 < backs.size(); ++i) backs[i]->memory = std::move(backs[i + 1]->memory);
    backs.back()->memory = std::move(memory);
    memory = std::move(shown);
    if (ddraw_state().visible == this && !ddraw_show_visible()) return call.done(DDERR_GENERIC);
    return call.done(DD_OK);
}

HRESULT EmuSurface::Blt(LPRECT dest_rect, IDirectDrawSurface* source, LPRECT source_rect, DWORD flags, LPDDBLTFX fx)
{
    const auto call =
        emu_call(EmuCallId::Blt, "%s, %s, %s, %s, 0x%x, %s", name(),
                 dest_rect ? (std::to_string(dest_rect->left) + " " + std::to_string(dest_rect->top) + " " +
                              std::to_string(dest_rect->right) + " " + std::to_string(dest_rect->bottom))
                                 .c_str()
                           : "NULL",
                 source ? static_cast<EmuSurface*>(source)->name() : "NULL",
                 source_rect ? (std::to_string(source_rect->left) + " " + std::to_string(source_rect->top) + " " +
                                std::to_string(source_rect->right) + " " + std::to_string(source_rect->bottom))
                                   .c_str()
                             : "NULL",
                 flags, fx ? "fx" : "NULL");
    if (call.fail) return call.done(call.result);
    auto* src = static_cast<EmuSurface*>(source);
    if (!src || fx) return call.done(DDERR_INVALIDPARAMS);  // colour fills are not offered
    if (lost || src->lost) return call.done(DDERR_SURFACELOST);
    if (locked || src->locked) return call.done(DDERR_SURFACEBUSY);
    if (!emu_same_format(format, src->format)) return call.done(DDERR_INVALIDPIXELFORMAT);
    const RECT d = dest_rect ? *dest_rect : RECT{0, 0, width, height};
    const RECT r = source_rect ? *source_rect : RECT{0, 0, src->width, src->height};
    if (d.right <= d.left || d.bottom <= d.top || r.right <= r.left || r.bottom <= r.top || r.left < 0 || r.top < 0 ||
        r.right > src->width || r.bottom > src->height)
        return call.done(DDERR_INVALIDRECT);
    RECT clip{0, 0, width, height};
    if (clipper && user32_window_exists(clipper->window)) {
        const RECT c = user32_client_rect_on_screen(clipper->window);
        clip = {std::max(clip.left, c.left), std::max(clip.top, c.top), std::min(clip.right, c.right),
                std::min(clip.bottom, c.bottom)};
    } else if (d.left < 0 || d.top < 0 || d.right > width || d.bottom > height) {
        return call.done(DDERR_INVALIDRECT);
    }
    // Nearest-neighbour stretch of r onto d, only where d lies inside the clip;
    // computed wide, as rectangles may span the whole 32-bit range.
    const int bpp = bytes_per_pixel();
    using Wide = long long;
    const Wide dw = Wide{d.right} - d.left, dh = Wide{d.bottom} - d.top;
    const Wide rw = Wide{r.right} - r.left, rh = Wide{r.bottom} - r.top;
    // A surface blitted onto itself reads the pixels as they were before the blit.
    std::vector<BYTE> before;
    if (src == this) before.assign(memory.begin(), memory.end());
    const BYTE* from = src == this ? before.data() : src->memory.data();
    const LONG x0 = std::max(d.left, clip.left), x1 = std::min(d.right, clip.right);
    for (LONG y = std::max(d.top, clip.top); y < std::min(d.bottom, clip.bottom); ++y) {
        const LONG sy = static_cast<LONG>(r.top + (y - Wide{d.top}) * rh / dh);
        BYTE* out = memory.data() + static_cast<std::ptrdiff_t>(y) * pitch;
        const BYTE* in = from + static_cast<std::ptrdiff_t>(sy) * src->pitch;
        for (LONG x = x0; x < x1; ++x) {
            const LONG sx = static_cast<LONG>(r.left + (x - Wide{d.left}) * rw / dw);
            std::memcpy(out + static_cast<std::ptrdiff_t>(x) * bpp, in + static_cast<std::ptrdiff_t>(sx) * bpp, bpp);
        }
    }
    if (ddraw_state().visible == this && !ddraw_show_visible()) return call.done(DDERR_GENERIC);
    return call.done(DD_OK);
}
