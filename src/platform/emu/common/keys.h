#pragma once

// The keys a screen delivers besides letters and digits, each with its set-1
// scan code (0x100 marks an extended key), as USER32 reports it in a key
// message. Each screen maps its own key codes to these virtual keys.

#include "platform/emu/common/windows_types.h"

struct EmuKey {
    int vk;
    int scan;
};

inline constexpr EmuKey EMU_KEYS[] = {
    {VK_ESCAPE, 0x01},  {VK_RETURN, 0x1C}, {VK_TAB, 0x0F},    {VK_BACK, 0x0E},   {VK_SPACE, 0x39},   {VK_INSERT, 0x152},
    {VK_DELETE, 0x153}, {VK_HOME, 0x147},  {VK_END, 0x14F},   {VK_PRIOR, 0x149}, {VK_NEXT, 0x151},   {VK_LEFT, 0x14B},
    {VK_RIGHT, 0x14D},  {VK_UP, 0x148},    {VK_DOWN, 0x150},  {VK_SHIFT, 0x2A},  {VK_CONTROL, 0x1D}, {VK_MENU, 0x38},
    {VK_F1, 0x3B},      {VK_F1 + 1, 0x3C}, {VK_F1 + 2, 0x3D}, {VK_F1 + 3, 0x3E}, {VK_F1 + 4, 0x3F},  {VK_F1 + 5, 0x40},
    {VK_F1 + 6, 0x41},  {VK_F1 + 7, 0x42}, {VK_F1 + 8, 0x43}, {VK_F1 + 9, 0x44}, {VK_F1 + 10, 0x57}, {VK_F1 + 11, 0x58},
};

// Whether a screen delivers this virtual key: a letter, a digit or one of the keys above.
constexpr bool emu_key_delivered(int vk)
{
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return true;
    for (const EmuKey& k : EMU_KEYS)
        if (k.vk == vk) return true;
    return false;
}

// The scan code of a virtual key; 0 for one no screen delivers.
constexpr int emu_scan_code(int vk)
{
    // The letters' keys in the order A to Z, and the digits' row 1 to 9, then 0.
    constexpr char LETTERS[] = {0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
                                0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    if (vk >= 'A' && vk <= 'Z') return LETTERS[vk - 'A'];
    if (vk >= '1' && vk <= '9') return 0x02 + (vk - '1');
    if (vk == '0') return 0x0B;
    for (const EmuKey& k : EMU_KEYS)
        if (k.vk == vk) return k.scan;
    return 0;
}
