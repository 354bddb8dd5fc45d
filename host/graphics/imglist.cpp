// Image lists: TCustomImageList and TImageList, lists of equal-sized images with masks, drawn with blending and overlays, and their change links.
#include "host/graphics/imglist.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/streams.h"

namespace host {

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kMaxSide = 32768;

[[noreturn]] void IndexError(int Index) {
    throw EInvalidOperation("Invalid ImageList index " + std::to_string(Index));
}

[[noreturn]] void SizeError(const char* What) {
    throw EInvalidOperation(std::string("Invalid image size: ") + What + " is smaller than the image list");
}

BITMAPINFO Info32(int W, int H) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// The pixels of a bitmap as 0x00RRGGBB, top-down; false when it has none.
bool ReadPixels(TBitmap* Bmp, std::vector<uint32_t>& Out) {
    const int w = Bmp->Width(), h = Bmp->Height();
    if (w <= 0 || h <= 0) return false;
    HBITMAP hb = Bmp->Handle();
    if (hb == nullptr) return false;
    Out.assign(size_t(w) * size_t(h), 0);
    BITMAPINFO info = Info32(w, h);
    return GetDIBits(nullptr, hb, 0, UINT(h), Out.data(), &info, DIB_RGB_COLORS) == h;
}

// A new bitmap (32-bit, or monochrome) holding Pixels.
HBITMAP MakeBitmap(int W, int H, bool Mono, const uint32_t* Pixels) {
    HBITMAP b = CreateBitmap(W, H, 1, Mono ? 1 : 32, nullptr);
    if (b == nullptr) throw EOutOfResources("Out of system resources: cannot create an image bitmap");
    BITMAPINFO info = Info32(W, H);
    SetDIBits(nullptr, b, 0, UINT(H), Pixels, &info, DIB_RGB_COLORS);
    return b;
}

// A colour as a surface pixel.
uint32_t PixelOfRef(COLORREF C) { return gdi::ToPixel(C & 0xFFFFFF); }
uint32_t PixelOfColor(TColor C) { return PixelOfRef(COLORREF(ColorToRGB(C))); }

uint32_t Mix(uint32_t I, uint32_t B, int Blend) {
    auto ch = [&](int s) {
        const uint32_t i = (I >> s) & 0xFF, b = (B >> s) & 0xFF;
        return (Blend == 25 ? (3 * i + b) / 4 : (i + b) / 2) << s;
    };
    return ch(16) | ch(8) | ch(0);
}

// How one image is composed onto the destination.
struct TCompose {
    const uint32_t* Pixels = nullptr;  // the image, Stride pixels a row
    const uint8_t* Mask = nullptr;     // 1 = masked; nullptr: every pixel is the image's
    int Stride = 0;
    bool Transparent = true;  // masked pixels leave the destination
    uint32_t Bk = 0;          // else they take this colour
    int Blend = 0;            // 0, 25 or 50
    bool BlendDest = true;    // blend with the destination, else with Fg
    uint32_t Fg = 0;
    bool MaskOnly = false;    // draw the mask: masked pixels MaskWhite, others MaskBlack
    bool OverlayMask = false; // with MaskOnly: leave masked pixels alone
    uint32_t MaskWhite = 0, MaskBlack = 0;
};

// Composes W × H pixels of an image at logical (X, Y) of T, inside T.Clip only.
void Compose(const gdi::TTarget& T, int X, int Y, int W, int H, const TCompose& C) {
    gdi::TBitmapObj* s = T.Surface;
    const int64_t x0 = int64_t(X) + T.Dx, y0 = int64_t(Y) + T.Dy;
    const bool mono = s->Mono();
    for (const RECT& c : T.Clip.Rects()) {
        const int64_t l = std::max<int64_t>(c.left, x0), r = std::min<int64_t>(c.right, x0 + W);
        const int64_t t = std::max<int64_t>(c.top, y0), b = std::min<int64_t>(c.bottom, y0 + H);
        if (l >= r || t >= b) continue;
        for (int64_t y = t; y < b; ++y) {
            uint32_t* d = s->Row(int(y));
            const size_t iy = size_t(y - y0) * size_t(C.Stride);
            for (int64_t x = l; x < r; ++x) {
                const size_t i = iy + size_t(x - x0);
                const bool masked = C.Mask != nullptr && C.Mask[i] != 0;
                uint32_t out;
                if (C.MaskOnly) {
                    if (masked && C.OverlayMask) continue;
                    out = masked ? C.MaskWhite : C.MaskBlack;
                } else if (masked) {
                    if (C.Transparent) continue;
                    out = C.Bk;
                } else {
                    out = C.Pixels[i] & kWhite;
                    if (C.Blend != 0) out = Mix(out, C.BlendDest ? (d[x] & kWhite) : C.Fg, C.Blend);
                }
                d[x] = mono ? gdi::ColorToSurface(gdi::ToColorRef(out), s) : out;
            }
        }
    }
}

// Paints Color on the pixels of T at logical (X, Y) + (ix, iy) where Ink(ix, iy).
template <class F>
void PaintWhere(const gdi::TTarget& T, int X, int Y, int W, int H, uint32_t Color, F&& Ink) {
    gdi::TBitmapObj* s = T.Surface;
    const int64_t x0 = int64_t(X) + T.Dx, y0 = int64_t(Y) + T.Dy;
    const uint32_t pixel = s->Mono() ? gdi::ColorToSurface(gdi::ToColorRef(Color), s) : Color;
    for (const RECT& c : T.Clip.Rects()) {
        const int64_t l = std::max<int64_t>(c.left, x0), r = std::min<int64_t>(c.right, x0 + W);
        const int64_t t = std::max<int64_t>(c.top, y0), b = std::min<int64_t>(c.bottom, y0 + H);
        for (int64_t y = t; y < b; ++y) {
            uint32_t* d = s->Row(int(y));
            for (int64_t x = l; x < r; ++x)
                if (Ink(int(x - x0), int(y - y0))) d[x] = pixel;
        }
    }
}

// ---- the streamed form ----
// The binary property "Bitmap" holds, all numbers little-endian:
//   4 bytes  "RIL1"
//   int32    Width, Height (1..32768), Count (0 or more), Flags (0)
//   the image strip: Height rows of Count × Width pixels, 4 bytes each (0x00RRGGBB,
//            stored as B, G, R, 0); image i takes columns i × Width .. (i+1) × Width − 1
//   the mask strip: Height rows of (Count × Width + 7) / 8 bytes, one bit per pixel,
//            most significant bit first, 1 = transparent
constexpr char kMagic[4] = {'R', 'I', 'L', '1'};

void PutInt(std::string& Out, int32_t V) {
    const uint32_t u = uint32_t(V);
    for (int i = 0; i < 4; ++i) Out += char((u >> (8 * i)) & 0xFF);
}
int32_t GetInt(const uint8_t* P) {
    return int32_t(uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24));
}

}  // namespace

// ---- TChangeLink ----

TChangeLink::~TChangeLink() {
    if (FSender != nullptr) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
    if (FSender != nullptr) OnChange(FSender);
}

// ---- TCustomImageList ----

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner), FBkColor(clNone), FBlendColor(clNone) {
    std::fill(std::begin(FOverlays), std::end(FOverlays), -1);
}

TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight) : TCustomImageList(AOwner) {
    SetSize(AWidth, AHeight);
}

TCustomImageList::~TCustomImageList() {
    for (TChangeLink* link : FClients) link->SetSender(nullptr);
    FClients.clear();
}

void TCustomImageList::CheckIndex(int Index, bool AllowEnd) const {
    if (Index < 0 || Index > Count() || (Index == Count() && !AllowEnd)) IndexError(Index);
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
    if (AWidth < 1 || AHeight < 1 || AWidth > kMaxSide || AHeight > kMaxSide)
        throw EInvalidOperation("Invalid image list size " + std::to_string(AWidth) + "x" + std::to_string(AHeight));
    if (AWidth == FWidth && AHeight == FHeight) return;
    FWidth = AWidth;
    FHeight = AHeight;
    FImages.clear();
    std::fill(std::begin(FOverlays), std::end(FOverlays), -1);
    Change();
}

void TCustomImageList::SetWidth(int Value) { SetSize(Value, FHeight); }
void TCustomImageList::SetHeight(int Value) { SetSize(FWidth, Value); }

// How many images the list grows by; kept for form files, the storage grows as it needs.
void TCustomImageList::SetAllocBy(int Value) { FAllocBy = Value; }

void TCustomImageList::SetBkColor(TColor Value) {
    if (Value == FBkColor) return;
    FBkColor = Value;
    Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
    if (Value == FBlendColor) return;
    FBlendColor = Value;
    Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
    if (Value == FDrawingStyle) return;
    FDrawingStyle = Value;
    Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
    if (Value == FImageType) return;
    FImageType = Value;
    Change();
}

void TCustomImageList::SetMasked(bool Value) {
    if (Value == FMasked) return;
    FMasked = Value;
    Change();
}

void TCustomImageList::SetShareImages(bool Value) { FShareImages = Value; }

// Cuts Image into images of the list's size (only the first when FirstOnly). The mask
// comes from Mask (white is transparent; columns it does not cover are opaque), from
// the pixels of MaskColor (which turn black), or is empty.
std::vector<TCustomImageList::TImageData> TCustomImageList::Split(TBitmap* Image, TBitmap* Mask, bool UseMaskColor,
                                                                  TColor MaskColor, bool FirstOnly) const {
    std::vector<uint32_t> px, mpx;
    if (Image->Width() < FWidth || Image->Height() < FHeight) SizeError("the image");
    if (!ReadPixels(Image, px)) throw EInvalidOperation("Invalid image: the bitmap has no pixels");
    const int iw = Image->Width();
    int mw = 0;
    if (Mask != nullptr && !UseMaskColor && !Mask->Empty()) {
        if (Mask->Width() < FWidth || Mask->Height() < FHeight) SizeError("the mask");
        if (!ReadPixels(Mask, mpx)) throw EInvalidOperation("Invalid mask: the bitmap has no pixels");
        mw = Mask->Width();
    }
    uint32_t key = 0;
    if (UseMaskColor) key = MaskColor == clDefault ? (px[0] & kWhite) : PixelOfColor(MaskColor);

    const int n = FirstOnly ? 1 : iw / FWidth;
    std::vector<TImageData> out(static_cast<size_t>(n));
    const size_t area = size_t(FWidth) * size_t(FHeight);
    for (int k = 0; k < n; ++k) {
        TImageData& d = out[size_t(k)];
        d.Pixels.resize(area);
        d.Mask.assign(area, 0);
        for (int y = 0; y < FHeight; ++y) {
            for (int x = 0; x < FWidth; ++x) {
                const int sx = k * FWidth + x;
                const size_t o = size_t(y) * size_t(FWidth) + size_t(x);
                uint32_t p = px[size_t(y) * size_t(iw) + size_t(sx)] & kWhite;
                if (UseMaskColor) {
                    if (p == key) {
                        d.Mask[o] = 1;
                        p = 0;
                    }
                } else if (sx < mw) {
                    d.Mask[o] = (mpx[size_t(y) * size_t(mw) + size_t(sx)] & kWhite) == kWhite ? 1 : 0;
                }
                d.Pixels[o] = p;
            }
        }
    }
    return out;
}

// An icon's colour image and AND mask, scaled to the list's size by nearest sampling.
TCustomImageList::TImageData TCustomImageList::FromIcon(TIcon* Icon) const {
    ICONINFO ii;
    if (Icon == nullptr || Icon->Empty() || !GetIconInfo(Icon->Handle(), &ii))
        throw EInvalidOperation("Invalid image: the icon is empty");
    TBitmap mask, color;
    mask.SetHandle(ii.hbmMask);
    if (ii.hbmColor != nullptr) color.SetHandle(ii.hbmColor);
    std::vector<uint32_t> mpx, cpx;
    if (!ReadPixels(&mask, mpx)) throw EInvalidOperation("Invalid image: the icon has no mask");
    const int w = mask.Width();
    int h = mask.Height();
    const bool monoIcon = ii.hbmColor == nullptr;
    if (monoIcon) {
        // A monochrome icon keeps the AND mask over the XOR image in one bitmap.
        h /= 2;
        cpx.assign(mpx.begin() + ptrdiff_t(size_t(w) * size_t(h)), mpx.begin() + ptrdiff_t(size_t(w) * size_t(2 * h)));
    } else if (!ReadPixels(&color, cpx) || color.Width() != w || color.Height() < h) {
        throw EInvalidOperation("Invalid image: the icon's image and mask differ in size");
    }
    if (w <= 0 || h <= 0) throw EInvalidOperation("Invalid image: the icon is empty");
    TImageData d;
    const size_t area = size_t(FWidth) * size_t(FHeight);
    d.Pixels.resize(area);
    d.Mask.resize(area);
    for (int y = 0; y < FHeight; ++y) {
        const int sy = int(int64_t(y) * h / FHeight);
        for (int x = 0; x < FWidth; ++x) {
            const int sx = int(int64_t(x) * w / FWidth);
            const size_t s = size_t(sy) * size_t(w) + size_t(sx), o = size_t(y) * size_t(FWidth) + size_t(x);
            d.Mask[o] = (mpx[s] & kWhite) == kWhite ? 1 : 0;
            d.Pixels[o] = cpx[s] & kWhite;
        }
    }
    return d;
}

void TCustomImageList::InsertImages(int Index, std::vector<TImageData>&& Images) {
    FImages.insert(FImages.begin() + Index, std::make_move_iterator(Images.begin()),
                   std::make_move_iterator(Images.end()));
    Change();
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
    if (Image == nullptr) return -1;
    const int first = Count();
    InsertImages(first, Split(Image, Mask, false, clNone, false));
    return first;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (Image == nullptr) return -1;
    const int first = Count();
    InsertImages(first, Split(Image, nullptr, true, MaskColor, false));
    return first;
}

int TCustomImageList::AddIcon(TIcon* Image) {
    if (Image == nullptr) return -1;
    std::vector<TImageData> v;
    v.push_back(FromIcon(Image));
    const int first = Count();
    InsertImages(first, std::move(v));
    return first;
}

int TCustomImageList::AddImages(TCustomImageList* Value) {
    const int first = Count();
    if (Value == nullptr || Value->Count() == 0) return first;
    std::vector<TImageData> v;
    if (Value->FWidth == FWidth && Value->FHeight == FHeight) {
        v = Value->FImages;
    } else {
        for (int i = 0; i < Value->Count(); ++i) {
            TBitmap img, msk;
            Value->GetImageBitmap(i, &img);
            Value->GetMaskBitmap(i, &msk);
            auto part = Split(&img, &msk, false, clNone, true);
            v.push_back(std::move(part[0]));
        }
    }
    InsertImages(first, std::move(v));
    return first;
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
    CheckIndex(Index, true);
    if (Image == nullptr) return;
    InsertImages(Index, Split(Image, Mask, false, clNone, false));
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
    CheckIndex(Index, true);
    if (Image == nullptr) return;
    InsertImages(Index, Split(Image, nullptr, true, MaskColor, false));
}

void TCustomImageList::InsertIcon(int Index, TIcon* Image) {
    CheckIndex(Index, true);
    std::vector<TImageData> v;
    v.push_back(FromIcon(Image));
    InsertImages(Index, std::move(v));
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
    CheckIndex(Index);
    if (Image == nullptr) return;
    FImages[size_t(Index)] = std::move(Split(Image, Mask, false, clNone, true)[0]);
    Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
    CheckIndex(Index);
    if (NewImage == nullptr) return;
    FImages[size_t(Index)] = std::move(Split(NewImage, nullptr, true, MaskColor, true)[0]);
    Change();
}

void TCustomImageList::ReplaceIcon(int Index, TIcon* NewImage) {
    CheckIndex(Index);
    FImages[size_t(Index)] = FromIcon(NewImage);
    Change();
}

void TCustomImageList::Delete(int Index) {
    if (Index == -1) {
        Clear();
        return;
    }
    CheckIndex(Index);
    FImages.erase(FImages.begin() + Index);
    Change();
}

void TCustomImageList::Clear() {
    FImages.clear();
    std::fill(std::begin(FOverlays), std::end(FOverlays), -1);
    Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    if (CurIndex == NewIndex) return;
    TImageData d = std::move(FImages[size_t(CurIndex)]);
    FImages.erase(FImages.begin() + CurIndex);
    FImages.insert(FImages.begin() + NewIndex, std::move(d));
    Change();
}

bool TCustomImageList::Overlay(int ImageIndex, TOverlay Overlay) {
    if (ImageIndex < 0 || ImageIndex >= Count() || Overlay < 0 || Overlay >= 15) return false;
    FOverlays[Overlay] = ImageIndex;
    return true;
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
    if (Image == nullptr || Index < 0 || Index >= Count()) return false;
    Image->SetSize(FWidth, FHeight);
    Draw(Image->Canvas(), 0, 0, Index);
    return true;
}

bool TCustomImageList::GetImageBitmap(int Index, TBitmap* Image) {
    if (Image == nullptr || Index < 0 || Index >= Count()) return false;
    Image->SetHandle(MakeBitmap(FWidth, FHeight, false, FImages[size_t(Index)].Pixels.data()));
    return true;
}

bool TCustomImageList::GetMaskBitmap(int Index, TBitmap* Mask) {
    if (Mask == nullptr || Index < 0 || Index >= Count()) return false;
    const TImageData& d = FImages[size_t(Index)];
    std::vector<uint32_t> px(d.Mask.size());
    for (size_t i = 0; i < px.size(); ++i) px[i] = d.Mask[i] ? kWhite : 0;
    Mask->SetHandle(MakeBitmap(FWidth, FHeight, true, px.data()));
    return true;
}

bool TCustomImageList::GetIcon(int Index, TIcon* Image) {
    if (Image == nullptr || Index < 0 || Index >= Count()) return false;
    const TImageData& d = FImages[size_t(Index)];
    // The icon's XOR image is black where the mask is white, so that the masked
    // pixels leave the destination as it is.
    std::vector<uint32_t> color(d.Pixels.size()), mask(d.Mask.size());
    const bool useMask = FMasked;
    for (size_t i = 0; i < color.size(); ++i) {
        const bool m = useMask && d.Mask[i] != 0;
        mask[i] = m ? kWhite : 0;
        color[i] = m ? 0 : d.Pixels[i];
    }
    HBITMAP hc = MakeBitmap(FWidth, FHeight, false, color.data());
    HBITMAP hm = MakeBitmap(FWidth, FHeight, true, mask.data());
    ICONINFO ii;
    ii.fIcon = TRUE;
    ii.hbmColor = hc;
    ii.hbmMask = hm;
    HICON icon = CreateIconIndirect(&ii);
    DeleteObject(hc);
    DeleteObject(hm);
    if (icon == nullptr) throw EOutOfResources("Out of system resources: cannot create an icon");
    Image->SetHandle(icon);
    return true;
}

COLORREF TCustomImageList::GetRGBColor(TColor Value) {
    if (Value == clNone) return CLR_NONE;
    if (Value == clDefault) return CLR_DEFAULT;
    return COLORREF(ColorToRGB(Value)) & 0xFFFFFF;
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
    static constexpr UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    UINT style = kStyles[ADrawingStyle];
    if (AImageType == itMask) style |= ILD_MASK;
    DoDraw(Index, Canvas, X, Y, style, Enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay, bool Enabled) {
    if (Overlay < 0 || Overlay >= 15) return;
    static constexpr UINT kStyles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
    UINT style = kStyles[FDrawingStyle] | INDEXTOOVERLAYMASK(UINT(Overlay) + 1);
    if (FImageType == itMask) style |= ILD_MASK;
    DoDraw(ImageIndex, Canvas, X, Y, style, Enabled);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
    if (Canvas == nullptr || Index < 0 || Index >= Count()) return;
    HDC dc = Canvas->Handle();
    if (Enabled)
        DrawEx(Index, dc, X, Y, 0, 0, GetRGBColor(FBkColor), GetRGBColor(FBlendColor), Style);
    else
        DrawDisabled(Index, dc, X, Y);
}

// The classic disabled look: the image as it would be drawn on white, its pixels that
// are not white ("ink") painted in the button highlight colour one pixel down and to
// the right, then in the button shadow colour in place.
void TCustomImageList::DrawDisabled(int Index, HDC Dc, int X, int Y) {
    gdi::TTarget t;
    if (!gdi::MakeTarget(Dc, t) || t.Surface == nullptr) return;
    const TImageData& d = FImages[size_t(Index)];
    const bool bkTransparent = FBkColor == clNone;
    const bool bkInk = !bkTransparent && PixelOfColor(FBkColor) != kWhite;
    auto ink = [&](int x, int y) {
        const size_t i = size_t(y) * size_t(FWidth) + size_t(x);
        if (FMasked && d.Mask[i] != 0) return bkInk;
        return (d.Pixels[i] & kWhite) != kWhite;
    };
    PaintWhere(t, X + 1, Y + 1, FWidth, FHeight, PixelOfColor(clBtnHighlight), ink);
    PaintWhere(t, X, Y, FWidth, FHeight, PixelOfColor(clBtnShadow), ink);
}

bool TCustomImageList::DrawEx(int Index, HDC Dc, int X, int Y, int Width, int Height, COLORREF Bk, COLORREF Fg,
                              UINT Style, DWORD Rop) {
    gdi::TraceCall("ImageList_DrawEx", Index, static_cast<const void*>(Dc), X, Y, Width, Height, Bk, Fg, Style);
    if (Index < 0 || Index >= Count()) return false;
    const int w = Width <= 0 ? FWidth : std::min(Width, FWidth);
    const int h = Height <= 0 ? FHeight : std::min(Height, FHeight);
    const TImageData& d = FImages[size_t(Index)];

    if ((Style & ILD_ROP) != 0 && (Style & ILD_MASK) == 0) {
        // The image blitted with the raster operation, the mask not used.
        if (gdi::Find<gdi::TDCObj>(Dc) == nullptr) return false;
        HBITMAP bmp = MakeBitmap(FWidth, FHeight, false, d.Pixels.data());
        HDC mem = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(mem, bmp);
        BitBlt(Dc, X, Y, w, h, mem, 0, 0, Rop);
        SelectObject(mem, old);
        DeleteDC(mem);
        DeleteObject(bmp);
    } else {
        gdi::TTarget t;
        if (!gdi::MakeTarget(Dc, t) || t.Surface == nullptr) return false;
        TCompose c;
        c.Pixels = d.Pixels.data();
        c.Stride = FWidth;
        if (FMasked && (Style & ILD_IMAGE) == 0) c.Mask = d.Mask.data();
        if (Bk == CLR_DEFAULT) {
            c.Transparent = FBkColor == clNone;
            if (!c.Transparent) c.Bk = PixelOfColor(FBkColor);
        } else {
            c.Transparent = Bk == CLR_NONE;
            c.Bk = PixelOfRef(Bk);
        }
        if ((Style & ILD_TRANSPARENT) != 0) c.Transparent = true;
        c.Blend = (Style & ILD_BLEND50) != 0 ? 50 : (Style & ILD_BLEND25) != 0 ? 25 : 0;
        c.BlendDest = Fg == CLR_NONE;
        c.Fg = Fg == CLR_DEFAULT ? PixelOfRef(GetSysColor(COLOR_HIGHLIGHT)) : PixelOfRef(Fg);
        if ((Style & ILD_MASK) != 0) {
            c.MaskOnly = true;
            c.Mask = FMasked ? d.Mask.data() : nullptr;
            c.MaskWhite = PixelOfRef(t.DC->A.BkColor);
            c.MaskBlack = PixelOfRef(t.DC->A.TextColor);
        }
        Compose(t, X, Y, w, h, c);
    }

    // The overlay image goes on top, always through its mask.
    const UINT ov = (Style & ILD_OVERLAYMASK) >> 8;
    if (ov >= 1 && ov <= 15) {
        const int oi = FOverlays[ov - 1];
        if (oi >= 0 && oi < Count()) {
            gdi::TTarget t;
            if (gdi::MakeTarget(Dc, t) && t.Surface != nullptr) {
                const TImageData& o = FImages[size_t(oi)];
                TCompose c;
                c.Pixels = o.Pixels.data();
                c.Stride = FWidth;
                c.Mask = FMasked ? o.Mask.data() : nullptr;
                c.Transparent = true;
                c.Blend = (Style & ILD_BLEND50) != 0 ? 50 : (Style & ILD_BLEND25) != 0 ? 25 : 0;
                c.BlendDest = Fg == CLR_NONE;
                c.Fg = Fg == CLR_DEFAULT ? PixelOfRef(GetSysColor(COLOR_HIGHLIGHT)) : PixelOfRef(Fg);
                if ((Style & ILD_MASK) != 0) {
                    c.MaskOnly = true;
                    c.OverlayMask = true;
                    c.MaskWhite = PixelOfRef(t.DC->A.BkColor);
                    c.MaskBlack = PixelOfRef(t.DC->A.TextColor);
                }
                Compose(t, X, Y, w, h, c);
            }
        }
    }
    return true;
}

// ---- change notification ----

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
    if (Value == nullptr) return;
    if (Value->Sender() != nullptr && Value->Sender() != this) Value->Sender()->UnRegisterChanges(Value);
    Value->SetSender(this);
    if (std::find(FClients.begin(), FClients.end(), Value) == FClients.end()) FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
    auto it = std::find(FClients.begin(), FClients.end(), Value);
    if (it == FClients.end()) return;
    FClients.erase(it);
    Value->SetSender(nullptr);
}

void TCustomImageList::BeginUpdate() { ++FUpdateCount; }

void TCustomImageList::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    if (FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::Change() {
    if (FUpdateCount > 0) {
        FChanged = true;
        return;
    }
    FChanged = false;
    // A handler may unregister links (its own or others): tell only those still registered.
    const std::vector<TChangeLink*> clients = FClients;
    for (TChangeLink* link : clients)
        if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
    OnChange(this);
}

// ---- assignment and streaming ----

void TCustomImageList::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (Source == nullptr) {
        Clear();
        return;
    }
    auto* src = dynamic_cast<TCustomImageList*>(Source);
    if (src == nullptr) {
        TComponent::Assign(Source);
        return;
    }
    BeginUpdate();
    FImages.clear();
    FMasked = src->FMasked;
    FImageType = src->FImageType;
    FDrawingStyle = src->FDrawingStyle;
    FShareImages = src->FShareImages;
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    FBkColor = src->FBkColor;
    FBlendColor = src->FBlendColor;
    FImages = src->FImages;
    std::fill(std::begin(FOverlays), std::end(FOverlays), -1);
    FChanged = true;
    EndUpdate();
}

bool TCustomImageList::Equal(const TCustomImageList* Other) const {
    if (Other == nullptr || Other->FWidth != FWidth || Other->FHeight != FHeight || Other->Count() != Count())
        return false;
    for (size_t i = 0; i < FImages.size(); ++i)
        if (FImages[i].Pixels != Other->FImages[i].Pixels || FImages[i].Mask != Other->FImages[i].Mask) return false;
    return true;
}

void TCustomImageList::DefineProperties(TFiler* Filer) {
    TComponent::DefineProperties(Filer);
    bool write = Count() > 0;
    if (Filer->Ancestor() != nullptr) {
        auto* anc = dynamic_cast<TCustomImageList*>(Filer->Ancestor());
        write = anc == nullptr || !Equal(anc);
    }
    Filer->DefineBinaryProperty("Bitmap", TStreamProc(this, &TCustomImageList::ReadData),
                                TStreamProc(this, &TCustomImageList::WriteData), write);
}

void TCustomImageList::WriteData(TStream* Stream) {
    const int n = Count();
    const size_t stripW = size_t(n) * size_t(FWidth);
    std::string out;
    out.reserve(20 + stripW * size_t(FHeight) * 4 + ((stripW + 7) / 8) * size_t(FHeight));
    out.append(kMagic, 4);
    PutInt(out, FWidth);
    PutInt(out, FHeight);
    PutInt(out, n);
    PutInt(out, 0);
    for (int y = 0; y < FHeight; ++y)
        for (int i = 0; i < n; ++i) {
            const uint32_t* row = FImages[size_t(i)].Pixels.data() + size_t(y) * size_t(FWidth);
            for (int x = 0; x < FWidth; ++x) PutInt(out, int32_t(row[x] & kWhite));
        }
    const size_t maskRow = (stripW + 7) / 8;
    std::string mask(maskRow * size_t(FHeight), '\0');
    for (int y = 0; y < FHeight; ++y)
        for (int i = 0; i < n; ++i) {
            const uint8_t* row = FImages[size_t(i)].Mask.data() + size_t(y) * size_t(FWidth);
            for (int x = 0; x < FWidth; ++x) {
                if (row[x] == 0) continue;
                const size_t bit = size_t(i) * size_t(FWidth) + size_t(x);
                mask[size_t(y) * maskRow + bit / 8] = char(uint8_t(mask[size_t(y) * maskRow + bit / 8]) | (0x80u >> (bit % 8)));
            }
        }
    out += mask;
    Stream->WriteBuffer(out.data(), int64_t(out.size()));
}

void TCustomImageList::ReadData(TStream* Stream) {
    auto fail = [](const std::string& what) -> void { throw EReadError("Invalid image list data: " + what); };
    const int64_t avail = Stream->Size() - Stream->Position();
    if (avail < 20) fail("the header is truncated");
    uint8_t head[20];
    Stream->ReadBuffer(head, 20);
    if (std::memcmp(head, kMagic, 4) != 0) fail("the signature is not RIL1");
    const int32_t w = GetInt(head + 4), h = GetInt(head + 8), n = GetInt(head + 12), flags = GetInt(head + 16);
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide) fail("the image size is out of range");
    if (n < 0) fail("the image count is negative");
    if (flags != 0) fail("unknown flags");
    const int64_t stripW = int64_t(n) * w;
    const int64_t maskRow = (stripW + 7) / 8;
    // Checked against the bytes present before anything is allocated.
    if (stripW > (int64_t(1) << 40) / h) fail("the image strip is too large");
    const int64_t need = stripW * h * 4 + maskRow * h;
    if (need > avail - 20) fail("the data is truncated");

    std::vector<uint8_t> bytes(static_cast<size_t>(need));
    if (need > 0) Stream->ReadBuffer(bytes.data(), need);
    std::vector<TImageData> images(static_cast<size_t>(n));
    const size_t area = size_t(w) * size_t(h);
    for (auto& d : images) {
        d.Pixels.resize(area);
        d.Mask.resize(area);
    }
    const uint8_t* px = bytes.data();
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < n; ++i)
            for (int x = 0; x < w; ++x, px += 4)
                images[size_t(i)].Pixels[size_t(y) * size_t(w) + size_t(x)] = uint32_t(GetInt(px)) & kWhite;
    const uint8_t* mk = bytes.data() + size_t(stripW * h * 4);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < n; ++i)
            for (int x = 0; x < w; ++x) {
                const size_t bit = size_t(i) * size_t(w) + size_t(x);
                images[size_t(i)].Mask[size_t(y) * size_t(w) + size_t(x)] =
                    (mk[size_t(y) * size_t(maskRow) + bit / 8] >> (7 - bit % 8)) & 1;
            }
    // Everything was read and checked: only now does the list change.
    FWidth = w;
    FHeight = h;
    FImages = std::move(images);
    std::fill(std::begin(FOverlays), std::end(FOverlays), -1);
    Change();
}

}  // namespace host
