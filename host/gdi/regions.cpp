// Region handles: rectangles, rounded rectangles, ellipses, polygons (winding and alternate), and region algebra.
#include <algorithm>
#include <cmath>
#include <new>

#include "host/gdi/gdi.h"
#include "host/gdi/gdi_internal.h"
#include "host/gdi/gdiobj.h"

namespace host {

using namespace gdi;

namespace {

// Rows beyond this distance from the origin are left out of shapes that are built
// row by row (columns are clamped to +-2^30): far beyond any surface, and it bounds
// the work and memory a hostile polygon can cause.
constexpr int64_t kShapeLimit = int64_t(1) << 18;

HRGN AddRegion(TRegion Rgn) {
    auto r = std::make_unique<TRegionObj>();
    r->Rgn = std::move(Rgn);
    return static_cast<HRGN>(AddObject(std::move(r)));
}

RECT Normalized(int Left, int Top, int Right, int Bottom) {
    RECT r{Left, Top, Right, Bottom};
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
}

// Collects rows of spans into pixman boxes, letting a run of identical rows become one band.
class TRowBuilder {
public:
    void Row(int Y, const std::vector<std::pair<int, int>>& Spans) { Rows(Y, Y + 1, Spans); }
    // Rows Y0 .. Y1 - 1 all with the same spans.
    void Rows(int Y0, int Y1, const std::vector<std::pair<int, int>>& Spans) {
        if (!FSpans.empty() && FBottom == Y0 && Spans == FSpans) {
            FBottom = Y1;
            return;
        }
        Flush();
        FSpans = Spans;
        FTop = Y0;
        FBottom = Y1;
    }
    TRegion Finish() {
        Flush();
        TRegion r;
        if (!FBoxes.empty() &&
            !pixman_region32_init_rects(r.Raw(), FBoxes.data(), int(FBoxes.size())))
            throw std::bad_alloc();
        return r;
    }

private:
    void Flush() {
        for (const auto& s : FSpans)
            if (s.first < s.second) FBoxes.push_back(pixman_box32_t{s.first, FTop, s.second, FBottom});
        FSpans.clear();
    }
    std::vector<std::pair<int, int>> FSpans;
    int FTop = 0, FBottom = 0;
    std::vector<pixman_box32_t> FBoxes;
};

// A rectangle with its corners cut by quarter ellipses of EllipseW x EllipseH (the
// whole ellipse when those equal the size). A pixel is inside when its centre is;
// each row's inset is worked out once for the row and its mirror, so the shape is
// symmetric left to right and top to bottom.
TRegion RoundRectRegion(RECT R, int EllipseW, int EllipseH) {
    int64_t w = int64_t(R.right) - R.left, h = int64_t(R.bottom) - R.top;
    if (w <= 0 || h <= 0) return TRegion();
    int64_t ew = std::min<int64_t>(std::abs(int64_t(EllipseW)), w);
    int64_t eh = std::min<int64_t>(std::abs(int64_t(EllipseH)), h);
    if (ew < 2 || eh < 2) return TRegion(R);
    double a = double(ew) / 2, b = double(eh) / 2;
    int64_t y0 = std::max<int64_t>(R.top, -kShapeLimit), y1 = std::min<int64_t>(R.bottom, kShapeLimit);
    TRowBuilder rows;
    std::vector<std::pair<int, int>> span(1);
    for (int64_t y = y0; y < y1; ++y) {
        int64_t d = std::min(y - R.top, R.bottom - 1 - y);  // rows from the nearer edge
        double dy = b - (double(d) + 0.5);                  // centre's distance above the corner's centre
        int64_t k = 0;
        if (dy > 0) {
            double hw = a * std::sqrt(std::max(0.0, 1.0 - (dy * dy) / (b * b)));
            k = std::max<int64_t>(0, int64_t(std::ceil(a - hw - 0.5)));
        }
        int64_t l = int64_t(R.left) + k, r = int64_t(R.right) - k;
        if (l >= r) {
            rows.Row(int(y), {});
            continue;
        }
        span[0] = {int(l), int(r)};
        rows.Row(int(y), span);
    }
    return rows.Finish();
}

struct TEdge {
    int64_t X0, Y0, X1, Y1;  // Y0 < Y1
    int Dir;                 // +1 downwards in the polygon's order, -1 upwards
};

// ceil(A / B) for B > 0.
int64_t CeilDiv(__int128 A, __int128 B) {
    __int128 q = A / B;
    if (A % B != 0 && A > 0) ++q;
    return int64_t(q);
}

// The first pixel column whose centre lies at or right of where the edge crosses the
// centre line of row Y: ceil(x - 1/2) with x = X0 + (Y + 1/2 - Y0)(X1 - X0)/(Y1 - Y0),
// in exact integers so that two polygons sharing an edge meet without gap or overlap.
int64_t CrossingColumn(const TEdge& E, int64_t Y) {
    __int128 d = 2 * __int128(E.Y1 - E.Y0);
    __int128 n = (2 * __int128(Y) + 1 - 2 * __int128(E.Y0)) * __int128(E.X1 - E.X0);
    // x - 1/2 = (2*X0*d + 2n - d) / (2d)
    int64_t c = CeilDiv(2 * __int128(E.X0) * d + 2 * n - d, 2 * d);
    return std::clamp<int64_t>(c, -(int64_t(1) << 30), int64_t(1) << 30);
}

TRegion PolygonRegion(const POINT* Points, const int* Counts, int Polygons, int FillMode) {
    std::vector<TEdge> edges;
    size_t base = 0;
    for (int p = 0; p < Polygons; ++p) {
        int n = Counts[p];
        for (int i = 0; i < n; ++i) {
            const POINT& a = Points[base + size_t(i)];
            const POINT& b = Points[base + size_t((i + 1) % n)];
            if (a.y == b.y) continue;  // horizontal edges cross no row centre
            if (a.y < b.y)
                edges.push_back(TEdge{a.x, a.y, b.x, b.y, +1});
            else
                edges.push_back(TEdge{b.x, b.y, a.x, a.y, -1});
        }
        base += size_t(n);
    }
    if (edges.empty()) return TRegion();
    std::sort(edges.begin(), edges.end(), [](const TEdge& x, const TEdge& y) { return x.Y0 < y.Y0; });
    int64_t ymin = edges.front().Y0, ymax = ymin;
    for (const TEdge& e : edges) ymax = std::max(ymax, e.Y1);
    // An edge covers the rows whose centre Y + 1/2 lies in [Y0, Y1): rows Y0 .. Y1 - 1.
    int64_t yFirst = std::max(ymin, -kShapeLimit), yEnd = std::min(ymax, kShapeLimit);

    TRowBuilder rows;
    std::vector<const TEdge*> active;
    std::vector<std::pair<int64_t, int>> cross;  // column, direction
    std::vector<std::pair<int, int>> spans;
    size_t next = 0;
    for (int64_t y = yFirst; y < yEnd; ++y) {
        while (next < edges.size() && edges[next].Y0 <= y) {
            active.push_back(&edges[next]);
            ++next;
        }
        std::erase_if(active, [y](const TEdge* e) { return e->Y1 <= y; });
        cross.clear();
        for (const TEdge* e : active) cross.emplace_back(CrossingColumn(*e, y), e->Dir);
        std::sort(cross.begin(), cross.end());
        spans.clear();
        int wind = 0;
        int64_t start = 0;
        for (const auto& c : cross) {
            bool was = FillMode == WINDING ? wind != 0 : (wind & 1) != 0;
            wind += FillMode == WINDING ? c.second : 1;
            bool now = FillMode == WINDING ? wind != 0 : (wind & 1) != 0;
            if (!was && now) start = c.first;
            if (was && !now && start < c.first) {
                if (!spans.empty() && spans.back().second >= start)
                    spans.back().second = int(std::max<int64_t>(spans.back().second, c.first));
                else
                    spans.emplace_back(int(start), int(c.first));
            }
        }
        rows.Row(int(y), spans);
        // Rows between here and the next edge event, with only vertical edges active,
        // repeat this row: skip to the event.
        bool vertical = std::all_of(active.begin(), active.end(), [](const TEdge* e) { return e->X0 == e->X1; });
        if (vertical) {
            int64_t event = next < edges.size() ? edges[next].Y0 : yEnd;
            for (const TEdge* e : active) event = std::min(event, e->Y1);
            event = std::min(event, yEnd);
            if (event - 1 > y) {
                rows.Rows(int(y + 1), int(event), spans);
                y = event - 1;
            }
        }
    }
    return rows.Finish();
}

}  // namespace

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom) {
    TraceCall("CreateRectRgn", Left, Top, Right, Bottom);
    return AddRegion(TRegion(Normalized(Left, Top, Right, Bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* R) {
    TraceCall("CreateRectRgnIndirect", R);
    if (R == nullptr) return nullptr;
    return AddRegion(TRegion(Normalized(R->left, R->top, R->right, R->bottom)));
}

HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int WidthEllipse, int HeightEllipse) {
    TraceCall("CreateRoundRectRgn", Left, Top, Right, Bottom, WidthEllipse, HeightEllipse);
    try {
        return AddRegion(RoundRectRegion(Normalized(Left, Top, Right, Bottom), WidthEllipse, HeightEllipse));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom) {
    TraceCall("CreateEllipticRgn", Left, Top, Right, Bottom);
    RECT r = Normalized(Left, Top, Right, Bottom);
    try {
        return AddRegion(RoundRectRegion(r, int(std::min<int64_t>(int64_t(r.right) - r.left, INT32_MAX)),
                                         int(std::min<int64_t>(int64_t(r.bottom) - r.top, INT32_MAX))));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HRGN CreateEllipticRgnIndirect(const RECT* R) {
    TraceCall("CreateEllipticRgnIndirect", R);
    if (R == nullptr) return nullptr;
    return CreateEllipticRgn(R->left, R->top, R->right, R->bottom);
}

HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode) {
    TraceCall("CreatePolygonRgn", Points, Count, FillMode);
    if (Count < 0 || (Count > 0 && Points == nullptr)) return nullptr;
    return CreatePolyPolygonRgn(Points, &Count, 1, FillMode);
}

HRGN CreatePolyPolygonRgn(const POINT* Points, const int* Counts, int Polygons, int FillMode) {
    TraceCall("CreatePolyPolygonRgn", Points, Counts, Polygons, FillMode);
    if (FillMode != ALTERNATE && FillMode != WINDING) return nullptr;
    if (Polygons < 0 || (Polygons > 0 && Counts == nullptr)) return nullptr;
    int64_t total = 0;
    for (int i = 0; i < Polygons; ++i) {
        if (Counts[i] < 0) return nullptr;
        total += Counts[i];
    }
    if (total > 0 && Points == nullptr) return nullptr;
    try {
        return AddRegion(PolygonRegion(Points, Counts, Polygons, FillMode));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode) {
    TraceCall("CombineRgn", Dest, Src1, Src2, Mode);
    TRegionObj* d = Find<TRegionObj>(Dest);
    TRegionObj* a = Find<TRegionObj>(Src1);
    if (d == nullptr || a == nullptr || Mode < RGN_AND || Mode > RGN_COPY) return ERROR;
    if (Mode == RGN_COPY) {
        d->Rgn = a->Rgn;
        return d->Rgn.Type();
    }
    TRegionObj* b = Find<TRegionObj>(Src2);
    if (b == nullptr) return ERROR;
    try {
        TRegion r(a->Rgn);
        switch (Mode) {
        case RGN_AND: r.Intersect(b->Rgn); break;
        case RGN_OR: r.Union(b->Rgn); break;
        case RGN_XOR: r.Xor(b->Rgn); break;
        case RGN_DIFF: r.Subtract(b->Rgn); break;
        }
        d->Rgn = std::move(r);
    } catch (const std::bad_alloc&) {
        return ERROR;
    }
    return d->Rgn.Type();
}

int OffsetRgn(HRGN Rgn, int Dx, int Dy) {
    TraceCall("OffsetRgn", Rgn, Dx, Dy);
    TRegionObj* r = Find<TRegionObj>(Rgn);
    if (r == nullptr) return ERROR;
    r->Rgn.Offset(Dx, Dy);
    return r->Rgn.Type();
}

BOOL SetRectRgn(HRGN Rgn, int Left, int Top, int Right, int Bottom) {
    TraceCall("SetRectRgn", Rgn, Left, Top, Right, Bottom);
    TRegionObj* r = Find<TRegionObj>(Rgn);
    if (r == nullptr) return FALSE;
    r->Rgn.SetRect(Normalized(Left, Top, Right, Bottom));
    return TRUE;
}

BOOL PtInRegion(HRGN Rgn, int X, int Y) {
    TraceCall("PtInRegion", Rgn, X, Y);
    TRegionObj* r = Find<TRegionObj>(Rgn);
    return r != nullptr && r->Rgn.Contains(X, Y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN Rgn, const RECT* R) {
    TraceCall("RectInRegion", Rgn, R);
    TRegionObj* r = Find<TRegionObj>(Rgn);
    if (r == nullptr || R == nullptr) return FALSE;
    return r->Rgn.Intersects(Normalized(R->left, R->top, R->right, R->bottom)) ? TRUE : FALSE;
}

int GetRgnBox(HRGN Rgn, RECT* R) {
    TraceCall("GetRgnBox", Rgn, R);
    TRegionObj* r = Find<TRegionObj>(Rgn);
    if (r == nullptr || R == nullptr) return ERROR;
    *R = r->Rgn.Bounds();
    return r->Rgn.Type();
}

BOOL EqualRgn(HRGN A, HRGN B) {
    TraceCall("EqualRgn", A, B);
    TRegionObj* a = Find<TRegionObj>(A);
    TRegionObj* b = Find<TRegionObj>(B);
    if (a == nullptr || b == nullptr) return FALSE;
    return a->Rgn == b->Rgn ? TRUE : FALSE;
}

std::vector<RECT> GetRegionRects(HRGN Rgn) {
    TraceCall("GetRegionRects", Rgn);
    TRegionObj* r = Find<TRegionObj>(Rgn);
    return r != nullptr ? r->Rgn.Rects() : std::vector<RECT>();
}

}  // namespace host
