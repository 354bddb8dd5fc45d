// Fuzz target for BMP files: the reader must reject bad input with EInvalidGraphic only, and
// what it accepts must hold its size in pixels and survive a 32-bit write and read unchanged.
#include "fuzz_image_common.h"

using fuzzimage::Fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = fuzzimage::Input(data, size);
    host::TPixelImage img;
    try {
        img = host::ReadBmp(input);
    } catch (const host::EInvalidGraphic&) {
        return 0;
    }
    if (img.Width <= 0 || img.Height <= 0 || img.Pixels.size() != size_t(img.Width) * size_t(img.Height))
        Fail("decoded size and pixel count disagree");
    if (host::ReadImageAuto(input).Pixels != img.Pixels) Fail("ReadImageAuto differs from ReadBmp");
    const host::TPixelImage back = host::ReadBmp(host::WriteBmp(img, 32, size % 2 == 0));
    if (back.Pixels != img.Pixels) Fail("32-bit round trip changed the pixels");
    // Every depth writes something readable of the same size.
    const int depth = img.BitsPerPixel;
    if (depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24) {
        const host::TPixelImage again = host::ReadBmp(host::WriteBmp(img, depth));
        if (again.Width != img.Width || again.Height != img.Height) Fail("round trip changed the size");
    }
    return 0;
}
