// Windows: classes, creation and destruction, the window tree, z-order, positions, show states and window data.
#include <algorithm>
#include <cstring>

#include "host/gdi/gdi.h"
#include "host/windows/backend.h"
#include "host/windows/wnd_internal.h"

namespace host::win {

namespace {

bool SameText(const std::string& A, const char* B) {
    if (B == nullptr) return false;
    size_t n = std::strlen(B);
    if (A.size() != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char a = A[i], b = B[i];
        if (a >= 'a' && a <= 'z') a = char(a - 32);
        if (b >= 'a' && b <= 'z') b = char(b - 32);
        if (a != b) return false;
    }
    return true;
}

std::shared_ptr<TWndClass> FindClass(const char* Name) {
    for (auto& c : S().Classes) {
        if (c->Unregistered) continue;
        if (IS_INTRESOURCE(Name)) {
            if (c->Atom == ATOM(reinterpret_cast<uintptr_t>(Name))) return c;
        } else if (SameText(c->Name, Name)) {
            return c;
        }
    }
    return nullptr;
}

void AddPredefined(const char* Name, UINT Style) {
    auto c = std::make_shared<TWndClass>();
    c->Name = Name;
    c->Atom = S().NextAtom++;
    c->Style = Style;
    c->Proc = MakeWndProc(&DefWindowProcA);
    c->Cursor = LoadCursorA(0, IDC_ARROW);
    c->Background = reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNFACE + 1));
    c->Predefined = true;
    S().Classes.push_back(std::move(c));
}

void EnsurePredefined() {
    static bool done = false;
    if (done) return;
    done = true;
    AddPredefined("#32770", CS_SAVEBITS | CS_DBLCLKS);
    AddPredefined("MDICLIENT", 0);
    AddPredefined("STATIC", CS_DBLCLKS);
    AddPredefined("#32769", 0);
}

void MakeDesktop() {
    TState& s = S();
    EnsurePredefined();
    auto d = std::make_unique<TWnd>();
    d->Handle = reinterpret_cast<HWND>(s.NextHandle);
    s.NextHandle += 4;
    d->Class = FindClass("#32769");
    d->Style = WS_VISIBLE | WS_CLIPCHILDREN | WS_POPUP;
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    d->Rect = RECT{0, 0, w, h};
    d->Client = RECT{0, 0, w, h};
    d->Chain.push_back(d->Class->Proc);
    d->Created = true;
    s.Desktop = d.get();
    IndexWindow(d.get());
    s.Windows[reinterpret_cast<uintptr_t>(d->Handle)] = std::move(d);
    InstallSysColorHook();
}

int Cascade = 0;

}  // namespace

// System colours changed: every top-level hears of it and repaints.
static void OnSysColorChange() {
    TState& s = S();
    if (s.Desktop == nullptr) return;
    std::vector<HWND> tops;
    for (TWnd* t : s.Desktop->Children) tops.push_back(t->Handle);
    for (HWND h : tops) SendMessageA(h, WM_SYSCOLORCHANGE, 0, 0);
    for (HWND h : tops)
        if (TWnd* t = Find(h)) Invalidate(t, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    s.DesktopDirty = true;
}

void InstallSysColorHook() { SetSysColorChangeHook(&OnSysColorChange); }

TState gState;

void IndexWindow(TWnd* W) {
    size_t i = (reinterpret_cast<uintptr_t>(W->Handle) - kFirstHandle) / 4;
    auto& v = S().Index;
    if (v.size() <= i) v.resize(i + 1, nullptr);
    v[i] = W;
}

void UnindexWindow(HWND H) {
    uintptr_t h = reinterpret_cast<uintptr_t>(H);
    size_t i = (h - kFirstHandle) / 4;
    if (h >= kFirstHandle && i < S().Index.size()) S().Index[i] = nullptr;
}

TWnd* Desktop() {
    if (S().Desktop == nullptr) MakeDesktop();
    TWnd* d = S().Desktop;
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    if (d->Rect.right != w || d->Rect.bottom != h) {
        d->Rect = RECT{0, 0, w, h};
        d->Client = d->Rect;
    }
    return d;
}

TWnd* FindAny(HWND H) {
    TState& s = S();
    if (s.Desktop == nullptr) MakeDesktop();
    uintptr_t h = reinterpret_cast<uintptr_t>(H);
    if (h < kFirstHandle || (h & 3) != 0) return nullptr;
    size_t i = (h - kFirstHandle) / 4;
    return i < s.Index.size() ? s.Index[i] : nullptr;
}

TWnd* Find(HWND H) {
    TWnd* w = FindAny(H);
    return (w != nullptr && !w->Dying) ? w : nullptr;
}

TWnd* TopOf(TWnd* W) {
    TWnd* d = Desktop();
    while (W != nullptr && W->Parent != nullptr && W->Parent != d) W = W->Parent;
    return W == d ? nullptr : W;
}

void CollectGarbage() {
    if (S().SendDepth == 0 && !S().Graveyard.empty()) S().Graveyard.clear();
}

POINT ClientOriginScreen(const TWnd* W) {
    POINT p = WindowOriginScreen(W);
    return POINT{p.x + W->Client.left, p.y + W->Client.top};
}

POINT WindowOriginScreen(const TWnd* W) {
    if (W->Parent == nullptr) return POINT{W->Rect.left, W->Rect.top};
    POINT p = ClientOriginScreen(W->Parent);
    return POINT{p.x + W->Rect.left, p.y + W->Rect.top};
}

POINT WindowOriginSurface(const TWnd* W) {
    if (W->Parent == nullptr || IsTop(W)) return POINT{0, 0};
    POINT p = WindowOriginSurface(W->Parent);
    return POINT{p.x + W->Parent->Client.left + W->Rect.left, p.y + W->Parent->Client.top + W->Rect.top};
}

RECT WindowRectScreen(const TWnd* W) {
    POINT p = WindowOriginScreen(W);
    return RECT{p.x, p.y, p.x + W->Width(), p.y + W->Height()};
}

bool IsShowing(const TWnd* W) {
    for (const TWnd* w = W; w != nullptr && w != S().Desktop; w = w->Parent) {
        if ((w->Style & WS_VISIBLE) == 0) return false;
        if (IsTop(w) && (w->Style & WS_MINIMIZE) != 0) return false;
    }
    return W != nullptr;
}

void ApplyMinMaxInfo(TWnd* W, MINMAXINFO& Info) {
    TNCMetrics m = NCMetricsOf(W->Style, W->ExStyle, W->Menu != nullptr, W->IsChild());
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (W->IsChild() && W->Parent != nullptr) {
        work = RECT{0, 0, W->Parent->Client.right - W->Parent->Client.left,
                    W->Parent->Client.bottom - W->Parent->Client.top};
    } else {
        MONITORINFO mi;
        RECT r = WindowRectScreen(W);
        if (GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) work = mi.rcWork;
    }
    int fx = m.BorderX, fy = m.BorderY;
    Info.ptMaxSize = POINT{work.right - work.left + 2 * fx, work.bottom - work.top + 2 * fy};
    Info.ptMaxPosition = POINT{-fx, -fy};
    Info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    Info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    if (W->IsChild()) Info.ptMinTrackSize = POINT{0, 0};
    if (W->Handle != nullptr) Send(W, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
}

void MoveInZOrder(TWnd* W, HWND InsertAfter) {
    TWnd* p = W->Parent;
    if (p == nullptr) return;
    auto& v = p->Children;
    v.erase(std::remove(v.begin(), v.end(), W), v.end());
    bool top = IsTop(W);
    if (InsertAfter == HWND_TOPMOST && top) W->ExStyle |= WS_EX_TOPMOST;
    if (InsertAfter == HWND_NOTOPMOST && top) W->ExStyle &= ~WS_EX_TOPMOST;
    bool topmost = top && (W->ExStyle & WS_EX_TOPMOST) != 0;
    auto firstNonTopmost = [&] {
        size_t i = 0;
        if (top)
            while (i < v.size() && (v[i]->ExStyle & WS_EX_TOPMOST) != 0) ++i;
        return i;
    };
    size_t pos;
    if (InsertAfter == HWND_TOP || InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST) {
        pos = topmost ? 0 : firstNonTopmost();
    } else if (InsertAfter == HWND_BOTTOM) {
        pos = topmost ? firstNonTopmost() : v.size();
    } else {
        TWnd* a = Find(InsertAfter);
        auto it = a != nullptr ? std::find(v.begin(), v.end(), a) : v.end();
        pos = it == v.end() ? (topmost ? 0 : firstNonTopmost()) : size_t(it - v.begin()) + 1;
        if (top) {  // keep topmost windows above the others
            size_t f = firstNonTopmost();
            pos = topmost ? std::min(pos, f) : std::max(pos, f);
        }
    }
    v.insert(v.begin() + std::ptrdiff_t(std::min(pos, v.size())), W);
    // Owned windows stay above their owner.
    if (top) {
        std::vector<TWnd*> owned;
        for (TWnd* c : v)
            if (c->Owner == W) owned.push_back(c);
        for (TWnd* o : owned) {
            auto self = std::find(v.begin(), v.end(), W);
            auto oi = std::find(v.begin(), v.end(), o);
            if (oi > self) {
                v.erase(oi);
                self = std::find(v.begin(), v.end(), W);
                v.insert(self, o);
            }
        }
    }
}

void BringToTop(TWnd* W) {
    if (W == nullptr || W->Parent == nullptr) return;
    auto& v = W->Parent->Children;
    if (!v.empty() && v.front() == W) return;
    MoveInZOrder(W, HWND_TOP);
    if (IsShowing(W)) Invalidate(W, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    GeometryChanged();
}

}  // namespace host::win

namespace host {

using namespace win;

// ---- classes ----

ATOM RegisterClassExA(const WNDCLASSEXA* Class) {
    if (Class == nullptr || Class->lpszClassName == nullptr || IS_INTRESOURCE(Class->lpszClassName)) return 0;
    Desktop();
    if (FindClass(Class->lpszClassName) != nullptr) return 0;
    auto c = std::make_shared<TWndClass>();
    c->Name = Class->lpszClassName;
    c->Atom = S().NextAtom++;
    c->Style = Class->style;
    c->Proc = Class->lpfnWndProc.Proc != nullptr ? Class->lpfnWndProc.Proc : MakeWndProc(&DefWindowProcA);
    c->ClsExtra = std::max(0, Class->cbClsExtra);
    c->WndExtra = std::max(0, Class->cbWndExtra);
    c->Instance = Class->hInstance;
    c->Icon = Class->hIcon;
    c->IconSm = Class->hIconSm;
    c->Cursor = Class->hCursor;
    c->Background = Class->hbrBackground;
    if (Class->lpszMenuName != nullptr && !IS_INTRESOURCE(Class->lpszMenuName)) c->MenuName = Class->lpszMenuName;
    ATOM a = c->Atom;
    S().Classes.push_back(std::move(c));
    return a;
}

ATOM RegisterClassA(const WNDCLASSA* Class) {
    if (Class == nullptr) return 0;
    WNDCLASSEXA ex;
    ex.style = Class->style;
    ex.lpfnWndProc = Class->lpfnWndProc;
    ex.cbClsExtra = Class->cbClsExtra;
    ex.cbWndExtra = Class->cbWndExtra;
    ex.hInstance = Class->hInstance;
    ex.hIcon = Class->hIcon;
    ex.hCursor = Class->hCursor;
    ex.hbrBackground = Class->hbrBackground;
    ex.lpszMenuName = Class->lpszMenuName;
    ex.lpszClassName = Class->lpszClassName;
    return RegisterClassExA(&ex);
}

BOOL UnregisterClassA(const char* ClassName, HINSTANCE) {
    Desktop();
    auto c = FindClass(ClassName);
    if (c == nullptr || c->Predefined || c->Windows > 0) return FALSE;
    c->Unregistered = true;
    auto& v = S().Classes;
    v.erase(std::remove(v.begin(), v.end(), c), v.end());
    return TRUE;
}

BOOL GetClassInfoExA(HINSTANCE, const char* ClassName, WNDCLASSEXA* Class) {
    Desktop();
    auto c = FindClass(ClassName);
    if (c == nullptr || Class == nullptr) return FALSE;
    Class->style = c->Style;
    Class->lpfnWndProc = c->Proc;
    Class->cbClsExtra = c->ClsExtra;
    Class->cbWndExtra = c->WndExtra;
    Class->hInstance = c->Instance;
    Class->hIcon = c->Icon;
    Class->hIconSm = c->IconSm;
    Class->hCursor = c->Cursor;
    Class->hbrBackground = c->Background;
    Class->lpszMenuName = c->MenuName.empty() ? nullptr : c->MenuName.c_str();
    Class->lpszClassName = c->Name.c_str();
    return TRUE;
}

BOOL GetClassInfoA(HINSTANCE Instance, const char* ClassName, WNDCLASSA* Class) {
    WNDCLASSEXA ex;
    if (Class == nullptr || !GetClassInfoExA(Instance, ClassName, &ex)) return FALSE;
    Class->style = ex.style;
    Class->lpfnWndProc = ex.lpfnWndProc;
    Class->cbClsExtra = ex.cbClsExtra;
    Class->cbWndExtra = ex.cbWndExtra;
    Class->hInstance = ex.hInstance;
    Class->hIcon = ex.hIcon;
    Class->hCursor = ex.hCursor;
    Class->hbrBackground = ex.hbrBackground;
    Class->lpszMenuName = ex.lpszMenuName;
    Class->lpszClassName = ex.lpszClassName;
    return TRUE;
}

std::string GetClassNameStr(HWND Wnd) {
    TWnd* w = FindAny(Wnd);
    return w != nullptr && !w->Dead ? w->Class->Name : std::string();
}

int GetClassNameA(HWND Wnd, char* ClassName, int MaxCount) {
    TWnd* w = FindAny(Wnd);
    if (w == nullptr || ClassName == nullptr || MaxCount <= 0) return 0;
    int n = std::min<int>(int(w->Class->Name.size()), MaxCount - 1);
    std::memcpy(ClassName, w->Class->Name.data(), size_t(n));
    ClassName[n] = 0;
    return n;
}

uintptr_t GetClassLongPtrA(HWND Wnd, int Index) {
    TWnd* w = FindAny(Wnd);
    if (w == nullptr) return 0;
    TWndClass& c = *w->Class;
    switch (Index) {
    case GCL_STYLE: return c.Style;
    case GCLP_WNDPROC: return reinterpret_cast<uintptr_t>(c.Proc);
    case GCLP_HCURSOR: return reinterpret_cast<uintptr_t>(c.Cursor);
    case GCLP_HICON: return reinterpret_cast<uintptr_t>(c.Icon);
    case GCLP_HICONSM: return reinterpret_cast<uintptr_t>(c.IconSm);
    case GCLP_HBRBACKGROUND: return reinterpret_cast<uintptr_t>(c.Background);
    case GCL_CBWNDEXTRA: return uintptr_t(c.WndExtra);
    case GCL_CBCLSEXTRA: return uintptr_t(c.ClsExtra);
    default: return 0;
    }
}

uintptr_t SetClassLongPtrA(HWND Wnd, int Index, LONG_PTR V) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return 0;
    uintptr_t old = GetClassLongPtrA(Wnd, Index);
    TWndClass& c = *w->Class;
    switch (Index) {
    case GCL_STYLE: c.Style = UINT(V); break;
    case GCLP_WNDPROC: c.Proc = reinterpret_cast<WNDPROC>(V); break;
    case GCLP_HCURSOR: c.Cursor = reinterpret_cast<HCURSOR>(V); break;
    case GCLP_HICON: c.Icon = reinterpret_cast<HICON>(V); break;
    case GCLP_HICONSM: c.IconSm = reinterpret_cast<HICON>(V); break;
    case GCLP_HBRBACKGROUND: c.Background = reinterpret_cast<HBRUSH>(V); break;
    default: return 0;
    }
    return old;
}

// ---- creation ----

HWND CreateWindowExA(DWORD ExStyle, const char* ClassName, const char* WindowName, DWORD Style, int X, int Y,
                     int Width, int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, void* Param) {
    TState& s = S();
    TWnd* desk = Desktop();
    auto cls = FindClass(ClassName);
    if (cls == nullptr) return nullptr;
    TWnd* parent = desk;
    TWnd* owner = nullptr;
    if (Style & WS_CHILD) {
        parent = Find(Parent);
        if (parent == nullptr || Parent == HWND_MESSAGE) return nullptr;
    } else if (Parent != nullptr) {
        TWnd* o = Find(Parent);
        if (o == nullptr) return nullptr;
        owner = TopOf(o);
    }
    if ((Style & (WS_CHILD | WS_POPUP)) == 0) Style |= WS_CLIPSIBLINGS | WS_CAPTION;
    bool visible = (Style & WS_VISIBLE) != 0;
    Style &= ~DWORD(WS_VISIBLE);
    DWORD minmax = Style & (WS_MINIMIZE | WS_MAXIMIZE);
    Style &= ~DWORD(WS_MINIMIZE | WS_MAXIMIZE);

    if (!(Style & WS_CHILD) && X == CW_USEDEFAULT) {
        int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
        X = Y = 10 + (Cascade++ % 10) * step;
    } else if (X == CW_USEDEFAULT) {
        X = Y = 0;
    }
    if (Width == CW_USEDEFAULT) {
        Width = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
        Height = GetSystemMetrics(SM_CYSCREEN) * 3 / 4;
    }
    auto w = std::make_unique<TWnd>();
    TWnd* wp = w.get();
    w->Handle = reinterpret_cast<HWND>(s.NextHandle);
    s.NextHandle += 4;
    w->Class = cls;
    w->Style = Style;
    w->ExStyle = ExStyle;
    w->Parent = parent;
    w->Owner = owner;
    w->Instance = Instance;
    if (Style & WS_CHILD)
        w->Id = LONG_PTR(reinterpret_cast<uintptr_t>(Menu));
    else
        w->Menu = Menu;
    w->Extra.assign(size_t(cls->WndExtra), 0);
    w->Chain.push_back(cls->Proc);
    w->Rect = RECT{X, Y, X + std::max(0, Width), Y + std::max(0, Height)};
    w->Client = RECT{0, 0, w->Width(), w->Height()};
    HWND h = w->Handle;
    cls->Windows++;
    IndexWindow(wp);
    s.Windows[reinterpret_cast<uintptr_t>(h)] = std::move(w);
    parent->Children.insert(parent->Children.begin(), wp);
    if (IsTop(wp)) MoveInZOrder(wp, HWND_TOP);
    if (IsTop(wp)) ResizeSurface(wp);

    CREATESTRUCTA cs;
    cs.lpCreateParams = Param;
    cs.hInstance = Instance;
    cs.hMenu = Menu;
    cs.hwndParent = Parent;
    cs.x = X;
    cs.y = Y;
    cs.cx = Width;
    cs.cy = Height;
    cs.style = LONG(Style | (visible ? WS_VISIBLE : 0) | minmax);
    cs.lpszName = WindowName;
    cs.lpszClass = ClassName;
    cs.dwExStyle = ExStyle;

    if ((Style & WS_THICKFRAME) || !(Style & (WS_POPUP | WS_CHILD))) {
        MINMAXINFO mmi;
        ApplyMinMaxInfo(wp, mmi);
        if ((wp = Find(h)) == nullptr) return nullptr;
        int cx = std::clamp<int>(wp->Width(), mmi.ptMinTrackSize.x, std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
        int cy = std::clamp<int>(wp->Height(), mmi.ptMinTrackSize.y, std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
        wp->Rect.right = wp->Rect.left + cx;
        wp->Rect.bottom = wp->Rect.top + cy;
        cs.cx = cx;
        cs.cy = cy;
        if (IsTop(wp)) ResizeSurface(wp);
    }
    if (!SendMessageA(h, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        DestroyWindow(h);
        return nullptr;
    }
    if ((wp = Find(h)) == nullptr) return nullptr;
    RECT r{0, 0, wp->Width(), wp->Height()};
    SendMessageA(h, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&r));
    if ((wp = Find(h)) == nullptr) return nullptr;
    wp->Client = r;
    if (SendMessageA(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(h);
        return nullptr;
    }
    if ((wp = Find(h)) == nullptr) return nullptr;
    wp->Created = true;
    SendMessageA(h, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(wp->Client.right - wp->Client.left, wp->Client.bottom - wp->Client.top));
    if ((wp = Find(h)) == nullptr) return nullptr;
    SendMessageA(h, WM_MOVE, 0, MAKELPARAM(wp->Rect.left + wp->Client.left, wp->Rect.top + wp->Client.top));
    if ((wp = Find(h)) == nullptr) return nullptr;
    if (wp->IsChild() && !(wp->ExStyle & WS_EX_NOPARENTNOTIFY)) {
        for (TWnd* p = wp->Parent; p != nullptr && p != Desktop(); p = p->IsChild() ? p->Parent : nullptr) {
            SendMessageA(p->Handle, WM_PARENTNOTIFY, MAKEWPARAM(WM_CREATE, int(wp->Id)), reinterpret_cast<LPARAM>(h));
            if ((wp = Find(h)) == nullptr) return nullptr;
            if (p->ExStyle & WS_EX_NOPARENTNOTIFY) break;
        }
    }
    if (minmax & WS_MINIMIZE)
        ShowWindow(h, visible ? SW_SHOWMINNOACTIVE : SW_MINIMIZE);
    else if (minmax & WS_MAXIMIZE)
        ShowWindow(h, SW_SHOWMAXIMIZED);
    else if (visible)
        ShowWindow(h, SW_SHOW);
    if (Find(h) == nullptr) return nullptr;
    if (minmax && !visible) {
        if (TWnd* v = Find(h)) {
            if (v->Style & WS_VISIBLE) SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    GeometryChanged();
    return h;
}

namespace {

void SendDestroy(TWnd* W) {
    HWND h = W->Handle;
    Send(W, WM_DESTROY, 0, 0);
    if (TWnd* w = FindAny(h)) {
        std::vector<HWND> kids;
        for (TWnd* c : w->Children) kids.push_back(c->Handle);
        for (HWND k : kids)
            if (TWnd* c = FindAny(k); c != nullptr && !c->Dead) SendDestroy(c);
    }
}

void SendNCDestroy(TWnd* W) {
    HWND h = W->Handle;
    std::vector<HWND> kids;
    for (TWnd* c : W->Children) kids.push_back(c->Handle);
    for (HWND k : kids)
        if (TWnd* c = FindAny(k); c != nullptr && !c->Dead) SendNCDestroy(c);
    if (TWnd* w = FindAny(h)) Send(w, WM_NCDESTROY, 0, 0);
}

void Unlink(TWnd* W) {
    TState& s = S();
    while (!W->Children.empty()) Unlink(W->Children.front());
    if (W->Parent != nullptr) {
        auto& v = W->Parent->Children;
        v.erase(std::remove(v.begin(), v.end(), W), v.end());
    }
    for (auto& [k, o] : s.Windows)
        if (o->Owner == W) o->Owner = nullptr;
    if (s.Capture == W->Handle) s.Capture = nullptr;
    if (s.Focus == W->Handle) s.Focus = nullptr;
    if (s.Active == W->Handle) s.Active = nullptr;
    if (s.LastActive == W->Handle) s.LastActive = nullptr;
    UnlockIfLocked(W);
    ReleaseWindowDCs(W);
    RemoveTimers(W->Handle);
    DropPosted(W->Handle);
    W->Class->Windows--;
    W->Dead = true;
    if (IsTop(W)) windows::Backend().TopLevelDestroyed(W->Handle);
    UnindexWindow(W->Handle);
    auto it = s.Windows.find(reinterpret_cast<uintptr_t>(W->Handle));
    if (it != s.Windows.end()) {
        s.Graveyard.push_back(std::move(it->second));
        s.Windows.erase(it);
    }
}

}  // namespace

BOOL DestroyWindow(HWND Wnd) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || w == Desktop()) return FALSE;
    TState& s = S();
    s.SendDepth++;  // keep every window object alive until this call returns
    // Owned windows go first.
    std::vector<HWND> owned;
    for (auto& [k, o] : s.Windows)
        if (o->Owner == w && !o->Dying) owned.push_back(o->Handle);
    for (HWND o : owned) DestroyWindow(o);
    if ((w = Find(Wnd)) == nullptr) {
        s.SendDepth--;
        CollectGarbage();
        return TRUE;
    }
    if (w->Style & WS_VISIBLE)
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | (IsTop(w) ? 0 : SWP_NOACTIVATE));
    if ((w = Find(Wnd)) == nullptr) {
        s.SendDepth--;
        CollectGarbage();
        return TRUE;
    }
    // Focus and capture leave the tree before it is torn down.
    if (TWnd* f = Find(s.Focus); f != nullptr && (f == w || IsChild(Wnd, s.Focus))) {
        if (w->IsChild())
            SetFocus(w->Parent->Handle);
        else
            SetFocus(nullptr);
    }
    if (s.Capture != nullptr && (s.Capture == Wnd || IsChild(Wnd, s.Capture))) ReleaseCapture();
    if ((w = Find(Wnd)) == nullptr) {
        s.SendDepth--;
        CollectGarbage();
        return TRUE;
    }
    if (s.Active == Wnd) ActivateOther(w);
    if ((w = Find(Wnd)) == nullptr) {
        s.SendDepth--;
        CollectGarbage();
        return TRUE;
    }
    if (w->IsChild() && !(w->ExStyle & WS_EX_NOPARENTNOTIFY))
        SendMessageA(w->Parent->Handle, WM_PARENTNOTIFY, MAKEWPARAM(WM_DESTROY, int(w->Id)),
                     reinterpret_cast<LPARAM>(Wnd));
    if ((w = Find(Wnd)) == nullptr) {
        s.SendDepth--;
        CollectGarbage();
        return TRUE;
    }
    // From here on the handle is dying: other calls on it fail, but WM_DESTROY and
    // WM_NCDESTROY still reach the procedure.
    std::vector<TWnd*> tree{w};
    for (size_t i = 0; i < tree.size(); ++i)
        for (TWnd* c : tree[i]->Children) tree.push_back(c);
    for (TWnd* t : tree) t->Dying = true;
    SendDestroy(w);
    SendNCDestroy(w);
    Unlink(w);
    GeometryChanged();
    s.SendDepth--;
    CollectGarbage();
    return TRUE;
}

BOOL IsWindow(HWND Wnd) { return Find(Wnd) != nullptr ? TRUE : FALSE; }

// ---- the tree ----

HWND GetParent(HWND Wnd) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return nullptr;
    if (w->IsChild()) return w->Parent->Handle;
    return (w->Style & WS_POPUP) && w->Owner != nullptr ? w->Owner->Handle : nullptr;
}

HWND SetParent(HWND Wnd, HWND NewParent) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || w == Desktop()) return nullptr;
    TWnd* np = NewParent == nullptr ? Desktop() : Find(NewParent);
    if (np == nullptr) return nullptr;
    for (TWnd* a = np; a != nullptr; a = a->Parent)
        if (a == w) return nullptr;  // would make a cycle
    TWnd* old = w->Parent;
    HWND oldH = old == Desktop() ? GetDesktopWindow() : old->Handle;
    if (old == np) return oldH;
    bool shown = IsShowing(w);
    RECT oldRect = w->Rect;
    if (shown && old != Desktop()) InvalidateExposed(old, oldRect);
    auto& v = old->Children;
    v.erase(std::remove(v.begin(), v.end(), w), v.end());
    bool wasTop = IsTop(w);
    w->Parent = np;
    np->Children.insert(np->Children.begin(), w);
    if (np == Desktop()) {
        if (!wasTop) {
            POINT o = ClientOriginScreen(old);
            OffsetRect(&w->Rect, o.x, o.y);
        }
        ResizeSurface(w);
        MoveInZOrder(w, HWND_TOP);
    } else if (wasTop) {
        w->Surface.reset();
        if (S().Active == Wnd) ActivateOther(w);
    }
    if (IsShowing(w)) Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    GeometryChanged();
    return oldH;
}

BOOL IsChild(HWND Parent, HWND Wnd) {
    TWnd* p = Find(Parent);
    TWnd* w = Find(Wnd);
    if (p == nullptr || w == nullptr) return FALSE;
    for (TWnd* a = w; a->IsChild() && a->Parent != nullptr; a = a->Parent)
        if (a->Parent == p) return TRUE;
    return FALSE;
}

HWND GetWindow(HWND Wnd, UINT Cmd) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return nullptr;
    auto sib = [&](bool first) -> HWND {
        if (w->Parent == nullptr) return nullptr;
        auto& v = w->Parent->Children;
        if (v.empty()) return nullptr;
        return first ? v.front()->Handle : v.back()->Handle;
    };
    switch (Cmd) {
    case GW_HWNDFIRST: return sib(true);
    case GW_HWNDLAST: return sib(false);
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
        if (w->Parent == nullptr) return nullptr;
        auto& v = w->Parent->Children;
        auto it = std::find(v.begin(), v.end(), w);
        if (Cmd == GW_HWNDNEXT) return (it + 1) < v.end() ? (*(it + 1))->Handle : nullptr;
        return it > v.begin() ? (*(it - 1))->Handle : nullptr;
    }
    case GW_OWNER: return w->Owner != nullptr ? w->Owner->Handle : nullptr;
    case GW_CHILD: return w->Children.empty() ? nullptr : w->Children.front()->Handle;
    case GW_ENABLEDPOPUP:
        for (TWnd* c : Desktop()->Children)
            if (c->Owner == w && (c->Style & WS_VISIBLE) && !(c->Style & WS_DISABLED)) return c->Handle;
        return nullptr;
    default: return nullptr;
    }
}

HWND GetTopWindow(HWND Wnd) {
    TWnd* w = Wnd == nullptr ? Desktop() : Find(Wnd);
    if (w == nullptr || w->Children.empty()) return nullptr;
    return w->Children.front()->Handle;
}

HWND GetNextWindow(HWND Wnd, UINT Cmd) { return GetWindow(Wnd, Cmd); }

HWND GetAncestor(HWND Wnd, UINT Flags) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || w == Desktop()) return nullptr;
    switch (Flags) {
    case GA_PARENT: return w->Parent != nullptr ? w->Parent->Handle : nullptr;
    case GA_ROOT: return TopOf(w)->Handle;
    case GA_ROOTOWNER: {
        TWnd* t = TopOf(w);
        while (t->Owner != nullptr) t = t->Owner;
        return t->Handle;
    }
    default: return nullptr;
    }
}

HWND GetDesktopWindow() { return Desktop()->Handle; }

HWND GetLastActivePopup(HWND Wnd) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return nullptr;
    if (TWnd* p = Find(w->LastActivePopup); p != nullptr && (p->Style & WS_VISIBLE) && !(p->Style & WS_DISABLED))
        return p->Handle;
    return Wnd;
}

BOOL EnumWindows(WNDENUMPROC Proc, LPARAM Param) {
    if (Proc == nullptr) return FALSE;
    std::vector<HWND> list;
    for (TWnd* c : Desktop()->Children) list.push_back(c->Handle);
    for (HWND h : list)
        if (IsWindow(h) && !Proc(h, Param)) return FALSE;
    return TRUE;
}

BOOL EnumThreadWindows(DWORD, WNDENUMPROC Proc, LPARAM Param) { return EnumWindows(Proc, Param); }

BOOL EnumChildWindows(HWND Parent, WNDENUMPROC Proc, LPARAM Param) {
    TWnd* p = Parent == nullptr ? Desktop() : Find(Parent);
    if (p == nullptr || Proc == nullptr) return FALSE;
    std::vector<HWND> list;
    std::vector<TWnd*> stack(p->Children.rbegin(), p->Children.rend());
    while (!stack.empty()) {
        TWnd* c = stack.back();
        stack.pop_back();
        list.push_back(c->Handle);
        for (auto it = c->Children.rbegin(); it != c->Children.rend(); ++it) stack.push_back(*it);
    }
    for (HWND h : list)
        if (IsWindow(h) && !Proc(h, Param)) return FALSE;
    return TRUE;
}

HWND FindWindowExA(HWND Parent, HWND ChildAfter, const char* ClassName, const char* WindowName) {
    TWnd* p = Parent == nullptr ? Desktop() : Find(Parent);
    if (p == nullptr) return nullptr;
    bool started = ChildAfter == nullptr;
    for (TWnd* c : p->Children) {
        if (!started) {
            started = c->Handle == ChildAfter;
            continue;
        }
        if (ClassName != nullptr) {
            if (IS_INTRESOURCE(ClassName) ? c->Class->Atom != ATOM(reinterpret_cast<uintptr_t>(ClassName))
                                          : !SameText(c->Class->Name, ClassName))
                continue;
        }
        if (WindowName != nullptr && c->Text != WindowName) continue;
        return c->Handle;
    }
    return nullptr;
}

HWND FindWindowA(const char* ClassName, const char* WindowName) {
    return FindWindowExA(nullptr, nullptr, ClassName, WindowName);
}

DWORD GetCurrentThreadId() { return 1; }

DWORD GetWindowThreadProcessId(HWND Wnd, DWORD* ProcessId) {
    if (Find(Wnd) == nullptr) return 0;
    if (ProcessId != nullptr) *ProcessId = 1;
    return GetCurrentThreadId();
}

// ---- state ----

BOOL IsWindowVisible(HWND Wnd) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return FALSE;
    for (TWnd* a = w; a != nullptr && a != Desktop(); a = a->Parent)
        if (!(a->Style & WS_VISIBLE)) return FALSE;
    return TRUE;
}

BOOL IsWindowEnabled(HWND Wnd) {
    TWnd* w = Find(Wnd);
    return w != nullptr && !(w->Style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND Wnd, BOOL Enable) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return FALSE;
    BOOL wasDisabled = (w->Style & WS_DISABLED) ? TRUE : FALSE;
    if (Enable && wasDisabled) {
        w->Style &= ~DWORD(WS_DISABLED);
        SendMessageA(Wnd, WM_ENABLE, TRUE, 0);
    } else if (!Enable && !wasDisabled) {
        SendMessageA(Wnd, WM_CANCELMODE, 0, 0);
        if ((w = Find(Wnd)) == nullptr) return FALSE;
        w->Style |= WS_DISABLED;
        if (S().Focus == Wnd || IsChild(Wnd, S().Focus)) SetFocus(nullptr);
        if (S().Capture == Wnd) ReleaseCapture();
        SendMessageA(Wnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

BOOL IsIconic(HWND Wnd) {
    TWnd* w = Find(Wnd);
    return w != nullptr && (w->Style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND Wnd) {
    TWnd* w = Find(Wnd);
    return w != nullptr && (w->Style & WS_MAXIMIZE) ? TRUE : FALSE;
}

namespace {

RECT MinimizedRect(TWnd* W) {
    int cx = GetSystemMetrics(SM_CXMINIMIZED), cy = GetSystemMetrics(SM_CYMINIMIZED);
    if (W->IsChild()) {
        int h = W->Parent->Client.bottom - W->Parent->Client.top;
        return RECT{0, h - cy, cx, h};
    }
    return RECT{-32000, -32000, -32000 + cx, -32000 + cy};
}

// Changes between normal, minimised and maximised; returns the flags SetWindowPos needs.
void ChangeState(TWnd* W, DWORD NewState, bool Activate, bool Show) {
    HWND h = W->Handle;
    DWORD oldState = W->Style & (WS_MINIMIZE | WS_MAXIMIZE);
    RECT target;
    if (oldState == 0) {
        W->NormalRect = W->Rect;
        W->HasNormalRect = true;
    }
    if (NewState == WS_MINIMIZE) {
        target = MinimizedRect(W);
    } else if (NewState == WS_MAXIMIZE) {
        MINMAXINFO mmi;
        ApplyMinMaxInfo(W, mmi);
        if ((W = Find(h)) == nullptr) return;
        RECT work{0, 0, 0, 0};
        if (!W->IsChild()) {
            MONITORINFO mi;
            RECT r = W->HasNormalRect ? W->NormalRect : W->Rect;
            if (GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &mi)) work = mi.rcWork;
        }
        int cx = std::min(mmi.ptMaxSize.x, mmi.ptMaxTrackSize.x), cy = std::min(mmi.ptMaxSize.y, mmi.ptMaxTrackSize.y);
        target = RECT{work.left + mmi.ptMaxPosition.x, work.top + mmi.ptMaxPosition.y,
                      work.left + mmi.ptMaxPosition.x + cx, work.top + mmi.ptMaxPosition.y + cy};
    } else {
        target = W->HasNormalRect ? W->NormalRect : W->Rect;
    }
    W->Style = (W->Style & ~DWORD(WS_MINIMIZE | WS_MAXIMIZE)) | NewState;
    UINT flags = SWP_FRAMECHANGED | SWP_NOZORDER;
    if (Show) flags |= SWP_SHOWWINDOW;
    if (!Activate) flags |= SWP_NOACTIVATE;
    SetWindowPos(h, HWND_TOP, target.left, target.top, target.right - target.left, target.bottom - target.top,
                 flags);
}

}  // namespace

BOOL ShowWindow(HWND Wnd, int CmdShow) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || w == Desktop()) return FALSE;
    BOOL wasVisible = (w->Style & WS_VISIBLE) ? TRUE : FALSE;
    bool child = w->IsChild();
    auto showMsg = [&](bool show) -> bool {
        if (bool(wasVisible) == show) return true;
        SendMessageA(Wnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
        return (w = Find(Wnd)) != nullptr;
    };
    const UINT keep = SWP_NOSIZE | SWP_NOMOVE;
    switch (CmdShow) {
    case SW_HIDE:
        if (!wasVisible) return FALSE;
        if (!showMsg(false)) return wasVisible;
        SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | keep | SWP_NOZORDER | SWP_NOACTIVATE);
        if ((w = Find(Wnd)) != nullptr && S().Active == Wnd) ActivateOther(w);
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
    case SW_SHOWNOACTIVATE: {
        bool act = CmdShow != SW_SHOWNOACTIVATE && !child;
        if (!showMsg(true)) return wasVisible;
        if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) {
            // A minimised window that was maximised before goes back to maximised on SW_RESTORE.
            ChangeState(w, 0, act, true);
        } else {
            SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | keep | (act ? 0 : SWP_NOACTIVATE | SWP_NOZORDER));
        }
        break;
    }
    case SW_SHOW:
    case SW_SHOWNA:
        if (!showMsg(true)) return wasVisible;
        SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0,
                     SWP_SHOWWINDOW | keep | (CmdShow == SW_SHOWNA || child ? SWP_NOACTIVATE | SWP_NOZORDER : 0));
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE:
        if (!showMsg(true)) return wasVisible;
        if (!(w->Style & WS_MINIMIZE)) ChangeState(w, WS_MINIMIZE, CmdShow == SW_SHOWMINIMIZED, true);
        else SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | keep | SWP_NOZORDER | SWP_NOACTIVATE);
        if ((w = Find(Wnd)) != nullptr && CmdShow != SW_SHOWMINIMIZED && S().Active == Wnd) ActivateOther(w);
        break;
    case SW_SHOWMAXIMIZED:
        if (!showMsg(true)) return wasVisible;
        if (!(w->Style & WS_MAXIMIZE)) ChangeState(w, WS_MAXIMIZE, !child, true);
        else SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW | keep | (child ? SWP_NOACTIVATE : 0));
        break;
    default: return wasVisible;
    }
    return wasVisible;
}

BOOL ShowOwnedPopups(HWND Owner, BOOL Show) {
    TWnd* o = Find(Owner);
    if (o == nullptr) return FALSE;
    std::vector<HWND> list;
    for (TWnd* c : Desktop()->Children)
        if (c->Owner == o && (c->Style & WS_POPUP)) list.push_back(c->Handle);
    for (HWND h : list) ShowWindow(h, Show ? SW_SHOWNOACTIVATE : SW_HIDE);
    return TRUE;
}

BOOL OpenIcon(HWND Wnd) { return IsWindow(Wnd) ? (ShowWindow(Wnd, SW_RESTORE), TRUE) : FALSE; }
BOOL CloseWindow(HWND Wnd) { return IsWindow(Wnd) ? (ShowWindow(Wnd, SW_MINIMIZE), TRUE) : FALSE; }

BOOL BringWindowToTop(HWND Wnd) {
    return SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
}

BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* P) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || P == nullptr) return FALSE;
    P->flags = 0;
    P->showCmd = !(w->Style & WS_VISIBLE) ? SW_HIDE
                 : (w->Style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                 : (w->Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                            : SW_SHOWNORMAL;
    P->rcNormalPosition = (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) && w->HasNormalRect ? w->NormalRect : w->Rect;
    P->ptMinPosition = POINT{-1, -1};
    P->ptMaxPosition = POINT{-1, -1};
    return TRUE;
}

BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* P) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || P == nullptr) return FALSE;
    const RECT& r = P->rcNormalPosition;
    if (w->Style & (WS_MINIMIZE | WS_MAXIMIZE)) {
        w->NormalRect = r;
        w->HasNormalRect = true;
    } else {
        SetWindowPos(Wnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (IsWindow(Wnd) && P->showCmd != SW_HIDE) ShowWindow(Wnd, int(P->showCmd));
    else if (IsWindow(Wnd)) ShowWindow(Wnd, SW_HIDE);
    return TRUE;
}

// ---- text ----

BOOL SetWindowTextA(HWND Wnd, const char* Text) {
    if (Find(Wnd) == nullptr) return FALSE;
    return SendMessageA(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text != nullptr ? Text : "")) ? TRUE : FALSE;
}

int GetWindowTextA(HWND Wnd, char* Text, int MaxCount) {
    if (Text != nullptr && MaxCount > 0) Text[0] = 0;
    if (Find(Wnd) == nullptr || Text == nullptr || MaxCount <= 0) return 0;
    return int(SendMessageA(Wnd, WM_GETTEXT, WPARAM(MaxCount), reinterpret_cast<LPARAM>(Text)));
}

int GetWindowTextLengthA(HWND Wnd) {
    if (Find(Wnd) == nullptr) return 0;
    return int(SendMessageA(Wnd, WM_GETTEXTLENGTH, 0, 0));
}

std::string GetWindowTextStr(HWND Wnd) {
    int n = GetWindowTextLengthA(Wnd);
    if (n <= 0) return std::string();
    std::string s(size_t(n) + 1, '\0');
    int got = GetWindowTextA(Wnd, s.data(), n + 1);
    s.resize(size_t(std::max(0, got)));
    return s;
}

// ---- geometry ----

BOOL GetWindowRect(HWND Wnd, RECT* R) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || R == nullptr) return FALSE;
    *R = WindowRectScreen(w);
    return TRUE;
}

BOOL GetClientRect(HWND Wnd, RECT* R) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || R == nullptr) return FALSE;
    *R = RECT{0, 0, std::max(0, int(w->Client.right - w->Client.left)), std::max(0, int(w->Client.bottom - w->Client.top))};
    return TRUE;
}

BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint) {
    return SetWindowPos(Wnd, nullptr, X, Y, Width, Height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || w == Desktop()) return FALSE;
    if (InsertAfter == Wnd) Flags |= SWP_NOZORDER;
    WINDOWPOS wp;
    wp.hwnd = Wnd;
    wp.hwndInsertAfter = InsertAfter;
    wp.x = (Flags & SWP_NOMOVE) ? w->Rect.left : X;
    wp.y = (Flags & SWP_NOMOVE) ? w->Rect.top : Y;
    wp.cx = (Flags & SWP_NOSIZE) ? w->Width() : Cx;
    wp.cy = (Flags & SWP_NOSIZE) ? w->Height() : Cy;
    if ((Flags & SWP_SHOWWINDOW) && (w->Style & WS_VISIBLE)) Flags &= ~SWP_SHOWWINDOW;
    if ((Flags & SWP_HIDEWINDOW) && !(w->Style & WS_VISIBLE)) Flags &= ~SWP_HIDEWINDOW;
    if (!(Flags & SWP_NOMOVE) && wp.x == w->Rect.left && wp.y == w->Rect.top) Flags |= SWP_NOMOVE;
    if (!(Flags & SWP_NOSIZE) && wp.cx == w->Width() && wp.cy == w->Height()) Flags |= SWP_NOSIZE;
    wp.flags = Flags;
    if (!(Flags & SWP_NOSENDCHANGING)) {
        SendMessageA(Wnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        if ((w = Find(Wnd)) == nullptr) return FALSE;
    }
    Flags = wp.flags;
    TWnd* after = nullptr;
    if (!(Flags & SWP_NOZORDER)) {
        InsertAfter = wp.hwndInsertAfter;
        if (InsertAfter != HWND_TOP && InsertAfter != HWND_BOTTOM && InsertAfter != HWND_TOPMOST &&
            InsertAfter != HWND_NOTOPMOST) {
            after = Find(InsertAfter);
            if (after == nullptr || after->Parent != w->Parent) Flags |= SWP_NOZORDER;
        }
    }
    int cx = std::max(0, wp.cx), cy = std::max(0, wp.cy);
    RECT oldRect = w->Rect, oldClient = w->Client;
    bool wasShowing = IsShowing(w);
    RECT newRect = oldRect;
    if (!(Flags & SWP_NOMOVE)) OffsetRect(&newRect, wp.x - oldRect.left, wp.y - oldRect.top);
    if (!(Flags & SWP_NOSIZE)) {
        newRect.right = newRect.left + cx;
        newRect.bottom = newRect.top + cy;
    }
    bool sized = newRect.right - newRect.left != oldRect.right - oldRect.left ||
                 newRect.bottom - newRect.top != oldRect.bottom - oldRect.top;
    bool moved = newRect.left != oldRect.left || newRect.top != oldRect.top;
    RECT newClient = oldClient;
    if (sized || (Flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS p;
        p.rgrc[0] = newRect;
        p.rgrc[1] = oldRect;
        p.rgrc[2] = RECT{oldRect.left + oldClient.left, oldRect.top + oldClient.top, oldRect.left + oldClient.right,
                         oldRect.top + oldClient.bottom};
        WINDOWPOS copy = wp;
        p.lppos = &copy;
        SendMessageA(Wnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&p));
        if ((w = Find(Wnd)) == nullptr) return FALSE;
        newClient = RECT{p.rgrc[0].left - newRect.left, p.rgrc[0].top - newRect.top, p.rgrc[0].right - newRect.left,
                         p.rgrc[0].bottom - newRect.top};
        if (newClient.right < newClient.left) newClient.right = newClient.left;
        if (newClient.bottom < newClient.top) newClient.bottom = newClient.top;
    }
    bool clientSized = newClient.right - newClient.left != oldClient.right - oldClient.left ||
                       newClient.bottom - newClient.top != oldClient.bottom - oldClient.top;
    w->Rect = newRect;
    w->Client = newClient;
    bool zChanged = false;
    if (!(Flags & SWP_NOZORDER) && w->Parent != nullptr) {
        auto before = w->Parent->Children;
        DWORD oldEx = w->ExStyle;
        MoveInZOrder(w, InsertAfter);
        zChanged = before != w->Parent->Children || oldEx != w->ExStyle;
    }
    if (Flags & SWP_SHOWWINDOW) w->Style |= WS_VISIBLE;
    if (Flags & SWP_HIDEWINDOW) w->Style &= ~DWORD(WS_VISIBLE);
    bool top = IsTop(w);
    if (top && sized) ResizeSurface(w);
    bool nowShowing = IsShowing(w);
    if (!(Flags & SWP_NOREDRAW) || (Flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))) {
        if (wasShowing && !top && (moved || sized || zChanged || !nowShowing))
            InvalidateExposed(w->Parent, oldRect);
        if (nowShowing) {
            if (!wasShowing || (!top && (moved || zChanged)) ) {
                Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            } else if (sized || (Flags & SWP_FRAMECHANGED)) {
                UINT cs = w->Class->Style;
                bool all = clientSized && ((cs & (CS_HREDRAW | CS_VREDRAW)) != 0 || top);
                if (all || (Flags & SWP_FRAMECHANGED) || (newClient.left != oldClient.left || newClient.top != oldClient.top)) {
                    Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
                } else {
                    TRegion fresh(0, 0, newClient.right - newClient.left, newClient.bottom - newClient.top);
                    fresh.Subtract(TRegion(0, 0, oldClient.right - oldClient.left, oldClient.bottom - oldClient.top));
                    Invalidate(w, &fresh, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
                    Invalidate(w, nullptr, RDW_FRAME | RDW_NOCHILDREN);
                }
            }
        }
    }
    GeometryChanged();
    if (top) {
        auto& be = windows::Backend();
        if (nowShowing && !wasShowing)
            be.TopLevelShown(Wnd, w->Rect);
        else if (!nowShowing && wasShowing)
            be.TopLevelHidden(Wnd);
        else if (nowShowing && (moved || sized))
            be.TopLevelMoved(Wnd, w->Rect);
    }
    if (top && nowShowing && !(Flags & (SWP_NOACTIVATE | SWP_HIDEWINDOW)) && !(w->ExStyle & WS_EX_NOACTIVATE) &&
        !(w->Style & WS_DISABLED))
        SetActive(w, false);
    if ((w = Find(Wnd)) == nullptr) return TRUE;
    if (top && (Flags & SWP_HIDEWINDOW) && S().Active == Wnd) ActivateOther(w);
    if ((w = Find(Wnd)) == nullptr) return TRUE;
    wp.x = w->Rect.left;
    wp.y = w->Rect.top;
    wp.cx = w->Width();
    wp.cy = w->Height();
    if (!moved) Flags |= SWP_NOMOVE;
    if (!sized) Flags |= SWP_NOSIZE;
    if (clientSized) Flags &= ~SWP_NOSIZE;
    wp.flags = Flags;
    SendMessageA(Wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    return TRUE;
}

BOOL ClientToScreen(HWND Wnd, POINT* P) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || P == nullptr) return FALSE;
    POINT o = ClientOriginScreen(w);
    P->x += o.x;
    P->y += o.y;
    return TRUE;
}

BOOL ScreenToClient(HWND Wnd, POINT* P) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || P == nullptr) return FALSE;
    POINT o = ClientOriginScreen(w);
    P->x -= o.x;
    P->y -= o.y;
    return TRUE;
}

int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count) {
    POINT a{0, 0}, b{0, 0};
    if (From != nullptr) {
        TWnd* f = Find(From);
        if (f == nullptr) return 0;
        a = ClientOriginScreen(f);
    }
    if (To != nullptr) {
        TWnd* t = Find(To);
        if (t == nullptr) return 0;
        b = ClientOriginScreen(t);
    }
    int dx = a.x - b.x, dy = a.y - b.y;
    for (UINT i = 0; Points != nullptr && i < Count; ++i) {
        Points[i].x += dx;
        Points[i].y += dy;
    }
    return int(MAKELONG(dx, dy));
}

HWND ChildWindowFromPointEx(HWND Parent, POINT P, UINT Flags) {
    TWnd* p = Find(Parent);
    if (p == nullptr) return nullptr;
    RECT cr{0, 0, p->Client.right - p->Client.left, p->Client.bottom - p->Client.top};
    if (!PtInRect(&cr, P)) return nullptr;
    for (TWnd* c : p->Children) {
        if ((Flags & CWP_SKIPINVISIBLE) && !(c->Style & WS_VISIBLE)) continue;
        if ((Flags & CWP_SKIPDISABLED) && (c->Style & WS_DISABLED)) continue;
        if ((Flags & CWP_SKIPTRANSPARENT) && (c->ExStyle & WS_EX_TRANSPARENT)) continue;
        if (PtInRect(&c->Rect, P)) return c->Handle;
    }
    return Parent;
}

HWND ChildWindowFromPoint(HWND Parent, POINT P) { return ChildWindowFromPointEx(Parent, P, CWP_ALL); }

HWND WindowFromPoint(POINT P) {
    TWnd* d = Desktop();
    for (TWnd* t : d->Children) {
        if (!IsShowing(t)) continue;
        RECT r = t->Rect;
        if (!PtInRect(&r, P)) continue;
        if (SendMessageA(t->Handle, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y)) == HTTRANSPARENT) continue;
        TWnd* w = Find(t->Handle);
        if (w == nullptr) continue;
        for (;;) {
            POINT c = P;
            POINT o = ClientOriginScreen(w);
            c.x -= o.x;
            c.y -= o.y;
            RECT cr{0, 0, w->Client.right - w->Client.left, w->Client.bottom - w->Client.top};
            if (!PtInRect(&cr, c)) break;
            TWnd* next = nullptr;
            for (TWnd* ch : w->Children) {
                if (!(ch->Style & WS_VISIBLE) || !PtInRect(&ch->Rect, c)) continue;
                if (ch->Style & WS_DISABLED) break;  // a disabled child hands the point to its parent
                if (SendMessageA(ch->Handle, WM_NCHITTEST, 0, MAKELPARAM(P.x, P.y)) == HTTRANSPARENT) continue;
                next = Find(ch->Handle);
                break;
            }
            if (next == nullptr) break;
            w = next;
        }
        return w->Handle;
    }
    return nullptr;
}

BOOL AdjustWindowRectEx(RECT* R, DWORD Style, BOOL Menu, DWORD ExStyle) {
    if (R == nullptr) return FALSE;
    if ((Style & (WS_CHILD | WS_POPUP)) == 0) Style |= WS_CAPTION;
    TNCMetrics m = NCMetricsOf(Style, ExStyle, Menu != FALSE, (Style & WS_CHILD) != 0);
    R->left -= m.BorderX + m.EdgeX;
    R->right += m.BorderX + m.EdgeX;
    R->top -= m.BorderY + m.EdgeY + m.Caption + m.Menu;
    R->bottom += m.BorderY + m.EdgeY;
    return TRUE;
}

BOOL AdjustWindowRect(RECT* R, DWORD Style, BOOL Menu) { return AdjustWindowRectEx(R, Style, Menu, 0); }

// ---- window data ----

LONG_PTR GetWindowLongPtrA(HWND Wnd, int Index) {
    TWnd* w = FindAny(Wnd);
    if (w == nullptr || w->Dead) return 0;
    switch (Index) {
    case GWL_WNDPROC: return LONG_PTR(reinterpret_cast<uintptr_t>(w->Proc()));
    case GWL_HINSTANCE: return LONG_PTR(w->Instance);
    case GWL_HWNDPARENT:
        return LONG_PTR(reinterpret_cast<uintptr_t>(w->IsChild() ? w->Parent->Handle
                                                                 : (w->Owner ? w->Owner->Handle : nullptr)));
    case GWL_ID: return w->Id;
    case GWL_STYLE: return LONG_PTR(w->Style);
    case GWL_EXSTYLE: return LONG_PTR(w->ExStyle);
    case GWL_USERDATA: return w->UserData;
    default:
        if (Index >= 0 && size_t(Index) + sizeof(LONG_PTR) <= w->Extra.size()) {
            LONG_PTR v;
            std::memcpy(&v, w->Extra.data() + Index, sizeof v);
            return v;
        }
        return 0;
    }
}

LONG_PTR SetWindowLongPtrA(HWND Wnd, int Index, LONG_PTR V) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return 0;
    LONG_PTR old = GetWindowLongPtrA(Wnd, Index);
    switch (Index) {
    case GWL_WNDPROC: {
        // A removed or freed procedure stands for the one its calls reach.
        WNDPROC p = ResolveProc(reinterpret_cast<WNDPROC>(V), Wnd);
        if (p == nullptr) return 0;
        auto& c = w->Chain;
        auto it = std::find(c.begin(), c.end(), p);
        if (it != c.end() && it + 1 != c.end()) {
            // Restoring a procedure that is already in the chain: only the link that had
            // replaced it is removed; links above it stay, and calls through the removed
            // link go on to P.
            WNDPROC removed = *(it + 1);
            c.erase(it + 1);
            ProcFreedOrRemoved(removed, Wnd, p);
            return LONG_PTR(reinterpret_cast<uintptr_t>(removed));
        }
        if (it == c.end()) {
            c.push_back(p);
            ProcReinstated(p, Wnd);
        }
        return old;
    }
    case GWL_HINSTANCE: w->Instance = HINSTANCE(V); break;
    case GWL_HWNDPARENT:
        if (!w->IsChild()) {
            TWnd* o = Find(reinterpret_cast<HWND>(V));
            w->Owner = o != nullptr ? TopOf(o) : nullptr;
        }
        break;
    case GWL_ID: w->Id = V; break;
    case GWL_STYLE: {
        DWORD nv = DWORD(V);
        DWORD keep = WS_CHILD;  // a window cannot change between child and top-level this way
        nv = (nv & ~keep) | (w->Style & keep);
        SendMessageA(Wnd, WM_STYLECHANGING, WPARAM(GWL_STYLE), 0);
        if ((w = Find(Wnd)) == nullptr) return old;
        bool vis = ((nv ^ w->Style) & WS_VISIBLE) != 0;
        w->Style = nv;
        SendMessageA(Wnd, WM_STYLECHANGED, WPARAM(GWL_STYLE), 0);
        if (vis) {
            if ((w = Find(Wnd)) != nullptr) {
                if (w->Style & WS_VISIBLE)
                    Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
                else if (!IsTop(w))
                    InvalidateExposed(w->Parent, w->Rect);
            }
        }
        GeometryChanged();
        break;
    }
    case GWL_EXSTYLE:
        SendMessageA(Wnd, WM_STYLECHANGING, WPARAM(GWL_EXSTYLE), 0);
        if ((w = Find(Wnd)) == nullptr) return old;
        w->ExStyle = DWORD(V);
        SendMessageA(Wnd, WM_STYLECHANGED, WPARAM(GWL_EXSTYLE), 0);
        GeometryChanged();
        break;
    case GWL_USERDATA: w->UserData = V; break;
    default:
        if (Index >= 0 && size_t(Index) + sizeof(LONG_PTR) <= w->Extra.size()) {
            std::memcpy(w->Extra.data() + Index, &V, sizeof V);
            break;
        }
        return 0;
    }
    return old;
}

BOOL SetPropA(HWND Wnd, const char* Name, void* Data) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || Name == nullptr) return FALSE;
    for (auto& p : w->Props)
        if (SameText(p.first, Name)) {
            p.second = Data;
            return TRUE;
        }
    w->Props.emplace_back(Name, Data);
    return TRUE;
}

void* GetPropA(HWND Wnd, const char* Name) {
    TWnd* w = FindAny(Wnd);
    if (w == nullptr || w->Dead || Name == nullptr) return nullptr;
    for (auto& p : w->Props)
        if (SameText(p.first, Name)) return p.second;
    return nullptr;
}

void* RemovePropA(HWND Wnd, const char* Name) {
    TWnd* w = FindAny(Wnd);
    if (w == nullptr || w->Dead || Name == nullptr) return nullptr;
    for (auto it = w->Props.begin(); it != w->Props.end(); ++it)
        if (SameText(it->first, Name)) {
            void* d = it->second;
            w->Props.erase(it);
            return d;
        }
    return nullptr;
}

HMENU GetMenu(HWND Wnd) {
    TWnd* w = Find(Wnd);
    return w != nullptr && !w->IsChild() ? w->Menu : nullptr;
}

BOOL SetMenu(HWND Wnd, HMENU Menu) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || w->IsChild()) return FALSE;
    w->Menu = Menu;
    SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return TRUE;
}

}  // namespace host
