// The transition engine: dispatch rules, refused arguments, timing on the virtual clock, and the pattern families' steps.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "effects/ryxufx.h"
#include "effects/ryxufx_engine.h"
#include "effects/ryxufxb.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gditest.h"
#include "host/rtl/clock.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"
#include "tests/effects/fx_test_util.h"

namespace {

using namespace ryx;
using namespace fxtest;

class FxEngine : public ::testing::Test {
protected:
    void SetUp() override {
        host::Clock::UseVirtual();
        host::gditest::ClearFaults();
    }
    void TearDown() override {
        host::gditest::SetTrace(false);
        host::gditest::ClearTrace();
        host::gditest::ClearFaults();
        host::Clock::UseReal();
    }
    // Old and new pictures of W x H; the callback counts its calls.
    void Prepare(int W, int H) {
        FDest = std::make_unique<TSurface>(W, H);
        FSrc = std::make_unique<TSurface>(W, H);
        FDest->Paint(OldAt);
        FSrc->Paint(NewAt);
        Calls = 0;
    }
    bool ShowsNew() const { return FDest->Pixels() == FSrc->Pixels(); }
    bool ShowsOld() const {
        std::vector<uint32_t> p = FDest->Pixels();
        for (int y = 0; y < FDest->H(); ++y)
            for (int x = 0; x < FDest->W(); ++x)
                if (p[size_t(y) * FDest->W() + x] != OldAt(x, y)) return false;
        return true;
    }
    TryxCancelEvent Counter(int CancelAt = 0) {
        return [this, CancelAt](host::TObject*, bool& Cancel) {
            ++Calls;
            if (Calls == CancelAt) Cancel = true;
        };
    }
    bool Run(TryxTransitionEffect E, int Size, int Time, TryxCancelEvent Ev = nullptr, host::TList* Sel = nullptr) {
        return ryxBitTransition(E, Sel, D(), S(), FDest->W(), FDest->H(), Size, Time, Ev);
    }
    host::HDC D() const { return FDest->Dc; }
    host::HDC S() const { return FSrc->Dc; }
    std::vector<std::string> Lines(const std::string& Call) const {
        std::vector<std::string> out;
        for (const std::string& line : host::gditest::TraceLog())
            if (line.rfind(Call + "(", 0) == 0) out.push_back(line);
        return out;
    }
    int Count(const std::string& Call) const {
        int n = 0;
        for (const std::string& line : host::gditest::TraceLog()) n += line.rfind(Call + "(", 0) == 0;
        return n;
    }

    std::unique_ptr<TSurface> FDest, FSrc;
    int Calls = 0;
};

TEST_F(FxEngine, RefusesBadArgumentsAndDrawsNothing) {
    Prepare(20, 10);
    for (auto [w, h, s] : {std::tuple{0, 10, 4}, {20, 0, 4}, {20, 10, 0}, {-20, 10, 4}, {20, -1, 4}, {20, 10, -4}})
        EXPECT_FALSE(ryxBitTransition(rtfWipeDown, nullptr, D(), S(), w, h, s, 100, nullptr));
    EXPECT_FALSE(ryxBitTransition(rtfWipeDown, nullptr, nullptr, S(), 20, 10, 4, 100, nullptr));
    EXPECT_FALSE(ryxBitTransition(rtfWipeDown, nullptr, D(), nullptr, 20, 10, 4, 100, nullptr));
    EXPECT_FALSE(Run(static_cast<TryxTransitionEffect>(137), 4, 100));
    EXPECT_FALSE(rfxBlindsHorz(D(), S(), 20, 10, -1, 100, nullptr));
    EXPECT_FALSE(rfxSkipRectangles(D(), S(), -20, 10, 100, nullptr));
    EXPECT_FALSE(rfxWipeClock(D(), S(), 20, -10, 4, 100, true, nullptr));
    EXPECT_TRUE(ShowsOld());
}

TEST_F(FxEngine, HugeSizesAndTimesCopyAtOnceWithoutOverflow) {
    Prepare(30, 20);
    const uint64_t t0 = host::GetTickCount64();
    for (TryxTransitionEffect e : {rtfCoverDown, rtfPourDown, rtfSkipHorizontal, rtfBoxIn, rtfQuadFold}) {
        FDest->Paint(OldAt);
        Calls = 0;
        EXPECT_TRUE(Run(e, INT_MAX, INT_MAX, Counter())) << ryxEffectName(e);
        EXPECT_TRUE(ShowsNew()) << ryxEffectName(e);
        EXPECT_EQ(Calls, 0) << ryxEffectName(e);
    }
    EXPECT_EQ(host::GetTickCount64(), t0);
    // Blinds with Size beyond the rows: one pass per row, no more.
    FDest->Paint(OldAt);
    Calls = 0;
    EXPECT_TRUE(Run(rtfBlindsHorz, 1000, 0, Counter()));
    EXPECT_EQ(Calls, 20);
    EXPECT_TRUE(ShowsNew());
}

TEST_F(FxEngine, DeadlinesAccumulateAndSurviveTheTickWrap) {
    // Blinds with Size 4 over 400 ms: four steps of 100 ms. A callback that takes
    // 30 ms shortens the next wait instead of adding to the total.
    host::Clock::UseVirtual(0xFFFFFF00u);
    Prepare(16, 16);
    const uint64_t t0 = host::GetTickCount64();
    std::vector<uint64_t> at;
    EXPECT_TRUE(Run(rtfBlindsHorz, 4, 400, [&](host::TObject*, bool&) {
        at.push_back(host::GetTickCount64() - t0);
        host::Clock::Advance(30);
    }));
    EXPECT_EQ(at, (std::vector<uint64_t>{100, 200, 300, 400}));
    EXPECT_EQ(host::GetTickCount64() - t0, 430u);  // the last callback's 30 ms
    EXPECT_TRUE(ShowsNew());
    // A pause of 400 / 27 ms per step keeps its fraction: step k ends at k x 400 div 27.
    Prepare(10, 27);
    const uint64_t t2 = host::GetTickCount64();
    at.clear();
    EXPECT_TRUE(Run(rtfPourDown, 4, 100, [&](host::TObject*, bool&) { at.push_back(host::GetTickCount64() - t2); }));
    EXPECT_EQ(at, (std::vector<uint64_t>{14, 29, 44, 59, 74, 88}));
    // Time 0 never waits.
    Prepare(16, 16);
    const uint64_t t1 = host::GetTickCount64();
    EXPECT_TRUE(Run(rtfWindIn, 2, 0));
    EXPECT_EQ(host::GetTickCount64(), t1);
}

TEST_F(FxEngine, DispatchRules) {
    Prepare(16, 12);
    host::gditest::SetTrace(true);
    // An empty or missing selection, and rtfNone: one copy, one callback.
    host::TList empty;
    for (host::TList* sel : {static_cast<host::TList*>(nullptr), &empty}) {
        host::gditest::ClearTrace();
        FDest->Paint(OldAt);
        Calls = 0;
        EXPECT_TRUE(Run(rtfSelectionRandom, 4, 500, Counter(), sel));
        EXPECT_EQ(Count("BitBlt"), 1);
        EXPECT_EQ(Calls, 1);
        EXPECT_TRUE(ShowsNew());
    }
    // A selection of 200 plays rtfNone: at once, Time not waited.
    host::TList sel;
    sel.Add(reinterpret_cast<void*>(intptr_t(200)));
    const uint64_t t0 = host::GetTickCount64();
    host::gditest::ClearTrace();
    FDest->Paint(OldAt);
    EXPECT_TRUE(Run(rtfSelectionRandom, 4, 500, nullptr, &sel));
    EXPECT_EQ(Count("BitBlt"), 1);
    EXPECT_EQ(host::GetTickCount64(), t0);
    // rtfCut waits out its time after the copy.
    EXPECT_TRUE(Run(rtfCut, 4, 500));
    EXPECT_EQ(host::GetTickCount64(), t0 + 500);
    // A selection of 134 plays a random effect; rtfRandom never plays the fade
    // (the only effect that makes pattern brushes).
    sel.Put(0, reinterpret_cast<void*>(intptr_t(rtfRandom)));
    host::SetRandSeed(12345);
    host::gditest::SetTrace(false);
    for (int i = 0; i < 150; ++i) {
        FDest->Paint(OldAt);
        host::gditest::SetTrace(true);
        host::gditest::ClearTrace();
        EXPECT_TRUE(Run(i % 2 ? rtfRandom : rtfSelectionRandom, 3, 0, nullptr, &sel));
        EXPECT_EQ(Count("CreatePatternBrush"), 0);
        host::gditest::SetTrace(false);
        EXPECT_TRUE(ShowsNew());
    }
    // The sized-effect query and the name table.
    EXPECT_FALSE(ryxSizedEffect(rtfSkipRectangles));
    EXPECT_FALSE(ryxSizedEffect(rtfShapeSpiralAntiClockWise));
    EXPECT_FALSE(ryxSizedEffect(rtfWipeAntiClockwise));
    EXPECT_FALSE(ryxSizedEffect(rtfFadeThroughBlack));
    EXPECT_TRUE(ryxSizedEffect(rtfSkipDiagonals));
    EXPECT_TRUE(ryxSizedEffect(rtfSelectionSequence));
    EXPECT_EQ(int(rtfWipeDown), 108);
    EXPECT_EQ(int(rtfSelectionSequence), 136);
    EXPECT_EQ(ryxEffectName(rtfWipeDown), "rtfWipeDown");
    EXPECT_EQ(ryxEffectName(137), "");
    for (int e = 0; e < ryxTransitionEffectCount; ++e) EXPECT_EQ(ryxEffectByName(ryxEffectName(e)), e);
}

TEST_F(FxEngine, BlindsSkipsAndWindsStepCounts) {
    Prepare(40, 24);
    EXPECT_TRUE(Run(rtfBlindsHorz, 1, 100, Counter()));
    EXPECT_EQ(Calls, 1);  // Size 1: every row in one pass
    Prepare(40, 24);
    EXPECT_TRUE(Run(rtfBlindsVert, 6, 100, Counter()));
    EXPECT_EQ(Calls, 6);
    Prepare(40, 24);
    EXPECT_TRUE(Run(rtfSkipHorizontal, 6, 100, Counter()));
    EXPECT_EQ(Calls, 4);  // 7 columns, two a step
    // Cancelled at the second step of a skip: columns 0 and 2 from the left,
    // 5 and 3 from the right are new, the rest old.
    Prepare(40, 24);
    EXPECT_TRUE(Run(rtfSkipHorizontal, 6, 100, Counter(2)));
    std::vector<uint32_t> p = FDest->Pixels();
    for (int x = 0; x < 40; ++x) {
        bool isNew = x < 6 || (x >= 12 && x < 24) || (x >= 30 && x < 36);
        EXPECT_EQ(p[size_t(5) * 40 + x], isNew ? NewAt(x, 5) : OldAt(x, 5)) << x;
    }
    // Winds lay one side of a ring per step.
    Prepare(40, 24);
    EXPECT_TRUE(Run(rtfWindIn, 8, 100, Counter(1)));
    p = FDest->Pixels();
    EXPECT_EQ(p[0], NewAt(0, 0));
    EXPECT_EQ(p[size_t(7) * 40 + 39], NewAt(39, 7));  // the top row of blocks, 8 high
    EXPECT_EQ(p[size_t(8) * 40 + 39], OldAt(39, 8));
}

TEST_F(FxEngine, ClockDrawsSixteenTrianglesInsideTheCallersClip) {
    Prepare(41, 27);
    // Only the left half may be drawn; the clip is the caller's and stays.
    host::IntersectClipRect(D(), 0, 0, 20, 27);
    host::HRGN before = host::CreateRectRgn(0, 0, 0, 0), after = host::CreateRectRgn(0, 0, 0, 0);
    host::GetClipRgn(D(), before);
    const uint64_t t0 = host::GetTickCount64();
    EXPECT_TRUE(rfxWipeClock(D(), S(), 41, 27, 1, 15, true, Counter()));
    EXPECT_EQ(Calls, 16);
    EXPECT_EQ(host::GetTickCount64(), t0);  // 15 div 16 = 0: no waits
    ASSERT_EQ(host::GetClipRgn(D(), after), 1);
    EXPECT_TRUE(host::EqualRgn(before, after));
    std::vector<uint32_t> p = FDest->Pixels();
    for (int y = 0; y < 27; ++y)
        for (int x = 0; x < 41; ++x)
            ASSERT_EQ(p[size_t(y) * 41 + x], x < 20 ? NewAt(x, y) : OldAt(x, y)) << x << "," << y;
    host::DeleteObject(before);
    host::DeleteObject(after);
    // The first quarter clockwise covers the top-right region first.
    Prepare(41, 27);
    EXPECT_TRUE(rfxWipeClock(D(), S(), 41, 27, 1, 160, true, Counter(2)));
    p = FDest->Pixels();
    EXPECT_EQ(p[size_t(1) * 41 + 38], NewAt(38, 1));
    EXPECT_EQ(p[size_t(1) * 41 + 2], OldAt(2, 1));
    EXPECT_EQ(p[size_t(25) * 41 + 20], OldAt(20, 25));
}

TEST_F(FxEngine, SpiralDrawsNothingBeforeThreePoints) {
    Prepare(30, 30);
    std::vector<bool> old;
    EXPECT_TRUE(rfxParamSpiral(D(), S(), 30, 30, 100, 3.0, [&](host::TObject*, bool&) { old.push_back(ShowsOld()); }));
    ASSERT_EQ(old.size(), 100u);
    EXPECT_TRUE(old[0]);
    EXPECT_TRUE(old[1]);
    EXPECT_FALSE(old[99]);
    EXPECT_TRUE(ShowsNew());
}

TEST_F(FxEngine, FadeGoesThroughBlackWhateverTheColours) {
    Prepare(16, 16);
    host::SetTextColor(D(), 0x0000FF);
    host::SetBkColor(D(), 0x00FF00);
    // Cumulative black after each of the first four stages: both odd; and both
    // even; and equal parity (no change); and everything.
    auto black = [](int stage, int x, int y) {
        bool odd = x % 2 && y % 2, even = !(x % 2) && !(y % 2);
        return stage == 0 ? odd : stage < 3 ? odd || even : true;
    };
    int stage = 0;
    EXPECT_TRUE(rfxFadeThroughBlack(D(), S(), 16, 16, 80, [&](host::TObject*, bool&) {
        if (stage < 4) {
            std::vector<uint32_t> p = FDest->Pixels();
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    ASSERT_EQ(p[size_t(y) * 16 + x], black(stage, x, y) ? 0u : OldAt(x, y))
                        << "stage " << stage << " at " << x << "," << y;
        }
        ++stage;
    }));
    EXPECT_EQ(stage, 8);
    EXPECT_TRUE(ShowsNew());
    EXPECT_EQ(host::GetTextColor(D()), 0x0000FFu);
    EXPECT_EQ(host::GetBkColor(D()), 0x00FF00u);
}

TEST_F(FxEngine, CutThroughBlackAndDissolves) {
    Prepare(20, 20);
    EXPECT_TRUE(Run(rtfCutThroughBlack, 4, 100, Counter(1)));
    for (uint32_t px : FDest->Pixels()) ASSERT_EQ(px, 0u);
    Prepare(20, 20);
    EXPECT_TRUE(Run(rtfCutThroughBlack, 4, 100, Counter()));
    EXPECT_EQ(Calls, 2);
    EXPECT_TRUE(ShowsNew());
    // Dissolves cannot be cancelled: no callback, the whole time waited, and the
    // second run draws its cells in the same order as the first.
    std::vector<std::string> first;
    Prepare(150, 20);
    for (int run = 0; run < 2; ++run) {
        FDest->Paint(OldAt);
        Calls = 0;
        host::SetRandSeed(run * 777 + 1);
        host::gditest::SetTrace(true);
        host::gditest::ClearTrace();
        const uint64_t t0 = host::GetTickCount64();
        EXPECT_TRUE(Run(rtfDissolve, 3, 250, Counter(1)));
        EXPECT_EQ(host::GetTickCount64(), t0 + 250);
        EXPECT_EQ(Calls, 0);
        EXPECT_TRUE(ShowsNew());
        EXPECT_EQ(Count("BitBlt"), 150 * 20);  // one blit per cell of the picture
        if (run == 0)
            first = Lines("BitBlt");
        else
            EXPECT_EQ(Lines("BitBlt"), first);
        host::gditest::SetTrace(false);
    }
}

// The copies the engine reports, replayed with plain row copies on plain
// pictures, rebuild every frame the destination showed, in order; each lies
// inside the picture. (Benchmarks rely on this to weigh the drawing against
// the same copies made raw.)
TEST_F(FxEngine, ReportedCopiesRebuildEveryFrame) {
    struct TLog {
        std::vector<fx::TBlitRecord> Blits;
        std::vector<size_t> FrameEnds;              // blits made before each callback
        std::vector<std::vector<uint32_t>> Frames;  // the destination at each callback
    };
    auto record = [](void* Context, const fx::TBlitRecord& B) { static_cast<TLog*>(Context)->Blits.push_back(B); };
    const int W = 23, H = 13;
    for (TryxTransitionEffect e : {rtfWipeLeft, rtfWipeRightUp, rtfBlindsVert, rtfPourRight, rtfPushLeft,
                                   rtfUncoverCenterVertIn, rtfSkipDiagonalSquares, rtfSkipRectangles, rtfDissolve,
                                   rtfQuadWipeOut, rtfCropRightUp}) {
        Prepare(W, H);
        TLog log;
        fx::SetBlitHook(record, &log);
        const bool ok = Run(e, 3, 0, [&](host::TObject*, bool&) {
            log.FrameEnds.push_back(log.Blits.size());
            log.Frames.push_back(FDest->Pixels());
        });
        fx::SetBlitHook(nullptr, nullptr);
        ASSERT_TRUE(ok) << ryxEffectName(e);
        ASSERT_TRUE(ShowsNew()) << ryxEffectName(e);
        log.FrameEnds.push_back(log.Blits.size());
        log.Frames.push_back(FDest->Pixels());
        // dest starts as the old picture; the snapshot and buffer are written before they are read
        std::vector<uint32_t> pics[4] = {std::vector<uint32_t>(size_t(W) * H), FSrc->Pixels(),
                                         std::vector<uint32_t>(size_t(W) * H), std::vector<uint32_t>(size_t(W) * H)};
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) pics[fx::sfDest][size_t(y) * W + x] = OldAt(x, y);
        size_t done = 0;
        for (size_t f = 0; f < log.FrameEnds.size(); ++f) {
            for (; done < log.FrameEnds[f]; ++done) {
                const fx::TBlitRecord& b = log.Blits[done];
                ASSERT_TRUE(b.X >= 0 && b.Y >= 0 && b.Width > 0 && b.Height > 0 && b.X + b.Width <= W &&
                            b.Y + b.Height <= H && b.SX >= 0 && b.SY >= 0 && b.SX + b.Width <= W &&
                            b.SY + b.Height <= H)
                    << ryxEffectName(e) << " copy " << done;
                for (int r = 0; r < b.Height; ++r)
                    std::memmove(&pics[b.To][size_t(b.Y + r) * W + b.X], &pics[b.From][size_t(b.SY + r) * W + b.SX],
                                 size_t(b.Width) * 4);
            }
            ASSERT_EQ(pics[fx::sfDest], log.Frames[f]) << ryxEffectName(e) << " frame " << f;
        }
    }
}

}  // namespace
