// The clipper: blits into a surface it is set on stay inside its window.
#include <algorithm>

#include "platform/emu/common/call_log.h"
#include "platform/emu/ddraw/ddraw_objects.h"
#include "platform/emu/user32/user32_internal.h"

EmuClipper::EmuClipper(EmuDirectDraw* o) : owner(o)
{
    owner->clippers.push_back(this);
    ++ddraw_state().live_objects;
}

EmuClipper::~EmuClipper()
{
    --ddraw_state().live_objects;
    std::erase(owner->clippers, this);
    // Surfaces it was set on no longer clip.
    for (EmuSurface* s : ddraw_state().surfaces)
        if (s->clipper == this) s->clipper = nullptr;
}

ULONG EmuClipper::AddRef()
{
    const auto call = emu_call(EmuCallId::Clipper_AddRef, "%s", "");
    return call.done(++refs);
}

ULONG EmuClipper::Release()
{
    const auto call = emu_call(EmuCallId::Clipper_Release, "%s", "");
    if (refs == 0) return call.done(ULONG{0});
    const ULONG left = call.done(--refs);
    if (left == 0) delete this;
    return left;
}

void EmuClipper::drop()
{
    if (refs > 0 && --refs == 0) delete this;
}

HRESULT EmuClipper::SetHWnd(DWORD flags, HWND w)
{
    const auto call = emu_call(EmuCallId::SetHWnd, "%u, %s", flags, emu_window_name(w).c_str());
    if (call.fail) return call.done(call.result);
    if (flags || (w && !user32_window_exists(w))) return call.done(DDERR_INVALIDPARAMS);
    window = w;
    return call.done(DD_OK);
}
