// The desktop screen on a real X server (scripts/test starts a 640 x 480 Xvfb,
// which our own window serves): a full-screen display shows a known frame in
// each of the eight formats; a window partly off the screen shows its part in
// place; the full-screen window bears the display's title; a window-manager
// close is one close request; the question box ignores Escape; the pointer is
// known where the window appears under it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/emu/common/pixel_format.h"
#include "platform/platform.h"
#include "platform/screen/screen.h"
#include "screen_formats.h"

// Xlib last: its macros (None, Bool) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#undef None
#undef Bool

namespace {

bool have_display() { return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"); }

// The X server's view: windows by name, the root's pixels, a close request.
struct X {
    Display* display = XOpenDisplay(nullptr);
    ~X()
    {
        if (display) XCloseDisplay(display);
    }

    Window find(const std::string& name, Window from = 0)
    {
        if (!from) from = DefaultRootWindow(display);
        // The name as stored, whatever its text type (ASCII is the same in all).
        XTextProperty title;
        if (XGetWMName(display, from, &title) && title.value) {
            const bool found = name == std::string(reinterpret_cast<const char*>(title.value), title.nitems);
            XFree(title.value);
            if (found) return from;
        }
        Window root, parent, *children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display, from, &root, &parent, &children, &count)) return 0;
        Window found = 0;
        for (unsigned i = 0; i < count && !found; ++i) found = find(name, children[i]);
        if (children) XFree(children);
        return found;
    }

    // Waits for a window of that name (a minute at most: only a fault takes that long).
    Window wait_for(const std::string& name)
    {
        for (int i = 0; i < 3000; ++i) {
            if (Window w = find(name)) return w;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return 0;
    }

    std::uint32_t pixel(XImage* image, int x, int y)
    {
        return static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0x00FFFFFF;
    }

    // The viewable window of that name, or 0.
    Window find_viewable(const std::string& name)
    {
        const Window w = find(name);
        XWindowAttributes attributes;
        return w && XGetWindowAttributes(display, w, &attributes) && attributes.map_state == IsViewable ? w : 0;
    }

    // Presses and releases a key in a window, sent on this connection: the
    // window sees it before anything this connection sends it later.
    void key(Window w, KeySym symbol)
    {
        XEvent e;
        std::memset(&e, 0, sizeof e);
        e.xkey.display = display;
        e.xkey.window = w;
        e.xkey.root = DefaultRootWindow(display);
        e.xkey.time = CurrentTime;
        e.xkey.same_screen = True;
        e.xkey.keycode = XKeysymToKeycode(display, symbol);
        for (const int type : {KeyPress, KeyRelease}) {
            e.type = type;
            XSendEvent(display, w, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &e);
        }
        XFlush(display);
    }

    // Asks a window to close as a window manager does: WM_DELETE_WINDOW.
    void request_close(Window w)
    {
        XEvent e;
        std::memset(&e, 0, sizeof e);
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, w, False, NoEventMask, &e);
        XFlush(display);
    }
};

std::vector<UINT> messages;
LRESULT CALLBACK recording_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    messages.push_back(message);
    if (message == WM_CLOSE) return 0;  // swallowed, as the picture program does
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND make_window(const char* title, DWORD style, int x, int y, int w, int h)
{
    WNDCLASSA wc;
    std::memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = recording_proc;
    wc.lpszClassName = "sdl test";
    RegisterClassA(&wc);
    return CreateWindowExA(0, "sdl test", title, style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(SdlScreen, ShowsA640x480FrameInEveryFormat)
{
    if (!have_display()) GTEST_SKIP() << "no display server to show on";
    ASSERT_TRUE(screen_open()) << "a display server is set but SDL can't reach it";
    expect_a_frame_in_every_format();
}

// A window hanging off the screen's top-left corner shows the screen's pixels
// under its visible part, each at its own place, unstretched.
TEST(SdlScreen, AWindowPartlyOffTheScreenShowsItsPartInPlace)
{
    if (!have_display()) GTEST_SKIP() << "no display server to show on";
    ASSERT_TRUE(screen_open());
    X x;
    ASSERT_NE(x.display, nullptr);
    const EmuPixelFormat f = emu_format(PIXEL_FORMAT_XRGB8888);
    std::vector<std::uint32_t> image(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int c = 0; c < 640; ++c) image[y * 640 + c] = frame_pixel(c, y);
    const RECT client{-20, -30, 620, 450};
    screen_window("partly off", &client);
    // Shown until the screen has it (the X server takes its time under load),
    // a minute at most; then the first differences are the failure.
    std::vector<std::string> wrong;
    for (int attempt = 0; attempt < 600 && (attempt == 0 || !wrong.empty()); ++attempt) {
        screen_show({reinterpret_cast<const BYTE*>(image.data()), 640 * 4, 640, 480, f}, client);
        drain_screen_events();
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        XImage* root = XGetImage(x.display, DefaultRootWindow(x.display), 0, 0, 640, 480, AllPlanes, ZPixmap);
        ASSERT_NE(root, nullptr);
        wrong.clear();
        for (int y = 0; y < 450 && wrong.size() < 5; y += 7)
            for (int c = 0; c < 620 && wrong.size() < 5; c += 3)
                if (x.pixel(root, c, y) != image[y * 640 + c]) {
                    std::ostringstream at;
                    at << "screen (" << c << ", " << y << ") shows " << std::hex << x.pixel(root, c, y) << ", want "
                       << image[y * 640 + c];
                    wrong.push_back(at.str());
                }
        XDestroyImage(root);
    }
    for (const std::string& difference : wrong) ADD_FAILURE() << difference;
}

// The full-screen window bears the title of the window that took the display.
TEST(SdlScreen, FullScreenWindowBearsTheDisplaysTitle)
{
    if (!have_display()) GTEST_SKIP() << "no display server to show on";
    HWND window = make_window("24 BIT BITMAP", WS_POPUP, 0, 0, 0, 0);
    ASSERT_NE(window, nullptr);
    HMODULE module = LoadLibraryA("ddraw.dll");
    auto create =
        reinterpret_cast<DirectDrawCreateProc>(reinterpret_cast<void*>(GetProcAddress(module, "DirectDrawCreate")));
    IDirectDraw* ddraw = nullptr;
    ASSERT_EQ(create(nullptr, &ddraw, nullptr), DD_OK);
    ASSERT_EQ(ddraw->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(ddraw->SetDisplayMode(640, 480, 32), DD_OK);
    X x;
    EXPECT_NE(x.wait_for("24 BIT BITMAP"), 0u);
    ddraw->Release();
}

// A window manager's close request reaches the window once, as one WM_CLOSE.
TEST(SdlScreen, ACloseRequestIsOneWmClose)
{
    if (!have_display()) GTEST_SKIP() << "no display server to show on";
    HWND window = make_window("close me", WS_POPUP | WS_VISIBLE, 10, 10, 100, 80);
    ASSERT_NE(window, nullptr);
    X x;
    const Window shown = x.wait_for("close me");
    ASSERT_NE(shown, 0u);
    x.request_close(shown);
    // Pumped until the close arrives (a minute at most), then a little longer
    // for a second one that should not come.
    MSG m;
    const auto closes = [] { return std::count(messages.begin(), messages.end(), static_cast<UINT>(WM_CLOSE)); };
    for (int i = 0, after = 0; i < 3000 && after<25; ++i, after += closes()> 0) {
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(closes(), 1);
    EXPECT_TRUE(IsWindow(window)) << "the procedure swallowed it";
}

// A Yes/No question has no Cancel: Escape does nothing and closing the box
// without an answer asks again; Return answers Yes. The person answering is a
// process of its own: SDL shows each box from a forked child, which must not
// inherit a lock of Xlib held by a thread of ours. Its keys and close request
// reach the box in order on one connection, so no step waits on time.
TEST(SdlScreen, TheQuestionIgnoresEscapeAndWaitsForAnAnswer)
{
    if (!have_display()) GTEST_SKIP() << "no display server to show on";
    const pid_t user = fork();
    ASSERT_NE(user, -1);
    if (user == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // A box closing while it is looked at is no error of ours.
        XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        X x;
        const auto pause = [] { std::this_thread::sleep_for(std::chrono::milliseconds(50)); };
        Window box = 0;
        while (!(box = x.find_viewable("Question?"))) pause();
        XSelectInput(x.display, box, StructureNotifyMask);
        x.key(box, XK_Escape);
        x.request_close(box);
        // Closed only now (a new box may reuse its id): then Return to the box
        // asked again, until the test has its answer.
        XEvent e;
        do XNextEvent(x.display, &e);
        while (e.type != DestroyNotify && e.type != UnmapNotify);
        for (;;) {
            if (const Window again = x.find_viewable("Question?")) x.key(again, XK_Return);
            pause();
        }
    }
    EXPECT_TRUE(screen_open());
    const int answer = screen_question("Fullscreen Mode ?", "Question?");
    kill(user, SIGKILL);
    waitpid(user, nullptr, 0);
    EXPECT_EQ(answer, IDYES);
}

// A frame in memory from screen_alloc_pixels (the X server's shared memory) is
// put on the screen from there: the X server shows it pixel for pixel.
TEST(SdlScreen, PixelsInTheScreensMemoryAreShownAsTheyAre)
{
    if (!have_display()) GTEST_SKIP() << "no display server to show on";
    ASSERT_TRUE(screen_open());
    const EmuMode mode{640, 480, emu_format(PIXEL_FORMAT_XRGB8888)};
    screen_fullscreen(&mode, "shared");
    BYTE* pixels = screen_alloc_pixels(640 * 4 * 480);
    ASSERT_NE(pixels, nullptr);
    auto* frame = reinterpret_cast<std::uint32_t*>(pixels);
    for (int i = 0; i < 640 * 480; ++i) frame[i] = frame_pixel(i % 640, i / 640);
    X x;
    int wrong = -1;
    for (int attempt = 0; attempt < 600 && wrong != 0; ++attempt) {  // until the server has it
        screen_show({pixels, 640 * 4, 640, 480, mode.format}, RECT{0, 0, 640, 480});
        drain_screen_events();
        XImage* root = XGetImage(x.display, DefaultRootWindow(x.display), 0, 0, 640, 480, AllPlanes, ZPixmap);
        ASSERT_NE(root, nullptr);
        wrong = 0;
        for (int i = 0; i < 640 * 480; i += 97) wrong += x.pixel(root, i % 640, i / 640) != frame[i];
        XDestroyImage(root);
    }
    EXPECT_EQ(wrong, 0) << "pixels differ";
    screen_fullscreen(nullptr, nullptr);
    screen_free_pixels(pixels, 640 * 4 * 480);
}

// A window appearing under a pointer that does not move has the pointer's
// place at once, as a program drawing the pointer needs it.
TEST(SdlScreen, AWindowKnowsThePointerItAppearsUnder)
{
    if (!have_display()) GTEST_SKIP() << "no display server to show on";
    ASSERT_TRUE(screen_open());
    X x;
    ASSERT_NE(x.display, nullptr);
    XWarpPointer(x.display, 0, DefaultRootWindow(x.display), 0, 0, 0, 0, 150, 120);
    XSync(x.display, False);
    const RECT client{100, 100, 300, 260};
    screen_window("pointer", &client);
    bool seen = false;
    for (int i = 0; i < 3000 && !seen; ++i) {  // a minute at most
        ScreenEvent e;
        while (!seen && screen_poll(&e)) seen = e.kind == ScreenEventKind::MOUSE_MOVE && e.x == 50 && e.y == 20;
        if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(seen) << "no mouse move to (50, 20) in the window";
    screen_window("pointer", nullptr);
}

// An X error about a window another program destroyed meanwhile (as a window
// manager's frame goes while ours is hidden) does not end the program, as
// Xlib's own handler would.
TEST(SdlScreen, AnErrorAboutAWindowGoneMeanwhileIsNoReasonToEnd)
{
    if (!have_display()) GTEST_SKIP() << "no display server to show on";
    ASSERT_TRUE(screen_open());
    X x;
    ASSERT_NE(x.display, nullptr);
    int at_x = 0, at_y = 0;
    Window child = 0;
    XTranslateCoordinates(x.display, 0x1FFFFFFF, DefaultRootWindow(x.display), 0, 0, &at_x, &at_y, &child);
    XSync(x.display, False);
    SUCCEED() << "still running";
}
