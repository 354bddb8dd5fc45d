// TRegion: a value type over pixman's banded-rectangle regions, used by the painter and the windows layer.
#pragma once

#include <pixman.h>

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

}  // namespace host
