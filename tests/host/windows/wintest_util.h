// Shared set-up of the window manager's tests: a recording window class and a fresh window manager per test.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/rtl/clock.h"
#include "host/windows/inputsim.h"
#include "host/windows/windows.h"
#include "host/windows/wintest.h"

namespace wintests {

using namespace host;

struct TLogEntry {
    HWND Wnd;
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
};

// Every message that reaches a window of the "Rec" classes, and per-window handlers that
// may answer a message themselves (returning a value) instead of the default procedure.
struct TRecorder {
    std::vector<TLogEntry> Log;
    std::map<HWND, std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>> Handlers;
    std::map<HWND, COLORREF> PaintColor;  // WM_PAINT fills the client area with this colour
    std::vector<std::pair<HWND, std::string>> Paints;  // "ncpaint", "erase", "paint" in order
};

inline TRecorder& Rec() {
    static TRecorder r;
    return r;
}

inline LRESULT RecProc(HWND H, UINT M, WPARAM W, LPARAM L) {
    Rec().Log.push_back({H, M, W, L});
    auto it = Rec().Handlers.find(H);
    if (it != Rec().Handlers.end() && it->second) {
        auto fn = it->second;  // the handler may replace itself
        if (auto r = fn(H, M, W, L)) return *r;
    }
    switch (M) {
    case WM_NCPAINT: Rec().Paints.push_back({H, "ncpaint"}); break;
    case WM_ERASEBKGND: Rec().Paints.push_back({H, "erase"}); break;
    case WM_PAINT: {
        auto c = Rec().PaintColor.find(H);
        if (c == Rec().PaintColor.end()) break;
        PAINTSTRUCT ps;
        // WM_PAINT with a DC in wParam paints into that DC (the WM_PRINT path).
        HDC dc = W != 0 ? reinterpret_cast<HDC>(W) : BeginPaint(H, &ps);
        Rec().Paints.push_back({H, "paint"});
        HBRUSH b = CreateSolidBrush(c->second);
        RECT r;
        GetClientRect(H, &r);
        FillRect(dc, &r, b);
        DeleteObject(b);
        if (W == 0) EndPaint(H, &ps);
        return 0;
    }
    default: break;
    }
    return DefWindowProcA(H, M, W, L);
}

// The messages a window got (in order), optionally only those in Filter.
inline std::vector<UINT> MsgsOf(HWND H, std::vector<UINT> Filter = {}) {
    std::vector<UINT> v;
    for (auto& e : Rec().Log)
        if (e.Wnd == H && (Filter.empty() || std::find(Filter.begin(), Filter.end(), e.Msg) != Filter.end()))
            v.push_back(e.Msg);
    return v;
}

inline int CountOf(HWND H, UINT Msg) {
    int n = 0;
    for (auto& e : Rec().Log)
        if (e.Wnd == H && e.Msg == Msg) ++n;
    return n;
}

class WinFixture : public ::testing::Test {
protected:
    void SetUp() override {
        wintest::Reset();
        Clock::UseVirtual();
        Rec() = TRecorder{};
        WNDCLASSA wc;
        wc.lpfnWndProc = &RecProc;
        wc.hCursor = LoadCursorA(0, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1));
        wc.lpszClassName = "Rec";
        ASSERT_NE(RegisterClassA(&wc), 0);
        wc.style = CS_DBLCLKS;
        wc.lpszClassName = "RecDbl";
        ASSERT_NE(RegisterClassA(&wc), 0);
    }
    void TearDown() override {
        wintest::Reset();
        Rec() = TRecorder{};
        Clock::UseReal();
    }
    HWND Top(int X, int Y, int W, int H, DWORD Style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, const char* Text = "Top",
             const char* Cls = "Rec") {
        return CreateWindowExA(0, Cls, Text, Style, X, Y, W, H, nullptr, nullptr, 0, nullptr);
    }
    HWND Child(HWND Parent, int X, int Y, int W, int H, DWORD Style = 0, const char* Cls = "Rec", DWORD ExStyle = 0) {
        return CreateWindowExA(ExStyle, Cls, "", WS_CHILD | WS_VISIBLE | Style, X, Y, W, H, Parent, nullptr, 0,
                               nullptr);
    }
};

}  // namespace wintests
