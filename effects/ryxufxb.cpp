// The pattern effect routines: blinds, skips, boxes, winds, pours, quadrants, shapes, the clock, dissolves and cuts.
#include "effects/ryxufxb.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "effects/ryxufx_engine.h"
#include "host/gdi/gdi.h"
#include "host/rtl/sysutils.h"

namespace ryx {

using fx::TEffect;
using host::HDC;
using host::POINT;

namespace {

int64_t CeilDiv(int64_t A, int64_t B) { return (A + B - 1) / B; }

// ---- blinds ----

// One pass per offset k below Size: rows k, k + Size, ... copied in place.
bool Blinds(HDC D, HDC S, int W, int H, int Size, int Time, const TryxCancelEvent& OnStep, unsigned Map) {
    if (!fx::ArgsOk(D, S, W, H, Size)) return false;
    TEffect e(D, S, W, H, Time, OnStep, Map);
    int64_t passes = std::min<int64_t>(Size, e.H());  // never more passes than rows
    return e.Steps(0, 1, passes, Time / passes, [&](int64_t k) {
        for (int64_t y = k; y < e.H(); y += Size)
            if (!e.Blit(fx::sfDest, 0, y, e.W(), 1, fx::sfNew, 0, y)) return false;
        return true;
    });
}

// ---- skips ----

// Columns Size wide; one front copies the even columns from the left, the other
// the odd ones from the right, both two columns a step.
bool Skip(HDC D, HDC S, int W, int H, int Size, int Time, const TryxCancelEvent& OnStep, unsigned Map) {
    if (!fx::ArgsOk(D, S, W, H, Size)) return false;
    TEffect e(D, S, W, H, Time, OnStep, Map);
    if (Size >= e.W()) return e.CopyAll();
    int64_t cols = CeilDiv(e.W(), Size);
    int64_t lastOdd = cols % 2 == 0 ? cols - 1 : cols - 2;
    return e.StepsExact(0, 1, CeilDiv(cols, 2), 2 * int64_t(Time), std::max<int64_t>(1, e.W() / Size), [&](int64_t k) {
        int64_t left = 2 * k, right = lastOdd - 2 * k;
        if (left < cols && !e.Blit(fx::sfDest, left * Size, 0, Size, e.H(), fx::sfNew, left * Size, 0)) return false;
        if (right >= 0 && !e.Blit(fx::sfDest, right * Size, 0, Size, e.H(), fx::sfNew, right * Size, 0))
            return false;
        return true;
    });
}

// ---- boxes ----

// The side along the larger dimension that keeps the picture's aspect when the
// side along the smaller one is Along.
struct TAspect {
    int64_t Small, Large;
    bool WideIsLarge;
    TAspect(int W, int H) : Small(std::min(W, H)), Large(std::max(W, H)), WideIsLarge(W >= H) {}
    // (width, height) of a box whose smaller-dimension side took Steps steps of Size.
    void Box(int64_t Steps, int64_t Size, int64_t& W, int64_t& H) const {
        int64_t a = Steps * Size, b = Steps * (Size * Large / Small);
        W = WideIsLarge ? b : a;
        H = WideIsLarge ? a : b;
    }
};

}  // namespace

bool rfxBlindsHorz(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Blinds(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapNone);
}

bool rfxBlindsVert(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Blinds(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapTranspose);
}

bool rfxSkipHorizontal(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Skip(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapNone);
}

bool rfxSkipVertical(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Skip(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapTranspose);
}

bool rfxSkipRectangles(HDC DestDC, HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    // One-pixel outlines closing in from the border: every other ring first, then
    // the rings in between.
    int64_t rings = CeilDiv(std::min(Width, Height), 2), even = CeilDiv(rings, 2);
    return e.Steps(0, 1, rings, Time / rings, [&](int64_t k) {
        int64_t i = k < even ? 2 * k : 2 * (k - even) + 1;
        int64_t w = Width - 2 * i, h = Height - 2 * i;
        return e.Blit(fx::sfDest, i, i, w, 1, fx::sfNew, i, i) &&
               e.Blit(fx::sfDest, i, i, 1, h, fx::sfNew, i, i) &&
               e.Blit(fx::sfDest, i, Height - 1 - i, w, 1, fx::sfNew, i, Height - 1 - i) &&
               e.Blit(fx::sfDest, Width - 1 - i, i, 1, h, fx::sfNew, Width - 1 - i, i);
    });
}

bool rfxSkipDiagonals(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height, Size)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    // Bands Size wide between the lines x + y = k Size: the even bands from the
    // top-left corner, the odd ones from the bottom-right, through clip regions
    // (triangles at the corners, four-sided strips elsewhere).
    int64_t extent = int64_t(Width) + Height;
    if (Size >= extent) return e.CopyAll();
    int64_t bands = CeilDiv(extent, Size);
    int64_t lastOdd = bands % 2 == 0 ? bands - 1 : bands - 2;
    auto band = [&](int64_t k) {
        int64_t a = k * Size, b = a + Size;
        POINT pts[4] = {{int(a), 0}, {int(b), 0}, {0, int(b)}, {0, int(a)}};
        return e.BlitThroughPolygon(pts, 4);
    };
    return e.StepsExact(0, 1, CeilDiv(bands, 2), 2 * int64_t(Time), bands, [&](int64_t k) {
        return (2 * k >= bands || band(2 * k)) && (lastOdd - 2 * k < 0 || band(lastOdd - 2 * k));
    });
}

bool rfxSkipDiagonalSquares(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time,
                            TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height, Size)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    // Size x Size cells; each step copies the cells of one diagonal from the
    // top-left corner and of one from the bottom-right, until they meet.
    int64_t cols = CeilDiv(Width, Size), rows = CeilDiv(Height, Size), diags = cols + rows - 1;
    auto diagonal = [&](int64_t d) {
        for (int64_t c = std::max<int64_t>(0, d - rows + 1); c <= std::min(d, cols - 1); ++c) {
            int64_t x = c * Size, y = (d - c) * Size;
            if (!e.Blit(fx::sfDest, x, y, Size, Size, fx::sfNew, x, y)) return false;
        }
        return true;
    };
    return e.StepsExact(0, 1, CeilDiv(diags, 2), 2 * int64_t(Time), diags, [&](int64_t k) {
        return diagonal(k) && (diags - 1 - k <= k || diagonal(diags - 1 - k));
    });
}

bool rfxBoxIn(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height, Size)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    TAspect a(Width, Height);
    int64_t half = CeilDiv(a.Small, 2);
    // Four strips close in from the edges; each step adds the new part of each.
    int64_t prevW = 0, prevH = 0;
    return e.StepsExact(1, 1, CeilDiv(half, Size), 2 * int64_t(Time) * Size, a.Small, [&](int64_t k) {
        int64_t w, h;
        a.Box(k, Size, w, h);
        w = std::min<int64_t>(w, CeilDiv(Width, 2));
        h = std::min<int64_t>(h, CeilDiv(Height, 2));
        bool ok = e.Blit(fx::sfDest, 0, prevH, Width, h - prevH, fx::sfNew, 0, prevH) &&
                  e.Blit(fx::sfDest, 0, Height - h, Width, h - prevH, fx::sfNew, 0, Height - h) &&
                  e.Blit(fx::sfDest, prevW, 0, w - prevW, Height, fx::sfNew, prevW, 0) &&
                  e.Blit(fx::sfDest, Width - w, 0, w - prevW, Height, fx::sfNew, Width - w, 0);
        prevW = w;
        prevH = h;
        return ok;
    });
}

bool rfxBoxOut(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height, Size)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    TAspect a(Width, Height);
    // A centred rectangle grows by Size along the smaller dimension per step.
    return e.StepsExact(1, 1, CeilDiv(a.Small, Size), int64_t(Time) * Size, a.Small, [&](int64_t k) {
        int64_t w, h;
        a.Box(k, Size, w, h);
        w = std::min<int64_t>(w, Width);
        h = std::min<int64_t>(h, Height);
        int64_t x = (Width - w) / 2, y = (Height - h) / 2;
        return e.Blit(fx::sfDest, x, y, w, h, fx::sfNew, x, y);
    });
}

namespace {

// The sides of the rings of blocks, from the border inwards, as rectangles.
std::vector<host::RECT> WindSides(int W, int H, int Size) {
    TAspect a(W, H);
    int64_t bw, bh;
    a.Box(1, Size, bw, bh);
    bw = std::max<int64_t>(bw, 1);
    bh = std::max<int64_t>(bh, 1);
    int64_t left = 0, top = 0, right = CeilDiv(W, bw) - 1, bottom = CeilDiv(H, bh) - 1;
    std::vector<host::RECT> sides;
    auto add = [&](int64_t l, int64_t t, int64_t r, int64_t b) {  // block bounds, inclusive
        sides.push_back(host::RECT{int(l * bw), int(t * bh), int(std::min<int64_t>((r + 1) * bw, W)),
                                   int(std::min<int64_t>((b + 1) * bh, H))});
    };
    while (left <= right && top <= bottom) {
        add(left, top, right, top);
        if (++top > bottom) break;
        add(right, top, right, bottom);
        if (--right < left) break;
        add(left, bottom, right, bottom);
        if (--bottom < top) break;
        add(left, top, left, bottom);
        ++left;
    }
    return sides;
}

bool Wind(HDC D, HDC S, int W, int H, int Size, int Time, const TryxCancelEvent& OnStep, bool Out) {
    if (!fx::ArgsOk(D, S, W, H, Size)) return false;
    TEffect e(D, S, W, H, Time, OnStep);
    std::vector<host::RECT> sides = WindSides(W, H, Size);
    if (Out) std::reverse(sides.begin(), sides.end());
    return e.StepsExact(0, 1, int64_t(sides.size()), int64_t(Time) * Size, 2 * int64_t(std::min(W, H)), [&](int64_t k) {
        const host::RECT& r = sides[size_t(k)];
        return e.Blit(fx::sfDest, r.left, r.top, r.right - r.left, r.bottom - r.top, fx::sfNew, r.left, r.top);
    });
}

// The band at the front copied in place and repeated above it up to the top
// edge; the front climbs from the bottom.
bool Pour(HDC D, HDC S, int W, int H, int Size, int Time, const TryxCancelEvent& OnStep, unsigned Map) {
    if (!fx::ArgsOk(D, S, W, H, Size)) return false;
    TEffect e(D, S, W, H, Time, OnStep, Map);
    if (Size >= e.H()) return e.CopyAll();
    int64_t steps = (e.H() - Size) / Size + 1;
    return e.StepsExact(0, 1, steps, int64_t(Time) * Size, e.H(), [&](int64_t k) {
        int64_t s = e.H() - Size - k * Size;
        for (int64_t y = s; y > -Size; y -= Size)
            if (!e.Blit(fx::sfDest, 0, y, e.W(), Size, fx::sfNew, 0, s)) return false;
        return true;
    });
}

}  // namespace

bool rfxWindIn(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Wind(DestDC, SrcDC, Width, Height, Size, Time, OnStep, false);
}

bool rfxWindOut(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Wind(DestDC, SrcDC, Width, Height, Size, Time, OnStep, true);
}

bool rfxPourDown(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Pour(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapNone);
}

bool rfxPourUp(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Pour(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapMirrorY);
}

bool rfxPourRight(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Pour(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapTranspose);
}

bool rfxPourLeft(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Pour(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapTranspose | fx::mapMirrorY);
}

// ---- quadrants ----

namespace {

enum TQuadKind { qkCover, qkUncover, qkWipeIn, qkWipeOut, qkUnfold, qkFold, qkFoldCopy, qkExpand, qkShrink, qkShrinkCopy };

// One quadrant: its rectangle, and which corner of the picture it holds.
struct TQuad {
    int64_t X, Y, W, H;
    bool Right, Bottom;
};

bool Quad(HDC D, HDC S, int W, int H, int Size, int Time, const TryxCancelEvent& OnStep, TQuadKind Kind) {
    if (!fx::ArgsOk(D, S, W, H, Size)) return false;
    TEffect e(D, S, W, H, Time, OnStep);
    const int64_t hw = W / 2, hh = H / 2;
    const TQuad quads[4] = {{0, 0, hw, hh, false, false},
                            {hw, 0, W - hw, hh, true, false},
                            {0, hh, hw, H - hh, false, true},
                            {hw, hh, W - hw, H - hh, true, true}};
    // The growing quadrants show the new picture over the old; the shrinking ones the old over the new.
    const bool growing = Kind == qkCover || Kind == qkWipeIn || Kind == qkUnfold || Kind == qkExpand;
    const fx::TSurface base = growing ? fx::sfOld : fx::sfNew;
    const int64_t extent = std::max<int64_t>(1, std::min(W, H) / 2);
    if (Size >= extent) return e.CopyAll();
    if (!e.TakeSnapshot() || !e.MakeBuffer(base)) return e.Fail();
    if (Kind >= qkUnfold) e.UseStretching();
    auto quadrant = [&](const TQuad& q, int64_t p) {
        // The part of the quadrant that moved, grew or is left: w x h.
        int64_t w = q.W * p / extent, h = q.H * p / extent;
        if (!growing) w = q.W - w, h = q.H - h;
        // At the picture's corner, or at the centre.
        bool atCentre = Kind == qkExpand || Kind == qkShrink || Kind == qkShrinkCopy;
        int64_t cx = q.Right != atCentre ? q.X + q.W - w : q.X;
        int64_t cy = q.Bottom != atCentre ? q.Y + q.H - h : q.Y;
        switch (Kind) {
        case qkCover:  // the inner part of the new quadrant slides in at the corner
            return e.Blit(fx::sfBuffer, cx, cy, w, h, fx::sfNew, q.Right ? q.X : q.X + q.W - w,
                          q.Bottom ? q.Y : q.Y + q.H - h);
        case qkUncover:  // the old quadrant slides out: its inner part is what stays
            return e.Blit(fx::sfBuffer, cx, cy, w, h, fx::sfOld, q.Right ? q.X : q.X + q.W - w,
                          q.Bottom ? q.Y : q.Y + q.H - h);
        case qkWipeIn: return e.Blit(fx::sfBuffer, cx, cy, w, h, fx::sfNew, cx, cy);
        case qkWipeOut: return e.Blit(fx::sfBuffer, cx, cy, w, h, fx::sfOld, cx, cy);
        case qkUnfold:
        case qkExpand: return e.Stretch(fx::sfBuffer, cx, cy, w, h, fx::sfNew, q.X, q.Y, q.W, q.H);
        case qkFold:
        case qkShrink: return e.Stretch(fx::sfBuffer, cx, cy, w, h, fx::sfOld, q.X, q.Y, q.W, q.H);
        case qkFoldCopy:
        case qkShrinkCopy: return e.Stretch(fx::sfBuffer, cx, cy, w, h, fx::sfOld, 0, 0, W, H);
        }
        return false;
    };
    return e.StepsExact(Size, Size, extent, int64_t(Time) * Size, extent, [&](int64_t p) {
        if (!e.Blit(fx::sfBuffer, 0, 0, W, H, base, 0, 0)) return false;
        for (const TQuad& q : quads)
            if (!quadrant(q, p)) return false;
        return e.Present();
    });
}

}  // namespace

bool rfxQuadCover(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkCover);
}
bool rfxQuadUncover(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkUncover);
}
bool rfxQuadWipeIn(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkWipeIn);
}
bool rfxQuadWipeOut(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkWipeOut);
}
bool rfxQuadUnfold(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkUnfold);
}
bool rfxQuadFold(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkFold);
}
bool rfxQuadFoldCopy(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkFoldCopy);
}
bool rfxQuadExpand(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkExpand);
}
bool rfxQuadShrink(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkShrink);
}
bool rfxQuadShrinkCopy(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return Quad(DestDC, SrcDC, Width, Height, Size, Time, OnStep, qkShrinkCopy);
}

// ---- shapes and the clock ----

bool rfxSawtooth(HDC DestDC, HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    // A row of teeth hanging from a base line that moves down the picture.
    constexpr int kTeeth = 12, kSteps = 50;
    const int64_t tooth = std::max<int64_t>(1, CeilDiv(Width, kTeeth)), depth = std::max<int64_t>(2, Height / 6);
    std::vector<POINT> pts;
    return e.StepsExact(1, 1, kSteps, Time, kSteps, [&](int64_t k) {
        int64_t base = (int64_t(Height) + depth) * k / kSteps - depth;
        pts.clear();
        pts.push_back(POINT{0, 0});
        pts.push_back(POINT{Width, 0});
        for (int64_t x = int64_t(kTeeth) * tooth; x > 0; x -= tooth) {
            pts.push_back(POINT{int(x), int(base)});
            pts.push_back(POINT{int(x - tooth / 2), int(base + depth)});
        }
        pts.push_back(POINT{0, int(base)});
        return e.BlitThroughPolygon(pts.data(), int(pts.size()));
    });
}

bool rfxParamSpiral(HDC DestDC, HDC SrcDC, int Width, int Height, int Time, double Param, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    constexpr int kPoints = 100;
    double xs[kPoints], ys[kPoints], ext = 0, eyt = 0;
    for (int i = 0; i < kPoints; ++i) {
        double t = i * Param;
        xs[i] = t * std::cos(t);
        ys[i] = t * std::sin(t);
        ext = std::max(ext, std::fabs(xs[i]));
        eyt = std::max(eyt, std::fabs(ys[i]));
    }
    // Scaled about the picture's centre so that the curve's extremes touch the border.
    const double cx = Width / 2.0, cy = Height / 2.0;
    const double sx = ext > 0 ? cx / ext : 0, sy = eyt > 0 ? cy / eyt : 0;
    POINT pts[kPoints];
    for (int i = 0; i < kPoints; ++i)
        pts[i] = POINT{int(std::lround(cx + xs[i] * sx)), int(std::lround(cy + ys[i] * sy))};
    return e.Steps(1, 1, kPoints + 1, Time / kPoints,
                   [&](int64_t k) { return e.BlitThroughPolygon(pts, int(k)); });
}

bool rfxWipeClock(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, bool Clockwise,
                  TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height, Size)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    static constexpr int kY[16] = {0, 0, 1, 2, 3, 4, 4, 4, 4, 4, 3, 2, 1, 0, 0, 0};
    static constexpr int kXCw[16] = {3, 4, 4, 4, 4, 4, 3, 2, 1, 0, 0, 0, 0, 0, 1, 2};
    static constexpr int kXAcw[16] = {1, 0, 0, 0, 0, 0, 1, 2, 3, 4, 4, 4, 4, 4, 3, 2};
    const int* xt = Clockwise ? kXCw : kXAcw;
    const POINT centre{int(CeilDiv(Width, 2)), int(CeilDiv(Height, 2))};
    const POINT start{centre.x, 0};
    POINT prev = start;
    // The last triangle closes on the starting point, so that an odd width
    // leaves no sliver between (W div 2, 0) and (Ceil(W / 2), 0).
    return e.Steps(0, 1, 16, Time / 16, [&](int64_t k) {
        POINT p = k == 15 ? start
                          : POINT{int(int64_t(Width) * xt[k] / 4), int(int64_t(Height) * kY[k] / 4)};
        POINT tri[3] = {centre, prev, p};
        prev = p;
        return e.BlitThroughPolygon(tri, 3);
    });
}

// ---- dissolves ----

namespace {

// The cell order of a 128 x 128 tile and a row order, built once per process.
struct TDissolveOrder {
    uint8_t CellX[128][128], CellY[128][128], RowOrder[128];
    TDissolveOrder() {
        host::Randomize();
        std::vector<uint16_t> cells(128 * 128);
        for (int i = 0; i < 128 * 128; ++i) cells[size_t(i)] = uint16_t(i);
        std::vector<uint8_t> rows(128);
        for (int i = 0; i < 128; ++i) rows[size_t(i)] = uint8_t(i);
        for (int i = 0; i < 128; ++i) {
            for (int j = 0; j < 128; ++j) {
                size_t pick = size_t(host::Random(int(cells.size())));
                uint16_t c = cells[pick];
                cells[pick] = cells.back();  // order among the rest does not matter: each pick is uniform
                cells.pop_back();
                CellX[i][j] = uint8_t(c >> 7);
                CellY[i][j] = uint8_t(c & 127);
            }
            size_t pick = size_t(host::Random(int(rows.size())));
            RowOrder[i] = rows[pick];
            rows[pick] = rows.back();
            rows.pop_back();
        }
    }
};

const TDissolveOrder& DissolveOrder() {
    static const TDissolveOrder order;
    return order;
}

// Rows (or, transposed, columns) in the shared row order, one per tile per step.
bool DissolveLines(HDC D, HDC S, int W, int H, int Size, int Time, const TryxCancelEvent& OnStep, unsigned Map) {
    if (!fx::ArgsOk(D, S, W, H, Size)) return false;
    const TDissolveOrder& order = DissolveOrder();
    TEffect e(D, S, W, H, Time, OnStep, Map);
    e.StartSteps(0);
    bool ok = true;
    const int64_t tiles = CeilDiv(e.H(), 128);
    for (int i = 0; i < 128; ++i)
        for (int64_t r = 0; r < tiles; ++r) {
            int64_t y = 128 * r + order.RowOrder[i];
            if (y < e.H() && !e.Blit(fx::sfDest, 0, y, e.W(), Size, fx::sfNew, 0, y)) {
                ok = false;
                break;
            }
        }
    e.WaitSinceStart(Time);
    return ok ? true : e.Fail();
}

}  // namespace

bool rfxDissolve(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height, Size)) return false;
    const TDissolveOrder& order = DissolveOrder();
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    e.StartSteps(0);
    bool ok = true;
    const int64_t cols = CeilDiv(Width, 128), rows = CeilDiv(Height, 128);
    // Every tile receives the same cell at the same moment.
    for (int i = 0; i < 128; ++i)
        for (int j = 0; j < 128; ++j)
            for (int64_t c = 0; c < cols; ++c) {
                int64_t x = order.CellX[i][j] + 128 * c;
                if (x >= Width) continue;
                for (int64_t r = 0; r < rows; ++r) {
                    int64_t y = order.CellY[i][j] + 128 * r;
                    if (y < Height && !e.Blit(fx::sfDest, x, y, Size, Size, fx::sfNew, x, y)) {
                        ok = false;
                        break;
                    }
                }
            }
    e.WaitSinceStart(Time);
    return ok ? true : e.Fail();
}

bool rfxDissolveHorz(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return DissolveLines(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapNone);
}

bool rfxDissolveVert(HDC DestDC, HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    return DissolveLines(DestDC, SrcDC, Width, Height, Size, Time, OnStep, fx::mapTranspose);
}

// ---- cuts and the fade ----

bool rfxCut(HDC DestDC, HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    e.StartSteps(0);
    bool ok = e.CopyAll();
    e.WaitSinceStart(Time);
    e.Notify();  // its answer changes nothing
    return ok;
}

bool rfxCutThroughBlack(HDC DestDC, HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    host::RECT r{0, 0, Width, Height};
    if (host::FillRect(DestDC, &r, static_cast<host::HBRUSH>(host::GetStockObject(host::BLACK_BRUSH))) == 0)
        return e.Fail();
    fx::AddPixelsWritten(uint64_t(Width) * uint64_t(Height));
    e.StartSteps(Time / 2);
    if (e.WaitStep()) return true;
    bool ok = e.CopyAll();
    e.WaitStep();
    return ok;
}

namespace {

// An 8 x 8 pattern brush, black where Black(x, y), white elsewhere.
template <class F>
host::HBRUSH MakePatternBrush(F Black) {
    uint8_t bits[16] = {};  // rows of 16 bits, most significant first; 1 is white
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (!Black(x, y)) bits[2 * y] |= uint8_t(0x80 >> x);
    host::HBITMAP bmp = host::CreateBitmap(8, 8, 1, 1, bits);
    if (bmp == nullptr) return nullptr;
    host::HBRUSH brush = host::CreatePatternBrush(bmp);
    host::DeleteObject(bmp);
    return brush;
}

// Black text and white background on a DC while a pattern darkens it, then the
// caller's colours back.
class TMonoColours {
public:
    explicit TMonoColours(HDC Dc)
        : FDc(Dc), FText(host::SetTextColor(Dc, 0x000000)), FBack(host::SetBkColor(Dc, 0xFFFFFF)) {}
    ~TMonoColours() {
        host::SetTextColor(FDc, FText);
        host::SetBkColor(FDc, FBack);
    }
    TMonoColours(const TMonoColours&) = delete;
    TMonoColours& operator=(const TMonoColours&) = delete;

private:
    HDC FDc;
    host::COLORREF FText, FBack;
};

// Dest AND pattern over the picture with Brush, the DC's brush and colours restored.
bool Darken(HDC Dc, host::HBRUSH Brush, int W, int H) {
    TMonoColours colours(Dc);
    host::HGDIOBJ old = host::SelectObject(Dc, Brush);
    if (old == nullptr) return false;
    bool ok = host::PatBlt(Dc, 0, 0, W, H, 0x00A000C9) != host::FALSE;
    fx::AddPixelsWritten(uint64_t(W) * uint64_t(H));
    host::SelectObject(Dc, old);
    return ok;
}

}  // namespace

bool rfxFadeThroughBlack(HDC DestDC, HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height)) return false;
    struct TBrushes {
        host::HBRUSH B[4] = {};
        ~TBrushes() {
            for (host::HBRUSH b : B)
                if (b != nullptr) host::DeleteObject(b);
        }
    } brushes;
    brushes.B[0] = MakePatternBrush([](int x, int y) { return x % 2 == 1 && y % 2 == 1; });
    brushes.B[1] = MakePatternBrush([](int x, int y) { return x % 2 == 0 && y % 2 == 0; });
    brushes.B[2] = MakePatternBrush([](int x, int y) { return x % 2 == y % 2; });
    brushes.B[3] = MakePatternBrush([](int x, int y) { return !(x % 2 == 1 && y % 2 == 1); });
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep);
    for (host::HBRUSH b : brushes.B)
        if (b == nullptr) return e.Fail();
    if (!e.MakeBuffer()) return e.Fail();
    e.StartSteps(Time / 8);
    for (int stage = 0; stage < 8; ++stage) {
        bool ok;
        if (stage < 4) {
            ok = Darken(DestDC, brushes.B[stage], Width, Height);
        } else {
            HDC buf = e.DC(fx::sfBuffer);
            ok = e.Blit(fx::sfBuffer, 0, 0, Width, Height, fx::sfNew, 0, 0) &&
                 Darken(buf, brushes.B[7 - stage], Width, Height) && e.Present();
        }
        if (!ok) return e.Fail();
        if (e.WaitStep()) return true;
    }
    return e.CopyAll();
}

}  // namespace ryx
