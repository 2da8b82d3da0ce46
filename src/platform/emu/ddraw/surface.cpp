// Surfaces in memory: flipping chains, plain primaries and offscreen surfaces;
// lock and unlock, flip, stretched and clipped blits, lost surfaces.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/emu/common/call_log.h"
#include "platform/emu/common/hooks.h"
#include "platform/emu/ddraw/ddraw_objects.h"
#include "platform/emu/ddraw/ddraw_screen.h"
#include "platform/emu/ddraw/ddraw_state.h"
#include "platform/emu/user32/user32_internal.h"

// Throws std::bad_alloc, having changed nothing, when the memory can't be had.
EmuSurface::EmuSurface(EmuDirectDraw* o, Kind k, int w, int h, const EmuPixelFormat& f, DWORD c)
    : owner(o), kind(k), width(w), height(h), format(f), caps(c), created_in(user32_display_mode())
{
    // Rows padded to four bytes, plus whatever extra the test asked for.
    pitch = static_cast<LONG>((w * bytes_per_pixel() + 3) / 4 * 4 + emu_hooks().pitch_padding);
    memory.resize(static_cast<std::size_t>(pitch) * h);  // zeroed by the screen, untouched here
    ddraw_state().surfaces.push_back(this);
    owner->hold();
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

ULONG EmuSurface::AddRef() { return add_reference(EmuCallId::Surface_AddRef, name()); }
ULONG EmuSurface::Release() { return release_reference(EmuCallId::Surface_Release, name()); }

// A back buffer belongs to its chain, which goes with its front, back buffers
// and all, whatever references to them are still held.
void EmuSurface::last_reference_gone()
{
    if (kind == BACKBUFFER) return;
    for (EmuSurface* b : backs) delete b;
    delete this;
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
    *f = {.dwSize = sizeof(DDPIXELFORMAT),
          .dwFlags = format.flags,
          .dwFourCC = 0,
          .dwRGBBitCount = format.bits,
          .dwRBitMask = format.red,
          .dwGBitMask = format.green,
          .dwBBitMask = format.blue,
          .dwRGBAlphaBitMask = format.alpha};
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

namespace {

// A rectangle as the log writes it, into `text`; only while calls are logged.
const char* rect_text(const RECT* r, char (&text)[64])
{
    if (!r) return "NULL";
    if (emu_logging())
        std::snprintf(text, sizeof text, "%ld %ld %ld %ld", static_cast<long>(r->left), static_cast<long>(r->top),
                      static_cast<long>(r->right), static_cast<long>(r->bottom));
    return text;
}

}  // namespace

HRESULT EmuSurface::Blt(LPRECT dest_rect, IDirectDrawSurface* source, LPRECT source_rect, DWORD flags, LPDDBLTFX fx)
{
    char dest_text[64] = "", source_text[64] = "";
    const auto call = emu_call(EmuCallId::Blt, "%s, %s, %s, %s, 0x%x, %s", name(), rect_text(dest_rect, dest_text),
                               source ? static_cast<EmuSurface*>(source)->name() : "NULL",
                               rect_text(source_rect, source_text), flags, fx ? "fx" : "NULL");
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
    // Nearest-neighbour stretch of r onto d, only where d lies inside the clip.
    // A surface blitted onto itself reads the pixels as they were before the blit.
    try {
        if (src == this) scratch.assign(memory.begin(), memory.end());
        ddraw_stretch(stretch, memory.data(), pitch, src == this ? scratch.data() : src->memory.data(), src->pitch,
                      bytes_per_pixel(), d, r, clip);
    } catch (const std::bad_alloc&) {
        return call.done(DDERR_OUTOFMEMORY);
    }
    if (ddraw_state().visible == this && !ddraw_show_visible()) return call.done(DDERR_GENERIC);
    return call.done(DD_OK);
}
