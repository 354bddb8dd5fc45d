// Device-independent bitmap layouts: header parsing, row decoding and encoding, colour matching and run-length streams, shared by the DIB calls and the image files.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/gdi/gditypes.h"

namespace host::gdi {

// BI_ALPHABITFIELDS: four masks (red, green, blue, alpha) after a 40-byte header.
constexpr DWORD BI_ALPHABITFIELDS = 6;

// The largest image the decoders accept: each side at most kMaxImageSide, and at most
// MaxImagePixels() pixels in all.
constexpr int kMaxImageSide = 32768;
int64_t MaxImagePixels();
void SetMaxImagePixels(int64_t Pixels);
// Raises EInvalidGraphic ("<Kind> image is not valid (...)") unless Width x Height is a
// size the decoders accept.
void CheckImageSize(int64_t Width, int64_t Height, const char* Kind = "Bitmap");

// The layout of a DIB's pixel data.
struct TDibLayout {
    int Width = 0;   // > 0
    int Height = 0;  // rows, > 0
    bool TopDown = false;
    int BitCount = 0;             // 1, 4, 8, 16, 24 or 32
    DWORD Compression = BI_RGB;   // BI_RGB, BI_RLE8, BI_RLE4 or BI_BITFIELDS
    uint32_t Masks[4] = {};       // red, green, blue, alpha (16 and 32 bits per pixel)
    std::vector<uint32_t> Colors; // the colour table as 0x00RRGGBB (8 bits per pixel or less)

    // Bytes per stored row, padded to 4 bytes.
    size_t Stride() const { return ((size_t(Width) * size_t(BitCount) + 31) / 32) * 4; }
    // Bytes of uncompressed pixel data.
    size_t ImageSize() const { return Stride() * size_t(Height); }
    // Bytes that the last stored row needs without its padding.
    size_t RowBytes() const { return (size_t(Width) * size_t(BitCount) + 7) / 8; }
    bool Rle() const { return Compression == BI_RLE8 || Compression == BI_RLE4; }
    // The stored row (0 = first in memory) of image row Y counted from the top.
    int StoredRow(int Y) const { return TopDown ? Y : Height - 1 - Y; }
    // True when 32-bit pixels are stored as B, G, R, x bytes (BI_RGB or the standard masks).
    bool PlainRgb32() const;
};

// Options of ParseDibHeader.
struct TDibParse {
    bool PalIndices = false;           // DIB_PAL_COLORS: the table holds 16-bit palette indexes
    const std::vector<uint32_t>* Palette = nullptr;  // the palette those indexes select
    bool AllowCore = true;             // accept the 12-byte core header
};

// Reads a BITMAPINFO at Data, of which Size bytes are present: a core header (12 bytes),
// an info header (16 to 64 bytes) or a V4/V5 header (108, 124), then the BI_BITFIELDS masks
// and the colour table. HeaderBytes receives the bytes that header, masks and table take.
// Raises EInvalidGraphic for impossible or truncated values and for sizes beyond the limits.
TDibLayout ParseDibHeader(const uint8_t* Data, size_t Size, size_t& HeaderBytes, const TDibParse& Options = {});

// Decodes Count pixels of a stored row, starting at pixel X0, into 0x00RRGGBB values; where
// the format stores a fourth byte or an alpha mask, that value is in bits 24 to 31.
void DecodeRow(const TDibLayout& L, const uint8_t* Row, int X0, int Count, uint32_t* Out);

// Finds the nearest colour of a table, remembering the colours it has seen.
class TColorMatcher {
public:
    explicit TColorMatcher(const std::vector<uint32_t>& Colors);
    int Index(uint32_t Rgb) {
        Rgb &= 0xFFFFFF;
        return (Rgb == FLastRgb && FLastIndex >= 0) ? FLastIndex : Lookup(Rgb);
    }

private:
    int Lookup(uint32_t Rgb);
    std::vector<uint32_t> FColors;
    std::unordered_map<uint32_t, int> FCache;
    uint32_t FLastRgb = 0;
    int FLastIndex = -1;
};

// Encodes Count pixels (0x00RRGGBB, the top byte going into the alpha mask or the fourth
// byte of 32-bit BI_RGB) into a stored row from its start; the row's padding is zeroed.
// Matcher maps colours to table indexes for 8 bits per pixel or less.
void EncodeRow(const TDibLayout& L, const uint32_t* Pixels, int Count, uint8_t* Row, TColorMatcher* Matcher);

// The tables the system uses for DIBs read from a device bitmap: black and white (1 bit),
// the 16 VGA colours (4 bits) and the 256-colour halftone palette (8 bits).
const std::vector<uint32_t>& DefaultColorTable(int BitCount);

// Decodes a BI_RLE8 or BI_RLE4 stream. Put(X, StoredRow, Index) is called for each pixel
// inside the image; pixels the stream skips (deltas, early ends of line) are not reported.
// Returns false when the data ends before the end-of-bitmap mark while rows remain.
template <class TPut>
bool DecodeRle(const TDibLayout& L, const uint8_t* Data, size_t Size, TPut&& Put) {
    const bool four = L.Compression == BI_RLE4;
    size_t pos = 0;
    int64_t x = 0, y = 0;
    const int64_t w = L.Width, h = L.Height;
    auto put = [&](int64_t X, int Index) {
        if (X >= 0 && X < w && y >= 0 && y < h) Put(int(X), int(y), Index);
    };
    while (y < h) {
        if (Size - pos < 2) return false;
        const uint8_t a = Data[pos], b = Data[pos + 1];
        pos += 2;
        if (a > 0) {  // a run of a pixels
            const int64_t n = std::min<int64_t>(a, std::max<int64_t>(0, w - x));
            for (int64_t i = 0; i < n; ++i) put(x + i, four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            x += a;
            continue;
        }
        if (b == 0) {  // end of line
            x = 0;
            ++y;
        } else if (b == 1) {  // end of bitmap
            return true;
        } else if (b == 2) {  // delta
            if (Size - pos < 2) return false;
            x += Data[pos];
            y += Data[pos + 1];
            pos += 2;
        } else {  // b literal pixels, padded to a 16-bit boundary
            size_t bytes = four ? (size_t(b) + 1) / 2 : size_t(b);
            bytes += bytes & 1;
            if (Size - pos < bytes) return false;
            const uint8_t* p = Data + pos;
            const int64_t n = std::min<int64_t>(b, std::max<int64_t>(0, w - x));
            for (int64_t i = 0; i < n; ++i) put(x + i, four ? ((i & 1) ? (p[i / 2] & 0x0F) : (p[i / 2] >> 4)) : p[i]);
            x += b;
            pos += bytes;
        }
    }
    return true;
}

// A fast 64-bit hash of a block of memory (to notice writes into a DIB section's memory).
uint64_t HashBytes(const uint8_t* Data, size_t Size);

}  // namespace host::gdi
