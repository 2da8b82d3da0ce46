// The question box.
#include "platform/emu/common/call_log.h"
#include "platform/emu/user32/user32_state.h"

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    const auto call = emu_call(EmuCallId::MessageBoxA, "%s, %s, %s, 0x%x", emu_window_name(owner).c_str(),
                               emu_text(text).c_str(), emu_text(caption).c_str(), type);
    // A box owned by a window that does not exist is not shown.
    if (call.fail || !user32_connect_display() || (owner && !user32_window(owner))) return call.done(0);
    const int answer = screen_question(text ? text : "", caption ? caption : "");
    if (!answer) return call.done(0);
    // The screen asks Yes or No; a box of one OK button is answered OK.
    return call.done((type & 0xF) == MB_YESNO ? answer : IDOK);
}
