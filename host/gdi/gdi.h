// The painter's calls: device contexts, objects, regions, blits, primitives, text and DIBs,
// with the operating system's names and semantics. Every handle is checked: a stale or
// wrong handle makes the call fail (0, nullptr or FALSE) and changes nothing.
#pragma once

#include <string>
#include <vector>

#include "host/gdi/gditypes.h"

namespace host {

// ---- system colours and metrics (settable tables) ----
inline constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4,
    COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20, COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23, COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28, COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30, COLOR_MAX = 31;
// The colour of a system colour index (the classic grey scheme by default).
COLORREF GetSysColor(int Index);
// Replaces entries of the table; the windowing layer broadcasts WM_SYSCOLORCHANGE.
BOOL SetSysColors(int Count, const int* Indexes, const COLORREF* Colors);
// Restores the default scheme (tests).
void ResetSysColors();
// Called after SetSysColors and ResetSysColors changed the table: the windowing layer
// installs a hook that broadcasts WM_SYSCOLORCHANGE. nullptr removes it.
using TSysColorChangeHook = void (*)();
void SetSysColorChangeHook(TSysColorChangeHook Hook);
// A stock solid brush of the system colour (never deleted).
HBRUSH GetSysColorBrush(int Index);

inline constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4, SM_CXBORDER = 5,
    SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CYVTHUMB = 9, SM_CXHTHUMB = 10, SM_CXICON = 11,
    SM_CYICON = 12, SM_CXCURSOR = 13, SM_CYCURSOR = 14, SM_CYMENU = 15, SM_CXFULLSCREEN = 16,
    SM_CYFULLSCREEN = 17, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21, SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30,
    SM_CYSIZE = 31, SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXMINTRACK = 34, SM_CYMINTRACK = 35,
    SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37, SM_CXICONSPACING = 38, SM_CYICONSPACING = 39,
    SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXSMSIZE = 52,
    SM_CYSMSIZE = 53, SM_CXMENUSIZE = 54, SM_CYMENUSIZE = 55, SM_CXMAXIMIZED = 61, SM_CYMAXIMIZED = 62,
    SM_CXDRAG = 68, SM_CYDRAG = 69, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72, SM_CMOUSEBUTTONS = 43,
    SM_XVIRTUALSCREEN = 76, SM_YVIRTUALSCREEN = 77, SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79,
    SM_CMONITORS = 80, SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84,
    SM_CYKANJIWINDOW = 18, SM_MOUSEPRESENT = 19, SM_DEBUG = 22, SM_SWAPBUTTON = 23, SM_MENUDROPALIGNMENT = 40,
    SM_SECURE = 44, SM_CXMINSPACING = 47, SM_CYMINSPACING = 48, SM_ARRANGE = 56, SM_CXMINIMIZED = 57,
    SM_CYMINIMIZED = 58, SM_CXMAXTRACK = 59, SM_CYMAXTRACK = 60, SM_NETWORK = 63, SM_CLEANBOOT = 67,
    SM_SHOWSOUNDS = 70, SM_SLOWMACHINE = 73, SM_MIDEASTENABLED = 74, SM_MOUSEWHEELPRESENT = 75,
    SM_SAMEDISPLAYFORMAT = 81, SM_IMMENABLED = 82,
    SM_CXFIXEDFRAME = SM_CXDLGFRAME, SM_CYFIXEDFRAME = SM_CYDLGFRAME, SM_CXSIZEFRAME = SM_CXFRAME,
    SM_CYSIZEFRAME = SM_CYFRAME;
int GetSystemMetrics(int Index);
// Overrides one metric (tests, and the windowing layer when the screen changes).
void SetSystemMetric(int Index, int Value);
void ResetSystemMetrics();

inline constexpr UINT SPI_GETWORKAREA = 0x30, SPI_GETNONCLIENTMETRICS = 0x29, SPI_GETICONTITLELOGFONT = 0x1F;
struct NONCLIENTMETRICSA {
    UINT cbSize = sizeof(NONCLIENTMETRICSA);
    int iBorderWidth, iScrollWidth, iScrollHeight, iCaptionWidth, iCaptionHeight;
    LOGFONTA lfCaptionFont;
    int iSmCaptionWidth, iSmCaptionHeight;
    LOGFONTA lfSmCaptionFont;
    int iMenuWidth, iMenuHeight;
    LOGFONTA lfMenuFont, lfStatusFont, lfMessageFont;
};
BOOL SystemParametersInfoA(UINT Action, UINT Param, void* PvParam, UINT WinIni);
// The work area (the screen less task bars), settable for tests and the windowing layer.
void SetWorkArea(const RECT& Area);

// ---- rectangles ----
BOOL SetRect(RECT* R, int Left, int Top, int Right, int Bottom);
BOOL SetRectEmpty(RECT* R);
BOOL CopyRect(RECT* Dst, const RECT* Src);
BOOL InflateRect(RECT* R, int Dx, int Dy);
BOOL OffsetRect(RECT* R, int Dx, int Dy);
BOOL IntersectRect(RECT* Dst, const RECT* A, const RECT* B);
BOOL UnionRect(RECT* Dst, const RECT* A, const RECT* B);
BOOL SubtractRect(RECT* Dst, const RECT* A, const RECT* B);
BOOL EqualRect(const RECT* A, const RECT* B);
BOOL IsRectEmpty(const RECT* R);
BOOL PtInRect(const RECT* R, POINT P);

// ---- device contexts ----
HDC CreateCompatibleDC(HDC Dc);  // Dc 0: compatible with the screen
BOOL DeleteDC(HDC Dc);
// The screen: a DC over the whole desktop surface (the windowing layer composes it).
HDC GetScreenDC();
BOOL ReleaseScreenDC(HDC Dc);
int SaveDC(HDC Dc);
BOOL RestoreDC(HDC Dc, int SavedDC);  // a negative level counts back from the newest
HGDIOBJ SelectObject(HDC Dc, HGDIOBJ Obj);  // regions: selects a copy as the clip; returns the region type
HGDIOBJ GetCurrentObject(HDC Dc, UINT Type);
COLORREF SetTextColor(HDC Dc, COLORREF Color);
COLORREF GetTextColor(HDC Dc);
COLORREF SetBkColor(HDC Dc, COLORREF Color);
COLORREF GetBkColor(HDC Dc);
int SetBkMode(HDC Dc, int Mode);
int GetBkMode(HDC Dc);
int SetROP2(HDC Dc, int Rop2);
int GetROP2(HDC Dc);
int SetStretchBltMode(HDC Dc, int Mode);
int GetStretchBltMode(HDC Dc);
int SetPolyFillMode(HDC Dc, int Mode);
int GetPolyFillMode(HDC Dc);
int SetMapMode(HDC Dc, int Mode);
int GetMapMode(HDC Dc);
UINT SetTextAlign(HDC Dc, UINT Align);
UINT GetTextAlign(HDC Dc);
BOOL SetBrushOrgEx(HDC Dc, int X, int Y, POINT* Old);
BOOL GetBrushOrgEx(HDC Dc, POINT* Org);
BOOL SetWindowOrgEx(HDC Dc, int X, int Y, POINT* Old);
BOOL GetWindowOrgEx(HDC Dc, POINT* Org);
BOOL OffsetWindowOrgEx(HDC Dc, int Dx, int Dy, POINT* Old);
BOOL SetViewportOrgEx(HDC Dc, int X, int Y, POINT* Old);
BOOL GetViewportOrgEx(HDC Dc, POINT* Org);
BOOL OffsetViewportOrgEx(HDC Dc, int Dx, int Dy, POINT* Old);
// Extents are stored and returned; drawing maps 1:1 (MM_TEXT) whatever they are.
BOOL SetWindowExtEx(HDC Dc, int X, int Y, SIZE* Old);
BOOL GetWindowExtEx(HDC Dc, SIZE* Ext);
BOOL SetViewportExtEx(HDC Dc, int X, int Y, SIZE* Old);
BOOL GetViewportExtEx(HDC Dc, SIZE* Ext);
BOOL LPtoDP(HDC Dc, POINT* Points, int Count);
BOOL DPtoLP(HDC Dc, POINT* Points, int Count);
BOOL MoveToEx(HDC Dc, int X, int Y, POINT* Old);
BOOL GetCurrentPositionEx(HDC Dc, POINT* Pos);
int GetDeviceCaps(HDC Dc, int Index);
// Clipping (device coordinates).
int SelectClipRgn(HDC Dc, HRGN Rgn);  // nullptr removes the clip region
int ExtSelectClipRgn(HDC Dc, HRGN Rgn, int Mode);
int IntersectClipRect(HDC Dc, int Left, int Top, int Right, int Bottom);  // logical coordinates
int ExcludeClipRect(HDC Dc, int Left, int Top, int Right, int Bottom);
int OffsetClipRgn(HDC Dc, int Dx, int Dy);
int GetClipRgn(HDC Dc, HRGN Rgn);  // 1 and a copy in Rgn, 0 when there is none, -1 on error
int GetClipBox(HDC Dc, RECT* R);   // logical coordinates; the region type
BOOL PtVisible(HDC Dc, int X, int Y);
BOOL RectVisible(HDC Dc, const RECT* R);

// ---- objects ----
BOOL DeleteObject(HGDIOBJ Obj);  // fails for an object selected into a DC, and for stock objects (which stay)
HGDIOBJ GetStockObject(int Index);
int GetObjectA(HGDIOBJ Obj, int Size, void* Out);
DWORD GetObjectType(HGDIOBJ Obj);
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitCount, const void* Bits);
HBITMAP CreateBitmapIndirect(const BITMAP* Bm);
HBITMAP CreateCompatibleBitmap(HDC Dc, int Width, int Height);  // the format of the bitmap selected in Dc
LONG GetBitmapBits(HBITMAP Bmp, LONG Count, void* Bits);
LONG SetBitmapBits(HBITMAP Bmp, DWORD Count, const void* Bits);
HPEN CreatePen(int Style, int Width, COLORREF Color);
HPEN CreatePenIndirect(const LOGPEN* Pen);
HBRUSH CreateSolidBrush(COLORREF Color);
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color);
HBRUSH CreatePatternBrush(HBITMAP Bmp);  // copies the bitmap
HBRUSH CreateBrushIndirect(const LOGBRUSH* Brush);
HFONT CreateFontIndirectA(const LOGFONTA* Font);
HFONT CreateFontA(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic, DWORD Underline,
                  DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision, DWORD Quality,
                  DWORD PitchAndFamily, const char* FaceName);
HPALETTE CreatePalette(const LOGPALETTE* Palette);
HPALETTE SelectPalette(HDC Dc, HPALETTE Palette, BOOL ForceBackground);
UINT RealizePalette(HDC Dc);
UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries);
HICON CreateIconIndirect(const ICONINFO* Info);  // copies both bitmaps
BOOL GetIconInfo(HICON Icon, ICONINFO* Info);     // new copies the caller deletes
HICON CopyIcon(HICON Icon);
BOOL DestroyIcon(HICON Icon);
BOOL DestroyCursor(HCURSOR Cursor);

// ---- regions ----
HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const RECT* R);
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int WidthEllipse, int HeightEllipse);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateEllipticRgnIndirect(const RECT* R);
HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode);
HRGN CreatePolyPolygonRgn(const POINT* Points, const int* Counts, int Polygons, int FillMode);
int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode);
int OffsetRgn(HRGN Rgn, int Dx, int Dy);
BOOL SetRectRgn(HRGN Rgn, int Left, int Top, int Right, int Bottom);
BOOL PtInRegion(HRGN Rgn, int X, int Y);
BOOL RectInRegion(HRGN Rgn, const RECT* R);
int GetRgnBox(HRGN Rgn, RECT* R);
BOOL EqualRgn(HRGN A, HRGN B);
// The rectangles of a region, top to bottom and left to right (the banded form).
std::vector<RECT> GetRegionRects(HRGN Rgn);
BOOL FillRgn(HDC Dc, HRGN Rgn, HBRUSH Brush);
BOOL FrameRgn(HDC Dc, HRGN Rgn, HBRUSH Brush, int Width, int Height);
BOOL InvertRgn(HDC Dc, HRGN Rgn);
BOOL PaintRgn(HDC Dc, HRGN Rgn);

// ---- blits and pixels ----
BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, DWORD Rop);
BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, int SrcWidth,
                int SrcHeight, DWORD Rop);
BOOL PatBlt(HDC Dc, int X, int Y, int Width, int Height, DWORD Rop);
BOOL MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, HBITMAP Mask, int MaskX,
             int MaskY, DWORD Rop);  // Rop: MAKEROP4(fore, back)
constexpr DWORD MAKEROP4(DWORD Fore, DWORD Back) { return ((Back << 8) & 0xFF000000u) | Fore; }
BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int SrcX, int SrcY, int SrcWidth,
                    int SrcHeight, UINT TransparentColor);
COLORREF GetPixel(HDC Dc, int X, int Y);  // CLR_INVALID outside the clip or the surface
COLORREF SetPixel(HDC Dc, int X, int Y, COLORREF Color);
BOOL SetPixelV(HDC Dc, int X, int Y, COLORREF Color);

// ---- primitives ----
int FillRect(HDC Dc, const RECT* R, HBRUSH Brush);  // Brush may be (HBRUSH)(COLOR_x + 1)
int FrameRect(HDC Dc, const RECT* R, HBRUSH Brush);
BOOL InvertRect(HDC Dc, const RECT* R);
BOOL Rectangle(HDC Dc, int Left, int Top, int Right, int Bottom);
BOOL RoundRect(HDC Dc, int Left, int Top, int Right, int Bottom, int Width, int Height);
BOOL Ellipse(HDC Dc, int Left, int Top, int Right, int Bottom);
BOOL Polygon(HDC Dc, const POINT* Points, int Count);
BOOL PolyPolygon(HDC Dc, const POINT* Points, const int* Counts, int Polygons);
BOOL Polyline(HDC Dc, const POINT* Points, int Count);
BOOL PolylineTo(HDC Dc, const POINT* Points, DWORD Count);
BOOL LineTo(HDC Dc, int X, int Y);  // the end point is not drawn
BOOL Arc(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL Chord(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL Pie(HDC Dc, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL DrawFocusRect(HDC Dc, const RECT* R);
BOOL DrawEdge(HDC Dc, RECT* R, UINT Edge, UINT Flags);
BOOL DrawFrameControl(HDC Dc, RECT* R, UINT Type, UINT State);
BOOL DrawIconEx(HDC Dc, int X, int Y, HICON Icon, int Width, int Height, UINT Step, HBRUSH FlickerFree, UINT Flags);
BOOL DrawIcon(HDC Dc, int X, int Y, HICON Icon);
using GRAYSTRINGPROC = BOOL (*)(HDC, intptr_t, int);
BOOL GrayStringA(HDC Dc, HBRUSH Brush, GRAYSTRINGPROC Proc, intptr_t Data, int Count, int X, int Y, int Width,
                 int Height);
using DRAWSTATEPROC = BOOL (*)(HDC, intptr_t, uintptr_t, int, int);
BOOL DrawStateA(HDC Dc, HBRUSH Brush, DRAWSTATEPROC Proc, intptr_t LData, uintptr_t WData, int X, int Y, int Cx,
                int Cy, UINT Flags);

// ---- text ----
BOOL TextOutA(HDC Dc, int X, int Y, const char* Text, int Count);
BOOL ExtTextOutA(HDC Dc, int X, int Y, UINT Options, const RECT* R, const char* Text, UINT Count, const int* Dx);
int DrawTextA(HDC Dc, const char* Text, int Count, RECT* R, UINT Format);  // Count -1: up to the terminator
BOOL GetTextExtentPoint32A(HDC Dc, const char* Text, int Count, SIZE* Size);
BOOL GetTextMetricsA(HDC Dc, TEXTMETRICA* Metrics);
BOOL GetCharWidth32A(HDC Dc, UINT First, UINT Last, int* Widths);
int GetTextFaceA(HDC Dc, int Count, char* Name);
// The font families installed (for the screen's font list).
std::vector<std::string> GetFontFamilies();
// The file of the face that a logical font maps to (diagnostics and tests).
std::string GetFontFile(const LOGFONTA& Font);

// ---- DIBs ----
int GetDIBits(HDC Dc, HBITMAP Bmp, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage);
int SetDIBits(HDC Dc, HBITMAP Bmp, UINT Start, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage);
int StretchDIBits(HDC Dc, int X, int Y, int Width, int Height, int SrcX, int SrcY, int SrcWidth, int SrcHeight,
                  const void* Bits, const BITMAPINFO* Info, UINT Usage, DWORD Rop);
int SetDIBitsToDevice(HDC Dc, int X, int Y, DWORD Width, DWORD Height, int SrcX, int SrcY, UINT StartScan,
                      UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage);
HBITMAP CreateDIBSection(HDC Dc, const BITMAPINFO* Info, UINT Usage, void** Bits, void* Section, DWORD Offset);
HBITMAP CreateDIBitmap(HDC Dc, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits, const BITMAPINFO* Info,
                       UINT Usage);
constexpr DWORD CBM_INIT = 4;

BOOL GdiFlush();

}  // namespace host
