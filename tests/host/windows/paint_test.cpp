// Tests of the painting pipeline: clipping of overlapping windows by pixels, update regions, paint order, DCs and scrolling.
#include "wintest_util.h"

#include "host/gdi/gdiobj.h"

namespace wintests {
namespace {

using PaintPipeline = WinFixture;

constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kGrey = RGB(128, 128, 128);
uint32_t Px(COLORREF C) { return gdi::ToPixel(C); }

TEST_F(PaintPipeline, OverlappingChildrenClipByStylesCheckedByPixels) {
    HWND top = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
    // a below b; they overlap at x 50..80. a clips its siblings, c does not.
    HWND a = Child(top, 20, 20, 60, 60, WS_CLIPSIBLINGS);
    HWND b = Child(top, 50, 20, 60, 60);
    Rec().PaintColor[top] = kGrey;
    Rec().PaintColor[a] = kRed;
    Rec().PaintColor[b] = kGreen;
    Input::ProcessAll();
    EXPECT_EQ(wintest::ClientPixel(top, 30, 30), Px(kRed));
    EXPECT_EQ(wintest::ClientPixel(top, 60, 30), Px(kGreen));  // b is above a
    EXPECT_EQ(wintest::ClientPixel(top, 100, 30), Px(kGreen));
    EXPECT_EQ(wintest::ClientPixel(top, 150, 150), Px(kGrey));
    // Repainting only a does not draw over b (a clips its siblings above it).
    InvalidateRect(a, nullptr, TRUE);
    UpdateWindow(a);
    EXPECT_EQ(wintest::ClientPixel(top, 60, 30), Px(kGreen));
    // Repainting the parent (WS_CLIPCHILDREN) leaves the children's pixels alone.
    Rec().Paints.clear();
    InvalidateRect(top, nullptr, TRUE);
    UpdateWindow(top);
    EXPECT_EQ(wintest::ClientPixel(top, 30, 30), Px(kRed));
    EXPECT_EQ(Rec().Paints.size(), 2u);  // erase and paint of the parent only

    // Without WS_CLIPSIBLINGS the lower child paints over the upper one when repainted alone.
    HWND top2 = Top(300, 0, 200, 200, WS_POPUP | WS_VISIBLE);
    HWND c = Child(top2, 0, 0, 60, 60);
    HWND d = Child(top2, 30, 0, 60, 60);
    Rec().PaintColor[top2] = kGrey;
    Rec().PaintColor[c] = kBlue;
    Rec().PaintColor[d] = kGreen;
    Input::ProcessAll();
    EXPECT_EQ(wintest::ClientPixel(top2, 40, 10), Px(kGreen));
    InvalidateRect(c, nullptr, TRUE);
    UpdateWindow(c);
    EXPECT_EQ(wintest::ClientPixel(top2, 40, 10), Px(kBlue));
    // The parent without WS_CLIPCHILDREN invalidates its children with it, parent painted first.
    Rec().Paints.clear();
    InvalidateRect(top2, nullptr, TRUE);
    Input::ProcessAll();
    ASSERT_GE(Rec().Paints.size(), 6u);
    EXPECT_EQ(Rec().Paints[0], (std::pair<HWND, std::string>{top2, "erase"}));
    EXPECT_EQ(Rec().Paints[1], (std::pair<HWND, std::string>{top2, "paint"}));
    EXPECT_EQ(wintest::ClientPixel(top2, 40, 10), Px(kGreen));
    EXPECT_EQ(wintest::ClientPixel(top2, 10, 10), Px(kBlue));
}

TEST_F(PaintPipeline, UpdateRegionsEraseAndPaintOrder) {
    HWND top = Top(0, 0, 200, 150, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    Rec().PaintColor[top] = kGrey;
    Input::ProcessAll();
    RECT r;
    EXPECT_FALSE(GetUpdateRect(top, &r, FALSE));
    RECT a{10, 10, 20, 20}, b{50, 50, 60, 70};
    InvalidateRect(top, &a, FALSE);
    InvalidateRect(top, &b, TRUE);
    EXPECT_TRUE(GetUpdateRect(top, &r, FALSE));
    EXPECT_EQ(r, (RECT{10, 10, 60, 70}));
    ValidateRect(top, &a);
    GetUpdateRect(top, &r, FALSE);
    EXPECT_EQ(r, b);
    RECT painted{};
    BOOL erase = FALSE;
    Rec().Handlers[top] = [&](HWND H, UINT M, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (M != WM_PAINT) return std::nullopt;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(H, &ps);
        painted = ps.rcPaint;
        erase = ps.fErase;
        // Painting outside the update region leaves the pixels alone.
        RECT all{0, 0, 200, 150};
        HBRUSH br = CreateSolidBrush(kRed);
        FillRect(dc, &all, br);
        DeleteObject(br);
        EndPaint(H, &ps);
        return 0;
    };
    Rec().Paints.clear();
    UpdateWindow(top);
    EXPECT_EQ(painted, b);
    EXPECT_FALSE(erase);  // the class brush erased it
    EXPECT_EQ(wintest::ClientPixel(top, 55, 55), Px(kRed));
    EXPECT_EQ(wintest::ClientPixel(top, 15, 15), Px(kGrey));
    EXPECT_EQ(Rec().Paints, (std::vector<std::pair<HWND, std::string>>{{top, "erase"}}));
    // A frame invalidation gives WM_NCPAINT before the erase.
    Rec().Handlers.erase(top);
    Rec().Paints.clear();
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(Rec().Paints, (std::vector<std::pair<HWND, std::string>>{{top, "ncpaint"}, {top, "erase"}, {top, "paint"}}));
    // The caption is drawn in the active caption colour (the window is active).
    TPixelImage shot;
    ASSERT_TRUE(wintest::CaptureWindow(top, shot));
    EXPECT_EQ(shot.Pixels[size_t(8) * size_t(shot.Width) + 100] & 0xFFFFFF, Px(GetSysColor(COLOR_ACTIVECAPTION)));
    // A hidden window gets no WM_PAINT.
    ShowWindow(top, SW_HIDE);
    InvalidateRect(top, nullptr, TRUE);
    MSG m;
    EXPECT_FALSE(PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(PaintPipeline, WindowDCsFollowMovesAndHidingAndLocks) {
    HWND top = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
    HWND c = Child(top, 10, 10, 50, 50);
    Input::ProcessAll();
    HDC dc = GetDC(c);
    ASSERT_NE(dc, nullptr);
    HBRUSH br = CreateSolidBrush(kBlue);
    RECT big{-100, -100, 300, 300};
    FillRect(dc, &big, br);  // clipped to the child
    EXPECT_EQ(wintest::ClientPixel(top, 30, 30), Px(kBlue));
    EXPECT_NE(wintest::ClientPixel(top, 70, 30), Px(kBlue));
    // The same DC follows the window when it moves.
    SetWindowPos(c, nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOREDRAW);
    RECT small{0, 0, 5, 5};
    HBRUSH red = CreateSolidBrush(kRed);
    FillRect(dc, &small, red);
    EXPECT_EQ(wintest::ClientPixel(top, 102, 102), Px(kRed));
    // Hidden: the DC draws nothing.
    ShowWindow(c, SW_HIDE);
    Input::ProcessAll();
    uint32_t before = wintest::ClientPixel(top, 102, 102);
    FillRect(dc, &small, br);
    EXPECT_EQ(wintest::ClientPixel(top, 102, 102), before);
    ShowWindow(c, SW_SHOW);
    ReleaseDC(c, dc);
    // A released DC is gone; a DC of a destroyed window draws nothing and releases fine.
    EXPECT_EQ(GetObjectType(dc), 0u);
    HDC d2 = GetDC(c);
    DestroyWindow(c);
    EXPECT_EQ(FillRect(d2, &small, red), 0);
    EXPECT_EQ(ReleaseDC(c, d2), 1);
    // LockWindowUpdate: no painting until unlocked, then the window repaints.
    Rec().PaintColor[top] = kGreen;
    EXPECT_TRUE(LockWindowUpdate(top));
    EXPECT_FALSE(LockWindowUpdate(Top(0, 0, 10, 10, WS_POPUP)));
    InvalidateRect(top, nullptr, TRUE);
    Input::ProcessAll();
    EXPECT_NE(wintest::ClientPixel(top, 150, 150), Px(kGreen));
    HDC locked = GetDCEx(top, nullptr, DCX_CACHE);
    FillRect(locked, &small, red);
    ReleaseDC(top, locked);
    EXPECT_NE(wintest::ClientPixel(top, 1, 1), Px(kRed));
    HDC through = GetDCEx(top, nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    FillRect(through, &small, red);
    ReleaseDC(top, through);
    EXPECT_EQ(wintest::ClientPixel(top, 1, 1), Px(kRed));
    LockWindowUpdate(nullptr);
    Input::ProcessAll();
    EXPECT_EQ(wintest::ClientPixel(top, 150, 150), Px(kGreen));
    DeleteObject(br);
    DeleteObject(red);
}

TEST_F(PaintPipeline, ScrollDesktopCompositionAndPaintTo) {
    HWND top = Top(10, 20, 100, 100, WS_POPUP | WS_VISIBLE);
    Rec().PaintColor[top] = kGrey;
    Input::ProcessAll();
    HDC dc = GetDC(top);
    HBRUSH red = CreateSolidBrush(kRed);
    RECT r{0, 0, 10, 10};
    FillRect(dc, &r, red);
    ReleaseDC(top, dc);
    HRGN upd = CreateRectRgn(0, 0, 0, 0);
    RECT ur;
    EXPECT_NE(ScrollWindowEx(top, 20, 5, nullptr, nullptr, upd, &ur, 0), ERROR);
    EXPECT_EQ(wintest::ClientPixel(top, 25, 10), Px(kRed));
    EXPECT_EQ(ur, (RECT{0, 0, 100, 100}));  // the bounds of the L-shaped uncovered strip
    EXPECT_TRUE(PtInRegion(upd, 5, 50));
    EXPECT_TRUE(PtInRegion(upd, 50, 2));
    EXPECT_FALSE(PtInRegion(upd, 50, 50));
    DeleteObject(upd);
    // The desktop composes the top-levels in z-order.
    HWND over = Top(50, 60, 100, 100, WS_POPUP | WS_VISIBLE);
    Rec().PaintColor[over] = kBlue;
    TPixelImage desk;
    ASSERT_TRUE(wintest::CaptureDesktop(desk));
    auto at = [&](int x, int y) { return desk.Pixels[size_t(y) * size_t(desk.Width) + size_t(x)] & 0xFFFFFF; };
    EXPECT_EQ(at(20, 30), Px(kGrey));
    EXPECT_EQ(at(60, 70), Px(kBlue));
    EXPECT_EQ(at(500, 500), Px(GetSysColor(COLOR_BACKGROUND)));
    // PaintWindowTo draws a window and its children into any DC.
    HWND kid = Child(over, 10, 10, 20, 20);
    Rec().PaintColor[kid] = kGreen;
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(120, 120, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    EXPECT_TRUE(PaintWindowTo(over, mem, 5, 5));
    EXPECT_EQ(GetPixel(mem, 5 + 50, 5 + 50), kBlue);
    EXPECT_EQ(GetPixel(mem, 5 + 15, 5 + 15), kGreen);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    DeleteObject(red);
    std::string file = ::testing::TempDir() + "/w1_desktop.png";
    EXPECT_TRUE(wintest::SaveDesktopPng(file));
    EXPECT_TRUE(wintest::SaveWindowPng(top, file));
    std::remove(file.c_str());
}

}  // namespace
}  // namespace wintests
