#include "platform/bare_x_server.hpp"

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace vantorel {

#if defined(SDL_VIDEO_DRIVER_X11)

namespace {

/// A window manager that speaks the desktop's common protocol names its own
/// window on the root window; SDL asks for full screen in that protocol.
bool HasWindowManager(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None)
        return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int rc = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False,
                                      XA_WINDOW, &type, &format, &count, &after, &data);
    const bool found = rc == Success && type == XA_WINDOW && count == 1;
    if (data != nullptr)
        XFree(data);
    return found;
}

} // namespace

bool PlaceOnBareXServer(SDL_Window* window, int x, int y, int w, int h) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
        info.subsystem != SDL_SYSWM_X11)
        return false;
    Display* display = info.info.x11.display;
    if (HasWindowManager(display))
        return false;
    XMoveResizeWindow(display, info.info.x11.window, x, y, static_cast<unsigned>(w),
                      static_cast<unsigned>(h));
    XRaiseWindow(display, info.info.x11.window);
    XSync(display, False);
    return true;
}

#else

bool PlaceOnBareXServer(SDL_Window*, int, int, int, int) {
    return false;
}

#endif

} // namespace vantorel
