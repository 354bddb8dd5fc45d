// Helpers shared by the painter's core units (objects, device contexts, regions, system tables).
#pragma once

#include "host/gdi/gdiobj.h"

namespace host::gdi {

// The 20 static colours of the default palette.
constexpr int kDefaultPaletteSize = 20;
extern const PALETTEENTRY kDefaultPalette[kDefaultPaletteSize];

// GetStockObject without the trace.
HGDIOBJ StockObject(int Index);

// A new bitmap object of the given size and depth (1 or 32), zero pixels; nullptr
// for a negative or absurd size or when memory runs out.
std::unique_ptr<TBitmapObj> NewBitmap(int Width, int Height, int BitsPerPixel);

// The clip of a DC as drawing sees it (surface ∩ visible region ∩ clip region), in
// the DC's device coordinates. An information DC gives its clip region, or an empty
// region without one.
TRegion DeviceClip(TDCObj* Dc);
// The area a DC can draw on, in its device coordinates: what ExtSelectClipRgn
// combines with when the DC has no clip region yet.
RECT DeviceArea(TDCObj* Dc);

// The system colour brushes follow SetSysColors.
void UpdateSysColorBrushes();

}  // namespace host::gdi

namespace host::gdi {
// GetSystemMetrics and GetSysColor without the trace.
int SystemMetric(int Index);
COLORREF SysColor(int Index);
}  // namespace host::gdi
