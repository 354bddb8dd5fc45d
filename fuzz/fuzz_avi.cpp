// Fuzz target for AVI clips: the reader must reject bad input with EInvalidGraphic only, and every frame of
// what it accepts must decode to Width x Height pixels, the same played forward as decoded alone.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/os/avi.h"
#include "host/rtl/exceptions.h"

namespace {
[[noreturn]] void Fail(const char* What) {
    std::fprintf(stderr, "%s\n", What);
    std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    host::TAviReader reader;
    try {
        reader = host::TAviReader(std::string(reinterpret_cast<const char*>(data), size));
    } catch (const host::EInvalidGraphic&) {
        return 0;
    }
    if (reader.Width() <= 0 || reader.Height() <= 0 || reader.FrameCount() <= 0) Fail("accepted an empty clip");
    const size_t pixels = size_t(reader.Width()) * size_t(reader.Height());
    // Keep each run short: big frames only get their first and last frames decoded.
    const int frames = pixels > (1u << 16) ? std::min(reader.FrameCount(), 2) : std::min(reader.FrameCount(), 64);
    std::vector<uint32_t> played;
    int current = -1;
    for (int i = 0; i < frames; ++i) {
        reader.Render(i, played, current);
        if (played.size() != pixels || current != i) Fail("playing gave the wrong frame size");
        if (reader.Frame(i) != played) Fail("a frame decoded alone differs from the one played");
    }
    reader.Render(reader.FrameCount() - 1, played, current);
    if (played.size() != pixels) Fail("the last frame has the wrong size");
    return 0;
}
