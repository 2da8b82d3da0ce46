#pragma once

// Built-in libraries: a library of the emulation above KERNEL32 registers its
// file name, module handle and exports, and LoadLibraryA and GetProcAddress
// then find it as they would find a DLL on disk.

#include "platform/emu/common/windows_types.h"

struct Kernel32Export {
    const char* name;
    FARPROC address;
};

// Registered once, while the program starts; `exports` ends with a null name.
void kernel32_register_module(const char* file_name, HMODULE module, const Kernel32Export* exports);
