// Icon and cursor files: several images each, as DIBs with AND masks or as PNG data.
#include <algorithm>
#include <cstring>

#include "host/gdi/dibcodec.h"
#include "host/gdi/imagefile_internal.h"
#include "host/rtl/exceptions.h"

namespace host {

using namespace imagefile;

namespace {

constexpr size_t kDirEntrySize = 16;

bool IsPng(const uint8_t* p, size_t n) { return n >= 8 && std::memcmp(p, "\x89PNG\r\n\x1a\n", 8) == 0; }

std::vector<uint8_t> MaskFromAlpha(const TPixelImage& Img) {
    std::vector<uint8_t> mask(Img.Pixels.size(), 0);
    if (Img.HasAlpha)
        for (size_t i = 0; i < mask.size(); ++i) mask[i] = (Img.Pixels[i] >> 24) < 128 ? 1 : 0;
    return mask;
}

// An image stored as a DIB: the header, the colour (XOR) rows, then the 1-bit AND rows.
void ReadDibImage(const uint8_t* d, size_t n, size_t Index, TIconImage& out) {
    const std::string which = "image " + std::to_string(Index);
    size_t headerBytes = 0;
    gdi::TDibLayout L = gdi::ParseDibHeader(d, n, headerBytes);
    if (L.Rle()) Invalid("Icon", which + " is compressed");
    if (L.Height < 2 || (L.Height & 1)) Invalid("Icon", which + " has an odd height " + std::to_string(L.Height));
    L.Height /= 2;
    const size_t w = size_t(L.Width), h = size_t(L.Height);
    const size_t xorBytes = L.ImageSize();
    const size_t andStride = ((w + 31) / 32) * 4;
    const size_t andBytes = andStride * h;
    if (n - headerBytes < xorBytes) Invalid("Icon", which + " is truncated");
    // 32-bit images may leave the mask out: their alpha stands for it.
    const bool hasMask = n - headerBytes - xorBytes >= andBytes;
    if (!hasMask && L.BitCount != 32) Invalid("Icon", which + " has a truncated mask");

    TPixelImage& img = out.Image;
    img.Width = L.Width;
    img.Height = L.Height;
    img.BitsPerPixel = L.BitCount;
    img.Palette = ToQuads(L.Colors);
    img.Pixels.resize(w * h);
    const uint8_t* xorBits = d + headerBytes;
    for (int y = 0; y < L.Height; ++y)
        gdi::DecodeRow(L, xorBits + size_t(L.StoredRow(y)) * L.Stride(), 0, L.Width, img.Pixels.data() + size_t(y) * w);
    bool alpha = false;
    if (L.BitCount == 32)
        for (uint32_t p : img.Pixels) alpha |= (p >> 24) != 0;
    img.HasAlpha = alpha;
    if (!alpha)
        for (uint32_t& p : img.Pixels) p = (p & 0xFFFFFF) | 0xFF000000u;

    if (!hasMask) {
        out.Mask = MaskFromAlpha(img);
        return;
    }
    gdi::TDibLayout M;
    M.Width = L.Width;
    M.Height = L.Height;
    M.TopDown = L.TopDown;
    M.BitCount = 1;
    M.Colors = {0, 1};
    const uint8_t* andBits = xorBits + xorBytes;
    out.Mask.resize(w * h);
    std::vector<uint32_t> row(w);
    for (int y = 0; y < L.Height; ++y) {
        gdi::DecodeRow(M, andBits + size_t(M.StoredRow(y)) * andStride, 0, M.Width, row.data());
        for (size_t x = 0; x < w; ++x) out.Mask[size_t(y) * w + x] = uint8_t(row[x]);
    }
}

}  // namespace

std::vector<TIconImage> ReadIco(const std::string& Bytes) {
    const auto* d = reinterpret_cast<const uint8_t*>(Bytes.data());
    const size_t n = Bytes.size();
    if (n < 6) Invalid("Icon", "the file is too short");
    const uint16_t type = Le16(d + 2);
    if (Le16(d) != 0 || (type != 1 && type != 2)) Invalid("Icon", "the header is not that of an icon or cursor");
    const size_t count = Le16(d + 4);
    if (count == 0) Invalid("Icon", "the file holds no image");
    if ((n - 6) / kDirEntrySize < count) Invalid("Icon", "the directory is truncated");

    std::vector<TIconImage> images(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* e = d + 6 + i * kDirEntrySize;
        const uint32_t size = Le32(e + 8), off = Le32(e + 12);
        if (off > n || size > n - off) Invalid("Icon", "image " + std::to_string(i) + " lies outside the file");
        if (off < 6 + count * kDirEntrySize) Invalid("Icon", "image " + std::to_string(i) + " overlaps the directory");
        TIconImage& out = images[i];
        out.IsCursor = type == 2;
        if (out.IsCursor) {
            out.HotX = Le16(e + 4);
            out.HotY = Le16(e + 6);
        }
        const uint8_t* data = d + off;
        if (IsPng(data, size)) {
            out.Png = true;
            out.Image = ReadPng(std::string(reinterpret_cast<const char*>(data), size));
            out.Mask = MaskFromAlpha(out.Image);
        } else {
            ReadDibImage(data, size, i, out);
        }
    }
    return images;
}

std::string WriteIco(const std::vector<TIconImage>& Images, bool Cursor) {
    if (Images.empty()) throw EInvalidGraphic("An icon file needs at least one image");
    if (Images.size() > 0xFFFF) throw EInvalidGraphic("An icon file holds at most 65535 images");
    std::string dir, data;
    Put16(dir, 0);
    Put16(dir, Cursor ? 2 : 1);
    Put16(dir, uint32_t(Images.size()));
    const size_t dataStart = 6 + kDirEntrySize * Images.size();

    for (const TIconImage& icon : Images) {
        const TPixelImage& img = icon.Image;
        CheckImage(img, "Icon");
        if (img.Width > 256 || img.Height > 256)
            throw EInvalidGraphic("Icon image is not valid (" + std::to_string(img.Width) + " x " +
                                  std::to_string(img.Height) + " is larger than 256 x 256)");
        const size_t w = size_t(img.Width), h = size_t(img.Height);
        std::vector<uint8_t> mask = icon.Mask.empty() ? MaskFromAlpha(img) : icon.Mask;
        if (mask.size() != w * h) Invalid("Icon", "the mask does not have the image's size");

        std::string bytes;
        int bpp = 32;
        size_t colorCount = 0;
        if (icon.Png) {
            TPixelImage copy = img;
            if (!copy.HasAlpha) {
                for (size_t i = 0; i < copy.Pixels.size(); ++i)
                    copy.Pixels[i] = (copy.Pixels[i] & 0xFFFFFF) | (mask[i] ? 0u : 0xFF000000u);
                copy.HasAlpha = true;
            }
            bytes = WritePng(copy);
        } else {
            bpp = img.BitsPerPixel;
            if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) bpp = 32;
            gdi::TDibLayout L;
            L.Width = img.Width;
            L.Height = img.Height;
            L.BitCount = bpp;
            if (bpp <= 8) L.Colors = ChoosePalette(img, bpp);
            if (bpp < 8) colorCount = size_t(1) << bpp;
            gdi::TColorMatcher matcher(L.Colors);
            const size_t andStride = ((w + 31) / 32) * 4;
            const size_t tableEntries = bpp <= 8 ? (size_t(1) << bpp) : 0;
            PutInfoHeader(bytes, img.Width, img.Height * 2, bpp, uint32_t(L.ImageSize() + andStride * h), 0);
            for (size_t i = 0; i < tableEntries; ++i) Put32(bytes, i < L.Colors.size() ? L.Colors[i] & 0xFFFFFF : 0);
            std::vector<uint32_t> row(w);
            std::string stored(L.Stride(), '\0');
            for (size_t sr = 0; sr < h; ++sr) {
                const size_t y = h - 1 - sr;
                for (size_t x = 0; x < w; ++x) {
                    const uint32_t p = img.Pixels[y * w + x];
                    if (bpp != 32) row[x] = p & 0xFFFFFF;
                    else if (img.HasAlpha) row[x] = p;
                    else row[x] = (p & 0xFFFFFF) | (mask[y * w + x] ? 0u : 0xFF000000u);
                }
                gdi::EncodeRow(L, row.data(), L.Width, reinterpret_cast<uint8_t*>(stored.data()), &matcher);
                bytes += stored;
            }
            std::string andRow(andStride, '\0');
            for (size_t sr = 0; sr < h; ++sr) {
                const size_t y = h - 1 - sr;
                std::fill(andRow.begin(), andRow.end(), '\0');
                for (size_t x = 0; x < w; ++x)
                    if (mask[y * w + x]) andRow[x >> 3] = char(uint8_t(andRow[x >> 3]) | (0x80 >> (x & 7)));
                bytes += andRow;
            }
        }
        const size_t offset = dataStart + data.size();
        if (offset + bytes.size() > 0xFFFFFFFFu) throw EInvalidGraphic("Icon file is too large");
        dir.push_back(char(w == 256 ? 0 : w));
        dir.push_back(char(h == 256 ? 0 : h));
        dir.push_back(char(colorCount < 256 ? colorCount : 0));
        dir.push_back(0);
        Put16(dir, Cursor ? uint32_t(icon.HotX) : 1);
        Put16(dir, Cursor ? uint32_t(icon.HotY) : uint32_t(bpp));
        Put32(dir, uint32_t(bytes.size()));
        Put32(dir, uint32_t(offset));
        data += bytes;
    }
    return dir + data;
}

}  // namespace host
