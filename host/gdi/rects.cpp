// The rectangle helpers: SetRect, InflateRect, IntersectRect, UnionRect, SubtractRect and the rest.
#include <algorithm>

#include "host/gdi/gdi.h"

namespace host {

namespace {

bool Empty(const RECT& R) { return R.left >= R.right || R.top >= R.bottom; }

}  // namespace

BOOL SetRect(RECT* R, int Left, int Top, int Right, int Bottom) {
    if (R == nullptr) return FALSE;
    *R = RECT{Left, Top, Right, Bottom};
    return TRUE;
}

BOOL SetRectEmpty(RECT* R) {
    if (R == nullptr) return FALSE;
    *R = RECT{};
    return TRUE;
}

BOOL CopyRect(RECT* Dst, const RECT* Src) {
    if (Dst == nullptr || Src == nullptr) return FALSE;
    *Dst = *Src;
    return TRUE;
}

BOOL InflateRect(RECT* R, int Dx, int Dy) {
    if (R == nullptr) return FALSE;
    R->left -= Dx;
    R->top -= Dy;
    R->right += Dx;
    R->bottom += Dy;
    return TRUE;
}

BOOL OffsetRect(RECT* R, int Dx, int Dy) {
    if (R == nullptr) return FALSE;
    R->left += Dx;
    R->right += Dx;
    R->top += Dy;
    R->bottom += Dy;
    return TRUE;
}

BOOL IntersectRect(RECT* Dst, const RECT* A, const RECT* B) {
    if (Dst == nullptr || A == nullptr || B == nullptr) return FALSE;
    RECT r{std::max(A->left, B->left), std::max(A->top, B->top), std::min(A->right, B->right),
           std::min(A->bottom, B->bottom)};
    if (Empty(*A) || Empty(*B) || Empty(r)) {
        *Dst = RECT{};
        return FALSE;
    }
    *Dst = r;
    return TRUE;
}

BOOL UnionRect(RECT* Dst, const RECT* A, const RECT* B) {
    if (Dst == nullptr || A == nullptr || B == nullptr) return FALSE;
    bool ea = Empty(*A), eb = Empty(*B);
    if (ea && eb) {
        *Dst = RECT{};
        return FALSE;
    }
    if (ea) {
        *Dst = *B;
    } else if (eb) {
        *Dst = *A;
    } else {
        *Dst = RECT{std::min(A->left, B->left), std::min(A->top, B->top), std::max(A->right, B->right),
                    std::max(A->bottom, B->bottom)};
    }
    return TRUE;
}

// A minus B when that is a rectangle: B must cover A completely along one axis.
BOOL SubtractRect(RECT* Dst, const RECT* A, const RECT* B) {
    if (Dst == nullptr || A == nullptr || B == nullptr) return FALSE;
    RECT r = *A;
    RECT x;
    if (Empty(*A)) {
        *Dst = RECT{};
        return FALSE;
    }
    if (IntersectRect(&x, A, B)) {
        if (x.left == r.left && x.right == r.right) {  // a full-width band
            if (x.top == r.top)
                r.top = x.bottom;
            else if (x.bottom == r.bottom)
                r.bottom = x.top;
        } else if (x.top == r.top && x.bottom == r.bottom) {  // a full-height band
            if (x.left == r.left)
                r.left = x.right;
            else if (x.right == r.right)
                r.right = x.left;
        }
    }
    if (Empty(r)) {
        *Dst = RECT{};
        return FALSE;
    }
    *Dst = r;
    return TRUE;
}

BOOL EqualRect(const RECT* A, const RECT* B) {
    if (A == nullptr || B == nullptr) return FALSE;
    return *A == *B ? TRUE : FALSE;
}

BOOL IsRectEmpty(const RECT* R) { return R == nullptr || Empty(*R) ? TRUE : FALSE; }

BOOL PtInRect(const RECT* R, POINT P) {
    if (R == nullptr) return FALSE;
    return P.x >= R->left && P.x < R->right && P.y >= R->top && P.y < R->bottom ? TRUE : FALSE;
}

}  // namespace host
