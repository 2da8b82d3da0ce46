// Window classes, windows, their frames and activation, and the cursor.
#include <strings.h>

#include "platform/emu/emu_state.h"

namespace {

// The classic frame sizes: sizing frame 4, fixed dialog frame 3, caption 19.
constexpr int SIZING_FRAME = 4;
constexpr int DIALOG_FRAME = 3;
constexpr int CAPTION = 19;
constexpr int MENU = 19;

int frame_width(DWORD style)
{
    if (style & WS_THICKFRAME) return SIZING_FRAME;
    if (style & WS_DLGFRAME) return DIALOG_FRAME;
    if (style & WS_BORDER) return 1;
    return 0;
}

int caption_height(DWORD style) { return (style & WS_CAPTION) == WS_CAPTION ? CAPTION : 0; }

HWND handle_of(UINT_PTR id) { return reinterpret_cast<HWND>(id); }

const EmuClass* find_class(LPCSTR name)
{
    for (const EmuClass& c : emu().classes) {
        const UINT_PTR value = reinterpret_cast<UINT_PTR>(name);
        if (value < 0x10000 ? c.atom == value : strcasecmp(c.name.c_str(), name) == 0) return &c;
    }
    return nullptr;
}

// Deactivates the application when its last visible window goes, sends
// WM_DESTROY and WM_NCDESTROY, and drops the window with its queued messages.
void destroy(HWND window)
{
    EmuState& s = emu();
    emu_window(window)->destroying = true;
    if (s.active == window) {
        s.active = nullptr;
        bool others = false;
        for (auto& [id, other] : s.windows) others = others || (handle_of(id) != window && other.visible);
        if (!others) emu_deactivate();
    }
    emu_send(window, WM_DESTROY, 0, 0);
    emu_send(window, WM_NCDESTROY, 0, 0);
    s.windows.erase(reinterpret_cast<UINT_PTR>(window));
    std::erase_if(s.queue, [window](const MSG& m) { return m.hwnd == window; });
    emu_update_screen_window();
}

// Shows the window: WM_SHOWWINDOW, activation (WM_ACTIVATEAPP when the
// application was not active), and a WM_PAINT to come.
void show(HWND window)
{
    EmuWindow* w = emu_window(window);
    if (!w || w->visible) return;
    w->visible = true;
    w->needs_paint = true;
    emu_send(window, WM_SHOWWINDOW, TRUE, 0);
    emu_activate(window);
    emu_update_screen_window();
}

}  // namespace

EmuWindow* emu_window(HWND window)
{
    auto it = emu().windows.find(reinterpret_cast<UINT_PTR>(window));
    return it == emu().windows.end() ? nullptr : &it->second;
}

LRESULT emu_send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    EmuWindow* w = emu_window(window);
    if (!w || !w->proc) return 0;
    const WNDPROC proc = w->proc;  // the procedure may destroy the window
    return proc(window, message, wParam, lParam);
}

namespace {

// Sends WM_ACTIVATEAPP to every window, each that still exists when its turn
// comes: a procedure may destroy windows while it runs.
void broadcast_activation(BOOL active)
{
    std::vector<UINT_PTR> ids;
    for (auto& [id, w] : emu().windows) ids.push_back(id);
    for (UINT_PTR id : ids)
        if (emu().app_active == (active != FALSE)) emu_send(handle_of(id), WM_ACTIVATEAPP, active, 0);
}

}  // namespace

void emu_activate(HWND window)
{
    EmuState& s = emu();
    s.active = window;
    if (s.app_active) return;
    s.app_active = true;
    broadcast_activation(TRUE);
}

void emu_deactivate()
{
    EmuState& s = emu();
    if (!s.app_active) return;
    s.app_active = false;
    broadcast_activation(FALSE);
}

RECT emu_client_rect_on_screen(HWND window)
{
    const EmuWindow* w = emu_window(window);
    if (!w) return {0, 0, 0, 0};
    const long long f = frame_width(w->style);
    RECT r{emu_wrap(w->rect.left + f), emu_wrap(w->rect.top + f + caption_height(w->style)),
           emu_wrap(w->rect.right - f), emu_wrap(w->rect.bottom - f)};
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

// Tells the screen which window shows it in windowed mode: the active visible
// window, else the newest visible one.
void emu_update_screen_window()
{
    EmuState& s = emu();
    if (s.screen_state <= 0) return;
    HWND shown = nullptr;
    for (auto& [id, w] : s.windows)
        if (w.visible) shown = handle_of(id);
    if (const EmuWindow* a = emu_window(s.active); a && a->visible) shown = s.active;
    if (!shown) {
        screen_window(nullptr, nullptr);
        return;
    }
    const RECT client = emu_client_rect_on_screen(shown);
    screen_window(emu_window(shown)->title.c_str(), &client);
}

ATOM RegisterClassA(const WNDCLASSA* window_class)
{
    const auto call = emu_call("RegisterClassA", "%s, style 0x%x",
                               window_class ? emu_text(window_class->lpszClassName).c_str() : "NULL",
                               window_class ? window_class->style : 0u);
    if (call.fail || !window_class || !window_class->lpfnWndProc || !window_class->lpszClassName ||
        reinterpret_cast<UINT_PTR>(window_class->lpszClassName) < 0x10000 || !*window_class->lpszClassName ||
        find_class(window_class->lpszClassName))
        return call.done(ATOM{0});
    EmuState& s = emu();
    EmuClass c{window_class->lpszClassName, s.next_atom++, *window_class};
    c.record.lpszClassName = nullptr;  // the caller's text is not kept
    s.classes.push_back(c);
    return call.done(c.atom);
}

BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE instance)
{
    const auto call =
        emu_call("UnregisterClassA", "%s, %s", emu_text(class_name).c_str(), emu_pointer(instance).c_str());
    const EmuClass* c = class_name ? find_class(class_name) : nullptr;
    if (call.fail || !c) return call.done(FALSE);
    for (auto& [id, w] : emu().windows)
        if (strcasecmp(w.class_name.c_str(), c->name.c_str()) == 0) return call.done(FALSE);  // still in use
    emu().classes.erase(emu().classes.begin() + (c - emu().classes.data()));
    return call.done(TRUE);
}

HWND CreateWindowExA(DWORD ex_style, LPCSTR class_name, LPCSTR window_name, DWORD style, int x, int y, int width,
                     int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param)
{
    const auto call = emu_call("CreateWindowExA", "0x%x, %s, %s, 0x%x, %d, %d, %d, %d, %s, %s, %s, %s", ex_style,
                               emu_text(class_name).c_str(), emu_text(window_name).c_str(), style, x, y, width, height,
                               emu_window_name(parent).c_str(), emu_pointer(menu).c_str(),
                               emu_pointer(instance).c_str(), emu_pointer(param).c_str());
    const EmuClass* c = class_name ? find_class(class_name) : nullptr;
    // Without a display there is no desktop to put a window on.
    if (call.fail || !c || (parent && !emu_window(parent)) || !emu_display_available())
        return call.done(static_cast<HWND>(nullptr));
    EmuState& s = emu();
    const UINT_PTR id = s.next_window++;
    EmuWindow w{c->name,
                window_name ? window_name : "",
                c->record.lpfnWndProc,
                style & ~static_cast<DWORD>(WS_VISIBLE),
                {x, y, emu_wrap(x + (width < 0 ? 0LL : width)), emu_wrap(y + (height < 0 ? 0LL : height))},
                false,
                false,
                false};
    s.windows.emplace(id, std::move(w));
    const HWND window = handle_of(id);
    CREATESTRUCTA create{param,       instance,   menu,    parent, height, width, y, x, static_cast<LONG>(style),
                         window_name, class_name, ex_style};
    const LPARAM created = reinterpret_cast<LPARAM>(&create);
    // A refusal of either message destroys the half-made window.
    if (!emu_send(window, WM_NCCREATE, 0, created)) {
        emu_send(window, WM_NCDESTROY, 0, 0);
        s.windows.erase(id);
        return call.done(static_cast<HWND>(nullptr));
    }
    // A procedure may destroy its window inside either message: none comes back.
    if (!emu_window(window)) return call.done(static_cast<HWND>(nullptr));
    if (emu_send(window, WM_CREATE, 0, created) == -1) {
        if (emu_window(window)) destroy(window);
        return call.done(static_cast<HWND>(nullptr));
    }
    if (!emu_window(window)) return call.done(static_cast<HWND>(nullptr));
    if (style & WS_VISIBLE) show(window);
    return call.done(window);
}

BOOL DestroyWindow(HWND window)
{
    const auto call = emu_call("DestroyWindow", "%s", emu_window_name(window).c_str());
    EmuWindow* w = emu_window(window);
    if (call.fail || !w || w->destroying) return call.done(FALSE);
    destroy(window);
    return call.done(TRUE);
}

BOOL IsWindow(HWND window)
{
    const auto call = emu_call("IsWindow", "%s", emu_window_name(window).c_str());
    const EmuWindow* w = emu_window(window);
    if (call.fail) return call.done(FALSE);
    return call.done(BOOL{w != nullptr});
}

BOOL ShowWindow(HWND window, int command)
{
    const auto call = emu_call("ShowWindow", "%s, %d", emu_window_name(window).c_str(), command);
    EmuWindow* w = emu_window(window);
    if (call.fail || !w) return call.done(FALSE);
    const BOOL was_visible = w->visible;
    if (command == SW_HIDE) {
        if (was_visible) {
            w->visible = false;
            emu_send(window, WM_SHOWWINDOW, FALSE, 0);
            if (emu().active == window) {
                emu().active = nullptr;
                emu_deactivate();
            }
            emu_update_screen_window();
        }
    } else {
        show(window);
    }
    return call.done(was_visible);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto call = emu_call("DefWindowProcA", "%s, 0x%x, 0x%llx, 0x%llx", emu_window_name(window).c_str(), message,
                               static_cast<unsigned long long>(wParam), static_cast<unsigned long long>(lParam));
    if (call.fail) return call.done(LRESULT{call.result});
    EmuWindow* w = emu_window(window);
    switch (message) {
        case WM_NCCREATE:
            return call.done(LRESULT{TRUE});
        case WM_PAINT:
            if (w) w->needs_paint = false;  // validates the window
            return call.done(LRESULT{0});
        case WM_CLOSE:
            if (w) DestroyWindow(window);
            return call.done(LRESULT{0});
        case WM_SYSKEYDOWN:
            // Alt+F4 asks the window to close, through the system menu's command.
            if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN) && w) emu_post(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            return call.done(LRESULT{0});
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE && w) emu_send(window, WM_CLOSE, 0, 0);
            return call.done(LRESULT{0});
        default:
            return call.done(LRESULT{0});
    }
}

BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu)
{
    const auto call = emu_call("AdjustWindowRect", "%d, %d, %d, %d, 0x%x, %d", rect ? rect->left : 0,
                               rect ? rect->top : 0, rect ? rect->right : 0, rect ? rect->bottom : 0, style, menu);
    if (call.fail || !rect) return call.done(FALSE);
    const long long f = frame_width(style);
    rect->left = emu_wrap(rect->left - f);
    rect->right = emu_wrap(rect->right + f);
    rect->top = emu_wrap(rect->top - f - caption_height(style) - (menu ? MENU : 0));
    rect->bottom = emu_wrap(rect->bottom + f);
    return call.done(TRUE);
}

int GetSystemMetrics(int index)
{
    const auto call = emu_call("GetSystemMetrics", "%d", index);
    if (call.fail) return call.done(0);
    switch (index) {
        case SM_CXSCREEN:
            return call.done(emu_display_available() ? emu_current_mode().width : 0);
        case SM_CYSCREEN:
            return call.done(emu_display_available() ? emu_current_mode().height : 0);
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return call.done(DIALOG_FRAME);
        case SM_CXFRAME:
        case SM_CYFRAME:
            return call.done(SIZING_FRAME);
        case SM_CYCAPTION:
            return call.done(CAPTION);
        default:
            return call.done(0);
    }
}

BOOL ClientToScreen(HWND window, LPPOINT point)
{
    const auto call = emu_call("ClientToScreen", "%s", emu_window_name(window).c_str());
    if (call.fail || !point || !emu_window(window)) return call.done(FALSE);
    const RECT client = emu_client_rect_on_screen(window);
    point->x = emu_wrap(static_cast<long long>(point->x) + client.left);
    point->y = emu_wrap(static_cast<long long>(point->y) + client.top);
    return call.done(TRUE);
}

BOOL GetClientRect(HWND window, LPRECT rect)
{
    const auto call = emu_call("GetClientRect", "%s", emu_window_name(window).c_str());
    if (call.fail || !rect || !emu_window(window)) return call.done(FALSE);
    const RECT client = emu_client_rect_on_screen(window);
    *rect = {0, 0, emu_wrap(static_cast<long long>(client.right) - client.left),
             emu_wrap(static_cast<long long>(client.bottom) - client.top)};
    return call.done(TRUE);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name)
{
    const auto call = emu_call("LoadCursorA", "%s, %s", emu_pointer(instance).c_str(), emu_text(name).c_str());
    // Only the system's arrow is there.
    if (call.fail || instance || name != IDC_ARROW) return call.done(static_cast<HCURSOR>(nullptr));
    return call.done(reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(0x7F00)));
}

HCURSOR SetCursor(HCURSOR cursor)
{
    static HCURSOR current = reinterpret_cast<HCURSOR>(static_cast<UINT_PTR>(0x7F00));
    const auto call = emu_call("SetCursor", "%s", cursor ? "arrow" : "NULL");
    if (call.fail) return call.done(static_cast<HCURSOR>(nullptr));
    const HCURSOR previous = emu().cursor_visible ? current : nullptr;
    if (cursor) current = cursor;
    emu().cursor_visible = cursor != nullptr;
    if (emu().screen_state > 0) screen_cursor(emu().cursor_visible);
    return call.done(previous);
}
