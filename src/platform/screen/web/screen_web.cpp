// The web screen: the emulation shown in a page, through Emscripten's HTML5 API
// for input and our own JavaScript (screen_web.js) for the page. The page
// stands for the desktop: a window is a canvas of its client size placed on it,
// full screen fills it with the aspect kept. Images are paced to the page's
// animation frames: a second image in one waits for the next, yielding to the
// browser meanwhile, as sleeping and asking a question do.
#include <emscripten.h>
#include <emscripten/html5.h>
#include <wasm_simd128.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <deque>
#include <string>

#include "platform/screen/screen.h"
#include "platform/screen/web/web_keys.h"

extern "C" {
// screen_web.js
void screen_web_open(int* width, int* height);
void screen_web_window(const char* title, int x, int y, int width, int height, int shown);
void screen_web_fullscreen(const char* title, int width, int height);
// Rows [changed_top, changed_bottom) of the image differ from the last image
// drawn at the same place; the page puts only those where its canvas still
// holds that image.
void screen_web_draw(const BYTE* rgba, int x, int y, int width, int height, int changed_top, int changed_bottom);
void screen_web_clear();
void screen_web_wait_for_frame();
int screen_web_wait_until_drawn();  // 1 when it waited
int screen_web_ask(const char* text, const char* caption);
void screen_web_wake_lock(int hold);
void screen_web_cursor(int visible);
void screen_web_canvas_place(double* left, double* top, double* width, double* height);
int screen_web_read_back(std::uint32_t* pixels, int capacity, int* width, int* height);
}

namespace {

constexpr const char* CANVAS = "#screen";

struct Web {
    EmuMode desktop{};
    std::vector<EmuMode> modes;
    std::string title;
    bool fullscreen = false;
    EmuMode mode{};
    RECT client{};
    bool focused = true;
    bool asking = false;       // the question has the keyboard
    double last_yield_ms = 0;  // when the program last let the browser run
    std::deque<ScreenEvent> events;
    std::vector<BYTE> rgba;
    std::vector<std::uint32_t> table;  // the canvas's pixel for each 16-bit value
    EmuPixelFormat table_format{};
};

Web& web()
{
    static Web w;
    return w;
}

// Every wait lets the browser run: its events come in, the page is drawn.
void yielded() { web().last_yield_ms = emscripten_get_now(); }

// A program polling without ever waiting (as a full-screen one does while it
// is inactive) would hold the page, whose events then never come: after a
// while of that, a poll waits for the next animation frame.
constexpr double LONGEST_HOLD_MS = 50;
constexpr double QUIET_MS = 4;

// Events wait here for the program's next poll; a program that stops polling
// loses the newest beyond as many as SDL would keep.
constexpr std::size_t EVENT_LIMIT = 65535;

void push(ScreenEventKind kind, int key = 0, int x = 0, int y = 0, int button = 0)
{
    if (web().events.size() < EVENT_LIMIT)
        web().events.push_back({.kind = kind, .key = key, .x = x, .y = y, .button = button});
}

EM_BOOL on_key(int type, const EmscriptenKeyboardEvent* e, void*)
{
    const int vk = web_virtual_key(e->keyCode);
    if (!vk || web().asking) return EM_FALSE;
    push(type == EMSCRIPTEN_EVENT_KEYDOWN ? ScreenEventKind::KEY_DOWN : ScreenEventKind::KEY_UP, vk);
    return vk < VK_F1 || vk > VK_F1 + 11;  // the browser keeps its function keys
}

// A mouse position relative to the canvas, in the canvas's own pixels (a
// full-screen mode's, however it is scaled); outside it for a button let go there.
void canvas_position(const EmscriptenMouseEvent* e, int* x, int* y)
{
    const Web& w = web();
    double left = 0, top = 0, css_w = 0, css_h = 0;
    screen_web_canvas_place(&left, &top, &css_w, &css_h);
    const int width = w.fullscreen ? w.mode.width : w.client.right - w.client.left;
    const int height = w.fullscreen ? w.mode.height : w.client.bottom - w.client.top;
    const double cx = e->clientX - left, cy = e->clientY - top;
    *x = static_cast<int>(std::floor(css_w > 0 ? cx * width / css_w : cx));
    *y = static_cast<int>(std::floor(css_h > 0 ? cy * height / css_h : cy));
}

EM_BOOL on_mouse(int type, const EmscriptenMouseEvent* e, void*)
{
    int x, y;
    canvas_position(e, &x, &y);
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        push(ScreenEventKind::MOUSE_MOVE, 0, x, y);
        return EM_FALSE;
    }
    if (e->button != 0 && e->button != 2) return EM_FALSE;
    push(type == EMSCRIPTEN_EVENT_MOUSEDOWN ? ScreenEventKind::BUTTON_DOWN : ScreenEventKind::BUTTON_UP, 0, x, y,
         e->button == 0 ? 0 : 1);
    return EM_TRUE;
}

// The page losing the focus, or being hidden, deactivates; coming back activates
// and asks for a repaint.
void focus(bool gained)
{
    Web& w = web();
    if (w.focused == gained) return;
    w.focused = gained;
    push(gained ? ScreenEventKind::FOCUS_GAINED : ScreenEventKind::FOCUS_LOST);
    if (gained) push(ScreenEventKind::EXPOSE);
}

EM_BOOL on_focus(int type, const EmscriptenFocusEvent*, void*)
{
    focus(type == EMSCRIPTEN_EVENT_FOCUS);
    return EM_FALSE;
}

EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent* e, void*)
{
    focus(!e->hidden && emscripten_run_script_int("document.hasFocus() ? 1 : 0"));
    return EM_FALSE;
}

// One pixel of FORMAT as the canvas takes it: R, G, B, A bytes, read as a
// little-endian word. Each channel widens from its mask to 8 bits, its top bits
// repeated below (0x1F -> 0xFF).
std::uint32_t rgba_of(DWORD v, const EmuPixelFormat& format)
{
    const DWORD masks[3] = {format.red, format.green, format.blue};
    std::uint32_t out = 0xFF000000;
    for (int c = 0; c < 3; ++c) {
        if (!masks[c]) continue;
        const int bits = __builtin_popcount(masks[c]);
        const DWORD channel = (v & masks[c]) >> __builtin_ctz(masks[c]);
        DWORD wide = bits >= 8 ? channel >> (bits - 8) : channel << (8 - bits);
        for (int have = bits; have < 8; have += bits) wide |= wide >> have;
        out |= (wide & 0xFF) << (8 * c);
    }
    return out;
}

// Rows of the image that differ from what the canvas buffer held: [top, bottom).
struct ChangedRows {
    int top, bottom;
};

// The image's pixels as the canvas takes them, over the last image's, and the
// rows that changed. The display's usual format is a few operations a pixel;
// 16-bit ones go through a table of all their values. Comparing costs little:
// each line of the buffer is read into the cache for its store anyway.
ChangedRows to_rgba(const ScreenImage& image, int left, int top, int width, int height, Web* w)
{
    const EmuPixelFormat& f = image.format;
    const int bpp = static_cast<int>(f.bits / 8);
    const bool xrgb = bpp == 4 && f.red == 0xFF0000 && f.green == 0xFF00 && f.blue == 0xFF;
    if (bpp == 2 && (w->table.empty() || std::memcmp(&w->table_format, &f, sizeof f) != 0)) {
        w->table.resize(65536);
        for (DWORD v = 0; v < 65536; ++v) w->table[v] = rgba_of(v, f);
        w->table_format = f;
    }
    // A buffer new or resized holds zeros, which no opaque pixel equals.
    w->rgba.resize(static_cast<std::size_t>(width) * height * 4);
    std::uint32_t* o = reinterpret_cast<std::uint32_t*>(w->rgba.data());
    ChangedRows changed{height, 0};
    for (int y = 0; y < height; ++y) {
        const BYTE* row = image.pixels + static_cast<std::ptrdiff_t>(top + y) * image.pitch + left * bpp;
        int x = 0;
        v128_t differ = wasm_i32x4_splat(0);
        std::uint32_t differ_one = 0;
        if (xrgb) {
            // Four pixels at a time: red and blue swapped, alpha made opaque.
            const v128_t order = wasm_i8x16_const(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
            const v128_t opaque = wasm_i32x4_splat(static_cast<int>(0xFF000000));
            for (; x + 4 <= width; x += 4, row += 16, o += 4) {
                const v128_t v = wasm_v128_or(wasm_i8x16_swizzle(wasm_v128_load(row), order), opaque);
                differ = wasm_v128_or(differ, wasm_v128_xor(v, wasm_v128_load(o)));
                wasm_v128_store(o, v);
            }
        }
        for (; x < width; ++x, row += bpp, ++o) {
            std::uint32_t v;
            if (xrgb) {
                std::memcpy(&v, row, 4);
                v = 0xFF000000 | (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
            } else if (bpp == 2) {
                v = w->table[row[0] | row[1] << 8];
            } else {
                DWORD packed = 0;
                for (int i = 0; i < bpp; ++i) packed |= static_cast<DWORD>(row[i]) << (8 * i);
                v = rgba_of(packed, f);
            }
            differ_one |= v ^ *o;
            *o = v;
        }
        if (differ_one || wasm_v128_any_true(differ)) {
            changed.top = std::min(changed.top, y);
            changed.bottom = y + 1;
        }
    }
    return changed;
}

}  // namespace

// Asked for by the page's close box, or by a script: a close request.
extern "C" EMSCRIPTEN_KEEPALIVE void screen_web_close_request() { push(ScreenEventKind::CLOSE); }

BYTE* screen_alloc_pixels(std::size_t bytes) { return screen_zeroed_pixels(bytes); }
void screen_free_pixels(BYTE* pixels, std::size_t) { ::operator delete(pixels); }

bool screen_open()
{
    Web& w = web();
    int width = 0, height = 0;
    screen_web_open(&width, &height);
    if (width <= 0 || height <= 0) return false;
    w.desktop = {width, height, emu_format(PIXEL_FORMAT_XRGB8888)};
    w.modes = screen_usual_modes(width, height);
    w.focused = emscripten_run_script_int("document.hasFocus() ? 1 : 0") != 0;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, on_key);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, on_key);
    emscripten_set_mousemove_callback(CANVAS, nullptr, EM_TRUE, on_mouse);
    emscripten_set_mousedown_callback(CANVAS, nullptr, EM_TRUE, on_mouse);
    // A button pressed on the canvas and let go anywhere is let go, as a window
    // capturing the mouse sees it.
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_DOCUMENT, nullptr, EM_TRUE, on_mouse);
    // The page's own focus, not its elements' (which a capturing listener would see).
    emscripten_set_focus_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_focus);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, on_focus);
    emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, on_visibility);
    return true;
}

EmuMode screen_desktop() { return web().desktop; }
const std::vector<EmuMode>& screen_modes() { return web().modes; }

void screen_window(const char* title, const RECT* client)
{
    Web& w = web();
    if (title) w.title = title;
    if (w.fullscreen) return;
    if (!client || client->right <= client->left || client->bottom <= client->top) {
        screen_web_window(w.title.c_str(), 0, 0, 0, 0, 0);
        return;
    }
    w.client = *client;
    screen_web_window(w.title.c_str(), client->left, client->top, client->right - client->left,
                      client->bottom - client->top, 1);
}

bool screen_fullscreen(const EmuMode* mode, const char* title)
{
    Web& w = web();
    if (title) w.title = title;
    if (!mode) {
        if (w.fullscreen) screen_web_window(w.title.c_str(), 0, 0, 0, 0, 0);
        w.fullscreen = false;
        return true;
    }
    w.fullscreen = true;
    w.mode = *mode;
    screen_web_fullscreen(w.title.c_str(), mode->width, mode->height);
    return true;
}

bool screen_show(const ScreenImage& image, const RECT& visible)
{
    Web& w = web();
    if (!image.pixels) {
        screen_web_clear();
        w.rgba = {};
        return true;
    }
    if (image.format.bits != 16 && image.format.bits != 24 && image.format.bits != 32) return false;
    // Only the part of `visible` on the screen has pixels; it keeps its place in
    // the canvas, and the part off the screen stays black.
    const ScreenPart part = screen_visible_part(image, visible);
    if (part.width == 0) return true;
    const ChangedRows changed = to_rgba(image, part.left, part.top, part.width, part.height, &w);
    // An image an animation frame: a second one waits for the next frame.
    if (screen_web_wait_until_drawn()) yielded();
    screen_web_draw(w.rgba.data(), part.x, part.y, part.width, part.height, changed.top, changed.bottom);
    return true;
}

bool screen_poll(ScreenEvent* event)
{
    Web& w = web();
    if (w.events.empty() && emscripten_get_now() - w.last_yield_ms > LONGEST_HOLD_MS) {
        screen_web_wait_for_frame();
        yielded();
    }
    if (w.events.empty()) return false;
    *event = w.events.front();
    w.events.pop_front();
    return true;
}

// A Yes/No box in the page, answered by a click (or Return, on Yes); Escape does nothing.
int screen_question(const char* text, const char* caption)
{
    web().asking = true;
    const int answer = screen_web_ask(text, caption);
    web().asking = false;
    yielded();
    return answer;
}

void screen_screensaver(bool enabled) { screen_web_wake_lock(enabled ? 0 : 1); }
void screen_cursor(bool visible) { screen_web_cursor(visible ? 1 : 0); }

// The page's refresh paces every image shown (screen_show waits for it).
int screen_refresh_rate() { return 60; }
bool screen_show_waits_for_refresh() { return true; }

std::int64_t screen_clock_us() { return static_cast<std::int64_t>(emscripten_get_now() * 1000.0); }

void screen_sleep_until_us(std::int64_t when)
{
    const std::int64_t left = when - screen_clock_us();
    emscripten_sleep(left > 0 ? static_cast<unsigned>((left + 999) / 1000) : 0);
    yielded();
}

void screen_pause_until_ns(std::int64_t when)
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::int64_t left = when - (static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec);
    // A yield alone, within a quarter of an animation frame of the browser's
    // last run (a frame just shown, a sleep just ended), would give it nothing
    // new to do: each is a task of its own.
    if ((when == 0 || left <= 0) && emscripten_get_now() - web().last_yield_ms < QUIET_MS) return;
    emscripten_sleep(when != 0 && left > 0 ? static_cast<unsigned>((left + 999999) / 1000000) : 0);
    yielded();
}

bool screen_read_back(std::vector<std::uint32_t>* pixels, int* width, int* height)
{
    pixels->assign(static_cast<std::size_t>(web().desktop.width) * web().desktop.height, 0);
    return screen_web_read_back(pixels->data(), static_cast<int>(pixels->size()), width, height) != 0;
}
