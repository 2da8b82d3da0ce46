// Message queues, the screen's input turned into messages, and key states.
#include "platform/emu/emu_state.h"

namespace {

// The window that receives input: the active one, else the newest.
HWND input_window()
{
    EmuState& s = emu();
    if (emu_window(s.active)) return s.active;
    if (s.windows.empty()) return nullptr;
    return reinterpret_cast<HWND>(s.windows.rbegin()->first);
}

void handle(const ScreenEvent& e)
{
    EmuState& s = emu();
    const HWND target = input_window();
    const int key = e.key & 0xFF;
    switch (e.kind) {
        case ScreenEventKind::KEY_DOWN:
            s.key_down[key] = true;
            s.key_pressed[key] = true;
            if (target) emu_post(target, s.key_down[VK_MENU] && key != VK_MENU ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1);
            break;
        case ScreenEventKind::KEY_UP:
            s.key_down[key] = false;
            if (target) emu_post(target, s.key_down[VK_MENU] ? WM_SYSKEYUP : WM_KEYUP, key, LPARAM(0xC0000001));
            break;
        case ScreenEventKind::MOUSE_MOVE:
            if (target) emu_post(target, WM_MOUSEMOVE, 0, MAKELPARAM(e.x, e.y));
            break;
        case ScreenEventKind::BUTTON_DOWN:
        case ScreenEventKind::BUTTON_UP: {
            const bool down = e.kind == ScreenEventKind::BUTTON_DOWN;
            const int vk = e.button == 0 ? VK_LBUTTON : VK_RBUTTON;
            s.key_down[vk] = down;
            if (down) s.key_pressed[vk] = true;
            const UINT message =
                e.button == 0 ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
            if (target) emu_post(target, message, 0, MAKELPARAM(e.x, e.y));
            break;
        }
        case ScreenEventKind::FOCUS_GAINED:
            if (target) emu_activate(target);
            break;
        case ScreenEventKind::FOCUS_LOST:
            // A full-screen program that loses the display loses its surfaces too.
            if (s.exclusive_owner) emu_lose_all_surfaces();
            emu_deactivate();
            break;
        case ScreenEventKind::CLOSE:
            if (target) emu_post(target, WM_CLOSE, 0, 0);
            break;
        case ScreenEventKind::EXPOSE:
            for (auto& [id, w] : s.windows)
                if (w.visible) w.needs_paint = true;
            emu_show_visible();
            break;
    }
}

bool matches(const MSG& m, HWND window, UINT low, UINT high)
{
    if (window && m.hwnd != window) return false;
    return (low == 0 && high == 0) || (m.message >= low && m.message <= high);
}

}  // namespace

void emu_pump_screen_events()
{
    if (!emu_display_available()) return;
    ScreenEvent e;
    while (screen_poll(&e)) handle(e);
}

void emu_post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (EmuWindow* w = emu_window(window)) w->queue.push_back({window, message, wParam, lParam, 0, {0, 0}});
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto call = emu_call("PostMessageA", "%s, 0x%x", emu_window_name(window).c_str(), message);
    if (call.fail || !emu_window(window)) return call.done(FALSE);
    emu_post(window, message, wParam, lParam);
    return call.done(TRUE);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto call = emu_call("SendMessageA", "%s, 0x%x", emu_window_name(window).c_str(), message);
    if (call.fail) return call.done(LRESULT{0});
    return call.done(emu_send(window, message, wParam, lParam));
}

BOOL PeekMessageA(LPMSG message, HWND window, UINT filter_min, UINT filter_max, UINT remove)
{
    const auto call = emu_call("PeekMessageA", "%s, 0x%x, 0x%x, 0x%x", emu_window_name(window).c_str(), filter_min,
                               filter_max, remove);
    EmuState& s = emu();
    if (call.fail || !message || (window && !emu_window(window))) return call.done(FALSE);
    ++s.peeks;
    for (auto it = s.scripted_messages.begin(); it != s.scripted_messages.end();) {
        if (it->at_peek <= s.peeks) {
            emu_post(it->window, it->message, it->wParam, it->lParam);
            it = s.scripted_messages.erase(it);
        } else {
            ++it;
        }
    }
    emu_pump_screen_events();
    for (auto& [id, w] : s.windows) {
        for (auto m = w.queue.begin(); m != w.queue.end(); ++m) {
            if (!matches(*m, window, filter_min, filter_max)) continue;
            *message = *m;
            if (remove & PM_REMOVE) w.queue.erase(m);
            return call.done(TRUE);
        }
    }
    // With nothing queued, a window that needs painting gets WM_PAINT until it is validated.
    for (auto& [id, w] : s.windows) {
        const HWND h = reinterpret_cast<HWND>(id);
        const MSG paint{h, WM_PAINT, 0, 0, 0, {0, 0}};
        if (w.visible && w.needs_paint && matches(paint, window, filter_min, filter_max)) {
            *message = paint;
            return call.done(TRUE);
        }
    }
    return call.done(FALSE);
}

BOOL TranslateMessage(const MSG* message)
{
    const auto call = emu_call("TranslateMessage", "0x%x", message ? message->message : 0u);
    if (call.fail || !message) return call.done(FALSE);
    const UINT m = message->message;
    return call.done(BOOL{m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP});
}

LRESULT DispatchMessageA(const MSG* message)
{
    const auto call =
        emu_call("DispatchMessageA", "%s, 0x%x", message ? emu_window_name(message->hwnd).c_str() : "NULL",
                 message ? message->message : 0u);
    if (call.fail || !message) return call.done(LRESULT{0});
    return call.done(emu_send(message->hwnd, message->message, message->wParam, message->lParam));
}

SHORT GetAsyncKeyState(int key)
{
    const auto call = emu_call("GetAsyncKeyState", "%d", key);
    EmuState& s = emu();
    if (call.fail || key < 0 || key > 0xFF) return call.done(SHORT{0});
    auto scripted = s.scripted_keys.find(key);
    if (scripted != s.scripted_keys.end() && !scripted->second.empty()) {
        const SHORT value = scripted->second.front();
        scripted->second.pop_front();
        return call.done(value);
    }
    emu_pump_screen_events();
    // Bit 15: down now. Bit 0: pressed since the previous query, which clears it.
    const SHORT value = static_cast<SHORT>((s.key_down[key] ? 0x8000 : 0) | (s.key_pressed[key] ? 1 : 0));
    s.key_pressed[key] = false;
    return call.done(value);
}
