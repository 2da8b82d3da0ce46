// Frame presentation: pump the window's messages, convert the frame straight
// into the locked surface, then flip or copy it into the window.
#include <cstring>

#include "convert/convert_frame.h"
#include "display/display.h"
#include "display/display_state.h"

std::int32_t display_present(const Pixel* pixels)
{
    DisplayState& s = display_state;
    // Without an open display there is nothing to pump, draw or wait for.
    if (!s.lock_target || !s.converter) return 0;
    MSG message;
    while (PeekMessageA(&message, s.window, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (s.active) {
        if (!pixels) return 0;
        s.primary->Restore();
        if (s.opened.windowed) s.offscreen->Restore();
        DDSURFACEDESC desc;
        std::memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        if (s.lock_target->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr) < 0) return 0;
        // Never beyond the surface, should it be smaller than the display.
        const std::int32_t rows = s.height < static_cast<std::int32_t>(desc.dwHeight) ? s.height : desc.dwHeight;
        const std::int32_t count = s.width < static_cast<std::int32_t>(desc.dwWidth) ? s.width : desc.dwWidth;
        convert_frame(s.converter, pixels, s.width, desc.lpSurface, desc.lPitch, count, rows, s.converted_bytes);
        s.lock_target->Unlock(desc.lpSurface);
        if (s.opened.windowed)
            display_repaint();
        else
            s.primary->Flip(nullptr, s.flip_wait ? DDFLIP_WAIT : DDFLIP_NOVSYNC);
        Sleep(0);
    }
    if (s.opened.windowed) Sleep(1);
    return 1;
}
