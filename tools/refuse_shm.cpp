// Loaded into a program with LD_PRELOAD, makes the X server refuse every
// shared-memory segment the program offers it: the attach request names a
// segment that does not exist, and the server answers with an error, as it
// does for a segment it may not reach (another user's, another machine's).
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>

extern "C" Bool XShmAttach(Display* display, XShmSegmentInfo* segment)
{
    static const auto real = reinterpret_cast<decltype(&XShmAttach)>(
        dlsym(dlopen("libXext.so.6", RTLD_NOW | RTLD_LOCAL), "XShmAttach"));
    XShmSegmentInfo refused = *segment;
    refused.shmid = -1;
    const Bool sent = real(display, &refused);
    segment->shmseg = refused.shmseg;  // detached as the program would its own
    return sent;
}
