// The transition engine's entry points: the effect enumeration, the step callback, the dispatcher and the name table.
#pragma once

#include <cstdint>
#include <string>

#include "host/gdi/gditypes.h"
#include "host/rtl/events.h"
#include "host/rtl/typinfo.h"

namespace host {
class TList;
}

namespace ryx {

// The 137 transition effects; the numbers are stored in selections, so the order is fixed.
HOST_ENUM(TryxTransitionEffect,
          rtfSkipHorizontal, rtfSkipVertical, rtfSkipRectangles, rtfSkipDiagonals, rtfSkipDiagonalSquares, rtfBoxIn,
          rtfBoxOut, rtfBlindsHorz, rtfBlindsVert, rtfDissolve, rtfDissolveHorz, rtfDissolveVert, rtfWindIn,
          rtfWindOut, rtfPourDown, rtfPourLeft, rtfPourRight, rtfPourUp, rtfQuadCover, rtfQuadUncover,
          rtfQuadWipeIn, rtfQuadWipeOut, rtfQuadUnfold, rtfQuadFold, rtfQuadFoldCopy, rtfQuadExpand, rtfQuadShrink,
          rtfQuadShrinkCopy, rtfShapeSawtooth, rtfShapeStarBust, rtfShapeBroadStar, rtfShapeParallelogram,
          rtfShapeLens1, rtfShapeLens2, rtfShapeSpiralClockwise, rtfShapeSpiralAntiClockWise,
          rtfFoldDown, rtfFoldLeft, rtfFoldRight, rtfFoldUp, rtfFoldCenterHorz, rtfFoldCenterVert, rtfUnfoldDown,
          rtfUnfoldLeft, rtfUnfoldRight, rtfUnfoldUp, rtfUnfoldCenterHorz, rtfUnfoldCenterVert, rtfSquashDown,
          rtfSquashLeft, rtfSquashRight, rtfSquashUp, rtfSquashCenterHorz, rtfSquashCenterVert, rtfUnSquashDown,
          rtfUnSquashLeft, rtfUnSquashRight, rtfUnSquashUp, rtfUnSquashCenterHorz, rtfUnSquashCenterVert,
          rtfShrinkLeftDown, rtfShrinkLeftUp, rtfShrinkRightDown, rtfShrinkRightUp, rtfShrinkCenter,
          rtfExpandLeftDown, rtfExpandLeftUp, rtfExpandRightDown, rtfExpandRightUp, rtfExpandCenter, rtfZoomIn,
          rtfZoomOut, rtfZoomDown, rtfZoomLeft, rtfZoomRight, rtfZoomUp, rtfZoomLeftDown, rtfZoomLeftUp,
          rtfZoomRightDown, rtfZoomRightUp, rtfPushDown, rtfPushLeft, rtfPushRight, rtfPushUp,
          rtfCoverDown, rtfCoverLeft, rtfCoverRight, rtfCoverUp, rtfCoverLeftDown, rtfCoverLeftUp,
          rtfCoverRightDown, rtfCoverRightUp, rtfCoverCenterHorzIn, rtfCoverCenterHorzOut, rtfCoverCenterVertIn,
          rtfCoverCenterVertOut, rtfUncoverDown, rtfUncoverLeft, rtfUncoverRight, rtfUncoverUp,
          rtfUncoverLeftDown, rtfUncoverLeftUp, rtfUncoverRightDown, rtfUncoverRightUp, rtfUncoverCenterHorzIn,
          rtfUncoverCenterHorzOut, rtfUncoverCenterVertIn, rtfUncoverCenterVertOut, rtfWipeDown, rtfWipeLeft,
          rtfWipeRight, rtfWipeUp, rtfWipeLeftDown, rtfWipeLeftUp, rtfWipeRightDown, rtfWipeRightUp,
          rtfWipeRectLeftDown, rtfWipeRectLeftUp, rtfWipeRectRightDown, rtfWipeRectRightUp, rtfCropLeftDown,
          rtfCropLeftUp, rtfCropRightDown, rtfCropRightUp, rtfWipeCenterHorzIn, rtfWipeCenterHorzOut,
          rtfWipeCenterVertIn, rtfWipeCenterVertOut, rtfWipeClockwise, rtfWipeAntiClockwise,
          rtfNone, rtfCut, rtfCutThroughBlack, rtfFadeThroughBlack, rtfRandom, rtfSelectionRandom,
          rtfSelectionSequence);

inline constexpr int ryxTransitionEffectCount = 137;

// The step size in pixels, 1 to 2147483647.
using TryxEffectSize = int32_t;

// The step callback: called after each step's wait with Sender nil and Cancel
// preset to false; setting Cancel stops the effect after that step.
using TryxCancelEvent = host::TEvent<host::TObject*, bool&>;

// Plays Effect from the picture on DestDC to the one on SrcDC (both addressed
// from their logical origin, Width x Height) and returns once it stands there.
// True when every drawing call succeeded (also after a cancel); false when the
// arguments are refused (a null handle, a width, height or size not above 0, an
// effect above rtfSelectionSequence) or a drawing call failed. Selection is read
// by rtfSelectionRandom only; its items are effect numbers.
bool ryxBitTransition(TryxTransitionEffect Effect, host::TList* Selection, host::HDC DestDC, host::HDC SrcDC,
                      int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

// Whether the effect uses its Size argument (editors grey it out otherwise).
bool ryxSizedEffect(TryxTransitionEffect Effect);

// The value name of an effect ("rtfWipeDown"); "" for a number out of range.
std::string ryxEffectName(int Effect);
// The effect of a value name (ASCII case ignored), or -1.
int ryxEffectByName(const std::string& Name);

}  // namespace ryx
