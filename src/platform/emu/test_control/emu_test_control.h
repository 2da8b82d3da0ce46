#pragma once

// Test control of the emulated platform, a library of its own linked only into
// tests and benchmarks, over the headless screen: script it (failures,
// display modes and formats, pitch, answers, key states, messages, lost
// surfaces) and inspect it (the call log, the visible pixels, the display mode,
// the screen saver, the sleeps, the live objects).

#include <cstdint>
#include <string>
#include <vector>

#include "platform/emu/common/call_log.h"
#include "platform/emu/common/pixel_format.h"
#include "platform/screen/screen.h"

// Back to a fresh platform: no windows, classes, objects, failures or log; the
// headless screen's defaults (desktop 1024 x 768 at 32 bits, the modes of
// emu_test_default_modes, the question answered Yes, a display present).
void emu_test_reset();

// --- scripting ---
// The call log and scripted failures are on after emu_test_reset; a benchmark
// may switch them off.
void emu_test_set_logging(bool on);
// The `nth` call of `name` from now on (1 = the next) fails with `result`, and
// so do the `times` - 1 calls after it. Names as logged: "SetCursor",
// "IDirectDraw::SetDisplayMode", "IDirectDrawSurface::Lock", ... Calls that
// return a handle or BOOL return NULL or FALSE instead; DefWindowProcA returns
// `result` without its default handling. False, scripting nothing, for a name
// that is not a call or can't fail (Sleep, ExitProcess, AddRef, Release).
bool emu_test_fail(const char* name, int nth = 1, HRESULT result = DDERR_GENERIC, int times = 1);
void emu_test_set_modes(const std::vector<EmuMode>& modes);
std::vector<EmuMode> emu_test_default_modes();
void emu_test_set_desktop(const EmuMode& desktop);
void emu_test_set_display_available(bool available);
// A display there that can show nothing: taking it full screen and showing
// any image fail.
void emu_test_set_screen_refuses(bool refuses);
// Extra bytes at the end of every surface row created from now on.
void emu_test_set_pitch_padding(int bytes);
// What the user answers to the question box: IDYES or IDNO.
void emu_test_answer_question(int answer);
// Values that GetAsyncKeyState(key) returns, one per call, before it falls back
// to the keyboard's real state.
void emu_test_script_key_states(int key, const std::vector<SHORT>& values);
// Events as the display delivers them (keys, mouse, focus, close requests);
// they reach the emulation at its next PeekMessageA or GetAsyncKeyState.
void emu_test_screen_event(const ScreenEvent& event);
// A message for `window`, posted now (at_peek 0) or when PeekMessageA is
// called for the at_peek-th time from now.
void emu_test_post(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int at_peek = 0);
// Every surface is lost, as on a mode change by another program.
void emu_test_lose_surfaces();
// The display's refresh rate in Hz (0: unknown) and whether showing an image
// waits for the refresh by itself. The headless screen keeps its own clock,
// which waiting for a refresh moves on without sleeping.
void emu_test_set_refresh(int rate, bool show_waits);
std::int64_t emu_test_clock_us();
void emu_test_advance_clock_us(std::int64_t us);

// Called by ExitProcess just before the process ends (which runs no exit
// handlers), so that a test can report what it sees then.
void emu_test_on_exit(void (*report)());
// Called each time the screen is handed a new image.
void emu_test_on_show(void (*observe)());

// --- inspection ---
const std::vector<EmuCall>& emu_test_log();
// The log's texts of the calls whose name starts with one of `prefixes` (all when empty).
std::vector<std::string> emu_test_calls(const std::vector<std::string>& prefixes = {});
void emu_test_clear_log();
// The visible screen decoded to 0x00RRGGBB, row-major; empty without a visible primary.
struct EmuScreenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};
EmuScreenshot emu_test_screen();
// The bytes of the visible primary's memory as they are, with its pitch.
std::vector<BYTE> emu_test_screen_bytes(int* pitch);
EmuMode emu_test_display_mode();
bool emu_test_display_mode_set();
bool emu_test_screensaver_active();
bool emu_test_cursor_visible();
// The milliseconds of each Sleep since the log was last cleared.
const std::vector<DWORD>& emu_test_sleeps();
int emu_test_live_ddraw_objects();
int emu_test_live_windows();
int emu_test_loaded_libraries();
bool emu_test_app_active();
// How many times the screen was handed a new image.
int emu_test_frames_shown();
// The window that shows the screen in windowed mode, as the screen was told.
bool emu_test_screen_window(RECT* client);
bool emu_test_screen_fullscreen();
