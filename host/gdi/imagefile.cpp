// Image files by signature, and PNG screenshots of bitmaps and device contexts.
#include "host/gdi/imagefile.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "host/gdi/dibcodec.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/imagefile_internal.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/sysutils.h"

namespace host {

using namespace imagefile;

void SetImagePixelLimit(int64_t Pixels) { gdi::SetMaxImagePixels(Pixels); }

TPixelImage ReadImageAuto(const std::string& Bytes) {
    const auto* d = reinterpret_cast<const uint8_t*>(Bytes.data());
    const size_t n = Bytes.size();
    if (n >= 2 && d[0] == 'B' && d[1] == 'M') return ReadBmp(Bytes);
    if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0) return ReadPng(Bytes);
    if (n >= 4 && d[0] == 0 && d[1] == 0 && (d[2] == 1 || d[2] == 2) && d[3] == 0) {
        std::vector<TIconImage> icons = ReadIco(Bytes);
        size_t best = 0;
        auto rank = [&](const TIconImage& i) {
            return std::pair<int64_t, int>(int64_t(i.Image.Width) * i.Image.Height, i.Image.BitsPerPixel);
        };
        for (size_t i = 1; i < icons.size(); ++i)
            if (rank(icons[i]) > rank(icons[best])) best = i;
        TIconImage& icon = icons[best];
        TPixelImage img = std::move(icon.Image);
        if (!img.HasAlpha && icon.Mask.size() == img.Pixels.size())
            for (size_t i = 0; i < img.Pixels.size(); ++i)
                if (icon.Mask[i]) img.Pixels[i] &= 0xFFFFFF;
        img.HasAlpha = true;
        return img;
    }
    throw EInvalidGraphic("Unknown picture file format");
}

bool CaptureBitmap(HBITMAP Bmp, TPixelImage& Out) {
    gdi::TBitmapObj* b = gdi::Find<gdi::TBitmapObj>(Bmp);
    if (b == nullptr || b->Width <= 0 || b->Height <= 0) return false;
    gdi::SyncFromDib(b);
    Out = TPixelImage();
    Out.Width = b->Width;
    Out.Height = b->Height;
    Out.BitsPerPixel = b->DibBitCount != 0 ? b->DibBitCount : b->BitsPerPixel;
    Out.Pixels.resize(b->Pixels.size());
    for (size_t i = 0; i < b->Pixels.size(); ++i) Out.Pixels[i] = b->Pixels[i] | 0xFF000000u;
    return true;
}

bool CaptureDC(HDC Dc, const RECT& R, TPixelImage& Out) {
    gdi::TTarget t;
    if (!gdi::MakeTarget(Dc, t) || t.Surface == nullptr) return false;
    const int64_t w = int64_t(R.right) - R.left, h = int64_t(R.bottom) - R.top;
    if (w <= 0 || h <= 0 || w > gdi::kMaxImageSide || h > gdi::kMaxImageSide) return false;
    const gdi::TBitmapObj* s = t.Surface;
    Out = TPixelImage();
    Out.Width = int(w);
    Out.Height = int(h);
    Out.Pixels.assign(size_t(w * h), 0xFF000000u);
    const int64_t sx0 = int64_t(R.left) + t.Dx, sy0 = int64_t(R.top) + t.Dy;
    const int64_t x0 = std::max<int64_t>(0, -sx0), x1 = std::min<int64_t>(w, s->Width - sx0);
    for (int64_t y = 0; y < h; ++y) {
        const int64_t sy = sy0 + y;
        if (sy < 0 || sy >= s->Height || x0 >= x1) continue;
        const uint32_t* src = s->Row(int(sy)) + (sx0 + x0);
        uint32_t* dst = Out.Pixels.data() + size_t(y * w + x0);
        for (int64_t x = 0; x < x1 - x0; ++x) dst[x] = src[x] | 0xFF000000u;
    }
    return true;
}

bool SaveBitmapPng(HBITMAP Bmp, const std::string& FileName) {
    gdi::Trace("SaveBitmapPng", FileName);
    TPixelImage img;
    if (!CaptureBitmap(Bmp, img)) return false;
    try {
        return WriteFileAtomic(FileName, WritePng(img, 3));
    } catch (const Exception&) {
        return false;
    }
}

bool SaveDCPng(HDC Dc, const RECT& R, const std::string& FileName) {
    gdi::Trace("SaveDCPng", FileName);
    TPixelImage img;
    if (!CaptureDC(Dc, R, img)) return false;
    try {
        return WriteFileAtomic(FileName, WritePng(img, 3));
    } catch (const Exception&) {
        return false;
    }
}

}  // namespace host
