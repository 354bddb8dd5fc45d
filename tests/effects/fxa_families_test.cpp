// Frame-by-frame checks of the sliding and stretching transitions, on pictures whose pixels name their own coordinates.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "effects/ryxufx_engine.h"
#include "effects/ryxufxa.h"
#include "host/gdi/gdi.h"
#include "host/rtl/clock.h"
#include "tests/effects/fx_test_util.h"

namespace {

using namespace host;
using namespace ryx;

using TRoutine = bool (*)(HDC, HDC, int, int, int, int, TryxCancelEvent);

// A pixel: which picture (old or new) and the coordinates it came from.
constexpr uint32_t kOld = 0x40, kNew = 0x80, kAnyY = 0xFF;
uint32_t Code(uint32_t Tag, int X, int Y) { return Tag << 16 | uint32_t(X) << 8 | uint32_t(Y); }
uint32_t TagOf(uint32_t C) { return C >> 16; }
int XOf(uint32_t C) { return int(C >> 8 & 0xFF); }
int YOf(uint32_t C) { return int(C & 0xFF); }

// Which told-frame pixel a pixel of the picture stands for.
using TCoordMap = std::function<void(int& X, int& Y)>;

// A picture whose pixel (x, y) holds Code(Tag, the mapped x, y).
class TPic : public fxtest::TSurface {
public:
    TPic(int W, int H, uint32_t Tag, const TCoordMap& Map = nullptr) : TSurface(W, H) {
        Paint([&](int X, int Y) {
            if (Map) Map(X, Y);
            return Code(Tag, X, Y);
        });
    }
};

struct TRun {
    bool Result = false;
    std::vector<std::vector<uint32_t>> Frames;  // after each step, as the callback saw them
    std::vector<uint32_t> Final;
    std::vector<uint32_t> Ticks;  // the tick count at each callback
};

// Plays Routine from an old to a new coordinate picture; CancelAt > 0 cancels at that callback.
TRun Play(TRoutine Routine, int W, int H, int S, int T = 0, const TCoordMap& Map = nullptr, int CancelAt = 0) {
    TPic oldPic(W, H, kOld, Map), newPic(W, H, kNew, Map);
    TRun run;
    TryxCancelEvent step([&](TObject* Sender, bool& Cancel) {
        EXPECT_EQ(Sender, nullptr);
        EXPECT_FALSE(Cancel);
        run.Frames.push_back(oldPic.Pixels());
        run.Ticks.push_back(GetTickCount());
        if (int(run.Frames.size()) == CancelAt) Cancel = true;
    });
    run.Result = Routine(oldPic.Dc, newPic.Dc, W, H, S, T, step);
    run.Final = oldPic.Pixels();
    return run;
}

std::vector<uint32_t> Picture(int W, int H, uint32_t Tag) { return TPic(W, H, Tag).Pixels(); }

class FxA : public ::testing::Test {
protected:
    void SetUp() override { Clock::UseVirtual(); }
    void TearDown() override { Clock::UseReal(); }
};

// ---- in-place families: only old or new pixels at their own place, and the new area only grows ----

struct TInPlaceCase {
    const char* Name;
    TRoutine Routine;
    bool Strict;  // false: only the new pixels are in place (the old part is squeezed)
};

void PrintTo(const TInPlaceCase& C, std::ostream* Os) { *Os << C.Name; }

class FxAInPlace : public FxA, public ::testing::WithParamInterface<TInPlaceCase> {};

TEST_P(FxAInPlace, ShowsOldOrNewInPlaceAndTheNewAreaGrows) {
    const TInPlaceCase& c = GetParam();
    struct {
        int W, H, S;
    } sizes[] = {{37, 23, 4}, {23, 37, 5}, {40, 40, 8}, {9, 30, 1}};
    for (auto z : sizes) {
        SCOPED_TRACE(std::to_string(z.W) + "x" + std::to_string(z.H) + " S " + std::to_string(z.S));
        TRun run = Play(c.Routine, z.W, z.H, z.S);
        ASSERT_TRUE(run.Result);
        ASSERT_GE(run.Frames.size(), 2u);
        EXPECT_EQ(run.Final, Picture(z.W, z.H, kNew));
        std::vector<bool> wasNew(size_t(z.W) * size_t(z.H), false);
        bool mixed = false;
        for (size_t f = 0; f < run.Frames.size(); ++f) {
            int news = 0;
            for (int y = 0; y < z.H; ++y)
                for (int x = 0; x < z.W; ++x) {
                    const size_t i = size_t(y) * size_t(z.W) + size_t(x);
                    const uint32_t px = run.Frames[f][i];
                    const bool isNew = px == Code(kNew, x, y);
                    if (c.Strict || TagOf(px) == kNew) {
                        ASSERT_TRUE(isNew || px == Code(kOld, x, y))
                            << "frame " << f << " (" << x << "," << y << ") " << std::hex << px;
                    }
                    ASSERT_FALSE(wasNew[i] && !isNew) << "frame " << f << " took back (" << x << "," << y << ")";
                    wasNew[i] = isNew;
                    news += isNew;
                }
            mixed |= news > 0 && news < z.W * z.H;
        }
        EXPECT_TRUE(mixed) << "no frame between the pictures";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Families, FxAInPlace,
    ::testing::Values(
        TInPlaceCase{"WipeDown", rfxWipeDown, true}, TInPlaceCase{"WipeLeft", rfxWipeLeft, true},
        TInPlaceCase{"WipeRight", rfxWipeRight, true}, TInPlaceCase{"WipeUp", rfxWipeUp, true},
        TInPlaceCase{"WipeCenterHorzIn", rfxWipeCenterHorzIn, true},
        TInPlaceCase{"WipeCenterHorzOut", rfxWipeCenterHorzOut, true},
        TInPlaceCase{"WipeCenterVertIn", rfxWipeCenterVertIn, true},
        TInPlaceCase{"WipeCenterVertOut", rfxWipeCenterVertOut, true},
        TInPlaceCase{"WipeLeftDown", rfxWipeLeftDown, true}, TInPlaceCase{"WipeLeftUp", rfxWipeLeftUp, true},
        TInPlaceCase{"WipeRightDown", rfxWipeRightDown, true}, TInPlaceCase{"WipeRightUp", rfxWipeRightUp, true},
        TInPlaceCase{"WipeRectLeftDown", rfxWipeRectLeftDown, true},
        TInPlaceCase{"WipeRectLeftUp", rfxWipeRectLeftUp, true},
        TInPlaceCase{"WipeRectRightDown", rfxWipeRectRightDown, true},
        TInPlaceCase{"WipeRectRightUp", rfxWipeRectRightUp, true},
        TInPlaceCase{"CropLeftDown", rfxCropLeftDown, true}, TInPlaceCase{"CropLeftUp", rfxCropLeftUp, true},
        TInPlaceCase{"CropRightDown", rfxCropRightDown, true}, TInPlaceCase{"CropRightUp", rfxCropRightUp, true},
        TInPlaceCase{"FoldDown", rfxFoldDown, false}, TInPlaceCase{"FoldLeft", rfxFoldLeft, false},
        TInPlaceCase{"FoldRight", rfxFoldRight, false}, TInPlaceCase{"FoldUp", rfxFoldUp, false},
        TInPlaceCase{"FoldCenterHorz", rfxFoldCenterHorz, false},
        TInPlaceCase{"FoldCenterVert", rfxFoldCenterVert, false}),
    [](const ::testing::TestParamInfo<TInPlaceCase>& i) { return std::string(i.param.Name); });

// ---- sliding families move the pictures by the exact amounts ----

TEST_F(FxA, SlidingFamiliesShiftByTheFront) {
    const int W = 40, H = 24, S = 4;
    // Expected pixel of frame k (front p = kS); kAnyY in y: the row is squeezed, only tag and x are fixed.
    struct {
        const char* Name;
        TRoutine Routine;
        std::function<uint32_t(int x, int y, int p)> Want;
    } cases[] = {
        {"CoverDown", rfxCoverDown, [&](int x, int y, int p) { return y < p ? Code(kNew, x, y + H - p) : Code(kOld, x, y); }},
        {"PushDown", rfxPushDown, [&](int x, int y, int p) { return y < p ? Code(kNew, x, y + H - p) : Code(kOld, x, y - p); }},
        {"UncoverDown", rfxUncoverDown, [&](int x, int y, int p) { return y < p ? Code(kNew, x, y) : Code(kOld, x, y - p); }},
        {"SquashDown", rfxSquashDown, [&](int x, int y, int p) { return y < p ? Code(kNew, x, y + H - p) : Code(kOld, x, kAnyY); }},
        {"UnSquashDown", rfxUnSquashDown, [&](int x, int y, int p) { return y < p ? Code(kNew, x, kAnyY) : Code(kOld, x, y - p); }},
        {"UnfoldDown", rfxUnfoldDown, [&](int x, int y, int p) { return y < p ? Code(kNew, x, kAnyY) : Code(kOld, x, y); }},
        // The corner members: H is the smaller side, so h = p and w = k * (S * W div H) = 6k.
        {"CoverLeftDown", rfxCoverLeftDown, [&](int x, int y, int p) {
             const int h = p, w = p / S * 6;
             return x >= W - w && y < h ? Code(kNew, x - (W - w), y + H - h) : Code(kOld, x, y);
         }},
        {"UncoverLeftDown", rfxUncoverLeftDown, [&](int x, int y, int p) {
             const int h = p, w = p / S * 6;
             return y < h || x >= W - w ? Code(kNew, x, y) : Code(kOld, x + w, y - h);
         }},
        // The centre members split the band: p/2 on the left, the rest on the right.
        {"CoverCenterHorzIn", rfxCoverCenterHorzIn, [&](int x, int y, int p) {
             const int l = p / 2, r = p - l;
             return x < l ? Code(kNew, x + W / 2 - l, y) : x >= W - r ? Code(kNew, x - (W - r) + W / 2, y) : Code(kOld, x, y);
         }},
        {"UncoverCenterHorzOut", rfxUncoverCenterHorzOut, [&](int x, int y, int p) {
             const int l = p / 2, r = p - l, hl = W / 2;
             return x < hl - l ? Code(kOld, x + l, y) : x >= hl + r ? Code(kOld, x - r, y) : Code(kNew, x, y);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TRun run = Play(c.Routine, W, H, S);
        ASSERT_TRUE(run.Result);
        ASSERT_GE(run.Frames.size(), 4u);
        for (size_t k = 0; k < run.Frames.size(); ++k) {
            const int p = int(k + 1) * S;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; ++x) {
                    const uint32_t want = c.Want(x, y, p), got = run.Frames[k][size_t(y * W + x)];
                    if (YOf(want) == int(kAnyY))
                        ASSERT_TRUE(TagOf(got) == TagOf(want) && XOf(got) == XOf(want))
                            << "frame " << k << " (" << x << "," << y << ") " << std::hex << got;
                    else
                        ASSERT_EQ(got, want) << "frame " << k << " (" << x << "," << y << ")";
                }
        }
        EXPECT_EQ(run.Final, Picture(W, H, kNew));
    }
}

// ---- every derived member is its told member seen in a mirror or transposed ----

struct TMirrorCase {
    const char* Name;
    TRoutine Told, Derived;
    unsigned Map;
    bool Stretched;  // sampling may differ by one pixel
};

void PrintTo(const TMirrorCase& C, std::ostream* Os) { *Os << C.Name; }

class FxAMirror : public FxA, public ::testing::WithParamInterface<TMirrorCase> {};

TEST_P(FxAMirror, FramesAreTheMirroredFramesOfTheToldMember) {
    const TMirrorCase& c = GetParam();
    const int TW = 36, TH = 22, S = 3;  // the told member's frame
    const bool tr = c.Map & fx::mapTranspose;
    const int DW = tr ? TH : TW, DH = tr ? TW : TH;
    // A pixel of the derived member's picture stands for this pixel of the told frame.
    TCoordMap toTold = [&](int& x, int& y) {
        if (tr) std::swap(x, y);
        if (c.Map & fx::mapMirrorX) x = TW - 1 - x;
        if (c.Map & fx::mapMirrorY) y = TH - 1 - y;
    };
    TRun told = Play(c.Told, TW, TH, S), derived = Play(c.Derived, DW, DH, S, 0, toTold);
    ASSERT_TRUE(told.Result && derived.Result);
    ASSERT_EQ(told.Frames.size(), derived.Frames.size());
    ASSERT_GE(told.Frames.size(), 2u);
    for (size_t f = 0; f < told.Frames.size(); ++f)
        for (int y = 0; y < DH; ++y)
            for (int x = 0; x < DW; ++x) {
                int tx = x, ty = y;
                toTold(tx, ty);
                const uint32_t want = told.Frames[f][size_t(ty * TW + tx)], got = derived.Frames[f][size_t(y * DW + x)];
                if (c.Stretched)
                    ASSERT_TRUE(TagOf(got) == TagOf(want) && std::abs(XOf(got) - XOf(want)) <= 1 &&
                                std::abs(YOf(got) - YOf(want)) <= 1)
                        << "frame " << f << " (" << x << "," << y << ") " << std::hex << got << " " << want;
                else
                    ASSERT_EQ(got, want) << "frame " << f << " (" << x << "," << y << ")";
            }
}

constexpr unsigned kUp = fx::mapMirrorY, kRight = fx::mapTranspose, kLeft = fx::mapMirrorY | fx::mapTranspose,
                   kMX = fx::mapMirrorX, kMXY = fx::mapMirrorX | fx::mapMirrorY;

#define RYX_EDGE_CASES(Family, Stretched)                                               \
    TMirrorCase{#Family "Up", rfx##Family##Down, rfx##Family##Up, kUp, Stretched},       \
        TMirrorCase{#Family "Right", rfx##Family##Down, rfx##Family##Right, kRight, Stretched}, \
        TMirrorCase{#Family "Left", rfx##Family##Down, rfx##Family##Left, kLeft, Stretched}
#define RYX_CORNER_CASES(Family, Stretched)                                                      \
    TMirrorCase{#Family "RightDown", rfx##Family##LeftDown, rfx##Family##RightDown, kMX, Stretched}, \
        TMirrorCase{#Family "LeftUp", rfx##Family##LeftDown, rfx##Family##LeftUp, kUp, Stretched},     \
        TMirrorCase{#Family "RightUp", rfx##Family##LeftDown, rfx##Family##RightUp, kMXY, Stretched}

INSTANTIATE_TEST_SUITE_P(
    Members, FxAMirror,
    ::testing::Values(RYX_EDGE_CASES(Wipe, false), RYX_EDGE_CASES(Cover, false), RYX_EDGE_CASES(Uncover, false),
                      RYX_EDGE_CASES(Push, false), RYX_EDGE_CASES(Squash, true), RYX_EDGE_CASES(UnSquash, true),
                      RYX_EDGE_CASES(Fold, true), RYX_EDGE_CASES(Unfold, true), RYX_EDGE_CASES(Zoom, true),
                      RYX_CORNER_CASES(Wipe, false), RYX_CORNER_CASES(WipeRect, false), RYX_CORNER_CASES(Crop, false),
                      RYX_CORNER_CASES(Cover, false), RYX_CORNER_CASES(Uncover, false),
                      RYX_CORNER_CASES(Shrink, true), RYX_CORNER_CASES(Expand, true), RYX_CORNER_CASES(Zoom, true),
                      TMirrorCase{"WipeCenterVertIn", rfxWipeCenterHorzIn, rfxWipeCenterVertIn, kRight, false},
                      TMirrorCase{"WipeCenterVertOut", rfxWipeCenterHorzOut, rfxWipeCenterVertOut, kRight, false},
                      TMirrorCase{"CoverCenterVertIn", rfxCoverCenterHorzIn, rfxCoverCenterVertIn, kRight, false},
                      TMirrorCase{"CoverCenterVertOut", rfxCoverCenterHorzOut, rfxCoverCenterVertOut, kRight, false},
                      TMirrorCase{"UncoverCenterVertIn", rfxUncoverCenterHorzIn, rfxUncoverCenterVertIn, kRight, false},
                      TMirrorCase{"UncoverCenterVertOut", rfxUncoverCenterHorzOut, rfxUncoverCenterVertOut, kRight,
                                  false},
                      TMirrorCase{"SquashCenterVert", rfxSquashCenterHorz, rfxSquashCenterVert, kRight, true},
                      TMirrorCase{"UnSquashCenterVert", rfxUnSquashCenterHorz, rfxUnSquashCenterVert, kRight, true},
                      TMirrorCase{"FoldCenterVert", rfxFoldCenterHorz, rfxFoldCenterVert, kRight, true},
                      TMirrorCase{"UnfoldCenterVert", rfxUnfoldCenterHorz, rfxUnfoldCenterVert, kRight, true}),
    [](const ::testing::TestParamInfo<TMirrorCase>& i) { return std::string(i.param.Name); });

#undef RYX_EDGE_CASES
#undef RYX_CORNER_CASES

// ---- step counts, pacing, cancel and the edge cases of the sizes ----

TEST_F(FxA, StepCountsPacingAndCancel) {
    const int W = 30, H = 24;
    // Cover with S = H/4: three frames (p = S, 2S, 3S) one interval (T*S div H) apart, then copy all.
    const uint32_t start = GetTickCount();
    TRun cover = Play(rfxCoverDown, W, H, H / 4, 1000);
    EXPECT_TRUE(cover.Result);
    ASSERT_EQ(cover.Frames.size(), 3u);
    for (size_t k = 0; k < 3; ++k) EXPECT_EQ(TickDiff(cover.Ticks[k], start), int32_t(250 * (k + 1)));
    EXPECT_EQ(cover.Final, Picture(W, H, kNew));

    // The plain wipe starts one band outside: the first frame still shows the old picture.
    TRun wipe = Play(rfxWipeDown, W, H, H / 4);
    ASSERT_EQ(wipe.Frames.size(), 5u);
    EXPECT_EQ(wipe.Frames[0], Picture(W, H, kOld));
    EXPECT_EQ(wipe.Frames[1][size_t((H / 4 - 1) * W)], Code(kNew, 0, H / 4 - 1));
    EXPECT_EQ(wipe.Frames[1][size_t(H / 4 * W)], Code(kOld, 0, H / 4));

    // The diagonal wipe takes Ceil(W/S) + Ceil(H/S) steps and, with sizes that S does
    // not divide, still leaves no sliver of the old picture.
    TRun diag = Play(rfxWipeRightUp, 31, 23, 4);
    EXPECT_EQ(diag.Frames.size(), size_t(8 + 6));
    EXPECT_EQ(diag.Final, Picture(31, 23, kNew));

    // Cancelled at the first step: that frame stays and the call succeeds.
    TRun cancelled = Play(rfxPushDown, W, H, 6, 0, nullptr, 1);
    EXPECT_TRUE(cancelled.Result);
    ASSERT_EQ(cancelled.Frames.size(), 1u);
    EXPECT_EQ(cancelled.Final, cancelled.Frames[0]);
    EXPECT_EQ(cancelled.Final[0], Code(kNew, 0, H - 6));
    EXPECT_EQ(cancelled.Final[size_t(6 * W)], Code(kOld, 0, 0));

    // Time x Size beyond 32 bits with a Size at the extent: the new picture at once.
    TRun huge = Play(rfxZoomRightUp, W, H, INT_MAX, INT_MAX);
    EXPECT_TRUE(huge.Result && huge.Frames.empty());
    EXPECT_EQ(huge.Final, Picture(W, H, kNew));

    // The zoom out cannot be cancelled: it runs every step and ends on the new picture.
    TRun zoomOut = Play(rfxZoomOut, 64, 48, 1, 0, nullptr, 1);
    TRun zoomOutFull = Play(rfxZoomOut, 64, 48, 1);
    EXPECT_TRUE(zoomOut.Result);
    EXPECT_EQ(zoomOut.Frames.size(), zoomOutFull.Frames.size());
    EXPECT_EQ(zoomOut.Final, Picture(64, 48, kNew));
}

TEST_F(FxA, ZoomsStretchTheNewPictureTowardsItsSize) {
    const int W = 50, H = 30;
    // Zoom down: every frame is the new picture, columns unscaled, its top row
    // coming from ever higher rows until the picture stands at its size.
    TRun down = Play(rfxZoomDown, W, H, 1);
    ASSERT_GE(down.Frames.size(), 3u);
    int lastTop = H;
    for (const auto& f : down.Frames) {
        for (int x = 0; x < W; ++x) ASSERT_EQ(TagOf(f[size_t(x)]), kNew);
        EXPECT_EQ(XOf(f[7]), 7);
        EXPECT_LE(YOf(f[0]), lastTop);
        lastTop = YOf(f[0]);
    }
    EXPECT_GT(YOf(down.Frames.front()[0]), H / 2);  // starts far above: two thirds of the picture are out of sight
    // Zoom in: the first frame shows the middle of the new picture five times enlarged.
    TRun in = Play(rfxZoomIn, W, H, 1);
    ASSERT_FALSE(in.Frames.empty());
    const auto& first = in.Frames.front();
    EXPECT_EQ(TagOf(first[0]), kNew);
    EXPECT_NEAR(XOf(first[0]), 2 * W / 5, 1);
    EXPECT_NEAR(YOf(first[0]), 2 * H / 5, 1);
    EXPECT_NEAR(XOf(first[size_t(W - 1)]), 3 * W / 5, 1);
    EXPECT_EQ(in.Final, Picture(W, H, kNew));
}

}  // namespace
