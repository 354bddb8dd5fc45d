// Plain copies between two DCs through an extra region or polygon, without changing the destination's clip.
#pragma once

#include "host/gdi/gditypes.h"

namespace host {

// Copies the Width x Height block of Src at (SrcX, SrcY) to Dest at (X, Y) (logical
// coordinates, SRCCOPY) where Rgn lets it through, within Dest's own clip: Rgn is in
// Dest's device coordinates, as a clip region is. The pixels are those that
// ExtSelectClipRgn(Dest, Rgn, RGN_AND), BitBlt and restoring the clip would give, but
// the DC is left untouched. FALSE for a bad handle; nothing drawn then.
BOOL BitBltRgn(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, HRGN Rgn);

// The same through the polygon of Count points (Dest's logical coordinates) filled by
// FillMode (ALTERNATE or WINDING), as CreatePolygonRgn gives it; only the part of the
// polygon inside the block and the clip is ever worked out, so a polygon reaching far
// beyond the picture costs no more than its visible part. Fewer than three points
// draw nothing. FALSE for a bad handle, bad points or fill mode, or no memory.
//
// Both take part in the painter's fault injection under their own names and, as
// the blit they stand for, under "BitBlt".
BOOL BitBltPolygon(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, const POINT* Points,
                   int Count, int FillMode);

}  // namespace host
