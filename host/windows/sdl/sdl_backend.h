// The SDL backend: a real window per shown top-level, presented from dirty regions, with SDL's input.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/windows/backend.h"

struct SDL_Window;
union SDL_Event;

namespace host::windows {

// The backend of real windows. Made by CreateSdlBackend; install it with SetBackend.
class TSdlBackend : public TBackend {
public:
    ~TSdlBackend() override;
    const char* Name() const override { return "sdl"; }
    void TopLevelShown(HWND Wnd, const RECT& Bounds) override;
    void TopLevelHidden(HWND Wnd) override;
    void TopLevelMoved(HWND Wnd, const RECT& Bounds) override;
    void TopLevelDestroyed(HWND Wnd) override;
    void Present(HWND Wnd, const TRegion& Dirty) override;
    bool WaitEvents(uint32_t TimeoutMs) override;
    bool Live() const override { return true; }

    // Copies every pending dirty region to its window now.
    void Flush();
    // The SDL window that shows a top-level (nullptr when it has none).
    SDL_Window* WindowOf(HWND Wnd) const;
    // Turns one SDL event into raw input or window messages; true when it gave any.
    bool HandleEvent(const SDL_Event& E);
    // Pixels copied to windows so far (dirty rectangles only), for tests and benchmarks.
    uint64_t PixelsPresented() const;

    struct TImpl;

private:
    friend std::unique_ptr<TSdlBackend> CreateSdlBackend(std::string& Reason);
    TSdlBackend();
    std::unique_ptr<TImpl> F;
};

// Starts SDL's video (and events) and returns the backend, or nullptr with the reason SDL
// gave. Only one may exist at a time; destroying it closes its windows and SDL's video.
std::unique_ptr<TSdlBackend> CreateSdlBackend(std::string& Reason);

// On the X11 video driver: a display that goes away ends the program with one clear
// message ("ryx: the display ... went away; the application ends", exit status 1); a
// request that fails on the server (a window that went away meanwhile) is reported on
// one line and ignored instead of ending the program.
void InstallDisplayLostHandler();

// On X11: whether the keyboard focus is on a window of another program (not on one of
// Ours or inside it, and not on the root or nowhere).
bool FocusInAnotherProgram(const std::vector<SDL_Window*>& Ours);

// The virtual-key code of an SDL key (0 when none).
int SdlKeyToVirtualKey(int SdlKeycode, int SdlScancode);

}  // namespace host::windows
