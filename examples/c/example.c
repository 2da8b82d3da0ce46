/* A C99 program on the display presenter: a 640 x 480 window with a square
   that follows the mouse (red while the left button is down) on a background
   that turns green while Space is held. Escape or closing the window ends it.
   Once a second it prints the frames it showed in that second.

   cc -std=c99 -o example example.c $(pkg-config --cflags --libs picture-display) */
#include <stdio.h>
#include <time.h>

#include "display/display.h"

enum { WIDTH = 640, HEIGHT = 480, SQUARE = 24, VK_SPACE = 0x20 };

static Pixel frame[WIDTH * HEIGHT];

static void fill(int x0, int y0, int x1, int y1, Pixel colour)
{
    int x, y;
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > WIDTH) x1 = WIDTH;
    if (y1 > HEIGHT) y1 = HEIGHT;
    for (y = y0; y < y1; ++y)
        for (x = x0; x < x1; ++x) frame[y * WIDTH + x] = colour;
}

int main(void)
{
    time_t second;
    int frames = 0;
    display_configure(0, "", 1, 0); /* a window, without asking */
    display_allow_close(1);         /* Escape and the close box end the program */
    if (!display_open("Example", WIDTH, HEIGHT)) {
        fprintf(stderr, "example: the display could not be opened\n");
        return 1;
    }
    second = time(NULL);
    for (;;) {
        const int x = display_mouse_x(), y = display_mouse_y();
        fill(0, 0, WIDTH, HEIGHT, display_key_down(VK_SPACE) ? 0x0030A040 : 0x00203040);
        fill(x - SQUARE / 2, y - SQUARE / 2, x + SQUARE / 2, y + SQUARE / 2,
             display_left_button() ? 0x00FF4040 : 0x00FFFFFF);
        display_present(frame);
        ++frames;
        if (time(NULL) != second) {
            second = time(NULL);
            printf("%d frames a second\n", frames);
            fflush(stdout);
            frames = 0;
        }
    }
}
