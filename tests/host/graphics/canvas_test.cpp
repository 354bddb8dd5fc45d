// The canvas: state selection, drawing calls, text clipping, flood fill, events, locking and handle hygiene.
#include <gtest/gtest.h>

#include "host/gdi/gdi.h"
#include "host/gdi/gditest.h"
#include "host/graphics/graphics.h"
#include "host/rtl/exceptions.h"

using namespace host;

namespace {

// A white bitmap of the given size.
std::unique_ptr<TBitmap> White(int W, int H) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(W, H);
    b->Canvas()->Brush()->SetColor(clWhite);
    b->Canvas()->FillRect(TRect{0, 0, W, H});
    return b;
}

int CountColor(TCanvas* C, const TRect& R, TColor Color) {
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
        for (int x = R.left; x < R.right; ++x)
            if (C->Pixels(x, y) == Color) ++n;
    return n;
}

}  // namespace

TEST(GraphicsCanvas, PenChangeTakesEffectAtTheNextCall) {
    auto b = White(20, 20);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clRed);
    c->MoveTo(0, 5);
    c->LineTo(10, 5);
    c->Pen()->SetColor(clBlue);
    c->LineTo(10, 15);
    EXPECT_EQ(c->Pixels(0, 5), clRed);
    EXPECT_EQ(c->Pixels(9, 5), clRed);
    EXPECT_EQ(c->Pixels(10, 5), clBlue);  // the first line leaves its end point out
    EXPECT_EQ(c->Pixels(10, 14), clBlue);
    EXPECT_EQ(c->Pixels(10, 15), clWhite);
    EXPECT_EQ(c->PenPos(), (TPoint{10, 15}));
}

TEST(GraphicsCanvas, BrushColourAndStyleReachTheDC) {
    auto b = White(10, 10);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clGreen);
    c->FillRect(TRect{2, 2, 5, 5});
    EXPECT_EQ(c->Pixels(2, 2), clGreen);
    EXPECT_EQ(c->Pixels(4, 4), clGreen);
    EXPECT_EQ(c->Pixels(5, 5), clWhite);
    EXPECT_EQ(GetBkColor(c->Handle()), COLORREF(clGreen));
    EXPECT_EQ(GetBkMode(c->Handle()), OPAQUE);

    c->Brush()->SetStyle(bsClear);
    EXPECT_EQ(GetBkMode(c->Handle()), TRANSPARENT);
    // Giving a clear brush a colour makes it solid again.
    c->Brush()->SetColor(clRed);
    EXPECT_EQ(c->Brush()->Style(), bsSolid);
    EXPECT_EQ(GetBkMode(c->Handle()), OPAQUE);
}

TEST(GraphicsCanvas, SystemColoursAreResolved) {
    auto b = White(4, 4);
    TCanvas* c = b->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(TRect{0, 0, 4, 4});
    EXPECT_EQ(COLORREF(c->Pixels(1, 1)), GetSysColor(COLOR_BTNFACE));
    c->Font()->SetColor(clHighlight);
    EXPECT_EQ(GetTextColor(c->Handle()), GetSysColor(COLOR_HIGHLIGHT));
}

TEST(GraphicsCanvas, RectangleUsesPenAndBrush) {
    auto b = White(10, 10);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    c->Rectangle(TRect{1, 1, 6, 6});
    EXPECT_EQ(c->Pixels(1, 1), clBlack);
    EXPECT_EQ(c->Pixels(5, 5), clBlack);
    EXPECT_EQ(c->Pixels(3, 3), clYellow);
    EXPECT_EQ(c->Pixels(6, 6), clWhite);
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(clRed);
    c->Rectangle(0, 0, 9, 9);
    EXPECT_EQ(c->Pixels(0, 0), clRed);
    EXPECT_EQ(c->Pixels(3, 3), clYellow);  // a clear brush leaves the inside alone
}

TEST(GraphicsCanvas, PenModeXorTwiceRestores) {
    auto b = White(10, 10);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clRed);
    c->Pen()->SetMode(pmXor);
    EXPECT_EQ(GetROP2(c->Handle()), R2_XORPEN);
    c->MoveTo(0, 3);
    c->LineTo(10, 3);
    EXPECT_EQ(c->Pixels(4, 3), static_cast<TColor>(0xFFFF00));  // white xor red
    c->MoveTo(0, 3);
    c->LineTo(10, 3);
    EXPECT_EQ(c->Pixels(4, 3), clWhite);
}

TEST(GraphicsCanvas, PixelsReadAndWrite) {
    auto b = White(5, 5);
    TCanvas* c = b->Canvas();
    c->SetPixels(3, 4, clRed);
    EXPECT_EQ(c->Pixels(3, 4), clRed);
    EXPECT_EQ(c->Pixels(4, 3), clWhite);
    EXPECT_EQ(static_cast<COLORREF>(c->Pixels(7, 7)), CLR_INVALID);
    c->SetPixels(-1, 0, clRed);  // outside: nothing happens
    EXPECT_EQ(c->ClipRect(), (TRect{0, 0, 5, 5}));
}

TEST(GraphicsCanvas, NoDCRaisesInvalidOperation) {
    TCanvas c;
    try {
        c.LineTo(3, 3);
        FAIL() << "drawing without a DC must raise";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
    }
}

TEST(GraphicsCanvas, AttachedHandleIsDeselectedOnDetach) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(8, 8, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    {
        TCanvas c;
        c.SetHandle(dc);
        c.Pen()->SetColor(clRed);
        c.MoveTo(0, 0);
        c.LineTo(5, 0);
        EXPECT_EQ(GetPixel(dc, 2, 0), COLORREF(clRed));
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), c.Pen()->Handle());
        c.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    }
    SelectObject(dc, old);
    EXPECT_TRUE(DeleteObject(bmp));
    EXPECT_TRUE(DeleteDC(dc));
}

TEST(GraphicsCanvas, NoHandleLeaksAfterDrawingAndDestroying) {
    const int before = gditest::LiveObjects();
    const int dcs = gditest::LiveDCs();
    {
        auto b = White(40, 30);
        TCanvas* c = b->Canvas();
        for (TColor col : {clRed, clGreen, clBlue}) {
            c->Pen()->SetColor(col);
            c->Pen()->SetWidth(2);
            c->Brush()->SetColor(col);
            c->Brush()->SetStyle(bsCross);
            c->Font()->SetSize(10);
            c->Font()->SetStyle({fsBold});
            c->Ellipse(0, 0, 20, 20);
            c->TextOut(2, 2, "Leak");
            c->Font()->SetStyle({});
            c->LineTo(30, 25);
        }
        TBitmap copy;
        copy.Assign(b.get());
        copy.SetTransparent(true);
        c->Draw(5, 5, &copy);
        c->StretchDraw(TRect{0, 0, 10, 10}, &copy);
        copy.Dormant();
        EXPECT_FALSE(copy.Empty());
        c->Brush()->SetBitmap(AllocPatternBitmap(clWhite, clBlack));
        c->FillRect(TRect{0, 0, 8, 8});
        c->Brush()->SetBitmap(nullptr);
    }
    // The shared pattern bitmap stays for the life of the program.
    EXPECT_LE(gditest::LiveObjects(), before + 1);
    const int after = gditest::LiveObjects();
    {
        TBitmap b(10, 10);
        b.Canvas()->Pen()->SetColor(clRed);
        b.Canvas()->LineTo(5, 5);
        b.Canvas()->Font()->SetName("Arial");
        b.Canvas()->TextWidth("x");
    }
    EXPECT_EQ(gditest::LiveObjects(), after);
    EXPECT_EQ(gditest::LiveDCs(), dcs);
}

TEST(GraphicsCanvas, TextRectClipsAndFillsWithTheBrush) {
    auto b = White(60, 30);
    TCanvas* c = b->Canvas();
    c->Font()->SetColor(clBlack);
    c->Brush()->SetColor(clYellow);
    const TRect r{10, 10, 30, 22};
    c->TextRect(r, 12, 10, "WWWWWWWWWWWW");
    // Nothing outside the rectangle, the brush inside, text clipped at its right edge.
    EXPECT_EQ(CountColor(c, TRect{0, 0, 60, 10}, clWhite), 600);
    EXPECT_EQ(CountColor(c, TRect{30, 0, 60, 30}, clWhite), 30 * 30);
    EXPECT_EQ(CountColor(c, TRect{0, 22, 60, 30}, clWhite), 60 * 8);
    EXPECT_EQ(c->Pixels(10, 10), clYellow);
    EXPECT_GT(CountColor(c, r, clBlack), 0);
    EXPECT_EQ(CountColor(c, r, clWhite), 0);

    auto t = White(60, 30);
    t->Canvas()->Brush()->SetStyle(bsClear);
    t->Canvas()->TextRect(r, 12, 10, "W");
    EXPECT_EQ(t->Canvas()->Pixels(10, 10), clWhite);  // a clear brush paints no background
    EXPECT_EQ(CountColor(t->Canvas(), r, clYellow), 0);
}

TEST(GraphicsCanvas, TextMeasuresAndMovesThePen) {
    auto b = White(100, 30);
    TCanvas* c = b->Canvas();
    const TSize s = c->TextExtent("Hello");
    EXPECT_GT(s.cx, 10);
    EXPECT_GT(s.cy, 8);
    EXPECT_EQ(c->TextWidth("Hello"), s.cx);
    EXPECT_EQ(c->TextHeight("Hello"), s.cy);
    EXPECT_EQ(c->TextWidth(""), 0);
    EXPECT_GT(c->TextWidth("HelloHello"), s.cx);
    c->TextOut(5, 3, "Hello");
    EXPECT_EQ(c->PenPos(), (TPoint{5 + s.cx, 3}));
    c->Font()->SetSize(16);
    EXPECT_GT(c->TextHeight("Hello"), s.cy);
}

TEST(GraphicsCanvas, FloodFillSurfaceAndBorder) {
    auto b = White(12, 12);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(2, 2, 9, 9);
    c->Brush()->SetColor(clRed);
    c->FloodFill(5, 5, clBlack, fsBorder);
    EXPECT_EQ(CountColor(c, TRect{3, 3, 8, 8}, clRed), 25);
    EXPECT_EQ(c->Pixels(2, 2), clBlack);
    EXPECT_EQ(c->Pixels(0, 0), clWhite);
    EXPECT_EQ(c->Pixels(9, 9), clWhite);

    c->Brush()->SetColor(clBlue);
    c->FloodFill(0, 0, clWhite, fsSurface);
    EXPECT_EQ(CountColor(c, TRect{0, 0, 12, 12}, clBlue), 144 - 49);
    EXPECT_EQ(c->Pixels(5, 5), clRed);
    // A start point not of the colour fills nothing.
    c->Brush()->SetColor(clLime);
    c->FloodFill(5, 5, clWhite, fsSurface);
    EXPECT_EQ(CountColor(c, TRect{0, 0, 12, 12}, clLime), 0);
}

TEST(GraphicsCanvas, FloodFillStaysInsideTheClip) {
    auto b = White(10, 10);
    TCanvas* c = b->Canvas();
    HDC dc = c->Handle();
    IntersectClipRect(dc, 0, 0, 5, 10);
    c->Brush()->SetColor(clRed);
    c->FloodFill(1, 1, clWhite, fsSurface);
    EXPECT_EQ(CountColor(c, TRect{0, 0, 5, 10}, clRed), 50);
    SelectClipRgn(dc, nullptr);
    EXPECT_EQ(CountColor(c, TRect{5, 0, 10, 10}, clWhite), 50);
}

TEST(GraphicsCanvas, ChangeEventsSurroundDrawing) {
    auto b = White(5, 5);
    TCanvas* c = b->Canvas();
    std::vector<std::string> log;
    c->OnChanging = TNotifyEvent([&](TObject* s) { log.push_back(s == c ? "changing" : "?"); });
    c->OnChange = TNotifyEvent([&](TObject* s) { log.push_back(s == c ? "change" : "?"); });
    c->FillRect(TRect{0, 0, 2, 2});
    EXPECT_EQ(log, (std::vector<std::string>{"changing", "change"}));
    log.clear();
    c->MoveTo(1, 1);  // moving the pen draws nothing
    (void)c->Pixels(1, 1);
    EXPECT_TRUE(log.empty());
}

TEST(GraphicsCanvas, LockIsReentrant) {
    TCanvas c;
    c.Lock();
    c.Lock();
    EXPECT_EQ(c.LockCount(), 2);
    EXPECT_TRUE(c.TryLock());
    EXPECT_EQ(c.LockCount(), 3);
    c.Unlock();
    c.Unlock();
    c.Unlock();
    EXPECT_EQ(c.LockCount(), 0);
}

TEST(GraphicsCanvas, CopyRectUsesCopyMode) {
    auto src = White(4, 4);
    src->Canvas()->SetPixels(1, 1, clRed);
    auto dst = White(8, 8);
    dst->Canvas()->CopyRect(TRect{0, 0, 8, 8}, src->Canvas(), TRect{0, 0, 4, 4});
    EXPECT_EQ(dst->Canvas()->Pixels(2, 2), clRed);
    EXPECT_EQ(dst->Canvas()->Pixels(3, 3), clRed);
    EXPECT_EQ(dst->Canvas()->Pixels(4, 4), clWhite);
    dst->Canvas()->SetCopyMode(cmDstInvert);
    dst->Canvas()->CopyRect(TRect{0, 0, 1, 1}, src->Canvas(), TRect{0, 0, 1, 1});
    EXPECT_EQ(dst->Canvas()->Pixels(0, 0), clBlack);
}

TEST(GraphicsCanvas, DrawFocusRectTwiceRestores) {
    auto b = White(10, 10);
    TCanvas* c = b->Canvas();
    c->DrawFocusRect(TRect{1, 1, 9, 9});
    EXPECT_NE(CountColor(c, TRect{0, 0, 10, 10}, clWhite), 100);
    c->DrawFocusRect(TRect{1, 1, 9, 9});
    EXPECT_EQ(CountColor(c, TRect{0, 0, 10, 10}, clWhite), 100);
}

TEST(GraphicsCanvas, BrushCopyReplacesTheColour) {
    TBitmap src(4, 1);
    src.Canvas()->SetPixels(0, 0, clRed);
    src.Canvas()->SetPixels(1, 0, clBlue);
    src.Canvas()->SetPixels(2, 0, clRed);
    src.Canvas()->SetPixels(3, 0, clBlue);
    auto dst = White(4, 1);
    dst->Canvas()->Brush()->SetColor(clLime);
    dst->Canvas()->BrushCopy(TRect{0, 0, 4, 1}, &src, TRect{0, 0, 4, 1}, clRed);
    EXPECT_EQ(dst->Canvas()->Pixels(0, 0), clLime);
    EXPECT_EQ(dst->Canvas()->Pixels(1, 0), clBlue);
    EXPECT_EQ(dst->Canvas()->Pixels(2, 0), clLime);

    auto clear = White(4, 1);
    clear->Canvas()->Brush()->SetStyle(bsClear);
    clear->Canvas()->BrushCopy(TRect{0, 0, 4, 1}, &src, TRect{0, 0, 4, 1}, clRed);
    EXPECT_EQ(clear->Canvas()->Pixels(0, 0), clWhite);
    EXPECT_EQ(clear->Canvas()->Pixels(3, 0), clBlue);
}

TEST(GraphicsCanvas, PolygonAndPolyline) {
    auto b = White(10, 10);
    TCanvas* c = b->Canvas();
    c->Pen()->SetColor(clBlack);
    c->Brush()->SetColor(clRed);
    c->Polygon({{1, 1}, {8, 1}, {8, 8}, {1, 8}});
    EXPECT_EQ(c->Pixels(4, 4), clRed);
    EXPECT_EQ(c->Pixels(1, 1), clBlack);
    std::vector<TPoint> line{{0, 9}, {5, 9}};
    c->Pen()->SetColor(clBlue);
    c->Polyline(line);
    EXPECT_EQ(c->Pixels(2, 9), clBlue);
    EXPECT_EQ(c->Pixels(5, 9), clWhite);
}

// ---- pens, brushes, fonts ----

TEST(GraphicsObjects, HandlesFollowTheProperties) {
    TPen p;
    int changes = 0;
    p.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    HPEN h = p.Handle();
    LOGPEN lp;
    ASSERT_EQ(GetObjectA(h, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnColor, COLORREF(clBlack));
    p.SetColor(clRed);
    p.SetWidth(3);
    p.SetStyle(psDash);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(GetObjectType(h), 0u);  // the old pen is gone
    ASSERT_EQ(GetObjectA(p.Handle(), sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnColor, COLORREF(clRed));
    EXPECT_EQ(lp.lopnWidth.x, 3);
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DASH));
    p.SetWidth(-1);
    EXPECT_EQ(p.Width(), 3);

    TPen q;
    q.SetHandle(CreatePen(PS_NULL, 2, RGB(1, 2, 3)));
    EXPECT_EQ(q.Style(), psClear);
    EXPECT_EQ(q.Width(), 2);
    EXPECT_EQ(q.Color(), static_cast<TColor>(RGB(1, 2, 3)));

    TBrush br;
    br.SetStyle(bsDiagCross);
    LOGBRUSH lb;
    ASSERT_EQ(GetObjectA(br.Handle(), sizeof lb, &lb), int(sizeof lb));
    EXPECT_EQ(lb.lbStyle, UINT(BS_HATCHED));
    EXPECT_EQ(lb.lbHatch, uintptr_t(HS_DIAGCROSS));
    TBrush br2;
    br2.Assign(&br);
    EXPECT_EQ(br2.Style(), bsDiagCross);
}

TEST(GraphicsObjects, FontSizeHeightAndHandle) {
    TFont f;
    EXPECT_EQ(f.Name(), "MS Sans Serif");
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
    f.SetSize(12);
    EXPECT_EQ(f.Height(), -16);
    f.SetStyle({fsBold, fsUnderline});
    LOGFONTA lf;
    ASSERT_EQ(GetObjectA(f.Handle(), sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfHeight, -16);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");

    TFont g;
    g.SetHandle(CreateFontA(-20, 0, 900, 0, FW_NORMAL, 1, 0, 1, ANSI_CHARSET, 0, 0, 0, FIXED_PITCH, "Arial"));
    EXPECT_EQ(g.Name(), "Arial");
    EXPECT_EQ(g.Height(), -20);
    EXPECT_EQ(g.Style(), (TFontStyles{fsItalic, fsStrikeOut}));
    EXPECT_EQ(g.Charset(), ANSI_CHARSET);
    EXPECT_EQ(g.Pitch(), fpFixed);
    // A copy of a font made from a handle keeps what the handle carries.
    TFont h;
    h.Assign(&g);
    ASSERT_EQ(GetObjectA(h.Handle(), sizeof lf, &lf), int(sizeof lf));
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_NE(h.Handle(), g.Handle());

    // Another resolution keeps the size in points.
    TFont big;
    big.SetPixelsPerInch(120);
    big.Assign(&f);
    EXPECT_EQ(big.Size(), 12);
    EXPECT_EQ(big.Height(), -20);
}

TEST(GraphicsObjects, MulDivRoundsToNearest) {
    EXPECT_EQ(MulDiv(8, 96, 72), 11);
    EXPECT_EQ(MulDiv(-11, 72, 96), -8);
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(5, 3, 0), -1);
    EXPECT_EQ(MulDiv(0x7FFFFFFF, 2, 1), -1);
    EXPECT_EQ(MulDiv(0x40000000, 0x40000000, 0x40000000), 0x40000000);
}
