// What the SDL backend asks of X11 directly: whether another program holds the keyboard focus, and what happens when a request fails or the display goes away.
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "host/windows/sdl/sdl_backend.h"

namespace host::windows {

namespace {

// Xlib calls this when the connection to the display breaks (the server ended or the
// network went away). Nothing can be drawn or read any more and Xlib does not allow
// the program to go on, so it says so once and ends without running the exit
// handlers, which would talk to the dead display again.
int DisplayLost(Display* D) {
    const char* name = D != nullptr ? DisplayString(D) : nullptr;
    std::fprintf(stderr, "ryx: the display %s went away; the application ends\n", name != nullptr ? name : "");
    std::fflush(stderr);
    ::_exit(1);
}

// A request that failed on the server (most often one addressed to a window that went
// away a moment before: a pop-up, or another program's window) is not worth ending the
// program for, which Xlib's own handler does. It is reported on one line and ignored.
int RequestFailed(Display* D, XErrorEvent* E) {
    char text[128] = {};
    XGetErrorText(D, E->error_code, text, sizeof text - 1);
    std::fprintf(stderr, "ryx: an X request failed and was ignored: %s (request %d, resource 0x%lx)\n", text,
                 int(E->request_code), static_cast<unsigned long>(E->resourceid));
    return 0;
}

bool X11Of(SDL_Window* W, Display*& D, Window& X) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (W == nullptr || !SDL_GetWindowWMInfo(W, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    D = info.info.x11.display;
    X = info.info.x11.window;
    return true;
}

}  // namespace

void InstallDisplayLostHandler() {
    XSetIOErrorHandler(&DisplayLost);
    XSetErrorHandler(&RequestFailed);
}

bool FocusInAnotherProgram(const std::vector<SDL_Window*>& Ours) {
    Display* display = nullptr;
    std::vector<Window> ours;
    for (SDL_Window* w : Ours) {
        Display* d = nullptr;
        Window x = 0;
        if (X11Of(w, d, x)) {
            display = d;
            ours.push_back(x);
        }
    }
    if (display == nullptr) return false;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    // Nowhere, or the root: where the focus falls, without a window manager, when one of
    // our pop-ups closes. That is no other program.
    if (focus == None || focus == PointerRoot || focus == DefaultRootWindow(display)) return false;
    // The focus window or one of its ancestors may be ours (a window manager's frame
    // around ours, or a child window of ours).
    for (Window w = focus; w != 0;) {
        for (Window x : ours)
            if (x == w) return false;
        Window root = 0, parent = 0, *children = nullptr;
        unsigned n = 0;
        if (!XQueryTree(display, w, &root, &parent, &children, &n)) break;
        if (children != nullptr) XFree(children);
        if (parent == root) break;
        w = parent;
    }
    return true;
}

}  // namespace host::windows
