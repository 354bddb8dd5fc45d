// Tests of the blits and pixel calls: raster operations, depth conversion, clipping, stretching, masks.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

#include "host/gdi/blit_internal.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/gditest.h"

namespace {

using namespace host;
using host::gdi::TBitmapObj;

// A bitmap selected into its own memory DC.
class TSurf {
public:
    TSurf(int W, int H, bool Mono = false) {
        Dc = CreateCompatibleDC(nullptr);
        Bmp = CreateBitmap(W, H, 1, Mono ? 1 : 32, nullptr);
        Old = SelectObject(Dc, Bmp);
    }
    ~TSurf() {
        SelectObject(Dc, Old);
        DeleteObject(Bmp);
        DeleteDC(Dc);
    }
    TSurf(const TSurf&) = delete;
    TSurf& operator=(const TSurf&) = delete;

    TBitmapObj* Obj() const { return gdi::Find<TBitmapObj>(Bmp); }
    int W() const { return Obj()->Width; }
    int H() const { return Obj()->Height; }
    uint32_t& At(int X, int Y) const { return Obj()->Row(Y)[X]; }
    std::vector<uint32_t> Pixels() const { return Obj()->Pixels; }
    void Set(const std::vector<uint32_t>& P) const { Obj()->Pixels = P; }
    // Deterministic noise; monochrome surfaces get black and white only.
    void Noise(uint32_t Seed) const {
        uint32_t s = Seed * 2654435761u + 12345u;
        for (auto& p : Obj()->Pixels) {
            s = s * 1664525u + 1013904223u;
            p = Obj()->Mono() ? ((s >> 16) & 1 ? 0xFFFFFF : 0) : (s >> 8) & 0xFFFFFF;
        }
    }
    void Fill(uint32_t Px) const { std::fill(Obj()->Pixels.begin(), Obj()->Pixels.end(), Px); }

    HDC Dc = nullptr;
    HBITMAP Bmp = nullptr;
    HGDIOBJ Old = nullptr;
};

// A brush selected into a DC for the test's lifetime.
class TSelBrush {
public:
    TSelBrush(HDC Dc, HBRUSH B) : FDc(Dc), FBrush(B) { FOld = SelectObject(Dc, B); }
    ~TSelBrush() {
        SelectObject(FDc, FOld);
        DeleteObject(FBrush);
    }

private:
    HDC FDc;
    HBRUSH FBrush;
    HGDIOBJ FOld;
};

// The index byte evaluated one bit at a time, as the definition reads.
uint32_t RefRop3(uint8_t I, uint32_t P, uint32_t S, uint32_t D) {
    uint32_t r = 0;
    for (int b = 0; b < 24; ++b) {
        int k = int(((P >> b) & 1) << 2 | ((S >> b) & 1) << 1 | ((D >> b) & 1));
        r |= uint32_t((I >> k) & 1) << b;
    }
    return r;
}

// A colour on a monochrome surface: the nearer of black and white.
uint32_t ToMono(uint32_t Px) {
    return ((Px >> 16) & 0xFF) + ((Px >> 8) & 0xFF) + (Px & 0xFF) > 382 ? 0xFFFFFF : 0;
}

// A monochrome 8x8 pattern bitmap from one byte per row (high bit leftmost).
HBITMAP MonoPattern(const uint8_t (&Rows)[8]) {
    HBITMAP b = CreateBitmap(8, 8, 1, 1, nullptr);
    TBitmapObj* o = gdi::Find<TBitmapObj>(b);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) o->Row(y)[x] = (Rows[y] & (0x80 >> x)) ? 0xFFFFFF : 0;
    return b;
}

struct FastPathGuard {
    explicit FastPathGuard(bool On) : Old(gdi::SetRopFastPaths(On)) {}
    ~FastPathGuard() { gdi::SetRopFastPaths(Old); }
    bool Old;
};

// ---------------------------------------------------------------------------------------------

TEST(GdiRop3, EveryIndexMatchesTheTruthTable) {
    uint32_t s = 7;
    auto next = [&s] { return (s = s * 1664525u + 1013904223u) >> 8; };
    for (int i = 0; i < 256; ++i)
        for (int k = 0; k < 20; ++k) {
            uint32_t p = next(), src = next(), d = next();
            ASSERT_EQ(gdi::ApplyRop3(uint8_t(i), p, src, d), RefRop3(uint8_t(i), p, src, d)) << "index " << i;
        }
    // The named codes say what they do.
    const uint32_t P = 0x123456, S = 0xF0F0F0, D = 0x0FF00F;
    EXPECT_EQ(gdi::ApplyRop3(gdi::RopIndex(SRCCOPY), P, S, D), S);
    EXPECT_EQ(gdi::ApplyRop3(gdi::RopIndex(SRCPAINT), P, S, D), S | D);
    EXPECT_EQ(gdi::ApplyRop3(gdi::RopIndex(SRCAND), P, S, D), S & D);
    EXPECT_EQ(gdi::ApplyRop3(gdi::RopIndex(SRCERASE), P, S, D), S & ~D & 0xFFFFFF);
    EXPECT_EQ(gdi::ApplyRop3(gdi::RopIndex(MERGECOPY), P, S, D), P & S);
    EXPECT_EQ(gdi::ApplyRop3(gdi::RopIndex(0x00E20746), P, S, D), (S & P) | (~S & D & 0xFFFFFF));
    EXPECT_EQ(gdi::ApplyRop3(gdi::RopIndex(DSTINVERT), P, S, D), ~D & 0xFFFFFF);
    EXPECT_EQ(gdi::ApplyRop3(gdi::RopIndex(WHITENESS), P, S, D), 0xFFFFFFu);
    EXPECT_TRUE(gdi::RopUsesS(gdi::RopIndex(SRCCOPY)) && !gdi::RopUsesP(gdi::RopIndex(SRCCOPY)));
    EXPECT_TRUE(gdi::RopUsesP(gdi::RopIndex(PATINVERT)) && !gdi::RopUsesS(gdi::RopIndex(PATINVERT)));
    EXPECT_FALSE(gdi::RopUsesD(gdi::RopIndex(PATCOPY)));
}

TEST(GdiRop3, RowKernelsAgreeWithThePixelFunction) {
    // Every index, odd lengths (vector bodies and tails), pattern as a row and as one pixel.
    std::vector<uint32_t> d0(37), s(37), p(37);
    uint32_t seed = 99;
    auto next = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
    for (int i = 0; i < 37; ++i) {
        d0[size_t(i)] = next();
        s[size_t(i)] = next();
        p[size_t(i)] = next();
    }
    for (bool fast : {true, false}) {
        FastPathGuard g(fast);
        for (int rop = 0; rop < 256; ++rop) {
            auto d = d0;
            gdi::RopRow(uint8_t(rop), d.data(), s.data(), p.data(), 0, 37);
            auto d2 = d0;
            gdi::RopRow(uint8_t(rop), d2.data(), s.data(), nullptr, 0x00ABCDEF, 37);
            for (int i = 0; i < 37; ++i) {
                ASSERT_EQ(d[size_t(i)], RefRop3(uint8_t(rop), p[size_t(i)], s[size_t(i)], d0[size_t(i)]))
                    << "rop " << rop << " fast " << fast;
                ASSERT_EQ(d2[size_t(i)], RefRop3(uint8_t(rop), 0xABCDEF, s[size_t(i)], d0[size_t(i)]));
            }
        }
    }
}

// ---- BitBlt: fast paths against the generic evaluation, every depth pairing ----

const DWORD kFastRops[] = {SRCCOPY, SRCPAINT, SRCAND, SRCINVERT, SRCERASE, NOTSRCCOPY, DSTINVERT,
                           PATCOPY, PATINVERT, 0x00E20746, 0x00A000C9, BLACKNESS, WHITENESS};

struct DepthCase {
    bool SrcMono, DstMono;
};

class GdiBitBltFastPaths : public ::testing::TestWithParam<DepthCase> {};

TEST_P(GdiBitBltFastPaths, GiveTheGenericPixels) {
    const DepthCase c = GetParam();
    const uint8_t rows[8] = {0x81, 0x42, 0x24, 0x18, 0xF0, 0x0F, 0xAA, 0x55};
    for (int brushKind = 0; brushKind < 2; ++brushKind) {
        for (DWORD rop : kFastRops) {
            std::vector<uint32_t> results[2];
            std::vector<uint32_t> srcPixels, dstPixels;
            for (int pass = 0; pass < 2; ++pass) {
                TSurf src(45, 9, c.SrcMono), dst(45, 9, c.DstMono);
                src.Noise(1);
                dst.Noise(2);
                // Make sure the background colour occurs in the colour source.
                if (!c.SrcMono) src.At(3, 3) = src.At(4, 4) = 0x102030;
                SetBkColor(src.Dc, RGB(0x10, 0x20, 0x30));
                SetTextColor(dst.Dc, RGB(200, 10, 20));
                SetBkColor(dst.Dc, RGB(5, 250, 60));
                HBITMAP pat = MonoPattern(rows);
                TSelBrush b(dst.Dc, brushKind == 0 ? CreateSolidBrush(RGB(0x11, 0x77, 0xEE)) : CreatePatternBrush(pat));
                DeleteObject(pat);
                SetBrushOrgEx(dst.Dc, 3, 5, nullptr);
                srcPixels = src.Pixels();
                dstPixels = dst.Pixels();
                FastPathGuard g(pass == 0);
                ASSERT_TRUE(BitBlt(dst.Dc, 2, 1, 41, 7, src.Dc, 1, 2, rop));
                results[pass] = dst.Pixels();
            }
            ASSERT_EQ(results[0], results[1]) << std::hex << "rop " << rop << " brush " << brushKind;
            // And both are what the rules say, pixel by pixel.
            for (int y = 0; y < 9; ++y)
                for (int x = 0; x < 45; ++x) {
                    uint32_t expect = dstPixels[size_t(y * 45 + x)];
                    if (x >= 2 && x < 43 && y >= 1 && y < 8) {
                        uint32_t s = srcPixels[size_t((y + 1) * 45 + x - 1)];
                        if (c.SrcMono && !c.DstMono) s = s ? 0x05FA3C : 0xC80A14;
                        if (!c.SrcMono && c.DstMono) s = s == 0x102030 ? 0xFFFFFF : 0;
                        uint32_t p;
                        if (brushKind == 0) {
                            p = 0x1177EE;
                        } else {
                            bool bit = rows[(y - 5 + 8) % 8] & (0x80 >> ((x - 3 + 8) % 8));
                            p = bit ? 0x05FA3C : 0xC80A14;  // 1: background, 0: text colour
                        }
                        if (c.DstMono) p = ToMono(p);
                        expect = RefRop3(gdi::RopIndex(rop), p, s, expect);
                    }
                    ASSERT_EQ(results[0][size_t(y * 45 + x)], expect)
                        << std::hex << "rop " << rop << " brush " << brushKind << " at " << std::dec << x << ","
                        << y;
                }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, GdiBitBltFastPaths,
                         ::testing::Values(DepthCase{false, false}, DepthCase{true, false}, DepthCase{false, true},
                                           DepthCase{true, true}));

// ---- depth rules ----

TEST(GdiBitBlt, ColourToMonochromeUsesTheSourceBackground) {
    TSurf src(3, 1), dst(3, 1, true);
    src.At(0, 0) = 0xFF0000;
    src.At(1, 0) = 0x00FF00;
    src.At(2, 0) = 0xFFFFFF;
    SetBkColor(src.Dc, RGB(0, 255, 0));
    SetBkColor(dst.Dc, RGB(255, 0, 0));  // the destination's colours play no part
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 0, 3, 1, src.Dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), 0x000000u);
    EXPECT_EQ(dst.At(1, 0), 0xFFFFFFu);
    EXPECT_EQ(dst.At(2, 0), 0x000000u);  // white is not the background colour
}

TEST(GdiBitBlt, MonochromeToColourUsesTheDestinationColours) {
    TSurf src(2, 1, true), dst(2, 1);
    src.At(0, 0) = 0;
    src.At(1, 0) = 0xFFFFFF;
    SetTextColor(src.Dc, RGB(1, 2, 3));  // the source's colours play no part
    SetTextColor(dst.Dc, RGB(255, 0, 0));
    SetBkColor(dst.Dc, RGB(0, 0, 255));
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 0, 2, 1, src.Dc, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(dst.Dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dst.Dc, 1, 0), RGB(0, 0, 255));
}

TEST(GdiBitBlt, MaskIdiomDrawsThroughAMonochromeMask) {
    // The classic transparent draw: AND the mask, then OR the image with black where masked.
    TSurf img(4, 1), mask(4, 1, true), dst(4, 1);
    dst.Fill(0x808080);
    img.At(0, 0) = 0xFF0000;
    img.At(1, 0) = 0x00FF00;
    mask.At(2, 0) = mask.At(3, 0) = 0xFFFFFF;  // 1 = transparent
    SetTextColor(dst.Dc, RGB(0, 0, 0));
    SetBkColor(dst.Dc, RGB(255, 255, 255));
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 0, 4, 1, mask.Dc, 0, 0, SRCAND));
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 0, 4, 1, img.Dc, 0, 0, SRCPAINT));
    EXPECT_EQ(dst.At(0, 0), 0xFF0000u);
    EXPECT_EQ(dst.At(1, 0), 0x00FF00u);
    EXPECT_EQ(dst.At(2, 0), 0x808080u);
    EXPECT_EQ(dst.At(3, 0), 0x808080u);
}

// ---- clipping and origins ----

TEST(GdiBitBlt, CopiesOnlyWhatTheSourceHas) {
    TSurf src(4, 4), dst(8, 8);
    src.Fill(0x111111);
    dst.Fill(0xEEEEEE);
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 0, 8, 8, src.Dc, -2, -1, SRCCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            bool inside = x >= 2 && x < 6 && y >= 1 && y < 5;
            ASSERT_EQ(dst.At(x, y), inside ? 0x111111u : 0xEEEEEEu) << x << "," << y;
        }
    // Entirely outside: nothing happens, and the call still succeeds.
    EXPECT_TRUE(BitBlt(dst.Dc, 0, 0, 8, 8, src.Dc, 100, 100, SRCCOPY));
    EXPECT_TRUE(BitBlt(dst.Dc, 0, 0, -3, 8, src.Dc, 0, 0, SRCCOPY));
}

TEST(GdiBitBlt, ClipsToTheClipRegionWithMovedOrigins) {
    TSurf src(10, 10), dst(10, 10);
    src.Noise(5);
    dst.Fill(0);
    SetWindowOrgEx(dst.Dc, -2, -3, nullptr);   // logical (0,0) is device (2,3)
    SetWindowOrgEx(src.Dc, 1, 1, nullptr);     // logical (1,1) is source pixel (0,0)
    IntersectClipRect(dst.Dc, 0, 0, 4, 4);     // device 2..5 x 3..6
    ExcludeClipRect(dst.Dc, 1, 1, 2, 2);       // a hole at device (3,4): a complex clip
    ASSERT_TRUE(BitBlt(dst.Dc, -5, -5, 20, 20, src.Dc, -5, -5, SRCCOPY));
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            bool in = x >= 2 && x < 6 && y >= 3 && y < 7 && !(x == 3 && y == 4);
            // device (x,y) is logical (x-2, y-3); the source logical point is the same,
            // which is source pixel (x-3, y-4)
            uint32_t expect = 0;
            if (in && x - 3 >= 0 && y - 4 >= 0) expect = src.At(x - 3, y - 4);
            ASSERT_EQ(dst.At(x, y), expect) << x << "," << y;
        }
}

// Scrolling a surface onto itself in every direction, with a simple and a complex clip.
TEST(GdiBitBlt, OverlappingCopiesOnOneSurface) {
    const int dirs[][2] = {{0, 3}, {0, -3}, {4, 0}, {-4, 0}, {2, 2}, {-2, -2}, {3, -1}};
    for (const DWORD rop : {SRCCOPY, SRCINVERT, 0x00960169u})
        for (bool fast : {true, false})
            for (bool complexClip : {false, true})
                for (auto& d : dirs) {
                    FastPathGuard g(fast);
                    TSurf s(20, 12);
                    s.Noise(11);
                    if (complexClip) ExcludeClipRect(s.Dc, 8, 5, 10, 7);
                    SelectObject(s.Dc, GetStockObject(GRAY_BRUSH));
                    auto before = s.Pixels();
                    ASSERT_TRUE(BitBlt(s.Dc, 4 + d[0], 3 + d[1], 12, 6, s.Dc, 4, 3, rop));
                    for (int y = 0; y < 12; ++y)
                        for (int x = 0; x < 20; ++x) {
                            uint32_t expect = before[size_t(y * 20 + x)];
                            int sx = x - d[0], sy = y - d[1];
                            bool in = x >= 4 + d[0] && x < 16 + d[0] && y >= 3 + d[1] && y < 9 + d[1];
                            if (complexClip && x >= 8 && x < 10 && y >= 5 && y < 7) in = false;
                            if (in)
                                expect = RefRop3(gdi::RopIndex(rop), 0x808080, before[size_t(sy * 20 + sx)], expect);
                            ASSERT_EQ(s.At(x, y), expect) << std::hex << rop << std::dec << " dir " << d[0] << ","
                                                          << d[1] << " at " << x << "," << y;
                        }
                }
}

// Plain copies of every narrow width (the row-copy kernels change at 2, 4, 8 and
// 32 pixels), at odd positions, through moved origins and a rectangle clip, give
// exactly the generic evaluation's pixels and touch nothing around them.
TEST(GdiBitBlt, NarrowPlainCopiesMatchTheGenericPath) {
    TSurf src(48, 12);
    src.Noise(3);
    for (int w = 1; w <= 40; ++w)
        for (int x : {0, 1, 5}) {
            std::vector<uint32_t> result[2];
            for (bool fast : {true, false}) {
                FastPathGuard g(fast);
                TSurf dst(50, 12);
                dst.Fill(0xABCDEF);
                SetWindowOrgEx(dst.Dc, -1, 0, nullptr);  // logical x is device x + 1
                SetWindowOrgEx(src.Dc, 2, 1, nullptr);
                IntersectClipRect(dst.Dc, 0, 1, 45, 10);
                ASSERT_TRUE(BitBlt(dst.Dc, x, 0, w, 12, src.Dc, x + 3, 0, SRCCOPY));
                result[fast ? 0 : 1] = dst.Pixels();
                SetWindowOrgEx(src.Dc, 0, 0, nullptr);
            }
            ASSERT_EQ(result[0], result[1]) << "width " << w << " at " << x;
            // Spot checks against the definition: inside the clip, and the row above it untouched.
            EXPECT_EQ(result[0][size_t(1 * 50 + x + 1)], src.At(x + 1, 0)) << w;
            EXPECT_EQ(result[0][size_t(x + 1)], 0xABCDEFu) << w;
        }
}

// A blit right after the clip, the origin or the selected bitmap changed obeys
// the new state, and a complex clip still leaves its hole.
TEST(GdiBitBlt, PlainCopiesFollowClipAndOriginChanges) {
    TSurf src(16, 16), dst(16, 16);
    src.Noise(9);
    dst.Fill(0);
    auto expectArea = [&](const TSurf& s, RECT In, const char* What) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                bool in = x >= In.left && x < In.right && y >= In.top && y < In.bottom;
                ASSERT_EQ(s.At(x, y), in ? src.At(x, y) : 0u) << What << " at " << x << "," << y;
            }
    };
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 0, 8, 8, src.Dc, 0, 0, SRCCOPY));
    expectArea(dst, RECT{0, 0, 8, 8}, "first");
    dst.Fill(0);
    IntersectClipRect(dst.Dc, 2, 2, 5, 6);
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 0, 8, 8, src.Dc, 0, 0, SRCCOPY));
    expectArea(dst, RECT{2, 2, 5, 6}, "clipped");
    dst.Fill(0);
    SelectClipRgn(dst.Dc, nullptr);
    ASSERT_TRUE(BitBlt(dst.Dc, 4, 4, 8, 8, src.Dc, 4, 4, SRCCOPY));
    expectArea(dst, RECT{4, 4, 12, 12}, "clip removed");
    dst.Fill(0);
    IntersectClipRect(dst.Dc, 0, 0, 16, 16);
    ExcludeClipRect(dst.Dc, 6, 6, 8, 8);
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 0, 16, 16, src.Dc, 0, 0, SRCCOPY));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            bool hole = x >= 6 && x < 8 && y >= 6 && y < 8;
            ASSERT_EQ(dst.At(x, y), hole ? 0u : src.At(x, y)) << "complex clip at " << x << "," << y;
        }
    SelectClipRgn(dst.Dc, nullptr);
    // Another bitmap in the same DC: the copy lands there, not in the first one.
    dst.Fill(0);
    HBITMAP otherBmp = CreateBitmap(16, 16, 1, 32, nullptr);
    HGDIOBJ was = SelectObject(dst.Dc, otherBmp);
    ASSERT_NE(was, nullptr);
    SetWindowOrgEx(dst.Dc, 0, -1, nullptr);  // logical y is device y + 1
    ASSERT_TRUE(BitBlt(dst.Dc, 0, 1, 16, 3, src.Dc, 0, 2, SRCCOPY));
    const TBitmapObj* o = gdi::Find<TBitmapObj>(otherBmp);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(o->Row(y)[x], y >= 2 && y < 5 ? src.At(x, y) : 0u) << "other bitmap at " << x << "," << y;
    SelectObject(dst.Dc, was);
    DeleteObject(otherBmp);
    EXPECT_EQ(dst.At(0, 2), 0u);
}

TEST(GdiBitBlt, BadHandlesFail) {
    TSurf dst(4, 4);
    EXPECT_FALSE(BitBlt(nullptr, 0, 0, 4, 4, dst.Dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.Dc, 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY));
    EXPECT_TRUE(BitBlt(dst.Dc, 0, 0, 4, 4, nullptr, 0, 0, BLACKNESS));  // no source needed
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    EXPECT_FALSE(BitBlt(dst.Dc, 0, 0, 4, 4, gone, 0, 0, SRCCOPY));
    EXPECT_FALSE(StretchBlt(gone, 0, 0, 4, 4, dst.Dc, 0, 0, 2, 2, SRCCOPY));
    EXPECT_FALSE(PatBlt(gone, 0, 0, 4, 4, PATCOPY));
    EXPECT_EQ(GetPixel(gone, 0, 0), CLR_INVALID);
    EXPECT_EQ(SetPixel(gone, 0, 0, 0), CLR_INVALID);
    EXPECT_FALSE(SetPixelV(gone, 0, 0, 0));
}

TEST(GdiBitBlt, TracedAndFailsWhenAFaultIsInjected) {
    TSurf src(2, 2), dst(2, 2);
    src.Fill(0x111111);
    dst.Fill(0x222222);
    gditest::ClearTrace();
    gditest::SetTrace(true);
    gditest::FailCall("BitBlt", 2);
    EXPECT_TRUE(PatBlt(dst.Dc, 0, 0, 1, 1, WHITENESS));
    EXPECT_TRUE(BitBlt(dst.Dc, 1, 0, 1, 1, src.Dc, 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.Dc, 0, 1, 1, 1, src.Dc, 0, 0, SRCCOPY));  // the second one fails
    EXPECT_TRUE(BitBlt(dst.Dc, 1, 1, 1, 1, src.Dc, 0, 0, SRCCOPY));
    gditest::SetTrace(false);
    gditest::ClearFaults();
    EXPECT_EQ(dst.Pixels(), (std::vector<uint32_t>{0xFFFFFF, 0x111111, 0x222222, 0x111111}));
    const auto& log = gditest::TraceLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0].rfind("PatBlt(", 0), 0u);
    EXPECT_EQ(log[2].rfind("BitBlt(", 0), 0u);
    EXPECT_NE(log[2].find(std::to_string(SRCCOPY)), std::string::npos);
    gditest::ClearTrace();
}

TEST(GdiBitBlt, ExtremeCoordinatesNeitherCrashNorWrap) {
    TSurf src(4, 4), dst(4, 4);
    src.Fill(0x111111);
    dst.Fill(0x222222);
    const int lo = INT_MIN, hi = INT_MAX;
    EXPECT_TRUE(BitBlt(dst.Dc, hi - 1, lo, hi, hi, src.Dc, lo, hi, SRCCOPY));
    EXPECT_TRUE(BitBlt(dst.Dc, lo, lo, hi, hi, src.Dc, lo, lo, SRCCOPY));
    EXPECT_TRUE(StretchBlt(dst.Dc, lo, lo, hi, hi, src.Dc, 0, 0, lo, 3, SRCCOPY));
    EXPECT_TRUE(StretchBlt(dst.Dc, hi, hi, lo, lo, src.Dc, hi, lo, hi, lo, SRCCOPY));
    EXPECT_TRUE(StretchBlt(dst.Dc, 0, 0, 4, 4, src.Dc, lo, lo, hi, hi, SRCCOPY));
    EXPECT_TRUE(PatBlt(dst.Dc, lo, lo, hi, lo, DSTINVERT));
    EXPECT_TRUE(PatBlt(dst.Dc, hi, hi, lo, lo, DSTINVERT));
    EXPECT_TRUE(MaskBlt(dst.Dc, 0, 0, 4, 4, src.Dc, 0, 0, nullptr, hi, lo, SRCCOPY));
    EXPECT_TRUE(TransparentBlt(dst.Dc, lo, lo, hi, hi, src.Dc, 0, 0, hi, hi, 0));
    EXPECT_EQ(GetPixel(dst.Dc, lo, hi), CLR_INVALID);
    EXPECT_EQ(dst.At(3, 3), 0x111111u);  // only the MaskBlt without a mask reached the surface
    // A zoom of 2^31 whose last pixels are the visible ones: the right half of the source.
    TSurf two(2, 1);
    two.At(0, 0) = 0x0000FF;
    two.At(1, 0) = 0x00FF00;
    SetStretchBltMode(dst.Dc, COLORONCOLOR);
    EXPECT_TRUE(StretchBlt(dst.Dc, 4 - hi, 4 - hi, hi, hi, two.Dc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.At(3, 3), 0x00FF00u);
    EXPECT_EQ(dst.At(0, 0), 0x00FF00u);
}

// ---- PatBlt and brushes ----

TEST(GdiPatBlt, SolidAndInversions) {
    TSurf s(6, 4);
    s.Fill(0x0000FF);
    TSelBrush b(s.Dc, CreateSolidBrush(RGB(255, 0, 0)));
    ASSERT_TRUE(PatBlt(s.Dc, 1, 1, 2, 2, PATCOPY));
    EXPECT_EQ(s.At(1, 1), 0xFF0000u);
    EXPECT_EQ(s.At(2, 2), 0xFF0000u);
    EXPECT_EQ(s.At(3, 2), 0x0000FFu);
    ASSERT_TRUE(PatBlt(s.Dc, 0, 0, 6, 1, PATINVERT));
    EXPECT_EQ(s.At(0, 0), 0xFF00FFu);
    ASSERT_TRUE(PatBlt(s.Dc, 0, 0, 6, 1, DSTINVERT));
    EXPECT_EQ(s.At(0, 0), 0x00FF00u);
    ASSERT_TRUE(PatBlt(s.Dc, 5, 3, 1, 1, WHITENESS));
    EXPECT_EQ(s.At(5, 3), 0xFFFFFFu);
    // Negative extents count back from the start, the start pixel included.
    ASSERT_TRUE(PatBlt(s.Dc, 5, 3, -2, -1, BLACKNESS));
    EXPECT_EQ(s.At(5, 3), 0u);
    EXPECT_EQ(s.At(4, 3), 0u);
    EXPECT_EQ(s.At(3, 3), 0x0000FFu);
    // A source operation is not a pattern operation.
    EXPECT_FALSE(PatBlt(s.Dc, 0, 0, 2, 2, SRCCOPY));
}

TEST(GdiPatBlt, NullBrushPaintsNothing) {
    TSurf s(4, 4);
    s.Fill(0x123456);
    SelectObject(s.Dc, GetStockObject(NULL_BRUSH));
    EXPECT_TRUE(PatBlt(s.Dc, 0, 0, 4, 4, PATCOPY));
    EXPECT_EQ(s.At(2, 2), 0x123456u);
    EXPECT_TRUE(PatBlt(s.Dc, 0, 0, 4, 4, DSTINVERT));  // no pattern read: applies
    EXPECT_EQ(s.At(2, 2), 0xEDCBA9u);
}

TEST(GdiPatBlt, HatchOpaqueAndTransparent) {
    TSurf s(16, 8);
    s.Fill(0x00FF00);
    TSelBrush b(s.Dc, CreateHatchBrush(HS_CROSS, RGB(255, 0, 0)));
    SetBkColor(s.Dc, RGB(0, 0, 255));
    SetBkMode(s.Dc, OPAQUE);
    ASSERT_TRUE(PatBlt(s.Dc, 0, 0, 8, 8, PATCOPY));
    SetBkMode(s.Dc, TRANSPARENT);
    ASSERT_TRUE(PatBlt(s.Dc, 8, 0, 8, 8, PATCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            bool line = (x % 8) == 4 || y == 4;
            uint32_t expect = line ? 0xFF0000 : (x < 8 ? 0x0000FF : 0x00FF00);
            ASSERT_EQ(s.At(x, y), expect) << x << "," << y;
        }
    // The holes hold for every operation that reads the pattern, in blits too.
    TSurf src(16, 8);
    src.Fill(0xFFFFFF);
    ASSERT_TRUE(BitBlt(s.Dc, 0, 0, 16, 8, src.Dc, 0, 0, 0x00E20746));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) {
            bool line = (x % 8) == 4 || y == 4;
            uint32_t expect = line ? 0xFF0000 : (x < 8 ? 0x0000FF : 0x00FF00);
            ASSERT_EQ(s.At(x, y), expect) << x << "," << y;
        }
    ASSERT_TRUE(PatBlt(s.Dc, 0, 0, 16, 8, PATINVERT));
    EXPECT_EQ(s.At(4, 0), 0u);
    EXPECT_EQ(s.At(5, 0), 0x0000FFu);
    EXPECT_EQ(s.At(13, 0), 0x00FF00u);
}

TEST(GdiPatBlt, EveryHatchHasItsLines) {
    // Pixels of the hatch lines within one 8x8 cell at brush origin (0,0).
    auto line = [](int h, int x, int y) {
        switch (h) {
        case HS_HORIZONTAL: return y == 4;
        case HS_VERTICAL: return x == 4;
        case HS_FDIAGONAL: return x == y;
        case HS_BDIAGONAL: return x + y == 7;
        case HS_CROSS: return x == 4 || y == 4;
        default: return x == y || x + y == 7;
        }
    };
    for (int h = HS_HORIZONTAL; h <= HS_DIAGCROSS; ++h) {
        TSurf s(8, 8);
        TSelBrush b(s.Dc, CreateHatchBrush(h, RGB(0, 0, 0)));
        SetBkColor(s.Dc, RGB(255, 255, 255));
        ASSERT_TRUE(PatBlt(s.Dc, 0, 0, 8, 8, PATCOPY));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_EQ(s.At(x, y), line(h, x, y) ? 0u : 0xFFFFFFu) << "hatch " << h << " at " << x << "," << y;
    }
}

TEST(GdiPatBlt, PatternBrushFollowsTheBrushOrigin) {
    const uint8_t rows[8] = {0x80, 0, 0, 0, 0, 0, 0, 0};  // one white pixel at the tile's corner
    HBITMAP pat = MonoPattern(rows);
    TSurf s(20, 20);
    TSelBrush b(s.Dc, CreatePatternBrush(pat));
    DeleteObject(pat);
    SetTextColor(s.Dc, RGB(0, 0, 0));        // pattern 0
    SetBkColor(s.Dc, RGB(255, 255, 0));      // pattern 1
    SetBrushOrgEx(s.Dc, 3, 2, nullptr);
    SetWindowOrgEx(s.Dc, 5, 5, nullptr);      // the brush origin is in device coordinates
    ASSERT_TRUE(PatBlt(s.Dc, 5, 5, 20, 20, PATCOPY));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) {
            bool one = (x - 3 + 16) % 8 == 0 && (y - 2 + 16) % 8 == 0;
            ASSERT_EQ(s.At(x, y), one ? 0xFFFF00u : 0u) << x << "," << y;
        }
    // BrushPixel tells the same.
    gdi::TDCObj* dc = gdi::Find<gdi::TDCObj>(s.Dc);
    gdi::TBrushObj* br = gdi::Find<gdi::TBrushObj>(GetCurrentObject(s.Dc, OBJ_BRUSH));
    ASSERT_NE(br, nullptr);
    EXPECT_EQ(gdi::BrushPixel(br, dc, s.Obj(), 11, 10), 0xFFFF00u);
    EXPECT_EQ(gdi::BrushPixel(br, dc, s.Obj(), 12, 10), 0u);
}

TEST(GdiPatBlt, ColourPatternOnAMonochromeSurface) {
    TSurf pat(2, 1), s(4, 1, true);
    pat.At(0, 0) = 0xF0F0F0;  // light: white
    pat.At(1, 0) = 0x202020;  // dark: black
    TSelBrush b(s.Dc, CreatePatternBrush(pat.Bmp));
    ASSERT_TRUE(PatBlt(s.Dc, 0, 0, 4, 1, PATCOPY));
    EXPECT_EQ(s.Pixels(), (std::vector<uint32_t>{0xFFFFFF, 0, 0xFFFFFF, 0}));
}

// ---- StretchBlt ----

TEST(GdiStretchBlt, ZoomSamplesThePixelUnderEachCentre) {
    TSurf src(3, 2), dst(7, 5);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) src.At(x, y) = uint32_t(y * 16 + x + 1);
    SetStretchBltMode(dst.Dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 7, 5, src.Dc, 0, 0, 3, 2, SRCCOPY));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            int sx = (2 * x + 1) * 3 / 14, sy = (2 * y + 1) * 2 / 10;
            ASSERT_EQ(dst.At(x, y), src.At(sx, sy)) << x << "," << y;
        }
}

TEST(GdiStretchBlt, NegativeExtentsMirror) {
    TSurf src(4, 3), dst(4, 3);
    src.Noise(3);
    // The flip idiom: start at the last column with a negative width.
    ASSERT_TRUE(StretchBlt(dst.Dc, 3, 0, -4, 3, src.Dc, 0, 0, 4, 3, SRCCOPY));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(dst.At(x, y), src.At(3 - x, y));
    // Vertical flip through the source side.
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 4, 3, src.Dc, 0, 2, 4, -3, SRCCOPY));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) ASSERT_EQ(dst.At(x, y), src.At(x, 2 - y));
    // Both sides negative: no mirror.
    ASSERT_TRUE(StretchBlt(dst.Dc, 3, 2, -4, -3, src.Dc, 3, 2, -4, -3, SRCCOPY));
    EXPECT_EQ(dst.Pixels(), src.Pixels());
    // Mirrored while shrinking.
    TSurf small(2, 1);
    SetStretchBltMode(small.Dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(small.Dc, 1, 0, -2, 1, src.Dc, 0, 0, 4, 1, SRCCOPY));
    // Destination pixel x is d = 1 - x from the start and samples floor((2d+1)*4/4) = 2d+1.
    EXPECT_EQ(small.At(1, 0), src.At(1, 0));
    EXPECT_EQ(small.At(0, 0), src.At(3, 0));
}

TEST(GdiStretchBlt, ShrinkModes) {
    TSurf src(4, 2), dst(2, 1);
    // Source pixels (0..1, 0..1) map to dest 0 and (2..3, 0..1) to dest 1.
    const uint32_t px[8] = {0xF0F0F0, 0xFFFF0F, 0x800000, 0x008000, 0xFCFCFC, 0xF3F3F3, 0x000080, 0x000001};
    for (int i = 0; i < 8; ++i) src.At(i % 4, i / 4) = px[i];
    EXPECT_EQ(GetStretchBltMode(dst.Dc), BLACKONWHITE);
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 2, 1, src.Dc, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), 0xF0F000u);
    EXPECT_EQ(dst.At(1, 0), 0u);
    SetStretchBltMode(dst.Dc, WHITEONBLACK);
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 2, 1, src.Dc, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(dst.At(1, 0), 0x808081u);
    SetStretchBltMode(dst.Dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 2, 1, src.Dc, 0, 0, 4, 2, SRCCOPY));
    // floor((2d+1)*4/4) = 1 and 3; floor(1*2/2) = 1.
    EXPECT_EQ(dst.At(0, 0), src.At(1, 1));
    EXPECT_EQ(dst.At(1, 0), src.At(3, 1));
    // HALFTONE averages each channel of the four source pixels, rounded.
    SetStretchBltMode(dst.Dc, HALFTONE);
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 2, 1, src.Dc, 0, 0, 4, 2, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), 0xF8F8BCu);  // red and green (F0+FF+FC+F3)/4, blue (F0+0F+FC+F3)/4
    EXPECT_EQ(dst.At(1, 0), 0x202020u);  // each channel 80/4; blue (80+01)/4 rounds to 20
}

// The source pixels of destination offset d along one axis, straight from the
// definitions: the pixel under the centre, or with grouping on a shrinking axis every
// source pixel s whose own centre lands in d: floor((2s+1)·dw / (2·sw)) == d.
std::vector<int> RefAxis(int D, int Dw, int Sw, bool Group) {
    std::vector<int> out;
    if (Group && Sw > Dw) {
        for (int s = 0; s < Sw; ++s)
            if ((2 * s + 1) * Dw / (2 * Sw) == D) out.push_back(s);
    } else {
        out.push_back((2 * D + 1) * Sw / (2 * Dw));
    }
    return out;
}

TEST(GdiStretchBlt, AgreesWithTheDefinitionForManySizes) {
    uint32_t seed = 12345;
    auto rnd = [&seed](int n) { return int(((seed = seed * 1664525u + 1013904223u) >> 8) % uint32_t(n)); };
    for (int iter = 0; iter < 400; ++iter) {
        const int mode = 1 + iter % 3;  // BLACKONWHITE, WHITEONBLACK, COLORONCOLOR
        const bool mono = iter % 7 == 0;
        TSurf src(9, 8, mono), dst(12, 11, mono);
        src.Noise(uint32_t(iter));
        dst.Noise(uint32_t(iter) + 1000);
        SetStretchBltMode(dst.Dc, mode);
        int w = 1 + rnd(14), h = 1 + rnd(14), sw = 1 + rnd(14), sh = 1 + rnd(14);
        if (rnd(2)) w = -w;
        if (rnd(2)) h = -h;
        if (rnd(2)) sw = -sw;
        if (rnd(2)) sh = -sh;
        const int x = rnd(16) - 2, y = rnd(15) - 2, sx = rnd(13) - 2, sy = rnd(12) - 2;
        const auto before = dst.Pixels(), sp = src.Pixels();
        ASSERT_TRUE(StretchBlt(dst.Dc, x, y, w, h, src.Dc, sx, sy, sw, sh, SRCCOPY));
        const bool shrink = std::abs(sw) > std::abs(w) || std::abs(sh) > std::abs(h);
        const bool group = mode != COLORONCOLOR && shrink;
        auto expect = before;
        for (int d = 0; d < std::abs(w); ++d)
            for (int e = 0; e < std::abs(h); ++e) {
                const int px = x + (w > 0 ? d : -d), py = y + (h > 0 ? e : -e);
                if (px < 0 || py < 0 || px >= 12 || py >= 11) continue;
                const auto xs = RefAxis(d, std::abs(w), std::abs(sw), group);
                const auto ys = RefAxis(e, std::abs(h), std::abs(sh), group);
                bool any = false;
                uint32_t acc = mode == BLACKONWHITE ? 0xFFFFFF : 0;
                for (int a : ys)
                    for (int b : xs) {
                        const int qx = sx + (sw > 0 ? b : -b), qy = sy + (sh > 0 ? a : -a);
                        if (qx < 0 || qy < 0 || qx >= 9 || qy >= 8) continue;
                        const uint32_t v = sp[size_t(qy * 9 + qx)];
                        if (!group) acc = v;
                        else acc = mode == BLACKONWHITE ? (acc & v) : (acc | v);
                        any = true;
                    }
                if (any) expect[size_t(py * 12 + px)] = acc;
            }
        ASSERT_EQ(dst.Pixels(), expect) << "mode " << mode << " dest " << x << "," << y << " " << w << "x" << h
                                        << " src " << sx << "," << sy << " " << sw << "x" << sh;
    }
}

TEST(GdiStretchBlt, MonochromeShrinkKeepsThinBlackLines) {
    // A one-pixel black line on white survives a 4x shrink in BLACKONWHITE only.
    TSurf src(8, 8, true), dst(2, 2, true);
    src.Fill(0xFFFFFF);
    for (int y = 0; y < 8; ++y) src.At(5, y) = 0;
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 2, 2, src.Dc, 0, 0, 8, 8, SRCCOPY));
    EXPECT_EQ(dst.Pixels(), (std::vector<uint32_t>{0xFFFFFF, 0, 0xFFFFFF, 0}));
    SetStretchBltMode(dst.Dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 2, 2, src.Dc, 0, 0, 8, 8, SRCCOPY));
    EXPECT_EQ(dst.Pixels(), (std::vector<uint32_t>(4, 0xFFFFFF)));
}

TEST(GdiStretchBlt, ClipsBeforeSamplingAndKeepsToTheSource) {
    // A 25x zoom of a 100x100 source onto a clipped 60x60 window of the destination.
    TSurf src(100, 100), dst(60, 60);
    src.Noise(8);
    dst.Fill(0xABCDEF);
    SetWindowOrgEx(dst.Dc, 100, 100, nullptr);
    IntersectClipRect(dst.Dc, 10, 20, 30, 25);
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 2500, 2500, src.Dc, 0, 0, 100, 100, SRCCOPY));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            // clip 10..30 x 20..25 is logical; device = logical - 100, so no pixel of the
            // surface is inside: nothing may change.
            ASSERT_EQ(dst.At(x, y), 0xABCDEFu);
        }
    SetWindowOrgEx(dst.Dc, 0, 0, nullptr);
    SelectClipRgn(dst.Dc, nullptr);
    IntersectClipRect(dst.Dc, 10, 20, 30, 25);
    ASSERT_TRUE(StretchBlt(dst.Dc, -100, -100, 2500, 2500, src.Dc, 0, 0, 100, 100, SRCCOPY));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            bool in = x >= 10 && x < 30 && y >= 20 && y < 25;
            uint32_t expect = in ? src.At((2 * (x + 100) + 1) * 100 / 5000, (2 * (y + 100) + 1) * 100 / 5000) : 0xABCDEF;
            ASSERT_EQ(dst.At(x, y), expect) << x << "," << y;
        }
    // A source rectangle running off the source bitmap fills only what exists.
    TSurf small(2, 2), big(8, 8);
    small.Fill(0x010101);
    big.Fill(0xFFFFFF);
    ASSERT_TRUE(StretchBlt(big.Dc, 0, 0, 8, 8, small.Dc, 0, 0, 4, 4, SRCCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(big.At(x, y), (x < 4 && y < 4) ? 0x010101u : 0xFFFFFFu);
}

TEST(GdiStretchBlt, RasterOperationsAndDepthsWhileStretching) {
    TSurf src(2, 2, true), dst(4, 4);
    src.At(0, 0) = 0xFFFFFF;
    dst.Fill(0x0F0F0F);
    SetTextColor(dst.Dc, RGB(0xFF, 0, 0));
    SetBkColor(dst.Dc, RGB(0, 0, 0xFF));
    ASSERT_TRUE(StretchBlt(dst.Dc, 0, 0, 4, 4, src.Dc, 0, 0, 2, 2, SRCINVERT));
    EXPECT_EQ(dst.At(0, 0), 0x0F0F0Fu ^ 0x0000FF);
    EXPECT_EQ(dst.At(1, 1), 0x0F0F0Fu ^ 0x0000FF);
    EXPECT_EQ(dst.At(2, 0), 0x0F0F0Fu ^ 0xFF0000);
    EXPECT_EQ(dst.At(3, 3), 0x0F0F0Fu ^ 0xFF0000);
    // Equal sizes take the plain blit: same result as BitBlt.
    TSurf a(5, 5), b(5, 5), c(5, 5);
    a.Noise(4);
    b.Noise(9);
    c.Set(b.Pixels());
    ASSERT_TRUE(StretchBlt(b.Dc, 0, 0, 5, 5, a.Dc, 0, 0, 5, 5, SRCAND));
    ASSERT_TRUE(BitBlt(c.Dc, 0, 0, 5, 5, a.Dc, 0, 0, SRCAND));
    EXPECT_EQ(b.Pixels(), c.Pixels());
}

TEST(GdiStretchBlt, OntoItself) {
    TSurf s(8, 8);
    s.Noise(21);
    auto before = s.Pixels();
    SetStretchBltMode(s.Dc, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(s.Dc, 0, 0, 8, 8, s.Dc, 0, 0, 4, 4, SRCCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) ASSERT_EQ(s.At(x, y), before[size_t((y / 2) * 8 + x / 2)]);
}

// ---- MaskBlt and TransparentBlt ----

TEST(GdiMaskBlt, ForegroundWhereTheMaskIsOne) {
    TSurf src(4, 2), dst(4, 2), mask(6, 3, true);
    src.Fill(0x112233);
    dst.Fill(0x445566);
    // mask read from (2,1): ones at mask (2,1) and (5,2) -> dest (0,0) and (3,1)
    mask.At(2, 1) = 0xFFFFFF;
    mask.At(5, 2) = 0xFFFFFF;
    ASSERT_TRUE(MaskBlt(dst.Dc, 0, 0, 4, 2, src.Dc, 0, 0, mask.Bmp, 2, 1, MAKEROP4(SRCCOPY, DSTINVERT)));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) {
            bool fore = (x == 0 && y == 0) || (x == 3 && y == 1);
            ASSERT_EQ(dst.At(x, y), fore ? 0x112233u : (~0x445566u & 0xFFFFFF)) << x << "," << y;
        }
    // Background "leave alone" (0xAA): the mask cuts out the source.
    dst.Fill(0x445566);
    ASSERT_TRUE(MaskBlt(dst.Dc, 0, 0, 4, 2, src.Dc, 0, 0, mask.Bmp, 2, 1, MAKEROP4(SRCCOPY, 0x00AA0029)));
    EXPECT_EQ(dst.At(0, 0), 0x112233u);
    EXPECT_EQ(dst.At(1, 0), 0x445566u);
    // No mask: the foreground everywhere. A colour mask fails.
    ASSERT_TRUE(MaskBlt(dst.Dc, 0, 0, 4, 2, src.Dc, 0, 0, nullptr, 0, 0, MAKEROP4(SRCCOPY, DSTINVERT)));
    EXPECT_EQ(dst.At(1, 1), 0x112233u);
    EXPECT_FALSE(MaskBlt(dst.Dc, 0, 0, 4, 2, src.Dc, 0, 0, src.Bmp, 0, 0, MAKEROP4(SRCCOPY, DSTINVERT)));
    // With a null brush the pattern half leaves the destination alone; the other half applies.
    dst.Fill(0x445566);
    SelectObject(dst.Dc, GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(MaskBlt(dst.Dc, 0, 0, 4, 2, src.Dc, 0, 0, mask.Bmp, 2, 1, MAKEROP4(SRCCOPY, PATCOPY)));
    EXPECT_EQ(dst.At(0, 0), 0x112233u);
    EXPECT_EQ(dst.At(1, 0), 0x445566u);
    // And with a brush, the background operation paints it.
    SelectObject(dst.Dc, GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(MaskBlt(dst.Dc, 0, 0, 4, 2, src.Dc, 0, 0, mask.Bmp, 2, 1, MAKEROP4(SRCCOPY, PATCOPY)));
    EXPECT_EQ(dst.At(1, 0), 0u);
    EXPECT_EQ(dst.At(3, 1), 0x112233u);
}

TEST(GdiTransparentBlt, LeavesTheTransparentColourOut) {
    TSurf src(2, 2), dst(4, 4);
    src.At(0, 0) = 0xFF00FF;
    src.At(1, 0) = 0x00FF00;
    src.At(0, 1) = 0x0000FF;
    src.At(1, 1) = 0xFF00FF;
    dst.Fill(0x777777);
    ASSERT_TRUE(TransparentBlt(dst.Dc, 0, 0, 4, 4, src.Dc, 0, 0, 2, 2, RGB(255, 0, 255)));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            uint32_t s = src.At(x / 2, y / 2);
            ASSERT_EQ(dst.At(x, y), s == 0xFF00FF ? 0x777777u : s) << x << "," << y;
        }
    EXPECT_FALSE(TransparentBlt(dst.Dc, 4, 0, -4, 4, src.Dc, 0, 0, 2, 2, 0));
}

// ---- single pixels ----

TEST(GdiPixel, SetAndGetHonourTheClip) {
    TSurf s(4, 4);
    EXPECT_EQ(SetPixel(s.Dc, 1, 1, RGB(10, 20, 30)), RGB(10, 20, 30));
    EXPECT_EQ(s.At(1, 1), 0x0A141Eu);
    EXPECT_EQ(GetPixel(s.Dc, 1, 1), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(s.Dc, 4, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(s.Dc, -1, 0), CLR_INVALID);
    IntersectClipRect(s.Dc, 2, 2, 4, 4);
    EXPECT_EQ(GetPixel(s.Dc, 1, 1), CLR_INVALID);
    EXPECT_EQ(SetPixel(s.Dc, 1, 1, RGB(1, 1, 1)), CLR_INVALID);
    EXPECT_EQ(s.At(1, 1), 0x0A141Eu);
    EXPECT_TRUE(SetPixelV(s.Dc, 3, 3, RGB(1, 2, 3)));
    EXPECT_FALSE(SetPixelV(s.Dc, 0, 3, RGB(1, 2, 3)));
    SetWindowOrgEx(s.Dc, 1, 1, nullptr);
    EXPECT_EQ(GetPixel(s.Dc, 4, 4), RGB(1, 2, 3));
}

TEST(GdiPixel, MonochromeSurfacesHoldBlackOrWhite) {
    TSurf s(2, 1, true);
    EXPECT_EQ(SetPixel(s.Dc, 0, 0, RGB(200, 200, 200)), RGB(255, 255, 255));
    EXPECT_EQ(SetPixel(s.Dc, 1, 0, RGB(60, 60, 60)), RGB(0, 0, 0));
    EXPECT_EQ(s.Pixels(), (std::vector<uint32_t>{0xFFFFFF, 0}));
}

}  // namespace
