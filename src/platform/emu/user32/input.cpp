// Input: the screen's keyboard, mouse, focus and close events turned into key
// states and messages, and key states queried.
#include "platform/emu/common/call_log.h"
#include "platform/emu/common/hooks.h"
#include "platform/emu/common/keys.h"
#include "platform/emu/user32/user32_state.h"

namespace {

// The window that receives input: the active one, else the newest.
HWND input_window()
{
    User32State& s = user32_state();
    if (user32_window(s.active)) return s.active;
    if (s.windows.empty()) return nullptr;
    return reinterpret_cast<HWND>(s.windows.rbegin()->first);
}

// A key message: WM_SYSKEY* while Alt is held without Ctrl, and for F10 (the
// menu key) always; lParam carries a repeat count of 1, the scan code, the Alt
// context bit, the previous state and the transition.
void post_key(HWND target, int key, bool down, bool was_down, bool alt, bool ctrl)
{
    const bool sys = (alt && !ctrl) || key == VK_F10;
    const UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    DWORD high = static_cast<DWORD>(emu_scan_code(key));  // scan code, and KF_EXTENDED
    if (alt) high |= KF_ALTDOWN;
    if (was_down) high |= KF_REPEAT;
    if (!down) high |= KF_UP;
    user32_post(target, message, static_cast<WPARAM>(key), static_cast<LPARAM>(static_cast<DWORD>(1 | high << 16)));
}

// The wParam of a mouse message: the buttons and modifier keys down.
WPARAM mouse_keys()
{
    const User32State& s = user32_state();
    return (s.key_down[VK_LBUTTON] ? MK_LBUTTON : 0) | (s.key_down[VK_RBUTTON] ? MK_RBUTTON : 0) |
           (s.key_down[VK_SHIFT] ? MK_SHIFT : 0) | (s.key_down[VK_CONTROL] ? MK_CONTROL : 0);
}

// Activation runs window procedures, so it waits for message retrieval unless `deliver` is set.
void handle(const ScreenEvent& e, bool deliver)
{
    User32State& s = user32_state();
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
            if (target) user32_post(target, WM_MOUSEMOVE, mouse_keys(), MAKELPARAM(e.x, e.y));
            break;
        case ScreenEventKind::BUTTON_DOWN:
        case ScreenEventKind::BUTTON_UP: {
            const bool down = e.kind == ScreenEventKind::BUTTON_DOWN;
            const int vk = e.button == 0 ? VK_LBUTTON : VK_RBUTTON;
            s.key_down[vk] = down;
            if (down) s.key_pressed[vk] = true;
            const UINT message =
                e.button == 0 ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
            if (target) user32_post(target, message, mouse_keys(), MAKELPARAM(e.x, e.y));
            break;
        }
        case ScreenEventKind::FOCUS_GAINED:
        case ScreenEventKind::FOCUS_LOST:
            if (!deliver) {
                s.deferred_events.push_back(e);
            } else if (e.kind == ScreenEventKind::FOCUS_GAINED) {
                if (target) user32_activate(target);
            } else {
                if (s.listener.focus_lost) s.listener.focus_lost();
                user32_deactivate();
            }
            break;
        case ScreenEventKind::CLOSE:
            if (target) user32_post(target, WM_CLOSE, 0, 0);
            break;
        case ScreenEventKind::EXPOSE:
            // What a window showed is gone: it paints itself again on WM_PAINT.
            for (auto& [id, w] : s.windows)
                if (w.visible) w.needs_paint = true;
            if (s.listener.exposed) s.listener.exposed();
            break;
    }
}

}  // namespace

void user32_set_screen_listener(const User32ScreenListener& listener) { user32_state().listener = listener; }

void user32_pump_screen_events(bool deliver)
{
    if (!user32_connect_display()) return;
    User32State& s = user32_state();
    while (deliver && !s.deferred_events.empty()) {
        const ScreenEvent e = s.deferred_events.front();
        s.deferred_events.pop_front();
        handle(e, true);
    }
    ScreenEvent e;
    while (screen_poll(&e)) handle(e, deliver);
}

// A key synthesised as the keyboard would send it, to the window that has the input.
void keybd_event(BYTE key, BYTE scan, DWORD flags, ULONG_PTR extra)
{
    emu_call(EmuCallId::keybd_event, "%u, %u, 0x%x, %lu", key, scan, flags, static_cast<unsigned long>(extra));
    ScreenEvent e{};
    e.kind = flags & KEYEVENTF_KEYUP ? ScreenEventKind::KEY_UP : ScreenEventKind::KEY_DOWN;
    e.key = key;
    handle(e, true);
}

SHORT GetAsyncKeyState(int key)
{
    const auto call = emu_call(EmuCallId::GetAsyncKeyState, "%d", key);
    User32State& s = user32_state();
    if (call.fail || key < 0 || key > 0xFF) return call.done(SHORT{0});
    if (SHORT scripted; emu_hooks().key_state && emu_hooks().key_state(key, &scripted)) return call.done(scripted);
    // Reads the keyboard; messages wait for the program's next message retrieval.
    user32_pump_screen_events(false);
    // Bit 15: down now. Bit 0: pressed since the previous query, which clears it.
    const SHORT value = static_cast<SHORT>((s.key_down[key] ? 0x8000 : 0) | (s.key_pressed[key] ? 1 : 0));
    s.key_pressed[key] = false;
    return call.done(value);
}
