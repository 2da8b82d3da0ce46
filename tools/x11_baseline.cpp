// The baseline that tools/measure_pacing measures the picture program against:
// a minimal X11 program doing the same work. Every 1/60 s it clears a 640 x 480
// frame, copies a 400 x 300 picture into it at (100, 80), copies the frame into
// an XShm image and puts it on its window. Ended by SIGTERM or SIGINT, it prints
// the frames it showed and the seconds it ran.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

constexpr int WIDTH = 640, HEIGHT = 480, PICTURE_W = 400, PICTURE_H = 300, X = 100, Y = 80;
volatile std::sig_atomic_t ending = 0;

double seconds(const timespec& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9; }

}  // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display || !XShmQueryExtension(display)) return 1;
    const int screen = DefaultScreen(display);
    const Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, WIDTH, HEIGHT, 0, 0, 0);
    XMapWindow(display, window);
    XShmSegmentInfo shm{};
    XImage* image = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap,
                                    nullptr, &shm, WIDTH, HEIGHT);
    if (!image || image->bits_per_pixel != 32) return 1;
    shm.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * HEIGHT, IPC_CREAT | 0600);
    shm.shmaddr = image->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
    if (shm.shmaddr == reinterpret_cast<char*>(-1) || !XShmAttach(display, &shm)) return 1;
    XSync(display, False);
    shmctl(shm.shmid, IPC_RMID, nullptr);  // freed once both sides detach

    std::vector<std::uint32_t> picture(PICTURE_W * PICTURE_H), frame(WIDTH * HEIGHT);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint32_t>(i * 2654435761u) >> 8;
    std::signal(SIGTERM, [](int) { ending = 1; });
    std::signal(SIGINT, [](int) { ending = 1; });
    timespec start, next;
    clock_gettime(CLOCK_MONOTONIC, &start);
    next = start;
    long frames = 0;
    while (!ending) {
        std::memset(frame.data(), 0, frame.size() * 4);
        for (int y = 0; y < PICTURE_H; ++y)
            std::memcpy(&frame[(Y + y) * WIDTH + X], &picture[y * PICTURE_W], PICTURE_W * 4);
        for (int y = 0; y < HEIGHT; ++y)
            std::memcpy(image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line, &frame[y * WIDTH],
                        WIDTH * 4);
        XShmPutImage(display, window, DefaultGC(display, screen), image, 0, 0, 0, 0, WIDTH, HEIGHT, False);
        XSync(display, False);  // the server is done with the image before it is written again
        ++frames;
        next.tv_nsec += 1000000000 / 60;
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
    XShmDetach(display, &shm);
    shmdt(shm.shmaddr);
    XCloseDisplay(display);
    return 0;
}
