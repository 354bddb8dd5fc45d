// The framework's graphics classes: colours, pens, brushes, fonts, canvases, bitmaps, icons, metafiles and pictures.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "host/gdi/gditypes.h"
#include "host/rtl/events.h"
#include "host/rtl/persistent.h"
#include "host/rtl/sets.h"
#include "host/rtl/typinfo.h"

namespace host {

class TStream;
class TFiler;
class TCanvas;
class TBitmap;
class TGraphic;

// The framework's geometry records are the system's own.
using TPoint = POINT;
using TRect = RECT;
using TSize = SIZE;

// ---------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------

// A colour as the framework keeps it: 0x00BBGGRR for an RGB value; a system
// colour is 0x80000000 | its COLOR_* index and is resolved by ColorToRGB; clNone
// and clDefault are markers for "no colour" and "the default colour". A distinct
// type, so that published colour properties are written by name in form files.
enum TColor : int32_t {
    clSystemColor = static_cast<int32_t>(0x80000000u),
    clScrollBar = static_cast<int32_t>(0x80000000u | 0u),
    clBackground = static_cast<int32_t>(0x80000000u | 1u),
    clActiveCaption = static_cast<int32_t>(0x80000000u | 2u),
    clInactiveCaption = static_cast<int32_t>(0x80000000u | 3u),
    clMenu = static_cast<int32_t>(0x80000000u | 4u),
    clWindow = static_cast<int32_t>(0x80000000u | 5u),
    clWindowFrame = static_cast<int32_t>(0x80000000u | 6u),
    clMenuText = static_cast<int32_t>(0x80000000u | 7u),
    clWindowText = static_cast<int32_t>(0x80000000u | 8u),
    clCaptionText = static_cast<int32_t>(0x80000000u | 9u),
    clActiveBorder = static_cast<int32_t>(0x80000000u | 10u),
    clInactiveBorder = static_cast<int32_t>(0x80000000u | 11u),
    clAppWorkSpace = static_cast<int32_t>(0x80000000u | 12u),
    clHighlight = static_cast<int32_t>(0x80000000u | 13u),
    clHighlightText = static_cast<int32_t>(0x80000000u | 14u),
    clBtnFace = static_cast<int32_t>(0x80000000u | 15u),
    clBtnShadow = static_cast<int32_t>(0x80000000u | 16u),
    clGrayText = static_cast<int32_t>(0x80000000u | 17u),
    clBtnText = static_cast<int32_t>(0x80000000u | 18u),
    clInactiveCaptionText = static_cast<int32_t>(0x80000000u | 19u),
    clBtnHighlight = static_cast<int32_t>(0x80000000u | 20u),
    cl3DDkShadow = static_cast<int32_t>(0x80000000u | 21u),
    cl3DLight = static_cast<int32_t>(0x80000000u | 22u),
    clInfoText = static_cast<int32_t>(0x80000000u | 23u),
    clInfoBk = static_cast<int32_t>(0x80000000u | 24u),
    clHotLight = static_cast<int32_t>(0x80000000u | 26u),
    clGradientActiveCaption = static_cast<int32_t>(0x80000000u | 27u),
    clGradientInactiveCaption = static_cast<int32_t>(0x80000000u | 28u),
    clMenuHighlight = static_cast<int32_t>(0x80000000u | 29u),
    clMenuBar = static_cast<int32_t>(0x80000000u | 30u),

    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clLtGray = 0xC0C0C0,
    clDkGray = 0x808080,
    clWhite = 0xFFFFFF,
    clMoneyGreen = 0xC0DCC0,
    clSkyBlue = 0xF0CAA6,
    clCream = 0xF0FBFF,
    clMedGray = 0xA4A0A0,

    clNone = 0x1FFFFFFF,
    clDefault = 0x20000000
};

// The type description of TColor: an integer whose named values ("clBtnFace")
// are written by name in form files, other values as numbers.
const TTypeInfo* HostTypeInfo(const TColor*);

// System colours (negative values) through GetSysColor(Color & 0xFF); every other
// value, clNone and clDefault included, unchanged.
int32_t ColorToRGB(TColor Color);
// The name of a named colour ("clRed"); false for other values.
bool ColorToIdent(int32_t Color, std::string& Ident);
// The value of a colour name (case-insensitive); false for an unknown name.
bool IdentToColor(const std::string& Ident, int32_t& Color);
// A colour's name, or "$" and eight hex digits ("$00FF00FF") for other values.
std::string ColorToString(TColor Color);
// A colour name, or a number (decimal or "$" hex); raises EConvertError otherwise.
TColor StringToColor(const std::string& S);
// Calls Proc with the name of every named colour, in the framework's order.
void GetColorValues(const std::function<void(const std::string&)>& Proc);

// The character sets a font can ask for, written by name in form files
// ("DEFAULT_CHARSET"); other values as numbers.
using TFontCharset = uint8_t;
const TTypeInfo* FontCharsetTypeInfo();
bool CharsetToIdent(int32_t Charset, std::string& Ident);
bool IdentToCharset(const std::string& Ident, int32_t& Charset);

// Number * Numerator / Denominator in 64 bits, rounded to the nearest integer
// (halves away from zero); -1 when Denominator is 0 or the result does not fit.
int MulDiv(int Number, int Numerator, int Denominator);

// ---------------------------------------------------------------------------
// Pens, brushes, fonts
// ---------------------------------------------------------------------------

HOST_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame);
HOST_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
          pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor);
HOST_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross);
HOST_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut);
using TFontStyles = TSet<TFontStyle>;
HOST_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed);
using TFontName = std::string;

// The ROP2 code of a pen mode (pmCopy → R2_COPYPEN).
int PenModeToRop2(TPenMode Mode);

// The base of pens, brushes and fonts: an OnChange event, and a system object
// (pen, brush, font) made from the properties when Handle is first asked for and
// freed when a property changes or the object is destroyed.
class TGraphicsObject : public TPersistent {
    HOST_CLASS(TGraphicsObject, TPersistent)
public:
    TGraphicsObject() = default;
    TNotifyEvent OnChange;

protected:
    // Fires OnChange. Descendants drop their handle first (see ReleaseCached).
    virtual void Changed();
    // Forgets Handle, tells OnChange, then deletes the old system object: a canvas
    // that has it selected deselects it on the notice, so the deletion succeeds.
    void ChangedDropping(HGDIOBJ& Handle);
};

// Deletes a system object; when it cannot be deleted yet because a device context
// still has it selected, tries again on later calls (and at the end).
void DeleteGraphicsHandle(HGDIOBJ Handle);

class TPen : public TGraphicsObject {
    HOST_CLASS(TPen, TGraphicsObject)
public:
    TPen();
    ~TPen() override;
    void Assign(TPersistent* Source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value);  // negative values are ignored
    // The system pen for Color, Style and Width, made on demand; owned by the pen.
    HPEN Handle() const;
    // Takes over Value (the pen deletes it later) and reads its properties back.
    void SetHandle(HPEN Value);

private:
    TColor FColor = clBlack;
    TPenMode FMode = pmCopy;
    TPenStyle FStyle = psSolid;
    int FWidth = 1;
    mutable HPEN FHandle = nullptr;
    void Drop();
    HOST_PUBLISHED(prop("Color", &TPen::Color, &TPen::SetColor).def(clBlack),
                   prop("Mode", &TPen::Mode, &TPen::SetMode).def(pmCopy),
                   prop("Style", &TPen::Style, &TPen::SetStyle).def(psSolid),
                   prop("Width", &TPen::Width, &TPen::SetWidth).def(1))
};

class TBrush : public TGraphicsObject {
    HOST_CLASS(TBrush, TGraphicsObject)
public:
    TBrush();
    ~TBrush() override;
    void Assign(TPersistent* Source) override;

    // Setting a colour on a clear brush makes it solid, as the framework does.
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // A pattern bitmap (the brush does not own it; keep it alive while the brush
    // uses it). Setting it resets Color to clWhite and Style to bsSolid; while it
    // is set, the brush paints the pattern whatever Style says.
    TBitmap* Bitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* Value);
    // The system brush, made on demand; owned by the brush.
    HBRUSH Handle() const;
    // Takes over Value and reads its style and colour back.
    void SetHandle(HBRUSH Value);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    TBitmap* FBitmap = nullptr;
    mutable HBRUSH FHandle = nullptr;
    void Drop();
    HOST_PUBLISHED(prop("Color", &TBrush::Color, &TBrush::SetColor).def(clWhite),
                   prop("Style", &TBrush::Style, &TBrush::SetStyle).def(bsSolid))
};

class TFont : public TGraphicsObject {
    HOST_CLASS(TFont, TGraphicsObject)
public:
    // The default face and size of new fonts.
    static constexpr const char* DefaultName = "MS Sans Serif";
    static constexpr int DefaultSize = 8;

    TFont();
    ~TFont() override;
    void Assign(TPersistent* Source) override;

    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    // The height in pixels: negative for the character height, positive for the
    // cell height, as in a LOGFONT.
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    TFontName Name() const { return FName; }
    void SetName(const TFontName& Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    // The size in points: -MulDiv(Height, 72, PixelsPerInch); setting it sets
    // Height to -MulDiv(Size, PixelsPerInch, 72).
    int Size() const;
    void SetSize(int Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int Value) { FPixelsPerInch = Value; }

    // The system font (CreateFontIndirect of the properties), made on demand.
    HFONT Handle() const;
    // Takes over Value and reads the properties back from its LOGFONT.
    void SetHandle(HFONT Value);

private:
    TFontCharset FCharset = DEFAULT_CHARSET;
    TColor FColor = clWindowText;
    int FHeight = -11;
    TFontName FName = DefaultName;
    TFontPitch FPitch = fpDefault;
    TFontStyles FStyle;
    int FPixelsPerInch = 96;
    mutable HFONT FHandle = nullptr;
    void Drop();
    HOST_PUBLISHED(prop("Charset", &TFont::Charset, &TFont::SetCharset).type(FontCharsetTypeInfo()),
                   prop("Color", &TFont::Color, &TFont::SetColor),
                   prop("Height", &TFont::Height, &TFont::SetHeight),
                   prop("Name", &TFont::Name, &TFont::SetName),
                   prop("Pitch", &TFont::Pitch, &TFont::SetPitch).def(fpDefault),
                   prop("Size", &TFont::Size, &TFont::SetSize).stored(false),
                   prop("Style", &TFont::Style, &TFont::SetStyle))
};

// ---------------------------------------------------------------------------
// Canvas
// ---------------------------------------------------------------------------

HOST_ENUM(TCanvasStates, csHandleValid, csFontValid, csPenValid, csBrushValid);
using TCanvasState = TSet<TCanvasStates>;
inline constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};
HOST_ENUM(TFillStyle, fsSurface, fsBorder);

// Raster operations for CopyMode.
using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                    cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                    cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT, cmSrcAnd = SRCAND,
                    cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE, cmSrcInvert = SRCINVERT, cmSrcPaint = SRCPAINT,
                    cmWhiteness = WHITENESS;

// A drawing surface over a device context. Its Pen, Brush and Font are selected
// into the DC when a drawing call needs them (RequiredState), and deselected when
// they change, so that a change takes effect at the next call. A canvas without
// a DC asks the virtual CreateHandle for one and raises EInvalidOperation
// "Canvas does not allow drawing" when it gets none.
class TCanvas : public TPersistent {
    HOST_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    // The DC, with the pen, brush and font selected. Setting it attaches the
    // canvas to that DC (which the canvas does not own).
    HDC Handle();
    void SetHandle(HDC Value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* Value);
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(TFont* Value);
    TCopyMode CopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
    // ExtTextOut options added to every TextOut and TextRect.
    int TextFlags() const { return FTextFlags; }
    void SetTextFlags(int Value) { FTextFlags = Value; }

    TColor Pixels(int X, int Y);
    void SetPixels(int X, int Y, TColor Value);
    TPoint PenPos();
    void SetPenPos(TPoint Value);
    // The clip box in logical coordinates.
    TRect ClipRect();

    // A re-entrant lock for drawing from several threads.
    void Lock();
    void Unlock();
    bool TryLock();
    int LockCount() const { return FLockCount; }

    void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    // Copies Source of Bitmap to Dest, with the pixels of Color replaced by the
    // brush (or left out when the brush is clear).
    void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
    void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    // StretchBlt from Canvas with CopyMode.
    void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
    void Draw(int X, int Y, TGraphic* Graphic);
    void DrawFocusRect(const TRect& Rect);
    void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& Rect);
    void FillRect(const TRect& Rect);
    // Fills with the brush from (X, Y): fsSurface the connected area of Color,
    // fsBorder the connected area bounded by Color.
    void FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle);
    void FrameRect(const TRect& Rect);
    void LineTo(int X, int Y);
    void MoveTo(int X, int Y);
    void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
    void Polygon(std::span<const TPoint> Points);
    void Polygon(std::initializer_list<TPoint> Points) { Polygon(std::span<const TPoint>(Points.begin(), Points.size())); }
    void Polyline(std::span<const TPoint> Points);
    void Polyline(std::initializer_list<TPoint> Points) { Polyline(std::span<const TPoint>(Points.begin(), Points.size())); }
    void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& Rect);
    // Deselects the pen, brush and font, so the next call selects them afresh.
    void Refresh();
    void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    TSize TextExtent(const std::string& Text);
    int TextHeight(const std::string& Text);
    void TextOut(int X, int Y, const std::string& Text);
    // Text at (X, Y) clipped to Rect; Rect is filled with the brush first unless
    // the brush is clear.
    void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
    int TextWidth(const std::string& Text);

    // Selects what State lacks of ReqState into the DC.
    void RequiredState(TCanvasState ReqState);
    TCanvasState State() const { return FState; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void Changed();
    virtual void Changing();
    // Called when a DC is needed and there is none; the base has none to give.
    virtual void CreateHandle() {}

private:
    friend class TBitmap;
    friend class TBitmapCanvas;
    friend class TIcon;
    HDC FHandle = nullptr;
    TCanvasState FState;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TPoint FPenPos;
    TCopyMode FCopyMode = cmSrcCopy;
    int FTextFlags = 0;
    std::recursive_mutex FLock;
    int FLockCount = 0;

    void CreateFont();
    void CreatePen();
    void CreateBrush();
    void DeselectHandles();
    void FontChanged(TObject* Sender);
    void PenChanged(TObject* Sender);
    void BrushChanged(TObject* Sender);
};

// ---------------------------------------------------------------------------
// Graphics: bitmaps, icons, metafiles, pictures
// ---------------------------------------------------------------------------

// A class of graphic (a TClass that inherits from TGraphic).
using TGraphicClass = TClass;

// The base of pictures of every kind.
class TGraphic : public TPersistent {
    HOST_CLASS(TGraphic, TPersistent)
public:
    TGraphic() = default;

    virtual bool Empty() const = 0;
    virtual int Height() const = 0;
    virtual void SetHeight(int Value) = 0;
    virtual int Width() const = 0;
    virtual void SetWidth(int Value) = 0;
    bool Modified() const { return FModified; }
    void SetModified(bool Value);
    virtual HPALETTE Palette() const { return nullptr; }
    virtual void SetPalette(HPALETTE) {}
    virtual bool Transparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);

    // Files through a TFileStream: EFOpenError/EFCreateError for the file,
    // EInvalidGraphic for its content (the graphic then stays as it was).
    virtual void LoadFromFile(const std::string& FileName);
    virtual void SaveToFile(const std::string& FileName);
    // Reads the graphic from the stream's position to its end.
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;

    // Paints the graphic stretched into Rect of the canvas (TCanvas::Draw and
    // StretchDraw call this after preparing the canvas).
    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;

    // True when both graphics are of one class and save to the same bytes.
    virtual bool Equals(TGraphic* Graphic);

    TNotifyEvent OnChange;

    // The streamed form of the graphic inside a picture's "Data" property.
    virtual void ReadData(TStream* Stream);
    virtual void WriteData(TStream* Stream);

protected:
    // Sets Modified and fires OnChange.
    virtual void Changed(TObject* Sender);
    void DefineProperties(TFiler* Filer) override;

private:
    bool FModified = false;
    bool FTransparent = false;
    void ReadDataProc(TStream* Stream) { ReadData(Stream); }
    void WriteDataProc(TStream* Stream) { WriteData(Stream); }
};

HOST_ENUM(TBitmapHandleType, bmDIB, bmDDB);
HOST_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom);
HOST_ENUM(TTransparentMode, tmAuto, tmFixed);

// A bitmap: owns its HBITMAP (32-bit colour, or 1-bit monochrome when PixelFormat
// is pf1bit or Monochrome is set) and a canvas over it.
class TBitmap : public TGraphic {
    HOST_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    TBitmap(int AWidth, int AHeight);
    ~TBitmap() override;

    // From a TBitmap: a copy of its pixels, format and transparency; from another
    // graphic: that graphic drawn on a bitmap of its size; nullptr: empty.
    void Assign(TPersistent* Source) override;

    bool Empty() const override;
    int Height() const override { return FHeight; }
    void SetHeight(int Value) override;
    int Width() const override { return FWidth; }
    void SetWidth(int Value) override;
    // Resizes keeping the content that fits; new pixels take the canvas's brush
    // colour (white when there is no canvas yet). A side of 0 frees the image.
    void SetSize(int AWidth, int AHeight);

    // The bitmap, made on demand (nullptr while the bitmap is empty).
    HBITMAP Handle();
    // Frees the current bitmap and takes over Value (nullptr empties the bitmap).
    void SetHandle(HBITMAP Value);
    // Gives the bitmap away: the caller deletes it; the TBitmap becomes empty.
    HBITMAP ReleaseHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    TBitmapHandleType HandleType() const { return FHandleType; }
    void SetHandleType(TBitmapHandleType Value);

    // A monochrome mask where the transparent colour is white and every other
    // colour black; made on demand and kept until the image changes.
    HBITMAP MaskHandle();
    void SetMaskHandle(HBITMAP Value);
    HBITMAP ReleaseMaskHandle();
    // Turns the bitmap into its mask for TransparentColor (white where that colour is).
    void Mask(TColor TransparentColor);

    HPALETTE Palette() const override { return FPalette; }
    void SetPalette(HPALETTE Value) override;  // takes it over
    HPALETTE ReleasePalette();

    // A canvas that draws on the bitmap (a memory DC made on demand, freed with
    // the bitmap or when its handle changes).
    TCanvas* Canvas();

    bool Monochrome() const;
    void SetMonochrome(bool Value);
    // What was set or loaded; pf1bit makes the bitmap monochrome, every other
    // format keeps 32-bit pixels.
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);
    // The pixels of a row: Width 32-bit values 0x00RRGGBB (bytes B, G, R, x), also
    // for monochrome bitmaps (0x000000 and 0xFFFFFF). Valid until the image
    // changes; writes show through Pixels and every draw. A row outside raises
    // EInvalidGraphicOperation "Scan line index out of range".
    void* ScanLine(int Row);

    // tmAuto: the bottom-left pixel (clWhite for a monochrome bitmap); tmFixed:
    // the colour set. Setting a colour other than clDefault makes the mode tmFixed.
    TColor TransparentColor();
    void SetTransparentColor(TColor Value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    // Dormant keeps the pixels in memory and frees the system objects (they are
    // made again when needed); FreeImage drops that memory copy.
    void Dormant();
    void FreeImage();

    // BMP (or PNG) from the stream's position to its end; BMP out, at the depth
    // of PixelFormat. A broken image raises EInvalidGraphic and changes nothing.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // An RT_BITMAP resource (a DIB without its file header); EResNotFound when
    // the module has no such resource.
    void LoadFromResourceName(uintptr_t Instance, const std::string& ResName);
    void LoadFromResourceID(uintptr_t Instance, int ResID);

    // Stretches the bitmap into Rect with the canvas's CopyMode, or through the
    // mask when Transparent (the transparent colour's pixels leave the canvas alone).
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

    // In a picture's "Data": a 32-bit byte count, then the BMP file.
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;

protected:
    void Changed(TObject* Sender) override;

private:
    friend class TBitmapCanvas;
    HBITMAP FHandle = nullptr;
    HBITMAP FMaskHandle = nullptr;
    bool FMaskValid = false;
    HPALETTE FPalette = nullptr;
    std::unique_ptr<TCanvas> FCanvas;
    int FWidth = 0, FHeight = 0;
    bool FMonochrome = false;
    TPixelFormat FPixelFormat = pfDevice;
    TBitmapHandleType FHandleType = bmDDB;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    std::vector<uint32_t> FDormantPixels;  // the image while Dormant
    bool FDormant = false;
    std::vector<RGBQUAD> FColorTable;      // of the file loaded, reused when saved at its depth

    void FreeContext();
    void HandleNeeded();
    void ReplaceHandle(HBITMAP NewHandle, int W, int H, bool Mono);
    void LoadFromBytes(const std::string& Bytes);
    void DropMask();
    void Rebuild(int W, int H, bool Mono);
};

// An icon: owns its HICON.
class TIcon : public TGraphic {
    HOST_CLASS(TIcon, TGraphic)
public:
    TIcon();
    ~TIcon() override;
    void Assign(TPersistent* Source) override;

    bool Empty() const override { return FHandle == nullptr && FData.empty(); }
    int Height() const override { return FHeight; }
    // Icons keep the size they were made with: raises EInvalidGraphicOperation.
    void SetHeight(int Value) override;
    int Width() const override { return FWidth; }
    void SetWidth(int Value) override;
    bool Transparent() const override { return true; }

    HICON Handle();
    // Frees the current icon and takes over Value.
    void SetHandle(HICON Value);
    HICON ReleaseHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }

    // ICO files: the image nearest 32×32 (the deepest of those); saving writes
    // the file loaded unchanged, or the icon's image.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void LoadFromResourceName(uintptr_t Instance, const std::string& ResName);
    void LoadFromResourceID(uintptr_t Instance, int ResID);

    // DrawIconEx at Rect's top-left, stretched to Rect.
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    HICON FHandle = nullptr;
    int FWidth = 0, FHeight = 0;
    std::string FData;  // the ICO file the icon came from, saved back unchanged

    void LoadFromBytes(const std::string& Bytes);
    void FreeIcon();
};

// Metafiles are not supported by this host: an always-empty graphic that draws
// nothing; loading raises EInvalidGraphic "Metafiles are not supported".
class TMetafile : public TGraphic {
    HOST_CLASS(TMetafile, TGraphic)
public:
    TMetafile() = default;
    void Assign(TPersistent* Source) override;
    bool Empty() const override { return true; }
    int Height() const override { return FHeight; }
    void SetHeight(int Value) override;
    int Width() const override { return FWidth; }
    void SetWidth(int Value) override;
    bool Enhanced() const { return FEnhanced; }
    void SetEnhanced(bool Value) { FEnhanced = Value; }
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;

private:
    int FWidth = 0, FHeight = 0;
    bool FEnhanced = true;
};

// A holder of one graphic of any registered class. Bitmap, Icon and Metafile
// replace the graphic with an empty one of that class when it is of another.
class TPicture : public TPersistent {
    HOST_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;

    // From a picture or a graphic: a copy of its graphic; nullptr: empty.
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return FGraphic.get(); }
    // Holds a copy of Value (of Value's class); nullptr empties the picture.
    void SetGraphic(TGraphic* Value);
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value);
    TIcon* Icon();
    void SetIcon(TIcon* Value);
    TMetafile* Metafile();
    void SetMetafile(TMetafile* Value);
    int Width() const;
    int Height() const;

    // By the file's extension, through the registered file formats; an unknown
    // extension raises EInvalidGraphic "Unknown picture file extension (.xyz)".
    void LoadFromFile(const std::string& FileName);
    // Saves the graphic (nothing for an empty picture).
    void SaveToFile(const std::string& FileName);

    // Registers a file extension (without the dot, case-insensitive) for a class
    // of graphic, with a description for file dialogs. bmp, ico and png (read into
    // a TBitmap) are registered from the start.
    static void RegisterFileFormat(const std::string& AExtension, const std::string& ADescription,
                                   TGraphicClass AGraphicClass);
    static void UnregisterGraphicClass(TGraphicClass AClass);
    // The graphic class registered for an extension (with or without the dot), or nullptr.
    static TGraphicClass FileFormatClass(const std::string& AExtension);
    // The registered class of that class name, or nullptr.
    static TGraphicClass FindGraphicClass(const std::string& AClassName);

    // Streams the graphic as the binary "Data": its class name as a short
    // string, then the graphic's own data.
    void DefineProperties(TFiler* Filer) override;

    TNotifyEvent OnChange;

protected:
    virtual void Changed(TObject* Sender);
    void AssignTo(TPersistent* Dest) override;

private:
    std::unique_ptr<TGraphic> FGraphic;
    template <class T>
    T* ForceType();
    void SetFGraphic(std::unique_ptr<TGraphic> Value);
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);
};

// "Bitmaps (*.bmp)|*.bmp|..." for the classes that inherit from GraphicClass,
// headed by an "All" entry; the file mask and default extension of such a class.
std::string GraphicFilter(TGraphicClass GraphicClass);
std::string GraphicExtension(TGraphicClass GraphicClass);
std::string GraphicFileMask(TGraphicClass GraphicClass);

// One shared 8×8 bitmap per colour pair: FgColor where x % 2 == y % 2, BkColor
// elsewhere. The bitmaps are owned by a cache freed at exit: do not free them.
TBitmap* AllocPatternBitmap(TColor BkColor, TColor FgColor);

}  // namespace host
