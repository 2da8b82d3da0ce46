// The display window's procedure, and the copy of the frame into the window.
#include <cstring>

#include "display/display.h"
#include "display/display_state.h"

LRESULT CALLBACK display_window_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DisplayState& s = display_state;
    switch (message) {
        case WM_PAINT:
            display_repaint();
            return DefWindowProcA(window, message, wParam, lParam);  // validates the window
        case WM_ACTIVATEAPP:
            s.active = static_cast<std::int32_t>(wParam);
            // Keys and buttons let go while another application has the input never arrive.
            if (!wParam) display_release_input();
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
            s.keys[wParam & 0xFF] = 0;
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_SYSKEYDOWN:  // Alt with a key, and F10: Alt+F4 closes through the default procedure
            s.keys[wParam & 0xFF] = 1;
            return DefWindowProcA(window, message, wParam, lParam);
        case WM_KEYDOWN:
            s.keys[wParam & 0xFF] = 1;
            if ((wParam & 0xFF) != VK_ESCAPE) return 0;
            [[fallthrough]];  // Escape is a close request
        case WM_CLOSE:
            if (s.close_allowed) {
                display_close();
                ExitProcess(0);
            }
            return 0;
        case WM_MOUSEMOVE:
            s.mouse_x = static_cast<std::int32_t>(lParam & 0xFFFF);
            s.mouse_y = static_cast<std::int32_t>((lParam >> 16) & 0xFFFF);
            return 0;
        case WM_LBUTTONDOWN:
            s.left_button = 1;
            return 0;
        case WM_LBUTTONUP:
            s.left_button = 0;
            return 0;
        case WM_RBUTTONDOWN:
            s.right_button = 1;
            return 0;
        case WM_RBUTTONUP:
            s.right_button = 0;
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

void display_release_input()
{
    DisplayState& s = display_state;
    std::memset(s.keys, 0, sizeof s.keys);
    s.left_button = 0;
    s.right_button = 0;
}

void display_repaint()
{
    DisplayState& s = display_state;
    if (!s.primary || !s.offscreen) return;
    RECT source{0, 0, s.width, s.height};
    RECT dest{0, 0, 0, 0};
    POINT origin{0, 0};
    // Without a client area to copy into there is nothing to do.
    if (!GetClientRect(s.window, &dest) || !ClientToScreen(s.window, &origin)) return;
    dest.left += origin.x;
    dest.right += origin.x;
    dest.top += origin.y;
    dest.bottom += origin.y;
    s.primary->Blt(&dest, s.offscreen, &source, DDBLT_WAIT, nullptr);
}
