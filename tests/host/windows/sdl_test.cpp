// The SDL backend on SDL's offscreen driver: windows follow top-levels, dirty pixels are presented, SDL input becomes messages; the backend choice.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "host/gdi/region.h"
#include "host/windows/backend_choice.h"
#include "host/windows/sdl/sdl_backend.h"
#include "wintest_util.h"

namespace wintests {
namespace {

using host::windows::TSdlBackend;

class SdlTest : public WinFixture {
protected:
    void SetUp() override {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
        WinFixture::SetUp();
        std::string why;
        Sdl = host::windows::CreateSdlBackend(why);
        ASSERT_TRUE(Sdl) << why;
        host::windows::SetBackend(Sdl.get());
    }
    void TearDown() override {
        wintest::Reset();  // windows go while the backend still hears of it
        host::windows::SetBackend(nullptr);
        Sdl.reset();
        WinFixture::TearDown();
        ::unsetenv("SDL_VIDEODRIVER");
    }
    uint32_t PixelAt(HWND H, int X, int Y) {
        SDL_Surface* s = SDL_GetWindowSurface(Sdl->WindowOf(H));
        uint32_t v;
        std::memcpy(&v, static_cast<uint8_t*>(s->pixels) + Y * s->pitch + X * 4, 4);
        uint8_t r, g, b;
        SDL_GetRGB(v, s->format, &r, &g, &b);
        return uint32_t(r) << 16 | uint32_t(g) << 8 | b;
    }
    uint32_t IdOf(HWND H) { return SDL_GetWindowID(Sdl->WindowOf(H)); }
    // Queues SDL events and lets the message loop take them.
    void Deliver(std::initializer_list<SDL_Event> Events) {
        for (SDL_Event e : Events) SDL_PushEvent(&e);
        Sdl->WaitEvents(0);
        Input::ProcessAll();
    }
    std::unique_ptr<TSdlBackend> Sdl;
};

SDL_Event Button(uint32_t Win, bool Down, int X, int Y) {
    SDL_Event e{};
    e.type = Down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = Win;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = Down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = X;
    e.button.y = Y;
    return e;
}

SDL_Event Key(uint32_t Win, bool Down, SDL_Keycode Sym, SDL_Scancode Scan, Uint16 Mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = Down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = Win;
    e.key.state = Down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = Sym;
    e.key.keysym.scancode = Scan;
    e.key.keysym.mod = Mod;
    return e;
}

SDL_Event Text(uint32_t Win, const char* T) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    e.text.windowID = Win;
    std::strncpy(e.text.text, T, sizeof e.text.text - 1);
    return e;
}

std::vector<WPARAM> ParamsOf(HWND H, UINT Msg) {
    std::vector<WPARAM> v;
    for (auto& e : Rec().Log)
        if (e.Wnd == H && e.Msg == Msg) v.push_back(e.WParam);
    return v;
}

TEST_F(SdlTest, WindowsFollowTopLevels) {
    HWND top = Top(30, 40, 200, 150);
    SDL_Window* w = Sdl->WindowOf(top);
    ASSERT_NE(w, nullptr);
    int x, y, cx, cy;
    SDL_GetWindowPosition(w, &x, &y);
    SDL_GetWindowSize(w, &cx, &cy);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 40);
    EXPECT_EQ(cx, 200);
    EXPECT_EQ(cy, 150);
    EXPECT_TRUE(SDL_GetWindowFlags(w) & SDL_WINDOW_SHOWN);
    // Our own frame and caption are in the surface: the system adds none.
    EXPECT_TRUE(SDL_GetWindowFlags(w) & SDL_WINDOW_BORDERLESS);

    SetWindowPos(top, nullptr, 50, 60, 240, 170, SWP_NOZORDER);
    SDL_GetWindowPosition(w, &x, &y);
    SDL_GetWindowSize(w, &cx, &cy);
    EXPECT_EQ(x, 50);
    EXPECT_EQ(cx, 240);
    EXPECT_EQ(cy, 170);

    ShowWindow(top, SW_HIDE);
    EXPECT_FALSE(SDL_GetWindowFlags(w) & SDL_WINDOW_SHOWN);
    ShowWindow(top, SW_SHOWNA);
    EXPECT_TRUE(SDL_GetWindowFlags(w) & SDL_WINDOW_SHOWN);

    HWND popup = Top(10, 10, 80, 60, WS_POPUP | WS_VISIBLE | WS_BORDER, "Popup");
    ASSERT_NE(Sdl->WindowOf(popup), nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(Sdl->WindowOf(popup)) & SDL_WINDOW_SKIP_TASKBAR);
    DestroyWindow(popup);
    EXPECT_EQ(Sdl->WindowOf(popup), nullptr);

    // A child never gets a window of its own; a hidden top-level gets one when shown.
    HWND child = Child(top, 5, 5, 20, 20);
    EXPECT_EQ(Sdl->WindowOf(child), nullptr);
    HWND later = Top(0, 0, 50, 50, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(Sdl->WindowOf(later), nullptr);
    ShowWindow(later, SW_SHOW);
    EXPECT_NE(Sdl->WindowOf(later), nullptr);
}

TEST_F(SdlTest, PresentCopiesOnlyTheDirtyPixels) {
    HWND top = Top(0, 0, 160, 120, WS_POPUP | WS_VISIBLE);
    Rec().PaintColor[top] = RGB(255, 0, 0);
    UpdateWindow(top);
    Sdl->Flush();
    EXPECT_EQ(PixelAt(top, 80, 60), 0xFF0000u);
    EXPECT_EQ(PixelAt(top, 5, 5), 0xFF0000u);

    // Paint blue, then make the window's pixels stale (green) and present a 10x10 square only.
    HDC dc = GetDC(top);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    RECT all{0, 0, 160, 120};
    FillRect(dc, &all, blue);
    DeleteObject(blue);
    ReleaseDC(top, dc);
    Sdl->Flush();
    EXPECT_EQ(PixelAt(top, 80, 60), 0x0000FFu);
    SDL_Surface* s = SDL_GetWindowSurface(Sdl->WindowOf(top));
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 255, 0));
    uint64_t before = Sdl->PixelsPresented();
    Sdl->Present(top, host::TRegion(20, 30, 30, 40));
    Sdl->Flush();
    EXPECT_EQ(Sdl->PixelsPresented() - before, 100u);
    EXPECT_EQ(PixelAt(top, 25, 35), 0x0000FFu);
    EXPECT_EQ(PixelAt(top, 31, 35), 0x00FF00u);
    EXPECT_EQ(PixelAt(top, 80, 60), 0x00FF00u);
    // A dirty region beyond the window is clipped, not copied.
    before = Sdl->PixelsPresented();
    Sdl->Present(top, host::TRegion(150, 110, 400, 400));
    Sdl->Flush();
    EXPECT_EQ(Sdl->PixelsPresented() - before, 100u);
}

TEST_F(SdlTest, MouseEventsBecomeMessages) {
    HWND top = Top(100, 50, 200, 150, WS_POPUP | WS_VISIBLE);
    uint32_t id = IdOf(top);
    Deliver({Button(id, true, 40, 30), Button(id, false, 40, 30)});
    auto& log = Rec().Log;
    auto down = std::find_if(log.begin(), log.end(), [&](auto& e) { return e.Wnd == top && e.Msg == WM_LBUTTONDOWN; });
    ASSERT_NE(down, log.end());
    EXPECT_EQ(GET_X_LPARAM(down->LParam), 40);
    EXPECT_EQ(GET_Y_LPARAM(down->LParam), 30);
    EXPECT_EQ(CountOf(top, WM_LBUTTONUP), 1);
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 140);
    EXPECT_EQ(p.y, 80);

    SetFocus(top);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.windowID = id;
    wheel.wheel.y = -2;
    Deliver({wheel});
    auto wheels = ParamsOf(top, WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0]), -240);

    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.windowID = id;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    Deliver({close});
    EXPECT_EQ(CountOf(top, WM_CLOSE), 1);
}

TEST_F(SdlTest, KeysAndTextBecomeKeyAndCharMessages) {
    HWND top = Top(0, 0, 200, 150, WS_POPUP | WS_VISIBLE);
    SetFocus(top);
    uint32_t id = IdOf(top);
    // A typing key: WM_KEYDOWN with its virtual key, and one WM_CHAR from the text.
    Deliver({Key(id, true, SDLK_a, SDL_SCANCODE_A), Text(id, "a"), Key(id, false, SDLK_a, SDL_SCANCODE_A)});
    EXPECT_EQ(ParamsOf(top, WM_KEYDOWN), std::vector<WPARAM>{'A'});
    EXPECT_EQ(ParamsOf(top, WM_CHAR), std::vector<WPARAM>{'a'});
    EXPECT_EQ(ParamsOf(top, WM_KEYUP), std::vector<WPARAM>{'A'});
    // Text of another layout comes as it was typed.
    Rec().Log.clear();
    Deliver({Key(id, true, SDLK_2, SDL_SCANCODE_2), Text(id, "@"), Key(id, false, SDLK_2, SDL_SCANCODE_2)});
    EXPECT_EQ(ParamsOf(top, WM_CHAR), std::vector<WPARAM>{'@'});
    // Keys without text: F5 gives no character; Enter and Ctrl+C give theirs by translation.
    Rec().Log.clear();
    Deliver({Key(id, true, SDLK_F5, SDL_SCANCODE_F5), Key(id, false, SDLK_F5, SDL_SCANCODE_F5),
             Key(id, true, SDLK_RETURN, SDL_SCANCODE_RETURN), Key(id, false, SDLK_RETURN, SDL_SCANCODE_RETURN),
             Key(id, true, SDLK_LCTRL, SDL_SCANCODE_LCTRL), Key(id, true, SDLK_c, SDL_SCANCODE_C, KMOD_LCTRL),
             Key(id, false, SDLK_c, SDL_SCANCODE_C, KMOD_LCTRL), Key(id, false, SDLK_LCTRL, SDL_SCANCODE_LCTRL)});
    EXPECT_EQ(ParamsOf(top, WM_KEYDOWN), (std::vector<WPARAM>{VK_F5, VK_RETURN, VK_CONTROL, 'C'}));
    EXPECT_EQ(ParamsOf(top, WM_CHAR), (std::vector<WPARAM>{13, 3}));
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    // Alt+F is a menu key: WM_SYSKEYDOWN and WM_SYSCHAR, the text dropped.
    Rec().Log.clear();
    Deliver({Key(id, true, SDLK_LALT, SDL_SCANCODE_LALT), Key(id, true, SDLK_f, SDL_SCANCODE_F, KMOD_LALT),
             Text(id, "f"), Key(id, false, SDLK_f, SDL_SCANCODE_F, KMOD_LALT),
             Key(id, false, SDLK_LALT, SDL_SCANCODE_LALT)});
    EXPECT_EQ(ParamsOf(top, WM_SYSCHAR), std::vector<WPARAM>{'f'});
    EXPECT_TRUE(ParamsOf(top, WM_CHAR).empty());
    // Keys still held when the window loses the focus are released.
    Rec().Log.clear();
    SDL_Event lost{};
    lost.type = SDL_WINDOWEVENT;
    lost.window.windowID = id;
    lost.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    Deliver({Key(id, true, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), lost});
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);
    // An Alt press and release that come with a focus change are the driver's key-state
    // reconciliation, not the person's: dropped. Without a focus change they stay.
    Rec().Log.clear();
    SDL_Event gained = lost;
    gained.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    Deliver({gained, Key(id, true, SDLK_LALT, SDL_SCANCODE_LALT), Key(id, false, SDLK_LALT, SDL_SCANCODE_LALT)});
    Deliver({gained, Key(id, true, SDLK_LALT, SDL_SCANCODE_LALT)});  // the release comes later
    Deliver({Key(id, false, SDLK_LALT, SDL_SCANCODE_LALT)});
    EXPECT_TRUE(ParamsOf(top, WM_SYSKEYDOWN).empty());
    EXPECT_TRUE(ParamsOf(top, WM_SYSKEYUP).empty());
    Deliver({Key(id, true, SDLK_LALT, SDL_SCANCODE_LALT), Key(id, false, SDLK_LALT, SDL_SCANCODE_LALT)});
    EXPECT_EQ(ParamsOf(top, WM_SYSKEYDOWN), std::vector<WPARAM>{VK_MENU});
}

TEST_F(SdlTest, LoopOnTheRealClockWaitsForTimersInsteadOfRunningOut) {
    Clock::UseReal();
    HWND top = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    SetTimer(top, 7, 20, nullptr);
    MSG m;
    do {
        ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), TRUE);
        ASSERT_NE(m.message, UINT(WM_NULL));
        DispatchMessageA(&m);
    } while (m.message != WM_TIMER);
    EXPECT_EQ(m.wParam, 7u);
    KillTimer(top, 7);
}

TEST(SdlChoice, RulesAndFallback) {
    using host::windows::DecideBackend;
    EXPECT_EQ(DecideBackend("headless", true, true).Name, "headless");
    EXPECT_EQ(DecideBackend("sdl", false, false).Name, "sdl");
    EXPECT_EQ(DecideBackend(nullptr, true, true).Name, "sdl");
    EXPECT_EQ(DecideBackend(nullptr, false, true).Name, "headless");
    EXPECT_EQ(DecideBackend(nullptr, true, false).Name, "headless");
    auto odd = DecideBackend("x11", false, true);
    EXPECT_EQ(odd.Name, "headless");
    EXPECT_NE(odd.Reason.find("'x11'"), std::string::npos);

    ::setenv("RYX_BACKEND", "sdl", 1);
    ::setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    auto failed = host::windows::ChooseBackend();
    EXPECT_EQ(failed.Name, "headless");
    EXPECT_NE(failed.Reason.find("SDL could not start"), std::string::npos) << failed.Reason;
    EXPECT_STREQ(host::windows::Backend().Name(), "headless");

    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    auto ok = host::windows::ChooseBackend();
    EXPECT_EQ(ok.Name, "sdl") << ok.Reason;
    EXPECT_STREQ(host::windows::Backend().Name(), "sdl");
    host::windows::ReleaseBackend();
    EXPECT_STREQ(host::windows::Backend().Name(), "headless");
    ::unsetenv("RYX_BACKEND");
    ::unsetenv("SDL_VIDEODRIVER");
}

}  // namespace
}  // namespace wintests
