#pragma once

// The DirectDraw subset (first interface version) that the presenter uses: the
// records with their published field order and names, the flags and error
// codes, and the COM-style interfaces with Windows' argument lists.

#include "platform/emu/emu_windows.h"

struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};

struct IUnknown {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

   protected:
    ~IUnknown() = default;
};

struct DDSCAPS {
    DWORD dwCaps;
};
typedef DDSCAPS* LPDDSCAPS;

struct DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
};

struct DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};
typedef DDPIXELFORMAT* LPDDPIXELFORMAT;

struct DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
};
typedef DDSURFACEDESC* LPDDSURFACEDESC;

struct DDBLTFX;  // never filled: the presenter passes NULL
typedef DDBLTFX* LPDDBLTFX;

#define DDSD_CAPS 0x00000001L
#define DDSD_HEIGHT 0x00000002L
#define DDSD_WIDTH 0x00000004L
#define DDSD_PITCH 0x00000008L
#define DDSD_BACKBUFFERCOUNT 0x00000020L
#define DDSD_LPSURFACE 0x00000800L
#define DDSD_PIXELFORMAT 0x00001000L

#define DDSCAPS_BACKBUFFER 0x00000004L
#define DDSCAPS_COMPLEX 0x00000008L
#define DDSCAPS_FLIP 0x00000010L
#define DDSCAPS_FRONTBUFFER 0x00000020L
#define DDSCAPS_OFFSCREENPLAIN 0x00000040L
#define DDSCAPS_PRIMARYSURFACE 0x00000200L
#define DDSCAPS_SYSTEMMEMORY 0x00000800L
#define DDSCAPS_VIDEOMEMORY 0x00004000L

#define DDSCL_FULLSCREEN 0x00000001L
#define DDSCL_ALLOWREBOOT 0x00000002L
#define DDSCL_NOWINDOWCHANGES 0x00000004L
#define DDSCL_NORMAL 0x00000008L
#define DDSCL_EXCLUSIVE 0x00000010L

#define DDPF_ALPHAPIXELS 0x00000001L
#define DDPF_FOURCC 0x00000004L
#define DDPF_PALETTEINDEXED8 0x00000020L
#define DDPF_RGB 0x00000040L

#define DDLOCK_WAIT 0x00000001L
#define DDFLIP_WAIT 0x00000001L
#define DDFLIP_NOVSYNC 0x00000008L
#define DDBLT_WAIT 0x01000000L

#define MAKE_DDHRESULT(code) ((HRESULT)(0x88760000UL | (code)))
#define DD_OK S_OK
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_INVALIDCAPS MAKE_DDHRESULT(100)
#define DDERR_INVALIDMODE MAKE_DDHRESULT(120)
#define DDERR_INVALIDOBJECT MAKE_DDHRESULT(130)
#define DDERR_INVALIDPIXELFORMAT MAKE_DDHRESULT(145)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_NOCOOPERATIVELEVELSET MAKE_DDHRESULT(212)
#define DDERR_NOEXCLUSIVEMODE MAKE_DDHRESULT(225)
#define DDERR_NOTFOUND MAKE_DDHRESULT(255)
#define DDERR_OUTOFVIDEOMEMORY MAKE_DDHRESULT(380)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_NODIRECTDRAWHW MAKE_DDHRESULT(563)
#define DDERR_PRIMARYSURFACEALREADYEXISTS MAKE_DDHRESULT(564)
#define DDERR_EXCLUSIVEMODEALREADYSET MAKE_DDHRESULT(581)
#define DDERR_NOTFLIPPABLE MAKE_DDHRESULT(582)
#define DDERR_NOTLOCKED MAKE_DDHRESULT(584)
#define DDERR_IMPLICITLYCREATED MAKE_DDHRESULT(588)
#define DDERR_WRONGMODE MAKE_DDHRESULT(587)
#define DDERR_UNSUPPORTEDMODE MAKE_DDHRESULT(590)
#define DDERR_INVALIDDIRECTDRAWGUID MAKE_DDHRESULT(561)

// DirectDrawCreate's driver argument may name one of these instead of a GUID.
#define DDCREATE_HARDWAREONLY 1L
#define DDCREATE_EMULATIONONLY 2L

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
