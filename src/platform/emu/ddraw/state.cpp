// DirectDraw's state.
#include "platform/emu/ddraw/ddraw_state.h"

#include "platform/emu/ddraw/ddraw_objects.h"

DdrawState& ddraw_state()
{
    static DdrawState state;
    return state;
}

void ddraw_lose_all_surfaces()
{
    for (EmuSurface* s : ddraw_state().surfaces) s->lose();
}
