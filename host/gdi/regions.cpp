// Region handles: rectangles, rounded rectangles, ellipses, polygons (winding and alternate), and region algebra.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// One polygon edge: it covers rows [Top, End) (the rows whose centre Y + 1/2 lies
// in [Y0, Y1), cut to the rows wanted).
struct TEdge {
    int64_t Top, End;
    int64_t X0, Y0, X1, Y1;
    int Dir;  // +1 downwards in the polygon's order, -1 upwards
};

// An edge being walked row by row: at the current row its crossing column is
// ceil(N / D) with N = Q D + R, 0 <= R < D. Kept apart from the edge list so the
// active edges lie side by side in memory.
struct TWalk {
    int64_t Col;  // the crossing column of the current row, clamped
    int64_t Q, R, D, StepQ, StepR;
    int64_t End;
    int Dir;

    // Starts the walk of E at row Y. The crossing column is the first pixel column
    // whose centre lies at or right of where the edge crosses the centre line of row
    // Y: ceil(x - 1/2) with x = X0 + (Y + 1/2 - Y0)(X1 - X0)/(Y1 - Y0), that is
    // ceil(N / D) with N = 2 X0 dy + (2Y + 1 - 2Y0) dx - dy and D = 2 dy. Exact
    // integers, so that two polygons sharing an edge meet without gap or overlap.
    TWalk(const TEdge& E, int64_t Y) : Col(0), End(E.End), Dir(E.Dir) {
        const __int128 dy = E.Y1 - E.Y0, dx = E.X1 - E.X0;
        const __int128 n = 2 * __int128(E.X0) * dy + (2 * __int128(Y) + 1 - 2 * __int128(E.Y0)) * dx - dy;
        D = int64_t(2 * dy);
        __int128 q = n / D, r = n % D;
        if (r < 0) r += D, --q;
        Q = int64_t(q);
        R = int64_t(r);
        // One row down adds 2 dx to N.
        int64_t st = int64_t(2 * dx), sq = st / D, sr = st % D;
        if (sr < 0) sr += D, --sq;
        StepQ = sq;
        StepR = sr;
    }
    int64_t Column() const { return Q + (R != 0); }
    // One row down, without a branch (the carry is as good as random).
    void Step() {
        R += StepR;
        const int64_t carry = R >= D;
        R -= D & -carry;
        Q += StepQ + carry;
    }
    bool Vertical() const { return StepQ == 0 && StepR == 0; }
};

// Boxes gathered band by band straight into a pixman region's own storage: each
// row's spans either extend the band above (same spans, adjacent row) or open a
// new band, so the result is already in pixman's canonical form (bands top to
// bottom, spans left to right, neither touching nor repeated) and needs none of
// the sorting and merging that building from loose rectangles costs.
class TBandWriter {
public:
    TBandWriter() = default;
    TBandWriter(const TBandWriter&) = delete;
    TBandWriter& operator=(const TBandWriter&) = delete;
    ~TBandWriter() { std::free(FData); }

    // Row Y .. Y1 - 1 with the spans [Xs[2i], Xs[2i + 1]), sorted and apart.
    void Rows(int Y, int Y1, const int* Xs, size_t Spans) {
        if (Spans == 0) {
            Close();
            return;
        }
        if (FBandOpen && FBandEnd == Y && Spans == FCount - FBandStart) {
            const pixman_box32_t* b = Boxes() + FBandStart;
            bool same = true;
            for (size_t i = 0; i < Spans && same; ++i) same = b[i].x1 == Xs[2 * i] && b[i].x2 == Xs[2 * i + 1];
            if (same) {
                FBandEnd = Y1;
                return;
            }
        }
        Close();
        Reserve(FCount + Spans);
        pixman_box32_t* b = Boxes() + FCount;
        for (size_t i = 0; i < Spans; ++i) b[i] = pixman_box32_t{Xs[2 * i], Y, Xs[2 * i + 1], Y1};
        FBandStart = FCount;
        FCount += Spans;
        FBandOpen = true;
        FBandEnd = Y1;
        FLeft = std::min(FLeft, Xs[0]);
        FRight = std::max(FRight, Xs[2 * Spans - 1]);
    }

    // Hands the boxes to a region (which then owns the storage).
    TRegion Finish() {
        Close();
        TRegion r;
        if (FCount == 0) return r;
        pixman_region32_t* raw = r.Raw();
        pixman_region32_fini(raw);
        const pixman_box32_t* b = Boxes();
        raw->extents = pixman_box32_t{FLeft, b[0].y1, FRight, b[FCount - 1].y2};
        if (FCount == 1) {
            raw->data = nullptr;  // pixman keeps a single rectangle in the extents alone
        } else {
            FData->size = long(FCount);  // pixman frees the block with free() when size is not 0
            FData->numRects = long(FCount);
            raw->data = FData;
            FData = nullptr;
        }
        return r;
    }

private:
    pixman_box32_t* Boxes() { return reinterpret_cast<pixman_box32_t*>(FData + 1); }
    // Writes the open band's bottom into its boxes.
    void Close() {
        if (!FBandOpen) return;
        pixman_box32_t* b = Boxes();
        for (size_t i = FBandStart; i < FCount; ++i) b[i].y2 = FBandEnd;
        FBandOpen = false;
    }
    void Reserve(size_t N) {
        if (N <= FCapacity) return;
        size_t cap = std::max<size_t>({N, 2 * FCapacity, 64});
        void* p = std::realloc(FData, sizeof(pixman_region32_data_t) + cap * sizeof(pixman_box32_t));
        if (p == nullptr) throw std::bad_alloc();
        FData = static_cast<pixman_region32_data_t*>(p);
        FCapacity = cap;
    }

    pixman_region32_data_t* FData = nullptr;
    size_t FCapacity = 0, FCount = 0, FBandStart = 0;
    bool FBandOpen = false;
    int FBandEnd = 0;
    int FLeft = INT32_MAX, FRight = INT32_MIN;
};

}  // namespace

void ScanPolygon(const POINT* Points, const int* Counts, int Polygons, int FillMode, int64_t Dx, int64_t Dy,
                 const RECT* Bound, TPolygonRows Rows, void* Context) {
    // Rows beyond the shape limit are left out; columns are clamped to +-2^30.
    int64_t top = -kShapeLimit, bottom = kShapeLimit, left = -(int64_t(1) << 30), right = int64_t(1) << 30;
    if (Bound != nullptr) {
        top = std::max<int64_t>(top, Bound->top);
        bottom = std::min<int64_t>(bottom, Bound->bottom);
        left = std::max<int64_t>(left, Bound->left);
        right = std::min<int64_t>(right, Bound->right);
        if (left >= right || top >= bottom) return;
    }
    std::vector<TEdge> edges;
    size_t base = 0;
    for (int p = 0; p < Polygons; ++p) {
        const int n = Counts[p];
        for (int i = 0; i < n; ++i) {
            const POINT& a = Points[base + size_t(i)];
            const POINT& b = Points[base + size_t((i + 1) % n)];
            if (a.y == b.y) continue;  // horizontal edges cross no row centre
            // An edge covers the rows whose centre Y + 1/2 lies in [Y0, Y1): rows Y0 .. Y1 - 1.
            const int64_t ax = a.x + Dx, ay = a.y + Dy, bx = b.x + Dx, by = b.y + Dy;
            TEdge e = ay < by ? TEdge{ay, by, ax, ay, bx, by, +1} : TEdge{by, ay, bx, by, ax, ay, -1};
            e.Top = std::max(e.Top, top);
            e.End = std::min(e.End, bottom);
            if (e.Top < e.End) edges.push_back(e);
        }
        base += size_t(n);
    }
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const TEdge& x, const TEdge& y) { return x.Top < y.Top; });
    int64_t yEnd = edges.front().End;
    for (const TEdge& e : edges) yEnd = std::max(yEnd, e.End);

    std::vector<TWalk> active;
    std::vector<int> xs;  // span ends of the current row
    const bool winding = FillMode == WINDING;
    // Rows Y .. Y1 - 1 all get the spans of the active edges at their current row.
    // With Step, every edge moves on to the next row once its column is taken.
    auto emit = [&](int64_t Y, int64_t Y1, bool Step) {
        for (TWalk& a : active) {
            a.Col = std::clamp(a.Column(), left, right);
            if (Step) a.Step();
        }
        // The order barely changes from row to row: insertion sort.
        for (size_t i = 1; i < active.size(); ++i) {
            if (active[i - 1].Col <= active[i].Col) continue;
            const TWalk v = active[i];
            size_t j = i;
            for (; j > 0 && active[j - 1].Col > v.Col; --j) active[j] = active[j - 1];
            active[j] = v;
        }
        // A pixel is inside when the crossings at or left of it put it inside by
        // the fill rule, whatever the order of crossings within one column.
        xs.clear();
        int wind = 0;
        for (const TWalk& a : active) {
            const bool was = winding ? wind != 0 : (wind & 1) != 0;
            wind += winding ? a.Dir : 1;
            const bool now = winding ? wind != 0 : (wind & 1) != 0;
            if (was == now) continue;
            const int c = int(a.Col);
            if (now) {
                if (!xs.empty() && xs.back() >= c)
                    xs.pop_back();  // touches the span before: carry it on
                else
                    xs.push_back(c);
            } else if (xs.back() < c) {
                xs.push_back(c);
            } else {
                xs.pop_back();  // an empty span
            }
        }
        Rows(Context, int(Y), int(Y1), xs.data(), xs.size() / 2);
    };
    // Two edges of opposite directions (or any two by the even-odd rule) bound one
    // span: the common case of convex shapes and strips, walked in registers.
    auto pair = [&](int64_t Y, int64_t Event) {
        TWalk e0 = active[0], e1 = active[1];
        int span[2];
        for (; Y < Event; ++Y) {
            const int64_t c0 = std::clamp(e0.Column(), left, right), c1 = std::clamp(e1.Column(), left, right);
            span[0] = int(std::min(c0, c1));
            span[1] = int(std::max(c0, c1));
            if (span[0] < span[1]) Rows(Context, int(Y), int(Y + 1), span, 1);
            e0.Step();
            e1.Step();
        }
        active[0] = e0;
        active[1] = e1;
    };
    size_t next = 0;
    for (int64_t y = edges.front().Top; y < yEnd;) {
        for (; next < edges.size() && edges[next].Top <= y; ++next) active.emplace_back(edges[next], y);
        std::erase_if(active, [y](const TWalk& a) { return a.End <= y; });
        if (active.empty()) {
            // A gap between parts of the shape: on to the next edge.
            Rows(Context, int(y), int(y + 1), nullptr, 0);
            if (next >= edges.size()) break;
            y = edges[next].Top;
            continue;
        }
        // Until the next edge starts or ends the active edges stay the same.
        int64_t event = next < edges.size() ? edges[next].Top : yEnd;
        for (const TWalk& a : active) event = std::min(event, a.End);
        if (std::all_of(active.begin(), active.end(), [](const TWalk& a) { return a.Vertical(); })) {
            emit(y, event, false);  // vertical edges only: every row alike
            y = event;
            continue;
        }
        if (active.size() == 2 && (!winding || active[0].Dir != active[1].Dir)) {
            pair(y, event);
            y = event;
            continue;
        }
        for (; y < event; ++y) emit(y, y + 1, true);
    }
}

TRegion PolygonRegion(const POINT* Points, const int* Counts, int Polygons, int FillMode, int64_t Dx, int64_t Dy,
                      const RECT* Bound) {
    TBandWriter out;
    ScanPolygon(Points, Counts, Polygons, FillMode, Dx, Dy, Bound,
                [](void* Context, int Y, int Y1, const int* Xs, size_t Spans) {
                    static_cast<TBandWriter*>(Context)->Rows(Y, Y1, Xs, Spans);
                },
                &out);
    return out.Finish();
}

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
