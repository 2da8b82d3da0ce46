// Window classes: registered by name, found by name or atom, unregistered once
// no window uses them.
#include <strings.h>

#include "platform/emu/common/call_log.h"
#include "platform/emu/user32/user32_state.h"

const User32Class* user32_find_class(LPCSTR name)
{
    for (const User32Class& c : user32_state().classes) {
        const UINT_PTR value = reinterpret_cast<UINT_PTR>(name);
        if (value < 0x10000 ? c.atom == value : strcasecmp(c.name.c_str(), name) == 0) return &c;
    }
    return nullptr;
}

ATOM RegisterClassA(const WNDCLASSA* window_class)
{
    const auto call = emu_call(EmuCallId::RegisterClassA, "%s, style 0x%x",
                               window_class ? emu_text(window_class->lpszClassName).c_str() : "NULL",
                               window_class ? window_class->style : 0u);
    if (call.fail || !window_class || !window_class->lpfnWndProc || !window_class->lpszClassName ||
        reinterpret_cast<UINT_PTR>(window_class->lpszClassName) < 0x10000 || !*window_class->lpszClassName ||
        user32_find_class(window_class->lpszClassName))
        return call.done(ATOM{0});
    User32State& s = user32_state();
    User32Class c{.name = window_class->lpszClassName, .atom = s.next_atom++, .record = *window_class};
    c.record.lpszClassName = nullptr;  // the caller's text is not kept
    s.classes.push_back(c);
    return call.done(c.atom);
}

BOOL UnregisterClassA(LPCSTR class_name, HINSTANCE instance)
{
    const auto call =
        emu_call(EmuCallId::UnregisterClassA, "%s, %s", emu_text(class_name).c_str(), emu_pointer(instance).c_str());
    const User32Class* c = class_name ? user32_find_class(class_name) : nullptr;
    if (call.fail || !c) return call.done(FALSE);
    for (auto& [id, w] : user32_state().windows)
        if (strcasecmp(w.class_name.c_str(), c->name.c_str()) == 0) return call.done(FALSE);  // still in use
    user32_state().classes.erase(user32_state().classes.begin() + (c - user32_state().classes.data()));
    return call.done(TRUE);
}
