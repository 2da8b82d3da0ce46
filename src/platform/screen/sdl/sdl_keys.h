#pragma once

// The keys the SDL2 screen delivers: SDL's key code, and the virtual key the
// program sees. Letters and digits come as their characters (upper case).

#include <SDL2/SDL_keycode.h>

#include "platform/emu/common/windows_types.h"

struct SdlKey {
    SDL_Keycode code;
    int vk;
};

inline constexpr SdlKey SDL_KEYS[] = {
    {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_RETURN, VK_RETURN}, {SDLK_TAB, VK_TAB},       {SDLK_BACKSPACE, VK_BACK},
    {SDLK_SPACE, VK_SPACE},   {SDLK_INSERT, VK_INSERT}, {SDLK_DELETE, VK_DELETE}, {SDLK_HOME, VK_HOME},
    {SDLK_END, VK_END},       {SDLK_PAGEUP, VK_PRIOR},  {SDLK_PAGEDOWN, VK_NEXT}, {SDLK_LEFT, VK_LEFT},
    {SDLK_RIGHT, VK_RIGHT},   {SDLK_UP, VK_UP},         {SDLK_DOWN, VK_DOWN},     {SDLK_LSHIFT, VK_SHIFT},
    {SDLK_RSHIFT, VK_SHIFT},  {SDLK_LCTRL, VK_CONTROL}, {SDLK_RCTRL, VK_CONTROL}, {SDLK_LALT, VK_MENU},
    {SDLK_RALT, VK_MENU},     {SDLK_F1, VK_F1},         {SDLK_F2, VK_F1 + 1},     {SDLK_F3, VK_F1 + 2},
    {SDLK_F4, VK_F1 + 3},     {SDLK_F5, VK_F1 + 4},     {SDLK_F6, VK_F1 + 5},     {SDLK_F7, VK_F1 + 6},
    {SDLK_F8, VK_F1 + 7},     {SDLK_F9, VK_F1 + 8},     {SDLK_F10, VK_F1 + 9},    {SDLK_F11, VK_F1 + 10},
    {SDLK_F12, VK_F1 + 11},
};

// The virtual key of an SDL key code; 0 for a key the screen does not deliver.
inline int sdl_virtual_key(SDL_Keycode code)
{
    if (code >= SDLK_a && code <= SDLK_z) return static_cast<int>(code - SDLK_a) + 'A';
    if (code >= SDLK_0 && code <= SDLK_9) return static_cast<int>(code);
    for (const SdlKey& k : SDL_KEYS)
        if (k.code == code) return k.vk;
    return 0;
}
