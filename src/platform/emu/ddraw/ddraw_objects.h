#pragma once

// DirectDraw's objects, private to DirectDraw; the test control sees a surface
// through its image alone. Each counts as a live object from its creation
// until it is freed: a surface when its count reaches zero (a flipping chain
// with its front, back buffers and all), a clipper when its count does or with
// its DirectDraw object. Surfaces keep their DirectDraw object's memory until
// they go.

#include <vector>

#include "platform/emu/common/pixel_format.h"
#include "platform/emu/ddraw/ddraw.h"
#include "platform/emu/ddraw/ddraw_screen.h"
#include "platform/emu/ddraw/references.h"
#include "platform/emu/ddraw/stretch.h"

class EmuDirectDraw;

// A surface's pixels as they are, for showing and reading back.
struct EmuSurfaceImage {
    const BYTE* pixels;
    LONG pitch;
    int width;
    int height;
    EmuPixelFormat format;
};

class EmuClipper final : public IDirectDrawClipper, EmuReferences {
   public:
    explicit EmuClipper(EmuDirectDraw* owner);
    ~EmuClipper();
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT SetHWnd(DWORD flags, HWND window) override;
    // References taken and given back by the surfaces it is set on, not by the program.
    void hold() { ++refs; }
    void drop();

   private:
    friend class EmuSurface;
    friend class EmuDirectDraw;
    void last_reference_gone() override { delete this; }

    EmuDirectDraw* owner;
    HWND window = nullptr;
};

class EmuSurface final : public IDirectDrawSurface, EmuReferences {
   public:
    enum Kind { PRIMARY, BACKBUFFER, OFFSCREEN };
    EmuSurface(EmuDirectDraw* owner, Kind kind, int width, int height, const EmuPixelFormat& format, DWORD caps);
    ~EmuSurface();

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT Blt(LPRECT dest_rect, IDirectDrawSurface* source, LPRECT source_rect, DWORD flags, LPDDBLTFX fx) override;
    HRESULT Flip(IDirectDrawSurface* target, DWORD flags) override;
    HRESULT GetAttachedSurface(LPDDSCAPS caps, IDirectDrawSurface** attached) override;
    HRESULT GetPixelFormat(LPDDPIXELFORMAT format) override;
    HRESULT GetSurfaceDesc(LPDDSURFACEDESC desc) override;
    HRESULT IsLost() override;
    HRESULT Lock(LPRECT rect, LPDDSURFACEDESC desc, DWORD flags, HANDLE event) override;
    HRESULT Restore() override;
    HRESULT SetClipper(IDirectDrawClipper* clipper) override;
    HRESULT Unlock(LPVOID surface) override;

    const char* name() const;
    int bytes_per_pixel() const { return static_cast<int>(format.bits / 8); }
    void lose() { lost = true; }
    bool is_lost() const { return lost; }
    EmuSurfaceImage image() const
    {
        return {.pixels = memory.data(), .pitch = pitch, .width = width, .height = height, .format = format};
    }

   private:
    friend class EmuDirectDraw;
    friend class EmuClipper;
    void describe(LPDDSURFACEDESC desc) const;
    void last_reference_gone() override;

    EmuDirectDraw* owner;
    Kind kind;
    int width;
    int height;
    EmuPixelFormat format;
    DWORD caps;
    LONG pitch;
    std::vector<BYTE, ScreenAllocator<BYTE>> memory;
    EmuMode created_in;
    bool lost = false;
    bool locked = false;
    EmuClipper* clipper = nullptr;
    std::vector<EmuSurface*> backs;  // a flipping chain's primary: its back buffers
    EmuSurface* front = nullptr;     // a back buffer: its chain's primary
    StretchMap stretch;              // the last blit onto it, kept for the next of the same size
    std::vector<BYTE> scratch;       // a blit onto itself: the pixels as they were
};

class EmuDirectDraw final : public IDirectDraw, EmuReferences {
   public:
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, IUnknown* outer) override;
    HRESULT CreateSurface(LPDDSURFACEDESC desc, IDirectDrawSurface** surface, IUnknown* outer) override;
    HRESULT RestoreDisplayMode() override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bits_per_pixel) override;

    // References held by this object's surfaces, apart from the program's: the
    // object's memory lives on while they use it.
    void hold() { ++holds; }
    void drop()
    {
        if (holds > 0 && --holds == 0 && refs == 0) delete this;
    }

   private:
    friend class EmuSurface;
    friend class EmuClipper;
    void last_reference_gone() override;

    ULONG holds = 0;
    DWORD level = 0;
    HWND window = nullptr;
    bool mode_set_here = false;
    EmuSurface* primary = nullptr;
    std::vector<EmuClipper*> clippers;  // made by CreateClipper, freed with this object

    void give_up_display();
    HRESULT create_primary(const DDSURFACEDESC& desc, IDirectDrawSurface** surface);
    HRESULT create_offscreen(const DDSURFACEDESC& desc, IDirectDrawSurface** surface);
};
