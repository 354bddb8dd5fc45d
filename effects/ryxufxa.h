// The sliding and stretching effect routines: wipes, covers, uncovers, pushes, squashes, folds, shrinks, expands and zooms.
#pragma once

#include "effects/ryxufx.h"

namespace ryx {

// Each routine plays its effect from the picture on DestDC to the one on SrcDC
// (Width x Height, both from their logical origin) in steps of Size pixels over
// Time milliseconds, calling OnStep after each step's wait; see ryxBitTransition
// for the result.
bool rfxWipeDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxWipeCenterHorzIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeCenterHorzOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeCenterVertIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeCenterVertOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxWipeLeftDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeLeftUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeRightDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeRightUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxWipeRectLeftDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeRectLeftUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeRectRightDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWipeRectRightUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxCropLeftDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCropLeftUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCropRightDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCropRightUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxCoverDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCoverLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCoverRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCoverUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxCoverLeftDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCoverLeftUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCoverRightDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCoverRightUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxCoverCenterHorzIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCoverCenterHorzOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCoverCenterVertIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxCoverCenterVertOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxUncoverDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUncoverLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUncoverRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUncoverUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxUncoverLeftDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUncoverLeftUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUncoverRightDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUncoverRightUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxUncoverCenterHorzIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUncoverCenterHorzOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUncoverCenterVertIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUncoverCenterVertOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxPushDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxPushLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxPushRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxPushUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxSquashDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxSquashLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxSquashRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxSquashUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxSquashCenterHorz(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxSquashCenterVert(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxUnSquashDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnSquashLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnSquashRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnSquashUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnSquashCenterHorz(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnSquashCenterVert(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxFoldDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxFoldLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxFoldRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxFoldUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxFoldCenterHorz(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxFoldCenterVert(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxUnfoldDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnfoldLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnfoldRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnfoldUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnfoldCenterHorz(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxUnfoldCenterVert(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxShrinkLeftDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxShrinkLeftUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxShrinkRightDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxShrinkRightUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxShrinkCenter(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxExpandLeftDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxExpandLeftUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxExpandRightDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxExpandRightUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxExpandCenter(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxZoomIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxZoomOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxZoomDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxZoomLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxZoomRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxZoomUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxZoomLeftDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxZoomLeftUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxZoomRightDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxZoomRightUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
}  // namespace ryx
