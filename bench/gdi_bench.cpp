// The painter's blits and fills on 1920x1080 surfaces, against memcpy, pixman and plain loops over the same pixels.
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "bench.h"
#include "host/gdi/blit_internal.h"
#include "host/gdi/blit_region.h"
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

// ---- polygon regions ----

// The diagonal bands x + y in [k S, (k + 1) S) of a 1920x1080 picture, S = 8, as
// the diagonal skip transition's clip polygons give them (each reaching past the
// picture), in its order: one band from each end per step.
std::vector<std::vector<POINT>> DiagonalBands() {
    const int bands = (kW + kH + 7) / 8, lastOdd = bands % 2 == 0 ? bands - 1 : bands - 2;
    std::vector<std::vector<POINT>> out;
    auto band = [&](int k) { out.push_back({{8 * k, 0}, {8 * k + 8, 0}, {0, 8 * k + 8}, {0, 8 * k}}); };
    for (int k = 0; 2 * k < bands; ++k) {
        band(2 * k);
        if (lastOdd - 2 * k >= 0) band(lastOdd - 2 * k);
    }
    return out;
}

// Row copies of the bands' spans in the same order: the memory traffic the order
// itself needs (each row of a band is a different page of both pictures).
void CopyBandsRaw(uint32_t* D, const uint32_t* S) {
    for (const auto& b : DiagonalBands()) {
        const int a = b[0].x;
        for (int y = 0; y < kH; ++y) {
            const int l = std::max(a - y, 0), r = std::min(a + 8 - y, kW);
            if (l < r) std::memcpy(D + size_t(y) * kW + l, S + size_t(y) * kW + l, size_t(r - l) * 4);
        }
    }
    bench::ClobberMemory();
}

// A plain scanline fill of a polygon into a byte mask (rows [0, H) of width W):
// the crossings of each row's centre in floating point, sorted, spans set by the
// even-odd rule. The baseline for building a region of the same polygon.
void ScanlineFill(const std::vector<POINT>& P, std::vector<uint8_t>& Mask, std::vector<double>& Xs) {
    for (int y = 0; y < kH; ++y) {
        Xs.clear();
        const double cy = y + 0.5;
        for (size_t i = 0; i < P.size(); ++i) {
            const POINT& a = P[i];
            const POINT& b = P[(i + 1) % P.size()];
            if ((a.y <= cy) == (b.y <= cy)) continue;
            Xs.push_back(a.x + (cy - a.y) * (b.x - a.x) / double(b.y - a.y));
        }
        std::sort(Xs.begin(), Xs.end());
        uint8_t* row = Mask.data() + size_t(y) * kW;
        for (size_t i = 0; i + 1 < Xs.size(); i += 2) {
            const int l = std::clamp(int(std::ceil(Xs[i] - 0.5)), 0, kW);
            const int r = std::clamp(int(std::ceil(Xs[i + 1] - 0.5)), 0, kW);
            if (l < r) std::memset(row + l, 1, size_t(r - l));
        }
    }
}

// Building the regions of every band against scanline-filling the same polygons.
RYX_BENCH("gdi.polygon_region_bands", c) {
    const auto bands = DiagonalBands();
    std::vector<uint8_t> mask(size_t(kW) * kH);
    std::vector<double> xs;
    c.Compare(
        [&] {
            for (const auto& b : bands) DeleteObject(CreatePolygonRgn(b.data(), int(b.size()), WINDING));
        },
        [&] {
            for (const auto& b : bands) ScanlineFill(b, mask, xs);
            bench::ClobberMemory();
        });
}

// A star of 100 points (many spans per row) built as a region against the scanline fill.
RYX_BENCH("gdi.polygon_region_star", c) {
    std::vector<POINT> star;
    for (int i = 0; i < 100; ++i) {
        const double t = i * 2.0, r = 50 + 4.9 * i;
        star.push_back(POINT{LONG(kW / 2 + r * std::cos(t) * 1.7), LONG(kH / 2 + r * std::sin(t))});
    }
    std::vector<uint8_t> mask(size_t(kW) * kH);
    std::vector<double> xs;
    c.Compare([&] { DeleteObject(CreatePolygonRgn(star.data(), int(star.size()), ALTERNATE)); },
              [&] {
                  ScanlineFill(star, mask, xs);
                  bench::ClobberMemory();
              });
}

// Copying through every band's region against row copies of the same spans.
RYX_BENCH("gdi.bitbltrgn_bands", c) {
    TSurface src(kW, kH, 1), dst(kW, kH, 2);
    std::vector<HRGN> rgns;
    for (const auto& b : DiagonalBands()) rgns.push_back(CreatePolygonRgn(b.data(), int(b.size()), WINDING));
    c.Compare(
        [&] {
            for (HRGN r : rgns) BitBltRgn(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, r);
        },
        [&] { CopyBandsRaw(dst.Bits(), src.Bits()); });
    for (HRGN r : rgns) DeleteObject(r);
}

// The diagonal skip's drawing: a copy through each band's polygon (scan conversion
// included) against row copies of the same spans in the same order; and those row
// copies against one memcpy of as many bytes (what the order costs by itself).
RYX_BENCH("gdi.bitbltpolygon_bands", c) {
    TSurface src(kW, kH, 1), dst(kW, kH, 2);
    const auto bands = DiagonalBands();
    auto raw = [&] { CopyBandsRaw(dst.Bits(), src.Bits()); };
    c.Compare(
        [&] {
            for (const auto& b : bands) BitBltPolygon(dst.Dc, 0, 0, kW, kH, src.Dc, 0, 0, b.data(), int(b.size()), WINDING);
        },
        raw);
    c.Ratio("memcpy", c.Measure(raw), c.Measure([&] {
        std::memcpy(dst.Bits(), src.Bits(), size_t(kW) * kH * 4);
        bench::ClobberMemory();
    }));
}

}  // namespace
