// The fill rules worked out directly for one pixel centre: the reference the polygon region tests and fuzz target check against.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "host/gdi/gditypes.h"

namespace regionref {

// Whether the centre of pixel (Px, Py) is inside the polygons (Counts[i] points each)
// by the fill rule: each edge crossing the centre's row at or left of the centre
// counts, by its direction (winding) or once (alternate). Exact for any 32-bit points.
inline bool Inside(const std::vector<host::POINT>& Pts, const std::vector<int>& Counts, int64_t Px, int64_t Py,
                   bool Alternate) {
    int wind = 0, crossings = 0;
    size_t base = 0;
    for (int n : Counts) {
        for (int i = 0; i < n; ++i) {
            host::POINT a = Pts[base + size_t(i)], b = Pts[base + size_t((i + 1) % n)];
            int dir = 1;
            if (a.y == b.y) continue;
            if (a.y > b.y) std::swap(a, b), dir = -1;
            // The edge covers centre rows y with a.y <= y + 1/2 < b.y.
            if (!(a.y <= Py && Py < b.y)) continue;
            const __int128 d = __int128(b.y) - a.y;
            const __int128 lhs = 2 * d * a.x + (2 * __int128(Py) + 1 - 2 * __int128(a.y)) * (__int128(b.x) - a.x);
            if (lhs <= (2 * __int128(Px) + 1) * d) wind += dir, ++crossings;
        }
        base += size_t(n);
    }
    return Alternate ? (crossings & 1) != 0 : wind != 0;
}

}  // namespace regionref
