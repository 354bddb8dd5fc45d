// Test helpers of the window manager: reset, counts, screenshots, the application's activation and the cursor.
#include "host/windows/wintest.h"

#include "host/gdi/gdi.h"
#include "host/rtl/sysutils.h"
#include "host/windows/inputsim.h"
#include "host/windows/wnd_internal.h"

namespace host::wintest {

using namespace win;

void Reset() {
    TState& s = S();
    Desktop();
    std::vector<HWND> tops;
    for (TWnd* t : Desktop()->Children) tops.push_back(t->Handle);
    s.Capture = s.Focus = nullptr;
    for (HWND h : tops) DestroyWindow(h);
    // Whatever survived (a window that refused to die) is dropped without messages.
    s.Desktop->Children.clear();
    for (auto it = s.Windows.begin(); it != s.Windows.end();) {
        if (it->second.get() != s.Desktop) {
            it->second->Dead = true;
            it->second->Class->Windows = 0;
            UnindexWindow(it->second->Handle);
            s.Graveyard.push_back(std::move(it->second));
            it = s.Windows.erase(it);
        } else {
            ++it;
        }
    }
    ResetQueue();
    ResetTimers();
    ResetInput();
    ResetPaint();
    keyboard::Reset();
    s.Capture = s.Focus = s.Active = s.LastActive = nullptr;
    s.AppActive = true;
    s.CursorPos = POINT{0, 0};
    s.Beeps = 0;
    s.MessageCount = 0;
    auto& classes = s.Classes;
    for (auto& c : classes)
        if (!c->Predefined) c->Unregistered = true;
    classes.erase(std::remove_if(classes.begin(), classes.end(), [](auto& c) { return !c->Predefined; }), classes.end());
    ResetMonitors();
    ResetCursors();
    InstallSysColorHook();
    if (s.SendDepth == 0) s.Graveyard.clear();
    Desktop();
    GeometryChanged();
}

int LiveWindowCount() {
    Desktop();
    return int(S().Windows.size()) - 1;
}

uint64_t MessageCount() { return S().MessageCount; }
int BeepCount() { return S().Beeps; }

bool CaptureWindow(HWND Wnd, TPixelImage& Out) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return false;
    UpdateAllWindows();
    if ((w = Find(Wnd)) == nullptr) return false;
    TWnd* top = TopOf(w);
    if (top == nullptr || !top->Surface) return false;
    const auto& s = *top->Surface;
    POINT o = WindowOriginSurface(w);
    Out = TPixelImage{};
    Out.Width = w->Width();
    Out.Height = w->Height();
    Out.Pixels.assign(size_t(Out.Width) * size_t(Out.Height), 0xFF000000);
    for (int y = 0; y < Out.Height; ++y)
        for (int x = 0; x < Out.Width; ++x) {
            int sx = o.x + x, sy = o.y + y;
            if (sx < 0 || sy < 0 || sx >= s.Width || sy >= s.Height) continue;
            Out.Pixels[size_t(y) * size_t(Out.Width) + size_t(x)] = 0xFF000000 | s.Row(sy)[sx];
        }
    return true;
}

bool SaveWindowPng(HWND Wnd, const std::string& FileName) {
    TPixelImage img;
    if (!CaptureWindow(Wnd, img)) return false;
    try {
        return WriteFileAtomic(FileName, WritePng(img));
    } catch (...) {
        return false;
    }
}

bool CaptureDesktop(TPixelImage& Out) {
    UpdateAllWindows();
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) return false;
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    bool ok = CaptureDC(dc, r, Out);
    ReleaseDC(nullptr, dc);
    return ok;
}

bool SaveDesktopPng(const std::string& FileName) {
    UpdateAllWindows();
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) return false;
    RECT r{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    bool ok = SaveDCPng(dc, r, FileName);
    ReleaseDC(nullptr, dc);
    return ok;
}

uint32_t ClientPixel(HWND Wnd, int X, int Y) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return 0xFFFFFFFF;
    UpdateAllWindows();
    if ((w = Find(Wnd)) == nullptr) return 0xFFFFFFFF;
    if (X < 0 || Y < 0 || X >= w->Client.right - w->Client.left || Y >= w->Client.bottom - w->Client.top)
        return 0xFFFFFFFF;
    TWnd* top = TopOf(w);
    if (top == nullptr || !top->Surface) return 0xFFFFFFFF;
    POINT o = WindowOriginSurface(w);
    int sx = o.x + w->Client.left + X, sy = o.y + w->Client.top + Y;
    const auto& s = *top->Surface;
    if (sx < 0 || sy < 0 || sx >= s.Width || sy >= s.Height) return 0xFFFFFFFF;
    return s.Row(sy)[sx];
}

void SetAppActive(bool Active) { SetAppActiveState(Active); }
bool AppActive() { return S().AppActive; }

HCURSOR CurrentCursor() { return S().Cursor; }

}  // namespace host::wintest
