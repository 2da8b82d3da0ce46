// The default window procedure: painting validates, a close request destroys
// the window, Alt+F4 asks it to close.
#include "platform/emu/common/call_log.h"
#include "platform/emu/user32/user32_state.h"

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto call =
        emu_call(EmuCallId::DefWindowProcA, "%s, 0x%x, 0x%llx, 0x%llx", emu_window_name(window).c_str(), message,
                 static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    if (call.fail) return call.done(LRESULT{call.result});
    User32Window* w = user32_window(window);
    switch (message) {
        case WM_NCCREATE:
            return call.done(LRESULT{TRUE});
        case WM_PAINT:
            if (w) w->needs_paint = false;  // validates the window
            return call.done(LRESULT{0});
        case WM_CLOSE:
            if (w) DestroyWindow(window);
            return call.done(LRESULT{0});
        case WM_SYSKEYDOWN:
            // Alt+F4 asks the window to close, through the system menu's command.
            if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN) && w) user32_post(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            return call.done(LRESULT{0});
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE && w) user32_send(window, WM_CLOSE, 0, 0);
            return call.done(LRESULT{0});
        default:
            return call.done(LRESULT{0});
    }
}
