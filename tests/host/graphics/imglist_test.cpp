// Tests of image lists: adding and arranging images, DrawEx styles and colours, the disabled look, overlays, change links and streaming.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gditest.h"
#include "host/graphics/graphics.h"
#include "host/graphics/imglist.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/streams.h"

using namespace host;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// A 32-bit bitmap whose pixel (x, y) is F(x, y) (0x00RRGGBB).
template <class F>
std::unique_ptr<TBitmap> MakeBitmap(int W, int H, F&& Fill) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(W, H);
    for (int y = 0; y < H; ++y) {
        auto* row = static_cast<uint32_t*>(b->ScanLine(y));
        for (int x = 0; x < W; ++x) row[x] = Fill(x, y);
    }
    return b;
}
std::unique_ptr<TBitmap> Solid(int W, int H, uint32_t P) {
    return MakeBitmap(W, H, [P](int, int) { return P; });
}
uint32_t Px(TBitmap& B, int X, int Y) { return static_cast<uint32_t*>(B.ScanLine(Y))[X] & kWhite; }

// A destination: a 32-bit bitmap in a memory DC, filled with one colour.
struct TDest {
    HDC Dc = nullptr;
    HBITMAP Bmp = nullptr;
    HGDIOBJ Old = nullptr;
    TDest(int W, int H, uint32_t Fill) {
        Dc = CreateCompatibleDC(nullptr);
        Bmp = CreateBitmap(W, H, 1, 32, nullptr);
        Old = SelectObject(Dc, Bmp);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) SetPixelV(Dc, x, y, ToRef(Fill));
    }
    ~TDest() {
        SelectObject(Dc, Old);
        DeleteObject(Bmp);
        DeleteDC(Dc);
    }
    static COLORREF ToRef(uint32_t P) { return ((P & 0xFF) << 16) | (P & 0xFF00) | ((P >> 16) & 0xFF); }
    // The pixel at logical (X, Y) as 0x00RRGGBB.
    uint32_t At(int X, int Y) const { return ToRef(GetPixel(Dc, X, Y)); }
};

// A 4×4 list with one image: a red square with a transparent (magenta) border column
// on the left and a blue pixel at (2, 2).
std::unique_ptr<TImageList> SampleList() {
    auto list = std::make_unique<TImageList>(nullptr, 4, 4);
    auto img = MakeBitmap(4, 4, [](int x, int y) -> uint32_t {
        if (x == 0) return 0xFF00FF;
        if (x == 2 && y == 2) return 0x0000FF;
        return 0xFF0000;
    });
    list->AddMasked(img.get(), TColor(0xFF00FF));
    return list;
}

}  // namespace

// ---- adding and arranging ----

TEST(ImageList, DefaultsAndPublishedProperties) {
    TImageList list(nullptr);
    EXPECT_EQ(list.Width(), 16);
    EXPECT_EQ(list.Height(), 16);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.BkColor(), clNone);
    EXPECT_EQ(list.BlendColor(), clNone);
    EXPECT_EQ(list.DrawingStyle(), dsNormal);
    EXPECT_EQ(list.ImageType(), itImage);
    EXPECT_TRUE(list.Masked());
    EXPECT_EQ(list.AllocBy(), 4);
    EXPECT_FALSE(list.ShareImages());
    EXPECT_EQ(GetOrdProp(&list, "Width"), 16);
    SetEnumProp(&list, "DrawingStyle", "dsSelected");
    EXPECT_EQ(list.DrawingStyle(), dsSelected);
}

TEST(ImageList, AddSplitsAWideImage) {
    TImageList list(nullptr, 4, 3);
    // Three images side by side, each a different colour, plus two stray columns.
    const uint32_t colours[] = {0x110000, 0x002200, 0x000033};
    auto img = MakeBitmap(14, 3, [&](int x, int) { return colours[std::min(x / 4, 2)]; });
    EXPECT_EQ(list.Add(img.get(), nullptr), 0);
    EXPECT_EQ(list.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        TBitmap b;
        ASSERT_TRUE(list.GetImageBitmap(i, &b));
        EXPECT_EQ(b.Width(), 4);
        EXPECT_EQ(Px(b, 3, 2), colours[i]);
    }
    EXPECT_EQ(list.Add(img.get(), nullptr), 3);
    EXPECT_EQ(list.Count(), 6);
}

TEST(ImageList, TooSmallImagesAndBadIndexesRaise) {
    TImageList list(nullptr, 8, 8);
    auto small = Solid(7, 8, 0);
    EXPECT_THROW(list.Add(small.get(), nullptr), EInvalidOperation);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Add(nullptr, nullptr), -1);
    auto ok = Solid(8, 8, 0);
    list.Add(ok.get(), nullptr);
    EXPECT_THROW(list.Delete(1), EInvalidOperation);
    EXPECT_THROW(list.Replace(1, ok.get(), nullptr), EInvalidOperation);
    EXPECT_THROW(list.Insert(2, ok.get(), nullptr), EInvalidOperation);
    EXPECT_THROW(list.Move(0, 1), EInvalidOperation);
    TBitmap out;
    EXPECT_FALSE(list.GetBitmap(5, &out));
    EXPECT_FALSE(list.GetImageBitmap(-1, &out));
}

TEST(ImageList, InsertReplaceMoveDelete) {
    TImageList list(nullptr, 2, 2);
    auto id = [&](int i) {
        TBitmap b;
        list.GetImageBitmap(i, &b);
        return Px(b, 0, 0);
    };
    for (uint32_t c : {0x000001u, 0x000002u, 0x000003u}) list.Add(Solid(2, 2, c).get(), nullptr);
    list.Insert(1, Solid(2, 2, 0x000009).get(), nullptr);  // 1 9 2 3
    EXPECT_EQ(id(1), 0x000009u);
    EXPECT_EQ(id(2), 0x000002u);
    list.Insert(4, Solid(2, 2, 0x00000A).get(), nullptr);  // at the end: 1 9 2 3 A
    EXPECT_EQ(id(4), 0x00000Au);
    list.Move(0, 3);  // 9 2 3 1 A
    EXPECT_EQ(id(0), 0x000009u);
    EXPECT_EQ(id(3), 0x000001u);
    list.Replace(2, Solid(4, 2, 0x00000F).get(), nullptr);  // only the first image of a wide bitmap
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(id(2), 0x00000Fu);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(id(0), 0x000002u);
    list.Delete(-1);
    EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, MasksFromBitmapsAndFromAColour) {
    TImageList list(nullptr, 3, 1);
    auto img = MakeBitmap(3, 1, [](int x, int) { return x == 1 ? 0x00FF00u : 0x0000FFu; });
    // White in the mask is transparent.
    auto mask = MakeBitmap(3, 1, [](int x, int) { return x == 2 ? kWhite : 0u; });
    list.Add(img.get(), mask.get());
    list.AddMasked(img.get(), TColor(0x00FF00));  // green (0x00FF00 as TColor too)
    TBitmap m0, m1, i1;
    list.GetMaskBitmap(0, &m0);
    list.GetMaskBitmap(1, &m1);
    list.GetImageBitmap(1, &i1);
    EXPECT_TRUE(m0.Monochrome());
    EXPECT_EQ(Px(m0, 0, 0), 0u);
    EXPECT_EQ(Px(m0, 2, 0), kWhite);
    EXPECT_EQ(Px(m1, 1, 0), kWhite);
    EXPECT_EQ(Px(m1, 0, 0), 0u);
    EXPECT_EQ(Px(i1, 1, 0), 0u) << "the mask colour turns black in the image";
    EXPECT_EQ(Px(i1, 0, 0), 0x0000FFu);
}

TEST(ImageList, ChangingTheSizeDropsTheImages) {
    auto list = SampleList();
    ASSERT_EQ(list->Count(), 1);
    list->SetWidth(4);
    EXPECT_EQ(list->Count(), 1) << "the same size keeps them";
    list->SetHeight(5);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_THROW(list->SetWidth(0), EInvalidOperation);
}

// ---- DrawEx ----

TEST(ImageListDrawEx, BackgroundColours) {
    auto list = SampleList();
    {
        TDest d(6, 6, 0x404040);
        ASSERT_TRUE(list->DrawEx(0, d.Dc, 1, 1, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL));
        EXPECT_EQ(d.At(1, 1), 0x404040u) << "masked pixels are transparent";
        EXPECT_EQ(d.At(2, 1), 0xFF0000u);
        EXPECT_EQ(d.At(3, 3), 0x0000FFu);
        EXPECT_EQ(d.At(5, 5), 0x404040u) << "nothing beyond the image";
    }
    {
        TDest d(6, 6, 0x404040);
        list->DrawEx(0, d.Dc, 1, 1, 0, 0, RGB(0x12, 0x34, 0x56), CLR_NONE, ILD_NORMAL);
        EXPECT_EQ(d.At(1, 1), 0x123456u) << "a background colour fills the masked pixels";
        EXPECT_EQ(d.At(2, 1), 0xFF0000u);
        TDest t(6, 6, 0x404040);
        list->DrawEx(0, t.Dc, 1, 1, 0, 0, RGB(0x12, 0x34, 0x56), CLR_NONE, ILD_TRANSPARENT);
        EXPECT_EQ(t.At(1, 1), 0x404040u) << "ILD_TRANSPARENT wins";
    }
    {
        // CLR_DEFAULT: the list's BkColor, transparent while it is clNone.
        TDest d(6, 6, 0x404040);
        list->DrawEx(0, d.Dc, 0, 0, 0, 0, CLR_DEFAULT, CLR_NONE, ILD_NORMAL);
        EXPECT_EQ(d.At(0, 0), 0x404040u);
        list->SetBkColor(clYellow);
        list->DrawEx(0, d.Dc, 0, 0, 0, 0, CLR_DEFAULT, CLR_NONE, ILD_NORMAL);
        EXPECT_EQ(d.At(0, 0), 0xFFFF00u);
    }
    {
        // ILD_IMAGE and unmasked lists draw the stored pixels everywhere.
        TDest d(6, 6, 0x404040);
        list->DrawEx(0, d.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_IMAGE);
        EXPECT_EQ(d.At(0, 0), 0u);
        TDest e(6, 6, 0x404040);
        list->SetMasked(false);
        list->DrawEx(0, e.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
        EXPECT_EQ(e.At(0, 0), 0u);
    }
}

TEST(ImageListDrawEx, BlendStyles) {
    auto list = SampleList();
    TDest d(8, 4, 0x000000);
    // With a colour: (3·img + fg) / 4 and (img + fg) / 2 per channel.
    list->DrawEx(0, d.Dc, 0, 0, 0, 0, CLR_NONE, RGB(0, 0, 0xFF), ILD_BLEND25);
    EXPECT_EQ(d.At(1, 0), 0xBF003Fu);  // red: (3·255 + 0)/4 = 191, blue: 255/4 = 63
    EXPECT_EQ(d.At(0, 0), 0u) << "masked pixels are not blended";
    list->DrawEx(0, d.Dc, 4, 0, 0, 0, CLR_NONE, RGB(0, 0, 0xFF), ILD_BLEND50);
    EXPECT_EQ(d.At(5, 0), 0x7F007Fu);
    EXPECT_EQ(d.At(6, 2), 0x0000FFu) << "blue with blue stays blue";
    // CLR_NONE as the blend colour mixes with the destination.
    TDest g(4, 4, 0x00FF00);
    list->DrawEx(0, g.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_SELECTED);
    EXPECT_EQ(g.At(1, 0), 0x7F7F00u);
    TDest f(4, 4, 0x00FF00);
    list->DrawEx(0, f.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_FOCUS);
    EXPECT_EQ(f.At(1, 0), 0xBF3F00u);
    // The highlight colour for CLR_DEFAULT.
    TDest h(4, 4, 0);
    list->DrawEx(0, h.Dc, 0, 0, 0, 0, CLR_NONE, CLR_DEFAULT, ILD_BLEND50);
    const COLORREF hl = GetSysColor(COLOR_HIGHLIGHT);
    const uint32_t hp = TDest::ToRef(hl);
    const uint32_t want = (((0xFF + ((hp >> 16) & 0xFF)) / 2) << 16) | ((((hp >> 8) & 0xFF) / 2) << 8) | ((hp & 0xFF) / 2);
    EXPECT_EQ(h.At(1, 0), want);
}

TEST(ImageListDrawEx, MaskStyleUsesTheDCColours) {
    auto list = SampleList();
    TDest d(4, 4, 0x777777);
    SetTextColor(d.Dc, RGB(1, 2, 3));
    SetBkColor(d.Dc, RGB(4, 5, 6));
    list->DrawEx(0, d.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_MASK);
    EXPECT_EQ(d.At(0, 0), 0x040506u) << "white mask bits as the background colour";
    EXPECT_EQ(d.At(1, 0), 0x010203u) << "black ones as the text colour";
}

TEST(ImageListDrawEx, PartialSizeOriginsAndClipping) {
    auto list = SampleList();
    TDest d(8, 8, 0x404040);
    // Only a 2×2 part of the image.
    list->DrawEx(0, d.Dc, 0, 0, 2, 2, CLR_NONE, CLR_NONE, ILD_NORMAL);
    EXPECT_EQ(d.At(1, 1), 0xFF0000u);
    EXPECT_EQ(d.At(2, 1), 0x404040u);
    // A moved window origin: logical (10, 10) is device (4, 4).
    TDest o(8, 8, 0x404040);
    SetWindowOrgEx(o.Dc, 6, 6, nullptr);
    list->DrawEx(0, o.Dc, 10, 10, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
    SetWindowOrgEx(o.Dc, 0, 0, nullptr);
    EXPECT_EQ(o.At(5, 4), 0xFF0000u);
    EXPECT_EQ(o.At(6, 6), 0x0000FFu);
    EXPECT_EQ(o.At(4, 4), 0x404040u);
    // A clip rectangle keeps the rest untouched.
    TDest c(8, 8, 0x404040);
    IntersectClipRect(c.Dc, 0, 0, 3, 8);
    list->DrawEx(0, c.Dc, 1, 1, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL);
    SelectClipRgn(c.Dc, nullptr);
    EXPECT_EQ(c.At(2, 1), 0xFF0000u);
    EXPECT_EQ(c.At(3, 1), 0x404040u);
    // Drawing off the surface is harmless.
    EXPECT_TRUE(list->DrawEx(0, c.Dc, -3, 6, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL));
    EXPECT_EQ(c.At(0, 6), 0xFF0000u);
    EXPECT_FALSE(list->DrawEx(1, c.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL));
    EXPECT_FALSE(list->DrawEx(0, reinterpret_cast<HDC>(0x1234), 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL));
}

TEST(ImageListDrawEx, RopBlitsTheImage) {
    auto list = SampleList();
    TDest d(4, 4, 0x00FF00);
    list->DrawEx(0, d.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_ROP, SRCPAINT);
    EXPECT_EQ(d.At(1, 0), 0xFFFF00u);
    EXPECT_EQ(d.At(0, 0), 0x00FF00u) << "black ORed in";
}

TEST(ImageListDrawEx, OverlayGoesOnTop) {
    TImageList list(nullptr, 3, 3);
    list.Add(Solid(3, 3, 0x111111).get(), nullptr);
    auto ov = MakeBitmap(3, 3, [](int x, int y) { return x == y ? 0xABCDEFu : 0xFF00FFu; });
    list.AddMasked(ov.get(), TColor(0xFF00FF));
    EXPECT_FALSE(list.Overlay(5, 0));
    EXPECT_FALSE(list.Overlay(1, 15));
    ASSERT_TRUE(list.Overlay(1, 0));
    TDest d(3, 3, 0);
    list.DrawEx(0, d.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_NORMAL | INDEXTOOVERLAYMASK(1));
    EXPECT_EQ(d.At(1, 1), 0xABCDEFu);
    EXPECT_EQ(d.At(1, 0), 0x111111u);
    TBitmap canvasDest;
    canvasDest.SetPixelFormat(pf32bit);
    canvasDest.SetSize(3, 3);
    list.DrawOverlay(canvasDest.Canvas(), 0, 0, 0, 0);
    EXPECT_EQ(Px(canvasDest, 2, 2), 0xABCDEFu);
    EXPECT_EQ(Px(canvasDest, 2, 1), 0x111111u);
}

// ---- Draw through a canvas ----

TEST(ImageListDraw, DrawingStyleAndDisabledLook) {
    auto list = SampleList();
    list->SetDrawingStyle(dsSelected);
    list->SetBlendColor(clBlack);
    auto dest = Solid(8, 8, 0x404040);
    list->Draw(dest->Canvas(), 0, 0, 0);
    EXPECT_EQ(Px(*dest, 1, 0), 0x7F0000u);
    EXPECT_EQ(Px(*dest, 0, 0), 0x404040u);

    // Disabled: every opaque pixel that is not white is ink; ink goes in the button
    // highlight colour one pixel down and right, then in the shadow colour in place.
    const int idx[] = {COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
    const COLORREF cols[] = {RGB(0xEE, 0xEE, 0xEE), RGB(0x55, 0x55, 0x55)};
    SetSysColors(2, idx, cols);
    auto dis = Solid(8, 8, 0x404040);
    list->Draw(dis->Canvas(), 2, 2, 0, false);
    ResetSysColors();
    EXPECT_EQ(Px(*dis, 2, 2), 0x404040u) << "the transparent column stays";
    EXPECT_EQ(Px(*dis, 3, 2), 0x555555u);
    EXPECT_EQ(Px(*dis, 5, 5), 0x555555u);
    EXPECT_EQ(Px(*dis, 6, 6), 0xEEEEEEu) << "the highlight shows below and right of the ink";
    EXPECT_EQ(Px(*dis, 6, 2), 0x404040u);
}

TEST(ImageListDraw, GetBitmapSizesAndDraws) {
    auto list = SampleList();
    TBitmap b;
    ASSERT_TRUE(list->GetBitmap(0, &b));
    EXPECT_EQ(b.Width(), 4);
    EXPECT_EQ(b.Height(), 4);
    EXPECT_EQ(Px(b, 1, 1), 0xFF0000u);
    EXPECT_EQ(Px(b, 0, 1), kWhite) << "the transparent part shows the new bitmap's white";
}

TEST(ImageListDraw, IconsRoundTrip) {
    auto list = SampleList();
    TIcon icon;
    ASSERT_TRUE(list->GetIcon(0, &icon));
    EXPECT_EQ(icon.Width(), 4);
    EXPECT_EQ(list->AddIcon(&icon), 1);
    TBitmap m0, m1, i1;
    list->GetMaskBitmap(0, &m0);
    list->GetMaskBitmap(1, &m1);
    list->GetImageBitmap(1, &i1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Px(m0, x, y), Px(m1, x, y));
    EXPECT_EQ(Px(i1, 2, 2), 0x0000FFu);
    // A larger list scales the icon.
    TImageList big(nullptr, 8, 8);
    big.AddIcon(&icon);
    TBitmap bi;
    big.GetImageBitmap(0, &bi);
    EXPECT_EQ(Px(bi, 4, 4), 0x0000FFu);
    EXPECT_EQ(Px(bi, 5, 5), 0x0000FFu);
}

// ---- change links ----

TEST(ImageListLinks, LinksHearChangesAndUnregister) {
    auto list = std::make_unique<TImageList>(nullptr, 2, 2);
    int heard = 0, events = 0;
    TObject* sender = nullptr;
    list->OnChange = [&](TObject*) { ++events; };
    auto link = std::make_unique<TChangeLink>();
    link->OnChange = [&](TObject* s) {
        ++heard;
        sender = s;
    };
    list->RegisterChanges(link.get());
    EXPECT_EQ(link->Sender(), list.get());
    list->Add(Solid(2, 2, 0).get(), nullptr);
    EXPECT_EQ(heard, 1);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(sender, list.get());

    list->BeginUpdate();
    list->Add(Solid(2, 2, 0).get(), nullptr);
    list->Delete(0);
    list->BeginUpdate();
    list->SetBkColor(clRed);
    list->EndUpdate();
    EXPECT_EQ(heard, 1) << "nothing while updating";
    list->EndUpdate();
    EXPECT_EQ(heard, 2) << "one notice at the end";
    list->BeginUpdate();
    list->EndUpdate();
    EXPECT_EQ(heard, 2) << "no change, no notice";

    link.reset();  // unregisters itself
    list->Clear();
    EXPECT_EQ(heard, 2);

    auto late = std::make_unique<TChangeLink>();
    list->RegisterChanges(late.get());
    list.reset();
    EXPECT_EQ(late->Sender(), nullptr) << "a list that goes first forgets its links";
}

TEST(ImageListLinks, AHandlerMayUnregisterOthers) {
    TImageList list(nullptr, 2, 2);
    TChangeLink a, b;
    int bHeard = 0;
    a.OnChange = [&](TObject*) { list.UnRegisterChanges(&b); };
    b.OnChange = [&](TObject*) { ++bHeard; };
    list.RegisterChanges(&a);
    list.RegisterChanges(&b);
    list.Clear();
    EXPECT_EQ(bHeard, 0);
    EXPECT_EQ(b.Sender(), nullptr);
}

// ---- assignment and streaming ----

namespace {
std::vector<uint32_t> AllPixels(TCustomImageList& L) {
    std::vector<uint32_t> v;
    for (int i = 0; i < L.Count(); ++i) {
        TBitmap b, m;
        L.GetImageBitmap(i, &b);
        L.GetMaskBitmap(i, &m);
        for (int y = 0; y < L.Height(); ++y)
            for (int x = 0; x < L.Width(); ++x) {
                v.push_back(Px(b, x, y));
                v.push_back(Px(m, x, y));
            }
    }
    return v;
}
}  // namespace

TEST(ImageListStreaming, AssignCopiesImagesAndSettings) {
    auto src = SampleList();
    src->SetBkColor(clAqua);
    src->SetDrawingStyle(dsFocus);
    TImageList dst(nullptr);
    int changes = 0;
    dst.OnChange = [&](TObject*) { ++changes; };
    dst.Assign(src.get());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(dst.Width(), 4);
    EXPECT_EQ(dst.Count(), 1);
    EXPECT_EQ(dst.BkColor(), clAqua);
    EXPECT_EQ(dst.DrawingStyle(), dsFocus);
    EXPECT_EQ(AllPixels(dst), AllPixels(*src));
    dst.Assign(nullptr);
    EXPECT_EQ(dst.Count(), 0);
    TBitmap notAList;
    EXPECT_THROW(dst.Assign(&notAList), EConvertError);
}

TEST(ImageListStreaming, DataRoundTripsWithOddWidths) {
    TImageList list(nullptr, 5, 3);
    auto img = MakeBitmap(15, 3, [](int x, int y) { return uint32_t(x * 0x010203 + y * 0x100000) & kWhite; });
    auto mask = MakeBitmap(15, 3, [](int x, int y) { return (x + y) % 3 == 0 ? kWhite : 0u; });
    list.Add(img.get(), mask.get());
    TMemoryStream s;
    list.WriteData(&s);
    s.SetPosition(0);
    TImageList back(nullptr);
    back.ReadData(&s);
    EXPECT_EQ(back.Width(), 5);
    EXPECT_EQ(back.Height(), 3);
    EXPECT_EQ(back.Count(), 3);
    EXPECT_EQ(AllPixels(back), AllPixels(list));
}

TEST(ImageListStreaming, FormFileRoundTrip) {
    TComponent owner(nullptr);
    auto* list = new TImageList(&owner, 4, 4);
    list->SetName("Images");
    list->SetBkColor(clBtnFace);
    auto sample = SampleList();
    list->AddImages(sample.get());
    list->AddImages(sample.get());
    TMemoryStream s;
    s.WriteComponent(list);
    s.SetPosition(0);
    TImageList back(nullptr);
    s.ReadComponent(&back);
    EXPECT_EQ(back.Count(), 2);
    EXPECT_EQ(back.BkColor(), clBtnFace);
    EXPECT_EQ(AllPixels(back), AllPixels(*list));
}

TEST(ImageListStreaming, CorruptDataRaisesAndKeepsTheList) {
    auto list = SampleList();
    const auto before = AllPixels(*list);
    TMemoryStream good;
    list->WriteData(&good);
    const std::string bytes(static_cast<const char*>(good.Memory()), size_t(good.Size()));
    auto attempt = [&](std::string data) {
        TMemoryStream s;
        if (!data.empty()) s.WriteBuffer(data.data(), int64_t(data.size()));
        s.SetPosition(0);
        EXPECT_THROW(list->ReadData(&s), EReadError);
        EXPECT_EQ(list->Count(), 1);
        EXPECT_EQ(AllPixels(*list), before);
    };
    attempt("");
    attempt(bytes.substr(0, 10));                  // a short header
    attempt("XXXX" + bytes.substr(4));             // a wrong signature
    attempt(bytes.substr(0, bytes.size() - 1));    // one byte short
    std::string huge = bytes;
    huge[12] = '\xFF', huge[13] = '\xFF', huge[14] = '\xFF', huge[15] = '\x7F';  // count 2^31-1
    attempt(huge);
    std::string zero = bytes;
    zero[4] = zero[5] = zero[6] = zero[7] = 0;  // width 0
    attempt(zero);
    std::string negative = bytes;
    negative[15] = '\x80';  // negative count
    attempt(negative);
}

TEST(ImageList, DrawingAndCopyingLeaveNoHandlesBehind) {
    auto list = SampleList();
    TDest d(8, 8, 0);
    const int before = gditest::LiveObjects();
    {
        list->DrawEx(0, d.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_ROP, SRCINVERT);
        list->DrawEx(0, d.Dc, 0, 0, 0, 0, CLR_NONE, CLR_NONE, ILD_BLEND50 | ILD_MASK);
        TBitmap b, m, i;
        list->GetBitmap(0, &b);
        list->GetMaskBitmap(0, &m);
        list->GetImageBitmap(0, &i);
        TIcon icon;
        list->GetIcon(0, &icon);
        list->AddIcon(&icon);
        list->Draw(b.Canvas(), 0, 0, 1, false);
    }
    EXPECT_EQ(gditest::LiveObjects(), before);
}
