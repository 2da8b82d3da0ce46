// The scripting seam's one table.
#include "platform/emu/common/hooks.h"

EmuHooks& emu_hooks()
{
    static EmuHooks hooks;
    return hooks;
}
