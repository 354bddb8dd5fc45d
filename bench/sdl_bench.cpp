// Presenting through the SDL backend: a small changed region against a copy of the whole surface.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "bench.h"
#include "host/gdi/region.h"
#include "host/windows/sdl/sdl_backend.h"
#include "host/windows/windows.h"
#include "host/windows/wintest.h"

namespace {

using namespace host;

RYX_BENCH("sdl.present_dirty_vs_full", c) {
    // SDL's offscreen driver runs anywhere; an existing display (Xvfb) is used as it is.
    if (std::getenv("DISPLAY") == nullptr) ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
    wintest::Reset();
    std::string why;
    auto sdl = windows::CreateSdlBackend(why);
    if (!sdl) {
        std::printf("sdl.present_dirty_vs_full skipped: %s\n", why.c_str());
        return;
    }
    windows::SetBackend(sdl.get());
    HWND top = CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr, 0,
                               nullptr);
    UpdateWindow(top);
    sdl->Flush();
    TRegion small(100, 100, 132, 118);  // a caret-sized change: 32 x 18 pixels
    TRegion all(0, 0, 1024, 768);
    c.Compare([&] {
        for (int i = 0; i < 20; ++i) {
            sdl->Present(top, small);
            sdl->Flush();
        }
    },
              [&] {
                  for (int i = 0; i < 20; ++i) {
                      sdl->Present(top, all);
                      sdl->Flush();
                  }
              });
    DestroyWindow(top);
    windows::SetBackend(nullptr);
    sdl.reset();
    wintest::Reset();
}

}  // namespace
