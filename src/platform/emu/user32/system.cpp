// System metrics and parameters: the screen's and the frames' sizes, and the
// screen-saver switch.
#include "platform/emu/common/call_log.h"
#include "platform/emu/user32/user32_state.h"

int GetSystemMetrics(int index)
{
    const auto call = emu_call(EmuCallId::GetSystemMetrics, "%d", index);
    if (call.fail) return call.done(0);
    switch (index) {
        case SM_CXSCREEN:
            return call.done(user32_connect_display() ? user32_display_mode().width : 0);
        case SM_CYSCREEN:
            return call.done(user32_connect_display() ? user32_display_mode().height : 0);
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return call.done(USER32_DIALOG_FRAME);
        case SM_CXFRAME:
        case SM_CYFRAME:
            return call.done(USER32_SIZING_FRAME);
        case SM_CYCAPTION:
            return call.done(USER32_CAPTION);
        default:
            return call.done(0);
    }
}

BOOL SystemParametersInfoA(UINT action, UINT ui_param, LPVOID pv_param, UINT win_ini)
{
    const auto call = emu_call(EmuCallId::SystemParametersInfoA, "%u, %u, %s, %u", action, ui_param,
                               emu_pointer(pv_param).c_str(), win_ini);
    if (call.fail) return call.done(FALSE);
    User32State& s = user32_state();
    switch (action) {
        case SPI_SETSCREENSAVEACTIVE:
            s.screensaver = ui_param != 0;
            if (user32_connect_display()) screen_screensaver(s.screensaver);
            return call.done(TRUE);
        case SPI_GETSCREENSAVEACTIVE:
            if (!pv_param) return call.done(FALSE);
            *static_cast<BOOL*>(pv_param) = s.screensaver;
            return call.done(TRUE);
        default:
            return call.done(FALSE);
    }
}
