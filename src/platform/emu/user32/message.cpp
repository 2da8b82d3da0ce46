// The thread's message queue: posting, sending, retrieving in posting order
// with WM_PAINT when nothing is posted, translating and dispatching.
#include "platform/emu/common/call_log.h"
#include "platform/emu/common/hooks.h"
#include "platform/emu/user32/user32_state.h"

namespace {

bool matches(const MSG& m, HWND window, UINT low, UINT high)
{
    if (window && m.hwnd != window) return false;
    return (low == 0 && high == 0) || (m.message >= low && m.message <= high);
}

}  // namespace

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto call = emu_call(EmuCallId::PostMessageA, "%s, 0x%x", emu_window_name(window).c_str(), message);
    if (call.fail || !user32_post(window, message, wParam, lParam)) return call.done(FALSE);
    return call.done(TRUE);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto call = emu_call(EmuCallId::SendMessageA, "%s, 0x%x", emu_window_name(window).c_str(), message);
    if (call.fail) return call.done(LRESULT{0});
    return call.done(user32_send(window, message, wParam, lParam));
}

BOOL PeekMessageA(LPMSG message, HWND window, UINT filter_min, UINT filter_max, UINT remove)
{
    const auto call = emu_call(EmuCallId::PeekMessageA, "%s, 0x%x, 0x%x, 0x%x", emu_window_name(window).c_str(),
                               filter_min, filter_max, remove);
    User32State& s = user32_state();
    if (call.fail || !message || (window && !user32_window(window))) return call.done(FALSE);
    if (emu_hooks().before_peek) emu_hooks().before_peek();
    user32_pump_screen_events(true);
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
    const auto call = emu_call(EmuCallId::TranslateMessage, "0x%x", message ? message->message : 0u);
    if (call.fail || !message) return call.done(FALSE);
    const UINT m = message->message;
    return call.done(BOOL{m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP});
}

LRESULT DispatchMessageA(const MSG* message)
{
    const auto call =
        emu_call(EmuCallId::DispatchMessageA, "%s, 0x%x", message ? emu_window_name(message->hwnd).c_str() : "NULL",
                 message ? message->message : 0u);
    if (call.fail || !message) return call.done(LRESULT{0});
    return call.done(user32_send(message->hwnd, message->message, message->wParam, message->lParam));
}
