// Fuzz target for the polygon region builder: any polygon gives a valid region in canonical bands whose
// pixels are exactly those whose centres the fill rule puts inside, and the same cut to a rectangle when built within it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/region.h"
#include "tests/host/gdi/region_reference.h"

namespace {

using namespace host;

[[noreturn]] void Fail(const char* what, int x, int y) {
    std::fprintf(stderr, "%s at (%d, %d)\n", what, x, y);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const bool alternate = data[0] & 1;
    const int polygons = 1 + data[1] % 4;
    size_t pos = 2;
    std::vector<int> counts;
    for (int i = 0; i < polygons && pos < size; ++i) counts.push_back(data[pos++] % 12);
    // Points: 16-bit coordinates, so the reference arithmetic stays exact.
    std::vector<POINT> pts;
    for (; pos + 4 <= size; pos += 4) {
        int16_t x, y;
        std::memcpy(&x, data + pos, 2);
        std::memcpy(&y, data + pos + 2, 2);
        pts.push_back(POINT{x / 256, y / 256});  // keep shapes small enough to check pixel by pixel
    }
    size_t need = 0;
    for (int c : counts) need += size_t(c);
    if (need > pts.size()) return 0;
    HRGN r = CreatePolyPolygonRgn(pts.data(), counts.data(), int(counts.size()), alternate ? ALTERNATE : WINDING);
    if (r == nullptr) Fail("no region", 0, 0);
    RECT box;
    GetRgnBox(r, &box);
    // Check every pixel of the bounding box of the points and a margin around it.
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (size_t i = 0; i < need; ++i) {
        x0 = std::min<int>(x0, pts[i].x), x1 = std::max<int>(x1, pts[i].x);
        y0 = std::min<int>(y0, pts[i].y), y1 = std::max<int>(y1, pts[i].y);
    }
    for (int y = y0 - 1; y <= y1; ++y)
        for (int x = x0 - 1; x <= x1; ++x) {
            bool want = regionref::Inside(pts, counts, x, y, alternate);
            if ((PtInRegion(r, x, y) != 0) != want) Fail(want ? "pixel missing" : "pixel too many", x, y);
        }
    if (box.left < x0 || box.top < y0 || box.right > x1 + 1 || box.bottom > y1 + 1)
        Fail("box too large", box.left, box.top);
    // The bands are canonical: region algebra rebuilding them from the same
    // rectangles gives the same list.
    const std::vector<RECT> rects = GetRegionRects(r);
    TRegion rebuilt;
    for (const RECT& b : rects) rebuilt.Union(b);
    if (rebuilt.Rects() != rects) Fail("bands not canonical", box.left, box.top);
    // Building only within a bound gives the region cut to the bound.
    const RECT bound{x0 + (x1 - x0) / 3, y0 + (y1 - y0) / 4, x1 - (x1 - x0) / 5, y1};
    TRegion cut = PolygonRegion(pts.data(), counts.data(), int(counts.size()), alternate ? ALTERNATE : WINDING, 0, 0,
                                &bound);
    rebuilt.Intersect(bound);
    if (!(cut == rebuilt) || cut.Rects() != rebuilt.Rects()) Fail("bounded region differs", bound.left, bound.top);
    DeleteObject(r);
    return 0;
}
