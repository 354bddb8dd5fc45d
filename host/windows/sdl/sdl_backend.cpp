// The SDL backend: SDL windows for top-levels, dirty-rectangle presenting, SDL input as raw input and window messages.
#include "host/windows/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "host/gdi/gdiobj.h"
#include "host/gdi/region.h"
#include "host/os/keyboard.h"
#include "host/windows/clipboard.h"
#include "host/windows/inputsim.h"
#include "host/windows/wnd_internal.h"

namespace host::windows {

namespace {

bool gAlive = false;  // one backend at a time: SDL's video is process-wide

struct TSdlWin {
    SDL_Window* Window = nullptr;
    uint32_t Id = 0;
    TRegion Pending;      // window coordinates, not yet copied
    bool Minimized = false;
    std::string Title;
};

bool IsPopupLike(const win::TWnd* W) {
    if (W->ExStyle & WS_EX_TOOLWINDOW) return true;
    return (W->Style & WS_POPUP) && (W->Style & WS_CAPTION) != WS_CAPTION;
}

struct TSdlCursorDel {
    void operator()(SDL_Cursor* C) const { SDL_FreeCursor(C); }
};
using TSdlCursorPtr = std::unique_ptr<SDL_Cursor, TSdlCursorDel>;

// The SDL cursor shape standing for one of the system's cursor identifiers.
bool SystemShape(int Id, SDL_SystemCursor& Out) {
    struct TPair {
        int Id;
        SDL_SystemCursor Shape;
    };
    static const TPair kMap[] = {
        {32512, SDL_SYSTEM_CURSOR_ARROW},    {32513, SDL_SYSTEM_CURSOR_IBEAM},    {32514, SDL_SYSTEM_CURSOR_WAIT},
        {32515, SDL_SYSTEM_CURSOR_CROSSHAIR}, {32516, SDL_SYSTEM_CURSOR_ARROW},   {32640, SDL_SYSTEM_CURSOR_SIZEALL},
        {32642, SDL_SYSTEM_CURSOR_SIZENWSE}, {32643, SDL_SYSTEM_CURSOR_SIZENESW}, {32644, SDL_SYSTEM_CURSOR_SIZEWE},
        {32645, SDL_SYSTEM_CURSOR_SIZENS},   {32646, SDL_SYSTEM_CURSOR_SIZEALL},  {32648, SDL_SYSTEM_CURSOR_NO},
        {32649, SDL_SYSTEM_CURSOR_HAND},     {32650, SDL_SYSTEM_CURSOR_WAITARROW}, {32651, SDL_SYSTEM_CURSOR_ARROW}};
    for (const auto& p : kMap)
        if (p.Id == Id) {
            Out = p.Shape;
            return true;
        }
    return false;
}

// A colour cursor from an icon object: the mask's kept pixels become transparent.
SDL_Cursor* ColorCursor(const gdi::TIconObj& Icon) {
    int w = Icon.Width, h = Icon.Height;
    if (w <= 0 || h <= 0 || w > 256 || h > 256) return nullptr;
    bool mono = Icon.Color.empty();
    if (Icon.Mask.size() < size_t(w) * size_t(h) * (mono ? 2 : 1)) return nullptr;
    if (!mono && Icon.Color.size() < size_t(w) * size_t(h)) return nullptr;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (s == nullptr) return nullptr;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + size_t(y) * size_t(s->pitch));
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * size_t(w) + size_t(x);
            bool keep = (Icon.Mask[i] & 0xFFFFFF) != 0;
            uint32_t color;
            if (mono) {
                bool white = (Icon.Mask[i + size_t(w) * size_t(h)] & 0xFFFFFF) != 0;
                if (keep && !white) {
                    row[x] = 0;
                    continue;
                }
                color = keep ? 0x000000 : (white ? 0xFFFFFF : 0x000000);  // an inverting pixel shows black
            } else {
                if (keep) {
                    row[x] = 0;
                    continue;
                }
                color = Icon.Color[i] & 0xFFFFFF;
            }
            row[x] = 0xFF000000u | color;
        }
    }
    SDL_Cursor* c = SDL_CreateColorCursor(s, std::clamp(Icon.HotX, 0, w - 1), std::clamp(Icon.HotY, 0, h - 1));
    SDL_FreeSurface(s);
    return c;
}

}  // namespace

struct TSdlBackend::TImpl {
    std::unordered_map<HWND, TSdlWin> Wins;
    std::unordered_map<uint32_t, HWND> ById;
    std::vector<int> KeysDown;  // virtual keys pressed through SDL and not yet released
    std::unordered_map<HCURSOR, TSdlCursorPtr> Cursors;
    HCURSOR ShownCursor = nullptr;
    bool Captured = false;
    DWORD ClipSeq = 0;
    std::string ClipText;
    uint64_t Presented = 0;
    bool CloseSeen = false;
    bool X11 = false;  // the video driver is X11's
    std::vector<SDL_Keycode> DroppedModifiers;  // presses dropped whose releases are to come
    // The system's keyboard focus must go back to the active window: after a pop-up
    // closes, and without a window manager (which would otherwise do it) at all.
    bool FocusDirty = true;
    HWND FocusedActive = nullptr;
    // Pop-up windows (menus, lists, hints) come and go often: their SDL windows are hidden
    // and used again rather than destroyed, so that no request of the system's is left
    // addressed to a window that no longer exists.
    std::vector<SDL_Window*> Pool;

    void SyncFocus() {
        HWND active = GetActiveWindow();
        if (!FocusDirty && active == FocusedActive) return;
        FocusDirty = false;
        FocusedActive = active;
        auto it = Wins.find(active);
        win::TWnd* w = win::Find(active);
        if (it == Wins.end() || w == nullptr || IsPopupLike(w) || it->second.Minimized) return;
        if (SDL_GetWindowFlags(it->second.Window) & SDL_WINDOW_SHOWN) SDL_SetWindowInputFocus(it->second.Window);
    }

    HWND HwndOf(uint32_t Id) const {
        auto it = ById.find(Id);
        return it == ById.end() ? nullptr : it->second;
    }

    // A point of an SDL window in screen coordinates.
    bool ToScreen(uint32_t Id, int X, int Y, POINT& Out) const {
        win::TWnd* w = win::Find(HwndOf(Id));
        if (w == nullptr) return false;
        Out = POINT{w->Rect.left + X, w->Rect.top + Y};
        return true;
    }

    void SyncToggles() {
        BYTE state[256];
        GetKeyboardState(state);
        SDL_Keymod mod = SDL_GetModState();
        auto set = [&](int vk, bool on) { state[vk] = BYTE(on ? (state[vk] | 1) : (state[vk] & ~1)); };
        set(VK_CAPITAL, (mod & KMOD_CAPS) != 0);
        set(VK_NUMLOCK, (mod & KMOD_NUM) != 0);
        set(VK_SCROLL, (mod & KMOD_SCROLL) != 0);
        SetKeyboardState(state);
    }

    void ReleaseHeldKeys() {
        for (int vk : KeysDown) Input::KeyUp(vk);
        KeysDown.clear();
    }

    void SyncCursor() {
        HCURSOR want = GetCursor();
        if (want == ShownCursor) return;
        ShownCursor = want;
        if (want == nullptr) {
            SDL_ShowCursor(SDL_DISABLE);
            return;
        }
        SDL_ShowCursor(SDL_ENABLE);
        auto it = Cursors.find(want);
        if (it == Cursors.end()) {
            SDL_Cursor* c = nullptr;
            for (int id = 32512; id <= 32651 && c == nullptr; ++id) {
                SDL_SystemCursor shape;
                if (SystemShape(id, shape) && win::SystemCursor(id) == want) c = SDL_CreateSystemCursor(shape);
            }
            if (c == nullptr)
                if (auto* icon = gdi::Find<gdi::TIconObj>(want)) c = ColorCursor(*icon);
            it = Cursors.emplace(want, TSdlCursorPtr(c)).first;
        }
        if (it->second) SDL_SetCursor(it->second.get());
    }

    void SyncCapture() {
        bool want = GetCapture() != nullptr;
        if (want == Captured) return;
        Captured = want;
        SDL_CaptureMouse(want ? SDL_TRUE : SDL_FALSE);
    }

    // Our clipboard's text goes to the system's when it changed here.
    void SyncClipboardOut() {
        DWORD seq = GetClipboardSequenceNumber();
        if (seq == ClipSeq) return;
        ClipSeq = seq;
        if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenClipboard(nullptr)) return;
        std::string text;
        if (HANDLE h = GetClipboardData(CF_TEXT)) {
            auto mem = static_cast<HGLOBAL>(h);
            if (const char* p = static_cast<const char*>(GlobalLock(mem))) {
                text.assign(p, strnlen(p, GlobalSize(mem)));
                GlobalUnlock(mem);
            }
        }
        CloseClipboard();
        if (text != ClipText) {
            ClipText = text;
            SDL_SetClipboardText(text.c_str());
        }
    }

    // The system's clipboard text comes into ours when another program changed it.
    void SyncClipboardIn() {
        if (!SDL_HasClipboardText()) return;
        char* t = SDL_GetClipboardText();
        if (t == nullptr) return;
        std::string text(t);
        SDL_free(t);
        if (text == ClipText || !OpenClipboard(nullptr)) return;
        EmptyClipboard();
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        if (mem != nullptr) {
            if (void* p = GlobalLock(mem)) {
                std::memcpy(p, text.c_str(), text.size() + 1);
                GlobalUnlock(mem);
            }
            if (SetClipboardData(CF_TEXT, mem) == nullptr) GlobalFree(mem);
        }
        CloseClipboard();
        ClipText = text;
        ClipSeq = GetClipboardSequenceNumber();
    }

    void Copy(HWND H, TSdlWin& W) {
        if (W.Pending.Empty() || W.Window == nullptr) return;
        win::TWnd* t = win::Find(H);
        if (t == nullptr || !t->Surface || W.Minimized) {
            W.Pending.SetEmpty();
            return;
        }
        SDL_Surface* s = SDL_GetWindowSurface(W.Window);
        if (s == nullptr) {
            W.Pending.SetEmpty();
            return;
        }
        const gdi::TBitmapObj& src = *t->Surface;
        W.Pending.Intersect(RECT{0, 0, std::min(src.Width, s->w), std::min(src.Height, s->h)});
        std::vector<SDL_Rect> rects;
        bool locked = SDL_MUSTLOCK(s) && SDL_LockSurface(s) == 0;
        for (const RECT& r : W.Pending.Rects()) {
            int w = r.right - r.left, h = r.bottom - r.top;
            if (w <= 0 || h <= 0) continue;
            auto* dst = static_cast<uint8_t*>(s->pixels) + size_t(r.top) * size_t(s->pitch) +
                        size_t(r.left) * size_t(s->format->BytesPerPixel);
            const uint32_t* from = src.Row(r.top) + r.left;
            if (s->format->format == SDL_PIXELFORMAT_RGB888) {
                for (int y = 0; y < h; ++y)
                    std::memcpy(dst + size_t(y) * size_t(s->pitch), from + size_t(y) * size_t(src.Width), size_t(w) * 4);
            } else {
                SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_RGB888, from, src.Width * 4, s->format->format, dst, s->pitch);
            }
            rects.push_back(SDL_Rect{r.left, r.top, w, h});
            Presented += uint64_t(w) * uint64_t(h);
        }
        if (locked) SDL_UnlockSurface(s);
        W.Pending.SetEmpty();
        if (!rects.empty()) SDL_UpdateWindowSurfaceRects(W.Window, rects.data(), int(rects.size()));
    }

    void MarkAll(HWND H, TSdlWin& W) {
        if (win::TWnd* t = win::Find(H); t != nullptr && t->Surface)
            W.Pending.Union(RECT{0, 0, t->Surface->Width, t->Surface->Height});
    }

    bool Key(const SDL_KeyboardEvent& K, bool TextFollows) {
        int vk = SdlKeyToVirtualKey(K.keysym.sym, K.keysym.scancode);
        if (vk == 0) return false;
        if (K.type == SDL_KEYDOWN) {
            if (std::find(KeysDown.begin(), KeysDown.end(), vk) == KeysDown.end()) KeysDown.push_back(vk);
            Input::KeyDown(vk | (TextFollows ? kKeyTextFollows : 0));
        } else {
            KeysDown.erase(std::remove(KeysDown.begin(), KeysDown.end(), vk), KeysDown.end());
            Input::KeyUp(vk);
        }
        return true;
    }

    // Each byte of the text as WM_CHAR to the window with the focus, in input order.
    void Text(const char* Utf8) {
        std::string text(Utf8);
        Input::Call([text] {
            HWND to = GetFocus();
            if (to == nullptr) to = GetActiveWindow();
            if (to == nullptr) return;
            for (unsigned char c : text) PostMessageA(to, WM_CHAR, WPARAM(c), 1);
        });
    }

    bool Window(const SDL_WindowEvent& E) {
        HWND h = HwndOf(E.windowID);
        win::TWnd* w = win::Find(h);
        if (w == nullptr) return false;
        auto it = Wins.find(h);
        switch (E.event) {
        case SDL_WINDOWEVENT_CLOSE:
            CloseSeen = true;
            PostMessageA(h, WM_CLOSE, 0, 0);
            return true;
        case SDL_WINDOWEVENT_EXPOSED:
            if (it != Wins.end()) MarkAll(h, it->second);
            return false;
        case SDL_WINDOWEVENT_MOVED:
            if (E.data1 != w->Rect.left || E.data2 != w->Rect.top)
                SetWindowPos(h, nullptr, E.data1, E.data2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (it != Wins.end()) MarkAll(h, it->second);
            if (E.data1 > 0 && E.data2 > 0 && !it->second.Minimized && (E.data1 != w->Width() || E.data2 != w->Height()))
                SetWindowPos(h, nullptr, 0, 0, E.data1, E.data2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            return true;
        case SDL_WINDOWEVENT_MINIMIZED:
            if (!(w->Style & WS_MINIMIZE)) {
                if (it != Wins.end()) it->second.Minimized = true;
                ShowWindow(h, SW_MINIMIZE);
            }
            return true;
        case SDL_WINDOWEVENT_MAXIMIZED:
            if (!(w->Style & WS_MAXIMIZE)) ShowWindow(h, SW_MAXIMIZE);
            return true;
        case SDL_WINDOWEVENT_RESTORED:
            if (it != Wins.end()) it->second.Minimized = false;
            if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) ShowWindow(h, SW_RESTORE);
            if (it != Wins.end()) MarkAll(h, it->second);
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            SyncToggles();
            if (IsPopupLike(w) || !IsWindowEnabled(h)) return true;
            // Coming back from another program activates the application again.
            if (GetForegroundWindow() == nullptr) SetForegroundWindow(h);
            else if (GetActiveWindow() != h) SetActiveWindow(h);
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            ReleaseHeldKeys();
            return true;
        default: return false;
        }
    }
};

TSdlBackend::TSdlBackend() : F(std::make_unique<TImpl>()) {}

TSdlBackend::~TSdlBackend() {
    for (auto& [h, w] : F->Wins)
        if (w.Window != nullptr) SDL_DestroyWindow(w.Window);
    for (SDL_Window* w : F->Pool) SDL_DestroyWindow(w);
    F->Wins.clear();
    F->Cursors.clear();
    if (F->Captured) SDL_CaptureMouse(SDL_FALSE);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    gAlive = false;
}

std::unique_ptr<TSdlBackend> CreateSdlBackend(std::string& Reason) {
    if (gAlive) {
        Reason = "an SDL backend is already running";
        return nullptr;
    }
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The driver's own framebuffer (shared memory on X11) sends only the dirty rectangles;
    // a texture would be drawn whole on every update.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        Reason = std::string("SDL could not start its video: ") + SDL_GetError();
        return nullptr;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    Reason = std::string("SDL started with the '") + (driver != nullptr ? driver : "?") + "' video driver";
    const bool x11 = driver != nullptr && std::strcmp(driver, "x11") == 0;
    if (x11) InstallDisplayLostHandler();
    gAlive = true;
    std::unique_ptr<TSdlBackend> b(new TSdlBackend());
    b->F->X11 = x11;
    b->F->SyncToggles();
    SDL_StartTextInput();
    return b;
}

SDL_Window* TSdlBackend::WindowOf(HWND Wnd) const {
    auto it = F->Wins.find(Wnd);
    return it == F->Wins.end() ? nullptr : it->second.Window;
}

uint64_t TSdlBackend::PixelsPresented() const { return F->Presented; }

void TSdlBackend::TopLevelShown(HWND Wnd, const RECT& Bounds) {
    win::TWnd* w = win::Find(Wnd);
    if (w == nullptr) return;
    auto& sw = F->Wins[Wnd];
    int cx = std::max(1, int(Bounds.right - Bounds.left)), cy = std::max(1, int(Bounds.bottom - Bounds.top));
    if (sw.Window == nullptr) {
        // The window's frame and caption are drawn into its surface, so the system adds none.
        Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
        if (IsPopupLike(w)) flags |= SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_POPUP_MENU;
        if (IsPopupLike(w) && !F->Pool.empty()) {
            sw.Window = F->Pool.back();
            F->Pool.pop_back();
            SDL_SetWindowPosition(sw.Window, Bounds.left, Bounds.top);
            SDL_SetWindowSize(sw.Window, cx, cy);
        } else {
            sw.Window = SDL_CreateWindow(w->Text.c_str(), Bounds.left, Bounds.top, cx, cy, flags);
        }
        if (sw.Window == nullptr) {
            std::fprintf(stderr, "window '%s' cannot be shown: %s\n", w->Text.c_str(), SDL_GetError());
            F->Wins.erase(Wnd);
            return;
        }
        sw.Id = SDL_GetWindowID(sw.Window);
        sw.Title = w->Text;
        F->ById[sw.Id] = Wnd;
    } else {
        SDL_SetWindowPosition(sw.Window, Bounds.left, Bounds.top);
        SDL_SetWindowSize(sw.Window, cx, cy);
    }
    if (sw.Minimized || (w->Style & WS_MINIMIZE)) SDL_RestoreWindow(sw.Window);
    sw.Minimized = false;
    SDL_ShowWindow(sw.Window);
    if (!IsPopupLike(w)) SDL_RaiseWindow(sw.Window);
    F->FocusDirty = true;
    F->MarkAll(Wnd, sw);
}

void TSdlBackend::TopLevelHidden(HWND Wnd) {
    auto it = F->Wins.find(Wnd);
    if (it == F->Wins.end()) return;
    win::TWnd* w = win::Find(Wnd);
    if (w != nullptr && (w->Style & WS_MINIMIZE) && (w->Style & WS_VISIBLE)) {
        it->second.Minimized = true;
        SDL_MinimizeWindow(it->second.Window);
    } else {
        SDL_HideWindow(it->second.Window);
    }
    it->second.Pending.SetEmpty();
    F->FocusDirty = true;
}

void TSdlBackend::TopLevelMoved(HWND Wnd, const RECT& Bounds) {
    auto it = F->Wins.find(Wnd);
    if (it == F->Wins.end()) return;
    SDL_Window* sw = it->second.Window;
    int x, y, cx, cy;
    SDL_GetWindowPosition(sw, &x, &y);
    SDL_GetWindowSize(sw, &cx, &cy);
    int ncx = std::max(1, int(Bounds.right - Bounds.left)), ncy = std::max(1, int(Bounds.bottom - Bounds.top));
    if (x != Bounds.left || y != Bounds.top) SDL_SetWindowPosition(sw, Bounds.left, Bounds.top);
    if (cx != ncx || cy != ncy) {
        SDL_SetWindowSize(sw, ncx, ncy);
        F->MarkAll(Wnd, it->second);
    }
}

void TSdlBackend::TopLevelDestroyed(HWND Wnd) {
    auto it = F->Wins.find(Wnd);
    if (it == F->Wins.end()) return;
    F->ById.erase(it->second.Id);
    if (SDL_Window* sw = it->second.Window) {
        if (SDL_GetWindowFlags(sw) & SDL_WINDOW_POPUP_MENU) {
            SDL_HideWindow(sw);
            F->Pool.push_back(sw);
        } else {
            SDL_DestroyWindow(sw);
        }
    }
    F->Wins.erase(it);
    F->FocusDirty = true;
}

void TSdlBackend::Present(HWND Wnd, const TRegion& Dirty) {
    auto it = F->Wins.find(Wnd);
    if (it != F->Wins.end()) it->second.Pending.Union(Dirty);
}

void TSdlBackend::Flush() {
    for (auto& [h, w] : F->Wins) {
        if (win::TWnd* t = win::Find(h); t != nullptr && t->Text != w.Title && w.Window != nullptr) {
            w.Title = t->Text;
            SDL_SetWindowTitle(w.Window, w.Title.c_str());
        }
        F->Copy(h, w);
    }
    F->SyncFocus();
}

bool TSdlBackend::HandleEvent(const SDL_Event& E) {
    POINT p;
    switch (E.type) {
    case SDL_MOUSEMOTION:
        if (!F->ToScreen(E.motion.windowID, E.motion.x, E.motion.y, p)) return false;
        Input::MouseMove(p.x, p.y);
        return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        if (!F->ToScreen(E.button.windowID, E.button.x, E.button.y, p)) return false;
        Input::Button b;
        if (E.button.button == SDL_BUTTON_LEFT) b = Input::Button::Left;
        else if (E.button.button == SDL_BUTTON_RIGHT) b = Input::Button::Right;
        else if (E.button.button == SDL_BUTTON_MIDDLE) b = Input::Button::Middle;
        else return false;
        Input::MouseMove(p.x, p.y);
        if (E.type == SDL_MOUSEBUTTONDOWN) Input::MouseDown(b);
        else Input::MouseUp(b);
        return true;
    }
    case SDL_MOUSEWHEEL: {
        int notches = E.wheel.y;
        if (E.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
        if (notches == 0) return false;
        Input::Wheel(notches * 120);
        return true;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: return F->Key(E.key, false);
    case SDL_TEXTINPUT:
        F->Text(E.text.text);
        return true;
    case SDL_WINDOWEVENT: return F->Window(E.window);
    case SDL_CLIPBOARDUPDATE:
        F->SyncClipboardIn();
        return false;
    case SDL_QUIT:
        // A close of a window has its own event; a quit alone comes from a signal.
        if (!F->CloseSeen) PostQuitMessage(0);
        return true;
    default: return false;
    }
}

// How often an active application on X11 reads events while it waits (see WaitEvents).
constexpr int kFocusPollMs = 250;

bool TSdlBackend::WaitEvents(uint32_t TimeoutMs) {
    Flush();
    F->SyncCursor();
    F->SyncCapture();
    F->SyncClipboardOut();
    std::vector<SDL_Event> batch;
    SDL_Event e;
    SDL_PumpEvents();
    if (SDL_PeepEvents(&e, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) <= 0 && TimeoutMs != 0) {
        int t = TimeoutMs == kWaitForever ? -1 : int(std::min<uint32_t>(TimeoutMs, 0x7FFFFFFF));
        // SDL's X11 driver holds a lost focus back for a moment and reports it only when
        // events are read again: while the application is active it looks again soon, so
        // that another program taking the focus deactivates it at once.
        if (F->X11 && GetForegroundWindow() != nullptr && (t < 0 || t > kFocusPollMs)) t = kFocusPollMs;
        if (SDL_WaitEventTimeout(&e, t)) batch.push_back(e);
    }
    while (SDL_PollEvent(&e)) batch.push_back(e);
    F->CloseSeen = false;
    bool focusLost = false;
    for (const auto& ev : batch) {
        if (ev.type == SDL_WINDOWEVENT && ev.window.event == SDL_WINDOWEVENT_CLOSE) F->CloseSeen = true;
        if (ev.type == SDL_WINDOWEVENT && ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) focusLost = true;
    }
    // When the keyboard focus moves between our windows (a pop-up maps and takes it, then
    // it is handed back; there may be no window manager), SDL's X11 driver reconciles
    // its key state and reports modifier presses and releases nobody made, right after
    // the focus event. A modifier press that follows a focus change within one batch is
    // such a report and is dropped, and so is its release, whenever it comes: they would
    // close an open menu and select the menu bar.
    std::vector<bool> skip(batch.size(), false);
    bool afterFocus = false;
    for (size_t i = 0; i < batch.size(); ++i) {
        const SDL_Event& ev = batch[i];
        if (ev.type == SDL_WINDOWEVENT &&
            (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED || ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST)) {
            afterFocus = true;
            continue;
        }
        if (ev.type != SDL_KEYDOWN && ev.type != SDL_KEYUP) continue;
        const int vk = SdlKeyToVirtualKey(ev.key.keysym.sym, ev.key.keysym.scancode);
        const bool modifier = vk == VK_MENU || vk == VK_SHIFT || vk == VK_CONTROL;
        auto& dropped = F->DroppedModifiers;
        if (ev.type == SDL_KEYDOWN && afterFocus && modifier) {
            skip[i] = true;
            dropped.push_back(ev.key.keysym.sym);
        } else if (ev.type == SDL_KEYUP && std::find(dropped.begin(), dropped.end(), ev.key.keysym.sym) != dropped.end()) {
            skip[i] = true;
            dropped.erase(std::find(dropped.begin(), dropped.end(), ev.key.keysym.sym));
        } else if (!modifier) {
            afterFocus = false;
        }
    }
    bool any = false;
    for (size_t i = 0; i < batch.size(); ++i) {
        const SDL_Event& ev = batch[i];
        if (skip[i]) continue;
        if (ev.type == SDL_KEYDOWN) {
            // A key that types a character is followed by its text; with Alt alone the
            // character is a menu accelerator (WM_SYSCHAR), so that text is dropped.
            bool textNext = i + 1 < batch.size() && batch[i + 1].type == SDL_TEXTINPUT;
            SDL_Keymod mod = SDL_Keymod(ev.key.keysym.mod);
            bool altOnly = (mod & KMOD_ALT) && !(mod & KMOD_CTRL);
            any |= F->Key(ev.key, textNext && !altOnly);
            if (textNext && altOnly) ++i;
            continue;
        }
        any |= HandleEvent(ev);
    }
    // Another program took the keyboard focus: the application is no longer the active
    // one (WM_ACTIVATEAPP, the application's OnDeactivate) until one of its windows gets
    // the focus back.
    if (focusLost && SDL_GetKeyboardFocus() == nullptr && GetForegroundWindow() != nullptr && F->X11) {
        std::vector<SDL_Window*> ours;
        for (auto& [h, w] : F->Wins)
            if (w.Window != nullptr) ours.push_back(w.Window);
        if (FocusInAnotherProgram(ours)) {
            win::SetAppActiveState(false);
            any = true;
        }
    }
    Flush();
    return any;
}

int SdlKeyToVirtualKey(int Key, int Scancode) {
    if (Key >= 'a' && Key <= 'z') return Key - 'a' + 'A';
    if (Key >= '0' && Key <= '9') return Key;
    switch (Key) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_LGUI: return VK_LWIN;
    case SDLK_RGUI: return VK_RWIN;
    case SDLK_APPLICATION: return VK_APPS;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_PRINTSCREEN: return VK_SNAPSHOT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_HELP: return VK_HELP;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_1: return VK_NUMPAD1;
    case SDLK_KP_2: return VK_NUMPAD2;
    case SDLK_KP_3: return VK_NUMPAD3;
    case SDLK_KP_4: return VK_NUMPAD4;
    case SDLK_KP_5: return VK_NUMPAD5;
    case SDLK_KP_6: return VK_NUMPAD6;
    case SDLK_KP_7: return VK_NUMPAD7;
    case SDLK_KP_8: return VK_NUMPAD8;
    case SDLK_KP_9: return VK_NUMPAD9;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_SEMICOLON: return VK_OEM_1;
    case SDLK_EQUALS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    case SDLK_SLASH: return VK_OEM_2;
    case SDLK_BACKQUOTE: return VK_OEM_3;
    case SDLK_LEFTBRACKET: return VK_OEM_4;
    case SDLK_BACKSLASH: return VK_OEM_5;
    case SDLK_RIGHTBRACKET: return VK_OEM_6;
    case SDLK_QUOTE: return VK_OEM_7;
    default: break;
    }
    if (Key >= SDLK_F1 && Key <= SDLK_F12) return VK_F1 + (Key - SDLK_F1);
    // Keys of other layouts: the key at the same place on a US keyboard.
    if (Scancode >= SDL_SCANCODE_A && Scancode <= SDL_SCANCODE_Z) return 'A' + (Scancode - SDL_SCANCODE_A);
    if (Scancode >= SDL_SCANCODE_1 && Scancode <= SDL_SCANCODE_9) return '1' + (Scancode - SDL_SCANCODE_1);
    if (Scancode == SDL_SCANCODE_0) return '0';
    return 0;
}

}  // namespace host::windows
