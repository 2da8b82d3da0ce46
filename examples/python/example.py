#!/usr/bin/env python3
"""The display presenter from Python, through ctypes and the standard library
alone: a 640 x 480 window with a square that follows the mouse (red while the
left button is down) on a background that turns green while Space is held.
Escape or closing the window ends it. Once a second it prints the frames it
showed in that second.

The shared library is found by the system (libpicture-display.so.1, installed
by the package libpicture-display1), or named by PICTURE_DISPLAY_LIBRARY."""
import ctypes
import os
import struct
import sys
import time

WIDTH, HEIGHT, SQUARE = 640, 480, 24
VK_SPACE = 0x20
BACKGROUND, HELD, POINTER, PRESSED = 0x203040, 0x30A040, 0xFFFFFF, 0xFF4040


def load():
    name = os.environ.get("PICTURE_DISPLAY_LIBRARY", "libpicture-display.so.1")
    library = ctypes.CDLL(name)
    i32 = ctypes.c_int32
    for function, arguments, result in [
        ("display_configure", [i32, ctypes.c_char_p, i32, i32], None),
        ("display_allow_close", [i32], None),
        ("display_open", [ctypes.c_char_p, i32, i32], i32),
        ("display_present", [ctypes.POINTER(ctypes.c_uint32)], i32),
        ("display_close", [], None),
        ("display_mouse_x", [], i32),
        ("display_mouse_y", [], i32),
        ("display_left_button", [], i32),
        ("display_key_down", [i32], i32),
    ]:
        getattr(library, function).argtypes = arguments
        getattr(library, function).restype = result
    return library


def main():
    display = load()
    display.display_configure(0, b"", 1, 0)  # a window, without asking
    display.display_allow_close(1)  # Escape and the close box end the program
    if not display.display_open(b"Example", WIDTH, HEIGHT):
        print("example.py: the display could not be opened", file=sys.stderr)
        return 1
    frame = bytearray(WIDTH * HEIGHT * 4)
    pixels = (ctypes.c_uint32 * (WIDTH * HEIGHT)).from_buffer(frame)
    rows = {colour: struct.pack("<I", colour) * WIDTH * HEIGHT for colour in (BACKGROUND, HELD)}
    second, frames = int(time.monotonic()), 0
    while True:
        x, y = display.display_mouse_x(), display.display_mouse_y()
        frame[:] = rows[HELD if display.display_key_down(VK_SPACE) else BACKGROUND]
        x0, x1 = max(x - SQUARE // 2, 0), min(x + SQUARE // 2, WIDTH)
        square = struct.pack("<I", PRESSED if display.display_left_button() else POINTER) * max(x1 - x0, 0)
        for row in range(max(y - SQUARE // 2, 0), min(y + SQUARE // 2, HEIGHT)):
            frame[(row * WIDTH + x0) * 4:(row * WIDTH + x1) * 4] = square
        display.display_present(pixels)  # ends the process on Escape or a close request
        frames += 1
        if int(time.monotonic()) != second:
            second = int(time.monotonic())
            print(f"{frames} frames a second", flush=True)
            frames = 0


if __name__ == "__main__":
    sys.exit(main())
