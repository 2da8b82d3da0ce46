#pragma once

// The DirectDraw subset (first interface version) that the presenter uses: the
// COM-style interfaces with Windows' argument lists, and DirectDrawCreate, which
// a program finds in "ddraw.dll" through GetProcAddress.

#include "platform/emu/common/ddraw_types.h"

struct IUnknown {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

   protected:
    ~IUnknown() = default;
};

struct IDirectDrawClipper;
struct IDirectDrawSurface;

struct IDirectDrawClipper : IUnknown {
    virtual HRESULT SetHWnd(DWORD flags, HWND window) = 0;

   protected:
    ~IDirectDrawClipper() = default;
};
typedef IDirectDrawClipper* LPDIRECTDRAWCLIPPER;

struct IDirectDrawSurface : IUnknown {
    virtual HRESULT Blt(LPRECT dest_rect, IDirectDrawSurface* source, LPRECT source_rect, DWORD flags,
                        LPDDBLTFX fx) = 0;
    virtual HRESULT Flip(IDirectDrawSurface* target, DWORD flags) = 0;
    virtual HRESULT GetAttachedSurface(LPDDSCAPS caps, IDirectDrawSurface** attached) = 0;
    virtual HRESULT GetPixelFormat(LPDDPIXELFORMAT format) = 0;
    virtual HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) = 0;
    virtual HRESULT IsLost() = 0;
    virtual HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) = 0;
    virtual HRESULT Restore() = 0;
    virtual HRESULT SetClipper(IDirectDrawClipper* clipper) = 0;
    virtual HRESULT Unlock(LPVOID surface) = 0;

   protected:
    ~IDirectDrawSurface() = default;
};
typedef IDirectDrawSurface* LPDIRECTDRAWSURFACE;

struct IDirectDraw : IUnknown {
    virtual HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) = 0;
    virtual HRESULT CreateSurface(LPDDSURFACEDESC desc, IDirectDrawSurface** surface, IUnknown* outer) = 0;
    virtual HRESULT RestoreDisplayMode() = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
    virtual HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits_per_pixel) = 0;

   protected:
    ~IDirectDraw() = default;
};
typedef IDirectDraw* LPDIRECTDRAW;

extern "C" HRESULT WINAPI DirectDrawCreate(GUID* driver, LPDIRECTDRAW* ddraw, IUnknown* outer);
