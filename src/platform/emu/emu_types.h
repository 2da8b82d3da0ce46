#pragma once

// Types shared by the emulation's core, its screens and the test control.

#include <string>

#include "platform/emu/emu_ddraw.h"

// A pixel format as DDPIXELFORMAT reports it.
struct EmuPixelFormat {
    DWORD flags;
    DWORD bits;
    DWORD red;
    DWORD green;
    DWORD blue;
    DWORD alpha;
};

struct EmuMode {
    int width;
    int height;
    EmuPixelFormat format;
};

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
    int key;     // virtual key, for key events
    int x, y;    // client position, for mouse events
    int button;  // 0 left, 1 right, for button events
};

// One logged platform call: its name and arguments as text, and its result
// (an HRESULT, a BOOL, or a handle as an integer).
struct EmuCall {
    std::string text;
    long long result;
};
