// Tests of the image files: BMP, ICO/CUR and PNG round trips and layouts, hand-made RLE streams, corrupt files, and PNG screenshots.
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/imagefile.h"
#include "host/rtl/exceptions.h"

using namespace host;

namespace {

TPixelImage MakeImage(int W, int H, const std::function<uint32_t(int, int)>& F, bool Alpha = false) {
    TPixelImage img;
    img.Width = W;
    img.Height = H;
    img.HasAlpha = Alpha;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) img.Pixels.push_back(Alpha ? F(x, y) : (F(x, y) | 0xFF000000u));
    return img;
}

uint32_t Le32(const std::string& s, size_t at) {
    uint32_t v;
    std::memcpy(&v, s.data() + at, 4);
    return v;
}
void SetLe32(std::string& s, size_t at, uint32_t v) { std::memcpy(s.data() + at, &v, 4); }
void SetLe16(std::string& s, size_t at, uint16_t v) { std::memcpy(s.data() + at, &v, 2); }

template <class F>
std::string InvalidMessage(F&& f) {
    try {
        f();
    } catch (const EInvalidGraphic& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return std::string("wrong exception: ") + e.what();
    }
    return "<no exception>";
}

#define EXPECT_INVALID(expr) EXPECT_NE(InvalidMessage([&] { (void)(expr); }).find("not valid"), std::string::npos) << #expr

// A BMP file from a 40-byte header, a colour table and pixel bytes.
std::string HandMadeBmp(int W, int H, int Bpp, uint32_t Compression, const std::vector<uint32_t>& Table,
                        const std::string& Bits) {
    std::string s = "BM";
    auto put32 = [&](uint32_t v) { s.append(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](uint16_t v) { s.append(reinterpret_cast<const char*>(&v), 2); };
    const uint32_t off = 14 + 40 + 4 * uint32_t(Table.size());
    put32(off + uint32_t(Bits.size()));
    put32(0);
    put32(off);
    put32(40);
    put32(uint32_t(W));
    put32(uint32_t(H));
    put16(1);
    put16(uint16_t(Bpp));
    put32(Compression);
    put32(uint32_t(Bits.size()));
    put32(0);
    put32(0);
    put32(uint32_t(Table.size()));
    put32(0);
    for (uint32_t c : Table) put32(c);
    return s + Bits;
}

std::string Bytes(std::initializer_list<int> b) {
    std::string s;
    for (int v : b) s.push_back(char(v));
    return s;
}

// ---- BMP ----

TEST(ImageFileBmp, RoundTripsEveryDepthAndDirection) {
    // Colours every depth can hold exactly: at most two for 1 bit, and channel values whose
    // 5-bit form widens back to themselves for 16 bits.
    const uint32_t kFew[4] = {0x000000, 0xFFFFFF, 0x840042, 0x42FF84};
    for (int bpp : {1, 4, 8, 16, 24, 32}) {
        for (bool topDown : {false, true}) {
            const int colors = bpp == 1 ? 2 : 4;
            const TPixelImage img = MakeImage(13, 5, [&](int x, int y) { return kFew[(x + 2 * y) % colors]; });
            const std::string file = WriteBmp(img, bpp, topDown);
            EXPECT_EQ(int32_t(Le32(file, 22)), topDown ? -5 : 5);
            const TPixelImage back = ReadBmp(file);
            SCOPED_TRACE("bpp " + std::to_string(bpp) + (topDown ? " top-down" : " bottom-up"));
            EXPECT_EQ(back.Width, 13);
            EXPECT_EQ(back.Height, 5);
            EXPECT_EQ(back.BitsPerPixel, bpp);
            EXPECT_FALSE(back.HasAlpha);
            EXPECT_EQ(back.Pixels, img.Pixels);
        }
    }
}

TEST(ImageFileBmp, StoresRowsBottomUpPaddedAndMsbFirst) {
    // 10 x 2, 1 bit: rows of 4 bytes; the bottom row first; pixel 0 is the top bit.
    const TPixelImage img = MakeImage(10, 2, [](int x, int y) { return (y == 0 && (x == 1 || x == 9)) ? 0xFFFFFF : 0; });
    const std::string file = WriteBmp(img, 1);
    const uint32_t off = Le32(file, 10);
    ASSERT_EQ(file.size(), off + 8);
    EXPECT_EQ(Le32(file, 14 + 40), 0x000000u);  // the table: black, white
    EXPECT_EQ(Le32(file, 14 + 44), 0xFFFFFFu);
    EXPECT_EQ(file.substr(off, 4), Bytes({0, 0, 0, 0}));           // bottom row
    EXPECT_EQ(file.substr(off + 4, 4), Bytes({0x40, 0x40, 0, 0}));  // top row: x 1 and x 9
}

TEST(ImageFileBmp, KeepsAlphaOf32BitImages) {
    const TPixelImage img = MakeImage(3, 2, [](int x, int y) { return uint32_t(x * 80 + y) << 24 | 0x123456; }, true);
    const TPixelImage back = ReadBmp(WriteBmp(img, 32));
    EXPECT_TRUE(back.HasAlpha);
    EXPECT_EQ(back.Pixels, img.Pixels);
    // Without alpha the fourth bytes are zero, and zero fourth bytes read as opaque.
    TPixelImage opaque = img;
    opaque.HasAlpha = false;
    const std::string file = WriteBmp(opaque, 32);
    EXPECT_EQ(uint8_t(file[Le32(file, 10) + 3]), 0);
    const TPixelImage back2 = ReadBmp(file);
    EXPECT_FALSE(back2.HasAlpha);
    EXPECT_EQ(back2.Pixels[0], 0xFF123456u);
}

TEST(ImageFileBmp, ChoosesPalettes) {
    // Three colours fit a 4-bit table exactly, in the order they appear.
    const TPixelImage three = MakeImage(4, 1, [](int x, int) { return x == 0 ? 0x112233u : x == 1 ? 0x445566u : 0x778899u; });
    const TPixelImage back = ReadBmp(WriteBmp(three, 4));
    EXPECT_EQ(back.Pixels, three.Pixels);
    ASSERT_EQ(back.Palette.size(), 3u);
    EXPECT_EQ(back.Palette[1].rgbRed, 0x44);
    // An image's own palette is used when it fits.
    TPixelImage withPalette = three;
    withPalette.Palette.resize(16);
    withPalette.Palette[5].rgbRed = 0x11, withPalette.Palette[5].rgbGreen = 0x22, withPalette.Palette[5].rgbBlue = 0x33;
    EXPECT_EQ(ReadBmp(WriteBmp(withPalette, 4)).Palette.size(), 16u);
    // Too many colours for 1 bit: black and white by the nearest colour.
    const TPixelImage grey = MakeImage(3, 1, [](int x, int) { return x == 0 ? 0x202020u : x == 1 ? 0xE0E0E0u : 0xFF0000u; });
    const TPixelImage mono = ReadBmp(WriteBmp(grey, 1));
    EXPECT_EQ(mono.Pixels[0], 0xFF000000u);
    EXPECT_EQ(mono.Pixels[1], 0xFFFFFFFFu);
}

TEST(ImageFileBmp, DecodesHandMadeRle8) {
    // 6 x 3, bottom-up. Row 0: a run of three 1s, then 2 3 2 literally, end of line; a delta
    // of (2, 1) skips row 1 and two pixels of row 2; a run of two 3s; end of bitmap.
    const std::string rle = Bytes({3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 1, 2, 3, 0, 1});
    const std::vector<uint32_t> table = {0x102030, 0xFF0000, 0x00FF00, 0x0000FF};
    const TPixelImage img = ReadBmp(HandMadeBmp(6, 3, 8, BI_RLE8, table, rle));
    const uint32_t K = 0xFF102030, R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF;
    const std::vector<uint32_t> expected = {K, K, B, B, K, K,  // top row: the last stored row
                                            K, K, K, K, K, K,  // skipped entirely
                                            R, R, R, G, B, G};
    EXPECT_EQ(img.Pixels, expected);
    EXPECT_EQ(img.BitsPerPixel, 8);
}

TEST(ImageFileBmp, DecodesHandMadeRle4) {
    // 5 x 2: a run of 5 alternating 1 and 2; then 3 4 5 literally and the end of the bitmap.
    const std::string rle = Bytes({5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1});
    std::vector<uint32_t> table(16, 0);
    for (int i = 0; i < 16; ++i) table[size_t(i)] = uint32_t(i) * 0x111111;
    const TPixelImage img = ReadBmp(HandMadeBmp(5, 2, 4, BI_RLE4, table, rle));
    auto c = [](int i) { return 0xFF000000u | (uint32_t(i) * 0x111111); };
    const std::vector<uint32_t> expected = {c(3), c(4), c(5), c(0), c(0), c(1), c(2), c(1), c(2), c(1)};
    EXPECT_EQ(img.Pixels, expected);
}

TEST(ImageFileBmp, ReadsCoreAndV5Headers) {
    // OS/2 core header: 16-bit sizes and a table of 3-byte entries.
    std::string core = "BM";
    core += std::string(12, '\0');
    core += Bytes({12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0});     // 2 x 1, 1 bit
    core += Bytes({0xFF, 0, 0, 0, 0, 0xFF});                  // blue, red
    core += Bytes({0x40, 0, 0, 0});                           // pixels 0 then 1
    SetLe32(core, 10, uint32_t(14 + 12 + 6));
    const TPixelImage a = ReadBmp(core);
    EXPECT_EQ(a.Pixels, (std::vector<uint32_t>{0xFF0000FF, 0xFFFF0000}));

    // V5 header with bit fields and an alpha mask.
    std::string v5 = "BM" + std::string(12, '\0') + std::string(124, '\0');
    SetLe32(v5, 10, 14 + 124);
    SetLe32(v5, 14, 124);
    SetLe32(v5, 18, 1);
    SetLe32(v5, 22, uint32_t(-1));
    SetLe16(v5, 26, 1);
    SetLe16(v5, 28, 32);
    SetLe32(v5, 30, BI_BITFIELDS);
    SetLe32(v5, 54, 0x0000FF00);  // red
    SetLe32(v5, 58, 0x00FF0000);  // green
    SetLe32(v5, 62, 0xFF000000);  // blue
    SetLe32(v5, 66, 0x000000FF);  // alpha
    v5 += Bytes({0x80, 0x11, 0x22, 0x33});
    const TPixelImage b = ReadBmp(v5);
    EXPECT_TRUE(b.HasAlpha);
    EXPECT_EQ(b.Pixels[0], 0x80112233u);
}

TEST(ImageFileBmp, Reads565BitFields) {
    std::string bits = Bytes({0x1F, 0xF8, 0xE0, 0x07, 0, 0});  // 0xF81F magenta, 0x07E0 green; padding
    std::string file = HandMadeBmp(2, 1, 16, BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, bits);
    SetLe32(file, 46, 0);  // the masks are not a colour table
    const TPixelImage img = ReadBmp(file);
    EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{0xFFFF00FF, 0xFF00FF00}));
}

TEST(ImageFileBmp, RejectsCorruptFiles) {
    const std::string good = WriteBmp(MakeImage(4, 4, [](int x, int y) { return uint32_t(x * 0x40 + y); }), 8);
    ASSERT_NO_THROW(ReadBmp(good));
    auto with32 = [&](size_t at, uint32_t v) { std::string s = good; SetLe32(s, at, v); return s; };
    auto with16 = [&](size_t at, uint16_t v) { std::string s = good; SetLe16(s, at, v); return s; };
    EXPECT_INVALID(ReadBmp(""));
    EXPECT_INVALID(ReadBmp("BM"));
    EXPECT_INVALID(ReadBmp("XY" + good.substr(2)));
    EXPECT_INVALID(ReadBmp(good.substr(0, 30)));             // header cut
    EXPECT_INVALID(ReadBmp(good.substr(0, 14 + 40 + 30)));  // colour table cut
    EXPECT_INVALID(ReadBmp(good.substr(0, good.size() - 5)));  // pixels cut
    EXPECT_INVALID(ReadBmp(with32(14, 13)));            // unknown header size
    EXPECT_INVALID(ReadBmp(with32(18, 0)));             // zero width
    EXPECT_INVALID(ReadBmp(with32(18, uint32_t(-4))));  // negative width
    EXPECT_INVALID(ReadBmp(with32(22, 0)));             // zero height
    EXPECT_INVALID(ReadBmp(with32(18, 40000)));         // a side beyond 32768
    EXPECT_INVALID(ReadBmp(with32(18, 20000).replace(22, 4, std::string("\x20\x4e\0\0", 4))));  // 4e8 pixels
    EXPECT_INVALID(ReadBmp(with16(28, 7)));             // 7 bits per pixel
    EXPECT_INVALID(ReadBmp(with32(30, BI_RLE4)));       // RLE4 at 8 bits
    EXPECT_INVALID(ReadBmp(with32(30, 4)));             // JPEG inside
    EXPECT_INVALID(ReadBmp(with32(46, 0x10000000)));    // a table larger than the file
    EXPECT_INVALID(ReadBmp(with32(10, uint32_t(good.size() + 1))));  // pixels beyond the end
    EXPECT_INVALID(ReadBmp(with32(10, 20)));            // pixels inside the header
    // RLE data ending before its end-of-bitmap mark.
    EXPECT_INVALID(ReadBmp(HandMadeBmp(4, 2, 8, BI_RLE8, {0, 0xFFFFFF}, Bytes({4, 1, 0, 0, 4}))));
    // Bit fields without any mask.
    EXPECT_INVALID(ReadBmp(HandMadeBmp(1, 1, 32, BI_BITFIELDS, {0, 0, 0}, std::string(4, '\0'))));
    // A specific message names the problem.
    EXPECT_NE(InvalidMessage([&] { ReadBmp(with32(18, 0)); }).find("width"), std::string::npos);
}

TEST(ImageFileBmp, RefusesToWriteBadImages) {
    TPixelImage img = MakeImage(2, 2, [](int, int) { return 0u; });
    EXPECT_THROW(WriteBmp(img, 2), EInvalidGraphic);
    img.Pixels.pop_back();
    EXPECT_THROW(WriteBmp(img, 24), EInvalidGraphic);
    EXPECT_THROW(WriteBmp(TPixelImage(), 24), EInvalidGraphic);
}

// ---- ICO and CUR ----

TIconImage MakeIcon(int Size, int Bpp, bool Alpha) {
    TIconImage icon;
    const uint32_t kColors[4] = {0x000000, 0xFF0000, 0x00FF00, 0xFFFFFF};
    const int n = Bpp == 1 ? 2 : 4;
    icon.Image = MakeImage(
        Size, Size,
        [&](int x, int y) { return (Alpha ? uint32_t((x * 16 + y) & 0xFF) << 24 : 0u) | kColors[(x / 2 + y) % n]; },
        Alpha);
    icon.Image.BitsPerPixel = Bpp;
    if (!Alpha)
        for (int i = 0; i < Size * Size; ++i) icon.Mask.push_back((i % 3) == 0 ? 1 : 0);
    return icon;
}

TEST(ImageFileIco, RoundTripsEveryDepthWithMasks) {
    std::vector<TIconImage> icons = {MakeIcon(16, 1, false), MakeIcon(16, 4, false), MakeIcon(24, 8, false),
                                     MakeIcon(32, 24, false), MakeIcon(48, 32, true)};
    const std::vector<TIconImage> back = ReadIco(WriteIco(icons));
    ASSERT_EQ(back.size(), icons.size());
    for (size_t i = 0; i < icons.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        EXPECT_EQ(back[i].Image.Width, icons[i].Image.Width);
        EXPECT_EQ(back[i].Image.BitsPerPixel, icons[i].Image.BitsPerPixel);
        EXPECT_EQ(back[i].Image.HasAlpha, icons[i].Image.HasAlpha);
        EXPECT_EQ(back[i].Image.Pixels, icons[i].Image.Pixels);
        EXPECT_FALSE(back[i].IsCursor);
        EXPECT_FALSE(back[i].Png);
        if (!icons[i].Mask.empty()) {
            EXPECT_EQ(back[i].Mask, icons[i].Mask);
        }
    }
    // The 32-bit image's mask comes from its alpha.
    EXPECT_EQ(back[4].Mask[0], 1);                 // alpha 0
    EXPECT_EQ(back[4].Mask[47], 0);  // x 47, y 0: alpha 47 * 16 & 0xFF = 0xF0
}

TEST(ImageFileIco, StoresTheAndMaskAfterTheColourRows) {
    TIconImage icon;
    icon.Image = MakeImage(8, 1, [](int, int) { return 0u; });
    icon.Image.BitsPerPixel = 1;
    icon.Mask = {1, 0, 0, 0, 0, 0, 0, 1};
    const std::string file = WriteIco({icon});
    const uint32_t off = Le32(file, 6 + 12);
    EXPECT_EQ(Le32(file, off + 8), 2u);  // the header's height covers colour and mask rows
    const size_t andRow = off + 40 + 2 * 4 + 4;  // header, two table entries, one colour row
    EXPECT_EQ(file.substr(andRow, 4), Bytes({0x81, 0, 0, 0}));
    EXPECT_EQ(file.size(), andRow + 4);
}

TEST(ImageFileIco, CursorsKeepHotSpotsAndPngEntries) {
    TIconImage a = MakeIcon(32, 8, false);
    a.HotX = 3, a.HotY = 17;
    TIconImage b = MakeIcon(64, 32, true);
    b.Png = true;
    b.HotX = 60, b.HotY = 1;
    const std::string file = WriteIco({a, b}, true);
    EXPECT_EQ(file.substr(0, 4), Bytes({0, 0, 2, 0}));
    const std::vector<TIconImage> back = ReadIco(file);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_TRUE(back[0].IsCursor);
    EXPECT_EQ(back[0].HotX, 3);
    EXPECT_EQ(back[0].HotY, 17);
    EXPECT_TRUE(back[1].Png);
    EXPECT_EQ(back[1].HotX, 60);
    EXPECT_EQ(back[1].Image.Pixels, b.Image.Pixels);
    EXPECT_EQ(back[0].Mask, a.Mask);
}

TEST(ImageFileIco, AcceptsA32BitImageWithoutMask) {
    TIconImage icon = MakeIcon(4, 32, true);
    std::string file = WriteIco({icon});
    file.resize(file.size() - 4 * 4);  // the four mask rows of 4 bytes
    SetLe32(file, 6 + 8, Le32(file, 6 + 8) - 16);
    const std::vector<TIconImage> back = ReadIco(file);
    EXPECT_EQ(back[0].Image.Pixels, icon.Image.Pixels);
    EXPECT_EQ(back[0].Mask[0], 1);
}

TEST(ImageFileIco, RejectsCorruptFiles) {
    const std::string good = WriteIco({MakeIcon(16, 8, false)});
    ASSERT_NO_THROW(ReadIco(good));
    auto with16 = [&](size_t at, uint16_t v) { std::string s = good; SetLe16(s, at, v); return s; };
    auto with32 = [&](size_t at, uint32_t v) { std::string s = good; SetLe32(s, at, v); return s; };
    EXPECT_INVALID(ReadIco(""));
    EXPECT_INVALID(ReadIco(with16(0, 1)));   // reserved field
    EXPECT_INVALID(ReadIco(with16(2, 3)));   // neither icon nor cursor
    EXPECT_INVALID(ReadIco(with16(4, 0)));   // no image
    EXPECT_INVALID(ReadIco(with16(4, 2)));   // a directory longer than the file holds
    EXPECT_INVALID(ReadIco(with32(6 + 12, uint32_t(good.size()))));      // image beyond the end
    EXPECT_INVALID(ReadIco(with32(6 + 8, uint32_t(good.size()))));       // size beyond the end
    EXPECT_INVALID(ReadIco(with32(6 + 12, 8)));                           // image inside the directory
    EXPECT_INVALID(ReadIco(with32(22 + 8, 31)));                          // odd height
    EXPECT_INVALID(ReadIco(with32(22 + 4, 0)));                           // zero width
    EXPECT_INVALID(ReadIco(good.substr(0, good.size() - 10)));            // the image cut
    std::string noMask = good.substr(0, good.size() - 10);
    SetLe32(noMask, 6 + 8, Le32(good, 6 + 8) - 10);
    EXPECT_INVALID(ReadIco(noMask));                                      // the mask cut
    std::string png = WriteIco({[] { TIconImage i = MakeIcon(8, 32, true); i.Png = true; return i; }()});
    png[png.size() - 20] ^= 0x55;  // damage the PNG data
    EXPECT_INVALID(ReadIco(png));
    EXPECT_THROW(WriteIco({}), EInvalidGraphic);
    EXPECT_THROW(WriteIco({MakeIcon(300, 32, true)}), EInvalidGraphic);
}

// ---- PNG ----

std::string PngOf(png_image& Image, const void* Buffer, const void* Colormap) {
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&Image, nullptr, &size, 0, Buffer, 0, Colormap));
    std::string out(size, '\0');
    EXPECT_TRUE(png_image_write_to_memory(&Image, out.data(), &size, 0, Buffer, 0, Colormap));
    out.resize(size);
    return out;
}

uint32_t Crc32(const std::string& S) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : S) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A PNG chunk with its length and CRC.
std::string Chunk(const std::string& Type, const std::string& Data) {
    std::string s;
    const uint32_t n = uint32_t(Data.size());
    s += Bytes({int(n >> 24), int((n >> 16) & 0xFF), int((n >> 8) & 0xFF), int(n & 0xFF)});
    s += Type + Data;
    const uint32_t crc = Crc32(s.substr(4));
    s += Bytes({int(crc >> 24), int((crc >> 16) & 0xFF), int((crc >> 8) & 0xFF), int(crc & 0xFF)});
    return s;
}

TEST(ImageFilePng, RoundTripsRgbaAndRgb) {
    const TPixelImage rgba = MakeImage(7, 5, [](int x, int y) { return uint32_t(x * 30) << 24 | uint32_t(y * 0x102030 + x); }, true);
    const std::string file = WritePng(rgba);
    EXPECT_EQ(file[25], 6);  // colour type RGBA
    const TPixelImage back = ReadPng(file);
    EXPECT_TRUE(back.HasAlpha);
    EXPECT_EQ(back.BitsPerPixel, 32);
    EXPECT_EQ(back.Pixels, rgba.Pixels);

    const TPixelImage rgb = MakeImage(3, 3, [](int x, int y) { return uint32_t(x * 0x400000 + y * 0x40); });
    const std::string file2 = WritePng(rgb);
    EXPECT_EQ(file2[25], 2);  // colour type RGB
    const TPixelImage back2 = ReadPng(file2);
    EXPECT_FALSE(back2.HasAlpha);
    EXPECT_EQ(back2.BitsPerPixel, 24);
    EXPECT_EQ(back2.Pixels, rgb.Pixels);
}

TEST(ImageFilePng, ReadsGreyAndPaletteImages) {
    png_image grey;
    std::memset(&grey, 0, sizeof grey);
    grey.version = PNG_IMAGE_VERSION;
    grey.width = 3;
    grey.height = 1;
    grey.format = PNG_FORMAT_LINEAR_Y;  // 16-bit grey
    const uint16_t levels[3] = {0, 0x8000, 0xFFFF};
    const TPixelImage g = ReadPng(PngOf(grey, levels, nullptr));
    EXPECT_EQ(g.BitsPerPixel, 16);
    EXPECT_FALSE(g.HasAlpha);
    EXPECT_EQ(g.Pixels, (std::vector<uint32_t>{0xFF000000, 0xFF808080, 0xFFFFFFFF}));

    png_image pal;
    std::memset(&pal, 0, sizeof pal);
    pal.version = PNG_IMAGE_VERSION;
    pal.width = 2;
    pal.height = 2;
    pal.format = PNG_FORMAT_RGBA_COLORMAP;
    pal.colormap_entries = 2;
    const uint8_t colormap[8] = {0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0x00};  // opaque red, transparent blue
    const uint8_t indexes[4] = {0, 1, 1, 0};
    const TPixelImage p = ReadPng(PngOf(pal, indexes, colormap));
    EXPECT_TRUE(p.HasAlpha);
    EXPECT_LE(p.BitsPerPixel, 8);
    ASSERT_EQ(p.Palette.size(), 2u);
    EXPECT_EQ(p.Palette[0].rgbRed, 0xFF);
    EXPECT_EQ(p.Pixels[0], 0xFFFF0000u);
    EXPECT_EQ(p.Pixels[1] >> 24, 0u);
    EXPECT_EQ(p.Pixels[3], 0xFFFF0000u);
}

TEST(ImageFilePng, RejectsCorruptFiles) {
    const std::string good = WritePng(MakeImage(16, 16, [](int x, int y) { return uint32_t(x * y * 997); }));
    ASSERT_NO_THROW(ReadPng(good));
    EXPECT_INVALID(ReadPng(""));
    EXPECT_INVALID(ReadPng("\x89PNG\r\n\x1a"));
    EXPECT_INVALID(ReadPng("GIF89a" + good.substr(6)));
    EXPECT_INVALID(ReadPng(good.substr(0, good.size() / 2)));  // truncated image data
    EXPECT_INVALID(ReadPng(good.substr(0, good.size() - 12)));  // no IEND
    std::string crc = good;
    crc[29] ^= 1;  // the IHDR's CRC
    EXPECT_INVALID(ReadPng(crc));
    // Headers with absurd sizes fail before anything is allocated.
    const std::string sig = "\x89PNG\r\n\x1a\n";
    auto ihdr = [&](uint32_t w, uint32_t h) {
        std::string d;
        for (uint32_t v : {w, h}) d += Bytes({int(v >> 24), int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF)});
        d += Bytes({8, 6, 0, 0, 0});
        return sig + Chunk("IHDR", d) + Chunk("IEND", "");
    };
    EXPECT_INVALID(ReadPng(ihdr(40000, 1)));
    EXPECT_INVALID(ReadPng(ihdr(20000, 20000)));
    EXPECT_INVALID(ReadPng(ihdr(0, 5)));
    EXPECT_INVALID(ReadPng(ihdr(4, 4)));  // no image data at all
}

// ---- by signature ----

TEST(ImageFileAuto, ChoosesTheReaderBySignature) {
    const TPixelImage img = MakeImage(2, 2, [](int x, int) { return x ? 0xFF0000u : 0x0000FFu; });
    EXPECT_EQ(ReadImageAuto(WriteBmp(img, 24)).Pixels, img.Pixels);
    EXPECT_EQ(ReadImageAuto(WritePng(img)).Pixels, img.Pixels);
    // Of an icon: the largest image, its mask turned into alpha.
    TIconImage small = MakeIcon(16, 8, false), large = MakeIcon(32, 8, false);
    const TPixelImage fromIco = ReadImageAuto(WriteIco({small, large}));
    EXPECT_EQ(fromIco.Width, 32);
    EXPECT_TRUE(fromIco.HasAlpha);
    EXPECT_EQ(fromIco.Pixels[0] >> 24, 0u);  // masked
    EXPECT_EQ(fromIco.Pixels[1] >> 24, 0xFFu);
    EXPECT_THROW(ReadImageAuto("GIF89a......"), EInvalidGraphic);
}

// ---- screenshots ----

class ImageFileScreenshot : public ::testing::Test {
protected:
    void SetUp() override {
        Dir = std::filesystem::temp_directory_path() / ("ryx_shot_" + std::to_string(getpid()));
        std::filesystem::create_directories(Dir);
    }
    void TearDown() override { std::filesystem::remove_all(Dir); }
    static std::string Slurp(const std::filesystem::path& P) {
        std::ifstream in(P, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::path Dir;
};

TEST_F(ImageFileScreenshot, WritesBitmapsAndDeviceContextsAsPng) {
    HBITMAP bmp = CreateBitmap(4, 3, 1, 32, nullptr);
    gdi::TBitmapObj* b = gdi::Find<gdi::TBitmapObj>(bmp);
    ASSERT_NE(b, nullptr);
    for (int i = 0; i < 12; ++i) b->Pixels[size_t(i)] = uint32_t(i) * 0x0A0B0C;
    const auto file = Dir / "bmp.png";
    ASSERT_TRUE(SaveBitmapPng(bmp, file.string()));
    const TPixelImage shot = ReadPng(Slurp(file));
    EXPECT_FALSE(shot.HasAlpha);
    ASSERT_EQ(shot.Pixels.size(), 12u);
    EXPECT_EQ(shot.Pixels[5], 0xFF000000u | (5 * 0x0A0B0C));

    // A rectangle in logical coordinates, partly off the surface: black there.
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    SetWindowOrgEx(dc, 10, 20, nullptr);
    const auto file2 = Dir / "dc.png";
    ASSERT_TRUE(SaveDCPng(dc, RECT{11, 21, 15, 23}, file2.string()));
    const TPixelImage part = ReadPng(Slurp(file2));
    ASSERT_EQ(part.Width, 4);
    ASSERT_EQ(part.Height, 2);
    EXPECT_EQ(part.Pixels[0], 0xFF000000u | (5 * 0x0A0B0C));  // surface (1, 1)
    EXPECT_EQ(part.Pixels[3], 0xFF000000u);                   // surface (4, 1): outside
    EXPECT_EQ(part.Pixels[6], 0xFF000000u | (11 * 0x0A0B0C)); // surface (3, 2)
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 2);  // no temporary left
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bmp);
}

TEST_F(ImageFileScreenshot, FailsCleanly) {
    HBITMAP bmp = CreateBitmap(2, 2, 1, 1, nullptr);
    EXPECT_TRUE(SaveBitmapPng(bmp, (Dir / "mono.png").string()));
    const auto blocker = Dir / "file";
    std::ofstream(blocker) << "x";
    EXPECT_FALSE(SaveBitmapPng(bmp, (blocker / "x.png").string()));  // a file as the folder
    DeleteObject(bmp);
    EXPECT_FALSE(SaveBitmapPng(bmp, (Dir / "stale.png").string()));
    EXPECT_FALSE(SaveDCPng(nullptr, RECT{0, 0, 1, 1}, (Dir / "none.png").string()));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir), {}), 2);
}

}  // namespace
