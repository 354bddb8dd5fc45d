// The painter's blits and fills on 1920x1080 surfaces, against memcpy, pixman and plain loops over the same pixels.
#include <pixman.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "bench.h"
#include "host/gdi/blit_internal.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"

namespace {

using namespace host;

constexpr int kW = 1920, kH = 1080;

// A colour bitmap selected into its own memory DC, filled with a pattern.
class TSurface {
public:
    TSurface(int W, int H, uint32_t Seed) {
        Dc = CreateCompatibleDC(nullptr);
        Bmp = CreateBitmap(W, H, 1, 32, nullptr);
        Old = SelectObject(Dc, Bmp);
        uint32_t s = Seed;
        for (auto& p : Obj()->Pixels) {
            s = s * 1664525u + 1013904223u;
            p = s >> 8;
        }
    }
    ~TSurface() {
        SelectObject(Dc, Old);
        DeleteObject(Bmp);
        DeleteDC(Dc);
    }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;
    gdi::TBitmapObj* Obj() const { return gdi::Find<gdi::TBitmapObj>(Bmp); }
    uint32_t* Bits() const { return Obj()->Pixels.data(); }

    HDC Dc = nullptr;
    HBITMAP Bmp = nullptr;
    HGDIOBJ Old = nullptr;
};

// Plain nearest-neighbour scaling with the same centre mapping, as a hand-written loop.
void NearestLoop(const uint32_t* Src, int SW, int SH, uint32_t* Dst, int DW, int DH) {
    std::vector<int> cols(static_cast<size_t>(DW));
    for (int x = 0; x < DW; ++x) cols[size_t(x)] = int((2 * int64_t(x) + 1) * SW / (2 * int64_t(DW)));
    for (int y = 0; y < DH; ++y) {
        const uint32_t* s = Src + size_t((2 * int64_t(y) + 1) * SH / (2 * int64_t(DH))) * size_t(SW);
        uint32_t* d = Dst + size_t(y) * size_t(DW);
        for (int x = 0; x < DW; ++x) d[x] = s[cols[size_t(x)]];
    }
}

RYX_BENCH("gdi.bitblt_srccopy", c) {
    TSurface src(kW, kH, 1), dst(kW, kH, 2);
    const size_t bytes = size_t(kW) * kH * sizeof(uint32_t);
    c.Compare([&] { BitBlt(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, SRCCOPY); },
              [&] { std::memcpy(dst.Bits(), src.Bits(), bytes); });
}

RYX_BENCH("gdi.bitblt_vs_pixman", c) {
    TSurface src(kW, kH, 1), dst(kW, kH, 2);
    c.Compare([&] { BitBlt(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, SRCCOPY); },
              [&] {
                  pixman_blt(src.Bits(), dst.Bits(), kW, kW, 32, 32, 0, 0, 0, 0, kW, kH);
              });
}

RYX_BENCH("gdi.stretchblt_zoom2x", c) {
    TSurface src(kW / 2, kH / 2, 1), dst(kW, kH, 2);
    SetStretchBltMode(dst.Dc, COLORONCOLOR);
    c.Compare([&] { StretchBlt(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, kW / 2, kH / 2, SRCCOPY); },
              [&] { NearestLoop(src.Bits(), kW / 2, kH / 2, dst.Bits(), kW, kH); });
}

RYX_BENCH("gdi.stretchblt_half", c) {
    TSurface src(kW, kH, 1), dst(kW / 2, kH / 2, 2);
    SetStretchBltMode(dst.Dc, COLORONCOLOR);
    c.Compare([&] { StretchBlt(dst.Dc, 0, 0, kW / 2, kH / 2, src.Dc, 0, 0, kW, kH, SRCCOPY); },
              [&] { NearestLoop(src.Bits(), kW, kH, dst.Bits(), kW / 2, kH / 2); });
}

// The generic evaluation of an index against the fast path of the same operation.
RYX_BENCH("gdi.rop3_generic_vs_fast", c) {
    TSurface src(kW, kH, 1), dst(kW, kH, 2);
    c.Compare(
        [&] {
            const bool old = gdi::SetRopFastPaths(false);
            BitBlt(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, SRCINVERT);
            gdi::SetRopFastPaths(old);
        },
        [&] { BitBlt(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, SRCINVERT); });
}

RYX_BENCH("gdi.fillrect", c) {
    TSurface dst(kW, kH, 2);
    HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    const RECT r{0, 0, kW, kH};
    c.Compare([&] { FillRect(dst.Dc, &r, brush); },
              [&] { pixman_fill(dst.Bits(), kW, 32, 0, 0, kW, kH, 0x123456); });
    DeleteObject(brush);
}

RYX_BENCH("gdi.patblt_patinvert", c) {
    TSurface dst(kW, kH, 2);
    HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    HGDIOBJ old = SelectObject(dst.Dc, brush);
    c.Compare([&] { PatBlt(dst.Dc, 0, 0, kW, kH, PATINVERT); },
              [&] {
                  uint32_t* p = dst.Bits();
                  const size_t n = size_t(kW) * kH;
                  for (size_t i = 0; i < n; ++i) p[i] ^= 0x123456u;
              });
    SelectObject(dst.Dc, old);
    DeleteObject(brush);
}

}  // namespace
