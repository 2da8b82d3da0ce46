// Pausing on a POSIX system, for the SDL2 and headless screens: the display's
// events queue up meanwhile and are read at the next poll. Slept in relative
// steps, which every C library here (WebAssembly's too) keeps.
#include <sched.h>

#include <ctime>

#include "platform/screen/screen.h"

void screen_pause_until_ns(std::int64_t when)
{
    if (when == 0) {
        sched_yield();
        return;
    }
    for (;;) {
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        const std::int64_t left = when - (static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec);
        if (left <= 0) return;
        const timespec step{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
        nanosleep(&step, nullptr);
    }
}
