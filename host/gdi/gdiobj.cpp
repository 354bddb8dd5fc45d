// The painter's handle table, call trace and live counts, and what drawing code needs of a DC (MakeTarget).
#include "host/gdi/gdiobj.h"

#include <cstdio>
#include <new>

#include "host/gdi/gdi.h"
#include "host/gdi/gdi_internal.h"
#include "host/gdi/gditest.h"

namespace host::gdi {

namespace {

// A handle is (generation << 32) | (slot << 4) | 8: never a small integer (so a
// system colour index passed as a brush is not mistaken for one), and a slot that
// was freed and reused has a new generation, so an old handle finds nothing.
constexpr uintptr_t kTag = 0x8;
static_assert(sizeof(uintptr_t) >= 8, "handles carry a 32-bit generation");

struct TSlot {
    std::unique_ptr<TObj> Obj;
    uint32_t Gen = 0;
};

struct TTable {
    std::vector<TSlot> Slots;
    std::vector<uint32_t> Free;
    bool TraceOn = false;
    std::vector<std::string> Log;
    std::vector<std::pair<std::string, int>> Faults;  // call name, calls left before it fails
};

// The table outlives every static object that may still delete a handle while the
// program ends, so it is built in place and never destroyed.
TTable& Table() {
    alignas(TTable) static unsigned char storage[sizeof(TTable)];
    static TTable* table = ::new (storage) TTable();
    return *table;
}

uintptr_t Encode(uint32_t Slot, uint32_t Gen) { return (uintptr_t(Gen) << 32) | (uintptr_t(Slot) << 4) | kTag; }

int CountLive(TKind Kind, bool AllKinds = false) {
    int n = 0;
    for (const TSlot& s : Table().Slots)
        if (s.Obj && !s.Obj->Stock && (AllKinds || s.Obj->Kind == Kind)) ++n;
    return n;
}

}  // namespace

HGDIOBJ AddObject(std::unique_ptr<TObj> Obj) {
    if (!Obj) return nullptr;
    TTable& t = Table();
    uint32_t slot;
    if (!t.Free.empty()) {
        slot = t.Free.back();
        t.Free.pop_back();
    } else {
        if (t.Slots.size() >= (size_t(1) << 27)) return nullptr;
        slot = uint32_t(t.Slots.size());
        t.Slots.emplace_back();
    }
    TSlot& s = t.Slots[slot];
    if (++s.Gen == 0) s.Gen = 1;
    HGDIOBJ h = reinterpret_cast<HGDIOBJ>(Encode(slot, s.Gen));
    Obj->Handle = h;
    s.Obj = std::move(Obj);
    return h;
}

TObj* FindObject(HGDIOBJ Handle) {
    uintptr_t v = reinterpret_cast<uintptr_t>(Handle);
    if ((v & 0xF) != kTag) return nullptr;
    uint32_t slot = uint32_t((v & 0xFFFFFFFFu) >> 4);
    uint32_t gen = uint32_t(v >> 32);
    TTable& t = Table();
    if (slot >= t.Slots.size()) return nullptr;
    TSlot& s = t.Slots[slot];
    if (s.Gen != gen || !s.Obj) return nullptr;
    return s.Obj.get();
}

HGDIOBJ HandleOf(const TObj* Obj) { return Obj != nullptr ? Obj->Handle : nullptr; }

void RemoveObject(HGDIOBJ Handle) {
    if (FindObject(Handle) == nullptr) return;
    uintptr_t v = reinterpret_cast<uintptr_t>(Handle);
    uint32_t slot = uint32_t((v & 0xFFFFFFFFu) >> 4);
    TTable& t = Table();
    // Take the object out first: its destructor may not see itself in the table.
    std::unique_ptr<TObj> obj = std::move(t.Slots[slot].Obj);
    t.Free.push_back(slot);
    obj.reset();
}

void Trace(const char* Call, const std::string& Args) {
    TTable& t = Table();
    if (!t.TraceOn) return;
    std::string line(Call);
    line += '(';
    line += Args;
    line += ')';
    t.Log.push_back(std::move(line));
}

bool Tracing() { return Table().TraceOn; }

bool InjectedFault(const char* Call) {
    TTable& t = Table();
    if (t.Faults.empty()) return false;
    for (size_t i = 0; i < t.Faults.size(); ++i) {
        if (t.Faults[i].first != Call) continue;
        if (--t.Faults[i].second > 0) return false;
        t.Faults.erase(t.Faults.begin() + std::ptrdiff_t(i));
        return true;
    }
    return false;
}

std::string detail::TraceArg(const void* P) {
    if (P == nullptr) return "0";
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(P)));
    return buf;
}

// ---- objects ----

TBitmapObj::~TBitmapObj() { ResetImage(); }

pixman_image_t* TBitmapObj::Image() {
    if (FImage != nullptr) {
        // Still over the same memory and size?
        if (pixman_image_get_data(FImage) == Pixels.data() && pixman_image_get_width(FImage) == Width &&
            pixman_image_get_height(FImage) == Height)
            return FImage;
        ResetImage();
    }
    if (Width <= 0 || Height <= 0 || Pixels.size() < size_t(Width) * size_t(Height)) return nullptr;
    FImage = pixman_image_create_bits(PIXMAN_x8r8g8b8, Width, Height, Pixels.data(), Width * 4);
    return FImage;
}

void TBitmapObj::ResetImage() {
    if (FImage != nullptr) {
        pixman_image_unref(FImage);
        FImage = nullptr;
    }
}

TFontObj::~TFontObj() = default;

TBitmapObj* TDCObj::Surface() {
    switch (DCKind) {
    case TDCKind::Memory:
        return Find<TBitmapObj>(A.Bitmap);
    case TDCKind::Screen:
        ExternalSurface = DesktopSurface();
        return ExternalSurface;
    case TDCKind::Window:
        return ExternalSurface;
    case TDCKind::Info:
        break;
    }
    return nullptr;
}

// ---- colours ----

uint32_t ColorToSurface(COLORREF Color, const TBitmapObj* Surface) {
    COLORREF rgb;
    if ((Color >> 24) == 0x01) {  // PALETTEINDEX: an entry of the default palette
        const PALETTEENTRY& e = kDefaultPalette[(Color & 0xFFFF) % kDefaultPaletteSize];
        rgb = RGB(e.peRed, e.peGreen, e.peBlue);
    } else {
        rgb = Color & 0xFFFFFF;  // PALETTERGB and plain RGB
    }
    if (Surface != nullptr && Surface->Mono()) {
        // The nearer of black and white: white when r+g+b is above half of 3*255.
        int sum = GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb);
        return sum > 382 ? 0xFFFFFF : 0x000000;
    }
    return ToPixel(rgb);
}

// ---- targets ----

POINT ToSurface(const TDCObj* Dc, POINT Logical) {
    POINT p{Logical.x - Dc->A.WindowOrg.x + Dc->A.ViewportOrg.x, Logical.y - Dc->A.WindowOrg.y + Dc->A.ViewportOrg.y};
    if (Dc->DCKind != TDCKind::Memory) {
        p.x += Dc->DeviceOffset.x;
        p.y += Dc->DeviceOffset.y;
    }
    return p;
}

namespace {

// The clip in surface coordinates, rebuilt only when something it depends on changed.
const TRegion& SurfaceClip(TDCObj* Dc, TBitmapObj* S) {
    POINT off = Dc->SurfaceOffset();
    if (Dc->CachedVersion == Dc->ClipVersion && Dc->CachedSurface == S && Dc->CachedWidth == S->Width &&
        Dc->CachedHeight == S->Height && Dc->CachedOffset == off)
        return Dc->CachedClip;
    TRegion& c = Dc->CachedClip;
    c.SetRect(RECT{0, 0, S->Width, S->Height});
    if (Dc->DCKind != TDCKind::Memory && Dc->HasVisRgn) c.Intersect(Dc->VisRgn);
    if (Dc->A.HasClip) {
        if (off.x == 0 && off.y == 0) {
            c.Intersect(Dc->A.Clip);
        } else {
            TRegion clip(Dc->A.Clip);
            clip.Offset(off.x, off.y);
            c.Intersect(clip);
        }
    }
    Dc->CachedVersion = Dc->ClipVersion;
    Dc->CachedSurface = S;
    Dc->CachedWidth = S->Width;
    Dc->CachedHeight = S->Height;
    Dc->CachedOffset = off;
    return c;
}

}  // namespace

bool MakeTarget(HDC Dc, TTarget& T) {
    TDCObj* dc = Find<TDCObj>(Dc);
    if (dc == nullptr) return false;
    TBitmapObj* s = dc->Surface();
    if (s == nullptr) return false;
    SyncFromDib(s);
    if (s->DibBitCount != 0) s->SurfaceNewer = true;
    POINT off = dc->SurfaceOffset();
    T.DC = dc;
    T.Surface = s;
    T.Dx = dc->A.ViewportOrg.x - dc->A.WindowOrg.x + off.x;
    T.Dy = dc->A.ViewportOrg.y - dc->A.WindowOrg.y + off.y;
    T.Clip = SurfaceClip(dc, s);
    return true;
}

TRegion DeviceClip(TDCObj* Dc) {
    TBitmapObj* s = Dc->Surface();
    if (s == nullptr) return Dc->A.HasClip ? Dc->A.Clip : TRegion();
    TRegion r(SurfaceClip(Dc, s));
    POINT off = Dc->SurfaceOffset();
    r.Offset(-off.x, -off.y);
    return r;
}

RECT DeviceArea(TDCObj* Dc) {
    TBitmapObj* s = Dc->Surface();
    RECT r{};
    if (s == nullptr) return r;
    r = RECT{0, 0, s->Width, s->Height};
    if (Dc->DCKind == TDCKind::Memory) return r;
    if (Dc->HasVisRgn) {
        TRegion v(Dc->VisRgn);
        v.Intersect(r);
        r = v.Bounds();
    }
    r.left -= Dc->DeviceOffset.x;
    r.right -= Dc->DeviceOffset.x;
    r.top -= Dc->DeviceOffset.y;
    r.bottom -= Dc->DeviceOffset.y;
    return r;
}

}  // namespace host::gdi

// ---- what tests see ----
namespace host::gditest {

using gdi::TKind;

int LiveDCs() { return gdi::CountLive(TKind::DC); }
int LiveBitmaps() { return gdi::CountLive(TKind::Bitmap); }
int LivePens() { return gdi::CountLive(TKind::Pen); }
int LiveBrushes() { return gdi::CountLive(TKind::Brush); }
int LiveFonts() { return gdi::CountLive(TKind::Font); }
int LiveRegions() { return gdi::CountLive(TKind::Region); }
int LivePalettes() { return gdi::CountLive(TKind::Palette); }
int LiveIcons() { return gdi::CountLive(TKind::Icon); }
int LiveObjects() { return gdi::CountLive(TKind::Free, true); }

void SetTrace(bool On) { gdi::Table().TraceOn = On; }
const std::vector<std::string>& TraceLog() { return gdi::Table().Log; }
void ClearTrace() { gdi::Table().Log.clear(); }

void FailCall(const std::string& Call, int Nth) {
    auto& f = gdi::Table().Faults;
    std::erase_if(f, [&](const auto& e) { return e.first == Call; });
    if (Nth > 0) f.emplace_back(Call, Nth);
}

void ClearFaults() { gdi::Table().Faults.clear(); }

}  // namespace host::gditest
