// The window manager's backend: where top-level surfaces are shown and where input waits.
#pragma once

#include <cstdint>

#include "host/gdi/gditypes.h"

namespace host {
class TRegion;
}

namespace host::windows {

// What a backend does for the window manager. The headless backend (the default) shows
// nothing and never has outside events; a backend with real windows presents each
// top-level's surface and feeds real input to the simulator's raw queue.
class TBackend {
public:
    virtual ~TBackend() = default;
    virtual const char* Name() const = 0;
    // A top-level window became visible, moved or changed size (screen rectangle), or
    // went away.
    virtual void TopLevelShown(HWND Wnd, const RECT& Bounds) = 0;
    virtual void TopLevelHidden(HWND Wnd) = 0;
    virtual void TopLevelMoved(HWND Wnd, const RECT& Bounds) = 0;
    virtual void TopLevelDestroyed(HWND Wnd) = 0;
    // Pixels of a top-level's surface changed inside Dirty (window coordinates).
    virtual void Present(HWND Wnd, const TRegion& Dirty) = 0;
    // Waits up to TimeoutMs for outside events (real input) and queues them; false when
    // none came. The headless backend returns false at once.
    virtual bool WaitEvents(uint32_t TimeoutMs) = 0;
    // True when events come from outside (real input): then a message loop with nothing
    // to do waits in WaitEvents (up to the next timer) instead of treating the input
    // script as ended.
    virtual bool Live() const { return false; }
};

// WaitEvents without a time limit.
inline constexpr uint32_t kWaitForever = 0xFFFFFFFFu;
// Added to a virtual-key code given to Input::KeyDown when the key's character comes as
// separate text input: the key message then carries bit 25 of its key data, and
// TranslateMessage makes no character of it.
inline constexpr int kKeyTextFollows = 0x10000;

// The backend in use (the headless one unless another was installed).
TBackend& Backend();
// Installs a backend (nullptr: back to headless). The caller keeps ownership.
void SetBackend(TBackend* Backend);

}  // namespace host::windows
