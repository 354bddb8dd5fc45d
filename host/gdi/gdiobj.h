// The painter's objects behind the handles, the handle table, and what drawing code
// needs of a device context: its surface, its coordinate offset and its clip.
#pragma once

#include <pixman.h>

#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "host/gdi/gditypes.h"
#include "host/gdi/region.h"

namespace host::gdi {

enum class TKind : uint8_t { Free = 0, DC, Bitmap, Pen, Brush, Font, Region, Palette, Icon };
constexpr int kKindCount = 9;

struct TObj {
    explicit TObj(TKind k) : Kind(k) {}
    virtual ~TObj() = default;
    TKind Kind;
    bool Stock = false;    // never deleted
    int SelectCount = 0;   // device contexts that have it selected (deletion fails while > 0)
    HGDIOBJ Handle = nullptr;  // set by AddObject
};

struct TDCObj;

// A surface: 32-bit pixels 0x00RRGGBB, rows top-down, Stride == Width. A monochrome
// bitmap (BitsPerPixel 1) uses the same layout holding only 0x000000 (bit 0) and
// 0xFFFFFF (bit 1), so every pixel loop works on both.
struct TBitmapObj : TObj {
    static constexpr TKind kKind = TKind::Bitmap;
    TBitmapObj() : TObj(kKind) {}
    ~TBitmapObj() override;
    int Width = 0, Height = 0;
    int BitsPerPixel = 32;  // 1 or 32
    std::vector<uint32_t> Pixels;
    TDCObj* SelectedIn = nullptr;  // a bitmap is selected into at most one DC
    bool Mono() const { return BitsPerPixel == 1; }
    uint32_t* Row(int y) { return Pixels.data() + size_t(y) * size_t(Width); }
    const uint32_t* Row(int y) const { return Pixels.data() + size_t(y) * size_t(Width); }
    // A pixman image over Pixels (x8r8g8b8), made on first use; reset when the size changes.
    pixman_image_t* Image();
    void ResetImage();

    // DIB sections: the format the caller asked for and the memory it writes. When the
    // format is not 32-bit top-down, DibBits is a separate buffer kept in step with
    // Pixels by the DIB unit (see SyncFromDib/SyncToDib).
    int DibBitCount = 0;               // 0: not a DIB section
    bool DibTopDown = true;
    std::vector<RGBQUAD> ColorTable;   // DIB sections of 8 bits or less
    std::vector<uint8_t> DibBits;      // separate memory of a DIB section
    bool SurfaceNewer = false;         // Pixels changed since DibBits was written

private:
    pixman_image_t* FImage = nullptr;
};

struct TPenObj : TObj {
    static constexpr TKind kKind = TKind::Pen;
    TPenObj() : TObj(kKind) {}
    LOGPEN Log;
};

struct TBrushObj : TObj {
    static constexpr TKind kKind = TKind::Brush;
    TBrushObj() : TObj(kKind) {}
    UINT Style = BS_SOLID;
    COLORREF Color = 0;
    int Hatch = 0;
    // BS_PATTERN: a copy of the bitmap's pixels; a monochrome pattern takes the DC's
    // text colour for 0 and its background colour for 1 when drawn.
    int PatternWidth = 0, PatternHeight = 0;
    bool PatternMono = false;
    std::vector<uint32_t> Pattern;
};

struct TFontFace;  // a realised face, owned by the text unit
struct TFontObj : TObj {
    static constexpr TKind kKind = TKind::Font;
    TFontObj() : TObj(kKind) {}
    ~TFontObj() override;
    LOGFONTA Log;
    std::shared_ptr<TFontFace> Face;  // made by the text unit on first use
};

struct TRegionObj : TObj {
    static constexpr TKind kKind = TKind::Region;
    TRegionObj() : TObj(kKind) {}
    TRegion Rgn;
};

struct TPaletteObj : TObj {
    static constexpr TKind kKind = TKind::Palette;
    TPaletteObj() : TObj(kKind) {}
    std::vector<PALETTEENTRY> Entries;
};

struct TIconObj : TObj {
    static constexpr TKind kKind = TKind::Icon;
    TIconObj() : TObj(kKind) {}
    bool IsIcon = true;
    int HotX = 0, HotY = 0;
    int Width = 0, Height = 0;
    // AND mask (1 = keep the destination) and XOR image, both Width x Height; a
    // monochrome icon has no colour image and a mask of twice the height.
    std::vector<uint32_t> Mask;   // 0x000000 or 0xFFFFFF per pixel
    std::vector<uint32_t> Color;  // empty for monochrome icons
    bool MonoIcon = false;
};

enum class TDCKind : uint8_t { Memory, Window, Screen, Info };

// Everything SaveDC keeps.
struct TDCAttrs {
    HGDIOBJ Bitmap = nullptr, Pen = nullptr, Brush = nullptr, Font = nullptr, Palette = nullptr;
    bool HasClip = false;
    TRegion Clip;  // device coordinates of the DC
    POINT WindowOrg, ViewportOrg, BrushOrg, CurPos;
    SIZE WindowExt{1, 1}, ViewportExt{1, 1};  // kept for the caller; MM_TEXT maps 1:1
    COLORREF TextColor = 0x000000, BkColor = 0xFFFFFF;
    int BkMode = OPAQUE, Rop2 = R2_COPYPEN, StretchMode = BLACKONWHITE, PolyFillMode = ALTERNATE, MapMode = MM_TEXT;
    UINT TextAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
};

struct TDCObj : TObj {
    static constexpr TKind kKind = TKind::DC;
    TDCObj() : TObj(kKind) {}
    TDCKind DCKind = TDCKind::Memory;
    TDCAttrs A;
    std::vector<TDCAttrs> Saved;
    // Window and screen DCs draw into a surface the windowing layer owns: device
    // (0,0) is at DeviceOffset of it, and only VisRgn (surface coordinates) may be
    // touched. Memory DCs draw into their selected bitmap, with no offset.
    TBitmapObj* ExternalSurface = nullptr;
    POINT DeviceOffset;
    bool HasVisRgn = false;
    TRegion VisRgn;
    HWND Window = nullptr;
    // The 1x1 monochrome bitmap a memory DC starts with: owned by the DC (marked
    // Stock, so it is neither counted nor deletable) and freed with it.
    HBITMAP DefaultBitmap = nullptr;

    // The surface drawing goes to: the selected bitmap of a memory DC, else
    // ExternalSurface (nullptr for an information DC).
    TBitmapObj* Surface();
    // Where device (0,0) lies on the surface: DeviceOffset for window and screen DCs,
    // the surface's origin for memory DCs.
    POINT SurfaceOffset() const { return DCKind == TDCKind::Memory ? POINT{} : DeviceOffset; }
    // Whoever changes ExternalSurface, DeviceOffset, HasVisRgn or VisRgn from outside
    // calls this, so MakeTarget rebuilds its cached clip.
    void ClipChanged() { ++ClipVersion; }

    // MakeTarget's cache of the clip in surface coordinates, valid while the clip
    // version, the surface and its size are the same.
    uint64_t ClipVersion = 1;
    uint64_t CachedVersion = 0;
    const TBitmapObj* CachedSurface = nullptr;
    int CachedWidth = -1, CachedHeight = -1;
    POINT CachedOffset;
    TRegion CachedClip;
};

// Adds a device context made by the windowing layer (or this unit): selects the
// stock pen, brush, font and palette and, for a memory DC, a new 1x1 monochrome
// bitmap; returns its handle. DeleteDC frees it.
HDC AddDC(std::unique_ptr<TDCObj> Dc);
// The desktop: a surface of the screen's size (SM_CXSCREEN x SM_CYSCREEN, resized
// when those change) that GetScreenDC draws on and the windowing layer composes.
TBitmapObj* DesktopSurface();

// ---- the handle table ----
// Adds an object and returns its handle (never 0). Handles encode a slot and a
// generation, so a handle of a deleted object never finds a newer one.
HGDIOBJ AddObject(std::unique_ptr<TObj> Obj);
TObj* FindObject(HGDIOBJ Handle);
template <class T>
T* Find(HGDIOBJ Handle) {
    TObj* o = FindObject(Handle);
    return (o != nullptr && o->Kind == T::kKind) ? static_cast<T*>(o) : nullptr;
}
HGDIOBJ HandleOf(const TObj* Obj);
// Frees the object and its slot.
void RemoveObject(HGDIOBJ Handle);
// Records a call in the trace when tracing is on (see host/gdi/gditest.h).
void Trace(const char* Call, const std::string& Args = std::string());
bool Tracing();
// True when a test arranged for this call to fail now (gditest::FailCall); calls
// that support fault injection ask this first. Cheap when nothing is armed.
bool InjectedFault(const char* Call);
// Trace with the arguments joined by ", ", formatted only when tracing is on:
// TraceCall("BitBlt", Dest, X, Y, Width, Height, Src, SrcX, SrcY, Rop). Handles and
// pointers print in hex, numbers in decimal, strings as they are.
namespace detail {
inline std::string TraceArg(const std::string& S) { return S; }
inline std::string TraceArg(const char* S) { return S != nullptr ? std::string(S) : std::string("null"); }
std::string TraceArg(const void* P);
template <class T>
std::string TraceArg(const T& V) requires std::is_arithmetic_v<T> {
    return std::to_string(V);
}
}  // namespace detail
template <class... A>
void TraceCall(const char* Call, const A&... Args) {
    if (!Tracing()) return;
    std::string s;
    [[maybe_unused]] bool first = true;
    ((s += first ? "" : ", ", first = false, s += detail::TraceArg(Args)), ...);
    Trace(Call, s);
}

// ---- colours ----
constexpr uint32_t ToPixel(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
constexpr COLORREF ToColorRef(uint32_t p) { return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF); }
// The pixel a colour gives on a surface: PALETTEINDEX/PALETTERGB forms reduced to
// RGB; on a monochrome surface black or white by brightness (the nearest of the two).
uint32_t ColorToSurface(COLORREF Color, const TBitmapObj* Surface);

// ---- what drawing code works on ----
struct TTarget {
    TDCObj* DC = nullptr;
    TBitmapObj* Surface = nullptr;
    int Dx = 0, Dy = 0;  // logical (x, y) is surface (x + Dx, y + Dy)
    TRegion Clip;        // surface coordinates: the surface, the visible region and the clip region
};
// Fills T for drawing on Dc; false for a bad handle or a DC without a surface.
// Prepares a DIB section's pixels and marks them as changed.
bool MakeTarget(HDC Dc, TTarget& T);
// Logical to surface coordinates of a DC (without clipping).
POINT ToSurface(const TDCObj* Dc, POINT Logical);

// ROP2 on one pixel, and the ternary raster operation of an index byte
// (result bit = bit (P<<2 | S<<1 | D) of the index), on 24-bit values.
uint32_t ApplyRop2(int Rop2, uint32_t Pen, uint32_t Dst);
uint32_t ApplyRop3(uint8_t Index, uint32_t P, uint32_t S, uint32_t D);
// The brush's pixel at surface position (x, y), aligned to the DC's brush origin
// (in device coordinates, so plus the DC's device offset); pattern and hatch brushes
// use the DC's colours as the framework does.
uint32_t BrushPixel(const TBrushObj* Brush, const TDCObj* Dc, const TBitmapObj* Surface, int X, int Y);

// DIB sections: bring Pixels up to date with what the caller wrote into DibBits,
// and write Pixels back into DibBits (GdiFlush). No-ops for other bitmaps.
void SyncFromDib(TBitmapObj* Bmp);
void SyncToDib(TBitmapObj* Bmp);

}  // namespace host::gdi
