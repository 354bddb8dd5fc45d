// Tests of the DIB calls: GetDIBits/SetDIBits layouts, tables and bands, StretchDIBits and SetDIBitsToDevice against blits, and DIB sections.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/gditest.h"

using namespace host;

namespace {

// A BITMAPINFO with room for a full colour table.
struct TInfo {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[256];
    TInfo(int W, int H, int Bpp, DWORD Compression = BI_RGB) {
        Header.biWidth = W;
        Header.biHeight = H;
        Header.biBitCount = WORD(Bpp);
        Header.biCompression = Compression;
    }
    BITMAPINFO* Get() { return reinterpret_cast<BITMAPINFO*>(this); }
    void SetColor(int I, uint32_t Rgb) {
        Colors[I].rgbRed = uint8_t(Rgb >> 16);
        Colors[I].rgbGreen = uint8_t(Rgb >> 8);
        Colors[I].rgbBlue = uint8_t(Rgb);
        Colors[I].rgbReserved = 0;
    }
    uint32_t Color(int I) const {
        return (uint32_t(Colors[I].rgbRed) << 16) | (uint32_t(Colors[I].rgbGreen) << 8) | Colors[I].rgbBlue;
    }
};

gdi::TBitmapObj* Obj(HBITMAP B) { return gdi::Find<gdi::TBitmapObj>(B); }

// A bitmap of 1 or 32 bits per pixel whose pixel (x, y) is F(x, y) (0x00RRGGBB).
HBITMAP MakeBitmap(int W, int H, int Bpp, const std::function<uint32_t(int, int)>& F) {
    HBITMAP b = CreateBitmap(W, H, 1, UINT(Bpp), nullptr);
    gdi::TBitmapObj* o = Obj(b);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) o->Row(y)[x] = F(x, y);
    return b;
}

std::vector<uint32_t> PixelsOf(HBITMAP B) {
    gdi::TBitmapObj* o = Obj(B);
    gdi::SyncFromDib(o);
    return o->Pixels;
}

// A memory DC with a bitmap selected, released at the end of the scope.
struct TMemDC {
    HDC Dc;
    HGDIOBJ Old;
    explicit TMemDC(HBITMAP B) : Dc(CreateCompatibleDC(nullptr)), Old(SelectObject(Dc, B)) {}
    ~TMemDC() {
        SelectObject(Dc, Old);
        DeleteDC(Dc);
    }
};

std::string Row(const std::vector<uint8_t>& Bits, size_t At, size_t Count) {
    std::string s;
    for (size_t i = 0; i < Count; ++i) s += (i ? " " : "") + std::to_string(Bits[At + i]);
    return s;
}

// ---- GetDIBits ----

TEST(DibGetDIBits, Gives32BitRowsAsBgrxBottomUpUnlessHeightIsNegative) {
    HBITMAP bmp = MakeBitmap(2, 2, 32, [](int x, int y) { return 0x102030u + uint32_t(x) + 0x10000u * uint32_t(y); });
    TInfo info(2, 2, 32);
    std::vector<uint8_t> bits(16, 0xEE);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, bits.data(), info.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(info.Header.biSizeImage, 16u);
    EXPECT_EQ(Row(bits, 0, 8), "48 32 17 0 49 32 17 0");  // the bottom row (y 1) first: B, G, R, x
    EXPECT_EQ(Row(bits, 8, 8), "48 32 16 0 49 32 16 0");
    info.Header.biHeight = -2;
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, bits.data(), info.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(Row(bits, 0, 4), "48 32 16 0");  // top-down: y 0 first
    DeleteObject(bmp);
}

TEST(DibGetDIBits, GivesMonochromeBitmapsAsOneBitRowsWithABlackAndWhiteTable) {
    // 10 x 2: white at x 0 and x 9 of the top row, x 1 of the bottom row.
    HBITMAP bmp = MakeBitmap(10, 2, 1, [](int x, int y) {
        return ((y == 0 && (x == 0 || x == 9)) || (y == 1 && x == 1)) ? 0xFFFFFFu : 0u;
    });
    TInfo info(10, 2, 1);
    info.SetColor(0, 0x123456), info.SetColor(1, 0x123456);
    std::vector<uint8_t> bits(8, 0xEE);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, bits.data(), info.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(info.Color(0), 0x000000u);
    EXPECT_EQ(info.Color(1), 0xFFFFFFu);
    EXPECT_EQ(Row(bits, 0, 4), "64 0 0 0");   // bottom row: x 1; padded to 4 bytes
    EXPECT_EQ(Row(bits, 4, 4), "128 64 0 0");  // top row: x 0 (MSB) and x 9
    DeleteObject(bmp);

    // A colour bitmap read at 1 bit: the same table, each pixel by its nearest colour.
    HBITMAP colour = MakeBitmap(3, 1, 32, [](int x, int) { return x == 0 ? 0xF0F0F0u : x == 1 ? 0x101010u : 0xFFFFFFu; });
    EXPECT_EQ(GetDIBits(nullptr, colour, 0, 1, bits.data(), TInfo(3, 1, 1).Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(bits[0], 0xA0);
    DeleteObject(colour);
}

TEST(DibGetDIBits, FillsTheHeaderAndTableWithoutBits) {
    HBITMAP colour = CreateBitmap(5, 3, 1, 32, nullptr);
    HBITMAP mono = CreateBitmap(7, 2, 1, 1, nullptr);
    TInfo info(0, 0, 0);
    info.SetColor(0, 0xABCDEF);
    EXPECT_NE(GetDIBits(nullptr, colour, 0, 3, nullptr, info.Get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.Header.biWidth, 5);
    EXPECT_EQ(info.Header.biHeight, 3);
    EXPECT_EQ(info.Header.biBitCount, 32);
    EXPECT_EQ(info.Header.biSizeImage, 60u);
    EXPECT_EQ(info.Color(0), 0xABCDEFu);  // no table for the bitmap's own format
    TInfo monoInfo(0, 0, 0);
    EXPECT_NE(GetDIBits(nullptr, mono, 0, 2, nullptr, monoInfo.Get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(monoInfo.Header.biBitCount, 1);
    EXPECT_EQ(monoInfo.Header.biSizeImage, 8u);

    // With a depth and no bits: the size and the table only.
    TInfo eight(5, 3, 8);
    EXPECT_NE(GetDIBits(nullptr, colour, 0, 3, nullptr, eight.Get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(eight.Header.biSizeImage, 24u);
    EXPECT_EQ(eight.Color(0), 0x000000u);
    EXPECT_EQ(eight.Color(255), 0xFFFFFFu);
    TInfo four(5, 3, 4);
    EXPECT_NE(GetDIBits(nullptr, colour, 0, 3, nullptr, four.Get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(four.Color(9), 0xFF0000u);
    // Bits without a depth cannot be filled.
    std::vector<uint8_t> bits(64);
    EXPECT_EQ(GetDIBits(nullptr, colour, 0, 3, bits.data(), TInfo(5, 3, 0).Get(), DIB_RGB_COLORS), 0);
    DeleteObject(colour);
    DeleteObject(mono);
}

TEST(DibGetDIBits, SelectsBandsOfScanLines) {
    const uint32_t kRows[4] = {0x000011, 0x000022, 0x000033, 0x000044};  // top to bottom
    HBITMAP bmp = MakeBitmap(1, 4, 32, [&](int, int y) { return kRows[y]; });
    std::vector<uint8_t> bits(16, 0);
    // Bottom-up: scan 0 is the bottom row.
    TInfo up(1, 4, 32);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 1, 2, bits.data(), up.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(bits[0], 0x33);
    EXPECT_EQ(bits[4], 0x22);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 3, 5, bits.data(), up.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(bits[0], 0x11);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 4, 1, bits.data(), up.Get(), DIB_RGB_COLORS), 0);
    // Top-down: scan 0 is the top row.
    TInfo down(1, -4, 32);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 1, 2, bits.data(), down.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(bits[0], 0x22);
    EXPECT_EQ(bits[4], 0x33);
    DeleteObject(bmp);
}

TEST(DibGetDIBits, FailsForBadArguments) {
    HBITMAP bmp = CreateBitmap(2, 2, 1, 32, nullptr);
    std::vector<uint8_t> bits(16);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, bits.data(), nullptr, DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, bits.data(), TInfo(2, 2, 7).Get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, bits.data(), TInfo(2, 2, 8, BI_RLE8).Get(), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, bits.data(), TInfo(2, 2, 32).Get(), 7), 0);
    DeleteObject(bmp);
    EXPECT_EQ(GetDIBits(nullptr, bmp, 0, 2, bits.data(), TInfo(2, 2, 32).Get(), DIB_RGB_COLORS), 0);
}

// ---- SetDIBits ----

TEST(DibSetDIBits, WritesBandsCountedFromTheBottom) {
    HBITMAP bmp = MakeBitmap(1, 4, 32, [](int, int) { return 0u; });
    TInfo info(1, 4, 24);
    const uint8_t bits[8] = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0};  // scan 1 red, scan 2 green
    EXPECT_EQ(SetDIBits(nullptr, bmp, 1, 2, bits, info.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(PixelsOf(bmp), (std::vector<uint32_t>{0, 0x00FF00, 0xFF0000, 0}));
    // Lines past the DIB's height are not copied.
    EXPECT_EQ(SetDIBits(nullptr, bmp, 3, 9, bits, info.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(PixelsOf(bmp)[0], 0xFF0000u);
    DeleteObject(bmp);
}

TEST(DibSetDIBits, MapsOneBitDibsByTheTableOrOntoMonochromeBits) {
    TInfo info(4, 1, 1);
    info.SetColor(0, 0xFFFFFF);  // an inverted table
    info.SetColor(1, 0x000000);
    const uint8_t bits[4] = {0xA0, 0, 0, 0};  // 1 0 1 0
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, nullptr);
    EXPECT_EQ(SetDIBits(nullptr, mono, 0, 1, bits, info.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(PixelsOf(mono), (std::vector<uint32_t>{0xFFFFFF, 0, 0xFFFFFF, 0}));  // bit 1 is white
    info.SetColor(0, 0xFF0000);
    info.SetColor(1, 0x0000FF);
    HBITMAP colour = CreateBitmap(4, 1, 1, 32, nullptr);
    EXPECT_EQ(SetDIBits(nullptr, colour, 0, 1, bits, info.Get(), DIB_RGB_COLORS), 1);
    EXPECT_EQ(PixelsOf(colour), (std::vector<uint32_t>{0x0000FF, 0xFF0000, 0x0000FF, 0xFF0000}));
    DeleteObject(mono);
    DeleteObject(colour);
}

TEST(DibSetDIBits, ReadsEveryDepth) {
    HBITMAP bmp = CreateBitmap(3, 1, 1, 32, nullptr);
    {
        TInfo info(3, 1, 4);
        info.Header.biClrUsed = 3;
        info.SetColor(0, 0x111111), info.SetColor(1, 0x222222), info.SetColor(2, 0x333333);
        const uint8_t bits[4] = {0x21, 0x70, 0, 0};  // 2 1, and 7: past the table, so black
        SetDIBits(nullptr, bmp, 0, 1, bits, info.Get(), DIB_RGB_COLORS);
        EXPECT_EQ(PixelsOf(bmp), (std::vector<uint32_t>{0x333333, 0x222222, 0}));
    }
    {
        TInfo info(3, 1, 8);
        info.SetColor(200, 0xABCDEF);
        const uint8_t bits[4] = {200, 0, 200, 0};
        SetDIBits(nullptr, bmp, 0, 1, bits, info.Get(), DIB_RGB_COLORS);
        EXPECT_EQ(PixelsOf(bmp)[2], 0xABCDEFu);
    }
    {
        TInfo info(3, 1, 16);  // 5-5-5
        const uint8_t bits[8] = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0};
        SetDIBits(nullptr, bmp, 0, 1, bits, info.Get(), DIB_RGB_COLORS);
        EXPECT_EQ(PixelsOf(bmp), (std::vector<uint32_t>{0xFF0000, 0x00FF00, 0x0000FF}));
    }
    {
        TInfo info(3, 1, 32, BI_BITFIELDS);  // masks in the colour table's place
        const uint32_t masks[3] = {0x000000FF, 0x0000FF00, 0x00FF0000};
        std::memcpy(info.Colors, masks, sizeof masks);
        const uint32_t bits[3] = {0x00000011, 0x00002200, 0x00330000};
        SetDIBits(nullptr, bmp, 0, 1, bits, info.Get(), DIB_RGB_COLORS);
        EXPECT_EQ(PixelsOf(bmp), (std::vector<uint32_t>{0x110000, 0x002200, 0x000033}));
    }
    DeleteObject(bmp);
}

TEST(DibSetDIBits, DecodesRle8AndLeavesSkippedPixels) {
    HBITMAP bmp = MakeBitmap(4, 2, 32, [](int, int) { return 0x123456u; });
    TInfo info(4, 2, 8, BI_RLE8);
    info.SetColor(1, 0xFF0000);
    info.SetColor(2, 0x00FF00);
    // Bottom row: two 1s, then a delta (1, 1) to the top row's x 3, one 2, end of bitmap.
    const uint8_t rle[] = {2, 1, 0, 2, 1, 1, 1, 2, 0, 1};
    info.Header.biSizeImage = sizeof rle;
    EXPECT_EQ(SetDIBits(nullptr, bmp, 0, 2, rle, info.Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(PixelsOf(bmp), (std::vector<uint32_t>{0x123456, 0x123456, 0x123456, 0x00FF00,  //
                                                    0xFF0000, 0xFF0000, 0x123456, 0x123456}));
    info.Header.biSizeImage = 0;  // an RLE DIB needs its size
    EXPECT_EQ(SetDIBits(nullptr, bmp, 0, 2, rle, info.Get(), DIB_RGB_COLORS), 0);
    DeleteObject(bmp);
}

TEST(DibSetDIBits, RoundTripsThroughGetDIBitsAtEveryDepth) {
    // Colours of the default tables survive the low depths; all survive 24 and 32 bits.
    const uint32_t kColors[4] = {0x000000, 0xFF0000, 0x00FFFF, 0xFFFFFF};
    HBITMAP src = MakeBitmap(7, 3, 32, [&](int x, int y) { return kColors[(x + y) % 4]; });
    for (int bpp : {4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bpp);
        TInfo info(7, 3, bpp);
        std::vector<uint8_t> bits(4 * 7 * 3);
        ASSERT_EQ(GetDIBits(nullptr, src, 0, 3, bits.data(), info.Get(), DIB_RGB_COLORS), 3);
        HBITMAP dst = CreateBitmap(7, 3, 1, 32, nullptr);
        ASSERT_EQ(SetDIBits(nullptr, dst, 0, 3, bits.data(), info.Get(), DIB_RGB_COLORS), 3);
        EXPECT_EQ(PixelsOf(dst), PixelsOf(src));
        DeleteObject(dst);
    }
    DeleteObject(src);
}

// ---- StretchDIBits and SetDIBitsToDevice ----

// The pixels of a 24-bit bottom-up DIB of W x H and a bitmap holding the same pixels.
struct TDib {
    TInfo Info;
    std::vector<uint8_t> Bits;
    HBITMAP Same = nullptr;
    TDib(int W, int H, const std::function<uint32_t(int, int)>& F) : Info(W, H, 24) {
        const size_t stride = ((size_t(W) * 24 + 31) / 32) * 4;
        Bits.assign(stride * size_t(H), 0);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const uint32_t c = F(x, y);
                uint8_t* p = Bits.data() + size_t(H - 1 - y) * stride + 3 * size_t(x);
                p[0] = uint8_t(c), p[1] = uint8_t(c >> 8), p[2] = uint8_t(c >> 16);
            }
        Same = MakeBitmap(W, H, 32, F);
    }
    ~TDib() { DeleteObject(Same); }
};

uint32_t Checker(int x, int y) { return uint32_t(x * 0x300000 + y * 0x003000 + ((x ^ y) & 1) * 0x55); }

TEST(DibStretchDIBits, DrawsAsStretchBltFromABitmapWithThePixels) {
    TDib dib(4, 3, Checker);
    TMemDC src(dib.Same);
    struct TCase {
        int X, Y, W, H, SX, SY, SW, SH;
        DWORD Rop;
    };
    // SY of a bottom-up DIB counts from its bottom: the reference blit's source row is H - SY - SH.
    const TCase cases[] = {
        {1, 1, 8, 6, 0, 0, 4, 3, SRCCOPY},   {2, 3, 4, 3, 0, 0, 4, 3, SRCINVERT},
        {9, 0, -8, 6, 0, 0, 4, 3, SRCCOPY},  {0, 0, 10, 4, 1, 1, 3, 2, SRCCOPY},
        {-3, -2, 12, 12, 0, 0, 4, 3, SRCAND}, {0, 0, 6, 6, 2, 0, 6, 6, SRCCOPY},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y) + " " + std::to_string(c.SX) + "," +
                     std::to_string(c.SY));
        HBITMAP a = MakeBitmap(12, 10, 32, [](int x, int y) { return uint32_t(x * 0x0F0F0F + y * 0x010203); });
        HBITMAP b = MakeBitmap(12, 10, 32, [](int x, int y) { return uint32_t(x * 0x0F0F0F + y * 0x010203); });
        {
            TMemDC da(a), db(b);
            EXPECT_NE(StretchDIBits(da.Dc, c.X, c.Y, c.W, c.H, c.SX, c.SY, c.SW, c.SH, dib.Bits.data(), dib.Info.Get(),
                                    DIB_RGB_COLORS, c.Rop),
                      0);
            StretchBlt(db.Dc, c.X, c.Y, c.W, c.H, src.Dc, c.SX, 3 - c.SY - c.SH, c.SW, c.SH, c.Rop);
        }
        EXPECT_EQ(PixelsOf(a), PixelsOf(b));
        DeleteObject(a);
        DeleteObject(b);
    }
}

TEST(DibStretchDIBits, UsesTheTableOnColourAndTheBitsOnMonochrome) {
    TInfo info(2, 1, 1);
    info.SetColor(0, 0xFF0000);
    info.SetColor(1, 0x00FF00);
    const uint8_t bits[4] = {0x40, 0, 0, 0};  // 0 1
    HBITMAP colour = CreateBitmap(2, 1, 1, 32, nullptr);
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, nullptr);
    {
        TMemDC dc(colour), dm(mono);
        SetTextColor(dc.Dc, RGB(1, 2, 3));  // not used: the DIB's table gives the colours
        EXPECT_EQ(StretchDIBits(dc.Dc, 0, 0, 2, 1, 0, 0, 2, 1, bits, info.Get(), DIB_RGB_COLORS, SRCCOPY), 1);
        EXPECT_EQ(StretchDIBits(dm.Dc, 0, 0, 2, 1, 0, 0, 2, 1, bits, info.Get(), DIB_RGB_COLORS, SRCCOPY), 1);
    }
    EXPECT_EQ(PixelsOf(colour), (std::vector<uint32_t>{0xFF0000, 0x00FF00}));
    EXPECT_EQ(PixelsOf(mono), (std::vector<uint32_t>{0x000000, 0xFFFFFF}));
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 2, 1, 0, 0, 2, 1, bits, info.Get(), DIB_RGB_COLORS, SRCCOPY), 0);
    DeleteObject(colour);
    DeleteObject(mono);
}

TEST(DibSetDIBitsToDevice, CopiesTheScanLinesPresent) {
    TDib dib(4, 4, Checker);
    HBITMAP a = MakeBitmap(8, 8, 32, [](int, int) { return 0x777777u; });
    const size_t stride = 12;
    {
        TMemDC da(a);
        SetWindowOrgEx(da.Dc, -2, -3, nullptr);  // logical (0, 0) is surface (2, 3)
        // Only scans 1 and 2 (image rows 2 and 1) are handed over.
        EXPECT_EQ(SetDIBitsToDevice(da.Dc, 0, 0, 4, 4, 0, 0, 1, 2, dib.Bits.data() + stride, dib.Info.Get(),
                                    DIB_RGB_COLORS),
                  2);
    }
    const std::vector<uint32_t> px = PixelsOf(a);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool drawn = x >= 2 && x < 6 && (y == 4 || y == 5);
            EXPECT_EQ(px[size_t(y * 8 + x)], drawn ? Checker(x - 2, y - 3) : 0x777777u) << x << "," << y;
        }
    DeleteObject(a);
}

// ---- DIB sections ----

TEST(DibSection, ShowsWhatTheCallerWritesAndFlushesWhatGdiDraws) {
    TInfo info(4, -2, 8);  // top-down
    info.Header.biClrUsed = 4;
    info.SetColor(0, 0x000000), info.SetColor(1, 0xFF0000), info.SetColor(2, 0x00FF00), info.SetColor(3, 0x0000FF);
    void* mem = nullptr;
    HBITMAP sec = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &mem, nullptr, 0);
    ASSERT_NE(sec, nullptr);
    ASSERT_NE(mem, nullptr);
    auto* bytes = static_cast<uint8_t*>(mem);
    BITMAP bm;
    ASSERT_NE(GetObjectA(sec, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmBits, mem);
    EXPECT_EQ(bm.bmBitsPixel, 8);

    {
    TMemDC dc(sec);
    EXPECT_EQ(GetPixel(dc.Dc, 0, 0), RGB(0, 0, 0));
    bytes[1] = 2;      // (1, 0) green
    bytes[4 + 3] = 3;  // (3, 1) blue
    EXPECT_EQ(GetPixel(dc.Dc, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc.Dc, 3, 1), RGB(0, 0, 255));
    bytes[1] = 1;  // written again after GDI read it
    EXPECT_EQ(GetPixel(dc.Dc, 1, 0), RGB(255, 0, 0));

    // GDI draws a near-red and the flush stores the nearest index.
    HBITMAP red = MakeBitmap(2, 2, 32, [](int, int) { return 0xF01010u; });
    {
        TMemDC src(red);
        ASSERT_TRUE(BitBlt(dc.Dc, 2, 0, 2, 2, src.Dc, 0, 0, SRCCOPY));
    }
    EXPECT_TRUE(GdiFlush());
    EXPECT_EQ(bytes[2], 1);
    EXPECT_EQ(bytes[4 + 3], 1);
    EXPECT_EQ(bytes[1], 1);
    EXPECT_EQ(GetPixel(dc.Dc, 3, 1), RGB(255, 0, 0));  // the surface holds what the memory can
    DeleteObject(red);
    }
    EXPECT_TRUE(DeleteObject(sec));
}

TEST(DibSection, OfThirtyTwoBitsTopDownSharesTheSurface) {
    TInfo info(3, -2, 32);
    void* mem = nullptr;
    HBITMAP sec = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &mem, nullptr, 0);
    ASSERT_NE(sec, nullptr);
    EXPECT_EQ(mem, Obj(sec)->Pixels.data());
    {
        TMemDC dc(sec);
        static_cast<uint32_t*>(mem)[4] = 0x00ABCDEF;  // (1, 1)
        EXPECT_EQ(GetPixel(dc.Dc, 1, 1), RGB(0xAB, 0xCD, 0xEF));
        SetPixel(dc.Dc, 2, 0, RGB(1, 2, 3));
        EXPECT_EQ(static_cast<uint32_t*>(mem)[2], 0x010203u);
    }
    DeleteObject(sec);
}

TEST(DibSection, OfTwentyFourBitsBottomUpIsWrittenOnFlush) {
    TInfo info(2, 2, 24);
    void* mem = nullptr;
    HBITMAP sec = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &mem, nullptr, 0);
    ASSERT_NE(sec, nullptr);
    auto* bytes = static_cast<uint8_t*>(mem);
    HBITMAP src = MakeBitmap(1, 1, 32, [](int, int) { return 0x112233u; });
    {
        TMemDC dc(sec), ds(src);
        ASSERT_TRUE(BitBlt(dc.Dc, 1, 0, 1, 1, ds.Dc, 0, 0, SRCCOPY));  // top row, x 1
    }
    DeleteObject(src);
    GdiFlush();
    // The top row is the second row of memory (8 bytes a row); x 1 is bytes 3 to 5.
    EXPECT_EQ(bytes[8 + 3], 0x33);
    EXPECT_EQ(bytes[8 + 4], 0x22);
    EXPECT_EQ(bytes[8 + 5], 0x11);
    EXPECT_EQ(bytes[3], 0);
    // GetDIBits reads a section like any bitmap.
    std::vector<uint8_t> bits(16);
    EXPECT_EQ(GetDIBits(nullptr, sec, 0, 2, bits.data(), TInfo(2, 2, 32).Get(), DIB_RGB_COLORS), 2);
    EXPECT_EQ(Row(bits, 12, 4), "51 34 17 0");
    DeleteObject(sec);
}

TEST(DibSection, OfOneBitBlackAndWhiteIsMonochrome) {
    TInfo info(8, 1, 1);
    info.SetColor(0, 0x000000), info.SetColor(1, 0xFFFFFF);
    void* mem = nullptr;
    HBITMAP sec = CreateDIBSection(nullptr, info.Get(), DIB_RGB_COLORS, &mem, nullptr, 0);
    ASSERT_NE(sec, nullptr);
    EXPECT_TRUE(Obj(sec)->Mono());
    static_cast<uint8_t*>(mem)[0] = 0x81;
    EXPECT_EQ(PixelsOf(sec), (std::vector<uint32_t>{0xFFFFFF, 0, 0, 0, 0, 0, 0, 0xFFFFFF}));
    DeleteObject(sec);
}

TEST(DibSection, RejectsBadFormatsAndCountsAsABitmap) {
    const int before = gditest::LiveBitmaps();
    void* mem = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, TInfo(4, 4, 7).Get(), DIB_RGB_COLORS, &mem, nullptr, 0), nullptr);
    EXPECT_EQ(mem, nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, TInfo(0, 4, 8).Get(), DIB_RGB_COLORS, &mem, nullptr, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, TInfo(4, 4, 8, BI_RLE8).Get(), DIB_RGB_COLORS, &mem, nullptr, 0), nullptr);
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &mem, nullptr, 0), nullptr);
    HBITMAP sec = CreateDIBSection(nullptr, TInfo(4, 4, 16).Get(), DIB_RGB_COLORS, &mem, nullptr, 0);
    EXPECT_EQ(gditest::LiveBitmaps(), before + 1);
    EXPECT_TRUE(DeleteObject(sec));
    EXPECT_EQ(gditest::LiveBitmaps(), before);
    EXPECT_TRUE(GdiFlush());  // forgets the deleted section
}

// ---- CreateDIBitmap ----

TEST(DibCreateDIBitmap, MakesADeviceBitmapInTheDcsFormat) {
    TDib dib(2, 2, [](int x, int y) { return (x + y) % 2 ? 0xF0F0F0u : 0x202020u; });
    HBITMAP colour = CreateDIBitmap(nullptr, &dib.Info.Header, CBM_INIT, dib.Bits.data(), dib.Info.Get(), DIB_RGB_COLORS);
    ASSERT_NE(colour, nullptr);
    EXPECT_FALSE(Obj(colour)->Mono());
    EXPECT_EQ(PixelsOf(colour), (std::vector<uint32_t>{0x202020, 0xF0F0F0, 0xF0F0F0, 0x202020}));
    // A new memory DC holds a monochrome bitmap, so its compatible bitmap is monochrome.
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateDIBitmap(mem, &dib.Info.Header, CBM_INIT, dib.Bits.data(), dib.Info.Get(), DIB_RGB_COLORS);
    ASSERT_NE(mono, nullptr);
    EXPECT_TRUE(Obj(mono)->Mono());
    EXPECT_EQ(PixelsOf(mono), (std::vector<uint32_t>{0, 0xFFFFFF, 0xFFFFFF, 0}));
    HBITMAP blank = CreateDIBitmap(nullptr, &dib.Info.Header, 0, nullptr, nullptr, DIB_RGB_COLORS);
    EXPECT_EQ(PixelsOf(blank)[0], 0u);
    DeleteDC(mem);
    DeleteObject(colour);
    DeleteObject(mono);
    DeleteObject(blank);
}

}  // namespace
