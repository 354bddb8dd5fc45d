// PNG files through libpng: any colour type read into 8-bit ARGB, RGB or RGBA written.
//
// libpng reports errors by longjmp. Each step that may fail runs in a small function of its
// own that holds the setjmp and only plain data, so the jump never skips a C++ destructor;
// the buffers live in the callers.
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "host/gdi/dibcodec.h"
#include "host/gdi/imagefile_internal.h"
#include "host/rtl/exceptions.h"

namespace host {

using namespace imagefile;

namespace {

struct TPngIo {
    const uint8_t* Data = nullptr;
    size_t Size = 0, Pos = 0;
    std::string* Out = nullptr;
    char Error[256] = "unknown error";
};

struct TPngHeader {
    png_uint_32 Width = 0, Height = 0;
    int BitDepth = 0, ColorType = 0, Interlace = 0, Channels = 0;
    bool Trns = false;
    int PaletteCount = 0;
    png_color Palette[256] = {};
};

void OnError(png_structp Png, png_const_charp Msg) {
    auto* io = static_cast<TPngIo*>(png_get_error_ptr(Png));
    std::snprintf(io->Error, sizeof io->Error, "%s", Msg != nullptr ? Msg : "unknown error");
    png_longjmp(Png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp Png, png_bytep Out, size_t Count) {
    auto* io = static_cast<TPngIo*>(png_get_io_ptr(Png));
    if (Count > io->Size - io->Pos) png_error(Png, "the data is truncated");
    std::memcpy(Out, io->Data + io->Pos, Count);
    io->Pos += Count;
}

void OnWrite(png_structp Png, png_bytep Data, size_t Count) {
    auto* io = static_cast<TPngIo*>(png_get_io_ptr(Png));
    bool ok = true;
    try {
        io->Out->append(reinterpret_cast<const char*>(Data), Count);
    } catch (...) {
        ok = false;
    }
    if (!ok) png_error(Png, "out of memory");
}

void OnFlush(png_structp) {}

bool ReadHeader(png_structp Png, png_infop Info, TPngHeader* H) {
    if (setjmp(png_jmpbuf(Png))) return false;
    png_read_info(Png, Info);
    png_get_IHDR(Png, Info, &H->Width, &H->Height, &H->BitDepth, &H->ColorType, &H->Interlace, nullptr, nullptr);
    H->Channels = png_get_channels(Png, Info);
    H->Trns = png_get_valid(Png, Info, PNG_INFO_tRNS) != 0;
    png_colorp palette = nullptr;
    int count = 0;
    if (H->ColorType == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(Png, Info, &palette, &count) != 0 && palette != nullptr) {
        H->PaletteCount = std::clamp(count, 0, 256);
        std::memcpy(H->Palette, palette, sizeof(png_color) * size_t(H->PaletteCount));
    }
    return true;
}

// Asks libpng for 8-bit B, G, R, A bytes whatever the file holds.
bool SetTransforms(png_structp Png, png_infop Info, const TPngHeader* H, size_t* RowBytes) {
    if (setjmp(png_jmpbuf(Png))) return false;
    png_set_expand(Png);
    if (H->BitDepth == 16) png_set_scale_16(Png);
    if ((H->ColorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(Png);
    png_set_filler(Png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(Png);
    png_set_interlace_handling(Png);
    png_read_update_info(Png, Info);
    *RowBytes = png_get_rowbytes(Png, Info);
    return true;
}

bool ReadRows(png_structp Png, png_bytep* Rows) {
    if (setjmp(png_jmpbuf(Png))) return false;
    png_read_image(Png, Rows);
    png_read_end(Png, nullptr);
    return true;
}

bool WriteRows(png_structp Png, png_infop Info, png_uint_32 Width, png_uint_32 Height, bool Alpha, int Level,
               png_bytep* Rows) {
    if (setjmp(png_jmpbuf(Png))) return false;
    png_set_IHDR(Png, Info, Width, Height, 8, Alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(Png, Level);
    png_write_info(Png, Info);
    png_set_bgr(Png);
    if (!Alpha) png_set_filler(Png, 0, PNG_FILLER_AFTER);
    png_write_image(Png, Rows);
    png_write_end(Png, Info);
    return true;
}

struct TReadGuard {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    ~TReadGuard() {
        if (Png != nullptr) png_destroy_read_struct(&Png, Info != nullptr ? &Info : nullptr, nullptr);
    }
};

struct TWriteGuard {
    png_structp Png = nullptr;
    png_infop Info = nullptr;
    ~TWriteGuard() {
        if (Png != nullptr) png_destroy_write_struct(&Png, Info != nullptr ? &Info : nullptr);
    }
};

}  // namespace

TPixelImage ReadPng(const std::string& Bytes) {
    const auto* d = reinterpret_cast<const uint8_t*>(Bytes.data());
    if (Bytes.size() < 8 || png_sig_cmp(d, 0, 8) != 0) Invalid("PNG", "the signature is missing");
    TPngIo io;
    io.Data = d;
    io.Size = Bytes.size();
    TReadGuard g;
    g.Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, OnError, OnWarning);
    if (g.Png == nullptr) throw EOutOfMemory("Out of memory while reading a PNG image");
    g.Info = png_create_info_struct(g.Png);
    if (g.Info == nullptr) throw EOutOfMemory("Out of memory while reading a PNG image");
    png_set_read_fn(g.Png, &io, OnRead);
    png_set_user_limits(g.Png, gdi::kMaxImageSide, gdi::kMaxImageSide);

    TPngHeader h;
    if (!ReadHeader(g.Png, g.Info, &h)) Invalid("PNG", io.Error);
    gdi::CheckImageSize(h.Width, h.Height, "PNG");
    size_t rowBytes = 0;
    if (!SetTransforms(g.Png, g.Info, &h, &rowBytes)) Invalid("PNG", io.Error);
    if (rowBytes != size_t(h.Width) * 4) Invalid("PNG", "the rows do not decode to 4 bytes a pixel");

    TPixelImage img;
    img.Width = int(h.Width);
    img.Height = int(h.Height);
    img.Pixels.resize(size_t(h.Width) * h.Height);
    std::vector<png_bytep> rows(h.Height);
    for (size_t y = 0; y < h.Height; ++y) rows[y] = reinterpret_cast<png_bytep>(img.Pixels.data() + y * h.Width);
    if (!ReadRows(g.Png, rows.data())) Invalid("PNG", io.Error);

    img.HasAlpha = (h.ColorType & PNG_COLOR_MASK_ALPHA) != 0 || h.Trns;
    img.BitsPerPixel = h.ColorType == PNG_COLOR_TYPE_PALETTE ? h.BitDepth : h.BitDepth * h.Channels;
    for (int i = 0; i < h.PaletteCount; ++i) {
        RGBQUAD q;
        q.rgbRed = h.Palette[i].red;
        q.rgbGreen = h.Palette[i].green;
        q.rgbBlue = h.Palette[i].blue;
        img.Palette.push_back(q);
    }
    return img;
}

std::string WritePng(const TPixelImage& Image, int Level) {
    CheckImage(Image, "PNG");
    std::string out;
    TPngIo io;
    io.Out = &out;
    TWriteGuard g;
    g.Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, OnError, OnWarning);
    if (g.Png == nullptr) throw EOutOfMemory("Out of memory while writing a PNG image");
    g.Info = png_create_info_struct(g.Png);
    if (g.Info == nullptr) throw EOutOfMemory("Out of memory while writing a PNG image");
    png_set_write_fn(g.Png, &io, OnWrite, OnFlush);

    const size_t w = size_t(Image.Width);
    std::vector<png_bytep> rows(size_t(Image.Height));
    // libpng copies each row before transforming it, so the pixels are only read.
    auto* pixels = const_cast<uint32_t*>(Image.Pixels.data());
    for (size_t y = 0; y < rows.size(); ++y) rows[y] = reinterpret_cast<png_bytep>(pixels + y * w);
    if (!WriteRows(g.Png, g.Info, png_uint_32(Image.Width), png_uint_32(Image.Height), Image.HasAlpha,
                   std::clamp(Level, 0, 9), rows.data()))
        throw EInvalidGraphic(std::string("Cannot write the PNG image (") + io.Error + ")");
    return out;
}

}  // namespace host
