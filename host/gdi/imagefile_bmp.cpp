// BMP files: reading every common layout and writing 1 to 32 bits per pixel.
#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "host/gdi/dibcodec.h"
#include "host/gdi/imagefile_internal.h"
#include "host/rtl/exceptions.h"

namespace host {

namespace imagefile {

void Invalid(const char* Kind, const std::string& Why) {
    throw EInvalidGraphic(std::string(Kind) + " image is not valid (" + Why + ")");
}

void CheckImage(const TPixelImage& Image, const char* Kind) {
    if (Image.Width <= 0 || Image.Height <= 0 || Image.Width > gdi::kMaxImageSide || Image.Height > gdi::kMaxImageSide)
        Invalid(Kind, "its size " + std::to_string(Image.Width) + " x " + std::to_string(Image.Height) +
                          " is out of range");
    if (Image.Pixels.size() != size_t(Image.Width) * size_t(Image.Height))
        Invalid(Kind, "it has " + std::to_string(Image.Pixels.size()) + " pixels instead of " +
                          std::to_string(size_t(Image.Width) * size_t(Image.Height)));
}

std::vector<uint32_t> ChoosePalette(const TPixelImage& Image, int BitCount) {
    const size_t room = size_t(1) << BitCount;
    std::vector<uint32_t> colors;
    if (!Image.Palette.empty() && Image.Palette.size() <= room) {
        for (const RGBQUAD& q : Image.Palette)
            colors.push_back((uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue);
        return colors;
    }
    std::unordered_set<uint32_t> seen;
    for (uint32_t p : Image.Pixels) {
        const uint32_t c = p & 0xFFFFFF;
        if (seen.insert(c).second) {
            if (seen.size() > room) return gdi::DefaultColorTable(BitCount);
            colors.push_back(c);
        }
    }
    return colors;
}

std::vector<RGBQUAD> ToQuads(const std::vector<uint32_t>& Colors) {
    std::vector<RGBQUAD> quads(Colors.size());
    for (size_t i = 0; i < Colors.size(); ++i) {
        quads[i].rgbRed = uint8_t(Colors[i] >> 16);
        quads[i].rgbGreen = uint8_t(Colors[i] >> 8);
        quads[i].rgbBlue = uint8_t(Colors[i]);
    }
    return quads;
}

void PutInfoHeader(std::string& s, int Width, int Height, int BitCount, uint32_t SizeImage, uint32_t ClrUsed) {
    Put32(s, 40);
    Put32(s, uint32_t(Width));
    Put32(s, uint32_t(Height));
    Put16(s, 1);
    Put16(s, uint32_t(BitCount));
    Put32(s, BI_RGB);
    Put32(s, SizeImage);
    Put32(s, 3780);  // 96 pixels per inch
    Put32(s, 3780);
    Put32(s, ClrUsed);
    Put32(s, 0);
}

}  // namespace imagefile

using namespace imagefile;

TPixelImage ReadBmp(const std::string& Bytes) {
    const auto* d = reinterpret_cast<const uint8_t*>(Bytes.data());
    const size_t n = Bytes.size();
    if (n < 14 + 12) Invalid("Bitmap", "the file is too short");
    if (d[0] != 'B' || d[1] != 'M') Invalid("Bitmap", "the signature is not BM");
    const uint32_t off = Le32(d + 10);
    size_t headerBytes = 0;
    const gdi::TDibLayout L = gdi::ParseDibHeader(d + 14, n - 14, headerBytes);
    if (off < 14 + headerBytes || off > n) Invalid("Bitmap", "the pixel data offset " + std::to_string(off) + " is out of range");

    TPixelImage img;
    img.Width = L.Width;
    img.Height = L.Height;
    img.BitsPerPixel = L.BitCount;
    img.Palette = ToQuads(L.Colors);
    const size_t w = size_t(L.Width);
    img.Pixels.resize(w * size_t(L.Height));
    const uint8_t* bits = d + off;
    const size_t avail = n - off;

    if (L.Rle()) {
        const uint32_t background = (L.Colors.empty() ? 0u : L.Colors[0]) | 0xFF000000u;
        std::fill(img.Pixels.begin(), img.Pixels.end(), background);
        const size_t ncolors = L.Colors.size();
        const bool ok = gdi::DecodeRle(L, bits, avail, [&](int x, int storedRow, int index) {
            const uint32_t c = size_t(index) < ncolors ? L.Colors[size_t(index)] : 0u;
            img.Pixels[size_t(L.StoredRow(storedRow)) * w + size_t(x)] = c | 0xFF000000u;
        });
        if (!ok) Invalid("Bitmap", "the RLE data is truncated");
        return img;
    }

    const size_t need = L.Stride() * size_t(L.Height - 1) + L.RowBytes();
    if (avail < need) Invalid("Bitmap", "the pixel data is truncated");
    for (int y = 0; y < L.Height; ++y)
        gdi::DecodeRow(L, bits + size_t(L.StoredRow(y)) * L.Stride(), 0, L.Width, img.Pixels.data() + size_t(y) * w);
    bool alpha = false;
    if (L.BitCount == 32 && (L.Compression == BI_RGB || L.Masks[3] != 0))
        for (uint32_t p : img.Pixels)
            if (p >> 24) {
                alpha = true;
                break;
            }
    img.HasAlpha = alpha;
    if (!alpha)
        for (uint32_t& p : img.Pixels) p = (p & 0xFFFFFF) | 0xFF000000u;
    return img;
}

std::string WriteBmp(const TPixelImage& Image, int BitsPerPixel, bool TopDown) {
    CheckImage(Image, "Bitmap");
    const int bpp = BitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        throw EInvalidGraphic("Cannot write a bitmap of " + std::to_string(bpp) + " bits per pixel");
    gdi::TDibLayout L;
    L.Width = Image.Width;
    L.Height = Image.Height;
    L.TopDown = TopDown;
    L.BitCount = bpp;
    if (bpp == 16) L.Masks[0] = 0x7C00, L.Masks[1] = 0x03E0, L.Masks[2] = 0x001F;
    if (bpp <= 8) L.Colors = ChoosePalette(Image, bpp);
    gdi::TColorMatcher matcher(L.Colors);

    const size_t tableBytes = 4 * L.Colors.size();
    const size_t offBits = 14 + 40 + tableBytes;
    const size_t imageSize = L.ImageSize();
    if (offBits + imageSize > 0xFFFFFFFFu) throw EInvalidGraphic("Bitmap image is too large for a BMP file");
    std::string s;
    s.reserve(offBits + imageSize);
    s += "BM";
    Put32(s, uint32_t(offBits + imageSize));
    Put32(s, 0);
    Put32(s, uint32_t(offBits));
    PutInfoHeader(s, L.Width, TopDown ? -L.Height : L.Height, bpp, uint32_t(imageSize), uint32_t(L.Colors.size()));
    for (uint32_t c : L.Colors) Put32(s, c & 0xFFFFFF);

    const size_t w = size_t(L.Width);
    std::vector<uint32_t> row(w);
    std::string stored(L.Stride(), '\0');
    for (int sr = 0; sr < L.Height; ++sr) {
        const uint32_t* src = Image.Pixels.data() + size_t(L.StoredRow(sr)) * w;
        for (size_t x = 0; x < w; ++x) row[x] = Image.HasAlpha ? src[x] : (src[x] & 0xFFFFFF);
        gdi::EncodeRow(L, row.data(), L.Width, reinterpret_cast<uint8_t*>(stored.data()), &matcher);
        s += stored;
    }
    return s;
}

}  // namespace host
