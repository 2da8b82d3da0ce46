#pragma once

// The eight screen formats the presenter converts to, in the converters' order.

#include "platform/emu/common/pixel_format.h"

inline constexpr EmuPixelFormat ALL_FORMATS[] = {emu_format_xrgb8888(), emu_format_xbgr8888(), emu_format_rgb888(),
                                                 emu_format_bgr888(),   emu_format_rgb565(),   emu_format_bgr565(),
                                                 emu_format_xrgb1555(), emu_format_xbgr1555()};
