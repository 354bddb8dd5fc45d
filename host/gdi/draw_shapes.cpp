// The painter's closed shapes: rectangles, rounded rectangles, ellipses, polygons, arcs, chords and pies.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/gdi/draw_internal.h"
#include "host/gdi/gdi.h"

namespace host::gdi {

using namespace drawing;

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// What a shape paints: the inside with the brush, the outline with the pen (Off: the
// gaps of a dashed outline, painted with the background colour when it is opaque).
struct TShape {
    std::vector<TSpan> Inside;
    std::vector<TSpan> On, Off;
};

void PaintShape(const TTarget& T, const TPen& Pen, const TShape& S) {
    const int rop2 = T.DC->A.Rop2;
    TRegion on = RegionFromSpans(S.On), off = RegionFromSpans(S.Off);
    TBrushFill brush;
    BrushOf(T, brush);
    if (!brush.Null) {
        TRegion inside = RegionFromSpans(S.Inside);
        inside.Subtract(on);
        inside.Subtract(off);
        PaintArea(T, inside, brush, rop2);
    }
    if (Pen.Null) return;
    PaintArea(T, on, SolidFill(Pen.Pixel), rop2);
    if (T.DC->A.BkMode != TRANSPARENT) PaintArea(T, off, SolidFill(ColorToSurface(T.DC->A.BkColor, T.Surface)), rop2);
}

std::vector<POINT> PixelsOf(const std::vector<TSpan>& Spans) {
    std::vector<POINT> out;
    for (const TSpan& s : Spans)
        for (int x = s.X0; x < s.X1; ++x) out.push_back(POINT{x, s.Y});
    return out;
}

// Splits an ordered run of outline pixels into the dashes and the gaps of the pen.
void Dash(const TPen& Pen, const std::vector<POINT>& Ordered, TShape& S) {
    const TDash dash(Pen.Style);
    for (size_t i = 0; i < Ordered.size(); ++i)
        (dash.On(int64_t(i)) ? S.On : S.Off).push_back(TSpan{Ordered[i].y, Ordered[i].x, Ordered[i].x + 1});
}

// Orders the outline pixels of a shape clockwise on screen around (Cx, Cy), starting
// from the direction of (Sx, Sy).
void SortClockwise(std::vector<POINT>& Pixels, double Cx, double Cy, double Sx, double Sy) {
    const double start = std::atan2(Sy - Cy, Sx - Cx);
    auto key = [&](const POINT& p) {
        double a = std::atan2(p.y - Cy, p.x - Cx) - start;
        while (a < 0) a += kTwoPi;
        while (a >= kTwoPi) a -= kTwoPi;
        return a;
    };
    std::vector<std::pair<double, POINT>> keyed;
    keyed.reserve(Pixels.size());
    for (const POINT& p : Pixels) keyed.emplace_back(key(p), p);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i) Pixels[i] = keyed[i].second;
}

// The outer and inner edges of a wide pen drawn along a box whose one-pixel outline
// would lie on its border pixels; inside-frame pens keep their outer edge on the box.
struct TPenBoxes {
    double OL, OT, OR, OB;  // outer box
    double IL, IT, IR, IB;  // inner box
};
TPenBoxes PenBoxes(const RECT& Box, const TPen& Pen) {
    const int w = Pen.Width, h = w / 2;
    TPenBoxes b;
    if (Pen.InsideFrame) {
        b = TPenBoxes{double(Box.left), double(Box.top), double(Box.right), double(Box.bottom),
                      double(Box.left + w), double(Box.top + w), double(Box.right - w), double(Box.bottom - w)};
    } else {
        b = TPenBoxes{double(Box.left - h), double(Box.top - h), double(Box.right - 1 - h + w),
                      double(Box.bottom - 1 - h + w), double(Box.left - h + w), double(Box.top - h + w),
                      double(Box.right - 1 - h), double(Box.bottom - 1 - h)};
    }
    return b;
}

// The rows of a rounded box over the work area and one row either side.
struct TRows {
    int Y0 = 0;
    std::vector<TRowSpan> Rows;
};
TRows BoxRows(const RECT& Area, double L, double T, double R, double B, double Rx, double Ry) {
    TRows r;
    r.Y0 = Area.top - 1;
    RoundBoxRows(L, T, R, B, Rx, Ry, Area.top - 1, Area.bottom + 1, Area.left, Area.right, r.Rows);
    return r;
}

// Spans of rows Y0+1 .. end-1 (the rows inside the work area).
void AddRows(const TRows& R, std::vector<TSpan>& Out) {
    for (size_t i = 1; i + 1 < R.Rows.size(); ++i)
        if (!R.Rows[i].Empty()) Out.push_back(TSpan{R.Y0 + int(i), R.Rows[i].X0, R.Rows[i].X1});
}

// Outer minus inner, row by row.
void RingRows(const TRows& Outer, const TRows& Inner, std::vector<TSpan>& Out) {
    for (size_t i = 1; i + 1 < Outer.Rows.size(); ++i) {
        const TRowSpan& o = Outer.Rows[i];
        if (o.Empty()) continue;
        const TRowSpan& in = Inner.Rows[i];
        const int y = Outer.Y0 + int(i);
        if (in.Empty() || in.X1 <= o.X0 || in.X0 >= o.X1) {
            Out.push_back(TSpan{y, o.X0, o.X1});
            continue;
        }
        if (o.X0 < in.X0) Out.push_back(TSpan{y, o.X0, in.X0});
        if (in.X1 < o.X1) Out.push_back(TSpan{y, in.X1, o.X1});
    }
}

// A rectangle, rounded rectangle or ellipse in the surface box [Box): Ew and Eh are the
// corner ellipse's size (the box's own size for an ellipse).
void BoxShape(const TTarget& T, const TPen& Pen, const RECT& Box, bool IsEllipse, int Ew, int Eh, TShape& S) {
    const RECT area = WorkArea(T);
    const double w = Box.right - Box.left, h = Box.bottom - Box.top;
    auto radii = [&](double bw, double bh, double grow, double& rx, double& ry) {
        if (IsEllipse) {
            rx = bw / 2;
            ry = bh / 2;
        } else {
            rx = std::max(0.0, std::min<double>(Ew, w) / 2 + grow);
            ry = std::max(0.0, std::min<double>(Eh, h) / 2 + grow);
        }
    };
    double rx, ry;
    if (Pen.Null) {
        // Without an outline the shape loses its right column and bottom row.
        radii(w - 1, h - 1, 0, rx, ry);
        if (!IsEllipse) {
            rx = std::max(0.0, std::min<double>(Ew, w - 1) / 2);
            ry = std::max(0.0, std::min<double>(Eh, h - 1) / 2);
        }
        const TRows rows = BoxRows(area, Box.left, Box.top, Box.right - 1, Box.bottom - 1, rx, ry);
        AddRows(rows, S.Inside);
        return;
    }
    if (Pen.Cosmetic()) {
        radii(w, h, 0, rx, ry);
        const TRows rows = BoxRows(area, Box.left, Box.top, Box.right, Box.bottom, rx, ry);
        std::vector<TSpan> outline;
        SplitOutline(rows.Rows, rows.Y0, &outline, &S.Inside);
        if (!Pen.Dashed()) {
            S.On = std::move(outline);
            return;
        }
        std::vector<POINT> px = PixelsOf(outline);
        SortClockwise(px, (Box.left + Box.right - 1) / 2.0, (Box.top + Box.bottom - 1) / 2.0, Box.left, Box.top);
        Dash(Pen, px, S);
        return;
    }
    const TPenBoxes b = PenBoxes(Box, Pen);
    double orx, ory, irx, iry;
    radii(b.OR - b.OL, b.OB - b.OT, Box.left - b.OL, orx, ory);
    radii(b.IR - b.IL, b.IB - b.IT, -(b.IL - Box.left), irx, iry);
    const TRows outer = BoxRows(area, b.OL, b.OT, b.OR, b.OB, orx, ory);
    const TRows inner = BoxRows(area, b.IL, b.IT, b.IR, b.IB, irx, iry);
    RingRows(outer, inner, S.On);
    AddRows(inner, S.Inside);
}

RECT SurfaceBox(const TTarget& T, int L, int Tp, int R, int B) {
    return RECT{Shift(std::min(L, R), T.Dx), Shift(std::min(Tp, B), T.Dy), Shift(std::max(L, R), T.Dx),
                Shift(std::max(Tp, B), T.Dy)};
}

BOOL DrawBox(HDC Dc, int L, int Tp, int R, int B, bool IsEllipse, int Ew, int Eh) {
    TTarget T;
    if (!MakeTarget(Dc, T)) return FALSE;
    const RECT box = SurfaceBox(T, L, Tp, R, B);
    if (box.right <= box.left || box.bottom <= box.top) return TRUE;
    const TPen pen = PenOf(T);
    TShape s;
    BoxShape(T, pen, box, IsEllipse, Ew, Eh, s);
    PaintShape(T, pen, s);
    return TRUE;
}

// The outline of closed polygons with the pen, as pixels (cosmetic pens, in drawing
// order, each segment without its end point) or as a wide stroke.
void PolygonOutline(const TTarget& T, const TPen& Pen, const std::vector<std::vector<POINT>>& Polys, TShape& S) {
    if (Pen.Null) return;
    const RECT area = WorkArea(T);
    if (!Pen.Cosmetic()) {
        for (const auto& poly : Polys)
            for (size_t i = 0; i < poly.size(); ++i) {
                const POINT& a = poly[i];
                const POINT& b = poly[(i + 1) % poly.size()];
                AddStroke(S.On, a.x, a.y, b.x, b.y, Pen.Width, area);
            }
        return;
    }
    const TDash dash(Pen.Style);
    for (const auto& poly : Polys) {
        int64_t offset = 0;
        for (size_t i = 0; i < poly.size(); ++i) {
            const POINT& a = poly[i];
            const POINT& b = poly[(i + 1) % poly.size()];
            offset += WalkLine(a.x, a.y, b.x, b.y, area, [&](int64_t k, int x, int y) {
                (dash.On(offset + k) ? S.On : S.Off).push_back(TSpan{y, x, x + 1});
            });
        }
    }
}

BOOL DrawPolygons(HDC Dc, const POINT* Points, const int* Counts, int Polygons) {
    TTarget T;
    if (Points == nullptr || Counts == nullptr || Polygons <= 0 || !MakeTarget(Dc, T)) return FALSE;
    std::vector<std::vector<POINT>> polys;
    size_t k = 0;
    for (int i = 0; i < Polygons; ++i) {
        if (Counts[i] < 2) return FALSE;
        std::vector<POINT> poly;
        poly.reserve(size_t(Counts[i]));
        for (int j = 0; j < Counts[i]; ++j, ++k)
            poly.push_back(POINT{Shift(Points[k].x, T.Dx), Shift(Points[k].y, T.Dy)});
        polys.push_back(std::move(poly));
    }
    const TPen pen = PenOf(T);
    TShape s;
    PolygonSpans(polys, T.DC->A.PolyFillMode, WorkArea(T), s.Inside);
    PolygonOutline(T, pen, polys, s);
    PaintShape(T, pen, s);
    return TRUE;
}

// ---- arcs ----

enum class TArcKind { Arc, Chord, Pie };

// Angles counter-clockwise on screen around a centre, from a start radial.
struct TSector {
    double Cx, Cy, Start, Sweep;
    double Angle(double X, double Y) const { return std::atan2(-(Y - Cy), X - Cx); }
    // How far counter-clockwise from the start radial (X, Y) lies, in [0, 2*pi).
    double From(double X, double Y) const {
        double a = Angle(X, Y) - Start;
        while (a < 0) a += kTwoPi;
        while (a >= kTwoPi) a -= kTwoPi;
        return a;
    }
    // The radials as vectors (y up), set by Prepare; Contains tests by cross products,
    // which is what lets a pie of a whole screen fill quickly.
    double Sx = 1, Sy = 0, Ex = 1, Ey = 0;
    void Prepare() {
        Sx = std::cos(Start), Sy = std::sin(Start);
        Ex = std::cos(Start + Sweep), Ey = std::sin(Start + Sweep);
    }
    bool Contains(double X, double Y) const {
        const double px = X - Cx, py = Cy - Y;
        if (px == 0 && py == 0) return true;
        if (Sweep >= kTwoPi - 1e-12) return true;
        const double eps = 1e-9 * (std::fabs(px) + std::fabs(py));  // points on a radial count in
        const double fromStart = Sx * py - Sy * px;  // > 0: counter-clockwise of the start
        const double toEnd = px * Ey - py * Ex;      // > 0: clockwise of the end
        if (Sweep <= std::numbers::pi) return fromStart >= -eps && toEnd >= -eps;
        return fromStart >= -eps || toEnd >= -eps;
    }
};

// The point where the radial towards (X, Y) meets the ellipse of semi-axes A and B
// around (Cx, Cy), rounded to a pixel.
POINT OnEllipse(double Cx, double Cy, double A, double B, double X, double Y) {
    double ux = X - Cx, uy = Y - Cy;
    if (ux == 0 && uy == 0) ux = 1;
    double px, py;
    if (A <= 0 || B <= 0) {
        const double len = std::hypot(ux, uy);
        px = Cx + (A <= 0 ? 0 : A * ux / len);
        py = Cy + (B <= 0 ? 0 : B * uy / len);
    } else {
        const double t = 1 / std::sqrt((ux / A) * (ux / A) + (uy / B) * (uy / B));
        px = Cx + ux * t;
        py = Cy + uy * t;
    }
    return POINT{int(std::floor(px + 0.5)), int(std::floor(py + 0.5))};
}

BOOL DrawArc(HDC Dc, TArcKind Kind, int L, int Tp, int R, int B, int XS, int YS, int XE, int YE) {
    TTarget T;
    if (!MakeTarget(Dc, T)) return FALSE;
    const RECT box = SurfaceBox(T, L, Tp, R, B);
    if (box.right <= box.left || box.bottom <= box.top) return TRUE;
    const TPen pen = PenOf(T);
    if (Kind == TArcKind::Arc && pen.Null) return TRUE;
    const RECT area = WorkArea(T);
    const double w = box.right - box.left, h = box.bottom - box.top;

    // Centre and radials in pixel-centre coordinates.
    TSector sec;
    sec.Cx = (box.left + box.right - 1) / 2.0;
    sec.Cy = (box.top + box.bottom - 1) / 2.0;
    const double xs = double(XS) + T.Dx, ys = double(YS) + T.Dy, xe = double(XE) + T.Dx, ye = double(YE) + T.Dy;
    sec.Start = (xs == sec.Cx && ys == sec.Cy) ? 0 : sec.Angle(xs, ys);
    const double end = (xe == sec.Cx && ye == sec.Cy) ? 0 : sec.Angle(xe, ye);
    sec.Sweep = end - sec.Start;
    while (sec.Sweep <= 1e-12) sec.Sweep += kTwoPi;
    if (sec.Sweep > kTwoPi) sec.Sweep = kTwoPi;
    const bool full = sec.Sweep >= kTwoPi - 1e-12;
    sec.Prepare();
    const POINT ps = OnEllipse(sec.Cx, sec.Cy, (w - 1) / 2, (h - 1) / 2, xs, ys);
    const POINT pe = OnEllipse(sec.Cx, sec.Cy, (w - 1) / 2, (h - 1) / 2, xe, ye);
    const POINT centre{int(std::floor(sec.Cx + 0.5)), int(std::floor(sec.Cy + 0.5))};

    TShape s;
    // The outline: the ellipse's outline inside the sector, then the straight parts.
    if (!pen.Null) {
        std::vector<TSpan> ring;
        if (pen.Cosmetic()) {
            const TRows rows = BoxRows(area, box.left, box.top, box.right, box.bottom, w / 2, h / 2);
            SplitOutline(rows.Rows, rows.Y0, &ring, nullptr);
        } else {
            const TPenBoxes b = PenBoxes(box, pen);
            const TRows outer = BoxRows(area, b.OL, b.OT, b.OR, b.OB, (b.OR - b.OL) / 2, (b.OB - b.OT) / 2);
            const TRows inner = BoxRows(area, b.IL, b.IT, b.IR, b.IB, (b.IR - b.IL) / 2, (b.IB - b.IT) / 2);
            RingRows(outer, inner, ring);
        }
        std::vector<POINT> arc;
        for (const TSpan& sp : ring)
            for (int x = sp.X0; x < sp.X1; ++x)
                if (full || sec.Contains(x, sp.Y)) arc.push_back(POINT{x, sp.Y});
        std::vector<std::pair<POINT, POINT>> lines;
        if (!full && Kind == TArcKind::Chord) lines.emplace_back(ps, pe);
        if (!full && Kind == TArcKind::Pie) {
            lines.emplace_back(pe, centre);
            lines.emplace_back(centre, ps);
        }
        if (pen.Cosmetic()) {
            std::sort(arc.begin(), arc.end(), [&](const POINT& a, const POINT& b) {
                return sec.From(a.x, a.y) < sec.From(b.x, b.y);
            });
            for (const auto& [a, b] : lines) {
                WalkLine(a.x, a.y, b.x, b.y, area, [&](int64_t, int x, int y) { arc.push_back(POINT{x, y}); });
                if (b.x >= area.left && b.x < area.right && b.y >= area.top && b.y < area.bottom) arc.push_back(b);
            }
            if (pen.Dashed()) {
                Dash(pen, arc, s);
            } else {
                for (const POINT& p : arc) s.On.push_back(TSpan{p.y, p.x, p.x + 1});
            }
        } else {
            for (const POINT& p : arc) s.On.push_back(TSpan{p.y, p.x, p.x + 1});
            for (const auto& [a, b] : lines) AddStroke(s.On, a.x, a.y, b.x, b.y, pen.Width, area);
        }
    }
    // The inside of a chord or a pie.
    if (Kind != TArcKind::Arc) {
        const double fr = pen.Null ? box.right - 1 : box.right, fb = pen.Null ? box.bottom - 1 : box.bottom;
        const TRows rows = BoxRows(area, box.left, box.top, fr, fb, (fr - box.left) / 2, (fb - box.top) / 2);
        const double ex = pe.x - ps.x, ey = pe.y - ps.y;
        for (size_t i = 1; i + 1 < rows.Rows.size(); ++i) {
            const TRowSpan& sp = rows.Rows[i];
            const int y = rows.Y0 + int(i);
            int runStart = 0;
            bool inRun = false;
            for (int x = sp.X0; x <= sp.X1; ++x) {
                bool in = false;
                if (x < sp.X1) {
                    if (full)
                        in = true;
                    else if (Kind == TArcKind::Pie)
                        in = sec.Contains(x, y);
                    else  // the arc's side of the chord (y grows downwards on screen)
                        in = -ex * (y - ps.y) + ey * (x - ps.x) <= 0;
                }
                if (in && !inRun) {
                    runStart = x;
                    inRun = true;
                } else if (!in && inRun) {
                    s.Inside.push_back(TSpan{y, runStart, x});
                    inRun = false;
                }
            }
        }
    }
    PaintShape(T, pen, s);
    return TRUE;
}

}  // namespace

}  // namespace host::gdi

namespace host {

using namespace gdi;
using namespace gdi::drawing;

BOOL Rectangle(HDC Dc, int Left, int Top, int Right, int Bottom) {
    TraceCall("Rectangle", Dc, Left, Top, Right, Bottom);
    return DrawBox(Dc, Left, Top, Right, Bottom, false, 0, 0);
}

BOOL RoundRect(HDC Dc, int Left, int Top, int Right, int Bottom, int Width, int Height) {
    TraceCall("RoundRect", Dc, Left, Top, Right, Bottom, Width, Height);
    return DrawBox(Dc, Left, Top, Right, Bottom, false, std::abs(Width), std::abs(Height));
}

BOOL Ellipse(HDC Dc, int Left, int Top, int Right, int Bottom) {
    TraceCall("Ellipse", Dc, Left, Top, Right, Bottom);
    return DrawBox(Dc, Left, Top, Right, Bottom, true, 0, 0);
}

BOOL Polygon(HDC Dc, const POINT* Points, int Count) {
    TraceCall("Polygon", Dc, Points, Count);
    return DrawPolygons(Dc, Points, &Count, 1);
}

BOOL PolyPolygon(HDC Dc, const POINT* Points, const int* Counts, int Polygons) {
    TraceCall("PolyPolygon", Dc, Points, Counts, Polygons);
    return DrawPolygons(Dc, Points, Counts, Polygons);
}

BOOL Arc(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd) {
    TraceCall("Arc", Dc, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd);
    return DrawArc(Dc, TArcKind::Arc, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd);
}

BOOL Chord(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd) {
    TraceCall("Chord", Dc, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd);
    return DrawArc(Dc, TArcKind::Chord, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd);
}

BOOL Pie(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd) {
    TraceCall("Pie", Dc, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd);
    return DrawArc(Dc, TArcKind::Pie, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd);
}

}  // namespace host
