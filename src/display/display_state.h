#pragma once

// The presenter's module-level record, and its operations that the program
// does not see.

#include <cstdint>

#include "convert/convert.h"
#include "platform/platform.h"

// The opening choices display_configure makes.
struct DisplayChoices {
    std::uint8_t ask_question = 0;
    const char* question_text = nullptr;
    std::int32_t windowed = 1;
    std::uint8_t borderless = 0;
};

struct DisplayState {
    // Settings: the opening choices as configured, and as the open display took
    // them (configuring again while it is open changes it not).
    DisplayChoices configured;
    DisplayChoices opened;
    std::uint8_t close_allowed = 1;
    std::int32_t flip_wait = 1;

    // Display objects, from display_open to display_close.
    HMODULE ddraw_module = nullptr;
    IDirectDraw* ddraw = nullptr;
    IDirectDrawSurface* primary = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    IDirectDrawSurface* offscreen = nullptr;
    IDirectDrawSurface* lock_target = nullptr;
    WNDCLASSA window_class{};
    ATOM window_class_atom = 0;
    HWND window = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    RowConverter converter = nullptr;
    std::int32_t converted_bytes = 0;  // a screen pixel's bytes, as the converter writes them

    // Input state, written by the window procedure.
    std::int32_t active = 0;
    std::int32_t mouse_x = 0;
    std::int32_t mouse_y = 0;
    std::int32_t left_button = 0;
    std::int32_t right_button = 0;
    std::uint8_t keys[256] = {};  // by virtual key: 1 down
};

extern DisplayState display_state;

constexpr const char* DISPLAY_DEFAULT_QUESTION = "Fullscreen Mode ?";

LRESULT CALLBACK display_window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Lets every key and button go, as when the input goes elsewhere.
void display_release_input();
// Copies the offscreen surface into the window's client area (windowed mode).
void display_repaint();
