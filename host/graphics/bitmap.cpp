// TGraphic and TBitmap: bitmaps with their canvas, formats, transparency, masks and BMP/PNG files.
#include <algorithm>
#include <cstring>

#include "host/gdi/dibcodec.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/imagefile.h"
#include "host/graphics/graphics.h"
#include "host/graphics/graphics_internal.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/resources.h"
#include "host/rtl/streams.h"

namespace host {

namespace graphics_detail {

gdi::TBitmapObj* BitmapPixels(HBITMAP Bmp) {
    gdi::TBitmapObj* o = gdi::Find<gdi::TBitmapObj>(Bmp);
    if (o != nullptr) gdi::SyncFromDib(o);
    return o;
}

void PixelsWritten(gdi::TBitmapObj* Bmp) {
    if (Bmp != nullptr && Bmp->DibBitCount != 0) Bmp->SurfaceNewer = true;
}

std::string ReadRest(TStream* Stream) {
    const int64_t n = Stream->Size() - Stream->Position();
    std::string bytes;
    if (n <= 0) return bytes;
    bytes.resize(size_t(n));
    Stream->ReadBuffer(bytes.data(), n);
    return bytes;
}

}  // namespace graphics_detail

using graphics_detail::BitmapPixels;
using graphics_detail::ColorRef;
using graphics_detail::PixelsWritten;
using graphics_detail::ReadRest;

namespace {


HBITMAP NewBitmap(int W, int H, bool Mono) {
    HBITMAP h = CreateBitmap(W, H, 1, Mono ? 1 : 32, nullptr);
    if (h == nullptr) throw EOutOfResources("Out of system resources: cannot make a bitmap of " + std::to_string(W) +
                                            " x " + std::to_string(H) + " pixels");
    return h;
}

// An owned memory DC with a bitmap selected, for blits from bitmaps that have no canvas.
class TTempDC {
public:
    explicit TTempDC(HBITMAP Bmp) : FDC(CreateCompatibleDC(nullptr)) { FOld = SelectObject(FDC, Bmp); }
    ~TTempDC() {
        SelectObject(FDC, FOld);
        DeleteDC(FDC);
    }
    TTempDC(const TTempDC&) = delete;
    TTempDC& operator=(const TTempDC&) = delete;
    HDC DC() const { return FDC; }

private:
    HDC FDC;
    HGDIOBJ FOld = nullptr;
};

TPixelFormat FormatOfDepth(int Bits) {
    switch (Bits) {
        case 1: return pf1bit;
        case 4: return pf4bit;
        case 8: return pf8bit;
        case 16: return pf15bit;
        case 24: return pf24bit;
        case 32: return pf32bit;
        default: return pfCustom;
    }
}

}  // namespace

// The canvas of a bitmap: a memory DC made when drawing starts, with the bitmap selected.
class TBitmapCanvas : public TCanvas {
    HOST_CLASS(TBitmapCanvas, TCanvas)
public:
    explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
    ~TBitmapCanvas() override { FreeContext(); }

    // Gives the bitmap back and deletes the DC; the next drawing call makes a new one.
    void FreeContext() {
        HDC dc = HandleAllocated() ? TCanvas::FHandle : nullptr;
        if (dc == nullptr) return;
        SetHandle(nullptr);
        if (FOldBitmap != nullptr) SelectObject(dc, FOldBitmap);
        if (FOldPalette != nullptr) SelectPalette(dc, FOldPalette, TRUE);
        FOldBitmap = nullptr;
        FOldPalette = nullptr;
        DeleteDC(dc);
    }

protected:
    void CreateHandle() override {
        FBitmap->HandleNeeded();
        HDC dc = CreateCompatibleDC(nullptr);
        if (dc == nullptr) return;
        if (FBitmap->FHandle != nullptr) FOldBitmap = SelectObject(dc, FBitmap->FHandle);
        if (FBitmap->FPalette != nullptr) {
            FOldPalette = SelectPalette(dc, FBitmap->FPalette, TRUE);
            RealizePalette(dc);
        }
        SetHandle(dc);
    }

private:
    TBitmap* FBitmap;
    HGDIOBJ FOldBitmap = nullptr;
    HPALETTE FOldPalette = nullptr;
};

// ---- TGraphic ----

void TGraphic::SetModified(bool Value) {
    if (Value) Changed(this);
    else FModified = false;
}

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed(this);
}

void TGraphic::Changed(TObject*) {
    FModified = true;
    OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    TFileStream s(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&s);
}

void TGraphic::SaveToFile(const std::string& FileName) {
    TFileStream s(FileName, fmCreate);
    SaveToStream(&s);
}

bool TGraphic::Equals(TGraphic* Graphic) {
    if (Graphic == nullptr || Graphic->ClassType() != ClassType()) return false;
    if (Empty() || Graphic->Empty()) return Empty() && Graphic->Empty();
    TMemoryStream a, b;
    WriteData(&a);
    Graphic->WriteData(&b);
    return a.Size() == b.Size() && std::memcmp(a.Memory(), b.Memory(), size_t(a.Size())) == 0;
}

void TGraphic::ReadData(TStream* Stream) { LoadFromStream(Stream); }
void TGraphic::WriteData(TStream* Stream) { SaveToStream(Stream); }

void TGraphic::DefineProperties(TFiler* Filer) {
    bool write;
    if (Filer->Ancestor() != nullptr) {
        write = true;
        if (Filer->Ancestor()->Is<TGraphic>()) write = !Equals(static_cast<TGraphic*>(Filer->Ancestor()));
    } else {
        write = !Empty();
    }
    Filer->DefineBinaryProperty("Data", TStreamProc(this, &TGraphic::ReadDataProc),
                                TStreamProc(this, &TGraphic::WriteDataProc), write);
}

// ---- TBitmap: life and handles ----

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int AWidth, int AHeight) { SetSize(AWidth, AHeight); }

TBitmap::~TBitmap() {
    FCanvas.reset();
    if (FHandle != nullptr) DeleteGraphicsHandle(FHandle);
    if (FMaskHandle != nullptr) DeleteGraphicsHandle(FMaskHandle);
    if (FPalette != nullptr) DeleteGraphicsHandle(FPalette);
}

void TBitmap::FreeContext() {
    if (FCanvas) static_cast<TBitmapCanvas*>(FCanvas.get())->FreeContext();
}

void TBitmap::DropMask() { FMaskValid = false; }

void TBitmap::Changed(TObject* Sender) {
    DropMask();
    TGraphic::Changed(Sender);
}

void TBitmap::HandleNeeded() {
    if (FHandle != nullptr || !FDormant) return;
    HBITMAP h = NewBitmap(FWidth, FHeight, FMonochrome);
    gdi::TBitmapObj* o = BitmapPixels(h);
    if (o != nullptr && FDormantPixels.size() == o->Pixels.size()) o->Pixels = std::move(FDormantPixels);
    FDormantPixels.clear();
    FDormant = false;
    FHandle = h;
}

// Installs NewHandle (owned) as the image, freeing the old one and the DC that holds it.
void TBitmap::ReplaceHandle(HBITMAP NewHandle, int W, int H, bool Mono) {
    FreeContext();
    if (FHandle != nullptr && FHandle != NewHandle) DeleteGraphicsHandle(FHandle);
    FHandle = NewHandle;
    FWidth = W;
    FHeight = H;
    FMonochrome = Mono;
    FDormant = false;
    FDormantPixels.clear();
    DropMask();
}

// Makes a W x H image of the given format holding what fits of the current one.
// New pixels take the canvas's brush colour (white without a canvas); colour to
// monochrome makes the pixels of that colour white and all others black.
void TBitmap::Rebuild(int W, int H, bool Mono) {
    if (W < 0 || H < 0)
        throw EInvalidGraphic("Invalid bitmap size " + std::to_string(W) + " x " + std::to_string(H));
    if (W == 0 || H == 0) {
        ReplaceHandle(nullptr, W, H, Mono);
        return;
    }
    HBITMAP nh = NewBitmap(W, H, Mono);
    gdi::TBitmapObj* n = BitmapPixels(nh);
    const COLORREF back = FCanvas ? ColorRef(FCanvas->Brush()->Color()) : 0xFFFFFFu;
    std::fill(n->Pixels.begin(), n->Pixels.end(), gdi::ColorToSurface(back, n));

    HandleNeeded();
    if (const gdi::TBitmapObj* o = BitmapPixels(FHandle)) {
        const int cw = std::min(W, o->Width), ch = std::min(H, o->Height);
        const bool toMono = Mono && !o->Mono();
        const uint32_t key = gdi::ToPixel(back);
        for (int y = 0; y < ch; ++y) {
            const uint32_t* src = o->Row(y);
            uint32_t* dst = n->Row(y);
            if (toMono) {
                for (int x = 0; x < cw; ++x) dst[x] = (src[x] & 0x00FFFFFFu) == key ? 0xFFFFFFu : 0u;
            } else {
                std::memcpy(dst, src, size_t(cw) * sizeof(uint32_t));
            }
        }
    }
    ReplaceHandle(nh, W, H, Mono);
}

HBITMAP TBitmap::Handle() {
    HandleNeeded();
    return FHandle;
}

void TBitmap::SetHandle(HBITMAP Value) {
    if (Value == FHandle) return;
    if (Value == nullptr) {
        ReplaceHandle(nullptr, 0, 0, false);
        FPixelFormat = pfDevice;
        FHandleType = bmDDB;
        Changed(this);
        return;
    }
    const gdi::TBitmapObj* o = gdi::Find<gdi::TBitmapObj>(Value);
    if (o == nullptr) throw EInvalidGraphic("Invalid bitmap handle");
    ReplaceHandle(Value, o->Width, o->Height, o->Mono());
    FColorTable.clear();
    if (o->DibBitCount != 0) {
        FHandleType = bmDIB;
        FPixelFormat = FormatOfDepth(o->DibBitCount);
    } else {
        FHandleType = bmDDB;
        FPixelFormat = pfDevice;
    }
    Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
    HandleNeeded();
    FreeContext();
    HBITMAP h = FHandle;
    FHandle = nullptr;
    ReplaceHandle(nullptr, 0, 0, false);
    return h;
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
    // Both kinds hold the same pixels here; the property reports what was asked for.
    if (Value == FHandleType) return;
    FHandleType = Value;
    Changed(this);
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TBitmapCanvas>(this);
        FCanvas->OnChange = TNotifyEvent(this, &TBitmap::Changed);
        FCanvas->OnChanging = TNotifyEvent([this](TObject*) {
            HandleNeeded();
            DropMask();
        });
    }
    return FCanvas.get();
}

bool TBitmap::Empty() const { return FHandle == nullptr && !FDormant; }

void TBitmap::SetWidth(int Value) {
    if (Value == FWidth) return;
    SetSize(Value, FHeight);
}

void TBitmap::SetHeight(int Value) {
    if (Value == FHeight) return;
    SetSize(FWidth, Value);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight && (FHandle != nullptr || FDormant || AWidth == 0 || AHeight == 0))
        return;
    Rebuild(AWidth, AHeight, Monochrome());
    Changed(this);
}

bool TBitmap::Monochrome() const {
    if (const gdi::TBitmapObj* o = gdi::Find<gdi::TBitmapObj>(FHandle)) return o->Mono();
    return FMonochrome;
}

void TBitmap::SetMonochrome(bool Value) {
    if (Value == Monochrome()) return;
    Rebuild(FWidth, FHeight, Value);
    FPixelFormat = pfDevice;
    FHandleType = bmDDB;
    Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == FPixelFormat) return;
    const bool mono = Value == pf1bit;
    if (mono != Monochrome()) Rebuild(FWidth, FHeight, mono);
    FPixelFormat = Value;
    FHandleType = Value == pfDevice ? bmDDB : bmDIB;
    FColorTable.clear();
    Changed(this);
}

void* TBitmap::ScanLine(int Row) {
    HandleNeeded();
    gdi::TBitmapObj* o = BitmapPixels(FHandle);
    if (o == nullptr || Row < 0 || Row >= o->Height) throw EInvalidGraphicOperation("Scan line index out of range");
    PixelsWritten(o);
    DropMask();
    return o->Row(Row);
}

void TBitmap::Dormant() {
    if (FHandle == nullptr) return;
    const gdi::TBitmapObj* o = BitmapPixels(FHandle);
    if (o == nullptr) return;
    std::vector<uint32_t> pixels = o->Pixels;
    const int w = o->Width, h = o->Height;
    const bool mono = o->Mono();
    FreeContext();
    DeleteGraphicsHandle(FHandle);
    FHandle = nullptr;
    FWidth = w;
    FHeight = h;
    FMonochrome = mono;
    FDormantPixels = std::move(pixels);
    FDormant = true;
    if (FMaskHandle != nullptr) {
        DeleteGraphicsHandle(FMaskHandle);
        FMaskHandle = nullptr;
    }
    DropMask();
}

void TBitmap::FreeImage() {
    // The memory copy of a dormant bitmap is its only image: make the bitmap again.
    HandleNeeded();
}

// ---- transparency and masks ----

TColor TBitmap::TransparentColor() {
    if (FTransparentColor != clDefault) return static_cast<TColor>(ColorToRGB(FTransparentColor));
    if (Monochrome()) return clWhite;
    HandleNeeded();
    const gdi::TBitmapObj* o = BitmapPixels(FHandle);
    if (o == nullptr || o->Height == 0 || o->Width == 0) return clDefault;
    return static_cast<TColor>(gdi::ToColorRef(o->Row(o->Height - 1)[0] & 0x00FFFFFFu));
}

void TBitmap::SetTransparentColor(TColor Value) {
    if (Value == FTransparentColor) return;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    FTransparentColor = Value;
    Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode) return;
    if (Value == tmAuto) SetTransparentColor(clDefault);
    else SetTransparentColor(TransparentColor());
}

namespace {
// A monochrome bitmap of Src's size: white where Src has the colour Key, black elsewhere.
HBITMAP MakeMask(const gdi::TBitmapObj* Src, COLORREF Key) {
    HBITMAP m = NewBitmap(Src->Width, Src->Height, true);
    gdi::TBitmapObj* mo = BitmapPixels(m);
    const uint32_t key = gdi::ColorToSurface(Key, Src);
    const size_t n = Src->Pixels.size();
    for (size_t i = 0; i < n; ++i) mo->Pixels[i] = (Src->Pixels[i] & 0x00FFFFFFu) == key ? 0xFFFFFFu : 0u;
    return m;
}
}  // namespace

HBITMAP TBitmap::MaskHandle() {
    if (FMaskValid && FMaskHandle != nullptr) return FMaskHandle;
    HandleNeeded();
    const gdi::TBitmapObj* o = BitmapPixels(FHandle);
    if (o == nullptr) return FMaskHandle;
    HBITMAP m = MakeMask(o, ColorRef(TransparentColor()));
    if (FMaskHandle != nullptr) DeleteGraphicsHandle(FMaskHandle);
    FMaskHandle = m;
    FMaskValid = true;
    return FMaskHandle;
}

void TBitmap::SetMaskHandle(HBITMAP Value) {
    if (Value == FMaskHandle) return;
    if (FMaskHandle != nullptr) DeleteGraphicsHandle(FMaskHandle);
    FMaskHandle = Value;
    FMaskValid = Value != nullptr;
}

HBITMAP TBitmap::ReleaseMaskHandle() {
    HBITMAP h = MaskHandle();
    FMaskHandle = nullptr;
    FMaskValid = false;
    return h;
}

void TBitmap::Mask(TColor TransparentColor) {
    HandleNeeded();
    const gdi::TBitmapObj* o = BitmapPixels(FHandle);
    if (o == nullptr) return;
    HBITMAP m = MakeMask(o, ColorRef(TransparentColor));
    ReplaceHandle(m, FWidth, FHeight, true);
    FPixelFormat = pfDevice;
    FHandleType = bmDDB;
    Changed(this);
}

void TBitmap::SetPalette(HPALETTE Value) {
    if (Value == FPalette) return;
    FreeContext();
    if (FPalette != nullptr) DeleteGraphicsHandle(FPalette);
    FPalette = Value;
    Changed(this);
}

HPALETTE TBitmap::ReleasePalette() {
    FreeContext();
    HPALETTE p = FPalette;
    FPalette = nullptr;
    return p;
}

// ---- copying and drawing ----

void TBitmap::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        SetHandle(nullptr);
        return;
    }
    if (Source->Is<TBitmap>()) {
        auto* src = static_cast<TBitmap*>(Source);
        if (src == this) return;
        src->HandleNeeded();
        HBITMAP nh = nullptr;
        if (const gdi::TBitmapObj* o = BitmapPixels(src->FHandle)) {
            nh = NewBitmap(o->Width, o->Height, o->Mono());
            BitmapPixels(nh)->Pixels = o->Pixels;
        }
        ReplaceHandle(nh, src->FWidth, src->FHeight, src->Monochrome());
        FPixelFormat = src->FPixelFormat;
        FHandleType = src->FHandleType;
        FTransparentColor = src->FTransparentColor;
        FTransparentMode = src->FTransparentMode;
        FColorTable = src->FColorTable;
        TGraphic::SetTransparent(src->Transparent());
        HPALETTE pal = nullptr;
        if (src->FPalette != nullptr) {
            const UINT n = GetPaletteEntries(src->FPalette, 0, 0, nullptr);
            if (n > 0) {
                std::vector<uint8_t> buf(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
                auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
                lp->palVersion = 0x300;
                lp->palNumEntries = WORD(n);
                GetPaletteEntries(src->FPalette, 0, n, lp->palPalEntry);
                pal = CreatePalette(lp);
            }
        }
        if (FPalette != nullptr) DeleteGraphicsHandle(FPalette);
        FPalette = pal;
        Changed(this);
        return;
    }
    if (Source->Is<TGraphic>()) {
        auto* g = static_cast<TGraphic*>(Source);
        ReplaceHandle(nullptr, 0, 0, false);
        FPixelFormat = pfDevice;
        FHandleType = bmDDB;
        if (!g->Empty()) {
            Rebuild(g->Width(), g->Height(), false);
            Canvas()->Draw(0, 0, g);
        }
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (ACanvas == nullptr || Empty()) return;
    ACanvas->RequiredState(csAllValid);
    HDC dst = ACanvas->FHandle;
    TCanvas* own = Canvas();
    own->RequiredState({csHandleValid});
    HDC src = own->FHandle;
    const int w = Rect.right - Rect.left, h = Rect.bottom - Rect.top;
    if (!Transparent()) {
        StretchBlt(dst, Rect.left, Rect.top, w, h, src, 0, 0, FWidth, FHeight, ACanvas->CopyMode());
        return;
    }
    // Through the mask: the destination keeps the pixels of the transparent colour.
    HBITMAP mask = MaskHandle();
    const gdi::TBitmapObj* o = BitmapPixels(FHandle);
    const gdi::TBitmapObj* mo = BitmapPixels(mask);
    if (o == nullptr || mo == nullptr) return;
    HBITMAP cut = NewBitmap(FWidth, FHeight, o->Mono());
    {
        // The image with its transparent pixels black, ready to be ORed in.
        gdi::TBitmapObj* co = BitmapPixels(cut);
        for (size_t i = 0; i < co->Pixels.size(); ++i) co->Pixels[i] = mo->Pixels[i] ? 0u : o->Pixels[i];
    }
    {
        TTempDC maskDC(mask), cutDC(cut);
        const COLORREF text = SetTextColor(dst, 0x000000), back = SetBkColor(dst, 0xFFFFFF);
        StretchBlt(dst, Rect.left, Rect.top, w, h, maskDC.DC(), 0, 0, FWidth, FHeight, SRCAND);
        StretchBlt(dst, Rect.left, Rect.top, w, h, cutDC.DC(), 0, 0, FWidth, FHeight, SRCPAINT);
        SetTextColor(dst, text);
        SetBkColor(dst, back);
    }
    DeleteObject(cut);
}

// ---- files and streams ----

void TBitmap::LoadFromBytes(const std::string& Bytes) {
    if (Bytes.empty()) {
        SetHandle(nullptr);
        return;
    }
    TPixelImage img = ReadImageAuto(Bytes);
    if (img.Width <= 0 || img.Height <= 0 || img.Pixels.size() != size_t(img.Width) * size_t(img.Height))
        throw EInvalidGraphic("Bitmap image is not valid");
    bool mono = img.BitsPerPixel == 1;
    if (mono)
        for (uint32_t p : img.Pixels)
            if ((p & 0x00FFFFFFu) != 0 && (p & 0x00FFFFFFu) != 0x00FFFFFFu) {
                mono = false;
                break;
            }
    HBITMAP nh = NewBitmap(img.Width, img.Height, mono);
    gdi::TBitmapObj* n = BitmapPixels(nh);
    for (size_t i = 0; i < img.Pixels.size(); ++i) n->Pixels[i] = img.Pixels[i] & 0x00FFFFFFu;
    ReplaceHandle(nh, img.Width, img.Height, mono);
    FPixelFormat = FormatOfDepth(img.BitsPerPixel);
    FHandleType = bmDIB;
    FColorTable = img.BitsPerPixel <= 8 ? img.Palette : std::vector<RGBQUAD>();
    Changed(this);
}

void TBitmap::LoadFromStream(TStream* Stream) { LoadFromBytes(ReadRest(Stream)); }

void TBitmap::SaveToStream(TStream* Stream) {
    if (Empty()) return;
    HandleNeeded();
    const gdi::TBitmapObj* o = BitmapPixels(FHandle);
    if (o == nullptr) return;
    TPixelImage img;
    img.Width = o->Width;
    img.Height = o->Height;
    img.HasAlpha = false;
    img.Pixels.resize(o->Pixels.size());
    for (size_t i = 0; i < o->Pixels.size(); ++i) img.Pixels[i] = 0xFF000000u | (o->Pixels[i] & 0x00FFFFFFu);
    int bits;
    switch (FPixelFormat) {
        case pf1bit: bits = 1; break;
        case pf4bit: bits = 4; break;
        case pf8bit: bits = 8; break;
        case pf15bit:
        case pf16bit: bits = 16; break;
        case pf24bit: bits = 24; break;
        default: bits = o->Mono() ? 1 : 32; break;
    }
    if (o->Mono() && bits != 1) bits = 1;
    if (bits == 1 && o->Mono()) {
        RGBQUAD black, white;
        white.rgbBlue = white.rgbGreen = white.rgbRed = 0xFF;
        img.Palette = {black, white};
    } else if (bits <= 8) {
        img.Palette = FColorTable;
    }
    img.BitsPerPixel = bits;
    const std::string bytes = WriteBmp(img, bits);
    Stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

void TBitmap::ReadData(TStream* Stream) {
    int32_t size = 0;
    Stream->ReadBuffer(&size, 4);
    if (size < 0 || size > Stream->Size() - Stream->Position()) throw EInvalidGraphic("Bitmap image is not valid");
    std::string bytes(size_t(size), '\0');
    if (size > 0) Stream->ReadBuffer(bytes.data(), size);
    LoadFromBytes(bytes);
}

void TBitmap::WriteData(TStream* Stream) {
    TMemoryStream m;
    SaveToStream(&m);
    const int32_t size = static_cast<int32_t>(m.Size());
    Stream->WriteBuffer(&size, 4);
    if (size > 0) Stream->WriteBuffer(m.Memory(), size);
}

void TBitmap::LoadFromResourceName(uintptr_t Instance, const std::string& ResName) {
    TResourceBlob blob;
    if (!FindResourceBlob(Instance, ResourceId(RT_BITMAP), ResName, blob))
        throw EResNotFound("Resource " + ResName + " not found");
    // A bitmap resource is a DIB: put a file header in front of it.
    size_t headerBytes = 0;
    gdi::ParseDibHeader(blob.Data, blob.Size, headerBytes);
    BITMAPFILEHEADER fh;
    fh.bfSize = DWORD(sizeof fh + blob.Size);
    fh.bfOffBits = DWORD(sizeof fh + headerBytes);
    std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<const char*>(blob.Data), blob.Size);
    LoadFromBytes(bytes);
}

void TBitmap::LoadFromResourceID(uintptr_t Instance, int ResID) { LoadFromResourceName(Instance, ResourceId(ResID)); }

}  // namespace host
