// Every transition effect at 1920x1080 against memcpy of the bytes it writes, and the dissolve against plain row copies.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench.h"
#include "effects/ryxufx.h"
#include "effects/ryxufx_engine.h"
#include "effects/ryxufxb.h"
#include "host/gdi/gdi.h"
#include "host/rtl/clock.h"

namespace {

using namespace host;

constexpr int kW = 1920, kH = 1080, kSize = 8;

// A colour bitmap selected into its own memory DC, filled with a pattern.
class TSurface {
public:
    TSurface(uint32_t Seed) : FPixels(size_t(kW) * kH) {
        Dc = CreateCompatibleDC(nullptr);
        Bmp = CreateBitmap(kW, kH, 1, 32, nullptr);
        Old = SelectObject(Dc, Bmp);
        uint32_t s = Seed;
        for (auto& p : FPixels) {
            s = s * 1664525u + 1013904223u;
            p = s >> 8;
        }
        Reset();
    }
    ~TSurface() {
        SelectObject(Dc, Old);
        DeleteObject(Bmp);
        DeleteDC(Dc);
    }
    TSurface(const TSurface&) = delete;
    TSurface& operator=(const TSurface&) = delete;
    void Reset() { SetBitmapBits(Bmp, DWORD(FPixels.size() * 4), FPixels.data()); }

    HDC Dc = nullptr;
    HBITMAP Bmp = nullptr;
    HGDIOBJ Old = nullptr;

private:
    std::vector<uint32_t> FPixels;
};

// memcpy of Bytes in frame-sized pieces between two frame buffers.
void CopyBytes(std::vector<uint32_t>& To, const std::vector<uint32_t>& From, uint64_t Bytes) {
    const uint64_t frame = uint64_t(To.size()) * 4;
    while (Bytes > 0) {
        uint64_t n = std::min(Bytes, frame);
        std::memcpy(To.data(), From.data(), size_t(n));
        bench::ClobberMemory();
        Bytes -= n;
    }
}

void EffectBench(bench::TCase& c, int Effect) {
    Clock::UseVirtual();
    TSurface oldPic(1), newPic(2);
    auto play = [&] {
        ryx::ryxBitTransition(static_cast<ryx::TryxTransitionEffect>(Effect), nullptr, oldPic.Dc, newPic.Dc, kW, kH,
                              kSize, 0, nullptr);
    };
    ryx::fx::ResetPixelsWritten();
    ryx::fx::SetPixelCounting(true);
    play();
    ryx::fx::SetPixelCounting(false);
    const uint64_t bytes = std::max<uint64_t>(ryx::fx::PixelsWritten(), 1) * 4;
    std::vector<uint32_t> a(size_t(kW) * kH, 1), b(size_t(kW) * kH, 2);
    c.Compare(play, [&] { CopyBytes(a, b, bytes); }, [&] { oldPic.Reset(); });
    Clock::UseReal();
}

const bool kRegistered = [] {
    for (int e = 0; e <= ryx::rtfFadeThroughBlack; ++e)
        bench::Register("fx." + ryx::ryxEffectName(e), [e](bench::TCase& c) { EffectBench(c, e); });
    return true;
}();

// The dissolve's painter calls against copying the same squares with plain row copies.
RYX_BENCH("fx.dissolve_overhead", c) {
    Clock::UseVirtual();
    TSurface oldPic(1), newPic(2);
    std::vector<uint32_t> a(size_t(kW) * kH, 1), b(size_t(kW) * kH, 2);
    // The cells of a 128 x 128 tile in a random order, as the dissolve's tables hold them.
    std::vector<uint16_t> cells(128 * 128);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = uint16_t(i);
    std::mt19937 rng(7);
    std::shuffle(cells.begin(), cells.end(), rng);
    auto squares = [&](auto&& Square) {
        for (uint16_t cell : cells)
            for (int tc = 0; tc * 128 < kW; ++tc) {
                int x = (cell >> 7) + 128 * tc;
                if (x >= kW) continue;
                for (int tr = 0; tr * 128 < kH; ++tr) {
                    int y = (cell & 127) + 128 * tr;
                    if (y < kH) Square(x, y);
                }
            }
    };
    c.Compare(
        [&] { ryx::rfxDissolve(oldPic.Dc, newPic.Dc, kW, kH, kSize, 0, nullptr); },
        [&] {
            squares([&](int x, int y) {
                int w = std::min(kSize, kW - x), h = std::min(kSize, kH - y);
                for (int r = 0; r < h; ++r)
                    std::memcpy(&a[size_t(y + r) * kW + x], &b[size_t(y + r) * kW + x], size_t(w) * 4);
            });
            bench::ClobberMemory();
        },
        [&] { oldPic.Reset(); });
    Clock::UseReal();
}

}  // namespace

namespace {

// On the real clock a 500 ms cover keeps to its time: ratio against sleeping 500 ms.
RYX_BENCH("fx.cover_real_clock", c) {
    Clock::UseReal();
    TSurface oldPic(1), newPic(2);
    c.Compare(
        [&] {
            ryx::ryxBitTransition(ryx::rtfCoverDown, nullptr, oldPic.Dc, newPic.Dc, kW, kH, kSize, 500, nullptr);
        },
        [] { Sleep(500); }, [&] { oldPic.Reset(); });
}

}  // namespace
