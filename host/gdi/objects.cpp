// The painter's objects: bitmaps, pens, brushes, fonts, palettes, icons, stock objects, GetObject and DeleteObject.
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "host/gdi/gdi.h"
#include "host/gdi/gdi_internal.h"
#include "host/gdi/gdiobj.h"

namespace host {

using namespace gdi;

const PALETTEENTRY gdi::kDefaultPalette[kDefaultPaletteSize] = {
    {0x00, 0x00, 0x00, 0}, {0x80, 0x00, 0x00, 0}, {0x00, 0x80, 0x00, 0}, {0x80, 0x80, 0x00, 0},
    {0x00, 0x00, 0x80, 0}, {0x80, 0x00, 0x80, 0}, {0x00, 0x80, 0x80, 0}, {0xC0, 0xC0, 0xC0, 0},
    {0xC0, 0xDC, 0xC0, 0}, {0xA6, 0xCA, 0xF0, 0}, {0xFF, 0xFB, 0xF0, 0}, {0xA0, 0xA0, 0xA4, 0},
    {0x80, 0x80, 0x80, 0}, {0xFF, 0x00, 0x00, 0}, {0x00, 0xFF, 0x00, 0}, {0xFF, 0xFF, 0x00, 0},
    {0x00, 0x00, 0xFF, 0}, {0xFF, 0x00, 0xFF, 0}, {0x00, 0xFF, 0xFF, 0}, {0xFF, 0xFF, 0xFF, 0},
};

namespace {

// Bitmaps larger than this many pixels (1 GiB of surface) are refused.
constexpr int64_t kMaxPixels = int64_t(1) << 28;

template <class T>
HGDIOBJ Add(std::unique_ptr<T> Obj) {
    return AddObject(std::unique_ptr<TObj>(std::move(Obj)));
}

// Bytes per row of a device-dependent bitmap's bits: rows are padded to 16 bits.
int DdbStride(int Width, int Bits) { return int(((int64_t(Width) * Bits + 15) / 16) * 2); }

// Reads device-dependent bits of the given depth into the bitmap's pixels.
void LoadBits(TBitmapObj& B, int BitCount, const uint8_t* Bits, size_t Bytes) {
    int stride = DdbStride(B.Width, BitCount);
    for (int y = 0; y < B.Height; ++y) {
        size_t rowStart = size_t(y) * size_t(stride);
        if (rowStart + size_t(stride) > Bytes) break;
        const uint8_t* src = Bits + rowStart;
        uint32_t* dst = B.Row(y);
        for (int x = 0; x < B.Width; ++x) {
            uint32_t p = 0;
            switch (BitCount) {
            case 1:
                p = (src[x >> 3] & (0x80 >> (x & 7))) ? 0xFFFFFF : 0x000000;
                break;
            case 4: {
                int idx = (x & 1) ? (src[x >> 1] & 0xF) : (src[x >> 1] >> 4);
                const PALETTEENTRY& e = kDefaultPalette[idx < 8 ? idx : idx + 4];
                p = (uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue;
                break;
            }
            case 8: {
                // The system palette keeps the first ten static colours at 0..9
                // and the last ten at 246..255; the rest reads as black.
                int idx = src[x];
                int e = idx < 10 ? idx : idx >= 246 ? idx - 236 : 0;
                const PALETTEENTRY& pe = kDefaultPalette[e];
                p = (uint32_t(pe.peRed) << 16) | (uint32_t(pe.peGreen) << 8) | pe.peBlue;
                break;
            }
            case 16: {
                unsigned v = src[2 * x] | (unsigned(src[2 * x + 1]) << 8);
                unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                p = (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
                break;
            }
            case 24:
                p = (uint32_t(src[3 * x + 2]) << 16) | (uint32_t(src[3 * x + 1]) << 8) | src[3 * x];
                break;
            default:  // 32
                p = (uint32_t(src[4 * x + 2]) << 16) | (uint32_t(src[4 * x + 1]) << 8) | src[4 * x];
                break;
            }
            if (B.Mono()) p = p != 0 && (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) > 382 ? 0xFFFFFF : 0;
            dst[x] = p;
        }
    }
}

std::unique_ptr<TFontObj> FontFrom(const LOGFONTA& Log) {
    auto f = std::make_unique<TFontObj>();
    f->Log = Log;
    f->Log.lfFaceName[LF_FACESIZE - 1] = '\0';
    return f;
}

HGDIOBJ MakeStock(int Index) {
    auto solidBrush = [](COLORREF c) {
        auto b = std::make_unique<TBrushObj>();
        b->Style = BS_SOLID;
        b->Color = c;
        return std::unique_ptr<TObj>(std::move(b));
    };
    auto pen = [](UINT style, COLORREF c) {
        auto p = std::make_unique<TPenObj>();
        p->Log.lopnStyle = style;
        p->Log.lopnWidth = POINT{style == PS_NULL ? 0 : 1, 0};
        p->Log.lopnColor = c;
        return std::unique_ptr<TObj>(std::move(p));
    };
    auto font = [](const char* face, LONG height, LONG width, LONG weight, BYTE charset, BYTE pitch) {
        LOGFONTA lf;
        lf.lfHeight = height;
        lf.lfWidth = width;
        lf.lfWeight = weight;
        lf.lfCharSet = charset;
        lf.lfPitchAndFamily = pitch;
        std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
        return std::unique_ptr<TObj>(FontFrom(lf));
    };
    std::unique_ptr<TObj> o;
    switch (Index) {
    case WHITE_BRUSH: o = solidBrush(RGB(255, 255, 255)); break;
    case LTGRAY_BRUSH: o = solidBrush(RGB(192, 192, 192)); break;
    case GRAY_BRUSH: o = solidBrush(RGB(128, 128, 128)); break;
    case DKGRAY_BRUSH: o = solidBrush(RGB(64, 64, 64)); break;
    case BLACK_BRUSH: o = solidBrush(RGB(0, 0, 0)); break;
    case NULL_BRUSH: {
        auto b = std::make_unique<TBrushObj>();
        b->Style = BS_NULL;
        o = std::move(b);
        break;
    }
    case WHITE_PEN: o = pen(PS_SOLID, RGB(255, 255, 255)); break;
    case BLACK_PEN: o = pen(PS_SOLID, RGB(0, 0, 0)); break;
    case NULL_PEN: o = pen(PS_NULL, RGB(0, 0, 0)); break;
    case OEM_FIXED_FONT: o = font("Terminal", 12, 8, FW_NORMAL, OEM_CHARSET, FIXED_PITCH); break;
    case ANSI_FIXED_FONT: o = font("Courier", 12, 9, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH); break;
    case ANSI_VAR_FONT: o = font("MS Sans Serif", 12, 9, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH); break;
    case SYSTEM_FONT: o = font("System", 16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH); break;
    case DEVICE_DEFAULT_FONT: o = font("System", 16, 7, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH); break;
    case SYSTEM_FIXED_FONT: o = font("Fixedsys", 15, 8, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH); break;
    case DEFAULT_GUI_FONT: o = font("MS Sans Serif", -11, 0, FW_NORMAL, DEFAULT_CHARSET, VARIABLE_PITCH); break;
    case DEFAULT_PALETTE: {
        auto p = std::make_unique<TPaletteObj>();
        p->Entries.assign(kDefaultPalette, kDefaultPalette + kDefaultPaletteSize);
        o = std::move(p);
        break;
    }
    case DC_BRUSH: o = solidBrush(RGB(255, 255, 255)); break;
    case DC_PEN: o = pen(PS_SOLID, RGB(0, 0, 0)); break;
    default: return nullptr;
    }
    o->Stock = true;
    return AddObject(std::move(o));
}

}  // namespace

namespace {
// Large surfaces walked column by column (narrow blits over many rows) touch a
// new 4 KiB page on every row; asking for huge pages before the memory is first
// touched keeps those walks from missing the address-translation cache. Only
// the whole 2 MiB pages inside the block can be advised.
void AdviseHugePages(void* Data, size_t Bytes) {
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    if (Bytes < 2 * kHuge) return;
    uintptr_t start = (reinterpret_cast<uintptr_t>(Data) + kHuge - 1) & ~(kHuge - 1);
    uintptr_t end = (reinterpret_cast<uintptr_t>(Data) + Bytes) & ~(kHuge - 1);
    if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
}
}  // namespace

std::unique_ptr<TBitmapObj> gdi::NewBitmap(int Width, int Height, int BitsPerPixel) {
    if (Width < 0 || Height < 0 || int64_t(Width) * Height > kMaxPixels) return nullptr;
    auto b = std::make_unique<TBitmapObj>();
    b->Width = Width;
    b->Height = Height;
    b->BitsPerPixel = BitsPerPixel == 1 ? 1 : 32;
    try {
        size_t count = size_t(Width) * size_t(Height);
        b->Pixels.reserve(count);
        AdviseHugePages(b->Pixels.data(), count * sizeof(uint32_t));
        b->Pixels.assign(count, 0);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return b;
}

HGDIOBJ gdi::StockObject(int Index) {
    constexpr int kStockCount = DC_PEN + 1;
    static HGDIOBJ stock[kStockCount] = {};
    if (Index < 0 || Index >= kStockCount) return nullptr;
    if (stock[Index] == nullptr || FindObject(stock[Index]) == nullptr) stock[Index] = MakeStock(Index);
    return stock[Index];
}

HGDIOBJ GetStockObject(int Index) {
    TraceCall("GetStockObject", Index);
    return StockObject(Index);
}

DWORD GetObjectType(HGDIOBJ Obj) {
    TraceCall("GetObjectType", Obj);
    TObj* o = FindObject(Obj);
    if (o == nullptr) return 0;
    switch (o->Kind) {
    case TKind::DC: return static_cast<TDCObj*>(o)->DCKind == TDCKind::Memory ? OBJ_MEMDC : OBJ_DC;
    case TKind::Bitmap: return OBJ_BITMAP;
    case TKind::Pen: return OBJ_PEN;
    case TKind::Brush: return OBJ_BRUSH;
    case TKind::Font: return OBJ_FONT;
    case TKind::Region: return OBJ_REGION;
    case TKind::Palette: return OBJ_PAL;
    default: return 0;  // icons and cursors are not painter objects
    }
}

BOOL DeleteObject(HGDIOBJ Obj) {
    TraceCall("DeleteObject", Obj);
    TObj* o = FindObject(Obj);
    if (o == nullptr || o->Stock || o->SelectCount > 0) return FALSE;
    switch (o->Kind) {
    case TKind::DC:
    case TKind::Icon:
        return FALSE;  // DeleteDC and DestroyIcon free those
    case TKind::Bitmap:
        if (static_cast<TBitmapObj*>(o)->SelectedIn != nullptr) return FALSE;
        break;
    default:
        break;
    }
    RemoveObject(Obj);
    return TRUE;
}

int GetObjectA(HGDIOBJ Obj, int Size, void* Out) {
    TraceCall("GetObjectA", Obj, Size, Out);
    TObj* o = FindObject(Obj);
    if (o == nullptr || Size < 0) return 0;
    auto give = [&](const void* src, int n, bool partialOk) -> int {
        if (Out == nullptr) return n;
        if (Size < n && !partialOk) return 0;
        int c = std::min(Size, n);
        std::memcpy(Out, src, size_t(c));
        return c;
    };
    switch (o->Kind) {
    case TKind::Bitmap: {
        auto* b = static_cast<TBitmapObj*>(o);
        BITMAP bm;
        bm.bmType = 0;
        bm.bmWidth = b->Width;
        bm.bmHeight = b->Height;
        bm.bmPlanes = 1;
        if (b->DibBitCount != 0) {
            bm.bmBitsPixel = WORD(b->DibBitCount);
            bm.bmWidthBytes = LONG(((int64_t(b->Width) * b->DibBitCount + 31) / 32) * 4);
            bm.bmBits = b->DibBits.empty() ? static_cast<void*>(b->Pixels.data())
                                           : static_cast<void*>(b->DibBits.data());
        } else {
            bm.bmBitsPixel = WORD(b->BitsPerPixel);
            bm.bmWidthBytes = DdbStride(b->Width, b->BitsPerPixel);
        }
        return give(&bm, int(sizeof bm), false);
    }
    case TKind::Pen:
        return give(&static_cast<TPenObj*>(o)->Log, int(sizeof(LOGPEN)), false);
    case TKind::Brush: {
        auto* b = static_cast<TBrushObj*>(o);
        LOGBRUSH lb;
        lb.lbStyle = b->Style;
        lb.lbColor = b->Style == BS_SOLID || b->Style == BS_HATCHED ? b->Color : 0;
        lb.lbHatch = b->Style == BS_HATCHED ? uintptr_t(b->Hatch) : 0;
        return give(&lb, int(sizeof lb), false);
    }
    case TKind::Font:
        return give(&static_cast<TFontObj*>(o)->Log, int(sizeof(LOGFONTA)), true);
    case TKind::Palette: {
        WORD n = WORD(static_cast<TPaletteObj*>(o)->Entries.size());
        return give(&n, int(sizeof n), false);
    }
    default:
        return 0;
    }
}

// ---- bitmaps ----

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitCount, const void* Bits) {
    TraceCall("CreateBitmap", Width, Height, Planes, BitCount, Bits);
    if (Planes != 1 || BitCount > 32) return nullptr;
    if (Width == 0 || Height == 0) {  // the system gives a 1x1 monochrome bitmap for an empty size
        if (Width < 0 || Height < 0) return nullptr;
        return static_cast<HBITMAP>(Add(NewBitmap(1, 1, 1)));
    }
    auto b = NewBitmap(Width, Height, BitCount == 1 ? 1 : 32);
    if (!b) return nullptr;
    if (Bits != nullptr) {
        int bits = BitCount <= 1    ? 1
                   : BitCount <= 4  ? 4
                   : BitCount <= 8  ? 8
                   : BitCount <= 16 ? 16
                   : BitCount <= 24 ? 24
                                    : 32;
        LoadBits(*b, bits, static_cast<const uint8_t*>(Bits), size_t(DdbStride(Width, bits)) * size_t(Height));
    }
    return static_cast<HBITMAP>(Add(std::move(b)));
}

HBITMAP CreateBitmapIndirect(const BITMAP* Bm) {
    TraceCall("CreateBitmapIndirect", Bm);
    if (Bm == nullptr) return nullptr;
    return CreateBitmap(Bm->bmWidth, Bm->bmHeight, Bm->bmPlanes, Bm->bmBitsPixel, Bm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC Dc, int Width, int Height) {
    TraceCall("CreateCompatibleBitmap", Dc, Width, Height);
    TDCObj* dc = Find<TDCObj>(Dc);
    if (dc == nullptr || Width < 0 || Height < 0) return nullptr;
    int bpp = 32;
    if (dc->DCKind == TDCKind::Memory) {
        TBitmapObj* s = dc->Surface();
        if (s != nullptr && s->Mono()) bpp = 1;
    }
    if (Width == 0 || Height == 0) return static_cast<HBITMAP>(Add(NewBitmap(1, 1, 1)));
    return static_cast<HBITMAP>(Add(NewBitmap(Width, Height, bpp)));
}

LONG GetBitmapBits(HBITMAP Bmp, LONG Count, void* Bits) {
    TraceCall("GetBitmapBits", Bmp, Count, Bits);
    TBitmapObj* b = Find<TBitmapObj>(Bmp);
    if (b == nullptr || Count < 0) return 0;
    SyncFromDib(b);
    int stride = DdbStride(b->Width, b->BitsPerPixel);
    int64_t total = int64_t(stride) * b->Height;
    if (Bits == nullptr) return LONG(total);
    int64_t n = std::min<int64_t>(Count, total);
    auto* out = static_cast<uint8_t*>(Bits);
    std::memset(out, 0, size_t(n));
    for (int64_t i = 0; i < n; ++i) {
        int y = int(i / stride), off = int(i % stride);
        const uint32_t* row = b->Row(y);
        if (b->Mono()) {
            uint8_t v = 0;
            for (int k = 0; k < 8; ++k) {
                int x = off * 8 + k;
                if (x < b->Width && (row[x] & 0xFFFFFF) != 0) v |= uint8_t(0x80 >> k);
            }
            out[i] = v;
        } else {
            int x = off / 4, c = off % 4;
            uint32_t p = row[x];
            out[i] = c == 0 ? uint8_t(p) : c == 1 ? uint8_t(p >> 8) : c == 2 ? uint8_t(p >> 16) : 0;
        }
    }
    return LONG(n);
}

LONG SetBitmapBits(HBITMAP Bmp, DWORD Count, const void* Bits) {
    TraceCall("SetBitmapBits", Bmp, Count, Bits);
    TBitmapObj* b = Find<TBitmapObj>(Bmp);
    if (b == nullptr || Bits == nullptr) return 0;
    SyncFromDib(b);
    int stride = DdbStride(b->Width, b->BitsPerPixel);
    int64_t total = int64_t(stride) * b->Height;
    int64_t n = std::min<int64_t>(Count, total);
    int rows = stride > 0 ? int(n / stride) : 0;
    // Whole rows only: a partial last row is left as it was.
    LoadBits(*b, b->BitsPerPixel, static_cast<const uint8_t*>(Bits), size_t(rows) * size_t(stride));
    n = int64_t(rows) * stride;
    if (b->DibBitCount != 0) b->SurfaceNewer = true;
    return LONG(n);
}

// ---- pens ----

HPEN CreatePen(int Style, int Width, COLORREF Color) {
    TraceCall("CreatePen", Style, Width, Color);
    if (Style < 0 || Style > int(PS_INSIDEFRAME)) return nullptr;
    auto p = std::make_unique<TPenObj>();
    p->Log.lopnStyle = UINT(Style);
    p->Log.lopnWidth = POINT{std::max(Width, 0), 0};
    p->Log.lopnColor = Color;
    return static_cast<HPEN>(Add(std::move(p)));
}

HPEN CreatePenIndirect(const LOGPEN* Pen) {
    TraceCall("CreatePenIndirect", Pen);
    if (Pen == nullptr) return nullptr;
    return CreatePen(int(Pen->lopnStyle), Pen->lopnWidth.x, Pen->lopnColor);
}

// ---- brushes ----

HBRUSH CreateSolidBrush(COLORREF Color) {
    TraceCall("CreateSolidBrush", Color);
    auto b = std::make_unique<TBrushObj>();
    b->Style = BS_SOLID;
    b->Color = Color;
    return static_cast<HBRUSH>(Add(std::move(b)));
}

HBRUSH CreateHatchBrush(int Hatch, COLORREF Color) {
    TraceCall("CreateHatchBrush", Hatch, Color);
    if (Hatch < HS_HORIZONTAL || Hatch > HS_DIAGCROSS) return nullptr;
    auto b = std::make_unique<TBrushObj>();
    b->Style = BS_HATCHED;
    b->Color = Color;
    b->Hatch = Hatch;
    return static_cast<HBRUSH>(Add(std::move(b)));
}

HBRUSH CreatePatternBrush(HBITMAP Bmp) {
    TraceCall("CreatePatternBrush", Bmp);
    TBitmapObj* src = Find<TBitmapObj>(Bmp);
    if (src == nullptr || src->Width <= 0 || src->Height <= 0) return nullptr;
    SyncFromDib(src);
    auto b = std::make_unique<TBrushObj>();
    b->Style = BS_PATTERN;
    b->PatternWidth = src->Width;
    b->PatternHeight = src->Height;
    b->PatternMono = src->Mono();
    try {
        b->Pattern = src->Pixels;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return static_cast<HBRUSH>(Add(std::move(b)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* Brush) {
    TraceCall("CreateBrushIndirect", Brush);
    if (Brush == nullptr) return nullptr;
    switch (Brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(Brush->lbColor);
    case BS_NULL: {
        auto b = std::make_unique<TBrushObj>();
        b->Style = BS_NULL;
        return static_cast<HBRUSH>(Add(std::move(b)));
    }
    case BS_HATCHED: return CreateHatchBrush(int(Brush->lbHatch), Brush->lbColor);
    case BS_PATTERN: return CreatePatternBrush(reinterpret_cast<HBITMAP>(Brush->lbHatch));
    default: return nullptr;
    }
}

// ---- fonts ----

HFONT CreateFontIndirectA(const LOGFONTA* Font) {
    TraceCall("CreateFontIndirectA", Font);
    if (Font == nullptr) return nullptr;
    return static_cast<HFONT>(Add(FontFrom(*Font)));
}

HFONT CreateFontA(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic, DWORD Underline,
                  DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision, DWORD Quality,
                  DWORD PitchAndFamily, const char* FaceName) {
    TraceCall("CreateFontA", Height, Width, Escapement, Weight, FaceName);
    LOGFONTA lf;
    lf.lfHeight = Height;
    lf.lfWidth = Width;
    lf.lfEscapement = Escapement;
    lf.lfOrientation = Orientation;
    lf.lfWeight = Weight;
    lf.lfItalic = BYTE(Italic != 0);
    lf.lfUnderline = BYTE(Underline != 0);
    lf.lfStrikeOut = BYTE(StrikeOut != 0);
    lf.lfCharSet = BYTE(CharSet);
    lf.lfOutPrecision = BYTE(OutPrecision);
    lf.lfClipPrecision = BYTE(ClipPrecision);
    lf.lfQuality = BYTE(Quality);
    lf.lfPitchAndFamily = BYTE(PitchAndFamily);
    if (FaceName != nullptr) std::strncpy(lf.lfFaceName, FaceName, LF_FACESIZE - 1);
    return static_cast<HFONT>(Add(FontFrom(lf)));
}

// ---- palettes ----

HPALETTE CreatePalette(const LOGPALETTE* Palette) {
    TraceCall("CreatePalette", Palette);
    if (Palette == nullptr || Palette->palNumEntries == 0 || Palette->palVersion != 0x300) return nullptr;
    auto p = std::make_unique<TPaletteObj>();
    p->Entries.assign(Palette->palPalEntry, Palette->palPalEntry + Palette->palNumEntries);
    return static_cast<HPALETTE>(Add(std::move(p)));
}

UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries) {
    TraceCall("GetPaletteEntries", Palette, Start, Count, Entries);
    TPaletteObj* p = Find<TPaletteObj>(Palette);
    if (p == nullptr) return 0;
    UINT size = UINT(p->Entries.size());
    if (Entries == nullptr) return size;
    if (Start >= size) return 0;
    UINT n = std::min(Count, size - Start);
    std::copy_n(p->Entries.begin() + Start, n, Entries);
    return n;
}

// ---- icons and cursors ----

namespace {

std::vector<uint32_t> MonoCopy(const TBitmapObj& B) {
    std::vector<uint32_t> v(B.Pixels.size());
    for (size_t i = 0; i < v.size(); ++i) v[i] = (B.Pixels[i] & 0xFFFFFF) != 0 ? 0xFFFFFF : 0;
    return v;
}

}  // namespace

HICON CreateIconIndirect(const ICONINFO* Info) {
    TraceCall("CreateIconIndirect", Info);
    if (Info == nullptr) return nullptr;
    TBitmapObj* mask = Find<TBitmapObj>(Info->hbmMask);
    if (mask == nullptr || mask->Width <= 0 || mask->Height <= 0) return nullptr;
    TBitmapObj* color = Info->hbmColor != nullptr ? Find<TBitmapObj>(Info->hbmColor) : nullptr;
    if (Info->hbmColor != nullptr && color == nullptr) return nullptr;
    SyncFromDib(mask);
    auto ic = std::make_unique<TIconObj>();
    ic->IsIcon = Info->fIcon != FALSE;
    ic->Width = mask->Width;
    try {
        if (color != nullptr) {
            SyncFromDib(color);
            ic->Height = mask->Height;
            ic->MonoIcon = false;
            ic->Mask.assign(size_t(ic->Width) * size_t(ic->Height), 0xFFFFFF);
            ic->Color.assign(size_t(ic->Width) * size_t(ic->Height), 0);
            // The mask's size rules; the colour image is read where it overlaps.
            std::vector<uint32_t> m = MonoCopy(*mask);
            ic->Mask = std::move(m);
            int w = std::min(color->Width, ic->Width), h = std::min(color->Height, ic->Height);
            for (int y = 0; y < h; ++y)
                std::copy_n(color->Row(y), w, ic->Color.data() + size_t(y) * size_t(ic->Width));
        } else {
            if (mask->Height < 2) return nullptr;
            ic->Height = mask->Height / 2;
            ic->MonoIcon = true;
            ic->Mask = MonoCopy(*mask);
            ic->Mask.resize(size_t(ic->Width) * size_t(ic->Height) * 2);
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (ic->IsIcon) {
        ic->HotX = ic->Width / 2;
        ic->HotY = ic->Height / 2;
    } else {
        ic->HotX = int(Info->xHotspot);
        ic->HotY = int(Info->yHotspot);
    }
    return static_cast<HICON>(Add(std::move(ic)));
}

BOOL GetIconInfo(HICON Icon, ICONINFO* Info) {
    TraceCall("GetIconInfo", Icon, Info);
    TIconObj* ic = Find<TIconObj>(Icon);
    if (ic == nullptr || Info == nullptr) return FALSE;
    int maskH = ic->MonoIcon ? ic->Height * 2 : ic->Height;
    auto mask = NewBitmap(ic->Width, maskH, 1);
    if (!mask) return FALSE;
    std::copy_n(ic->Mask.begin(), std::min(ic->Mask.size(), mask->Pixels.size()), mask->Pixels.begin());
    std::unique_ptr<TBitmapObj> color;
    if (!ic->MonoIcon) {
        color = NewBitmap(ic->Width, ic->Height, 32);
        if (!color) return FALSE;
        std::copy_n(ic->Color.begin(), std::min(ic->Color.size(), color->Pixels.size()), color->Pixels.begin());
    }
    Info->fIcon = ic->IsIcon ? TRUE : FALSE;
    Info->xHotspot = DWORD(ic->HotX);
    Info->yHotspot = DWORD(ic->HotY);
    Info->hbmMask = static_cast<HBITMAP>(Add(std::move(mask)));
    Info->hbmColor = color ? static_cast<HBITMAP>(Add(std::move(color))) : nullptr;
    return TRUE;
}

HICON CopyIcon(HICON Icon) {
    TraceCall("CopyIcon", Icon);
    TIconObj* ic = Find<TIconObj>(Icon);
    if (ic == nullptr) return nullptr;
    auto copy = std::make_unique<TIconObj>();
    copy->IsIcon = ic->IsIcon;
    copy->HotX = ic->HotX;
    copy->HotY = ic->HotY;
    copy->Width = ic->Width;
    copy->Height = ic->Height;
    copy->Mask = ic->Mask;
    copy->Color = ic->Color;
    copy->MonoIcon = ic->MonoIcon;
    return static_cast<HICON>(Add(std::move(copy)));
}

BOOL DestroyIcon(HICON Icon) {
    TraceCall("DestroyIcon", Icon);
    TIconObj* ic = Find<TIconObj>(Icon);
    if (ic == nullptr) return FALSE;
    if (ic->Stock) return TRUE;  // shared icons stay
    RemoveObject(Icon);
    return TRUE;
}

BOOL DestroyCursor(HCURSOR Cursor) {
    TraceCall("DestroyCursor", Cursor);
    return DestroyIcon(Cursor);
}

}  // namespace host
