// Raster-operation row kernels, brushes made ready for a surface, and pattern fills, shared by the painter's units.
#pragma once

#include <cstdint>
#include <vector>

#include "host/gdi/gdiobj.h"

namespace host::gdi {

// ---- ternary raster operations ----
// The index byte of a raster-operation code (bits 16..23).
constexpr uint8_t RopIndex(DWORD Rop) { return uint8_t((Rop >> 16) & 0xFF); }
// Which operands an index reads: the pattern, the source, the destination.
constexpr bool RopUsesP(uint8_t I) { return ((I >> 4) & 0x0F) != (I & 0x0F); }
constexpr bool RopUsesS(uint8_t I) { return ((I >> 2) & 0x33) != (I & 0x33); }
constexpr bool RopUsesD(uint8_t I) { return ((I >> 1) & 0x55) != (I & 0x55); }

// Applies the operation Rop (an index byte) to N destination pixels D, with the source
// pixels S (read only when the operation reads a source) and the pattern: the row P when
// it is not null, else the single pixel PConst. Common operations take whole-row fast
// paths (SRCCOPY is a memmove, so S may overlap D there); every other one goes through
// the generic evaluation of the index. Other operations must not have S overlapping D.
void RopRow(uint8_t Rop, uint32_t* D, const uint32_t* S, const uint32_t* P, uint32_t PConst, int N);
// The same, always through the generic evaluation (tests and benchmarks compare the two).
void RopRowGeneric(uint8_t Rop, uint32_t* D, const uint32_t* S, const uint32_t* P, uint32_t PConst, int N);
// Turns the fast paths off and on (tests and benchmarks); returns the previous setting.
bool SetRopFastPaths(bool On);
bool RopFastPaths();

// ---- brushes ----
// A brush made ready to draw on one surface through one DC: a solid pixel, or a tile
// aligned to the DC's brush origin. Hatch brushes drawn with the TRANSPARENT background
// mode have holes: pixels where the destination is left alone.
struct TBrushFill {
    bool Null = true;     // no brush, or BS_NULL: nothing is drawn with it
    bool Solid = false;
    uint32_t Color = 0;   // the pixel of a solid brush
    int W = 0, H = 0;     // tile size
    int OrgX = 0, OrgY = 0;  // surface position of the tile's top-left pixel
    bool HasHoles = false;
    std::vector<uint32_t> Tile;   // W*H pixels
    std::vector<uint8_t> Opaque;  // W*H, 0 for a hole (only when HasHoles)

    // The brush's pixel at surface (X, Y); false for a hole.
    bool At(int X, int Y, uint32_t& Pixel) const;
    // N pixels of row Y from column X into Out, and their opacity (1, or 0 for a hole)
    // into OpaqueOut when it is not null.
    void Row(int X, int Y, int N, uint32_t* Out, uint8_t* OpaqueOut) const;
};
// Prepares Brush (the brush object, may be null) for drawing on Surface through Dc.
void PrepareBrush(const TBrushObj* Brush, const TDCObj* Dc, const TBitmapObj* Surface, TBrushFill& Fill);
// The brush at surface (X, Y), telling holes apart: false where a transparent hatch
// background leaves the destination alone (Pixel then holds the background colour).
bool BrushPixelAt(const TBrushObj* Brush, const TDCObj* Dc, const TBitmapObj* Surface, int X, int Y,
                  uint32_t& Pixel);

// ---- pattern fills ----
// Applies an operation that reads no source (PATCOPY, PATINVERT, DSTINVERT, BLACKNESS,
// WHITENESS, DPa, ...) to Area (surface coordinates) of T's surface, clipped to T.Clip.
// Brush may be null when the operation reads no pattern; a null brush with one that
// does draws nothing. This is the fast path for FillRect, InvertRect, FillRgn and the like.
void PatArea(const TTarget& T, const TRegion& Area, uint8_t Rop, const TBrushFill* Brush);
void PatRect(const TTarget& T, const RECT& SurfaceRect, uint8_t Rop, const TBrushFill* Brush);

}  // namespace host::gdi
