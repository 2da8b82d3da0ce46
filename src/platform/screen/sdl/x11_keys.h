#pragma once

// The keys our own X11 window delivers: the X key symbol (of the key's first
// level), and the virtual key the program sees. Letters and digits come as
// their characters (upper case).

#include <X11/keysym.h>

#include "platform/emu/common/windows_types.h"

struct X11Key {
    unsigned long symbol;
    int vk;
};

inline constexpr X11Key X11_KEYS[] = {
    {XK_Escape, VK_ESCAPE},     {XK_Return, VK_RETURN},
    {XK_Tab, VK_TAB},           {XK_BackSpace, VK_BACK},
    {XK_space, VK_SPACE},       {XK_Insert, VK_INSERT},
    {XK_Delete, VK_DELETE},     {XK_Home, VK_HOME},
    {XK_End, VK_END},           {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},         {XK_Left, VK_LEFT},
    {XK_Right, VK_RIGHT},       {XK_Up, VK_UP},
    {XK_Down, VK_DOWN},         {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},     {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL}, {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},        {XK_F1, VK_F1},
    {XK_F2, VK_F1 + 1},         {XK_F3, VK_F1 + 2},
    {XK_F4, VK_F1 + 3},         {XK_F5, VK_F1 + 4},
    {XK_F6, VK_F1 + 5},         {XK_F7, VK_F1 + 6},
    {XK_F8, VK_F1 + 7},         {XK_F9, VK_F1 + 8},
    {XK_F10, VK_F1 + 9},        {XK_F11, VK_F1 + 10},
    {XK_F12, VK_F1 + 11},
};

// The virtual key of an X key symbol; 0 for a key the window does not deliver.
inline int x11_virtual_key(unsigned long symbol)
{
    if (symbol >= XK_a && symbol <= XK_z) return static_cast<int>(symbol - XK_a) + 'A';
    if (symbol >= XK_0 && symbol <= XK_9) return static_cast<int>(symbol - XK_0) + '0';
    for (const X11Key& k : X11_KEYS)
        if (k.symbol == symbol) return k.vk;
    return 0;
}
