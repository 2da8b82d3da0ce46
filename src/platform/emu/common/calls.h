#pragma once

// The one list of emulated calls: each with its name as the call log writes it
// and whether a test can script it to fail. Adding an emulated call adds a line
// here; the log's names and the calls that can fail both come from this list.
// Calls that can't fail: sleeping, ending the process, and reference counting.

#define EMU_CALLS(X)                                                      \
    /* KERNEL32 */                                                        \
    X(Sleep, "Sleep", false)                                              \
    X(ExitProcess, "ExitProcess", false)                                  \
    X(LoadLibraryA, "LoadLibraryA", true)                                 \
    X(GetProcAddress, "GetProcAddress", true)                             \
    X(FreeLibrary, "FreeLibrary", true)                                   \
    /* USER32 */                                                          \
    X(RegisterClassA, "RegisterClassA", true)                             \
    X(UnregisterClassA, "UnregisterClassA", true)                         \
    X(CreateWindowExA, "CreateWindowExA", true)                           \
    X(DestroyWindow, "DestroyWindow", true)                               \
    X(IsWindow, "IsWindow", true)                                         \
    X(ShowWindow, "ShowWindow", true)                                     \
    X(DefWindowProcA, "DefWindowProcA", true)                             \
    X(AdjustWindowRect, "AdjustWindowRect", true)                         \
    X(GetSystemMetrics, "GetSystemMetrics", true)                         \
    X(ClientToScreen, "ClientToScreen", true)                             \
    X(GetClientRect, "GetClientRect", true)                               \
    X(LoadCursorA, "LoadCursorA", true)                                   \
    X(SetCursor, "SetCursor", true)                                       \
    X(PeekMessageA, "PeekMessageA", true)                                 \
    X(TranslateMessage, "TranslateMessage", true)                         \
    X(DispatchMessageA, "DispatchMessageA", true)                         \
    X(PostMessageA, "PostMessageA", true)                                 \
    X(SendMessageA, "SendMessageA", true)                                 \
    X(MessageBoxA, "MessageBoxA", true)                                   \
    X(SystemParametersInfoA, "SystemParametersInfoA", true)               \
    X(GetAsyncKeyState, "GetAsyncKeyState", true)                         \
    X(keybd_event, "keybd_event", false)                                  \
    /* DirectDraw */                                                      \
    X(DirectDrawCreate, "DirectDrawCreate", true)                         \
    X(DirectDraw_AddRef, "IDirectDraw::AddRef", false)                    \
    X(DirectDraw_Release, "IDirectDraw::Release", false)                  \
    X(CreateClipper, "IDirectDraw::CreateClipper", true)                  \
    X(CreateSurface, "IDirectDraw::CreateSurface", true)                  \
    X(RestoreDisplayMode, "IDirectDraw::RestoreDisplayMode", true)        \
    X(SetCooperativeLevel, "IDirectDraw::SetCooperativeLevel", true)      \
    X(SetDisplayMode, "IDirectDraw::SetDisplayMode", true)                \
    X(Clipper_AddRef, "IDirectDrawClipper::AddRef", false)                \
    X(Clipper_Release, "IDirectDrawClipper::Release", false)              \
    X(SetHWnd, "IDirectDrawClipper::SetHWnd", true)                       \
    X(Surface_AddRef, "IDirectDrawSurface::AddRef", false)                \
    X(Surface_Release, "IDirectDrawSurface::Release", false)              \
    X(Blt, "IDirectDrawSurface::Blt", true)                               \
    X(Flip, "IDirectDrawSurface::Flip", true)                             \
    X(GetAttachedSurface, "IDirectDrawSurface::GetAttachedSurface", true) \
    X(GetPixelFormat, "IDirectDrawSurface::GetPixelFormat", true)         \
    X(GetSurfaceDesc, "IDirectDrawSurface::GetSurfaceDesc", true)         \
    X(IsLost, "IDirectDrawSurface::IsLost", true)                         \
    X(Lock, "IDirectDrawSurface::Lock", true)                             \
    X(Restore, "IDirectDrawSurface::Restore", true)                       \
    X(SetClipper, "IDirectDrawSurface::SetClipper", true)                 \
    X(Unlock, "IDirectDrawSurface::Unlock", true)

enum class EmuCallId {
#define EMU_CALL_ID(id, name, can_fail) id,
    EMU_CALLS(EMU_CALL_ID)
#undef EMU_CALL_ID
};

struct EmuCallInfo {
    const char* name;
    bool can_fail;
};

inline constexpr EmuCallInfo EMU_CALL_INFO[] = {
#define EMU_CALL_INFO_OF(id, name, can_fail) {name, can_fail},
    EMU_CALLS(EMU_CALL_INFO_OF)
#undef EMU_CALL_INFO_OF
};
