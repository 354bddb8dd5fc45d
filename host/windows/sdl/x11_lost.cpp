// What happens when the X display of the SDL windows goes away: one clear message, then the end.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

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

}  // namespace

void InstallDisplayLostHandler() { XSetIOErrorHandler(&DisplayLost); }

}  // namespace host::windows
