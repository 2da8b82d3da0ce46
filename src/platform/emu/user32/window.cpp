// Windows: creation with its messages, showing and hiding, destruction.
#include "platform/emu/common/call_log.h"
#include "platform/emu/user32/user32_state.h"

namespace {

// Deactivates the application when its last visible window goes, sends
// WM_DESTROY and WM_NCDESTROY, and drops the window with its queued messages.
void destroy(HWND window)
{
    User32State& s = user32_state();
    user32_window(window)->destroying = true;
    if (s.active == window) {
        s.active = nullptr;
        bool others = false;
        for (auto& [id, other] : s.windows) others = others || (user32_handle(id) != window && other.visible);
        if (!others) user32_deactivate();
    }
    user32_send(window, WM_DESTROY, 0, 0);
    user32_send(window, WM_NCDESTROY, 0, 0);
    s.windows.erase(reinterpret_cast<UINT_PTR>(window));
    std::erase_if(s.queue, [window](const MSG& m) { return m.hwnd == window; });
    user32_update_screen_window();
}

// Shows the window: WM_SHOWWINDOW, activation (WM_ACTIVATEAPP when the
// application was not active), and a WM_PAINT to come.
void show(HWND window)
{
    User32Window* w = user32_window(window);
    if (!w || w->visible) return;
    w->visible = true;
    w->needs_paint = true;
    user32_send(window, WM_SHOWWINDOW, TRUE, 0);
    user32_activate(window);
    user32_update_screen_window();
}

}  // namespace

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    const auto call = emu_call(EmuCallId::CreateWindowExA, "0x%x, %s, %s, 0x%x, %d, %d, %d, %d, %s, %s, %s, %s",
                               ex_style, emu_text(class_name).c_str(), emu_text(window_name).c_str(), style, x, y,
                               width, height, emu_window_name(parent).c_str(), emu_pointer(menu).c_str(),
                               emu_pointer(instance).c_str(), emu_pointer(param).c_str());
    const User32Class* c = class_name ? user32_find_class(class_name) : nullptr;
    // Without a display there is no desktop to put a window on.
    if (call.fail || !c || (parent && !user32_window(parent)) || !user32_connect_display())
        return call.done(static_cast<HWND>(nullptr));
    User32State& s = user32_state();
    const UINT_PTR id = s.next_window++;
    User32Window w{.class_name = c->name,
                   .title = window_name ? window_name : "",
                   .proc = c->record.lpfnWndProc,
                   .style = style & ~static_cast<DWORD>(WS_VISIBLE),
                   .rect = {.left = x,
                            .top = y,
                            .right = user32_wrap(x + (width < 0 ? 0LL : width)),
                            .bottom = user32_wrap(y + (height < 0 ? 0LL : height))},
                   .visible = false,
                   .needs_paint = false,
                   .destroying = false};
    s.windows.emplace(id, std::move(w));
    const HWND window = user32_handle(id);
    CREATESTRUCTA create{.lpCreateParams = param,
                         .hInstance = instance,
                         .hMenu = menu,
                         .hwndParent = parent,
                         .cy = height,
                         .cx = width,
                         .y = y,
                         .x = x,
                         .style = static_cast<LONG>(style),
                         .lpszName = window_name,
                         .lpszClass = class_name,
                         .dwExStyle = ex_style};
    const LPARAM created = reinterpret_cast<LPARAM>(&create);
    // A refusal of either message destroys the half-made window.
    if (!user32_send(window, WM_NCCREATE, 0, created)) {
        user32_send(window, WM_NCDESTROY, 0, 0);
        s.windows.erase(id);
        return call.done(static_cast<HWND>(nullptr));
    }
    // A procedure may destroy its window inside either message: none comes back.
    if (!user32_window(window)) return call.done(static_cast<HWND>(nullptr));
    if (user32_send(window, WM_CREATE, 0, created) == -1) {
        if (user32_window(window)) destroy(window);
        return call.done(static_cast<HWND>(nullptr));
    }
    if (!user32_window(window)) return call.done(static_cast<HWND>(nullptr));
    if (style & WS_VISIBLE) show(window);
    return call.done(window);
}

BOOL DestroyWindow(HWND window)
{
    const auto call = emu_call(EmuCallId::DestroyWindow, "%s", emu_window_name(window).c_str());
    User32Window* w = user32_window(window);
    if (call.fail || !w || w->destroying) return call.done(FALSE);
    destroy(window);
    return call.done(TRUE);
}

BOOL IsWindow(HWND window)
{
    const auto call = emu_call(EmuCallId::IsWindow, "%s", emu_window_name(window).c_str());
    const User32Window* w = user32_window(window);
    if (call.fail) return call.done(FALSE);
    return call.done(BOOL{w != nullptr});
}

BOOL ShowWindow(HWND window, int command)
{
    const auto call = emu_call(EmuCallId::ShowWindow, "%s, %d", emu_window_name(window).c_str(), command);
    User32Window* w = user32_window(window);
    if (call.fail || !w) return call.done(FALSE);
    const BOOL was_visible = w->visible;
    if (command == SW_HIDE) {
        if (was_visible) {
            w->visible = false;
            user32_send(window, WM_SHOWWINDOW, FALSE, 0);
            if (user32_state().active == window) {
                user32_state().active = nullptr;
                user32_deactivate();
            }
            user32_update_screen_window();
        }
    } else {
        show(window);
    }
    return call.done(was_visible);
}
