#pragma once

// KERNEL32's own state. Private to KERNEL32 and to the test control.

#include <vector>

#include "platform/emu/common/windows_types.h"

struct Kernel32State {
    int libraries = 0;          // loads of a built-in library not yet freed
    std::vector<DWORD> sleeps;  // while calls are logged: each Sleep's milliseconds
};

Kernel32State& kernel32_state();
