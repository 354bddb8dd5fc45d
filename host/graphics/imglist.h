// Image lists: TCustomImageList and TImageList, lists of equal-sized images with masks, drawn with blending and overlays, and their change links.
#pragma once

#include <cstdint>
#include <vector>

#include "host/graphics/graphics.h"
#include "host/rtl/component.h"

namespace host {

class TCustomImageList;
class TIcon;

// Drawing styles of DrawEx (the ILD_* flags).
enum : UINT {
    ILD_NORMAL = 0x0000,
    ILD_TRANSPARENT = 0x0001,
    ILD_MASK = 0x0010,
    ILD_IMAGE = 0x0020,
    ILD_ROP = 0x0040,
    ILD_BLEND25 = 0x0002,
    ILD_BLEND50 = 0x0004,
    ILD_OVERLAYMASK = 0x0F00,
    ILD_FOCUS = ILD_BLEND25,
    ILD_SELECTED = ILD_BLEND50,
    ILD_BLEND = ILD_BLEND50
};
// The style bits that ask for overlay image Overlay (1..15).
constexpr UINT INDEXTOOVERLAYMASK(UINT Overlay) { return Overlay << 8; }

HOST_ENUM(TDrawingStyle, dsFocus, dsSelected, dsNormal, dsTransparent);
HOST_ENUM(TImageType, itImage, itMask);
// An overlay slot of Overlay and DrawOverlay (0..14).
using TOverlay = int;
using TImageIndex = int;

// A client's link to an image list: the list calls Change (and so OnChange) whenever
// its images or settings change. A link unregisters itself when destroyed; a list
// that goes first clears Sender of its links.
class TChangeLink : public TObject {
    HOST_CLASS(TChangeLink, TObject)
public:
    TChangeLink() = default;
    ~TChangeLink() override;

    TCustomImageList* Sender() const { return FSender; }
    void SetSender(TCustomImageList* Value) { FSender = Value; }
    virtual void Change();

    TNotifyEvent OnChange;

private:
    TCustomImageList* FSender = nullptr;
};

// A list of images of one size, each with a monochrome mask (white = transparent).
// Images are kept as 0x00RRGGBB pixels; drawing composes them straight onto the
// device context's surface, through its origin and clip.
class TCustomImageList : public TComponent {
    HOST_CLASS(TCustomImageList, TComponent)
public:
    explicit TCustomImageList(TComponent* AOwner);
    // A list of images of that size.
    TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);
    ~TCustomImageList() override;

    // Copies another image list: its size, images, masks, colours and styles
    // (AllocBy excepted). nullptr clears the list.
    void Assign(TPersistent* Source) override;

    int Count() const { return static_cast<int>(FImages.size()); }
    int Width() const { return FWidth; }
    // Changing the size drops every image, as the framework does.
    void SetWidth(int Value);
    int Height() const { return FHeight; }
    void SetHeight(int Value);
    void SetSize(int AWidth, int AHeight);
    int AllocBy() const { return FAllocBy; }
    void SetAllocBy(int Value);
    // The colour of masked pixels when drawing with CLR_DEFAULT (clNone: transparent).
    TColor BkColor() const { return FBkColor; }
    void SetBkColor(TColor Value);
    // The colour the focus and selected styles blend with (clNone: the destination).
    TColor BlendColor() const { return FBlendColor; }
    void SetBlendColor(TColor Value);
    TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
    void SetDrawingStyle(TDrawingStyle Value);
    TImageType ImageType() const { return FImageType; }
    void SetImageType(TImageType Value);
    // Without masks every pixel of an image is drawn.
    bool Masked() const { return FMasked; }
    void SetMasked(bool Value);
    bool ShareImages() const { return FShareImages; }
    void SetShareImages(bool Value);

    // Adds Image (and its mask: white is transparent; nullptr for none), split into
    // Image.Width / Width images (at least one); returns the index of the first.
    int Add(TBitmap* Image, TBitmap* Mask);
    // Adds Image with a mask where the pixels are MaskColor (clDefault: the colour of
    // its top-left pixel); those pixels become black in the image.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    // Adds an icon, scaled to the list's size when it is of another.
    int AddIcon(TIcon* Image);
    // Adds every image of another list; returns the index of the first.
    int AddImages(TCustomImageList* Value);
    // Inserts before Index (0..Count); EInvalidOperation for another index.
    void Insert(int Index, TBitmap* Image, TBitmap* Mask);
    void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
    void InsertIcon(int Index, TIcon* Image);
    // Replaces image Index with the first image of Image.
    void Replace(int Index, TBitmap* Image, TBitmap* Mask);
    void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
    void ReplaceIcon(int Index, TIcon* NewImage);
    // Deletes image Index; -1 deletes every image.
    void Delete(int Index);
    void Clear();
    void Move(int CurIndex, int NewIndex);

    // Sizes Image to the list and draws image Index on it with the list's style;
    // false (and no change) for a bad index or no bitmap.
    bool GetBitmap(int Index, TBitmap* Image);
    // Image Index as an icon (its mask as the icon's mask).
    bool GetIcon(int Index, TIcon* Image);
    // The stored pixels of image Index as a 32-bit bitmap, the mask not applied.
    bool GetImageBitmap(int Index, TBitmap* Image);
    // The mask of image Index as a monochrome bitmap (white = transparent).
    bool GetMaskBitmap(int Index, TBitmap* Mask);
    // Sets overlay slot Overlay (0..14) to image ImageIndex; false when either is out of range.
    bool Overlay(int ImageIndex, TOverlay Overlay);

    // Draws with the list's DrawingStyle and ImageType; disabled images are drawn in
    // the classic greyed look (the dark pixels in the button highlight colour offset
    // by one pixel, then in the button shadow colour).
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
    void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
              bool Enabled = true);
    void DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay, bool Enabled = true);
    // Draws image Index at (X, Y) of Dc, Width × Height of it from its top-left (0:
    // the whole width or height). Bk: CLR_NONE leaves masked pixels transparent,
    // CLR_DEFAULT uses BkColor, another colour fills them. Fg: the colour the blend
    // styles mix with; CLR_NONE mixes with the destination, CLR_DEFAULT with the
    // highlight colour. ILD_BLEND25 gives (3·image + blend) / 4, ILD_BLEND50
    // (image + blend) / 2 per channel. ILD_TRANSPARENT forces transparency,
    // ILD_IMAGE draws the image without its mask, ILD_MASK draws the mask (white as
    // the DC's background colour, black as its text colour), ILD_ROP blits the image
    // with Rop. Overlay bits draw the overlay image on top. False for a bad index or DC.
    bool DrawEx(int Index, HDC Dc, int X, int Y, int Width, int Height, COLORREF Bk, COLORREF Fg, UINT Style,
                DWORD Rop = SRCCOPY);

    // The framework's colour of a TColor for DrawEx: clNone gives CLR_NONE,
    // clDefault CLR_DEFAULT, others their RGB value.
    static COLORREF GetRGBColor(TColor Value);

    // Change links: every registered link is told of each change.
    void RegisterChanges(TChangeLink* Value);
    void UnRegisterChanges(TChangeLink* Value);
    // Changes between BeginUpdate and the matching EndUpdate are told once, at the end.
    void BeginUpdate();
    void EndUpdate();

    // The images in form files: the binary property "Bitmap" (see imglist.cpp for
    // its layout). Corrupt data raises EReadError and leaves the list as it was.
    void DefineProperties(TFiler* Filer) override;
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);

    TNotifyEvent OnChange;

protected:
    // Tells the links and OnChange (once EndUpdate has balanced every BeginUpdate).
    virtual void Change();
    virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);

    int FWidth = 16, FHeight = 16, FAllocBy = 4;
    TColor FBkColor;
    TColor FBlendColor;
    TDrawingStyle FDrawingStyle = dsNormal;
    TImageType FImageType = itImage;
    bool FMasked = true;
    bool FShareImages = false;

private:
    // One image: W*H pixels and W*H mask bytes (1 = transparent).
    struct TImageData {
        std::vector<uint32_t> Pixels;
        std::vector<uint8_t> Mask;
    };
    std::vector<TImageData> FImages;
    int FOverlays[15];
    std::vector<TChangeLink*> FClients;
    int FUpdateCount = 0;
    bool FChanged = false;

    void CheckIndex(int Index, bool AllowEnd = false) const;
    std::vector<TImageData> Split(TBitmap* Image, TBitmap* Mask, bool UseMaskColor, TColor MaskColor,
                                  bool FirstOnly) const;
    TImageData FromIcon(TIcon* Icon) const;
    void InsertImages(int Index, std::vector<TImageData>&& Images);
    void DrawDisabled(int Index, HDC Dc, int X, int Y);
    bool Equal(const TCustomImageList* Other) const;
};

// The published image list of forms.
class TImageList : public TCustomImageList {
    HOST_CLASS(TImageList, TCustomImageList)
public:
    explicit TImageList(TComponent* AOwner) : TCustomImageList(AOwner) {}
    TImageList(TComponent* AOwner, int AWidth, int AHeight) : TCustomImageList(AOwner, AWidth, AHeight) {}

private:
    HOST_PUBLISHED(prop("AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy).def(4),
                   prop("BkColor", &TImageList::BkColor, &TImageList::SetBkColor).def(clNone),
                   prop("BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor).def(clNone),
                   prop("DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle).def(dsNormal),
                   prop("Height", &TImageList::Height, &TImageList::SetHeight).def(16),
                   prop("ImageType", &TImageList::ImageType, &TImageList::SetImageType).def(itImage),
                   prop("Masked", &TImageList::Masked, &TImageList::SetMasked).def(true),
                   prop("ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages).def(false),
                   prop("Width", &TImageList::Width, &TImageList::SetWidth).def(16),
                   prop("OnChange", &TImageList::OnChange, &TImageList::OnChange))
};

}  // namespace host
