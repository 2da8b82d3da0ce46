#pragma once

// Every screen format the presenter converts to, in the table's order.

#include "platform/emu/common/pixel_format.h"

inline constexpr EmuPixelFormat ALL_FORMATS[] = {
#define TEST_FORMAT(id, ...) emu_format(PIXEL_FORMAT_##id),
    PIXEL_FORMATS(TEST_FORMAT)
#undef TEST_FORMAT
};
