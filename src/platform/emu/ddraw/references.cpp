// DirectDraw's objects' reference counts.
#include "platform/emu/ddraw/references.h"

#include "platform/emu/common/call_log.h"
#include "platform/emu/ddraw/ddraw_state.h"

EmuReferences::EmuReferences() { ++ddraw_state().live_objects; }
EmuReferences::~EmuReferences() { --ddraw_state().live_objects; }

ULONG EmuReferences::add_reference(EmuCallId id, const char* name)
{
    const auto call = emu_call(id, "%s", name);
    return call.done(++refs);
}

ULONG EmuReferences::release_reference(EmuCallId id, const char* name)
{
    const auto call = emu_call(id, "%s", name);
    if (refs == 0) return call.done(ULONG{0});
    const ULONG left = call.done(--refs);
    if (left == 0) last_reference_gone();
    return left;
}
