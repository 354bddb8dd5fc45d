// Tests of the painter's primitives: ROP2 codes, lines and dashes, shapes and their edge rules, arcs, region fills, focus rectangles, edges, frame controls, icons and disabled drawing.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"

using namespace host;

namespace {

using TPixels = std::set<std::pair<int, int>>;

constexpr uint32_t kWhite = 0xFFFFFF;

class DrawTest : public ::testing::Test {
protected:
    static constexpr int W = 48, H = 48;
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ oldBmp = nullptr;
    std::vector<HGDIOBJ> made;

    void SetUp() override {
        ResetSysColors();
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateBitmap(W, H, 1, 32, nullptr);
        ASSERT_NE(dc, nullptr);
        ASSERT_NE(bmp, nullptr);
        oldBmp = SelectObject(dc, bmp);
        Clear(kWhite);
    }
    void TearDown() override {
        SelectObject(dc, GetStockObject(BLACK_PEN));
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        SelectObject(dc, oldBmp);
        DeleteDC(dc);
        DeleteObject(bmp);
        for (HGDIOBJ o : made) DeleteObject(o);
        ResetSysColors();
    }

    gdi::TBitmapObj* Bits(HBITMAP b) { return gdi::Find<gdi::TBitmapObj>(b); }
    // The pixel 0x00RRGGBB at surface (x, y).
    uint32_t P(int x, int y) { return Bits(bmp)->Row(y)[x] & 0xFFFFFF; }
    void Set(int x, int y, uint32_t rgb) { Bits(bmp)->Row(y)[x] = rgb; }
    void Clear(uint32_t rgb) {
        for (uint32_t& p : Bits(bmp)->Pixels) p = rgb;
    }
    // Every pixel that is not Bg.
    TPixels Touched(uint32_t Bg = kWhite) {
        TPixels s;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (P(x, y) != Bg) s.insert({x, y});
        return s;
    }
    HGDIOBJ Use(HGDIOBJ o) {
        made.push_back(o);
        SelectObject(dc, o);
        return o;
    }
    void Pen(int Style, int Width, uint32_t Rgb) { Use(CreatePen(Style, Width, gdi::ToColorRef(Rgb))); }
    void Brush(uint32_t Rgb) { Use(CreateSolidBrush(gdi::ToColorRef(Rgb))); }
    void Line(int x0, int y0, int x1, int y1) {
        MoveToEx(dc, x0, y0, nullptr);
        LineTo(dc, x1, y1);
    }
};

// ---- ROP2 ----

TEST_F(DrawTest, EveryRop2CodeCombinesPenAndDestinationBitwise) {
    // The pen and destination values hold all four bit pairs in every nibble.
    const uint32_t pen = 0xCCCCCC, dst = 0xF0F0F0;
    const std::vector<std::pair<int, uint32_t>> expect = {
        {R2_BLACK, 0},           {R2_NOTMERGEPEN, ~(pen | dst)}, {R2_MASKNOTPEN, ~pen & dst},
        {R2_NOTCOPYPEN, ~pen},   {R2_MASKPENNOT, pen & ~dst},    {R2_NOT, ~dst},
        {R2_XORPEN, pen ^ dst},  {R2_NOTMASKPEN, ~(pen & dst)},  {R2_MASKPEN, pen & dst},
        {R2_NOTXORPEN, ~(pen ^ dst)}, {R2_NOP, dst},             {R2_MERGENOTPEN, ~pen | dst},
        {R2_COPYPEN, pen},       {R2_MERGEPENNOT, pen | ~dst},   {R2_MERGEPEN, pen | dst},
        {R2_WHITE, 0xFFFFFF}};
    Pen(PS_SOLID, 1, pen);
    for (size_t i = 0; i < expect.size(); ++i) {
        const int y = int(i);
        Set(0, y, dst);
        SetROP2(dc, expect[i].first);
        Line(0, y, 1, y);  // one pixel: the end point is left out
        EXPECT_EQ(P(0, y), expect[i].second & 0xFFFFFF) << "ROP2 " << expect[i].first;
        EXPECT_EQ(P(1, y), kWhite);
        EXPECT_EQ(gdi::ApplyRop2(expect[i].first, pen, dst), expect[i].second & 0xFFFFFF);
    }
}

TEST_F(DrawTest, ShapesFillThroughTheRop2TooButFillRectDoesNot) {
    Clear(0x123456);
    SelectObject(dc, GetStockObject(NULL_PEN));
    Brush(0x00FF00);
    SetROP2(dc, R2_XORPEN);
    Rectangle(dc, 2, 2, 10, 10);
    EXPECT_EQ(P(3, 3), 0x123456u ^ 0x00FF00u);
    Rectangle(dc, 2, 2, 10, 10);
    EXPECT_EQ(Touched(0x123456), TPixels{});
    RECT r{2, 2, 10, 10};
    FillRect(dc, &r, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
    EXPECT_EQ(P(3, 3), 0x00FF00u);
}

// ---- lines ----

TEST_F(DrawTest, LineLeavesOutItsEndPointAndBreaksTiesUpwards) {
    Pen(PS_SOLID, 1, 0);
    Line(0, 0, 4, 1);  // the true line passes half-way between rows at x = 2
    EXPECT_EQ(Touched(), (TPixels{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
    Clear(kWhite);
    Line(4, 1, 0, 0);  // the same pixels from the other end, the start drawn instead
    EXPECT_EQ(Touched(), (TPixels{{4, 1}, {3, 1}, {2, 0}, {1, 0}}));
    Clear(kWhite);
    Line(0, 0, 1, 4);  // y-major: a tie goes left
    EXPECT_EQ(Touched(), (TPixels{{0, 0}, {0, 1}, {0, 2}, {1, 3}}));
}

TEST_F(DrawTest, LinesInAllEightOctantsLightMirroredPixels) {
    Pen(PS_SOLID, 1, 0);
    // (5, 2) steps: no ties, so every octant gives the mirror image of the first.
    const TPixels base = {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}};
    const int c = 20;
    for (int sx : {1, -1})
        for (int sy : {1, -1})
            for (bool swap : {false, true}) {
                Clear(kWhite);
                const int dx = (swap ? 2 : 5) * sx, dy = (swap ? 5 : 2) * sy;
                Line(c, c, c + dx, c + dy);
                TPixels expect;
                for (auto [u, v] : base) {
                    int x = u * sx, y = v * sy;
                    if (swap) {
                        x = v * sx;
                        y = u * sy;
                    }
                    expect.insert({c + x, c + y});
                }
                EXPECT_EQ(Touched(), expect) << "to " << dx << "," << dy;
            }
}

TEST_F(DrawTest, LineToPolylineToAndPolylineKeepTheCurrentPositionAsTheSystemDoes) {
    Pen(PS_SOLID, 1, 0);
    MoveToEx(dc, 1, 1, nullptr);
    LineTo(dc, 6, 1);
    POINT cp;
    GetCurrentPositionEx(dc, &cp);
    EXPECT_EQ(cp, (POINT{6, 1}));
    const POINT pts[] = {{6, 5}, {2, 5}};
    PolylineTo(dc, pts, 2);
    GetCurrentPositionEx(dc, &cp);
    EXPECT_EQ(cp, (POINT{2, 5}));
    EXPECT_EQ(P(6, 1), 0u);  // the corner: start of the second segment
    EXPECT_EQ(P(6, 5), 0u);
    EXPECT_EQ(P(2, 5), kWhite);  // the last end point
    const POINT line[] = {{20, 20}, {25, 20}};
    Polyline(dc, line, 2);
    GetCurrentPositionEx(dc, &cp);
    EXPECT_EQ(cp, (POINT{2, 5}));
    EXPECT_EQ(P(24, 20), 0u);
    EXPECT_EQ(P(25, 20), kWhite);
}

TEST_F(DrawTest, XorPolylineDrawsEachCornerOnce) {
    Pen(PS_SOLID, 1, 0xFFFFFF);
    Clear(0);
    SetROP2(dc, R2_XORPEN);
    const POINT pts[] = {{2, 2}, {8, 2}, {8, 8}, {2, 8}, {2, 2}};
    Polyline(dc, pts, 5);
    for (int x = 2; x <= 8; ++x) {
        EXPECT_EQ(P(x, 2), kWhite);
        EXPECT_EQ(P(x, 8), kWhite);
    }
    EXPECT_EQ(Touched(0).size(), 24u);
}

TEST_F(DrawTest, DashedPensAlternateAndFillGapsOnlyWhenOpaque) {
    Pen(PS_DOT, 1, 0);
    SetBkColor(dc, RGB(255, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    Line(0, 0, 12, 0);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(P(x, 0), (x / 3) % 2 == 0 ? 0u : kWhite) << x;
    SetBkMode(dc, OPAQUE);
    Line(0, 1, 12, 1);
    for (int x = 0; x < 12; ++x) EXPECT_EQ(P(x, 1), (x / 3) % 2 == 0 ? 0u : 0xFF0000u) << x;
    Pen(PS_DASH, 1, 0);
    Line(0, 2, 30, 2);
    EXPECT_EQ(P(17, 2), 0u);
    EXPECT_EQ(P(18, 2), 0xFF0000u);
    EXPECT_EQ(P(24, 2), 0u);
}

TEST_F(DrawTest, WidePensDrawRoundCappedStrokesOfTheirWidth) {
    Pen(PS_SOLID, 3, 0);
    Line(10, 10, 20, 10);
    TPixels t = Touched();
    EXPECT_EQ(t.count({10, 9}) + t.count({10, 10}) + t.count({10, 11}), 3u);
    EXPECT_FALSE(t.count({15, 8}));
    EXPECT_FALSE(t.count({15, 12}));
    EXPECT_TRUE(t.count({20, 10}));  // caps cover the end point
    EXPECT_TRUE(t.count({21, 10}));
    EXPECT_FALSE(t.count({22, 10}));
    EXPECT_TRUE(t.count({9, 10}));
    Clear(kWhite);
    Pen(PS_SOLID, 2, 0);
    Line(10, 30, 20, 30);
    t = Touched();
    for (int x = 10; x < 20; ++x) {
        EXPECT_TRUE(t.count({x, 29}) && t.count({x, 30})) << x;
        EXPECT_FALSE(t.count({x, 28}) || t.count({x, 31})) << x;
    }
}

// ---- shapes ----

TEST_F(DrawTest, RectangleLeavesOutTheRightColumnAndBottomRow) {
    Pen(PS_SOLID, 1, 0);
    Brush(0xFF0000);
    Rectangle(dc, 2, 3, 8, 7);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool in = x >= 2 && x <= 7 && y >= 3 && y <= 6;
            const bool edge = in && (x == 2 || x == 7 || y == 3 || y == 6);
            EXPECT_EQ(P(x, y), edge ? 0u : in ? 0xFF0000u : kWhite) << x << "," << y;
        }
    // Reversed corners are put in order.
    Clear(kWhite);
    Rectangle(dc, 8, 7, 2, 3);
    EXPECT_EQ(Touched().size(), 24u);
    EXPECT_EQ(P(7, 6), 0u);
}

TEST_F(DrawTest, RectangleWithANullPenFillsOnePixelLessEachWay) {
    SelectObject(dc, GetStockObject(NULL_PEN));
    Brush(0xFF0000);
    Rectangle(dc, 2, 3, 8, 7);
    TPixels expect;
    for (int y = 3; y < 6; ++y)
        for (int x = 2; x < 7; ++x) expect.insert({x, y});
    EXPECT_EQ(Touched(), expect);
}

TEST_F(DrawTest, NullBrushLeavesTheInsideAlone) {
    Pen(PS_SOLID, 1, 0);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Clear(0x00FF00);
    Rectangle(dc, 2, 2, 8, 8);
    EXPECT_EQ(P(4, 4), 0x00FF00u);
    EXPECT_EQ(P(2, 4), 0u);
}

TEST_F(DrawTest, InsideFramePensStayInsideTheRectangle) {
    Pen(PS_INSIDEFRAME, 4, 0);
    Brush(0xFF0000);
    Rectangle(dc, 10, 10, 30, 30);
    TPixels t = Touched();
    for (auto [x, y] : t) {
        EXPECT_GE(x, 10);
        EXPECT_LT(x, 30);
        EXPECT_GE(y, 10);
        EXPECT_LT(y, 30);
    }
    EXPECT_EQ(P(10, 20), 0u);
    EXPECT_EQ(P(13, 20), 0u);
    EXPECT_EQ(P(14, 20), 0xFF0000u);
    EXPECT_EQ(P(26, 20), 0u);
    EXPECT_EQ(P(29, 29), 0u);
    // A plain wide pen is centred on the outline: one pixel out for width 3.
    Clear(kWhite);
    Pen(PS_SOLID, 3, 0);
    Rectangle(dc, 10, 10, 30, 30);
    EXPECT_EQ(P(9, 20), 0u);
    EXPECT_EQ(P(8, 20), kWhite);
    EXPECT_EQ(P(30, 20), 0u);
    EXPECT_EQ(P(31, 20), kWhite);
    EXPECT_EQ(P(12, 20), 0xFF0000u);
}

TEST_F(DrawTest, EllipseTouchesItsBoxSidesSymmetricallyAndNothingOutside) {
    Pen(PS_SOLID, 1, 0);
    Brush(0xFF0000);
    Ellipse(dc, 4, 6, 24, 20);  // 20 x 14
    TPixels t = Touched();
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (auto [x, y] : t) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
        EXPECT_EQ(P(x, y), P(4 + 23 - x, y)) << x << "," << y;
        EXPECT_EQ(P(x, y), P(x, 6 + 19 - y)) << x << "," << y;
    }
    EXPECT_EQ(minX, 4);
    EXPECT_EQ(maxX, 23);
    EXPECT_EQ(minY, 6);
    EXPECT_EQ(maxY, 19);
    EXPECT_EQ(P(14, 13), 0xFF0000u);
    EXPECT_EQ(P(4, 12), 0u);
    EXPECT_EQ(P(4, 6), kWhite);  // corners stay out
    // Every row of the outline is closed: the first and last pixels are the pen's.
    for (int y = 6; y < 20; ++y) {
        int first = -1, last = -1;
        for (int x = 0; x < W; ++x)
            if (P(x, y) != kWhite) {
                if (first < 0) first = x;
                last = x;
            }
        EXPECT_EQ(P(first, y), 0u);
        EXPECT_EQ(P(last, y), 0u);
    }
}

TEST_F(DrawTest, ClippedEllipseWithAMovedOriginTouchesNothingOutsideTheClip) {
    // The reference, drawn on its own bitmap without origin or clip.
    HDC ref = CreateCompatibleDC(nullptr);
    HBITMAP refBmp = CreateBitmap(W, H, 1, 32, nullptr);
    HGDIOBJ oldRef = SelectObject(ref, refBmp);
    for (uint32_t& p : Bits(refBmp)->Pixels) p = kWhite;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    made.push_back(pen);
    made.push_back(brush);
    SelectObject(ref, pen);
    SelectObject(ref, brush);
    Ellipse(ref, 5, 5, 35, 30);

    SelectObject(dc, pen);
    SelectObject(dc, brush);
    SetViewportOrgEx(dc, 3, 2, nullptr);
    IntersectClipRect(dc, 10, 10, 25, 20);  // logical: surface (13, 12) - (28, 22)
    Ellipse(dc, 2, 3, 32, 28);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool inClip = x >= 13 && x < 28 && y >= 12 && y < 22;
            EXPECT_EQ(P(x, y), inClip ? Bits(refBmp)->Row(y)[x] & 0xFFFFFF : kWhite) << x << "," << y;
        }
    SelectObject(ref, GetStockObject(BLACK_PEN));
    SelectObject(ref, GetStockObject(WHITE_BRUSH));
    SelectObject(ref, oldRef);
    DeleteDC(ref);
    DeleteObject(refBmp);
}

TEST_F(DrawTest, RoundRectCutsItsCornersAndKeepsItsSides) {
    Pen(PS_SOLID, 1, 0);
    Brush(0xFF0000);
    RoundRect(dc, 2, 2, 22, 16, 8, 8);
    EXPECT_EQ(P(2, 2), kWhite);
    EXPECT_EQ(P(21, 15), kWhite);
    EXPECT_EQ(P(12, 2), 0u);   // the straight top
    EXPECT_EQ(P(2, 9), 0u);    // the straight left
    EXPECT_EQ(P(21, 9), 0u);
    EXPECT_EQ(P(12, 15), 0u);
    EXPECT_EQ(P(12, 9), 0xFF0000u);
    EXPECT_EQ(P(12, 16), kWhite);
}

TEST_F(DrawTest, PolygonFillFollowsTheFillMode) {
    SelectObject(dc, GetStockObject(NULL_PEN));
    Brush(0);
    // A pentagram: its centre is wound twice.
    const POINT star[] = {{20, 2}, {31, 36}, {2, 14}, {38, 14}, {9, 36}};
    SetPolyFillMode(dc, ALTERNATE);
    Polygon(dc, star, 5);
    EXPECT_EQ(P(20, 20), kWhite);
    EXPECT_EQ(P(20, 8), 0u);
    Clear(kWhite);
    SetPolyFillMode(dc, WINDING);
    Polygon(dc, star, 5);
    EXPECT_EQ(P(20, 20), 0u);
    EXPECT_EQ(P(20, 8), 0u);
}

TEST_F(DrawTest, PolygonWithoutAPenDropsItsRightAndBottomEdges) {
    SelectObject(dc, GetStockObject(NULL_PEN));
    Brush(0);
    const POINT sq[] = {{2, 2}, {8, 2}, {8, 6}, {2, 6}};
    Polygon(dc, sq, 4);
    TPixels expect;
    for (int y = 2; y < 6; ++y)
        for (int x = 2; x < 8; ++x) expect.insert({x, y});
    EXPECT_EQ(Touched(), expect);
    // With a pen the outline adds them.
    Clear(kWhite);
    Pen(PS_SOLID, 1, 0x0000FF);
    Polygon(dc, sq, 4);
    EXPECT_EQ(P(8, 6), 0x0000FFu);
    EXPECT_EQ(P(5, 4), 0u);
    EXPECT_EQ(Touched().size(), 35u);
    const POINT two[] = {{1, 1}, {5, 5}, {9, 1}, {13, 5}};
    const int counts[] = {2, 2};
    EXPECT_TRUE(PolyPolygon(dc, two, counts, 2));
    const int bad[] = {1, 3};
    EXPECT_FALSE(PolyPolygon(dc, two, bad, 2));
}

TEST_F(DrawTest, ArcsGoCounterClockwiseFromTheStartRadial) {
    Pen(PS_SOLID, 1, 0);
    // Centre (10, 10): from the right (angle 0) to the top (90 degrees).
    Arc(dc, 0, 0, 21, 21, 30, 10, 10, -10);
    TPixels t = Touched();
    ASSERT_FALSE(t.empty());
    for (auto [x, y] : t) {
        EXPECT_GE(x, 10);
        EXPECT_LE(y, 10);
    }
    EXPECT_TRUE(t.count({20, 10}));
    EXPECT_TRUE(t.count({10, 0}));
    // The other way round: three quarters.
    Clear(kWhite);
    Arc(dc, 0, 0, 21, 21, 10, -10, 30, 10);
    t = Touched();
    EXPECT_TRUE(t.count({0, 10}));
    EXPECT_TRUE(t.count({10, 20}));
    EXPECT_FALSE(t.count({17, 3}));
}

TEST_F(DrawTest, PieAndChordFillTheirParts) {
    Pen(PS_SOLID, 1, 0);
    Brush(0xFF0000);
    Pie(dc, 0, 0, 21, 21, 30, 10, 10, -10);
    EXPECT_EQ(P(15, 5), 0xFF0000u);
    EXPECT_EQ(P(5, 5), kWhite);
    EXPECT_EQ(P(15, 15), kWhite);
    EXPECT_EQ(P(15, 10), 0u);  // the radius along the start radial
    Clear(kWhite);
    Chord(dc, 0, 0, 21, 21, 30, 10, 10, -10);
    EXPECT_EQ(P(17, 4), 0xFF0000u);  // beyond the chord x - y = 10
    EXPECT_EQ(P(13, 7), kWhite);
    EXPECT_EQ(P(15, 5), 0u);  // on the chord
}

// ---- rectangles and regions ----

TEST_F(DrawTest, FillFrameAndInvertRect) {
    RECT r{2, 2, 6, 5};
    EXPECT_EQ(FillRect(dc, &r, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_BTNSHADOW + 1))), 1);
    EXPECT_EQ(P(2, 2), 0x808080u);
    EXPECT_EQ(P(5, 4), 0x808080u);
    EXPECT_EQ(P(6, 4), kWhite);
    EXPECT_EQ(P(5, 5), kWhite);
    RECT f{10, 10, 16, 14};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    made.push_back(red);
    EXPECT_EQ(FrameRect(dc, &f, red), 1);
    EXPECT_EQ(P(10, 10), 0xFF0000u);
    EXPECT_EQ(P(15, 13), 0xFF0000u);
    EXPECT_EQ(P(12, 12), kWhite);
    EXPECT_EQ(P(16, 12), kWhite);
    EXPECT_EQ(Touched().size(), 12u + 16u);
    RECT inv{0, 0, 3, 3};
    InvertRect(dc, &inv);
    EXPECT_EQ(P(0, 0), 0u);
    EXPECT_EQ(P(2, 2), 0x7F7F7Fu);
}

TEST_F(DrawTest, RegionFillsUseTheOriginAndTheirBrushes) {
    HRGN rgn = CreateRectRgn(0, 0, 6, 4);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    made.push_back(rgn);
    made.push_back(red);
    SetWindowOrgEx(dc, -10, -10, nullptr);  // logical (0, 0) at surface (10, 10)
    EXPECT_TRUE(FillRgn(dc, rgn, red));
    EXPECT_EQ(P(10, 10), 0xFF0000u);
    EXPECT_EQ(P(15, 13), 0xFF0000u);
    EXPECT_EQ(Touched().size(), 24u);
    Clear(kWhite);
    EXPECT_TRUE(FrameRgn(dc, rgn, red, 2, 1));
    EXPECT_EQ(P(11, 11), 0xFF0000u);
    EXPECT_EQ(P(12, 11), kWhite);
    EXPECT_EQ(P(12, 10), 0xFF0000u);
    EXPECT_EQ(Touched().size(), 24u - 4u);
    Clear(kWhite);
    EXPECT_TRUE(InvertRgn(dc, rgn));
    EXPECT_EQ(P(10, 10), 0u);
    Brush(0x00FF00);
    EXPECT_TRUE(PaintRgn(dc, rgn));
    EXPECT_EQ(P(12, 12), 0x00FF00u);
}

TEST_F(DrawTest, StaleHandlesFailWithoutDrawing) {
    RECT r{0, 0, 5, 5};
    HBRUSH b = CreateSolidBrush(RGB(0, 0, 0));
    DeleteObject(b);
    EXPECT_EQ(FillRect(dc, &r, b), 0);
    EXPECT_EQ(FrameRect(dc, &r, b), 0);
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_FALSE(Rectangle(gone, 0, 0, 5, 5));
    EXPECT_FALSE(LineTo(gone, 5, 5));
    EXPECT_FALSE(DrawEdge(gone, &r, EDGE_RAISED, BF_RECT));
    EXPECT_FALSE(DrawFocusRect(gone, &r));
    EXPECT_FALSE(DrawIconEx(dc, 0, 0, reinterpret_cast<HICON>(b), 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(Touched(), TPixels{});
}

TEST_F(DrawTest, AbsurdCoordinatesAreClippedNotWalked) {
    // Each call touches only the 48 x 48 surface; none may walk the full extent.
    constexpr int kMin = INT32_MIN, kMax = INT32_MAX;
    Pen(PS_SOLID, 1, 0);
    Brush(0xFF0000);
    Ellipse(dc, -2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(P(0, 0), 0xFF0000u);
    EXPECT_EQ(P(47, 47), 0xFF0000u);
    Rectangle(dc, kMin, kMin, kMax, kMax);
    RoundRect(dc, kMin, kMin, kMax, kMax, kMax, kMax);
    Pie(dc, kMin, kMin, kMax, kMax, kMax, 0, 0, kMin);
    Chord(dc, kMin, 0, kMax, 40, 0, 0, 5, 5);
    MoveToEx(dc, kMin, kMin, nullptr);
    LineTo(dc, kMax, kMax);
    EXPECT_EQ(P(20, 20), 0u);
    const POINT poly[] = {{kMin, 0}, {kMax, 10}, {0, kMax}};
    Polygon(dc, poly, 3);
    Pen(PS_DASHDOTDOT, 1, 0);
    Ellipse(dc, kMin, kMin, kMax, kMax);
    Pen(PS_SOLID, kMax, 0x00FF00);
    LineTo(dc, kMin, 0);
    Rectangle(dc, 0, 0, 10, 10);
    EXPECT_EQ(P(0, 0), 0x00FF00u);
    RECT big{kMin / 2, kMin / 2, kMax / 2, kMax / 2};
    DrawFocusRect(dc, &big);
    RECT edge = big;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT | BF_MIDDLE | BF_ADJUST);
    EXPECT_EQ(edge.left, big.left + 2);
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_DIAGONAL_ENDTOPLEFT | BF_MIDDLE);
    for (UINT state : {UINT(DFCS_BUTTONPUSH | DFCS_CHECKED), UINT(DFCS_BUTTONCHECK), UINT(DFCS_BUTTONRADIO | DFCS_CHECKED)}) {
        RECT r = big;
        DrawFrameControl(dc, &r, DFC_BUTTON, state);
    }
    RECT r = big;
    DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLDOWN | DFCS_INACTIVE);
    DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONHELP);
    RECT fill{kMin, kMin, kMax, kMax};
    EXPECT_EQ(FillRect(dc, &fill, reinterpret_cast<HBRUSH>(uintptr_t(COLOR_WINDOW + 1))), 1);
    EXPECT_EQ(P(30, 30), kWhite);
}

// ---- focus rectangles ----

TEST_F(DrawTest, FocusRectIsADottedXorThatUndoesItself) {
    Clear(0x336699);
    RECT r{3, 4, 11, 9};
    DrawFocusRect(dc, &r);
    EXPECT_EQ(P(3, 4), 0x336699u ^ kWhite);  // the corner is a dot
    EXPECT_EQ(P(4, 4), 0x336699u);
    EXPECT_EQ(P(5, 4), 0x336699u ^ kWhite);
    EXPECT_EQ(P(3, 5), 0x336699u);
    EXPECT_EQ(P(6, 6), 0x336699u);   // inside
    EXPECT_EQ(P(11, 4), 0x336699u);  // right and bottom stay out
    EXPECT_EQ(Touched(0x336699).size(), 11u);  // every other one of the 22 perimeter pixels
    DrawFocusRect(dc, &r);
    EXPECT_EQ(Touched(0x336699), TPixels{});
}

// ---- DrawEdge ----

class EdgeTest : public DrawTest {
protected:
    // Every colour an edge may use is distinct, so swapped rings show.
    static constexpr COLORREF kHi = RGB(0xF1, 0, 0), kShadow = RGB(0, 0xF2, 0), kLight = RGB(0, 0, 0xF3),
                              kDark = RGB(0x14, 0x14, 0), kFace = RGB(0x25, 0, 0x25), kWindow = RGB(0, 0x36, 0x36),
                              kFrame = RGB(0x47, 0x47, 0x47), kText = RGB(0x58, 0, 0);
    void SetUp() override {
        DrawTest::SetUp();
        const int idx[] = {COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNFACE,
                           COLOR_WINDOW, COLOR_WINDOWFRAME, COLOR_WINDOWTEXT};
        const COLORREF col[] = {kHi, kShadow, kLight, kDark, kFace, kWindow, kFrame, kText};
        SetSysColors(8, idx, col);
    }
    uint32_t C(COLORREF c) { return gdi::ToPixel(c); }
    // The ring at inset k of the 10 x 10 box at (0, 0): its top-left and bottom-right
    // colours, with the top-right and bottom-left corners in the bottom-right one.
    void ExpectRing(int k, COLORREF tl, COLORREF br) {
        const int lo = k, hi = 9 - k;
        for (int i = lo; i < hi; ++i) {
            EXPECT_EQ(P(i, lo), C(tl)) << "top " << k << " " << i;
            EXPECT_EQ(P(lo, i), C(tl)) << "left " << k << " " << i;
        }
        for (int i = lo; i <= hi; ++i) {
            EXPECT_EQ(P(i, hi), C(br)) << "bottom " << k << " " << i;
            EXPECT_EQ(P(hi, i), C(br)) << "right " << k << " " << i;
        }
        EXPECT_EQ(P(lo, lo), C(tl));
        EXPECT_EQ(P(hi, lo), C(br));
        EXPECT_EQ(P(lo, hi), C(br));
    }
};

TEST_F(EdgeTest, RaisedAndSunkenEdgesInTheirClassicColours) {
    const struct {
        UINT Edge, Flags;
        COLORREF OuterTL, OuterBR, InnerTL, InnerBR;
    } cases[] = {
        {EDGE_RAISED, 0, kLight, kDark, kHi, kShadow},
        {EDGE_SUNKEN, 0, kShadow, kHi, kDark, kLight},
        {EDGE_RAISED, BF_SOFT, kHi, kDark, kLight, kShadow},
        {EDGE_SUNKEN, BF_SOFT, kDark, kHi, kShadow, kLight},
        {EDGE_ETCHED, 0, kShadow, kHi, kHi, kShadow},
        {EDGE_BUMP, 0, kLight, kDark, kDark, kLight},
        {EDGE_SUNKEN, BF_FLAT, kShadow, kShadow, kFace, kFace},
        {EDGE_SUNKEN, BF_MONO | BF_FLAT, kFrame, kFrame, kWindow, kWindow},
    };
    for (const auto& c : cases) {
        Clear(kWhite);
        RECT r{0, 0, 10, 10};
        DrawEdge(dc, &r, c.Edge, c.Flags | BF_RECT);
        SCOPED_TRACE(testing::Message() << "edge " << c.Edge << " flags " << c.Flags);
        ExpectRing(0, c.OuterTL, c.OuterBR);
        ExpectRing(1, c.InnerTL, c.InnerBR);
        EXPECT_EQ(P(2, 2), kWhite);
        EXPECT_EQ(P(10, 5), kWhite);
        EXPECT_EQ(r, (RECT{0, 0, 10, 10}));
    }
}

TEST_F(EdgeTest, AdjustShrinksByTheRingsOnTheRequestedSidesOnly) {
    RECT r{0, 0, 10, 10};
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, (RECT{2, 2, 8, 8}));
    r = RECT{0, 0, 10, 10};
    DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r, (RECT{1, 1, 9, 9}));
    Clear(kWhite);
    r = RECT{0, 0, 10, 10};
    DrawEdge(dc, &r, EDGE_RAISED, BF_TOPLEFT | BF_ADJUST);
    EXPECT_EQ(r, (RECT{2, 2, 10, 10}));
    EXPECT_EQ(P(9, 0), C(kLight));  // the top row runs to the right end
    EXPECT_EQ(P(9, 5), kWhite);     // no right side
    EXPECT_EQ(P(5, 9), kWhite);     // no bottom
    EXPECT_EQ(P(9, 1), C(kHi));
}

TEST_F(EdgeTest, AnInnerEdgeAloneTakesTheOuterPlace) {
    RECT r{0, 0, 10, 10};
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
    ExpectRing(0, kHi, kShadow);
    EXPECT_EQ(P(1, 1), kWhite);
    EXPECT_EQ(r, (RECT{1, 1, 9, 9}));
}

TEST_F(EdgeTest, MiddleFillsTheInsideWithTheFaceOrTheWindowColour) {
    RECT r{0, 0, 10, 10};
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    EXPECT_EQ(P(2, 2), C(kFace));
    EXPECT_EQ(P(7, 7), C(kFace));
    ExpectRing(1, kHi, kShadow);
    Clear(kWhite);
    DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_MONO);
    EXPECT_EQ(P(5, 5), C(kWindow));
    ExpectRing(0, kFrame, kFrame);
}

TEST_F(EdgeTest, DiagonalEdgesRunCornerToCorner) {
    RECT r{0, 0, 10, 10};
    DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_DIAGONAL_ENDTOPRIGHT);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(P(k, 9 - k), C(kLight)) << k;
    EXPECT_EQ(Touched().size(), 10u);
    Clear(kWhite);
    DrawEdge(dc, &r, BDR_RAISEDOUTER, BF_DIAGONAL_ENDBOTTOMRIGHT);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(P(k, k), C(kDark)) << k;
}

// ---- frame controls ----

TEST_F(EdgeTest, PushButtonFrameAndAdjustRect) {
    RECT r{0, 0, 10, 10};
    EXPECT_TRUE(DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT));
    EXPECT_EQ(r, (RECT{2, 2, 8, 8}));
    ExpectRing(0, kHi, kDark);
    ExpectRing(1, kLight, kShadow);
    EXPECT_EQ(P(2, 2), C(kFace));
    EXPECT_EQ(P(7, 7), C(kFace));
    Clear(kWhite);
    r = RECT{0, 0, 10, 10};
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
    EXPECT_EQ(r, (RECT{0, 0, 10, 10}));
    ExpectRing(0, kDark, kHi);
    ExpectRing(1, kShadow, kLight);
}

TEST_F(EdgeTest, CheckBoxIsASunkenWhiteBoxWithACheckMark) {
    RECT r{0, 0, 13, 13};
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(P(0, 0), C(kShadow));
    EXPECT_EQ(P(12, 12), C(kHi));
    EXPECT_EQ(P(1, 1), C(kDark));
    EXPECT_EQ(P(11, 11), C(kLight));
    EXPECT_EQ(P(2, 2), C(kWindow));
    // The mark: seven columns of three, lowest at the third.
    EXPECT_EQ(P(3, 5), C(kText));
    EXPECT_EQ(P(3, 7), C(kText));
    EXPECT_EQ(P(3, 8), C(kWindow));
    EXPECT_EQ(P(5, 9), C(kText));
    EXPECT_EQ(P(9, 3), C(kText));
    EXPECT_EQ(P(9, 6), C(kWindow));
    Clear(kWhite);
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE);
    EXPECT_EQ(P(2, 2), C(kFace));
    EXPECT_EQ(P(3, 5), C(kShadow));
}

TEST_F(EdgeTest, RadioButtonIsRoundWithADotWhenChecked) {
    RECT r{0, 0, 12, 12};
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
    EXPECT_EQ(P(0, 0), kWhite);  // round: the corners stay
    EXPECT_EQ(P(11, 11), kWhite);
    EXPECT_EQ(P(0, 6), C(kShadow));
    EXPECT_EQ(P(11, 6), C(kHi));
    EXPECT_EQ(P(5, 5), C(kText));
    EXPECT_EQ(P(3, 3), C(kWindow));
}

TEST_F(EdgeTest, CaptionAndScrollGlyphsEmbossWhenInactive) {
    RECT r{0, 0, 16, 14};
    EXPECT_TRUE(DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    TPixels text;
    for (auto p : Touched()) {
        if (P(p.first, p.second) == C(RGB(0, 0, 0))) text.insert(p);
    }
    EXPECT_EQ(text.size(), 26u);  // the close glyph's pixels in the button text colour (black)
    Clear(kWhite);
    EXPECT_TRUE(DrawFrameControl(dc, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_INACTIVE));
    int hi = 0, shadow = 0;
    for (int y = 2; y < 12; ++y)
        for (int x = 2; x < 14; ++x) {
            hi += P(x, y) == C(kHi);
            shadow += P(x, y) == C(kShadow);
        }
    EXPECT_GT(hi, 0);
    EXPECT_EQ(shadow, 26);
    Clear(kWhite);
    r = RECT{0, 0, 16, 16};
    EXPECT_TRUE(DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLUP));
    int arrow = 0;
    for (auto p : Touched()) arrow += P(p.first, p.second) == 0;
    EXPECT_EQ(arrow, 1 + 3 + 5 + 7);
    EXPECT_FALSE(DrawFrameControl(dc, &r, 99, 0));
}

// ---- icons ----

class IconTest : public DrawTest {
protected:
    HICON icon = nullptr;
    // A 4 x 4 colour icon: the left half opaque red, the right half transparent except
    // (3, 0), which XORs green onto the destination.
    void MakeIcon() {
        HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
        HBITMAP color = CreateBitmap(4, 4, 1, 32, nullptr);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                Bits(mask)->Row(y)[x] = x < 2 ? 0 : 0xFFFFFF;
                Bits(color)->Row(y)[x] = x < 2 ? 0xFF0000 : 0;
            }
        Bits(color)->Row(0)[3] = 0x00FF00;
        ICONINFO ii;
        ii.fIcon = TRUE;
        ii.hbmMask = mask;
        ii.hbmColor = color;
        icon = CreateIconIndirect(&ii);
        DeleteObject(mask);
        DeleteObject(color);
        ASSERT_NE(icon, nullptr);
    }
    void TearDown() override {
        if (icon != nullptr) DestroyIcon(icon);
        DrawTest::TearDown();
    }
};

TEST_F(IconTest, MaskThenImage) {
    MakeIcon();
    Clear(0x123456);
    EXPECT_TRUE(DrawIconEx(dc, 5, 5, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(P(5, 5), 0xFF0000u);
    EXPECT_EQ(P(6, 8), 0xFF0000u);
    EXPECT_EQ(P(7, 6), 0x123456u);
    EXPECT_EQ(P(8, 5), 0x123456u ^ 0x00FF00u);
    EXPECT_EQ(P(9, 5), 0x123456u);
    Clear(0x123456);
    DrawIconEx(dc, 5, 5, icon, 0, 0, 0, nullptr, DI_MASK);
    EXPECT_EQ(P(5, 5), 0u);
    EXPECT_EQ(P(8, 5), 0x123456u);
    Clear(0x123456);
    DrawIconEx(dc, 5, 5, icon, 0, 0, 0, nullptr, DI_IMAGE);
    EXPECT_EQ(P(5, 5), 0xFF0000u);
    EXPECT_EQ(P(7, 7), 0u);
    EXPECT_EQ(P(8, 5), 0x00FF00u);
}

TEST_F(IconTest, StretchesToTheGivenSizeAndDrawIconUsesTheDefaultSize) {
    MakeIcon();
    Clear(0x123456);
    DrawIconEx(dc, 0, 0, icon, 8, 8, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(P(3, 7), 0xFF0000u);
    EXPECT_EQ(P(4, 7), 0x123456u);
    EXPECT_EQ(P(7, 1), 0x123456u ^ 0x00FF00u);
    EXPECT_EQ(P(7, 2), 0x123456u);
    EXPECT_EQ(P(8, 0), 0x123456u);
    Clear(0x123456);
    DrawIcon(dc, 0, 0, icon);  // stretched to SM_CXICON x SM_CYICON
    const int cx = GetSystemMetrics(SM_CXICON);
    EXPECT_EQ(P(cx / 2 - 1, 0), 0xFF0000u);
    EXPECT_EQ(P(cx / 2, 0), 0x123456u);
}

TEST_F(IconTest, MonochromeIconsKeepMaskAndImageInOneBitmap) {
    HBITMAP both = CreateBitmap(2, 4, 1, 1, nullptr);  // AND on top, XOR below
    const uint32_t px[4][2] = {{0, 0xFFFFFF}, {0, 0xFFFFFF}, {0xFFFFFF, 0}, {0, 0xFFFFFF}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x) Bits(both)->Row(y)[x] = px[y][x];
    ICONINFO ii;
    ii.hbmMask = both;
    icon = CreateIconIndirect(&ii);
    DeleteObject(both);
    ASSERT_NE(icon, nullptr);
    Clear(0x123456);
    DrawIconEx(dc, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    EXPECT_EQ(P(0, 0), 0xFFFFFFu);              // opaque white
    EXPECT_EQ(P(1, 0), 0x123456u);              // transparent
    EXPECT_EQ(P(0, 1), 0u);                     // opaque black
    EXPECT_EQ(P(1, 1), 0x123456u ^ 0xFFFFFFu);  // inverted
}

TEST_F(IconTest, FlickerFreeBrushGoesUnderTheIcon) {
    MakeIcon();
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    made.push_back(blue);
    DrawIconEx(dc, 0, 0, icon, 4, 4, 0, blue, DI_NORMAL);
    EXPECT_EQ(P(0, 0), 0xFF0000u);
    EXPECT_EQ(P(2, 1), 0x0000FFu);
    EXPECT_EQ(P(3, 0), 0x0000FFu ^ 0x00FF00u);
}

// ---- disabled drawing ----

TEST_F(EdgeTest, DrawStateDisabledEmbossesTheInk) {
    HBITMAP glyph = CreateBitmap(4, 4, 1, 32, nullptr);
    for (uint32_t& p : Bits(glyph)->Pixels) p = kWhite;
    Bits(glyph)->Row(1)[1] = 0x0000FF;  // ink: anything not white
    Bits(glyph)->Row(2)[1] = 0x000000;
    EXPECT_TRUE(DrawStateA(dc, nullptr, nullptr, reinterpret_cast<intptr_t>(glyph), 0, 10, 10, 0, 0,
                           DST_BITMAP | DSS_DISABLED));
    EXPECT_EQ(P(11, 11), C(kShadow));
    EXPECT_EQ(P(11, 12), C(kShadow));
    EXPECT_EQ(P(12, 13), C(kHi));
    EXPECT_EQ(P(12, 12), C(kHi));
    EXPECT_EQ(Touched().size(), 4u);
    // The normal state copies the bitmap.
    Clear(0);
    EXPECT_TRUE(DrawStateA(dc, nullptr, nullptr, reinterpret_cast<intptr_t>(glyph), 0, 0, 0, 0, 0, DST_BITMAP));
    EXPECT_EQ(P(1, 1), 0x0000FFu);
    EXPECT_EQ(P(0, 0), kWhite);
    EXPECT_EQ(P(4, 0), 0u);
    // Mono paints the ink with the brush.
    Clear(kWhite);
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    made.push_back(green);
    DrawStateA(dc, green, nullptr, reinterpret_cast<intptr_t>(glyph), 0, 0, 0, 0, 0, DST_BITMAP | DSS_MONO);
    EXPECT_EQ(P(1, 1), 0x00FF00u);
    EXPECT_EQ(P(1, 2), 0x00FF00u);
    EXPECT_EQ(Touched().size(), 2u);
    DeleteObject(glyph);
}

TEST_F(EdgeTest, DrawStateComplexCallsTheProcAtTheOffset) {
    auto proc = [](HDC d, intptr_t, uintptr_t, int, int) -> BOOL {
        RECT r{0, 0, 2, 1};
        return FillRect(d, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    };
    EXPECT_TRUE(DrawStateA(dc, nullptr, proc, 0, 0, 5, 6, 3, 3, DST_COMPLEX));
    EXPECT_EQ(Touched(), (TPixels{{5, 6}, {6, 6}}));
    POINT org;
    GetViewportOrgEx(dc, &org);
    EXPECT_EQ(org, (POINT{0, 0}));
    Clear(kWhite);
    EXPECT_TRUE(DrawStateA(dc, nullptr, proc, 0, 0, 5, 6, 3, 3, DST_COMPLEX | DSS_DISABLED));
    EXPECT_EQ(P(5, 6), C(kShadow));
    EXPECT_EQ(P(7, 7), C(kHi));
}

TEST_F(DrawTest, GrayStringPaintsTheInkWithTheBrushOrADither) {
    auto proc = [](HDC d, intptr_t, int) -> BOOL {
        RECT r{1, 1, 3, 2};
        return FillRect(d, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    };
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    made.push_back(red);
    EXPECT_TRUE(GrayStringA(dc, red, proc, 0, 0, 5, 5, 4, 3));
    EXPECT_EQ(Touched(), (TPixels{{6, 6}, {7, 6}}));
    EXPECT_EQ(P(6, 6), 0xFF0000u);
    Clear(kWhite);
    EXPECT_TRUE(GrayStringA(dc, nullptr, proc, 0, 0, 5, 5, 4, 3));
    EXPECT_EQ(Touched(), (TPixels{{6, 6}}));
    EXPECT_EQ(P(6, 6), 0u);
}

// ---- monochrome surfaces ----

TEST_F(DrawTest, MonochromeSurfacesTakeBlackOrWhite) {
    HBITMAP mono = CreateBitmap(8, 8, 1, 1, nullptr);
    HDC m = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(m, mono);
    PatBlt(m, 0, 0, 8, 8, BLACKNESS);
    HPEN light = CreatePen(PS_SOLID, 1, RGB(250, 240, 230));
    made.push_back(light);
    HGDIOBJ oldPen = SelectObject(m, light);
    MoveToEx(m, 0, 0, nullptr);
    LineTo(m, 4, 0);
    EXPECT_EQ(Bits(mono)->Row(0)[0], 0xFFFFFFu);
    EXPECT_EQ(Bits(mono)->Row(0)[4], 0u);
    SetROP2(m, R2_NOT);
    MoveToEx(m, 0, 1, nullptr);
    LineTo(m, 2, 1);
    EXPECT_EQ(Bits(mono)->Row(1)[1], 0xFFFFFFu);
    SelectObject(m, oldPen);
    SelectObject(m, old);
    DeleteDC(m);
    DeleteObject(mono);
}

}  // namespace
