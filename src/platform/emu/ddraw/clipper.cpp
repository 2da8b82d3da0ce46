// The clipper: blits into a surface it is set on stay inside its window.
#include <algorithm>

#include "platform/emu/common/call_log.h"
#include "platform/emu/ddraw/ddraw_objects.h"
#include "platform/emu/ddraw/ddraw_state.h"
#include "platform/emu/user32/user32_internal.h"

EmuClipper::EmuClipper(EmuDirectDraw* o) : owner(o) { owner->clippers.push_back(this); }

EmuClipper::~EmuClipper()
{
    std::erase(owner->clippers, this);
    // Surfaces it was set on no longer clip.
    for (EmuSurface* s : ddraw_state().surfaces)
        if (s->clipper == this) s->clipper = nullptr;
}

ULONG EmuClipper::AddRef() { return add_reference(EmuCallId::Clipper_AddRef, ""); }
ULONG EmuClipper::Release() { return release_reference(EmuCallId::Clipper_Release, ""); }

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
