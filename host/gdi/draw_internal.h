// Helpers shared by the painter's drawing units: pens, dashes, line walking, shape spans and clipped painting.
#pragma once

#include <cstdint>
#include <vector>

#include "host/gdi/blit_internal.h"
#include "host/gdi/gdiobj.h"

namespace host::gdi::drawing {

// A run of pixels X0..X1-1 on row Y, in surface coordinates.
struct TSpan {
    int Y, X0, X1;
};
// One span per row (convex shapes); empty when X0 >= X1.
struct TRowSpan {
    int X0 = 0, X1 = 0;
    bool Empty() const { return X0 >= X1; }
};

// A region made of spans (which may overlap and come in any order) or of single pixels.
TRegion RegionFromSpans(const std::vector<TSpan>& Spans);
TRegion RegionFromPixels(const std::vector<POINT>& Pixels);

// The ternary raster operation that does to a pattern what a ROP2 code does to a pen.
uint8_t Rop2ToRop3(int Rop2);

// A solid fill of one surface pixel.
TBrushFill SolidFill(uint32_t Pixel);
// Paints Area (surface coordinates) with Fill through the ROP2 code, clipped to T.Clip.
void PaintArea(const TTarget& T, const TRegion& Area, const TBrushFill& Fill, int Rop2);
// Fills a rectangle in logical coordinates with a colour, clipped (PATCOPY).
void FillLogical(const TTarget& T, const RECT& R, COLORREF Color);

// Writes single pixels through a ROP2 code, inside T.Clip only.
class TPlotter {
public:
    TPlotter(const TTarget& T, int Rop2);
    bool Visible(int X, int Y) const {
        if (X < FBox.left || X >= FBox.right || Y < FBox.top || Y >= FBox.bottom) return false;
        return FSimple || FClip->Contains(X, Y);
    }
    void Plot(int X, int Y, uint32_t Pixel) {
        if (!Visible(X, Y)) return;
        uint32_t& d = FSurface->Row(Y)[X];
        d = ApplyRop2(FRop2, Pixel, d);
    }
    // The clip's bounds (surface coordinates).
    const RECT& Box() const { return FBox; }

private:
    TBitmapObj* FSurface;
    const TRegion* FClip;
    RECT FBox;
    bool FSimple;
    int FRop2;
};

// The selected pen as drawing needs it.
struct TPen {
    bool Null = true;
    int Width = 1;  // 1 for a cosmetic pen
    UINT Style = PS_SOLID;
    bool InsideFrame = false;
    uint32_t Pixel = 0;
    bool Cosmetic() const { return Width <= 1; }
    // Dash styles apply to cosmetic pens only; wider pens draw them solid.
    bool Dashed() const { return Cosmetic() && Style >= PS_DASH && Style <= PS_DASHDOTDOT; }
};
TPen PenOf(const TTarget& T);
// The selected brush made ready for T's surface (Null for a null or hollow brush).
void BrushOf(const TTarget& T, TBrushFill& Fill);

// The on/off pattern of a cosmetic pen, counted in pixels along the line.
class TDash {
public:
    explicit TDash(UINT Style);
    bool On(int64_t Index) const;  // Index: pixels since the pattern started
    bool Solid() const { return FCount == 0; }

private:
    const uint8_t* FPattern = nullptr;
    int FCount = 0, FTotal = 0;
};

// The pixels of a cosmetic line from (X0, Y0) to (X1, Y1) without the end point, in
// drawing order, with the system's rule for which pixel a line lights: one per column
// for x-major lines (one per row for y-major ones), the nearest to the true line, a tie
// going to the upper (left) pixel. Visit(Index, X, Y) is called only for pixels inside
// Limit; Index counts from the start pixel, so dash patterns stay in step. Returns the
// number of pixels of the whole line.
template <class F>
int64_t WalkLine(int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, const RECT& Limit, F&& Visit);

// Adds the pixels covered by a round-capped stroke of Width from (X0, Y0) to (X1, Y1)
// (surface coordinates of pixel centres) on rows Limit.top..Limit.bottom-1; columns are
// clamped to Limit.
void AddStroke(std::vector<TSpan>& Out, int X0, int Y0, int X1, int Y1, int Width, const RECT& Limit);

// The pixels whose centres lie inside the box [L, R) x [T, B) (continuous coordinates,
// pixel (x, y) covering [x, x+1) x [y, y+1)) with corners cut by quarter ellipses of
// radii Rx, Ry: one span per row for rows Y0..Y1-1, clamped to columns XMin..XMax.
void RoundBoxRows(double L, double T, double R, double B, double Rx, double Ry, int Y0, int Y1, int XMin, int XMax,
                  std::vector<TRowSpan>& Out);
// The pixels of a shape (one span per row, Rows[i] is row Y0 + i) that touch its outside
// through a side, and the rest: a one-pixel outline and the interior. Rows of the first
// and last entries only serve as neighbours and give no output.
void SplitOutline(const std::vector<TRowSpan>& Rows, int Y0, std::vector<TSpan>* Outline, std::vector<TSpan>* Inside);

// Spans of a set of closed polygons (surface coordinates) by the fill mode: a pixel is
// inside when its centre is, points on a left or top edge counting as inside.
void PolygonSpans(const std::vector<std::vector<POINT>>& Polygons, int FillMode, const RECT& Limit,
                  std::vector<TSpan>& Out);

// The rows and columns worth computing for T: its clip's bounds widened by a pixel.
RECT WorkArea(const TTarget& T);
// V + D, saturated at +-2^29 so that absurd coordinates stay absurd instead of wrapping,
// and differences of two results still fit an int.
int Shift(int64_t V, int D);
// R with every coordinate saturated the same way.
inline RECT Sane(const RECT& R) { return RECT{Shift(R.left, 0), Shift(R.top, 0), Shift(R.right, 0), Shift(R.bottom, 0)}; }

// ---- inline and template bodies ----

namespace detail {
inline int64_t CeilDiv(__int128 A, __int128 B) {  // B > 0
    __int128 q = A / B;
    if (A % B > 0) ++q;
    return int64_t(q);
}
}  // namespace detail

template <class F>
int64_t WalkLine(int64_t X0, int64_t Y0, int64_t X1, int64_t Y1, const RECT& Limit, F&& Visit) {
    const int64_t dx = X1 - X0, dy = Y1 - Y0;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    if (adx == 0 && ady == 0) return 0;
    const bool xMajor = adx >= ady;
    const int64_t m0 = xMajor ? X0 : Y0, n0 = xMajor ? Y0 : X0;
    const int64_t dm = xMajor ? dx : dy, dn = xMajor ? dy : dx;
    const int64_t adm = xMajor ? adx : ady;
    const int64_t sm = dm > 0 ? 1 : -1;
    const int64_t lo = xMajor ? Limit.left : Limit.top, hi = xMajor ? Limit.right : Limit.bottom;
    const int64_t nlo = xMajor ? Limit.top : Limit.left, nhi = xMajor ? Limit.bottom : Limit.right;
    // The pixels along the major axis that fall inside the limit.
    int64_t ilo, ihi;
    if (sm > 0) {
        ilo = lo - m0;
        ihi = hi - 1 - m0;
    } else {
        ilo = m0 - (hi - 1);
        ihi = m0 - lo;
    }
    if (ilo < 0) ilo = 0;
    if (ihi > adm - 1) ihi = adm - 1;
    if (ilo > ihi) return adm;
    // Minor offset of pixel i: ceil((2*i*dn - adm) / (2*adm)), the rounding of i*dn/adm
    // with halves going down; kept as quotient q and remainder r in (-2*adm, 0].
    const __int128 den = __int128(2) * adm;
    const __int128 num = __int128(2) * ilo * dn - adm;
    int64_t q = detail::CeilDiv(num, den);
    int64_t r = int64_t(num - __int128(q) * den);
    const int64_t step = 2 * dn, wrap = 2 * adm;
    for (int64_t i = ilo; i <= ihi; ++i) {
        const int64_t n = n0 + q;
        if (n >= nlo && n < nhi) {
            const int64_t m = m0 + i * sm;
            if (xMajor)
                Visit(i, int(m), int(n));
            else
                Visit(i, int(n), int(m));
        }
        r += step;
        if (dn > 0) {
            if (r > 0) {
                ++q;
                r -= wrap;
            }
        } else if (dn < 0) {
            if (r <= -wrap) {
                --q;
                r += wrap;
            }
        }
    }
    return adm;
}

}  // namespace host::gdi::drawing
