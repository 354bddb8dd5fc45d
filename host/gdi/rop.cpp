// Ternary raster operations (generic and fast row kernels), brush sampling and pattern fills.
#include <pixman.h>

#include <algorithm>
#include <cstring>

#include "host/gdi/blit_internal.h"

namespace host::gdi {

namespace {

constexpr uint32_t kMask = 0x00FFFFFFu;

// Four pixels at a time with the compiler's vector extension (SSE2 on x86-64, NEON on
// ARM), so that the kernels run at memory speed without per-file optimisation flags.
using V4 = uint32_t __attribute__((vector_size(16)));
inline V4 Load(const uint32_t* p) {
    V4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void Store(uint32_t* p, V4 v) { std::memcpy(p, &v, sizeof v); }
inline V4 Splat(uint32_t x) { return V4{x, x, x, x}; }

// Bitwise select: a where c is 1, b where c is 0.
template <class T>
inline T Mux(T c, T a, T b) {
    return b ^ ((a ^ b) & c);
}

// The kernel skeleton: D[i] = Op(P, S, D) & 0xFFFFFF over N pixels. UseS and UseP say
// which operands the operation reads; PRow says whether the pattern is a row or one pixel.
template <bool UseS, bool UseP, bool PRow, class Op>
void Run(uint32_t* D, const uint32_t* S, const uint32_t* P, uint32_t Pc, int N, Op op) {
    const V4 m = Splat(kMask);
    const V4 pc = Splat(Pc);
    int i = 0;
    for (; i + 8 <= N; i += 8) {
        for (int k = 0; k < 8; k += 4) {
            V4 s{}, p{};
            if constexpr (UseS) s = Load(S + i + k);
            if constexpr (UseP) p = PRow ? Load(P + i + k) : pc;
            Store(D + i + k, op(p, s, Load(D + i + k)) & m);
        }
    }
    for (; i < N; ++i) {
        uint32_t s = 0, p = 0;
        if constexpr (UseS) s = S[i];
        if constexpr (UseP) p = PRow ? P[i] : Pc;
        D[i] = op(p, s, D[i]) & kMask;
    }
}

template <bool UseS, bool UseP, class Op>
void Dispatch(uint32_t* D, const uint32_t* S, const uint32_t* P, uint32_t Pc, int N, Op op) {
    if (UseP && P != nullptr)
        Run<UseS, UseP, true>(D, S, P, Pc, N, op);
    else
        Run<UseS, UseP, false>(D, S, P, Pc, N, op);
}

// The generic evaluation: result bit = bit (P<<2 | S<<1 | D) of the index, computed as a
// tree of bitwise selects over the eight truth-table entries (each 0 or all ones).
struct TGeneric {
    uint32_t B[8];
    explicit TGeneric(uint8_t I) {
        for (int k = 0; k < 8; ++k) B[k] = ((I >> k) & 1) ? 0xFFFFFFFFu : 0u;
    }
    template <class T>
    T operator()(T p, T s, T d) const {
        T b0 = T{} | B[0], b1 = T{} | B[1], b2 = T{} | B[2], b3 = T{} | B[3];
        T b4 = T{} | B[4], b5 = T{} | B[5], b6 = T{} | B[6], b7 = T{} | B[7];
        T low = Mux(s, Mux(d, b3, b2), Mux(d, b1, b0));
        T high = Mux(s, Mux(d, b7, b6), Mux(d, b5, b4));
        return Mux(p, high, low);
    }
};

bool gFastRops = true;

void Fill(uint32_t* D, uint32_t V, int N) {
    Run<false, true, false>(D, nullptr, nullptr, V, N, [](auto p, auto, auto) { return p; });
}

}  // namespace

uint32_t ApplyRop3(uint8_t Index, uint32_t P, uint32_t S, uint32_t D) {
    return TGeneric(Index)(P, S, D) & kMask;
}

bool RopFastPaths() { return gFastRops; }

bool SetRopFastPaths(bool On) {
    bool old = gFastRops;
    gFastRops = On;
    return old;
}

void RopRowGeneric(uint8_t Rop, uint32_t* D, const uint32_t* S, const uint32_t* P, uint32_t PConst, int N) {
    if (N <= 0) return;
    TGeneric g(Rop);
    const bool us = RopUsesS(Rop), up = RopUsesP(Rop);
    if (us && up)
        Dispatch<true, true>(D, S, P, PConst, N, g);
    else if (us)
        Dispatch<true, false>(D, S, P, PConst, N, g);
    else if (up)
        Dispatch<false, true>(D, S, P, PConst, N, g);
    else
        Dispatch<false, false>(D, S, P, PConst, N, g);
}

void RopRow(uint8_t Rop, uint32_t* D, const uint32_t* S, const uint32_t* P, uint32_t PConst, int N) {
    if (N <= 0) return;
    if (!gFastRops) {
        RopRowGeneric(Rop, D, S, P, PConst, N);
        return;
    }
    switch (Rop) {
    case 0xCC:  // SRCCOPY
        std::memmove(D, S, size_t(N) * sizeof(uint32_t));
        return;
    case 0xEE:  // SRCPAINT
        Dispatch<true, false>(D, S, P, PConst, N, [](auto, auto s, auto d) { return d | s; });
        return;
    case 0x88:  // SRCAND
        Dispatch<true, false>(D, S, P, PConst, N, [](auto, auto s, auto d) { return d & s; });
        return;
    case 0x66:  // SRCINVERT
        Dispatch<true, false>(D, S, P, PConst, N, [](auto, auto s, auto d) { return d ^ s; });
        return;
    case 0x44:  // SRCERASE
        Dispatch<true, false>(D, S, P, PConst, N, [](auto, auto s, auto d) { return s & ~d; });
        return;
    case 0x33:  // NOTSRCCOPY
        Dispatch<true, false>(D, S, P, PConst, N, [](auto, auto s, auto) { return ~s; });
        return;
    case 0x55:  // DSTINVERT
        Dispatch<false, false>(D, S, P, PConst, N, [](auto, auto, auto d) { return ~d; });
        return;
    case 0xF0:  // PATCOPY
        if (P != nullptr)
            std::memcpy(D, P, size_t(N) * sizeof(uint32_t));
        else
            Fill(D, PConst & kMask, N);
        return;
    case 0x5A:  // PATINVERT
        Dispatch<false, true>(D, S, P, PConst, N, [](auto p, auto, auto d) { return d ^ p; });
        return;
    case 0xE2:  // DSPDxax: the pattern where the source is 1, the destination where it is 0
        Dispatch<true, true>(D, S, P, PConst, N, [](auto p, auto s, auto d) { return ((d ^ p) & s) ^ d; });
        return;
    case 0xA0:  // DPa
        Dispatch<false, true>(D, S, P, PConst, N, [](auto p, auto, auto d) { return d & p; });
        return;
    case 0x00:  // BLACKNESS
        Fill(D, 0, N);
        return;
    case 0xFF:  // WHITENESS
        Fill(D, kMask, N);
        return;
    case 0xAA:  // the destination as it is
        return;
    default:
        RopRowGeneric(Rop, D, S, P, PConst, N);
    }
}

// ---- brushes ----

namespace {

// The six hatch patterns, one byte per row, the leftmost pixel in the high bit; a set
// bit is a hatch line.
constexpr uint8_t kHatch[6][8] = {
    {0x00, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00},  // HS_HORIZONTAL
    {0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08},  // HS_VERTICAL
    {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},  // HS_FDIAGONAL
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80},  // HS_BDIAGONAL
    {0x08, 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08},  // HS_CROSS
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81},  // HS_DIAGCROSS
};

inline int FloorMod(int64_t a, int m) {
    int64_t r = a % m;
    return int(r < 0 ? r + m : r);
}

bool ValidPattern(const TBrushObj* B) {
    return B->PatternWidth > 0 && B->PatternHeight > 0 &&
           B->Pattern.size() == size_t(B->PatternWidth) * size_t(B->PatternHeight);
}

bool IsPatternStyle(UINT Style) { return Style == BS_PATTERN || Style == BS_DIBPATTERN; }

// The pixel a pattern-brush pixel gives on Surface through Dc.
uint32_t PatternPixel(const TBrushObj* B, const TDCObj* Dc, const TBitmapObj* Surface, uint32_t Px) {
    if (B->PatternMono) return ColorToSurface((Px & kMask) != 0 ? Dc->A.BkColor : Dc->A.TextColor, Surface);
    if (Surface->Mono()) return ColorToSurface(ToColorRef(Px & kMask), Surface);
    return Px & kMask;
}

// The brush origin is in device coordinates; window and screen DCs start at their
// device offset on the surface, memory DCs at its top-left.
POINT BrushOrigin(const TDCObj* Dc) {
    const POINT off = Dc->SurfaceOffset();
    return POINT{Dc->A.BrushOrg.x + off.x, Dc->A.BrushOrg.y + off.y};
}

}  // namespace

bool TBrushFill::At(int X, int Y, uint32_t& Pixel) const {
    if (Null) return false;
    if (Solid) {
        Pixel = Color;
        return true;
    }
    size_t k = size_t(FloorMod(int64_t(Y) - OrgY, H)) * size_t(W) + size_t(FloorMod(int64_t(X) - OrgX, W));
    Pixel = Tile[k];
    return !HasHoles || Opaque[k] != 0;
}

void TBrushFill::Row(int X, int Y, int N, uint32_t* Out, uint8_t* OpaqueOut) const {
    if (N <= 0 || Null) return;
    if (Solid) {
        std::fill_n(Out, N, Color);
        if (OpaqueOut != nullptr) std::memset(OpaqueOut, 1, size_t(N));
        return;
    }
    const size_t row = size_t(FloorMod(int64_t(Y) - OrgY, H)) * size_t(W);
    const uint32_t* t = Tile.data() + row;
    const uint8_t* o = HasHoles ? Opaque.data() + row : nullptr;
    int tx = FloorMod(int64_t(X) - OrgX, W);
    for (int i = 0; i < N; ++i) {
        Out[i] = t[tx];
        if (OpaqueOut != nullptr) OpaqueOut[i] = o != nullptr ? o[tx] : 1;
        if (++tx == W) tx = 0;
    }
}

void PrepareBrush(const TBrushObj* Brush, const TDCObj* Dc, const TBitmapObj* Surface, TBrushFill& Fill) {
    Fill = TBrushFill();
    if (Brush == nullptr || Dc == nullptr || Surface == nullptr) return;
    const POINT org = BrushOrigin(Dc);
    switch (Brush->Style) {
    case BS_SOLID:
        Fill.Null = false;
        Fill.Solid = true;
        Fill.Color = ColorToSurface(Brush->Color, Surface);
        return;
    case BS_HATCHED: {
        if (Brush->Hatch < HS_HORIZONTAL || Brush->Hatch > HS_DIAGCROSS) return;
        const uint32_t fg = ColorToSurface(Brush->Color, Surface);
        const uint32_t bg = ColorToSurface(Dc->A.BkColor, Surface);
        const bool opaque = Dc->A.BkMode != TRANSPARENT;
        Fill.Null = false;
        Fill.W = Fill.H = 8;
        Fill.OrgX = org.x;
        Fill.OrgY = org.y;
        Fill.HasHoles = !opaque;
        Fill.Tile.resize(64);
        Fill.Opaque.assign(64, 1);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool line = (kHatch[Brush->Hatch][y] & (0x80 >> x)) != 0;
                Fill.Tile[size_t(y * 8 + x)] = line ? fg : bg;
                if (!line && !opaque) Fill.Opaque[size_t(y * 8 + x)] = 0;
            }
        return;
    }
    default:
        break;
    }
    if (!IsPatternStyle(Brush->Style) || !ValidPattern(Brush)) return;
    Fill.Null = false;
    Fill.W = Brush->PatternWidth;
    Fill.H = Brush->PatternHeight;
    Fill.OrgX = org.x;
    Fill.OrgY = org.y;
    Fill.Tile.resize(Brush->Pattern.size());
    // A monochrome pattern takes two colours only: convert them once.
    const uint32_t c0 = PatternPixel(Brush, Dc, Surface, 0), c1 = PatternPixel(Brush, Dc, Surface, kMask);
    for (size_t k = 0; k < Brush->Pattern.size(); ++k) {
        const uint32_t px = Brush->Pattern[k];
        Fill.Tile[k] = Brush->PatternMono ? ((px & kMask) != 0 ? c1 : c0) : PatternPixel(Brush, Dc, Surface, px);
    }
}

bool BrushPixelAt(const TBrushObj* Brush, const TDCObj* Dc, const TBitmapObj* Surface, int X, int Y,
                  uint32_t& Pixel) {
    Pixel = 0;
    if (Brush == nullptr || Dc == nullptr || Surface == nullptr) return false;
    const POINT org = BrushOrigin(Dc);
    switch (Brush->Style) {
    case BS_SOLID:
        Pixel = ColorToSurface(Brush->Color, Surface);
        return true;
    case BS_HATCHED: {
        if (Brush->Hatch < HS_HORIZONTAL || Brush->Hatch > HS_DIAGCROSS) return false;
        const int tx = FloorMod(int64_t(X) - org.x, 8), ty = FloorMod(int64_t(Y) - org.y, 8);
        if ((kHatch[Brush->Hatch][ty] & (0x80 >> tx)) != 0) {
            Pixel = ColorToSurface(Brush->Color, Surface);
            return true;
        }
        Pixel = ColorToSurface(Dc->A.BkColor, Surface);
        return Dc->A.BkMode != TRANSPARENT;
    }
    default:
        break;
    }
    if (!IsPatternStyle(Brush->Style) || !ValidPattern(Brush)) return false;
    const int tx = FloorMod(int64_t(X) - org.x, Brush->PatternWidth);
    const int ty = FloorMod(int64_t(Y) - org.y, Brush->PatternHeight);
    Pixel = PatternPixel(Brush, Dc, Surface, Brush->Pattern[size_t(ty) * size_t(Brush->PatternWidth) + size_t(tx)]);
    return true;
}

uint32_t BrushPixel(const TBrushObj* Brush, const TDCObj* Dc, const TBitmapObj* Surface, int X, int Y) {
    uint32_t px = 0;
    BrushPixelAt(Brush, Dc, Surface, X, Y, px);
    return px;
}

// ---- pattern fills ----

namespace {

void PatBoxes(const TTarget& T, const pixman_box32_t* Boxes, int Count, uint8_t Rop, const TBrushFill* Brush) {
    const bool useP = RopUsesP(Rop);
    if (useP && (Brush == nullptr || Brush->Null)) return;
    if (Rop == 0xAA) return;
    TBitmapObj* surf = T.Surface;
    const bool tiled = useP && !Brush->Solid;
    const bool holes = tiled && Brush->HasHoles;
    const uint32_t pc = useP && Brush->Solid ? Brush->Color : 0;
    std::vector<uint32_t> pat, saved;
    std::vector<uint8_t> opaque;
    for (int b = 0; b < Count; ++b) {
        const pixman_box32_t& r = Boxes[b];
        const int n = r.x2 - r.x1;
        if (n <= 0) continue;
        if (tiled && pat.size() < size_t(n)) pat.resize(size_t(n));
        if (holes && saved.size() < size_t(n)) {
            saved.resize(size_t(n));
            opaque.resize(size_t(n));
        }
        for (int y = r.y1; y < r.y2; ++y) {
            uint32_t* d = surf->Row(y) + r.x1;
            const uint32_t* p = nullptr;
            if (tiled) {
                Brush->Row(r.x1, y, n, pat.data(), holes ? opaque.data() : nullptr);
                p = pat.data();
            }
            if (holes) std::memcpy(saved.data(), d, size_t(n) * sizeof(uint32_t));
            RopRow(Rop, d, nullptr, p, pc, n);
            if (holes)
                for (int i = 0; i < n; ++i)
                    if (opaque[size_t(i)] == 0) d[i] = saved[size_t(i)];
        }
    }
}

}  // namespace

void PatArea(const TTarget& T, const TRegion& Area, uint8_t Rop, const TBrushFill* Brush) {
    if (T.Surface == nullptr) return;
    TRegion r(Area);
    r.Intersect(T.Clip);
    int n = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(const_cast<pixman_region32_t*>(r.Raw()), &n);
    PatBoxes(T, boxes, n, Rop, Brush);
}

void PatRect(const TTarget& T, const RECT& SurfaceRect, uint8_t Rop, const TBrushFill* Brush) {
    if (T.Surface == nullptr || SurfaceRect.left >= SurfaceRect.right || SurfaceRect.top >= SurfaceRect.bottom)
        return;
    if (T.Clip.Type() == SIMPLEREGION) {
        // The common case: one clip rectangle, no region arithmetic.
        const RECT c = T.Clip.Bounds();
        pixman_box32_t box{std::max(c.left, SurfaceRect.left), std::max(c.top, SurfaceRect.top),
                           std::min(c.right, SurfaceRect.right), std::min(c.bottom, SurfaceRect.bottom)};
        if (box.x1 < box.x2 && box.y1 < box.y2) PatBoxes(T, &box, 1, Rop, Brush);
        return;
    }
    PatArea(T, TRegion(SurfaceRect), Rop, Brush);
}

}  // namespace host::gdi
