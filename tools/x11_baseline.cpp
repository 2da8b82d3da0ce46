// The baseline that tools/measure_pacing measures our programs against: a
// minimal X11 program doing the same work. Every 1/60 s it clears a 640 x 480
// frame, copies a 400 x 300 picture into it at (100, 80) and puts the frame
// on the screen:
//   full    a window over the whole screen (full screen under a window
//           manager), the frame scaled by the largest whole factor that fits,
//           centred, into an image of the screen's size whose black border is
//           written once; only the frame's rectangle is put
//   window  a 642 x 482 window, the frame stretched onto it (nearest
//           neighbour, by maps made once)
// The image lies in the X server's shared memory where it has MIT-SHM, else it
// is sent. Pixels take the screen's format (24 or 16 bits). A second argument
// sets the frames a second (60 by default; 64 matches the presenter's window,
// paced by the 64 ticks a second of the system's clock). A third, "canvas",
// has each frame copied whole from a canvas instead, as the sketch draws its
// own. Ended by SIGTERM
// or SIGINT, it prints the frames it showed and the seconds it ran.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

constexpr int WIDTH = 640, HEIGHT = 480, PICTURE_W = 400, PICTURE_H = 300, X = 100, Y = 80;
volatile std::sig_atomic_t ending = 0;

double seconds(const timespec& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9; }

// The image of the whole output, in shared memory where the server offers it.
XImage* make_image(Display* display, int screen, int w, int h, XShmSegmentInfo* shm, bool* shared)
{
    Visual* visual = DefaultVisual(display, screen);
    const int depth = DefaultDepth(display, screen);
    *shared = XShmQueryExtension(display);
    if (*shared) {
        XImage* image = XShmCreateImage(display, visual, depth, ZPixmap, nullptr, shm, w, h);
        if (!image) return nullptr;
        shm->shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * h, IPC_CREAT | 0600);
        shm->shmaddr = image->data = static_cast<char*>(shmat(shm->shmid, nullptr, 0));
        if (shm->shmaddr == reinterpret_cast<char*>(-1) || !XShmAttach(display, shm)) return nullptr;
        XSync(display, False);
        shmctl(shm->shmid, IPC_RMID, nullptr);  // freed once both sides detach
        std::memset(image->data, 0, static_cast<std::size_t>(image->bytes_per_line) * h);
        return image;
    }
    const int bpp = depth > 16 ? 4 : 2;
    char* data = static_cast<char*>(std::calloc(static_cast<std::size_t>(w) * h, bpp));
    return XCreateImage(display, visual, depth, ZPixmap, 0, data, w, h, bpp * 8, w * bpp);
}

// Under a window manager the window asks to be full screen; without one it is
// simply made the screen's size.
void ask_full_screen(Display* display, Window window)
{
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom full = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&full),
                    1);
}

}  // namespace

int main(int argc, char** argv)
{
    const bool windowed = argc > 1 && std::strcmp(argv[1], "window") == 0;
    const long rate = argc > 2 ? std::max(1L, std::atol(argv[2])) : 60;
    const bool from_canvas = argc > 3 && std::strcmp(argv[3], "canvas") == 0;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const int screen = DefaultScreen(display);
    const int screen_w = DisplayWidth(display, screen), screen_h = DisplayHeight(display, screen);
    const int out_w = windowed ? WIDTH + 2 : screen_w, out_h = windowed ? HEIGHT + 2 : screen_h;
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), (screen_w - out_w) / 2,
                                              (screen_h - out_h) / 2, out_w, out_h, 0, 0, 0);
    if (!windowed) ask_full_screen(display, window);
    XMapWindow(display, window);
    XShmSegmentInfo shm{};
    bool shared = false;
    XImage* image = make_image(display, screen, out_w, out_h, &shm, &shared);
    if (!image || (image->bits_per_pixel != 32 && image->bits_per_pixel != 16)) return 1;
    const bool wide = image->bits_per_pixel == 32;
    const int red_shift = wide ? 16 : (image->green_mask == 0x7E0 ? 11 : 10),
              green_bits = wide ? 8 : (image->green_mask == 0x7E0 ? 6 : 5);

    // Where frame pixels go: full screen a whole factor, centred; in a window
    // a stretch by a column map and a row map made once.
    const int scale = windowed ? 1 : std::max(1, std::min(screen_w / WIDTH, screen_h / HEIGHT));
    const int left = windowed ? 0 : (screen_w - WIDTH * scale) / 2,
              top = windowed ? 0 : (screen_h - HEIGHT * scale) / 2;
    const int put_w = windowed ? out_w : WIDTH * scale, put_h = windowed ? out_h : HEIGHT * scale;
    std::vector<int> column(put_w), row(put_h);
    for (int x = 0; x < put_w; ++x) column[x] = windowed ? x * WIDTH / put_w : x / scale;
    for (int y = 0; y < put_h; ++y) row[y] = windowed ? y * HEIGHT / put_h : y / scale;

    std::vector<std::uint32_t> picture(PICTURE_W * PICTURE_H), frame(WIDTH * HEIGHT),
        canvas(from_canvas ? WIDTH * HEIGHT : 0);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint32_t>(i * 2654435761u) >> 8;
    for (std::size_t i = 0; i < canvas.size(); ++i) canvas[i] = static_cast<std::uint32_t>(i * 40503u) >> 8;
    std::signal(SIGTERM, [](int) { ending = 1; });
    std::signal(SIGINT, [](int) { ending = 1; });
    timespec start, next;
    clock_gettime(CLOCK_MONOTONIC, &start);
    next = start;
    long frames = 0;
    while (!ending) {
        if (from_canvas) {
            std::memcpy(frame.data(), canvas.data(), frame.size() * 4);
        } else {
            std::memset(frame.data(), 0, frame.size() * 4);
            for (int y = 0; y < PICTURE_H; ++y)
                std::memcpy(&frame[(Y + y) * WIDTH + X], &picture[y * PICTURE_W], PICTURE_W * 4);
        }
        for (int y = 0; y < put_h; ++y) {
            const std::uint32_t* in = &frame[row[y] * WIDTH];
            char* out = image->data + static_cast<std::ptrdiff_t>(top + y) * image->bytes_per_line;
            if (y > 0 && row[y] == row[y - 1]) {  // a row repeated by the scale
                std::memcpy(out + left * (wide ? 4 : 2), out - image->bytes_per_line + left * (wide ? 4 : 2),
                            static_cast<std::size_t>(put_w) * (wide ? 4 : 2));
            } else if (wide && scale == 1 && !windowed) {
                std::memcpy(out + left * 4, in, WIDTH * 4);
            } else if (wide && !windowed && scale == 2) {  // pairs of pixels, one store each
                auto* o = reinterpret_cast<std::uint32_t*>(out) + left;
                for (int x = 0; x < WIDTH; ++x) {
                    const std::uint64_t pair = in[x] | std::uint64_t{in[x]} << 32;
                    std::memcpy(o + 2 * x, &pair, 8);
                }
            } else if (wide && !windowed) {
                auto* o = reinterpret_cast<std::uint32_t*>(out) + left;
                for (int x = 0; x < WIDTH; ++x)
                    for (int k = 0; k < scale; ++k) o[x * scale + k] = in[x];
            } else if (wide) {
                auto* o = reinterpret_cast<std::uint32_t*>(out) + left;
                for (int x = 0; x < put_w; ++x) o[x] = in[column[x]];
            } else {
                auto* o = reinterpret_cast<std::uint16_t*>(out) + left;
                for (int x = 0; x < put_w; ++x) {
                    const std::uint32_t p = in[column[x]];
                    o[x] = static_cast<std::uint16_t>(((p >> 19) & 0x1F) << red_shift |
                                                      ((p >> (16 - green_bits)) & ((1 << green_bits) - 1)) << 5 |
                                                      ((p >> 3) & 0x1F));
                }
            }
        }
        if (shared)
            XShmPutImage(display, window, DefaultGC(display, screen), image, left, top, left, top, put_w, put_h, False);
        else
            XPutImage(display, window, DefaultGC(display, screen), image, left, top, left, top, put_w, put_h);
        XSync(display, False);  // the server is done with the image before it is written again
        ++frames;
        next.tv_nsec += 1000000000 / rate;
        if (next.tv_nsec >= 1000000000) {
            next.tv_nsec -= 1000000000;
            ++next.tv_sec;
        }
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) != 0 && !ending) {
        }
    }
    timespec end;
    clock_gettime(CLOCK_MONOTONIC, &end);
    std::fprintf(stderr, "%ld frames in %.2f s\n", frames, seconds(end) - seconds(start));
    if (shared) XShmDetach(display, &shm);
    XCloseDisplay(display);
    return 0;
}
