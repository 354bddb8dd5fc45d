// TRegion: the painter's region value type, a thin owner of a pixman_region32_t.
#include "host/gdi/region.h"

#include <cstddef>
#include <new>

namespace host {

namespace {

// pixman boxes are [x1, x2) x [y1, y2); an empty or inverted rectangle gives no box.
bool ToBox(const RECT& R, pixman_box32_t& B) {
    if (R.right <= R.left || R.bottom <= R.top) return false;
    B = {R.left, R.top, R.right, R.bottom};
    return true;
}

void Check(pixman_bool_t Ok) {
    if (!Ok) throw std::bad_alloc();
}

}  // namespace

TRegion::TRegion() { pixman_region32_init(&FRgn); }

TRegion::TRegion(const RECT& R) {
    pixman_region32_init(&FRgn);
    SetRect(R);
}

TRegion::TRegion(int Left, int Top, int Right, int Bottom) : TRegion(RECT{Left, Top, Right, Bottom}) {}

TRegion::TRegion(const TRegion& Other) {
    pixman_region32_init(&FRgn);
    Check(pixman_region32_copy(&FRgn, &Other.FRgn));
}

TRegion::TRegion(TRegion&& Other) noexcept {
    // A pixman region owns at most one heap block (data); moving it is a struct copy.
    FRgn = Other.FRgn;
    pixman_region32_init(&Other.FRgn);
}

TRegion& TRegion::operator=(const TRegion& Other) {
    if (this != &Other) Check(pixman_region32_copy(&FRgn, &Other.FRgn));
    return *this;
}

TRegion& TRegion::operator=(TRegion&& Other) noexcept {
    if (this != &Other) {
        pixman_region32_fini(&FRgn);
        FRgn = Other.FRgn;
        pixman_region32_init(&Other.FRgn);
    }
    return *this;
}

TRegion::~TRegion() { pixman_region32_fini(&FRgn); }

bool TRegion::Empty() const { return !pixman_region32_not_empty(&FRgn); }

RECT TRegion::Bounds() const {
    if (Empty()) return RECT{};
    const pixman_box32_t* b = pixman_region32_extents(&FRgn);
    return RECT{b->x1, b->y1, b->x2, b->y2};
}

int TRegion::Type() const {
    if (Empty()) return NULLREGION;
    return pixman_region32_n_rects(&FRgn) == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool TRegion::Contains(int X, int Y) const { return pixman_region32_contains_point(&FRgn, X, Y, nullptr); }

bool TRegion::Intersects(const RECT& R) const {
    pixman_box32_t b;
    if (!ToBox(R, b)) return false;
    return pixman_region32_contains_rectangle(&FRgn, &b) != PIXMAN_REGION_OUT;
}

bool TRegion::operator==(const TRegion& Other) const {
    bool e1 = Empty(), e2 = Other.Empty();
    if (e1 || e2) return e1 == e2;  // empty regions may keep different extents
    return pixman_region32_equal(&FRgn, &Other.FRgn);
}

std::vector<RECT> TRegion::Rects() const {
    std::vector<RECT> out;
    if (Empty()) return out;
    int n = 0;
    const pixman_box32_t* b = pixman_region32_rectangles(&FRgn, &n);
    out.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) out.push_back(RECT{b[i].x1, b[i].y1, b[i].x2, b[i].y2});
    return out;
}

void TRegion::SetEmpty() { pixman_region32_clear(&FRgn); }

void TRegion::SetRect(const RECT& R) {
    pixman_box32_t b;
    if (ToBox(R, b))
        pixman_region32_reset(&FRgn, &b);
    else
        pixman_region32_clear(&FRgn);
}

void TRegion::Offset(int Dx, int Dy) {
    if (Empty()) {
        pixman_region32_clear(&FRgn);
        return;
    }
    pixman_region32_translate(&FRgn, Dx, Dy);
}

void TRegion::Intersect(const TRegion& Other) {
    Check(pixman_region32_intersect(&FRgn, &FRgn, &Other.FRgn));
    if (Empty()) pixman_region32_clear(&FRgn);
}

void TRegion::Intersect(const RECT& R) {
    if (R.right <= R.left || R.bottom <= R.top) {
        pixman_region32_clear(&FRgn);
        return;
    }
    Check(pixman_region32_intersect_rect(&FRgn, &FRgn, R.left, R.top, unsigned(int64_t(R.right) - R.left),
                                         unsigned(int64_t(R.bottom) - R.top)));
    if (Empty()) pixman_region32_clear(&FRgn);
}

void TRegion::Union(const TRegion& Other) { Check(pixman_region32_union(&FRgn, &FRgn, &Other.FRgn)); }

void TRegion::Union(const RECT& R) {
    if (R.right <= R.left || R.bottom <= R.top) return;
    Check(pixman_region32_union_rect(&FRgn, &FRgn, R.left, R.top, unsigned(int64_t(R.right) - R.left),
                                     unsigned(int64_t(R.bottom) - R.top)));
}

void TRegion::Subtract(const TRegion& Other) {
    Check(pixman_region32_subtract(&FRgn, &FRgn, &Other.FRgn));
    if (Empty()) pixman_region32_clear(&FRgn);
}

void TRegion::Xor(const TRegion& Other) {
    TRegion a(*this), b(Other);
    a.Subtract(Other);
    b.Subtract(*this);
    a.Union(b);
    *this = std::move(a);
}

}  // namespace host
