// The transition dispatcher, the sized-effect query and the effect-name table.
#include "effects/ryxufx.h"

#include <cstdint>

#include "effects/ryxufxa.h"
#include "effects/ryxufxb.h"
#include "host/rtl/lists.h"
#include "host/rtl/sysutils.h"

namespace ryx {

namespace {

using TSizedRoutine = bool (*)(host::HDC, host::HDC, int, int, int, int, TryxCancelEvent);

// The routines of signature 1, by effect number; nullptr where the dispatcher
// decides itself.
constexpr TSizedRoutine kRoutines[ryxTransitionEffectCount] = {
    &rfxSkipHorizontal, &rfxSkipVertical, nullptr, &rfxSkipDiagonals,
    &rfxSkipDiagonalSquares, &rfxBoxIn, &rfxBoxOut, &rfxBlindsHorz,
    &rfxBlindsVert, &rfxDissolve, &rfxDissolveHorz, &rfxDissolveVert,
    &rfxWindIn, &rfxWindOut, &rfxPourDown, &rfxPourLeft,
    &rfxPourRight, &rfxPourUp, &rfxQuadCover, &rfxQuadUncover,
    &rfxQuadWipeIn, &rfxQuadWipeOut, &rfxQuadUnfold, &rfxQuadFold,
    &rfxQuadFoldCopy, &rfxQuadExpand, &rfxQuadShrink, &rfxQuadShrinkCopy,
    nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr,
    &rfxFoldDown, &rfxFoldLeft, &rfxFoldRight, &rfxFoldUp,
    &rfxFoldCenterHorz, &rfxFoldCenterVert, &rfxUnfoldDown, &rfxUnfoldLeft,
    &rfxUnfoldRight, &rfxUnfoldUp, &rfxUnfoldCenterHorz, &rfxUnfoldCenterVert,
    &rfxSquashDown, &rfxSquashLeft, &rfxSquashRight, &rfxSquashUp,
    &rfxSquashCenterHorz, &rfxSquashCenterVert, &rfxUnSquashDown, &rfxUnSquashLeft,
    &rfxUnSquashRight, &rfxUnSquashUp, &rfxUnSquashCenterHorz, &rfxUnSquashCenterVert,
    &rfxShrinkLeftDown, &rfxShrinkLeftUp, &rfxShrinkRightDown, &rfxShrinkRightUp,
    &rfxShrinkCenter, &rfxExpandLeftDown, &rfxExpandLeftUp, &rfxExpandRightDown,
    &rfxExpandRightUp, &rfxExpandCenter, &rfxZoomIn, &rfxZoomOut,
    &rfxZoomDown, &rfxZoomLeft, &rfxZoomRight, &rfxZoomUp,
    &rfxZoomLeftDown, &rfxZoomLeftUp, &rfxZoomRightDown, &rfxZoomRightUp,
    &rfxPushDown, &rfxPushLeft, &rfxPushRight, &rfxPushUp,
    &rfxCoverDown, &rfxCoverLeft, &rfxCoverRight, &rfxCoverUp,
    &rfxCoverLeftDown, &rfxCoverLeftUp, &rfxCoverRightDown, &rfxCoverRightUp,
    &rfxCoverCenterHorzIn, &rfxCoverCenterHorzOut, &rfxCoverCenterVertIn, &rfxCoverCenterVertOut,
    &rfxUncoverDown, &rfxUncoverLeft, &rfxUncoverRight, &rfxUncoverUp,
    &rfxUncoverLeftDown, &rfxUncoverLeftUp, &rfxUncoverRightDown, &rfxUncoverRightUp,
    &rfxUncoverCenterHorzIn, &rfxUncoverCenterHorzOut, &rfxUncoverCenterVertIn, &rfxUncoverCenterVertOut,
    &rfxWipeDown, &rfxWipeLeft, &rfxWipeRight, &rfxWipeUp,
    &rfxWipeLeftDown, &rfxWipeLeftUp, &rfxWipeRightDown, &rfxWipeRightUp,
    &rfxWipeRectLeftDown, &rfxWipeRectLeftUp, &rfxWipeRectRightDown, &rfxWipeRectRightUp,
    &rfxCropLeftDown, &rfxCropLeftUp, &rfxCropRightDown, &rfxCropRightUp,
    &rfxWipeCenterHorzIn, &rfxWipeCenterHorzOut, &rfxWipeCenterVertIn, &rfxWipeCenterVertOut,
    nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, nullptr, nullptr,
    nullptr,
};

// The curve parameter of each spiral shape, from rtfShapeStarBust on.
constexpr double kSpiralParams[] = {3.0, 4.0, 4.7, 0.7, 5.0, 0.3, 6.0};

}  // namespace

bool ryxBitTransition(TryxTransitionEffect Effect, host::TList* Selection, host::HDC DestDC, host::HDC SrcDC,
                      int Width, int Height, int Size, int Time, TryxCancelEvent OnStep) {
    if (DestDC == nullptr || SrcDC == nullptr || Width <= 0 || Height <= 0 || Size <= 0) return false;
    int e = static_cast<int>(Effect);
    if (e < 0 || e >= ryxTransitionEffectCount) return false;
    if (kRoutines[e] != nullptr) return kRoutines[e](DestDC, SrcDC, Width, Height, Size, Time, OnStep);
    switch (Effect) {
    case rtfSkipRectangles: return rfxSkipRectangles(DestDC, SrcDC, Width, Height, Time, OnStep);
    case rtfShapeSawtooth: return rfxSawtooth(DestDC, SrcDC, Width, Height, Time, OnStep);
    case rtfShapeStarBust:
    case rtfShapeBroadStar:
    case rtfShapeParallelogram:
    case rtfShapeLens1:
    case rtfShapeLens2:
    case rtfShapeSpiralClockwise:
    case rtfShapeSpiralAntiClockWise:
        return rfxParamSpiral(DestDC, SrcDC, Width, Height, Time, kSpiralParams[e - rtfShapeStarBust], OnStep);
    case rtfWipeClockwise: return rfxWipeClock(DestDC, SrcDC, Width, Height, Size, Time, true, OnStep);
    case rtfWipeAntiClockwise: return rfxWipeClock(DestDC, SrcDC, Width, Height, Size, Time, false, OnStep);
    case rtfNone:
    case rtfSelectionSequence: return rfxCut(DestDC, SrcDC, Width, Height, 0, OnStep);
    case rtfCut: return rfxCut(DestDC, SrcDC, Width, Height, Time, OnStep);
    case rtfCutThroughBlack: return rfxCutThroughBlack(DestDC, SrcDC, Width, Height, Time, OnStep);
    case rtfFadeThroughBlack: return rfxFadeThroughBlack(DestDC, SrcDC, Width, Height, Time, OnStep);
    case rtfRandom:
        // 0 to 132: never the fade, never a value that dispatches again.
        return ryxBitTransition(static_cast<TryxTransitionEffect>(host::Random(rtfFadeThroughBlack)), nullptr,
                                DestDC, SrcDC, Width, Height, Size, Time, OnStep);
    case rtfSelectionRandom: {
        if (Selection == nullptr || Selection->Count() == 0)
            return rfxCut(DestDC, SrcDC, Width, Height, 0, OnStep);
        intptr_t item = reinterpret_cast<intptr_t>(Selection->Items(host::Random(Selection->Count())));
        // A selection that names itself would never end: only 0 to rtfRandom are taken.
        TryxTransitionEffect next =
            item >= 0 && item <= rtfRandom ? static_cast<TryxTransitionEffect>(item) : rtfNone;
        return ryxBitTransition(next, Selection, DestDC, SrcDC, Width, Height, Size, Time, OnStep);
    }
    default: return false;
    }
}

bool ryxSizedEffect(TryxTransitionEffect Effect) {
    switch (Effect) {
    case rtfSkipRectangles:
    case rtfShapeSawtooth:
    case rtfShapeStarBust:
    case rtfShapeBroadStar:
    case rtfShapeParallelogram:
    case rtfShapeLens1:
    case rtfShapeLens2:
    case rtfShapeSpiralClockwise:
    case rtfShapeSpiralAntiClockWise:
    case rtfWipeClockwise:
    case rtfWipeAntiClockwise:
    case rtfNone:
    case rtfCut:
    case rtfCutThroughBlack:
    case rtfFadeThroughBlack: return false;
    default: return true;
    }
}

std::string ryxEffectName(int Effect) {
    if (Effect < 0 || Effect >= ryxTransitionEffectCount) return "";
    return host::GetEnumName(HostTypeInfo(static_cast<const TryxTransitionEffect*>(nullptr)), Effect);
}

int ryxEffectByName(const std::string& Name) {
    return host::GetEnumValue(HostTypeInfo(static_cast<const TryxTransitionEffect*>(nullptr)), Name);
}

}  // namespace ryx
