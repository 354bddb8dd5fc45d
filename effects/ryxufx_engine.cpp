// The machinery every effect routine shares: argument checks, the stepping loop, buffers, guards, symmetry maps and the failure path.
#include "effects/ryxufx_engine.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "host/gdi/gdi.h"
#include "host/rtl/clock.h"

namespace ryx::fx {

using namespace host;

namespace {

uint64_t GPixelsWritten = 0;
bool GCounting = false;

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
    RestoreClip();
    if (FCallerClip != nullptr) DeleteObject(FCallerClip);
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
    return BitBlt(FOld.Dc, 0, 0, FWidth, FHeight, FDest, 0, 0, SRCCOPY) != FALSE;
}

bool TEffect::MakeBuffer(TSurface Fill) {
    if (!FBuffer.Make(FSrc, FWidth, FHeight)) return false;
    if (Fill == sfBuffer) return true;
    HDC from = DC(Fill);
    return from != nullptr && BitBlt(FBuffer.Dc, 0, 0, FWidth, FHeight, from, 0, 0, SRCCOPY) != FALSE;
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
    Count(To, X, Y, Width, Height);
    return BitBlt(DC(To), Clamp32(X), Clamp32(Y), Clamp32(Width), Clamp32(Height), DC(From), Clamp32(SX),
                  Clamp32(SY), SRCCOPY) != FALSE;
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

bool TEffect::BlitThroughPolygon(const POINT* Points, int NumPoints) {
    if (NumPoints < 3) return true;  // an empty region: nothing to draw
    if (!FClipSaved) {
        FCallerClip = CreateRectRgn(0, 0, 0, 0);
        if (FCallerClip == nullptr) return false;
        int r = GetClipRgn(FDest, FCallerClip);
        if (r < 0) return false;
        FCallerHasClip = r == 1;
        FClipSaved = true;
    }
    std::vector<POINT> pts(static_cast<size_t>(NumPoints));
    for (int i = 0; i < NumPoints; ++i) pts[static_cast<size_t>(i)] = MapPoint(Points[i].x, Points[i].y);
    HRGN rgn = CreatePolygonRgn(pts.data(), NumPoints, WINDING);
    if (rgn == nullptr) return false;
    // The points are logical, clip regions are in device coordinates.
    POINT org{0, 0};
    LPtoDP(FDest, &org, 1);
    OffsetRgn(rgn, org.x, org.y);
    if (FCallerHasClip) CombineRgn(rgn, rgn, FCallerClip, RGN_AND);
    bool ok = SelectClipRgn(FDest, rgn) != ERROR;
    if (ok) {
        if (GCounting)
            for (const RECT& r : GetRegionRects(rgn))
                Count(sfDest, r.left - org.x, r.top - org.y, r.right - r.left, r.bottom - r.top);
        ok = BitBlt(FDest, 0, 0, FWidth, FHeight, FSrc, 0, 0, SRCCOPY) != FALSE;
    }
    RestoreClip();
    DeleteObject(rgn);
    return ok;
}

void TEffect::RestoreClip() {
    if (FClipSaved) SelectClipRgn(FDest, FCallerHasClip ? FCallerClip : nullptr);
}

bool TEffect::Present() {
    AddPixelsWritten(static_cast<uint64_t>(FWidth) * static_cast<uint64_t>(FHeight));
    return BitBlt(FDest, 0, 0, FWidth, FHeight, FBuffer.Dc, 0, 0, SRCCOPY) != FALSE;
}

bool TEffect::CopyAll() {
    AddPixelsWritten(static_cast<uint64_t>(FWidth) * static_cast<uint64_t>(FHeight));
    if (BitBlt(FDest, 0, 0, FWidth, FHeight, FSrc, 0, 0, SRCCOPY) != FALSE) return true;
    // A failed copy is tried once more, so that a passing fault still leaves the new picture.
    BitBlt(FDest, 0, 0, FWidth, FHeight, FSrc, 0, 0, SRCCOPY);
    return false;
}

bool TEffect::Fail() {
    RestoreClip();
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
