// The question box, the screen-saver switch, sleeping, ending the process, and
// the built-in "ddraw.dll".
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <ctime>

#include "platform/emu/emu_state.h"

HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* ddraw, IUnknown* outer);  // emu_ddraw.cpp

namespace {

// The module handle of the built-in "ddraw.dll".
HMODULE const DDRAW_MODULE = reinterpret_cast<HMODULE>(static_cast<UINT_PTR>(0x6D640000));

}  // namespace

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    const auto call = emu_call("MessageBoxA", "%s, %s, %s, 0x%x", emu_window_name(owner).c_str(),
                               emu_text(text).c_str(), emu_text(caption).c_str(), type);
    // A box owned by a window that does not exist is not shown.
    if (call.fail || !emu_display_available() || (owner && !emu_window(owner))) return call.done(0);
    const int answer = screen_question(text ? text : "", caption ? caption : "");
    if (!answer) return call.done(0);
    // The screen asks Yes or No; a box of one OK button is answered OK.
    return call.done((type & 0xF) == MB_YESNO ? answer : IDOK);
}

BOOL SystemParametersInfoA(UINT action, UINT ui_param, LPVOID pv_param, UINT win_ini)
{
    const auto call =
        emu_call("SystemParametersInfoA", "%u, %u, %s, %u", action, ui_param, emu_pointer(pv_param).c_str(), win_ini);
    if (call.fail) return call.done(FALSE);
    switch (action) {
        case SPI_SETSCREENSAVEACTIVE:
            emu().screensaver = ui_param != 0;
            if (emu_display_available()) screen_screensaver(emu().screensaver);
            return call.done(TRUE);
        case SPI_GETSCREENSAVEACTIVE:
            if (!pv_param) return call.done(FALSE);
            *static_cast<BOOL*>(pv_param) = emu().screensaver;
            return call.done(TRUE);
        default:
            return call.done(FALSE);
    }
}

// The system clock ticks 64 times a second, as Windows' does unless a program
// asks for finer timers: a sleep ends at the first tick after the time asked
// for, so Sleep(1) gives the processor up for up to a tick.
void Sleep(DWORD milliseconds)
{
    emu_call("Sleep", "%u", milliseconds);
    if (emu().logging) emu().sleeps.push_back(milliseconds);
    if (milliseconds == 0) {
        screen_pause_until_ns(0);
        return;
    }
    constexpr std::int64_t TICK_NS = 15625000;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::int64_t asked = static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec +
                               static_cast<std::int64_t>(milliseconds) * 1000000;
    screen_pause_until_ns((asked + TICK_NS - 1) / TICK_NS * TICK_NS);
}

void ExitProcess(UINT exit_code)
{
    emu_call("ExitProcess", "%u", exit_code);
    if (emu().on_exit) emu().on_exit();
    _exit(static_cast<int>(exit_code));  // at once: no exit handlers
}

HMODULE LoadLibraryA(LPCSTR file_name)
{
    const auto call = emu_call("LoadLibraryA", "%s", emu_text(file_name).c_str());
    // A name without an extension is taken with ".dll" appended.
    const bool ddraw = file_name && (strcasecmp(file_name, "ddraw.dll") == 0 || strcasecmp(file_name, "ddraw") == 0);
    if (call.fail || !ddraw) return call.done(static_cast<HMODULE>(nullptr));
    ++emu().libraries;
    return call.done(DDRAW_MODULE);
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    const auto call = emu_call("GetProcAddress", "%s, %s", emu_pointer(module).c_str(), emu_text(name).c_str());
    if (call.fail || module != DDRAW_MODULE || emu().libraries == 0 || !name ||
        reinterpret_cast<UINT_PTR>(name) < 0x10000 || std::string(name) != "DirectDrawCreate")
        return call.done(static_cast<FARPROC>(nullptr));
    return call.done(reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&DirectDrawCreate)));
}

BOOL FreeLibrary(HMODULE module)
{
    const auto call = emu_call("FreeLibrary", "%s", emu_pointer(module).c_str());
    if (call.fail || module != DDRAW_MODULE || emu().libraries == 0) return call.done(FALSE);
    --emu().libraries;
    return call.done(TRUE);
}
