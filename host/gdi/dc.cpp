// Device contexts: creation, selection, saved states, attributes, origins, clipping and device capabilities.
#include <algorithm>
#include <utility>

#include "host/gdi/gdi.h"
#include "host/gdi/gdi_internal.h"
#include "host/gdi/gdiobj.h"

namespace host {

using namespace gdi;

namespace {

TDCObj* DC(HDC Dc) { return Find<TDCObj>(Dc); }

// Logical to device coordinates of the DC (MM_TEXT: a translation).
int ToDevX(const TDCObj* Dc, int X) { return X - Dc->A.WindowOrg.x + Dc->A.ViewportOrg.x; }
int ToDevY(const TDCObj* Dc, int Y) { return Y - Dc->A.WindowOrg.y + Dc->A.ViewportOrg.y; }

RECT Normalized(RECT R) {
    if (R.left > R.right) std::swap(R.left, R.right);
    if (R.top > R.bottom) std::swap(R.top, R.bottom);
    return R;
}

RECT ToDevRect(const TDCObj* Dc, int Left, int Top, int Right, int Bottom) {
    return Normalized(RECT{ToDevX(Dc, Left), ToDevY(Dc, Top), ToDevX(Dc, Right), ToDevY(Dc, Bottom)});
}

// The slot of DC state that holds an object of this kind.
HGDIOBJ* SlotFor(TDCObj* Dc, TKind Kind) {
    switch (Kind) {
    case TKind::Bitmap: return &Dc->A.Bitmap;
    case TKind::Pen: return &Dc->A.Pen;
    case TKind::Brush: return &Dc->A.Brush;
    case TKind::Font: return &Dc->A.Font;
    case TKind::Palette: return &Dc->A.Palette;
    default: return nullptr;
    }
}

// Selects a pen, brush, font, palette or bitmap; returns the previous object, or
// nullptr when the object cannot go into this DC.
HGDIOBJ SelectInto(TDCObj* Dc, TObj* Obj) {
    HGDIOBJ* slot = SlotFor(Dc, Obj->Kind);
    if (slot == nullptr) return nullptr;
    HGDIOBJ old = *slot;
    if (old == Obj->Handle) return old;
    if (Obj->Kind == TKind::Bitmap) {
        auto* bmp = static_cast<TBitmapObj*>(Obj);
        if (Dc->DCKind != TDCKind::Memory) return nullptr;
        if (bmp->SelectedIn != nullptr && bmp->SelectedIn != Dc) return nullptr;  // a bitmap sits in one DC
        if (auto* prev = Find<TBitmapObj>(old)) {
            prev->SelectedIn = nullptr;
            --prev->SelectCount;
        }
        bmp->SelectedIn = Dc;
        ++bmp->SelectCount;
        Dc->ClipChanged();
    } else {
        if (TObj* prev = FindObject(old)) --prev->SelectCount;
        ++Obj->SelectCount;
    }
    *slot = Obj->Handle;
    return old;
}

// Lets go of everything the DC holds.
void DeselectAll(TDCObj* Dc) {
    for (HGDIOBJ h : {Dc->A.Bitmap, Dc->A.Pen, Dc->A.Brush, Dc->A.Font, Dc->A.Palette}) {
        TObj* o = FindObject(h);
        if (o == nullptr) continue;
        --o->SelectCount;
        if (o->Kind == TKind::Bitmap && static_cast<TBitmapObj*>(o)->SelectedIn == Dc)
            static_cast<TBitmapObj*>(o)->SelectedIn = nullptr;
    }
    Dc->A.Bitmap = Dc->A.Pen = Dc->A.Brush = Dc->A.Font = Dc->A.Palette = nullptr;
}

int ClipResult(TDCObj* Dc) { return DeviceClip(Dc).Type(); }

}  // namespace

HDC gdi::AddDC(std::unique_ptr<TDCObj> Dc) {
    if (!Dc) return nullptr;
    TDCObj* dc = Dc.get();
    dc->A.Bitmap = dc->A.Pen = dc->A.Brush = dc->A.Font = dc->A.Palette = nullptr;
    HDC h = static_cast<HDC>(AddObject(std::move(Dc)));
    if (h == nullptr) return nullptr;
    for (int stock : {BLACK_PEN, WHITE_BRUSH, SYSTEM_FONT, DEFAULT_PALETTE})
        if (TObj* o = FindObject(StockObject(stock))) SelectInto(dc, o);
    if (dc->DCKind == TDCKind::Memory) {
        auto bmp = NewBitmap(1, 1, 1);
        bmp->Stock = true;
        HGDIOBJ hb = AddObject(std::move(bmp));
        dc->DefaultBitmap = static_cast<HBITMAP>(hb);
        SelectInto(dc, FindObject(hb));
    }
    return h;
}

TBitmapObj* gdi::DesktopSurface() {
    static HGDIOBJ handle = nullptr;
    int w = std::max(SystemMetric(SM_CXSCREEN), 1), h = std::max(SystemMetric(SM_CYSCREEN), 1);
    TBitmapObj* b = Find<TBitmapObj>(handle);
    if (b == nullptr) {
        auto nb = NewBitmap(w, h, 32);
        if (!nb) return nullptr;
        nb->Stock = true;
        handle = AddObject(std::move(nb));
        b = Find<TBitmapObj>(handle);
        std::fill(b->Pixels.begin(), b->Pixels.end(), ToPixel(SysColor(COLOR_BACKGROUND)));
    } else if (b->Width != w || b->Height != h) {
        b->ResetImage();
        b->Width = w;
        b->Height = h;
        b->Pixels.assign(size_t(w) * size_t(h), ToPixel(SysColor(COLOR_BACKGROUND)));
    }
    return b;
}

// ---- creation ----

HDC CreateCompatibleDC(HDC Dc) {
    TraceCall("CreateCompatibleDC", Dc);
    if (Dc != nullptr && DC(Dc) == nullptr) return nullptr;
    auto dc = std::make_unique<TDCObj>();
    dc->DCKind = TDCKind::Memory;
    return AddDC(std::move(dc));
}

BOOL DeleteDC(HDC Dc) {
    TraceCall("DeleteDC", Dc);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr) return FALSE;
    HBITMAP def = dc->DefaultBitmap;
    DeselectAll(dc);
    if (auto* b = Find<TBitmapObj>(def)) {
        if (b->SelectedIn == nullptr)
            RemoveObject(def);
        else
            b->Stock = false;  // now another DC's: an ordinary bitmap from here on
    }
    RemoveObject(Dc);
    return TRUE;
}

HDC GetScreenDC() {
    TraceCall("GetScreenDC");
    auto dc = std::make_unique<TDCObj>();
    dc->DCKind = TDCKind::Screen;
    dc->ExternalSurface = DesktopSurface();
    return AddDC(std::move(dc));
}

BOOL ReleaseScreenDC(HDC Dc) {
    TraceCall("ReleaseScreenDC", Dc);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || dc->DCKind != TDCKind::Screen) return FALSE;
    return DeleteDC(Dc);
}

// ---- saved states ----

int SaveDC(HDC Dc) {
    TraceCall("SaveDC", Dc);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr) return 0;
    dc->Saved.push_back(dc->A);
    return int(dc->Saved.size());
}

BOOL RestoreDC(HDC Dc, int SavedDC) {
    TraceCall("RestoreDC", Dc, SavedDC);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || SavedDC == 0) return FALSE;
    int count = int(dc->Saved.size());
    int level = SavedDC > 0 ? SavedDC : count + 1 + SavedDC;
    if (level < 1 || level > count) return FALSE;
    TDCAttrs s = std::move(dc->Saved[size_t(level - 1)]);
    dc->Saved.resize(size_t(level - 1));
    // Objects go back through selection so the counts stay right; one deleted
    // meanwhile (or a bitmap now in another DC) leaves the current one in place.
    for (HGDIOBJ h : {s.Bitmap, s.Pen, s.Brush, s.Font, s.Palette})
        if (TObj* o = FindObject(h)) SelectInto(dc, o);
    HGDIOBJ bmp = dc->A.Bitmap, pen = dc->A.Pen, brush = dc->A.Brush, font = dc->A.Font, pal = dc->A.Palette;
    dc->A = std::move(s);
    dc->A.Bitmap = bmp;
    dc->A.Pen = pen;
    dc->A.Brush = brush;
    dc->A.Font = font;
    dc->A.Palette = pal;
    dc->ClipChanged();
    return TRUE;
}

// ---- selection ----

HGDIOBJ SelectObject(HDC Dc, HGDIOBJ Obj) {
    TraceCall("SelectObject", Dc, Obj);
    TDCObj* dc = DC(Dc);
    TObj* o = FindObject(Obj);
    if (dc == nullptr || o == nullptr) return nullptr;
    if (o->Kind == TKind::Region) {
        int type = ExtSelectClipRgn(Dc, static_cast<HRGN>(Obj), RGN_COPY);
        return reinterpret_cast<HGDIOBJ>(intptr_t(type));
    }
    return SelectInto(dc, o);
}

HGDIOBJ GetCurrentObject(HDC Dc, UINT Type) {
    TraceCall("GetCurrentObject", Dc, Type);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr) return nullptr;
    switch (Type) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return dc->A.Pen;
    case OBJ_BRUSH: return dc->A.Brush;
    case OBJ_FONT: return dc->A.Font;
    case OBJ_PAL: return dc->A.Palette;
    case OBJ_BITMAP: return dc->A.Bitmap;
    default: return nullptr;
    }
}

HPALETTE SelectPalette(HDC Dc, HPALETTE Palette, BOOL ForceBackground) {
    TraceCall("SelectPalette", Dc, Palette, ForceBackground);
    TDCObj* dc = DC(Dc);
    TPaletteObj* p = Find<TPaletteObj>(Palette);
    if (dc == nullptr || p == nullptr) return nullptr;
    return static_cast<HPALETTE>(SelectInto(dc, p));
}

UINT RealizePalette(HDC Dc) {
    TraceCall("RealizePalette", Dc);
    // 32-bit surfaces need no colour mapping: nothing changes in a system palette.
    return DC(Dc) != nullptr ? 0 : 0xFFFFFFFF;
}

// ---- attributes ----

namespace {
// One attribute of the DC: Set stores Value when Valid and returns the old value,
// Get returns the value; both return Fail for a bad handle (or an invalid value).
template <class V>
V SetAttr(const char* Call, HDC Dc, V TDCAttrs::*Member, V Value, bool Valid, V Fail) {
    TraceCall(Call, Dc, Value);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || !Valid) return Fail;
    return std::exchange(dc->A.*Member, Value);
}
template <class V>
V GetAttr(const char* Call, HDC Dc, V TDCAttrs::*Member, V Fail) {
    TraceCall(Call, Dc);
    TDCObj* dc = DC(Dc);
    return dc != nullptr ? dc->A.*Member : Fail;
}
constexpr UINT kGdiError = 0xFFFFFFFF;
}  // namespace

COLORREF SetTextColor(HDC Dc, COLORREF Color) {
    return SetAttr("SetTextColor", Dc, &TDCAttrs::TextColor, Color, true, CLR_INVALID);
}
COLORREF GetTextColor(HDC Dc) { return GetAttr("GetTextColor", Dc, &TDCAttrs::TextColor, CLR_INVALID); }
COLORREF SetBkColor(HDC Dc, COLORREF Color) {
    return SetAttr("SetBkColor", Dc, &TDCAttrs::BkColor, Color, true, CLR_INVALID);
}
COLORREF GetBkColor(HDC Dc) { return GetAttr("GetBkColor", Dc, &TDCAttrs::BkColor, CLR_INVALID); }
int SetBkMode(HDC Dc, int Mode) {
    return SetAttr("SetBkMode", Dc, &TDCAttrs::BkMode, Mode, Mode == TRANSPARENT || Mode == OPAQUE, 0);
}
int GetBkMode(HDC Dc) { return GetAttr("GetBkMode", Dc, &TDCAttrs::BkMode, 0); }
int SetROP2(HDC Dc, int Rop2) {
    return SetAttr("SetROP2", Dc, &TDCAttrs::Rop2, Rop2, Rop2 >= R2_BLACK && Rop2 <= R2_WHITE, 0);
}
int GetROP2(HDC Dc) { return GetAttr("GetROP2", Dc, &TDCAttrs::Rop2, 0); }
int SetStretchBltMode(HDC Dc, int Mode) {
    return SetAttr("SetStretchBltMode", Dc, &TDCAttrs::StretchMode, Mode, Mode >= BLACKONWHITE && Mode <= HALFTONE, 0);
}
int GetStretchBltMode(HDC Dc) { return GetAttr("GetStretchBltMode", Dc, &TDCAttrs::StretchMode, 0); }
int SetPolyFillMode(HDC Dc, int Mode) {
    return SetAttr("SetPolyFillMode", Dc, &TDCAttrs::PolyFillMode, Mode, Mode == ALTERNATE || Mode == WINDING, 0);
}
int GetPolyFillMode(HDC Dc) { return GetAttr("GetPolyFillMode", Dc, &TDCAttrs::PolyFillMode, 0); }
// Only MM_TEXT maps coordinates; the other modes (2..8) are kept but draw as MM_TEXT.
int SetMapMode(HDC Dc, int Mode) {
    return SetAttr("SetMapMode", Dc, &TDCAttrs::MapMode, Mode, Mode >= MM_TEXT && Mode <= 8, 0);
}
int GetMapMode(HDC Dc) { return GetAttr("GetMapMode", Dc, &TDCAttrs::MapMode, 0); }
UINT SetTextAlign(HDC Dc, UINT Align) {
    return SetAttr("SetTextAlign", Dc, &TDCAttrs::TextAlign, Align, true, kGdiError);
}
UINT GetTextAlign(HDC Dc) { return GetAttr("GetTextAlign", Dc, &TDCAttrs::TextAlign, kGdiError); }

// ---- origins and coordinates ----

namespace {

BOOL SetPoint(HDC Dc, POINT TDCAttrs::*Member, int X, int Y, POINT* Old, bool Relative) {
    TDCObj* dc = DC(Dc);
    if (dc == nullptr) return FALSE;
    POINT& p = dc->A.*Member;
    if (Old != nullptr) *Old = p;
    p = Relative ? POINT{p.x + X, p.y + Y} : POINT{X, Y};
    return TRUE;
}

BOOL GetPoint(HDC Dc, POINT TDCAttrs::*Member, POINT* Out) {
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || Out == nullptr) return FALSE;
    *Out = dc->A.*Member;
    return TRUE;
}

}  // namespace

BOOL SetBrushOrgEx(HDC Dc, int X, int Y, POINT* Old) {
    TraceCall("SetBrushOrgEx", Dc, X, Y);
    return SetPoint(Dc, &TDCAttrs::BrushOrg, X, Y, Old, false);
}
BOOL GetBrushOrgEx(HDC Dc, POINT* Org) {
    TraceCall("GetBrushOrgEx", Dc);
    return GetPoint(Dc, &TDCAttrs::BrushOrg, Org);
}
BOOL SetWindowOrgEx(HDC Dc, int X, int Y, POINT* Old) {
    TraceCall("SetWindowOrgEx", Dc, X, Y);
    return SetPoint(Dc, &TDCAttrs::WindowOrg, X, Y, Old, false);
}
BOOL GetWindowOrgEx(HDC Dc, POINT* Org) {
    TraceCall("GetWindowOrgEx", Dc);
    return GetPoint(Dc, &TDCAttrs::WindowOrg, Org);
}
BOOL OffsetWindowOrgEx(HDC Dc, int Dx, int Dy, POINT* Old) {
    TraceCall("OffsetWindowOrgEx", Dc, Dx, Dy);
    return SetPoint(Dc, &TDCAttrs::WindowOrg, Dx, Dy, Old, true);
}
BOOL SetViewportOrgEx(HDC Dc, int X, int Y, POINT* Old) {
    TraceCall("SetViewportOrgEx", Dc, X, Y);
    return SetPoint(Dc, &TDCAttrs::ViewportOrg, X, Y, Old, false);
}
BOOL GetViewportOrgEx(HDC Dc, POINT* Org) {
    TraceCall("GetViewportOrgEx", Dc);
    return GetPoint(Dc, &TDCAttrs::ViewportOrg, Org);
}
BOOL OffsetViewportOrgEx(HDC Dc, int Dx, int Dy, POINT* Old) {
    TraceCall("OffsetViewportOrgEx", Dc, Dx, Dy);
    return SetPoint(Dc, &TDCAttrs::ViewportOrg, Dx, Dy, Old, true);
}

namespace {

BOOL SetExtent(HDC Dc, SIZE TDCAttrs::*Member, int X, int Y, SIZE* Old) {
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || X == 0 || Y == 0) return FALSE;
    if (Old != nullptr) *Old = dc->A.*Member;
    dc->A.*Member = SIZE{X, Y};
    return TRUE;
}

BOOL GetExtent(HDC Dc, SIZE TDCAttrs::*Member, SIZE* Out) {
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || Out == nullptr) return FALSE;
    *Out = dc->A.*Member;
    return TRUE;
}

}  // namespace

BOOL SetWindowExtEx(HDC Dc, int X, int Y, SIZE* Old) {
    TraceCall("SetWindowExtEx", Dc, X, Y);
    return SetExtent(Dc, &TDCAttrs::WindowExt, X, Y, Old);
}
BOOL GetWindowExtEx(HDC Dc, SIZE* Ext) {
    TraceCall("GetWindowExtEx", Dc);
    return GetExtent(Dc, &TDCAttrs::WindowExt, Ext);
}
BOOL SetViewportExtEx(HDC Dc, int X, int Y, SIZE* Old) {
    TraceCall("SetViewportExtEx", Dc, X, Y);
    return SetExtent(Dc, &TDCAttrs::ViewportExt, X, Y, Old);
}
BOOL GetViewportExtEx(HDC Dc, SIZE* Ext) {
    TraceCall("GetViewportExtEx", Dc);
    return GetExtent(Dc, &TDCAttrs::ViewportExt, Ext);
}

BOOL LPtoDP(HDC Dc, POINT* Points, int Count) {
    TraceCall("LPtoDP", Dc, Points, Count);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || Count < 0 || (Points == nullptr && Count > 0)) return FALSE;
    for (int i = 0; i < Count; ++i) Points[i] = POINT{ToDevX(dc, Points[i].x), ToDevY(dc, Points[i].y)};
    return TRUE;
}

BOOL DPtoLP(HDC Dc, POINT* Points, int Count) {
    TraceCall("DPtoLP", Dc, Points, Count);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || Count < 0 || (Points == nullptr && Count > 0)) return FALSE;
    int dx = dc->A.ViewportOrg.x - dc->A.WindowOrg.x, dy = dc->A.ViewportOrg.y - dc->A.WindowOrg.y;
    for (int i = 0; i < Count; ++i) Points[i] = POINT{Points[i].x - dx, Points[i].y - dy};
    return TRUE;
}

BOOL MoveToEx(HDC Dc, int X, int Y, POINT* Old) {
    TraceCall("MoveToEx", Dc, X, Y);
    return SetPoint(Dc, &TDCAttrs::CurPos, X, Y, Old, false);
}

BOOL GetCurrentPositionEx(HDC Dc, POINT* Pos) {
    TraceCall("GetCurrentPositionEx", Dc);
    return GetPoint(Dc, &TDCAttrs::CurPos, Pos);
}

int GetDeviceCaps(HDC Dc, int Index) {
    TraceCall("GetDeviceCaps", Dc, Index);
    if (DC(Dc) == nullptr) return 0;
    int w = SystemMetric(SM_CXSCREEN), h = SystemMetric(SM_CYSCREEN);
    switch (Index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return 1;  // DT_RASDISPLAY
    case HORZSIZE: return int((w * 254 + 480) / 960);  // millimetres at 96 dpi
    case VERTSIZE: return int((h * 254 + 480) / 960);
    case HORZRES: return w;
    case VERTRES: return h;
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMBRUSHES: return -1;
    case NUMPENS: return -1;
    case NUMFONTS: return 0;
    case NUMCOLORS: return -1;
    case RASTERCAPS:
        // RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB
        return RC_BITBLT | 0x8 | 0x10 | 0x80 | 0x200 | RC_STRETCHBLT | 0x2000;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE: return 0;
    case NUMRESERVED: return 20;
    case COLORRES: return 24;
    default: return 0;
    }
}

// ---- clipping ----

int ExtSelectClipRgn(HDC Dc, HRGN Rgn, int Mode) {
    TraceCall("ExtSelectClipRgn", Dc, Rgn, Mode);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || Mode < RGN_AND || Mode > RGN_COPY) return ERROR;
    TRegionObj* r = nullptr;
    if (Rgn != nullptr) {
        r = Find<TRegionObj>(Rgn);
        if (r == nullptr) return ERROR;
    }
    if (r == nullptr) {
        if (Mode != RGN_COPY) return ERROR;
        dc->A.HasClip = false;  // RGN_COPY with no region removes the clip
        dc->A.Clip.SetEmpty();
    } else if (Mode == RGN_COPY) {
        dc->A.Clip = r->Rgn;
        dc->A.HasClip = true;
    } else {
        // Without a clip region the DC's whole area takes its place.
        TRegion cur = dc->A.HasClip ? dc->A.Clip : TRegion(DeviceArea(dc));
        switch (Mode) {
        case RGN_AND: cur.Intersect(r->Rgn); break;
        case RGN_OR: cur.Union(r->Rgn); break;
        case RGN_XOR: cur.Xor(r->Rgn); break;
        case RGN_DIFF: cur.Subtract(r->Rgn); break;
        }
        dc->A.Clip = std::move(cur);
        dc->A.HasClip = true;
    }
    dc->ClipChanged();
    return ClipResult(dc);
}

int SelectClipRgn(HDC Dc, HRGN Rgn) {
    TraceCall("SelectClipRgn", Dc, Rgn);
    return ExtSelectClipRgn(Dc, Rgn, RGN_COPY);
}

int IntersectClipRect(HDC Dc, int Left, int Top, int Right, int Bottom) {
    TraceCall("IntersectClipRect", Dc, Left, Top, Right, Bottom);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr) return ERROR;
    RECT r = ToDevRect(dc, Left, Top, Right, Bottom);
    if (dc->A.HasClip)
        dc->A.Clip.Intersect(r);
    else
        dc->A.Clip.SetRect(r);
    dc->A.HasClip = true;
    dc->ClipChanged();
    return ClipResult(dc);
}

int ExcludeClipRect(HDC Dc, int Left, int Top, int Right, int Bottom) {
    TraceCall("ExcludeClipRect", Dc, Left, Top, Right, Bottom);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr) return ERROR;
    RECT r = ToDevRect(dc, Left, Top, Right, Bottom);
    if (!dc->A.HasClip) dc->A.Clip.SetRect(DeviceArea(dc));
    dc->A.Clip.Subtract(TRegion(r));
    dc->A.HasClip = true;
    dc->ClipChanged();
    return ClipResult(dc);
}

int OffsetClipRgn(HDC Dc, int Dx, int Dy) {
    TraceCall("OffsetClipRgn", Dc, Dx, Dy);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr) return ERROR;
    if (dc->A.HasClip) {
        dc->A.Clip.Offset(Dx, Dy);
        dc->ClipChanged();
    }
    return ClipResult(dc);
}

int GetClipRgn(HDC Dc, HRGN Rgn) {
    TraceCall("GetClipRgn", Dc, Rgn);
    TDCObj* dc = DC(Dc);
    TRegionObj* r = Find<TRegionObj>(Rgn);
    if (dc == nullptr || r == nullptr) return -1;
    if (!dc->A.HasClip) return 0;
    r->Rgn = dc->A.Clip;
    return 1;
}

int GetClipBox(HDC Dc, RECT* R) {
    TraceCall("GetClipBox", Dc, R);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || R == nullptr) return ERROR;
    TRegion clip = DeviceClip(dc);
    if (clip.Empty()) {
        *R = RECT{};
        return NULLREGION;
    }
    RECT b = clip.Bounds();
    int dx = dc->A.ViewportOrg.x - dc->A.WindowOrg.x, dy = dc->A.ViewportOrg.y - dc->A.WindowOrg.y;
    *R = RECT{b.left - dx, b.top - dy, b.right - dx, b.bottom - dy};
    return clip.Type();
}

BOOL PtVisible(HDC Dc, int X, int Y) {
    TraceCall("PtVisible", Dc, X, Y);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr) return FALSE;
    return DeviceClip(dc).Contains(ToDevX(dc, X), ToDevY(dc, Y)) ? TRUE : FALSE;
}

BOOL RectVisible(HDC Dc, const RECT* R) {
    TraceCall("RectVisible", Dc, R);
    TDCObj* dc = DC(Dc);
    if (dc == nullptr || R == nullptr) return FALSE;
    return DeviceClip(dc).Intersects(ToDevRect(dc, R->left, R->top, R->right, R->bottom)) ? TRUE : FALSE;
}

}  // namespace host
