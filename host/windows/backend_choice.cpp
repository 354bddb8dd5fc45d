// The backend choice: the rules, and installing the SDL backend or falling back to headless.
#include "host/windows/backend_choice.h"

#include <cstdlib>
#include <memory>

#include "host/windows/sdl/sdl_backend.h"

namespace host::windows {

namespace {

std::unique_ptr<TSdlBackend>& Installed() {
    static std::unique_ptr<TSdlBackend> b;
    return b;
}

bool Set(const char* Name) {
    const char* v = std::getenv(Name);
    return v != nullptr && *v != '\0';
}

}  // namespace

bool DisplayAvailable() { return Set("DISPLAY") || Set("WAYLAND_DISPLAY") || Set("SDL_VIDEODRIVER"); }

TBackendChoice DecideBackend(const char* EnvBackend, bool HasDisplay, bool AllowWindows) {
    std::string env = EnvBackend != nullptr ? EnvBackend : "";
    if (env == "headless") return {"headless", "RYX_BACKEND=headless"};
    if (env == "sdl") return {"sdl", "RYX_BACKEND=sdl"};
    std::string note = env.empty() ? "" : " (RYX_BACKEND='" + env + "' is neither 'sdl' nor 'headless' and is ignored)";
    if (!AllowWindows) return {"headless", "no windows wanted" + note};
    if (!HasDisplay) return {"headless", "no display" + note};
    return {"sdl", "a display is present" + note};
}

TBackendChoice ChooseBackend(bool AllowWindows) {
    ReleaseBackend();
    TBackendChoice c = DecideBackend(std::getenv("RYX_BACKEND"), DisplayAvailable(), AllowWindows);
    if (c.Name != "sdl") return c;
    std::string why;
    auto b = CreateSdlBackend(why);
    if (!b) return {"headless", c.Reason + ", but " + why};
    SetBackend(b.get());
    Installed() = std::move(b);
    c.Reason += "; " + why;
    return c;
}

void ReleaseBackend() {
    if (!Installed()) return;
    SetBackend(nullptr);
    Installed().reset();
}

}  // namespace host::windows
