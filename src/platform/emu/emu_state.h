#pragma once

// The emulation's module-level state and the helpers every emulated call uses:
// the call log, scripted failures, and the window and message machinery.

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/emu/emu_test_control.h"
#include "platform/screen/screen.h"

class EmuSurface;
class EmuDirectDraw;

struct EmuWindow {
    std::string class_name;
    std::string title;
    WNDPROC proc;
    DWORD style;
    RECT rect;  // outer rectangle, screen coordinates
    bool visible;
    bool needs_paint;
    bool destroying;
};

struct EmuClass {
    std::string name;
    ATOM atom;
    WNDCLASSA record;
};

struct EmuFailure {
    std::string name;
    int nth;
    int times;
    HRESULT result;
    int seen;
};

struct EmuScriptedMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int at_peek;
};

struct EmuState {
    bool logging = false;  // tests switch the log and scripted failures on
    std::vector<EmuCall> log;
    std::vector<EmuFailure> failures;

    std::map<UINT_PTR, EmuWindow> windows;
    std::deque<MSG> queue;  // the thread's posted messages, in posting order
    UINT_PTR next_window = 0x100;
    std::vector<EmuClass> classes;
    ATOM next_atom = 0xC000;
    HWND active = nullptr;
    bool app_active = false;
    bool cursor_visible = true;

    std::array<bool, 256> key_down{};
    std::array<bool, 256> key_pressed{};
    std::map<int, std::deque<SHORT>> scripted_keys;
    std::vector<EmuScriptedMessage> scripted_messages;
    int peeks = 0;
    // Screen events read while key states were queried, for the next message retrieval.
    std::deque<ScreenEvent> deferred_events;

    bool screensaver = true;
    std::vector<DWORD> sleeps;
    int libraries = 0;
    void (*on_exit)() = nullptr;

    int screen_state = 0;  // 0 not yet opened, 1 open, -1 no display
    bool mode_set = false;
    EmuMode mode{};
    int pitch_padding = 0;
    int live_objects = 0;
    std::vector<EmuSurface*> surfaces;
    EmuSurface* visible = nullptr;
    EmuDirectDraw* exclusive_owner = nullptr;
};

EmuState& emu();

// A coordinate as Windows computes it in 32 bits: the sum taken wide, then kept
// modulo 2^32, so that extreme but legal arguments never overflow.
constexpr LONG emu_wrap(long long value) { return static_cast<LONG>(static_cast<std::uint32_t>(value)); }

// Whether a display is there (opened on first use).
bool emu_display_available();
// The screen's current mode: the one set with SetDisplayMode, else the desktop's.
EmuMode emu_current_mode();

// Records a call in the log and decides whether a scripted failure applies to it.
struct EmuCallEntry {
    static constexpr std::size_t NOT_LOGGED = ~std::size_t{0};
    std::size_t index;
    bool fail;
    HRESULT result;
    template <class T>
    T done(T value) const
    {
        if (index == NOT_LOGGED) return value;
        if constexpr (std::is_pointer_v<T>)
            emu().log[index].result = static_cast<long long>(reinterpret_cast<INT_PTR>(value));
        else
            emu().log[index].result = static_cast<long long>(value);
        return value;
    }
};
EmuCallEntry emu_call(const char* name, const char* format, ...) __attribute__((format(printf, 2, 3)));
std::string emu_window_name(HWND window);
std::string emu_text(LPCSTR text);
std::string emu_pointer(const void* pointer);

// Windows and messages.
EmuWindow* emu_window(HWND window);
LRESULT emu_send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Posts to the queue; false when the window is gone or the queue is full.
bool emu_post(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void emu_activate(HWND window);
void emu_deactivate();
RECT emu_client_rect_on_screen(HWND window);
// Turns the screen's pending events into input state and messages. Key states
// are read at once; events that would run a window procedure (activation,
// exposure) wait for the next message retrieval unless `deliver` is set.
void emu_pump_screen_events(bool deliver);
void emu_update_screen_window();

// DirectDraw.
void emu_lose_all_surfaces();
void emu_show_visible();
// Tells the screen that nothing is shown: the image it had may be freed.
void emu_show_nothing();
// Returns at the display's next refresh: at once when showing an image waits for
// it by itself, else at the next tick of the screen's rate (60 Hz if unknown).
void emu_wait_for_refresh();
