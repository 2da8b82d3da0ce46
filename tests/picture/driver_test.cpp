// The program's driver over the headless screen: the Escape test, the frames it
// shows, the display closed at the end, and its exit status.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "display/display_state.h"
#include "picture/driver.h"
#include "platform/emu/test_control/emu_test_control.h"

namespace {

// What every presented frame must show: the asset's pixels at columns 101 to 500
// and rows 80 to 379, read independently of the decoder, and black elsewhere.
std::vector<std::uint32_t> expected_screen()
{
    std::ifstream in(PICTURE_ASSET, std::ios::binary);
    const std::vector<unsigned char> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::uint32_t> screen(640 * 480, 0);
    for (int r = 0; r < 300; ++r)
        for (int c = 0; c < 400; ++c) {
            const std::size_t at = 54 + (static_cast<std::size_t>(299 - r) * 400 + c) * 3;
            screen[(80 + r) * 640 + 101 + c] = file[at + 2] << 16 | file[at + 1] << 8 | file[at];
        }
    return screen;
}

int flips = 0;
int good = 0;
bool refuse_calloc = false;

}  // namespace

// The test is linked with --wrap=calloc: the driver's allocation comes here.
extern "C" void* __real_calloc(std::size_t count, std::size_t size);
extern "C" void* __wrap_calloc(std::size_t count, std::size_t size)
{
    return refuse_calloc ? nullptr : __real_calloc(count, size);
}

namespace {

// Called on every image the screen is given: counts the flipped frames that look right.
void observe()
{
    const int flipped = static_cast<int>(emu_test_calls({"IDirectDrawSurface::Flip"}).size());
    if (flipped == flips) return;  // the primary's creation, not a frame
    flips = flipped;
    static const std::vector<std::uint32_t> want = expected_screen();
    if (emu_test_screen().pixels == want) ++good;
}

void report()
{
    std::fprintf(stderr, "opened=%zu flips=%d good=%d live=%d windows=%d screensaver=%d mode_set=%d\n",
                 emu_test_calls({"DirectDrawCreate"}).size(), flips, good, emu_test_live_ddraw_objects(),
                 emu_test_live_windows(), emu_test_screensaver_active(), emu_test_display_mode_set());
}

void run(const std::vector<SHORT>& escape_states)
{
    emu_test_reset();
    display_state = DisplayState{};
    emu_test_script_key_states(VK_ESCAPE, escape_states);
    emu_test_on_show(observe);
    std::atexit(report);
    run_program();
}

}  // namespace

TEST(Driver, OnlyEscapeDownAndNewlyPressedEndsTheLoop)
{
    EXPECT_EXIT(run({0, static_cast<SHORT>(0x8000), 0x0001, 0x7FFF, static_cast<SHORT>(0x8001)}),
                ::testing::ExitedWithCode(0), "opened=1 flips=4 good=4 live=0 windows=0 screensaver=1 mode_set=0");
}

TEST(Driver, EscapeAtTheFirstPollPresentsNothingAndStillCloses)
{
    EXPECT_EXIT(run({static_cast<SHORT>(0x8001)}), ::testing::ExitedWithCode(0),
                "opened=1 flips=0 good=0 live=0 windows=0 screensaver=1 mode_set=0");
}

TEST(Driver, EscapeMessagesAndCloseRequestsDoNotEndIt)
{
    EXPECT_EXIT(
        {
            emu_test_reset();
            display_state = DisplayState{};
            emu_test_screen_event({.kind = ScreenEventKind::KEY_DOWN, .key = VK_ESCAPE});
            emu_test_screen_event({.kind = ScreenEventKind::CLOSE});
            emu_test_script_key_states(VK_ESCAPE, {0, 0, 0});
            emu_test_on_show(observe);
            std::atexit(report);
            // After the scripted polls the keyboard's own state answers: the Escape
            // pressed above ends the loop then, not the messages.
            run_program();
        },
        ::testing::ExitedWithCode(0), "opened=1 flips=3 good=3 live=0");
}

TEST(Driver, NoDisplayEndsWithMinusOne)
{
    EXPECT_EXIT(
        {
            emu_test_reset();
            display_state = DisplayState{};
            emu_test_set_display_available(false);
            run_program();
        },
        ::testing::ExitedWithCode(255), "");
}

TEST(Driver, NoUsableModeEndsWithMinusOne)
{
    EXPECT_EXIT(
        {
            emu_test_reset();
            display_state = DisplayState{};
            emu_test_set_modes({{800, 600, emu_format(PIXEL_FORMAT_XRGB8888)}, {640, 480, emu_format_palette8()}});
            run_program();
        },
        ::testing::ExitedWithCode(255), "");
}

// Without memory for the picture the program writes nothing through the missing
// buffer and opens nothing: it ends with -1.
TEST(Driver, NoMemoryForThePictureEndsWithMinusOne)
{
    EXPECT_EXIT(
        {
            emu_test_reset();
            display_state = DisplayState{};
            emu_test_script_key_states(VK_ESCAPE, {static_cast<SHORT>(0x8001)});
            std::atexit(report);
            refuse_calloc = true;
            run_program();
        },
        ::testing::ExitedWithCode(255), "opened=0 flips=0");
}
