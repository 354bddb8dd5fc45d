// What the image-file fuzz targets share: the failure report and the input set-up.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/gdi/imagefile.h"
#include "host/rtl/exceptions.h"

namespace fuzzimage {

[[noreturn]] inline void Fail(const char* What) {
    std::fprintf(stderr, "%s\n", What);
    std::abort();
}

// The input as bytes, with the decoders' pixel limit lowered once so that each run stays fast.
inline std::string Input(const uint8_t* data, size_t size) {
    static const bool limited = (host::SetImagePixelLimit(int64_t(1) << 20), true);
    (void)limited;
    return std::string(reinterpret_cast<const char*>(data), size);
}

}  // namespace fuzzimage
