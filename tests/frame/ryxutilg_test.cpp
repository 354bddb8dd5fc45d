// Tests of the package's graphics utility routines: rotation, frames, the expand box, masks, grey scale and caption colours.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "frame/ryxutilg.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gditest.h"
#include "host/graphics/graphics.h"
#include "host/rtl/exceptions.h"

using namespace host;
using ryx::TPoint;
using ryx::TRect;

namespace {

// A 32-bit bitmap filled with one pixel value (0x00RRGGBB).
std::unique_ptr<TBitmap> MakeBitmap(int W, int H, uint32_t Fill = 0xFFFFFF) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(W, H);
    for (int y = 0; y < H; ++y) {
        auto* row = static_cast<uint32_t*>(b->ScanLine(y));
        for (int x = 0; x < W; ++x) row[x] = Fill;
    }
    return b;
}

uint32_t Px(TBitmap& B, int X, int Y) { return static_cast<uint32_t*>(B.ScanLine(Y))[X] & 0xFFFFFF; }
void SetPx(TBitmap& B, int X, int Y, uint32_t P) { static_cast<uint32_t*>(B.ScanLine(Y))[X] = P; }

// The pixel of an RGB colour given as TColor (0x00BBGGRR).
uint32_t PixelOf(TColor C) {
    const uint32_t c = uint32_t(ColorToRGB(C));
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Distinct colours, so that swapped edges show.
const TColor kTop = TColor(0x0000C0);     // pixel 0xC00000
const TColor kBottom = TColor(0x00C000);  // pixel 0x00C000
constexpr uint32_t kTopPx = 0xC00000, kBottomPx = 0x00C000, kWhite = 0xFFFFFF;

// The colour the framework's Frame3D gives pixel (x, y) of a W × H box with N rings,
// or kWhite when it draws nothing there.
uint32_t Frame3DPixel(int X, int Y, int W, int H, int N) {
    for (int k = 0; k < N; ++k) {
        const int l = k, t = k, r = W - 1 - k, b = H - 1 - k;
        if (l > r || t > b) break;
        const bool onRing = (X == l || X == r || Y == t || Y == b) && X >= l && X <= r && Y >= t && Y <= b;
        if (!onRing) continue;
        if (X == r || Y == b) return kBottomPx;
        return kTopPx;
    }
    return kWhite;
}

}  // namespace

// ---- points and rotation ----

TEST(RyxUtilGRotation, QuarterTurnInBothOrientations) {
    const TPoint c{100, 50};
    TPoint p{110, 50};
    ryx::ryxRotatePoint(1.0, 0.0, c, p);
    EXPECT_EQ(p, (TPoint{100, 60}));
    TPoint q{110, 50};
    ryx::ryxRotateWinPoint(1.0, 0.0, c, q);
    EXPECT_EQ(q, (TPoint{100, 40}));
}

TEST(RyxUtilGRotation, RoundsHalvesToEven) {
    const TPoint c{0, 0};
    // Scaling by cos 0.5 turns dx into dx/2: 0.5 → 0, 1.5 → 2, 2.5 → 2, -0.5 → 0, -1.5 → -2.
    const int dx[] = {1, 3, 5, -1, -3};
    const int want[] = {0, 2, 2, 0, -2};
    for (int i = 0; i < 5; ++i) {
        TPoint p{dx[i], 0};
        ryx::ryxRotatePoint(0.0, 0.5, c, p);
        EXPECT_EQ(p.x, want[i]) << "dx " << dx[i];
    }
}

TEST(RyxUtilGRotation, OutOfRangeRaisesAndLeavesThePoint) {
    const TPoint c{0, 0};
    TPoint p{1000, 1000};
    EXPECT_THROW(ryx::ryxRotatePoint(0.0, 1e7, c, p), ERangeError);
    EXPECT_EQ(p, (TPoint{1000, 1000}));
    EXPECT_THROW(ryx::ryxRotateWinPoint(std::nan(""), 0.0, c, p), ERangeError);
    EXPECT_EQ(p, (TPoint{1000, 1000}));
    // The sum with the centre is checked too.
    TPoint e{2147483646, 0};
    EXPECT_THROW(ryx::ryxRotatePoint(0.0, -1.0, TPoint{2147483647, 0}, e), ERangeError);
    EXPECT_EQ(e, (TPoint{2147483646, 0}));
    std::vector<TPoint> poly{{1, 0}, {2000000000, 0}};
    EXPECT_THROW(ryx::ryxRotatePolygon(0.0, 2.0, c, poly), ERangeError);
    EXPECT_EQ(poly[0], (TPoint{1, 0})) << "a failed polygon rotation changes no point";
}

TEST(RyxUtilGRotation, PolygonLeavesTheCentreAlone) {
    const TPoint c{10, 10};
    std::vector<TPoint> pts{{20, 10}, {10, 10}, {10, 20}};
    ryx::ryxRotatePolygon(1.0, 0.0, c, pts);
    EXPECT_EQ(pts[0], (TPoint{10, 20}));
    EXPECT_EQ(pts[1], (TPoint{10, 10}));
    EXPECT_EQ(pts[2], (TPoint{0, 10}));
    std::vector<TPoint> win{{20, 10}, {10, 10}};
    ryx::ryxRotateWinPolygon(1.0, 0.0, c, win);
    EXPECT_EQ(win[0], (TPoint{10, 0}));
    EXPECT_EQ(win[1], (TPoint{10, 10}));
}

TEST(RyxUtilGRotation, RectsAndBounds) {
    const TRect r{0, 0, 10, 4};
    TPoint pts[5] = {};
    ryx::ryxRotateRect(1.0, 0.0, TPoint{0, 0}, r, pts);
    EXPECT_EQ(pts[0], (TPoint{0, 0}));  // the centre itself
    EXPECT_EQ(pts[1], (TPoint{0, 10}));
    EXPECT_EQ(pts[2], (TPoint{-4, 10}));
    EXPECT_EQ(pts[3], (TPoint{-4, 0}));
    EXPECT_EQ(pts[4], (TPoint{0, 0})) << "points past the fourth are not touched";

    TRect b = r;
    ryx::ryxRotateRectBounds(1.0, 0.0, TPoint{0, 0}, b);
    EXPECT_EQ(b, (TRect{-4, 0, 0, 10}));
    TRect w = r;
    ryx::ryxRotateWinRectBounds(1.0, 0.0, TPoint{0, 0}, w);
    EXPECT_EQ(w, (TRect{0, -10, 4, 0}));
    TPoint wp[4];
    ryx::ryxRotateWinRect(1.0, 0.0, TPoint{0, 0}, r, wp);
    EXPECT_EQ(wp[1], (TPoint{0, -10}));
}

TEST(RyxUtilGPoints, OffsetsAndCorners) {
    TPoint p{1, 2};
    ryx::ryxOffsetPoint(p, 3, -4);
    EXPECT_EQ(p, (TPoint{4, -2}));
    std::vector<TPoint> v{{0, 0}, {5, 5}};
    ryx::ryxOffsetPoints(v, 1, 1);
    EXPECT_EQ(v[1], (TPoint{6, 6}));

    TPoint four[4];
    ryx::ryxSetRectPoints(TRect{1, 2, 3, 4}, four);
    EXPECT_EQ(four[0], (TPoint{1, 2}));
    EXPECT_EQ(four[1], (TPoint{3, 2}));
    EXPECT_EQ(four[2], (TPoint{3, 4}));
    EXPECT_EQ(four[3], (TPoint{1, 4}));
}

TEST(RyxUtilGPoints, ShortArraysRaiseRangeError) {
    TPoint three[3] = {{9, 9}, {9, 9}, {9, 9}};
    EXPECT_THROW(ryx::ryxSetRectPoints(TRect{1, 2, 3, 4}, three), ERangeError);
    EXPECT_EQ(three[0], (TPoint{9, 9}));
    EXPECT_THROW(ryx::ryxGetPolygonBounds(std::span<const TPoint>()), ERangeError);
    TPoint two[2];
    EXPECT_THROW(ryx::ryxRotateRect(0, 1, TPoint{}, TRect{}, two), ERangeError);
}

TEST(RyxUtilGPoints, PolygonBoundsStartFromTheFirstPoint) {
    const TPoint one[] = {{5, -3}};
    EXPECT_EQ(ryx::ryxGetPolygonBounds(one), (TRect{5, -3, 5, -3}));
    const TPoint pts[] = {{5, 5}, {-2, 7}, {3, -1}, {9, 0}};
    EXPECT_EQ(ryx::ryxGetPolygonBounds(pts), (TRect{-2, -1, 9, 7}));
}

// ---- frames ----

TEST(RyxUtilGFrames, EdgeFrameWithAllEdgesFollowsTheFrame3DRule) {
    auto b = MakeBitmap(10, 8);
    TRect r{0, 0, 10, 8};
    ryx::ryxEdgeFrame3D(b->Canvas(), r, kTop, kBottom, 2, {ryx::beLeft, ryx::beTop, ryx::beRight, ryx::beBottom});
    EXPECT_EQ(r, (TRect{2, 2, 8, 6}));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) EXPECT_EQ(Px(*b, x, y), Frame3DPixel(x, y, 10, 8, 2)) << x << "," << y;
    // The corners of the outer ring: top-left TopColor, the other three BottomColor.
    EXPECT_EQ(Px(*b, 0, 0), kTopPx);
    EXPECT_EQ(Px(*b, 9, 0), kBottomPx);
    EXPECT_EQ(Px(*b, 0, 7), kBottomPx);
    EXPECT_EQ(Px(*b, 9, 7), kBottomPx);
}

TEST(RyxUtilGFrames, RoundFrameWithoutRadiusIsTheRectangularRing) {
    auto b = MakeBitmap(9, 9);
    TRect r{0, 0, 9, 9};
    ryx::ryxRoundFrame3D(b->Canvas(), r, kTop, kBottom, 3, 0);
    EXPECT_EQ(r, (TRect{3, 3, 6, 6}));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(Px(*b, x, y), Frame3DPixel(x, y, 9, 9, 3)) << x << "," << y;
}

TEST(RyxUtilGFrames, EdgeFrameDrawsOnlyTheChosenSides) {
    auto b = MakeBitmap(8, 8);
    TRect r{0, 0, 8, 8};
    ryx::ryxEdgeFrame3D(b->Canvas(), r, kTop, kBottom, 1, {ryx::beTop, ryx::beRight});
    EXPECT_EQ(r, (TRect{1, 1, 7, 7}));
    EXPECT_EQ(Px(*b, 3, 0), kTopPx);
    EXPECT_EQ(Px(*b, 0, 0), kTopPx);
    EXPECT_EQ(Px(*b, 7, 0), kBottomPx);
    EXPECT_EQ(Px(*b, 7, 7), kBottomPx);
    EXPECT_EQ(Px(*b, 0, 3), kWhite) << "no left side";
    EXPECT_EQ(Px(*b, 3, 7), kWhite) << "no bottom side";
}

TEST(RyxUtilGFrames, RoundFrameCutsTheCorners) {
    auto b = MakeBitmap(20, 20);
    TRect r{0, 0, 20, 20};
    ryx::ryxRoundFrame3D(b->Canvas(), r, kTop, kBottom, 1, 4);
    EXPECT_EQ(r, (TRect{1, 1, 19, 19}));
    EXPECT_EQ(Px(*b, 0, 0), kWhite);
    EXPECT_EQ(Px(*b, 19, 19), kWhite);
    EXPECT_EQ(Px(*b, 10, 0), kTopPx);
    EXPECT_EQ(Px(*b, 0, 10), kTopPx);
    EXPECT_EQ(Px(*b, 19, 10), kBottomPx);
    EXPECT_EQ(Px(*b, 10, 19), kBottomPx);
    // The top-left arc is TopColor, the bottom-right one BottomColor.
    int top = 0, bottom = 0;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) top += Px(*b, x, y) == kTopPx, bottom += Px(*b, x, y) == kBottomPx;
    EXPECT_GT(top, 0);
    EXPECT_EQ(bottom, 0);
    top = bottom = 0;
    for (int y = 16; y < 20; ++y)
        for (int x = 16; x < 20; ++x) top += Px(*b, x, y) == kTopPx, bottom += Px(*b, x, y) == kBottomPx;
    EXPECT_EQ(top, 0);
    EXPECT_GT(bottom, 0);
}

TEST(RyxUtilGFrames, EllipseFrameSplitsTheRing) {
    auto b = MakeBitmap(21, 15);
    TRect r{0, 0, 21, 15};
    ryx::ryxEllipseFrame3D(b->Canvas(), r, kTop, kBottom, 2);
    EXPECT_EQ(r, (TRect{2, 2, 19, 13}));
    EXPECT_EQ(Px(*b, 10, 0), kTopPx);
    EXPECT_EQ(Px(*b, 0, 7), kTopPx);
    EXPECT_EQ(Px(*b, 10, 14), kBottomPx);
    EXPECT_EQ(Px(*b, 20, 7), kBottomPx);
    EXPECT_EQ(Px(*b, 10, 1), kTopPx) << "second ring";
    EXPECT_EQ(Px(*b, 10, 13), kBottomPx) << "second ring";
    EXPECT_EQ(Px(*b, 0, 0), kWhite);
    EXPECT_EQ(Px(*b, 10, 7), kWhite);
}

TEST(RyxUtilGFrames, ZeroWidthDrawsNothingAndKeepsTheRect) {
    auto b = MakeBitmap(6, 6);
    TRect r{0, 0, 6, 6};
    ryx::ryxRoundFrame3D(b->Canvas(), r, kTop, kBottom, 0, 2);
    EXPECT_EQ(r, (TRect{0, 0, 6, 6}));
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(Px(*b, x, y), kWhite);
}

// ---- the expand box ----

class RyxUtilGExpandBox : public ::testing::Test {
protected:
    void SetUp() override {
        const int idx = COLOR_WINDOWFRAME;
        const COLORREF c = RGB(1, 2, 3);
        SetSysColors(1, &idx, &c);
    }
    void TearDown() override { ResetSysColors(); }
    static constexpr uint32_t kFrame = 0x010203;
};

TEST_F(RyxUtilGExpandBox, OddBoxShowsPlusOrMinus) {
    for (bool expanded : {false, true}) {
        auto b = MakeBitmap(9, 9, 0x123456);
        ryx::ryxDrawExpandBox(b->Canvas(), TRect{0, 0, 9, 9}, expanded);
        // R' = (2,2,7,7) after the frame, then (3,3,6,6): strokes through (4, 4).
        for (int x = 3; x <= 5; ++x) EXPECT_EQ(Px(*b, x, 4), kFrame) << x;
        EXPECT_NE(Px(*b, 6, 4), kFrame);
        EXPECT_NE(Px(*b, 2, 4), kFrame);
        EXPECT_EQ(Px(*b, 4, 3) == kFrame, !expanded);
        EXPECT_EQ(Px(*b, 4, 5) == kFrame, !expanded);
        EXPECT_NE(Px(*b, 4, 6), kFrame);
        EXPECT_NE(Px(*b, 3, 3), kFrame);
        EXPECT_NE(Px(*b, 0, 0), 0x123456u) << "the push frame is drawn";
    }
}

TEST_F(RyxUtilGExpandBox, EvenBoxIsSymmetric) {
    auto b = MakeBitmap(10, 10, 0x123456);
    ryx::ryxDrawExpandBox(b->Canvas(), TRect{0, 0, 10, 10}, false);
    // Centre (5, 5); R' = (3,3,7,7) grown to (3,3,8,8).
    for (int i = 3; i <= 7; ++i) {
        EXPECT_EQ(Px(*b, i, 5), kFrame) << i;
        EXPECT_EQ(Px(*b, 5, i), kFrame) << i;
    }
    EXPECT_NE(Px(*b, 2, 5), kFrame);
    EXPECT_NE(Px(*b, 8, 5), kFrame);
    EXPECT_NE(Px(*b, 5, 2), kFrame);
    EXPECT_NE(Px(*b, 5, 8), kFrame);
}

// ---- screen and system ----

TEST(RyxUtilGSystem, ScreenAndVersion) {
    const int depth = ryx::ryxScreenColorDepth();
    EXPECT_GT(depth, 0);
    EXPECT_EQ(ryx::ryxScreenIsHighColor(), depth > 8);
    EXPECT_FALSE(ryx::ryxOSVerIsWin95());
}

// ---- masks ----

namespace {

// An odd-width source with a few colours scattered over it.
std::unique_ptr<TBitmap> MaskSource() {
    auto b = MakeBitmap(13, 7, 0x808080);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
            if ((x + y) % 3 == 0) SetPx(*b, x, y, 0xFF0000);  // red
            if ((x * y) % 5 == 1) SetPx(*b, x, y, 0x0000FF);  // blue
        }
    return b;
}

std::vector<uint32_t> MaskPixels(TBitmap& M) {
    std::vector<uint32_t> v;
    for (int y = 0; y < M.Height(); ++y)
        for (int x = 0; x < M.Width(); ++x) v.push_back(Px(M, x, y));
    return v;
}

}  // namespace

TEST(RyxUtilGMasks, BothRoutinesGiveTheSameMaskOnAnOddWidth) {
    auto src = MaskSource();
    const TColor colors[] = {clRed, clBlue};
    struct Case {
        TPoint Pos, Size;
    } cases[] = {{{0, 0}, {13, 7}}, {{1, 2}, {11, 3}}, {{-2, -1}, {9, 5}}, {{10, 4}, {7, 6}}};
    for (const Case& c : cases) {
        TBitmap a, b;
        ryx::ryxGenerateMaskBitmap(&a, src.get(), c.Pos, colors, c.Size);
        ryx::ryxGenerateMaskBitmapFromDIB(&b, src.get(), c.Pos, colors, c.Size);
        ASSERT_EQ(a.Width(), c.Size.x);
        ASSERT_EQ(a.Height(), c.Size.y);
        ASSERT_EQ(b.Width(), c.Size.x);
        ASSERT_EQ(b.Height(), c.Size.y);
        EXPECT_TRUE(a.Monochrome());
        EXPECT_TRUE(b.Monochrome());
        EXPECT_EQ(MaskPixels(a), MaskPixels(b)) << "pos " << c.Pos.x << "," << c.Pos.y;
        // And both are what the source says: white on the colours, black elsewhere
        // and outside the source.
        for (int y = 0; y < c.Size.y; ++y)
            for (int x = 0; x < c.Size.x; ++x) {
                const int sx = c.Pos.x + x, sy = c.Pos.y + y;
                const bool inside = sx >= 0 && sy >= 0 && sx < 13 && sy < 7;
                const uint32_t p = inside ? Px(*src, sx, sy) : 0x808080;
                const uint32_t want = (p == 0xFF0000 || p == 0x0000FF) ? kWhite : 0;
                EXPECT_EQ(Px(b, x, y), want) << x << "," << y;
            }
    }
}

TEST(RyxUtilGMasks, NoColoursGiveAnAllBlackMask) {
    auto src = MakeBitmap(5, 5, 0xFFFFFF);
    for (bool dib : {false, true}) {
        TBitmap m;
        if (dib)
            ryx::ryxGenerateMaskBitmapFromDIB(&m, src.get(), TPoint{0, 0}, {}, TPoint{5, 3});
        else
            ryx::ryxGenerateMaskBitmap(&m, src.get(), TPoint{0, 0}, {}, TPoint{5, 3});
        ASSERT_EQ(m.Width(), 5);
        for (uint32_t p : MaskPixels(m)) EXPECT_EQ(p, 0u);
    }
}

TEST(RyxUtilGMasks, SystemColoursAreResolved) {
    auto src = MakeBitmap(4, 1, 0xFFFFFF);
    SetPx(*src, 1, 0, PixelOf(clBtnFace));
    const TColor colors[] = {clBtnFace};
    TBitmap a, b;
    ryx::ryxGenerateMaskBitmap(&a, src.get(), TPoint{0, 0}, colors, TPoint{4, 1});
    ryx::ryxGenerateMaskBitmapFromDIB(&b, src.get(), TPoint{0, 0}, colors, TPoint{4, 1});
    EXPECT_EQ(MaskPixels(a), (std::vector<uint32_t>{0, kWhite, 0, 0}));
    EXPECT_EQ(MaskPixels(b), MaskPixels(a));
}

TEST(RyxUtilGMasks, ReplaceColoursThroughTheMask) {
    auto src = MaskSource();
    const TColor colors[] = {clRed};
    TBitmap mask;
    ryx::ryxGenerateMaskBitmap(&mask, src.get(), TPoint{0, 0}, colors, TPoint{13, 7});
    auto dest = MaskSource();
    ryx::ryxReplaceBitmapColorsFromMask(&mask, dest.get(), TPoint{0, 0}, clLime, TPoint{13, 7});
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) {
            const uint32_t was = Px(*src, x, y);
            EXPECT_EQ(Px(*dest, x, y), was == 0xFF0000 ? 0x00FF00u : was) << x << "," << y;
        }
    // At an offset, only the covered part changes.
    auto dest2 = MakeBitmap(20, 10, 0x111111);
    ryx::ryxReplaceBitmapColorsFromMask(&mask, dest2.get(), TPoint{5, 2}, clBtnShadow, TPoint{13, 7});
    EXPECT_EQ(Px(*dest2, 5, 2), PixelOf(clBtnShadow));   // source (0,0) is red
    EXPECT_EQ(Px(*dest2, 6, 2), 0x111111u);              // source (1,0) is grey
    EXPECT_EQ(Px(*dest2, 4, 2), 0x111111u);
}

// ---- grey scale and colours ----

TEST(RyxUtilGColours, GrayScaleUsesTheLuminance) {
    auto b = MakeBitmap(6, 1);
    const uint32_t in[] = {0xFF0000, 0x00FF00, 0x0000FF, 0x4D4D4D, 0xFFFFFF, 0x102030};
    for (int x = 0; x < 6; ++x) SetPx(*b, x, 0, in[x]);
    ryx::ryxGrayScaleBitmap(b.get());
    // 0.299·255 = 76.2, 0.587·255 = 149.7, 0.114·255 = 29.1; a grey stays the same;
    // 0.299·16 + 0.587·32 + 0.114·48 = 29.04.
    const uint32_t want[] = {0x4C4C4C, 0x969696, 0x1D1D1D, 0x4D4D4D, 0xFFFFFF, 0x1D1D1D};
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Px(*b, x, 0), want[x]) << x;
}

TEST(RyxUtilGColours, LightenCaptionColor) {
    auto rgb = [](int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); };
    EXPECT_EQ(ryx::ryxLightenCaptionColor(clWhite), rgb(254, 254, 254));
    EXPECT_EQ(ryx::ryxLightenCaptionColor(clBlack), rgb(127, 127, 127));
    EXPECT_EQ(ryx::ryxLightenCaptionColor(clNavy), rgb(16, 132, 208));
    EXPECT_EQ(ryx::ryxLightenCaptionColor(clGray), rgb(184, 180, 184));
    EXPECT_EQ(ryx::ryxLightenCaptionColor(rgb(10, 20, 30)), rgb(132, 137, 142));
    // System colours go through the scheme: the default captions are navy and grey.
    EXPECT_EQ(ryx::ryxLightenCaptionColor(clActiveCaption), rgb(16, 132, 208));
    EXPECT_EQ(ryx::ryxLightenCaptionColor(clInactiveCaption), rgb(184, 180, 184));
}

TEST(RyxUtilGBitmaps, CopyToDDBKeepsThePixels) {
    auto b = MaskSource();
    auto copy = ryx::ryxCopyBitmapToDDB(b.get());
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->Width(), 13);
    ASSERT_EQ(copy->Height(), 7);
    EXPECT_NE(copy->Handle(), b->Handle());
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) EXPECT_EQ(Px(*copy, x, y), Px(*b, x, y));
    auto empty = ryx::ryxCopyBitmapToDDB(nullptr);
    EXPECT_TRUE(empty->Empty());
}

TEST(RyxUtilGBitmaps, CopyPaletteCopiesTheEntries) {
    std::vector<uint8_t> buf(sizeof(LOGPALETTE) + 2 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 3;
    lp->palPalEntry[0] = {1, 2, 3, 0};
    lp->palPalEntry[1] = {4, 5, 6, 0};
    lp->palPalEntry[2] = {7, 8, 9, 0};
    HPALETTE p = CreatePalette(lp);
    ASSERT_NE(p, nullptr);
    HPALETTE c = ryx::ryxCopyPalette(p);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c, p);
    PALETTEENTRY e[3];
    ASSERT_EQ(GetPaletteEntries(c, 0, 3, e), 3u);
    EXPECT_EQ(e[2].peRed, 7);
    EXPECT_EQ(e[2].peBlue, 9);
    EXPECT_EQ(ryx::ryxCopyPalette(nullptr), nullptr);
    DeleteObject(c);
    DeleteObject(p);
}

TEST(RyxUtilGBitmaps, LoadBitmapByNameNormalisesTheName) {
    // No resource of that name: no bitmap, and no exception.
    EXPECT_EQ(ryx::ryxLoadBitmapByName("no_such_bitmap_42"), nullptr);
    EXPECT_EQ(ryx::ryxLoadBitmapByName("1234"), nullptr);
}

TEST(RyxUtilGMasks, NoHandlesLeak) {
    auto src = MaskSource();
    src->Canvas()->Handle();  // the source's own DC, pen, brush and font live as long as it does
    const int before = host::gditest::LiveObjects();
    {
        const TColor colors[] = {clRed, clBlue};
        TBitmap a, b;
        ryx::ryxGenerateMaskBitmap(&a, src.get(), TPoint{1, 1}, colors, TPoint{5, 5});
        ryx::ryxGenerateMaskBitmapFromDIB(&b, src.get(), TPoint{1, 1}, colors, TPoint{5, 5});
        ryx::ryxReplaceBitmapColorsFromMask(&a, src.get(), TPoint{0, 0}, clGreen, TPoint{5, 5});
        ryx::ryxGrayScaleBitmap(src.get());
        auto copy = ryx::ryxCopyBitmapToDDB(src.get());
    }
    EXPECT_EQ(host::gditest::LiveObjects(), before);
}
