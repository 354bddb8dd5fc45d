// Benchmarks that check the harness itself: equal work on both sides gives a ratio near 1.
#include <cstring>
#include <vector>

#include "bench.h"

// memcpy of 64 MB against the same memcpy: proves the timing, interleaving and
// reporting; any ratio far from 1 means the harness or the machine is noisy.
RYX_BENCH("rtl.memcpy_self", c) {
    constexpr size_t size = size_t(64) << 20;
    std::vector<unsigned char> src(size, 0x5A), dst(size, 0);
    auto copy = [&] {
        std::memcpy(dst.data(), src.data(), size);
        bench::DoNotOptimize(dst.data());
    };
    c.Compare(copy, copy);
}
