#pragma once

// The keys the web screen delivers, by the DOM's key code. For these keys the
// DOM's codes are Windows' virtual keys: letters and digits as their
// characters, and the keys below.

#include "platform/emu/common/windows_types.h"

inline constexpr int WEB_KEYS[] = {
    VK_ESCAPE, VK_RETURN, VK_TAB,    VK_BACK,   VK_SPACE,  VK_INSERT, VK_DELETE,  VK_HOME,   VK_END,     VK_PRIOR,
    VK_NEXT,   VK_LEFT,   VK_RIGHT,  VK_UP,     VK_DOWN,   VK_SHIFT,  VK_CONTROL, VK_MENU,   VK_F1,      VK_F1 + 1,
    VK_F1 + 2, VK_F1 + 3, VK_F1 + 4, VK_F1 + 5, VK_F1 + 6, VK_F1 + 7, VK_F1 + 8,  VK_F1 + 9, VK_F1 + 10, VK_F1 + 11,
};

// The virtual key of a DOM key code; 0 for a key the screen does not deliver.
inline int web_virtual_key(unsigned long code)
{
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return static_cast<int>(code);
    for (const int key : WEB_KEYS)
        if (static_cast<unsigned long>(key) == code) return key;
    return 0;
}
