// Window procedures: plain and object procedures, subclass chains, sending, and DefWindowProc's default behaviour.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "host/gdi/gdi.h"
#include "host/windows/wnd_internal.h"

namespace host::win {

namespace {

// A procedure record. Slots are never reused, so a freed procedure's handle never finds
// a newer procedure; Forward says where calls for a window go once the procedure was
// removed from that window's chain or freed.
struct TProcRec {
    WNDPROCFN Fn = nullptr;
    TWndMethod Method;
    bool IsObject = false;
    bool Freed = false;
    std::vector<std::pair<HWND, WNDPROC>> Forward;
};

struct TProcs {
    std::deque<TProcRec> Recs;
    std::unordered_map<WNDPROCFN, WNDPROC> ByFn;
    std::vector<size_t> PendingClear;  // freed object instances whose method is dropped later
};

TProcs gProcs;
inline TProcs& P() { return gProcs; }

WNDPROC HandleOf(size_t Index) { return reinterpret_cast<WNDPROC>(uintptr_t((Index + 1) << 4 | 0x8)); }

TProcRec* Rec(WNDPROC H) {
    uintptr_t v = reinterpret_cast<uintptr_t>(H);
    if ((v & 0xF) != 0x8) return nullptr;
    size_t i = (v >> 4);
    if (i == 0 || i > P().Recs.size()) return nullptr;
    return &P().Recs[i - 1];
}

// While a message is being handled, destroyed windows and freed procedures are kept;
// they go when the outermost handler returns.
struct TSendScope {
    TSendScope() { S().SendDepth++; }
    ~TSendScope() {
        if (--S().SendDepth == 0) {
            CollectGarbage();
            ResetProcs();
        }
    }
    TSendScope(const TSendScope&) = delete;
    TSendScope& operator=(const TSendScope&) = delete;
};

}  // namespace

LRESULT CallProc(WNDPROC Proc, HWND H, UINT Msg, WPARAM WParam, LPARAM LParam) {
    for (int hops = 0; hops < 4096 && Proc != nullptr; ++hops) {
        TProcRec* r = Rec(Proc);
        if (r == nullptr) return 0;
        WNDPROC next = nullptr;
        for (auto& f : r->Forward)
            if (f.first == H) next = f.second;
        if (next != nullptr) {
            Proc = next;
            continue;
        }
        if (r->Freed) return 0;
        if (!r->IsObject) return r->Fn(H, Msg, WParam, LParam);
        TMessage m;
        m.Msg = Msg;
        m.WParam = WParam;
        m.LParam = LParam;
        r->Method(m);
        return m.Result;
    }
    return 0;
}

void ProcFreedOrRemoved(WNDPROC Proc, HWND H, WNDPROC Successor) {
    TProcRec* r = Rec(Proc);
    if (r == nullptr) return;
    for (auto& f : r->Forward)
        if (f.first == H) {
            f.second = Successor;
            return;
        }
    r->Forward.emplace_back(H, Successor);
}

void ProcReinstated(WNDPROC Proc, HWND H) {
    TProcRec* r = Rec(Proc);
    if (r == nullptr) return;
    auto& v = r->Forward;
    v.erase(std::remove_if(v.begin(), v.end(), [&](auto& f) { return f.first == H; }), v.end());
}

bool ProcRemoved(WNDPROC Proc, HWND H) {
    TProcRec* r = Rec(Proc);
    if (r == nullptr) return true;
    for (auto& f : r->Forward)
        if (f.first == H) return true;
    return r->Freed;
}

WNDPROC ResolveProc(WNDPROC Proc, HWND H) {
    for (int hops = 0; hops < 4096 && Proc != nullptr; ++hops) {
        TProcRec* r = Rec(Proc);
        if (r == nullptr) return nullptr;
        WNDPROC next = nullptr;
        for (auto& f : r->Forward)
            if (f.first == H) next = f.second;
        if (next == nullptr) return r->Freed ? nullptr : Proc;
        Proc = next;
    }
    return nullptr;
}

void ResetProcs() {
    for (size_t i : P().PendingClear)
        if (i < P().Recs.size()) P().Recs[i].Method = TWndMethod();
    P().PendingClear.clear();
}

LRESULT Send(TWnd* W, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (W == nullptr || W->Dead) return 0;
    S().MessageCount++;
    TSendScope scope;
    return CallProc(W->Proc(), W->Handle, Msg, WParam, LParam);
}

}  // namespace host::win

namespace host {

using namespace win;

WNDPROC MakeWndProc(WNDPROCFN Proc) {
    if (Proc == nullptr) return nullptr;
    auto& p = P();
    auto it = p.ByFn.find(Proc);
    if (it != p.ByFn.end()) return it->second;
    p.Recs.emplace_back();
    p.Recs.back().Fn = Proc;
    WNDPROC h = HandleOf(p.Recs.size() - 1);
    p.ByFn[Proc] = h;
    return h;
}

WNDPROC MakeObjectInstance(TWndMethod Method) {
    auto& p = P();
    p.Recs.emplace_back();
    p.Recs.back().IsObject = true;
    p.Recs.back().Method = std::move(Method);
    return HandleOf(p.Recs.size() - 1);
}

void FreeObjectInstance(WNDPROC Proc) {
    TProcRec* r = Rec(Proc);
    if (r == nullptr || !r->IsObject || r->Freed) return;
    r->Freed = true;
    // Take it out of every chain: the window falls back to the procedure below it, and
    // callers still holding the handle are forwarded there too.
    for (auto& [k, w] : S().Windows) {
        auto& c = w->Chain;
        for (size_t i = 0; i < c.size(); ++i) {
            if (c[i] != Proc) continue;
            WNDPROC below = i > 0 ? c[i - 1] : nullptr;
            c.erase(c.begin() + std::ptrdiff_t(i));
            if (below != nullptr) ProcFreedOrRemoved(Proc, w->Handle, below);
            break;
        }
    }
    // The method itself (and whatever a callable captured) is dropped once no message is
    // being handled, since the instance may be running right now.
    size_t index = (reinterpret_cast<uintptr_t>(Proc) >> 4) - 1;
    if (S().SendDepth == 0)
        r->Method = TWndMethod();
    else
        P().PendingClear.push_back(index);
}

LRESULT CallWindowProcA(TWndProcRef Proc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWnd* w = FindAny(Wnd);
    if (w == nullptr && Wnd != nullptr) return 0;
    if (w != nullptr && w->Dead) return 0;
    TSendScope scope;
    return CallProc(Proc.Proc, Wnd, Msg, WParam, LParam);
}

WNDPROC DefWindowProcHandle() { return MakeWndProc(&DefWindowProcA); }

LRESULT SendMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Wnd == HWND_BROADCAST) {
        std::vector<HWND> list;
        for (TWnd* t : Desktop()->Children) list.push_back(t->Handle);
        for (HWND h : list) SendMessageA(h, Msg, WParam, LParam);
        return 0;
    }
    TWnd* w = FindAny(Wnd);
    if (w == nullptr || w->Dead) return 0;
    return Send(w, Msg, WParam, LParam);
}

BOOL SendNotifyMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Wnd != HWND_BROADCAST && Find(Wnd) == nullptr) return FALSE;
    SendMessageA(Wnd, Msg, WParam, LParam);
    return TRUE;
}

BOOL InSendMessage() { return FALSE; }

namespace {

LRESULT DefSetCursor(TWnd* W, WPARAM WParam, LPARAM LParam) {
    HWND h = W->Handle;
    if (W->IsChild() && W->Parent != Desktop()) {
        if (SendMessageA(W->Parent->Handle, WM_SETCURSOR, WParam, LParam)) return TRUE;
        if ((W = Find(h)) == nullptr) return FALSE;
    }
    short hit = short(LOWORD(uintptr_t(LParam)));
    switch (hit) {
    case HTCLIENT:
        if (W->Class->Cursor != nullptr) {
            SetCursor(W->Class->Cursor);
            return TRUE;
        }
        return FALSE;
    case HTLEFT:
    case HTRIGHT: SetCursor(LoadCursorA(0, IDC_SIZEWE)); return TRUE;
    case HTTOP:
    case HTBOTTOM: SetCursor(LoadCursorA(0, IDC_SIZENS)); return TRUE;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: SetCursor(LoadCursorA(0, IDC_SIZENWSE)); return TRUE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: SetCursor(LoadCursorA(0, IDC_SIZENESW)); return TRUE;
    case HTERROR:
        if (HIWORD(uintptr_t(LParam)) == WM_LBUTTONDOWN) MessageBeep(0);
        SetCursor(LoadCursorA(0, IDC_ARROW));
        return TRUE;
    default: SetCursor(LoadCursorA(0, IDC_ARROW)); return TRUE;
    }
}

bool FillBackground(TWnd* W, HDC Dc) {
    HBRUSH b = W->Class->Background;
    if (b == nullptr) return false;
    RECT r;
    GetClientRect(W->Handle, &r);
    FillRect(Dc, &r, b);
    return true;
}

void PrintTo(TWnd* W, HDC Dc, LPARAM Flags) {
    HWND h = W->Handle;
    if ((Flags & PRF_CHECKVISIBLE) && !IsWindowVisible(h)) return;
    int saved = SaveDC(Dc);
    if (Flags & PRF_NONCLIENT) PaintNonClient(W, Dc);
    if ((W = Find(h)) == nullptr) return;
    OffsetWindowOrgEx(Dc, -W->Client.left, -W->Client.top, nullptr);
    IntersectClipRect(Dc, 0, 0, W->Client.right - W->Client.left, W->Client.bottom - W->Client.top);
    if (Flags & PRF_CLIENT) {
        int s2 = SaveDC(Dc);
        if (Flags & PRF_ERASEBKGND) SendMessageA(h, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0);
        RestoreDC(Dc, s2);
        s2 = SaveDC(Dc);
        SendMessageA(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Dc), Flags);
        RestoreDC(Dc, s2);
    }
    if ((W = Find(h)) != nullptr && (Flags & PRF_CHILDREN)) {
        std::vector<HWND> kids;
        for (auto it = W->Children.rbegin(); it != W->Children.rend(); ++it) kids.push_back((*it)->Handle);
        for (HWND k : kids) {
            TWnd* c = Find(k);
            if (c == nullptr || !(c->Style & WS_VISIBLE)) continue;
            int s3 = SaveDC(Dc);
            IntersectClipRect(Dc, c->Rect.left, c->Rect.top, c->Rect.right, c->Rect.bottom);
            OffsetWindowOrgEx(Dc, -c->Rect.left, -c->Rect.top, nullptr);
            SendMessageA(k, WM_PRINT, reinterpret_cast<WPARAM>(Dc), Flags & ~PRF_CHECKVISIBLE);
            RestoreDC(Dc, s3);
        }
    }
    RestoreDC(Dc, saved);
}

}  // namespace

LRESULT DefWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TWnd* w = FindAny(Wnd);
    if (w == nullptr || w->Dead) return 0;
    switch (Msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(LParam);
        if (cs != nullptr && cs->lpszName != nullptr && !IS_INTRESOURCE(cs->lpszName)) w->Text = cs->lpszName;
        return TRUE;
    }
    case WM_NCCALCSIZE: {
        RECT* r = reinterpret_cast<RECT*>(LParam);  // rgrc[0] either way
        if (r != nullptr) *r = DefaultClientRect(w, *r);
        return 0;
    }
    case WM_NCHITTEST: return DefNCHitTest(w, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
    case WM_NCPAINT: {
        HDC dc = GetWindowDC(Wnd);
        if (dc != nullptr) {
            PaintNonClient(w, dc);
            ReleaseDC(Wnd, dc);
        }
        return 0;
    }
    case WM_NCACTIVATE:
        // The caption is redrawn at once in its new colours; the client area is left alone.
        w->CaptionActive = WParam != 0;
        if (IsShowing(w) && (w->Style & WS_CAPTION) == WS_CAPTION && !LockedFor(w)) {
            if (HDC dc = GetWindowDC(Wnd)) {
                PaintNonClient(w, dc);
                ReleaseDC(Wnd, dc);
            }
        }
        return TRUE;
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(WParam);
        return dc != nullptr && FillBackground(w, dc) ? 1 : 0;
    }
    case WM_PAINT: {
        if (WParam != 0) return 0;  // painting into a given DC: nothing by default
        PAINTSTRUCT ps;
        BeginPaint(Wnd, &ps);
        EndPaint(Wnd, &ps);
        return 0;
    }
    case WM_PRINT: {
        HDC dc = reinterpret_cast<HDC>(WParam);
        if (dc != nullptr) PrintTo(w, dc, LParam);
        return 0;
    }
    case WM_PRINTCLIENT:
        // The classic path of drawing a window into a given DC: its WM_PAINT with the DC.
        SendMessageA(Wnd, WM_PAINT, WParam, 0);
        return 0;
    case WM_SETCURSOR: return DefSetCursor(w, WParam, LParam);
    case WM_MOUSEACTIVATE:
        if (w->IsChild() && w->Parent != Desktop()) {
            LRESULT r = SendMessageA(w->Parent->Handle, WM_MOUSEACTIVATE, WParam, LParam);
            if (r != 0) return r;
        }
        return (w->ExStyle & WS_EX_NOACTIVATE) ? MA_NOACTIVATE : MA_ACTIVATE;
    case WM_ACTIVATE:
        if (LOWORD(WParam) != WA_INACTIVE && !(w->Style & WS_MINIMIZE)) SetFocus(Wnd);
        return 0;
    case WM_CLOSE: DestroyWindow(Wnd); return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
    case WM_SYSCOMMAND: DefSysCommand(w, WParam, LParam); return 0;
    case WM_NCLBUTTONDOWN: DefNCLButtonDown(w, WParam, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)}); return 0;
    case WM_NCLBUTTONDBLCLK:
        if (WParam == WPARAM(HTCAPTION) && (w->Style & WS_MAXIMIZEBOX))
            SendMessageA(Wnd, WM_SYSCOMMAND, (w->Style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE, LParam);
        return 0;
    case WM_NCRBUTTONUP:
    case WM_RBUTTONUP:
        if (Msg == WM_RBUTTONUP) {
            POINT p{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
            ClientToScreen(Wnd, &p);
            SendMessageA(Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd), MAKELPARAM(p.x, p.y));
        }
        return 0;
    case WM_CONTEXTMENU:
        if (w->IsChild() && w->Parent != Desktop()) SendMessageA(w->Parent->Handle, WM_CONTEXTMENU, WParam, LParam);
        return 0;
    case WM_MOUSEWHEEL:
        if (w->IsChild() && w->Parent != Desktop()) return SendMessageA(w->Parent->Handle, Msg, WParam, LParam);
        return 0;
    case WM_GETMINMAXINFO: return 0;
    case WM_WINDOWPOSCHANGING: return 0;
    case WM_WINDOWPOSCHANGED: {
        auto* wp = reinterpret_cast<WINDOWPOS*>(LParam);
        if (wp == nullptr) return 0;
        if (!(wp->flags & SWP_NOMOVE))
            SendMessageA(Wnd, WM_MOVE, 0, MAKELPARAM(w->Rect.left + w->Client.left, w->Rect.top + w->Client.top));
        if ((w = Find(Wnd)) == nullptr) return 0;
        if (!(wp->flags & SWP_NOSIZE) || (wp->flags & SWP_FRAMECHANGED)) {
            WPARAM type = (w->Style & WS_MINIMIZE) ? SIZE_MINIMIZED : (w->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED;
            SendMessageA(Wnd, WM_SIZE, type,
                         MAKELPARAM(w->Client.right - w->Client.left, w->Client.bottom - w->Client.top));
        }
        return 0;
    }
    case WM_SETTEXT: {
        const char* t = reinterpret_cast<const char*>(LParam);
        w->Text = t != nullptr ? t : "";
        if (!w->IsChild() || (w->Style & WS_CAPTION) == WS_CAPTION)
            RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        return TRUE;
    }
    case WM_GETTEXT: {
        char* buf = reinterpret_cast<char*>(LParam);
        if (buf == nullptr || WParam == 0) return 0;
        size_t n = std::min(w->Text.size(), size_t(WParam) - 1);
        std::memcpy(buf, w->Text.data(), n);
        buf[n] = 0;
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH: return LRESULT(w->Text.size());
    case WM_SHOWWINDOW: return 0;
    case WM_CANCELMODE:
        if (S().Capture == Wnd) ReleaseCapture();
        return 0;
    case WM_SYSKEYDOWN:
        if (WParam == WPARAM(VK_F4) && (LParam & (1 << 29))) {
            TWnd* t = TopOf(w);
            if (t != nullptr) PostMessageA(t->Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return 0;
    case WM_SYSCHAR:
    case WM_SYSKEYUP:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR: return 0;
    case WM_GETICON: return reinterpret_cast<LRESULT>(WParam == ICON_SMALL && w->Class->IconSm ? w->Class->IconSm : w->Class->Icon);
    case WM_GETDLGCODE: return 0;
    case WM_HELP:
        if (w->IsChild() && w->Parent != Desktop()) return SendMessageA(w->Parent->Handle, Msg, WParam, LParam);
        return 0;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(WParam);
        bool edit = Msg == WM_CTLCOLOREDIT || Msg == WM_CTLCOLORLISTBOX;
        SetTextColor(dc, GetSysColor(edit ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(edit ? COLOR_WINDOW : COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(edit ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_VSCROLL:
    case WM_HSCROLL: return 0;
    default: return 0;
    }
}

LRESULT DefFrameProcA(HWND Wnd, HWND MDIClient, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_SIZE && MDIClient != nullptr) {
        RECT r;
        GetClientRect(Wnd, &r);
        MoveWindow(MDIClient, 0, 0, r.right, r.bottom, TRUE);
        return 0;
    }
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

LRESULT DefMDIChildProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

}  // namespace host
