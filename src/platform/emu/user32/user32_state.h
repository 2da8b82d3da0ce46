#pragma once

// USER32's own state: windows and classes, the message queue, activation, the
// keyboard and mouse, the display's connection and mode, the cursor and the
// screen-saver switch. Private to USER32 and to the test control.

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/emu/user32/user32_internal.h"
#include "platform/screen/screen.h"

// The system's arrow cursor.
inline const HCURSOR USER32_ARROW = reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(0x7F00));

struct User32Window {
    std::string class_name;
    std::string title;
    WNDPROC proc;
    DWORD style;
    RECT rect;  // outer rectangle, screen coordinates
    bool visible;
    bool needs_paint;
    bool destroying;
};

struct User32Class {
    std::string name;
    ATOM atom;
    WNDCLASSA record;
};

// The display's connection, made on first use.
enum class ScreenConnection { NOT_TRIED, CONNECTED, UNAVAILABLE };

struct User32State {
    std::map<UINT_PTR, User32Window> windows;
    std::deque<MSG> queue;  // the thread's posted messages, in posting order
    UINT_PTR next_window = 0x100;
    std::vector<User32Class> classes;
    ATOM next_atom = 0xC000;
    HWND active = nullptr;
    bool app_active = false;
    HCURSOR cursor = USER32_ARROW;  // the last set, shown while cursor_visible
    bool cursor_visible = true;
    bool screensaver = true;

    std::array<bool, 256> key_down{};
    std::array<bool, 256> key_pressed{};
    // Screen events read while key states were queried, for the next message retrieval.
    std::deque<ScreenEvent> deferred_events;
    User32ScreenListener listener{};

    ScreenConnection screen = ScreenConnection::NOT_TRIED;
    bool mode_set = false;
    EmuMode mode{};
};

User32State& user32_state();

// A window's record, nullptr when there is no such window.
User32Window* user32_window(HWND window);
// Calls the window's procedure; 0 when there is no window.
LRESULT user32_send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
const User32Class* user32_find_class(LPCSTR name);
// Deactivates the application: every window hears WM_ACTIVATEAPP(FALSE).
void user32_deactivate();
// Turns the screen's pending events into input state and messages. Key states
// and exposure are taken at once; focus changes, which run window procedures
// (activation), wait for the next message retrieval unless `deliver` is set.
void user32_pump_screen_events(bool deliver);

// The classic frame sizes: sizing frame 4, fixed dialog frame 3, caption 19, menu 19.
constexpr int USER32_SIZING_FRAME = 4;
constexpr int USER32_DIALOG_FRAME = 3;
constexpr int USER32_CAPTION = 19;
constexpr int USER32_MENU = 19;

// A coordinate as Windows computes it in 32 bits: the sum taken wide, then kept
// modulo 2^32, so that extreme but legal arguments never overflow.
constexpr LONG user32_wrap(long long value) { return static_cast<LONG>(static_cast<std::uint32_t>(value)); }

inline HWND user32_handle(UINT_PTR id) { return reinterpret_cast<HWND>(id); }
