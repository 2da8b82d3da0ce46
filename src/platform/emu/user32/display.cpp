// The display: its connection, made on first use; its mode; and the window
// that shows it in windowed mode.
#include "platform/emu/user32/user32_state.h"

bool user32_connect_display()
{
    User32State& s = user32_state();
    if (s.screen == ScreenConnection::NOT_TRIED)
        s.screen = screen_open() ? ScreenConnection::CONNECTED : ScreenConnection::UNAVAILABLE;
    return s.screen == ScreenConnection::CONNECTED;
}

bool user32_display_connected() { return user32_state().screen == ScreenConnection::CONNECTED; }

EmuMode user32_display_mode() { return user32_state().mode_set ? user32_state().mode : screen_desktop(); }

bool user32_display_mode_set() { return user32_state().mode_set; }

void user32_set_display_mode(const EmuMode* mode)
{
    user32_state().mode_set = mode != nullptr;
    if (mode) user32_state().mode = *mode;
}

// The active visible window shows the screen, else the newest visible one.
void user32_update_screen_window()
{
    User32State& s = user32_state();
    if (s.screen != ScreenConnection::CONNECTED) return;
    HWND shown = user32_newest_visible_window();
    if (const User32Window* a = user32_window(s.active); a && a->visible) shown = s.active;
    if (!shown) {
        screen_window(nullptr, nullptr);
        return;
    }
    const RECT client = user32_client_rect_on_screen(shown);
    screen_window(user32_window(shown)->title.c_str(), &client);
}
