// Tests of scroll bars, colour-change broadcasts, mouse-leave tracking, drag detection and clipped window DCs.
#include "wintest_util.h"

#include "host/gdi/gdiobj.h"

namespace wintests {
namespace {

using WinExtras = WinFixture;

TEST_F(WinExtras, ScrollBarsShowWithTheirRangeAndSendScrollCodes) {
    HWND w = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
    RECT cr;
    GetClientRect(w, &cr);
    EXPECT_EQ(cr.right, 200);
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 500;  // clamped to max - page + 1
    EXPECT_EQ(SetScrollInfo(w, SB_VERT, &si, TRUE), 90);
    EXPECT_TRUE(GetWindowLongA(w, GWL_STYLE) & WS_VSCROLL);
    GetClientRect(w, &cr);
    EXPECT_EQ(cr.right, 200 - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(SendMessageA(w, WM_NCHITTEST, 0, MAKELPARAM(195, 100)), HTVSCROLL);
    SetScrollPos(w, SB_VERT, 40, TRUE);
    EXPECT_EQ(GetScrollPos(w, SB_VERT), 40);
    // A click on the down arrow: SB_LINEDOWN then SB_ENDSCROLL.
    Input::Click(192, 195);
    Input::ProcessAll();
    std::vector<WORD> codes;
    for (auto& e : Rec().Log)
        if (e.Wnd == w && e.Msg == WM_VSCROLL) codes.push_back(LOWORD(e.WParam));
    EXPECT_EQ(codes, (std::vector<WORD>{SB_LINEDOWN, SB_ENDSCROLL}));
    // A range that fits the page hides the bar again.
    si.fMask = SIF_RANGE | SIF_PAGE;
    si.nMax = 5;
    si.nPage = 10;
    SetScrollInfo(w, SB_VERT, &si, TRUE);
    EXPECT_FALSE(GetWindowLongA(w, GWL_STYLE) & WS_VSCROLL);
    int mn = -1, mx = -1;
    EXPECT_TRUE(GetScrollRange(w, SB_VERT, &mn, &mx));
    EXPECT_EQ(mx, 5);
    EXPECT_EQ(SetScrollPos(nullptr, SB_VERT, 1, TRUE), 0);
}

TEST_F(WinExtras, SysColorChangeReachesEveryTopLevelAndRepaints) {
    HWND a = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND hidden = Top(0, 0, 100, 100, WS_POPUP);
    Input::ProcessAll();
    int idx = COLOR_WINDOW;
    COLORREF c = RGB(1, 2, 3);
    SetSysColors(1, &idx, &c);
    EXPECT_EQ(CountOf(a, WM_SYSCOLORCHANGE), 1);
    EXPECT_EQ(CountOf(hidden, WM_SYSCOLORCHANGE), 1);
    EXPECT_EQ(wintest::ClientPixel(a, 50, 50), gdi::ToPixel(c));  // repainted with the class brush
    ResetSysColors();
}

TEST_F(WinExtras, MouseLeaveTrackingAndDragDetect) {
    HWND w = Top(0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
    HWND a = Child(w, 0, 0, 100, 100);
    HWND b = Child(w, 150, 0, 100, 100);
    Input::MouseMove(50, 50);
    Input::Call([&] {
        TRACKMOUSEEVENT t;
        t.dwFlags = TME_LEAVE;
        t.hwndTrack = a;
        EXPECT_TRUE(TrackMouseEvent(&t));
    });
    Input::MouseMove(60, 60);
    Input::MouseMove(200, 50);
    Input::ProcessAll();
    EXPECT_EQ(CountOf(a, WM_MOUSELEAVE), 1);
    EXPECT_EQ(CountOf(b, WM_MOUSEMOVE), 1);
    // DragDetect: true once the mouse moves past SM_CXDRAG with the button down.
    BOOL detected = -1;
    Rec().Handlers[a] = [&](HWND H, UINT M, WPARAM, LPARAM L) -> std::optional<LRESULT> {
        if (M == WM_LBUTTONDOWN) detected = DragDetect(H, POINT{GET_X_LPARAM(L), GET_Y_LPARAM(L)});
        return std::nullopt;
    };
    Input::Drag(POINT{10, 10}, POINT{30, 10}, 2);
    Input::ProcessAll();
    EXPECT_EQ(detected, TRUE);
    Input::Click(10, 10);
    Input::ProcessAll();
    EXPECT_EQ(detected, FALSE);
}

TEST_F(WinExtras, GetDCExClipRegionsAndDrawingOverChildren) {
    HWND w = Top(100, 100, 200, 200, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    HWND c = Child(w, 0, 0, 50, 50);
    Rec().PaintColor[c] = RGB(0, 0, 255);
    Input::ProcessAll();
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 200, 200};
    // GetDC honours WS_CLIPCHILDREN; GetDCEx without DCX_CLIPCHILDREN draws over the child.
    HDC dc = GetDC(w);
    FillRect(dc, &all, red);
    ReleaseDC(w, dc);
    EXPECT_EQ(wintest::ClientPixel(c, 10, 10), gdi::ToPixel(RGB(0, 0, 255)));
    dc = GetDCEx(w, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
    FillRect(dc, &all, red);
    ReleaseDC(w, dc);
    EXPECT_EQ(wintest::ClientPixel(c, 10, 10), gdi::ToPixel(RGB(255, 0, 0)));
    // DCX_INTERSECTRGN with a region in screen coordinates.
    HRGN rgn = CreateRectRgn(100 + 150, 100 + 150, 100 + 160, 100 + 160);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    dc = GetDCEx(w, rgn, DCX_CACHE | DCX_INTERSECTRGN);
    FillRect(dc, &all, green);
    ReleaseDC(w, dc);
    EXPECT_EQ(wintest::ClientPixel(w, 155, 155), gdi::ToPixel(RGB(0, 255, 0)));
    EXPECT_EQ(wintest::ClientPixel(w, 140, 140), gdi::ToPixel(RGB(255, 0, 0)));
    EXPECT_EQ(WindowFromDC(dc), nullptr);
    // The desktop DC is the screen.
    HDC screen = GetDC(GetDesktopWindow());
    EXPECT_EQ(GetPixel(screen, 100 + 155, 100 + 155), RGB(0, 255, 0));
    ReleaseDC(GetDesktopWindow(), screen);
    DeleteObject(rgn);
    DeleteObject(red);
    DeleteObject(green);
    // Children are enumerated depth first, top of the z-order first.
    HWND c2 = Child(w, 60, 0, 10, 10);
    HWND g = Child(c, 0, 0, 5, 5);
    std::vector<HWND> seen;
    EnumChildWindows(w, [](HWND H, LPARAM P) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(P)->push_back(H);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(seen, (std::vector<HWND>{c2, c, g}));
}

}  // namespace
}  // namespace wintests
