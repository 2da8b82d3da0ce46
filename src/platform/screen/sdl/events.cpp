// The SDL2 screen's events: keys (by the table in sdl_keys.h), the mouse and
// its buttons in the screen's pixels, focus, close requests and damage.
#include <SDL2/SDL.h>

#include "platform/screen/sdl/sdl_keys.h"
#include "platform/screen/sdl/sdl_screen.h"

namespace {

// A position in the window as the program sees it: in a full-screen mode's
// pixels where our own path scales the mode (the renderer maps its own).
void to_screen(int* x, int* y)
{
    const SdlScreen& s = sdl_screen();
    if (!s.fullscreen || s.renderer) return;
    *x = (*x - s.offset_x) / s.scale;
    *y = (*y - s.offset_y) / s.scale;
}

}  // namespace

bool screen_poll(ScreenEvent* event)
{
    SdlScreen& s = sdl_screen();
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                const int vk = sdl_virtual_key(e.key.keysym.sym);
                if (!vk) continue;
                *event = {e.type == SDL_KEYDOWN ? ScreenEventKind::KEY_DOWN : ScreenEventKind::KEY_UP, vk, 0, 0, 0};
                return true;
            }
            case SDL_MOUSEMOTION:
                *event = {ScreenEventKind::MOUSE_MOVE, 0, e.motion.x, e.motion.y, 0};
                to_screen(&event->x, &event->y);
                return true;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT) continue;
                *event = {e.type == SDL_MOUSEBUTTONDOWN ? ScreenEventKind::BUTTON_DOWN : ScreenEventKind::BUTTON_UP, 0,
                          e.button.x, e.button.y, e.button.button == SDL_BUTTON_LEFT ? 0 : 1};
                to_screen(&event->x, &event->y);
                return true;
            case SDL_WINDOWEVENT:
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_CLOSE:
                        *event = {ScreenEventKind::CLOSE, 0, 0, 0, 0};
                        return true;
                    case SDL_WINDOWEVENT_EXPOSED:
                        s.border_drawn = false;  // drawn again whole, the black around the frame too
                        sdl_x11_forget();
                        *event = {ScreenEventKind::EXPOSE, 0, 0, 0, 0};
                        return true;
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        s.focused = true;
                        *event = {ScreenEventKind::FOCUS_GAINED, 0, 0, 0, 0};
                        return true;
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        // Only a focus that was had can be lost (a bare X server may never give it).
                        if (!s.focused) continue;
                        s.focused = false;
                        *event = {ScreenEventKind::FOCUS_LOST, 0, 0, 0, 0};
                        return true;
                    default:
                        continue;
                }
            default:
                continue;
        }
    }
    return false;
}
