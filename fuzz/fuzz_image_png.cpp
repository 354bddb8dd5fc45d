// Fuzz target for PNG files: the reader must reject bad input with EInvalidGraphic only, and
// what it accepts must write and read back with the same pixels.
#include "fuzz_image_common.h"

using fuzzimage::Fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = fuzzimage::Input(data, size);
    host::TPixelImage img;
    try {
        img = host::ReadPng(input);
    } catch (const host::EInvalidGraphic&) {
        return 0;
    }
    if (img.Width <= 0 || img.Height <= 0 || img.Pixels.size() != size_t(img.Width) * size_t(img.Height))
        Fail("decoded size and pixel count disagree");
    if (!img.HasAlpha)
        for (uint32_t p : img.Pixels)
            if ((p >> 24) != 0xFF) Fail("an image without alpha has a transparent pixel");
    const host::TPixelImage back = host::ReadPng(host::WritePng(img, 1));
    if (back.Pixels != img.Pixels || back.HasAlpha != img.HasAlpha) Fail("round trip changed the pixels");
    return 0;
}
