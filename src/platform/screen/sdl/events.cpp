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
                *event = {.kind = e.type == SDL_KEYDOWN ? ScreenEventKind::KEY_DOWN : ScreenEventKind::KEY_UP,
                          .key = vk};
                return true;
            }
            case SDL_MOUSEMOTION:
                *event = {.kind = ScreenEventKind::MOUSE_MOVE, .x = e.motion.x, .y = e.motion.y};
                to_screen(&event->x, &event->y);
                return true;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                if (e.button.button != SDL_BUTTON_LEFT && e.button.button != SDL_BUTTON_RIGHT) continue;
                *event = {
                    .kind = e.type == SDL_MOUSEBUTTONDOWN ? ScreenEventKind::BUTTON_DOWN : ScreenEventKind::BUTTON_UP,
                    .x = e.button.x,
                    .y = e.button.y,
                    .button = e.button.button == SDL_BUTTON_LEFT ? 0 : 1};
                to_screen(&event->x, &event->y);
                return true;
            case SDL_WINDOWEVENT:
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_CLOSE:
                        *event = {.kind = ScreenEventKind::CLOSE};
                        return true;
                    case SDL_WINDOWEVENT_EXPOSED:
                        s.border_drawn = false;  // drawn again whole, the black around the frame too
                        sdl_x11_forget();
                        *event = {.kind = ScreenEventKind::EXPOSE};
                        return true;
                    case SDL_WINDOWEVENT_FOCUS_GAINED:
                        s.focused = true;
                        *event = {.kind = ScreenEventKind::FOCUS_GAINED};
                        return true;
                    case SDL_WINDOWEVENT_FOCUS_LOST:
                        // Only a focus that was had can be lost (a bare X server may never give it).
                        if (!s.focused) continue;
                        s.focused = false;
                        *event = {.kind = ScreenEventKind::FOCUS_LOST};
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
