// Image files: BMP, ICO/CUR and PNG read into and written from plain pixel images, and PNG screenshots of bitmaps and device contexts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/gdi/gditypes.h"

namespace host {

// A decoded picture.
struct TPixelImage {
    int Width = 0, Height = 0;
    bool HasAlpha = false;          // the alpha bytes of Pixels mean something
    std::vector<uint32_t> Pixels;   // 0xAARRGGBB, rows top-down, Width * Height (alpha 0xFF when !HasAlpha)
    int BitsPerPixel = 32;          // of the file it came from (1, 4, 8, 16, 24, 32 ...)
    std::vector<RGBQUAD> Palette;   // the file's colour table, if it had one
};

// One image of an icon or cursor file.
struct TIconImage {
    TPixelImage Image;                 // the colour (XOR) image; 32-bit images carry their alpha
    std::vector<uint8_t> Mask;    // the AND mask, Width * Height top-down: 1 = transparent
    bool IsCursor = false;
    int HotX = 0, HotY = 0;       // cursors: the hot spot
    bool Png = false;             // stored as PNG data inside the file
};

// Reads a BMP file (with its 14-byte file header): 1, 4, 8, 16, 24 and 32 bits per pixel,
// BI_RGB, BI_BITFIELDS, BI_RLE8 and BI_RLE4, bottom-up and top-down, core (12-byte), info
// and V4/V5 headers. Pixels an RLE stream skips take colour 0 of the table. A 32-bit image
// whose fourth bytes (or alpha mask) are not all zero has HasAlpha set. Raises
// EInvalidGraphic for corrupt or truncated data and for sizes beyond the limits.
TPixelImage ReadBmp(const std::string& Bytes);
// Writes a BMP file of 1, 4, 8, 16 (5-5-5), 24 or 32 bits per pixel, bottom-up unless
// TopDown. Up to 8 bits per pixel the image's palette is used when it fits, else the
// image's own colours when they fit, else the system's default table of that depth (the
// nearest colour then stands for each pixel). 32-bit files keep the alpha when HasAlpha.
std::string WriteBmp(const TPixelImage& Image, int BitsPerPixel, bool TopDown = false);

// Reads an icon (ICO) or cursor (CUR) file: every image, of 1, 4, 8, 24 or 32 bits per
// pixel with its AND mask, or PNG-compressed. Raises EInvalidGraphic for bad data.
std::vector<TIconImage> ReadIco(const std::string& Bytes);
// Writes an icon file, or a cursor file with the images' hot spots. Each image is written at
// its Image.BitsPerPixel (1, 4, 8, 24 or 32; others as 32) or as PNG when Png is set; an
// empty Mask is made from the alpha (alpha < 128 is transparent). Sides above 256 raise
// EInvalidGraphic.
std::string WriteIco(const std::vector<TIconImage>& Images, bool Cursor = false);

// Reads a PNG file of any colour type and bit depth (16-bit channels are scaled to 8).
TPixelImage ReadPng(const std::string& Bytes);
// Writes an 8-bit RGBA PNG when the image HasAlpha, else RGB. Level: zlib 0 to 9.
std::string WritePng(const TPixelImage& Image, int Level = 6);

// Reads BMP, PNG, ICO or CUR by the file's signature. Of an icon file it gives the largest,
// deepest image, with the mask turned into alpha.
TPixelImage ReadImageAuto(const std::string& Bytes);

// Screenshots: the bitmap's pixels, or rectangle R (logical coordinates) of what the
// device context shows, written as an RGB PNG file (through a temporary file renamed
// into place). False for a bad handle or a file that cannot be written.
bool SaveBitmapPng(HBITMAP Bmp, const std::string& FileName);
bool SaveDCPng(HDC Dc, const RECT& R, const std::string& FileName);
// The same pixels as an image (black outside the surface); false for a bad handle.
bool CaptureBitmap(HBITMAP Bmp, TPixelImage& Out);
bool CaptureDC(HDC Dc, const RECT& R, TPixelImage& Out);

// The decoders refuse images of more than this many pixels (2^28 unless changed; the fuzz
// targets lower it to keep their runs short).
void SetImagePixelLimit(int64_t Pixels);

}  // namespace host
