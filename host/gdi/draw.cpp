// The painter's binary raster operations, rectangle and region fills, and lines with cosmetic and wide pens.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

#include "host/gdi/draw_internal.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdi_internal.h"

namespace host::gdi {

uint32_t ApplyRop2(int Rop2, uint32_t P, uint32_t D) {
    uint32_t r;
    switch (Rop2) {
    case R2_BLACK: r = 0; break;
    case R2_NOTMERGEPEN: r = ~(P | D); break;
    case R2_MASKNOTPEN: r = ~P & D; break;
    case R2_NOTCOPYPEN: r = ~P; break;
    case R2_MASKPENNOT: r = P & ~D; break;
    case R2_NOT: r = ~D; break;
    case R2_XORPEN: r = P ^ D; break;
    case R2_NOTMASKPEN: r = ~(P & D); break;
    case R2_MASKPEN: r = P & D; break;
    case R2_NOTXORPEN: r = ~(P ^ D); break;
    case R2_NOP: r = D; break;
    case R2_MERGENOTPEN: r = ~P | D; break;
    case R2_COPYPEN: r = P; break;
    case R2_MERGEPENNOT: r = P | ~D; break;
    case R2_MERGEPEN: r = P | D; break;
    case R2_WHITE: r = 0xFFFFFF; break;
    default: {
        // Out of range: the low four bits of code - 1 are the truth table over (pen, dest).
        const unsigned table = unsigned(Rop2 - 1) & 15u;
        r = 0;
        for (int b = 0; b < 24; ++b) {
            const unsigned p = (P >> b) & 1u, d = (D >> b) & 1u;
            r |= ((table >> ((p << 1) | d)) & 1u) << b;
        }
        break;
    }
    }
    return r & 0xFFFFFF;
}

namespace drawing {

// ---- spans and regions ----

TRegion RegionFromSpans(const std::vector<TSpan>& Spans) {
    std::vector<pixman_box32_t> boxes;
    boxes.reserve(Spans.size());
    for (const TSpan& s : Spans)
        if (s.X0 < s.X1) boxes.push_back(pixman_box32_t{s.X0, s.Y, s.X1, s.Y + 1});
    TRegion r;
    if (boxes.empty()) return r;
    pixman_region32_fini(r.Raw());
    pixman_region32_init_rects(r.Raw(), boxes.data(), int(boxes.size()));
    return r;
}

TRegion RegionFromPixels(const std::vector<POINT>& Pixels) {
    std::vector<TSpan> spans;
    spans.reserve(Pixels.size());
    for (const POINT& p : Pixels) spans.push_back(TSpan{p.y, p.x, p.x + 1});
    return RegionFromSpans(spans);
}

uint8_t Rop2ToRop3(int Rop2) {
    const unsigned table = unsigned(Rop2 - 1) & 15u;
    uint8_t out = 0;
    for (unsigned i = 0; i < 8; ++i) {
        const unsigned p = (i >> 2) & 1u, d = i & 1u;
        if ((table >> ((p << 1) | d)) & 1u) out = uint8_t(out | (1u << i));
    }
    return out;
}

TBrushFill SolidFill(uint32_t Pixel) {
    TBrushFill f;
    f.Null = false;
    f.Solid = true;
    f.Color = Pixel;
    return f;
}

void PaintArea(const TTarget& T, const TRegion& Area, const TBrushFill& Fill, int Rop2) {
    if (Fill.Null || Area.Empty()) return;
    PatArea(T, Area, Rop2ToRop3(Rop2), &Fill);
}

void FillLogical(const TTarget& T, const RECT& R, COLORREF Color) {
    if (R.left >= R.right || R.top >= R.bottom) return;
    const TBrushFill f = SolidFill(ColorToSurface(Color, T.Surface));
    const RECT s{Shift(R.left, T.Dx), Shift(R.top, T.Dy), Shift(R.right, T.Dx), Shift(R.bottom, T.Dy)};
    PatRect(T, s, 0xF0, &f);
}

TPlotter::TPlotter(const TTarget& T, int Rop2)
    : FSurface(T.Surface), FClip(&T.Clip), FBox(T.Clip.Bounds()), FSimple(T.Clip.Type() != COMPLEXREGION),
      FRop2(Rop2) {}

RECT WorkArea(const TTarget& T) {
    RECT b = T.Clip.Bounds();
    return RECT{b.left - 1, b.top - 1, b.right + 1, b.bottom + 1};
}

int Shift(int64_t V, int D) {
    constexpr int64_t kLimit = int64_t(1) << 29;  // so that differences still fit an int
    const int64_t v = V + D;
    return int(std::clamp(v, -kLimit, kLimit));
}

// ---- pens and brushes ----

TPen PenOf(const TTarget& T) {
    TPen p;
    const TPenObj* pen = Find<TPenObj>(T.DC->A.Pen);
    if (pen == nullptr) return p;
    const UINT style = pen->Log.lopnStyle & 0xF;
    if (style == PS_NULL || style > PS_INSIDEFRAME) return p;
    p.Null = false;
    p.Style = style;
    p.Width = std::clamp(int(pen->Log.lopnWidth.x), 1, 1 << 20);
    p.InsideFrame = style == PS_INSIDEFRAME;
    p.Pixel = ColorToSurface(pen->Log.lopnColor, T.Surface);
    return p;
}

void BrushOf(const TTarget& T, TBrushFill& Fill) {
    PrepareBrush(Find<TBrushObj>(T.DC->A.Brush), T.DC, T.Surface, Fill);
}

namespace {
// Cosmetic dash patterns, in pixels: on, off, on, off ...
constexpr uint8_t kDash[] = {18, 6};
constexpr uint8_t kDot[] = {3, 3};
constexpr uint8_t kDashDot[] = {9, 6, 3, 6};
constexpr uint8_t kDashDotDot[] = {9, 3, 3, 3, 3, 3};
}  // namespace

TDash::TDash(UINT Style) {
    switch (Style) {
    case PS_DASH: FPattern = kDash; FCount = 2; break;
    case PS_DOT: FPattern = kDot; FCount = 2; break;
    case PS_DASHDOT: FPattern = kDashDot; FCount = 4; break;
    case PS_DASHDOTDOT: FPattern = kDashDotDot; FCount = 6; break;
    default: return;
    }
    for (int i = 0; i < FCount; ++i) FTotal += FPattern[i];
}

bool TDash::On(int64_t Index) const {
    if (FCount == 0) return true;
    int64_t k = Index % FTotal;
    if (k < 0) k += FTotal;
    for (int i = 0; i < FCount; ++i) {
        if (k < FPattern[i]) return (i & 1) == 0;
        k -= FPattern[i];
    }
    return true;
}

// ---- wide strokes ----

void AddStroke(std::vector<TSpan>& Out, int X0, int Y0, int X1, int Y1, int Width, const RECT& Limit) {
    // The stroke's centre line runs through pixel centres for odd widths and along
    // pixel corners (half a pixel up and left) for even ones, so a stroke of width w
    // covers exactly w rows of a horizontal line.
    const double c = (Width & 1) ? 0.5 : 0.0;
    const double ax = X0 + c, ay = Y0 + c, bx = X1 + c, by = Y1 + c;
    const double rad = Width / 2.0, rad2 = rad * rad;
    const double dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy, len = std::sqrt(len2);
    const double top = std::min(ay, by) - rad, bottom = std::max(ay, by) + rad;
    const int y0 = std::max<int64_t>(Limit.top, int64_t(std::floor(top)) - 1);
    const int y1 = std::min<int64_t>(Limit.bottom, int64_t(std::ceil(bottom)) + 1);
    constexpr double kEps = 1e-9;
    for (int y = y0; y < y1; ++y) {
        const double yc = y + 0.5;
        double lo = HUGE_VAL, hi = -HUGE_VAL;
        auto disc = [&](double px, double py) {
            const double e = yc - py;
            if (e * e >= rad2) return;
            const double h = std::sqrt(rad2 - e * e);
            lo = std::min(lo, px - h);
            hi = std::max(hi, px + h);
        };
        disc(ax, ay);
        disc(bx, by);
        if (len > 0) {
            // The band between the caps: 0 <= along <= len and |across| < rad, both
            // linear in x on this row.
            double blo = -HUGE_VAL, bhi = HUGE_VAL;
            auto within = [&](double coef, double base, double from, double to) {
                // from <= base + coef * x <= to
                if (std::fabs(coef) < 1e-12) {
                    if (base < from || base > to) {
                        blo = HUGE_VAL;
                        bhi = -HUGE_VAL;
                    }
                    return;
                }
                double a = (from - base) / coef, b = (to - base) / coef;
                if (a > b) std::swap(a, b);
                blo = std::max(blo, a);
                bhi = std::min(bhi, b);
            };
            within(dx / len, (-ax * dx + (yc - ay) * dy) / len, 0, len);
            within(-dy / len, (ax * dy + (yc - ay) * dx) / len, -rad, rad);
            if (blo <= bhi) {
                lo = std::min(lo, blo);
                hi = std::max(hi, bhi);
            }
        }
        if (lo > hi) continue;
        const double fx0 = std::ceil(lo - 0.5 - kEps), fx1 = std::floor(hi - 0.5 + kEps) + 1;
        const int x0 = int(std::clamp<double>(fx0, Limit.left, Limit.right));
        const int x1 = int(std::clamp<double>(fx1, Limit.left, Limit.right));
        if (x0 < x1) Out.push_back(TSpan{y, x0, x1});
    }
}

// ---- shapes ----

void RoundBoxRows(double L, double T, double R, double B, double Rx, double Ry, int Y0, int Y1, int XMin, int XMax,
                  std::vector<TRowSpan>& Out) {
    constexpr double kEps = 1e-9;
    Out.assign(size_t(std::max(0, Y1 - Y0)), TRowSpan{});
    if (R <= L || B <= T) return;
    Rx = std::clamp(Rx, 0.0, (R - L) / 2);
    Ry = std::clamp(Ry, 0.0, (B - T) / 2);
    const bool round = Rx > 0 && Ry > 0;
    const int first = int(std::max<double>(Y0, std::ceil(T - 0.5 - kEps)));
    const int last = int(std::min<double>(Y1 - 1, std::floor(B - 0.5 + kEps)));
    for (int y = first; y <= last; ++y) {
        const double yc = y + 0.5;
        double inset = 0;
        if (round) {
            double e = 0;
            if (yc < T + Ry)
                e = (T + Ry - yc) / Ry;
            else if (yc > B - Ry)
                e = (yc - (B - Ry)) / Ry;
            if (e > 1 + kEps) continue;
            inset = Rx * (1 - std::sqrt(std::max(0.0, 1 - e * e)));
        }
        const double fx0 = std::ceil(L + inset - 0.5 - kEps), fx1 = std::floor(R - inset - 0.5 + kEps) + 1;
        TRowSpan& s = Out[size_t(y - Y0)];
        s.X0 = int(std::clamp<double>(fx0, XMin, XMax));
        s.X1 = int(std::clamp<double>(fx1, XMin, XMax));
    }
}

void SplitOutline(const std::vector<TRowSpan>& Rows, int Y0, std::vector<TSpan>* Outline,
                  std::vector<TSpan>* Inside) {
    const size_t n = Rows.size();
    for (size_t i = 1; i + 1 < n; ++i) {
        const TRowSpan& s = Rows[i];
        if (s.Empty()) continue;
        const int y = Y0 + int(i);
        const TRowSpan& up = Rows[i - 1];
        const TRowSpan& down = Rows[i + 1];
        int a = s.X0 + 1, b = s.X1 - 1;  // interior candidates
        if (up.Empty() || down.Empty()) {
            a = b = 0;
        } else {
            a = std::max({a, up.X0, down.X0});
            b = std::min({b, up.X1, down.X1});
        }
        if (a >= b) {
            if (Outline) Outline->push_back(TSpan{y, s.X0, s.X1});
            continue;
        }
        if (Outline) {
            Outline->push_back(TSpan{y, s.X0, a});
            Outline->push_back(TSpan{y, b, s.X1});
        }
        if (Inside) Inside->push_back(TSpan{y, a, b});
    }
}

void PolygonSpans(const std::vector<std::vector<POINT>>& Polygons, int FillMode, const RECT& Limit,
                  std::vector<TSpan>& Out) {
    struct TEdge {
        int64_t Xa, Ya, Xb, Yb;  // Ya < Yb
        int Dir;
    };
    std::vector<TEdge> edges;
    int64_t minY = INT64_MAX, maxY = INT64_MIN;
    for (const auto& poly : Polygons) {
        const size_t n = poly.size();
        if (n < 2) continue;
        for (size_t i = 0; i < n; ++i) {
            const POINT& p = poly[i];
            const POINT& q = poly[(i + 1) % n];
            if (p.y == q.y) continue;
            TEdge e = p.y < q.y ? TEdge{p.x, p.y, q.x, q.y, 1} : TEdge{q.x, q.y, p.x, p.y, -1};
            edges.push_back(e);
            minY = std::min(minY, e.Ya);
            maxY = std::max(maxY, e.Yb);
        }
    }
    if (edges.empty()) return;
    const int64_t y0 = std::max<int64_t>(minY, Limit.top), y1 = std::min<int64_t>(maxY, Limit.bottom);
    struct TCross {
        int64_t X;
        int Dir;
    };
    std::vector<TCross> xs;
    for (int64_t y = y0; y < y1; ++y) {
        xs.clear();
        for (const TEdge& e : edges) {
            if (y < e.Ya || y >= e.Yb) continue;
            // The first pixel at or right of the crossing: a pixel exactly on an edge
            // starts a span (left edge) or ends one without being in it (right edge).
            const __int128 dy = e.Yb - e.Ya;
            const __int128 num = __int128(e.Xa) * dy + __int128(y - e.Ya) * (e.Xb - e.Xa);
            xs.push_back(TCross{detail::CeilDiv(num, dy), e.Dir});
        }
        std::sort(xs.begin(), xs.end(), [](const TCross& a, const TCross& b) { return a.X < b.X; });
        auto emit = [&](int64_t a, int64_t b) {
            a = std::max<int64_t>(a, Limit.left);
            b = std::min<int64_t>(b, Limit.right);
            if (a < b) Out.push_back(TSpan{int(y), int(a), int(b)});
        };
        if (FillMode == WINDING) {
            int wind = 0;
            int64_t start = 0;
            for (const TCross& c : xs) {
                const int before = wind;
                wind += c.Dir;
                if (before == 0 && wind != 0) start = c.X;
                if (before != 0 && wind == 0) emit(start, c.X);
            }
        } else {
            for (size_t i = 0; i + 1 < xs.size(); i += 2) emit(xs[i].X, xs[i + 1].X);
        }
    }
}

}  // namespace drawing

using namespace drawing;

namespace {

// A brush argument: a brush handle, or a system colour index + 1.
bool ResolveBrush(HBRUSH Brush, const TTarget& T, TBrushFill& Fill) {
    if (const TBrushObj* b = Find<TBrushObj>(Brush)) {
        PrepareBrush(b, T.DC, T.Surface, Fill);
        return true;
    }
    const uintptr_t v = reinterpret_cast<uintptr_t>(Brush);
    if (v >= 1 && v <= uintptr_t(COLOR_MAX)) {
        Fill = SolidFill(ColorToSurface(SysColor(int(v) - 1), T.Surface));
        return true;
    }
    return false;
}

RECT Normalized(int L, int T, int R, int B) {
    return RECT{std::min(L, R), std::min(T, B), std::max(L, R), std::max(T, B)};
}

RECT ToSurfaceRect(const TTarget& T, const RECT& R) {
    return RECT{Shift(R.left, T.Dx), Shift(R.top, T.Dy), Shift(R.right, T.Dx), Shift(R.bottom, T.Dy)};
}

// The logical region of a region handle moved to surface coordinates.
bool SurfaceRegion(const TTarget& T, HRGN Rgn, TRegion& Out) {
    const TRegionObj* r = Find<TRegionObj>(Rgn);
    if (r == nullptr) return false;
    Out = r->Rgn;
    Out.Offset(T.Dx, T.Dy);
    return true;
}

// A cosmetic or wide polyline, each segment without its end point for cosmetic pens;
// the dash pattern runs on across the segments. Closed adds the segment back to the start.
void DrawPolyline(const TTarget& T, const TPen& Pen, const POINT* Pts, size_t Count, bool Closed) {
    if (Pen.Null || Count < 2) return;
    const int rop2 = T.DC->A.Rop2;
    if (!Pen.Cosmetic()) {
        std::vector<TSpan> spans;
        const RECT lim = WorkArea(T);
        const size_t segs = Closed ? Count : Count - 1;
        for (size_t i = 0; i < segs; ++i) {
            const POINT& a = Pts[i];
            const POINT& b = Pts[(i + 1) % Count];
            AddStroke(spans, Shift(a.x, T.Dx), Shift(a.y, T.Dy), Shift(b.x, T.Dx), Shift(b.y, T.Dy), Pen.Width, lim);
        }
        PaintArea(T, RegionFromSpans(spans), SolidFill(Pen.Pixel), rop2);
        return;
    }
    TPlotter plot(T, rop2);
    const TDash dash(Pen.Style);
    const bool opaque = T.DC->A.BkMode != TRANSPARENT;
    const uint32_t bk = ColorToSurface(T.DC->A.BkColor, T.Surface);
    const RECT box = plot.Box();
    int64_t offset = 0;
    const size_t segs = Closed ? Count : Count - 1;
    for (size_t i = 0; i < segs; ++i) {
        const POINT& a = Pts[i];
        const POINT& b = Pts[(i + 1) % Count];
        const int64_t ax = int64_t(a.x) + T.Dx, ay = int64_t(a.y) + T.Dy;
        const int64_t bx = int64_t(b.x) + T.Dx, by = int64_t(b.y) + T.Dy;
        offset += WalkLine(ax, ay, bx, by, box, [&](int64_t k, int x, int y) {
            if (dash.On(offset + k))
                plot.Plot(x, y, Pen.Pixel);
            else if (opaque)
                plot.Plot(x, y, bk);
        });
    }
}

}  // namespace

}  // namespace host::gdi

namespace host {

using namespace gdi;
using namespace gdi::drawing;

// ---- rectangles and regions ----

int FillRect(HDC Dc, const RECT* R, HBRUSH Brush) {
    TraceCall("FillRect", Dc, R, Brush);
    TTarget T;
    if (R == nullptr || !MakeTarget(Dc, T)) return 0;
    TBrushFill fill;
    if (!ResolveBrush(Brush, T, fill)) return 0;
    const RECT r = Normalized(R->left, R->top, R->right, R->bottom);
    PatRect(T, ToSurfaceRect(T, r), 0xF0, &fill);
    return 1;
}

int FrameRect(HDC Dc, const RECT* R, HBRUSH Brush) {
    TraceCall("FrameRect", Dc, R, Brush);
    TTarget T;
    if (R == nullptr || !MakeTarget(Dc, T)) return 0;
    TBrushFill fill;
    if (!ResolveBrush(Brush, T, fill)) return 0;
    if (R->right <= R->left || R->bottom <= R->top) return 1;
    const RECT s = ToSurfaceRect(T, *R);
    TRegion frame(s);
    if (s.right - s.left > 2 && s.bottom - s.top > 2) frame.Subtract(TRegion(s.left + 1, s.top + 1, s.right - 1, s.bottom - 1));
    PatArea(T, frame, 0xF0, &fill);
    return 1;
}

BOOL InvertRect(HDC Dc, const RECT* R) {
    TraceCall("InvertRect", Dc, R);
    TTarget T;
    if (R == nullptr || !MakeTarget(Dc, T)) return FALSE;
    const RECT r = Normalized(R->left, R->top, R->right, R->bottom);
    PatRect(T, ToSurfaceRect(T, r), 0x55, nullptr);
    return TRUE;
}

BOOL FillRgn(HDC Dc, HRGN Rgn, HBRUSH Brush) {
    TraceCall("FillRgn", Dc, Rgn, Brush);
    TTarget T;
    if (!MakeTarget(Dc, T)) return FALSE;
    TBrushFill fill;
    TRegion area;
    if (!ResolveBrush(Brush, T, fill) || !SurfaceRegion(T, Rgn, area)) return FALSE;
    PaintArea(T, area, fill, T.DC->A.Rop2);
    return TRUE;
}

BOOL PaintRgn(HDC Dc, HRGN Rgn) {
    TraceCall("PaintRgn", Dc, Rgn);
    TTarget T;
    if (!MakeTarget(Dc, T)) return FALSE;
    TRegion area;
    if (!SurfaceRegion(T, Rgn, area)) return FALSE;
    TBrushFill fill;
    BrushOf(T, fill);
    PaintArea(T, area, fill, T.DC->A.Rop2);
    return TRUE;
}

BOOL FrameRgn(HDC Dc, HRGN Rgn, HBRUSH Brush, int Width, int Height) {
    TraceCall("FrameRgn", Dc, Rgn, Brush, Width, Height);
    TTarget T;
    if (!MakeTarget(Dc, T)) return FALSE;
    TBrushFill fill;
    TRegion area;
    if (!ResolveBrush(Brush, T, fill) || !SurfaceRegion(T, Rgn, area)) return FALSE;
    if (Width <= 0 || Height <= 0) return FALSE;
    // The frame is what the region loses when it is shrunk by Width across and Height
    // down: the parts of it that do not survive being moved by that much each way.
    TRegion inner(area);
    const int moves[4][2] = {{Width, 0}, {-Width, 0}, {0, Height}, {0, -Height}};
    for (const auto& m : moves) {
        TRegion moved(area);
        moved.Offset(m[0], m[1]);
        inner.Intersect(moved);
    }
    TRegion frame(area);
    frame.Subtract(inner);
    PaintArea(T, frame, fill, T.DC->A.Rop2);
    return TRUE;
}

BOOL InvertRgn(HDC Dc, HRGN Rgn) {
    TraceCall("InvertRgn", Dc, Rgn);
    TTarget T;
    if (!MakeTarget(Dc, T)) return FALSE;
    TRegion area;
    if (!SurfaceRegion(T, Rgn, area)) return FALSE;
    PatArea(T, area, 0x55, nullptr);
    return TRUE;
}

// ---- lines ----

BOOL LineTo(HDC Dc, int X, int Y) {
    TraceCall("LineTo", Dc, X, Y);
    TTarget T;
    if (!MakeTarget(Dc, T)) return FALSE;
    const POINT pts[2] = {T.DC->A.CurPos, POINT{X, Y}};
    DrawPolyline(T, PenOf(T), pts, 2, false);
    T.DC->A.CurPos = POINT{X, Y};
    return TRUE;
}

BOOL Polyline(HDC Dc, const POINT* Points, int Count) {
    TraceCall("Polyline", Dc, Points, Count);
    TTarget T;
    if (Points == nullptr || Count < 2 || !MakeTarget(Dc, T)) return FALSE;
    DrawPolyline(T, PenOf(T), Points, size_t(Count), false);
    return TRUE;
}

BOOL PolylineTo(HDC Dc, const POINT* Points, DWORD Count) {
    TraceCall("PolylineTo", Dc, Points, Count);
    TTarget T;
    if (Points == nullptr || !MakeTarget(Dc, T)) return FALSE;
    if (Count == 0) return TRUE;
    std::vector<POINT> pts;
    try {
        pts.reserve(size_t(Count) + 1);
    } catch (const std::bad_alloc&) {
        return FALSE;
    }
    pts.push_back(T.DC->A.CurPos);
    pts.insert(pts.end(), Points, Points + Count);
    DrawPolyline(T, PenOf(T), pts.data(), pts.size(), false);
    T.DC->A.CurPos = Points[Count - 1];
    return TRUE;
}

}  // namespace host
