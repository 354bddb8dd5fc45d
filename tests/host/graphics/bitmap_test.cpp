// TBitmap: handle hand-over, copies, resizing, monochrome, scan lines, transparency, files and resources.
#include <gtest/gtest.h>

#include <cstring>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/gditest.h"
#include "host/gdi/imagefile.h"
#include "host/graphics/graphics.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/resources.h"
#include "host/rtl/streams.h"

using namespace host;

namespace {

std::string Bytes(TMemoryStream& s) { return std::string(static_cast<const char*>(s.Memory()), size_t(s.Size())); }

void Load(TGraphic& G, const std::string& Bytes) {
    TMemoryStream s;
    s.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
    s.SetPosition(0);
    G.LoadFromStream(&s);
}

// A 3 x 2 bitmap: red, green, blue over white, black, yellow.
void Paint(TBitmap& B) {
    B.SetSize(3, 2);
    const TColor colors[] = {clRed, clGreen, clBlue, clWhite, clBlack, clYellow};
    for (int i = 0; i < 6; ++i) B.Canvas()->SetPixels(i % 3, i / 3, colors[i]);
}

void ExpectPainted(TBitmap& B) {
    ASSERT_EQ(B.Width(), 3);
    ASSERT_EQ(B.Height(), 2);
    const TColor colors[] = {clRed, clGreen, clBlue, clWhite, clBlack, clYellow};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(B.Canvas()->Pixels(i % 3, i / 3), colors[i]) << "pixel " << i;
}

}  // namespace

TEST(GraphicsBitmap, NewBitmapsAreWhiteAndEmptyUntilSized) {
    TBitmap b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Handle(), nullptr);
    EXPECT_EQ(b.PixelFormat(), pfDevice);
    EXPECT_EQ(b.HandleType(), bmDDB);
    b.SetWidth(4);
    EXPECT_TRUE(b.Empty());
    b.SetHeight(3);
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(b.Canvas()->Pixels(3, 2), clWhite);
    EXPECT_THROW(b.SetSize(-1, 4), EInvalidGraphic);
    EXPECT_EQ(b.Width(), 4);
}

TEST(GraphicsBitmap, HandleHandOver) {
    const int before = gditest::LiveBitmaps();
    TBitmap b;
    HBITMAP h1 = CreateBitmap(4, 5, 1, 32, nullptr);
    b.SetHandle(h1);
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 5);
    EXPECT_EQ(b.Handle(), h1);
    b.Canvas()->SetPixels(0, 0, clRed);  // the canvas holds h1 selected
    HBITMAP h2 = CreateBitmap(2, 2, 1, 1, nullptr);
    b.SetHandle(h2);  // frees h1
    EXPECT_EQ(GetObjectType(h1), 0u);
    EXPECT_TRUE(b.Monochrome());
    EXPECT_EQ(gditest::LiveBitmaps(), before + 1);

    HBITMAP got = b.ReleaseHandle();
    EXPECT_EQ(got, h2);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    // Released bitmaps are no longer selected anywhere: the caller can delete them.
    EXPECT_TRUE(DeleteObject(got));
    EXPECT_EQ(gditest::LiveBitmaps(), before);
    EXPECT_THROW(b.SetHandle(reinterpret_cast<HBITMAP>(GetStockObject(WHITE_BRUSH))), EInvalidGraphic);
}

TEST(GraphicsBitmap, AssignCopiesPixelsAndSettings) {
    TBitmap a;
    Paint(a);
    a.SetTransparentColor(clBlue);
    a.SetTransparent(true);
    TBitmap b;
    b.Assign(&a);
    ExpectPainted(b);
    EXPECT_NE(a.Handle(), b.Handle());
    EXPECT_EQ(b.TransparentColor(), clBlue);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    EXPECT_TRUE(b.Transparent());
    a.Canvas()->SetPixels(0, 0, clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);  // a copy, not a share
    b.Assign(nullptr);
    EXPECT_TRUE(b.Empty());
}

TEST(GraphicsBitmap, SetSizeKeepsTheContentThatFits) {
    TBitmap b;
    Paint(b);
    b.SetSize(5, 4);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(2, 1), clYellow);
    EXPECT_EQ(b.Canvas()->Pixels(4, 3), clWhite);
    b.Canvas()->Brush()->SetColor(clNavy);
    b.SetWidth(6);
    EXPECT_EQ(b.Canvas()->Pixels(5, 0), clNavy);  // new pixels take the brush
    b.SetSize(1, 1);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(static_cast<COLORREF>(b.Canvas()->Pixels(1, 0)), CLR_INVALID);
}

TEST(GraphicsBitmap, MonochromeConversionUsesTheBrushColour) {
    TBitmap b;
    Paint(b);
    b.SetMonochrome(true);
    EXPECT_TRUE(b.Monochrome());
    EXPECT_EQ(b.Canvas()->Pixels(0, 1), clWhite);  // the brush (white) becomes white
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(2, 1), clBlack);

    TBitmap m;
    Paint(m);
    m.Canvas()->Brush()->SetColor(clBlue);
    m.SetPixelFormat(pf1bit);
    EXPECT_TRUE(m.Monochrome());
    EXPECT_EQ(m.PixelFormat(), pf1bit);
    EXPECT_EQ(m.HandleType(), bmDIB);
    EXPECT_EQ(m.Canvas()->Pixels(2, 0), clWhite);
    EXPECT_EQ(m.Canvas()->Pixels(0, 1), clBlack);
    m.SetPixelFormat(pf24bit);
    EXPECT_FALSE(m.Monochrome());
    EXPECT_EQ(m.Canvas()->Pixels(2, 0), clWhite);
    m.Canvas()->SetPixels(0, 0, clRed);
    EXPECT_EQ(m.Canvas()->Pixels(0, 0), clRed);
}

TEST(GraphicsBitmap, ScanLineWritesShowThroughPixels) {
    TBitmap b;
    b.SetPixelFormat(pf32bit);
    b.SetSize(4, 3);
    auto* row = static_cast<uint8_t*>(b.ScanLine(2));
    row[3 * 4 + 0] = 0x11;  // blue
    row[3 * 4 + 1] = 0x22;  // green
    row[3 * 4 + 2] = 0x33;  // red
    EXPECT_EQ(b.Canvas()->Pixels(3, 2), static_cast<TColor>(RGB(0x33, 0x22, 0x11)));
    b.Canvas()->SetPixels(0, 0, clRed);
    EXPECT_EQ(static_cast<uint32_t*>(b.ScanLine(0))[0], 0x00FF0000u);
    EXPECT_THROW(b.ScanLine(3), EInvalidGraphicOperation);
    EXPECT_THROW(b.ScanLine(-1), EInvalidGraphicOperation);
}

TEST(GraphicsBitmap, TransparentColourAndMask) {
    TBitmap b;
    Paint(b);
    EXPECT_EQ(b.TransparentMode(), tmAuto);
    EXPECT_EQ(b.TransparentColor(), clWhite);  // the bottom-left pixel
    b.SetTransparentColor(clGreen);
    EXPECT_EQ(b.TransparentMode(), tmFixed);
    HBITMAP mask = b.MaskHandle();
    const gdi::TBitmapObj* m = gdi::Find<gdi::TBitmapObj>(mask);
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(m->Mono());
    EXPECT_EQ(m->Row(0)[1], 0xFFFFFFu);
    EXPECT_EQ(m->Row(0)[0], 0u);
    EXPECT_EQ(b.MaskHandle(), mask);  // kept while the image is unchanged
    b.SetTransparentMode(tmAuto);
    EXPECT_EQ(b.TransparentColor(), clWhite);
    const gdi::TBitmapObj* m2 = gdi::Find<gdi::TBitmapObj>(b.MaskHandle());
    EXPECT_EQ(m2->Row(1)[0], 0xFFFFFFu);
    EXPECT_EQ(m2->Row(0)[1], 0u);

    TBitmap mono(2, 2);
    mono.SetMonochrome(true);
    EXPECT_EQ(mono.TransparentColor(), clWhite);
}

TEST(GraphicsBitmap, TransparentDrawLeavesTheTransparentPixelsAlone) {
    TBitmap src;
    src.SetSize(3, 1);
    src.Canvas()->SetPixels(0, 0, clRed);
    src.Canvas()->SetPixels(1, 0, clLime);
    src.Canvas()->SetPixels(2, 0, clBlack);
    src.SetTransparentColor(clLime);
    src.SetTransparent(true);
    TBitmap dst(6, 2);
    dst.Canvas()->Brush()->SetColor(clBlue);
    dst.Canvas()->FillRect(TRect{0, 0, 6, 2});
    dst.Canvas()->Draw(1, 1, &src);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 1), clRed);
    EXPECT_EQ(dst.Canvas()->Pixels(2, 1), clBlue);
    EXPECT_EQ(dst.Canvas()->Pixels(3, 1), clBlack);
    EXPECT_EQ(dst.Canvas()->Pixels(0, 1), clBlue);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 0), clBlue);

    // Stretched twice as wide: every source pixel covers two.
    dst.Canvas()->StretchDraw(TRect{0, 0, 6, 1}, &src);
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 0), clRed);
    EXPECT_EQ(dst.Canvas()->Pixels(2, 0), clBlue);
    EXPECT_EQ(dst.Canvas()->Pixels(3, 0), clBlue);
    EXPECT_EQ(dst.Canvas()->Pixels(5, 0), clBlack);

    src.SetTransparent(false);
    dst.Canvas()->Draw(1, 1, &src);
    EXPECT_EQ(dst.Canvas()->Pixels(2, 1), clLime);
}

TEST(GraphicsBitmap, MonochromeDrawTakesTheCanvasColours) {
    TBitmap mono(2, 1);
    mono.Canvas()->SetPixels(0, 0, clBlack);
    mono.SetMonochrome(true);
    TBitmap dst(2, 1);
    dst.Canvas()->Font()->SetColor(clRed);     // 0 bits
    dst.Canvas()->Brush()->SetColor(clYellow); // 1 bits
    dst.Canvas()->Draw(0, 0, &mono);
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 0), clYellow);
}

TEST(GraphicsBitmap, MaskTurnsTheBitmapIntoItsMask) {
    TBitmap b;
    Paint(b);
    b.Mask(clBlue);
    EXPECT_TRUE(b.Monochrome());
    EXPECT_EQ(b.Canvas()->Pixels(2, 0), clWhite);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(b.Canvas()->Pixels(0, 1), clBlack);
}

TEST(GraphicsBitmap, BmpRoundTripAtSeveralDepths) {
    for (TPixelFormat pf : {pfDevice, pf24bit, pf32bit, pf8bit, pf4bit}) {
        TBitmap a;
        a.SetPixelFormat(pf);
        Paint(a);
        TMemoryStream s;
        a.SaveToStream(&s);
        const std::string bytes = Bytes(s);
        ASSERT_GT(bytes.size(), 54u);
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        TBitmap b;
        Load(b, bytes);
        SCOPED_TRACE(GetEnumName(HostTypeInfo(static_cast<const TPixelFormat*>(nullptr)), pf));
        ExpectPainted(b);
        EXPECT_EQ(b.HandleType(), bmDIB);
        if (pf != pfDevice) {
            EXPECT_EQ(b.PixelFormat(), pf);
        }
    }
    TBitmap m;
    Paint(m);
    m.SetMonochrome(true);
    TMemoryStream s;
    m.SaveToStream(&s);
    TBitmap n;
    Load(n, Bytes(s));
    EXPECT_TRUE(n.Monochrome());
    EXPECT_EQ(n.PixelFormat(), pf1bit);
    EXPECT_EQ(n.Canvas()->Pixels(0, 1), clWhite);
    EXPECT_EQ(n.Canvas()->Pixels(0, 0), clBlack);
}

TEST(GraphicsBitmap, CorruptFileRaisesAndLeavesTheBitmap) {
    TBitmap good;
    Paint(good);
    TMemoryStream s;
    good.SaveToStream(&s);
    std::string bytes = Bytes(s);

    TBitmap b;
    Paint(b);
    HBITMAP before = b.Handle();
    EXPECT_THROW(Load(b, bytes.substr(0, 40)), EInvalidGraphic);
    EXPECT_THROW(Load(b, "not a picture at all"), EInvalidGraphic);
    std::string huge = bytes;
    const int32_t w = 1 << 30;
    std::memcpy(&huge[18], &w, 4);
    EXPECT_THROW(Load(b, huge), EInvalidGraphic);
    EXPECT_EQ(b.Handle(), before);
    ExpectPainted(b);
}

TEST(GraphicsBitmap, LoadsPng) {
    TPixelImage img;
    img.Width = 2;
    img.Height = 1;
    img.Pixels = {0xFFFF0000u, 0xFF0000FFu};
    TBitmap b;
    Load(b, WritePng(img));
    EXPECT_EQ(b.Width(), 2);
    EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(b.Canvas()->Pixels(1, 0), clBlue);
}

TEST(GraphicsBitmap, DormantKeepsTheImage) {
    TBitmap b;
    Paint(b);
    const int before = gditest::LiveBitmaps();
    b.Dormant();
    EXPECT_FALSE(b.HandleAllocated());
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(gditest::LiveBitmaps(), before - 1);
    ExpectPainted(b);
    EXPECT_TRUE(b.HandleAllocated());
    b.Dormant();
    b.FreeImage();
    EXPECT_TRUE(b.HandleAllocated());
    ExpectPainted(b);
}

namespace {
// A resource module holding one bitmap: a DIB without its file header.
class TOneBitmap : public TResourceModule {
public:
    explicit TOneBitmap(std::string Dib) : FDib(std::move(Dib)) {}
    bool Find(const std::string& Type, const std::string& Name, TResourceBlob& Out) const override {
        if (Name != "SAMPLE" || Type != NormalizeResourceType(ResourceId(RT_BITMAP))) return false;
        Out.Data = reinterpret_cast<const unsigned char*>(FDib.data());
        Out.Size = FDib.size();
        return true;
    }

private:
    std::string FDib;
};
}  // namespace

TEST(GraphicsBitmap, LoadFromResource) {
    TBitmap a;
    a.SetPixelFormat(pf8bit);
    Paint(a);
    TMemoryStream s;
    a.SaveToStream(&s);
    const HMODULE mod = RegisterResourceModule(std::make_unique<TOneBitmap>(Bytes(s).substr(14)));
    TBitmap b;
    b.LoadFromResourceName(mod, "sample");
    ExpectPainted(b);
    EXPECT_THROW(b.LoadFromResourceName(mod, "OTHER"), EResNotFound);
    EXPECT_THROW(b.LoadFromResourceID(mod, 7), EResNotFound);
    UnregisterResourceModule(mod);
    ExpectPainted(b);
}

TEST(GraphicsBitmap, PatternBitmapsAreShared) {
    TBitmap* p = AllocPatternBitmap(clWhite, clBlack);
    EXPECT_EQ(AllocPatternBitmap(clWhite, clBlack), p);
    TBitmap* q = AllocPatternBitmap(clBtnFace, clBtnHighlight);
    EXPECT_NE(q, p);
    ASSERT_EQ(p->Width(), 8);
    ASSERT_EQ(p->Height(), 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(p->Canvas()->Pixels(x, y), (x % 2 == y % 2) ? clBlack : clWhite) << x << "," << y;
    EXPECT_EQ(COLORREF(q->Canvas()->Pixels(1, 0)), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(COLORREF(q->Canvas()->Pixels(1, 1)), GetSysColor(COLOR_BTNHIGHLIGHT));

    // As a brush pattern, aligned to the DC's origin.
    TBitmap dst(4, 2);
    dst.Canvas()->Brush()->SetBitmap(p);
    dst.Canvas()->FillRect(TRect{0, 0, 4, 2});
    EXPECT_EQ(dst.Canvas()->Pixels(0, 0), clBlack);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 0), clWhite);
    EXPECT_EQ(dst.Canvas()->Pixels(1, 1), clBlack);
}

TEST(GraphicsBitmap, ChangeEvents) {
    TBitmap b;
    int changes = 0;
    b.OnChange = TNotifyEvent([&](TObject*) { ++changes; });
    b.SetSize(3, 3);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(b.Modified());
    b.Canvas()->FillRect(TRect{0, 0, 1, 1});
    EXPECT_EQ(changes, 2);
    b.SetModified(false);
    EXPECT_FALSE(b.Modified());
}
