// Fuzz target for icon and cursor files: the reader must reject bad input with EInvalidGraphic
// only, and what it accepts must write and read back with the same images, masks and colours.
#include <vector>

#include "fuzz_image_common.h"

using fuzzimage::Fail;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = fuzzimage::Input(data, size);
    std::vector<host::TIconImage> icons;
    try {
        icons = host::ReadIco(input);
    } catch (const host::EInvalidGraphic&) {
        return 0;
    }
    if (icons.empty()) Fail("an accepted file without images");
    for (const host::TIconImage& i : icons) {
        const size_t n = size_t(i.Image.Width) * size_t(i.Image.Height);
        if (n == 0 || i.Image.Pixels.size() != n || i.Mask.size() != n) Fail("image, mask and size disagree");
    }
    (void)host::ReadImageAuto(input);
    std::string written;
    try {
        written = host::WriteIco(icons, icons[0].IsCursor);
    } catch (const host::EInvalidGraphic&) {
        return 0;  // images larger than an icon may hold
    }
    const std::vector<host::TIconImage> back = host::ReadIco(written);
    if (back.size() != icons.size()) Fail("round trip changed the image count");
    for (size_t k = 0; k < icons.size(); ++k) {
        const host::TIconImage &a = icons[k], &b = back[k];
        if (a.Image.Width != b.Image.Width || a.Image.Height != b.Image.Height || a.Mask != b.Mask ||
            a.HotX != b.HotX || a.HotY != b.HotY || a.Png != b.Png)
            Fail("round trip changed an image's size, mask or hot spot");
        const int bpp = a.Image.BitsPerPixel;
        if (a.Png || bpp == 24 || bpp == 32)
            for (size_t p = 0; p < a.Image.Pixels.size(); ++p)
                if (((a.Image.Pixels[p] ^ b.Image.Pixels[p]) & 0xFFFFFF) != 0) Fail("round trip changed a colour");
    }
    return 0;
}
