// The machinery every effect routine shares: argument checks, the stepping loop, buffers, guards, symmetry maps and the failure path.
#pragma once

#include <cstdint>

#include "effects/ryxufx.h"

namespace ryx::fx {

// How a family's told member maps onto a derived member. The told member draws
// in its own frame, W() x H(); every rectangle and point it names is mirrored
// and/or transposed onto the destination before the painter sees it. Mirrors
// apply in the told frame first, then the transpose swaps the axes (so
// mapTranspose turns "from the top edge" into "from the left edge").
enum TMap : unsigned { mapNone = 0, mapMirrorX = 1, mapMirrorY = 2, mapTranspose = 4 };

// The pictures a frame is drawn on or from: the destination, the new picture
// (the source DC), the snapshot of the old picture, and the composing buffer.
enum TSurface { sfDest, sfNew, sfOld, sfBuffer };

// True when both handles are set and the sizes are above 0 (zero and negative
// values are refused alike: the routine then draws nothing and returns false).
bool ArgsOk(host::HDC Dest, host::HDC Src, int Width, int Height, int Size = 1);

// (Time x Size) div Extent computed in 64 bits, truncating; negative results
// (a negative Time) become 0, huge ones are capped at INT32_MAX.
int64_t StepInterval(int64_t Time, int64_t Size, int64_t Extent);

// Pixels written by the engine's blits since the last reset while counting is
// on (each blit counts its rectangle clipped to its target picture; off by
// default): benchmarks weigh the drawing time against copying that many pixels.
void SetPixelCounting(bool On);
uint64_t PixelsWritten();
void ResetPixelsWritten();
// For drawing that does not go through TEffect (fills and pattern blits).
void AddPixelsWritten(uint64_t Pixels);

// A block copy as the engine hands it to the painter: destination-frame
// coordinates, after mapping and clipping to the picture. Stretched copies are
// not reported; a copy through a polygon is reported as its region's rectangles.
struct TBlitRecord {
    TSurface To, From;
    int X, Y, Width, Height, SX, SY;
};
// Called with every block copy the engine makes (snapshots, buffer fills, frames,
// presents and final copies) while set; null turns it off. Benchmarks record a
// transition's copies once and replay them with plain row copies.
using TBlitHook = void (*)(void* Context, const TBlitRecord& Blit);
void SetBlitHook(TBlitHook Hook, void* Context);

// One running transition. Construct it after ArgsOk; it owns the snapshot, the
// composing buffer, the stretch-mode and clip guards, and releases/restores them
// on every way out (the memory DC is deleted first, then its bitmap).
class TEffect {
public:
    TEffect(host::HDC Dest, host::HDC Src, int Width, int Height, int Time, const TryxCancelEvent& OnStep,
            unsigned Map = mapNone);
    ~TEffect();
    TEffect(const TEffect&) = delete;
    TEffect& operator=(const TEffect&) = delete;

    // The told member's frame: Width x Height, swapped under mapTranspose.
    int W() const { return FW; }
    int H() const { return FH; }
    int Time() const { return FTime; }
    unsigned Map() const { return FMap; }
    host::HDC DestDC() const { return FDest; }
    host::HDC SrcDC() const { return FSrc; }
    host::HDC DC(TSurface S) const;

    // Copies the destination (the old picture) into a memory bitmap: sfOld.
    bool TakeSnapshot();
    // A composing buffer of the picture's size compatible with the new picture,
    // filled from Fill unless Fill is sfBuffer (left as created): sfBuffer.
    bool MakeBuffer(TSurface Fill = sfBuffer);
    // COLORONCOLOR on the destination (and the memory pictures) until the end.
    void UseStretching();

    // Drawing in the told member's frame; coordinates are 64-bit and mapped.
    // Nothing is drawn outside the picture (oversize stretches are clipped to it
    // for the call), since the destination may be part of a larger surface.
    bool Blit(TSurface To, int64_t X, int64_t Y, int64_t Width, int64_t Height, TSurface From, int64_t SX,
              int64_t SY);
    bool Stretch(TSurface To, int64_t X, int64_t Y, int64_t Width, int64_t Height, TSurface From, int64_t SX,
                 int64_t SY, int64_t SWidth, int64_t SHeight);
    // Copies the whole new picture through the polygon (told frame, logical
    // coordinates), clipped also by the caller's clip; fewer than three points
    // draw nothing. The caller's clip is back when it returns.
    bool BlitThroughPolygon(const host::POINT* Points, int Count);
    // The composing buffer to the destination, whole.
    bool Present();
    // The whole new picture to the destination (unmapped): the final copy. A
    // failed copy is made once more and reported as false.
    bool CopyAll();
    // The failure path: the caller's clip back, copy all once more, false.
    bool Fail();

    // Starts the step clock: the first deadline is now + Interval.
    void StartSteps(int64_t Interval);
    // Changes the interval added after each later step.
    void SetInterval(int64_t Interval);
    // Waits for the deadline, calls the callback (Cancel preset false), moves the
    // deadline on by the interval from the previous deadline. True: cancelled.
    bool WaitStep();
    // Waits until Milliseconds after StartSteps (dissolves and cuts), no callback.
    void WaitSinceStart(int64_t Milliseconds);
    // Calls the callback once without waiting; true when it cancelled.
    bool Notify();

    // The common loop: p = First, First + Step, ... while p < End: draw Frame(p)
    // (false: failure path), wait, callback (cancel: return true); then the
    // final copy when FinalCopy. Interval is the pause per step.
    template <class F>
    bool Steps(int64_t First, int64_t Step, int64_t End, int64_t Interval, F&& Frame, bool FinalCopy = true) {
        StartSteps(Interval);
        return Loop(First, Step, End, static_cast<F&&>(Frame), FinalCopy);
    }
    // The same with a pause of Num / Den per step kept exactly: the remainders
    // carry into later deadlines, so n steps take (n x Num) div Den in all
    // (a 500 ms transition lasts 500 ms, not the sum of truncated pauses).
    template <class F>
    bool StepsExact(int64_t First, int64_t Step, int64_t End, int64_t Num, int64_t Den, F&& Frame,
                    bool FinalCopy = true) {
        StartStepsExact(Num, Den);
        return Loop(First, Step, End, static_cast<F&&>(Frame), FinalCopy);
    }
    // The told band loop: fronts Size, 2 Size, ... below Extent, a pause of
    // (Time x Size) / Extent per step; a Size not below Extent copies all at once.
    template <class F>
    bool Bands(int64_t Size, int64_t Extent, F&& Frame) {
        if (Size >= Extent) return CopyAll();
        return StepsExact(Size, Size, Extent, int64_t(FTime) * Size, Extent, static_cast<F&&>(Frame));
    }
    // Starts the step clock with a pause of Num / Den per step (see StepsExact).
    void StartStepsExact(int64_t Num, int64_t Den);

    // Maps a told-frame rectangle or point onto the destination's frame.
    void MapRect(int64_t& X, int64_t& Y, int64_t& Width, int64_t& Height) const;
    host::POINT MapPoint(int64_t X, int64_t Y) const;

private:
    template <class F>
    bool Loop(int64_t First, int64_t Step, int64_t End, F&& Frame, bool FinalCopy) {
        for (int64_t p = First; p < End; p += Step) {
            if (!Frame(p)) return Fail();
            if (WaitStep()) return true;
        }
        return FinalCopy ? CopyAll() : true;
    }
    struct TMemPicture {
        host::HDC Dc = nullptr;
        host::HBITMAP Bmp = nullptr;
        bool Make(host::HDC Like, int Width, int Height);
        void Release();
    };
    void Count(TSurface To, int64_t X, int64_t Y, int64_t Width, int64_t Height) const;
    // A block copy of the same rectangle at (X, Y) of To from (SX, SY) of From,
    // already mapped and inside the picture: counted (when Counted), reported, drawn.
    bool Copy(TSurface To, int X, int Y, int Width, int Height, TSurface From, int SX, int SY, bool Counted = true);

    host::HDC FDest, FSrc;
    int FWidth, FHeight;  // the picture, unmapped
    int FW, FH;           // the told frame
    int FTime;
    const TryxCancelEvent& FOnStep;
    unsigned FMap;
    TMemPicture FOld, FBuffer;
    bool FStretching = false;
    int FOldStretchMode = 0;
    uint32_t FStart = 0, FDeadline = 0, FInterval = 0;
    int64_t FRemainder = 0, FRemainderSum = 0, FDen = 1;  // the fraction of a millisecond per step
};

}  // namespace ryx::fx
