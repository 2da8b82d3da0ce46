#pragma once

// A seam for scripting the emulation from outside: hooks that shipped code
// consults and that stay empty unless a test's control fills them. With them
// empty the emulation behaves as the platform does.

#include "platform/emu/common/windows_types.h"

struct EmuHooks {
    // Asked first by GetAsyncKeyState: true with *value set answers the query.
    bool (*key_state)(int key, SHORT* value) = nullptr;
    // Called by every PeekMessageA that looks at the queue, before it does.
    void (*before_peek)() = nullptr;
    // Called by ExitProcess just before the process ends.
    void (*before_exit)() = nullptr;
    // Extra bytes at the end of every surface row created from now on.
    int pitch_padding = 0;
};

EmuHooks& emu_hooks();
