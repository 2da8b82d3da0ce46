// Finds X windows by name and asks them to close, for the end-to-end checks.
//
//   x_window find NAME
//       Prints "ID LEFT TOP WIDTH HEIGHT" of the first viewable window named
//       NAME (its position on the screen, its size), searching the whole tree.
//   x_window close NAME
//       Asks that window to close as a window manager does (WM_DELETE_WINDOW),
//       which `xdotool windowclose` does not: it destroys the window.
//   x_window cover LEFT TOP WIDTH HEIGHT
//       Shows a grey window of its own there, named "cover", and gives it the
//       keyboard focus, until it reads a line (or end of file) on its input;
//       then it goes, uncovering what was below.
//
// Exit status: 0 done, 1 no such window, 2 could not run.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Named so in WM_NAME, or in _NET_WM_NAME where a program sets only that (weston).
bool named(Display* display, Window w, const std::string& name)
{
    XTextProperty title;
    bool same = false;
    if (XGetWMName(display, w, &title) && title.value) {
        same = name == std::string(reinterpret_cast<const char*>(title.value), title.nitems);
        XFree(title.value);
    }
    if (!same && XGetTextProperty(display, w, &title, XInternAtom(display, "_NET_WM_NAME", False)) && title.value) {
        same = name == std::string(reinterpret_cast<const char*>(title.value), title.nitems);
        XFree(title.value);
    }
    return same;
}

Window find(Display* display, Window from, const std::string& name)
{
    XWindowAttributes attributes;
    if (named(display, from, name) && XGetWindowAttributes(display, from, &attributes) &&
        attributes.map_state == IsViewable)
        return from;
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, from, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) found = find(display, children[i], name);
    if (children) XFree(children);
    return found;
}

}  // namespace

int cover(Display* display, int left, int top, int width, int height)
{
    XSetWindowAttributes attributes;
    attributes.background_pixel = 0x808080;
    attributes.override_redirect = True;
    const Window w = XCreateWindow(display, DefaultRootWindow(display), left, top, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                   CWBackPixel | CWOverrideRedirect, &attributes);
    XStoreName(display, w, "cover");
    XMapRaised(display, w);
    XSync(display, False);
    XSetInputFocus(display, w, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    std::puts("covered");
    std::fflush(stdout);
    char line[16];
    (void)std::fgets(line, sizeof line, stdin);
    XDestroyWindow(display, w);
    XSync(display, False);
    return 0;
}

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (!((command == "find" || command == "close") && argc == 3) && !(command == "cover" && argc == 6)) {
        std::fprintf(stderr,
                     "usage: x_window find NAME\n       x_window close NAME\n"
                     "       x_window cover LEFT TOP WIDTH HEIGHT\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x_window: cannot open the display\n");
        return 2;
    }
    if (command == "cover") {
        const int status =
            cover(display, std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]));
        XCloseDisplay(display);
        return status;
    }
    const Window root = DefaultRootWindow(display);
    const Window w = find(display, root, argv[2]);
    int status = w ? 0 : 1;
    if (w && command == "find") {
        XWindowAttributes attributes;
        XGetWindowAttributes(display, w, &attributes);
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display, w, root, 0, 0, &x, &y, &child);
        std::printf("%lu %d %d %d %d\n", static_cast<unsigned long>(w), x, y, attributes.width, attributes.height);
    } else if (w) {
        XEvent e;
        std::memset(&e, 0, sizeof e);
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        if (!XSendEvent(display, w, False, NoEventMask, &e)) status = 2;
        XSync(display, False);
    }
    XCloseDisplay(display);
    return status;
}
