// The caret: one per thread, owned by a window, drawn by inverting its rectangle and blinking on the host clock.
//
// The caret watches its owner through a link of the window's procedure chain: around
// WM_PAINT it takes itself off the pixels and puts itself back afterwards, so that a
// repaint never keeps (or doubles) inverted pixels, and WM_NCDESTROY destroys it.
#include "host/windows/windows.h"

namespace host {

namespace {

constexpr UINT_PTR kBlinkTimerId = 0xCA7E;
constexpr UINT kDefaultBlinkTime = 530;

struct TCaret {
    HWND Owner = nullptr;
    HBITMAP Bitmap = nullptr;  // nullptr: solid; (HBITMAP)1: grey; else XOR pixels
    int Width = 0, Height = 0;
    POINT Pos{0, 0};
    int HideCount = 1;
    bool Drawn = false;
    WNDPROC Prev = nullptr;  // the procedure under the caret's link in the owner's chain
};

TCaret G;
UINT GBlinkTime = kDefaultBlinkTime;

HBITMAP GreyCaret() { return reinterpret_cast<HBITMAP>(uintptr_t(1)); }

bool Alive() {
    if (G.Owner == nullptr) return false;
    if (IsWindow(G.Owner)) return true;
    G = TCaret();  // the owner died without telling: nothing to draw or unlink
    return false;
}

// Inverts the caret's rectangle in the owner's client area (drawing and erasing are
// the same operation).
void Invert() {
    HDC dc = GetDC(G.Owner);
    if (dc == nullptr) return;
    RECT r{G.Pos.x, G.Pos.y, G.Pos.x + G.Width, G.Pos.y + G.Height};
    if (G.Bitmap == nullptr) {
        InvertRect(dc, &r);
    } else if (G.Bitmap == GreyCaret()) {
        HGDIOBJ old = SelectObject(dc, GetStockObject(GRAY_BRUSH));
        PatBlt(dc, r.left, r.top, G.Width, G.Height, PATINVERT);
        SelectObject(dc, old);
    } else {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, G.Bitmap);
        BitBlt(dc, r.left, r.top, G.Width, G.Height, mem, 0, 0, SRCINVERT);
        SelectObject(mem, old);
        DeleteDC(mem);
    }
    ReleaseDC(G.Owner, dc);
}

void SetDrawn(bool On) {
    if (G.Drawn == On) return;
    if (On && !IsWindowVisible(G.Owner)) return;
    Invert();
    G.Drawn = On;
}

void BlinkProc(HWND, UINT, UINT_PTR, DWORD) {
    if (!Alive() || G.HideCount > 0) return;
    SetDrawn(!G.Drawn);
}

// Shows the caret at once and starts a new blink period.
void RestartBlink() {
    SetDrawn(true);
    SetTimer(G.Owner, kBlinkTimerId, GBlinkTime, &BlinkProc);
}

void StopBlink() {
    SetDrawn(false);
    KillTimer(G.Owner, kBlinkTimerId);
}

LRESULT CaretLinkProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

WNDPROC LinkHandle() { return MakeWndProc(&CaretLinkProc); }

void Unlink() {
    if (G.Prev != nullptr && IsWindow(G.Owner))
        SetWindowLongPtrA(G.Owner, GWLP_WNDPROC, LONG_PTR(reinterpret_cast<uintptr_t>(G.Prev)));
    G.Prev = nullptr;
}

LRESULT CaretLinkProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    WNDPROC prev = G.Owner == Wnd ? G.Prev : nullptr;
    if (prev == nullptr) return DefWindowProcA(Wnd, Msg, WParam, LParam);
    if (Msg == WM_PAINT) {
        bool was = G.Drawn;
        SetDrawn(false);
        LRESULT r = CallWindowProcA(prev, Wnd, Msg, WParam, LParam);
        if (was && G.Owner == Wnd && G.HideCount == 0) SetDrawn(true);
        return r;
    }
    if (Msg == WM_NCDESTROY) {
        G = TCaret();
        return CallWindowProcA(prev, Wnd, Msg, WParam, LParam);
    }
    return CallWindowProcA(prev, Wnd, Msg, WParam, LParam);
}

}  // namespace

BOOL CreateCaret(HWND Wnd, HBITMAP Bitmap, int Width, int Height) {
    if (!IsWindow(Wnd)) return FALSE;
    DestroyCaret();
    G = TCaret();
    G.Owner = Wnd;
    G.Bitmap = Bitmap;
    if (Bitmap != nullptr && Bitmap != GreyCaret()) {
        BITMAP bm{};
        if (GetObjectA(Bitmap, sizeof bm, &bm) == 0) {
            G = TCaret();
            return FALSE;
        }
        Width = bm.bmWidth;
        Height = bm.bmHeight;
    }
    G.Width = Width > 0 ? Width : GetSystemMetrics(SM_CXBORDER);
    G.Height = Height > 0 ? Height : GetSystemMetrics(SM_CYBORDER);
    G.Prev = reinterpret_cast<WNDPROC>(
        uintptr_t(SetWindowLongPtrA(Wnd, GWLP_WNDPROC, LONG_PTR(reinterpret_cast<uintptr_t>(LinkHandle())))));
    return TRUE;
}

BOOL DestroyCaret() {
    if (!Alive()) return FALSE;
    StopBlink();
    Unlink();
    G = TCaret();
    return TRUE;
}

BOOL ShowCaret(HWND Wnd) {
    if (!Alive() || (Wnd != nullptr && Wnd != G.Owner) || G.HideCount == 0) return FALSE;
    if (--G.HideCount == 0) RestartBlink();
    return TRUE;
}

BOOL HideCaret(HWND Wnd) {
    if (!Alive() || (Wnd != nullptr && Wnd != G.Owner)) return FALSE;
    if (G.HideCount++ == 0) StopBlink();
    return TRUE;
}

BOOL SetCaretPos(int X, int Y) {
    if (!Alive()) return FALSE;
    if (G.Pos.x == X && G.Pos.y == Y) return TRUE;
    bool shown = G.HideCount == 0;
    if (shown) SetDrawn(false);
    G.Pos = POINT{X, Y};
    if (shown) RestartBlink();
    return TRUE;
}

BOOL GetCaretPos(POINT* Point) {
    if (Point == nullptr || !Alive()) return FALSE;
    *Point = G.Pos;
    return TRUE;
}

UINT GetCaretBlinkTime() { return GBlinkTime; }

BOOL SetCaretBlinkTime(UINT Milliseconds) {
    if (Milliseconds == 0) return FALSE;
    GBlinkTime = Milliseconds;
    if (Alive() && G.HideCount == 0) SetTimer(G.Owner, kBlinkTimerId, GBlinkTime, &BlinkProc);
    return TRUE;
}

}  // namespace host
