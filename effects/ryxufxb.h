// The pattern effect routines: blinds, skips, boxes, winds, pours, quadrants, shapes, the clock, dissolves and cuts.
#pragma once

#include "effects/ryxufx.h"

namespace ryx {

// Each routine plays its effect from the picture on DestDC to the one on SrcDC
// (Width x Height, both from their logical origin) over Time milliseconds,
// calling OnStep after each step's wait (the dissolves never call it); see
// ryxBitTransition for the result.
bool rfxBlindsHorz(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxBlindsVert(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxSkipHorizontal(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxSkipVertical(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxSkipDiagonals(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxSkipDiagonalSquares(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxBoxIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxBoxOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxWindIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxWindOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxPourDown(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxPourLeft(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxPourRight(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxPourUp(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxQuadCover(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxQuadUncover(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxQuadWipeIn(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxQuadWipeOut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxQuadUnfold(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxQuadFold(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxQuadFoldCopy(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxQuadExpand(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxQuadShrink(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxQuadShrinkCopy(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);

bool rfxDissolve(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxDissolveHorz(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
bool rfxDissolveVert(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, TryxCancelEvent OnStep);
// Without a size.
bool rfxSkipRectangles(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep);
bool rfxSawtooth(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep);
bool rfxCut(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep);
bool rfxCutThroughBlack(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep);
bool rfxFadeThroughBlack(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Time, TryxCancelEvent OnStep);

// The new picture revealed through a growing polygon along the curve (t cos t, t sin t).
bool rfxParamSpiral(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Time, double Param,
                    TryxCancelEvent OnStep);

// Sixteen triangles swept round the centre, clockwise or anticlockwise.
bool rfxWipeClock(host::HDC DestDC, host::HDC SrcDC, int Width, int Height, int Size, int Time, bool Clockwise,
                  TryxCancelEvent OnStep);

}  // namespace ryx
