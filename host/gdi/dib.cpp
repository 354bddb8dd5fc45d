// DIBs: a bitmap's scan lines read and written in device-independent formats, DIBs drawn on device contexts, and DIB sections kept in step with their surfaces.
#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "host/gdi/dibcodec.h"
#include "host/gdi/gdi.h"
#include "host/gdi/gdi_internal.h"
#include "host/gdi/gdiobj.h"
#include "host/rtl/exceptions.h"

namespace host {

using namespace gdi;

namespace {

// A size for headers the caller hands over as a pointer: their extent is trusted.
constexpr size_t kTrustedSize = size_t(1) << 40;

// ---- DIB sections ----
// What a section needs besides TBitmapObj's fields: its compression and masks, and a hash
// of its memory at the last synchronisation (to notice the caller writing into it).
struct TSection {
    HGDIOBJ Handle = nullptr;
    DWORD Compression = BI_RGB;
    uint32_t Masks[4] = {};
    uint64_t Hash = 0;
    bool Lossless = false;  // the memory holds every colour of the surface
};

std::unordered_map<const TBitmapObj*, TSection>& Sections() {
    static std::unordered_map<const TBitmapObj*, TSection> s;
    return s;
}

// The section record of Bmp, or nullptr; drops a record whose bitmap has gone.
TSection* FindSection(const TBitmapObj* Bmp) {
    auto& all = Sections();
    auto it = all.find(Bmp);
    if (it == all.end()) return nullptr;
    if (FindObject(it->second.Handle) != Bmp) {
        all.erase(it);
        return nullptr;
    }
    return &it->second;
}

void PurgeSections() {
    auto& all = Sections();
    for (auto it = all.begin(); it != all.end();)
        it = FindObject(it->second.Handle) == it->first ? std::next(it) : all.erase(it);
}

TDibLayout SectionLayout(const TBitmapObj* Bmp, const TSection& S) {
    TDibLayout L;
    L.Width = Bmp->Width;
    L.Height = Bmp->Height;
    L.TopDown = Bmp->DibTopDown;
    L.BitCount = Bmp->DibBitCount;
    L.Compression = S.Compression;
    std::copy(S.Masks, S.Masks + 4, L.Masks);
    for (const RGBQUAD& q : Bmp->ColorTable)
        L.Colors.push_back((uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue);
    return L;
}

// True when Pixels -> memory -> Pixels gives the same pixels back.
bool Lossless(const TDibLayout& L) {
    if (L.BitCount == 24) return true;
    if (L.BitCount != 32) return false;
    for (int i = 0; i < 3; ++i)
        if (std::popcount(L.Masks[i]) < 8) return false;
    return true;
}

void DecodeSection(TBitmapObj* Bmp, const TDibLayout& L) {
    const size_t stride = L.Stride();
    for (int y = 0; y < L.Height; ++y) {
        uint32_t* row = Bmp->Row(y);
        DecodeRow(L, Bmp->DibBits.data() + size_t(L.StoredRow(y)) * stride, 0, L.Width, row);
        for (int x = 0; x < L.Width; ++x) row[x] &= 0xFFFFFF;
    }
}

void EncodeSection(TBitmapObj* Bmp, const TDibLayout& L) {
    const size_t stride = L.Stride();
    TColorMatcher matcher(L.Colors);
    for (int y = 0; y < L.Height; ++y)
        EncodeRow(L, Bmp->Row(y), L.Width, Bmp->DibBits.data() + size_t(L.StoredRow(y)) * stride, &matcher);
}

// Writes the surface into the section's memory (and back, so the surface holds only what
// the memory can).
void FlushSection(TBitmapObj* Bmp, TSection& S) {
    const TDibLayout L = SectionLayout(Bmp, S);
    EncodeSection(Bmp, L);
    if (!Lossless(L)) DecodeSection(Bmp, L);
    S.Hash = HashBytes(Bmp->DibBits.data(), Bmp->DibBits.size());
    Bmp->SurfaceNewer = false;
}

// ---- colour tables ----
uint32_t QuadColor(const RGBQUAD& q) { return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue; }

// The colours of the palette selected in Dc (the default palette when there is none).
std::vector<uint32_t> DcPalette(HDC Dc) {
    const TPaletteObj* pal = nullptr;
    if (const TDCObj* dc = Find<TDCObj>(Dc)) pal = Find<TPaletteObj>(dc->A.Palette);
    if (pal == nullptr) pal = Find<TPaletteObj>(StockObject(DEFAULT_PALETTE));
    std::vector<uint32_t> colors;
    if (pal != nullptr) {
        for (const PALETTEENTRY& e : pal->Entries)
            colors.push_back((uint32_t(e.peRed) << 16) | (uint32_t(e.peGreen) << 8) | e.peBlue);
    } else {
        const auto& ht = DefaultColorTable(8);
        colors.assign(ht.begin(), ht.begin() + 10);
        colors.insert(colors.end(), ht.end() - 10, ht.end());
    }
    return colors;
}

// Reads the BITMAPINFO of a call; false for a bad one.
bool ParseInfo(HDC Dc, const BITMAPINFO* Info, UINT Usage, TDibLayout& L) {
    if (Info == nullptr || (Usage != DIB_RGB_COLORS && Usage != DIB_PAL_COLORS)) return false;
    std::vector<uint32_t> palette;
    TDibParse options;
    if (Usage == DIB_PAL_COLORS) {
        palette = DcPalette(Dc);
        options.PalIndices = true;
        options.Palette = &palette;
    }
    size_t headerBytes = 0;
    try {
        L = ParseDibHeader(reinterpret_cast<const uint8_t*>(Info), kTrustedSize, headerBytes, options);
    } catch (const EInvalidGraphic&) {
        return false;
    }
    return true;
}

// A DIB pixel as it lands on a surface.
inline uint32_t ToSurfacePixel(uint32_t C, const TBitmapObj* Surface) {
    return Surface->Mono() ? ColorToSurface(ToColorRef(C & 0xFFFFFF), Surface) : (C & 0xFFFFFF);
}

// Decodes Count pixels of a stored row, from pixel X0 on, straight into a surface's row.
void DecodeToSurface(const TDibLayout& L, const uint8_t* Row, int X0, int Count, uint32_t* Dst,
                     const TBitmapObj* Surface) {
    DecodeRow(L, Row, X0, Count, Dst);
    if (Surface->Mono()) {
        for (int x = 0; x < Count; ++x) Dst[x] = ColorToSurface(ToColorRef(Dst[x] & 0xFFFFFF), Surface);
    } else if (L.BitCount >= 16) {  // the fourth byte or an alpha mask
        for (int x = 0; x < Count; ++x) Dst[x] &= 0xFFFFFF;
    }
}

// A temporary bitmap selected into a memory DC, released on every way out.
struct TTempSurface {
    HDC Dc = nullptr;
    HBITMAP Bmp = nullptr;
    HGDIOBJ Old = nullptr;
    TBitmapObj* Obj = nullptr;

    bool Make(int Width, int Height, bool Mono) {
        Bmp = CreateBitmap(Width, Height, 1, Mono ? 1 : 32, nullptr);
        Obj = Find<TBitmapObj>(Bmp);
        if (Obj == nullptr || Obj->Pixels.size() != size_t(Width) * size_t(Height)) return false;
        Dc = CreateCompatibleDC(nullptr);
        if (Dc == nullptr) return false;
        Old = SelectObject(Dc, Bmp);
        return Old != nullptr;
    }
    ~TTempSurface() {
        if (Dc != nullptr) {
            if (Old != nullptr) SelectObject(Dc, Old);
            DeleteDC(Dc);
        }
        if (Bmp != nullptr) DeleteObject(Bmp);
    }
};

// Fills Out (a CW x CH surface) with the DIB's pixels of image rows CY0.. and columns CX0..
// (top-down image coordinates). Bits holds the uncompressed scan lines from FirstScan on.
void DecodeInto(const TDibLayout& L, const uint8_t* Bits, int FirstScan, int CX0, int CY0, int CW, int CH,
                TBitmapObj* Out) {
    const size_t stride = L.Stride();
    for (int ty = 0; ty < CH; ++ty) {
        const int scan = L.StoredRow(CY0 + ty);
        DecodeToSurface(L, Bits + size_t(scan - FirstScan) * stride, CX0, CW, Out->Row(ty), Out);
    }
}

// The same for an RLE stream of Size bytes, which holds the whole image; pixels it skips
// take colour 0 of the table.
void DecodeRleInto(const TDibLayout& L, const uint8_t* Bits, size_t Size, int CX0, int CY0, int CW, int CH,
                   TBitmapObj* Out) {
    const uint32_t fill = ToSurfacePixel(L.Colors.empty() ? 0u : L.Colors[0], Out);
    std::fill(Out->Pixels.begin(), Out->Pixels.end(), fill);
    const size_t ncolors = L.Colors.size();
    DecodeRle(L, Bits, Size, [&](int x, int scan, int index) {
        const int y = L.StoredRow(scan);
        if (x < CX0 || x >= CX0 + CW || y < CY0 || y >= CY0 + CH) return;
        const uint32_t c = size_t(index) < ncolors ? L.Colors[size_t(index)] : 0u;
        Out->Row(y - CY0)[x - CX0] = ToSurfacePixel(c, Out);
    });
}

// The span [A, A + Extent) or [A + Extent, A) of a possibly mirrored extent, cut to [0, Limit).
bool CutSpan(int64_t A, int64_t Extent, int64_t Limit, int& From, int& Count) {
    int64_t lo = Extent >= 0 ? A : A + Extent, hi = Extent >= 0 ? A + Extent : A;
    lo = std::max<int64_t>(lo, 0);
    hi = std::min<int64_t>(hi, Limit);
    if (lo >= hi) return false;
    From = int(lo);
    Count = int(hi - lo);
    return true;
}

uint32_t BiSizeImage(const BITMAPINFO* Info) {
    return Info->bmiHeader.biSize >= 24 ? Info->bmiHeader.biSizeImage : 0;
}

// A DIB with the pixels of a device bitmap: one colour table for a bitmap read at a depth.
std::vector<uint32_t> ReadTable(HDC Dc, const TBitmapObj* B, int BitCount, UINT Usage) {
    if (B->DibBitCount == BitCount && !B->ColorTable.empty()) {
        std::vector<uint32_t> t;
        for (const RGBQUAD& q : B->ColorTable) t.push_back(QuadColor(q));
        return t;
    }
    if (Usage == DIB_PAL_COLORS) {
        std::vector<uint32_t> t = DcPalette(Dc);
        t.resize(std::min(t.size(), size_t(1) << BitCount));
        return t;
    }
    return DefaultColorTable(BitCount);
}

}  // namespace

// ---- synchronisation of DIB sections ----

namespace gdi {

void SyncFromDib(TBitmapObj* Bmp) {
    if (Bmp == nullptr || Bmp->DibBitCount == 0 || Bmp->DibBits.empty()) return;
    TSection* s = FindSection(Bmp);
    if (s == nullptr) return;
    // While drawing is pending the surface is what counts: the caller writes into the
    // memory only after GdiFlush, as the system requires. Formats that lose colour are
    // brought back through the memory on every call, so the surface always shows what
    // the memory can hold.
    if (Bmp->SurfaceNewer && s->Lossless) return;
    const uint64_t hash = HashBytes(Bmp->DibBits.data(), Bmp->DibBits.size());
    if (hash != s->Hash) {
        // The caller wrote into the memory: it is what the bitmap shows now.
        DecodeSection(Bmp, SectionLayout(Bmp, *s));
        s->Hash = hash;
        Bmp->SurfaceNewer = false;
    } else if (Bmp->SurfaceNewer) {
        FlushSection(Bmp, *s);
    }
}

void SyncToDib(TBitmapObj* Bmp) {
    if (Bmp == nullptr || Bmp->DibBitCount == 0 || Bmp->DibBits.empty() || !Bmp->SurfaceNewer) return;
    if (TSection* s = FindSection(Bmp)) FlushSection(Bmp, *s);
}

}  // namespace gdi

BOOL GdiFlush() {
    TraceCall("GdiFlush");
    PurgeSections();
    for (auto& [bmp, section] : Sections()) {
        auto* b = const_cast<TBitmapObj*>(bmp);
        if (!b->DibBits.empty() && b->SurfaceNewer) FlushSection(b, section);
    }
    return TRUE;
}

HBITMAP CreateDIBSection(HDC Dc, const BITMAPINFO* Info, UINT Usage, void** Bits, void* Section, DWORD Offset) {
    TraceCall("CreateDIBSection", static_cast<const void*>(Dc), Usage, Section, unsigned(Offset));
    if (Bits != nullptr) *Bits = nullptr;
    TDibLayout L;
    if (!ParseInfo(Dc, Info, Usage, L) || L.Rle()) return nullptr;

    // A 1-bit section with a black-and-white table is a monochrome surface; every other
    // section is a colour surface holding the colours its format can show.
    const bool monoTable = L.BitCount == 1 && L.Colors.size() == 2 && L.Colors[0] == 0 && L.Colors[1] == 0xFFFFFF;
    std::unique_ptr<TBitmapObj> bmp = NewBitmap(L.Width, L.Height, monoTable ? 1 : 32);
    if (!bmp) return nullptr;
    bmp->DibBitCount = L.BitCount;
    bmp->DibTopDown = L.TopDown;
    if (L.BitCount <= 8) {
        // A short table leaves the indexes beyond it black.
        std::vector<uint32_t> table = L.Colors;
        table.resize(size_t(1) << L.BitCount, 0);
        L.Colors = table;
        for (uint32_t c : table) {
            RGBQUAD q;
            q.rgbRed = uint8_t(c >> 16);
            q.rgbGreen = uint8_t(c >> 8);
            q.rgbBlue = uint8_t(c);
            bmp->ColorTable.push_back(q);
        }
    }
    const bool shared = L.TopDown && L.PlainRgb32();
    TSection section;
    section.Compression = L.Compression;
    std::copy(L.Masks, L.Masks + 4, section.Masks);
    section.Lossless = Lossless(L);
    if (!shared) {
        try {
            bmp->DibBits.assign(L.ImageSize(), 0);
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        DecodeSection(bmp.get(), L);
        section.Hash = HashBytes(bmp->DibBits.data(), bmp->DibBits.size());
    }
    TBitmapObj* raw = bmp.get();
    HGDIOBJ handle = AddObject(std::move(bmp));
    if (handle == nullptr) return nullptr;
    section.Handle = handle;
    static unsigned created = 0;
    if (++created % 64 == 0) PurgeSections();
    Sections()[raw] = section;
    if (Bits != nullptr) *Bits = shared ? static_cast<void*>(raw->Pixels.data()) : static_cast<void*>(raw->DibBits.data());
    return static_cast<HBITMAP>(handle);
}

int GetDIBits(HDC Dc, HBITMAP Bmp, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage) {
    TraceCall("GetDIBits", static_cast<const void*>(Dc), static_cast<const void*>(Bmp), Start, Lines, Bits, Usage);
    TBitmapObj* b = Find<TBitmapObj>(Bmp);
    if (b == nullptr || Info == nullptr || (Usage != DIB_RGB_COLORS && Usage != DIB_PAL_COLORS)) return 0;
    BITMAPINFOHEADER& hd = Info->bmiHeader;
    if (hd.biSize < sizeof(BITMAPINFOHEADER)) return 0;
    SyncFromDib(b);
    const TSection* section = b->DibBitCount != 0 ? FindSection(b) : nullptr;

    if (hd.biBitCount == 0) {
        // The bitmap's own format, without a colour table.
        if (Bits != nullptr) return 0;
        hd.biWidth = b->Width;
        hd.biHeight = b->Height;
        hd.biPlanes = 1;
        hd.biBitCount = WORD(b->DibBitCount != 0 ? b->DibBitCount : b->BitsPerPixel);
        hd.biCompression = section != nullptr ? section->Compression : BI_RGB;
        hd.biSizeImage = DWORD(((size_t(b->Width) * hd.biBitCount + 31) / 32) * 4 * size_t(b->Height));
        hd.biXPelsPerMeter = hd.biYPelsPerMeter = 0;
        hd.biClrUsed = hd.biClrImportant = 0;
        return std::max(b->Height, 1);
    }

    TDibLayout L;
    L.BitCount = hd.biBitCount;
    L.Compression = hd.biCompression;
    const int bpp = L.BitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return 0;
    if (L.Compression != BI_RGB && !(L.Compression == BI_BITFIELDS && (bpp == 16 || bpp == 32))) return 0;
    if (hd.biWidth <= 0 || hd.biHeight == 0 || hd.biHeight == INT32_MIN) return 0;
    L.Width = hd.biWidth;
    L.Height = hd.biHeight < 0 ? -hd.biHeight : hd.biHeight;
    L.TopDown = hd.biHeight < 0;
    auto* after = reinterpret_cast<uint8_t*>(Info) + hd.biSize;
    if (L.Compression == BI_BITFIELDS) {
        // The masks: in a V4/V5 header, else right after the 40-byte header.
        auto* masks = hd.biSize >= 52 ? reinterpret_cast<uint8_t*>(Info) + 40 : after;
        uint32_t m[3];
        std::memcpy(m, masks, sizeof m);
        if ((m[0] | m[1] | m[2]) == 0) {
            if (bpp == 32) m[0] = 0xFF0000, m[1] = 0xFF00, m[2] = 0xFF;
            else m[0] = 0xF800, m[1] = 0x07E0, m[2] = 0x001F;
            std::memcpy(masks, m, sizeof m);
        }
        std::copy(m, m + 3, L.Masks);
        if (hd.biSize < 52) after += sizeof m;
    } else if (bpp == 16) {
        L.Masks[0] = 0x7C00, L.Masks[1] = 0x03E0, L.Masks[2] = 0x001F;
    } else if (bpp == 32) {
        L.Masks[0] = 0xFF0000, L.Masks[1] = 0xFF00, L.Masks[2] = 0xFF;
    }
    if (bpp <= 8) {
        std::vector<uint32_t> table = ReadTable(Dc, b, bpp, Usage);
        size_t entries = size_t(1) << bpp;
        if (hd.biClrUsed != 0 && hd.biClrUsed < entries) entries = hd.biClrUsed;
        table.resize(entries, 0);
        for (size_t i = 0; i < entries; ++i) {
            if (Usage == DIB_PAL_COLORS) {
                const uint16_t index = uint16_t(i);
                std::memcpy(after + 2 * i, &index, 2);
            } else {
                uint8_t q[4] = {uint8_t(table[i]), uint8_t(table[i] >> 8), uint8_t(table[i] >> 16), 0};
                std::memcpy(after + 4 * i, q, 4);
            }
        }
        L.Colors = std::move(table);
    }
    hd.biSizeImage = DWORD(L.ImageSize());
    if (Bits == nullptr) return std::max(b->Height, 1);

    // Scan lines count from the bottom of a bottom-up DIB, from the top of a top-down one;
    // the DIB's top row is the bitmap's top row.
    if (Start >= UINT(L.Height)) return 0;
    const int count = int(std::min<int64_t>(Lines, int64_t(L.Height) - Start));
    const size_t stride = L.Stride();
    const int copyWidth = std::min(L.Width, b->Width);
    TColorMatcher matcher(L.Colors);
    auto* out = static_cast<uint8_t*>(Bits);
    for (int i = 0; i < count; ++i) {
        const int scan = int(Start) + i;
        const int y = L.StoredRow(scan);
        uint8_t* row = out + size_t(i) * stride;
        if (y < b->Height) {
            EncodeRow(L, b->Row(y), copyWidth, row, &matcher);
        } else {
            std::memset(row, 0, stride);
        }
    }
    return count;
}

int SetDIBits(HDC Dc, HBITMAP Bmp, UINT Start, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage) {
    TraceCall("SetDIBits", static_cast<const void*>(Dc), static_cast<const void*>(Bmp), Start, Lines, Bits, Usage);
    TBitmapObj* b = Find<TBitmapObj>(Bmp);
    TDibLayout L;
    if (b == nullptr || Bits == nullptr || !ParseInfo(Dc, Info, Usage, L)) return 0;
    // A 1-bit DIB sets a monochrome bitmap's bits as they are: 1 is white.
    if (b->Mono() && L.BitCount == 1) L.Colors = {0x000000, 0xFFFFFF};
    SyncFromDib(b);
    const auto* in = static_cast<const uint8_t*>(Bits);
    const int64_t first = Start, last = std::min<int64_t>(int64_t(Start) + Lines, L.Height);
    if (first >= last) return 0;
    const int width = std::min(L.Width, b->Width);
    const size_t ncolors = L.Colors.size();

    if (L.Rle()) {
        const uint32_t size = BiSizeImage(Info);
        if (size == 0) return 0;
        DecodeRle(L, in, size, [&](int x, int scan, int index) {
            const int y = L.StoredRow(scan);
            if (scan < first || scan >= last || x >= width || y >= b->Height) return;
            const uint32_t c = size_t(index) < ncolors ? L.Colors[size_t(index)] : 0u;
            b->Row(y)[x] = ToSurfacePixel(c, b);
        });
    } else {
        const size_t stride = L.Stride();
        for (int64_t scan = first; scan < last; ++scan) {
            const int y = L.StoredRow(int(scan));
            if (y < b->Height) DecodeToSurface(L, in + size_t(scan - first) * stride, 0, width, b->Row(y), b);
        }
    }
    if (b->DibBitCount != 0) b->SurfaceNewer = true;
    return int(last - first);
}

int StretchDIBits(HDC Dc, int X, int Y, int Width, int Height, int SrcX, int SrcY, int SrcWidth, int SrcHeight,
                  const void* Bits, const BITMAPINFO* Info, UINT Usage, DWORD Rop) {
    TraceCall("StretchDIBits", static_cast<const void*>(Dc), X, Y, Width, Height, SrcX, SrcY, SrcWidth, SrcHeight,
              Bits, Usage, unsigned(Rop));
    TDibLayout L;
    if (Find<TDCObj>(Dc) == nullptr || !ParseInfo(Dc, Info, Usage, L)) return 0;
    // The source rectangle in top-down image coordinates: a bottom-up DIB measures SrcY from
    // its bottom row.
    const int64_t sx = SrcX;
    const int64_t sy = L.TopDown ? int64_t(SrcY) : int64_t(L.Height) - SrcY - SrcHeight;
    int cx0, cw, cy0, ch;
    if (!CutSpan(sx, SrcWidth, L.Width, cx0, cw) || !CutSpan(sy, SrcHeight, L.Height, cy0, ch)) return 0;
    if (Bits == nullptr) return 0;
    TTarget t;
    if (!MakeTarget(Dc, t) || t.Surface == nullptr) return 0;
    const bool mono = t.Surface->Mono();
    if (mono && L.BitCount == 1) L.Colors = {0x000000, 0xFFFFFF};

    TTempSurface temp;
    if (!temp.Make(cw, ch, mono)) return 0;
    const auto* in = static_cast<const uint8_t*>(Bits);
    if (L.Rle()) {
        const uint32_t size = BiSizeImage(Info);
        if (size == 0) return 0;
        DecodeRleInto(L, in, size, cx0, cy0, cw, ch, temp.Obj);
    } else {
        DecodeInto(L, in, 0, cx0, cy0, cw, ch, temp.Obj);
    }
    if (!StretchBlt(Dc, X, Y, Width, Height, temp.Dc, int(sx - cx0), int(sy - cy0), SrcWidth, SrcHeight, Rop)) return 0;
    return ch;
}

int SetDIBitsToDevice(HDC Dc, int X, int Y, DWORD Width, DWORD Height, int SrcX, int SrcY, UINT StartScan,
                      UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage) {
    TraceCall("SetDIBitsToDevice", static_cast<const void*>(Dc), X, Y, unsigned(Width), unsigned(Height), SrcX, SrcY,
              StartScan, Lines, Bits, Usage);
    TDibLayout L;
    if (Find<TDCObj>(Dc) == nullptr || Bits == nullptr || !ParseInfo(Dc, Info, Usage, L)) return 0;
    if (Width == 0 || Height == 0 || Width > 0x7FFFFFFF || Height > 0x7FFFFFFF) return 0;
    // The scan lines present, as top-down image rows.
    int64_t bandFirst = StartScan, bandLast = std::min<int64_t>(int64_t(StartScan) + Lines, L.Height);
    if (L.Rle()) bandFirst = 0, bandLast = L.Height;
    if (bandFirst >= bandLast) return 0;
    const int64_t rowTop = L.TopDown ? bandFirst : L.Height - bandLast;
    const int64_t rowBottom = L.TopDown ? bandLast : L.Height - bandFirst;

    const int64_t sx = SrcX;
    const int64_t sy = L.TopDown ? int64_t(SrcY) : int64_t(L.Height) - SrcY - int64_t(Height);
    const int64_t x0 = std::max<int64_t>(sx, 0), x1 = std::min<int64_t>(sx + Width, L.Width);
    const int64_t y0 = std::max<int64_t>(sy, rowTop), y1 = std::min<int64_t>(sy + Height, rowBottom);
    const int lines = int(bandLast - bandFirst);
    if (x0 >= x1 || y0 >= y1) return lines;

    TTarget t;
    if (!MakeTarget(Dc, t) || t.Surface == nullptr) return 0;
    const bool mono = t.Surface->Mono();
    if (mono && L.BitCount == 1) L.Colors = {0x000000, 0xFFFFFF};
    TTempSurface temp;
    const int cw = int(x1 - x0), ch = int(y1 - y0);
    if (!temp.Make(cw, ch, mono)) return 0;
    const auto* in = static_cast<const uint8_t*>(Bits);
    if (L.Rle()) {
        const uint32_t size = BiSizeImage(Info);
        if (size == 0) return 0;
        DecodeRleInto(L, in, size, int(x0), int(y0), cw, ch, temp.Obj);
    } else {
        DecodeInto(L, in, int(bandFirst), int(x0), int(y0), cw, ch, temp.Obj);
    }
    if (!BitBlt(Dc, int(X + (x0 - sx)), int(Y + (y0 - sy)), cw, ch, temp.Dc, 0, 0, SRCCOPY)) return 0;
    return lines;
}

HBITMAP CreateDIBitmap(HDC Dc, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits, const BITMAPINFO* Info,
                       UINT Usage) {
    TraceCall("CreateDIBitmap", static_cast<const void*>(Dc), static_cast<const void*>(Header), unsigned(Init), Bits,
              Usage);
    if (Header == nullptr) return nullptr;
    const int64_t w = Header->biWidth, h = Header->biHeight < 0 ? -int64_t(Header->biHeight) : Header->biHeight;
    if (w <= 0 || h <= 0 || w > kMaxImageSide || h > kMaxImageSide) return nullptr;
    // A device bitmap in the format of the DC's (the screen's when there is none).
    HBITMAP bmp = Dc != nullptr ? CreateCompatibleBitmap(Dc, int(w), int(h)) : CreateBitmap(int(w), int(h), 1, 32, nullptr);
    if (bmp == nullptr) return nullptr;
    if ((Init & CBM_INIT) != 0 && Bits != nullptr && Info != nullptr) {
        const LONG ih = Info->bmiHeader.biHeight;
        SetDIBits(Dc, bmp, 0, UINT(ih < 0 ? -int64_t(ih) : ih), Bits, Info, Usage);
    }
    return bmp;
}

}  // namespace host
