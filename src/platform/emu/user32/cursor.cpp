// The cursor: the system's arrow, shown or hidden.
#include "platform/emu/common/call_log.h"
#include "platform/emu/user32/user32_state.h"

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    const auto call = emu_call(EmuCallId::LoadCursorA, "%s, %s", emu_pointer(instance).c_str(), emu_text(name).c_str());
    // Only the system's arrow is there.
    if (call.fail || instance || name != IDC_ARROW) return call.done(static_cast<HCURSOR>(nullptr));
    return call.done(USER32_ARROW);
}

HCURSOR SetCursor(HCURSOR cursor)
{
    const auto call = emu_call(EmuCallId::SetCursor, "%s", cursor ? "arrow" : "NULL");
    if (call.fail) return call.done(static_cast<HCURSOR>(nullptr));
    User32State& s = user32_state();
    const HCURSOR previous = s.cursor_visible ? s.cursor : nullptr;
    if (cursor) s.cursor = cursor;
    s.cursor_visible = cursor != nullptr;
    if (user32_display_connected()) screen_cursor(s.cursor_visible);
    return call.done(previous);
}
