#pragma once

// The program's own entry, called once by the process start-up. It never
// returns: it ends the process with status 0 after Escape, -1 when the display
// can't be opened.
[[noreturn]] void run_program();
