/* The presenter's and the converters' headers as a C99 program sees them: they
   compile as C, and their operations link and answer with C linkage. */
#include <stdio.h>

#include "convert/convert.h"
#include "display/display.h"

static int failures;

static void expect(int ok, const char* what)
{
    if (!ok) {
        printf("FAIL %s\n", what);
        ++failures;
    }
}

int main(void)
{
    const Pixel pixel = 0x00FF8040u;
    uint16_t packed = 0;
    const RowConverter to_rgb565 = select_row_converter(16, 0xF800, 0x07E0, 0x001F);
    expect(to_rgb565 != NULL, "select_row_converter finds 5-6-5");
    if (to_rgb565) to_rgb565(&pixel, &packed, 1);
    expect(packed == ((0xFF >> 3) << 11 | (0x80 >> 2) << 5 | (0x40 >> 3)), "the selected converter packs 5-6-5");
    packed = 0;
    convert_row_rgb565(&pixel, &packed, 1);
    expect(packed == ((0xFF >> 3) << 11 | (0x80 >> 2) << 5 | (0x40 >> 3)), "convert_row_rgb565 packs 5-6-5");
    expect(select_row_converter(8, 0, 0, 0) == NULL, "no converter for 8 bits");

    display_configure(0, "", 1, 0);
    display_allow_close(0);
    display_set_flip_wait(1);
    expect(display_open("c", 0, 480) == 0, "no display has a side of no pixels");
    display_close();
    expect(display_mouse_x() == 0 && display_mouse_y() == 0, "the mouse at the origin");
    expect(display_left_button() == 0 && display_right_button() == 0, "no button down");
    expect(display_key_down(0x1B) == 0 && display_key_down(256) == 0, "no key down");
    printf("%s\n", failures ? "failed" : "ok");
    return failures != 0;
}
