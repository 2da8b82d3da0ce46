#pragma once

// DirectDraw's own state: every surface there is, the one the screen shows, and
// the object that owns the display. Private to DirectDraw and to the test control.

#include <vector>

class EmuSurface;
class EmuDirectDraw;

struct DdrawState {
    std::vector<EmuSurface*> surfaces;
    EmuSurface* visible = nullptr;
    EmuDirectDraw* exclusive_owner = nullptr;
    int live_objects = 0;  // DirectDraw objects, surfaces and clippers not yet freed
};

DdrawState& ddraw_state();

// Every surface is lost, as on a mode change.
void ddraw_lose_all_surfaces();
