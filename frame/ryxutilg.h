// Graphics utility routines shared by the package's painting components: point and polygon rotation, 3-D frames, the expand box, screen queries, masks, grey scale and caption colours.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "host/gdi/gditypes.h"
#include "host/rtl/sets.h"
#include "host/rtl/typinfo.h"

namespace host {
enum TColor : int32_t;
class TCanvas;
class TBitmap;
}  // namespace host

namespace ryx {

using TPoint = host::POINT;
using TRect = host::RECT;

// The sides of a bevel that ryxEdgeFrame3D draws.
HOST_ENUM(TBevelEdge, beLeft, beTop, beRight, beBottom);
using TBevelEdges = host::TSet<TBevelEdge>;

// ---- points, polygons and rotation ----
// Angles are given by their sine and cosine. Rounded results go to the nearest
// integer with halves to even; a result outside the signed 32-bit range raises
// ERangeError and leaves the point as it was.

void ryxOffsetPoint(TPoint& P, int DX, int DY);
void ryxOffsetPoints(std::span<TPoint> Points, int DX, int DY);
// Points[0..3] become the corners (Left, Top), (Right, Top), (Right, Bottom),
// (Left, Bottom). Raises ERangeError when Points holds fewer than four points.
void ryxSetRectPoints(const TRect& R, std::span<TPoint> Points);
// The least and greatest x and y of the points. Raises ERangeError for no points.
TRect ryxGetPolygonBounds(std::span<const TPoint> Points);
// Rotation in mathematical orientation:
// P = Center + (Round(dx·cos − dy·sin), Round(dx·sin + dy·cos)).
void ryxRotatePoint(double SinA, double CosA, const TPoint& Center, TPoint& P);
// Rotation in screen orientation (y grows downwards):
// P = (Center.x + Round(dx·cos + dy·sin), Center.y − Round(dx·sin − dy·cos)).
void ryxRotateWinPoint(double SinA, double CosA, const TPoint& Center, TPoint& P);
// Rotate every point except those equal to Center, which stay as they are.
void ryxRotatePolygon(double SinA, double CosA, const TPoint& Center, std::span<TPoint> Points);
void ryxRotateWinPolygon(double SinA, double CosA, const TPoint& Center, std::span<TPoint> Points);
// The four corners of R (as ryxSetRectPoints) rotated about Center.
void ryxRotateRect(double SinA, double CosA, const TPoint& Center, const TRect& R, std::span<TPoint> Points);
void ryxRotateWinRect(double SinA, double CosA, const TPoint& Center, const TRect& R, std::span<TPoint> Points);
// R becomes the bounds of its corners after the rotation.
void ryxRotateRectBounds(double SinA, double CosA, const TPoint& Center, TRect& R);
void ryxRotateWinRectBounds(double SinA, double CosA, const TPoint& Center, TRect& R);

// ---- three-dimensional frames ----
// Each draws Width nested one-pixel rings into R with the canvas's pen (its width
// set to 1): the top and left of a ring in TopColor, the bottom and right in
// BottomColor drawn after, so the top-left corner pixel is TopColor and the other
// three are BottomColor. R is left shrunk by Width on every side.

// Straight edges shortened by Radius at each end, joined by quarter arcs of that
// radius: the top-left arc in TopColor, the bottom-right in BottomColor, and the
// other two split at their middle. Radius 0 gives the plain rectangular ring.
void ryxRoundFrame3D(host::TCanvas* Canvas, TRect& R, host::TColor TopColor, host::TColor BottomColor, int Width,
                     int Radius);
// The ring's ellipse: its upper-left half in TopColor, its lower-right half in BottomColor.
void ryxEllipseFrame3D(host::TCanvas* Canvas, TRect& R, host::TColor TopColor, host::TColor BottomColor, int Width);
// The rectangular ring, drawing only the sides in Edges.
void ryxEdgeFrame3D(host::TCanvas* Canvas, TRect& R, host::TColor TopColor, host::TColor BottomColor, int Width,
                    TBevelEdges Edges);

// The expand box of tree-like lists: a push-button frame with a minus (Expanded)
// or a plus (collapsed) in the window-frame colour.
void ryxDrawExpandBox(host::TCanvas* Canvas, const TRect& R, bool Expanded);

// ---- screen and system ----
// Bits per pixel of the screen.
int ryxScreenColorDepth();
// True when the screen has more than 8 bits per pixel.
bool ryxScreenIsHighColor();
// True on the old consumer line of the operating system; this host reports the NT
// line, so false.
bool ryxOSVerIsWin95();

// ---- masks and colours ----
// Mask becomes a new monochrome bitmap of Size.x × Size.y, white where the source
// pixel at Pos + (x, y) equals one of Colors (through ColorToRGB) and black
// elsewhere (all black for no colours). Works through colour-to-monochrome blits.
void ryxGenerateMaskBitmap(host::TBitmap* Mask, host::TBitmap* Source, const TPoint& Pos,
                           std::span<const host::TColor> Colors, const TPoint& Size);
// The same mask computed from the source's pixel data read as a 32-bit DIB; the
// two routines give identical masks.
void ryxGenerateMaskBitmapFromDIB(host::TBitmap* Mask, host::TBitmap* Source, const TPoint& Pos,
                                  std::span<const host::TColor> Colors, const TPoint& Size);
// Paints Color on Dest at Pos wherever the monochrome Mask (Size.x × Size.y from its
// top-left) is white; elsewhere Dest stays.
void ryxReplaceBitmapColorsFromMask(host::TBitmap* Mask, host::TBitmap* Dest, const TPoint& Pos, host::TColor Color,
                                    const TPoint& Size);
// Turns every pixel into its grey level: the luminance 0.299 R + 0.587 G + 0.114 B,
// rounded. A grey pixel stays as it is.
void ryxGrayScaleBitmap(host::TBitmap* Bitmap);
// A device-dependent copy of Bitmap (compatible with the screen), through
// GetDIBits and SetDIBits with the bitmap's palette realised.
std::unique_ptr<host::TBitmap> ryxCopyBitmapToDDB(host::TBitmap* Bitmap);
// A new palette with the entries of Palette (nullptr for none or a bad handle).
host::HPALETTE ryxCopyPalette(host::HPALETTE Palette);
// The package's bitmap resource of a normalised name: A–Z and '_' kept, a–z made
// upper case, every other character dropped ("btn_ok2" → "BTN_OK"). nullptr when
// there is no such resource; the caller owns the bitmap.
host::HBITMAP ryxLoadBitmapByName(const std::string& Name);
// The lighter colour of a caption's gradient: navy gives RGB(16, 132, 208), grey
// RGB(184, 180, 184), anything else each channel halved plus 127. System colours
// are resolved first.
host::TColor ryxLightenCaptionColor(host::TColor Color);

}  // namespace ryx
