// TRegion: a value type over pixman's banded-rectangle regions, used by the painter and the windows layer.
#pragma once

#include <pixman.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/gdi/gditypes.h"

namespace host {

class TRegion {
public:
    TRegion();
    explicit TRegion(const RECT& R);
    TRegion(int Left, int Top, int Right, int Bottom);
    TRegion(const TRegion& Other);
    TRegion(TRegion&& Other) noexcept;
    TRegion& operator=(const TRegion& Other);
    TRegion& operator=(TRegion&& Other) noexcept;
    ~TRegion();

    bool Empty() const;
    RECT Bounds() const;            // all zero when empty
    int Type() const;               // NULLREGION, SIMPLEREGION or COMPLEXREGION
    bool Contains(int X, int Y) const;
    bool Intersects(const RECT& R) const;
    bool operator==(const TRegion& Other) const;
    std::vector<RECT> Rects() const;

    void SetEmpty();
    void SetRect(const RECT& R);
    void Offset(int Dx, int Dy);
    void Intersect(const TRegion& Other);
    void Intersect(const RECT& R);
    void Union(const TRegion& Other);
    void Union(const RECT& R);
    void Subtract(const TRegion& Other);
    void Xor(const TRegion& Other);

    pixman_region32_t* Raw() { return &FRgn; }
    const pixman_region32_t* Raw() const { return &FRgn; }

private:
    pixman_region32_t FRgn;
};

// The pixels whose centres the fill rule (ALTERNATE or WINDING) puts inside the
// polygons (Polygons of them, Counts[i] points each) after moving every point by
// (Dx, Dy); only the part inside Bound when Bound is given (much faster than
// intersecting afterwards when the polygon reaches far beyond it). Rows beyond
// 2^18 and columns beyond 2^30 from the origin are left out. Throws std::bad_alloc.
TRegion PolygonRegion(const POINT* Points, const int* Counts, int Polygons, int FillMode, int64_t Dx = 0,
                      int64_t Dy = 0, const RECT* Bound = nullptr);
// The same scan without building a region: Rows(Context, Y, Y1, Xs, Spans) is called
// for runs of rows top to bottom, each row of Y .. Y1 - 1 covering the Spans column
// ranges [Xs[2i], Xs[2i + 1]), left to right, apart, within Bound (Spans may be 0).
using TPolygonRows = void (*)(void* Context, int Y, int Y1, const int* Xs, size_t Spans);
void ScanPolygon(const POINT* Points, const int* Counts, int Polygons, int FillMode, int64_t Dx, int64_t Dy,
                 const RECT* Bound, TPolygonRows Rows, void* Context);

}  // namespace host
