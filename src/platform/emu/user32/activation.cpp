// Activation: the active window, and the application's activation, which every
// window hears of through WM_ACTIVATEAPP.
#include <vector>

#include "platform/emu/user32/user32_state.h"

namespace {

// Sends WM_ACTIVATEAPP to every window, each that still exists when its turn
// comes: a procedure may destroy windows while it runs.
void broadcast_activation(BOOL active)
{
    std::vector<UINT_PTR> ids;
    for (auto& [id, w] : user32_state().windows) ids.push_back(id);
    for (UINT_PTR id : ids)
        if (user32_state().app_active == (active != FALSE)) user32_send(user32_handle(id), WM_ACTIVATEAPP, active, 0);
}

}  // namespace

void user32_activate(HWND window)
{
    User32State& s = user32_state();
    s.active = window;
    if (s.app_active) return;
    s.app_active = true;
    broadcast_activation(TRUE);
}

void user32_deactivate()
{
    User32State& s = user32_state();
    if (!s.app_active) return;
    s.app_active = false;
    broadcast_activation(FALSE);
}

bool user32_app_active() { return user32_state().app_active; }
