#pragma once

// The keys the web screen delivers, by the DOM's key code: for every key a
// screen delivers, the DOM's code is Windows' virtual key.

#include "platform/emu/common/keys.h"

// The virtual key of a DOM key code; 0 for a key the screen does not deliver.
inline int web_virtual_key(unsigned long code)
{
    return code <= 0xFF && emu_key_delivered(static_cast<int>(code)) ? static_cast<int>(code) : 0;
}
