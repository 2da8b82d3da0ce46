#pragma once

// How DirectDraw reaches the screen, all in one place: what it shows, the
// full-screen modes, the display's refresh, and what it hears of the screen.

#include <cstddef>
#include <new>

#include "platform/emu/common/pixel_format.h"

// Surfaces' pixels come from the screen, which may show them without a copy.
BYTE* ddraw_alloc_pixels(std::size_t bytes);
void ddraw_free_pixels(BYTE* pixels, std::size_t bytes);
template <class T>
struct ScreenAllocator {
    using value_type = T;
    ScreenAllocator() = default;
    template <class U>
    ScreenAllocator(const ScreenAllocator<U>&)
    {
    }
    T* allocate(std::size_t n)
    {
        BYTE* p = ddraw_alloc_pixels(n * sizeof(T));
        if (!p) throw std::bad_alloc();
        return reinterpret_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) { ddraw_free_pixels(reinterpret_cast<BYTE*>(p), n * sizeof(T)); }
    // The screen's memory comes zeroed: a value made without a value is left
    // unwritten, so a surface's pages are had only as they are drawn on.
    template <class U>
    void construct(U*) noexcept
    {
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args)
    {
        ::new (static_cast<void*>(p)) U(static_cast<Args&&>(args)...);
    }
    friend bool operator==(const ScreenAllocator&, const ScreenAllocator&) { return true; }
};

// Shows the visible surface: all of it full screen, else the part under the
// window that shows the screen. Nothing when the display is not open. False
// when the screen could not show it.
bool ddraw_show_visible();
// Tells the screen that nothing is shown: the image it had may be freed.
void ddraw_show_nothing();
// Returns at the display's next refresh: at once when showing an image waits for
// it by itself, else at the next tick of the screen's rate (60 Hz if unknown).
void ddraw_wait_for_refresh();
// The full-screen mode of this size and depth that the screen offers, if any.
const EmuMode* ddraw_find_mode(DWORD width, DWORD height, DWORD bits);
// Takes the whole screen in `mode` under `title`, or gives it back (nullptr);
// false when the screen can't be taken.
bool ddraw_take_screen(const EmuMode* mode, const char* title);
// Has USER32 tell DirectDraw of the screen's focus and damage: a full-screen
// program that loses the display loses its surfaces; its screen is its own and
// comes back at once when damaged.
void ddraw_listen_to_screen();
