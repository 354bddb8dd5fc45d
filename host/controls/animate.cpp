// TAnimate: opening clips from files, resources and the common clips, playing them on the host clock and painting frames.
#include "host/controls/animate.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "host/gdi/gdi.h"
#include "host/os/avi.h"
#include "host/rtl/clock.h"
#include "host/rtl/exceptions.h"
#include "host/rtl/resources.h"
#include "host/rtl/sysutils.h"

namespace host {

// ---------------------------------------------------------------------------
// The common clips: small pictures drawn in code, written as RLE8 clips once
// ---------------------------------------------------------------------------

namespace {

constexpr int ClipW = 80, ClipH = 48, ClipFrames = 12;
constexpr uint32_t Key = 0xFF00FF;  // the background: the first pixel, shown transparent
constexpr uint32_t Ink = 0x000000, Yellow = 0xFFE060, DarkYellow = 0xB08800, White = 0xFFFFFF, Grey = 0x808080,
                   Silver = 0xC0C0C0, Blue = 0x0000A0, Cyan = 0xA0E0FF, Red = 0xE00000, Green = 0x008000;

struct TPic {
    std::vector<uint32_t> Px = std::vector<uint32_t>(size_t(ClipW) * ClipH, Key);
    void Dot(int X, int Y, uint32_t C) {
        if (X >= 0 && X < ClipW && Y >= 0 && Y < ClipH) Px[size_t(Y) * ClipW + X] = C;
    }
    void Fill(int X0, int Y0, int X1, int Y1, uint32_t C) {
        for (int y = Y0; y < Y1; ++y)
            for (int x = X0; x < X1; ++x) Dot(x, y, C);
    }
    void Box(int X0, int Y0, int X1, int Y1, uint32_t Face, uint32_t Edge) {
        Fill(X0, Y0, X1, Y1, Edge);
        Fill(X0 + 1, Y0 + 1, X1 - 1, Y1 - 1, Face);
    }
    void Line(int X0, int Y0, int X1, int Y1, uint32_t C) {
        int dx = std::abs(X1 - X0), dy = -std::abs(Y1 - Y0), sx = X0 < X1 ? 1 : -1, sy = Y0 < Y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Dot(X0, Y0, C);
            if (X0 == X1 && Y0 == Y1) break;
            int e2 = 2 * err;
            if (e2 >= dy) err += dy, X0 += sx;
            if (e2 <= dx) err += dx, Y0 += sy;
        }
    }
    void Disc(int Cx, int Cy, int R, uint32_t C) {
        for (int y = -R; y <= R; ++y)
            for (int x = -R; x <= R; ++x)
                if (x * x + y * y <= R * R) Dot(Cx + x, Cy + y, C);
    }
    void Folder(int X, int Y) {
        Box(X, Y + 3, X + 22, Y + 18, Yellow, DarkYellow);
        Box(X, Y, X + 9, Y + 4, Yellow, DarkYellow);
    }
    void Paper(int X, int Y) {
        Box(X, Y, X + 9, Y + 12, White, Grey);
        for (int r = 3; r < 10; r += 2) Line(X + 2, Y + r, X + 6, Y + r, Blue);
    }
    void Magnifier(int Cx, int Cy) {
        Line(Cx + 4, Cy + 4, Cx + 9, Cy + 9, Ink);
        Line(Cx + 5, Cy + 4, Cx + 10, Cy + 9, Ink);
        Disc(Cx, Cy, 6, Ink);
        Disc(Cx, Cy, 4, Cyan);
    }
    void Computer(int X, int Y) {
        Box(X, Y, X + 24, Y + 18, Silver, Ink);
        Fill(X + 3, Y + 3, X + 21, Y + 15, Blue);
        Box(X + 6, Y + 19, X + 18, Y + 23, Silver, Ink);
    }
    void Bin(int X, int Y, int Level) {  // Level 0..10: how full
        Box(X, Y, X + 18, Y + 22, Silver, Ink);
        for (int c = 4; c < 18; c += 4) Line(X + c, Y + 2, X + c, Y + 20, Grey);
        if (Level > 0) Fill(X + 1, Y + 21 - 2 * Level, X + 17, Y + 21, White);
        Fill(X - 2, Y - 2, X + 20, Y, Ink);
    }
};

// Where a paper flying from (X0, Y0) to (X1, Y1) is at step I of N: an arc.
void FlyingPaper(TPic& P, int I, int N, int X0, int Y0, int X1, int Y1, int Lift) {
    double t = N <= 1 ? 1.0 : static_cast<double>(I) / (N - 1);
    int x = static_cast<int>(std::lround(X0 + (X1 - X0) * t));
    int y = static_cast<int>(std::lround(Y0 + (Y1 - Y0) * t - Lift * 4 * t * (1 - t)));
    P.Paper(x, y);
}

std::vector<uint32_t> DrawCommonFrame(TCommonAVI Which, int I) {
    TPic p;
    const int N = ClipFrames;
    int sweep = 14 + I * 52 / (N - 1);  // a magnifier moving left to right
    switch (Which) {
        case aviFindFolder:
            p.Folder(29, 20);
            p.Magnifier(sweep, 18 + (I % 2));
            break;
        case aviFindFile:
            p.Paper(35, 20);
            p.Magnifier(sweep, 22 + (I % 3) - 1);
            break;
        case aviFindComputer:
            p.Computer(28, 16);
            p.Magnifier(sweep, 20);
            break;
        case aviCopyFiles:
            p.Folder(2, 26);
            p.Folder(56, 26);
            FlyingPaper(p, I, N, 8, 22, 62, 22, 20);
            FlyingPaper(p, (I + N / 3) % N, N, 8, 22, 62, 22, 20);
            break;
        case aviCopyFile:
            p.Folder(2, 26);
            p.Folder(56, 26);
            FlyingPaper(p, I, N, 8, 22, 62, 22, 4);
            break;
        case aviRecycleFile:
            p.Folder(2, 26);
            p.Bin(58, 22, 3 + I / 3);
            FlyingPaper(p, I, N, 8, 22, 62, 14, 16);
            break;
        case aviEmptyRecycle:
            p.Bin(31, 22, 10 - I * 10 / (N - 1));
            FlyingPaper(p, I, N, 36, 16, 70, 2, 8);
            break;
        case aviDeleteFile: {
            p.Folder(2, 26);
            if (I < N - 3) FlyingPaper(p, I, N - 3, 8, 22, 58, 20, 14);
            int cx = 64, cy = 26, r = I < N - 3 ? 3 : 6;
            p.Line(cx - r, cy - r, cx + r, cy + r, Red);
            p.Line(cx - r, cy + r, cx + r, cy - r, Red);
            p.Line(cx - r + 1, cy - r, cx + r + 1, cy + r, Red);
            p.Line(cx - r + 1, cy + r, cx + r + 1, cy - r, Red);
            break;
        }
        default: break;
    }
    if (Which == aviFindComputer && I % 4 < 2) p.Dot(30 + I, 18, Green);
    return p.Px;
}

}  // namespace

const std::string& CommonAviData(TCommonAVI Which) {
    static std::array<std::string, 9> clips;
    static const std::string none;
    if (Which == aviNone || static_cast<int>(Which) < 0 || static_cast<int>(Which) >= 9) return none;
    std::string& s = clips[static_cast<size_t>(Which)];
    if (s.empty()) {
        TAviClipData clip;
        clip.Width = ClipW;
        clip.Height = ClipH;
        clip.MicroSecPerFrame = 100000;
        for (int i = 0; i < ClipFrames; ++i) clip.Frames.push_back(DrawCommonFrame(Which, i));
        s = WriteAvi(clip, TAviEncoding::Rle8);
    }
    return s;
}

// ---------------------------------------------------------------------------
// TAnimate
// ---------------------------------------------------------------------------

class TAnimate::TTicker : public TClockListener {
public:
    explicit TTicker(TAnimate* A) : FAnimate(A) {}
    bool NextDue(uint64_t& DueTicks) override {
        if (!FAnimate->FActive) return false;
        DueTicks = FAnimate->FNextDue;
        return true;
    }
    void Due(uint64_t NowTicks) override { FAnimate->Tick(NowTicks); }

private:
    TAnimate* FAnimate;
};

TAnimate::TAnimate(TComponent* AOwner) : TCustomControl(AOwner), FTicker(std::make_unique<TTicker>(this)) {
    SetBounds(Left(), Top(), 100, 80);
    TControl::SetAutoSize(true);
    FControlStyle.Exclude(csSetCaption);
}

TAnimate::~TAnimate() {
    RemoveClockListener(FTicker.get());
}

int TAnimate::FrameCount() const { return FReader ? FReader->FrameCount() : 0; }
int TAnimate::FrameWidth() const { return FReader ? FReader->Width() : 0; }
int TAnimate::FrameHeight() const { return FReader ? FReader->Height() : 0; }
uint32_t TAnimate::FrameInterval() const {
    return FReader ? std::max<uint32_t>(1, (FReader->MicroSecPerFrame() + 500) / 1000) : 0;
}
int TAnimate::LastFrame() const { return FStopFrame > 0 ? std::min(FStopFrame, FrameCount()) : FrameCount(); }

void TAnimate::ClearSources() {
    FFileName.clear();
    FResName.clear();
    FResId = 0;
    FCommonAVI = aviNone;
}

void TAnimate::SetFileName(const std::string& Value) {
    ClearSources();
    FFileName = Value;
    OpenClip();
}

void TAnimate::SetResName(const std::string& Value) {
    ClearSources();
    FResName = Value;
    OpenClip();
}

void TAnimate::SetResID(int Value) {
    ClearSources();
    FResId = Value;
    OpenClip();
}

void TAnimate::SetResHandle(uintptr_t Value) {
    FResHandle = Value;
    if (!FResName.empty() || FResId != 0) OpenClip();
}

void TAnimate::SetCommonAVI(TCommonAVI Value) {
    ClearSources();
    FCommonAVI = Value;
    OpenClip();
}

void TAnimate::OpenClip() {
    bool wasActive = FActive;
    CloseClip();
    std::unique_ptr<TAviReader> reader;
    if (!FFileName.empty()) {
        reader = std::make_unique<TAviReader>(TAviReader::FromFile(FFileName));
    } else if (!FResName.empty() || FResId != 0) {
        std::string name = FResName.empty() ? ResourceId(FResId) : FResName;
        TResourceBlob blob;
        if (!FindResourceBlob(FResHandle, "AVI", name, blob))
            throw EResNotFound("Resource " + (FResName.empty() ? std::to_string(FResId) : FResName) + " not found");
        reader = std::make_unique<TAviReader>(TAviReader::FromMemory(blob.Data, blob.Size));
    } else if (FCommonAVI != aviNone) {
        const std::string& data = CommonAviData(FCommonAVI);
        reader = std::make_unique<TAviReader>(TAviReader::FromMemory(data.data(), data.size()));
    } else {
        return;
    }
    FReader = std::move(reader);
    if (AutoSize()) SetBounds(Left(), Top(), FReader->Width(), FReader->Height());
    OnOpen(this);
    ShowFrame(std::clamp(FStartFrame, 1, FrameCount()));
    if (wasActive || FStreamedActive) SetActive(true);
}

void TAnimate::CloseClip() {
    if (!FReader) return;
    if (FActive) DoStop();
    FReader.reset();
    FPixels.clear();
    FDecoded = -1;
    FFrame = 0;
    OnClose(this);
    Invalidate();
}

void TAnimate::SetOpen(bool Value) {
    if (Value == Open()) return;
    if (Value)
        OpenClip();
    else
        CloseClip();
}

void TAnimate::SetAutoSize(bool Value) {
    TControl::SetAutoSize(Value);
    if (Value && FReader) SetBounds(Left(), Top(), FReader->Width(), FReader->Height());
}

void TAnimate::SetRepetitions(int Value) { FRepetitions = std::max(0, Value); }

void TAnimate::SetStartFrame(int Value) {
    if (FReader && (Value < 1 || Value > FrameCount()))
        throw ERangeError(Format("Frame %d is out of range (the clip has %d)", {Value, FrameCount()}));
    FStartFrame = std::max(1, Value);
    if (FReader && !FActive) ShowFrame(FStartFrame);
}

void TAnimate::SetStopFrame(int Value) {
    if (FReader && (Value < 0 || Value > FrameCount()))
        throw ERangeError(Format("Frame %d is out of range (the clip has %d)", {Value, FrameCount()}));
    FStopFrame = std::max(0, Value);
}

void TAnimate::SetCenter(bool Value) {
    if (FCenter == Value) return;
    FCenter = Value;
    Invalidate();
}

void TAnimate::SetTransparent(bool Value) {
    if (FTransparent == Value) return;
    FTransparent = Value;
    Invalidate();
}

void TAnimate::SetActive(bool Value) {
    if (ComponentState().Contains(csLoading)) {
        FStreamedActive = Value;
        return;
    }
    FStreamedActive = false;
    if (Value == FActive) return;
    if (!Value) {
        Stop();
        return;
    }
    if (!FReader) {
        if (ComponentState().Contains(csReading)) return;
        throw EInvalidOperation("Cannot play an animation that has no clip open");
    }
    FActive = true;
    FRepeatsDone = 0;
    int first = std::clamp(FStartFrame, 1, FrameCount());
    ShowFrame(first);
    FNextDue = GetTickCount64() + FrameInterval();
    AddClockListener(FTicker.get());
    OnStart(this);
}

void TAnimate::Play(int FromFrame, int ToFrame, int Count) {
    if (!FReader) throw EInvalidOperation("Cannot play an animation that has no clip open");
    if (FActive) Stop();
    int n = FrameCount();
    if (FromFrame < 1 || FromFrame > n || ToFrame < FromFrame || ToFrame > n)
        throw ERangeError(Format("Frames %d to %d are out of range (the clip has %d)", {FromFrame, ToFrame, n}));
    FStartFrame = FromFrame;
    FStopFrame = ToFrame;
    FRepetitions = std::max(0, Count);
    SetActive(true);
}

void TAnimate::DoStop() {
    FActive = false;
    RemoveClockListener(FTicker.get());
    OnStop(this);
}

void TAnimate::Stop() {
    FStreamedActive = false;
    if (FActive) DoStop();
}

void TAnimate::Seek(int Frame) {
    if (!FReader) throw EInvalidOperation("Cannot seek in an animation that has no clip open");
    if (Frame < 1 || Frame > FrameCount())
        throw ERangeError(Format("Frame %d is out of range (the clip has %d)", {Frame, FrameCount()}));
    Stop();
    ShowFrame(Frame);
}

void TAnimate::Reset() {
    Stop();
    FStartFrame = 1;
    FStopFrame = FrameCount();
    if (FReader) ShowFrame(1);
}

void TAnimate::Tick(uint64_t Now) {
    (void)Now;
    if (!FActive || !FReader) return;
    int first = std::clamp(FStartFrame, 1, FrameCount());
    int last = std::max(first, LastFrame());
    int next = FFrame + 1;
    if (next > last) {
        ++FRepeatsDone;
        if (FRepetitions > 0 && FRepeatsDone >= FRepetitions) {
            DoStop();
            return;
        }
        next = first;
    }
    ShowFrame(next);
    FNextDue += FrameInterval();
}

void TAnimate::ShowFrame(int Frame) {
    if (!FReader) return;
    FReader->Render(Frame - 1, FPixels, FDecoded);
    FFrame = Frame;
    Invalidate();
}

void TAnimate::Loaded() {
    TCustomControl::Loaded();
    if (FStreamedActive && FReader) SetActive(true);
    FStreamedActive = false;
}

void TAnimate::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(ClientRect());
    if (!FReader || FPixels.empty()) return;
    const int w = FReader->Width(), h = FReader->Height();
    int x = 0, y = 0;
    if (FCenter) {
        x = (ClientWidth() - w) / 2;
        y = (ClientHeight() - h) / 2;
    }
    std::vector<uint32_t> px = FPixels;
    if (FTransparent) {
        uint32_t key = px[0];
        int32_t bg = ColorToRGB(Color());  // 0x00BBGGRR
        uint32_t rgb = (uint32_t(bg & 0xFF) << 16) | (bg & 0xFF00) | ((bg >> 16) & 0xFF);
        for (auto& p : px)
            if (p == key) p = rgb;
    }
    BITMAPINFO bi{};
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biBitCount = 32;
    SetDIBitsToDevice(c->Handle(), x, y, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                      static_cast<UINT>(h), px.data(), &bi, DIB_RGB_COLORS);
}

}  // namespace host
