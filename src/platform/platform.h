#pragma once

// The one header through which the presenter reaches the window system and
// DirectDraw. On Windows these are the system's own; everywhere else they are
// our emulation of the same operations, spelled as Windows spells them.

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// DirectDraw's declarations build on the window system's.
#include <ddraw.h>
#else
#include "platform/emu/ddraw/ddraw.h"
#include "platform/emu/kernel32/kernel32.h"
#include "platform/emu/user32/user32.h"
#endif

// The type of DirectDrawCreate, which the presenter looks up in ddraw.dll at run time.
typedef HRESULT(WINAPI* DirectDrawCreateProc)(GUID* driver, LPDIRECTDRAW* ddraw, IUnknown* outer);
