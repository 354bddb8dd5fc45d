// The sliding and stretching effect routines: wipes, covers, uncovers, pushes, squashes, folds, shrinks, expands and zooms.
#include "effects/ryxufxa.h"

#include <algorithm>
#include <cstdint>

#include "effects/ryxufx_engine.h"
#include "host/gdi/gdi.h"

// Each family is written once, on its told member, in that member's own frame
// W x H; the other members are the same drawing seen through a mirror and/or a
// transpose (fx::TMap), so "from the top edge" becomes "from the bottom edge"
// (MirrorY), "from the left edge" (Transpose) or "from the right edge"
// (MirrorY | Transpose). S is Size, T is Time, p the front (S, 2S, ... below
// the extent), old the snapshot, "in place" means source rect = dest rect.
//
//  family (told)        extent  start  step   one frame (dest <- source)
//  Wipe (Down)          H       -S     S      (0,p,W,S) <- new in place; the first band lies
//                                             outside, so the first visible one follows a wait
//  Centre wipe (Horz)   W       S      S      In: new in place [0,p/2) and [W-(p-p/2),W);
//                                             Out: new in place [(W-p)/2, +p)
//  Diagonal (LeftDown)  cW+cH   1      1      front from (W,0): S left while x > 0, then S down;
//                       steps                 squares (x+kS, y+kS) of new in place, clipped to
//                                             the picture (cW = Ceil(W/S), cH = Ceil(H/S))
//  Corner rect (w x h)  min    S      S      the side along the smaller dimension is p, the
//                       (W,H)                 other k*(S*larger div smaller), k = p div S
//  Rect wipe (LeftDown) "      "      "      new in place in (W-w,0,w,h)
//  Crop (LeftDown)      "      "      "      new in place in the top band h and the right
//                                             part w; old stays in (0,h,W-w,H-h)
//  Cover (Down)         H       S      S      (0,0,W,p) <- new (0,H-p)
//  Corner cover (LD)    corner               (W-w,0,w,h) <- new (0,H-h)
//  Centre cover (Horz)  W       S      S      ml = p/2, mr = p-ml, hl = W/2:
//                                             In:  (0,0,ml,H) <- new (hl-ml,0); (W-mr,0,mr,H) <- new (hl,0)
//                                             Out: (hl-ml,0,ml,H) <- new (0,0); (hl,0,mr,H) <- new (W-mr,0)
//  Uncover (Down)       H       S      S      (0,0,W,p) <- new in place; (0,p,W,H-p) <- old (0,0)
//  Corner uncover (LD)  corner               new in place in the top band h and right part w;
//                                             (0,h,W-w,H-h) <- old (w,0)
//  Centre uncover(Horz) W       S      S      in the buffer, then one blit:
//                                             In:  new [0,ml) and [W-mr,W); (ml,0,hl-ml,H) <- old (0,0);
//                                                  (hl,0,W-hl-mr,H) <- old (hl+mr,0)
//                                             Out: new [hl-ml,hl+mr); (0,0,hl-ml,H) <- old (ml,0);
//                                                  (hl+mr,0,W-hl-mr,H) <- old (hl,0)
//  Push (Down)          H       S      S      (0,0,W,p) <- new (0,H-p); (0,p,W,H-p) <- old (0,0)
//  Squash (Down)        H       S      S      (0,0,W,p) <- new (0,H-p); (0,p,W,H-p) <<- old whole
//  Unsquash (Down)      H       S      S      (0,0,W,p) <<- new whole; (0,p,W,H-p) <- old (0,0)
//  Fold (Down)          H       S      S      (0,0,W,p) <- new in place; (0,p,W,H-p) <<- old whole
//  Unfold (Down)        H       S      S      (0,0,W,p) <<- new whole
//  Centre members(Horz) W       S      S      composed in a buffer of the picture, then one blit:
//                                             Squash: new sides as centre cover In, old whole <<- (ml,0,W-p,H)
//                                             Unsquash: old halves as centre uncover Out, new whole <<- (hl-ml,0,p,H)
//                                             Fold: buffer new, old whole <<- (ml,0,W-p,H)
//                                             Unfold: buffer old, new whole <<- ((W-p)/2,0,p,H)
//  Shrink (LeftDown)    corner               buffer new; old whole <<- (0,h,W-w,H-h); buffer out
//  Shrink centre        corner               the same rectangle centred
//  Expand (LeftDown)    corner               (W-w,0,w,h) <<- new whole; centre: the rectangle centred
//  Zoom in              2*min   0      16S    new whole <<- (-2W+dx,-2H+dy,5W-2dx,5H-2dy), dx and dy the
//                                             step counts times 16S along the smaller dimension and
//                                             16*(S*larger div smaller) along the larger; interval
//                                             T*(horizontal step) div 2W
//  Zoom out             2*min   16S    16S    old whole <<- (-dx,-dy,W+2dx,H+2dy); no cancel check
//  Zoom (Down)          2H      0      8S     new whole <<- (0,-2H+d,W,3H-d)
//  Zoom (LeftDown)      2*min   0      8S     new whole <<- (0,-2H+dy,3W-dx,3H-dy) (bottom-left fixed)
//                                             The zooms draw their first step even when one step
//                                             covers the whole way; a Size not below the picture's
//                                             smaller side (H for the edge zooms) copies all at once.
//
// ("<-" is a block copy, "<<-" a stretched copy.) Corner members: LeftDown is
// told (anchored top-right, growing left and down); RightDown = MirrorX,
// LeftUp = MirrorY, RightUp = both. Centre members: Horz is told, Vert =
// Transpose. Blits are clipped to the picture before they reach the painter,
// and the zooms, whose rectangles reach beyond it, draw under a clip of the
// picture, so nothing outside the target rectangle is ever touched.

namespace ryx {

namespace {

using fx::sfBuffer;
using fx::sfDest;
using fx::sfNew;
using fx::sfOld;
using fx::TEffect;
using fx::TSurface;

constexpr unsigned kDown = fx::mapNone;
constexpr unsigned kUp = fx::mapMirrorY;
constexpr unsigned kRight = fx::mapTranspose;
constexpr unsigned kLeft = fx::mapMirrorY | fx::mapTranspose;
constexpr unsigned kHorz = fx::mapNone;
constexpr unsigned kVert = fx::mapTranspose;
constexpr unsigned kLeftDown = fx::mapNone;
constexpr unsigned kRightDown = fx::mapMirrorX;
constexpr unsigned kLeftUp = fx::mapMirrorY;
constexpr unsigned kRightUp = fx::mapMirrorX | fx::mapMirrorY;

// A block copy in the told frame, clipped to the picture (every surface is the
// picture's size), so that bands that start outside it never reach a larger
// surface around the target.
bool Put(TEffect& E, TSurface To, int64_t X, int64_t Y, int64_t W, int64_t H, TSurface From, int64_t SX,
         int64_t SY) {
    if (X < 0) {
        W += X;
        SX -= X;
        X = 0;
    }
    if (Y < 0) {
        H += Y;
        SY -= Y;
        Y = 0;
    }
    W = std::min<int64_t>(W, E.W() - X);
    H = std::min<int64_t>(H, E.H() - Y);
    if (W <= 0 || H <= 0) return true;
    return E.Blit(To, X, Y, W, H, From, SX, SY);
}

// The new picture in place.
bool PutNew(TEffect& E, TSurface To, int64_t X, int64_t Y, int64_t W, int64_t H) {
    return Put(E, To, X, Y, W, H, sfNew, X, Y);
}

// The whole picture From stretched into (X, Y, W, H).
bool StretchWhole(TEffect& E, TSurface To, int64_t X, int64_t Y, int64_t W, int64_t H, TSurface From) {
    return E.Stretch(To, X, Y, W, H, From, 0, 0, E.W(), E.H());
}

// Keeps the destination's drawing inside the picture (on top of the caller's
// clip) while a family stretches into rectangles larger than the picture; the
// device context's state is back as it was when the guard ends.
class TPictureClip {
public:
    TPictureClip(host::HDC Dc, int Width, int Height) : FDc(Dc), FSaved(host::SaveDC(Dc)) {
        if (FSaved != 0) host::IntersectClipRect(Dc, 0, 0, Width, Height);
    }
    ~TPictureClip() {
        if (FSaved != 0) host::RestoreDC(FDc, FSaved);
    }
    TPictureClip(const TPictureClip&) = delete;
    TPictureClip& operator=(const TPictureClip&) = delete;
    bool Ok() const { return FSaved != 0; }

private:
    host::HDC FDc;
    int FSaved;
};

// The two sides of a centred band p wide: p/2 on the left, the rest on the right.
struct TSplit {
    int64_t L, R;
};
TSplit Split(int64_t P) { return {P / 2, P - P / 2}; }

// The rectangle of the corner families after the front p (along the smaller
// dimension): it keeps the picture's aspect in whole steps.
struct TCornerSize {
    int64_t W, H;
};
TCornerSize CornerSize(const TEffect& E, int64_t S, int64_t P) {
    const int64_t W = E.W(), H = E.H(), k = P / S;
    TCornerSize c{};
    if (W <= H) {
        c.W = P;
        c.H = k * (S * H / W);
    } else {
        c.H = P;
        c.W = k * (S * W / H);
    }
    c.W = std::min(c.W, W);
    c.H = std::min(c.H, H);
    return c;
}

// The loop of the corner families: fronts along the smaller dimension.
template <class F>
bool CornerBands(TEffect& E, int64_t S, F&& Frame) {
    return E.Bands(S, std::min(E.W(), E.H()), [&](int64_t p) { return Frame(CornerSize(E, S, p)); });
}

// Redraws in To the new picture over the part of Outer that Inner (inside it)
// leaves: what a shrinking rectangle of old gives back.
bool PutNewRing(TEffect& E, TSurface To, int64_t OX, int64_t OY, int64_t OW, int64_t OH, int64_t IX, int64_t IY,
                int64_t IW, int64_t IH) {
    return PutNew(E, To, OX, OY, OW, IY - OY) && PutNew(E, To, OX, IY + IH, OW, OY + OH - IY - IH) &&
           PutNew(E, To, OX, IY, IX - OX, IH) && PutNew(E, To, IX + IW, IY, OX + OW - IX - IW, IH);
}

// ---- the families, on their told members ----

bool Wipe(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (S >= H) return E.CopyAll();
    return E.Steps(-S, S, H, fx::StepInterval(E.Time(), S, H),
                   [&](int64_t p) { return PutNew(E, sfDest, 0, p, W, S); });
}

bool WipeCenterIn(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    return E.Bands(S, W, [&](int64_t p) {
        const TSplit m = Split(p);
        return PutNew(E, sfDest, 0, 0, m.L, H) && PutNew(E, sfDest, W - m.R, 0, m.R, H);
    });
}

bool WipeCenterOut(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    return E.Bands(S, W, [&](int64_t p) { return PutNew(E, sfDest, (W - p) / 2, 0, p, H); });
}

bool WipeDiagonal(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (S >= W && S >= H) return E.CopyAll();
    const int64_t steps = (W + S - 1) / S + (H + S - 1) / S;
    const int64_t interval = E.Time() > 0 ? E.Time() / steps : 0;
    int64_t fx = W, fy = 0;
    // Every square of the last column is clipped to the picture rather than
    // left out, so no sliver of old stays when W or H is not a multiple of S;
    // the diagonals then cover the picture and no final copy is needed.
    return E.Steps(0, 1, steps, interval, [&](int64_t) {
        if (fx > 0)
            fx -= S;
        else
            fy += S;
        for (int64_t x = fx, y = fy; x < W && y < H; x += S, y += S)
            if (x + S > 0 && !PutNew(E, sfDest, x, y, S, S)) return false;
        return true;
    }, false);
}

bool WipeRect(TEffect& E, int64_t S) {
    const int64_t W = E.W();
    return CornerBands(E, S, [&](TCornerSize c) { return PutNew(E, sfDest, W - c.W, 0, c.W, c.H); });
}

// The new picture in place over the top band and the right part that a
// corner rectangle C leaves at the bottom-left.
bool PutNewCornerL(TEffect& E, TSurface To, TCornerSize C) {
    const int64_t W = E.W(), H = E.H();
    return PutNew(E, To, 0, 0, W, C.H) && PutNew(E, To, W - C.W, C.H, C.W, H - C.H);
}

bool Crop(TEffect& E, int64_t S) {
    // The old picture keeps its place on the destination, so only the growing
    // L of the new picture is drawn: no copy of the old one is needed.
    return CornerBands(E, S, [&](TCornerSize c) { return PutNewCornerL(E, sfDest, c); });
}

bool Cover(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    return E.Bands(S, H, [&](int64_t p) { return Put(E, sfDest, 0, 0, W, p, sfNew, 0, H - p); });
}

bool CoverCorner(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    return CornerBands(E, S, [&](TCornerSize c) { return Put(E, sfDest, W - c.W, 0, c.W, c.H, sfNew, 0, H - c.H); });
}

// The new picture's halves at the sides: In slides them in from the edges,
// Out from the centre line.
bool PutNewHalves(TEffect& E, TSurface To, bool In, TSplit M) {
    const int64_t W = E.W(), H = E.H(), hl = W / 2;
    if (In)
        return Put(E, To, 0, 0, M.L, H, sfNew, hl - M.L, 0) && Put(E, To, W - M.R, 0, M.R, H, sfNew, hl, 0);
    return Put(E, To, hl - M.L, 0, M.L, H, sfNew, 0, 0) && Put(E, To, hl, 0, M.R, H, sfNew, W - M.R, 0);
}

bool CoverCenter(TEffect& E, int64_t S, bool In) {
    return E.Bands(S, E.W(), [&](int64_t p) { return PutNewHalves(E, sfDest, In, Split(p)); });
}
bool CoverCenterIn(TEffect& E, int64_t S) { return CoverCenter(E, S, true); }
bool CoverCenterOut(TEffect& E, int64_t S) { return CoverCenter(E, S, false); }

bool Uncover(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (S < H && !E.TakeSnapshot()) return E.Fail();
    return E.Bands(S, H, [&](int64_t p) {
        return PutNew(E, sfDest, 0, 0, W, p) && Put(E, sfDest, 0, p, W, H - p, sfOld, 0, 0);
    });
}

bool UncoverCorner(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (S < std::min(W, H) && !E.TakeSnapshot()) return E.Fail();
    return CornerBands(E, S, [&](TCornerSize c) {
        return PutNewCornerL(E, sfDest, c) && Put(E, sfDest, 0, c.H, W - c.W, H - c.H, sfOld, c.W, 0);
    });
}

// The old picture's halves: In shifts them towards the centre line (M gone at
// the outer edges), Out away from it (M gone at the centre).
bool PutOldHalves(TEffect& E, TSurface To, bool In, TSplit M) {
    const int64_t W = E.W(), H = E.H(), hl = W / 2, hr = W - hl;
    if (In)
        return Put(E, To, M.L, 0, hl - M.L, H, sfOld, 0, 0) && Put(E, To, hl, 0, hr - M.R, H, sfOld, hl + M.R, 0);
    return Put(E, To, 0, 0, hl - M.L, H, sfOld, M.L, 0) && Put(E, To, hl + M.R, 0, hr - M.R, H, sfOld, hl, 0);
}

// Takes the snapshot and the composing buffer when there will be steps.
bool PrepareComposing(TEffect& E, int64_t S, int64_t Extent, TSurface Fill, bool Snapshot) {
    if (S >= Extent) return true;
    return (!Snapshot || E.TakeSnapshot()) && E.MakeBuffer(Fill);
}

bool UncoverCenter(TEffect& E, int64_t S, bool In) {
    const int64_t W = E.W(), H = E.H(), hl = W / 2;
    if (!PrepareComposing(E, S, W, sfBuffer, true)) return E.Fail();
    return E.Bands(S, W, [&](int64_t p) {
        const TSplit m = Split(p);
        const bool news = In ? PutNew(E, sfBuffer, 0, 0, m.L, H) && PutNew(E, sfBuffer, W - m.R, 0, m.R, H)
                             : PutNew(E, sfBuffer, hl - m.L, 0, p, H);
        return news && PutOldHalves(E, sfBuffer, In, m) && E.Present();
    });
}
bool UncoverCenterIn(TEffect& E, int64_t S) { return UncoverCenter(E, S, true); }
bool UncoverCenterOut(TEffect& E, int64_t S) { return UncoverCenter(E, S, false); }

bool Push(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (S < H && !E.TakeSnapshot()) return E.Fail();
    return E.Bands(S, H, [&](int64_t p) {
        return Put(E, sfDest, 0, 0, W, p, sfNew, 0, H - p) && Put(E, sfDest, 0, p, W, H - p, sfOld, 0, 0);
    });
}

// Snapshot (when Snapshot) and the stretch mode for the edge members of the
// stretching families.
bool PrepareStretching(TEffect& E, int64_t S, int64_t Extent, bool Snapshot) {
    if (S >= Extent) return true;
    E.UseStretching();
    return !Snapshot || E.TakeSnapshot();
}

bool Squash(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (!PrepareStretching(E, S, H, true)) return E.Fail();
    return E.Bands(S, H, [&](int64_t p) {
        return Put(E, sfDest, 0, 0, W, p, sfNew, 0, H - p) && StretchWhole(E, sfDest, 0, p, W, H - p, sfOld);
    });
}

bool UnSquash(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (!PrepareStretching(E, S, H, true)) return E.Fail();
    return E.Bands(S, H, [&](int64_t p) {
        return StretchWhole(E, sfDest, 0, 0, W, p, sfNew) && Put(E, sfDest, 0, p, W, H - p, sfOld, 0, 0);
    });
}

bool Fold(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (!PrepareStretching(E, S, H, true)) return E.Fail();
    return E.Bands(S, H, [&](int64_t p) {
        return PutNew(E, sfDest, 0, 0, W, p) && StretchWhole(E, sfDest, 0, p, W, H - p, sfOld);
    });
}

bool Unfold(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (!PrepareStretching(E, S, H, false)) return E.Fail();
    return E.Bands(S, H, [&](int64_t p) { return StretchWhole(E, sfDest, 0, 0, W, p, sfNew); });
}

// The centre members of the stretching families compose in a buffer.
bool PrepareCentre(TEffect& E, int64_t S, TSurface Fill, bool Snapshot) {
    if (S >= E.W()) return true;
    E.UseStretching();
    return PrepareComposing(E, S, E.W(), Fill, Snapshot);
}

bool SquashCenter(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (!PrepareCentre(E, S, sfBuffer, true)) return E.Fail();
    return E.Bands(S, W, [&](int64_t p) {
        const TSplit m = Split(p);
        return PutNewHalves(E, sfBuffer, true, m) && StretchWhole(E, sfBuffer, m.L, 0, W - p, H, sfOld) &&
               E.Present();
    });
}

bool UnSquashCenter(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H(), hl = W / 2;
    if (!PrepareCentre(E, S, sfBuffer, true)) return E.Fail();
    return E.Bands(S, W, [&](int64_t p) {
        const TSplit m = Split(p);
        return PutOldHalves(E, sfBuffer, false, m) && StretchWhole(E, sfBuffer, hl - m.L, 0, p, H, sfNew) &&
               E.Present();
    });
}

bool FoldCenter(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    if (!PrepareCentre(E, S, sfBuffer, true)) return E.Fail();
    return E.Bands(S, W, [&](int64_t p) {
        const TSplit m = Split(p);
        return PutNew(E, sfBuffer, 0, 0, m.L, H) && PutNew(E, sfBuffer, W - m.R, 0, m.R, H) &&
               StretchWhole(E, sfBuffer, m.L, 0, W - p, H, sfOld) && E.Present();
    });
}

bool UnfoldCenter(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    // The buffer starts as the old picture, which is the snapshot.
    if (!PrepareCentre(E, S, sfDest, false)) return E.Fail();
    return E.Bands(S, W, [&](int64_t p) {
        return StretchWhole(E, sfBuffer, (W - p) / 2, 0, p, H, sfNew) && E.Present();
    });
}

// Old shrinking into the bottom-left corner (Centre: towards the middle) over
// the new picture, composed in a buffer: each frame gives back to the new
// picture what the rectangle left since the frame before.
bool Shrink(TEffect& E, int64_t S, bool Centre) {
    const int64_t W = E.W(), H = E.H();
    if (S < std::min(W, H)) {
        E.UseStretching();
        if (!PrepareComposing(E, S, std::min(W, H), sfBuffer, true)) return E.Fail();
    }
    int64_t x0 = 0, y0 = 0, w0 = W, h0 = H;
    return CornerBands(E, S, [&](TCornerSize c) {
        const int64_t w = W - c.W, h = H - c.H;
        const int64_t x = Centre ? (W - w) / 2 : 0, y = Centre ? (H - h) / 2 : H - h;
        const bool ok = PutNewRing(E, sfBuffer, x0, y0, w0, h0, x, y, w, h) &&
                        StretchWhole(E, sfBuffer, x, y, w, h, sfOld) && E.Present();
        x0 = x, y0 = y, w0 = w, h0 = h;
        return ok;
    });
}
bool ShrinkCorner(TEffect& E, int64_t S) { return Shrink(E, S, false); }
bool ShrinkCenter(TEffect& E, int64_t S) { return Shrink(E, S, true); }

bool Expand(TEffect& E, int64_t S, bool Centre) {
    const int64_t W = E.W(), H = E.H();
    if (S < std::min(W, H)) E.UseStretching();
    return CornerBands(E, S, [&](TCornerSize c) {
        const int64_t x = Centre ? (W - c.W) / 2 : W - c.W, y = Centre ? (H - c.H) / 2 : 0;
        return StretchWhole(E, sfDest, x, y, c.W, c.H, sfNew);
    });
}
bool ExpandCorner(TEffect& E, int64_t S) { return Expand(E, S, false); }
bool ExpandCenter(TEffect& E, int64_t S) { return Expand(E, S, true); }

// The zooms' per-step moves: Unit along the smaller dimension, Unit scaled by
// larger div smaller along the other.
struct TZoomSteps {
    int64_t X, Y, Smaller, Extent;
};
TZoomSteps ZoomSteps(const TEffect& E, int64_t Unit, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    TZoomSteps z{};
    if (W <= H) {
        z.X = Unit * S;
        z.Y = Unit * (S * H / W);
    } else {
        z.Y = Unit * S;
        z.X = Unit * (S * W / H);
    }
    z.Smaller = Unit * S;
    z.Extent = 2 * std::min(W, H);
    return z;
}

// The zooms' loop: steps k = FirstStep, FirstStep + 1, ... while the front
// k * Z.Smaller is below Z.Extent, the first of them always drawn; the
// stretched rectangle is drawn under a clip of the picture. A Size not below
// SizeExtent copies all at once. Cancellable false: the callback is called
// but cannot stop the effect.
template <class F>
bool ZoomLoop(TEffect& E, const TZoomSteps& Z, int64_t S, int64_t SizeExtent, int64_t FirstStep, int64_t Interval,
              bool Cancellable, bool Snapshot, F&& Frame) {
    if (S >= SizeExtent) return E.CopyAll();
    E.UseStretching();
    if (Snapshot && !E.TakeSnapshot()) return E.Fail();
    const bool tr = E.Map() & fx::mapTranspose;
    TPictureClip clip(E.DestDC(), tr ? E.H() : E.W(), tr ? E.W() : E.H());
    if (!clip.Ok()) return E.Fail();
    E.StartSteps(Interval);
    for (int64_t k = FirstStep; k == FirstStep || k * Z.Smaller < Z.Extent; ++k) {
        if (!Frame(k)) return E.Fail();
        if (E.WaitStep() && Cancellable) return true;
    }
    return E.CopyAll();
}

bool ZoomIn(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    const TZoomSteps z = ZoomSteps(E, 16, S);
    return ZoomLoop(E, z, S, std::min(W, H), 0, fx::StepInterval(E.Time(), z.X, 2 * W), true, false, [&](int64_t k) {
        const int64_t dx = std::min(k * z.X, 2 * W), dy = std::min(k * z.Y, 2 * H);
        return StretchWhole(E, sfDest, -2 * W + dx, -2 * H + dy, 5 * W - 2 * dx, 5 * H - 2 * dy, sfNew);
    });
}

bool ZoomOut(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    const TZoomSteps z = ZoomSteps(E, 16, S);
    return ZoomLoop(E, z, S, std::min(W, H), 1, fx::StepInterval(E.Time(), z.X, 2 * W), false, true, [&](int64_t k) {
        const int64_t dx = std::min(k * z.X, 2 * W), dy = std::min(k * z.Y, 2 * H);
        return StretchWhole(E, sfDest, -dx, -dy, W + 2 * dx, H + 2 * dy, sfOld);
    });
}

bool ZoomEdge(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    const TZoomSteps z{0, 8 * S, 8 * S, 2 * H};
    return ZoomLoop(E, z, S, H, 0, fx::StepInterval(E.Time(), z.Y, 2 * H), true, false, [&](int64_t k) {
        const int64_t d = std::min(k * z.Y, 2 * H);
        return StretchWhole(E, sfDest, 0, -2 * H + d, W, 3 * H - d, sfNew);
    });
}

bool ZoomCorner(TEffect& E, int64_t S) {
    const int64_t W = E.W(), H = E.H();
    const TZoomSteps z = ZoomSteps(E, 8, S);
    const int64_t interval = fx::StepInterval(E.Time(), z.Smaller, z.Extent);
    return ZoomLoop(E, z, S, std::min(W, H), 0, interval, true, false, [&](int64_t k) {
        const int64_t dx = std::min(k * z.X, 2 * W), dy = std::min(k * z.Y, 2 * H);
        return StretchWhole(E, sfDest, 0, -2 * H + dy, 3 * W - dx, 3 * H - dy, sfNew);
    });
}

using TFamily = bool (*)(TEffect&, int64_t);

bool Play(TFamily Family, unsigned Map, host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time,
          const TryxCancelEvent& OnStep) {
    if (!fx::ArgsOk(DestDC, SrcDC, Width, Height, Size)) return false;
    TEffect e(DestDC, SrcDC, Width, Height, Time, OnStep, Map);
    return Family(e, Size);
}

}  // namespace

#define RYX_FX_ROUTINE(Name, Family, Map)                                                                       \
    bool Name(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time,                      \
              TryxCancelEvent OnStep) {                                                                          \
        return Play(Family, Map, DestDC, SrcDC, Width, Height, Size, Time, OnStep);                              \
    }

RYX_FX_ROUTINE(rfxWipeDown, Wipe, kDown)
RYX_FX_ROUTINE(rfxWipeLeft, Wipe, kLeft)
RYX_FX_ROUTINE(rfxWipeRight, Wipe, kRight)
RYX_FX_ROUTINE(rfxWipeUp, Wipe, kUp)

RYX_FX_ROUTINE(rfxWipeCenterHorzIn, WipeCenterIn, kHorz)
RYX_FX_ROUTINE(rfxWipeCenterHorzOut, WipeCenterOut, kHorz)
RYX_FX_ROUTINE(rfxWipeCenterVertIn, WipeCenterIn, kVert)
RYX_FX_ROUTINE(rfxWipeCenterVertOut, WipeCenterOut, kVert)

RYX_FX_ROUTINE(rfxWipeLeftDown, WipeDiagonal, kLeftDown)
RYX_FX_ROUTINE(rfxWipeLeftUp, WipeDiagonal, kLeftUp)
RYX_FX_ROUTINE(rfxWipeRightDown, WipeDiagonal, kRightDown)
RYX_FX_ROUTINE(rfxWipeRightUp, WipeDiagonal, kRightUp)

RYX_FX_ROUTINE(rfxWipeRectLeftDown, WipeRect, kLeftDown)
RYX_FX_ROUTINE(rfxWipeRectLeftUp, WipeRect, kLeftUp)
RYX_FX_ROUTINE(rfxWipeRectRightDown, WipeRect, kRightDown)
RYX_FX_ROUTINE(rfxWipeRectRightUp, WipeRect, kRightUp)

RYX_FX_ROUTINE(rfxCropLeftDown, Crop, kLeftDown)
RYX_FX_ROUTINE(rfxCropLeftUp, Crop, kLeftUp)
RYX_FX_ROUTINE(rfxCropRightDown, Crop, kRightDown)
RYX_FX_ROUTINE(rfxCropRightUp, Crop, kRightUp)

RYX_FX_ROUTINE(rfxCoverDown, Cover, kDown)
RYX_FX_ROUTINE(rfxCoverLeft, Cover, kLeft)
RYX_FX_ROUTINE(rfxCoverRight, Cover, kRight)
RYX_FX_ROUTINE(rfxCoverUp, Cover, kUp)

RYX_FX_ROUTINE(rfxCoverLeftDown, CoverCorner, kLeftDown)
RYX_FX_ROUTINE(rfxCoverLeftUp, CoverCorner, kLeftUp)
RYX_FX_ROUTINE(rfxCoverRightDown, CoverCorner, kRightDown)
RYX_FX_ROUTINE(rfxCoverRightUp, CoverCorner, kRightUp)

RYX_FX_ROUTINE(rfxCoverCenterHorzIn, CoverCenterIn, kHorz)
RYX_FX_ROUTINE(rfxCoverCenterHorzOut, CoverCenterOut, kHorz)
RYX_FX_ROUTINE(rfxCoverCenterVertIn, CoverCenterIn, kVert)
RYX_FX_ROUTINE(rfxCoverCenterVertOut, CoverCenterOut, kVert)

RYX_FX_ROUTINE(rfxUncoverDown, Uncover, kDown)
RYX_FX_ROUTINE(rfxUncoverLeft, Uncover, kLeft)
RYX_FX_ROUTINE(rfxUncoverRight, Uncover, kRight)
RYX_FX_ROUTINE(rfxUncoverUp, Uncover, kUp)

RYX_FX_ROUTINE(rfxUncoverLeftDown, UncoverCorner, kLeftDown)
RYX_FX_ROUTINE(rfxUncoverLeftUp, UncoverCorner, kLeftUp)
RYX_FX_ROUTINE(rfxUncoverRightDown, UncoverCorner, kRightDown)
RYX_FX_ROUTINE(rfxUncoverRightUp, UncoverCorner, kRightUp)

RYX_FX_ROUTINE(rfxUncoverCenterHorzIn, UncoverCenterIn, kHorz)
RYX_FX_ROUTINE(rfxUncoverCenterHorzOut, UncoverCenterOut, kHorz)
RYX_FX_ROUTINE(rfxUncoverCenterVertIn, UncoverCenterIn, kVert)
RYX_FX_ROUTINE(rfxUncoverCenterVertOut, UncoverCenterOut, kVert)

RYX_FX_ROUTINE(rfxPushDown, Push, kDown)
RYX_FX_ROUTINE(rfxPushLeft, Push, kLeft)
RYX_FX_ROUTINE(rfxPushRight, Push, kRight)
RYX_FX_ROUTINE(rfxPushUp, Push, kUp)

RYX_FX_ROUTINE(rfxSquashDown, Squash, kDown)
RYX_FX_ROUTINE(rfxSquashLeft, Squash, kLeft)
RYX_FX_ROUTINE(rfxSquashRight, Squash, kRight)
RYX_FX_ROUTINE(rfxSquashUp, Squash, kUp)
RYX_FX_ROUTINE(rfxSquashCenterHorz, SquashCenter, kHorz)
RYX_FX_ROUTINE(rfxSquashCenterVert, SquashCenter, kVert)

RYX_FX_ROUTINE(rfxUnSquashDown, UnSquash, kDown)
RYX_FX_ROUTINE(rfxUnSquashLeft, UnSquash, kLeft)
RYX_FX_ROUTINE(rfxUnSquashRight, UnSquash, kRight)
RYX_FX_ROUTINE(rfxUnSquashUp, UnSquash, kUp)
RYX_FX_ROUTINE(rfxUnSquashCenterHorz, UnSquashCenter, kHorz)
RYX_FX_ROUTINE(rfxUnSquashCenterVert, UnSquashCenter, kVert)

RYX_FX_ROUTINE(rfxFoldDown, Fold, kDown)
RYX_FX_ROUTINE(rfxFoldLeft, Fold, kLeft)
RYX_FX_ROUTINE(rfxFoldRight, Fold, kRight)
RYX_FX_ROUTINE(rfxFoldUp, Fold, kUp)
RYX_FX_ROUTINE(rfxFoldCenterHorz, FoldCenter, kHorz)
RYX_FX_ROUTINE(rfxFoldCenterVert, FoldCenter, kVert)

RYX_FX_ROUTINE(rfxUnfoldDown, Unfold, kDown)
RYX_FX_ROUTINE(rfxUnfoldLeft, Unfold, kLeft)
RYX_FX_ROUTINE(rfxUnfoldRight, Unfold, kRight)
RYX_FX_ROUTINE(rfxUnfoldUp, Unfold, kUp)
RYX_FX_ROUTINE(rfxUnfoldCenterHorz, UnfoldCenter, kHorz)
RYX_FX_ROUTINE(rfxUnfoldCenterVert, UnfoldCenter, kVert)

RYX_FX_ROUTINE(rfxShrinkLeftDown, ShrinkCorner, kLeftDown)
RYX_FX_ROUTINE(rfxShrinkLeftUp, ShrinkCorner, kLeftUp)
RYX_FX_ROUTINE(rfxShrinkRightDown, ShrinkCorner, kRightDown)
RYX_FX_ROUTINE(rfxShrinkRightUp, ShrinkCorner, kRightUp)
RYX_FX_ROUTINE(rfxShrinkCenter, ShrinkCenter, kLeftDown)

RYX_FX_ROUTINE(rfxExpandLeftDown, ExpandCorner, kLeftDown)
RYX_FX_ROUTINE(rfxExpandLeftUp, ExpandCorner, kLeftUp)
RYX_FX_ROUTINE(rfxExpandRightDown, ExpandCorner, kRightDown)
RYX_FX_ROUTINE(rfxExpandRightUp, ExpandCorner, kRightUp)
RYX_FX_ROUTINE(rfxExpandCenter, ExpandCenter, kLeftDown)

RYX_FX_ROUTINE(rfxZoomIn, ZoomIn, kDown)
RYX_FX_ROUTINE(rfxZoomOut, ZoomOut, kDown)
RYX_FX_ROUTINE(rfxZoomDown, ZoomEdge, kDown)
RYX_FX_ROUTINE(rfxZoomLeft, ZoomEdge, kLeft)
RYX_FX_ROUTINE(rfxZoomRight, ZoomEdge, kRight)
RYX_FX_ROUTINE(rfxZoomUp, ZoomEdge, kUp)
RYX_FX_ROUTINE(rfxZoomLeftDown, ZoomCorner, kLeftDown)
RYX_FX_ROUTINE(rfxZoomLeftUp, ZoomCorner, kLeftUp)
RYX_FX_ROUTINE(rfxZoomRightDown, ZoomCorner, kRightDown)
RYX_FX_ROUTINE(rfxZoomRightUp, ZoomCorner, kRightUp)

#undef RYX_FX_ROUTINE

}  // namespace ryx
