// Tests of regions: construction, algebra and its return codes, polygons by fill mode, ellipses and rounded rectangles.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <ostream>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gditest.h"
#include "host/gdi/region.h"

// Readable rectangles and points in failure messages.
namespace host {
[[maybe_unused]] static void PrintTo(const RECT& R, std::ostream* Os) {
    *Os << "{" << R.left << ", " << R.top << ", " << R.right << ", " << R.bottom << "}";
}
[[maybe_unused]] static void PrintTo(const POINT& P, std::ostream* Os) { *Os << "(" << P.x << ", " << P.y << ")"; }
}  // namespace host

namespace {

using namespace host;

// Owns a region handle for one test.
struct TRgn {
    explicit TRgn(HRGN H) : H(H) {}
    ~TRgn() {
        if (H != nullptr) DeleteObject(H);
    }
    TRgn(const TRgn&) = delete;
    TRgn& operator=(const TRgn&) = delete;
    operator HRGN() const { return H; }
    HRGN H;
};

RECT Box(HRGN R) {
    RECT b;
    GetRgnBox(R, &b);
    return b;
}

int Type(HRGN R) {
    RECT b;
    return GetRgnBox(R, &b);
}

// The region as rows of '#' and '.', over [0, W) x [0, H).
std::vector<std::string> Picture(HRGN R, int W, int H) {
    std::vector<std::string> rows;
    for (int y = 0; y < H; ++y) {
        std::string s;
        for (int x = 0; x < W; ++x) s += PtInRegion(R, x, y) ? '#' : '.';
        rows.push_back(s);
    }
    return rows;
}

TEST(GdiRegion, RectanglesAreNormalisedAndEmptyOnesAreNullRegions) {
    TRgn r(CreateRectRgn(10, 20, 0, 5));
    EXPECT_EQ(Type(r), SIMPLEREGION);
    EXPECT_EQ(Box(r), (RECT{0, 5, 10, 20}));
    EXPECT_TRUE(PtInRegion(r, 0, 5));
    EXPECT_FALSE(PtInRegion(r, 10, 5));  // right and bottom are outside
    EXPECT_FALSE(PtInRegion(r, 0, 20));
    TRgn e(CreateRectRgn(3, 3, 3, 10));
    ASSERT_NE(e.H, nullptr);
    EXPECT_EQ(Type(e), NULLREGION);
    EXPECT_EQ(Box(e), RECT{});
    RECT rr{9, 19, 100, 100};
    EXPECT_TRUE(RectInRegion(r, &rr));
    rr = RECT{10, 0, 20, 20};
    EXPECT_FALSE(RectInRegion(r, &rr));
    EXPECT_TRUE(SetRectRgn(e, 1, 1, 2, 2));
    EXPECT_EQ(Type(e), SIMPLEREGION);
    RECT in{4, 4, 8, 8};
    TRgn ind(CreateRectRgnIndirect(&in));
    EXPECT_EQ(Box(ind), in);
    EXPECT_EQ(GetRgnBox(r, nullptr), ERROR);
}

TEST(GdiRegion, CombineGivesTheResultTypeAndErrorForBadHandles) {
    TRgn a(CreateRectRgn(0, 0, 10, 10)), b(CreateRectRgn(5, 5, 15, 15)), d(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(Box(d), (RECT{5, 5, 10, 10}));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(Box(d), (RECT{0, 0, 15, 15}));
    EXPECT_FALSE(PtInRegion(d, 12, 2));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(d, 7, 7));
    EXPECT_TRUE(PtInRegion(d, 2, 2));
    EXPECT_TRUE(PtInRegion(d, 12, 12));
    EXPECT_EQ(CombineRgn(d, a, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_EQ(GetRegionRects(d), (std::vector<RECT>{{0, 0, 10, 5}, {0, 5, 5, 10}}));
    EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_COPY), SIMPLEREGION);  // COPY ignores the second
    EXPECT_TRUE(EqualRgn(d, a));

    TRgn far(CreateRectRgn(100, 100, 110, 110));
    EXPECT_EQ(CombineRgn(d, a, far, RGN_AND), NULLREGION);
    EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(CombineRgn(d, a, a, RGN_XOR), NULLREGION);
    // Side by side with the same height: one rectangle.
    TRgn right(CreateRectRgn(10, 0, 20, 10));
    EXPECT_EQ(CombineRgn(d, a, right, RGN_OR), SIMPLEREGION);
    EXPECT_EQ(Box(d), (RECT{0, 0, 20, 10}));

    // The destination may be a source.
    EXPECT_EQ(CombineRgn(a, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(a, 14, 14));

    HRGN gone = CreateRectRgn(0, 0, 1, 1);
    DeleteObject(gone);
    EXPECT_EQ(CombineRgn(d, gone, b, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(gone, a, b, RGN_OR), ERROR);
    EXPECT_EQ(CombineRgn(d, a, b, 0), ERROR);
    EXPECT_EQ(CombineRgn(d, a, b, 6), ERROR);
    EXPECT_EQ(OffsetRgn(gone, 1, 1), ERROR);
    EXPECT_FALSE(PtInRegion(gone, 0, 0));
    EXPECT_FALSE(EqualRgn(gone, gone));
}

TEST(GdiRegion, OffsetAndEquality) {
    TRgn a(CreateRectRgn(0, 0, 4, 4)), b(CreateRectRgn(10, 10, 14, 14));
    EXPECT_FALSE(EqualRgn(a, b));
    EXPECT_EQ(OffsetRgn(a, 10, 10), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(a, b));
    // Empty regions are equal wherever they came from.
    TRgn e1(CreateRectRgn(5, 5, 5, 5)), e2(CreateRectRgn(0, 0, 0, 0));
    OffsetRgn(e1, 3, 3);
    EXPECT_TRUE(EqualRgn(e1, e2));
    EXPECT_FALSE(EqualRgn(e1, a));
}

TEST(GdiRegion, RegionRectsAreBandedTopToBottomLeftToRight) {
    TRgn a(CreateRectRgn(0, 0, 10, 10)), b(CreateRectRgn(20, 5, 30, 15)), d(CreateRectRgn(0, 0, 0, 0));
    CombineRgn(d, a, b, RGN_OR);
    EXPECT_EQ(GetRegionRects(d),
              (std::vector<RECT>{{0, 0, 10, 5}, {0, 5, 10, 10}, {20, 5, 30, 10}, {20, 10, 30, 15}}));
    EXPECT_TRUE(GetRegionRects(nullptr).empty());
}

TEST(GdiRegion, PolygonsFillPixelsWhoseCentresAreInside) {
    // (0,0) (4,0) (0,4): the hypotenuse passes through pixel centres on the diagonal,
    // which stay outside (right edges are exclusive).
    POINT tri[] = {{0, 0}, {4, 0}, {0, 4}};
    TRgn r(CreatePolygonRgn(tri, 3, ALTERNATE));
    EXPECT_EQ(Picture(r, 5, 5), (std::vector<std::string>{"###..", "##...", "#....", ".....", "....."}));

    // A polygon of a rectangle is that rectangle.
    POINT sq[] = {{2, 3}, {12, 3}, {12, 9}, {2, 9}};
    TRgn p(CreatePolygonRgn(sq, 4, WINDING)), q(CreateRectRgn(2, 3, 12, 9));
    EXPECT_TRUE(EqualRgn(p, q));
    EXPECT_EQ(Type(p), SIMPLEREGION);

    // Either order of the points gives the same region.
    POINT rev[] = {{0, 4}, {4, 0}, {0, 0}};
    TRgn r2(CreatePolygonRgn(rev, 3, WINDING));
    EXPECT_TRUE(EqualRgn(r, r2));
}

TEST(GdiRegion, TrianglesSharingAnEdgeTileWithoutGapOrOverlap) {
    // Slices of a clock face around (50, 50): every pixel of the square in exactly one.
    const int n = 12;
    std::vector<HRGN> parts;
    for (int i = 0; i < n; ++i) {
        double a0 = 2 * M_PI * i / n, a1 = 2 * M_PI * (i + 1) / n;
        POINT tri[3] = {{50, 50},
                        {LONG(std::lround(50 + 70 * std::cos(a0))), LONG(std::lround(50 + 70 * std::sin(a0)))},
                        {LONG(std::lround(50 + 70 * std::cos(a1))), LONG(std::lround(50 + 70 * std::sin(a1)))}};
        parts.push_back(CreatePolygonRgn(tri, 3, ALTERNATE));
    }
    TRgn all(CreateRectRgn(0, 0, 0, 0)), overlap(CreateRectRgn(0, 0, 0, 0)), tmp(CreateRectRgn(0, 0, 0, 0));
    for (HRGN p : parts) {
        CombineRgn(tmp, all, p, RGN_AND);
        CombineRgn(overlap, overlap, tmp, RGN_OR);
        CombineRgn(all, all, p, RGN_OR);
    }
    EXPECT_EQ(Type(overlap), NULLREGION);
    // The union is the polygon through the outer points, which covers the centre area.
    TRgn inner(CreateRectRgn(20, 20, 80, 80)), missing(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(CombineRgn(missing, inner, all, RGN_DIFF), NULLREGION);
    for (HRGN p : parts) DeleteObject(p);
}

TEST(GdiRegion, StarFillsItsCentreOnlyWithWinding) {
    // A five-pointed star drawn in one stroke: its pentagon centre is wound twice.
    POINT star[5];
    for (int i = 0; i < 5; ++i) {
        double a = -M_PI / 2 + i * 4 * M_PI / 5;
        star[i] = POINT{LONG(std::lround(100 + 90 * std::cos(a))), LONG(std::lround(100 + 90 * std::sin(a)))};
    }
    TRgn alt(CreatePolygonRgn(star, 5, ALTERNATE)), wind(CreatePolygonRgn(star, 5, WINDING));
    EXPECT_FALSE(PtInRegion(alt, 100, 100));
    EXPECT_TRUE(PtInRegion(wind, 100, 100));
    // The points of the star are in both.
    EXPECT_TRUE(PtInRegion(alt, 100, 20));
    EXPECT_TRUE(PtInRegion(wind, 100, 20));
    // Winding covers everything alternate covers, and the difference is the pentagon.
    TRgn d(CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(CombineRgn(d, alt, wind, RGN_DIFF), NULLREGION);
    CombineRgn(d, wind, alt, RGN_DIFF);
    RECT b = Box(d);
    EXPECT_GT(b.left, 50);
    EXPECT_LT(b.right, 150);
    EXPECT_TRUE(PtInRegion(d, 100, 100));
    EXPECT_EQ(Box(alt), Box(wind));

    // Two nested squares in the same direction: a hole with ALTERNATE only.
    POINT two[] = {{0, 0}, {30, 0}, {30, 30}, {0, 30}, {10, 10}, {20, 10}, {20, 20}, {10, 20}};
    int counts[] = {4, 4};
    TRgn pa(CreatePolyPolygonRgn(two, counts, 2, ALTERNATE)), pw(CreatePolyPolygonRgn(two, counts, 2, WINDING));
    EXPECT_FALSE(PtInRegion(pa, 15, 15));
    EXPECT_TRUE(PtInRegion(pw, 15, 15));
    EXPECT_TRUE(PtInRegion(pa, 5, 15));
}

TEST(GdiRegion, DegeneratePolygonsGiveValidEmptyRegions) {
    POINT line[] = {{0, 0}, {10, 10}, {20, 20}};
    POINT flat[] = {{0, 5}, {10, 5}, {20, 5}};
    POINT one[] = {{3, 3}};
    for (auto [pts, n] : {std::pair{line, 3}, std::pair{flat, 3}, std::pair{one, 1}, std::pair{line, 2},
                          std::pair{line, 0}}) {
        HRGN r = CreatePolygonRgn(pts, n, ALTERNATE);
        ASSERT_NE(r, nullptr) << n;
        EXPECT_EQ(Type(r), NULLREGION);
        EXPECT_EQ(GetObjectType(r), OBJ_REGION);
        EXPECT_TRUE(DeleteObject(r));
    }
    EXPECT_EQ(CreatePolygonRgn(line, 3, 0), nullptr);  // bad fill mode
    EXPECT_EQ(CreatePolygonRgn(nullptr, 3, WINDING), nullptr);
    EXPECT_EQ(CreatePolygonRgn(line, -1, WINDING), nullptr);
    int bad[] = {3, -2};
    EXPECT_EQ(CreatePolyPolygonRgn(line, bad, 2, WINDING), nullptr);
}

TEST(GdiRegion, HugePolygonsFinishQuicklyAndStayValid) {
    auto t0 = std::chrono::steady_clock::now();
    POINT big[] = {{-2000000000, -2000000000}, {2000000000, -1000000000}, {0, 2000000000}};
    TRgn r(CreatePolygonRgn(big, 3, WINDING));
    ASSERT_NE(r.H, nullptr);
    EXPECT_TRUE(PtInRegion(r, 0, 0));
    POINT tall[] = {{0, -2000000000}, {1, -2000000000}, {1, 2000000000}, {0, 2000000000}};
    TRgn t(CreatePolygonRgn(tall, 4, ALTERNATE));
    EXPECT_TRUE(PtInRegion(t, 0, 12345));
    EXPECT_FALSE(PtInRegion(t, 1, 12345));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(10));
}

// Checks that a region over [0, W) x [0, H) is mirror-symmetric both ways.
void ExpectSymmetric(HRGN R, int W, int H) {
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            ASSERT_EQ(PtInRegion(R, x, y), PtInRegion(R, W - 1 - x, y)) << x << "," << y << " of " << W << "x" << H;
            ASSERT_EQ(PtInRegion(R, x, y), PtInRegion(R, x, H - 1 - y)) << x << "," << y << " of " << W << "x" << H;
        }
}

TEST(GdiRegion, EllipsesAreSymmetricAndFillTheirBox) {
    for (int w : {1, 2, 3, 7, 10, 31, 64})
        for (int h : {1, 2, 5, 10, 33}) {
            TRgn e(CreateEllipticRgn(0, 0, w, h));
            ExpectSymmetric(e, w, h);
            if (w >= 3 && h >= 3) {
                EXPECT_EQ(Box(e), (RECT{0, 0, w, h})) << w << "x" << h;
                EXPECT_FALSE(PtInRegion(e, 0, 0)) << w << "x" << h;  // corners cut
                EXPECT_TRUE(PtInRegion(e, w / 2, h / 2));
            }
        }
    TRgn c(CreateEllipticRgn(0, 0, 10, 10));
    EXPECT_EQ(Picture(c, 10, 10), (std::vector<std::string>{"...####...", ".########.", ".########.", "##########",
                                                             "##########", "##########", "##########", ".########.",
                                                             ".########.", "...####..."}));
    RECT r{20, 10, 0, 0};  // reversed: put right
    TRgn ind(CreateEllipticRgnIndirect(&r));
    EXPECT_EQ(Box(ind), (RECT{0, 0, 20, 10}));
    TRgn flat(CreateEllipticRgn(0, 0, 10, 0));
    EXPECT_EQ(Type(flat), NULLREGION);
}

TEST(GdiRegion, RoundRectanglesCutOnlyTheirCorners) {
    TRgn r(CreateRoundRectRgn(0, 0, 20, 12, 8, 6));
    ExpectSymmetric(r, 20, 12);
    EXPECT_FALSE(PtInRegion(r, 0, 0));
    EXPECT_TRUE(PtInRegion(r, 4, 0));    // beyond the corner's width: straight edge
    EXPECT_TRUE(PtInRegion(r, 0, 3));    // beyond the corner's height
    EXPECT_TRUE(PtInRegion(r, 15, 11));
    EXPECT_EQ(Box(r), (RECT{0, 0, 20, 12}));

    TRgn square(CreateRoundRectRgn(0, 0, 20, 12, 0, 0)), rect(CreateRectRgn(0, 0, 20, 12));
    EXPECT_TRUE(EqualRgn(square, rect));
    // Corners as large as the rectangle make the ellipse.
    TRgn full(CreateRoundRectRgn(5, 5, 25, 17, 100, 100)), ell(CreateEllipticRgn(5, 5, 25, 17));
    EXPECT_TRUE(EqualRgn(full, ell));
}

TEST(GdiRegion, ValueTypeAlgebra) {
    TRegion a(0, 0, 10, 10), b(RECT{5, 0, 15, 10});
    TRegion c(a);
    c.Union(b);
    EXPECT_EQ(c.Type(), SIMPLEREGION);
    EXPECT_EQ(c.Bounds(), (RECT{0, 0, 15, 10}));
    c.Xor(a);
    EXPECT_EQ(c.Bounds(), (RECT{10, 0, 15, 10}));
    TRegion moved(std::move(c));
    EXPECT_TRUE(moved.Contains(12, 5));
    c = moved;
    c.Intersect(RECT{0, 0, 11, 1});
    EXPECT_EQ(c.Rects(), (std::vector<RECT>{{10, 0, 11, 1}}));
    c.Intersect(RECT{5, 5, 5, 5});
    EXPECT_TRUE(c.Empty());
    EXPECT_EQ(c, TRegion());
    EXPECT_FALSE(a.Intersects(RECT{10, 0, 20, 10}));
    EXPECT_TRUE(a.Intersects(RECT{9, 9, 20, 10}));
}

}  // namespace
