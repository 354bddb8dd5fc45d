// BitBltRgn and BitBltPolygon: copies walk the region's spans straight into the destination surface, clipped on the way.
#include "host/gdi/blit_region.h"

#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "host/gdi/blit_internal.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"

namespace host {

namespace {

using gdi::TTarget;

// One copy made ready: both surfaces, where the block lands within both of them
// and the destination's clip bounds (Bound, surface coordinates), and how a
// destination pixel (x, y) finds its source pixel (x + OffX, y + OffY).
struct TCopy {
    TTarget T, S;
    RECT Bound{};
    int64_t OffX = 0, OffY = 0;
    int64_t DevX = 0, DevY = 0;  // device to surface coordinates of the destination
    // Row 0, column 0 of the destination and the source pixel that goes there, and
    // the strides, for copying spans.
    uint32_t* To = nullptr;
    const uint32_t* From = nullptr;
    ptrdiff_t ToStride = 0, FromStride = 0;
};

enum class TReady { Failed, Nothing, General, Direct };

TReady Prepare(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, TCopy& C) {
    if (!gdi::MakeTarget(Dest, C.T) || C.T.Surface == nullptr) return TReady::Failed;
    if (!gdi::MakeTarget(Src, C.S) || C.S.Surface == nullptr) return TReady::Failed;
    if (Width <= 0 || Height <= 0) return TReady::Nothing;
    // Depth conversions and copies within one surface take the painter's general path.
    if (C.T.Surface == C.S.Surface || C.T.Surface->Mono() || C.S.Surface->Mono() || !gdi::RopFastPaths())
        return TReady::General;
    const gdi::TDCAttrs& a = C.T.DC->A;
    C.DevX = int64_t(C.T.Dx) - a.ViewportOrg.x + a.WindowOrg.x;
    C.DevY = int64_t(C.T.Dy) - a.ViewportOrg.y + a.WindowOrg.y;
    const int64_t dx = int64_t(X) + C.T.Dx, dy = int64_t(Y) + C.T.Dy;
    C.OffX = int64_t(SrcX) + C.S.Dx - dx;
    C.OffY = int64_t(SrcY) + C.S.Dy - dy;
    const RECT clip = C.T.Clip.Bounds();
    const int64_t l = std::max({dx, -C.OffX, int64_t(clip.left)});
    const int64_t t = std::max({dy, -C.OffY, int64_t(clip.top)});
    const int64_t r = std::min({dx + Width, C.S.Surface->Width - C.OffX, int64_t(clip.right)});
    const int64_t b = std::min({dy + Height, C.S.Surface->Height - C.OffY, int64_t(clip.bottom)});
    if (l >= r || t >= b) return TReady::Nothing;
    C.Bound = RECT{LONG(l), LONG(t), LONG(r), LONG(b)};
    C.ToStride = C.T.Surface->Width;
    C.FromStride = C.S.Surface->Width;
    C.To = C.T.Surface->Pixels.data();
    // Offsets from the destination's origin; only ever added to coordinates inside the bound.
    C.From = C.S.Surface->Pixels.data() + (C.OffY * C.FromStride + C.OffX);
    return TReady::Direct;
}

// The same copy made the ordinary way: the region ANDed into a saved clip.
BOOL ThroughClip(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, HRGN Rgn) {
    const int saved = SaveDC(Dest);
    if (saved == 0) return FALSE;
    BOOL ok = ExtSelectClipRgn(Dest, Rgn, RGN_AND) != ERROR &&
              BitBlt(Dest, X, Y, Width, Height, Src, SrcX, SrcY, SRCCOPY) != FALSE;
    RestoreDC(Dest, saved);
    return ok;
}

// Copies the region's boxes, moved by (Dx, Dy) into surface coordinates and clipped
// to the copy's bound.
void CopyBoxes(const TCopy& C, const pixman_region32_t* Rgn, int64_t Dx, int64_t Dy) {
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(Rgn), &n);
    const RECT& bound = C.Bound;
    // Boxes are sorted by their top; skip the bands wholly above the bound.
    const pixman_box32_t* b =
        std::partition_point(boxes, boxes + n, [&](const pixman_box32_t& B) { return B.y2 + Dy <= bound.top; });
    const pixman_box32_t* end = boxes + n;
    gdi::TBitmapObj* to = C.T.Surface;
    const gdi::TBitmapObj* from = C.S.Surface;
    const size_t dstride = size_t(to->Width), sstride = size_t(from->Width);
    for (; b != end; ++b) {
        const int64_t top = std::max<int64_t>(b->y1 + Dy, bound.top);
        if (top >= bound.bottom) break;
        const int64_t bottom = std::min<int64_t>(b->y2 + Dy, bound.bottom);
        const int64_t left = std::max<int64_t>(b->x1 + Dx, bound.left);
        const int64_t right = std::min<int64_t>(b->x2 + Dx, bound.right);
        if (left >= right || top >= bottom) continue;
        const size_t bytes = size_t(right - left) * sizeof(uint32_t);
        uint32_t* d = to->Pixels.data() + size_t(top) * dstride + size_t(left);
        const uint32_t* s = from->Pixels.data() + size_t(top + C.OffY) * sstride + size_t(left + C.OffX);
        for (int64_t y = top; y < bottom; ++y, d += dstride, s += sstride) std::memcpy(d, s, bytes);
    }
}

// Copies the spans of rows Y .. Y1 - 1 (surface coordinates, inside the bound).
void CopyRows(void* Context, int Y, int Y1, const int* Xs, size_t Spans) {
    const TCopy& c = *static_cast<const TCopy*>(Context);
    for (size_t i = 0; i < Spans; ++i) {
        const ptrdiff_t l = Xs[2 * i];
        const size_t bytes = size_t(Xs[2 * i + 1] - l) * sizeof(uint32_t);
        uint32_t* d = c.To + Y * c.ToStride + l;
        const uint32_t* s = c.From + Y * c.FromStride + l;
        for (int y = Y; y < Y1; ++y, d += c.ToStride, s += c.FromStride) std::memcpy(d, s, bytes);
    }
}

// Copies through Area (surface coordinates, inside the bound), within the clip.
void CopyArea(const TCopy& C, TRegion& Area) {
    if (C.T.Clip.Type() != SIMPLEREGION) Area.Intersect(C.T.Clip);
    CopyBoxes(C, Area.Raw(), 0, 0);
}

}  // namespace

BOOL BitBltRgn(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, HRGN Rgn) {
    gdi::TraceCall("BitBltRgn", Dest, X, Y, Width, Height, Src, SrcX, SrcY, Rgn);
    if (gdi::InjectedFault("BitBltRgn")) return FALSE;
    gdi::TRegionObj* rgn = gdi::Find<gdi::TRegionObj>(Rgn);
    if (rgn == nullptr) return FALSE;
    TCopy c;
    switch (Prepare(Dest, X, Y, Width, Height, Src, SrcX, SrcY, c)) {
    case TReady::Failed: return FALSE;
    case TReady::Nothing: return TRUE;
    case TReady::General: return ThroughClip(Dest, X, Y, Width, Height, Src, SrcX, SrcY, Rgn);
    case TReady::Direct: break;
    }
    if (gdi::InjectedFault("BitBlt")) return FALSE;  // the blit it stands for fails
    try {
        if (c.T.Clip.Type() == SIMPLEREGION) {
            // The clip is its bounds: the region's boxes are clipped on the way.
            CopyBoxes(c, rgn->Rgn.Raw(), c.DevX, c.DevY);
            return TRUE;
        }
        TRegion area(rgn->Rgn);
        area.Offset(int(std::clamp<int64_t>(c.DevX, INT32_MIN, INT32_MAX)),
                    int(std::clamp<int64_t>(c.DevY, INT32_MIN, INT32_MAX)));
        CopyArea(c, area);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return TRUE;
}

BOOL BitBltPolygon(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, const POINT* Points,
                   int Count, int FillMode) {
    gdi::TraceCall("BitBltPolygon", Dest, X, Y, Width, Height, Src, SrcX, SrcY, Points, Count, FillMode);
    if (gdi::InjectedFault("BitBltPolygon")) return FALSE;
    if (Count < 0 || (Count > 0 && Points == nullptr) || (FillMode != ALTERNATE && FillMode != WINDING))
        return FALSE;
    TCopy c;
    switch (Prepare(Dest, X, Y, Width, Height, Src, SrcX, SrcY, c)) {
    case TReady::Failed: return FALSE;
    case TReady::Nothing: return TRUE;
    case TReady::General: {
        if (Count < 3) return TRUE;
        HRGN rgn = CreatePolygonRgn(Points, Count, FillMode);
        if (rgn == nullptr) return FALSE;
        POINT org{0, 0};
        LPtoDP(Dest, &org, 1);
        OffsetRgn(rgn, org.x, org.y);
        const BOOL ok = ThroughClip(Dest, X, Y, Width, Height, Src, SrcX, SrcY, rgn);
        DeleteObject(rgn);
        return ok;
    }
    case TReady::Direct: break;
    }
    if (Count < 3) return TRUE;
    if (gdi::InjectedFault("BitBlt")) return FALSE;  // the blit it stands for fails
    try {
        // Logical to surface coordinates is a shift by (Dx, Dy). Within a
        // rectangular clip the spans go straight to the copy.
        if (c.T.Clip.Type() == SIMPLEREGION) {
            ScanPolygon(Points, &Count, 1, FillMode, c.T.Dx, c.T.Dy, &c.Bound, CopyRows, &c);
            return TRUE;
        }
        TRegion area = PolygonRegion(Points, &Count, 1, FillMode, c.T.Dx, c.T.Dy, &c.Bound);
        CopyArea(c, area);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    return TRUE;
}

}  // namespace host
