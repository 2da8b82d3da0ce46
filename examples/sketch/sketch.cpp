// sketch: draw with the mouse on a 640 x 480 display. A small program that
// uses the whole of the display presenter's interface.
//
//   sketch [--borderless] [--no-vsync]
//
// It asks "Fullscreen Mode ?": Yes shows it full screen, No in a window
// (without caption or frame with --borderless). The left button draws, the
// right one or the key C clears, and the mouse position shows in the top-left corner.
// Escape, or closing the window, ends it with status 0; --no-vsync flips
// full-screen frames without waiting for the display.
#include <cstdint>
#include <cstring>

#include "display/display.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;
constexpr Pixel PAPER = 0x00183048;
constexpr Pixel EDGE = 0x0060C0FF;
constexpr Pixel INK = 0x00FFD020;
constexpr Pixel POINTER = 0x00FFFFFF;
constexpr int BRUSH = 2;  // strokes are 2 * BRUSH + 1 pixels wide

Pixel canvas[WIDTH * HEIGHT];  // what has been drawn
Pixel frame[WIDTH * HEIGHT];   // the canvas with the pointer and its position on top
// The rows where the frame may differ from the canvas: drawn on either since
// the frame last took the canvas's rows.
int stale_top = 0, stale_bottom = HEIGHT;

void fill(Pixel* pixels, int x0, int y0, int x1, int y1, Pixel colour)
{
    if (x0 < 0) x0 = 0;
    if (y0 < 0) y0 = 0;
    if (x1 > WIDTH) x1 = WIDTH;
    if (y1 > HEIGHT) y1 = HEIGHT;
    if (y0 < y1 && x0 < x1) {
        if (y0 < stale_top) stale_top = y0;
        if (y1 > stale_bottom) stale_bottom = y1;
    }
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) pixels[y * WIDTH + x] = colour;
}

void clear_canvas()
{
    fill(canvas, 0, 0, WIDTH, HEIGHT, PAPER);
    // A one-pixel edge shows where the frame ends on the screen.
    fill(canvas, 0, 0, WIDTH, 1, EDGE);
    fill(canvas, 0, HEIGHT - 1, WIDTH, HEIGHT, EDGE);
    fill(canvas, 0, 0, 1, HEIGHT, EDGE);
    fill(canvas, WIDTH - 1, 0, WIDTH, HEIGHT, EDGE);
}

void dab(int x, int y) { fill(canvas, x - BRUSH, y - BRUSH, x + BRUSH + 1, y + BRUSH + 1, INK); }

// A stroke from one mouse position to the next, so fast moves leave no gaps.
void stroke(int x0, int y0, int x1, int y1)
{
    const int dx = x1 > x0 ? x1 - x0 : x0 - x1, dy = y1 > y0 ? y1 - y0 : y0 - y1;
    const int steps = dx > dy ? dx : dy;
    for (int i = 0; i <= steps; ++i)
        dab(x0 + (steps ? (x1 - x0) * i / steps : 0), y0 + (steps ? (y1 - y0) * i / steps : 0));
}

// Digits and the letters X and Y in a 3 x 5 font, a row of 3 bits each.
const std::uint8_t* glyph(char c)
{
    static const std::uint8_t DIGITS[10][5] = {
        {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
        {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
    };
    static const std::uint8_t X[5] = {5, 5, 2, 5, 5}, Y[5] = {5, 5, 2, 2, 2}, BLANK[5] = {};
    if (c >= '0' && c <= '9') return DIGITS[c - '0'];
    return c == 'X' ? X : c == 'Y' ? Y : BLANK;
}

// Text at (x, y), each font pixel drawn as a 2 x 2 square.
void text(int x, int y, const char* s)
{
    for (; *s; ++s, x += 8)
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (glyph(*s)[row] & (4 >> col))
                    fill(frame, x + 2 * col, y + 2 * row, x + 2 * col + 2, y + 2 * row + 2, POINTER);
}

void compose(int x, int y)
{
    // Only the stale rows are taken from the canvas, not the whole frame each time.
    if (stale_top < stale_bottom)
        std::memcpy(frame + stale_top * WIDTH, canvas + stale_top * WIDTH,
                    sizeof(Pixel) * WIDTH * static_cast<unsigned>(stale_bottom - stale_top));
    stale_top = HEIGHT;
    stale_bottom = 0;
    // A cross at the pointer, three pixels thick.
    fill(frame, x - 10, y - 1, x + 11, y + 2, POINTER);
    fill(frame, x - 1, y - 10, x + 2, y + 11, POINTER);
    // The position, as "X 123  Y 045".
    char label[] = "X      Y    ";
    for (int i = 0, v = x; i < 3; ++i, v /= 10) label[4 - i] = static_cast<char>('0' + v % 10);
    for (int i = 0, v = y; i < 3; ++i, v /= 10) label[11 - i] = static_cast<char>('0' + v % 10);
    fill(frame, 4, 4, 8 + 8 * 12, 18, PAPER);
    text(6, 6, label);
}

int clamp(int v, int high) { return v < 0 ? 0 : v > high ? high : v; }

}  // namespace

int main(int argc, char** argv)
{
    bool borderless = false, no_vsync = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--borderless") == 0)
            borderless = true;
        else if (std::strcmp(argv[i], "--no-vsync") == 0)
            no_vsync = true;
        else
            return 2;  // usage: sketch [--borderless] [--no-vsync]
    }
    display_configure(1, "", 0, borderless);  // ask; the answer chooses full screen or a window
    display_allow_close(1);                   // Escape and the close box end the program
    if (no_vsync) display_set_flip_wait(0);
    if (!display_open("Sketch", WIDTH, HEIGHT)) return -1;

    clear_canvas();
    bool drawing = false;
    int last_x = 0, last_y = 0;
    for (;;) {
        // The mouse as the last frame's messages left it, in client coordinates.
        const int x = clamp(display_mouse_x(), WIDTH - 1), y = clamp(display_mouse_y(), HEIGHT - 1);
        if (display_right_button() || display_key_down('C')) clear_canvas();
        if (display_left_button()) {
            if (drawing)
                stroke(last_x, last_y, x, y);
            else
                dab(x, y);
            last_x = x;
            last_y = y;
        }
        drawing = display_left_button();
        compose(x, y);
        display_present(frame);  // ends the process on Escape or a close request
    }
}
