// The blits and pixel calls: BitBlt, StretchBlt, PatBlt, MaskBlt, TransparentBlt, GetPixel, SetPixel, SetPixelV.
#include <pixman.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>
#include <vector>

#include "host/gdi/blit_internal.h"
#include "host/gdi/gdi.h"

namespace host {

namespace {

using gdi::TBitmapObj;
using gdi::TBrushFill;
using gdi::TTarget;

constexpr uint32_t kMask = 0x00FFFFFFu;

// ---- rectangles in 64 bits ----

// A rectangle from 64-bit coordinates, clamped to a range no surface reaches, so that
// coordinates near the ends of int never overflow.
RECT Clamp(int64_t L, int64_t T, int64_t R, int64_t B) {
    static constexpr int64_t lim = INT_MAX / 4;
    auto c = [](int64_t v) { return LONG(std::clamp<int64_t>(v, -lim, lim)); };
    return RECT{c(L), c(T), c(R), c(B)};
}

// The pixels an extent covers from a start: [Start, Start + Ext) when Ext > 0, and
// [Start + Ext + 1, Start + 1) when it is negative (the system's rule for mirrored blits).
void Span(int64_t Start, int64_t Ext, int64_t& Lo, int64_t& Hi) {
    if (Ext >= 0) {
        Lo = Start;
        Hi = Start + Ext;
    } else {
        Lo = Start + Ext + 1;
        Hi = Start + 1;
    }
}

// ---- what a blit reads and how ----

// The pixels a blit reads from: a surface, or a private copy of part of one.
struct TSource {
    const uint32_t* Base = nullptr;
    size_t Stride = 0;
    int W = 0, H = 0;
    const uint32_t* Row(int Y) const { return Base + size_t(Y) * Stride; }
};

// Depth conversion of source pixels before the raster operation.
enum class TConvKind : uint8_t { None, ColorToMono, MonoToColor };
struct TConv {
    TConvKind Kind = TConvKind::None;
    uint32_t Key = 0;         // colour to monochrome: the source DC's background colour gives white
    uint32_t Fore = 0, Back = 0;  // monochrome to colour: 0 gives Fore (text colour), 1 Back (background)
    uint32_t operator()(uint32_t Px) const {
        switch (Kind) {
        case TConvKind::ColorToMono:
            return ((Px ^ Key) & kMask) == 0 ? kMask : 0;
        case TConvKind::MonoToColor:
            return (Px & kMask) != 0 ? Back : Fore;
        default:
            return Px & kMask;
        }
    }
    void Row(const uint32_t* In, uint32_t* Out, int N) const {
        if (Kind == TConvKind::ColorToMono) {
            for (int i = 0; i < N; ++i) Out[i] = ((In[i] ^ Key) & kMask) == 0 ? kMask : 0;
        } else {
            for (int i = 0; i < N; ++i) Out[i] = (In[i] & kMask) != 0 ? Back : Fore;
        }
    }
};

// How destination coordinates map to source coordinates along one axis: by an offset,
// or by tables giving the source range [Lo, Hi) of each destination coordinate from Base.
struct TAxis {
    bool Identity = true;
    int Off = 0;
    int Base = 0;
    std::vector<int> Lo, Hi;
};

enum class TCombine : uint8_t { One, And, Or, Average };

struct TJob {
    TBitmapObj* Dst = nullptr;
    uint8_t Fore = 0xCC, Back = 0xCC;
    bool NeedS = false, NeedP = false;
    const TBrushFill* Brush = nullptr;
    TSource Src;
    TConv Conv;
    TAxis X, Y;
    TCombine Combine = TCombine::One;
    bool Masked = false;  // MaskBlt: Mask chooses Fore (1) or Back (0) per pixel
    const TBitmapObj* Mask = nullptr;
    int MaskDx = 0, MaskDy = 0;  // mask position = destination surface position + (MaskDx, MaskDy)
    bool HasKey = false;         // TransparentBlt: source pixels equal to Key are left out
    uint32_t Key = 0;
    bool Reverse = false;   // walk bottom-up (same surface, source above the destination)
    bool SameRows = false;  // same surface, same rows: copy each source row before an operation reads it
};

// Combines the source pixels of each destination pixel after conversion: AND
// (BLACKONWHITE), OR (WHITEONBLACK), or the average of each channel (HALFTONE;
// black or white by brightness on a monochrome destination).
void CombineRow(const TJob& J, int Y, int X1, int N, uint32_t* Out) {
    const int yl = J.Y.Lo[size_t(Y - J.Y.Base)], yh = J.Y.Hi[size_t(Y - J.Y.Base)];
    const int* xl = J.X.Lo.data() + (X1 - J.X.Base);
    const int* xh = J.X.Hi.data() + (X1 - J.X.Base);
    if (J.Combine == TCombine::Average) {
        for (int i = 0; i < N; ++i) {
            uint64_t r = 0, g = 0, b = 0, n = 0;
            for (int sy = yl; sy < yh; ++sy) {
                const uint32_t* row = J.Src.Row(sy);
                for (int sx = xl[i]; sx < xh[i]; ++sx) {
                    const uint32_t v = J.Conv(row[sx]);
                    r += (v >> 16) & 0xFF;
                    g += (v >> 8) & 0xFF;
                    b += v & 0xFF;
                    ++n;
                }
            }
            if (n == 0) n = 1;
            const uint32_t ar = uint32_t((r + n / 2) / n), ag = uint32_t((g + n / 2) / n), ab = uint32_t((b + n / 2) / n);
            Out[i] = J.Dst->Mono() ? (ar + ag + ab > 382 ? kMask : 0u) : (ar << 16) | (ag << 8) | ab;
        }
        return;
    }
    const bool isAnd = J.Combine == TCombine::And;
    std::fill_n(Out, N, isAnd ? kMask : 0u);
    for (int sy = yl; sy < yh; ++sy) {
        const uint32_t* row = J.Src.Row(sy);
        for (int i = 0; i < N; ++i) {
            uint32_t v = Out[i];
            for (int sx = xl[i]; sx < xh[i]; ++sx) v = isAnd ? (v & J.Conv(row[sx])) : (v | J.Conv(row[sx]));
            Out[i] = v;
        }
    }
}

// Runs a blit over the boxes (destination surface coordinates, already clipped to
// everything: the destination clip, the surface and what the source has).
void RunJob(const TJob& J, const pixman_box32_t* Boxes, int Count) {
    int maxW = 0;
    for (int b = 0; b < Count; ++b) maxW = std::max(maxW, int(Boxes[b].x2 - Boxes[b].x1));
    if (maxW <= 0) return;
    const size_t mw = size_t(maxW);
    const bool fastCopy = gdi::RopFastPaths() && J.Fore == 0xCC && !J.Masked && !J.HasKey;
    const bool identity = J.X.Identity;
    const bool direct = J.NeedS && !identity && J.Combine == TCombine::One && fastCopy &&
                        J.Conv.Kind == TConvKind::None;
    const bool tiled = J.NeedP && !J.Brush->Solid;
    const bool holes = tiled && J.Brush->HasHoles;
    const uint32_t pc = J.NeedP && J.Brush->Solid ? J.Brush->Color : 0;

    const bool needRaw = J.NeedS && (identity ? J.SameRows && !fastCopy : J.Combine == TCombine::One && !direct);
    const bool needConv = J.NeedS && (J.Conv.Kind != TConvKind::None || J.Combine != TCombine::One);
    std::vector<uint32_t> raw(needRaw ? mw : 0), conv(needConv ? mw : 0), pat(tiled ? mw : 0);
    std::vector<uint32_t> saved(holes || J.HasKey ? mw : 0), back(J.Masked ? mw : 0);
    std::vector<uint8_t> keep(holes || J.HasKey ? mw : 0), opaque(holes ? mw : 0);

    auto span = [&](int y, int x1, int n) {
        uint32_t* d = J.Dst->Row(y) + x1;
        const uint32_t* s = nullptr;
        bool anyKeep = false;
        if (J.NeedS) {
            if (identity) {
                s = J.Src.Row(y + J.Y.Off) + (x1 + J.X.Off);
                if (J.SameRows && !fastCopy) {
                    std::memcpy(raw.data(), s, size_t(n) * sizeof(uint32_t));
                    s = raw.data();
                }
            } else if (J.Combine == TCombine::One) {
                const uint32_t* row = J.Src.Row(J.Y.Lo[size_t(y - J.Y.Base)]);
                const int* xl = J.X.Lo.data() + (x1 - J.X.Base);
                uint32_t* out = direct ? d : raw.data();
                for (int i = 0; i < n; ++i) out[i] = row[xl[i]];
                if (direct) return;
                s = raw.data();
            } else {
                CombineRow(J, y, x1, n, conv.data());
                s = conv.data();
            }
            if (J.HasKey) {
                for (int i = 0; i < n; ++i) keep[size_t(i)] = ((s[i] ^ J.Key) & kMask) == 0;
                anyKeep = true;
            }
            if (J.Conv.Kind != TConvKind::None && J.Combine == TCombine::One) {
                J.Conv.Row(s, conv.data(), n);
                s = conv.data();
            }
        }
        const uint32_t* p = nullptr;
        if (tiled) {
            J.Brush->Row(x1, y, n, pat.data(), holes ? opaque.data() : nullptr);
            p = pat.data();
            if (holes) {
                if (!anyKeep) std::memset(keep.data(), 0, size_t(n));
                for (int i = 0; i < n; ++i) keep[size_t(i)] |= uint8_t(opaque[size_t(i)] == 0);
                anyKeep = true;
            }
        }
        if (anyKeep) std::memcpy(saved.data(), d, size_t(n) * sizeof(uint32_t));
        if (J.Masked) {
            std::memcpy(back.data(), d, size_t(n) * sizeof(uint32_t));
            gdi::RopRow(J.Back, back.data(), s, p, pc, n);
            gdi::RopRow(J.Fore, d, s, p, pc, n);
            const int my = y + J.MaskDy;
            const bool rowIn = my >= 0 && my < J.Mask->Height;
            const uint32_t* mrow = rowIn ? J.Mask->Row(my) : nullptr;
            for (int i = 0; i < n; ++i) {
                const int mx = x1 + i + J.MaskDx;
                const bool fore = mrow != nullptr && mx >= 0 && mx < J.Mask->Width && (mrow[mx] & kMask) != 0;
                if (!fore) d[i] = back[size_t(i)];
            }
        } else {
            gdi::RopRow(J.Fore, d, s, p, pc, n);
        }
        if (anyKeep)
            for (int i = 0; i < n; ++i)
                if (keep[size_t(i)]) d[i] = saved[size_t(i)];
    };

    if (J.Reverse) {
        for (int b = Count - 1; b >= 0; --b)
            for (int y = Boxes[b].y2 - 1; y >= Boxes[b].y1; --y) span(y, Boxes[b].x1, Boxes[b].x2 - Boxes[b].x1);
    } else {
        for (int b = 0; b < Count; ++b)
            for (int y = Boxes[b].y1; y < Boxes[b].y2; ++y) span(y, Boxes[b].x1, Boxes[b].x2 - Boxes[b].x1);
    }
}

void RunJob(const TJob& J, const TRegion& Area) {
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(Area.Raw()), &n);
    RunJob(J, boxes, n);
}

// ---- opening the device contexts ----

struct TContext {
    TTarget T;  // the destination
    TTarget S;  // the source, when the operation reads one
    TBrushFill Brush;
};

// Makes the targets and the brush; false when a handle the operation needs is bad.
bool Open(HDC Dest, HDC Src, bool NeedS, bool NeedP, TContext& C) {
    if (!gdi::MakeTarget(Dest, C.T) || C.T.Surface == nullptr) return false;
    if (NeedS && (!gdi::MakeTarget(Src, C.S) || C.S.Surface == nullptr)) return false;
    if (NeedP) gdi::PrepareBrush(gdi::Find<gdi::TBrushObj>(C.T.DC->A.Brush), C.T.DC, C.T.Surface, C.Brush);
    return true;
}

void SetSource(TJob& J, const TContext& C) {
    const TBitmapObj* s = C.S.Surface;
    J.Src.Base = s->Pixels.data();
    J.Src.Stride = size_t(s->Width);
    J.Src.W = s->Width;
    J.Src.H = s->Height;
    const bool sm = s->Mono(), dm = C.T.Surface->Mono();
    if (!sm && dm) {
        J.Conv.Kind = TConvKind::ColorToMono;
        J.Conv.Key = gdi::ColorToSurface(C.S.DC->A.BkColor, s);
    } else if (sm && !dm) {
        J.Conv.Kind = TConvKind::MonoToColor;
        J.Conv.Fore = gdi::ColorToSurface(C.T.DC->A.TextColor, C.T.Surface);
        J.Conv.Back = gdi::ColorToSurface(C.T.DC->A.BkColor, C.T.Surface);
    }
}

bool Overlaps(const RECT& A, const RECT& B) {
    return A.left < B.right && B.left < A.right && A.top < B.bottom && B.top < A.bottom;
}

// Copies the rectangle R of the source into Copy and points the job's source at it;
// the caller moves its mapping by R's top-left.
void PrivateSource(TJob& J, const RECT& R, std::vector<uint32_t>& Copy) {
    const int w = R.right - R.left, h = R.bottom - R.top;
    Copy.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        std::memcpy(Copy.data() + size_t(y) * size_t(w), J.Src.Row(R.top + y) + R.left, size_t(w) * sizeof(uint32_t));
    J.Src.Base = Copy.data();
    J.Src.Stride = size_t(w);
    J.Src.W = w;
    J.Src.H = h;
}

// BitBlt and MaskBlt: source and destination of the same size. (X, Y, W, H) and
// (SX, SY) are logical coordinates of their DCs; W and H are positive.
BOOL BlitSameSize(TContext& C, TJob& J, int64_t X, int64_t Y, int64_t W, int64_t H, int64_t SX, int64_t SY) {
    const int64_t dx = X + C.T.Dx, dy = Y + C.T.Dy;
    TRegion area(C.T.Clip);
    area.Intersect(Clamp(dx, dy, dx + W, dy + H));
    int64_t offX = 0, offY = 0;
    if (J.NeedS) {
        const int64_t sx = SX + C.S.Dx, sy = SY + C.S.Dy;
        offX = sx - dx;
        offY = sy - dy;
        area.Intersect(Clamp(-offX, -offY, C.S.Surface->Width - offX, C.S.Surface->Height - offY));
    }
    if (area.Empty()) return TRUE;
    if (J.Masked) {
        J.MaskDx = int(std::clamp<int64_t>(J.MaskDx - dx, INT_MIN / 2, INT_MAX / 2));
        J.MaskDy = int(std::clamp<int64_t>(J.MaskDy - dy, INT_MIN / 2, INT_MAX / 2));
    }
    if (!J.NeedS) {
        RunJob(J, area);
        return TRUE;
    }
    // The area is inside both surfaces now, so the offsets fit an int.
    J.X.Off = int(offX);
    J.Y.Off = int(offY);
    SetSource(J, C);
    std::vector<uint32_t> copy;
    if (C.S.Surface == C.T.Surface) {
        const RECT db = area.Bounds();
        const RECT sb{db.left + J.X.Off, db.top + J.Y.Off, db.right + J.X.Off, db.bottom + J.Y.Off};
        if (Overlaps(db, sb)) {
            if (area.Type() == SIMPLEREGION) {
                // One rectangle: walk in the order that reads every source pixel before it is written.
                if (J.Y.Off == 0)
                    J.SameRows = true;
                else
                    J.Reverse = J.Y.Off < 0;
            } else {
                PrivateSource(J, sb, copy);
                J.X.Off -= sb.left;
                J.Y.Off -= sb.top;
            }
        }
    }
    RunJob(J, area);
    return TRUE;
}

// floor(Num / Den) and its successors floor((Num + k·Step) / Den), one addition per
// step instead of a division (Den > 0, Step >= 0).
class TStepper {
public:
    TStepper(__int128 Num, int64_t Den, int64_t Step) : FDen(Den), FStepQ(Step / Den), FStepR(Step % Den) {
        __int128 q = Num / Den, r = Num % Den;
        if (r < 0) {
            r += Den;
            --q;
        }
        FQ = int64_t(q);
        FR = int64_t(r);
    }
    int64_t Floor() const { return FQ; }
    int64_t Ceil() const { return FQ + (FR != 0 ? 1 : 0); }
    void Next() {
        FQ += FStepQ;
        FR += FStepR;
        if (FR >= FDen) {
            FR -= FDen;
            ++FQ;
        }
    }

private:
    int64_t FDen, FStepQ, FStepR, FQ = 0, FR = 0;
};

// The source range of each destination coordinate in [From, To) along one axis.
// The destination starts at DStart and runs DExt pixels (negative: towards lower
// coordinates); the source likewise from SStart over SExt. The destination pixel d
// pixels from the start samples the source pixel floor((2d + 1)·|SExt| / (2·|DExt|))
// pixels from the source start; with Group, a shrinking axis takes every source pixel
// that maps to d: the offsets from ceil((2d·|SExt| − |DExt|) / (2·|DExt|)) up to the
// next destination pixel's first. Ranges are clipped to [0, Limit); returns the range
// of destination coordinates with a non-empty source range (Lo >= Hi when none).
void BuildAxis(TAxis& A, int From, int To, int64_t DStart, int64_t DExt, int64_t SStart, int64_t SExt, bool Group,
               int Limit, int& ValidLo, int& ValidHi) {
    A.Identity = false;
    A.Base = From;
    const int n = To - From;
    A.Lo.assign(size_t(n), 0);
    A.Hi.assign(size_t(n), 0);
    ValidLo = To;
    ValidHi = From;
    if (n <= 0) return;
    const int64_t dw = DExt < 0 ? -DExt : DExt, sw = SExt < 0 ? -SExt : SExt;
    const int64_t dsign = DExt < 0 ? -1 : 1, ssign = SExt < 0 ? -1 : 1;
    const bool group = Group && sw > dw;
    // Walk in the order of increasing distance d from the destination start.
    const int c0 = dsign > 0 ? From : To - 1;
    const int64_t d0 = dsign * (int64_t(c0) - DStart);
    const __int128 den = __int128(2) * dw;
    TStepper centre(__int128(2 * d0 + 1) * sw, int64_t(den), 2 * sw);
    TStepper first(__int128(2) * d0 * sw - dw, int64_t(den), 2 * sw);
    for (int k = 0; k < n; ++k) {
        const int c = dsign > 0 ? From + k : To - 1 - k;
        int64_t lo, hi;  // source offsets [lo, hi) from the source start
        if (group) {
            lo = std::max<int64_t>(0, first.Ceil());
            first.Next();
            hi = std::min<int64_t>(sw, first.Ceil());
        } else {
            lo = centre.Floor();
            centre.Next();
            hi = lo + 1;
        }
        int64_t a, b;  // source coordinates [a, b)
        if (ssign > 0) {
            a = SStart + lo;
            b = SStart + hi;
        } else {
            a = SStart - hi + 1;
            b = SStart - lo + 1;
        }
        a = std::max<int64_t>(a, 0);
        b = std::min<int64_t>(b, Limit);
        if (a < b) {
            A.Lo[size_t(c - From)] = int(a);
            A.Hi[size_t(c - From)] = int(b);
            ValidLo = std::min(ValidLo, c);
            ValidHi = std::max(ValidHi, c + 1);
        }
    }
}

// StretchBlt and TransparentBlt: the source rectangle scaled onto the destination one
// (extents may be negative: opposite signs mirror). Only the destination pixels inside
// the clip are computed.
BOOL BlitStretched(TContext& C, TJob& J, int64_t X, int64_t Y, int64_t W, int64_t H, int64_t SX, int64_t SY,
                   int64_t SW, int64_t SH, int StretchMode) {
    const int64_t dx = X + C.T.Dx, dy = Y + C.T.Dy;
    int64_t l, r, t, b;
    Span(dx, W, l, r);
    Span(dy, H, t, b);
    TRegion area(C.T.Clip);
    area.Intersect(Clamp(l, t, r, b));
    if (area.Empty()) return TRUE;
    SetSource(J, C);
    const bool group = StretchMode == BLACKONWHITE || StretchMode == WHITEONBLACK || StretchMode == HALFTONE;
    const RECT ab = area.Bounds();
    int xl, xh, yl, yh;
    BuildAxis(J.X, ab.left, ab.right, dx, W, SX + C.S.Dx, SW, group, J.Src.W, xl, xh);
    BuildAxis(J.Y, ab.top, ab.bottom, dy, H, SY + C.S.Dy, SH, group, J.Src.H, yl, yh);
    if (xl >= xh || yl >= yh) return TRUE;
    area.Intersect(RECT{xl, yl, xh, yh});
    if (area.Empty()) return TRUE;
    const bool shrinks = (SW < 0 ? -SW : SW) > (W < 0 ? -W : W) || (SH < 0 ? -SH : SH) > (H < 0 ? -H : H);
    if (group && shrinks)
        J.Combine = StretchMode == BLACKONWHITE   ? TCombine::And
                    : StretchMode == WHITEONBLACK ? TCombine::Or
                                                  : TCombine::Average;
    std::vector<uint32_t> copy;
    if (C.S.Surface == C.T.Surface) {
        // Sampling reads pixels anywhere in the source range: read them from a copy when
        // they may already have been written.
        RECT sb{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int x = xl; x < xh; ++x) {
            sb.left = std::min<LONG>(sb.left, J.X.Lo[size_t(x - J.X.Base)]);
            sb.right = std::max<LONG>(sb.right, J.X.Hi[size_t(x - J.X.Base)]);
        }
        for (int y = yl; y < yh; ++y) {
            sb.top = std::min<LONG>(sb.top, J.Y.Lo[size_t(y - J.Y.Base)]);
            sb.bottom = std::max<LONG>(sb.bottom, J.Y.Hi[size_t(y - J.Y.Base)]);
        }
        if (Overlaps(area.Bounds(), sb)) {
            PrivateSource(J, sb, copy);
            for (auto* v : {&J.X.Lo, &J.X.Hi})
                for (int& e : *v) e -= sb.left;
            for (auto* v : {&J.Y.Lo, &J.Y.Hi})
                for (int& e : *v) e -= sb.top;
        }
    }
    RunJob(J, area);
    return TRUE;
}

// An operation without a source over a destination rectangle given by a start and
// extents (negative extents count backwards, as for the blits).
BOOL PatternOnly(TContext& C, uint8_t Rop, int64_t X, int64_t Y, int64_t W, int64_t H) {
    const int64_t dx = X + C.T.Dx, dy = Y + C.T.Dy;
    int64_t l, r, t, b;
    Span(dx, W, l, r);
    Span(dy, H, t, b);
    gdi::PatRect(C.T, Clamp(l, t, r, b), Rop, &C.Brush);
    return TRUE;
}

// How many rows ahead a narrow copy asks for.
constexpr int kPrefetchRows = 8;

// N pixels from S to D (not overlapping). Narrow rows, the transitions' usual
// case, are copied with fixed-size moves (overlapping at the end) instead of a
// call per row; wide ones go to memcpy.
inline void CopyPixels(uint32_t* D, const uint32_t* S, size_t N) {
    if (N >= 32) {
        std::memcpy(D, S, N * sizeof(uint32_t));
    } else if (N >= 8) {
        // 32-byte blocks, the last one ending at the row's end.
        size_t i = 0;
        for (; i + 8 < N; i += 8) std::memcpy(D + i, S + i, 32);
        std::memcpy(D + N - 8, S + N - 8, 32);
    } else if (N >= 4) {
        std::memcpy(D, S, 16);
        std::memcpy(D + N - 4, S + N - 4, 16);
    } else if (N >= 2) {
        std::memcpy(D, S, 8);
        std::memcpy(D + N - 2, S + N - 2, 8);
    } else {
        D[0] = S[0];
    }
}

// The surface behind a DC for a plain copy, with what makes a DIB section's
// pixels current (as MakeTarget does).
TBitmapObj* PlainSurface(gdi::TDCObj* Dc, bool Writes) {
    TBitmapObj* s = Dc->Surface();
    if (s == nullptr || s->Mono()) return nullptr;
    if (s->DibBitCount != 0) {
        gdi::SyncFromDib(s);
        if (Writes) s->SurfaceNewer = true;
    }
    return s;
}

// The destination DC's clip in surface coordinates when MakeTarget's cache of it
// is current (the usual case: nothing changed since the last drawing call), else
// null.
const pixman_region32_t* CachedClip(const gdi::TDCObj* Dc, const TBitmapObj* S) {
    const POINT off = Dc->SurfaceOffset();
    if (Dc->CachedVersion != Dc->ClipVersion || Dc->CachedSurface != S || Dc->CachedWidth != S->Width ||
        Dc->CachedHeight != S->Height || Dc->CachedOffset.x != off.x || Dc->CachedOffset.y != off.y)
        return nullptr;
    return Dc->CachedClip.Raw();
}

// SRCCOPY between two different colour surfaces whose clip is a single
// rectangle: straight row copies, without building a job (the transitions and
// other callers make many small blits, where the set-up would dominate). The
// handles are looked up and the rectangle clipped to the clip and both surfaces
// as on the general path; the clip comes straight from the DC's cache when it is
// current. False when the general path must decide (bad handles included, so
// that it reports them).
bool PlainCopy(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY) {
    if (Width <= 0 || Height <= 0 || !gdi::RopFastPaths()) return false;
    // The source of a memory DC needs no clip: only its surface and origin.
    gdi::TDCObj* sdc = gdi::Find<gdi::TDCObj>(Src);
    if (sdc == nullptr || sdc->DCKind != gdi::TDCKind::Memory) return false;
    gdi::TDCObj* ddc = gdi::Find<gdi::TDCObj>(Dest);
    if (ddc == nullptr) return false;
    TBitmapObj* ss = PlainSurface(sdc, false);
    TBitmapObj* ds = ss != nullptr ? PlainSurface(ddc, true) : nullptr;
    if (ds == nullptr || ds == ss) return false;
    const pixman_region32_t* clip = CachedClip(ddc, ds);
    std::optional<TTarget> T;  // only when the cache must be rebuilt
    if (clip == nullptr) {
        T.emplace();
        if (!gdi::MakeTarget(Dest, *T) || T->Surface != ds) return false;
        clip = T->Clip.Raw();
    }
    if (clip->data != nullptr) {
        if (clip->data->numRects == 0) return true;  // nothing visible
        if (clip->data->numRects != 1) return false;  // several rectangles: the general path
    }
    const pixman_box32_t& c = clip->extents;
    const POINT doff = ddc->SurfaceOffset();
    const int64_t dx = int64_t(X) + ddc->A.ViewportOrg.x - ddc->A.WindowOrg.x + doff.x;
    const int64_t dy = int64_t(Y) + ddc->A.ViewportOrg.y - ddc->A.WindowOrg.y + doff.y;
    const int64_t sx = int64_t(SrcX) + sdc->A.ViewportOrg.x - sdc->A.WindowOrg.x;
    const int64_t sy = int64_t(SrcY) + sdc->A.ViewportOrg.y - sdc->A.WindowOrg.y;
    const int64_t offX = sx - dx, offY = sy - dy;
    const int64_t l = std::max({dx, int64_t(c.x1), -offX}), t = std::max({dy, int64_t(c.y1), -offY});
    const int64_t r = std::min({dx + Width, int64_t(c.x2), ss->Width - offX});
    const int64_t b = std::min({dy + Height, int64_t(c.y2), ss->Height - offY});
    if (l >= r || t >= b) return true;
    const size_t n = size_t(r - l), dstride = size_t(ds->Width), sstride = size_t(ss->Width);
    uint32_t* d = ds->Pixels.data() + size_t(t) * dstride + size_t(l);
    const uint32_t* s = ss->Pixels.data() + size_t(t + offY) * sstride + size_t(l + offX);
    const int64_t rows = b - t;
    if (n <= 64 && rows > kPrefetchRows) {
        // Narrow and tall (columns): every row is in another page, where the
        // hardware's own prefetching does not follow, so ask for the rows a few
        // ahead while copying this one.
        const int64_t stop = rows - kPrefetchRows;
        const size_t ahead = kPrefetchRows;
        int64_t y = 0;
        for (; y < stop; ++y, d += dstride, s += sstride) {
            __builtin_prefetch(s + ahead * sstride, 0, 3);
            __builtin_prefetch(d + ahead * dstride, 1, 3);
            __builtin_prefetch(s + ahead * sstride + n - 1, 0, 3);
            __builtin_prefetch(d + ahead * dstride + n - 1, 1, 3);
            CopyPixels(d, s, n);
        }
        for (; y < rows; ++y, d += dstride, s += sstride) CopyPixels(d, s, n);
        return true;
    }
    for (int64_t y = t; y < b; ++y, d += dstride, s += sstride) CopyPixels(d, s, n);
    return true;
}

}  // namespace

namespace {

// Every blit that is not a plain copy: kept out of line so that the plain
// copies, the many small blits of transitions, run through a short function.
[[gnu::noinline]] BOOL BlitGeneral(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY,
                                   uint8_t Rop) {
    TJob J;
    J.Fore = Rop;
    J.NeedS = gdi::RopUsesS(Rop);
    J.NeedP = gdi::RopUsesP(Rop);
    TContext C;
    if (!Open(Dest, Src, J.NeedS, J.NeedP, C)) return FALSE;
    if (Width <= 0 || Height <= 0) return TRUE;
    if (J.NeedP && C.Brush.Null) return TRUE;  // a null brush paints nothing
    J.Dst = C.T.Surface;
    J.Brush = &C.Brush;
    return BlitSameSize(C, J, X, Y, Width, Height, SrcX, SrcY);
}

}  // namespace

BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, DWORD Rop) {
    if (gdi::Tracing()) [[unlikely]]
        gdi::TraceCall("BitBlt", Dest, X, Y, Width, Height, Src, SrcX, SrcY, Rop);
    if (gdi::InjectedFault("BitBlt")) return FALSE;
    const uint8_t rop = gdi::RopIndex(Rop);
    if (rop == 0xCC && PlainCopy(Dest, X, Y, Width, Height, Src, SrcX, SrcY)) return TRUE;
    return BlitGeneral(Dest, X, Y, Width, Height, Src, SrcX, SrcY, rop);
}

BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, int SrcWidth,
                int SrcHeight, DWORD Rop) {
    gdi::TraceCall("StretchBlt", Dest, X, Y, Width, Height, Src, SrcX, SrcY, SrcWidth, SrcHeight, Rop);
    if (gdi::InjectedFault("StretchBlt")) return FALSE;
    const uint8_t rop = gdi::RopIndex(Rop);
    TJob J;
    J.Fore = rop;
    J.NeedS = gdi::RopUsesS(rop);
    J.NeedP = gdi::RopUsesP(rop);
    TContext C;
    if (!Open(Dest, Src, J.NeedS, J.NeedP, C)) return FALSE;
    if (Width == 0 || Height == 0) return TRUE;
    if (J.NeedP && C.Brush.Null) return TRUE;
    if (!J.NeedS) return PatternOnly(C, rop, X, Y, Width, Height);
    if (SrcWidth == 0 || SrcHeight == 0) return TRUE;
    J.Dst = C.T.Surface;
    J.Brush = &C.Brush;
    if (Width == SrcWidth && Height == SrcHeight) {
        // Same size and direction: a plain blit of the normalised rectangles.
        int64_t l, r, t, b, sl, sr, st, sb;
        Span(X, Width, l, r);
        Span(Y, Height, t, b);
        Span(SrcX, SrcWidth, sl, sr);
        Span(SrcY, SrcHeight, st, sb);
        return BlitSameSize(C, J, l, t, r - l, b - t, sl, st);
    }
    return BlitStretched(C, J, X, Y, Width, Height, SrcX, SrcY, SrcWidth, SrcHeight, C.T.DC->A.StretchMode);
}

BOOL PatBlt(HDC Dc, int X, int Y, int Width, int Height, DWORD Rop) {
    gdi::TraceCall("PatBlt", Dc, X, Y, Width, Height, Rop);
    if (gdi::InjectedFault("PatBlt")) return FALSE;
    const uint8_t rop = gdi::RopIndex(Rop);
    if (gdi::RopUsesS(rop)) return FALSE;  // PatBlt has no source
    TContext C;
    if (!Open(Dc, nullptr, false, gdi::RopUsesP(rop), C)) return FALSE;
    if (Width == 0 || Height == 0) return TRUE;
    return PatternOnly(C, rop, X, Y, Width, Height);
}

BOOL MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, HBITMAP Mask, int MaskX,
             int MaskY, DWORD Rop) {
    gdi::TraceCall("MaskBlt", Dest, X, Y, Width, Height, Src, SrcX, SrcY, Mask, MaskX, MaskY, Rop);
    if (gdi::InjectedFault("MaskBlt")) return FALSE;
    TJob J;
    J.Fore = gdi::RopIndex(Rop);
    J.Back = uint8_t((Rop >> 24) & 0xFF);
    if (Mask == nullptr) {
        // Without a mask the foreground operation applies everywhere.
        J.Back = J.Fore;
    } else {
        J.Mask = gdi::Find<TBitmapObj>(Mask);
        if (J.Mask == nullptr || !J.Mask->Mono()) return FALSE;
        J.Masked = J.Fore != J.Back;
    }
    J.NeedS = gdi::RopUsesS(J.Fore) || (J.Masked && gdi::RopUsesS(J.Back));
    J.NeedP = gdi::RopUsesP(J.Fore) || (J.Masked && gdi::RopUsesP(J.Back));
    TContext C;
    if (!Open(Dest, Src, J.NeedS, J.NeedP, C)) return FALSE;
    if (Width <= 0 || Height <= 0) return TRUE;
    if (J.NeedP && C.Brush.Null) {
        // A null brush paints nothing: where an operation needs the pattern, the
        // destination stays as it is.
        if (gdi::RopUsesP(J.Fore)) J.Fore = 0xAA;
        if (gdi::RopUsesP(J.Back)) J.Back = 0xAA;
        J.NeedP = false;
        if (J.Fore == J.Back && J.Fore == 0xAA) return TRUE;
    }
    J.Dst = C.T.Surface;
    J.Brush = &C.Brush;
    J.MaskDx = MaskX;  // BlitSameSize turns these into offsets from the destination surface
    J.MaskDy = MaskY;
    return BlitSameSize(C, J, X, Y, Width, Height, SrcX, SrcY);
}

BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, int SrcWidth,
                    int SrcHeight, UINT TransparentColor) {
    gdi::TraceCall("TransparentBlt", Dest, X, Y, Width, Height, Src, SrcX, SrcY, SrcWidth, SrcHeight,
                   TransparentColor);
    if (gdi::InjectedFault("TransparentBlt")) return FALSE;
    // No mirroring: every extent must be positive.
    if (Width <= 0 || Height <= 0 || SrcWidth <= 0 || SrcHeight <= 0) return FALSE;
    TJob J;
    J.NeedS = true;
    TContext C;
    if (!Open(Dest, Src, true, false, C)) return FALSE;
    J.Dst = C.T.Surface;
    J.HasKey = true;
    J.Key = gdi::ColorToSurface(TransparentColor, C.S.Surface);
    // One sample per destination pixel whatever the stretch mode: combining pixels
    // would mix the transparent colour into the image.
    return BlitStretched(C, J, X, Y, Width, Height, SrcX, SrcY, SrcWidth, SrcHeight, COLORONCOLOR);
}

COLORREF GetPixel(HDC Dc, int X, int Y) {
    gdi::TraceCall("GetPixel", Dc, X, Y);
    if (gdi::InjectedFault("GetPixel")) return CLR_INVALID;
    TTarget T;
    if (!gdi::MakeTarget(Dc, T) || T.Surface == nullptr) return CLR_INVALID;
    const int64_t x = int64_t(X) + T.Dx, y = int64_t(Y) + T.Dy;
    if (x < 0 || y < 0 || x >= T.Surface->Width || y >= T.Surface->Height || !T.Clip.Contains(int(x), int(y)))
        return CLR_INVALID;
    return gdi::ToColorRef(T.Surface->Row(int(y))[x] & kMask);
}

namespace {

COLORREF PutPixel(HDC Dc, int X, int Y, COLORREF Color) {
    TTarget T;
    if (!gdi::MakeTarget(Dc, T) || T.Surface == nullptr) return CLR_INVALID;
    const int64_t x = int64_t(X) + T.Dx, y = int64_t(Y) + T.Dy;
    if (x < 0 || y < 0 || x >= T.Surface->Width || y >= T.Surface->Height || !T.Clip.Contains(int(x), int(y)))
        return CLR_INVALID;
    const uint32_t px = gdi::ColorToSurface(Color, T.Surface);
    T.Surface->Row(int(y))[x] = px;
    return gdi::ToColorRef(px);
}

}  // namespace

COLORREF SetPixel(HDC Dc, int X, int Y, COLORREF Color) {
    gdi::TraceCall("SetPixel", Dc, X, Y, Color);
    if (gdi::InjectedFault("SetPixel")) return CLR_INVALID;
    return PutPixel(Dc, X, Y, Color);
}

BOOL SetPixelV(HDC Dc, int X, int Y, COLORREF Color) {
    gdi::TraceCall("SetPixelV", Dc, X, Y, Color);
    if (gdi::InjectedFault("SetPixelV")) return FALSE;
    return PutPixel(Dc, X, Y, Color) != CLR_INVALID ? TRUE : FALSE;
}

}  // namespace host
