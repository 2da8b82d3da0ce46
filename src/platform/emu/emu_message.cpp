// The thread's message queue, the screen's input turned into messages, and key states.
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

// A keyboard's set-1 scan code for a virtual key, with the extended-key flag (0x100).
int scan_code(int vk)
{
    static const char LETTERS[] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                   0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    if (vk >= 'A' && vk <= 'Z') return LETTERS[vk - 'A'];
    if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
    if (vk == '0') return 0x0B;
    if (vk >= VK_F1 && vk <= VK_F1 + 9) return 0x3B + (vk - VK_F1);
    switch (vk) {
        case VK_ESCAPE:
            return 0x01;
        case VK_RETURN:
            return 0x1C;
        case VK_CONTROL:
            return 0x1D;
        case VK_SHIFT:
            return 0x2A;
        case VK_MENU:
            return 0x38;
        case VK_SPACE:
            return 0x39;
        case VK_F1 + 10:
            return 0x57;
        case VK_F1 + 11:
            return 0x58;
        case VK_UP:
            return 0x148;
        case VK_LEFT:
            return 0x14B;
        case VK_RIGHT:
            return 0x14D;
        case VK_DOWN:
            return 0x150;
        default:
            return 0;
    }
}

// A key message: WM_SYSKEY* while Alt is held without Ctrl; lParam carries a
// repeat count of 1, the scan code, the Alt context bit, the previous state and
// the transition.
void post_key(HWND target, int key, bool down, bool was_down, bool alt, bool ctrl)
{
    const bool sys = alt && !ctrl;
    const UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    DWORD high = static_cast<DWORD>(scan_code(key));  // scan code, and KF_EXTENDED
    if (alt) high |= KF_ALTDOWN;
    if (was_down) high |= KF_REPEAT;
    if (!down) high |= KF_UP;
    emu_post(target, message, static_cast<WPARAM>(key), static_cast<LPARAM>(static_cast<DWORD>(1 | high << 16)));
}

// The wParam of a mouse message: the buttons and modifier keys down.
WPARAM mouse_keys()
{
    const EmuState& s = emu();
    return (s.key_down[VK_LBUTTON] ? MK_LBUTTON : 0) | (s.key_down[VK_RBUTTON] ? MK_RBUTTON : 0) |
           (s.key_down[VK_SHIFT] ? MK_SHIFT : 0) | (s.key_down[VK_CONTROL] ? MK_CONTROL : 0);
}

// Activation runs window procedures, so it waits for message retrieval unless `deliver` is set.
void handle(const ScreenEvent& e, bool deliver)
{
    EmuState& s = emu();
    const HWND target = input_window();
    const int key = e.key & 0xFF;
    switch (e.kind) {
        case ScreenEventKind::KEY_DOWN:
        case ScreenEventKind::KEY_UP: {
            const bool down = e.kind == ScreenEventKind::KEY_DOWN;
            const bool was_down = s.key_down[key];
            // Alt counts as held for its own press and for keys released while it was down.
            const bool alt = down ? (s.key_down[VK_MENU] || key == VK_MENU) : s.key_down[VK_MENU];
            s.key_down[key] = down;
            if (down) s.key_pressed[key] = true;
            if (target) post_key(target, key, down, was_down, alt, s.key_down[VK_CONTROL]);
            break;
        }
        case ScreenEventKind::MOUSE_MOVE:
            if (target) emu_post(target, WM_MOUSEMOVE, mouse_keys(), MAKELPARAM(e.x, e.y));
            break;
        case ScreenEventKind::BUTTON_DOWN:
        case ScreenEventKind::BUTTON_UP: {
            const bool down = e.kind == ScreenEventKind::BUTTON_DOWN;
            const int vk = e.button == 0 ? VK_LBUTTON : VK_RBUTTON;
            s.key_down[vk] = down;
            if (down) s.key_pressed[vk] = true;
            const UINT message =
                e.button == 0 ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
            if (target) emu_post(target, message, mouse_keys(), MAKELPARAM(e.x, e.y));
            break;
        }
        case ScreenEventKind::FOCUS_GAINED:
        case ScreenEventKind::FOCUS_LOST:
            if (!deliver) {
                s.deferred_events.push_back(e);
            } else if (e.kind == ScreenEventKind::FOCUS_GAINED) {
                if (target) emu_activate(target);
            } else {
                // A full-screen program that loses the display loses its surfaces too.
                if (s.exclusive_owner) emu_lose_all_surfaces();
                emu_deactivate();
            }
            break;
        case ScreenEventKind::CLOSE:
            if (target) emu_post(target, WM_CLOSE, 0, 0);
            break;
        case ScreenEventKind::EXPOSE:
            // What a window showed is gone: it paints itself again on WM_PAINT.
            // A full-screen program's screen is its own and comes back at once.
            for (auto& [id, w] : s.windows)
                if (w.visible) w.needs_paint = true;
            if (s.exclusive_owner) emu_show_visible();
            break;
    }
}

bool matches(const MSG& m, HWND window, UINT low, UINT high)
{
    if (window && m.hwnd != window) return false;
    return (low == 0 && high == 0) || (m.message >= low && m.message <= high);
}

}  // namespace

void emu_pump_screen_events(bool deliver)
{
    if (!emu_display_available()) return;
    EmuState& s = emu();
    while (deliver && !s.deferred_events.empty()) {
        const ScreenEvent e = s.deferred_events.front();
        s.deferred_events.pop_front();
        handle(e, true);
    }
    ScreenEvent e;
    while (screen_poll(&e)) handle(e, deliver);
}

// A message for a window of the thread, or for the thread itself (no window).
// A queue holds at most 10,000 posted messages, Windows' default limit.
constexpr std::size_t POSTED_MESSAGE_LIMIT = 10000;

bool emu_post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((window && !emu_window(window)) || emu().queue.size() >= POSTED_MESSAGE_LIMIT) return false;
    emu().queue.push_back({window, message, wParam, lParam, 0, {0, 0}});
    return true;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto call = emu_call("PostMessageA", "%s, 0x%x", emu_window_name(window).c_str(), message);
    if (call.fail || !emu_post(window, message, wParam, lParam)) return call.done(FALSE);
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
    emu_pump_screen_events(true);
    for (auto m = s.queue.begin(); m != s.queue.end(); ++m) {
        if (!matches(*m, window, filter_min, filter_max)) continue;
        *message = *m;
        if (remove & PM_REMOVE) s.queue.erase(m);
        return call.done(TRUE);
    }
    // With nothing posted, a window that needs painting gets WM_PAINT until it is validated.
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
    // Reads the keyboard; messages wait for the program's next message retrieval.
    emu_pump_screen_events(false);
    // Bit 15: down now. Bit 0: pressed since the previous query, which clears it.
    const SHORT value = static_cast<SHORT>((s.key_down[key] ? 0x8000 : 0) | (s.key_pressed[key] ? 1 : 0));
    s.key_pressed[key] = false;
    return call.done(value);
}
