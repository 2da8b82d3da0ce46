// Finds X windows by name and asks them to close, for the end-to-end checks.
//
//   x_window find NAME
//       Prints "ID LEFT TOP WIDTH HEIGHT" of the first viewable window named
//       NAME (its position on the screen, its size), searching the whole tree.
//   x_window close NAME
//       Asks that window to close as a window manager does (WM_DELETE_WINDOW),
//       which `xdotool windowclose` does not: it destroys the window.
//
// Exit status: 0 done, 1 no such window, 2 could not run.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool named(Display* display, Window w, const std::string& name)
{
    XTextProperty title;
    if (!XGetWMName(display, w, &title) || !title.value) return false;
    const bool same = name == std::string(reinterpret_cast<const char*>(title.value), title.nitems);
    XFree(title.value);
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

int main(int argc, char** argv)
{
    const std::string command = argc == 3 ? argv[1] : "";
    if (command != "find" && command != "close") {
        std::fprintf(stderr, "usage: x_window find NAME\n       x_window close NAME\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "x_window: cannot open the display\n");
        return 2;
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
