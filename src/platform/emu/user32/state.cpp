// USER32's state and the primitives on it: finding a window, calling its
// procedure, posting to the thread's queue.
#include "platform/emu/user32/user32_state.h"

User32State& user32_state()
{
    static User32State state;
    return state;
}

User32Window* user32_window(HWND window)
{
    auto it = user32_state().windows.find(reinterpret_cast<UINT_PTR>(window));
    return it == user32_state().windows.end() ? nullptr : &it->second;
}

LRESULT user32_send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    User32Window* w = user32_window(window);
    if (!w || !w->proc) return 0;
    const WNDPROC proc = w->proc;  // the procedure may destroy the window
    return proc(window, message, wParam, lParam);
}

// A message for a window of the thread, or for the thread itself (no window).
// A queue holds at most 10,000 posted messages, Windows' default limit.
constexpr std::size_t POSTED_MESSAGE_LIMIT = 10000;

bool user32_post(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    User32State& s = user32_state();
    if ((window && !user32_window(window)) || s.queue.size() >= POSTED_MESSAGE_LIMIT) return false;
    s.queue.push_back({window, message, wParam, lParam, 0, {0, 0}});
    return true;
}

bool user32_window_exists(HWND window) { return user32_window(window) != nullptr; }

const char* user32_window_title(HWND window)
{
    const User32Window* w = user32_window(window);
    return w ? w->title.c_str() : nullptr;
}

void user32_set_window_rect(HWND window, const RECT& rect)
{
    if (User32Window* w = user32_window(window)) w->rect = rect;
}

HWND user32_active_window() { return user32_window(user32_state().active) ? user32_state().active : nullptr; }

HWND user32_newest_visible_window()
{
    HWND newest = nullptr;
    for (auto& [id, w] : user32_state().windows)
        if (w.visible) newest = user32_handle(id);
    return newest;
}
