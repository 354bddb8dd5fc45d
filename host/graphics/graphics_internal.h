// Helpers shared by the graphics units: colour references and direct access to a bitmap's pixels.
#pragma once

#include <string>

#include "host/gdi/gditypes.h"
#include "host/graphics/graphics.h"

namespace host::gdi {
struct TBitmapObj;
}

namespace host::graphics_detail {

// The COLORREF of a colour: system colours resolved, marker bits dropped.
COLORREF ColorRef(TColor Color);

// The bitmap behind a handle, brought up to date with a DIB section's memory;
// nullptr for a bad handle.
gdi::TBitmapObj* BitmapPixels(HBITMAP Bmp);
// Marks a bitmap's pixels as written directly (so a DIB section's memory follows).
void PixelsWritten(gdi::TBitmapObj* Bmp);

// The rest of a stream, from its position to its end (what a graphic loads).
std::string ReadRest(TStream* Stream);

}  // namespace host::graphics_detail
