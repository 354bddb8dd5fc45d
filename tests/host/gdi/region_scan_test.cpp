// Polygon regions checked pixel by pixel against the fill rules, and copies through a region against the clip path.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "host/gdi/blit_region.h"
#include "host/gdi/gdi.h"
#include "tests/host/gdi/region_reference.h"

namespace {

using namespace host;

using regionref::Inside;

// The region the fill rule gives over [X0, X1) x [Y0, Y1), built from row runs by
// region unions (so in the canonical banded form).
HRGN Reference(const std::vector<POINT>& Pts, const std::vector<int>& Counts, bool Alternate, int X0, int Y0, int X1,
               int Y1) {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    for (int y = Y0; y < Y1; ++y)
        for (int x = X0; x < X1;) {
            if (!Inside(Pts, Counts, x, y, Alternate)) {
                ++x;
                continue;
            }
            int e = x;
            while (e < X1 && Inside(Pts, Counts, e, y, Alternate)) ++e;
            HRGN run = CreateRectRgn(x, y, e, y + 1);
            CombineRgn(r, r, run, RGN_OR);
            DeleteObject(run);
            x = e;
        }
    return r;
}

TEST(GdiRegionScan, OddPolygonsFollowTheFillRulesExactlyInCanonicalForm) {
    std::mt19937 rng(20261206);
    auto coord = [&](int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(rng); };
    for (int iter = 0; iter < 300; ++iter) {
        std::vector<POINT> pts;
        std::vector<int> counts;
        const int polys = coord(1, 3);
        for (int p = 0; p < polys; ++p) {
            const int n = coord(1, 12);
            counts.push_back(n);
            for (int i = 0; i < n; ++i) {
                switch (iter % 4) {
                case 0: pts.push_back(POINT{coord(-5, 45), coord(-5, 45)}); break;  // self-intersecting
                case 1:  // points on a coarse grid: collinear runs, repeats, shared edges
                    pts.push_back(POINT{10 * coord(0, 4), 10 * coord(0, 4)});
                    break;
                case 2:  // spikes: steep and shallow edges, repeated points
                    pts.push_back(i % 3 == 2 && i > 0 ? pts.back() : POINT{coord(0, 40), coord(0, 2) * 20});
                    break;
                default: pts.push_back(POINT{coord(-1000, 1000) / 25, coord(0, 40)}); break;
                }
            }
        }
        for (bool alternate : {false, true}) {
            HRGN r = CreatePolyPolygonRgn(pts.data(), counts.data(), int(counts.size()), alternate ? ALTERNATE : WINDING);
            ASSERT_NE(r, nullptr);
            HRGN want = Reference(pts, counts, alternate, -45, -10, 50, 50);
            // Same rectangles in the same order: the bands are merged as region algebra merges them.
            ASSERT_EQ(GetRegionRects(r), GetRegionRects(want)) << "polygon " << iter << (alternate ? " alternate" : " winding");
            RECT a, b;
            EXPECT_EQ(GetRgnBox(r, &a), GetRgnBox(want, &b));
            EXPECT_EQ(a, b);
            DeleteObject(r);
            DeleteObject(want);
        }
    }
}

TEST(GdiRegionScan, HugeCoordinatesStayExact) {
    // Edges whose slopes need more than 64 bits on the way: sampled windows far apart.
    const std::vector<POINT> tri = {{-2000000000, -1999999999}, {2147483647, -7}, {-3, 2000000001}};
    const std::vector<POINT> sliver = {{-2147483647, 0}, {2147483647, 3}, {2147483647, 5}, {-2147483647, 1}};
    const std::vector<int> three{3}, four{4};
    HRGN t = CreatePolygonRgn(tri.data(), 3, WINDING), s = CreatePolygonRgn(sliver.data(), 4, ALTERNATE);
    ASSERT_NE(t, nullptr);
    ASSERT_NE(s, nullptr);
    for (POINT c : {POINT{0, 0}, POINT{-100000, 90000}, POINT{200000, -100000}, POINT{-250000, -250000}}) {
        for (int y = c.y - 6; y < c.y + 6; ++y)
            for (int x = c.x - 6; x < c.x + 6; ++x)
                ASSERT_EQ(PtInRegion(t, x, y) != 0, Inside(tri, three, x, y, false)) << x << "," << y;
    }
    for (int x : {-1000000000, -5, 0, 3, 1000000000})
        for (int y = -1; y < 7; ++y) ASSERT_EQ(PtInRegion(s, x, y) != 0, Inside(sliver, four, x, y, true)) << x << "," << y;
    DeleteObject(t);
    DeleteObject(s);
}

// A 32-bit picture in its own memory DC.
struct TPic {
    TPic(int W, int H, uint32_t Seed) : W(W), H(H) {
        Dc = CreateCompatibleDC(nullptr);
        Bmp = CreateBitmap(W, H, 1, 32, nullptr);
        Old = SelectObject(Dc, Bmp);
        std::vector<uint32_t> p(size_t(W) * H);
        for (auto& v : p) v = (Seed = Seed * 1664525u + 1013904223u) >> 8;
        SetBitmapBits(Bmp, DWORD(p.size() * 4), p.data());
    }
    ~TPic() {
        SelectObject(Dc, Old);
        DeleteObject(Bmp);
        DeleteDC(Dc);
    }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> p(size_t(W) * H);
        GetBitmapBits(Bmp, LONG(p.size() * 4), p.data());
        return p;
    }
    int W, H;
    HDC Dc;
    HBITMAP Bmp;
    HGDIOBJ Old;
};

// The reference copy through a region: ANDed into a saved clip for an ordinary blit.
void CopyThroughClip(HDC Dest, int X, int Y, int W, int H, HDC Src, int SX, int SY, HRGN Rgn) {
    const int saved = SaveDC(Dest);
    ExtSelectClipRgn(Dest, Rgn, RGN_AND);
    BitBlt(Dest, X, Y, W, H, Src, SX, SY, SRCCOPY);
    RestoreDC(Dest, saved);
}

TEST(GdiBitBltRgn, CopiesWhatTheRegionAndTheClipBothAllowAndLeavesTheClip) {
    POINT star[5];
    const int xs[5] = {30, 52, -8, 68, 8}, ys[5] = {-6, 50, 14, 14, 50};
    for (int i = 0; i < 5; ++i) star[i] = POINT{xs[i], ys[i]};
    enum { noClip, rectClip, twoRects };
    for (int clip : {noClip, rectClip, twoRects})
        for (int org : {0, 7})
            for (int srcW : {60, 33}) {
                SCOPED_TRACE(testing::Message() << "clip " << clip << " origin " << org << " source " << srcW);
                TPic fast(60, 44, 1), slow(60, 44, 1), poly(60, 44, 1), src(srcW, 40, 2);
                HRGN rgn = CreatePolygonRgn(star, 5, WINDING);
                for (HDC dc : {fast.Dc, slow.Dc, poly.Dc}) {
                    SetWindowOrgEx(dc, org, -org / 2, nullptr);
                    if (clip != noClip) IntersectClipRect(dc, 4, 3, 50, 40);
                    if (clip == twoRects) ExcludeClipRect(dc, 20, 10, 30, 60);
                }
                SetWindowOrgEx(src.Dc, -3, 2, nullptr);
                HRGN before = CreateRectRgn(0, 0, 0, 0), after = CreateRectRgn(0, 0, 0, 0);
                const int had = GetClipRgn(fast.Dc, before);
                EXPECT_TRUE(BitBltRgn(fast.Dc, 2, 1, 55, 41, src.Dc, 1, 0, rgn));
                CopyThroughClip(slow.Dc, 2, 1, 55, 41, src.Dc, 1, 0, rgn);
                EXPECT_EQ(fast.Pixels(), slow.Pixels());
                // The same star given as a polygon in logical coordinates.
                POINT logical[5];
                for (int i = 0; i < 5; ++i) logical[i] = POINT{star[i].x + org, star[i].y - org / 2};
                EXPECT_TRUE(BitBltPolygon(poly.Dc, 2, 1, 55, 41, src.Dc, 1, 0, logical, 5, WINDING));
                EXPECT_EQ(poly.Pixels(), slow.Pixels());
                EXPECT_EQ(GetClipRgn(fast.Dc, after), had);
                if (had == 1) {
                    EXPECT_TRUE(EqualRgn(before, after));
                }
                DeleteObject(before);
                DeleteObject(after);
                DeleteObject(rgn);
            }
}

TEST(GdiBitBltRgn, SameSurfaceBadHandlesAndEmptyRegions) {
    POINT tri[3] = {{0, 0}, {40, 0}, {0, 30}};
    HRGN rgn = CreatePolygonRgn(tri, 3, ALTERNATE);
    // Within one surface the overlapping copy reads every pixel before it is overwritten.
    TPic a(40, 30, 5), b(40, 30, 5);
    EXPECT_TRUE(BitBltRgn(a.Dc, 3, 2, 40, 30, a.Dc, 0, 0, rgn));
    CopyThroughClip(b.Dc, 3, 2, 40, 30, b.Dc, 0, 0, rgn);
    EXPECT_EQ(a.Pixels(), b.Pixels());
    // Bad handles fail and draw nothing; an empty region or block draws nothing.
    TPic c(40, 30, 6), d(40, 30, 7);
    const std::vector<uint32_t> was = c.Pixels();
    HRGN gone = CreateRectRgn(0, 0, 5, 5), empty = CreateRectRgn(0, 0, 0, 0);
    DeleteObject(gone);
    EXPECT_FALSE(BitBltRgn(c.Dc, 0, 0, 40, 30, d.Dc, 0, 0, gone));
    EXPECT_FALSE(BitBltRgn(c.Dc, 0, 0, 40, 30, nullptr, 0, 0, rgn));
    EXPECT_FALSE(BitBltRgn(nullptr, 0, 0, 40, 30, d.Dc, 0, 0, rgn));
    EXPECT_TRUE(BitBltRgn(c.Dc, 0, 0, 40, 30, d.Dc, 0, 0, empty));
    EXPECT_TRUE(BitBltRgn(c.Dc, 0, 0, -40, 30, d.Dc, 0, 0, rgn));
    EXPECT_FALSE(BitBltPolygon(c.Dc, 0, 0, 40, 30, d.Dc, 0, 0, tri, 3, 0));  // bad fill mode
    EXPECT_FALSE(BitBltPolygon(c.Dc, 0, 0, 40, 30, d.Dc, 0, 0, nullptr, 3, WINDING));
    EXPECT_TRUE(BitBltPolygon(c.Dc, 0, 0, 40, 30, d.Dc, 0, 0, tri, 2, WINDING));  // two points: nothing
    EXPECT_EQ(c.Pixels(), was);
    DeleteObject(empty);
    DeleteObject(rgn);
}

}  // namespace
