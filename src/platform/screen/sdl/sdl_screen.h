#pragma once

// The desktop screen's own state and the calls its files make of each other:
// our own X11 window (native.cpp), else SDL's window and its renderer
// (window.cpp), the X11 side (x11.cpp), and putting a frame (show.cpp). Only
// the files of this folder include it.

#include "platform/screen/sdl/sdl_api.h"

#include <string>
#include <vector>

#include "platform/screen/screen.h"

struct SdlScreen {
    // Our own window on the X server, without SDL: where this is set, SDL's
    // members below stay empty (and SDL is not loaded).
    bool native = false;
    SDL_Window* window = nullptr;
    // SDL's renderer; null where it can't draw into this display's windows
    // (a 30-bit X screen), which our own X11 path then puts frames on.
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    Uint32 texture_format = 0;
    int texture_width = 0, texture_height = 0;
    EmuMode desktop{};
    std::vector<EmuMode> modes;
    std::string title;
    bool fullscreen = false;
    EmuMode mode{};
    bool focused = false;
    int refresh_rate = 0;
    bool vsync = false;     // presenting waits for the display's refresh
    bool software = false;  // SDL's software renderer, drawing into the window's own surface
    // Where our own X11 path shows a full-screen mode in the window: the factor
    // and the mode's top-left corner (the renderer keeps its own).
    int scale = 1, offset_x = 0, offset_y = 0;
    // Whether the black around a full-screen frame is on the window, and for
    // which window size and place of the frame (forgotten when anything else
    // draws there, or the window is uncovered).
    bool border_drawn = false;
    int border_for[5] = {};
};

SdlScreen& sdl_screen();

// Where a full-screen mode of this size lies in a window of that size: the
// largest whole factor that fits (1 when none does), centred.
void sdl_fit(int mode_w, int mode_h, int window_w, int window_h, int* scale, int* x, int* y);

// Rows of 0x00RRGGBB pixels scaled by `scale` (whole factors) into rows of
// 32-bit 0xFF0000/0xFF00/0xFF, 16-bit 5-6-5 or 15-bit 5-5-5 pixels, told by
// their bits and red mask; false for any other format.
bool sdl_scale_rows(BYTE* to, int to_pitch, int to_bits, std::uint32_t to_red, const BYTE* from, int from_pitch,
                    int width, int height, int scale);

// The window's size in its pixels, either kind.
void sdl_window_size(int* width, int* height);

// --- our own window on X11 (native.cpp) ---

// Connects to the X server that DISPLAY names and makes our window (hidden),
// unless SDL is asked for another display server; false where it can't serve,
// and SDL is tried instead.
bool native_open();
void native_window(const RECT* client);
bool native_fullscreen(const EmuMode* mode);
void native_title();
bool native_poll(ScreenEvent* event);
void native_cursor(bool visible);
void native_screensaver(bool enabled);
// Tells the server of activity now and then while the screen saver is kept off.
void native_keep_screen_awake();
// The X server's refresh rate in Hz (RandR), 0 where it says none.
int native_refresh_rate();

// --- the X11 side (each false or null where the window is not on X11) ---

// Connects to the X server that shows SDL's window, once it exists; lets go
// of it for good before the window goes.
bool sdl_x11_connect();
void sdl_x11_disconnect();
// Whether a window manager runs, which resizes a full-screen window; without
// one the window is moved over the whole screen by sdl_x11_cover_screen.
bool sdl_x11_window_manager();
void sdl_x11_cover_screen(int width, int height);
// Fills the window's top-left width x height with black, in the X server.
bool sdl_x11_fill_black(int width, int height);
// Whether our own path can put 32-bit frames on the window (a true-colour
// visual, converted to its channels' widths), for a display SDL can't draw on.
bool sdl_x11_can_put();
// Puts rows of pixels of `format` into the window at (x, y), each pixel made a
// `scale` x `scale` square, converted to the window's visual.
bool sdl_x11_put(const BYTE* pixels, int pitch, const EmuPixelFormat& format, int width, int height, int x, int y,
                 int scale);
// Puts the part at (left, top) of 32-bit pixels in plain memory onto a 24-bit
// window at (to_x, to_y), one for one from where they lie; false when they don't suit.
bool sdl_x11_put_direct(const ScreenImage& image, int left, int top, int width, int height, int to_x, int to_y);
// Forgets whatever of ours points at memory about to be freed.
void sdl_x11_forget_pixels(const BYTE* pixels);
// Memory the X server shares (MIT-SHM), for 32-bit frames on a 24-bit
// visual; null where it can't be had. Freed with sdl_x11_free_shared, false
// when the memory was not shared.
BYTE* sdl_x11_alloc_shared(std::size_t bytes);
bool sdl_x11_free_shared(BYTE* pixels);
// Puts the part at (left, top) of pixels that lie in shared memory onto the
// window at (to_x, to_y), one for one; false when they are not shared or don't suit.
bool sdl_x11_put_shared(const ScreenImage& image, int left, int top, int width, int height, int to_x, int to_y);
// Forgets the last frame put by our paths (another way shows the next).
void sdl_x11_forget();
// What our paths put last, decoded to 0x00RRGGBB; false when they put nothing.
bool sdl_x11_read_back(std::vector<std::uint32_t>* pixels, int* width, int* height);
