// Non-client areas: frame and caption geometry, hit testing, classic frame painting, the move/size loop and scroll bars.
#include <algorithm>
#include <functional>

#include "host/gdi/gdi.h"
#include "host/windows/inputsim.h"
#include "host/windows/menu.h"
#include "host/windows/wnd_internal.h"

namespace host::win {

namespace {
// The metrics of a window whose menu bar is laid out for WindowWidth pixels: the bar
// wraps to more lines when the window is narrow.
TNCMetrics MetricsWithBar(const TWnd* W, int WindowWidth) {
    TNCMetrics m = NCMetricsOf(W->Style, W->ExStyle, W->Menu != nullptr, W->IsChild());
    if (m.Menu != 0) m.Menu = MenuBarHeight(W->Handle, std::max(0, WindowWidth - 2 * m.BorderX));
    return m;
}
}  // namespace

TNCMetrics NCMetricsOf(DWORD Style, DWORD ExStyle, bool HasMenu, bool IsChild) {
    TNCMetrics m;
    m.ThickFrame = (Style & WS_THICKFRAME) && (Style & (WS_DLGFRAME | WS_BORDER)) != WS_DLGFRAME;
    m.DlgFrame = !m.ThickFrame && ((ExStyle & WS_EX_DLGMODALFRAME) || (Style & WS_DLGFRAME));
    m.ThinBorder = !m.ThickFrame && !m.DlgFrame && ((Style & WS_BORDER) || !(Style & (WS_CHILD | WS_POPUP)));
    if (m.ThickFrame) {
        m.BorderX = GetSystemMetrics(SM_CXFRAME);
        m.BorderY = GetSystemMetrics(SM_CYFRAME);
    } else if (m.DlgFrame) {
        m.BorderX = GetSystemMetrics(SM_CXDLGFRAME);
        m.BorderY = GetSystemMetrics(SM_CYDLGFRAME);
    } else if (m.ThinBorder) {
        m.BorderX = GetSystemMetrics(SM_CXBORDER);
        m.BorderY = GetSystemMetrics(SM_CYBORDER);
    }
    if ((Style & WS_CAPTION) == WS_CAPTION) {
        m.SmallCaption = (ExStyle & WS_EX_TOOLWINDOW) != 0;
        m.Caption = GetSystemMetrics(m.SmallCaption ? SM_CYSMCAPTION : SM_CYCAPTION);
    }
    if (HasMenu && !IsChild) m.Menu = GetSystemMetrics(SM_CYMENU);
    if (ExStyle & WS_EX_CLIENTEDGE) {
        m.EdgeX = GetSystemMetrics(SM_CXEDGE);
        m.EdgeY = GetSystemMetrics(SM_CYEDGE);
    }
    if (ExStyle & WS_EX_STATICEDGE) {
        m.EdgeX += GetSystemMetrics(SM_CXBORDER);
        m.EdgeY += GetSystemMetrics(SM_CYBORDER);
    }
    m.VScroll = (Style & WS_VSCROLL) != 0;
    m.HScroll = (Style & WS_HSCROLL) != 0;
    return m;
}

RECT DefaultClientRect(const TWnd* W, const RECT& R) {
    if (IsTop(W) && (W->Style & WS_MINIMIZE)) return RECT{R.left, R.top, R.left, R.top};
    TNCMetrics m = MetricsWithBar(W, R.right - R.left);
    RECT c = R;
    c.left += m.BorderX + m.EdgeX;
    c.right -= m.BorderX + m.EdgeX;
    c.top += m.BorderY + m.Caption + m.Menu + m.EdgeY;
    c.bottom -= m.BorderY + m.EdgeY;
    if (m.VScroll) c.right -= GetSystemMetrics(SM_CXVSCROLL);
    if (m.HScroll) c.bottom -= GetSystemMetrics(SM_CYHSCROLL);
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    return c;
}

namespace {

struct TCaptionParts {
    RECT Caption{};    // window coordinates, without the separator line
    RECT SysMenu{}, Close{}, Max{}, Min{}, Help{};
    bool HasSysMenu = false, HasClose = false, HasMax = false, HasMin = false, HasHelp = false;
};

TCaptionParts CaptionParts(const TWnd* W, const TNCMetrics& M) {
    TCaptionParts p;
    if (M.Caption == 0) return p;
    int l = M.BorderX, t = M.BorderY, r = W->Width() - M.BorderX;
    p.Caption = RECT{l, t, r, t + M.Caption - 1};
    bool sys = (W->Style & WS_SYSMENU) != 0;
    int bw = GetSystemMetrics(M.SmallCaption ? SM_CXSMSIZE : SM_CXSIZE) - 2;
    int bh = GetSystemMetrics(M.SmallCaption ? SM_CYSMSIZE : SM_CYSIZE) - 4;
    int by = t + (M.Caption - 1 - bh) / 2;
    int x = r - 2;
    if (sys) {
        p.HasClose = true;
        p.Close = RECT{x - bw, by, x, by + bh};
        x -= bw + 2;
        if (!M.SmallCaption && (W->Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
            p.HasMax = p.HasMin = true;
            p.Max = RECT{x - bw, by, x, by + bh};
            x -= bw;
            p.Min = RECT{x - bw, by, x, by + bh};
            x -= bw + 2;
        } else if (!M.SmallCaption && (W->ExStyle & WS_EX_CONTEXTHELP)) {
            p.HasHelp = true;
            p.Help = RECT{x - bw, by, x, by + bh};
            x -= bw + 2;
        }
        if (!M.SmallCaption) {
            int is = GetSystemMetrics(SM_CXSMICON);
            p.HasSysMenu = true;
            p.SysMenu = RECT{l + 1, t + (M.Caption - 1 - is) / 2, l + 1 + is + 2, t + (M.Caption - 1 - is) / 2 + is};
        }
    }
    return p;
}

RECT Inner(const TWnd* W, const TNCMetrics& M) {
    return RECT{M.BorderX, M.BorderY, W->Width() - M.BorderX, W->Height() - M.BorderY};
}

struct TBarGeometry {
    RECT Bar{}, Arrow1{}, Arrow2{}, Thumb{};
    bool Vertical = true;
    int TrackStart = 0, TrackLen = 0, ThumbLen = 0;
};

TBarGeometry BarGeometry(const TWnd* W, int Bar) {
    TBarGeometry g;
    g.Vertical = Bar == SB_VERT;
    g.Bar = ScrollBarRect(W, Bar);
    const TScrollBar& sb = Bar == SB_VERT ? W->VBar : W->HBar;
    int len = g.Vertical ? g.Bar.bottom - g.Bar.top : g.Bar.right - g.Bar.left;
    int thick = g.Vertical ? g.Bar.right - g.Bar.left : g.Bar.bottom - g.Bar.top;
    int arrow = std::min(thick, len / 2);
    if (g.Vertical) {
        g.Arrow1 = RECT{g.Bar.left, g.Bar.top, g.Bar.right, g.Bar.top + arrow};
        g.Arrow2 = RECT{g.Bar.left, g.Bar.bottom - arrow, g.Bar.right, g.Bar.bottom};
    } else {
        g.Arrow1 = RECT{g.Bar.left, g.Bar.top, g.Bar.left + arrow, g.Bar.bottom};
        g.Arrow2 = RECT{g.Bar.right - arrow, g.Bar.top, g.Bar.right, g.Bar.bottom};
    }
    g.TrackStart = arrow;
    g.TrackLen = std::max(0, len - 2 * arrow);
    int64_t range = int64_t(sb.Max) - sb.Min + 1;
    if (range <= 0 || (sb.Page != 0 && int64_t(sb.Page) >= range) || g.TrackLen < 8) return g;
    int thumb = sb.Page != 0 ? int(std::max<int64_t>(8, int64_t(g.TrackLen) * sb.Page / range)) : std::max(8, thick);
    thumb = std::min(thumb, g.TrackLen);
    int64_t span = range - std::max<int64_t>(sb.Page, 1);
    int pos = sb.Tracking ? sb.TrackPos : sb.Pos;
    int off = span > 0 ? int(int64_t(g.TrackLen - thumb) * (int64_t(pos) - sb.Min) / span) : 0;
    off = std::clamp(off, 0, g.TrackLen - thumb);
    g.ThumbLen = thumb;
    if (g.Vertical)
        g.Thumb = RECT{g.Bar.left, g.Bar.top + arrow + off, g.Bar.right, g.Bar.top + arrow + off + thumb};
    else
        g.Thumb = RECT{g.Bar.left + arrow + off, g.Bar.top, g.Bar.left + arrow + off + thumb, g.Bar.bottom};
    return g;
}

void PaintScrollBar(TWnd* W, HDC Dc, int Bar) {
    TBarGeometry g = BarGeometry(W, Bar);
    if (IsRectEmpty(&g.Bar)) return;
    FillRect(Dc, &g.Bar, GetSysColorBrush(COLOR_SCROLLBAR));
    RECT a1 = g.Arrow1, a2 = g.Arrow2;
    DrawFrameControl(Dc, &a1, DFC_SCROLL, g.Vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT);
    DrawFrameControl(Dc, &a2, DFC_SCROLL, g.Vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT);
    if (!IsRectEmpty(&g.Thumb)) {
        RECT t = g.Thumb;
        DrawEdge(Dc, &t, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
}

}  // namespace

RECT ScrollBarRect(const TWnd* W, int Bar) {
    TNCMetrics m = MetricsWithBar(W, W->Width());
    RECT r = Inner(W, m);
    r.top += m.Caption + m.Menu;
    InflateRect(&r, -m.EdgeX, -m.EdgeY);
    int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
    if (Bar == SB_VERT && m.VScroll) return RECT{r.right - cx, r.top, r.right, r.bottom - (m.HScroll ? cy : 0)};
    if (Bar == SB_HORZ && m.HScroll) return RECT{r.left, r.bottom - cy, r.right - (m.VScroll ? cx : 0), r.bottom};
    return RECT{};
}

LRESULT DefNCHitTest(TWnd* W, POINT Screen) {
    RECT wr = WindowRectScreen(W);
    if (!PtInRect(&wr, Screen)) return HTNOWHERE;
    POINT p{Screen.x - wr.left, Screen.y - wr.top};
    if (IsTop(W) && (W->Style & WS_MINIMIZE)) return HTCAPTION;
    if (PtInRect(&W->Client, p)) return HTCLIENT;
    TNCMetrics m = MetricsWithBar(W, W->Width());
    RECT r = Inner(W, m);
    if (!PtInRect(&r, p)) {
        if (!m.ThickFrame || (W->Style & WS_MAXIMIZE)) return HTBORDER;
        int cs = GetSystemMetrics(SM_CXSIZE), ys = GetSystemMetrics(SM_CYSIZE);
        if (p.y < r.top) return p.x < r.left + cs ? HTTOPLEFT : p.x >= r.right - cs ? HTTOPRIGHT : HTTOP;
        if (p.y >= r.bottom) return p.x < r.left + cs ? HTBOTTOMLEFT : p.x >= r.right - cs ? HTBOTTOMRIGHT : HTBOTTOM;
        if (p.x < r.left) return p.y < r.top + ys ? HTTOPLEFT : p.y >= r.bottom - ys ? HTBOTTOMLEFT : HTLEFT;
        return p.y < r.top + ys ? HTTOPRIGHT : p.y >= r.bottom - ys ? HTBOTTOMRIGHT : HTRIGHT;
    }
    if (m.Caption != 0 && p.y < r.top + m.Caption) {
        TCaptionParts c = CaptionParts(W, m);
        if (c.HasClose && PtInRect(&c.Close, p)) return HTCLOSE;
        if (c.HasMax && PtInRect(&c.Max, p)) return HTMAXBUTTON;
        if (c.HasMin && PtInRect(&c.Min, p)) return HTMINBUTTON;
        if (c.HasHelp && PtInRect(&c.Help, p)) return HTHELP;
        if (c.HasSysMenu && PtInRect(&c.SysMenu, p)) return HTSYSMENU;
        return HTCAPTION;
    }
    r.top += m.Caption;
    if (m.Menu != 0 && p.y < r.top + m.Menu) return HTMENU;
    r.top += m.Menu;
    RECT inner = r;
    InflateRect(&inner, -m.EdgeX, -m.EdgeY);
    if (!PtInRect(&inner, p)) return HTBORDER;
    RECT vb = ScrollBarRect(W, SB_VERT), hb = ScrollBarRect(W, SB_HORZ);
    if (PtInRect(&vb, p)) return HTVSCROLL;
    if (PtInRect(&hb, p)) return HTHSCROLL;
    if (m.VScroll && m.HScroll) {
        RECT box{vb.left, hb.top, vb.right, hb.bottom};
        if (PtInRect(&box, p)) return (W->Style & WS_THICKFRAME) && !W->IsChild() ? HTBOTTOMRIGHT : HTGROWBOX;
    }
    return HTNOWHERE;
}

void PaintNonClient(TWnd* W, HDC Dc) {
    HWND h = W->Handle;
    TNCMetrics m = MetricsWithBar(W, W->Width());
    RECT r{0, 0, W->Width(), W->Height()};
    int saved = SaveDC(Dc);
    ExcludeClipRect(Dc, W->Client.left, W->Client.top, W->Client.right, W->Client.bottom);
    bool active = W->CaptionActive;
    if (m.ThickFrame || m.DlgFrame) {
        DrawEdge(Dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        int rings = (m.ThickFrame ? m.BorderX : m.BorderX) - 2;
        HBRUSH b = GetSysColorBrush(m.ThickFrame ? (active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER) : COLOR_BTNFACE);
        for (int i = 0; i < rings; ++i) {
            FrameRect(Dc, &r, b);
            InflateRect(&r, -1, -1);
        }
    } else if (m.ThinBorder) {
        FrameRect(Dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -m.BorderX, -m.BorderY);
    }
    if (m.Caption != 0) {
        TCaptionParts c = CaptionParts(W, m);
        FillRect(Dc, &c.Caption, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        RECT sep{r.left, r.top + m.Caption - 1, r.right, r.top + m.Caption};
        FillRect(Dc, &sep, GetSysColorBrush(COLOR_BTNFACE));
        RECT text = c.Caption;
        text.left += 2;
        if (c.HasSysMenu) {
            HICON icon = W->Class->IconSm != nullptr ? W->Class->IconSm : W->Class->Icon;
            if (icon != nullptr) {
                int is = GetSystemMetrics(SM_CXSMICON);
                DrawIconEx(Dc, c.SysMenu.left + 1, c.SysMenu.top, icon, is, is, 0, nullptr, DI_NORMAL);
                text.left = c.SysMenu.right + 1;
            }
        }
        int right = c.HasMin ? c.Min.left : c.HasHelp ? c.Help.left : c.HasClose ? c.Close.left : c.Caption.right;
        text.right = right - 2;
        NONCLIENTMETRICSA ncm;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
        HFONT f = CreateFontIndirectA(m.SmallCaption ? &ncm.lfSmCaptionFont : &ncm.lfCaptionFont);
        HGDIOBJ old = SelectObject(Dc, f);
        SetBkMode(Dc, TRANSPARENT);
        SetTextColor(Dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        DrawTextA(Dc, W->Text.c_str(), int(W->Text.size()), &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(Dc, old);
        DeleteObject(f);
        UINT inactive = (W->Style & WS_DISABLED) ? DFCS_INACTIVE : 0;
        if (c.HasClose) {
            RECT b = c.Close;
            UINT st = (W->Class->Style & CS_NOCLOSE) ? DFCS_INACTIVE : inactive;
            DrawFrameControl(Dc, &b, DFC_CAPTION, DFCS_CAPTIONCLOSE | st);
        }
        if (c.HasMax) {
            RECT b = c.Max;
            DrawFrameControl(Dc, &b, DFC_CAPTION,
                             ((W->Style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) |
                                 ((W->Style & WS_MAXIMIZEBOX) ? inactive : DFCS_INACTIVE));
        }
        if (c.HasMin) {
            RECT b = c.Min;
            DrawFrameControl(Dc, &b, DFC_CAPTION,
                             ((W->Style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) |
                                 ((W->Style & WS_MINIMIZEBOX) ? inactive : DFCS_INACTIVE));
        }
        if (c.HasHelp) {
            RECT b = c.Help;
            DrawFrameControl(Dc, &b, DFC_CAPTION, DFCS_CAPTIONHELP | inactive);
        }
        r.top += m.Caption;
    }
    if (m.Menu != 0) {
        RECT mb{r.left, r.top, r.right, r.top + m.Menu};
        PaintMenuBar(h, Dc, mb);
        r.top += m.Menu;
    }
    if (W->ExStyle & WS_EX_CLIENTEDGE) DrawEdge(Dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    if (W->ExStyle & WS_EX_STATICEDGE) DrawEdge(Dc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    if (m.VScroll) PaintScrollBar(W, Dc, SB_VERT);
    if (m.HScroll) PaintScrollBar(W, Dc, SB_HORZ);
    if (m.VScroll && m.HScroll) {
        RECT vb = ScrollBarRect(W, SB_VERT), hb = ScrollBarRect(W, SB_HORZ);
        RECT box{vb.left, hb.top, vb.right, hb.bottom};
        FillRect(Dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    }
    RestoreDC(Dc, saved);
    (void)h;
}

// Runs a private loop until the left button comes up, Esc is pressed, the capture is lost,
// the input script runs out or OnMove (given the cursor's screen position) says to stop.
// Returns false when cancelled with Esc.
bool TrackLoop(HWND H, const std::function<bool(POINT)>& OnMove) {
    SetCapture(H);
    TModalLoopScope scope;
    bool ok = true;
    for (;;) {
        MSG m;
        BOOL r = GetMessageA(&m, nullptr, 0, 0);
        if (r == 0) {
            PostQuitMessage(int(m.wParam));
            break;
        }
        if (r < 0 || !IsWindow(H) || S().Capture != H) break;
        if (m.message == WM_NULL && ModalScriptRanOut()) break;
        if (m.message == WM_MOUSEMOVE || m.message == WM_NCMOUSEMOVE) {
            POINT p;
            GetCursorPos(&p);
            if (OnMove(p)) break;
            continue;
        }
        if (m.message == WM_LBUTTONUP || m.message == WM_NCLBUTTONUP) break;
        if (m.message == WM_KEYDOWN && m.wParam == WPARAM(VK_ESCAPE)) {
            ok = false;
            break;
        }
        if (m.message == WM_KEYDOWN && m.wParam == WPARAM(VK_RETURN)) break;
        if (m.message >= WM_MOUSEFIRST && m.message <= WM_MOUSELAST) continue;
        if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) continue;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    if (S().Capture == H) ReleaseCapture();
    return ok;
}

namespace {

void MoveSizeLoop(TWnd* W, int Edge) {
    HWND h = W->Handle;
    POINT start;
    GetCursorPos(&start);
    RECT orig = W->Rect;
    RECT origScreen = WindowRectScreen(W);
    POINT parentOrg = W->Parent != nullptr ? ClientOriginScreen(W->Parent) : POINT{0, 0};
    SendMessageA(h, WM_ENTERSIZEMOVE, 0, 0);
    bool ok = TrackLoop(h, [&](POINT p) {
        TWnd* w = Find(h);
        if (w == nullptr) return true;
        int dx = p.x - start.x, dy = p.y - start.y;
        RECT r = origScreen;
        if (Edge == 0) {
            OffsetRect(&r, dx, dy);
            SendMessageA(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
            SetWindowPos(h, nullptr, r.left - parentOrg.x, r.top - parentOrg.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return false;
        }
        bool left = Edge == WMSZ_LEFT || Edge == WMSZ_TOPLEFT || Edge == WMSZ_BOTTOMLEFT;
        bool right = Edge == WMSZ_RIGHT || Edge == WMSZ_TOPRIGHT || Edge == WMSZ_BOTTOMRIGHT;
        bool top = Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT || Edge == WMSZ_TOPRIGHT;
        bool bottom = Edge == WMSZ_BOTTOM || Edge == WMSZ_BOTTOMLEFT || Edge == WMSZ_BOTTOMRIGHT;
        MINMAXINFO mmi;
        ApplyMinMaxInfo(w, mmi);
        if (left) r.left = std::clamp<int>(r.left + dx, r.right - mmi.ptMaxTrackSize.x, r.right - mmi.ptMinTrackSize.x);
        if (right) r.right = std::clamp<int>(r.right + dx, r.left + mmi.ptMinTrackSize.x, r.left + mmi.ptMaxTrackSize.x);
        if (top) r.top = std::clamp<int>(r.top + dy, r.bottom - mmi.ptMaxTrackSize.y, r.bottom - mmi.ptMinTrackSize.y);
        if (bottom) r.bottom = std::clamp<int>(r.bottom + dy, r.top + mmi.ptMinTrackSize.y, r.top + mmi.ptMaxTrackSize.y);
        SendMessageA(h, WM_SIZING, WPARAM(Edge), reinterpret_cast<LPARAM>(&r));
        SetWindowPos(h, nullptr, r.left - parentOrg.x, r.top - parentOrg.y, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return false;
    });
    if (!ok && IsWindow(h))
        SetWindowPos(h, nullptr, orig.left, orig.top, orig.right - orig.left, orig.bottom - orig.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    if (IsWindow(h)) SendMessageA(h, WM_EXITSIZEMOVE, 0, 0);
}

void ButtonLoop(TWnd* W, LRESULT Hit, WPARAM Command) {
    HWND h = W->Handle;
    TrackLoop(h, [](POINT) { return false; });
    TWnd* w = Find(h);
    if (w == nullptr) return;
    POINT p;
    GetCursorPos(&p);
    if (DefNCHitTest(w, p) == Hit) SendMessageA(h, WM_SYSCOMMAND, Command, MAKELPARAM(p.x, p.y));
}

}  // namespace

bool DefNCLButtonDown(TWnd* W, WPARAM Hit, POINT Screen) {
    HWND h = W->Handle;
    LRESULT hit = LRESULT(Hit);
    switch (hit) {
    case HTCAPTION:
        SendMessageA(h, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, MAKELPARAM(Screen.x, Screen.y));
        return true;
    case HTLEFT:
    case HTRIGHT:
    case HTTOP:
    case HTTOPLEFT:
    case HTTOPRIGHT:
    case HTBOTTOM:
    case HTBOTTOMLEFT:
    case HTBOTTOMRIGHT:
        SendMessageA(h, WM_SYSCOMMAND, SC_SIZE + WPARAM(hit - HTLEFT + 1), MAKELPARAM(Screen.x, Screen.y));
        return true;
    case HTCLOSE: ButtonLoop(W, hit, SC_CLOSE); return true;
    case HTMINBUTTON:
        if (W->Style & WS_MINIMIZEBOX) ButtonLoop(W, hit, (W->Style & WS_MINIMIZE) ? SC_RESTORE : SC_MINIMIZE);
        return true;
    case HTMAXBUTTON:
        if (W->Style & WS_MAXIMIZEBOX) ButtonLoop(W, hit, (W->Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE);
        return true;
    case HTHELP: ButtonLoop(W, hit, SC_CONTEXTHELP); return true;
    case HTMENU:
        SendMessageA(h, WM_SYSCOMMAND, SC_MOUSEMENU + HTMENU, MAKELPARAM(Screen.x, Screen.y));
        return true;
    case HTVSCROLL: ScrollBarClick(W, SB_VERT, Screen); return true;
    case HTHSCROLL: ScrollBarClick(W, SB_HORZ, Screen); return true;
    default: return false;
    }
}

bool DefSysCommand(TWnd* W, WPARAM Cmd, LPARAM LParam) {
    HWND h = W->Handle;
    switch (Cmd & 0xFFF0) {
    case SC_MOUSEMENU:
        TrackMenuBarMouse(h, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
        return true;
    case SC_KEYMENU:
        // Alt or F10 alone (0) or Alt with a letter: the menu bar, when the window has one.
        if (!W->IsChild() && W->Menu != nullptr) TrackMenuBarKey(h, UINT(LParam & 0xFF));
        return true;
    case SC_MOVE:
        if (!(W->Style & WS_MAXIMIZE)) MoveSizeLoop(W, 0);
        return true;
    case SC_SIZE:
        if ((W->Style & WS_THICKFRAME) && !(W->Style & WS_MAXIMIZE) && (Cmd & 0xF) != 0) MoveSizeLoop(W, int(Cmd & 0xF));
        return true;
    case SC_CLOSE:
        if (!(W->Class->Style & CS_NOCLOSE)) SendMessageA(h, WM_CLOSE, 0, 0);
        return true;
    case SC_MINIMIZE: ShowWindow(h, SW_MINIMIZE); return true;
    case SC_MAXIMIZE: ShowWindow(h, SW_MAXIMIZE); return true;
    case SC_RESTORE: ShowWindow(h, SW_RESTORE); return true;
    default: return false;
    }
}

void ScrollBarClick(TWnd* W, int Bar, POINT Screen) {
    HWND h = W->Handle;
    UINT msg = Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
    TBarGeometry g = BarGeometry(W, Bar);
    POINT wo = WindowOriginScreen(W);
    POINT p{Screen.x - wo.x, Screen.y - wo.y};
    if (!IsRectEmpty(&g.Thumb) && PtInRect(&g.Thumb, p)) {
        TScrollBar& sb0 = Bar == SB_VERT ? W->VBar : W->HBar;
        sb0.Tracking = true;
        sb0.TrackPos = sb0.Pos;
        int grab = g.Vertical ? p.y - g.Thumb.top : p.x - g.Thumb.left;
        TrackLoop(h, [&](POINT s) {
            TWnd* w = Find(h);
            if (w == nullptr) return true;
            TScrollBar& sb = Bar == SB_VERT ? w->VBar : w->HBar;
            POINT o = WindowOriginScreen(w);
            int at = (g.Vertical ? s.y - o.y - g.Bar.top : s.x - o.x - g.Bar.left) - g.TrackStart - grab;
            int64_t range = int64_t(sb.Max) - sb.Min + 1 - std::max<int64_t>(sb.Page, 1);
            int free = std::max(1, g.TrackLen - g.ThumbLen);
            int pos = sb.Min + int(std::clamp<int64_t>(int64_t(at) * range / free, 0, std::max<int64_t>(range, 0)));
            sb.TrackPos = pos;
            SendMessageA(h, msg, MAKEWPARAM(SB_THUMBTRACK, pos), 0);
            return false;
        });
        TWnd* w = Find(h);
        if (w == nullptr) return;
        TScrollBar& sb = Bar == SB_VERT ? w->VBar : w->HBar;
        sb.Tracking = false;
        SendMessageA(h, msg, MAKEWPARAM(SB_THUMBPOSITION, sb.TrackPos), 0);
        SendMessageA(h, msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
        return;
    }
    WORD code;
    if (PtInRect(&g.Arrow1, p))
        code = SB_LINEUP;
    else if (PtInRect(&g.Arrow2, p))
        code = SB_LINEDOWN;
    else if (g.Vertical ? p.y < g.Thumb.top : p.x < g.Thumb.left)
        code = SB_PAGEUP;
    else
        code = SB_PAGEDOWN;
    SendMessageA(h, msg, MAKEWPARAM(code, 0), 0);
    if (IsWindow(h)) TrackLoop(h, [](POINT) { return false; });
    if (IsWindow(h)) SendMessageA(h, msg, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
}

}  // namespace host::win

namespace host {

using namespace win;

namespace {

TScrollBar* BarOf(HWND Wnd, int Bar, TWnd*& W) {
    W = Find(Wnd);
    if (W == nullptr) return nullptr;
    if (Bar == SB_VERT) return &W->VBar;
    if (Bar == SB_HORZ) return &W->HBar;
    return nullptr;
}

void FrameChanged(HWND Wnd) {
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw) {
    TWnd* w;
    TScrollBar* sb = BarOf(Wnd, Bar, w);
    if (sb == nullptr || Info == nullptr) return 0;
    if (Info->fMask & SIF_RANGE) {
        sb->Min = Info->nMin;
        sb->Max = std::max(Info->nMin, Info->nMax);
    }
    if (Info->fMask & SIF_PAGE) sb->Page = Info->nPage;
    int64_t range = int64_t(sb->Max) - sb->Min + 1;
    if (int64_t(sb->Page) > range) sb->Page = UINT(std::max<int64_t>(range, 0));
    if (Info->fMask & SIF_POS) sb->Pos = Info->nPos;
    int64_t maxPos = int64_t(sb->Max) - std::max<int64_t>(int64_t(sb->Page) - 1, 0);
    sb->Pos = int(std::clamp<int64_t>(sb->Pos, sb->Min, std::max<int64_t>(maxPos, sb->Min)));
    if (Info->fMask & SIF_RANGE || Info->fMask & SIF_PAGE) {
        bool can = sb->Max > sb->Min && (sb->Page == 0 || int64_t(sb->Page) < range);
        DWORD bit = Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
        bool show = can || (Info->fMask & SIF_DISABLENOSCROLL);
        if (bool(w->Style & bit) != show) {
            w->Style = show ? (w->Style | bit) : (w->Style & ~bit);
            FrameChanged(Wnd);
            return sb->Pos;
        }
    }
    if (Redraw) RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    return sb->Pos;
}

BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info) {
    TWnd* w;
    TScrollBar* sb = BarOf(Wnd, Bar, w);
    if (sb == nullptr || Info == nullptr) return FALSE;
    if (Info->fMask & SIF_RANGE) {
        Info->nMin = sb->Min;
        Info->nMax = sb->Max;
    }
    if (Info->fMask & SIF_PAGE) Info->nPage = sb->Page;
    if (Info->fMask & SIF_POS) Info->nPos = sb->Pos;
    if (Info->fMask & SIF_TRACKPOS) Info->nTrackPos = sb->Tracking ? sb->TrackPos : sb->Pos;
    return TRUE;
}

int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw) {
    TWnd* w;
    TScrollBar* sb = BarOf(Wnd, Bar, w);
    if (sb == nullptr) return 0;
    int old = sb->Pos;
    SCROLLINFO si;
    si.fMask = SIF_POS;
    si.nPos = Pos;
    SetScrollInfo(Wnd, Bar, &si, Redraw);
    return old;
}

int GetScrollPos(HWND Wnd, int Bar) {
    TWnd* w;
    TScrollBar* sb = BarOf(Wnd, Bar, w);
    return sb != nullptr ? sb->Pos : 0;
}

BOOL SetScrollRange(HWND Wnd, int Bar, int Min, int Max, BOOL Redraw) {
    SCROLLINFO si;
    si.fMask = SIF_RANGE;
    si.nMin = Min;
    si.nMax = Max;
    TWnd* w;
    if (BarOf(Wnd, Bar, w) == nullptr) return FALSE;
    SetScrollInfo(Wnd, Bar, &si, Redraw);
    return TRUE;
}

BOOL GetScrollRange(HWND Wnd, int Bar, int* Min, int* Max) {
    TWnd* w;
    TScrollBar* sb = BarOf(Wnd, Bar, w);
    if (sb == nullptr) return FALSE;
    if (Min != nullptr) *Min = sb->Min;
    if (Max != nullptr) *Max = sb->Max;
    return TRUE;
}

BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return FALSE;
    DWORD bits = Bar == SB_VERT ? WS_VSCROLL : Bar == SB_HORZ ? WS_HSCROLL : Bar == SB_BOTH ? WS_VSCROLL | WS_HSCROLL : 0;
    if (bits == 0) return FALSE;
    DWORD ns = Show ? (w->Style | bits) : (w->Style & ~bits);
    if (ns != w->Style) {
        w->Style = ns;
        FrameChanged(Wnd);
    }
    return TRUE;
}

}  // namespace host
