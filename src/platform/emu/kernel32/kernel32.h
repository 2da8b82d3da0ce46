#pragma once

// The KERNEL32 subset that the presenter and the driver use: sleeping, ending
// the process, and loading a library at run time.

#include "platform/emu/common/windows_types.h"

void Sleep(DWORD milliseconds);
[[noreturn]] void ExitProcess(UINT exit_code);
HMODULE LoadLibraryA(LPCSTR file_name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
