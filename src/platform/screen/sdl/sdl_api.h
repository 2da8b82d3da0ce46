#pragma once

// SDL2, loaded at run time: only where our own X11 window can't serve (a
// Wayland desktop, an X server without a true-colour visual) and for the
// question box, so that a program on X11 never maps SDL and the sound, codec
// and system libraries it links. The files of this folder call SDL's functions
// by their own names, which this header turns into calls through the table.

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>

// clang-format off
#define SDL_API_FUNCTIONS(X) \
    X(SDL_CreateRenderer) \
    X(SDL_CreateTexture) \
    X(SDL_CreateWindow) \
    X(SDL_DestroyRenderer) \
    X(SDL_DestroyTexture) \
    X(SDL_DestroyWindow) \
    X(SDL_DisableScreenSaver) \
    X(SDL_EnableScreenSaver) \
    X(SDL_FillRect) \
    X(SDL_GL_GetProcAddress) \
    X(SDL_GetCurrentVideoDriver) \
    X(SDL_GetDesktopDisplayMode) \
    X(SDL_GetNumVideoDisplays) \
    X(SDL_GetRendererInfo) \
    X(SDL_GetRendererOutputSize) \
    X(SDL_GetWindowFlags) \
    X(SDL_GetWindowSize) \
    X(SDL_GetWindowSurface) \
    X(SDL_GetWindowWMInfo) \
    X(SDL_HideWindow) \
    X(SDL_InitSubSystem) \
    X(SDL_LockSurface) \
    X(SDL_MasksToPixelFormatEnum) \
    X(SDL_PollEvent) \
    X(SDL_QuitSubSystem) \
    X(SDL_RenderClear) \
    X(SDL_RenderCopy) \
    X(SDL_RenderGetLogicalSize) \
    X(SDL_RenderPresent) \
    X(SDL_RenderReadPixels) \
    X(SDL_RenderSetIntegerScale) \
    X(SDL_RenderSetLogicalSize) \
    X(SDL_SetHint) \
    X(SDL_SetRenderDrawColor) \
    X(SDL_SetWindowFullscreen) \
    X(SDL_SetWindowPosition) \
    X(SDL_SetWindowSize) \
    X(SDL_SetWindowTitle) \
    X(SDL_ShowCursor) \
    X(SDL_ShowMessageBox) \
    X(SDL_ShowWindow) \
    X(SDL_UnlockSurface) \
    X(SDL_UpdateTexture) \
    X(SDL_UpdateWindowSurface) \
    X(SDL_UpdateWindowSurfaceRects)
// clang-format on

struct SdlApi {
#define SDL_API_MEMBER(name) decltype(&::name) name = nullptr;
    SDL_API_FUNCTIONS(SDL_API_MEMBER)
#undef SDL_API_MEMBER
};

// Loads SDL2 (once, until unloaded); false (and every call unusable) where it
// can't be had. Unloading lets its libraries go, where nothing of SDL's is left.
bool sdl_api_load();
void sdl_api_unload();
const SdlApi& sdl_api();

#if !defined(SDL_API_DEFINING)
#define SDL_CreateRenderer sdl_api().SDL_CreateRenderer
#define SDL_CreateTexture sdl_api().SDL_CreateTexture
#define SDL_CreateWindow sdl_api().SDL_CreateWindow
#define SDL_DestroyRenderer sdl_api().SDL_DestroyRenderer
#define SDL_DestroyTexture sdl_api().SDL_DestroyTexture
#define SDL_DestroyWindow sdl_api().SDL_DestroyWindow
#define SDL_DisableScreenSaver sdl_api().SDL_DisableScreenSaver
#define SDL_EnableScreenSaver sdl_api().SDL_EnableScreenSaver
#define SDL_FillRect sdl_api().SDL_FillRect
#define SDL_GL_GetProcAddress sdl_api().SDL_GL_GetProcAddress
#define SDL_GetCurrentVideoDriver sdl_api().SDL_GetCurrentVideoDriver
#define SDL_GetDesktopDisplayMode sdl_api().SDL_GetDesktopDisplayMode
#define SDL_GetNumVideoDisplays sdl_api().SDL_GetNumVideoDisplays
#define SDL_GetRendererInfo sdl_api().SDL_GetRendererInfo
#define SDL_GetRendererOutputSize sdl_api().SDL_GetRendererOutputSize
#define SDL_GetWindowFlags sdl_api().SDL_GetWindowFlags
#define SDL_GetWindowSize sdl_api().SDL_GetWindowSize
#define SDL_GetWindowSurface sdl_api().SDL_GetWindowSurface
#define SDL_GetWindowWMInfo sdl_api().SDL_GetWindowWMInfo
#define SDL_HideWindow sdl_api().SDL_HideWindow
#define SDL_InitSubSystem sdl_api().SDL_InitSubSystem
#define SDL_LockSurface sdl_api().SDL_LockSurface
#define SDL_MasksToPixelFormatEnum sdl_api().SDL_MasksToPixelFormatEnum
#define SDL_PollEvent sdl_api().SDL_PollEvent
#define SDL_QuitSubSystem sdl_api().SDL_QuitSubSystem
#define SDL_RenderClear sdl_api().SDL_RenderClear
#define SDL_RenderCopy sdl_api().SDL_RenderCopy
#define SDL_RenderGetLogicalSize sdl_api().SDL_RenderGetLogicalSize
#define SDL_RenderPresent sdl_api().SDL_RenderPresent
#define SDL_RenderReadPixels sdl_api().SDL_RenderReadPixels
#define SDL_RenderSetIntegerScale sdl_api().SDL_RenderSetIntegerScale
#define SDL_RenderSetLogicalSize sdl_api().SDL_RenderSetLogicalSize
#define SDL_SetHint sdl_api().SDL_SetHint
#define SDL_SetRenderDrawColor sdl_api().SDL_SetRenderDrawColor
#define SDL_SetWindowFullscreen sdl_api().SDL_SetWindowFullscreen
#define SDL_SetWindowPosition sdl_api().SDL_SetWindowPosition
#define SDL_SetWindowSize sdl_api().SDL_SetWindowSize
#define SDL_SetWindowTitle sdl_api().SDL_SetWindowTitle
#define SDL_ShowCursor sdl_api().SDL_ShowCursor
#define SDL_ShowMessageBox sdl_api().SDL_ShowMessageBox
#define SDL_ShowWindow sdl_api().SDL_ShowWindow
#define SDL_UnlockSurface sdl_api().SDL_UnlockSurface
#define SDL_UpdateTexture sdl_api().SDL_UpdateTexture
#define SDL_UpdateWindowSurface sdl_api().SDL_UpdateWindowSurface
#define SDL_UpdateWindowSurfaceRects sdl_api().SDL_UpdateWindowSurfaceRects
#endif
