// Every transition effect at 1920x1080 against memcpy of the bytes it writes, and the dissolve against plain row copies.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
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

// One effect played from the old picture to the new one at the benchmark's size.
struct TPlay {
    explicit TPlay(int Effect) : FEffect(Effect) {}
    void operator()() {
        ryx::ryxBitTransition(static_cast<ryx::TryxTransitionEffect>(FEffect), nullptr, Old.Dc, New.Dc, kW, kH,
                              kSize, 0, nullptr);
    }
    // Plays once, counting: the bytes the effect writes; Hook sees its block copies.
    uint64_t BytesWritten(ryx::fx::TBlitHook Hook = nullptr, void* Context = nullptr) {
        ryx::fx::ResetPixelsWritten();
        ryx::fx::SetPixelCounting(true);
        ryx::fx::SetBlitHook(Hook, Context);
        (*this)();
        ryx::fx::SetBlitHook(nullptr, nullptr);
        ryx::fx::SetPixelCounting(false);
        Old.Reset();
        return std::max<uint64_t>(ryx::fx::PixelsWritten(), 1) * 4;
    }
    TSurface Old{1}, New{2};

private:
    int FEffect;
};

void EffectBench(bench::TCase& c, int Effect) {
    Clock::UseVirtual();
    TPlay play(Effect);
    const uint64_t bytes = play.BytesWritten();
    std::vector<uint32_t> a(size_t(kW) * kH, 1), b(size_t(kW) * kH, 2);
    c.Compare(std::ref(play), [&] { CopyBytes(a, b, bytes); }, [&] { play.Old.Reset(); });
    Clock::UseReal();
}

// ---- the floor: the same copies in the same order, as plain row copies ----

// Collects the block copies of one transition through the engine's hook.
void RecordBlit(void* Context, const ryx::fx::TBlitRecord& Blit) {
    static_cast<std::vector<ryx::fx::TBlitRecord>*>(Context)->push_back(Blit);
}

// Replays recorded copies on plain frame buffers (one per engine picture), a
// memcpy per row, in the recorded order.
void Replay(const std::vector<ryx::fx::TBlitRecord>& Blits, std::vector<uint32_t>* Frames) {
    for (const ryx::fx::TBlitRecord& b : Blits) {
        uint32_t* to = Frames[b.To].data();
        const uint32_t* from = Frames[b.From].data();
        for (int r = 0; r < b.Height; ++r)
            std::memcpy(to + size_t(b.Y + r) * kW + size_t(b.X), from + size_t(b.SY + r) * kW + size_t(b.SX),
                        size_t(b.Width) * 4);
    }
    bench::ClobberMemory();
}

// fx.floor.<effect>: the effect against replaying its own copies raw, so the
// ratio is what the painter and the engine cost above the memory traffic the
// frame order needs; fx.floor.<effect>.memcpy weighs that floor against one
// memcpy of the bytes written (the fx.<effect> baseline).
void FloorBench(bench::TCase& c, int Effect) {
    Clock::UseVirtual();
    TPlay play(Effect);
    std::vector<ryx::fx::TBlitRecord> blits;
    const uint64_t bytes = play.BytesWritten(RecordBlit, &blits);
    std::vector<uint32_t> frames[4];
    for (auto& f : frames) f.assign(size_t(kW) * kH, 3);
    auto replay = [&] { Replay(blits, frames); };
    c.Compare(std::ref(play), replay, [&] { play.Old.Reset(); });
    c.Ratio("memcpy", c.Measure(replay), c.Measure([&] { CopyBytes(frames[0], frames[1], bytes); }));
    Clock::UseReal();
}

// The block-transfer effects whose frame order needs more memory traffic than
// one copy of the bytes they write (narrow columns, scattered squares).
constexpr ryx::TryxTransitionEffect kFloorEffects[] = {
    ryx::rtfDissolve,         ryx::rtfDissolveVert,     ryx::rtfBlindsVert,     ryx::rtfWipeLeft,
    ryx::rtfWipeRight,        ryx::rtfWipeLeftDown,     ryx::rtfWipeLeftUp,     ryx::rtfWipeRightDown,
    ryx::rtfWipeRightUp,      ryx::rtfPourLeft,         ryx::rtfPourRight,      ryx::rtfSkipHorizontal,
    ryx::rtfSkipRectangles,   ryx::rtfSkipDiagonalSquares, ryx::rtfSkipDiagonals};

const bool kRegistered = [] {
    for (int e = 0; e <= ryx::rtfFadeThroughBlack; ++e)
        bench::Register("fx." + ryx::ryxEffectName(e), [e](bench::TCase& c) { EffectBench(c, e); });
    for (ryx::TryxTransitionEffect e : kFloorEffects)
        bench::Register("fx.floor." + ryx::ryxEffectName(e), [e](bench::TCase& c) { FloorBench(c, e); });
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
