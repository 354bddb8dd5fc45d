// The painting pipeline: top-level surfaces, window DCs and their visible regions, update regions, WM_PAINT, scrolling and the desktop.
#include <algorithm>
#include <cstring>

#include "host/gdi/gdi.h"
#include "host/windows/backend.h"
#include "host/windows/wnd_internal.h"

namespace host::win {

namespace {

struct TDCRec {
    HDC Dc = nullptr;
    HWND Wnd = nullptr;
    DWORD Flags = 0;              // resolved DCX_* flags
    bool Paint = false;
    TRegion PaintRgn;             // client coordinates
    int ExtraMode = 0;            // 0, DCX_INTERSECTRGN or DCX_EXCLUDERGN
    TRegion Extra;                // screen coordinates
    bool Dead = false;
};

std::vector<TDCRec>& DCs() {
    static std::vector<TDCRec> v;
    return v;
}

TRegion SurfaceRect(const TWnd* W, bool WindowArea) {
    POINT o = WindowOriginSurface(W);
    if (WindowArea) return TRegion(o.x, o.y, o.x + W->Width(), o.y + W->Height());
    return TRegion(o.x + W->Client.left, o.y + W->Client.top, o.x + W->Client.right, o.y + W->Client.bottom);
}

// The part of a window's surface that its drawing may touch, in the top-level's surface coordinates.
TRegion ComputeVis(TWnd* W, DWORD Flags) {
    TRegion none;
    TWnd* top = TopOf(W);
    if (top == nullptr || !top->Surface || !IsShowing(W)) return none;
    if (LockedFor(W) && !(Flags & DCX_LOCKWINDOWUPDATE)) return none;
    TRegion r = SurfaceRect(W, (Flags & DCX_WINDOW) != 0);
    TWnd* c = W;
    bool clipSib = (Flags & DCX_CLIPSIBLINGS) != 0;
    while (!IsTop(c)) {
        TWnd* p = c->Parent;
        if (clipSib) {
            for (TWnd* s : p->Children) {
                if (s == c) break;
                if (s->Style & WS_VISIBLE) r.Subtract(SurfaceRect(s, true));
            }
        }
        r.Intersect(SurfaceRect(p, false));
        c = p;
        clipSib = (c->Style & WS_CLIPSIBLINGS) != 0;
    }
    if (Flags & DCX_CLIPCHILDREN)
        for (TWnd* ch : W->Children)
            if (ch->Style & WS_VISIBLE) r.Subtract(SurfaceRect(ch, true));
    r.Intersect(RECT{0, 0, top->Surface->Width, top->Surface->Height});
    return r;
}

void UpdateDC(TDCRec& R) {
    auto* dc = gdi::Find<gdi::TDCObj>(R.Dc);
    if (dc == nullptr) {
        R.Dead = true;
        return;
    }
    TWnd* w = R.Dead ? nullptr : FindAny(R.Wnd);
    if (w == nullptr || w->Dead) {
        dc->ExternalSurface = nullptr;
        dc->HasVisRgn = true;
        dc->VisRgn.SetEmpty();
        dc->ClipChanged();
        return;
    }
    TWnd* top = TopOf(w);
    dc->ExternalSurface = top != nullptr ? top->Surface.get() : nullptr;
    POINT o = WindowOriginSurface(w);
    if (!(R.Flags & DCX_WINDOW)) {
        o.x += w->Client.left;
        o.y += w->Client.top;
    }
    dc->DeviceOffset = o;
    dc->HasVisRgn = true;
    dc->VisRgn = ComputeVis(w, R.Flags);
    if (R.Paint) {
        TRegion p = R.PaintRgn;
        POINT c = WindowOriginSurface(w);
        p.Offset(c.x + w->Client.left, c.y + w->Client.top);
        dc->VisRgn.Intersect(p);
    }
    if (R.ExtraMode != 0 && top != nullptr) {
        TRegion e = R.Extra;
        e.Offset(-top->Rect.left, -top->Rect.top);
        if (R.ExtraMode == int(DCX_INTERSECTRGN))
            dc->VisRgn.Intersect(e);
        else
            dc->VisRgn.Subtract(e);
    }
    dc->ClipChanged();
}

HDC MakeDC(TWnd* W, DWORD Flags, const TRegion* Paint, int ExtraMode, const TRegion* Extra) {
    if (Flags & DCX_USESTYLE) {
        Flags &= ~DWORD(DCX_CLIPCHILDREN | DCX_CLIPSIBLINGS | DCX_PARENTCLIP);
        if (W->Style & WS_CLIPSIBLINGS) Flags |= DCX_CLIPSIBLINGS;
        if (!(Flags & DCX_WINDOW) && (W->Style & WS_CLIPCHILDREN) && !(W->Style & WS_MINIMIZE))
            Flags |= DCX_CLIPCHILDREN;
    }
    auto obj = std::make_unique<gdi::TDCObj>();
    obj->DCKind = gdi::TDCKind::Window;
    obj->Window = W->Handle;
    HDC dc = gdi::AddDC(std::move(obj));
    if (dc == nullptr) return nullptr;
    TDCRec r;
    r.Dc = dc;
    r.Wnd = W->Handle;
    r.Flags = Flags;
    if (Paint != nullptr) {
        r.Paint = true;
        r.PaintRgn = *Paint;
    }
    if (Extra != nullptr && ExtraMode != 0) {
        r.ExtraMode = ExtraMode;
        r.Extra = *Extra;
    }
    DCs().push_back(std::move(r));
    UpdateDC(DCs().back());
    return dc;
}

bool IsDescendantOrSelf(const TWnd* W, const TWnd* Of) {
    for (const TWnd* a = W; a != nullptr; a = a->Parent)
        if (a == Of) return true;
    return false;
}

RECT ClientBounds(const TWnd* W) {
    return RECT{0, 0, std::max(0, int(W->Client.right - W->Client.left)), std::max(0, int(W->Client.bottom - W->Client.top))};
}

bool HasNonClient(const TWnd* W) {
    return W->Client.left != 0 || W->Client.top != 0 || W->Client.right != W->Width() || W->Client.bottom != W->Height();
}

// Paints one window's pending update now (WM_NCPAINT, WM_ERASEBKGND, WM_PAINT as needed).
void PaintOne(HWND H, bool EraseOnly) {
    TWnd* w = Find(H);
    if (w == nullptr || !NeedsPaint(w)) return;
    if (EraseOnly) {
        if (w->NCPending) {
            w->NCPending = false;
            Send(w, WM_NCPAINT, 1, 0);
            if ((w = Find(H)) == nullptr) return;
        }
        if (w->Erase && !w->Update.Empty()) {
            w->Erase = false;
            TRegion rgn = w->Update;
            HDC dc = MakeDC(w, DCX_USESTYLE, &rgn, 0, nullptr);
            Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
            ReleaseDC(H, dc);
        }
        return;
    }
    Send(w, WM_PAINT, 0, 0);
    if ((w = Find(H)) != nullptr && NeedsPaint(w)) {
        // A procedure that neither painted nor validated: validate, or it would come back forever.
        w->Update.SetEmpty();
        w->Erase = w->InternalPaint = w->NCPending = false;
    }
}

}  // namespace

void GeometryChanged() {
    S().GeometryVersion++;
    S().DesktopDirty = true;
    auto& v = DCs();
    for (auto& r : v) UpdateDC(r);
    v.erase(std::remove_if(v.begin(), v.end(), [](const TDCRec& r) { return r.Dead && gdi::Find<gdi::TDCObj>(r.Dc) == nullptr; }), v.end());
}

void ReleaseWindowDCs(TWnd* W) {
    for (auto& r : DCs())
        if (r.Wnd == W->Handle) {
            r.Dead = true;
            UpdateDC(r);
            if (auto* dc = gdi::Find<gdi::TDCObj>(r.Dc)) {
                dc->ExternalSurface = nullptr;
                dc->HasVisRgn = true;
                dc->VisRgn.SetEmpty();
                dc->ClipChanged();
            }
        }
}

void ResizeSurface(TWnd* W) {
    int w = std::max(0, W->Width()), h = std::max(0, W->Height());
    // Sides are limited so that a huge window cannot exhaust memory; the rest is not drawn.
    w = std::min(w, 16384);
    h = std::min(h, 16384);
    if (!W->Surface) {
        W->Surface = std::make_unique<gdi::TBitmapObj>();
        W->Surface->Stock = true;
    }
    auto& s = *W->Surface;
    if (s.Width == w && s.Height == h) return;
    std::vector<uint32_t> px(size_t(w) * size_t(h), gdi::ToPixel(GetSysColor(COLOR_BTNFACE)));
    int cw = std::min(w, s.Width), ch = std::min(h, s.Height);
    for (int y = 0; y < ch; ++y)
        std::memcpy(px.data() + size_t(y) * size_t(w), s.Pixels.data() + size_t(y) * size_t(s.Width), size_t(cw) * 4);
    s.Pixels = std::move(px);
    s.Width = w;
    s.Height = h;
    s.ResetImage();
}

bool LockedFor(const TWnd* W) {
    TWnd* l = Find(S().Locked);
    return l != nullptr && IsDescendantOrSelf(W, l);
}

void UnlockIfLocked(TWnd* W) {
    if (S().Locked == W->Handle) S().Locked = nullptr;
}

void Invalidate(TWnd* W, const TRegion* Rgn, UINT Flags) {
    if (W == nullptr || W->Dead) return;
    if (W == Desktop()) {
        S().DesktopDirty = true;
        for (TWnd* t : W->Children) Invalidate(t, nullptr, Flags | RDW_FRAME);
        return;
    }
    RECT cb = ClientBounds(W);
    TRegion r = Rgn != nullptr ? *Rgn : TRegion(cb);
    r.Intersect(cb);
    if (Flags & RDW_INVALIDATE) {
        W->Update.Union(r);
        if ((Flags & RDW_ERASE) && !r.Empty()) W->Erase = true;
        if (Flags & RDW_FRAME) W->NCPending = HasNonClient(W) || W->NCPending;
        if (Flags & RDW_INTERNALPAINT) W->InternalPaint = true;
    } else if (Flags & RDW_VALIDATE) {
        if (Rgn != nullptr)
            W->Update.Subtract(r);
        else
            W->Update.SetEmpty();
        if ((Flags & RDW_NOERASE) || W->Update.Empty()) W->Erase = false;
        if (Flags & RDW_NOFRAME) W->NCPending = false;
        if (Flags & RDW_NOINTERNALPAINT) W->InternalPaint = false;
    }
    bool kids = (Flags & RDW_ALLCHILDREN) || (!(Flags & RDW_NOCHILDREN) && !(W->Style & WS_CLIPCHILDREN));
    if (!kids) return;
    TRegion area = Rgn != nullptr ? r : TRegion(cb);
    for (TWnd* c : W->Children) {
        if (!(c->Style & WS_VISIBLE) || !area.Intersects(c->Rect)) continue;
        TRegion cr = area;
        cr.Intersect(c->Rect);
        bool frame = false;
        if (Flags & RDW_INVALIDATE) {
            TRegion client(c->Rect.left + c->Client.left, c->Rect.top + c->Client.top, c->Rect.left + c->Client.right,
                           c->Rect.top + c->Client.bottom);
            TRegion nc = cr;
            nc.Subtract(client);
            frame = !nc.Empty();
        }
        cr.Offset(-(c->Rect.left + c->Client.left), -(c->Rect.top + c->Client.top));
        UINT f = (Flags & ~UINT(RDW_FRAME | RDW_NOFRAME)) | (frame ? RDW_FRAME : 0);
        if (Flags & RDW_ALLCHILDREN) f |= RDW_ALLCHILDREN;
        Invalidate(c, &cr, f);
    }
}

void InvalidateExposed(TWnd* Parent, const RECT& R) {
    if (Parent == nullptr) return;
    if (Parent == Desktop()) {
        S().DesktopDirty = true;
        return;
    }
    TRegion r(R);
    Invalidate(Parent, &r, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool NeedsPaint(const TWnd* W) {
    if (W == nullptr || W->Dead || W == S().Desktop) return false;
    if (W->Update.Empty() && !W->InternalPaint && !W->NCPending) return false;
    return IsShowing(W) && !LockedFor(W);
}

TWnd* FindPaintWindow(TWnd* Filter) {
    std::vector<TWnd*> stack;
    if (Filter != nullptr) {
        stack.push_back(Filter);
    } else {
        for (auto it = Desktop()->Children.rbegin(); it != Desktop()->Children.rend(); ++it) stack.push_back(*it);
    }
    // Pre-order: a parent before its children, children from the bottom of the z-order up.
    while (!stack.empty()) {
        TWnd* w = stack.back();
        stack.pop_back();
        if (!(w->Style & WS_VISIBLE)) continue;
        if (NeedsPaint(w)) return w;
        for (TWnd* c : w->Children) stack.push_back(c);
    }
    return nullptr;
}

void PaintNow(TWnd* W, bool Children, bool EraseOnly) {
    if (W == nullptr) return;
    HWND h = W->Handle;
    if (W != Desktop()) PaintOne(h, EraseOnly);
    if (!Children) return;
    TWnd* w = FindAny(h);
    if (w == nullptr || w->Dead) return;
    std::vector<HWND> kids;
    for (auto it = w->Children.rbegin(); it != w->Children.rend(); ++it) kids.push_back((*it)->Handle);
    for (HWND k : kids)
        if (TWnd* c = Find(k)) PaintNow(c, true, EraseOnly);
}

void ComposeDesktop() {
    bool outstanding = false;
    for (auto& r : DCs())
        if (!r.Dead) outstanding = true;
    if (!S().DesktopDirty && !outstanding) return;
    S().DesktopDirty = false;
    gdi::TBitmapObj* d = gdi::DesktopSurface();
    if (d == nullptr) return;
    std::fill(d->Pixels.begin(), d->Pixels.end(), gdi::ToPixel(GetSysColor(COLOR_BACKGROUND)));
    auto& tops = Desktop()->Children;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        TWnd* t = *it;
        if (!IsShowing(t) || !t->Surface) continue;
        const auto& s = *t->Surface;
        int x0 = std::max<int>(0, t->Rect.left), y0 = std::max<int>(0, t->Rect.top);
        int x1 = std::min<int>(d->Width, t->Rect.left + s.Width), y1 = std::min<int>(d->Height, t->Rect.top + s.Height);
        if (x1 <= x0) continue;
        for (int y = y0; y < y1; ++y)
            std::memcpy(d->Row(y) + x0, s.Row(y - t->Rect.top) + (x0 - t->Rect.left), size_t(x1 - x0) * 4);
    }
    d->ResetImage();
}

void ResetPaint() {
    for (auto& r : DCs()) {
        if (auto* dc = gdi::Find<gdi::TDCObj>(r.Dc)) {
            dc->ExternalSurface = nullptr;
            dc->HasVisRgn = true;
            dc->VisRgn.SetEmpty();
            dc->ClipChanged();
        }
        DeleteDC(r.Dc);
    }
    DCs().clear();
    S().Locked = nullptr;
    S().DesktopDirty = true;
}

}  // namespace host::win

namespace host {

using namespace win;

HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint) {
    TWnd* w = Find(Wnd);
    if (w == nullptr || Paint == nullptr) return nullptr;
    if (w->NCPending) {
        w->NCPending = false;
        Send(w, WM_NCPAINT, 1, 0);
        if ((w = Find(Wnd)) == nullptr) return nullptr;
    }
    TRegion rgn = w->Update;
    rgn.Intersect(ClientBounds(w));
    bool erase = w->Erase;
    w->Update.SetEmpty();
    w->Erase = false;
    w->InternalPaint = false;
    HDC dc = MakeDC(w, DCX_USESTYLE, &rgn, 0, nullptr);
    *Paint = PAINTSTRUCT{};
    Paint->hdc = dc;
    Paint->rcPaint = rgn.Bounds();
    Paint->fErase = FALSE;
    if (erase && dc != nullptr) Paint->fErase = Send(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    return dc;
}

BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint) {
    if (Paint == nullptr) return FALSE;
    ReleaseDC(Wnd, Paint->hdc);
    return TRUE;
}

HDC GetDCEx(HWND Wnd, HRGN Clip, DWORD Flags) {
    TWnd* w = Wnd == nullptr ? Desktop() : Find(Wnd);
    if (w == nullptr) return nullptr;
    if (w == Desktop()) {
        ComposeDesktop();
        return GetScreenDC();
    }
    int mode = int(Flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN));
    TRegion extra;
    if (mode != 0) {
        auto* ro = gdi::Find<gdi::TRegionObj>(Clip);
        if (ro != nullptr)
            extra = ro->Rgn;
        else if (mode != int(DCX_INTERSECTRGN))
            mode = 0;  // excluding nothing; intersecting with no region leaves nothing
    }
    return MakeDC(w, Flags, nullptr, mode, mode != 0 ? &extra : nullptr);
}

HDC GetDC(HWND Wnd) { return GetDCEx(Wnd, nullptr, DCX_CACHE | DCX_USESTYLE); }
HDC GetWindowDC(HWND Wnd) { return GetDCEx(Wnd, nullptr, DCX_WINDOW | DCX_CACHE | DCX_USESTYLE); }

int ReleaseDC(HWND, HDC Dc) {
    auto* dc = gdi::Find<gdi::TDCObj>(Dc);
    if (dc == nullptr) return 0;
    if (dc->DCKind == gdi::TDCKind::Screen) return ReleaseScreenDC(Dc);
    auto& v = DCs();
    auto it = std::find_if(v.begin(), v.end(), [&](const TDCRec& r) { return r.Dc == Dc; });
    if (it == v.end()) return 0;
    HWND h = it->Wnd;
    v.erase(it);
    dc->ExternalSurface = nullptr;  // never touch a surface through a released DC
    dc->ClipChanged();
    DeleteDC(Dc);
    S().DesktopDirty = true;
    if (TWnd* w = Find(h)) {
        TWnd* top = TopOf(w);
        if (top != nullptr && top->Surface) {
            // What the DC could reach: the window's rectangle in its top-level's surface.
            POINT o = WindowOriginSurface(w);
            TRegion area(o.x, o.y, o.x + w->Width(), o.y + w->Height());
            windows::Backend().Present(top->Handle, area);
        }
    }
    return 1;
}

HWND WindowFromDC(HDC Dc) {
    for (auto& r : DCs())
        if (r.Dc == Dc && !r.Dead) return r.Wnd;
    auto* dc = gdi::Find<gdi::TDCObj>(Dc);
    if (dc != nullptr && dc->DCKind == gdi::TDCKind::Screen) return GetDesktopWindow();
    return nullptr;
}

BOOL RedrawWindow(HWND Wnd, const RECT* Update, HRGN UpdateRgn, UINT Flags) {
    TWnd* w = Wnd == nullptr ? Desktop() : Find(Wnd);
    if (w == nullptr) return FALSE;
    TRegion r;
    const TRegion* rp = nullptr;
    if (UpdateRgn != nullptr) {
        auto* ro = gdi::Find<gdi::TRegionObj>(UpdateRgn);
        if (ro == nullptr) return FALSE;
        r = ro->Rgn;
        rp = &r;
    } else if (Update != nullptr) {
        r = TRegion(*Update);
        rp = &r;
    }
    if (Flags & (RDW_INVALIDATE | RDW_VALIDATE)) Invalidate(w, rp, Flags);
    if (Flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
        bool kids = (Flags & RDW_ALLCHILDREN) || !(Flags & RDW_NOCHILDREN);
        PaintNow(w, kids, !(Flags & RDW_UPDATENOW));
    }
    return TRUE;
}

BOOL InvalidateRect(HWND Wnd, const RECT* R, BOOL Erase) {
    return RedrawWindow(Wnd, R, nullptr, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0) | (Wnd == nullptr ? RDW_ALLCHILDREN | RDW_FRAME : 0));
}

BOOL InvalidateRgn(HWND Wnd, HRGN Rgn, BOOL Erase) {
    if (Rgn == nullptr) return InvalidateRect(Wnd, nullptr, Erase);
    return RedrawWindow(Wnd, nullptr, Rgn, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND Wnd, const RECT* R) {
    return RedrawWindow(Wnd, R, nullptr, RDW_VALIDATE | RDW_NOCHILDREN | (R == nullptr ? RDW_NOFRAME | RDW_NOINTERNALPAINT : 0));
}

BOOL ValidateRgn(HWND Wnd, HRGN Rgn) {
    if (Rgn == nullptr) return ValidateRect(Wnd, nullptr);
    return RedrawWindow(Wnd, nullptr, Rgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL UpdateWindow(HWND Wnd) {
    if (Find(Wnd) == nullptr) return FALSE;
    return RedrawWindow(Wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

BOOL GetUpdateRect(HWND Wnd, RECT* R, BOOL Erase) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return FALSE;
    if (R != nullptr) *R = w->Update.Bounds();
    bool any = !w->Update.Empty();
    if (any && Erase && w->Erase) PaintOne(Wnd, true);
    return any ? TRUE : FALSE;
}

int GetUpdateRgn(HWND Wnd, HRGN Rgn, BOOL Erase) {
    TWnd* w = Find(Wnd);
    auto* ro = gdi::Find<gdi::TRegionObj>(Rgn);
    if (w == nullptr || ro == nullptr) return ERROR;
    ro->Rgn = w->Update;
    int type = w->Update.Type();
    if (Erase && w->Erase && !w->Update.Empty()) PaintOne(Wnd, true);
    return type;
}

BOOL LockWindowUpdate(HWND Wnd) {
    TState& s = S();
    if (Wnd != nullptr) {
        if (Find(Wnd) == nullptr) return FALSE;
        if (s.Locked != nullptr && Find(s.Locked) != nullptr && s.Locked != Wnd) return FALSE;
        s.Locked = Wnd;
        GeometryChanged();
        return TRUE;
    }
    HWND old = s.Locked;
    s.Locked = nullptr;
    if (TWnd* w = Find(old)) Invalidate(w, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    GeometryChanged();
    return TRUE;
}

int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN Update, RECT* UpdateRect,
                   UINT Flags) {
    TWnd* w = Find(Wnd);
    if (w == nullptr) return ERROR;
    RECT cb = ClientBounds(w);
    RECT src = cb, clip = cb;
    if (Scroll != nullptr) IntersectRect(&src, Scroll, &cb);
    if (Clip != nullptr) IntersectRect(&clip, Clip, &cb);
    TRegion vis;
    TWnd* top = TopOf(w);
    POINT co = WindowOriginSurface(w);
    co.x += w->Client.left;
    co.y += w->Client.top;
    vis = ComputeVis(w, (w->Style & WS_CLIPSIBLINGS ? DCX_CLIPSIBLINGS : 0) | (w->Style & WS_CLIPCHILDREN ? DCX_CLIPCHILDREN : 0));
    vis.Offset(-co.x, -co.y);  // client coordinates
    TRegion srcVis = vis;
    srcVis.Intersect(src);
    TRegion moved = srcVis;
    moved.Offset(Dx, Dy);
    moved.Intersect(clip);
    moved.Intersect(vis);
    if (top != nullptr && top->Surface && !moved.Empty()) {
        auto& s = *top->Surface;
        std::vector<uint32_t> copy = s.Pixels;
        for (const RECT& r : moved.Rects())
            for (int y = r.top; y < r.bottom; ++y) {
                int sy = y - Dy + co.y, dy = y + co.y;
                if (sy < 0 || sy >= s.Height || dy < 0 || dy >= s.Height) continue;
                for (int x = r.left; x < r.right; ++x) {
                    int sx = x - Dx + co.x, dx = x + co.x;
                    if (sx < 0 || sx >= s.Width || dx < 0 || dx >= s.Width) continue;
                    s.Pixels[size_t(dy) * size_t(s.Width) + size_t(dx)] = copy[size_t(sy) * size_t(s.Width) + size_t(sx)];
                }
            }
        s.ResetImage();
        S().DesktopDirty = true;
        TRegion shown = moved;  // the moved pixels, in the surface's coordinates
        shown.Offset(co.x, co.y);
        windows::Backend().Present(top->Handle, shown);
    }
    TRegion upd(src);
    upd.Intersect(clip);
    upd.Subtract(moved);
    // The pending update inside the scrolled area moves with the pixels.
    TRegion pendIn = w->Update;
    pendIn.Intersect(src);
    if (!pendIn.Empty()) {
        w->Update.Subtract(pendIn);
        pendIn.Offset(Dx, Dy);
        pendIn.Intersect(clip);
        w->Update.Union(pendIn);
    }
    if (Flags & SW_SCROLLCHILDREN) {
        std::vector<HWND> kids;
        for (TWnd* c : w->Children)
            if (Scroll == nullptr || TRegion(src).Intersects(c->Rect)) kids.push_back(c->Handle);
        for (HWND k : kids)
            if (TWnd* c = Find(k))
                SetWindowPos(k, nullptr, c->Rect.left + Dx, c->Rect.top + Dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if ((w = Find(Wnd)) == nullptr) return ERROR;
    }
    if (Flags & SW_INVALIDATE) Invalidate(w, &upd, RDW_INVALIDATE | ((Flags & SW_ERASE) ? RDW_ERASE : 0) | RDW_ALLCHILDREN);
    if (auto* ro = gdi::Find<gdi::TRegionObj>(Update)) ro->Rgn = upd;
    if (UpdateRect != nullptr) *UpdateRect = upd.Bounds();
    return upd.Type();
}

BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip) {
    return ScrollWindowEx(Wnd, Dx, Dy, Scroll, Clip, nullptr, nullptr,
                          SW_INVALIDATE | SW_ERASE | (Scroll == nullptr ? SW_SCROLLCHILDREN : 0)) != ERROR;
}

BOOL PaintWindowTo(HWND Wnd, HDC Dc, int X, int Y) {
    if (Find(Wnd) == nullptr || gdi::Find<gdi::TDCObj>(Dc) == nullptr) return FALSE;
    int saved = SaveDC(Dc);
    OffsetWindowOrgEx(Dc, -X, -Y, nullptr);
    SendMessageA(Wnd, WM_PRINT, reinterpret_cast<WPARAM>(Dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    RestoreDC(Dc, saved);
    return TRUE;
}

void UpdateAllWindows() {
    for (int guard = 0; guard < 100000; ++guard) {
        TWnd* w = FindPaintWindow(nullptr);
        if (w == nullptr) return;
        PaintOne(w->Handle, false);
    }
}

}  // namespace host
