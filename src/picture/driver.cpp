// The program: decode the stored picture, open a 640 x 480 full-screen display,
// and show the picture at (100, 80) frame after frame until Escape.
#include <cstdlib>

#include "display/display.h"
#include "picture/driver.h"
#include "picture/picture.h"
#include "platform/platform.h"

namespace {

constexpr std::int32_t PICTURE_X = 100;
constexpr std::int32_t PICTURE_Y = 80;
constexpr const char* DISPLAY_TITLE = "24 BIT BITMAP";
// Escape down now and pressed since the previous poll.
constexpr SHORT ESCAPE_PRESSED = static_cast<SHORT>(0x8001);

}  // namespace

void run_program()
{
    picture_pixels = static_cast<Pixel*>(
        std::calloc(static_cast<std::size_t>(picture_width) * static_cast<std::size_t>(picture_height), sizeof(Pixel)));
    if (!picture_pixels) std::exit(-1);  // nothing to show
    decode_picture();
    display_allow_close(0);  // only the poll below ends the program
    display_configure(0, "", 0, 0);
    if (!display_open(DISPLAY_TITLE, FRAME_WIDTH, FRAME_HEIGHT)) std::exit(-1);
    // The Escape test comes first: Escape at the first poll presents no frame.
    while (GetAsyncKeyState(VK_ESCAPE) != ESCAPE_PRESSED) {
        draw_picture(PICTURE_X, PICTURE_Y);
        display_present(frame_buffer);  // a frame that was not shown is simply lost
        clear_frame();
    }
    display_close();
    std::exit(0);
}
