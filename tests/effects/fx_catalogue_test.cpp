// Every transition effect at several sizes: end picture, untouched surroundings, released handles, restored DC state, frames.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "effects/ryxufx.h"
#include "effects/ryxufxa.h"
#include "effects/ryxufxb.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gditest.h"
#include "host/rtl/clock.h"
#include "tests/effects/fx_test_util.h"

namespace {

using namespace ryx;
using namespace fxtest;
using host::HDC;

struct TSizeCase {
    int W, H, Size;
};

// Multiples of Size, odd sizes, Size 1, Size beyond the picture, a tall picture.
const TSizeCase kSizes[] = {{64, 48, 8}, {67, 45, 8}, {33, 29, 1}, {40, 30, 100}, {31, 53, 5}};
constexpr int kMargin = 12, kOriginX = 9, kOriginY = 10;

// Effects whose frames only ever show old or new pixels at their own place,
// with the new area only growing.
bool InPlace(int E) {
    static const std::set<int> set = {
        rtfSkipHorizontal, rtfSkipVertical, rtfSkipRectangles, rtfSkipDiagonals, rtfSkipDiagonalSquares,
        rtfBoxIn, rtfBoxOut, rtfBlindsHorz, rtfBlindsVert, rtfWindIn, rtfWindOut, rtfQuadWipeIn, rtfQuadWipeOut,
        rtfShapeSawtooth, rtfShapeStarBust, rtfShapeBroadStar, rtfShapeParallelogram, rtfShapeLens1,
        rtfShapeLens2, rtfShapeSpiralClockwise, rtfShapeSpiralAntiClockWise, rtfWipeDown, rtfWipeLeft,
        rtfWipeRight, rtfWipeUp, rtfWipeLeftDown, rtfWipeLeftUp, rtfWipeRightDown, rtfWipeRightUp,
        rtfWipeRectLeftDown, rtfWipeRectLeftUp, rtfWipeRectRightDown, rtfWipeRectRightUp, rtfCropLeftDown,
        rtfCropLeftUp, rtfCropRightDown, rtfCropRightUp, rtfWipeCenterHorzIn, rtfWipeCenterHorzOut,
        rtfWipeCenterVertIn, rtfWipeCenterVertOut, rtfWipeClockwise, rtfWipeAntiClockwise, rtfNone, rtfCut};
    return set.count(E) != 0;
}

// A target inside a larger surface: a sentinel border, the window origin moved
// so that logical (0, 0) is the target's corner, and a clip a little larger
// than the target so that drawing outside the target would show.
class TStage {
public:
    TStage(int W, int H)
        : Dest(W + 2 * kMargin, H + 2 * kMargin), Src(W + 3, H + 2), FW(W), FH(H) {
        Dest.Paint([&](int x, int y) {
            int lx = x - kOriginX, ly = y - kOriginY;
            return lx >= 0 && ly >= 0 && lx < W && ly < H ? OldAt(lx, ly) : kSentinel;
        });
        Src.Paint([](int x, int y) { return NewAt(x, y); });
        host::SetWindowOrgEx(Dest.Dc, -kOriginX, -kOriginY, nullptr);
        host::IntersectClipRect(Dest.Dc, -4, -5, W + 3, H + 2);
        host::SetStretchBltMode(Dest.Dc, host::HALFTONE);
        FClip = host::CreateRectRgn(0, 0, 0, 0);
        host::GetClipRgn(Dest.Dc, FClip);
    }
    ~TStage() { host::DeleteObject(FClip); }

    std::vector<uint32_t> Target() const { return Window(Dest, kOriginX, kOriginY, FW, FH); }
    bool ShowsNew() const {
        std::vector<uint32_t> t = Target();
        for (int y = 0; y < FH; ++y)
            for (int x = 0; x < FW; ++x)
                if (t[size_t(y) * FW + x] != NewAt(x, y)) return false;
        return true;
    }
    bool SentinelIntact() const {
        std::vector<uint32_t> all = Dest.Pixels();
        for (int y = 0; y < Dest.H(); ++y)
            for (int x = 0; x < Dest.W(); ++x) {
                int lx = x - kOriginX, ly = y - kOriginY;
                bool inside = lx >= 0 && ly >= 0 && lx < FW && ly < FH;
                if (!inside && all[size_t(y) * Dest.W() + x] != kSentinel) return false;
            }
        return true;
    }
    bool StateRestored() const {
        host::HRGN now = host::CreateRectRgn(0, 0, 0, 0);
        bool clip = host::GetClipRgn(Dest.Dc, now) == 1 && host::EqualRgn(now, FClip);
        host::DeleteObject(now);
        host::POINT org{};
        host::GetWindowOrgEx(Dest.Dc, &org);
        return clip && host::GetStretchBltMode(Dest.Dc) == host::HALFTONE && org.x == -kOriginX &&
               org.y == -kOriginY;
    }

    TSurface Dest, Src;

private:
    int FW, FH;
    host::HRGN FClip = nullptr;
};

class FxCatalogue : public ::testing::TestWithParam<std::tuple<int, int>> {
protected:
    void SetUp() override {
        host::Clock::UseVirtual();
        host::gditest::ClearFaults();
    }
    void TearDown() override {
        host::gditest::ClearFaults();
        host::Clock::UseReal();
    }
};

// Runs the effect from a fresh stage; Frame (when set) sees each step.
bool Play(TStage& S, int E, const TSizeCase& C, const std::function<void(bool&)>& Frame) {
    TryxCancelEvent ev;
    if (Frame) ev = TryxCancelEvent([&](host::TObject* Sender, bool& Cancel) {
        EXPECT_EQ(Sender, nullptr);
        EXPECT_FALSE(Cancel);
        Frame(Cancel);
    });
    return ryxBitTransition(static_cast<TryxTransitionEffect>(E), nullptr, S.Dest.Dc, S.Src.Dc, C.W, C.H, C.Size,
                            200, ev);
}

TEST_P(FxCatalogue, EndsOnTheNewPictureAndTouchesNothingElse) {
    const int e = std::get<0>(GetParam());
    const TSizeCase c = kSizes[std::get<1>(GetParam())];
    const std::string name = ryxEffectName(e);
    SCOPED_TRACE(name + " " + std::to_string(c.W) + "x" + std::to_string(c.H) + " S" + std::to_string(c.Size));

    {  // the whole run, with the frames checked where the effect works in place
        TStage s(c.W, c.H);
        const int dcs = host::gditest::LiveDCs(), objs = host::gditest::LiveObjects();
        std::vector<char> shown(size_t(c.W) * c.H, 0);
        int frames = 0;
        bool framesOk = true;
        ASSERT_TRUE(Play(s, e, c, [&](bool&) {
            ++frames;
            if (!InPlace(e) || !framesOk) return;
            std::vector<uint32_t> t = s.Target();
            for (int y = 0; y < c.H && framesOk; ++y)
                for (int x = 0; x < c.W; ++x) {
                    size_t i = size_t(y) * c.W + x;
                    bool isNew = t[i] == NewAt(x, y);
                    if ((!isNew && t[i] != OldAt(x, y)) || (shown[i] && !isNew)) {
                        ADD_FAILURE() << "frame " << frames << " pixel (" << x << "," << y << ") = " << std::hex
                                      << t[i];
                        framesOk = false;
                        break;
                    }
                    shown[i] = isNew;
                }
        }));
        EXPECT_TRUE(s.ShowsNew());
        EXPECT_TRUE(s.SentinelIntact());
        EXPECT_TRUE(s.StateRestored());
        EXPECT_EQ(host::gditest::LiveDCs(), dcs);
        EXPECT_EQ(host::gditest::LiveObjects(), objs);
    }
    {  // cancelled at the first step: true, nothing leaked, state back
        TStage s(c.W, c.H);
        const int objs = host::gditest::LiveObjects();
        EXPECT_TRUE(Play(s, e, c, [](bool& Cancel) { Cancel = true; }));
        EXPECT_TRUE(s.SentinelIntact());
        EXPECT_TRUE(s.StateRestored());
        EXPECT_EQ(host::gditest::LiveObjects(), objs);
    }
    // An injected blit failure: false with the new picture shown (the effects
    // that draw with a single blit cannot fail but at that blit).
    bool failed = false;
    for (const char* call : {"BitBlt", "StretchBlt"}) {
        TStage s(c.W, c.H);
        const int objs = host::gditest::LiveObjects();
        host::gditest::FailCall(call, call[0] == 'B' ? 2 : 1);
        bool ok = Play(s, e, c, nullptr);
        host::gditest::ClearFaults();
        failed = failed || !ok;
        if (!ok) {
            EXPECT_TRUE(s.ShowsNew()) << call;
        }
        EXPECT_TRUE(s.SentinelIntact());
        EXPECT_TRUE(s.StateRestored());
        EXPECT_EQ(host::gditest::LiveObjects(), objs);
    }
    if (c.Size < c.W && c.Size < c.H && e != rtfCut && e != rtfNone && e != rtfCutThroughBlack) {
        EXPECT_TRUE(failed);
    }
}

INSTANTIATE_TEST_SUITE_P(FxEvery, FxCatalogue,
                         ::testing::Combine(::testing::Range(0, int(rtfFadeThroughBlack) + 1),
                                            ::testing::Range(0, int(std::size(kSizes)))),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& I) {
                             return ryxEffectName(std::get<0>(I.param)) + "_" +
                                    std::to_string(std::get<1>(I.param));
                         });

// Derived members are exact mirrors of their told member: played on mirrored
// pictures, every frame is the told member's frame mirrored.
using TRoutine = bool (*)(HDC, HDC, int, int, int, int, TryxCancelEvent);
struct TMirrorCase {
    const char* Name;
    TRoutine Told, Derived;
    bool FlipX, FlipY, Transpose;
};

std::vector<std::vector<uint32_t>> Frames(TRoutine R, int W, int H, int Size,
                                          const std::function<uint32_t(int, int, bool)>& Pixel) {
    TSurface d(W, H), s(W, H);
    d.Paint([&](int x, int y) { return Pixel(x, y, false); });
    s.Paint([&](int x, int y) { return Pixel(x, y, true); });
    std::vector<std::vector<uint32_t>> frames;
    EXPECT_TRUE(R(d.Dc, s.Dc, W, H, Size, 100, [&](host::TObject*, bool&) { frames.push_back(d.Pixels()); }));
    frames.push_back(d.Pixels());
    return frames;
}

class FxMirrors : public ::testing::TestWithParam<TMirrorCase> {
protected:
    void SetUp() override { host::Clock::UseVirtual(); }
    void TearDown() override { host::Clock::UseReal(); }
};

TEST_P(FxMirrors, DerivedMemberMirrorsToldMember) {
    const TMirrorCase& m = GetParam();
    const int W = 37, H = 26, S = 5;
    auto tag = [](int x, int y, bool isNew) { return isNew ? NewAt(x, y) : OldAt(x, y); };
    auto told = Frames(m.Told, W, H, S, tag);
    const int dw = m.Transpose ? H : W, dh = m.Transpose ? W : H;
    // Told frame pixel (x, y) lands at this place of the derived frame.
    auto place = [&](int x, int y) {
        if (m.FlipX) x = W - 1 - x;
        if (m.FlipY) y = H - 1 - y;
        if (m.Transpose) std::swap(x, y);
        return std::pair<int, int>(x, y);
    };
    std::vector<uint32_t> oldP(size_t(dw) * dh), newP(size_t(dw) * dh);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            auto [px, py] = place(x, y);
            oldP[size_t(py) * dw + px] = OldAt(x, y);
            newP[size_t(py) * dw + px] = NewAt(x, y);
        }
    auto derived = Frames(m.Derived, dw, dh, S, [&](int x, int y, bool isNew) {
        return (isNew ? newP : oldP)[size_t(y) * dw + x];
    });
    ASSERT_EQ(told.size(), derived.size());
    for (size_t f = 0; f < told.size(); ++f)
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                auto [px, py] = place(x, y);
                ASSERT_EQ(told[f][size_t(y) * W + x], derived[f][size_t(py) * dw + px])
                    << "frame " << f << " at (" << x << "," << y << ")";
            }
}

const TMirrorCase kMirrors[] = {
    {"BlindsVert", rfxBlindsHorz, rfxBlindsVert, false, false, true},
    {"SkipVertical", rfxSkipHorizontal, rfxSkipVertical, false, false, true},
    {"DissolveVert", rfxDissolveHorz, rfxDissolveVert, false, false, true},
    {"PourUp", rfxPourDown, rfxPourUp, false, true, false},
    {"PourRight", rfxPourDown, rfxPourRight, false, false, true},
    {"PourLeft", rfxPourDown, rfxPourLeft, false, true, true},
    {"WipeUp", rfxWipeDown, rfxWipeUp, false, true, false},
    {"WipeRight", rfxWipeDown, rfxWipeRight, false, false, true},
    {"WipeLeft", rfxWipeDown, rfxWipeLeft, false, true, true},
    {"CoverUp", rfxCoverDown, rfxCoverUp, false, true, false},
    {"CoverRight", rfxCoverDown, rfxCoverRight, false, false, true},
    {"CoverLeft", rfxCoverDown, rfxCoverLeft, false, true, true},
    {"PushUp", rfxPushDown, rfxPushUp, false, true, false},
    {"PushRight", rfxPushDown, rfxPushRight, false, false, true},
    {"UncoverLeft", rfxUncoverDown, rfxUncoverLeft, false, true, true},
};

INSTANTIATE_TEST_SUITE_P(FxMembers, FxMirrors, ::testing::ValuesIn(kMirrors),
                         [](const ::testing::TestParamInfo<TMirrorCase>& I) { return std::string(I.param.Name); });

}  // namespace
