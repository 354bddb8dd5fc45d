// Cursors and icons: the system cursors and icons drawn as real icon objects, cursor resources, and the current cursor.
#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/gdi/gdiobj.h"
#include "host/gdi/imagefile.h"
#include "host/rtl/resources.h"
#include "host/windows/wnd_internal.h"

namespace host::win {

namespace {

constexpr int kSize = 32;

// A 32x32 shape: which pixels it covers.
struct TShape {
    bool In[kSize][kSize] = {};
    void Polygon(std::vector<std::pair<double, double>> Pts) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                double px = x + 0.5, py = y + 0.5;
                bool inside = false;
                for (size_t i = 0, j = Pts.size() - 1; i < Pts.size(); j = i++) {
                    auto [xi, yi] = Pts[i];
                    auto [xj, yj] = Pts[j];
                    if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi) inside = !inside;
                }
                if (inside) In[y][x] = true;
            }
    }
    void Rect(int L, int T, int R, int B) {
        for (int y = std::max(0, T); y < std::min(kSize, B); ++y)
            for (int x = std::max(0, L); x < std::min(kSize, R); ++x) In[y][x] = true;
    }
    void Ring(double Cx, double Cy, double R0, double R1) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                double d = std::hypot(x + 0.5 - Cx, y + 0.5 - Cy);
                if (d >= R0 && d <= R1) In[y][x] = true;
            }
    }
    bool Edge(int X, int Y) const {
        static const int d[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
        for (auto& o : d) {
            int nx = X + o[0], ny = Y + o[1];
            if (nx < 0 || ny < 0 || nx >= kSize || ny >= kSize || !In[ny][nx]) return true;
        }
        return false;
    }
};

using TPts = std::vector<std::pair<double, double>>;

TPts Rotate(TPts P, double Degrees) {
    double a = Degrees * 3.14159265358979 / 180, c = std::cos(a), s = std::sin(a);
    for (auto& [x, y] : P) {
        double dx = x - 16, dy = y - 16;
        x = 16 + dx * c - dy * s;
        y = 16 + dx * s + dy * c;
    }
    return P;
}

const TPts kArrow{{0, 0}, {0, 17}, {4.5, 12.5}, {7.5, 19.5}, {10, 18.5}, {7, 11.5}, {12.5, 11.5}};
const TPts kDoubleArrow{{2, 16}, {8, 10}, {8, 14}, {24, 14}, {24, 10}, {30, 16}, {24, 22}, {24, 18}, {8, 18}, {8, 22}};

// Pixels of an image: colour (0x00RRGGBB) and whether it is part of the image.
struct TPicture {
    uint32_t Color[kSize][kSize] = {};
    bool Opaque[kSize][kSize] = {};
    // Black outline, Fill inside.
    void Add(const TShape& S, uint32_t Fill, uint32_t Outline = 0x000000) {
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (S.In[y][x]) {
                    Color[y][x] = S.Edge(x, y) ? Outline : Fill;
                    Opaque[y][x] = true;
                }
    }
};

HICON MakeIcon(const TPicture& P, bool IsIcon, int HotX, int HotY, bool Stock) {
    HBITMAP color = CreateBitmap(kSize, kSize, 1, 32, nullptr);
    HBITMAP mask = CreateBitmap(kSize, kSize, 1, 1, nullptr);
    auto* c = gdi::Find<gdi::TBitmapObj>(color);
    auto* m = gdi::Find<gdi::TBitmapObj>(mask);
    if (c == nullptr || m == nullptr) {
        DeleteObject(color);
        DeleteObject(mask);
        return nullptr;
    }
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            c->Row(y)[x] = P.Opaque[y][x] ? P.Color[y][x] : 0;
            m->Row(y)[x] = P.Opaque[y][x] ? 0x000000 : 0xFFFFFF;
        }
    ICONINFO ii;
    ii.fIcon = IsIcon ? TRUE : FALSE;
    ii.xHotspot = DWORD(HotX);
    ii.yHotspot = DWORD(HotY);
    ii.hbmMask = mask;
    ii.hbmColor = color;
    HICON h = CreateIconIndirect(&ii);
    DeleteObject(color);
    DeleteObject(mask);
    if (Stock)
        if (auto* o = gdi::Find<gdi::TIconObj>(h)) o->Stock = true;
    return h;
}

TPicture CursorPicture(int Id, int& HotX, int& HotY) {
    TPicture p;
    TShape s;
    HotX = HotY = 16;
    switch (Id) {
    default:
    case 32512:  // arrow
        s.Polygon(kArrow);
        HotX = HotY = 0;
        break;
    case 32513:  // I-beam
        s.Rect(15, 5, 17, 27);
        s.Rect(12, 4, 15, 6);
        s.Rect(17, 4, 20, 6);
        s.Rect(12, 26, 15, 28);
        s.Rect(17, 26, 20, 28);
        p.Add(s, 0x000000);
        return p;
    case 32514:  // hourglass
        s.Polygon({{8, 2}, {24, 2}, {24, 6}, {18, 16}, {24, 26}, {24, 30}, {8, 30}, {8, 26}, {14, 16}, {8, 6}});
        break;
    case 32515:  // cross
        s.Rect(15, 3, 17, 29);
        s.Rect(3, 15, 29, 17);
        p.Add(s, 0x000000);
        return p;
    case 32516:  // up arrow
        s.Polygon({{16, 1}, {24, 11}, {19, 11}, {19, 29}, {13, 29}, {13, 11}, {8, 11}});
        HotY = 1;
        break;
    case 32640:  // size (all)
    case 32646:
        s.Polygon(kDoubleArrow);
        s.Polygon(Rotate(kDoubleArrow, 90));
        break;
    case 32641:  // icon
        s.Rect(8, 8, 24, 24);
        break;
    case 32642: s.Polygon(Rotate(kDoubleArrow, 45)); break;   // NW-SE
    case 32643: s.Polygon(Rotate(kDoubleArrow, -45)); break;  // NE-SW
    case 32644: s.Polygon(kDoubleArrow); break;               // W-E
    case 32645: s.Polygon(Rotate(kDoubleArrow, 90)); break;   // N-S
    case 32648: {  // no
        s.Ring(16, 16, 8, 12);
        TPts slash{{8, 10}, {10, 8}, {24, 22}, {22, 24}};
        s.Polygon(slash);
        p.Add(s, 0xFF0000);
        return p;
    }
    case 32649:  // hand
        s.Rect(10, 1, 15, 16);
        s.Rect(10, 12, 25, 27);
        s.Rect(6, 15, 10, 22);
        HotX = 12;
        HotY = 1;
        break;
    case 32650: {  // arrow with a small hourglass
        s.Polygon(kArrow);
        TShape g;
        g.Polygon({{16, 14}, {26, 14}, {26, 17}, {22, 21}, {26, 25}, {26, 28}, {16, 28}, {16, 25}, {20, 21}, {16, 17}});
        p.Add(s, 0xFFFFFF);
        p.Add(g, 0xFFFFFF);
        HotX = HotY = 0;
        return p;
    }
    case 32651: {  // arrow with a question mark
        s.Polygon(kArrow);
        TShape q;
        q.Ring(21, 19, 3, 5.5);
        q.Rect(20, 24, 23, 27);
        p.Add(s, 0xFFFFFF);
        p.Add(q, 0x000000);
        HotX = HotY = 0;
        return p;
    }
    }
    p.Add(s, 0xFFFFFF);
    return p;
}

TPicture IconPicture(int Id) {
    TPicture p;
    TShape s;
    switch (Id) {
    case 32513: {  // hand (error): red disc with a white cross
        s.Ring(16, 16, 0, 14);
        p.Add(s, 0xE00000, 0x800000);
        TShape x;
        x.Polygon(Rotate({{9, 14}, {23, 14}, {23, 18}, {9, 18}}, 45));
        x.Polygon(Rotate({{9, 14}, {23, 14}, {23, 18}, {9, 18}}, -45));
        p.Add(x, 0xFFFFFF, 0xFFFFFF);
        break;
    }
    case 32514:    // question
    case 32516: {  // asterisk (information)
        s.Ring(16, 16, 0, 14);
        p.Add(s, Id == 32514 ? 0x2050E0 : 0x1F6FE0, 0x102060);
        TShape g;
        if (Id == 32514) {
            g.Ring(16, 12, 3, 6);
            g.Rect(15, 15, 18, 20);
            g.Rect(15, 22, 18, 25);
        } else {
            g.Rect(15, 7, 18, 10);
            g.Rect(15, 13, 18, 25);
        }
        p.Add(g, 0xFFFFFF, 0xFFFFFF);
        break;
    }
    case 32515: {  // exclamation: yellow triangle with a black mark
        s.Polygon({{16, 2}, {30, 29}, {2, 29}});
        p.Add(s, 0xFFE000, 0x000000);
        TShape g;
        g.Rect(15, 10, 18, 21);
        g.Rect(15, 23, 18, 26);
        p.Add(g, 0x000000, 0x000000);
        break;
    }
    case 32517: {  // logo: four squares
        const uint32_t colors[4] = {0xE02020, 0x20A020, 0x2040E0, 0xE0C000};
        for (int i = 0; i < 4; ++i) {
            TShape q;
            int x = 3 + (i % 2) * 14, y = 3 + (i / 2) * 14;
            q.Rect(x, y, x + 12, y + 12);
            p.Add(q, colors[i], colors[i]);
        }
        break;
    }
    default: {  // application: a window with a caption
        s.Rect(2, 4, 30, 28);
        p.Add(s, 0xFFFFFF);
        TShape c;
        c.Rect(3, 5, 29, 10);
        p.Add(c, 0x000080, 0x000080);
        break;
    }
    }
    return p;
}

struct TCursorCache {
    std::map<int, HCURSOR> System;
    std::map<int, HICON> Icons;
    std::map<std::pair<uintptr_t, std::string>, HCURSOR> Resources;
};

TCursorCache& C() {
    static TCursorCache c;
    return c;
}

HICON FromIconFile(const std::string& Bytes, bool Cursor) {
    std::vector<TIconImage> images;
    try {
        images = ReadIco(Bytes);
    } catch (...) {
        return nullptr;
    }
    if (images.empty()) return nullptr;
    // The image nearest 32x32.
    const TIconImage* best = &images[0];
    for (auto& i : images)
        if (std::abs(i.Image.Width - kSize) < std::abs(best->Image.Width - kSize)) best = &i;
    int w = best->Image.Width, h = best->Image.Height;
    if (w <= 0 || h <= 0) return nullptr;
    HBITMAP color = CreateBitmap(w, h, 1, 32, nullptr);
    HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
    auto* c = gdi::Find<gdi::TBitmapObj>(color);
    auto* m = gdi::Find<gdi::TBitmapObj>(mask);
    HICON result = nullptr;
    if (c != nullptr && m != nullptr) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                size_t i = size_t(y) * size_t(w) + size_t(x);
                uint32_t px = best->Image.Pixels[i];
                bool transparent = best->Mask.size() == best->Image.Pixels.size() ? best->Mask[i] != 0
                                                                                 : ((px >> 24) < 128 && best->Image.HasAlpha);
                c->Row(y)[x] = transparent ? 0 : (px & 0xFFFFFF);
                m->Row(y)[x] = transparent ? 0xFFFFFF : 0x000000;
            }
        ICONINFO ii;
        ii.fIcon = Cursor ? FALSE : TRUE;
        ii.xHotspot = DWORD(best->HotX);
        ii.yHotspot = DWORD(best->HotY);
        ii.hbmMask = mask;
        ii.hbmColor = color;
        result = CreateIconIndirect(&ii);
        if (auto* o = gdi::Find<gdi::TIconObj>(result)) o->Stock = true;
    }
    DeleteObject(color);
    DeleteObject(mask);
    return result;
}

}  // namespace

HCURSOR SystemCursor(int Id) {
    auto& sys = C().System;
    auto it = sys.find(Id);
    if (it != sys.end() && gdi::Find<gdi::TIconObj>(it->second) != nullptr) return it->second;
    int hx, hy;
    TPicture p = CursorPicture(Id, hx, hy);
    HCURSOR h = MakeIcon(p, false, hx, hy, true);
    sys[Id] = h;
    return h;
}

void ResetCursors() {
    S().Cursor = SystemCursor(32512);
    S().CursorCount = 0;
}

}  // namespace host::win

namespace host {

using namespace win;

HCURSOR LoadCursorA(HINSTANCE Instance, const char* Name) {
    if (Name == nullptr) return nullptr;
    if (Instance == 0) {
        if (!IS_INTRESOURCE(Name)) return nullptr;
        int id = int(reinterpret_cast<uintptr_t>(Name));
        static const int known[] = {32512, 32513, 32514, 32515, 32516, 32640, 32641, 32642, 32643,
                                    32644, 32645, 32646, 32648, 32649, 32650, 32651};
        for (int k : known)
            if (k == id) return SystemCursor(id);
        return nullptr;
    }
    std::string name = IS_INTRESOURCE(Name) ? ResourceId(int(reinterpret_cast<uintptr_t>(Name))) : std::string(Name);
    auto key = std::make_pair(uintptr_t(Instance), NormalizeResourceName(name));
    auto& cache = C().Resources;
    auto it = cache.find(key);
    if (it != cache.end() && gdi::Find<gdi::TIconObj>(it->second) != nullptr) return it->second;
    TResourceBlob blob;
    if (!FindResourceBlob(Instance, "CURSOR", name, blob)) return nullptr;
    HCURSOR h = FromIconFile(std::string(reinterpret_cast<const char*>(blob.Data), blob.Size), true);
    if (h != nullptr) cache[key] = h;
    return h;
}

HICON LoadIconA(HINSTANCE Instance, const char* Name) {
    if (Name == nullptr) return nullptr;
    if (Instance == 0) {
        if (!IS_INTRESOURCE(Name)) return nullptr;
        int id = int(reinterpret_cast<uintptr_t>(Name));
        if (id < 32512 || id > 32517) return nullptr;
        auto& icons = C().Icons;
        auto it = icons.find(id);
        if (it != icons.end() && gdi::Find<gdi::TIconObj>(it->second) != nullptr) return it->second;
        HICON h = MakeIcon(IconPicture(id), true, 16, 16, true);
        icons[id] = h;
        return h;
    }
    std::string name = IS_INTRESOURCE(Name) ? ResourceId(int(reinterpret_cast<uintptr_t>(Name))) : std::string(Name);
    TResourceBlob blob;
    if (!FindResourceBlob(Instance, "ICON", name, blob)) return nullptr;
    return FromIconFile(std::string(reinterpret_cast<const char*>(blob.Data), blob.Size), false);
}

HCURSOR SetCursor(HCURSOR Cursor) {
    HCURSOR old = S().Cursor;
    S().Cursor = Cursor;
    return old;
}

HCURSOR GetCursor() { return S().Cursor; }

int ShowCursor(BOOL Show) {
    S().CursorCount += Show ? 1 : -1;
    return S().CursorCount;
}

HCURSOR CreateCursor(HINSTANCE, int HotX, int HotY, int Width, int Height, const void* AndPlane, const void* XorPlane) {
    if (Width <= 0 || Height <= 0 || Width > 256 || Height > 256 || AndPlane == nullptr || XorPlane == nullptr)
        return nullptr;
    HBITMAP color = CreateBitmap(Width, Height, 1, 32, nullptr);
    HBITMAP mask = CreateBitmap(Width, Height, 1, 1, nullptr);
    auto* c = gdi::Find<gdi::TBitmapObj>(color);
    auto* m = gdi::Find<gdi::TBitmapObj>(mask);
    HCURSOR h = nullptr;
    if (c != nullptr && m != nullptr) {
        size_t stride = size_t((Width + 15) / 16) * 2;
        auto* a = static_cast<const uint8_t*>(AndPlane);
        auto* x = static_cast<const uint8_t*>(XorPlane);
        for (int y = 0; y < Height; ++y)
            for (int i = 0; i < Width; ++i) {
                bool and1 = (a[size_t(y) * stride + size_t(i / 8)] >> (7 - i % 8)) & 1;
                bool xor1 = (x[size_t(y) * stride + size_t(i / 8)] >> (7 - i % 8)) & 1;
                m->Row(y)[i] = and1 ? 0xFFFFFF : 0x000000;
                c->Row(y)[i] = xor1 ? 0xFFFFFF : 0x000000;
            }
        ICONINFO ii;
        ii.fIcon = FALSE;
        ii.xHotspot = DWORD(HotX);
        ii.yHotspot = DWORD(HotY);
        ii.hbmMask = mask;
        ii.hbmColor = color;
        h = CreateIconIndirect(&ii);
    }
    DeleteObject(color);
    DeleteObject(mask);
    return h;
}

}  // namespace host
