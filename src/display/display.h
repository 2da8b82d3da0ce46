#pragma once

// The display presenter: opens a full-screen or windowed DirectDraw display,
// presents 32-bit frames on it, and reports the mouse, buttons and keys. One display
// at a time; the settings are made before display_open.

/* C99 and C++ alike, with C linkage. */
#include <stdint.h>

#include "convert/pixel.h"

#ifdef __cplusplus
extern "C" {
#endif

// Opening choices: ask (only 1 asks the question; its answer decides the mode),
// the question's text (an empty text selects "Fullscreen Mode ?"; the pointer is
// kept, not the text), windowed (0 full screen, else a window; taken only when
// ask is 0) and borderless (a window without caption or frame).
void display_configure(int32_t ask, const char* text, int32_t windowed, int32_t borderless);
// Nonzero: Escape and close requests close the display and end the process.
void display_allow_close(int32_t flag);
// Full screen: nonzero flips waiting for the display, zero flips without vertical sync.
void display_set_flip_wait(int32_t flag);

// Opens a width x height display titled `title`: 1 ready, 0 failed (call
// display_close to give back what was made).
int32_t display_open(const char* title, int32_t width, int32_t height);
// Handles the window's messages and shows one frame of height rows of width
// pixels: 1 handled (shown, or skipped while inactive), 0 the surface could not
// be locked (the next call tries again).
int32_t display_present(const Pixel* pixels);
// Releases everything display_open made; safe after a partial or failed open.
void display_close(void);

// The last mouse position in client coordinates (each 0 to 65535), and the buttons (1 down).
int32_t display_mouse_x(void);
int32_t display_mouse_y(void);
int32_t display_left_button(void);
int32_t display_right_button(void);
// 1 while the key with this virtual-key code (as Windows numbers them: 'A' to
// 'Z', '0' to '9', 0x1B Escape, 0x25 to 0x28 the arrows, 0x70 F1 ...) is down
// in the display's window, else 0 (also for codes outside 0 to 255). Every key
// counts as up once the application is deactivated.
int32_t display_key_down(int32_t key);

#ifdef __cplusplus
}
#endif
