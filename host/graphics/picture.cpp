// TIcon, TMetafile and TPicture with its registry of picture file formats.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/imagefile.h"
#include "host/graphics/graphics.h"
#include "host/graphics/graphics_internal.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/filer.h"
#include "host/rtl/resources.h"
#include "host/rtl/streams.h"
#include "host/rtl/sysutils.h"

namespace host {

using graphics_detail::BitmapPixels;
using graphics_detail::ReadRest;

namespace {


// An icon from one image of an icon file: the AND mask from the file's mask or,
// for images with alpha, from the alpha (below half is transparent).
HICON MakeIcon(const TIconImage& Src) {
    const TPixelImage& img = Src.Image;
    const int w = img.Width, h = img.Height;
    const size_t n = size_t(w) * size_t(h);
    if (w <= 0 || h <= 0 || img.Pixels.size() != n) throw EInvalidGraphic("Icon image is not valid");
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    HBITMAP color = CreateBitmap(w, h, 1, 32, nullptr);
    gdi::TBitmapObj* mo = BitmapPixels(mask);
    gdi::TBitmapObj* co = BitmapPixels(color);
    HICON icon = nullptr;
    if (mo != nullptr && co != nullptr) {
        for (size_t i = 0; i < n; ++i) {
            const uint32_t p = img.Pixels[i];
            const bool alphaClear = img.HasAlpha && (p >> 24) < 128;
            const bool clear = alphaClear || (i < Src.Mask.size() && Src.Mask[i] != 0);
            mo->Pixels[i] = clear ? 0xFFFFFFu : 0u;
            co->Pixels[i] = alphaClear ? 0u : (p & 0x00FFFFFFu);
        }
        ICONINFO ii;
        ii.fIcon = Src.IsCursor ? FALSE : TRUE;
        ii.xHotspot = DWORD(Src.HotX);
        ii.yHotspot = DWORD(Src.HotY);
        ii.hbmMask = mask;
        ii.hbmColor = color;
        icon = CreateIconIndirect(&ii);
    }
    DeleteObject(mask);
    DeleteObject(color);
    if (icon == nullptr) throw EOutOfResources("Out of system resources: cannot make an icon");
    return icon;
}

// The image of an icon handle, as an icon-file image: 32 bits with the mask as alpha.
bool IconToImage(HICON Icon, TIconImage& Out) {
    ICONINFO ii;
    if (!GetIconInfo(Icon, &ii)) return false;
    const gdi::TBitmapObj* mo = BitmapPixels(ii.hbmMask);
    const gdi::TBitmapObj* co = ii.hbmColor != nullptr ? BitmapPixels(ii.hbmColor) : nullptr;
    bool ok = mo != nullptr;
    if (ok) {
        const int w = mo->Width;
        const int h = co != nullptr ? co->Height : mo->Height / 2;  // a monochrome icon: AND over XOR
        Out.Image.Width = w;
        Out.Image.Height = h;
        Out.Image.HasAlpha = true;
        Out.Image.BitsPerPixel = 32;
        Out.Image.Pixels.assign(size_t(w) * size_t(h), 0);
        Out.Mask.assign(size_t(w) * size_t(h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const size_t i = size_t(y) * size_t(w) + size_t(x);
                const bool clear = mo->Row(y)[x] != 0;
                const uint32_t c = co != nullptr ? co->Row(y)[x] : mo->Row(y + h)[x];
                Out.Mask[i] = clear ? 1 : 0;
                Out.Image.Pixels[i] = clear ? (c & 0x00FFFFFFu) : (0xFF000000u | (c & 0x00FFFFFFu));
            }
        Out.IsCursor = !ii.fIcon;
        Out.HotX = int(ii.xHotspot);
        Out.HotY = int(ii.yHotspot);
    }
    if (ii.hbmMask != nullptr) DeleteObject(ii.hbmMask);
    if (ii.hbmColor != nullptr) DeleteObject(ii.hbmColor);
    return ok;
}

uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
void Put16(std::string& s, uint32_t v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

}  // namespace

// ---- TIcon ----

TIcon::TIcon() { SetTransparent(true); }

TIcon::~TIcon() { FreeIcon(); }

void TIcon::FreeIcon() {
    if (FHandle != nullptr) DestroyIcon(FHandle);
    FHandle = nullptr;
}

void TIcon::Assign(TPersistent* Source) {
    if (Source == nullptr) {
        SetHandle(nullptr);
        return;
    }
    if (Source->Is<TIcon>()) {
        auto* src = static_cast<TIcon*>(Source);
        if (src == this) return;
        HICON copy = src->FHandle != nullptr ? CopyIcon(src->FHandle) : nullptr;
        FreeIcon();
        FHandle = copy;
        FWidth = src->FWidth;
        FHeight = src->FHeight;
        FData = src->FData;
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::SetHeight(int Value) {
    if (Value != FHeight) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetWidth(int Value) {
    if (Value != FWidth) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

HICON TIcon::Handle() { return FHandle; }

void TIcon::SetHandle(HICON Value) {
    if (Value == FHandle) return;
    int w = 0, h = 0;
    if (Value != nullptr) {
        const gdi::TIconObj* o = gdi::Find<gdi::TIconObj>(Value);
        if (o == nullptr) throw EInvalidGraphic("Invalid icon handle");
        w = o->Width;
        h = o->Height;
    }
    FreeIcon();
    FHandle = Value;
    FWidth = w;
    FHeight = h;
    FData.clear();
    Changed(this);
}

HICON TIcon::ReleaseHandle() {
    HICON h = FHandle;
    FHandle = nullptr;
    FWidth = FHeight = 0;
    FData.clear();
    return h;
}

void TIcon::LoadFromBytes(const std::string& Bytes) {
    std::vector<TIconImage> images = ReadIco(Bytes);
    if (images.empty()) throw EInvalidGraphic("Icon image is not valid");
    // The image nearest the standard icon size, the deepest of those.
    const int want = GetSystemMetrics(SM_CXICON) > 0 ? GetSystemMetrics(SM_CXICON) : 32;
    size_t best = 0;
    for (size_t i = 1; i < images.size(); ++i) {
        const TPixelImage& a = images[i].Image;
        const TPixelImage& b = images[best].Image;
        const int da = std::abs(a.Width - want) + std::abs(a.Height - want);
        const int db = std::abs(b.Width - want) + std::abs(b.Height - want);
        if (da < db || (da == db && a.BitsPerPixel > b.BitsPerPixel)) best = i;
    }
    HICON icon = MakeIcon(images[best]);
    FreeIcon();
    FHandle = icon;
    FWidth = images[best].Image.Width;
    FHeight = images[best].Image.Height;
    FData = Bytes;
    Changed(this);
}

void TIcon::LoadFromStream(TStream* Stream) { LoadFromBytes(ReadRest(Stream)); }

void TIcon::SaveToStream(TStream* Stream) {
    if (!FData.empty()) {
        Stream->WriteBuffer(FData.data(), int64_t(FData.size()));
        return;
    }
    if (FHandle == nullptr) return;
    TIconImage image;
    if (!IconToImage(FHandle, image)) return;
    const bool cursor = image.IsCursor;
    const std::string bytes = WriteIco({image}, cursor);
    Stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

void TIcon::LoadFromResourceName(uintptr_t Instance, const std::string& ResName) {
    // A group directory names the images, each an RT_ICON resource: put them
    // together as an icon file.
    TResourceBlob group;
    if (!FindResourceBlob(Instance, ResourceId(RT_GROUP_ICON), ResName, group))
        throw EResNotFound("Resource " + ResName + " not found");
    if (group.Size < 6) throw EInvalidGraphic("Icon image is not valid");
    const uint8_t* g = group.Data;
    const int count = Get16(g + 4);
    if (group.Size < 6 + size_t(count) * 14) throw EInvalidGraphic("Icon image is not valid");
    std::string head, body;
    Put16(head, 0);
    Put16(head, 1);
    Put16(head, uint32_t(count));
    const size_t dataStart = 6 + size_t(count) * 16;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = g + 6 + size_t(i) * 14;
        TResourceBlob image;
        if (!FindResourceBlob(Instance, ResourceId(RT_ICON), ResourceId(Get16(e + 12)), image))
            throw EResNotFound("Resource " + ResName + " not found");
        head.append(reinterpret_cast<const char*>(e), 8);
        Put32(head, uint32_t(image.Size));
        Put32(head, uint32_t(dataStart + body.size()));
        body.append(reinterpret_cast<const char*>(image.Data), image.Size);
    }
    LoadFromBytes(head + body);
}

void TIcon::LoadFromResourceID(uintptr_t Instance, int ResID) { LoadFromResourceName(Instance, ResourceId(ResID)); }

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (ACanvas == nullptr || FHandle == nullptr) return;
    ACanvas->RequiredState({csHandleValid});
    DrawIconEx(ACanvas->FHandle, Rect.left, Rect.top, FHandle, Rect.right - Rect.left, Rect.bottom - Rect.top, 0,
               nullptr, DI_NORMAL);
}

// ---- TMetafile ----

void TMetafile::Assign(TPersistent* Source) {
    if (Source == nullptr || Source->Is<TMetafile>()) {
        auto* src = static_cast<TMetafile*>(Source);
        FWidth = src != nullptr ? src->FWidth : 0;
        FHeight = src != nullptr ? src->FHeight : 0;
        FEnhanced = src != nullptr ? src->FEnhanced : true;
        Changed(this);
        return;
    }
    TGraphic::Assign(Source);
}

void TMetafile::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Changed(this);
}

void TMetafile::SetWidth(int Value) {
    if (Value == FWidth) return;
    FWidth = Value;
    Changed(this);
}

void TMetafile::LoadFromStream(TStream*) { throw EInvalidGraphic("Metafiles are not supported"); }

void TMetafile::SaveToStream(TStream*) {}

void TMetafile::Draw(TCanvas*, const TRect&) {}

// ---- the file-format registry ----

namespace {

struct TFileFormat {
    std::string Extension;  // lower case, without the dot
    std::string Description;
    TGraphicClass GraphicClass;
};

std::vector<TFileFormat>& FileFormats() {
    static std::vector<TFileFormat> formats = {
        {"bmp", "Bitmaps", TBitmap::StaticClass()},
        {"ico", "Icons", TIcon::StaticClass()},
        {"png", "PNG images", TBitmap::StaticClass()},
        {"emf", "Enhanced Metafiles", TMetafile::StaticClass()},
        {"wmf", "Metafiles", TMetafile::StaticClass()},
    };
    return formats;
}

std::string NormalExt(const std::string& Ext) {
    std::string e = LowerCase(Ext);
    if (!e.empty() && e[0] == '.') e.erase(0, 1);
    return e;
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& AExtension, const std::string& ADescription,
                                  TGraphicClass AGraphicClass) {
    if (AGraphicClass == nullptr || !AGraphicClass->InheritsFrom(TGraphic::StaticClass()))
        throw EInvalidGraphic("A picture file format needs a class of graphic");
    const std::string ext = NormalExt(AExtension);
    auto& f = FileFormats();
    // The newest registration of an extension wins.
    f.erase(std::remove_if(f.begin(), f.end(), [&](const TFileFormat& x) { return x.Extension == ext; }), f.end());
    f.push_back({ext, ADescription, AGraphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass AClass) {
    auto& f = FileFormats();
    f.erase(std::remove_if(f.begin(), f.end(), [&](const TFileFormat& x) { return x.GraphicClass == AClass; }),
            f.end());
}

TGraphicClass TPicture::FileFormatClass(const std::string& AExtension) {
    const std::string ext = NormalExt(AExtension);
    for (const TFileFormat& f : FileFormats())
        if (f.Extension == ext) return f.GraphicClass;
    return nullptr;
}

TGraphicClass TPicture::FindGraphicClass(const std::string& AClassName) {
    for (const TFileFormat& f : FileFormats())
        if (f.GraphicClass->ClassNameIs(AClassName)) return f.GraphicClass;
    return nullptr;
}

std::string GraphicFileMask(TGraphicClass GraphicClass) {
    std::string mask;
    for (const TFileFormat& f : FileFormats())
        if (GraphicClass == nullptr || f.GraphicClass->InheritsFrom(GraphicClass)) {
            if (!mask.empty()) mask += ';';
            mask += "*." + f.Extension;
        }
    return mask;
}

std::string GraphicExtension(TGraphicClass GraphicClass) {
    for (const TFileFormat& f : FileFormats())
        if (f.GraphicClass == GraphicClass) return f.Extension;
    return "";
}

std::string GraphicFilter(TGraphicClass GraphicClass) {
    std::string entries;
    for (const TFileFormat& f : FileFormats())
        if (GraphicClass == nullptr || f.GraphicClass->InheritsFrom(GraphicClass))
            entries += "|" + f.Description + " (*." + f.Extension + ")|*." + f.Extension;
    const std::string all = GraphicFileMask(GraphicClass);
    return "All (" + all + ")|" + all + entries;
}

// ---- TPicture ----

TPicture::TPicture() = default;

TPicture::~TPicture() {
    if (FGraphic) FGraphic->OnChange = nullptr;
}

void TPicture::Changed(TObject*) { OnChange(this); }

void TPicture::SetFGraphic(std::unique_ptr<TGraphic> Value) {
    if (FGraphic) FGraphic->OnChange = nullptr;
    FGraphic = std::move(Value);
    if (FGraphic) FGraphic->OnChange = TNotifyEvent(this, &TPicture::Changed);
    Changed(this);
}

template <class T>
T* TPicture::ForceType() {
    if (!FGraphic || !FGraphic->Is<T>()) SetFGraphic(std::make_unique<T>());
    return static_cast<T*>(FGraphic.get());
}

TBitmap* TPicture::Bitmap() { return ForceType<TBitmap>(); }
TIcon* TPicture::Icon() { return ForceType<TIcon>(); }
TMetafile* TPicture::Metafile() { return ForceType<TMetafile>(); }
void TPicture::SetBitmap(TBitmap* Value) { SetGraphic(Value); }
void TPicture::SetIcon(TIcon* Value) { SetGraphic(Value); }
void TPicture::SetMetafile(TMetafile* Value) { SetGraphic(Value); }

void TPicture::SetGraphic(TGraphic* Value) {
    if (Value == FGraphic.get() && Value != nullptr) return;
    std::unique_ptr<TGraphic> copy;
    if (Value != nullptr) {
        copy.reset(Value->ClassType()->Create<TGraphic>());
        copy->Assign(Value);
    }
    SetFGraphic(std::move(copy));
}

int TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::Assign(TPersistent* Source) {
    if (Source == nullptr) SetGraphic(nullptr);
    else if (Source->Is<TPicture>()) SetGraphic(static_cast<TPicture*>(Source)->Graphic());
    else if (Source->Is<TGraphic>()) SetGraphic(static_cast<TGraphic*>(Source));
    else TPersistent::Assign(Source);
}

void TPicture::AssignTo(TPersistent* Dest) {
    if (FGraphic && Dest != nullptr && FGraphic->InheritsFrom(Dest->ClassType())) Dest->Assign(FGraphic.get());
    else TPersistent::AssignTo(Dest);
}

void TPicture::LoadFromFile(const std::string& FileName) {
    const std::string ext = NormalExt(ExtractFileExt(FileName));
    TGraphicClass cls = FileFormatClass(ext);
    if (cls == nullptr) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    std::unique_ptr<TGraphic> g(cls->Create<TGraphic>());
    g->LoadFromFile(FileName);
    SetFGraphic(std::move(g));
}

void TPicture::SaveToFile(const std::string& FileName) {
    if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::ReadData(TStream* Stream) {
    uint8_t len = 0;
    Stream->ReadBuffer(&len, 1);
    std::string name(len, '\0');
    if (len > 0) Stream->ReadBuffer(name.data(), len);
    std::unique_ptr<TGraphic> g;
    if (!name.empty()) {
        if (TGraphicClass cls = FindGraphicClass(name)) {
            g.reset(cls->Create<TGraphic>());
            g->ReadData(Stream);
        }
    }
    SetFGraphic(std::move(g));
}

void TPicture::WriteData(TStream* Stream) {
    const std::string name = FGraphic ? FGraphic->ClassName() : std::string();
    const uint8_t len = uint8_t(std::min<size_t>(name.size(), 255));
    Stream->WriteBuffer(&len, 1);
    if (len > 0) Stream->WriteBuffer(name.data(), len);
    if (FGraphic) FGraphic->WriteData(Stream);
}

void TPicture::DefineProperties(TFiler* Filer) {
    bool write;
    if (Filer->Ancestor() != nullptr) {
        write = true;
        if (Filer->Ancestor()->Is<TPicture>()) {
            TGraphic* a = static_cast<TPicture*>(Filer->Ancestor())->Graphic();
            TGraphic* g = Graphic();
            write = !(g == a || (g != nullptr && a != nullptr && g->Equals(a)));
        }
    } else {
        write = FGraphic != nullptr;
    }
    Filer->DefineBinaryProperty("Data", TStreamProc(this, &TPicture::ReadData), TStreamProc(this, &TPicture::WriteData),
                                write);
}

}  // namespace host
