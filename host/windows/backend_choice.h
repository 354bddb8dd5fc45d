// Which window backend a program runs on: SDL when a display exists and SDL starts, else headless.
#pragma once

#include <string>

namespace host::windows {

struct TBackendChoice {
    std::string Name;    // "sdl" or "headless"
    std::string Reason;  // one line saying why
};

// What the rules choose before anything starts: RYX_BACKEND ("headless" or "sdl", else
// unset) forces a backend; otherwise SDL when windows are allowed and a display (or an
// explicit SDL video driver) exists. Name is what to try; SDL may still fail to start.
TBackendChoice DecideBackend(const char* EnvBackend, bool HasDisplay, bool AllowWindows);

// Applies the rules to this process (its environment) and installs the chosen backend:
// when SDL was chosen but cannot start, the headless one, with the reason. The backend
// lives until ReleaseBackend or the end of the program.
TBackendChoice ChooseBackend(bool AllowWindows = true);
// Goes back to the headless backend and closes SDL's windows.
void ReleaseBackend();

// True when DISPLAY, WAYLAND_DISPLAY or SDL_VIDEODRIVER is set.
bool DisplayAvailable();

}  // namespace host::windows
