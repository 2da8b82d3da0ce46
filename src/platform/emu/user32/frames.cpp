// Window frames: the client area inside a window's frame and caption, and the
// window rectangle a client area needs.
#include "platform/emu/common/call_log.h"
#include "platform/emu/user32/user32_state.h"

namespace {

int frame_width(DWORD style)
{
    if (style & WS_THICKFRAME) return USER32_SIZING_FRAME;
    if (style & WS_DLGFRAME) return USER32_DIALOG_FRAME;
    if (style & WS_BORDER) return 1;
    return 0;
}

int caption_height(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION ? USER32_CAPTION : 0; }

}  // namespace

RECT user32_client_rect_on_screen(HWND window)
{
    const User32Window* w = user32_window(window);
    if (!w) return {0, 0, 0, 0};
    const long long f = frame_width(w->style);
    RECT r{user32_wrap(w->rect.left + f), user32_wrap(w->rect.top + f + caption_height(w->style)),
           user32_wrap(w->rect.right - f), user32_wrap(w->rect.bottom - f)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu)
{
    const auto call = emu_call(EmuCallId::AdjustWindowRect, "%d, %d, %d, %d, 0x%x, %d", rect ? rect->left : 0,
                               rect ? rect->top : 0, rect ? rect->right : 0, rect ? rect->bottom : 0, style, menu);
    if (call.fail || !rect) return call.done(FALSE);
    const long long f = frame_width(style);
    rect->left = user32_wrap(rect->left - f);
    rect->right = user32_wrap(rect->right + f);
    rect->top = user32_wrap(rect->top - f - caption_height(style) - (menu ? USER32_MENU : 0));
    rect->bottom = user32_wrap(rect->bottom + f);
    return call.done(TRUE);
}

BOOL ClientToScreen(HWND window, LPPOINT point)
{
    const auto call = emu_call(EmuCallId::ClientToScreen, "%s", emu_window_name(window).c_str());
    if (call.fail || !point || !user32_window(window)) return call.done(FALSE);
    const RECT client = user32_client_rect_on_screen(window);
    point->x = user32_wrap(static_cast<long long>(point->x) + client.left);
    point->y = user32_wrap(static_cast<long long>(point->y) + client.top);
    return call.done(TRUE);
}

BOOL GetClientRect(HWND window, LPRECT rect)
{
    const auto call = emu_call(EmuCallId::GetClientRect, "%s", emu_window_name(window).c_str());
    if (call.fail || !rect || !user32_window(window)) return call.done(FALSE);
    const RECT client = user32_client_rect_on_screen(window);
    *rect = {0, 0, user32_wrap(static_cast<long long>(client.right) - client.left),
             user32_wrap(static_cast<long long>(client.bottom) - client.top)};
    return call.done(TRUE);
}
