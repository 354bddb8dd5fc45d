// Tests of the painter's core: handles, objects, device contexts, saved states, clipping, targets and system tables.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/gditest.h"

// Readable rectangles and points in failure messages.
namespace host {
[[maybe_unused]] static void PrintTo(const RECT& R, std::ostream* Os) {
    *Os << "{" << R.left << ", " << R.top << ", " << R.right << ", " << R.bottom << "}";
}
[[maybe_unused]] static void PrintTo(const POINT& P, std::ostream* Os) { *Os << "(" << P.x << ", " << P.y << ")"; }
}  // namespace host

namespace {

using namespace host;
using host::gdi::Find;
using host::gdi::TBitmapObj;
using host::gdi::TBrushObj;
using host::gdi::TDCObj;

BITMAP BitmapOf(HGDIOBJ B) {
    BITMAP bm;
    EXPECT_EQ(GetObjectA(B, sizeof bm, &bm), int(sizeof bm));
    return bm;
}

std::vector<RECT> ClipRects(HDC Dc) {
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    std::vector<RECT> out;
    if (GetClipRgn(Dc, r) == 1) out = GetRegionRects(r);
    DeleteObject(r);
    return out;
}

// A memory DC with a colour bitmap of the given size selected.
struct TMemDC {
    explicit TMemDC(int W = 100, int H = 100, UINT Bits = 32) {
        Dc = CreateCompatibleDC(nullptr);
        Bmp = CreateBitmap(W, H, 1, Bits, nullptr);
        Old = SelectObject(Dc, Bmp);
    }
    ~TMemDC() {
        SelectObject(Dc, Old);
        DeleteObject(Bmp);
        DeleteDC(Dc);
    }
    HDC Dc;
    HBITMAP Bmp;
    HGDIOBJ Old;
};

// ---- handles ----

TEST(GdiHandles, StaleAndWrongHandlesFailWithoutHarm) {
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(GetObjectType(b), OBJ_BRUSH);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_EQ(GetObjectType(b), 0u);
    LOGBRUSH lb;
    EXPECT_EQ(GetObjectA(b, sizeof lb, &lb), 0);

    // The freed slot is reused by the next object; the old handle still finds nothing.
    HBRUSH b2 = CreateSolidBrush(RGB(4, 5, 6));
    EXPECT_NE(b2, b);
    EXPECT_EQ(gdi::FindObject(b), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(dc, b), nullptr);
    EXPECT_EQ(SetTextColor(reinterpret_cast<HDC>(b2), 0), CLR_INVALID);  // a brush is no DC

    // Small integers (system colour indexes passed as brushes) and junk are no handles.
    for (uintptr_t junk : {uintptr_t(0), uintptr_t(1), uintptr_t(16), uintptr_t(0x1000), ~uintptr_t(0)}) {
        EXPECT_EQ(gdi::FindObject(reinterpret_cast<HGDIOBJ>(junk)), nullptr);
        EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(junk)), 0u);
        EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(junk)));
    }
    EXPECT_EQ(gdi::Find<gdi::TPenObj>(b2), nullptr);  // right slot, wrong kind
    DeleteObject(b2);
    DeleteDC(dc);
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_EQ(GetBkColor(dc), CLR_INVALID);
}

TEST(GdiHandles, LiveCountsFollowCreationAndDeletionButNotStockObjects) {
    const int dcs = gditest::LiveDCs(), bmps = gditest::LiveBitmaps(), pens = gditest::LivePens(),
              brushes = gditest::LiveBrushes(), fonts = gditest::LiveFonts(), rgns = gditest::LiveRegions(),
              pals = gditest::LivePalettes(), all = gditest::LiveObjects();
    for (int i = 0; i <= DC_PEN; ++i) GetStockObject(i);
    GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_EQ(gditest::LiveObjects(), all);

    HDC dc = CreateCompatibleDC(nullptr);  // its 1x1 bitmap is not counted
    HBITMAP bmp = CreateBitmap(4, 4, 1, 32, nullptr);
    HPEN pen = CreatePen(PS_DASH, 1, 0);
    HBRUSH br = CreateHatchBrush(HS_CROSS, 0);
    LOGFONTA lf;
    HFONT font = CreateFontIndirectA(&lf);
    HRGN rgn = CreateRectRgn(0, 0, 1, 1);
    LOGPALETTE lp;
    lp.palNumEntries = 1;
    HPALETTE pal = CreatePalette(&lp);
    EXPECT_EQ(gditest::LiveDCs(), dcs + 1);
    EXPECT_EQ(gditest::LiveBitmaps(), bmps + 1);
    EXPECT_EQ(gditest::LivePens(), pens + 1);
    EXPECT_EQ(gditest::LiveBrushes(), brushes + 1);
    EXPECT_EQ(gditest::LiveFonts(), fonts + 1);
    EXPECT_EQ(gditest::LiveRegions(), rgns + 1);
    EXPECT_EQ(gditest::LivePalettes(), pals + 1);
    EXPECT_EQ(gditest::LiveObjects(), all + 7);
    for (HGDIOBJ o : std::initializer_list<HGDIOBJ>{bmp, pen, br, font, rgn, pal}) EXPECT_TRUE(DeleteObject(o));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(gditest::LiveObjects(), all);
}

TEST(GdiHandles, SelectedAndStockObjectsCannotBeDeleted) {
    TMemDC m(8, 8);
    HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 0, 0));
    HGDIOBJ oldPen = SelectObject(m.Dc, pen);
    EXPECT_FALSE(DeleteObject(pen));  // selected
    EXPECT_FALSE(DeleteObject(m.Bmp));
    EXPECT_EQ(SelectObject(m.Dc, oldPen), pen);
    EXPECT_TRUE(DeleteObject(pen));

    HGDIOBJ black = GetStockObject(BLACK_BRUSH);
    EXPECT_FALSE(DeleteObject(black));
    EXPECT_EQ(GetObjectType(black), OBJ_BRUSH);
    EXPECT_EQ(GetStockObject(BLACK_BRUSH), black);
    EXPECT_FALSE(DeleteObject(GetSysColorBrush(COLOR_WINDOW)));
    EXPECT_FALSE(DeleteObject(m.Dc));  // DCs go through DeleteDC
}

TEST(GdiHandles, TraceRecordsCallsWithArguments) {
    gditest::ClearTrace();
    gditest::SetTrace(true);
    HBRUSH b = CreateSolidBrush(255);
    DeleteObject(b);
    gditest::SetTrace(false);
    CreateRectRgn(0, 0, 1, 1);  // not recorded
    const auto& log = gditest::TraceLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "CreateSolidBrush(255)");
    EXPECT_EQ(log[1].rfind("DeleteObject(0x", 0), 0u);
    gditest::ClearTrace();
    EXPECT_TRUE(gditest::TraceLog().empty());
}

TEST(GdiHandles, FaultInjectionFailsTheNthCall) {
    RECT r;
    gditest::FailCall("SystemParametersInfoA", 2);
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0));
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0));
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0));
    gditest::FailCall("SystemParametersInfoA", 1);
    gditest::ClearFaults();
    EXPECT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0));
}

// ---- objects ----

TEST(GdiObjects, GetObjectDescribesEveryKind) {
    HPEN pen = CreatePen(PS_DOT, 3, RGB(1, 2, 3));
    LOGPEN lp;
    ASSERT_EQ(GetObjectA(pen, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, PS_DOT);
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(GetObjectA(pen, 4, &lp), 0);  // too small
    EXPECT_EQ(GetObjectA(pen, 0, nullptr), int(sizeof lp));

    HBRUSH hatch = CreateHatchBrush(HS_BDIAGONAL, RGB(9, 8, 7));
    LOGBRUSH lb;
    ASSERT_EQ(GetObjectA(hatch, sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbStyle, BS_HATCHED);
    EXPECT_EQ(lb.lbColor, RGB(9, 8, 7));
    EXPECT_EQ(lb.lbHatch, uintptr_t(HS_BDIAGONAL));

    HFONT font = CreateFontA(-13, 0, 900, 0, FW_BOLD, 1, 0, 1, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    LOGFONTA lf;
    ASSERT_EQ(GetObjectA(font, sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_STREQ(lf.lfFaceName, "Arial");

    HBITMAP mono = CreateBitmap(17, 3, 1, 1, nullptr);
    BITMAP bm = BitmapOf(mono);
    EXPECT_EQ(bm.bmWidth, 17);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(bm.bmWidthBytes, 4);  // rows padded to 16 bits
    HBITMAP color = CreateBitmap(5, 2, 1, 32, nullptr);
    EXPECT_EQ(BitmapOf(color).bmBitsPixel, 32);
    EXPECT_EQ(BitmapOf(color).bmWidthBytes, 20);

    PALETTEENTRY e[3] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
    std::vector<uint8_t> buf(sizeof(LOGPALETTE) + sizeof e);
    auto* lpal = reinterpret_cast<LOGPALETTE*>(buf.data());
    lpal->palVersion = 0x300;
    lpal->palNumEntries = 3;
    std::memcpy(lpal->palPalEntry, e, sizeof e);
    HPALETTE pal = CreatePalette(lpal);
    WORD n = 0;
    EXPECT_EQ(GetObjectA(pal, sizeof n, &n), 2);
    EXPECT_EQ(n, 3);
    PALETTEENTRY got[3];
    EXPECT_EQ(GetPaletteEntries(pal, 1, 5, got), 2u);
    EXPECT_EQ(got[1].peBlue, 9);

    HRGN rgn = CreateRectRgn(0, 0, 2, 2);
    EXPECT_EQ(GetObjectType(rgn), OBJ_REGION);
    EXPECT_EQ(GetObjectType(pal), OBJ_PAL);
    EXPECT_EQ(GetObjectType(font), OBJ_FONT);
    EXPECT_EQ(GetObjectType(pen), OBJ_PEN);
    EXPECT_EQ(GetObjectType(mono), OBJ_BITMAP);
    HDC mem = CreateCompatibleDC(nullptr);
    HDC screen = GetScreenDC();
    EXPECT_EQ(GetObjectType(mem), OBJ_MEMDC);
    EXPECT_EQ(GetObjectType(screen), OBJ_DC);
    for (HGDIOBJ o : std::initializer_list<HGDIOBJ>{pen, hatch, font, mono, color, pal, rgn})
        EXPECT_TRUE(DeleteObject(o));
    DeleteDC(mem);
    EXPECT_TRUE(ReleaseScreenDC(screen));
}

TEST(GdiObjects, EveryStockObjectExists) {
    for (int i = 0; i <= DC_PEN; ++i) {
        if (i == 9) {
            EXPECT_EQ(GetStockObject(i), nullptr);
            continue;
        }
        EXPECT_NE(GetStockObject(i), nullptr) << i;
    }
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(GetStockObject(99), nullptr);
    LOGBRUSH lb;
    GetObjectA(GetStockObject(LTGRAY_BRUSH), sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));
    GetObjectA(GetStockObject(NULL_BRUSH), sizeof lb, &lb);
    EXPECT_EQ(lb.lbStyle, BS_NULL);
    LOGPEN lp;
    GetObjectA(GetStockObject(NULL_PEN), sizeof lp, &lp);
    EXPECT_EQ(lp.lopnStyle, PS_NULL);
    LOGFONTA lf;
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(lf.lfHeight, -11);
    EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_PALETTE)), OBJ_PAL);
    EXPECT_EQ(GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 0, nullptr), 20u);
}

TEST(GdiObjects, BitmapBitsRoundTripAndMonochromeHoldsOnlyBlackAndWhite) {
    // 10x2 monochrome, rows of 2 bytes: 1 bits are white.
    const uint8_t bits[] = {0xA0, 0x40, 0x00, 0xC0};
    HBITMAP b = CreateBitmap(10, 2, 1, 1, bits);
    TBitmapObj* o = Find<TBitmapObj>(b);
    ASSERT_NE(o, nullptr);
    EXPECT_TRUE(o->Mono());
    std::vector<uint32_t> row0(o->Row(0), o->Row(0) + 10), row1(o->Row(1), o->Row(1) + 10);
    const uint32_t W = 0xFFFFFF;
    EXPECT_EQ(row0, (std::vector<uint32_t>{W, 0, W, 0, 0, 0, 0, 0, 0, W}));
    EXPECT_EQ(row1, (std::vector<uint32_t>{0, 0, 0, 0, 0, 0, 0, 0, W, W}));
    uint8_t back[4] = {};
    EXPECT_EQ(GetBitmapBits(b, 4, back), 4);
    EXPECT_EQ(std::memcmp(back, bits, 4), 0);

    // 32-bit bits are B, G, R, x.
    const uint8_t c[] = {0x11, 0x22, 0x33, 0, 0x44, 0x55, 0x66, 0};
    HBITMAP cb = CreateBitmap(2, 1, 1, 32, c);
    EXPECT_EQ(Find<TBitmapObj>(cb)->Pixels, (std::vector<uint32_t>{0x332211, 0x665544}));
    const uint8_t c2[] = {1, 2, 3, 0, 4, 5, 6, 0};
    EXPECT_EQ(SetBitmapBits(cb, 8, c2), 8);
    EXPECT_EQ(Find<TBitmapObj>(cb)->Pixels, (std::vector<uint32_t>{0x030201, 0x060504}));

    EXPECT_EQ(CreateBitmap(-1, 5, 1, 32, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(1 << 20, 1 << 20, 1, 32, nullptr), nullptr);  // beyond memory
    HBITMAP empty = CreateBitmap(0, 0, 1, 32, nullptr);  // the system's 1x1 monochrome bitmap
    EXPECT_EQ(BitmapOf(empty).bmBitsPixel, 1);
    DeleteObject(empty);
    DeleteObject(b);
    DeleteObject(cb);
}

TEST(GdiObjects, PatternBrushKeepsACopyOfTheBitmap) {
    HBITMAP b = CreateBitmap(8, 8, 1, 1, nullptr);
    Find<TBitmapObj>(b)->Row(3)[5] = 0xFFFFFF;
    HBRUSH br = CreatePatternBrush(b);
    ASSERT_NE(br, nullptr);
    EXPECT_TRUE(DeleteObject(b));
    TBrushObj* o = Find<TBrushObj>(br);
    EXPECT_EQ(o->Style, BS_PATTERN);
    EXPECT_TRUE(o->PatternMono);
    EXPECT_EQ(o->PatternWidth, 8);
    EXPECT_EQ(o->Pattern[3 * 8 + 5], 0xFFFFFFu);
    EXPECT_EQ(o->Pattern[0], 0u);
    EXPECT_EQ(CreatePatternBrush(b), nullptr);  // the bitmap is gone
    DeleteObject(br);
}

TEST(GdiObjects, IconsCopyTheirBitmapsAndHandThemBack) {
    const int icons = gditest::LiveIcons(), bmps = gditest::LiveBitmaps();
    HBITMAP mask = CreateBitmap(4, 4, 1, 1, nullptr);
    HBITMAP color = CreateBitmap(4, 4, 1, 32, nullptr);
    Find<TBitmapObj>(color)->Row(1)[2] = 0x123456;
    Find<TBitmapObj>(mask)->Row(0)[0] = 0xFFFFFF;
    ICONINFO ii;
    ii.fIcon = TRUE;
    ii.hbmMask = mask;
    ii.hbmColor = color;
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    DeleteObject(mask);
    DeleteObject(color);
    EXPECT_EQ(gditest::LiveIcons(), icons + 1);
    EXPECT_EQ(gditest::LiveBitmaps(), bmps);

    HICON copy = CopyIcon(icon);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    ICONINFO got;
    ASSERT_TRUE(GetIconInfo(copy, &got));
    EXPECT_TRUE(got.fIcon);
    EXPECT_EQ(got.xHotspot, 2u);  // icons are hot at their centre
    EXPECT_EQ(Find<TBitmapObj>(got.hbmColor)->Row(1)[2], 0x123456u);
    EXPECT_EQ(Find<TBitmapObj>(got.hbmMask)->Row(0)[0], 0xFFFFFFu);
    EXPECT_TRUE(Find<TBitmapObj>(got.hbmMask)->Mono());
    EXPECT_EQ(gditest::LiveBitmaps(), bmps + 2);
    DeleteObject(got.hbmMask);
    DeleteObject(got.hbmColor);

    // A monochrome cursor: the mask holds AND over XOR, twice the height.
    HBITMAP two = CreateBitmap(4, 8, 1, 1, nullptr);
    ICONINFO ci;
    ci.fIcon = FALSE;
    ci.xHotspot = 1;
    ci.yHotspot = 3;
    ci.hbmMask = two;
    HCURSOR cur = CreateIconIndirect(&ci);
    ASSERT_NE(cur, nullptr);
    ASSERT_TRUE(GetIconInfo(cur, &got));
    EXPECT_EQ(got.hbmColor, nullptr);
    EXPECT_EQ(BitmapOf(got.hbmMask).bmHeight, 8);
    EXPECT_EQ(got.yHotspot, 3u);
    EXPECT_EQ(GetObjectType(cur), 0u);  // not a painter object
    EXPECT_FALSE(DeleteObject(cur));
    EXPECT_TRUE(DestroyCursor(cur));
    DeleteObject(got.hbmMask);
    DeleteObject(two);
    EXPECT_TRUE(DestroyIcon(copy));
    EXPECT_EQ(gditest::LiveIcons(), icons);
    EXPECT_EQ(gditest::LiveBitmaps(), bmps);
}

// ---- device contexts ----

TEST(GdiDC, NewMemoryDCHoldsAOneByOneMonochromeBitmapAndStockObjects) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ def = GetCurrentObject(dc, OBJ_BITMAP);
    BITMAP bm = BitmapOf(def);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_FALSE(DeleteObject(def));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetStretchBltMode(dc), BLACKONWHITE);
    EXPECT_EQ(GetMapMode(dc), MM_TEXT);
    EXPECT_EQ(CreateCompatibleDC(reinterpret_cast<HDC>(GetStockObject(BLACK_PEN))), nullptr);
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(gdi::FindObject(def), nullptr);  // freed with its DC
}

TEST(GdiDC, SelectObjectReturnsThePreviousObject) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ def = GetCurrentObject(dc, OBJ_BITMAP);
    HBITMAP a = CreateBitmap(2, 2, 1, 32, nullptr), b = CreateBitmap(3, 3, 1, 1, nullptr);
    EXPECT_EQ(SelectObject(dc, a), def);
    EXPECT_EQ(SelectObject(dc, b), a);  // monochrome after colour: any bitmap fits a memory DC
    EXPECT_EQ(SelectObject(dc, b), b);  // again: itself
    EXPECT_EQ(SelectObject(dc, def), b);
    HBRUSH br = CreateSolidBrush(0);
    EXPECT_EQ(SelectObject(dc, br), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc, GetStockObject(NULL_BRUSH)), br);
    HFONT f = CreateFontA(-11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    EXPECT_EQ(SelectObject(dc, f), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(SelectObject(dc, GetStockObject(SYSTEM_FONT)), f);
    EXPECT_EQ(SelectPalette(dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE),
              GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(RealizePalette(dc), 0u);
    // A region selects a copy as the clip and returns its type.
    HRGN r = CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(reinterpret_cast<intptr_t>(SelectObject(dc, r)), SIMPLEREGION);
    EXPECT_TRUE(DeleteObject(r));
    EXPECT_EQ(ClipRects(dc).size(), 1u);
    for (HGDIOBJ o : std::initializer_list<HGDIOBJ>{a, b, br, f}) EXPECT_TRUE(DeleteObject(o));
    DeleteDC(dc);
}

TEST(GdiDC, ABitmapSitsInOneDCAndDeleteDCLetsGo) {
    HDC d1 = CreateCompatibleDC(nullptr), d2 = CreateCompatibleDC(nullptr);
    HBITMAP b = CreateBitmap(4, 4, 1, 32, nullptr);
    ASSERT_NE(SelectObject(d1, b), nullptr);
    EXPECT_EQ(SelectObject(d2, b), nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    SelectObject(d1, pen);
    SelectObject(d2, pen);  // pens may sit in many DCs
    EXPECT_TRUE(DeleteDC(d1));
    EXPECT_FALSE(DeleteObject(pen));  // still in d2
    EXPECT_NE(SelectObject(d2, b), nullptr);
    EXPECT_TRUE(DeleteDC(d2));
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(b));

    // Window DCs draw on someone else's surface: no bitmap goes in.
    HDC screen = GetScreenDC();
    HBITMAP c = CreateBitmap(2, 2, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(screen, c), nullptr);
    ReleaseScreenDC(screen);
    EXPECT_FALSE(ReleaseScreenDC(screen));
    DeleteObject(c);
}

TEST(GdiDC, CreateCompatibleBitmapTakesTheFormatOfTheSelectedBitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP b1 = CreateCompatibleBitmap(dc, 5, 5);  // the new DC holds a monochrome bitmap
    EXPECT_EQ(BitmapOf(b1).bmBitsPixel, 1);
    HBITMAP col = CreateBitmap(1, 1, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, col);
    HBITMAP b2 = CreateCompatibleBitmap(dc, 5, 5);
    EXPECT_EQ(BitmapOf(b2).bmBitsPixel, 32);
    EXPECT_EQ(BitmapOf(b2).bmWidth, 5);
    HDC screen = GetScreenDC();
    HBITMAP b3 = CreateCompatibleBitmap(screen, 3, 3);
    EXPECT_EQ(BitmapOf(b3).bmBitsPixel, 32);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 3, 3), nullptr);
    SelectObject(dc, old);
    for (HGDIOBJ o : std::initializer_list<HGDIOBJ>{b1, b2, b3, col}) DeleteObject(o);
    ReleaseScreenDC(screen);
    DeleteDC(dc);
}

TEST(GdiDC, SaveAndRestoreKeepEveryAttribute) {
    TMemDC m(50, 50);
    HDC dc = m.Dc;
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    HBRUSH br = CreateSolidBrush(RGB(0, 255, 0));
    HBITMAP other = CreateBitmap(10, 10, 1, 32, nullptr);

    // State A
    SetTextColor(dc, RGB(1, 1, 1));
    SetBkColor(dc, RGB(2, 2, 2));
    SetBkMode(dc, TRANSPARENT);
    SetROP2(dc, R2_XORPEN);
    SetStretchBltMode(dc, COLORONCOLOR);
    SetPolyFillMode(dc, WINDING);
    SetTextAlign(dc, TA_RIGHT | TA_BASELINE);
    SetWindowOrgEx(dc, 3, 4, nullptr);
    SetViewportOrgEx(dc, 5, 6, nullptr);
    SetBrushOrgEx(dc, 7, 0, nullptr);
    MoveToEx(dc, 8, 9, nullptr);
    SetWindowExtEx(dc, 100, 200, nullptr);
    IntersectClipRect(dc, 0, 0, 20, 20);
    SelectObject(dc, pen);
    EXPECT_EQ(SaveDC(dc), 1);

    // State B
    SetTextColor(dc, RGB(10, 10, 10));
    SelectObject(dc, br);
    EXPECT_EQ(SaveDC(dc), 2);

    // State C: everything different again
    SetTextColor(dc, RGB(20, 20, 20));
    SetBkColor(dc, RGB(21, 21, 21));
    SetBkMode(dc, OPAQUE);
    SetROP2(dc, R2_COPYPEN);
    SetStretchBltMode(dc, HALFTONE);
    SetPolyFillMode(dc, ALTERNATE);
    SetTextAlign(dc, TA_LEFT);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    MoveToEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 1, 1, nullptr);
    SelectClipRgn(dc, nullptr);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, other);

    EXPECT_FALSE(RestoreDC(dc, 3));
    EXPECT_FALSE(RestoreDC(dc, -3));
    EXPECT_FALSE(RestoreDC(dc, 0));
    ASSERT_TRUE(RestoreDC(dc, -2));  // two back: state A
    EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
    EXPECT_EQ(GetBkColor(dc), RGB(2, 2, 2));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(GetROP2(dc), R2_XORPEN);
    EXPECT_EQ(GetStretchBltMode(dc), COLORONCOLOR);
    EXPECT_EQ(GetPolyFillMode(dc), WINDING);
    EXPECT_EQ(GetTextAlign(dc), TA_RIGHT | TA_BASELINE);
    POINT p;
    GetWindowOrgEx(dc, &p);
    EXPECT_EQ(p, (POINT{3, 4}));
    GetViewportOrgEx(dc, &p);
    EXPECT_EQ(p, (POINT{5, 6}));
    GetBrushOrgEx(dc, &p);
    EXPECT_EQ(p, (POINT{7, 0}));
    GetCurrentPositionEx(dc, &p);
    EXPECT_EQ(p, (POINT{8, 9}));
    SIZE ext;
    GetWindowExtEx(dc, &ext);
    EXPECT_EQ(ext, (SIZE{100, 200}));
    EXPECT_EQ(ClipRects(dc), (std::vector<RECT>{{2, 2, 22, 22}}));  // device = logical - window + viewport
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), m.Bmp);
    EXPECT_FALSE(RestoreDC(dc, -1));  // both states are used up
    EXPECT_EQ(SaveDC(dc), 1);
    EXPECT_TRUE(RestoreDC(dc, 1));

    // The selection counts followed: what is no longer selected can go.
    EXPECT_TRUE(DeleteObject(br));
    EXPECT_TRUE(DeleteObject(other));
    EXPECT_FALSE(DeleteObject(pen));
    SelectObject(dc, GetStockObject(BLACK_PEN));
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(GdiDC, RestoreSkipsObjectsDeletedMeanwhile) {
    TMemDC m(4, 4);
    HBRUSH br = CreateSolidBrush(1);
    SelectObject(m.Dc, br);
    SaveDC(m.Dc);
    SelectObject(m.Dc, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(DeleteObject(br));
    EXPECT_TRUE(RestoreDC(m.Dc, -1));
    EXPECT_EQ(GetCurrentObject(m.Dc, OBJ_BRUSH), GetStockObject(BLACK_BRUSH));
}

TEST(GdiDC, AttributeSettersReturnThePreviousValueAndRejectBadValues) {
    TMemDC m(4, 4);
    EXPECT_EQ(SetTextColor(m.Dc, RGB(1, 2, 3)), RGB(0, 0, 0));
    EXPECT_EQ(SetTextColor(m.Dc, 0), RGB(1, 2, 3));
    EXPECT_EQ(SetBkMode(m.Dc, 7), 0);
    EXPECT_EQ(SetROP2(m.Dc, 0), 0);
    EXPECT_EQ(SetROP2(m.Dc, 17), 0);
    EXPECT_EQ(SetROP2(m.Dc, R2_NOT), R2_COPYPEN);
    EXPECT_EQ(SetStretchBltMode(m.Dc, 9), 0);
    EXPECT_EQ(SetStretchBltMode(m.Dc, WHITEONBLACK), BLACKONWHITE);
    EXPECT_EQ(SetPolyFillMode(m.Dc, 3), 0);
    POINT old;
    OffsetWindowOrgEx(m.Dc, 2, 3, &old);
    EXPECT_EQ(old, (POINT{0, 0}));
    OffsetWindowOrgEx(m.Dc, 2, 3, &old);
    EXPECT_EQ(old, (POINT{2, 3}));
    OffsetViewportOrgEx(m.Dc, 10, 10, nullptr);
    POINT pts[2] = {{4, 6}, {0, 0}};
    ASSERT_TRUE(LPtoDP(m.Dc, pts, 2));
    EXPECT_EQ(pts[0], (POINT{10, 10}));
    EXPECT_EQ(pts[1], (POINT{6, 4}));
    ASSERT_TRUE(DPtoLP(m.Dc, pts, 2));
    EXPECT_EQ(pts[0], (POINT{4, 6}));
    MoveToEx(m.Dc, 1, 2, nullptr);
    MoveToEx(m.Dc, 3, 4, &old);
    EXPECT_EQ(old, (POINT{1, 2}));
    // Extents are kept but do not scale: MM_TEXT maps 1:1.
    SIZE ext;
    EXPECT_FALSE(SetViewportExtEx(m.Dc, 0, 5, nullptr));
    EXPECT_TRUE(SetViewportExtEx(m.Dc, 2, 2, &ext));
    EXPECT_EQ(ext, (SIZE{1, 1}));
    GetViewportExtEx(m.Dc, &ext);
    EXPECT_EQ(ext, (SIZE{2, 2}));
    POINT one{1, 1};
    DPtoLP(m.Dc, &one, 1);
    LPtoDP(m.Dc, &one, 1);
    EXPECT_EQ(one, (POINT{1, 1}));
}

TEST(GdiDC, DeviceCapsDescribeThe96DpiTrueColourScreen) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), -1);
    EXPECT_EQ(GetDeviceCaps(dc, SIZEPALETTE), 0);
    EXPECT_EQ(GetDeviceCaps(dc, RASTERCAPS) & (RC_BITBLT | RC_STRETCHBLT | RC_PALETTE), RC_BITBLT | RC_STRETCHBLT);
    EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 0);
    DeleteDC(dc);
}

// ---- clipping ----

TEST(GdiClip, ExtSelectClipRgnCombinesWithEveryMode) {
    TMemDC m(100, 100);
    HRGN a = CreateRectRgn(0, 0, 20, 20), b = CreateRectRgn(10, 10, 30, 30);
    EXPECT_EQ(GetClipRgn(m.Dc, a), 0);  // no clip yet

    EXPECT_EQ(ExtSelectClipRgn(m.Dc, a, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(ExtSelectClipRgn(m.Dc, b, RGN_AND), SIMPLEREGION);
    EXPECT_EQ(ClipRects(m.Dc), (std::vector<RECT>{{10, 10, 20, 20}}));

    ExtSelectClipRgn(m.Dc, a, RGN_COPY);
    EXPECT_EQ(ExtSelectClipRgn(m.Dc, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtVisible(m.Dc, 25, 25));
    EXPECT_TRUE(PtVisible(m.Dc, 5, 5));
    EXPECT_FALSE(PtVisible(m.Dc, 25, 5));

    ExtSelectClipRgn(m.Dc, a, RGN_COPY);
    EXPECT_EQ(ExtSelectClipRgn(m.Dc, b, RGN_XOR), COMPLEXREGION);
    EXPECT_FALSE(PtVisible(m.Dc, 15, 15));
    EXPECT_TRUE(PtVisible(m.Dc, 5, 15));
    EXPECT_TRUE(PtVisible(m.Dc, 25, 15));

    ExtSelectClipRgn(m.Dc, a, RGN_COPY);
    EXPECT_EQ(ExtSelectClipRgn(m.Dc, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_FALSE(PtVisible(m.Dc, 15, 15));
    EXPECT_TRUE(PtVisible(m.Dc, 5, 15));
    EXPECT_FALSE(PtVisible(m.Dc, 25, 15));

    // The clip is a copy: changing the region afterwards changes nothing.
    ExtSelectClipRgn(m.Dc, a, RGN_COPY);
    OffsetRgn(a, 50, 50);
    EXPECT_TRUE(PtVisible(m.Dc, 0, 0));

    // RGN_COPY with no region removes the clip; other modes need a region.
    EXPECT_EQ(ExtSelectClipRgn(m.Dc, nullptr, RGN_AND), ERROR);
    EXPECT_EQ(ExtSelectClipRgn(m.Dc, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(m.Dc, a), 0);
    EXPECT_TRUE(PtVisible(m.Dc, 99, 99));

    // Without a clip, RGN_DIFF takes away from the whole surface.
    EXPECT_EQ(ExtSelectClipRgn(m.Dc, b, RGN_DIFF), COMPLEXREGION);
    EXPECT_TRUE(PtVisible(m.Dc, 99, 99));
    EXPECT_FALSE(PtVisible(m.Dc, 10, 10));

    // A clip outside the surface leaves nothing visible.
    SelectClipRgn(m.Dc, nullptr);
    HRGN far = CreateRectRgn(200, 200, 300, 300);
    EXPECT_EQ(SelectClipRgn(m.Dc, far), NULLREGION);
    EXPECT_EQ(ExtSelectClipRgn(m.Dc, reinterpret_cast<HRGN>(m.Bmp), RGN_COPY), ERROR);
    for (HRGN r : {a, b, far}) DeleteObject(r);
}

TEST(GdiClip, ClipRectsTakeLogicalCoordinatesAndTheClipStaysInDeviceCoordinates) {
    TMemDC m(100, 100);
    SetWindowOrgEx(m.Dc, 10, 10, nullptr);
    EXPECT_EQ(IntersectClipRect(m.Dc, 10, 10, 30, 40), SIMPLEREGION);
    EXPECT_EQ(ClipRects(m.Dc), (std::vector<RECT>{{0, 0, 20, 30}}));
    RECT box;
    EXPECT_EQ(GetClipBox(m.Dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{10, 10, 30, 40}));
    EXPECT_TRUE(PtVisible(m.Dc, 10, 10));
    EXPECT_FALSE(PtVisible(m.Dc, 30, 10));
    RECT r{25, 35, 50, 50};
    EXPECT_TRUE(RectVisible(m.Dc, &r));
    r = RECT{30, 10, 50, 50};
    EXPECT_FALSE(RectVisible(m.Dc, &r));

    // Moving the origin afterwards moves the logical view of the same device clip.
    SetWindowOrgEx(m.Dc, 0, 0, nullptr);
    GetClipBox(m.Dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 20, 30}));

    EXPECT_EQ(ExcludeClipRect(m.Dc, 20, 0, 5, 30), SIMPLEREGION);  // reversed rectangles are put right
    EXPECT_EQ(ClipRects(m.Dc), (std::vector<RECT>{{0, 0, 5, 30}}));
    EXPECT_EQ(OffsetClipRgn(m.Dc, 3, 4), SIMPLEREGION);
    EXPECT_EQ(ClipRects(m.Dc), (std::vector<RECT>{{3, 4, 8, 34}}));

    // Exclusion without a clip starts from the whole surface.
    SelectClipRgn(m.Dc, nullptr);
    EXPECT_EQ(ExcludeClipRect(m.Dc, 0, 0, 100, 50), SIMPLEREGION);
    GetClipBox(m.Dc, &box);
    EXPECT_EQ(box, (RECT{0, 50, 100, 100}));
}

TEST(GdiClip, ClipBoxIsTheSurfaceWithoutAClip) {
    TMemDC m(30, 20);
    RECT box;
    SetViewportOrgEx(m.Dc, 5, 5, nullptr);
    EXPECT_EQ(GetClipBox(m.Dc, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT{-5, -5, 25, 15}));
    HDC dc = CreateCompatibleDC(nullptr);
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 1, 1}));
    DeleteDC(dc);
    HDC screen = GetScreenDC();
    GetClipBox(screen, &box);
    EXPECT_EQ(box, (RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));
    ReleaseScreenDC(screen);
    EXPECT_EQ(GetClipBox(m.Dc, nullptr), ERROR);
}

// ---- targets ----

TEST(GdiTarget, MemoryDCTargetsItsBitmapWithTheOriginsAndTheClip) {
    TMemDC m(40, 30);
    gdi::TTarget t;
    ASSERT_TRUE(gdi::MakeTarget(m.Dc, t));
    EXPECT_EQ(t.Surface, Find<TBitmapObj>(m.Bmp));
    EXPECT_EQ(t.Dx, 0);
    EXPECT_EQ(t.Clip.Bounds(), (RECT{0, 0, 40, 30}));
    SetWindowOrgEx(m.Dc, 10, 0, nullptr);
    SetViewportOrgEx(m.Dc, 0, 7, nullptr);
    IntersectClipRect(m.Dc, 0, 0, 100, 100);  // logical: device (-10, 7) .. (90, 107)
    ASSERT_TRUE(gdi::MakeTarget(m.Dc, t));
    EXPECT_EQ(t.Dx, -10);
    EXPECT_EQ(t.Dy, 7);
    EXPECT_EQ(t.Clip.Bounds(), (RECT{0, 7, 40, 30}));
    EXPECT_EQ(gdi::ToSurface(t.DC, POINT{10, 0}), (POINT{0, 7}));

    // Another bitmap, another surface: the cached clip follows.
    HBITMAP small = CreateBitmap(5, 5, 1, 32, nullptr);
    SelectObject(m.Dc, small);
    ASSERT_TRUE(gdi::MakeTarget(m.Dc, t));
    EXPECT_TRUE(t.Clip.Empty());  // the clip starts at row 7 of a 5-row bitmap
    SelectObject(m.Dc, m.Bmp);
    DeleteObject(small);
    SelectClipRgn(m.Dc, nullptr);
    ASSERT_TRUE(gdi::MakeTarget(m.Dc, t));
    EXPECT_EQ(t.Clip.Bounds(), (RECT{0, 0, 40, 30}));
    EXPECT_FALSE(gdi::MakeTarget(nullptr, t));
}

TEST(GdiTarget, WindowDCAddsItsOffsetAndKeepsToItsVisibleRegion) {
    HBITMAP surfaceBmp = CreateBitmap(200, 100, 1, 32, nullptr);
    auto w = std::make_unique<TDCObj>();
    w->DCKind = gdi::TDCKind::Window;
    w->ExternalSurface = Find<TBitmapObj>(surfaceBmp);
    w->DeviceOffset = POINT{50, 20};
    w->HasVisRgn = true;
    w->VisRgn = TRegion(50, 20, 150, 80);
    HDC dc = gdi::AddDC(std::move(w));
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetObjectType(dc), OBJ_DC);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));

    gdi::TTarget t;
    ASSERT_TRUE(gdi::MakeTarget(dc, t));
    EXPECT_EQ(t.Dx, 50);
    EXPECT_EQ(t.Dy, 20);
    EXPECT_EQ(t.Clip.Bounds(), (RECT{50, 20, 150, 80}));
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box, (RECT{0, 0, 100, 60}));

    // The clip region is in the DC's device coordinates: offset onto the surface.
    IntersectClipRect(dc, 90, -10, 200, 30);
    ASSERT_TRUE(gdi::MakeTarget(dc, t));
    EXPECT_EQ(t.Clip.Bounds(), (RECT{140, 20, 150, 50}));
    EXPECT_TRUE(PtVisible(dc, 95, 5));
    EXPECT_FALSE(PtVisible(dc, 85, 5));

    // The windowing layer moves the window and says so.
    TDCObj* o = Find<TDCObj>(dc);
    o->DeviceOffset = POINT{0, 0};
    o->VisRgn = TRegion(0, 0, 200, 100);
    o->ClipChanged();
    ASSERT_TRUE(gdi::MakeTarget(dc, t));
    EXPECT_EQ(t.Clip.Bounds(), (RECT{90, 0, 200, 30}));
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_TRUE(DeleteObject(surfaceBmp));
}

TEST(GdiTarget, ScreenDCCoversTheDesktopSurface) {
    HDC s = GetScreenDC();
    gdi::TTarget t;
    ASSERT_TRUE(gdi::MakeTarget(s, t));
    EXPECT_EQ(t.Surface, gdi::DesktopSurface());
    EXPECT_EQ(t.Surface->Width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(t.Surface->Height, GetSystemMetrics(SM_CYSCREEN));
    SetSystemMetric(SM_CXSCREEN, 800);
    SetSystemMetric(SM_CYSCREEN, 600);
    ASSERT_TRUE(gdi::MakeTarget(s, t));
    EXPECT_EQ(t.Clip.Bounds(), (RECT{0, 0, 800, 600}));
    EXPECT_EQ(GetDeviceCaps(s, HORZRES), 800);
    ResetSystemMetrics();
    ASSERT_TRUE(gdi::MakeTarget(s, t));
    EXPECT_EQ(t.Clip.Bounds(), (RECT{0, 0, 1024, 768}));
    ReleaseScreenDC(s);
}

TEST(GdiTarget, ColoursReachSurfacesAsPixels) {
    TBitmapObj mono, color;
    mono.BitsPerPixel = 1;
    EXPECT_EQ(gdi::ColorToSurface(RGB(0x12, 0x34, 0x56), &color), 0x123456u);
    EXPECT_EQ(gdi::ColorToSurface(0x02000000 | RGB(1, 2, 3), &color), 0x010203u);  // PALETTERGB
    EXPECT_EQ(gdi::ColorToSurface(0x01000000 | 13, &color), 0xFF0000u);            // PALETTEINDEX(13)
    EXPECT_EQ(gdi::ColorToSurface(RGB(128, 128, 128), &mono), 0xFFFFFFu);
    EXPECT_EQ(gdi::ColorToSurface(RGB(127, 127, 128), &mono), 0x000000u);
    EXPECT_EQ(gdi::ColorToSurface(RGB(255, 0, 0), &mono), 0x000000u);
    EXPECT_EQ(gdi::ColorToSurface(RGB(255, 255, 0), &mono), 0xFFFFFFu);
}

// ---- system tables ----

TEST(GdiSystem, SysColorsFollowTheClassicSchemeAndCanBeChanged) {
    gditest::ResetSystemTables();
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(GetSysColor(COLOR_ACTIVECAPTION), RGB(0, 0, 0x80));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(0xFF, 0xFF, 0xE1));
    EXPECT_EQ(GetSysColor(COLOR_GRADIENTACTIVECAPTION), RGB(0x10, 0x84, 0xD0));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), RGB(0xDF, 0xDF, 0xDF));
    EXPECT_EQ(GetSysColor(COLOR_BACKGROUND), RGB(0, 0x80, 0x80));

    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
    const int idx[] = {COLOR_BTNFACE, COLOR_WINDOW};
    const COLORREF col[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
    EXPECT_TRUE(SetSysColors(2, idx, col));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(1, 2, 3));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(4, 5, 6));
    LOGBRUSH lb;
    GetObjectA(face, sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(1, 2, 3));  // the brush follows its colour
    ResetSysColors();
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    GetObjectA(face, sizeof lb, &lb);
    EXPECT_EQ(lb.lbColor, RGB(0xC0, 0xC0, 0xC0));
    EXPECT_EQ(GetSysColorBrush(COLOR_MAX), nullptr);
}

int gColorChanges = 0;

TEST(GdiSystem, ColourChangesAreAnnounced) {
    gColorChanges = 0;
    SetSysColorChangeHook([] { ++gColorChanges; });
    const int idx = COLOR_HIGHLIGHT;
    const COLORREF c = RGB(9, 9, 9);
    SetSysColors(1, &idx, &c);
    ResetSysColors();
    SetSysColorChangeHook(nullptr);
    SetSysColors(1, &idx, &c);
    ResetSysColors();
    EXPECT_EQ(gColorChanges, 2);
}

TEST(GdiSystem, MetricsAreTheClassicOnesAndSettable) {
    gditest::ResetSystemTables();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 19);
    EXPECT_EQ(GetSystemMetrics(SM_CXBORDER), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXFRAME), 4);
    EXPECT_EQ(GetSystemMetrics(SM_CXFIXEDFRAME), 3);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSIZE), 18);
    EXPECT_EQ(GetSystemMetrics(SM_CYMENU), 19);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXCURSOR), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYSMCAPTION), 15);
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 768 - 19);

    SetSystemMetric(SM_CXSCREEN, 1920);
    SetSystemMetric(SM_CYCAPTION, 25);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1920);  // derived metrics follow
    RECT wa;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0));
    EXPECT_EQ(wa, (RECT{0, 0, 1920, 768}));
    SetWorkArea(RECT{0, 0, 1920, 740});
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0));
    EXPECT_EQ(wa.bottom, 740);
    EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 740 - 25);
    gditest::ResetSystemTables();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &wa, 0));
    EXPECT_EQ(wa, (RECT{0, 0, 1024, 768}));
}

TEST(GdiSystem, NonClientMetricsUseEightPointSansFonts) {
    gditest::ResetSystemTables();
    static_assert(sizeof(NONCLIENTMETRICSA) == 340);
    NONCLIENTMETRICSA m;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0));
    EXPECT_EQ(m.iBorderWidth, 1);
    EXPECT_EQ(m.iScrollWidth, 16);
    EXPECT_EQ(m.iCaptionWidth, 18);
    EXPECT_EQ(m.iCaptionHeight, 18);
    EXPECT_EQ(m.iSmCaptionHeight, 14);
    EXPECT_EQ(m.iMenuHeight, 18);
    EXPECT_STREQ(m.lfCaptionFont.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(m.lfCaptionFont.lfHeight, -11);
    EXPECT_EQ(m.lfCaptionFont.lfWeight, FW_BOLD);
    EXPECT_EQ(m.lfMessageFont.lfHeight, -11);
    EXPECT_EQ(m.lfMessageFont.lfWeight, FW_NORMAL);
    m.cbSize = 12;
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 12, &m, 0));
    LOGFONTA lf;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof lf, &lf, 0));
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    EXPECT_FALSE(SystemParametersInfoA(0x9999, 0, &lf, 0));
}

// ---- rectangles ----

TEST(GdiRects, HelpersFollowTheSystemRules) {
    RECT a{0, 0, 10, 10}, b{5, 5, 15, 15}, r;
    EXPECT_TRUE(IntersectRect(&r, &a, &b));
    EXPECT_EQ(r, (RECT{5, 5, 10, 10}));
    RECT c{10, 0, 20, 10};
    EXPECT_FALSE(IntersectRect(&r, &a, &c));  // touching is not overlapping
    EXPECT_EQ(r, RECT{});
    EXPECT_TRUE(UnionRect(&r, &a, &b));
    EXPECT_EQ(r, (RECT{0, 0, 15, 15}));
    RECT e{3, 3, 3, 9};
    EXPECT_TRUE(UnionRect(&r, &a, &e));  // empty rectangles add nothing
    EXPECT_EQ(r, a);
    EXPECT_TRUE(IsRectEmpty(&e));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 9}));
    RECT top{0, 0, 10, 4};
    EXPECT_TRUE(SubtractRect(&r, &a, &top));
    EXPECT_EQ(r, (RECT{0, 4, 10, 10}));
    RECT mid{2, 2, 4, 4};
    EXPECT_TRUE(SubtractRect(&r, &a, &mid));  // no rectangle left over: A stays
    EXPECT_EQ(r, a);
    EXPECT_FALSE(SubtractRect(&r, &a, &a));
    EXPECT_EQ(r, RECT{});
    r = a;
    InflateRect(&r, 2, -1);
    EXPECT_EQ(r, (RECT{-2, 1, 12, 9}));
    OffsetRect(&r, 2, -1);
    EXPECT_EQ(r, (RECT{0, 0, 14, 8}));
    EXPECT_TRUE(EqualRect(&a, &a));
    EXPECT_FALSE(EqualRect(&a, &b));
}

}  // namespace
