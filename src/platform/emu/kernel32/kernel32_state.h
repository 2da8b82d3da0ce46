#pragma once

// KERNEL32's own state. Private to KERNEL32 and to the test control.

struct Kernel32State {
    int libraries = 0;  // loads of a built-in library not yet freed
};

Kernel32State& kernel32_state();
