// Sleeping and ending the process.
#include <unistd.h>

#include <cstdint>
#include <ctime>

#include "platform/emu/common/call_log.h"
#include "platform/emu/common/hooks.h"
#include "platform/emu/kernel32/kernel32.h"
#include "platform/emu/kernel32/kernel32_state.h"
#include "platform/screen/screen.h"

// The system clock ticks 64 times a second, as Windows' does unless a program
// asks for finer timers: a sleep ends at the first tick after the time asked
// for, so Sleep(1) gives the processor up for up to a tick.
void Sleep(DWORD milliseconds)
{
    emu_call(EmuCallId::Sleep, "%u", milliseconds);
    if (emu_logging()) kernel32_state().sleeps.push_back(milliseconds);
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
    emu_call(EmuCallId::ExitProcess, "%u", exit_code);
    if (emu_hooks().before_exit) emu_hooks().before_exit();
    _exit(static_cast<int>(exit_code));  // at once: no exit handlers
}
