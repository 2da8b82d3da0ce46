// The desktop screen's events, from our own X11 window or SDL's: keys (by the
// tables in x11_keys.h and sdl_keys.h), the mouse and its buttons in the
// screen's pixels, focus, close requests and damage.
#include "platform/screen/sdl/sdl_keys.h"
#include "platform/screen/sdl/sdl_screen.h"
#include "platform/screen/sdl/x11_state.h"
#if defined(SDL_VIDEO_DRIVER_X11)
#include "platform/screen/sdl/x11_keys.h"
#endif

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

#if defined(SDL_VIDEO_DRIVER_X11)
bool native_poll(ScreenEvent* event)
{
    SdlScreen& s = sdl_screen();
    X11& x = x11();
    native_keep_screen_awake();
    while (x.XPending(x.display) > 0) {
        XEvent e;
        x.XNextEvent(x.display, &e);
        if (e.xany.window != x.window) continue;
        switch (e.type) {
            case KeyPress:
            case KeyRelease: {
                const int vk = x11_virtual_key(x.XLookupKeysym(&e.xkey, 0));
                if (!vk) continue;
                *event = {.kind = e.type == KeyPress ? ScreenEventKind::KEY_DOWN : ScreenEventKind::KEY_UP, .key = vk};
                return true;
            }
            case MotionNotify:
                *event = {.kind = ScreenEventKind::MOUSE_MOVE, .x = e.xmotion.x, .y = e.xmotion.y};
                to_screen(&event->x, &event->y);
                return true;
            case EnterNotify:  // where the pointer is as the window comes under it, moved or not
                *event = {.kind = ScreenEventKind::MOUSE_MOVE, .x = e.xcrossing.x, .y = e.xcrossing.y};
                to_screen(&event->x, &event->y);
                return true;
            case ButtonPress:
            case ButtonRelease:
                if (e.xbutton.button != Button1 && e.xbutton.button != Button3) continue;
                *event = {.kind = e.type == ButtonPress ? ScreenEventKind::BUTTON_DOWN : ScreenEventKind::BUTTON_UP,
                          .x = e.xbutton.x,
                          .y = e.xbutton.y,
                          .button = e.xbutton.button == Button1 ? 0 : 1};
                to_screen(&event->x, &event->y);
                return true;
            case ClientMessage:
                if (e.xclient.format != 32 || static_cast<Atom>(e.xclient.data.l[0]) != x.wm_delete) continue;
                *event = {.kind = ScreenEventKind::CLOSE};
                return true;
            case Expose:
                if (e.xexpose.count > 0) continue;  // the last of a series
                s.border_drawn = false;             // the server cleared it to black: drawn again whole
                sdl_x11_forget();
                *event = {.kind = ScreenEventKind::EXPOSE};
                return true;
            case ConfigureNotify:
                x.width = e.xconfigure.width, x.height = e.xconfigure.height;
                continue;
            case FocusIn:
            case FocusOut:
                // The window's own focus, not a grab's passing or a child's.
                if (e.xfocus.mode == NotifyGrab || e.xfocus.mode == NotifyUngrab || e.xfocus.detail == NotifyInferior ||
                    e.xfocus.detail == NotifyPointer)
                    continue;
                if (e.type == FocusIn) {
                    if (s.focused) continue;
                    s.focused = true;
                    *event = {.kind = ScreenEventKind::FOCUS_GAINED};
                    return true;
                }
                // Only a focus that was had can be lost (a bare X server may never give it).
                if (!s.focused) continue;
                s.focused = false;
                *event = {.kind = ScreenEventKind::FOCUS_LOST};
                return true;
            default:
                continue;
        }
    }
    return false;
}
#else
bool native_poll(ScreenEvent*) { return false; }
#endif

bool screen_poll(ScreenEvent* event)
{
    SdlScreen& s = sdl_screen();
    if (s.native) return native_poll(event);
    if (!s.window) return false;
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
