// The painter's icons and disabled looks: DrawIconEx, DrawIcon, GrayString and DrawState.
#include <algorithm>
#include <cstring>
#include <new>

#include "host/gdi/draw_internal.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdi_internal.h"

namespace host::gdi {

using namespace drawing;

namespace {

// The source pixel for destination offset D of N when Src pixels are stretched over N.
inline int Sample(int D, int N, int Src) { return int((int64_t(2 * D + 1) * Src) / (2 * int64_t(N))); }

// Draws an icon's mask and image (as Flags asks) stretched to W x H at surface (X, Y).
void IconOn(const TTarget& T, const TIconObj& Icon, int64_t X, int64_t Y, int W, int H, UINT Flags) {
    if (W <= 0 || H <= 0 || Icon.Width <= 0 || Icon.Height <= 0) return;
    const bool useMask = (Flags & DI_MASK) != 0, useImage = (Flags & DI_IMAGE) != 0;
    if (!useMask && !useImage) return;
    const size_t plane = size_t(Icon.Width) * size_t(Icon.Height);
    if (Icon.Mask.size() < (Icon.MonoIcon ? 2 * plane : plane)) return;
    if (!Icon.MonoIcon && Icon.Color.size() < plane) return;
    const uint32_t* mask = Icon.Mask.data();
    const uint32_t* image = Icon.MonoIcon ? Icon.Mask.data() + plane : Icon.Color.data();
    TBitmapObj* s = T.Surface;
    const bool mono = s->Mono();
    TRegion area(RECT{Shift(X, 0), Shift(Y, 0), Shift(X + W, 0), Shift(Y + H, 0)});
    area.Intersect(T.Clip);
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(area.Raw()), &n);
    for (int b = 0; b < n; ++b) {
        const pixman_box32_t& r = boxes[b];
        for (int y = r.y1; y < r.y2; ++y) {
            const size_t row = size_t(Sample(int(y - Y), H, Icon.Height)) * size_t(Icon.Width);
            uint32_t* d = s->Row(y);
            for (int x = r.x1; x < r.x2; ++x) {
                const size_t k = row + size_t(Sample(int(x - X), W, Icon.Width));
                uint32_t img = image[k] & 0xFFFFFF;
                // A colour image on a monochrome surface: white stays 1, the rest is 0.
                if (mono && !Icon.MonoIcon) img = img == 0xFFFFFF ? 0xFFFFFF : 0;
                uint32_t v = d[x];
                if (useMask) v &= mask[k] & 0xFFFFFF;
                if (useImage) v = useMask ? (v ^ img) : img;
                d[x] = v;
            }
        }
    }
}

// A memory DC holding a new bitmap, freed on every way out.
class TScratch {
public:
    TScratch(HDC Like, int W, int H, bool Mono) {
        FDc = CreateCompatibleDC(Like);
        if (FDc == nullptr) return;
        FBmp = Mono ? CreateBitmap(W, H, 1, 1, nullptr) : CreateBitmap(W, H, 1, 32, nullptr);
        if (FBmp != nullptr) FOld = SelectObject(FDc, FBmp);
    }
    ~TScratch() {
        if (FDc != nullptr) {
            if (FOld != nullptr) SelectObject(FDc, FOld);
            if (FFont != nullptr) SelectObject(FDc, FFont);
            DeleteDC(FDc);
        }
        if (FBmp != nullptr) DeleteObject(FBmp);
    }
    TScratch(const TScratch&) = delete;
    TScratch& operator=(const TScratch&) = delete;
    bool Ok() const { return FDc != nullptr && FBmp != nullptr && FOld != nullptr; }
    HDC Dc() const { return FDc; }
    const TBitmapObj* Bitmap() const { return Find<TBitmapObj>(FBmp); }
    // Text drawn here uses the font of Dc.
    void UseFontOf(HDC Dc) {
        HGDIOBJ f = GetCurrentObject(Dc, OBJ_FONT);
        if (f != nullptr) FFont = SelectObject(FDc, f);
    }

private:
    HDC FDc = nullptr;
    HBITMAP FBmp = nullptr;
    HGDIOBJ FOld = nullptr, FFont = nullptr;
};

// Which pixels of a W x H image are ink (not background), row by row.
using TInk = std::vector<uint8_t>;

// Paints the ink pixels at surface (X, Y) with a solid pixel, or with the colours of
// Colors (one per ink pixel position) where Dither allows.
void PaintInk(const TTarget& T, const TInk& Ink, int W, int H, int64_t X, int64_t Y, const TBrushFill& Fill) {
    std::vector<TSpan> spans;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W;) {
            if (!Ink[size_t(y) * size_t(W) + size_t(x)]) {
                ++x;
                continue;
            }
            int e = x;
            while (e < W && Ink[size_t(y) * size_t(W) + size_t(e)]) ++e;
            spans.push_back(TSpan{Shift(Y + y, 0), Shift(X + x, 0), Shift(X + e, 0)});
            x = e;
        }
    PaintArea(T, RegionFromSpans(spans), Fill, R2_COPYPEN);
}

// The classic disabled look: the ink in the highlight colour one pixel down and right,
// then in the shadow colour in place.
void Embossed(const TTarget& T, const TInk& Ink, int W, int H, int64_t X, int64_t Y) {
    PaintInk(T, Ink, W, H, X + 1, Y + 1, SolidFill(ColorToSurface(SysColor(COLOR_BTNHIGHLIGHT), T.Surface)));
    PaintInk(T, Ink, W, H, X, Y, SolidFill(ColorToSurface(SysColor(COLOR_BTNSHADOW), T.Surface)));
}

// Copies the top-left Cx x Cy of a bitmap to surface (X, Y), a monochrome bitmap taking
// the DC's text colour for 0 and its background colour for 1.
void CopyBitmap(const TTarget& T, const TBitmapObj& Bmp, int64_t X, int64_t Y, int Cx, int Cy) {
    Cx = std::min(Cx, Bmp.Width);
    Cy = std::min(Cy, Bmp.Height);
    if (Cx <= 0 || Cy <= 0) return;
    TRegion area(RECT{Shift(X, 0), Shift(Y, 0), Shift(X + Cx, 0), Shift(Y + Cy, 0)});
    area.Intersect(T.Clip);
    const bool monoSrc = Bmp.Mono(), monoDst = T.Surface->Mono();
    const uint32_t fg = ColorToSurface(T.DC->A.TextColor, T.Surface), bg = ColorToSurface(T.DC->A.BkColor, T.Surface);
    const uint32_t srcBk = ToPixel(T.DC->A.BkColor & 0xFFFFFF);
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(area.Raw()), &n);
    for (int b = 0; b < n; ++b) {
        const pixman_box32_t& r = boxes[b];
        for (int y = r.y1; y < r.y2; ++y) {
            const uint32_t* src = Bmp.Row(int(y - Y));
            uint32_t* d = T.Surface->Row(y);
            for (int x = r.x1; x < r.x2; ++x) {
                const uint32_t px = src[x - X] & 0xFFFFFF;
                if (monoSrc && !monoDst)
                    d[x] = px != 0 ? bg : fg;
                else if (!monoSrc && monoDst)
                    d[x] = px == srcBk ? 0xFFFFFF : 0;
                else
                    d[x] = px;
            }
        }
    }
}

std::string TextOf(intptr_t Data, int Count) {
    const char* s = reinterpret_cast<const char*>(Data);
    if (s == nullptr) return std::string();
    return Count > 0 ? std::string(s, size_t(Count)) : std::string(s);
}

}  // namespace

}  // namespace host::gdi

namespace host {

using namespace gdi;
using namespace gdi::drawing;

BOOL DrawIconEx(HDC Dc, int X, int Y, HICON Icon, int Width, int Height, UINT Step, HBRUSH FlickerFree,
                UINT Flags) {
    TraceCall("DrawIconEx", Dc, X, Y, Icon, Width, Height, Step, FlickerFree, Flags);
    TTarget T;
    const TIconObj* ic = Find<TIconObj>(Icon);
    if (ic == nullptr || !MakeTarget(Dc, T)) return FALSE;
    if (Width == 0) Width = (Flags & DI_DEFAULTSIZE) ? SystemMetric(ic->IsIcon ? SM_CXICON : SM_CXCURSOR) : ic->Width;
    if (Height == 0)
        Height = (Flags & DI_DEFAULTSIZE) ? SystemMetric(ic->IsIcon ? SM_CYICON : SM_CYCURSOR) : ic->Height;
    if (Width < 0 || Height < 0) return FALSE;
    const int64_t x = int64_t(X) + T.Dx, y = int64_t(Y) + T.Dy;
    if (FlickerFree != nullptr) {
        // Drawn off screen on the brush's colour, then copied: the same as painting the
        // brush under the icon first.
        const TBrushObj* b = Find<TBrushObj>(FlickerFree);
        if (b == nullptr) return FALSE;
        TBrushFill fill;
        PrepareBrush(b, T.DC, T.Surface, fill);
        PatRect(T, RECT{Shift(x, 0), Shift(y, 0), Shift(x + Width, 0), Shift(y + Height, 0)}, 0xF0, &fill);
    }
    IconOn(T, *ic, x, y, Width, Height, Flags);
    return TRUE;
}

BOOL DrawIcon(HDC Dc, int X, int Y, HICON Icon) {
    TraceCall("DrawIcon", Dc, X, Y, Icon);
    return DrawIconEx(Dc, X, Y, Icon, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
}

BOOL GrayStringA(HDC Dc, HBRUSH Brush, GRAYSTRINGPROC Proc, intptr_t Data, int Count, int X, int Y, int Width,
                 int Height) {
    TraceCall("GrayStringA", Dc, Brush, Count, X, Y, Width, Height);
    TTarget T;
    if (!MakeTarget(Dc, T)) return FALSE;
    const std::string text = Proc == nullptr ? TextOf(Data, Count) : std::string();
    if (Width == 0 || Height == 0) {
        // Measured as the string Data points to.
        SIZE sz{};
        const std::string measured = TextOf(Data, Count);
        if (!GetTextExtentPoint32A(Dc, measured.c_str(), int(measured.size()), &sz)) return FALSE;
        if (Width == 0) Width = sz.cx;
        if (Height == 0) Height = sz.cy;
    }
    if (Width <= 0 || Height <= 0) return TRUE;
    // The text in black on a white monochrome bitmap gives the ink.
    TScratch scratch(Dc, Width, Height, true);
    if (!scratch.Ok()) return FALSE;
    scratch.UseFontOf(Dc);
    HDC m = scratch.Dc();
    PatBlt(m, 0, 0, Width, Height, WHITENESS);
    SetTextColor(m, RGB(0, 0, 0));
    SetBkColor(m, RGB(255, 255, 255));
    SetBkMode(m, TRANSPARENT);
    const BOOL drawn = Proc != nullptr ? Proc(m, Data, Count) : TextOutA(m, 0, 0, text.c_str(), int(text.size()));
    if (!drawn) return FALSE;
    const TBitmapObj* bmp = scratch.Bitmap();
    if (bmp == nullptr) return FALSE;
    TTarget U;  // made again: the scratch objects went through the handle table
    if (!MakeTarget(Dc, U)) return FALSE;
    const int64_t x0 = int64_t(X) + U.Dx, y0 = int64_t(Y) + U.Dy;
    TInk ink(size_t(Width) * size_t(Height));
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) ink[size_t(y) * size_t(Width) + size_t(x)] = bmp->Row(y)[x] == 0;
    if (Brush != nullptr) {
        // The ink painted with the brush.
        const TBrushObj* b = Find<TBrushObj>(Brush);
        if (b == nullptr) return FALSE;
        TBrushFill fill;
        PrepareBrush(b, U.DC, U.Surface, fill);
        PaintInk(U, ink, Width, Height, x0, y0, fill);
    } else {
        // Grayed by a 50% pattern: every other ink pixel in the text colour.
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x)
                if (((x0 + x + y0 + y) & 1) != 0) ink[size_t(y) * size_t(Width) + size_t(x)] = 0;
        PaintInk(U, ink, Width, Height, x0, y0, SolidFill(ColorToSurface(U.DC->A.TextColor, U.Surface)));
    }
    return TRUE;
}

BOOL DrawStateA(HDC Dc, HBRUSH Brush, DRAWSTATEPROC Proc, intptr_t LData, uintptr_t WData, int X, int Y, int Cx,
                int Cy, UINT Flags) {
    TraceCall("DrawStateA", Dc, Brush, LData, WData, X, Y, Cx, Cy, Flags);
    TTarget T;
    if (!MakeTarget(Dc, T)) return FALSE;
    const UINT type = Flags & 0xF;
    std::string text;
    const TIconObj* icon = nullptr;
    const TBitmapObj* bitmap = nullptr;
    // The size of what is drawn, when the caller leaves it out.
    switch (type) {
    case DST_TEXT:
    case DST_PREFIXTEXT: {
        text = TextOf(LData, int(WData));
        if (Cx == 0 || Cy == 0) {
            RECT rc{0, 0, 0, 0};
            DrawTextA(Dc, text.c_str(), int(text.size()), &rc,
                      DT_CALCRECT | DT_SINGLELINE | (type == DST_TEXT ? UINT(DT_NOPREFIX) : 0u));
            if (Cx == 0) Cx = rc.right - rc.left;
            if (Cy == 0) Cy = rc.bottom - rc.top;
        }
        break;
    }
    case DST_ICON:
        icon = Find<TIconObj>(reinterpret_cast<HGDIOBJ>(LData));
        if (icon == nullptr) return FALSE;
        if (Cx == 0) Cx = icon->Width;
        if (Cy == 0) Cy = icon->Height;
        break;
    case DST_BITMAP:
        bitmap = Find<TBitmapObj>(reinterpret_cast<HGDIOBJ>(LData));
        if (bitmap == nullptr) return FALSE;
        SyncFromDib(const_cast<TBitmapObj*>(bitmap));
        if (Cx == 0) Cx = bitmap->Width;
        if (Cy == 0) Cy = bitmap->Height;
        break;
    case DST_COMPLEX:
        if (Proc == nullptr) return FALSE;
        break;
    default:
        return FALSE;
    }
    if (Cx <= 0 || Cy <= 0) return TRUE;
    const UINT state = Flags & (DSS_DISABLED | DSS_MONO | DSS_UNION);
    const UINT textFlags = DT_NOCLIP | DT_SINGLELINE | (type == DST_TEXT ? UINT(DT_NOPREFIX) : 0u);

    if (state == 0) {
        // The normal state draws straight onto the DC.
        switch (type) {
        case DST_TEXT:
        case DST_PREFIXTEXT: {
            RECT rc{X, Y, X + Cx, Y + Cy};
            DrawTextA(Dc, text.c_str(), int(text.size()), &rc, textFlags);
            return TRUE;
        }
        case DST_ICON: return DrawIconEx(Dc, X, Y, static_cast<HICON>(reinterpret_cast<HGDIOBJ>(LData)), Cx, Cy, 0, nullptr, DI_NORMAL);
        case DST_BITMAP:
            CopyBitmap(T, *bitmap, int64_t(X) + T.Dx, int64_t(Y) + T.Dy, Cx, Cy);
            return TRUE;
        default: {
            POINT org;
            OffsetViewportOrgEx(Dc, X, Y, &org);
            const BOOL ok = Proc(Dc, LData, WData, Cx, Cy);
            SetViewportOrgEx(Dc, org.x, org.y, nullptr);
            return ok;
        }
        }
    }

    // The other states work from the image's ink: drawn on white, whatever is not white.
    TScratch scratch(Dc, Cx, Cy, false);
    if (!scratch.Ok()) return FALSE;
    HDC m = scratch.Dc();
    PatBlt(m, 0, 0, Cx, Cy, WHITENESS);
    bool ok = true;
    switch (type) {
    case DST_TEXT:
    case DST_PREFIXTEXT: {
        scratch.UseFontOf(Dc);
        SetTextColor(m, RGB(0, 0, 0));
        SetBkMode(m, TRANSPARENT);
        RECT rc{0, 0, Cx, Cy};
        DrawTextA(m, text.c_str(), int(text.size()), &rc, textFlags);
        break;
    }
    case DST_ICON:
        ok = DrawIconEx(m, 0, 0, static_cast<HICON>(reinterpret_cast<HGDIOBJ>(LData)), Cx, Cy, 0, nullptr, DI_NORMAL);
        break;
    case DST_BITMAP: {
        // A monochrome bitmap comes out black (ink) and white.
        TTarget S;
        if (!MakeTarget(m, S)) return FALSE;
        S.DC->A.TextColor = RGB(0, 0, 0);
        S.DC->A.BkColor = RGB(255, 255, 255);
        CopyBitmap(S, *bitmap, 0, 0, Cx, Cy);
        break;
    }
    default:
        ok = Proc(m, LData, WData, Cx, Cy);
        break;
    }
    if (!ok) return FALSE;
    const TBitmapObj* img = scratch.Bitmap();
    TTarget U;
    if (img == nullptr || !MakeTarget(Dc, U)) return FALSE;
    const int64_t x0 = int64_t(X) + U.Dx, y0 = int64_t(Y) + U.Dy;
    TInk ink(size_t(Cx) * size_t(Cy));
    for (int y = 0; y < Cy; ++y)
        for (int x = 0; x < Cx; ++x) ink[size_t(y) * size_t(Cx) + size_t(x)] = (img->Row(y)[x] & 0xFFFFFF) != 0xFFFFFF;

    if (state & DSS_DISABLED) {
        Embossed(U, ink, Cx, Cy, x0, y0);
    } else if (state & DSS_MONO) {
        TBrushFill fill;
        const TBrushObj* b = Find<TBrushObj>(Brush);
        if (b != nullptr)
            PrepareBrush(b, U.DC, U.Surface, fill);
        else
            fill = SolidFill(0);  // no brush: black
        PaintInk(U, ink, Cx, Cy, x0, y0, fill);
    } else {
        // DSS_UNION: the image dithered with a 50% pattern over what is there.
        for (int y = 0; y < Cy; ++y)
            for (int x = 0; x < Cx; ++x) {
                if (!ink[size_t(y) * size_t(Cx) + size_t(x)] || ((x0 + x + y0 + y) & 1) != 0) continue;
                const int64_t sx = x0 + x, sy = y0 + y;
                if (sx < INT32_MIN || sx > INT32_MAX || sy < INT32_MIN || sy > INT32_MAX) continue;
                if (!U.Clip.Contains(int(sx), int(sy))) continue;
                const uint32_t px = img->Row(y)[x] & 0xFFFFFF;
                U.Surface->Row(int(sy))[sx] = U.Surface->Mono() ? ColorToSurface(ToColorRef(px), U.Surface) : px;
            }
    }
    return TRUE;
}

}  // namespace host
