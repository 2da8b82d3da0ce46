// A frame of the program's loop allocates nothing once running: the presenter
// converts straight into the locked surface.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <utility>

#include "display/display.h"
#include "display/display_state.h"
#include "picture/picture.h"
#include "platform/emu/test_control/emu_test_control.h"
#include "platform/platform.h"

namespace {
long allocations = 0;
bool refuse_large = false;  // a memory that has no megabyte left
}  // namespace

void* operator new(std::size_t size)
{
    ++allocations;
    if (refuse_large && size >= (1u << 20)) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

TEST(DisplayAllocations, NonePerFrameInSteadyState)
{
    // Desktops up to 2560 x 1440: the window's place, and so what a call would log, grows with them.
    for (const auto& [desktop_w, desktop_h] : {std::pair{1024, 768}, {1920, 1080}, {2560, 1440}})
        for (const EmuPixelFormat& f : {emu_format(PIXEL_FORMAT_XRGB8888), emu_format(PIXEL_FORMAT_RGB565)}) {
            for (int windowed : {0, 1}) {
                emu_test_reset();
                emu_test_set_logging(false);  // the log is the tests' own, not the program's
                emu_test_set_modes({{640, 480, f}});
                emu_test_set_desktop({desktop_w, desktop_h, f});
                display_state = DisplayState{};
                display_configure(0, "", windowed, 0);
                const long at_start = allocations;
                ASSERT_EQ(display_open("T", 640, 480), 1);
                EXPECT_GT(allocations, at_start) << "opening allocates surfaces: the count counts";
                std::vector<Pixel> pixels(400 * 300, 0x00123456);
                picture_pixels = pixels.data();
                for (int i = 0; i < 5; ++i) {  // warm up
                    draw_picture(100, 80);
                    display_present(frame_buffer);
                    clear_frame();
                }
                const long before = allocations;
                for (int i = 0; i < 50; ++i) {
                    draw_picture(100, 80);
                    ASSERT_EQ(display_present(frame_buffer), 1);
                    clear_frame();
                }
                EXPECT_EQ(allocations - before, 0)
                    << f.bits << " bits, windowed " << windowed << ", desktop " << desktop_w << " x " << desktop_h;
                display_close();
                picture_pixels = nullptr;
            }
        }
}

// A surface whose memory can't be had is refused with DDERR_OUTOFMEMORY, and the
// open fails cleanly instead of the process aborting.
TEST(DisplayAllocations, ASurfaceWithoutMemoryIsRefused)
{
    for (int windowed : {0, 1}) {
        emu_test_reset();
        display_state = DisplayState{};
        display_configure(0, "", windowed, 0);
        refuse_large = true;
        EXPECT_EQ(display_open("T", 640, 480), 0);
        refuse_large = false;
        int refused = 0;
        for (const EmuCall& call : emu_test_log())
            if (call.text.rfind("IDirectDraw::CreateSurface", 0) == 0) {
                EXPECT_EQ(call.result, DDERR_OUTOFMEMORY) << call.text;
                ++refused;
            }
        EXPECT_EQ(refused, windowed ? 1 : 3) << "every attempt";
        display_close();
        EXPECT_EQ(emu_test_live_ddraw_objects(), 0);
        EXPECT_EQ(emu_test_live_windows(), 0);
    }
}
