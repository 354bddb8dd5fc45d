// Small painting and measuring helpers shared by the tab, status, header and progress controls.
#pragma once

#include <string>

#include "host/graphics/graphics.h"

namespace host::comctrls_internal {

// The extent of Text in Font, measured on a screen DC (no window needed).
TSize MeasureText(TFont* Font, const std::string& Text);
// A one-pixel line from (X1, Y1) to (X2, Y2), both ends included, in Color.
void Line(HDC DC, int X1, int Y1, int X2, int Y2, TColor Color);
// Fills R with a system or RGB colour.
void Fill(HDC DC, const TRect& R, TColor Color);
// Draws Text in R with DrawText Flags in Font; a disabled text is embossed
// (clBtnHighlight one pixel down and right, then clBtnShadow).
void DrawLabel(HDC DC, TFont* Font, const std::string& Text, TRect R, UINT Flags, bool Enabled,
               TColor Color = clBtnText);

}  // namespace host::comctrls_internal
