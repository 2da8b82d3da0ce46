#pragma once

// What USER32 offers the libraries above it (DirectDraw) and the test control:
// its windows, activation, the display's connection and mode, and word of what
// happens to the screen.

#include "platform/emu/common/pixel_format.h"
#include "platform/emu/user32/user32.h"

// Connects to the display on first use: whether one is there. And whether it
// is connected already (a query, never connecting).
bool user32_connect_display();
bool user32_display_connected();
// The screen's mode: the one a full-screen program set, else the desktop's.
EmuMode user32_display_mode();
bool user32_display_mode_set();
// Sets the screen's mode for a full-screen program, or back to the desktop's (nullptr).
void user32_set_display_mode(const EmuMode* mode);

// A window's title and outer rectangle, which a full-screen program's
// DirectDraw may move; false when there is no such window.
bool user32_window_exists(HWND window);
const char* user32_window_title(HWND window);
void user32_set_window_rect(HWND window, const RECT& rect);
// The window's client area in screen coordinates.
RECT user32_client_rect_on_screen(HWND window);
// The active window (nullptr when it is gone), and the newest visible window.
HWND user32_active_window();
HWND user32_newest_visible_window();
// Tells the screen which window shows it in windowed mode.
void user32_update_screen_window();

// Makes `window` the active one, activating the application if it was not.
void user32_activate(HWND window);
bool user32_app_active();

// Posts to the queue; false when the window is gone or the queue is full.
bool user32_post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What a library above USER32 hears of the screen, as DirectDraw on Windows
// hooks its window: the display's focus lost (before the application is
// deactivated) and its image damaged. One listener; null fields are not called.
struct User32ScreenListener {
    void (*focus_lost)();
    void (*exposed)();
};
void user32_set_screen_listener(const User32ScreenListener& listener);
