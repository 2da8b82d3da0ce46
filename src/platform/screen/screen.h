#pragma once

// What the emulation needs from a display: show the visible surface in its
// own pixel format, report the screen's size and modes, deliver keyboard,
// mouse, focus and close events, ask a yes/no question, switch the screen saver.
// One backend is linked in, each in a folder of its own: sdl/ (a real window on
// X11 or Wayland), web/ (a page, built as WebAssembly) or headless/ (tests).

#include <cstdint>
#include <vector>

#include "platform/emu/common/pixel_format.h"

// An image to show: the visible surface's memory, in its own format.
struct ScreenImage {
    const BYTE* pixels;
    int pitch;
    int width;
    int height;
    EmuPixelFormat format;
};

enum class ScreenEventKind {
    KEY_DOWN,
    KEY_UP,
    MOUSE_MOVE,
    BUTTON_DOWN,
    BUTTON_UP,
    FOCUS_GAINED,
    FOCUS_LOST,
    CLOSE,
    EXPOSE
};

struct ScreenEvent {
    ScreenEventKind kind;
    int key = 0;       // virtual key, for key events
    int x = 0, y = 0;  // client position, for mouse events
    int button = 0;    // 0 left, 1 right, for button events
};

// Connects to the display; false when there is none, or it can show no frame
// (a screen whose format no way of drawing serves). Called once, lazily.
bool screen_open();
// Zeroed memory for a surface's pixels, which the screen may show without
// copying them (the display server's shared memory, where it has any); null
// when none can be had. Given back with screen_free_pixels, with its size.
BYTE* screen_alloc_pixels(std::size_t bytes);
void screen_free_pixels(BYTE* pixels, std::size_t bytes);
// The desktop's size and format, and the full-screen modes the display offers.
EmuMode screen_desktop();
const std::vector<EmuMode>& screen_modes();
// The window that shows the screen in windowed mode: its title and client area
// in screen coordinates, or nullptr when no window is visible.
void screen_window(const char* title, const RECT* client);
// Takes the whole display in `mode`, shown under `title`, or gives it back
// (nullptr); false when the display can't be taken.
bool screen_fullscreen(const EmuMode* mode, const char* title);
// Shows `visible` (in screen coordinates) of the screen's image; false when it
// could not be shown. An image without pixels shows nothing new and lets go of
// the last one, whose memory may be freed.
bool screen_show(const ScreenImage& image, const RECT& visible);
// The next pending event, if any; never waits.
bool screen_poll(ScreenEvent* event);
// Asks a yes/no question: IDYES, IDNO, or 0 when it can't be asked.
int screen_question(const char* text, const char* caption);
void screen_screensaver(bool enabled);
// The display's refresh: its rate in Hz (0 when unknown), and whether showing an
// image waits for the next refresh by itself (a renderer synchronised to it).
int screen_refresh_rate();
bool screen_show_waits_for_refresh();
// The screen's clock in microseconds, and a sleep until one of its times.
std::int64_t screen_clock_us();
void screen_sleep_until_us(std::int64_t when);
// Gives the processor up until `when` on the system's monotonic clock, in
// nanoseconds (0: only a yield to whatever else runs), while the display's
// events go on arriving. Real time, not the screen's clock.
void screen_pause_until_ns(std::int64_t when);
void screen_cursor(bool visible);
// What the display shows now, decoded to 0x00RRGGBB (for tests); false when nothing is shown.
bool screen_read_back(std::vector<std::uint32_t>* pixels, int* width, int* height);

// What the screens share (screen_support.cpp). The modes a real display's
// screen offers on a desktop of this size:
std::vector<EmuMode> screen_usual_modes(int desktop_width, int desktop_height);
// Zeroed memory for a surface's pixels (freed with ::operator delete), nullptr when there is none.
BYTE* screen_zeroed_pixels(std::size_t bytes);
// The part of an image inside `visible` (a rectangle of the image's
// coordinates, which may reach past its edges): its place in the image, and
// where it goes in the window or canvas that shows `visible`. Empty (width 0)
// when all of it is off the image.
struct ScreenPart {
    int left, top, width, height;
    int x, y;
};
ScreenPart screen_visible_part(const ScreenImage& image, const RECT& visible);
