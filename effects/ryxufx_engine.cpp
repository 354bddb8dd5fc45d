// The machinery every effect routine shares: argument checks, the stepping loop, buffers, guards, symmetry maps and the failure path.
#include "effects/ryxufx_engine.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "host/gdi/blit_region.h"
#include "host/gdi/gdi.h"
#include "host/rtl/clock.h"

namespace ryx::fx {

using namespace host;

namespace {

uint64_t GPixelsWritten = 0;
bool GCounting = false;
TBlitHook GBlitHook = nullptr;
void* GBlitContext = nullptr;

int Clamp32(int64_t V) {
    return static_cast<int>(std::clamp<int64_t>(V, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

bool ArgsOk(HDC Dest, HDC Src, int Width, int Height, int Size) {
    return Dest != nullptr && Src != nullptr && Width > 0 && Height > 0 && Size > 0;
}

int64_t StepInterval(int64_t Time, int64_t Size, int64_t Extent) {
    if (Extent <= 0 || Time <= 0 || Size <= 0) return 0;
    // Scaled sizes (zoom steps in proportion to the sides) can make the product
    // leave 64 bits; the interval is capped at the 32-bit range anyway.
    const __int128 interval = static_cast<__int128>(Time) * Size / Extent;
    return interval > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : int64_t(interval);
}

void SetPixelCounting(bool On) { GCounting = On; }
uint64_t PixelsWritten() { return GPixelsWritten; }
void AddPixelsWritten(uint64_t Pixels) {
    if (GCounting) GPixelsWritten += Pixels;
}
void ResetPixelsWritten() { GPixelsWritten = 0; }

void SetBlitHook(TBlitHook Hook, void* Context) {
    GBlitHook = Hook;
    GBlitContext = Hook != nullptr ? Context : nullptr;
}

bool TEffect::TMemPicture::Make(HDC Like, int Width, int Height) {
    Dc = CreateCompatibleDC(Like);
    if (Dc == nullptr) return false;
    Bmp = CreateCompatibleBitmap(Like, Width, Height);
    if (Bmp == nullptr || SelectObject(Dc, Bmp) == nullptr) return false;
    SetStretchBltMode(Dc, COLORONCOLOR);
    return true;
}

void TEffect::TMemPicture::Release() {
    if (Dc != nullptr) DeleteDC(Dc);
    if (Bmp != nullptr) DeleteObject(Bmp);
    Dc = nullptr;
    Bmp = nullptr;
}

TEffect::TEffect(HDC Dest, HDC Src, int Width, int Height, int Time, const TryxCancelEvent& OnStep, unsigned Map)
    : FDest(Dest), FSrc(Src), FWidth(Width), FHeight(Height), FW(Width), FH(Height), FTime(Time),
      FOnStep(OnStep), FMap(Map) {
    if (Map & mapTranspose) std::swap(FW, FH);
}

TEffect::~TEffect() {
    FBuffer.Release();
    FOld.Release();
    if (FStretching) SetStretchBltMode(FDest, FOldStretchMode);
}

HDC TEffect::DC(TSurface S) const {
    switch (S) {
    case sfDest: return FDest;
    case sfNew: return FSrc;
    case sfOld: return FOld.Dc;
    case sfBuffer: return FBuffer.Dc;
    }
    return nullptr;
}

bool TEffect::TakeSnapshot() {
    if (!FOld.Make(FDest, FWidth, FHeight)) return false;
    return Copy(sfOld, 0, 0, FWidth, FHeight, sfDest, 0, 0, false);
}

bool TEffect::MakeBuffer(TSurface Fill) {
    if (!FBuffer.Make(FSrc, FWidth, FHeight)) return false;
    if (Fill == sfBuffer) return true;
    return DC(Fill) != nullptr && Copy(sfBuffer, 0, 0, FWidth, FHeight, Fill, 0, 0, false);
}

void TEffect::UseStretching() {
    if (FStretching) return;
    FOldStretchMode = SetStretchBltMode(FDest, COLORONCOLOR);
    FStretching = FOldStretchMode != 0;
}

void TEffect::MapRect(int64_t& X, int64_t& Y, int64_t& Width, int64_t& Height) const {
    if (FMap & mapMirrorX) X = FW - X - Width;
    if (FMap & mapMirrorY) Y = FH - Y - Height;
    if (FMap & mapTranspose) {
        std::swap(X, Y);
        std::swap(Width, Height);
    }
}

POINT TEffect::MapPoint(int64_t X, int64_t Y) const {
    if (FMap & mapMirrorX) X = FW - X;
    if (FMap & mapMirrorY) Y = FH - Y;
    if (FMap & mapTranspose) std::swap(X, Y);
    return POINT{Clamp32(X), Clamp32(Y)};
}

void TEffect::Count(TSurface To, int64_t X, int64_t Y, int64_t Width, int64_t Height) const {
    (void)To;
    if (!GCounting) return;
    int64_t w = std::min<int64_t>(X + Width, FWidth) - std::max<int64_t>(X, 0);
    int64_t h = std::min<int64_t>(Y + Height, FHeight) - std::max<int64_t>(Y, 0);
    if (w > 0 && h > 0) GPixelsWritten += static_cast<uint64_t>(w * h);
}

bool TEffect::Blit(TSurface To, int64_t X, int64_t Y, int64_t Width, int64_t Height, TSurface From, int64_t SX,
                   int64_t SY) {
    if (Width <= 0 || Height <= 0) return true;
    int64_t sw = Width, sh = Height;
    MapRect(X, Y, Width, Height);
    MapRect(SX, SY, sw, sh);
    // Never outside the picture: the destination may be a part of a larger surface.
    if (X < 0) SX -= X, Width += X, X = 0;
    if (Y < 0) SY -= Y, Height += Y, Y = 0;
    Width = std::min<int64_t>(Width, FWidth - X);
    Height = std::min<int64_t>(Height, FHeight - Y);
    if (Width <= 0 || Height <= 0) return true;
    return Copy(To, int(X), int(Y), int(Width), int(Height), From, Clamp32(SX), Clamp32(SY));
}

bool TEffect::Copy(TSurface To, int X, int Y, int Width, int Height, TSurface From, int SX, int SY, bool Counted) {
    if (GCounting && Counted) GPixelsWritten += static_cast<uint64_t>(Width) * static_cast<uint64_t>(Height);
    if (GBlitHook != nullptr) GBlitHook(GBlitContext, TBlitRecord{To, From, X, Y, Width, Height, SX, SY});
    return BitBlt(DC(To), X, Y, Width, Height, DC(From), SX, SY, SRCCOPY) != FALSE;
}

bool TEffect::Stretch(TSurface To, int64_t X, int64_t Y, int64_t Width, int64_t Height, TSurface From, int64_t SX,
                      int64_t SY, int64_t SWidth, int64_t SHeight) {
    if (Width <= 0 || Height <= 0 || SWidth <= 0 || SHeight <= 0) return true;
    MapRect(X, Y, Width, Height);
    MapRect(SX, SY, SWidth, SHeight);
    Count(To, X, Y, Width, Height);
    HDC to = DC(To);
    // An oversize rectangle is clipped to the picture for the one call, so that
    // the scaling stays that of the whole rectangle.
    bool beyond = X < 0 || Y < 0 || X + Width > FWidth || Y + Height > FHeight;
    int saved = 0;
    if (beyond) {
        saved = SaveDC(to);
        if (saved == 0) return false;
        IntersectClipRect(to, 0, 0, FWidth, FHeight);
    }
    bool ok = StretchBlt(to, Clamp32(X), Clamp32(Y), Clamp32(Width), Clamp32(Height), DC(From), Clamp32(SX),
                         Clamp32(SY), Clamp32(SWidth), Clamp32(SHeight), SRCCOPY) != FALSE;
    if (beyond) RestoreDC(to, saved);
    return ok;
}

namespace {

// The rectangles a copy through the polygon writes on Dest: its region (logical
// points, moved to device coordinates) within Dest's clip, back in logical
// coordinates.
std::vector<RECT> PolygonRects(HDC Dest, const POINT* Points, int NumPoints) {
    std::vector<RECT> out;
    HRGN rgn = CreatePolygonRgn(Points, NumPoints, WINDING);
    if (rgn == nullptr) return out;
    POINT org{0, 0};
    LPtoDP(Dest, &org, 1);
    OffsetRgn(rgn, org.x, org.y);
    HRGN clip = CreateRectRgn(0, 0, 0, 0);
    if (GetClipRgn(Dest, clip) == 1) CombineRgn(rgn, rgn, clip, RGN_AND);
    out = GetRegionRects(rgn);
    for (RECT& r : out) r = RECT{r.left - org.x, r.top - org.y, r.right - org.x, r.bottom - org.y};
    DeleteObject(clip);
    DeleteObject(rgn);
    return out;
}

}  // namespace

bool TEffect::BlitThroughPolygon(const POINT* Points, int NumPoints) {
    if (NumPoints < 3) return true;  // an empty region: nothing to draw
    std::vector<POINT> pts(static_cast<size_t>(NumPoints));
    for (int i = 0; i < NumPoints; ++i) pts[static_cast<size_t>(i)] = MapPoint(Points[i].x, Points[i].y);
    if (GCounting || GBlitHook != nullptr) {
        // Counted and reported as the rectangles of the region, inside the picture.
        for (const RECT& r : PolygonRects(FDest, pts.data(), NumPoints)) {
            const int l = std::max<int>(r.left, 0), t = std::max<int>(r.top, 0);
            const int w = std::min<int>(r.right, FWidth) - l, h = std::min<int>(r.bottom, FHeight) - t;
            if (w <= 0 || h <= 0) continue;
            if (GCounting) GPixelsWritten += static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
            if (GBlitHook != nullptr) GBlitHook(GBlitContext, TBlitRecord{sfDest, sfNew, l, t, w, h, l, t});
        }
    }
    // The copy works out only the visible part of the polygon and walks its spans
    // within the destination's own clip; the DC's clip is never changed.
    return BitBltPolygon(FDest, 0, 0, FWidth, FHeight, FSrc, 0, 0, pts.data(), NumPoints, WINDING) != FALSE;
}

bool TEffect::Present() { return Copy(sfDest, 0, 0, FWidth, FHeight, sfBuffer, 0, 0); }

bool TEffect::CopyAll() {
    if (Copy(sfDest, 0, 0, FWidth, FHeight, sfNew, 0, 0)) return true;
    // A failed copy is tried once more, so that a passing fault still leaves the new picture.
    BitBlt(FDest, 0, 0, FWidth, FHeight, FSrc, 0, 0, SRCCOPY);
    return false;
}

bool TEffect::Fail() {
    CopyAll();
    return false;
}

void TEffect::SetInterval(int64_t Interval) {
    FInterval = static_cast<uint32_t>(std::clamp<int64_t>(Interval, 0, std::numeric_limits<int32_t>::max()));
}

void TEffect::StartSteps(int64_t Interval) {
    FStart = GetTickCount();
    SetInterval(Interval);
    FRemainder = FRemainderSum = 0;
    FDen = 1;
    FDeadline = FStart + FInterval;
}

void TEffect::StartStepsExact(int64_t Num, int64_t Den) {
    if (Num <= 0 || Den <= 0 || Num / Den >= std::numeric_limits<int32_t>::max()) return StartSteps(StepInterval(Num, 1, std::max<int64_t>(Den, 1)));
    StartSteps(Num / Den);
    FRemainder = Num % Den;
    FDen = Den;
    FRemainderSum = FRemainder;
    if (FRemainderSum >= FDen) FRemainderSum -= FDen, ++FDeadline;
}

bool TEffect::Notify() {
    bool cancel = false;
    FOnStep(nullptr, cancel);
    return cancel;
}

bool TEffect::WaitStep() {
    WaitUntilTick(FDeadline);
    bool cancel = Notify();
    FDeadline += FInterval;
    FRemainderSum += FRemainder;
    if (FRemainderSum >= FDen) {
        FRemainderSum -= FDen;
        ++FDeadline;
    }
    return cancel;
}

void TEffect::WaitSinceStart(int64_t Milliseconds) {
    if (Milliseconds <= 0) return;
    WaitUntilTick(FStart + static_cast<uint32_t>(std::min<int64_t>(Milliseconds, std::numeric_limits<int32_t>::max())));
}

}  // namespace ryx::fx
