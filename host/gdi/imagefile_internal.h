// Helpers shared by the image file readers and writers: little-endian fields, checks and palettes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/gdi/imagefile.h"

namespace host::imagefile {

inline uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void Put16(std::string& s, uint32_t v) {
    s.push_back(char(v & 0xFF));
    s.push_back(char((v >> 8) & 0xFF));
}
inline void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// Raises EInvalidGraphic with "<Kind> image is not valid (<Why>)".
[[noreturn]] void Invalid(const char* Kind, const std::string& Why);

// Raises EInvalidGraphic unless the image has a size the writers accept and Width * Height pixels.
void CheckImage(const TPixelImage& Image, const char* Kind);

// The colour table to write an image with at BitCount (8 or less) bits per pixel.
std::vector<uint32_t> ChoosePalette(const TPixelImage& Image, int BitCount);
std::vector<RGBQUAD> ToQuads(const std::vector<uint32_t>& Colors);

// Writes a 40-byte BITMAPINFOHEADER.
void PutInfoHeader(std::string& s, int Width, int Height, int BitCount, uint32_t SizeImage, uint32_t ClrUsed);

}  // namespace host::imagefile
